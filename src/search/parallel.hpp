// The search on several threads: the tree is split into the subtrees below the third depth,
// workers search them ahead, and the calling thread merges their results in the single-threaded
// order, so that every assembly, counter and progress mark comes out as the single-threaded
// search gives them (why, at the top of search/parallel.cpp). It runs the engine alone; the front end (search/search.cpp) turns its events
// into the run's state.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "search/engine.hpp"

// Whether a puzzle of this many pieces has depths enough to be split into subtrees; a smaller one
// is searched on one thread.
bool parallel_search_fits(int32_t piece_count);

// The processors this process may run on (its affinity mask).
int32_t available_processors();

// Starts `threads` workers on the search from `root`, a position as start_root leaves it, with
// its counters; the merge reports a progress mark at every exchange that lands on a multiple of
// `mark_interval`. The placement table must be built.
void begin_parallel_search(const EnginePosition& root, int32_t threads, int64_t mark_interval);

enum class ParallelEvent { ASSEMBLY, PROGRESS_MARK, EXHAUSTED };

// The next event in the single-threaded order, with the position as the straightforward search
// shows it there; for an assembly, also its board.
ParallelEvent next_parallel_event(PublishedPosition& shown, Board& assembly);

// Stops and joins the workers, wherever they are.
void end_parallel_search();
