// The program run as a user runs it, in a directory of its own, stopped after its first solutions.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "checker.hpp"
#include "solver_process.hpp"
#include "known_answers.hpp"
#include "support.hpp"

namespace {

const std::string SOLUTION_1_BLOCK = std::string("Solution 1\n") + KNOWN_ASSEMBLIES[0].rendering;

bool has_two_solutions(const std::string& text) { return text.find("\nSolution 2\n") != std::string::npos; }

}  // namespace

TEST(EndToEnd, StartUpAndFirstSolutionOnTheConsoleAndInTheFile) {
    const std::string dir = make_run_directory("first");
    const SolverRun run = run_solver(TANDOR_SOLVER, dir, has_two_solutions, SIGKILL);
    EXPECT_EQ(run.errors, "");

    const std::string console_start = start_up_text() + "\nSolution 1\n" + KNOWN_ASSEMBLIES[0].rendering +
                                      report_lines(KNOWN_ASSEMBLIES[0], 1, 0);
    ASSERT_EQ(run.console.substr(0, console_start.size()), console_start);
    const std::string rest = run.console.substr(console_start.size());
    EXPECT_EQ(mask_digits(rest.substr(0, rest.find("\n\n") + 2)), "Total run time = #:#:#, permutation rate = # / second\n\n");

    const std::string file = read_whole_file(dir + "/TandorCubeSolutions.txt");
    const std::string file_start = start_up_text() + SOLUTION_1_BLOCK;
    ASSERT_EQ(file.substr(0, file_start.size()), file_start);
    const OutputCheck in_file = check_output(file);
    EXPECT_EQ(in_file.faults, NO_FAULTS);
    EXPECT_EQ(in_file.runs, 1);
    EXPECT_GE(in_file.solutions, 1);
    EXPECT_EQ(check_output(run.console, Output::CUT_CONSOLE).faults, NO_FAULTS);
}

TEST(EndToEnd, ASecondRunAppendsItsOwnReportAndNumbersFromOne) {
    const std::string dir = make_run_directory("second");
    run_solver(TANDOR_SOLVER, dir, has_two_solutions, SIGKILL);
    const std::string first = read_whole_file(dir + "/TandorCubeSolutions.txt");
    run_solver(TANDOR_SOLVER, dir, has_two_solutions, SIGKILL);
    const std::string both = read_whole_file(dir + "/TandorCubeSolutions.txt");
    ASSERT_EQ(both.substr(0, first.size()), first);
    const std::string second = both.substr(first.size());
    EXPECT_EQ(second.substr(0, start_up_text().size() + SOLUTION_1_BLOCK.size()), start_up_text() + SOLUTION_1_BLOCK);
    const OutputCheck check = check_output(both);
    EXPECT_EQ(check.faults, NO_FAULTS);
    EXPECT_EQ(check.runs, 2);
}

// With the report going to a file and standard error on a terminal, the terminal shows a
// progress line rewritten in place, and the report is what it always is.
TEST(EndToEnd, ATerminalFollowsARunWhoseReportGoesToAFile) {
    const std::string dir = make_run_directory("followed");
    const std::string report = dir + "/run.log";
    auto draws = [](const std::string& terminal) {
        int n = 0;
        for (size_t at = terminal.find('%'); at != std::string::npos; at = terminal.find('%', at + 1))
            ++n;
        return n;
    };
    const SolverRun run = run_solver(TANDOR_SOLVER, dir, [&](const std::string& t) { return draws(t) >= 3; }, SIGINT,
                                     {.stdout_path = report, .errors_on_terminal = true});
    EXPECT_EQ(run.end_signal, SIGINT);
    ASSERT_GE(draws(run.errors), 3);
    // Each draw goes back to the line's start, and clears what is left of the one before.
    std::vector<std::string> shown;
    for (size_t at = run.errors.find('\r'); at != std::string::npos; at = run.errors.find('\r', at + 1)) {
        const size_t end = run.errors.find("\033[K", at);
        std::string line = run.errors.substr(at + 1, end - at - 1);
        if (line.find('%') == std::string::npos)
            continue;  // the clearing before the note, or the terminal's line ending
        EXPECT_LE(line.size(), 119u) << "narrower than the terminal";
        const size_t bar = line.find('[');
        ASSERT_NE(bar, std::string::npos) << line;
        EXPECT_EQ(line.find_first_not_of("#.", bar + 1), bar + 31) << line;
        line.replace(bar + 1, 30, "bar");
        const std::string masked = mask_digits(line.substr(line.find_first_not_of(' ')));
        const std::string start = "#.#% [bar] # unique, # duplicates, #.#M/s, #:#:# elapsed, ";
        EXPECT_TRUE(masked == start + "? left" || masked == start + "~#:#:# left") << line;
        shown.push_back(line.substr(bar + 5, line.find(" unique") - bar - 5));
    }
    ASSERT_GE(shown.size(), 3u) << run.errors;
    EXPECT_NE(shown.front(), shown.back()) << "the line follows the solutions found";
    EXPECT_NE(run.errors.find("\r\033[Ktandor-cube-solver: interrupted: "), std::string::npos) << "the line is cleared for the note";
    const std::string console = read_whole_file(report);
    EXPECT_EQ(console.rfind(start_up_text() + "\nSolution 1\n" + KNOWN_ASSEMBLIES[0].rendering, 0), 0u);
    EXPECT_EQ(console.find_first_of("\r%\033"), std::string::npos);
    EXPECT_EQ(check_output(console, Output::CONSOLE).faults, NO_FAULTS);
    EXPECT_EQ(check_output(read_whole_file(dir + "/TandorCubeSolutions.txt")).faults, NO_FAULTS);
}

// Every shipped puzzle, with and without --mirror, stopped after its first solutions: each run's
// file and console hold renderings of the pieces and target its header gives, numbered from 1.
TEST(EndToEnd, EveryShippedPuzzleShowsRotationsOfItsOwnPiecesInItsTarget) {
    int runs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TANDOR_PUZZLES))
        for (const bool mirror : {false, true}) {
            const std::string puzzle = entry.path().string();
            SCOPED_TRACE(puzzle + (mirror ? " --mirror" : ""));
            std::vector<std::string> args = {"--puzzle", puzzle, "-o", "solutions.txt"};
            if (mirror)
                args.push_back("--mirror");
            const std::string dir = make_run_directory("shipped");
            const SolverRun run = run_solver(
                TANDOR_SOLVER, dir, [](const std::string& c) { return c.find("\nSolution 3\n") != std::string::npos; },
                SIGKILL, {.args = args});
            const OutputCheck file = check_output(read_whole_file(dir + "/solutions.txt"));
            EXPECT_EQ(file.faults, NO_FAULTS);
            EXPECT_EQ(file.runs, 1);
            EXPECT_GE(file.solutions, 1);
            EXPECT_EQ(check_output(run.console, run.end_signal == 0 ? Output::CONSOLE : Output::CUT_CONSOLE).faults,
                      NO_FAULTS);
            ++runs;
        }
    EXPECT_GE(runs, 14);
}
