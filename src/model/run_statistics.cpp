#include "model/run_statistics.hpp"

#include <chrono>

RunStatistics run_statistics = INITIAL_RUN_STATISTICS;

namespace {
// Taken during static initialisation, before main: the clock reads 0 at process start.
const std::chrono::steady_clock::time_point process_start = std::chrono::steady_clock::now();
}  // namespace

ClockValue process_clock() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - process_start)
        .count();
}
