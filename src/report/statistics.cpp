#include "report/statistics.hpp"

#include <cinttypes>
#include <initializer_list>
#include <cstdint>
#include <limits>

#include "model/streams.hpp"
#include "report/render.hpp"
#include "model/search_state.hpp"

char elapsed_text[ELAPSED_TEXT_SIZE];

namespace {

// Converting an out-of-range double to an integer is undefined, so saturate first.
int32_t clamp_to_int32(double value) {
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

void print_numbers(std::FILE* out, const int32_t (&values)[PIECE_COUNT]) {
    for (int32_t value : values)
        std::fprintf(out, "%02d ", value + 1);
}

void print_counters(std::FILE* out) {
    const RunStatistics& s = run_statistics;
    std::fprintf(out,
                 "permutations = %" PRId64 ", tiles attempted = %" PRId64 ", tiles succeeded = %" PRId64
                 ", solutions = %d, duplicates = %d\n",
                 s.counters.permutations, s.counters.tiles_attempted, s.counters.tiles_succeeded, s.solutions, s.duplicates);
}

void print_run_time_and_rate(std::FILE* out, const char* ending) {
    run_statistics.report_clock = process_clock();
    format_elapsed_time(run_statistics.report_clock);
    const int32_t rate = permutation_rate();
    std::fprintf(out, "Total run time = %s, permutation rate = %d / second\n%s", elapsed_text, rate, ending);
}

}  // namespace

void format_elapsed_time(ClockValue now) {
    const int64_t elapsed = now - run_statistics.start_clock;
    const int64_t seconds = elapsed > 0 ? elapsed / 1000 : 0;
    std::snprintf(elapsed_text, sizeof elapsed_text, "%02" PRId64 ":%02d:%02d", seconds / 3600,
                  static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60));
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

void report_solution() {
    std::FILE* out = console_stream();
    std::fprintf(out, "\nSolution %d\n", run_statistics.solutions);
    print_board(nullptr, 0);
    std::fputs("Permutation: ", out);
    print_numbers(out, search_state.piece_order);
    std::fputs("\nOrientation: ", out);
    print_numbers(out, search_state.orientation_index);
    std::fputs("\n", out);
    print_counters(out);
    print_run_time_and_rate(out, "\n");
}

void print_progress() {
    std::FILE* out = console_stream();
    std::fputs("permutation: ", out);
    print_numbers(out, search_state.piece_order);
    std::fputs("\norientation: ", out);
    print_numbers(out, search_state.orientation_index);
    std::fputs("\n", out);
    print_counters(out);
    print_run_time_and_rate(out, "");
}

void print_summary(std::FILE* solutions_file) {
    std::FILE* out = console_stream();
    const RunStatistics& s = run_statistics;
    run_statistics.report_clock = process_clock();
    for (std::FILE* stream : {out, solutions_file})
        std::fprintf(stream, "\nAll permutations exhausted, %d unique solutions found, %d duplicate rotations discarded\n",
                     s.solutions, s.duplicates);
    for (std::FILE* stream : {out, solutions_file})
        std::fprintf(stream, "Total permutations = %" PRId64 ", tiles attempted = %" PRId64 ", tiles succeeded = %" PRId64 "\n",
                     s.counters.permutations, s.counters.tiles_attempted, s.counters.tiles_succeeded);
    const int32_t average = average_permutation_rate();
    format_elapsed_time(s.report_clock);
    std::fprintf(out, "Total run time = %s\n", elapsed_text);
    std::fprintf(solutions_file, "Total run time = %s, ", elapsed_text);
    format_elapsed_time(s.last_solution_clock);
    std::fprintf(out, "total time to find last unique solution = %s\n", elapsed_text);
    std::fprintf(solutions_file, "Total time to find last unique solution = %s\n", elapsed_text);
    for (std::FILE* stream : {out, solutions_file})
        std::fprintf(stream, "Average piece order permutation rate = %d / second\n", average);
}
