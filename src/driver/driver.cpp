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
        std::fprintf(console, "\nSolution %d\n", run_statistics.solutions);
        report_solution();
        print_board(solutions_file, 1);
    } else if (result == ROTATED_DUPLICATE) {
        ++run_statistics.duplicates;
        std::fprintf(console, "Discarded duplicate rotated solution %d\n", run_statistics.duplicates);
    } else {
        std::fprintf(stderr,
                     "tandor-cube-solver: the solution store is full (%d solutions); the run stops, "
                     "since a new solution could no longer be kept to recognise its rotations\n",
                     MAX_SOLUTIONS);
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

int run_program() {
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
