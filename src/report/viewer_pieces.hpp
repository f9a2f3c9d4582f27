// The piece catalogue as a JavaScript module for the viewer, so that the page checks solutions
// against the very shapes the solver searches with.
#pragma once

#include <cstdio>

// Writes `export const PIECES = [...]`: per piece its number, label, name, colour (the first
// word of its name), cube count and catalogue cube offsets.
void write_viewer_pieces(std::FILE* stream);
