// The fast search: every solution of a puzzle exactly once, with the target's symmetry broken,
// on every core. It does not walk the default search's tree and keeps counters of its own.
//
// Symmetry breaking. One piece, k, is allowed in only one placement per orbit of the symmetries
// that map k onto itself (its representatives), so that of the copies of a solution under the
// target's symmetries, only those with k on a representative are searched. When a
// representative's placement is mapped onto itself by some symmetry (or a reflection can bring
// k's mirror partner onto a representative), several copies of one solution can still be found;
// each such solution is tested when found, and kept only when no such symmetry maps it to a
// smaller one (cells compared in scan order by their piece's class and the rank of the piece's
// first cell, so that swapping identical pieces changes nothing). So each class of solutions is
// found exactly once, and no store of solutions is needed to recognise its copies. k is a piece
// with no identical copy, that every symmetry maps onto itself where one does, and of those the
// one with the fewest orbits: it measured fastest (on the built-in puzzle, the flat X with 2
// representatives runs twice as fast as the piece with the most, 18). Where every piece has an
// identical copy, no piece is restricted and the test alone keeps the smallest copy.
//
// The search. Each depth fills the first empty cell in scan order with a placement anchored on
// it (its lowest cell), of a piece not yet placed, identical pieces tried once per depth (only
// the first unplaced copy), k only on its representatives. The fits of every unused piece on the
// cell are found at once, four or eight placements a vector AND. A placement is not entered when
// it leaves a cell next to it enclosed (no empty neighbour, or one that has no other; for pieces
// of at least two or three cubes), or when k, still unplaced, fits in none of its
// representatives. (Placing k first, at the root, measured twice as slow; so did taking the
// last empty cell when it has fewer fits than the first.)
//
// Threads and order. The tree is cut into tasks, the nodes a few depths below the root, in the
// order of the single-threaded search. Workers take tasks in that order and keep each task's
// solutions; the caller reads them task after task, so solutions are numbered, and counters
// shown, as on one thread.
//
// Counters (the console's "permutations", "tiles attempted", "tiles succeeded"): the nodes the
// search entered (positions where it chose a cell to fill, the root included), the placements
// it tested against the covered cells, and the placements that fitted and were placed.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "model/run_statistics.hpp"
#include "search/fast_puzzle.hpp"

// How the symmetry is broken, for the header line and the benchmark.
struct FastSymmetryBreaking {
    int32_t restricted_piece;     // k, or -1 when no piece is placed first
    int32_t placements;           // k's placements
    int32_t representatives;      // orbits of k's placements: the placements k is tried in
    int32_t tested;               // representatives whose solutions are tested when found
};

// Builds the fast search's tables from the puzzle. Call before the clock.
void build_fast_tables(const FastPuzzle& puzzle);
const FastSymmetryBreaking& fast_symmetry_breaking();

// One solution as found: the placement (an index into the puzzle's placements) at each depth,
// and the counters up to it.
struct FastSolution {
    uint16_t placements[FAST_MAX_PIECES];
    SearchCounters counters;
};

// Starts the search on `threads` threads (1: the calling thread alone). A benchmark may search a
// sample: every `stride`-th task of the tree only.
void begin_fast_search(int32_t threads, int32_t stride = 1);
// The next solution in the fixed order, or false when the search is exhausted; `counters` then
// holds the whole search's counts.
bool next_fast_solution(FastSolution& out, SearchCounters& counters);
// Stops and joins the workers, wherever they are; nothing when no fast search runs.
void end_fast_search();

// The share of the search's tasks read so far, 0 to 1, for the progress line.
double fast_search_share_done();

// The driver's side for the run's puzzle: begins on `threads` threads, and finds the next
// solution with the board, the search state (piece and slot per depth) and the run statistics'
// counters set to it, as find_next_assembly does for the default search.
void begin_fast_puzzle_search(int32_t threads);
bool fast_find_next_assembly();

// The cell-by-cell picture of a solution: piece number per cell, -1 for none.
void fast_solution_cells(const FastSolution& s, int8_t (&cells)[FAST_MAX_CELLS]);

// Whether the solution is the one that the symmetry breaking keeps of its class: for tests and
// the exact-cover peer, which keeps the same representatives.
bool fast_solution_kept(const uint16_t* placements, int32_t count);

// The placement indices that the peer may use for each piece: k's representatives for k, every
// placement for the others.
bool fast_placement_allowed(int32_t placement);
