// What the program does when it cannot keep its results: a file in the way, a full disk, a
// second run, an interrupt, a full store.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <string>

#include "driver/driver.hpp"
#include "model/catalogue.hpp"
#include "model/streams.hpp"
#include "checker.hpp"
#include "known_answers.hpp"
#include "solver_process.hpp"
#include "support.hpp"
#include "symmetry/store.hpp"

namespace {

std::string solutions_path(const std::string& dir) { return dir + "/TandorCubeSolutions.txt"; }

bool console_has_solution(const std::string& console, int n) {
    return console.find("\nSolution " + std::to_string(n) + "\n") != std::string::npos;
}

int count_of(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// What a stopped run's message says the file holds of it, for `kept` complete solutions.
std::string kept_phrase(int kept) {
    if (kept == 0)
        return "none of this run's solutions";
    if (kept == 1)
        return "this run's solution 1, complete";
    return "this run's solutions 1 to " + std::to_string(kept) + ", complete";
}

}  // namespace

TEST(HardConditions, SolutionsFileThatCannotBeOpenedStopsTheRunBeforeItStarts) {
    const std::string dir = make_run_directory("unopenable");
    ASSERT_EQ(mkdir(solutions_path(dir).c_str(), 0755), 0);
    const SolverRun in_the_way = run_solver(TANDOR_SOLVER, dir, [](const std::string&) { return false; }, 0);
    EXPECT_EQ(in_the_way.exit_status, 1);
    EXPECT_EQ(in_the_way.console, "");
    EXPECT_EQ(in_the_way.errors, "tandor-cube-solver: cannot open TandorCubeSolutions.txt: Is a directory\n");

    const std::string other = make_run_directory("dangling");
    ASSERT_EQ(symlink((other + "/missing/file.txt").c_str(), solutions_path(other).c_str()), 0);
    const SolverRun dangling = run_solver(TANDOR_SOLVER, other, [](const std::string&) { return false; }, 0);
    EXPECT_EQ(dangling.exit_status, 1);
    EXPECT_EQ(dangling.console, "");
    EXPECT_EQ(dangling.errors, "tandor-cube-solver: cannot open TandorCubeSolutions.txt: No such file or directory\n");
}

// A stream that cannot be written stops the run at once with one message and status 1, the
// solutions file ending on its last complete block. A device that is always full fails the
// first block; a limit on the size of files the run may write fails the console mid-run.
TEST(HardConditions, FailedWriteStopsTheRunWithOneMessageAndTheFileOnACompleteBlock) {
    const std::string dir = make_run_directory("full_disk");
    ASSERT_EQ(symlink("/dev/full", solutions_path(dir).c_str()), 0);
    const SolverRun full_file = run_solver(TANDOR_SOLVER, dir, [](const std::string&) { return false; }, 0);
    EXPECT_EQ(full_file.exit_status, 1);
    EXPECT_EQ(full_file.errors, "tandor-cube-solver: cannot write to TandorCubeSolutions.txt: No space left on "
                                "device; it holds none of this run's solutions; stopped\n");
    EXPECT_EQ(full_file.console, start_up_text());

    const std::string other = make_run_directory("full_console");
    const SolverRun full_console = run_solver(TANDOR_SOLVER, other, [](const std::string&) { return false; }, 0,
                                              {.stdout_path = "/dev/full"});
    EXPECT_EQ(full_console.exit_status, 1);
    EXPECT_EQ(full_console.errors, "tandor-cube-solver: cannot write to standard output: No space left on device; "
                                   "TandorCubeSolutions.txt holds none of this run's solutions; stopped\n");
    EXPECT_EQ(read_whole_file(solutions_path(other)), start_up_text());

    for (int processors : {1, 0}) {
        SCOPED_TRACE("processors " + std::to_string(processors));
        const std::string third = make_run_directory("console_fills");
        const SolverRun run = run_solver(TANDOR_SOLVER, third, [](const std::string&) { return false; }, 0,
                                         {.stdout_path = third + "/run.log", .processors = processors,
                                          .file_size_limit = 100000});
        EXPECT_EQ(run.exit_status, 1);
        const std::string file = read_whole_file(solutions_path(third));
        ASSERT_EQ(file.substr(0, start_up_text().size()), start_up_text());
        const OutputCheck check = check_output(file);
        EXPECT_EQ(check.faults, NO_FAULTS);
        EXPECT_EQ(check.runs, 1);
        EXPECT_EQ(check_output(read_whole_file(third + "/run.log"), Output::CUT_CONSOLE).faults, NO_FAULTS);
        const int kept = check.solutions;
        EXPECT_GT(kept, 1);
        EXPECT_EQ(run.errors, "tandor-cube-solver: cannot write to standard output: File too large; "
                              "TandorCubeSolutions.txt holds " + kept_phrase(kept) + "; stopped\n");
    }
}

TEST(HardConditions, ASecondRunInTheSameDirectoryWritesNothing) {
    const std::string dir = make_run_directory("locked");
    const std::string before = "an earlier run's report\n";
    const int fd = open(solutions_path(dir).c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, before.data(), before.size()), static_cast<ssize_t>(before.size()));
    ASSERT_EQ(flock(fd, LOCK_EX), 0);  // as a first run holds it
    const SolverRun second = run_solver(TANDOR_SOLVER, dir, [](const std::string&) { return false; }, 0);
    close(fd);
    EXPECT_EQ(second.exit_status, 1);
    EXPECT_EQ(second.console, "");
    EXPECT_EQ(second.errors, "tandor-cube-solver: TandorCubeSolutions.txt is in use by another run in this directory\n");
    EXPECT_EQ(read_whole_file(solutions_path(dir)), before);
}

// An interrupt, on one thread or several, ends the run by its signal once the block being
// written is complete, with a note that tells what the file kept of this run and where the
// viewer is: the runs follow one another in one directory, and each counts its own solutions.
// Standard error is no terminal here, so it holds that note and no progress line.
TEST(HardConditions, InterruptedRunEndsOnACompleteBlockWithANoteAndTheSignalsStatus) {
    const std::string dir = make_run_directory("interrupted");
    // The build tree's program points to the build tree's viewer page, when it was built.
    const std::string page = TANDOR_BUILT_VIEWER_PAGE;
    const std::string viewer_line =
        page.empty() ? "" : "see the solutions: open " + page + " in a browser and pick TandorCubeSolutions.txt\n";
    for (int processors : {1, 0})
        for (int stop_signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE("signal " + std::to_string(stop_signal) + ", processors " + std::to_string(processors));
            const std::string before = read_whole_file(solutions_path(dir));
            const SolverRun run = run_solver(TANDOR_SOLVER, dir,
                                             [](const std::string& c) { return console_has_solution(c, 2); },
                                             stop_signal, {.processors = processors});
            EXPECT_EQ(run.end_signal, stop_signal);
            const std::string file = read_whole_file(solutions_path(dir));
            ASSERT_EQ(file.substr(0, before.size()), before);
            const std::string added = file.substr(before.size());
            ASSERT_EQ(added.substr(0, start_up_text().size()), start_up_text());
            const OutputCheck check = check_output(added);
            EXPECT_EQ(check.faults, NO_FAULTS);
            EXPECT_EQ(check.runs, 1);
            EXPECT_EQ(check_output(run.console, Output::CONSOLE).faults, NO_FAULTS);
            const int kept = check.solutions;
            EXPECT_GE(kept, 1);
            EXPECT_EQ(run.errors, "tandor-cube-solver: interrupted: TandorCubeSolutions.txt holds " + kept_phrase(kept) +
                                      "; this run has no summary\n" + viewer_line);
            // The console too ends on a whole block: the last solution it shows has its report,
            // and the last line is a report's, a progress block's or a duplicate notice.
            const std::string last_solution = run.console.substr(run.console.rfind("\nSolution "));
            EXPECT_NE(last_solution.find(" / second\n\n"), std::string::npos);
            std::string tail = run.console.substr(0, run.console.find_last_not_of('\n') + 1);
            tail = tail.substr(tail.rfind('\n') + 1);
            EXPECT_TRUE(tail.rfind("Total run time = ", 0) == 0 || tail.rfind("Discarded duplicate", 0) == 0) << tail;
            EXPECT_EQ(run.console.back(), '\n');
        }
}

// A file an earlier run left in the middle of a line gets one line break, and is told about;
// nothing else of it changes.
TEST(HardConditions, FileCutMidLineGetsTheBannerOnALineOfItsOwn) {
    const std::string dir = make_run_directory("cut");
    const std::string cut = std::string("Solution 7\n") + " B B 8 8    9 9 4 D";
    std::ofstream(solutions_path(dir), std::ios::binary) << cut;
    const SolverRun run = run_solver(TANDOR_SOLVER, dir, [](const std::string& c) { return console_has_solution(c, 1); },
                                     SIGKILL);
    EXPECT_EQ(run.errors, "tandor-cube-solver: TandorCubeSolutions.txt ended in the middle of a line, where an earlier "
                          "run was cut off; a line break was added so that this run starts on a line of its own\n");
    const std::string file = read_whole_file(solutions_path(dir));
    EXPECT_EQ(file.substr(0, cut.size() + 1 + start_up_text().size()), cut + "\n" + start_up_text());
    EXPECT_EQ(check_output(file.substr(cut.size() + 1)).faults, NO_FAULTS);

    // Where not even the line break fits, the file stays as it was and the one message says so.
    const std::string full = make_run_directory("cut_full");
    std::ofstream(solutions_path(full), std::ios::binary) << cut;
    const SolverRun stopped = run_solver(TANDOR_SOLVER, full, [](const std::string&) { return false; }, 0,
                                         {.file_size_limit = static_cast<long>(cut.size())});
    EXPECT_EQ(stopped.exit_status, 1);
    EXPECT_EQ(stopped.errors, "tandor-cube-solver: cannot write to TandorCubeSolutions.txt: File too large; it holds "
                              "none of this run's solutions; stopped\n");
    EXPECT_EQ(read_whole_file(solutions_path(full)), cut);
}

TEST(HardConditions, FullStoreStopsTheRunWithAMessageAndKeepsEverySolution) {
    std::FILE* file = std::tmpfile();
    ConsoleCapture capture = begin_console_capture();
    prepare_run();
    use_puzzle(BUILT_IN_PUZZLE, false);  // start-up normalises and turns the working catalogue
    solution_capacity = 3;
    take_solutions_file(file);
    start_up(file);
    testing::internal::CaptureStderr();
    const int status = run_search(file);
    const std::string errors = testing::internal::GetCapturedStderr();
    end_search();
    solution_capacity = INT32_MAX;
    output_streams.solutions_file = nullptr;
    const std::string console = end_console_capture(capture);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors,
              "tandor-cube-solver: the solution store is full (3 solutions); the run stops, since a new "
              "solution could no longer be kept to recognise its rotations\n");
    EXPECT_EQ(count_of(console, "\nSolution "), 3);
    const std::string solutions = read_whole_stream(file);
    std::fclose(file);
    const OutputCheck check = check_output(solutions);
    EXPECT_EQ(check.faults, NO_FAULTS);
    EXPECT_EQ(check.solutions, 3);
    EXPECT_EQ(check_output(console, Output::CONSOLE).faults, NO_FAULTS);
    EXPECT_EQ(solutions.find("All permutations exhausted"), std::string::npos) << "a stopped run claims no summary";
}
