// The run's two output streams (the console and the solutions file), their write failures,
// and the consistency stop.
#pragma once

#include <cstdio>

inline constexpr const char* SOLUTIONS_FILE_NAME = "TandorCubeSolutions.txt";

struct OutputStreams {
    std::FILE* console;         // null means standard output; tests point it at a file
    std::FILE* solutions_file;  // null until the driver has opened it
    int console_error;          // errno of the first failed console write, 0 while none failed
    int file_error;             // errno of the first failed solutions-file write
    volatile int status_shown;  // a status line stands on standard error, with no line break yet
};

extern OutputStreams output_streams;

inline std::FILE* console_stream() {
    return output_streams.console != nullptr ? output_streams.console : stdout;
}

// Flushes the stream. The first failure of the console or the solutions file is told once on
// standard error and remembered, so that the run goes on but cannot end as a success.
void flush_stream(std::FILE* stream);

// Writes a status line on standard error in place of the one shown before, or clears it when
// the text is empty. Messages on standard error clear it first.
void show_status_line(const char* text);
void clear_status_line();

// Flushes and closes the solutions file, recording a failure like any other write.
void close_solutions_file();

inline bool output_failed() { return output_streams.console_error != 0 || output_streams.file_error != 0; }

// Exit status of a run stopped by a failed internal consistency check.
inline constexpr int CONSISTENCY_STOP_STATUS = 70;

// The message has already gone to the console: keep what both streams hold and stop at once.
[[noreturn]] void consistency_stop();
