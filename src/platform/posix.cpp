// The platform layer on Linux and other POSIX systems.
#include "platform/platform.hpp"

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#if defined(__GLIBC__) || defined(__linux__)
#include <stdio_ext.h>
#endif

namespace {

void (*note_on_stop)() = nullptr;

sigset_t stop_set() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// SIGINT and SIGTERM come here only between blocks; the signal then ends the process as it would
// have without a handler.
void stop_by_signal(int signal_number) {
    if (note_on_stop != nullptr)
        note_on_stop();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

}  // namespace

const char* platform_name() {
#if defined(__linux__)
    return "Linux";
#elif defined(__APPLE__)
    return "macOS";
#else
    return "POSIX";
#endif
}

void platform_start_up() {}

void platform_take_stops(void (*stop_note)()) {
    note_on_stop = stop_note;
    struct sigaction action {};
    action.sa_handler = stop_by_signal;
    action.sa_mask = stop_set();
    for (int signal_number : {SIGINT, SIGTERM}) {
        struct sigaction before {};
        if (sigaction(signal_number, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal_number, &action, nullptr);
    }
}

void platform_hold_stops() {
    const sigset_t set = stop_set();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void platform_release_stops() {
    const sigset_t set = stop_set();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool platform_keep_stops_from_new_threads() {
    const sigset_t set = stop_set();
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &set, &previous);
    return sigismember(&previous, SIGINT) == 1;
}

void platform_restore_stops(bool were_held) {
    if (!were_held)
        platform_release_stops();
}

void platform_write_errors(const char* text, size_t size) {
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text, size);
}

LockResult platform_lock_file(std::FILE* file) {
    if (flock(fileno(file), LOCK_EX | LOCK_NB) == 0)
        return LockResult::LOCKED;
    return errno == EWOULDBLOCK ? LockResult::IN_USE : LockResult::FAILED;
}

int platform_file_descriptor(std::FILE* file) { return fileno(file); }

bool platform_file_length(int fd, int64_t& length) {
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    length = status.st_size;
    return true;
}

int platform_cut_file(int fd, int64_t length) {
    if (ftruncate(fd, static_cast<off_t>(length)) == 0)
        return 0;
    return errno != 0 ? errno : EIO;
}

void platform_discard_buffered(std::FILE* stream) {
#if defined(__GLIBC__) || defined(__linux__)
    __fpurge(stream);
#else
    fpurge(stream);
#endif
}

bool platform_progress_line_possible() { return isatty(STDERR_FILENO) == 1 && isatty(STDOUT_FILENO) == 0; }

int platform_terminal_width() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

bool platform_program_directory(char* out, size_t size) {
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return false;
    program[length] = '\0';
    char* const name = std::strrchr(program, '/');
    if (name == nullptr || static_cast<size_t>(name + 1 - program) >= size)
        return false;
    name[1] = '\0';
    std::strcpy(out, program);
    return true;
}

bool platform_regular_file(const char* path, char* out, size_t size) {
    char full[PATH_MAX];
    struct stat status {};
    if (realpath(path, full) == nullptr || stat(full, &status) != 0 || !S_ISREG(status.st_mode) ||
        std::strlen(full) >= size)
        return false;
    std::strcpy(out, full);
    return true;
}

const char* platform_file_name(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

bool platform_same_file(const char* a, const char* b) {
    struct stat first {}, second {};
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

int32_t platform_processor_count() {
#if defined(__linux__)
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    const int32_t count = CPU_COUNT(&set);
#else
    const int32_t count = static_cast<int32_t>(sysconf(_SC_NPROCESSORS_ONLN));
#endif
    return count > 0 ? count : 1;
}
