#include "search/search.hpp"

#include <immintrin.h>

#include <bit>
#include <initializer_list>

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

    for (int piece = 0; piece < PIECE_COUNT; ++piece)
        for (int o = 0; o < MAX_ORIENTATIONS; ++o)
            t.relative[piece][o] = 0;
    for (int bit = 0; bit < INTERIOR_CELLS; ++bit)
        for (int piece = 0; piece < PIECE_COUNT; ++piece) {
            const int32_t at = bit * PIECE_COUNT + piece;
            uint32_t inside = 0;
            for (int k = 0; k < t.count[at]; ++k) {
                const int32_t n = at * MAX_ORIENTATIONS + k;
                t.relative[piece][t.orientation[n]] = t.cells[n] >> bit;
                inside |= 1u << t.orientation[n];
            }
            t.inside[at] = inside;
        }
    for (uint32_t set = 0; set < (1u << PIECE_COUNT); ++set) {
        int32_t sum = 0;
        for (int piece = 0; piece < PIECE_COUNT; ++piece)
            if (set & (1u << piece))
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

namespace {

using FitFunction = uint32_t (*)(int32_t piece, CellSet around);

// Fills the frame's fits for every unused piece on its cell and returns the pieces that fit.
template <FitFunction free_orientations>
[[gnu::always_inline]] inline uint32_t find_fits(Frame& f) {
    const CellSet around = f.covered >> f.cell;
    const uint32_t* inside = placement_table.inside + f.cell * PIECE_COUNT;
    uint32_t fitting = 0;
    for (uint32_t rest = f.unplaced; rest != 0; rest &= rest - 1) {
        const int32_t piece = std::countr_zero(rest);
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
    f.piece = std::countr_zero(f.unplaced);
    f.untried = f.fits[f.piece];
    return orientation_table.orientation_counts[f.piece];
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
        for (CellSet cells = placement_table.relative[f.piece][f.placed] << f.cell; cells != 0; cells &= cells - 1) {
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
    find_fits<free_orientations_plain>(root);
    s.tiles_attempted_ahead += start_first_piece(root);
}

namespace {

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
    int64_t permutations = s.permutations;
    int64_t attempted_ahead = s.tiles_attempted_ahead;
    int64_t succeeded = s.tiles_succeeded;
    int64_t next_mark = s.next_mark;
    int32_t d = s.depth;
    Frame* f = &s.frames[d];
    auto save = [&] {
        s.depth = d;
        s.permutations = permutations;
        s.tiles_attempted_ahead = attempted_ahead;
        s.tiles_succeeded = succeeded;
    };
    // The working depth's untried slots live in a register too, and go back to the frame
    // whenever the frame is left.
    uint32_t untried = f->untried;
    for (;;) {
        while (untried != 0) {
            const int32_t o = std::countr_zero(untried);
            untried &= untried - 1;
            ++succeeded;
            const CellSet now = f->covered | relative[f->piece][o] << f->cell;
            f->placed = o;
            if (d == PIECE_COUNT - 1) {
                f->untried = untried;
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
            const int32_t pieces = std::popcount(child->unplaced);
            if (find_fits<free_orientations>(*child) == 0 && permutations + pieces - 1 < next_mark) {
                // Every piece tried there in all its orientations, none fits, and back.
                permutations += pieces;
                attempted_ahead += orientation_sum(child->unplaced);
                continue;
            }
            attempted_ahead += start_first_piece(*child);
            f->untried = untried;
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
        const uint32_t larger = f->unplaced & ~((2u << f->piece) - 1);
        const uint32_t next_fitting = f->fitting & larger;
        const uint32_t passed = larger & (next_fitting ^ (next_fitting - 1));
        if (passed != 0 && permutations + std::popcount(passed) >= next_mark) {
            // One exchange at a time, to stop at the one that reaches the mark.
            f->piece = std::countr_zero(passed);
            untried = f->untried = f->fits[f->piece];
            attempted_ahead += orientation_table.orientation_counts[f->piece];
            if (++permutations >= next_mark) {
                save();
                if (s.on_mark(s))
                    return EngineStop::MARK;
                next_mark = s.next_mark;
            }
            continue;
        }
        permutations += std::popcount(passed);
        attempted_ahead += orientation_sum(passed);
        if (next_fitting != 0) {
            f->piece = std::countr_zero(next_fitting);
            untried = f->fits[f->piece];
            continue;
        }
        f->untried = 0;
        if (d == s.floor) {
            // The position left shows the last piece tried here, as the straightforward
            // search's does; a depth that retreats is set afresh when it is entered again.
            if (larger != 0)
                f->piece = 31 - std::countl_zero(larger);
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

[[gnu::target("avx512f,avx512vl,avx512bw,avx512dq,avx512cd,avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] EngineStop run_engine_avx512(FastSearch& s) {
    return engine_loop<free_orientations_avx512>(s);
}

}  // namespace

FitTest engine_fit_test = widest_fit_test();

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
