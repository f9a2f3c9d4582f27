#include "driver/command_line.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver/driver.hpp"
#include "driver/version.hpp"
#include "search/fit_tests.hpp"

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

