// The placement search: each piece's anchor cube on the first empty cell in scan order (z, then y,
// then x fastest), pieces stepped through in ascending order at every depth, depth first.
#pragma once

#include <cstdint>

#include "model/catalogue.hpp"

struct CellTriple {
    int32_t x;
    int32_t y;
    int32_t z;
};

struct SearchState {
    int32_t depth;                           // last placed depth; -1 with an empty board, 12 when complete
    int32_t piece_order[PIECE_COUNT];        // placed pieces, the piece being tried, then the unused ones
    int32_t orientation_index[PIECE_COUNT];  // slot placed or being tried per depth; -1 for none
    CellTriple anchor_cell[PIECE_COUNT];
    CellTriple current_cell;
};

extern SearchState search_state;

// Called just after a piece-order exchange brings permutations to a multiple of PROGRESS_INTERVAL.
using ProgressFunction = void (*)();
extern ProgressFunction progress_function;

inline constexpr int64_t PROGRESS_INTERVAL = 1000000;

// Called after every placement, with the search state already showing it; for tests that
// follow the search step by step.
using PlacementFunction = void (*)();
extern PlacementFunction placement_function;

// piece_order 0..12, orientation_index all -1.
void reset_search_order();
// depth -1, current_cell (0, 0, 0).
void begin_search();

// Runs until the board holds a complete assembly (true) or the search is exhausted (false).
bool find_next_assembly();
