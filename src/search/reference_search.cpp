#include "search/reference_search.hpp"

#include <utility>

#include "model/board.hpp"
#include "model/piece_sets.hpp"
#include "model/run_statistics.hpp"
#include "orient/orientations.hpp"
#include "search/search.hpp"

PlacementFunction placement_function = nullptr;
PlacementFunction exchange_function = nullptr;

namespace {

enum class Step { SCAN, TRY, EXHAUSTED, RETREAT, REMOVE_PLAIN, REMOVE_RESORT };

int32_t& cell_at(const CellTriple& c) { return board.cells[cell_index(c.x, c.y, c.z)]; }

// The cell at the offset from c, or a border cell of its own where that lies beyond the board's
// border: a large piece can reach further than the one-cell border.
int32_t& cell_at(const CellTriple& c, const CubeOffset& offset) {
    static int32_t beyond;
    const int x = c.x + offset.x, y = c.y + offset.y, z = c.z + offset.z;
    if (x < 0 || y < 0 || z < 0 || x > geometry.edge[0] + 1 || y > geometry.edge[1] + 1 || z > geometry.edge[2] + 1) {
        beyond = BORDER_CELL;
        return beyond;
    }
    return board.cells[cell_index(x, y, z)];
}

void sort_order_from(int32_t first) {
    int32_t* order = search_state.piece_order;
    const int32_t pieces = catalogue.piece_count;
    for (int32_t i = first; i < pieces - 1; ++i)
        for (int32_t j = i + 1; j < pieces; ++j)
            if (order[j] < order[i])
                std::swap(order[i], order[j]);
}

// Whether a later depth may still take piece q: of identical pieces, only the first unplaced one.
bool first_unplaced_copy(int32_t q, int32_t from_depth) {
    for (int32_t d = from_depth; d < catalogue.piece_count; ++d) {
        const int32_t r = search_state.piece_order[d];
        if (r < q && piece_sets.same_as[r] == piece_sets.same_as[q])
            return false;
    }
    return true;
}

// Scan from current_cell for the first empty cell; false when there is none or when it has no
// empty neighbour at +x, +y or +z (the neighbours before it are covered already), unless a piece
// of one cube could cover it.
bool scan_for_coverable_cell() {
    CellTriple c = search_state.current_cell;
    bool one_cube = false;
    for (int32_t p = 0; p < catalogue.piece_count; ++p)
        one_cube = one_cube || catalogue.shapes[p].cube_count == 1;
    for (; c.z <= geometry.edge[2] + 1; ++c.z, c.y = 0) {
        for (; c.y <= geometry.edge[1] + 1; ++c.y, c.x = 0) {
            for (; c.x <= geometry.edge[0] + 1; ++c.x) {
                if (cell_at(c) != EMPTY_CELL)
                    continue;
                const int32_t* e = &board.cells[cell_index(c.x, c.y, c.z)];
                if (!one_cube && e[geometry.stride[0]] != EMPTY_CELL && e[geometry.stride[1]] != EMPTY_CELL &&
                    e[1] != EMPTY_CELL)
                    return false;
                search_state.current_cell = c;
                return true;
            }
        }
    }
    return false;
}

bool fits(const PieceShape& shape) {
    for (int i = 0; i < shape.cube_count; ++i)
        if (cell_at(search_state.current_cell, shape.cubes[i]) != EMPTY_CELL)
            return false;
    return true;
}

}  // namespace

bool reference_find_next_assembly() {
    SearchState& s = search_state;
    SearchCounters& stats = run_statistics.counters;
    Step step = Step::SCAN;
    for (;;) {
        const int32_t p = s.depth + 1;
        switch (step) {
        case Step::SCAN:
            step = scan_for_coverable_cell() ? Step::TRY : Step::REMOVE_PLAIN;
            break;

        case Step::TRY: {
            const int32_t piece = s.piece_order[p];
            if (++s.orientation_index[p] == orientation_table.orientation_counts[piece]) {
                step = Step::EXHAUSTED;
                break;
            }
            ++stats.tiles_attempted;
            const PieceShape& shape = orientation_table.slots[piece][s.orientation_index[p]];
            if (!fits(shape))
                break;
            for (int i = 0; i < shape.cube_count; ++i)
                cell_at(s.current_cell, shape.cubes[i]) = shape.piece_number;
            ++stats.tiles_succeeded;
            s.depth = p;
            s.anchor_cell[p] = s.current_cell;
            if (placement_function != nullptr)
                placement_function();
            if (s.depth == catalogue.piece_count - 1)
                return true;
            step = Step::SCAN;
            break;
        }

        case Step::EXHAUSTED: {
            s.orientation_index[p] = -1;
            const int32_t piece = s.piece_order[p];
            int32_t best = MAX_PIECES;
            int32_t best_depth = -1;
            for (int32_t q = p + 1; q < catalogue.piece_count; ++q)
                if (s.piece_order[q] > piece && s.piece_order[q] < best && first_unplaced_copy(s.piece_order[q], p)) {
                    best = s.piece_order[q];
                    best_depth = q;
                }
            if (best == MAX_PIECES) {
                step = Step::RETREAT;
                break;
            }
            s.piece_order[p] = best;
            s.piece_order[best_depth] = piece;
            sort_order_from(p + 1);
            ++stats.permutations;
            if (exchange_function != nullptr)
                exchange_function();
            if (stats.permutations % PROGRESS_INTERVAL == 0 && progress_function != nullptr)
                progress_function();
            step = Step::TRY;
            break;
        }

        case Step::RETREAT:
            if (s.depth == -1)
                return false;
            step = Step::REMOVE_RESORT;
            break;

        case Step::REMOVE_PLAIN:
        case Step::REMOVE_RESORT: {
            const int32_t r = s.depth;
            const PieceShape& shape = orientation_table.slots[s.piece_order[r]][s.orientation_index[r]];
            s.current_cell = s.anchor_cell[r];
            for (int i = 0; i < shape.cube_count; ++i) {
                int32_t& cell = cell_at(s.current_cell, shape.cubes[i]);
                if (cell != shape.piece_number)
                    break;
                cell = EMPTY_CELL;
            }
            if (step == Step::REMOVE_RESORT) {
                sort_order_from(r + 1);
                ++stats.permutations;
            }
            s.depth = r - 1;
            step = Step::TRY;
            break;
        }
        }
    }
}
