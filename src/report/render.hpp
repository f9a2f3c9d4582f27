// The text picture of a board: four lines, one per row y = 4..1, each showing the layers
// z = 4..1 side by side.
#pragma once

#include <cstdint>
#include <cstdio>

#include "model/board.hpp"

inline constexpr const char CELL_LABELS[] = "  123456789ABCDEFGHIJK";
inline constexpr int RENDERING_LINE_LENGTH = 43;

inline char cell_label(int32_t code) { return CELL_LABELS[code + 2]; }

// Writes "Solution %d" with the solutions count when with_header is nonzero, then the four lines
// of the board, and flushes.
void print_board(std::FILE* out, int32_t with_header);
// The same for any board, without the stamp or header.
void render_board(std::FILE* stream, const Board& shown);
