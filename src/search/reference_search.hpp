// The straightforward placement search over the Board itself: every orientation tried cell by
// cell. The shipped search must match it step for step; tests and the benchmark check that.
#pragma once

// Called after every placement, with the search state already showing it; for tests that
// follow the search step by step.
using PlacementFunction = void (*)();
extern PlacementFunction placement_function;

// Called after every piece-order exchange, with the new order and the counters showing it.
extern PlacementFunction exchange_function;

// Runs until the board holds a complete assembly (true) or the search is exhausted (false).
bool reference_find_next_assembly();
