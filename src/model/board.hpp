// The 6 x 6 x 6 board: a 4 x 4 x 4 interior to fill, framed by a one-cell border of sentinels.
#pragma once

#include <cstdint>

inline constexpr int BOARD_EDGE = 6;
inline constexpr int BOARD_CELLS = BOARD_EDGE * BOARD_EDGE * BOARD_EDGE;
inline constexpr int INTERIOR_CELLS = 64;

inline constexpr int32_t BORDER_CELL = -1;
inline constexpr int32_t EMPTY_CELL = -2;

// Cell (x, y, z) lives at element x * 36 + y * 6 + z; x has the largest stride.
inline constexpr int X_STRIDE = BOARD_EDGE * BOARD_EDGE;
inline constexpr int Y_STRIDE = BOARD_EDGE;
inline constexpr int Z_STRIDE = 1;

struct Board {
    int32_t cells[BOARD_CELLS];
};

constexpr int cell_index(int x, int y, int z) { return x * X_STRIDE + y * Y_STRIDE + z * Z_STRIDE; }

constexpr bool is_interior(int x, int y, int z) {
    return x >= 1 && x <= 4 && y >= 1 && y <= 4 && z >= 1 && z <= 4;
}

// The one working board of the run.
extern Board board;

// Writes BORDER_CELL into the 152 border cells and EMPTY_CELL into the 64 interior cells.
void init_board(Board& target);
inline void init_board() { init_board(board); }

bool boards_equal(const Board& a, const Board& b);
