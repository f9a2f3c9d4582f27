// Ctrl-C and SIGTERM during a run. They are held back while a block of output is written, so
// that an interrupted run leaves both streams ending on a complete block; once the block is
// flushed, a pending signal writes the interrupt note and ends the process by that signal.
#pragma once

// Installs the note-writing handler for SIGINT and SIGTERM, except for a signal the process was
// started with ignored, which stays ignored.
void take_stop_signals();

// Blocks SIGINT and SIGTERM until release_stop_signals.
void hold_stop_signals();

// Flushes the console, then lets a pending stop signal through; after a failed write they stay
// held, for the run is stopping with a message of its own.
void release_stop_signals();
