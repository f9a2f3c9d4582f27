// The fast search engine: its tables, its position and its one loop.
//
// The loop walks the same tree as the straightforward search (search/reference_search.cpp), step
// for step, and keeps the same counters, but it keeps the cube as a 64-bit set of covered cells
// and finds the fits of every unused piece on a cell at once. Five roles run it, each by setting
// up a FastSearch and calling run_engine until it says what the role waits for:
//
//   role                      where                floor        ceiling      marks (next_mark)
//   single-threaded search    search.cpp           0            PIECE_COUNT  every PROGRESS_INTERVAL
//   splitter                  parallel.cpp         0            SPLIT_DEPTH  none (INT64_MAX)
//   worker on one subtree     parallel.cpp         SPLIT_DEPTH  PIECE_COUNT  every CHECKPOINT_INTERVAL
//   merge walk                parallel.cpp         0            SPLIT_DEPTH  every PROGRESS_INTERVAL
//   replay to a mark          parallel.cpp         SPLIT_DEPTH  PIECE_COUNT  the one mark sought
//
// - floor: the depth whose running out of pieces ends the loop (EXHAUSTED). 0 is the whole tree;
//   a worker's floor is the root of its subtree.
// - ceiling: a descent to this depth is handed back (SUBTREE) instead of entered, so that the
//   splitter hands out the subtrees below it and the merge walk waits for their results.
// - marks: run_engine returns (MARK) at the exchange that brings permutations to next_mark or
//   past it, with the position standing there, and the caller decides what that means: a
//   progress block when the count lands on the mark exactly, a checkpoint, the replay's target.
//   The caller sets the next mark and calls again; the search goes on unchanged.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/cell_set.hpp"
#include "model/run_statistics.hpp"
#include "model/search_state.hpp"
#include "orient/orientations.hpp"

static_assert(MAX_ORIENTATIONS <= 32, "orientation slots are bits of a 32-bit set");

// What the loop reads, built once from the orientation table before the search.
struct PlacementTable {
    // Each orientation as the cells it covers seen from its anchor cube, which is bit 0. Placed
    // on a cell it covers the same cells shifted up to that cell, wherever it stays inside, so
    // the fits of a piece on a cell are one AND per slot with the covered cells shifted down.
    alignas(64) CellSet relative[PIECE_COUNT][MAX_ORIENTATIONS];
    // Per (cell, piece), at cell * PIECE_COUNT + piece, bit o: slot o stays inside the cube.
    uint32_t inside[INTERIOR_CELLS * PIECE_COUNT];
    // The cells at +x, +y and +z inside the cube; one entry more, for a full cube, keeps every
    // lowest-clear-bit index in range.
    CellSet forward_neighbours[INTERIOR_CELLS + 1];
    // The orientation counts of a set of pieces added up, looked up in two halves.
    int32_t orientation_sum_low[1 << 7];
    int32_t orientation_sum_high[1 << (PIECE_COUNT - 7)];
};

extern PlacementTable placement_table;

// Builds the placement table from the orientation table.
void build_placement_table();

inline int32_t orientation_sum(uint32_t pieces) {
    return placement_table.orientation_sum_low[pieces & 127] + placement_table.orientation_sum_high[pieces >> 7];
}

// The fit tests, from the plain loop to the widest vector test. Bit o of the result is set when
// slot o of the piece, anchored on bit 0, leaves every cell of `around` free. The vector tests
// may be called only where fit_test_supported says so; each has a copy of the loop compiled for
// the processors that have its instructions, and run_engine takes engine_fit_test's copy, at
// start the widest that this processor has.
enum class FitTest { PLAIN, AVX2, AVX512 };
inline constexpr FitTest ALL_FIT_TESTS[] = {FitTest::PLAIN, FitTest::AVX2, FitTest::AVX512};
bool fit_test_supported(FitTest test);
FitTest widest_fit_test();
const char* fit_test_name(FitTest test);
extern FitTest engine_fit_test;

uint32_t free_orientations_plain(int32_t piece, CellSet around);
uint32_t free_orientations_avx2(int32_t piece, CellSet around);
uint32_t free_orientations_avx512(int32_t piece, CellSet around);

// One depth: the fits of every unused piece on the depth's anchor cell, found at once when the
// depth is entered, and the piece being tried there. Pieces are bits of a set, so the next larger
// unused piece is the lowest set bit above the current one, as the straightforward search's
// exchange and re-sort give; orientations are bits of a piece's fit set, in slot order.
struct Frame {
    CellSet covered;               // cells covered by the earlier depths
    uint32_t fits[PIECE_COUNT];    // per unused piece, the orientation slots that fit on the cell
    uint32_t untried;              // the current piece's fitting slots not tried yet
    uint32_t fitting;              // the unused pieces with at least one fitting slot
    uint32_t unplaced;             // pieces not placed at earlier depths, the current one included
    int32_t piece;                 // the current piece
    int32_t placed;                // the slot of the orientation standing at this depth
    int32_t cell;
};

static_assert(sizeof(Frame) == 88);

// A whole search position, resumable at the top of the loop. counted.tiles_attempted is counted
// ahead: when a piece starts on a cell all its orientations are added at once, and what the
// straightforward search has not tried yet is subtracted when the position is published.
struct FastSearch {
    Frame frames[PIECE_COUNT];
    int32_t depth;    // the working depth
    int32_t floor;    // the loop ends when this depth runs out of pieces
    int32_t ceiling;  // a descent to this depth is handed back to the caller; PIECE_COUNT for never
    SearchCounters counted;
    int64_t next_mark;
};

enum class EngineStop { ASSEMBLY, EXHAUSTED, SUBTREE, MARK };

// Runs the loop from where the position stands. ASSEMBLY: depth 12 is placed. EXHAUSTED: the
// floor depth ran out of pieces (below the root, the retreat that hands back to the depth above
// is counted). SUBTREE: the next depth is the ceiling; the child frame is set up and `depth` is
// still the parent's, so the next call goes on as if that subtree had been searched. MARK: the
// exchange just taken brought permutations to next_mark or past it.
EngineStop run_engine(FastSearch& s);

// The root of the whole search, with the given counters: depth 0 on the first cell with piece 0
// started, floor 0, no ceiling, no mark.
void start_root(FastSearch& s, const SearchCounters& counters);

// The first multiple of `interval` above `permutations`.
constexpr int64_t next_multiple(int64_t permutations, int64_t interval) {
    return (permutations / interval + 1) * interval;
}

// Runs the loop to the next assembly, the floor's end, a handed-back subtree, or an exchange that
// lands exactly on a multiple of `interval` (MARK), the marks of the progress blocks. Exchanges
// that only pass a multiple are marks of nothing: the search goes on.
EngineStop run_to_progress_mark(FastSearch& s, int64_t interval);

struct PublishedPosition {
    SearchState state;
    SearchCounters counters;
};

// The position as the straightforward search would show it: depths below `placed` placed, and,
// when placed < PIECE_COUNT, the piece at depth `placed` either just started (nothing tried:
// `working_started`) or finished. The counters are the position's own, plus `base`.
void publish_position(const FastSearch& s, int32_t placed, bool working_started, const SearchCounters& base,
                      PublishedPosition& out);

// The board of a complete assembly.
void write_assembly(const FastSearch& s, Board& out);
