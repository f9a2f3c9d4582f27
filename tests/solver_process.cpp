#include "solver_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "support.hpp"

std::string make_run_directory(const std::string& name) {
    std::string pattern = testing::TempDir() + "tandor_" + name + "_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

namespace {

std::string drain(int fd) {
    std::string text;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

}  // namespace

SolverRun run_solver(const std::string& binary, const std::string& directory,
                     const std::function<bool(const std::string&)>& stop_now, int stop_signal,
                     const std::string& stdout_path, const std::vector<std::string>& args) {
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(directory.c_str()) != 0)
            _exit(127);
        int out = out_pipe[1];
        if (!stdout_path.empty())
            out = open(stdout_path.c_str(), O_WRONLY);
        dup2(out, STDOUT_FILENO);
        dup2(err_pipe[1], STDERR_FILENO);
        close(out_pipe[0]);
        close(err_pipe[0]);
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        std::vector<char*> argv{const_cast<char*>(binary.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);

    SolverRun run;
    bool stopped = false;
    const std::string file_path = directory + "/TandorCubeSolutions.txt";
    for (;;) {
        if (!stopped && stop_now(stdout_path.empty() ? run.console : read_whole_file(file_path))) {
            if (stop_signal != 0)
                kill(pid, stop_signal);
            stopped = true;
        }
        pollfd waiting{out_pipe[0], POLLIN, 0};
        if (poll(&waiting, 1, 20) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = read(out_pipe[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        run.console.append(buffer, static_cast<size_t>(n));
    }
    if (!stopped && stop_signal != 0 && stop_now(run.console))
        kill(pid, stop_signal);
    run.errors = drain(err_pipe[0]);
    close(out_pipe[0]);
    close(err_pipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        run.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        run.end_signal = WTERMSIG(status);
    return run;
}

std::string start_up_text() {
    return "Tandor Cube Solver\n\n"
           "Piece  1 has 5 cubes, labeled blue 'flat-X-plus'\n"
           "Piece  2 has 4 cubes, labeled blue 'squiggle'\n"
           "Piece  3 has 5 cubes, labeled white 'twist-right'\n"
           "Piece  4 has 5 cubes, labeled blue 'bent-Z'\n"
           "Piece  5 has 5 cubes, labeled white 'bent-L-right'\n"
           "Piece  6 has 5 cubes, labeled blue 'bent-club'\n"
           "Piece  7 has 5 cubes, labeled blue 'Z'\n"
           "Piece  8 has 5 cubes, labeled white 'twist-left'\n"
           "Piece  9 has 5 cubes, labeled blue 'bent-L-mirror'\n"
           "Piece 10 has 5 cubes, labeled blue 'bent-T'\n"
           "Piece 11 has 5 cubes, labeled white 'flat-U'\n"
           "Piece 12 has 5 cubes, labeled blue 'dislocated-plus'\n"
           "Piece 13 has 5 cubes, labeled blue 'twisted-S'\n"
           "\n\n"
           "Piece  1 has 3 unique rotational orientations\n"
           "Piece  2 has 12 unique rotational orientations\n"
           "Piece  3 has 24 unique rotational orientations\n"
           "Piece  4 has 12 unique rotational orientations\n"
           "Piece  5 has 24 unique rotational orientations\n"
           "Piece  6 has 24 unique rotational orientations\n"
           "Piece  7 has 12 unique rotational orientations\n"
           "Piece  8 has 12 unique rotational orientations\n"
           "Piece  9 has 24 unique rotational orientations\n"
           "Piece 10 has 24 unique rotational orientations\n"
           "Piece 11 has 12 unique rotational orientations\n"
           "Piece 12 has 24 unique rotational orientations\n"
           "Piece 13 has 12 unique rotational orientations\n"
           "\n";
}
