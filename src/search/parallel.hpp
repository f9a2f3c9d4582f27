// The search on several threads: the tree is split into the subtrees below the third depth,
// workers search them ahead, and the calling thread merges their results in the single-threaded
// order, so that every assembly, counter and progress block comes out as the single-threaded
// search gives them.
#pragma once

#include <cstdint>

// The processors this process may run on (its affinity mask).
int32_t available_processors();

// Starts `threads` workers on the search from its root, with the run statistics' counters as
// they stand.
void begin_parallel_search(int32_t threads);

// As find_next_assembly: the next complete assembly in the single-threaded order (true), with the
// board, search state and counters showing it, or false once the search is exhausted.
bool parallel_find_next_assembly();

// Stops and joins the workers, wherever they are.
void end_parallel_search();
