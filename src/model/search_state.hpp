// Where the search stands, as the straightforward search would show it: the reports print it.
#pragma once

#include <cstdint>

#include "model/catalogue.hpp"
#include "model/puzzle.hpp"

// The arrays hold one entry per depth, one depth per piece of the run's puzzle.
struct SearchState {
    int32_t depth;                          // last placed depth; -1 with an empty board, the last when complete
    int32_t piece_order[MAX_PIECES];        // placed pieces, the piece being tried, then the unused ones
    int32_t orientation_index[MAX_PIECES];  // slot placed or being tried per depth; -1 for none
    CellTriple anchor_cell[MAX_PIECES];
    CellTriple current_cell;
};

// Written by the search (search/search.cpp, and the straightforward search of the tests and the
// benchmark) at every assembly, progress block and end; read by the reports.
extern SearchState search_state;
