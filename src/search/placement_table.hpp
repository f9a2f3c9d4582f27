// The placement table: every orientation of every piece as a cell set, which slots stay on the
// target from each cell, and the sums the loop counts ahead with. Built once from the orientation
// table and the board's geometry before the search, then only read.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/cell_set.hpp"
#include "orient/orientations.hpp"

static_assert(MAX_ORIENTATIONS <= 32, "orientation slots are bits of a 32-bit set");
static_assert(MAX_PIECES <= 32, "pieces are bits of a 32-bit set");

struct PlacementTable {
    int32_t piece_count;
    // Where the bits number a box's cells (geometry.box_bits), each orientation as the cells it
    // covers seen from its anchor cube, which is bit 0: placed on a cell it covers the same cells
    // shifted up to that cell, so the fits of a piece on a cell are one AND per slot with the
    // covered cells shifted down.
    alignas(64) CellSet relative[MAX_PIECES][MAX_ORIENTATIONS];
    // Otherwise, each orientation as the cells it covers when anchored on each cell.
    alignas(64) CellSet placed[64][MAX_PIECES][MAX_ORIENTATIONS];
    // Per (cell, piece), at cell * MAX_PIECES + piece, bit o: slot o stays on the target.
    uint32_t inside[64 * MAX_PIECES];
    // The target cells at +x, +y and +z; a cell without any cannot be covered, unless the puzzle
    // has a piece of one cube, when every entry is all cells. One entry more, for a full
    // target, keeps every lowest-clear-bit index in range.
    CellSet forward_neighbours[64 + 1];
    // The pieces tried at a depth are the first unplaced copy of each set of identical pieces:
    // when a piece is placed, the copy after it (a bit, or 0) takes its place.
    uint32_t next_copy[MAX_PIECES];
    // The first copy of each set of identical pieces.
    uint32_t first_copies;
    // The orientation counts of a set of pieces added up, looked up a byte at a time.
    int32_t orientation_sum_part[4][256];
};

extern PlacementTable placement_table;

// Builds the placement table from the orientation table, the board's geometry and the sets of
// identical pieces (`same_as[p]`: the first piece identical to p, p itself for the first).
void build_placement_table(const int32_t* same_as);

// ALL_BYTES for a set of more than 16 pieces; without it, only the two low bytes are looked up.
template <bool ALL_BYTES = true>
inline int32_t orientation_sum(uint32_t pieces) {
    const int32_t(*part)[256] = placement_table.orientation_sum_part;
    const int32_t low = part[0][pieces & 255] + part[1][pieces >> 8 & 255];
    return ALL_BYTES ? low + part[2][pieces >> 16 & 255] + part[3][pieces >> 24] : low;
}

// The cells that slot o of piece p covers when anchored on the cell with bit `cell`.
inline CellSet placement_cells(int32_t piece, int32_t o, int32_t cell) {
    return geometry.box_bits ? placement_table.relative[piece][o] << cell : placement_table.placed[cell][piece][o];
}
