// The fast search's position and its one loop, shared by the single-threaded search and the
// parallel one, which runs subtrees of the same tree on worker threads.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "search/search.hpp"

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

struct FastSearch;
// Called at the exchange that brings permutations to next_mark or past it, with the position
// standing at that exchange; true stops the loop.
using MarkFunction = bool (*)(FastSearch&);

// A whole search position, resumable at the top of the loop. tiles_attempted is counted ahead:
// when a piece starts on a cell all its orientations are added at once, and what the
// straightforward search has not tried yet is subtracted whenever the counter is shown. A depth
// where no unused piece fits is never entered: its exchanges, its retreat and its attempts are
// counted at once, unless one of its exchanges reaches next_mark.
struct FastSearch {
    Frame frames[PIECE_COUNT];
    int32_t depth;    // the working depth
    int32_t floor;    // the loop ends when this depth runs out of pieces
    int32_t ceiling;  // a descent to this depth is handed back to the caller; PIECE_COUNT for never
    int64_t permutations;
    int64_t tiles_attempted_ahead;
    int64_t tiles_succeeded;
    int64_t next_mark;
    MarkFunction on_mark;
};

enum class EngineStop { ASSEMBLY, EXHAUSTED, SUBTREE, MARK };

// Runs the loop from where the position stands. ASSEMBLY: depth 12 is placed. EXHAUSTED: the
// floor depth ran out of pieces (below the root, the retreat that hands back to the depth above
// is counted). SUBTREE: the next depth is the ceiling; the child frame is set up and `depth` is
// still the parent's, so the next call goes on as if that subtree had been searched. MARK:
// on_mark asked to stop.
EngineStop run_engine(FastSearch& s);

// The root of the whole search: depth 0 on the first cell with piece 0 started.
void start_root(FastSearch& s);

struct PublishedPosition {
    SearchState state;
    int64_t permutations;
    int64_t tiles_attempted;
    int64_t tiles_succeeded;
};

// The position as the straightforward search would show it: depths below `placed` placed, and,
// when placed < PIECE_COUNT, the piece at depth `placed` either just started (nothing tried:
// `working_started`) or finished.
void publish_position(const FastSearch& s, int32_t placed, bool working_started, PublishedPosition& out);

// Publishes the position into the search state and the run statistics, for the reports: a
// subtree's own counters are added to those of `base`, where it began (null: none).
void show_position(const FastSearch& s, int32_t placed, bool working_started, const FastSearch* base = nullptr);

// Bit o set when slot o of the piece, anchored on bit 0, leaves every cell of `around` free: the
// plain loop, and the same test 4 and 8 lanes at a time, each compiled for the processors that
// have its instructions. The vector ones may be called only where fit_test_supported says so.
uint32_t free_orientations_plain(int32_t piece, CellSet around);
uint32_t free_orientations_avx2(int32_t piece, CellSet around);
uint32_t free_orientations_avx512(int32_t piece, CellSet around);

// The board of a complete assembly.
void write_assembly(const FastSearch& s, Board& out);
