#include "driver/command_line.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "driver/driver.hpp"
#include "driver/version.hpp"
#include "search/fit_tests.hpp"

CommandLine read_command_line(int argc, char** argv) {
    CommandLine command_line{Request::RUN, nullptr, false, false};
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const bool is_option = !options_ended && argument[0] == '-' && argument[1] != '\0';
        Request asked = Request::USAGE_ERROR;
        if (is_option && std::strcmp(argument, "--") == 0) {
            options_ended = true;
            continue;
        }
        // --fast: the fast search.
        if (is_option && std::strcmp(argument, "--fast") == 0) {
            command_line.fast = true;
            continue;
        }
        if (is_option && (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0))
            asked = Request::HELP;
        else if (is_option && (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-V") == 0))
            asked = Request::VERSION;
        if (asked == Request::USAGE_ERROR)
            return {Request::USAGE_ERROR, argument, is_option, false};
        if (command_line.request == Request::RUN)
            command_line.request = asked;
    }
    return command_line;
}

namespace {

char found_viewer_page[VIEWER_PAGE_PATH_SIZE] = "";

const char HELP_START[] =
    "Usage: tandor-cube-solver [-h | --help | -V | --version]\n"
    "\n"
    "Finds every way to assemble a 4 x 4 x 4 cube from the thirteen built-in pieces of the\n"
    "Tandor Cube, and keeps one copy of each assembly up to a rotation of the whole cube\n"
    "(mirror images count as different): 14,177 unique solutions. The program takes no input:\n"
    "with no argument it runs, from start to the end of the search, about 9 minutes on two\n"
    "cores, 17 on one. Any argument but the options below is refused before anything is\n"
    "opened or written.\n"
    "\n"
    "Where it writes:\n"
    "  standard output          the report: the piece list, every unique solution with its\n"
    "                           statistics, a notice for every rotated duplicate, a progress\n"
    "                           block every million piece orders and the summary (53 MB)\n"
    "  TandorCubeSolutions.txt  in the working directory; each run appends its piece list,\n"
    "                           every unique solution and, once it has ended, its summary\n"
    "  standard error           messages for you, and the progress line\n"
    "\n"
    "Seeing the solutions:\n"
    "  the viewer page, tandor-cube-viewer.html, shows the solutions file in 3D:\n";

const char HELP_END[] =
    "\n"
    "Following a long run:\n"
    "  tandor-cube-solver > run.log   keeps the report in run.log and shows a progress line\n"
    "                                 on the terminal: the share of the search done, the\n"
    "                                 solutions and duplicates so far, the rate, the time\n"
    "                                 taken and the time left\n"
    "  Ctrl-C                         stops the run once the block being written is complete,\n"
    "                                 and tells which of this run's solutions the file holds; a\n"
    "                                 stopped run has no summary\n"
    "\n"
    "Exit status:\n"
    "  0    the search ran to its end and every line was written\n"
    "  1    the solutions file could not be opened or locked, a write to it or to standard\n"
    "       output failed (the run stops there), or the solution store was full\n"
    "  2    an argument the program does not take; nothing was run, opened or written\n"
    "  70   an internal consistency check of the piece tables failed\n"
    "  killed by SIGINT or SIGTERM when the run was interrupted, by SIGPIPE when the\n"
    "  reader of standard output went away\n"
    "\n"
    "Options:\n"
    "  --fast         the fast search: every unique solution once, with the cube's symmetry\n"
    "                 broken, in about half a minute; its counters are its own (see the README)\n"
    "  -h, --help     show this text\n"
    "  -V, --version  show the version, the compiler and the fit test this processor gets\n";

void print_help(std::FILE* out) {
    std::fputs(HELP_START, out);
    if (viewer_page()[0] != '\0')
        std::fprintf(out, "  open %s\n  in a browser and pick TandorCubeSolutions.txt\n", viewer_page());
    else
        std::fputs("  it is installed as " TANDOR_PAGE_UNDER_PREFIX " under the prefix of\n"
                   "  the program when it was built (with npm); this program has none beside it\n",
                   out);
    std::fputs(HELP_END, out);
}

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

int answer_request(const CommandLine& command_line) {
    if (command_line.request == Request::USAGE_ERROR) {
        std::fprintf(stderr, "tandor-cube-solver: %s '%s'; try 'tandor-cube-solver --help'\n",
                     command_line.refused_option ? "unrecognized option" : "unexpected argument",
                     command_line.refused);
        return USAGE_STATUS;
    }
    if (command_line.request == Request::HELP) {
        locate_viewer_page();
        print_help(stdout);
    } else {
        print_version(stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "tandor-cube-solver: cannot write to standard output: %s\n", std::strerror(errno));
        return RUN_FAILED_STATUS;
    }
    return 0;
}

void locate_viewer_page() {
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return;
    program[length] = '\0';
    char* const name = std::strrchr(program, '/');
    if (name == nullptr)
        return;
    name[1] = '\0';
    // Where an install lays the page out from the program's directory, then a build tree's.
    for (const char* relative : {TANDOR_PAGE_FROM_PROGRAM, "tandor-cube-viewer.html"}) {
        char candidate[PATH_MAX + 64];
        char page[PATH_MAX];
        struct stat status {};
        std::snprintf(candidate, sizeof candidate, "%s%s", program, relative);
        if (realpath(candidate, page) != nullptr && stat(page, &status) == 0 && S_ISREG(status.st_mode) &&
            std::strlen(page) < sizeof found_viewer_page) {
            std::strcpy(found_viewer_page, page);
            return;
        }
    }
}

const char* viewer_page() { return found_viewer_page; }

void point_to_viewer() {
    if (found_viewer_page[0] != '\0')
        std::fprintf(stderr, "%s%s%s", VIEWER_LINE_START, found_viewer_page, VIEWER_LINE_END);
}
