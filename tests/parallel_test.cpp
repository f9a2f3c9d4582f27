// The search on several threads against the single-threaded one: the whole output of a run's
// first 2,000 unique solutions, clock values aside, byte for byte.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <utility>

#include "driver/driver.hpp"
#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "search/parallel.hpp"
#include "search/search.hpp"
#include "symmetry/store.hpp"
#include "checker.hpp"
#include "solver_process.hpp"
#include "support.hpp"

namespace {

constexpr int32_t UNIQUE_SOLUTIONS = 2000;

struct RunOutput {
    std::string console;
    std::string file;
};

RunOutput first_solutions(int32_t threads) {
    std::FILE* file = std::tmpfile();
    ConsoleCapture capture = begin_console_capture();
    use_puzzle(BUILT_IN_PUZZLE, false);  // start-up normalises and turns the working catalogue
    run_statistics = INITIAL_RUN_STATISTICS;
    reset_solution_store();
    search_threads = threads;
    take_solutions_file(file);
    start_up(file);
    begin_run_clock();
    while (run_statistics.solutions < UNIQUE_SOLUTIONS && find_next_assembly())
        EXPECT_EQ(handle_assembly(file), 0);
    end_search();
    search_threads = 1;
    progress_function = nullptr;
    output_streams.solutions_file = nullptr;
    RunOutput out{without_clock_lines(end_console_capture(capture)), read_whole_stream(file)};
    std::fclose(file);
    return out;
}

}  // namespace

// It starts the program as a process, which only the POSIX builds' tests do.
#if TANDOR_PROCESS_TESTS
// The program searches on as many threads as its affinity mask gives it processors: on one, the
// merging thread alone; on two, two workers beside it. ThreadSanitizer keeps a thread of its own
// once a second one starts.
#if defined(__SANITIZE_THREAD__)
constexpr int SANITIZER_THREADS = 1;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr int SANITIZER_THREADS = 1;
#else
constexpr int SANITIZER_THREADS = 0;
#endif
#else
constexpr int SANITIZER_THREADS = 0;
#endif

TEST(Parallel, TheProgramRunsAsManyWorkersAsItsAffinityMaskHasProcessors) {
    if (available_processors() < 2)
        GTEST_SKIP() << "the tests may use one processor only";
    for (const auto& [processors, workers] : {std::pair{1, 1}, std::pair{2, 3}}) {
        const int threads = workers + (workers > 1 ? SANITIZER_THREADS : 0);
        const SolverRun run = run_solver(
            TANDOR_SOLVER, make_run_directory("affinity"),
            [](const std::string& console) { return console.find("\nSolution 2\n") != std::string::npos; }, SIGKILL,
            {.processors = processors, .count_threads = true});
        EXPECT_EQ(run.most_threads, threads) << processors << " processors";
    }
}
#endif

TEST(Parallel, OutputOfTwoThousandSolutionsIsTheSingleThreadedOutput) {
    const RunOutput single = first_solutions(1);
    ASSERT_NE(single.console.find("\nSolution 2000\n"), std::string::npos);
    int blocks = 0;
    for (size_t at = single.console.find("permutation: "); at != std::string::npos;
         at = single.console.find("permutation: ", at + 1))
        ++blocks;
    EXPECT_GE(blocks, 100);
    for (int32_t threads : {2, 4}) {
        const RunOutput parallel = first_solutions(threads);
        EXPECT_TRUE(parallel.console == single.console) << threads << " threads: console differs";
        EXPECT_TRUE(parallel.file == single.file) << threads << " threads: file differs";
    }
    const OutputCheck check = check_output(single.file);
    EXPECT_EQ(check.solutions, UNIQUE_SOLUTIONS);
    EXPECT_EQ(check.faults, NO_FAULTS);
    EXPECT_EQ(check_output(single.console, Output::CONSOLE).faults, NO_FAULTS);
}
