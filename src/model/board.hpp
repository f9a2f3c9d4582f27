// The board: the target's box framed by a one-cell border of sentinels, and the geometry that
// numbers its cells, built once from the run's puzzle.
#pragma once

#include <cstdint>

#include "model/cell_set.hpp"
#include "model/puzzle.hpp"

// The target's box with its border holds at most this many cells.
inline constexpr int MAX_BOARD_CELLS = 4096;

inline constexpr int32_t BORDER_CELL = -1;
inline constexpr int32_t EMPTY_CELL = -2;

// How the board lays out the run's target. The search scans the board along its own axes, x
// fastest, then y, then z; they are the file's axes, ordered so that the scan runs fastest along
// the target's shortest side (ties keep the file's order, so a cube keeps its axes). Board cell
// (x, y, z), each 1..edge on a target cell and 0 or edge+1 on the border, is element
// x * stride[0] + y * stride[1] + z: x has the largest stride.
struct BoardGeometry {
    int32_t axis[3];         // the board's axis a is the file's axis axis[a]
    int32_t edge[3];         // the target's box along the board's axes
    int32_t stride[3];
    int32_t board_cells;     // the box with its border
    int32_t cell_count;      // target cells
    // The search's bits: for a box of at most 64 cells, bit x + X y + X Y z (0-based) of every
    // box cell, so that a shape placed anywhere covers the same bits shifted; otherwise the
    // target cells in scan order. Bit order is scan order either way.
    bool box_bits;
    CellSet target_bits;                   // the bits that are target cells
    int16_t bit_element[64];               // each bit's board element; -1 for no target cell
    int8_t element_bit[MAX_BOARD_CELLS];   // each element's bit; -1 off the target
    int16_t cell_element[64];              // the board element of target cell i in scan order
    CellTriple bit_triple[64];             // each target cell bit's board coordinates
    // For the pictures: the board element of each cell x + X (y + Y z) of the box in the file's
    // axes, or -1 where the box holds no target cell.
    int16_t file_element[MAX_BOARD_CELLS];
};

extern BoardGeometry geometry;

// Lays the puzzle's target out on the board. The puzzle must fit (model/puzzle_file.cpp checks
// it for a puzzle file).
void set_board_geometry(const Puzzle& p);

// The board's axes of a cube offset given in the file's axes.
CubeOffset to_board_axes(const CubeOffset& c);

inline int cell_index(int x, int y, int z) { return x * geometry.stride[0] + y * geometry.stride[1] + z; }
// A board element's coordinates.
CellTriple element_cell(int element);
inline CellTriple bit_cell(int bit) { return geometry.bit_triple[bit]; }
// The bit of the target cell at board coordinates (x, y, z), or -1 off the target.
int bit_at(int x, int y, int z);

struct Board {
    int32_t cells[MAX_BOARD_CELLS];  // the first geometry.board_cells are used
};

// The one working board of the run.
extern Board board;

// Writes BORDER_CELL into every cell off the target and EMPTY_CELL into every target cell.
void init_board(Board& target);
inline void init_board() { init_board(board); }

bool boards_equal(const Board& a, const Board& b);
