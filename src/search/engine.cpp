#include "search/engine.hpp"

#include <immintrin.h>

#include <initializer_list>

PlacementTable placement_table;

void build_placement_table() {
    PlacementTable& t = placement_table;
    for (int piece = 0; piece < PIECE_COUNT; ++piece)
        for (int o = 0; o < MAX_ORIENTATIONS; ++o)
            t.relative[piece][o] = 0;
    for (int bit = 0; bit < INTERIOR_CELLS; ++bit) {
        const CellTriple anchor = scan_cell(bit);
        for (int piece = 0; piece < PIECE_COUNT; ++piece) {
            uint32_t inside = 0;
            for (int o = 0; o < orientation_table.orientation_counts[piece]; ++o) {
                const PieceShape& shape = orientation_table.slots[piece][o];
                CellSet covered = 0;
                bool stays_inside = true;
                for (int i = 0; i < shape.cube_count && stays_inside; ++i) {
                    const int x = anchor.x + shape.cubes[i].x;
                    const int y = anchor.y + shape.cubes[i].y;
                    const int z = anchor.z + shape.cubes[i].z;
                    stays_inside = is_interior(x, y, z);
                    if (stays_inside)
                        covered |= cell_bit(scan_bit(x, y, z));
                }
                if (!stays_inside)
                    continue;
                // The anchor is the first cube in scan order, so no cube lies below it.
                t.relative[piece][o] = covered >> bit;
                inside |= bit_of(o);
            }
            t.inside[bit * PIECE_COUNT + piece] = inside;
        }
        CellSet forward = 0;
        if (anchor.x < 4)
            forward |= cell_bit(bit + 1);
        if (anchor.y < 4)
            forward |= cell_bit(bit + 4);
        if (anchor.z < 4)
            forward |= cell_bit(bit + 16);
        t.forward_neighbours[bit] = forward;
    }
    t.forward_neighbours[INTERIOR_CELLS] = 0;

    for (uint32_t set = 0; set < bit_of(PIECE_COUNT); ++set) {
        int32_t sum = 0;
        for (int piece = 0; piece < PIECE_COUNT; ++piece)
            if (set & bit_of(piece))
                sum += orientation_table.orientation_counts[piece];
        if (set < 128)
            t.orientation_sum_low[set] = sum;
        if ((set & 127) == 0)
            t.orientation_sum_high[set >> 7] = sum;
    }
}

uint32_t free_orientations_plain(int32_t piece, CellSet around) {
    const CellSet* shapes = placement_table.relative[piece];
    uint32_t free = 0;
    for (int k = 0; k < MAX_ORIENTATIONS; ++k)
        free |= static_cast<uint32_t>((shapes[k] & around) == 0) << k;
    return free;
}

[[gnu::target("avx2")]] uint32_t free_orientations_avx2(int32_t piece, CellSet around) {
    const CellSet* shapes = placement_table.relative[piece];
    const __m256i taken = _mm256_set1_epi64x(static_cast<long long>(around));
    const __m256i zero = _mm256_setzero_si256();
    uint32_t free = 0;
    for (int k = 0; k < MAX_ORIENTATIONS; k += 4) {
        const __m256i shape = _mm256_load_si256(reinterpret_cast<const __m256i*>(shapes + k));
        const __m256i clear = _mm256_cmpeq_epi64(_mm256_and_si256(shape, taken), zero);
        free |= static_cast<uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(clear))) << k;
    }
    return free;
}

[[gnu::target("avx512f")]] uint32_t free_orientations_avx512(int32_t piece, CellSet around) {
    const CellSet* shapes = placement_table.relative[piece];
    const __m512i taken = _mm512_set1_epi64(static_cast<long long>(around));
    return static_cast<uint32_t>(_mm512_testn_epi64_mask(_mm512_load_si512(shapes), taken)) |
           static_cast<uint32_t>(_mm512_testn_epi64_mask(_mm512_load_si512(shapes + 8), taken)) << 8 |
           static_cast<uint32_t>(_mm512_testn_epi64_mask(_mm512_load_si512(shapes + 16), taken)) << 16;
}

bool fit_test_supported(FitTest test) {
    switch (test) {
    case FitTest::PLAIN:
        return true;
    case FitTest::AVX2:
        return __builtin_cpu_supports("x86-64-v3");
    case FitTest::AVX512:
        return __builtin_cpu_supports("x86-64-v4");
    }
    return false;
}

FitTest widest_fit_test() {
    for (FitTest test : {FitTest::AVX512, FitTest::AVX2})
        if (fit_test_supported(test))
            return test;
    return FitTest::PLAIN;
}

const char* fit_test_name(FitTest test) {
    switch (test) {
    case FitTest::PLAIN:
        return "plain loop";
    case FitTest::AVX2:
        return "AVX2, 4 lanes";
    case FitTest::AVX512:
        return "AVX-512, 8 lanes";
    }
    return "?";
}

FitTest engine_fit_test = widest_fit_test();

namespace {

using FitFunction = uint32_t (*)(int32_t piece, CellSet around);

// Fills the frame's fits for every unused piece on its cell and returns the pieces that fit.
template <FitFunction free_orientations>
[[gnu::always_inline]] inline uint32_t find_fits(Frame& f) {
    const CellSet around = f.covered >> f.cell;
    const uint32_t* inside = placement_table.inside + f.cell * PIECE_COUNT;
    uint32_t fitting = 0;
    for (uint32_t rest = f.unplaced; rest != 0; rest = without_lowest_bit(rest)) {
        const int32_t piece = lowest_bit(rest);
        const uint32_t fits = free_orientations(piece, around) & inside[piece];
        f.fits[piece] = fits;
        fitting |= static_cast<uint32_t>(fits != 0) << piece;
    }
    f.fitting = fitting;
    return fitting;
}

// Sets the frame on its first piece, the smallest unused one, and returns how many orientations
// it has, which tiles_attempted is counted ahead by.
inline int32_t start_first_piece(Frame& f) {
    f.piece = lowest_bit(f.unplaced);
    f.untried = f.fits[f.piece];
    return orientation_table.orientation_counts[f.piece];
}

// The same search tree as the straightforward search, step for step: the first empty cell is
// the lowest clear bit, the isolated-cell test one AND with the forward neighbours, and the fits
// of every unused piece on a cell are found at once when its depth is entered. A depth where
// nothing fits, the commonest case, is counted without being entered; the exchanges between
// pieces that do not fit are counted together. It is compiled once per fit test, each copy for
// the processors that have that test.
template <FitFunction free_orientations>
[[gnu::always_inline]] inline EngineStop engine_loop(FastSearch& s) {
    const CellSet(*const relative)[MAX_ORIENTATIONS] = placement_table.relative;
    // The counters live in registers while the loop runs and go back at every exit.
    int64_t permutations = s.counted.permutations;
    int64_t attempted_ahead = s.counted.tiles_attempted;
    int64_t succeeded = s.counted.tiles_succeeded;
    const int64_t next_mark = s.next_mark;
    int32_t d = s.depth;
    Frame* f = &s.frames[d];
    auto save = [&] {
        s.depth = d;
        s.counted = {permutations, attempted_ahead, succeeded};
    };
    // The working depth's untried slots live in a register too, and go back to the frame
    // whenever the frame is left.
    uint32_t untried = f->untried;
    for (;;) {
        while (untried != 0) {
            const int32_t o = lowest_bit(untried);
            untried = without_lowest_bit(untried);
            ++succeeded;
            const CellSet now = f->covered | relative[f->piece][o] << f->cell;
            f->placed = o;
            if (d == PIECE_COUNT - 1) {
                f->untried = untried;
                save();
                return EngineStop::ASSEMBLY;
            }
            const int32_t first_empty = first_empty_cell(now);
            if ((~now & placement_table.forward_neighbours[first_empty]) == 0)
                continue;  // a cell nothing can cover: the next orientation
            Frame* child = f + 1;
            child->covered = now;
            child->cell = first_empty;
            child->unplaced = f->unplaced & ~bit_of(f->piece);
            const int32_t pieces = std::popcount(child->unplaced);
            // A depth where no piece fits takes `pieces` permutations: an exchange to each of its
            // pieces but the first, then the retreat. Only exchanges are marks, so it can be
            // counted at once when its last exchange, at permutations + pieces - 1, stays below
            // the mark; otherwise it is entered and stepped through.
            if (find_fits<free_orientations>(*child) == 0 && permutations + pieces - 1 < next_mark) {
                permutations += pieces;
                attempted_ahead += orientation_sum(child->unplaced);
                continue;
            }
            attempted_ahead += start_first_piece(*child);
            f->untried = untried;
            // A subtree is handed back only when its root has a piece that fits. A dead child is
            // counted at once by the splitter, which has no marks, but entered by the merge walk
            // when a progress mark falls inside it; handing back only live children keeps the
            // two numbering the same subtrees.
            if (d + 1 == s.ceiling && child->fitting != 0) {
                save();
                return EngineStop::SUBTREE;
            }
            ++d;
            f = child;
            untried = f->untried;
        }
        // This piece has no orientation left here: exchanges up to the next larger piece that
        // fits, or through all the larger ones and back.
        const uint32_t larger = f->unplaced & bits_above(f->piece);
        const uint32_t passed = bits_through_first(larger, f->fitting);
        if (passed != 0 && permutations + std::popcount(passed) >= next_mark) {
            // One exchange at a time, to stop at the one that reaches the mark.
            f->piece = lowest_bit(passed);
            untried = f->untried = f->fits[f->piece];
            attempted_ahead += orientation_table.orientation_counts[f->piece];
            if (++permutations >= next_mark) {
                save();
                return EngineStop::MARK;
            }
            continue;
        }
        permutations += std::popcount(passed);
        attempted_ahead += orientation_sum(passed);
        const uint32_t next_fitting = f->fitting & larger;
        if (next_fitting != 0) {
            f->piece = lowest_bit(next_fitting);
            untried = f->fits[f->piece];
            continue;
        }
        f->untried = 0;
        if (d == s.floor) {
            // The position left shows the last piece tried here, as the straightforward
            // search's does; a depth that retreats is set afresh when it is entered again.
            if (larger != 0)
                f->piece = highest_bit(larger);
            if (d > 0)
                ++permutations;  // the retreat to the depth above belongs to this subtree
            save();
            return EngineStop::EXHAUSTED;
        }
        ++permutations;
        --d;
        --f;
        untried = f->untried;
    }
}

EngineStop run_engine_plain(FastSearch& s) { return engine_loop<free_orientations_plain>(s); }

[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] EngineStop run_engine_avx2(FastSearch& s) {
    return engine_loop<free_orientations_avx2>(s);
}

[[gnu::target("avx512f,avx512vl,avx512bw,avx512dq,avx512cd,avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] EngineStop
run_engine_avx512(FastSearch& s) {
    return engine_loop<free_orientations_avx512>(s);
}

}  // namespace

EngineStop run_engine(FastSearch& s) {
    switch (engine_fit_test) {
    case FitTest::AVX512:
        return run_engine_avx512(s);
    case FitTest::AVX2:
        return run_engine_avx2(s);
    case FitTest::PLAIN:
        break;
    }
    return run_engine_plain(s);
}

EngineStop run_to_progress_mark(FastSearch& s, int64_t interval) {
    for (;;) {
        const EngineStop stop = run_engine(s);
        if (stop != EngineStop::MARK)
            return stop;
        const bool landed = s.counted.permutations == s.next_mark;
        s.next_mark = next_multiple(s.counted.permutations, interval);
        if (landed)
            return stop;
    }
}

void start_root(FastSearch& s, const SearchCounters& counters) {
    s.depth = 0;
    s.floor = 0;
    s.ceiling = PIECE_COUNT;
    s.counted = counters;
    s.next_mark = INT64_MAX;
    Frame& root = s.frames[0];
    root.covered = 0;
    root.cell = 0;
    root.unplaced = bit_of(PIECE_COUNT) - 1;
    find_fits<free_orientations_plain>(root);
    s.counted.tiles_attempted += start_first_piece(root);
}

void publish_position(const FastSearch& s, int32_t placed, bool working_started, const SearchCounters& base,
                      PublishedPosition& out) {
    SearchState& state = out.state;
    int64_t not_yet_tried = 0;
    for (int32_t d = 0; d < placed; ++d) {
        const Frame& f = s.frames[d];
        const int32_t o = f.placed;
        state.piece_order[d] = f.piece;
        state.orientation_index[d] = o;
        state.anchor_cell[d] = scan_cell(f.cell);
        not_yet_tried += orientation_table.orientation_counts[f.piece] - 1 - o;
    }
    if (placed < PIECE_COUNT) {
        const Frame& f = s.frames[placed];
        state.piece_order[placed] = f.piece;
        int32_t d = placed;
        for (uint32_t rest = f.unplaced & ~bit_of(f.piece); rest != 0; rest = without_lowest_bit(rest))
            state.piece_order[++d] = lowest_bit(rest);
        for (d = placed; d < PIECE_COUNT; ++d)
            state.orientation_index[d] = -1;
        state.current_cell = scan_cell(f.cell);
        if (working_started)
            not_yet_tried += orientation_table.orientation_counts[f.piece];
    } else {
        state.current_cell = state.anchor_cell[PIECE_COUNT - 1];
    }
    state.depth = placed - 1;
    out.counters = {s.counted.permutations, s.counted.tiles_attempted - not_yet_tried, s.counted.tiles_succeeded};
    add_counters(out.counters, base);
}

void write_assembly(const FastSearch& s, Board& out) {
    init_board(out);
    for (const Frame& f : s.frames)
        for (CellSet cells = placement_table.relative[f.piece][f.placed] << f.cell; cells != 0;
             cells = without_lowest_cell(cells))
            out.cells[scan_element(lowest_cell(cells))] = f.piece;
}
