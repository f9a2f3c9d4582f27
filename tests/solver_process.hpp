// Runs the solver binary as a user would, in a directory of its own, and stops it on cue.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct SolverRun {
    std::string console;  // everything the solver wrote to standard output
    std::string errors;   // everything it wrote to standard error
    int exit_status = -1;  // the status it exited with, or -1 when a signal ended it
    int end_signal = 0;    // the signal that ended it, or 0
};

// A new empty directory below the test's temporary directory.
std::string make_run_directory(const std::string& name);

// Starts the solver in `directory`, reads its console until `stop_now` says so (or the solver
// ends), then sends it `stop_signal` and collects the rest. With stdout_path set, standard
// output goes to that file instead and `stop_now` is asked about the solutions file. `args` are
// the command line's arguments.
SolverRun run_solver(const std::string& binary, const std::string& directory,
                     const std::function<bool(const std::string&)>& stop_now, int stop_signal,
                     const std::string& stdout_path = "", const std::vector<std::string>& args = {});

// The start-up text that every run writes to the console and to the solutions file.
std::string start_up_text();
