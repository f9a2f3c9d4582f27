#include "report/summary.hpp"

#include <cinttypes>
#include <cstdint>
#include <initializer_list>

#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "report/elapsed.hpp"

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
    const ElapsedText run_time = format_elapsed_time(s.report_clock);
    std::fprintf(out, "Total run time = %s\n", run_time.text);
    std::fprintf(solutions_file, "Total run time = %s, ", run_time.text);
    const ElapsedText to_last = format_elapsed_time(s.last_solution_clock);
    std::fprintf(out, "total time to find last unique solution = %s\n", to_last.text);
    std::fprintf(solutions_file, "Total time to find last unique solution = %s\n", to_last.text);
    for (std::FILE* stream : {out, solutions_file})
        std::fprintf(stream, "Average piece order permutation rate = %d / second\n", average);
}
