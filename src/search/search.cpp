#include "search/search.hpp"

#include <bit>

#ifdef __AVX2__
#include <immintrin.h>
#endif

#include "model/run_statistics.hpp"
#include "search/engine.hpp"
#include "search/parallel.hpp"

SearchState search_state;
ProgressFunction progress_function = nullptr;
PlacementTable placement_table;
int32_t search_threads = 1;

void reset_search_order() {
    for (int d = 0; d < PIECE_COUNT; ++d) {
        search_state.piece_order[d] = d;
        search_state.orientation_index[d] = -1;
    }
}

void build_placement_table() {
    PlacementTable& t = placement_table;
    t.placement_count = 0;
    int32_t n = 0;
    for (int bit = 0; bit < INTERIOR_CELLS; ++bit) {
        const CellTriple anchor = scan_cell(bit);
        for (int piece = 0; piece < PIECE_COUNT; ++piece) {
            // Each (cell, piece) has a row of its own at a fixed place, so that finding it
            // takes no load.
            n = (bit * PIECE_COUNT + piece) * MAX_ORIENTATIONS;
            const int32_t first = n;
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
            t.placement_count += n - first;
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
}

namespace {

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
    f.first = static_cast<uint32_t>(at * MAX_ORIENTATIONS);
    f.untried = fitting_placements(f.first, placement_table.count[at], f.covered);
    return orientation_table.orientation_counts[piece];
}

// The single-threaded run's marks are the multiples of PROGRESS_INTERVAL: the block is printed
// when an exchange lands on one exactly.
bool progress_mark(FastSearch& s) {
    if (s.permutations == s.next_mark && progress_function != nullptr) {
        show_position(s, s.depth, true);
        progress_function();
    }
    s.next_mark = (s.permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
    return false;
}

FastSearch fast;
bool parallel = false;

}  // namespace

void publish_position(const FastSearch& s, int32_t placed, bool working_started, PublishedPosition& out) {
    SearchState& state = out.state;
    int64_t not_yet_tried = 0;
    for (int32_t d = 0; d < placed; ++d) {
        const Frame& f = s.frames[d];
        const int32_t o = placement_table.orientation[f.placed];
        state.piece_order[d] = f.piece;
        state.orientation_index[d] = o;
        state.anchor_cell[d] = scan_cell(f.cell);
        not_yet_tried += orientation_table.orientation_counts[f.piece] - 1 - o;
    }
    if (placed < PIECE_COUNT) {
        const Frame& f = s.frames[placed];
        state.piece_order[placed] = f.piece;
        int32_t d = placed;
        for (uint32_t rest = f.unplaced & ~(1u << f.piece); rest != 0; rest &= rest - 1)
            state.piece_order[++d] = std::countr_zero(rest);
        for (d = placed; d < PIECE_COUNT; ++d)
            state.orientation_index[d] = -1;
        state.current_cell = scan_cell(f.cell);
        if (working_started)
            not_yet_tried += orientation_table.orientation_counts[f.piece];
    } else {
        state.current_cell = state.anchor_cell[PIECE_COUNT - 1];
    }
    state.depth = placed - 1;
    out.permutations = s.permutations;
    out.tiles_attempted = s.tiles_attempted_ahead - not_yet_tried;
    out.tiles_succeeded = s.tiles_succeeded;
}

void show_position(const FastSearch& s, int32_t placed, bool working_started, const FastSearch* base) {
    PublishedPosition shown;
    publish_position(s, placed, working_started, shown);
    search_state = shown.state;
    run_statistics.permutations = shown.permutations + (base ? base->permutations : 0);
    run_statistics.tiles_attempted = shown.tiles_attempted + (base ? base->tiles_attempted_ahead : 0);
    run_statistics.tiles_succeeded = shown.tiles_succeeded + (base ? base->tiles_succeeded : 0);
}

void write_assembly(const FastSearch& s, Board& out) {
    init_board(out);
    for (const Frame& f : s.frames) {
        for (CellSet cells = placement_table.cells[f.placed]; cells != 0; cells &= cells - 1) {
            const CellTriple c = scan_cell(std::countr_zero(cells));
            out.cells[cell_index(c.x, c.y, c.z)] = f.piece;
        }
    }
}

void start_root(FastSearch& s) {
    s.depth = 0;
    s.floor = 0;
    s.ceiling = PIECE_COUNT;
    Frame& root = s.frames[0];
    root.covered = 0;
    root.cell = 0;
    root.unplaced = (1u << PIECE_COUNT) - 1;
    s.tiles_attempted_ahead += start_piece(root, 0);
}

// The same search tree as the straightforward search, step for step: the first empty cell is
// the lowest clear bit, the isolated-cell test one AND with the forward neighbours, and the fits
// of all a piece's orientations on a cell are found at once when the piece starts there; what
// is left per step is taking the next fitting one.
EngineStop run_engine(FastSearch& s) {
    const CellSet* const cells = placement_table.cells;
    // The counters live in registers while the loop runs and go back at every exit.
    int64_t permutations = s.permutations;
    int64_t attempted_ahead = s.tiles_attempted_ahead;
    int64_t succeeded = s.tiles_succeeded;
    int32_t d = s.depth;
    Frame* f = &s.frames[d];
    auto save = [&] {
        s.depth = d;
        s.permutations = permutations;
        s.tiles_attempted_ahead = attempted_ahead;
        s.tiles_succeeded = succeeded;
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
                return EngineStop::ASSEMBLY;
            }
            const int32_t first_empty = std::countr_zero(~now);
            if ((~now & placement_table.forward_neighbours[first_empty]) == 0)
                continue;  // a cell nothing can cover: the next orientation
            Frame* child = f + 1;
            child->covered = now;
            child->cell = first_empty;
            child->unplaced = f->unplaced & ~(1u << f->piece);
            attempted_ahead += start_piece(*child, std::countr_zero(child->unplaced));
            if (d + 1 == s.ceiling) {
                save();
                return EngineStop::SUBTREE;
            }
            ++d;
            f = child;
        }
        // This piece has no orientation left here: the next larger unused piece, or back.
        const uint32_t larger = f->unplaced & ~((2u << f->piece) - 1);
        if (larger != 0) {
            attempted_ahead += start_piece(*f, std::countr_zero(larger));
            if (++permutations >= s.next_mark) {
                save();
                if (s.on_mark(s))
                    return EngineStop::MARK;
            }
            continue;
        }
        if (d == s.floor) {
            if (d > 0)
                ++permutations;  // the retreat to the depth above belongs to this subtree
            save();
            return EngineStop::EXHAUSTED;
        }
        ++permutations;
        --d;
        --f;
    }
}

void begin_search() {
    search_state.depth = -1;
    search_state.current_cell = {0, 0, 0};
    build_placement_table();
    fast.permutations = run_statistics.permutations;
    fast.tiles_attempted_ahead = run_statistics.tiles_attempted;
    fast.tiles_succeeded = run_statistics.tiles_succeeded;
    fast.next_mark = (fast.permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
    fast.on_mark = progress_mark;
    start_root(fast);
    end_parallel_search();
    parallel = search_threads > 1;
    if (parallel)
        begin_parallel_search(search_threads);
}

void end_search() {
    end_parallel_search();
    parallel = false;
}

bool find_next_assembly() {
    if (parallel)
        return parallel_find_next_assembly();
    const EngineStop stop = run_engine(fast);
    const bool assembled = stop == EngineStop::ASSEMBLY;
    show_position(fast, assembled ? PIECE_COUNT : 0, false);
    if (assembled)
        write_assembly(fast, board);
    return assembled;
}
