#include "search/fast_puzzle.hpp"

#include <cstring>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/piece_sets.hpp"
#include "orient/orientations.hpp"
#include "search/placement_table.hpp"
#include "symmetry/rotation.hpp"

void run_fast_puzzle(FastPuzzle& out) {
    build_placement_table(piece_sets.same_as);
    const int32_t n = geometry.cell_count;
    out.cell_count = n;
    out.piece_count = catalogue.piece_count;
    for (int32_t p = 0; p < catalogue.piece_count; ++p)
        out.piece_class[p] = piece_sets.same_as[p];
    // The target's cells by their place in scan order, from the board's elements and bits.
    int8_t cell_of_bit[64];
    std::memset(cell_of_bit, -1, sizeof cell_of_bit);
    for (int32_t c = 0; c < n; ++c)
        cell_of_bit[geometry.element_bit[geometry.cell_element[c]]] = static_cast<int8_t>(c);
    auto cells_of = [&](CellSet bits) {
        CellSet cells = 0;
        for (; bits != 0; bits = without_lowest_cell(bits))
            cells |= cell_bit(cell_of_bit[lowest_cell(bits)]);
        return cells;
    };
    for (int32_t c = 0; c < n; ++c) {
        const CellTriple a = element_cell(geometry.cell_element[c]);
        CellSet near = 0;
        const int32_t steps[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const auto& s : steps) {
            const int bit = bit_at(a.x + s[0], a.y + s[1], a.z + s[2]);
            if (bit >= 0)
                near |= cell_bit(cell_of_bit[bit]);
        }
        out.neighbours[c] = near;
    }
    // The target's symmetries: symmetry g takes the piece on the cell whose element is
    // source[g][j] to cell j.
    out.symmetry_count = target_symmetries.count;
    for (int32_t g = 0; g < target_symmetries.count; ++g) {
        for (int32_t j = 0; j < n; ++j)
            out.symmetry_cells[g][cell_of_bit[geometry.element_bit[target_symmetries.source[g][j]]]] =
                static_cast<uint8_t>(j);
        for (int32_t p = 0; p < FAST_MAX_PIECES; ++p)
            out.symmetry_pieces[g][p] = static_cast<uint8_t>(target_symmetries.relabel[g][p]);
    }
    // Each slot's anchor cube is its first in scan order, so a placement anchored on a cell
    // covers that cell and cells after it only.
    out.placements.clear();
    for (int32_t c = 0; c < n; ++c) {
        const int32_t bit = geometry.element_bit[geometry.cell_element[c]];
        for (int32_t p = 0; p < catalogue.piece_count; ++p)
            for (uint32_t slots = placement_table.inside[bit * MAX_PIECES + p]; slots != 0; slots = without_lowest_bit(slots)) {
                const int32_t o = lowest_bit(slots);
                out.placements.push_back({cells_of(placement_cells(p, o, bit)), static_cast<uint8_t>(p),
                                          static_cast<uint8_t>(o), static_cast<uint8_t>(c)});
            }
    }
}
