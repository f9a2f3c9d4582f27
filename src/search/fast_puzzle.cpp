#include "search/fast_puzzle.hpp"

#include <algorithm>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "orient/orientations.hpp"

void built_in_fast_puzzle(FastPuzzle& out) {
    out.cell_count = INTERIOR_CELLS;
    out.piece_count = PIECE_COUNT;
    for (int32_t p = 0; p < PIECE_COUNT; ++p)
        out.piece_class[p] = p;  // the thirteen pieces are all different
    for (int32_t c = 0; c < INTERIOR_CELLS; ++c) {
        const CellTriple a = scan_cell(c);
        CellSet near = 0;
        const int32_t steps[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const auto& s : steps)
            if (is_interior(a.x + s[0], a.y + s[1], a.z + s[2]))
                near |= cell_bit(scan_bit(a.x + s[0], a.y + s[1], a.z + s[2]));
        out.neighbours[c] = near;
    }
    // The 24 rotations: every signed permutation of the axes with determinant +1, about the
    // cube's centre (coordinates 1..4 map to 5 - v under a sign change).
    out.symmetry_count = 0;
    const int32_t axis_orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
    for (int32_t order = 0; order < 6; ++order)
        for (int32_t signs = 0; signs < 8; ++signs) {
            const int32_t flips = (signs & 1) + (signs >> 1 & 1) + (signs >> 2 & 1);
            if ((flips + (order >= 3 ? 1 : 0)) % 2 != 0)
                continue;  // a reflection
            const int32_t g = out.symmetry_count++;
            for (int32_t c = 0; c < INTERIOR_CELLS; ++c) {
                const CellTriple a = scan_cell(c);
                const int32_t v[3] = {a.x, a.y, a.z};
                int32_t w[3];
                for (int32_t k = 0; k < 3; ++k) {
                    const int32_t from = v[axis_orders[order][k]];
                    w[k] = (signs >> k & 1) != 0 ? 5 - from : from;
                }
                out.symmetry_cells[g][c] = static_cast<uint8_t>(scan_bit(w[0], w[1], w[2]));
            }
            for (int32_t p = 0; p < FAST_MAX_PIECES; ++p)
                out.symmetry_pieces[g][p] = static_cast<uint8_t>(p);
        }
    // Each slot's anchor cube is its first in scan order, so a placement anchored on a cell
    // covers that cell and cells after it only.
    out.placements.clear();
    for (int32_t c = 0; c < INTERIOR_CELLS; ++c) {
        const CellTriple a = scan_cell(c);
        for (int32_t p = 0; p < PIECE_COUNT; ++p)
            for (int32_t o = 0; o < orientation_table.orientation_counts[p]; ++o) {
                const PieceShape& shape = orientation_table.slots[p][o];
                CellSet cells = 0;
                bool inside = true;
                for (int32_t i = 0; i < shape.cube_count && inside; ++i) {
                    const int32_t x = a.x + shape.cubes[i].x, y = a.y + shape.cubes[i].y, z = a.z + shape.cubes[i].z;
                    inside = is_interior(x, y, z);
                    if (inside)
                        cells |= cell_bit(scan_bit(x, y, z));
                }
                if (inside)
                    out.placements.push_back({cells, static_cast<uint8_t>(p), static_cast<uint8_t>(o), static_cast<uint8_t>(c)});
            }
    }
}
