// Renderings, the statistics lines, elapsed times, rates and the summary, byte for byte.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "model/catalogue.hpp"
#include "report/listing.hpp"
#include "report/progress_line.hpp"
#include "report/render.hpp"
#include "report/elapsed.hpp"
#include "report/progress_block.hpp"
#include "report/solution_report.hpp"
#include "report/summary.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "known_answers.hpp"
#include "support.hpp"

namespace {

std::string elapsed(ClockValue ms) {
    run_statistics.start_clock = 1000;
    return format_elapsed_time(1000 + ms).text;
}


}  // namespace

TEST(Rendering, FirstSolutionIsExactAndEveryLineHas43Characters) {
    prepare_run();
    ASSERT_TRUE(find_next_assembly());
    run_statistics.solutions = 1;
    ConsoleCapture capture = begin_console_capture();
    print_board(console_stream(), 1);
    EXPECT_EQ(run_statistics.last_solution_clock, 0) << "printing stamps nothing";
    EXPECT_EQ(end_console_capture(capture), std::string("Solution 1\n") + KNOWN_ASSEMBLIES[0].rendering);

    std::istringstream lines(KNOWN_ASSEMBLIES[0].rendering);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.size(), size_t(rendering_line_length()));
}

TEST(Rendering, EmptyAndBorderCellsAreBlankAndLabelsRunFromOneToD) {
    EXPECT_EQ(cell_label(EMPTY_CELL), ' ');
    EXPECT_EQ(cell_label(BORDER_CELL), ' ');
    EXPECT_EQ(cell_label(0), '1');
    EXPECT_EQ(cell_label(9), 'A');
    EXPECT_EQ(cell_label(12), 'D');
    Board empty;
    init_board(empty);
    std::FILE* file = std::tmpfile();
    render_board(file, empty);
    const std::string blank_line = std::string(size_t(rendering_line_length()), ' ') + "\n";
    EXPECT_EQ(read_whole_stream(file), blank_line + blank_line + blank_line + blank_line);
    std::fclose(file);
}

TEST(Statistics, ElapsedTimeText) {
    EXPECT_EQ(elapsed(0), "00:00:00");
    EXPECT_EQ(elapsed(59999), "00:00:59");
    EXPECT_EQ(elapsed(3600000), "01:00:00");
    EXPECT_EQ(elapsed(360000000), "100:00:00");
    EXPECT_EQ(elapsed(-5000), "00:00:00");
    // Past the 32-bit millisecond range (about 24.8 days) the time is still right.
    EXPECT_EQ(elapsed(3000000000), "833:20:00");
}

TEST(Statistics, RateIsZeroWithoutElapsedTimeAndRenewsTheSnapshot) {
    run_statistics = INITIAL_RUN_STATISTICS;
    run_statistics.counters.permutations = 5001;
    run_statistics.rate_clock = process_clock() + 1000000;  // no time has passed since it
    EXPECT_EQ(permutation_rate(), 0);
    EXPECT_EQ(run_statistics.rate_permutations, 5001);

    run_statistics.rate_clock = process_clock() - 4000000000;  // far beyond 32 bits ago
    run_statistics.rate_permutations = 1;
    run_statistics.counters.permutations = 4000000001;
    const int32_t rate = permutation_rate();
    EXPECT_GT(rate, 990);
    EXPECT_LE(rate, 1000);
}

TEST(Statistics, AverageRateOfShortAndHugeRuns) {
    run_statistics = INITIAL_RUN_STATISTICS;
    run_statistics.counters.permutations = 5690;
    run_statistics.start_clock = 100;
    run_statistics.report_clock = 600;  // under one second counts as one
    EXPECT_EQ(average_permutation_rate(), 5690);
    run_statistics.report_clock = 100 + 2999;
    EXPECT_EQ(average_permutation_rate(), 2845);
    run_statistics.counters.permutations = INT64_C(1) << 40;
    EXPECT_EQ(average_permutation_rate(), INT32_MAX);
}

TEST(Statistics, SolutionReportOfTheFirstSolution) {
    prepare_run();
    ASSERT_TRUE(find_next_assembly());
    run_statistics.solutions = 1;
    ConsoleCapture capture = begin_console_capture();
    report_solution();
    const std::string text = end_console_capture(capture);
    const std::string expected_start = std::string("\nSolution 1\n") + KNOWN_ASSEMBLIES[0].rendering +
                                       report_lines(KNOWN_ASSEMBLIES[0], 1, 0);
    ASSERT_EQ(text.substr(0, expected_start.size()), expected_start);
    const std::string last = text.substr(expected_start.size());
    EXPECT_EQ(mask_digits(last), "Total run time = #:#:#, permutation rate = # / second\n\n");
    EXPECT_EQ(last.substr(0, 22), "Total run time = 00:00");
    EXPECT_EQ(run_statistics.rate_permutations, 5690);
}

TEST(Statistics, ProgressBlockFormat) {
    prepare_run();
    run_statistics.counters.permutations = 2000000;
    run_statistics.counters.tiles_attempted = 33423663;
    run_statistics.counters.tiles_succeeded = 774730;
    run_statistics.solutions = 15;
    const int32_t order[PIECE_COUNT] = {1, 0, 2, 11, 4, 9, 3, 8, 12, 6, 10, 5, 7};
    const int32_t orientations[PIECE_COUNT] = {3, 0, 7, 6, 6, 15, 6, 1, 11, 7, -1, -1, -1};
    std::copy(order, order + PIECE_COUNT, search_state.piece_order);
    std::copy(orientations, orientations + PIECE_COUNT, search_state.orientation_index);
    ConsoleCapture capture = begin_console_capture();
    print_progress();
    const std::string text = end_console_capture(capture);
    const std::string expected_start =
        "permutation: 02 01 03 12 05 10 04 09 13 07 11 06 08 \n"
        "orientation: 04 01 08 07 07 16 07 02 12 08 00 00 00 \n"
        "permutations = 2000000, tiles attempted = 33423663, tiles succeeded = 774730, solutions = 15, duplicates = 0\n";
    ASSERT_EQ(text.substr(0, expected_start.size()), expected_start);
    const std::string last = text.substr(expected_start.size());
    EXPECT_EQ(mask_digits(last), "Total run time = #:#:#, permutation rate = # / second\n");
}

TEST(Statistics, SummaryOnTheConsoleAndInTheFile) {
    run_statistics = INITIAL_RUN_STATISTICS;
    run_statistics.counters.permutations = 7000000001;
    run_statistics.counters.tiles_attempted = 123456789012;
    run_statistics.counters.tiles_succeeded = 3456789012;
    run_statistics.solutions = 12;
    run_statistics.duplicates = 276;
    run_statistics.start_clock = process_clock() - 3723000;  // 1 h 2 min 3 s ago
    run_statistics.last_solution_clock = run_statistics.start_clock + 61000;
    std::FILE* file = std::tmpfile();
    ConsoleCapture capture = begin_console_capture();
    print_summary(file);
    const std::string console = end_console_capture(capture);
    const std::string in_file = read_whole_stream(file);
    std::fclose(file);
    const std::string counts =
        "\nAll permutations exhausted, 12 unique solutions found, 276 duplicate rotations discarded\n"
        "Total permutations = 7000000001, tiles attempted = 123456789012, tiles succeeded = 3456789012\n";
    EXPECT_EQ(console, counts +
                           "Total run time = 01:02:03\n"
                           "total time to find last unique solution = 00:01:01\n"
                           "Average piece order permutation rate = 1880204 / second\n");
    EXPECT_EQ(in_file, counts +
                           "Total run time = 01:02:03, Total time to find last unique solution = 00:01:01\n"
                           "Average piece order permutation rate = 1880204 / second\n");
}

TEST(Statistics, SummaryOfARunWithoutSolutions) {
    run_statistics = INITIAL_RUN_STATISTICS;
    run_statistics.start_clock = process_clock();
    std::FILE* file = std::tmpfile();
    ConsoleCapture capture = begin_console_capture();
    print_summary(file);
    end_console_capture(capture);
    EXPECT_EQ(read_whole_stream(file),
              "\nAll permutations exhausted, 0 unique solutions found, 0 duplicate rotations discarded\n"
              "Total permutations = 1, tiles attempted = 0, tiles succeeded = 0\n"
              "Total run time = 00:00:00, Total time to find last unique solution = 00:00:00\n"
              "Average piece order permutation rate = 1 / second\n");
    std::fclose(file);
}

TEST(Listing, PieceListIsExactText) {
    catalogue = BUILT_IN_CATALOGUE;
    ConsoleCapture capture = begin_console_capture();
    list_catalogue(console_stream());
    EXPECT_EQ(end_console_capture(capture), PIECE_LIST);
}

// A terminal too narrow for the whole progress line shows its first whole items, never a piece
// of one or the comma after the last.
TEST(ProgressLine, ANarrowTerminalEndsTheLineOnAWholeItem) {
    const RunStatistics s{};
    progress_line = ProgressLine{};
    progress_line.full_run_permutations = 1000;
    const struct {
        int width;
        const char* line;
    } cases[] = {
        {40, "  0.0% 0 unique, 0 duplicates, 0.0M/s"},
        {60, "  0.0% 0 unique, 0 duplicates, 0.0M/s, 0:00:05 elapsed"},
        {70, "  0.0% 0 unique, 0 duplicates, 0.0M/s, 0:00:05 elapsed, ? left"},
    };
    for (const auto& c : cases) {
        char out[256];
        format_progress_line(out, sizeof out, s, 5000, 0, c.width);
        EXPECT_EQ(std::string(out), c.line) << c.width << " columns";
    }
}
