#include "search/search.hpp"

#include <bit>

#ifdef __AVX2__
#include <immintrin.h>
#endif

#include "model/run_statistics.hpp"

SearchState search_state;
ProgressFunction progress_function = nullptr;
PlacementTable placement_table;

void reset_search_order() {
    for (int d = 0; d < PIECE_COUNT; ++d) {
        search_state.piece_order[d] = d;
        search_state.orientation_index[d] = -1;
    }
}

void build_placement_table() {
    PlacementTable& t = placement_table;
    int32_t n = 0;
    for (int bit = 0; bit < INTERIOR_CELLS; ++bit) {
        const CellTriple anchor = scan_cell(bit);
        for (int piece = 0; piece < PIECE_COUNT; ++piece) {
            n = (n + PLACEMENT_GROUP - 1) / PLACEMENT_GROUP * PLACEMENT_GROUP;
            const int32_t first = n;
            t.first[bit * PIECE_COUNT + piece] = static_cast<uint16_t>(first);
            for (int o = 0; o < orientation_table.orientation_counts[piece]; ++o) {
                const PieceShape& shape = orientation_table.slots[piece][o];
                CellSet covered = 0;
                bool inside = true;
                for (int i = 0; i < shape.cube_count; ++i) {
                    const int x = anchor.x + shape.cubes[i].x;
                    const int y = anchor.y + shape.cubes[i].y;
                    const int z = anchor.z + shape.cubes[i].z;
                    inside = inside && is_interior(x, y, z);
                    if (inside)
                        covered |= CellSet{1} << scan_bit(x, y, z);
                }
                if (!inside)
                    continue;
                t.cells[n] = covered;
                t.orientation[n] = static_cast<uint8_t>(o);
                ++n;
            }
            t.count[bit * PIECE_COUNT + piece] = static_cast<uint8_t>(n - first);
        }
        CellSet forward = 0;
        if (anchor.x < 4)
            forward |= CellSet{1} << (bit + 1);
        if (anchor.y < 4)
            forward |= CellSet{1} << (bit + 4);
        if (anchor.z < 4)
            forward |= CellSet{1} << (bit + 16);
        t.forward_neighbours[bit] = forward;
    }
    t.forward_neighbours[INTERIOR_CELLS] = 0;
    t.placement_count = n;
}

namespace {

// One depth of the fast search: the piece being tried on the depth's anchor cell, and which of
// its placements fit there and are still to be tried. Pieces are bits of a set, so the next
// larger unused piece is the lowest set bit above the current one, as the straightforward
// search's exchange and re-sort give.
struct Frame {
    CellSet covered;    // cells covered by the earlier depths
    uint32_t untried;   // fitting placements not tried yet, as bits over the group from `first`
    uint32_t first;     // the current piece's first placement on this cell
    uint32_t placed;    // the placement standing at this depth
    uint32_t unplaced;  // pieces not placed at earlier depths, the current one included
    int32_t piece;
    int32_t cell;
};

static_assert(sizeof(Frame) == 32);

// The whole search position between calls. tiles_attempted is counted ahead: when a piece
// starts on a cell all its orientations are added at once, and what the straightforward search
// has not tried yet is subtracted whenever the counter is shown.
struct FastSearch {
    Frame frames[PIECE_COUNT];
    int32_t depth;  // the working depth
    int64_t permutations;
    int64_t tiles_attempted_ahead;
    int64_t tiles_succeeded;
    int64_t next_progress;  // the next multiple of PROGRESS_INTERVAL that permutations reaches
};

FastSearch fast;

// Bit k set when placement first + k leaves every covered cell free.
inline uint32_t fitting_placements(uint32_t first, uint32_t count, CellSet covered) {
    const CellSet* cells = placement_table.cells + first;
    uint32_t fits = 0;
#ifdef __AVX2__
    const __m256i taken = _mm256_set1_epi64x(static_cast<long long>(covered));
    const __m256i zero = _mm256_setzero_si256();
    for (uint32_t k = 0; k < count; k += 2 * PLACEMENT_GROUP) {
        const __m256i low = _mm256_load_si256(reinterpret_cast<const __m256i*>(cells + k));
        const __m256i high = _mm256_load_si256(reinterpret_cast<const __m256i*>(cells + k + PLACEMENT_GROUP));
        const __m256i low_free = _mm256_cmpeq_epi64(_mm256_and_si256(low, taken), zero);
        const __m256i high_free = _mm256_cmpeq_epi64(_mm256_and_si256(high, taken), zero);
        const uint32_t group_fits = static_cast<uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(low_free))) |
                                    static_cast<uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(high_free))) << 4;
        fits |= group_fits << k;
    }
    return fits & ((1u << count) - 1);
#else
    for (uint32_t k = 0; k < count; ++k)
        fits |= static_cast<uint32_t>((cells[k] & covered) == 0) << k;
    return fits;
#endif
}

// Sets the frame on the piece's placements on its cell and returns how many orientations the
// piece has, which tiles_attempted is counted ahead by.
inline int32_t start_piece(Frame& f, int32_t piece) {
    const int32_t at = f.cell * PIECE_COUNT + piece;
    f.piece = piece;
    f.first = placement_table.first[at];
    f.untried = fitting_placements(f.first, placement_table.count[at], f.covered);
    return orientation_table.orientation_counts[piece];
}

// Writes the position into the search state and the run statistics, for depths 0..placed-1
// placed and, when placed < PIECE_COUNT, depth `placed` holding its piece with nothing tried.
void publish(int32_t placed) {
    SearchState& s = search_state;
    int64_t not_yet_tried = 0;
    for (int32_t d = 0; d < placed; ++d) {
        const Frame& f = fast.frames[d];
        const int32_t o = placement_table.orientation[f.placed];
        s.piece_order[d] = f.piece;
        s.orientation_index[d] = o;
        s.anchor_cell[d] = scan_cell(f.cell);
        not_yet_tried += orientation_table.orientation_counts[f.piece] - 1 - o;
    }
    if (placed < PIECE_COUNT) {
        const Frame& f = fast.frames[placed];
        s.piece_order[placed] = f.piece;
        int32_t d = placed;
        for (uint32_t rest = f.unplaced & ~(1u << f.piece); rest != 0; rest &= rest - 1)
            s.piece_order[++d] = std::countr_zero(rest);
        for (d = placed; d < PIECE_COUNT; ++d)
            s.orientation_index[d] = -1;
        s.current_cell = scan_cell(f.cell);
    } else {
        s.current_cell = s.anchor_cell[PIECE_COUNT - 1];
    }
    s.depth = placed - 1;
    run_statistics.permutations = fast.permutations;
    run_statistics.tiles_attempted = fast.tiles_attempted_ahead - not_yet_tried;
    run_statistics.tiles_succeeded = fast.tiles_succeeded;
}

void write_assembly_to_board() {
    init_board();
    for (const Frame& f : fast.frames) {
        for (CellSet cells = placement_table.cells[f.placed]; cells != 0; cells &= cells - 1) {
            const CellTriple c = scan_cell(std::countr_zero(cells));
            board.cells[cell_index(c.x, c.y, c.z)] = f.piece;
        }
    }
}

}  // namespace

void begin_search() {
    search_state.depth = -1;
    search_state.current_cell = {0, 0, 0};
    build_placement_table();
    fast.depth = 0;
    fast.permutations = run_statistics.permutations;
    fast.tiles_attempted_ahead = run_statistics.tiles_attempted;
    fast.tiles_succeeded = run_statistics.tiles_succeeded;
    fast.next_progress = (fast.permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
    Frame& root = fast.frames[0];
    root.covered = 0;
    root.cell = 0;
    root.unplaced = (1u << PIECE_COUNT) - 1;
    fast.tiles_attempted_ahead += start_piece(root, 0);
}

// The same search tree as the straightforward search, step for step: the first empty cell is
// the lowest clear bit, the isolated-cell test one AND with the forward neighbours, and the fits
// of all a piece's orientations on a cell are found at once when the piece starts there; what
// is left per step is taking the next fitting one.
bool find_next_assembly() {
    const CellSet* const cells = placement_table.cells;
    // The counters live in registers while the search runs and go back at every exit.
    int64_t permutations = fast.permutations;
    int64_t attempted_ahead = fast.tiles_attempted_ahead;
    int64_t succeeded = fast.tiles_succeeded;
    int64_t next_progress = fast.next_progress;
    int32_t d = fast.depth;
    Frame* f = &fast.frames[d];
    auto save = [&] {
        fast.next_progress = next_progress;
        fast.depth = d;
        fast.permutations = permutations;
        fast.tiles_attempted_ahead = attempted_ahead;
        fast.tiles_succeeded = succeeded;
    };
    for (;;) {
        while (f->untried != 0) {
            const uint32_t i = f->first + static_cast<uint32_t>(std::countr_zero(f->untried));
            f->untried &= f->untried - 1;
            ++succeeded;
            const CellSet now = f->covered | cells[i];
            f->placed = i;
            if (d == PIECE_COUNT - 1) {
                save();
                publish(PIECE_COUNT);
                write_assembly_to_board();
                return true;
            }
            const int32_t first_empty = std::countr_zero(~now);
            if ((~now & placement_table.forward_neighbours[first_empty]) == 0)
                continue;  // a cell nothing can cover: the next orientation
            Frame* child = f + 1;
            child->covered = now;
            child->cell = first_empty;
            child->unplaced = f->unplaced & ~(1u << f->piece);
            attempted_ahead += start_piece(*child, std::countr_zero(child->unplaced));
            ++d;
            f = child;
        }
        // This piece has no orientation left here: the next larger unused piece, or back.
        const uint32_t larger = f->unplaced & ~((2u << f->piece) - 1);
        if (larger != 0) {
            f->piece = std::countr_zero(larger);
            if (++permutations >= next_progress) {
                if (permutations == next_progress && progress_function != nullptr) {
                    save();
                    publish(d);
                    progress_function();
                }
                next_progress = (permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
            }
            attempted_ahead += start_piece(*f, f->piece);
            continue;
        }
        if (d == 0) {
            save();
            publish(0);
            return false;
        }
        ++permutations;
        --d;
        --f;
    }
}
