#include "driver/driver.hpp"

#include <sys/file.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <initializer_list>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "orient/normalise.hpp"
#include "orient/orientations.hpp"
#include "report/listing.hpp"
#include "report/render.hpp"
#include "report/statistics.hpp"
#include "search/parallel.hpp"
#include "search/search.hpp"
#include "symmetry/store.hpp"

namespace {

// SIGINT and SIGTERM are held back while a block of output is written, so that an interrupted
// run leaves both streams ending on a complete block; once it is flushed, a pending signal ends
// the process with its default action.
sigset_t stop_signals;

void hold_stop_signals() {
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop_signals, nullptr);
}

void release_stop_signals() {
    flush_stream(console_stream());
    sigprocmask(SIG_UNBLOCK, &stop_signals, nullptr);
}

void progress_block() {
    hold_stop_signals();
    print_progress();
    release_stop_signals();
}

}  // namespace

std::FILE* open_solutions_file() {
    std::FILE* file = std::fopen(SOLUTIONS_FILE_NAME, "a+");
    if (file == nullptr) {
        std::fprintf(stderr, "tandor-cube-solver: cannot open %s: %s\n", SOLUTIONS_FILE_NAME, std::strerror(errno));
        return nullptr;
    }
    if (flock(fileno(file), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK)
            std::fprintf(stderr, "tandor-cube-solver: %s is in use by another run in this directory\n",
                         SOLUTIONS_FILE_NAME);
        else
            std::fprintf(stderr, "tandor-cube-solver: cannot lock %s: %s\n", SOLUTIONS_FILE_NAME,
                         std::strerror(error));
        std::fclose(file);
        return nullptr;
    }
    return file;
}

void start_up(std::FILE* solutions_file) {
    std::FILE* console = console_stream();
    output_streams.solutions_file = solutions_file;
    hold_stop_signals();
    static const char BANNER[] = "Tandor Cube Solver\n\n";
    std::fputs(BANNER, console);
    std::fputs(BANNER, solutions_file);
    list_catalogue(solutions_file);
    list_catalogue(nullptr);
    reset_search_order();
    reset_orientation_table();
    for (int32_t p = 0; p < PIECE_COUNT; ++p) {
        normalise_shape(catalogue.shapes[p]);
        const int32_t count = generate_orientations(p);
        for (std::FILE* stream : {console, solutions_file})
            std::fprintf(stream, "Piece %2d has %d unique rotational orientations\n", p + 1, count);
    }
    std::fputs("\n", console);
    std::fputs("\n", solutions_file);
    verify_orientation_table();
    init_board();
    begin_search();
    flush_stream(solutions_file);
    release_stop_signals();
}

int handle_assembly(std::FILE* solutions_file) {
    std::FILE* console = console_stream();
    int status = 0;
    hold_stop_signals();
    const int32_t result = store_if_unique();
    if (result == STORED_NEW) {
        run_statistics.last_solution_clock = process_clock();
        report_solution();
        print_board(solutions_file, 1);
    } else if (result == ROTATED_DUPLICATE) {
        ++run_statistics.duplicates;
        std::fprintf(console, "Discarded duplicate rotated solution %d\n", run_statistics.duplicates);
    } else {
        std::fprintf(stderr,
                     "tandor-cube-solver: the solution store is full (%d solutions); the run stops, "
                     "since a new solution could no longer be kept to recognise its rotations\n",
                     solution_capacity);
        status = RUN_FAILED_STATUS;
    }
    release_stop_signals();
    return status;
}

void begin_run_clock() {
    progress_function = progress_block;
    run_statistics.start_clock = process_clock();
}

int run_search(std::FILE* solutions_file) {
    begin_run_clock();
    while (find_next_assembly()) {
        const int status = handle_assembly(solutions_file);
        if (status != 0)
            return status;
    }
    hold_stop_signals();
    print_summary(solutions_file);
    flush_stream(solutions_file);
    release_stop_signals();
    return output_failed() ? RUN_FAILED_STATUS : 0;
}

Request read_command_line(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0)
            return Request::HELP;
        if (std::strcmp(argv[i], "--version") == 0)
            return Request::VERSION;
    }
    return Request::RUN;
}

namespace {

const char HELP_TEXT[] =
    "Usage: tandor-cube-solver [--help | --version]\n"
    "\n"
    "Finds every way to assemble a 4 x 4 x 4 cube from the thirteen built-in pieces of the\n"
    "Tandor Cube, and keeps one copy of each assembly up to a rotation of the whole cube\n"
    "(mirror images count as different): 14,177 unique solutions. The program takes no input:\n"
    "any other argument is ignored, and a run goes from start to the end of the search, about\n"
    "10 minutes on two cores, 21 on one.\n"
    "\n"
    "Where it writes:\n"
    "  standard output          the report: the piece list, every unique solution with its\n"
    "                           statistics, a notice for every rotated duplicate, a progress\n"
    "                           block every million piece orders and the summary (53 MB)\n"
    "  TandorCubeSolutions.txt  in the working directory; each run appends its piece list,\n"
    "                           every unique solution and, once it has ended, its summary\n"
    "  standard error           messages for you\n"
    "\n"
    "Following a long run:\n"
    "  tandor-cube-solver > run.log   keeps the report in run.log; follow it with\n"
    "                                 tail -f run.log\n"
    "  Ctrl-C                         stops the run; the file keeps every solution found so\n"
    "                                 far and ends on a complete block, without a summary\n"
    "\n"
    "Exit status:\n"
    "  0    the search ran to its end and every line was written\n"
    "  1    the solutions file could not be opened or locked, a write to it or to standard\n"
    "       output failed, or the solution store was full\n"
    "  70   an internal consistency check of the piece tables failed\n"
    "  killed by SIGINT or SIGTERM when the run was interrupted\n"
    "\n"
    "Options:\n"
    "  --help     show this text\n"
    "  --version  show the version, the compiler and the fit test this processor gets\n";

void print_version(std::FILE* out) {
    std::fprintf(out, "tandor-cube-solver %s\n", TANDOR_VERSION);
#if defined(__clang__)
    std::fprintf(out, "compiler: clang %s", __clang_version__);
#elif defined(__GNUC__)
    std::fprintf(out, "compiler: g++ %s", __VERSION__);
#else
    std::fputs("compiler: unknown", out);
#endif
    std::fprintf(out, ", C++%ld, %s build\n", __cplusplus / 100 % 100, TANDOR_BUILD_TARGET);
    std::fprintf(out, "fit test: %s (the widest this processor has)\n", fit_test_name(widest_fit_test()));
}

}  // namespace

int answer_request(Request request) {
    if (request == Request::HELP)
        std::fputs(HELP_TEXT, stdout);
    else
        print_version(stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "tandor-cube-solver: cannot write to standard output: %s\n", std::strerror(errno));
        return RUN_FAILED_STATUS;
    }
    return 0;
}

int run_program(int argc, char** argv) {
    const Request request = read_command_line(argc, argv);
    if (request != Request::RUN)
        return answer_request(request);
    std::FILE* solutions_file = open_solutions_file();
    if (solutions_file == nullptr)
        return RUN_FAILED_STATUS;
    search_threads = available_processors();
    start_up(solutions_file);
    int status = run_search(solutions_file);
    end_search();
    close_solutions_file();
    if (output_failed())
        status = RUN_FAILED_STATUS;
    return status;
}
