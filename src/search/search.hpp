// The placement search's front end: it begins, finds the next assembly and ends, on one thread
// or several. Each piece's anchor cube goes on the first empty cell in scan order (z, then y,
// then x fastest), pieces are stepped through in ascending order at every depth, depth first.
// The engine that does the stepping is in search/engine.hpp.
#pragma once

#include <cstdint>

#include "model/search_state.hpp"

// Called just after a piece-order exchange brings permutations to a multiple of PROGRESS_INTERVAL,
// with the search state and the counters showing that exchange.
using ProgressFunction = void (*)();
extern ProgressFunction progress_function;

// Set by progress_function to end the search at its mark: find_next_assembly then ends the
// search and returns false at once. begin_search clears it.
extern bool search_stop_requested;

inline constexpr int64_t PROGRESS_INTERVAL = 1000000;

// piece_order 0, 1, 2, ..., orientation_index all -1.
void reset_search_order();

// Threads the search runs on; 1 is the single-threaded search. Set before begin_search.
extern int32_t search_threads;

// depth -1, current_cell (0, 0, 0); builds the placement table from the orientation table, the
// board's geometry and the sets of identical pieces (orient/piece_sets.hpp), and sets the search
// at its first step, with the run statistics' counters as they stand, on
// search_threads threads.
void begin_search();

// Stops any worker threads of the search; the search cannot go on after it.
void end_search();

// Runs until the board holds a complete assembly (true) or the search is exhausted (false),
// calling progress_function at every progress mark on the way. The search state and the run
// statistics' counters show where it stopped.
bool find_next_assembly();
