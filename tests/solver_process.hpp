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
    int most_threads = 0;  // the most threads it was seen to run at once, when counted
};

// A new empty directory below the test's temporary directory.
std::string make_run_directory(const std::string& name);

struct SolverOptions {
    std::string stdout_path{};       // standard output goes to this file, not to `console`
    std::vector<std::string> args{}; // the command line's arguments
    int processors = 0;              // the processors the run may use; 0 for all
    bool errors_on_terminal = false; // standard error is a pseudo-terminal of 120 columns
    std::vector<std::string> environment{};  // "NAME=VALUE" settings added to the solver's
    long file_size_limit = 0;        // the largest file it may write (RLIMIT_FSIZE), 0 for none
    bool count_threads = false;      // count its threads as it runs (Linux's /proc)
};

// Starts the solver in `directory`, reads what it writes until `stop_now` says so (or the
// solver ends), then sends it `stop_signal` and collects the rest. `stop_now` is asked about
// standard output; with stdout_path set, about the solutions file; with errors_on_terminal set,
// about what the terminal received.
SolverRun run_solver(const std::string& binary, const std::string& directory,
                     const std::function<bool(const std::string&)>& stop_now, int stop_signal,
                     const SolverOptions& options = {});

