// A run's state set up without any output, for the tests and the benchmark.
#pragma once

// Built-in catalogue, orientation table built without output, empty board, search at its start,
// counters at their initial values, empty store, no progress or placement callbacks.
void prepare_run();
