// The lines that the solution report and the progress block share: the piece order and the
// orientations, the counters, the run time and the rate.
#pragma once

#include <cstdio>

// Writes "<order label>: " and the piece order, "\n<orientation label>: " and the orientations,
// "\n", the counters line, then "Total run time = ..., permutation rate = ... / second\n" and
// `ending`. Stamps report_clock and renews the rate snapshot (report/elapsed.hpp).
void write_position_lines(std::FILE* out, const char* order_label, const char* orientation_label,
                          const char* ending);
