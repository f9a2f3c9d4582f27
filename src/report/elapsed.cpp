#include "report/elapsed.hpp"

#include <cinttypes>
#include <cstdio>
#include <limits>

namespace {

// Converting an out-of-range double to an integer is undefined, so saturate first.
int32_t clamp_to_int32(double value) {
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

ElapsedText format_elapsed_time(ClockValue now) {
    ElapsedText out;
    const int64_t elapsed = now - run_statistics.start_clock;
    const int64_t seconds = elapsed > 0 ? elapsed / 1000 : 0;
    std::snprintf(out.text, sizeof out.text, "%02" PRId64 ":%02d:%02d", seconds / 3600,
                  static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60));
    return out;
}

int32_t permutation_rate() {
    const ClockValue now = process_clock();
    const int64_t delta = run_statistics.counters.permutations - run_statistics.rate_permutations;
    const ClockValue interval_ms = now - run_statistics.rate_clock;
    int32_t rate = 0;
    if (interval_ms > 0)
        rate = clamp_to_int32(static_cast<double>(delta) / (static_cast<double>(interval_ms) * 0.001));
    run_statistics.rate_clock = now;
    run_statistics.rate_permutations = run_statistics.counters.permutations;
    return rate;
}

int32_t average_permutation_rate() {
    const int64_t elapsed = run_statistics.report_clock - run_statistics.start_clock;
    const int64_t seconds = elapsed >= 1000 ? elapsed / 1000 : 1;
    const int64_t average = run_statistics.counters.permutations / seconds;
    return average > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                         : static_cast<int32_t>(average);
}
