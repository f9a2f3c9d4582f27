// The run's counters and clock stamps, and the process clock they are read from.
#pragma once

#include <cstdint>

// Milliseconds since the process started. Held in 64 bits so that times and rates stay right
// however long a run takes.
using ClockValue = int64_t;

struct RunStatistics {
    int64_t permutations;
    int64_t tiles_attempted;
    int64_t tiles_succeeded;
    int32_t solutions;
    int32_t duplicates;
    ClockValue start_clock;
    ClockValue report_clock;
    ClockValue last_solution_clock;
    ClockValue rate_clock;
    int64_t rate_permutations;
};

inline constexpr RunStatistics INITIAL_RUN_STATISTICS = {1, 0, 0, 0, 0, 0, 0, 0, 0, 1};

extern RunStatistics run_statistics;

ClockValue process_clock();
