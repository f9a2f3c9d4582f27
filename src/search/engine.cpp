#include "search/engine.hpp"

#include "search/fit_tests.hpp"
#include "search/placement_table.hpp"

namespace {

using FitFunction = uint32_t (*)(const CellSet* shapes, CellSet around);

// A piece's row of shapes on the frame's cell, and the covered cells as the row sees them: on a
// box's bits the shapes are seen from their anchor, so the covered cells are shifted down to it.
template <bool BOX_BITS>
[[gnu::always_inline]] inline const CellSet* shapes_on(const Frame& f, int32_t piece) {
    return BOX_BITS ? placement_table.relative[piece] : placement_table.placed[f.cell][piece];
}
template <bool BOX_BITS>
[[gnu::always_inline]] inline CellSet around(const Frame& f) {
    return BOX_BITS ? f.covered >> f.cell : f.covered;
}
template <bool BOX_BITS>
[[gnu::always_inline]] inline CellSet cells_of(const Frame& f, int32_t o) {
    return BOX_BITS ? placement_table.relative[f.piece][o] << f.cell : placement_table.placed[f.cell][f.piece][o];
}

// Fills the frame's fits for every piece tried on its cell and returns the pieces that fit.
template <FitFunction fit_test, bool BOX_BITS>
[[gnu::always_inline]] inline uint32_t find_fits(Frame& f) {
    const CellSet taken = around<BOX_BITS>(f);
    const uint32_t* inside = placement_table.inside + f.cell * MAX_PIECES;
    uint32_t fitting = 0;
    for (uint32_t rest = f.tried; rest != 0; rest = without_lowest_bit(rest)) {
        const int32_t piece = lowest_bit(rest);
        const uint32_t fits = fit_test(shapes_on<BOX_BITS>(f, piece), taken) & inside[piece];
        f.fits[piece] = fits;
        fitting |= static_cast<uint32_t>(fits != 0) << piece;
    }
    f.fitting = fitting;
    return fitting;
}

// Sets the frame on its first piece, the smallest one tried, and returns how many orientations
// it has, which tiles_attempted is counted ahead by.
inline int32_t start_first_piece(Frame& f) {
    f.piece = lowest_bit(f.tried);
    f.untried = f.fits[f.piece];
    return orientation_table.orientation_counts[f.piece];
}

// The same search tree as the straightforward search, step for step: the first empty cell is
// the lowest clear bit, the isolated-cell test one AND with the forward neighbours, and the fits
// of every piece tried on a cell are found at once when its depth is entered. A depth where
// nothing fits, the commonest case, is counted without being entered; the exchanges between
// pieces that do not fit are counted together. It is compiled once per fit test and board
// numbering, each copy for the processors that have that test. Its steps are numbered below,
// and so are its four exits.
template <FitFunction fit_test, bool BOX_BITS, bool GENERAL>
[[gnu::always_inline]] inline EngineStop engine_loop(EnginePosition& s) {
    const int32_t last_depth = placement_table.piece_count - 1;
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
            const CellSet now = f->covered | cells_of<BOX_BITS>(*f, o);
            f->slot = o;
            // Exit ASSEMBLY: the last depth is placed.
            if (d == last_depth) {
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
            child->tried = f->tried & ~bit_of(f->piece);
            if (GENERAL)
                child->tried |= placement_table.next_copy[f->piece];
            const int32_t pieces = std::popcount(child->tried);
            // Step 4. A dead depth, where no piece fits, takes `pieces` permutations: an exchange
            // to each of its pieces but the first, then the retreat. Only exchanges are marks, so
            // it is counted at once when its last exchange, at permutations + pieces - 1, stays
            // below the mark; otherwise it is entered and stepped through.
            if (find_fits<fit_test, BOX_BITS>(*child) == 0 && permutations + pieces - 1 < next_mark) {
                permutations += pieces;
                attempted_ahead += orientation_sum<GENERAL>(child->tried);
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
        const uint32_t larger = f->tried & bits_above(f->piece);
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
        attempted_ahead += orientation_sum<GENERAL>(passed);
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

// GENERAL: a puzzle with identical pieces, or more than 16 pieces. Without them, as for the
// built-in puzzle, the loop skips the copies' table and adds orientation counts in two lookups.
template <FitFunction fit_test>
[[gnu::always_inline]] inline EngineStop engine_for_board(EnginePosition& s) {
    const bool general = placement_table.first_copies != first_bits(placement_table.piece_count) ||
                         placement_table.piece_count > 16;
    if (geometry.box_bits)
        return general ? engine_loop<fit_test, true, true>(s) : engine_loop<fit_test, true, false>(s);
    return general ? engine_loop<fit_test, false, true>(s) : engine_loop<fit_test, false, false>(s);
}

EngineStop run_engine_plain(EnginePosition& s) { return engine_for_board<fit_test_plain>(s); }

#if TANDOR_VECTOR_FIT_TESTS
[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] EngineStop run_engine_avx2(EnginePosition& s) {
    return engine_for_board<fit_test_avx2>(s);
}

[[gnu::target("avx512f,avx512vl,avx512bw,avx512dq,avx512cd,avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] EngineStop
run_engine_avx512(EnginePosition& s) {
    return engine_for_board<fit_test_avx512>(s);
}
#else
EngineStop run_engine_avx2(EnginePosition& s) { return run_engine_plain(s); }
EngineStop run_engine_avx512(EnginePosition& s) { return run_engine_plain(s); }
#endif

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
    s.ceiling = NO_CEILING;
    s.counted = counters;
    s.next_mark = INT64_MAX;
    Frame& root = s.frames[0];
    root.covered = ~geometry.target_bits;
    root.cell = first_empty_cell(root.covered);
    root.tried = placement_table.first_copies;
    if (geometry.box_bits)
        find_fits<fit_test_plain, true>(root);
    else
        find_fits<fit_test_plain, false>(root);
    s.counted.tiles_attempted += start_first_piece(root);
}

void publish_position(const EnginePosition& s, int32_t placed_depths, bool working_started, const SearchCounters& base,
                      PublishedPosition& out) {
    SearchState& state = out.state;
    int64_t not_yet_tried = 0;
    uint32_t unplaced = first_bits(placement_table.piece_count);
    for (int32_t d = 0; d < placed_depths; ++d) {
        const Frame& f = s.frames[d];
        unplaced &= ~bit_of(f.piece);
        state.piece_order[d] = f.piece;
        state.orientation_index[d] = f.slot;
        state.anchor_cell[d] = bit_cell(f.cell);
        not_yet_tried += orientation_table.orientation_counts[f.piece] - 1 - f.slot;
    }
    const int32_t pieces = placement_table.piece_count;
    if (placed_depths < pieces) {
        const Frame& f = s.frames[placed_depths];
        state.piece_order[placed_depths] = f.piece;
        int32_t d = placed_depths;
        for (uint32_t rest = unplaced & ~bit_of(f.piece); rest != 0; rest = without_lowest_bit(rest))
            state.piece_order[++d] = lowest_bit(rest);
        for (d = placed_depths; d < pieces; ++d)
            state.orientation_index[d] = -1;
        state.current_cell = bit_cell(f.cell);
        if (working_started)
            not_yet_tried += orientation_table.orientation_counts[f.piece];
    } else {
        state.current_cell = state.anchor_cell[pieces - 1];
    }
    // Depths beyond the puzzle's pieces stand as the search order was reset.
    for (int32_t d = pieces; d < MAX_PIECES; ++d) {
        state.piece_order[d] = d;
        state.orientation_index[d] = -1;
        state.anchor_cell[d] = {0, 0, 0};
    }
    state.depth = placed_depths - 1;
    out.counters = {s.counted.permutations, s.counted.tiles_attempted - not_yet_tried, s.counted.tiles_succeeded};
    add_counters(out.counters, base);
}

void write_assembly(const EnginePosition& s, Board& out) {
    for (int32_t d = 0; d < placement_table.piece_count; ++d) {
        const Frame& f = s.frames[d];
        for (CellSet cells = placement_cells(f.piece, f.slot, f.cell); cells != 0; cells = without_lowest_cell(cells))
            out.cells[geometry.bit_element[lowest_cell(cells)]] = f.piece;
    }
}
