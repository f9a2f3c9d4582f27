// What survives what: a write that fails, and a kill, at every point of a short run. The
// program is the build with the write seam (tests/CMakeLists.txt); the runs after them are the
// shipped program. The default suite tries a handful of points; TANDOR_FULL_CAMPAIGNS=1 (as
// tools/test sets it) tries them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "checker.hpp"
#include "known_answers.hpp"
#include "solver_process.hpp"
#include "support.hpp"

namespace {

const bool FULL_CAMPAIGN = std::getenv("TANDOR_FULL_CAMPAIGNS") != nullptr;

const std::string MEND_NOTICE =
    "tandor-cube-solver: TandorCubeSolutions.txt ended in the middle of a line, where an earlier run was cut off; a "
    "line break was added so that this run starts on a line of its own\n";

std::string file_in(const std::string& dir) { return read_whole_file(dir + "/TandorCubeSolutions.txt"); }

void write_file_in(const std::string& dir, const std::string& text) {
    std::ofstream(dir + "/TandorCubeSolutions.txt", std::ios::binary | std::ios::trunc) << text;
}

bool never(const std::string&) { return false; }

// What a run with the seam writes to a new file in its first `writes` writes: the start-up
// listing, then one solution a write. The seam ends the run there.
std::string short_run_output(int writes) {
    const std::string dir = make_run_directory("short_run");
    run_solver(TANDOR_SOLVER_SEAMS, dir, never, 0, {.environment = {"TANDOR_TEST_WRITES=" + std::to_string(writes)}});
    return file_in(dir);
}

// Where each write of `output` ends: the start-up listing, then each solution block.
std::vector<size_t> write_ends(const std::string& output) {
    std::vector<size_t> ends{start_up_text().size()};
    for (int n = 2;; ++n) {
        const size_t next = output.find("Solution " + std::to_string(n) + "\n");
        if (next == std::string::npos)
            break;
        ends.push_back(next);
    }
    ends.push_back(output.size());
    return ends;
}

// A run of the shipped program after another appends its own report: start-up listing and
// complete solutions from 1 on, right after what stood there (and a line break if that was cut).
void expect_clean_append(const std::string& dir) {
    const std::string before = file_in(dir);
    const bool cut = !before.empty() && before.back() != '\n';
    const SolverRun next = run_solver(
        TANDOR_SOLVER, dir, [](const std::string& c) { return c.find("\nSolution 2\n") != std::string::npos; },
        SIGKILL);
    EXPECT_EQ(next.errors, cut ? MEND_NOTICE : "");
    const std::string after = file_in(dir);
    ASSERT_EQ(after.substr(0, before.size()), before);
    const std::string added = after.substr(before.size() + (cut ? 1 : 0));
    const std::string start = start_up_text() + "Solution 1\n" + KNOWN_ASSEMBLIES[0].rendering;
    EXPECT_EQ(added.substr(0, start.size()), start);
    const OutputCheck check = check_output(added);
    EXPECT_EQ(check.faults, NO_FAULTS);
    EXPECT_EQ(check.runs, 1);
}

}  // namespace

// The k-th write of the solutions file fails, for k = 1, 2, ... until a run gets past its last
// write: every error, with none, half or all of the write landed, on one thread or several,
// over a file that ended on a complete line or was cut off mid-line. Every run stops at once
// with status 1 and the one true message; the file holds what it held, then this run's
// complete blocks up to the one that failed; and the next run appends cleanly.
TEST(WhatSurvivesWhat, AWriteThatFailsAtAnyPointStopsTheRunWithTheFileOnItsLastCompleteBlock) {
    const int short_run_writes = FULL_CAMPAIGN ? 12 : 4;
    const std::string whole = short_run_output(short_run_writes);
    EXPECT_EQ(check_output(whole).solutions, short_run_writes - 1);
    EXPECT_EQ(check_output(whole).faults, NO_FAULTS);
    const std::vector<size_t> ends = write_ends(whole);
    struct Error {
        const char* name;
        const char* text;
    };
    const Error errors[] = {{"ENOSPC", "No space left on device"}, {"EIO", "Input/output error"},
                            {"EFBIG", "File too large"}};
    const long landings[] = {-1, 0, 1000000};  // half of the write, nothing, all of it
    const std::string befores[] = {"an earlier run's report\n", "Solution 7\n B B 8 8    9 9 4 D"};
    const std::string dir = make_run_directory("failing_writes");
    int tried = 0;
    bool past_last_write = false;
    for (int k = 1; !past_last_write; ++k) {
        ASSERT_LE(k, short_run_writes + 1) << "the run never got past its last write";
        const int variants = FULL_CAMPAIGN ? 3 : 1;
        for (int v = 0; v < variants && !past_last_write; ++v) {
            const Error& error = errors[(k + 2 * v) % 3];
            const long landing = landings[(k + v) % 3];
            const std::string& before = befores[(k + v) % 2];
            const int processors = (k / 2 + v) % 2 == 0 ? 1 : 0;
            SCOPED_TRACE("write " + std::to_string(k) + " fails with " + error.name + ", " + std::to_string(landing) +
                         " bytes landed, processors " + std::to_string(processors));
            write_file_in(dir, before);
            const SolverRun run = run_solver(
                TANDOR_SOLVER_SEAMS, dir, never, 0,
                {.processors = processors,
                 .environment = {"TANDOR_TEST_WRITE=" + std::to_string(k) + " " + error.name + " " +
                                     std::to_string(landing),
                                 "TANDOR_TEST_WRITES=" + std::to_string(short_run_writes)}});
            const std::string file = file_in(dir);
            const std::string mend = before.back() != '\n' ? "\n" : "";
            if (run.end_signal == SIGKILL && k > short_run_writes) {
                // The seam's end of the short run came first: every write went through.
                past_last_write = true;
                EXPECT_EQ(file, before + mend + whole);
                break;
            }
            ++tried;
            const int kept = k >= 2 ? k - 2 : 0;
            const std::string held = kept == 0   ? "none of this run's solutions"
                                     : kept == 1 ? "this run's solution 1, complete"
                                                 : "this run's solutions 1 to " + std::to_string(kept) + ", complete";
            EXPECT_EQ(run.exit_status, 1);
            EXPECT_EQ(run.errors, (mend.empty() ? "" : MEND_NOTICE) + "tandor-cube-solver: cannot write to "
                                      "TandorCubeSolutions.txt: " + error.text + "; it holds " + held + "; stopped\n");
            // The bytes from before are intact, and this run's part is its listing and complete
            // solutions, as the undisturbed run wrote them; a first write that failed left only the
            // line break that mended a cut line, which the notice told of.
            const std::string expected = before + mend + (k == 1 ? "" : whole.substr(0, ends[k - 2]));
            EXPECT_EQ(file, expected);
            expect_clean_append(dir);
        }
    }
    EXPECT_TRUE(past_last_write);
    RecordProperty("write_failure_points", tried);
    std::printf("write-failure points tried: %d\n", tried);
}

// SIGKILL inside the k-th write of the solutions file, after its first byte, half of it or all
// of it, for every write of a short run, the runs following one another in one directory.
// Every earlier state of the file is a prefix of the next, each run writes what the undisturbed
// run writes up to the kill, mending a cut line first; then a run appends cleanly.
TEST(WhatSurvivesWhat, AKillAtAnyPointLeavesEveryEarlierStateAsAPrefixAndTheNextRunMends) {
    const int writes = FULL_CAMPAIGN ? 17 : 2;
    const std::string whole = short_run_output(writes);
    EXPECT_EQ(check_output(whole).solutions, writes - 1);
    EXPECT_EQ(check_output(whole).faults, NO_FAULTS);
    const std::vector<size_t> ends = write_ends(whole);
    ASSERT_EQ(ends.size(), static_cast<size_t>(writes));
    const std::string dir = make_run_directory("kills");
    int kills = 0;
    for (int k = 1; k <= writes; ++k)
        for (long landing : {1L, -1L, 1000000L}) {
            SCOPED_TRACE("killed in write " + std::to_string(k) + " after " + std::to_string(landing) + " bytes");
            const std::string before = file_in(dir);
            const bool cut = !before.empty() && before.back() != '\n';
            const SolverRun run =
                run_solver(TANDOR_SOLVER_SEAMS, dir, never, 0,
                           {.processors = k % 2 == 0 ? 1 : 0,
                            .environment = {"TANDOR_TEST_WRITE=" + std::to_string(k) + " KILL " + std::to_string(landing)}});
            ++kills;
            EXPECT_EQ(run.end_signal, SIGKILL);
            EXPECT_EQ(run.errors, cut ? MEND_NOTICE : "");
            const std::string file = file_in(dir);
            ASSERT_EQ(file.substr(0, before.size()), before) << "an earlier state is not a prefix";
            const std::string output = (cut ? "\n" : "") + whole;
            // The line break that mends a cut line is in the file before the run's first write.
            const size_t start = (k == 1 ? 0 : ends[k - 2]) + (cut ? 1 : 0);
            const size_t end = ends[k - 1] + (cut ? 1 : 0);
            const size_t landed = landing < 0 ? (end - start) / 2 : std::min<size_t>(landing, end - start);
            EXPECT_EQ(file.substr(before.size()), output.substr(0, start + landed));
        }
    expect_clean_append(dir);
    RecordProperty("kills", kills);
    std::printf("kills: %d\n", kills);
}
