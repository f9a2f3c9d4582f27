#include "driver/driver.hpp"

#include <sys/file.h>
#include <unistd.h>

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
#include "report/progress_line.hpp"
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
    update_progress_line();
    release_stop_signals();
}

// Writes the decimal digits of a non-negative number; returns the end.
char* append_number(char* at, int32_t value) {
    char digits[12];
    int n = 0;
    do
        digits[n++] = static_cast<char>('0' + value % 10);
    while ((value /= 10) > 0);
    while (n > 0)
        *at++ = digits[--n];
    return at;
}

char* append_text(char* at, const char* text) {
    while (*text != '\0')
        *at++ = *text++;
    return at;
}

// SIGINT and SIGTERM come here only between blocks, when both streams end on a complete one.
// The note says what the file kept, and the signal then ends the process as it would have.
void stop_by_signal(int signal_number) {
    char note[200];
    char* at = note;
    if (output_streams.status_shown)
        at = append_text(at, "\r\033[K");
    const int32_t kept = run_statistics.solutions;
    at = append_text(at, "interrupted: ");
    at = append_number(at, kept);
    at = append_text(at, kept == 1 ? " unique solution is in " : " unique solutions are in ");
    at = append_text(at, SOLUTIONS_FILE_NAME);
    at = append_text(at, "; this run has no summary\n");
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, note, static_cast<size_t>(at - note));
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// A signal the process was started with ignored stays ignored, as for a job that a script
// started in the background; the search then holds nothing back for it.
void take_stop_signals() {
    struct sigaction action {};
    action.sa_handler = stop_by_signal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    for (int signal_number : {SIGINT, SIGTERM}) {
        struct sigaction before {};
        if (sigaction(signal_number, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal_number, &action, nullptr);
    }
}

// A file whose last line has no line break was cut off in the middle of a line by an earlier
// run (a full disk, a crash); a line break first lets this run's banner start a line of its own.
void end_cut_line(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) <= 0 || std::fseek(file, -1, SEEK_END) != 0)
        return;
    const int last = std::fgetc(file);
    std::fseek(file, 0, SEEK_END);
    if (last == EOF || last == '\n')
        return;
    std::fputc('\n', file);
    std::fprintf(stderr,
                 "tandor-cube-solver: %s ended in the middle of a line, where an earlier run was cut off; "
                 "a line break was added so that this run starts on a line of its own\n",
                 SOLUTIONS_FILE_NAME);
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
    end_cut_line(file);
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
        clear_status_line();
        std::fprintf(stderr,
                     "tandor-cube-solver: the solution store is full (%d solutions); the run stops, "
                     "since a new solution could no longer be kept to recognise its rotations\n",
                     solution_capacity);
        status = RUN_FAILED_STATUS;
    }
    update_progress_line();
    release_stop_signals();
    return status;
}

void begin_run_clock() {
    progress_function = progress_block;
    run_statistics.start_clock = process_clock();
    begin_progress_line();
}

int run_search(std::FILE* solutions_file) {
    begin_run_clock();
    while (find_next_assembly()) {
        const int status = handle_assembly(solutions_file);
        if (status != 0)
            return status;
    }
    hold_stop_signals();
    clear_status_line();
    print_summary(solutions_file);
    flush_stream(solutions_file);
    flush_stream(console_stream());
    // The signals stay held: the run is complete, and an interrupt now could only take away
    // its exit status.
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
    "9 minutes on two cores, 17 on one.\n"
    "\n"
    "Where it writes:\n"
    "  standard output          the report: the piece list, every unique solution with its\n"
    "                           statistics, a notice for every rotated duplicate, a progress\n"
    "                           block every million piece orders and the summary (53 MB)\n"
    "  TandorCubeSolutions.txt  in the working directory; each run appends its piece list,\n"
    "                           every unique solution and, once it has ended, its summary\n"
    "  standard error           messages for you, and the progress line\n"
    "\n"
    "Following a long run:\n"
    "  tandor-cube-solver > run.log   keeps the report in run.log and shows a progress line\n"
    "                                 on the terminal: the share of the search done, the\n"
    "                                 solutions and duplicates so far, the rate, the time\n"
    "                                 taken and the time left\n"
    "  Ctrl-C                         stops the run once the block being written is complete,\n"
    "                                 and tells how many unique solutions the file holds; a\n"
    "                                 stopped run has no summary\n"
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
    take_stop_signals();
    start_up(solutions_file);
    int status = run_search(solutions_file);
    clear_status_line();
    end_search();
    close_solutions_file();
    if (output_failed())
        status = RUN_FAILED_STATUS;
    return status;
}
