// The run's counters and clock stamps, and the process clock they are read from.
#pragma once

#include <cstdint>

// Milliseconds since the process started. Held in 64 bits so that times and rates stay right
// however long a run takes.
using ClockValue = int64_t;

// The search's counters. In the run statistics they are what the straightforward search would
// show; inside the fast engine's position, tiles_attempted is counted ahead (search/engine.hpp).
struct SearchCounters {
    int64_t permutations;     // piece orders taken, the first one included
    int64_t tiles_attempted;  // orientations tried
    int64_t tiles_succeeded;  // tried orientations that fitted and were placed
};

inline void add_counters(SearchCounters& to, const SearchCounters& from) {
    to.permutations += from.permutations;
    to.tiles_attempted += from.tiles_attempted;
    to.tiles_succeeded += from.tiles_succeeded;
}

// Each field has one writer, named beside it; tests and the benchmark reset the whole record.
struct RunStatistics {
    SearchCounters counters;          // the search (search/search.cpp): at each assembly, progress block and end
    int32_t solutions;                // the store (symmetry/store.cpp), when it stores a solution
    int32_t duplicates;               // the driver, before each duplicate notice
    ClockValue start_clock;           // the driver, once, as the search begins
    ClockValue report_clock;          // report/position_lines.cpp at each report and block, report/summary.cpp
    ClockValue last_solution_clock;   // the driver, once per new solution, before it is reported
    ClockValue rate_clock;            // permutation_rate (report/elapsed.cpp)
    int64_t rate_permutations;        // permutation_rate (report/elapsed.cpp)
};

inline constexpr SearchCounters INITIAL_SEARCH_COUNTERS = {1, 0, 0};
inline constexpr RunStatistics INITIAL_RUN_STATISTICS = {INITIAL_SEARCH_COUNTERS, 0, 0, 0, 0, 0, 0, 1};

extern RunStatistics run_statistics;

ClockValue process_clock();
