// A run's state set up without any output, for the tests and the benchmark.
#pragma once

#include "model/puzzle.hpp"

// The puzzle made the run's (with mirror images alike when `mirror`), its orientation table
// built without output, empty board, search at its start, counters at their initial values,
// empty store, no progress or placement callbacks.
void prepare_run(const Puzzle& p, bool mirror);
// The same for the built-in puzzle.
void prepare_run();
