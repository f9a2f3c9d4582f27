#include "report/position_lines.hpp"

#include <cinttypes>
#include <cstdint>

#include "model/catalogue.hpp"
#include "model/run_statistics.hpp"
#include "model/search_state.hpp"
#include "report/elapsed.hpp"

namespace {

void print_numbers(std::FILE* out, const int32_t (&values)[MAX_PIECES]) {
    for (int32_t d = 0; d < catalogue.piece_count; ++d)
        std::fprintf(out, "%02d ", values[d] + 1);
}

}  // namespace

void write_position_lines(std::FILE* out, const char* order_label, const char* orientation_label,
                          const char* ending) {
    const RunStatistics& s = run_statistics;
    std::fprintf(out, "%s: ", order_label);
    print_numbers(out, search_state.piece_order);
    std::fprintf(out, "\n%s: ", orientation_label);
    print_numbers(out, search_state.orientation_index);
    std::fputs("\n", out);
    std::fprintf(out,
                 "permutations = %" PRId64 ", tiles attempted = %" PRId64 ", tiles succeeded = %" PRId64
                 ", solutions = %d, duplicates = %d\n",
                 s.counters.permutations, s.counters.tiles_attempted, s.counters.tiles_succeeded, s.solutions, s.duplicates);
    run_statistics.report_clock = process_clock();
    const ElapsedText elapsed = format_elapsed_time(run_statistics.report_clock);
    const int32_t rate = permutation_rate();
    std::fprintf(out, "Total run time = %s, permutation rate = %d / second\n%s", elapsed.text, rate, ending);
}
