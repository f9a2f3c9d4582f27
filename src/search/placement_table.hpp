// The placement table: every orientation of every piece as a cell set seen from its anchor cube,
// which slots stay inside the cube from each cell, and the sums the loop counts ahead with. Built
// once from the orientation table before the search, then only read.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/cell_set.hpp"
#include "orient/orientations.hpp"

static_assert(MAX_ORIENTATIONS <= 32, "orientation slots are bits of a 32-bit set");

struct PlacementTable {
    // Each orientation as the cells it covers seen from its anchor cube, which is bit 0. Placed
    // on a cell it covers the same cells shifted up to that cell, wherever it stays inside, so
    // the fits of a piece on a cell are one AND per slot with the covered cells shifted down.
    alignas(64) CellSet relative[PIECE_COUNT][MAX_ORIENTATIONS];
    // Per (cell, piece), at cell * PIECE_COUNT + piece, bit o: slot o stays inside the cube.
    uint32_t inside[INTERIOR_CELLS * PIECE_COUNT];
    // The cells at +x, +y and +z inside the cube; one entry more, for a full cube, keeps every
    // lowest-clear-bit index in range.
    CellSet forward_neighbours[INTERIOR_CELLS + 1];
    // The orientation counts of a set of pieces added up, looked up in two halves.
    int32_t orientation_sum_low[1 << 7];
    int32_t orientation_sum_high[1 << (PIECE_COUNT - 7)];
};

extern PlacementTable placement_table;

// Builds the placement table from the orientation table.
void build_placement_table();

inline int32_t orientation_sum(uint32_t pieces) {
    return placement_table.orientation_sum_low[pieces & 127] + placement_table.orientation_sum_high[pieces >> 7];
}
