#include "search/engine.hpp"

#include "search/fit_tests.hpp"
#include "search/placement_table.hpp"

namespace {

using FitFunction = uint32_t (*)(int32_t piece, CellSet around);

// Fills the frame's fits for every unused piece on its cell and returns the pieces that fit.
template <FitFunction fit_test>
[[gnu::always_inline]] inline uint32_t find_fits(Frame& f) {
    const CellSet around = f.covered >> f.cell;
    const uint32_t* inside = placement_table.inside + f.cell * PIECE_COUNT;
    uint32_t fitting = 0;
    for (uint32_t rest = f.unplaced; rest != 0; rest = without_lowest_bit(rest)) {
        const int32_t piece = lowest_bit(rest);
        const uint32_t fits = fit_test(piece, around) & inside[piece];
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
// the processors that have that test. Its steps are numbered below, and so are its four exits.
template <FitFunction fit_test>
[[gnu::always_inline]] inline EngineStop engine_loop(EnginePosition& s) {
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
            // Step 1. Place the current piece in its next fitting orientation.
            const int32_t o = lowest_bit(untried);
            untried = without_lowest_bit(untried);
            ++succeeded;
            const CellSet now = f->covered | relative[f->piece][o] << f->cell;
            f->slot = o;
            // Exit ASSEMBLY: the last depth is placed.
            if (d == PIECE_COUNT - 1) {
                f->untried = untried;
                save();
                return EngineStop::ASSEMBLY;
            }
            // Step 2. The isolated-cell test: a first empty cell whose forward neighbours are
            // all covered can be covered by nothing, so on to the next orientation.
            const int32_t first_empty = first_empty_cell(now);
            if ((~now & placement_table.forward_neighbours[first_empty]) == 0)
                continue;
            // Step 3. Set up the next depth on the first empty cell and find its fits.
            Frame* child = f + 1;
            child->covered = now;
            child->cell = first_empty;
            child->unplaced = f->unplaced & ~bit_of(f->piece);
            const int32_t pieces = std::popcount(child->unplaced);
            // Step 4. A dead depth, where no piece fits, takes `pieces` permutations: an exchange
            // to each of its pieces but the first, then the retreat. Only exchanges are marks, so
            // it is counted at once when its last exchange, at permutations + pieces - 1, stays
            // below the mark; otherwise it is entered and stepped through.
            if (find_fits<fit_test>(*child) == 0 && permutations + pieces - 1 < next_mark) {
                permutations += pieces;
                attempted_ahead += orientation_sum(child->unplaced);
                continue;
            }
            attempted_ahead += start_first_piece(*child);
            f->untried = untried;
            // Exit SUBTREE: the next depth is the ceiling and has a piece that fits (only live
            // subtrees are handed back; search/parallel.cpp says why).
            if (d + 1 == s.ceiling && child->fitting != 0) {
                save();
                return EngineStop::SUBTREE;
            }
            // Step 5. Descend.
            ++d;
            f = child;
            untried = f->untried;
        }
        // Step 6. This piece has no orientation left here: exchange to the next larger piece
        // that fits, or through all the larger ones.
        const uint32_t larger = f->unplaced & bits_above(f->piece);
        const uint32_t passed = bits_through_first(larger, f->fitting);
        if (passed != 0 && permutations + std::popcount(passed) >= next_mark) {
            // One exchange at a time, to stop at the one that reaches the mark.
            f->piece = lowest_bit(passed);
            untried = f->untried = f->fits[f->piece];
            attempted_ahead += orientation_table.orientation_counts[f->piece];
            // Exit MARK: this exchange brings permutations to the mark or past it.
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
        // Step 7. Every piece is through here: retreat to the depth above.
        f->untried = 0;
        // Exit EXHAUSTED: the floor depth ran out of pieces.
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

EngineStop run_engine_plain(EnginePosition& s) { return engine_loop<fit_test_plain>(s); }

[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] EngineStop run_engine_avx2(EnginePosition& s) {
    return engine_loop<fit_test_avx2>(s);
}

[[gnu::target("avx512f,avx512vl,avx512bw,avx512dq,avx512cd,avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] EngineStop
run_engine_avx512(EnginePosition& s) {
    return engine_loop<fit_test_avx512>(s);
}

}  // namespace

EngineStop run_engine(EnginePosition& s) {
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

EngineStop run_to_progress_mark(EnginePosition& s, int64_t interval) {
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

void start_root(EnginePosition& s, const SearchCounters& counters) {
    s.depth = 0;
    s.floor = 0;
    s.ceiling = PIECE_COUNT;
    s.counted = counters;
    s.next_mark = INT64_MAX;
    Frame& root = s.frames[0];
    root.covered = 0;
    root.cell = 0;
    root.unplaced = bit_of(PIECE_COUNT) - 1;
    find_fits<fit_test_plain>(root);
    s.counted.tiles_attempted += start_first_piece(root);
}

void publish_position(const EnginePosition& s, int32_t placed_depths, bool working_started, const SearchCounters& base,
                      PublishedPosition& out) {
    SearchState& state = out.state;
    int64_t not_yet_tried = 0;
    for (int32_t d = 0; d < placed_depths; ++d) {
        const Frame& f = s.frames[d];
        state.piece_order[d] = f.piece;
        state.orientation_index[d] = f.slot;
        state.anchor_cell[d] = scan_cell(f.cell);
        not_yet_tried += orientation_table.orientation_counts[f.piece] - 1 - f.slot;
    }
    if (placed_depths < PIECE_COUNT) {
        const Frame& f = s.frames[placed_depths];
        state.piece_order[placed_depths] = f.piece;
        int32_t d = placed_depths;
        for (uint32_t rest = f.unplaced & ~bit_of(f.piece); rest != 0; rest = without_lowest_bit(rest))
            state.piece_order[++d] = lowest_bit(rest);
        for (d = placed_depths; d < PIECE_COUNT; ++d)
            state.orientation_index[d] = -1;
        state.current_cell = scan_cell(f.cell);
        if (working_started)
            not_yet_tried += orientation_table.orientation_counts[f.piece];
    } else {
        state.current_cell = state.anchor_cell[PIECE_COUNT - 1];
    }
    state.depth = placed_depths - 1;
    out.counters = {s.counted.permutations, s.counted.tiles_attempted - not_yet_tried, s.counted.tiles_succeeded};
    add_counters(out.counters, base);
}

void write_assembly(const EnginePosition& s, Board& out) {
    init_board(out);
    for (const Frame& f : s.frames)
        for (CellSet cells = placement_table.relative[f.piece][f.slot] << f.cell; cells != 0;
             cells = without_lowest_cell(cells))
            out.cells[scan_element(lowest_cell(cells))] = f.piece;
}
