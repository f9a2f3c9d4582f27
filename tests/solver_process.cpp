#include "solver_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <cstring>
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

// The threads a process runs now, from the "Threads:" line of its status; 0 when unknown.
int threads_of(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Threads:", 0) == 0)
            return std::atoi(line.c_str() + 8);
    return 0;
}

}  // namespace

SolverRun run_solver(const std::string& binary, const std::string& directory,
                     const std::function<bool(const std::string&)>& stop_now, int stop_signal,
                     const SolverOptions& options) {
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0)
        throw std::runtime_error("pipe failed");
    int terminal = -1;
    if (options.errors_on_terminal) {
        // The terminal's side stands in for the pipe's reading end; its other side is the child's.
        terminal = posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0)
            throw std::runtime_error("no pseudo-terminal");
        close(err_pipe[1]);
        err_pipe[1] = open(ptsname(terminal), O_RDWR | O_NOCTTY);
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 120;
        ioctl(err_pipe[1], TIOCSWINSZ, &size);
        close(err_pipe[0]);
        err_pipe[0] = terminal;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(directory.c_str()) != 0)
            _exit(127);
        int out = out_pipe[1];
        if (!options.stdout_path.empty())
            out = open(options.stdout_path.c_str(), O_WRONLY | O_CREAT, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err_pipe[1], STDERR_FILENO);
        close(out_pipe[0]);
        close(err_pipe[0]);
        if (options.processors > 0) {
            cpu_set_t allowed, chosen;
            sched_getaffinity(0, sizeof allowed, &allowed);
            CPU_ZERO(&chosen);
            for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < options.processors; ++cpu)
                if (CPU_ISSET(cpu, &allowed)) {
                    CPU_SET(cpu, &chosen);
                    ++taken;
                }
            sched_setaffinity(0, sizeof chosen, &chosen);
        }
        for (const std::string& setting : options.environment)
            putenv(const_cast<char*>(setting.c_str()));
        if (options.file_size_limit > 0) {
            // A write past the limit then fails with EFBIG, as on a disk that is full.
            const rlimit limit{static_cast<rlim_t>(options.file_size_limit), static_cast<rlim_t>(options.file_size_limit)};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN);
        }
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        std::vector<char*> argv;
#ifdef TANDOR_SOLVER_EMULATOR
        // A cross build's program runs under the emulator, as the tests do.
        static std::string emulator = TANDOR_SOLVER_EMULATOR;
        for (char* word = std::strtok(emulator.data(), " "); word != nullptr; word = std::strtok(nullptr, " "))
            argv.push_back(word);
#endif
        argv.push_back(const_cast<char*>(binary.c_str()));
        for (const std::string& arg : options.args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);

    SolverRun run;
    bool stopped = false;
    const std::string file_path = directory + "/TandorCubeSolutions.txt";
    auto watched = [&]() -> std::string {
        if (options.errors_on_terminal)
            return run.errors;
        return options.stdout_path.empty() ? run.console : read_whole_file(file_path);
    };
    // Both streams are read as they come; a terminal's side reports an error once the child
    // has closed its own.
    pollfd streams[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* texts[2] = {&run.console, &run.errors};
    int open_streams = 2;
    while (open_streams > 0) {
        if (options.count_threads && !stopped)
            run.most_threads = std::max(run.most_threads, threads_of(pid));
        if (!stopped && stop_now(watched())) {
            if (stop_signal != 0)
                kill(pid, stop_signal);
            stopped = true;
        }
        if (poll(streams, 2, 20) <= 0)
            continue;
        for (int k = 0; k < 2; ++k) {
            if (streams[k].fd < 0 || streams[k].revents == 0)
                continue;
            char buffer[65536];
            const ssize_t n = read(streams[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[k]->append(buffer, static_cast<size_t>(n));
            } else {
                close(streams[k].fd);
                streams[k].fd = -1;
                --open_streams;
            }
        }
    }
    if (!stopped && stop_signal != 0 && stop_now(watched()))
        kill(pid, stop_signal);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        run.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        run.end_signal = WTERMSIG(status);
    return run;
}
