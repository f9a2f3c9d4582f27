// The command line as a person types it: the help and the version answer on standard output,
// anything else is refused with one line on standard error; neither runs nor touches the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "solver_process.hpp"

TEST(CommandLine, HelpVersionAndUsageErrorsNeitherRunNorTouchTheFile) {
    const std::string try_help = "; try 'tandor-cube-solver --help'\n";
    const std::string USAGE = "Usage: tandor-cube-solver [-p FILE | --puzzle FILE] [--mirror] [-o FILE | --solutions FILE]\n";
    struct Case {
        std::vector<std::string> args;
        int exit_status;
        std::string console_start;  // what standard output starts with
        std::string errors;         // all of standard error
    };
    const Case cases[] = {
        {{"--help"}, 0, USAGE, ""},
        {{"-h"}, 0, USAGE, ""},
        {{"--version"}, 0, "tandor-cube-solver ", ""},
        {{"-V", "--help"}, 0, "tandor-cube-solver ", ""},
        {{"--", "-h"}, 2, "", "tandor-cube-solver: unexpected argument '-h'" + try_help},
        {{"--hepl"}, 2, "", "tandor-cube-solver: unrecognized option '--hepl'" + try_help},
        {{"-x"}, 2, "", "tandor-cube-solver: unrecognized option '-x'" + try_help},
        {{"--help=all"}, 2, "", "tandor-cube-solver: unrecognized option '--help=all'" + try_help},
        {{"-hV"}, 2, "", "tandor-cube-solver: unrecognized option '-hV'" + try_help},
        {{"help"}, 2, "", "tandor-cube-solver: unexpected argument 'help'" + try_help},
        {{"-"}, 2, "", "tandor-cube-solver: unexpected argument '-'" + try_help},
        {{""}, 2, "", "tandor-cube-solver: unexpected argument ''" + try_help},
        {{"--help", "--bogus"}, 2, "", "tandor-cube-solver: unrecognized option '--bogus'" + try_help},
        {{"--version", "a", "b"}, 2, "", "tandor-cube-solver: unexpected argument 'a'" + try_help},
        {{"--puzzle"}, 2, "", "tandor-cube-solver: option '--puzzle' needs a file" + try_help},
        {{"-o"}, 2, "", "tandor-cube-solver: option '-o' needs a file" + try_help},
        {{"--solutions="}, 2, "", "tandor-cube-solver: option '--solutions=' needs a file" + try_help},
        {{"--mirror", "--bogus"}, 2, "", "tandor-cube-solver: unrecognized option '--bogus'" + try_help},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& arg : c.args)
            shown += "[" + arg + "]";
        SCOPED_TRACE(shown);
        const std::string dir = make_run_directory("command_line");
        const SolverRun run = run_solver(TANDOR_SOLVER, dir, [](const std::string&) { return false; }, 0, {.args = c.args});
        EXPECT_EQ(run.exit_status, c.exit_status);
        EXPECT_EQ(run.errors, c.errors);
        if (c.console_start.empty())
            EXPECT_EQ(run.console, "");
        else
            EXPECT_EQ(run.console.rfind(c.console_start, 0), 0u) << run.console;
        EXPECT_FALSE(std::filesystem::exists(dir + "/TandorCubeSolutions.txt"));
    }
}
