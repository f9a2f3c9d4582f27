// What differs between the systems the program runs on: the stop signals, the solutions file's
// lock, length and cut-back, the console, the program's own path and the processor count. Each
// system has one file of its own (posix.cpp, windows.cpp); nothing else in the program calls the
// operating system. The platform layer builds on nothing of ours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The system's name, as --version gives it.
const char* platform_name();

// Standard output and standard error write their bytes as they are (binary mode on Windows, so
// that a line ends on LF alone). Called once, first thing.
void platform_start_up();

// --- Stopping a run ---------------------------------------------------------------------------
// A stop is SIGINT or SIGTERM on POSIX systems; Ctrl-C, Ctrl-Break or the console window being
// closed on Windows. Once one arrives outside a held block, `stop_note` writes the interrupt
// note (async-signal-safe calls only), and the process then ends the way that stop ends it.
// A stop the process was started with ignored stays ignored.
void platform_take_stops(void (*stop_note)());
// Holds stops back until platform_release_stops; holding twice is holding once.
void platform_hold_stops();
void platform_release_stops();
// Threads started between these two calls never take a stop; the second restores the calling
// thread to the state the first returned.
bool platform_keep_stops_from_new_threads();
void platform_restore_stops(bool were_held);
// Writes the bytes on standard error in one call, async-signal-safe.
void platform_write_errors(const char* text, size_t size);

// --- The solutions file -----------------------------------------------------------------------
// Takes the exclusive lock of an opened file without waiting, and makes the stream write its
// bytes as they are (binary mode on Windows).
enum class LockResult { LOCKED, IN_USE, FAILED };  // FAILED leaves the reason in errno
LockResult platform_lock_file(std::FILE* file);
int platform_file_descriptor(std::FILE* file);
// The length of a regular file; false for anything else (a device), which has nothing to keep.
bool platform_file_length(int fd, int64_t& length);
// Cuts the file back to `length` bytes: 0, or the errno of the failure.
int platform_cut_file(int fd, int64_t length);
// Drops what the stream buffers and has not written, so that closing it writes nothing more.
void platform_discard_buffered(std::FILE* stream);

// --- The console ------------------------------------------------------------------------------
// Whether standard error is a terminal and standard output is not: the case for a progress line.
// On Windows it also turns on the console's escape sequences; where they cannot be had, there is
// no progress line.
bool platform_progress_line_possible();
// The terminal's width in columns for standard error, 80 when it cannot be told.
int platform_terminal_width();

// --- The program ------------------------------------------------------------------------------
// The running program's directory, ending in its separator; false when it cannot be told.
bool platform_program_directory(char* out, size_t size);
// The absolute path of `path` when it names a regular file that fits in `size` bytes.
bool platform_regular_file(const char* path, char* out, size_t size);
// The file's name in a path: what follows the last directory separator ('/', on Windows '\\' too).
const char* platform_file_name(const char* path);
// Whether the two paths name one existing file.
bool platform_same_file(const char* a, const char* b);
// The processors this process may run on, at least 1.
int32_t platform_processor_count();
