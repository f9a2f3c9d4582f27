// The fast search engine: its position and its one loop. The loop reads the placement table
// (search/placement_table.hpp) and finds fits with the fit test chosen at start
// (search/fit_tests.hpp).
//
// The loop walks the same tree as the straightforward search (search/reference_search.cpp), step
// for step, and keeps the same counters, but it keeps the cube as a 64-bit set of covered cells
// and finds the fits of every unused piece on a cell at once. Five roles run it, each by setting
// up an EnginePosition and calling run_engine until it says what the role waits for:
//
//   role                      where                floor        ceiling      marks (next_mark)
//   single-threaded search    search.cpp           0            none         every PROGRESS_INTERVAL
//   splitter                  parallel.cpp         0            SPLIT_DEPTH  none (INT64_MAX)
//   worker on one subtree     parallel.cpp         SPLIT_DEPTH  none         every CHECKPOINT_INTERVAL
//   merge walk                parallel.cpp         0            SPLIT_DEPTH  every PROGRESS_INTERVAL
//   replay to a mark          parallel.cpp         SPLIT_DEPTH  none         the one mark sought
//
// - floor: the depth whose running out of pieces ends the loop (EXHAUSTED). 0 is the whole tree;
//   a worker's floor is the root of its subtree.
// - ceiling: a descent to this depth is handed back (SUBTREE) instead of entered, so that the
//   splitter hands out the subtrees below it and the merge walk waits for their results.
// - marks: run_engine returns (MARK) at the exchange that brings permutations to next_mark or
//   past it, with the position standing there, and the caller decides what that means: a
//   progress block when the count lands on the mark exactly, a checkpoint, the replay's target.
//   The caller sets the next mark and calls again; the search goes on unchanged.
//
// Why the search on several threads gives the single-threaded output is told once, at the top of
// search/parallel.cpp.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/cell_set.hpp"
#include "model/run_statistics.hpp"
#include "model/search_state.hpp"

// One depth: the fits of every piece tried there on the depth's anchor cell, found at once when
// the depth is entered, and the piece being tried. Pieces are bits of a set, so the next larger
// piece is the lowest set bit above the current one, as the straightforward search's exchange and
// re-sort give; orientations are bits of a piece's fit set, in slot order. Of identical pieces,
// only the first unplaced copy is tried.
struct Frame {
    CellSet covered;               // cells covered by the earlier depths
    uint32_t untried;              // the current piece's fitting slots not tried yet
    uint32_t fitting;              // the pieces tried here with at least one fitting slot
    uint32_t tried;                // the pieces tried here: of those not placed at earlier depths, the first of each identical set
    int32_t piece;                 // the current piece
    int32_t slot;                  // the orientation slot standing at this depth
    int32_t cell;
    uint32_t fits[MAX_PIECES];     // per piece tried, the orientation slots that fit on the cell
};

static_assert(sizeof(Frame) == 160);

// A whole search position, resumable at the top of the loop. counted.tiles_attempted is counted
// ahead: when a piece starts on a cell all its orientations are added at once, and what the
// straightforward search has not tried yet is subtracted when the position is published.
struct EnginePosition {
    int32_t depth;    // the working depth
    int32_t floor;    // the loop ends when this depth runs out of pieces
    int32_t ceiling;  // a descent to this depth is handed back to the caller; NO_CEILING for never
    SearchCounters counted;
    int64_t next_mark;
    Frame frames[MAX_PIECES];
};

inline constexpr int32_t NO_CEILING = MAX_PIECES;

// The parallel search keeps hundreds of these per chunk (search/parallel.cpp counts their memory).
static_assert(sizeof(EnginePosition) == 5168);

enum class EngineStop { ASSEMBLY, EXHAUSTED, SUBTREE, MARK };

// Runs the loop from where the position stands. ASSEMBLY: the last depth is placed. EXHAUSTED: the
// floor depth ran out of pieces (below the root, the retreat that hands back to the depth above
// is counted). SUBTREE: the next depth is the ceiling; the child frame is set up and `depth` is
// still the parent's, so the next call goes on as if that subtree had been searched. MARK: the
// exchange just taken brought permutations to next_mark or past it.
EngineStop run_engine(EnginePosition& s);

// The root of the whole search, with the given counters: depth 0 on the first cell with piece 0
// started, floor 0, no ceiling, no mark. The placement table must be built.
void start_root(EnginePosition& s, const SearchCounters& counters);

// The first multiple of `interval` above `permutations`.
constexpr int64_t next_multiple(int64_t permutations, int64_t interval) {
    return (permutations / interval + 1) * interval;
}

// Runs the loop to the next assembly, the floor's end, a handed-back subtree, or an exchange that
// lands exactly on a multiple of `interval` (MARK), the marks of the progress blocks. Exchanges
// that only pass a multiple are marks of nothing: the search goes on.
EngineStop run_to_progress_mark(EnginePosition& s, int64_t interval);

struct PublishedPosition {
    SearchState state;
    SearchCounters counters;
};

// The position as the straightforward search would show it: the first `placed_depths` depths
// placed, and, when fewer than all are, the piece at the next depth either just started
// (nothing tried: `working_started`) or finished. The counters are the position's own, plus `base`.
void publish_position(const EnginePosition& s, int32_t placed_depths, bool working_started, const SearchCounters& base,
                      PublishedPosition& out);

// Writes a complete assembly's pieces on every target cell of the board; its border stands.
void write_assembly(const EnginePosition& s, Board& out);
