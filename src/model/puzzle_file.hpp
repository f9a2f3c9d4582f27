// Reading a puzzle file: a target and pieces, checked line by line.
//
//   # a comment runs from # to the end of its line; blank lines are ignored
//   name Seven-piece cube             optional; without it the name is the file's name
//   box 3 3 3                         the target: every cell of an X x Y x Z box, or
//   target 0,0,0 1,0,0 ...            its cells, for a target that is not a box
//   piece V: 0,0,0 1,0,0 0,1,0        a piece: a name, a colon, its cubes
//
// Lines end in LF or CRLF; a UTF-8 byte order mark at the start is skipped.
#pragma once

#include <cstddef>

#include "model/puzzle.hpp"

// A line holds at most this many characters.
inline constexpr int PUZZLE_LINE_LIMIT = 4096;
// A coordinate lies in -COORDINATE_LIMIT .. COORDINATE_LIMIT.
inline constexpr int COORDINATE_LIMIT = 1000000;

// Reads the file into `out`: the target moved so that its smallest coordinates are 0, each piece
// moved so that its first cube is at the origin. On the first fault answers false with `error`
// holding "FILE:LINE: what is wrong", or "FILE: what is wrong" where no line is to blame.
bool read_puzzle_file(const char* path, Puzzle& out, char* error, size_t error_size);
