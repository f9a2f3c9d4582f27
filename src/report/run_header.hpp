// The lines between the banner and the piece list that say which puzzle a run solves and how:
// written by a run of a puzzle file, and by any run that counts mirror images as one or uses
// another search, each followed by one blank line. A run of the built-in puzzle without options
// writes none.
#pragma once

#include <cstdio>

// "Puzzle: NAME", "Puzzle file: PATH", "Target: N cells in a X x Y x Z box", "Target cells: box X
// Y Z" or the cells, and "Piece N cubes: x,y,z ..." for each piece, for a puzzle file; "Mirror
// images: counted as the same solution" when they are; "Search: TEXT" for a search other than
// the default (null for none); then a blank line, when any line was written.
void write_run_header(std::FILE* out, bool mirror_images_alike, const char* search);
