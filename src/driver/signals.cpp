#include "driver/signals.hpp"

#include "driver/command_line.hpp"
#include "model/streams.hpp"
#include "platform/platform.hpp"

namespace {

// A stop (Ctrl-C, SIGTERM) comes here only between blocks, when both streams end on a complete
// one. The note says what the file kept, and the stop then ends the process as it would have.
// Only async-signal-safe calls: the note is put together by hand and written in one write.
void write_stop_note() {
    char note[200 + VIEWER_PAGE_PATH_SIZE + 2 * SOLUTIONS_NAME_SIZE];
    char* at = note;
    if (output_streams.status_shown)
        at = append_text(at, "\r\033[K");
    at = append_text(at, "tandor-cube-solver: interrupted: ");
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
    platform_write_errors(note, static_cast<size_t>(at - note));
}

}  // namespace

void take_stop_signals() { platform_take_stops(write_stop_note); }

void hold_stop_signals() { platform_hold_stops(); }

void release_stop_signals() {
    flush_stream(console_stream());
    // After a failed write the run is stopping with a message of its own: the signals stay held.
    if (output_failed())
        return;
    platform_release_stops();
}
