// The text picture of a board: one line per row y of the target's box, from the top, each
// showing the layers z side by side, from the highest, in the puzzle file's axes.
#pragma once

#include <cstdint>
#include <cstdio>

#include "model/board.hpp"

// Blank for an empty cell and a border cell, then pieces 1-9, A-Z, a-z.
inline constexpr const char CELL_LABELS[] = "  123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

inline char cell_label(int32_t code) { return CELL_LABELS[code + 2]; }

// A picture line of the run's target: per layer a blank and a label for each cell of a row,
// two blanks for the cell that closes it, and one blank between layers.
int rendering_line_length();

// Writes "Solution %d" with the solutions count when with_header is nonzero, then the picture of
// the board, and flushes.
void print_board(std::FILE* out, int32_t with_header);
// The same for any board, without the stamp or header.
void render_board(std::FILE* stream, const Board& shown);
