#include "driver/signals.hpp"

#include <unistd.h>

#include <csignal>
#include <initializer_list>

#include "driver/command_line.hpp"
#include "model/stop_signals.hpp"
#include "model/streams.hpp"

namespace {

// SIGINT and SIGTERM come here only between blocks, when both streams end on a complete one.
// The note says what the file kept, and the signal then ends the process as it would have.
// Only async-signal-safe calls: the note is put together by hand and written in one write.
void stop_by_signal(int signal_number) {
    char note[200 + VIEWER_PAGE_PATH_SIZE + 2 * SOLUTIONS_NAME_SIZE];
    char* at = note;
    if (output_streams.status_shown)
        at = append_text(at, "\r\033[K");
    at = append_text(at, "interrupted: ");
    at = append_text(at, solutions_file_name);
    at = append_text(at, " holds ");
    at = describe_kept_solutions(at);
    at = append_text(at, "; this run has no summary\n");
    if (viewer_page()[0] != '\0') {
        at = append_text(at, VIEWER_LINE_START);
        at = append_text(at, viewer_page());
        at = append_text(at, VIEWER_LINE_PICK);
        at = append_text(at, solutions_file_name);
        at = append_text(at, "\n");
    }
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, note, static_cast<size_t>(at - note));
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

}  // namespace

void take_stop_signals() {
    struct sigaction action {};
    action.sa_handler = stop_by_signal;
    action.sa_mask = stop_signal_set();
    for (int signal_number : {SIGINT, SIGTERM}) {
        struct sigaction before {};
        if (sigaction(signal_number, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal_number, &action, nullptr);
    }
}

void hold_stop_signals() {
    const sigset_t stop_signals = stop_signal_set();
    sigprocmask(SIG_BLOCK, &stop_signals, nullptr);
}

void release_stop_signals() {
    flush_stream(console_stream());
    // After a failed write the run is stopping with a message of its own: the signals stay held.
    if (output_failed())
        return;
    const sigset_t stop_signals = stop_signal_set();
    sigprocmask(SIG_UNBLOCK, &stop_signals, nullptr);
}
