// Where the search stands, as the straightforward search would show it: the reports print it.
#pragma once

#include <cstdint>

#include "model/catalogue.hpp"
#include "model/cell_set.hpp"

struct SearchState {
    int32_t depth;                           // last placed depth; -1 with an empty board, 12 when complete
    int32_t piece_order[PIECE_COUNT];        // placed pieces, the piece being tried, then the unused ones
    int32_t orientation_index[PIECE_COUNT];  // slot placed or being tried per depth; -1 for none
    CellTriple anchor_cell[PIECE_COUNT];
    CellTriple current_cell;
};

// Written by the search (search/search.cpp, and the straightforward search of the tests and the
// benchmark) at every assembly, progress block and end; read by the reports.
extern SearchState search_state;
