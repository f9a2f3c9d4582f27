// The run's two output streams (the console and the solutions file), their write failures,
// and the consistency stop.
#pragma once

#include <cstdint>
#include <cstdio>

// The built-in puzzle's solutions file, in the working directory.
inline constexpr const char* SOLUTIONS_FILE_NAME = "TandorCubeSolutions.txt";
inline constexpr int SOLUTIONS_NAME_SIZE = 1024;

// The run's solutions file as the messages name it: SOLUTIONS_FILE_NAME, a puzzle file's own, or
// the one the command line gives. Set before the file is opened; read by the signal handler.
extern char solutions_file_name[SOLUTIONS_NAME_SIZE];

struct OutputStreams {
    std::FILE* console;         // null means standard output; tests point it at a file
    std::FILE* solutions_file;  // null until the driver has taken it
    int solutions_fd;           // the solutions file's descriptor, -1 while none is taken
    int console_error;          // errno of the first failed console write, 0 while none failed
    int file_error;             // errno of the first failed solutions-file write
    int rollback_error;         // errno of a failed cut back to the last complete block, or 0
    volatile int status_shown;  // a status line stands on standard error, with no line break yet
    int64_t kept_length;        // the file's length at the end of its last complete block
    volatile int32_t kept_solutions;  // this run's solutions the file holds complete, 1 to this
};

extern OutputStreams output_streams;

inline std::FILE* console_stream() {
    return output_streams.console != nullptr ? output_streams.console : stdout;
}

// How the solutions file is written. The program's writer is stdio's own; the tests' build of
// the program (tests/write_seam.cpp) puts one in its place that fails or ends the process at a
// chosen write. `take` gives the stream the run writes the file with; `flush` and `close` answer
// as std::fflush and std::fclose (0, or EOF with errno set); `drop` forgets what the stream
// holds unwritten, which a flush or the close would otherwise try to write again.
struct SolutionsWriter {
    std::FILE* (*take)(std::FILE* opened);
    int (*flush)(std::FILE* stream);
    void (*drop)(std::FILE* stream);
    int (*close)(std::FILE* stream);
};

extern SolutionsWriter solutions_writer;

// Makes an opened solutions file the run's: what it holds now is kept whatever happens, and
// this run has put none of its solutions in it yet. Returns the stream to write the file with.
std::FILE* take_solutions_file(std::FILE* opened);

// Flushes the stream. A flush of the solutions file ends a block (the start-up listing, a
// solution, the summary): once it succeeds, the file is kept to that length, with the
// solutions counted so far. The first failure of either stream is remembered, and a failed
// solutions file is cut back at once to the end of its last complete block.
void flush_stream(std::FILE* stream);

// A write failed: the run cannot go on, and ends with tell_output_failure.
inline bool output_failed() { return output_streams.console_error != 0 || output_streams.file_error != 0; }

// Writes a status line on standard error in place of the one shown before, or clears it when
// the text is empty. Messages on standard error clear it first.
void show_status_line(const char* text);
void clear_status_line();

// Flushes and closes the solutions file. After a failed write nothing more reaches it: what it
// still buffers is dropped, and the file ends on its last complete block.
void close_solutions_file();

// Copies the text to `at` and returns the end; async-signal-safe, for notes built by hand.
char* append_text(char* at, const char* text);

// Writes what the solutions file holds of this run, for example "this run's solutions 1 to
// 1077, complete" or "none of this run's solutions", and returns the end. Async-signal-safe.
char* describe_kept_solutions(char* at);

// The one message on standard error about the first failed write: the stream, the error, and
// what the solutions file holds, for example "tandor-cube-solver: cannot write to
// TandorCubeSolutions.txt: No space left on device; it holds this run's solutions 1 to 1077,
// complete; stopped".
void tell_output_failure();

// Exit status of a run stopped by a failed internal consistency check.
inline constexpr int CONSISTENCY_STOP_STATUS = 70;

// The message has already gone to the console: keep what both streams hold and stop at once.
[[noreturn]] void consistency_stop();
