// Elapsed times and permutation rates, as the reports print them.
#pragma once

#include <cstdint>

#include "model/run_statistics.hpp"

inline constexpr int ELAPSED_TEXT_SIZE = 32;

struct ElapsedText {
    char text[ELAPSED_TEXT_SIZE];
};

// "%02d:%02d:%02d" hours, minutes and seconds from start_clock to now; hours do not wrap.
// A time before start_clock (the last solution of a run that found none) shows as 00:00:00.
ElapsedText format_elapsed_time(ClockValue now);

// Permutations per second since the previous call (0 when no millisecond has passed). It renews
// the rate snapshot (rate_clock, rate_permutations) for the next call: the one place where a
// print changes what the next print shows, since each rate covers the time since the previous
// solution report or progress block.
int32_t permutation_rate();

// Whole-run average for the summary: permutations over the whole seconds from start_clock to
// report_clock, a run shorter than a second counting as one second.
int32_t average_permutation_rate();
