// Elapsed times, permutation rates, and the three statistics outputs: the report on each new
// solution, the progress block and the end-of-run summary.
#pragma once

#include <cstdint>
#include <cstdio>

#include "model/run_statistics.hpp"

inline constexpr int ELAPSED_TEXT_SIZE = 32;

// The latest text of format_elapsed_time.
extern char elapsed_text[ELAPSED_TEXT_SIZE];

// "%02d:%02d:%02d" hours, minutes and seconds from start_clock to now; hours do not wrap.
// A time before start_clock (the last solution of a run that found none) shows as 00:00:00.
void format_elapsed_time(ClockValue now);

// Permutations per second since the previous call (0 when no millisecond has passed), and a
// new snapshot for the next call.
int32_t permutation_rate();

// Whole-run average for the summary: permutations over the whole seconds of the run, a run
// shorter than a second counting as one second.
int32_t average_permutation_rate();

// The console report on a new unique solution: "Solution N", the board, the piece order and
// orientations, the counters, the run time and the rate.
void report_solution();
// The progress block on the console: the piece order and orientations, the counters, the run
// time and the rate.
void print_progress();
// The end-of-run summary, on the console and in the solutions file.
void print_summary(std::FILE* solutions_file);
