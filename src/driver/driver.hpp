// The run from start to end: the solutions file, the start-up listing and tables, the loop over
// complete assemblies, and the summary.
#pragma once

#include <cstdio>

#include "model/puzzle.hpp"

// Exit status of a run that could not keep or report its results honestly.
inline constexpr int RUN_FAILED_STATUS = 1;

// Whether the run counts a solution and its mirror image as one.
extern bool mirror_images_alike;

// Makes the puzzle the run's: the board's geometry, the working catalogue, the sets of identical
// pieces, the target's symmetries (with reflections when `mirror`) and an empty store.
void use_puzzle(const Puzzle& p, bool mirror);

// Banner, piece list, orientation table with its counts, consistency check, empty board,
// search start on search_threads threads. Flushes both streams at the end. The solutions file
// is the stream take_solutions_file gave.
void start_up(std::FILE* solutions_file);

// Sets the progress block and stamps the start of the search.
void begin_run_clock();

// Filters and reports the complete assembly on the board. Returns 0, or the exit status of a
// run that cannot go on: the store is full, or a write failed.
int handle_assembly(std::FILE* solutions_file);

// The search to exhaustion, each complete assembly filtered and reported, then the summary.
// The first failed write ends it after the block it belongs to. Returns the process exit status.
int run_search(std::FILE* solutions_file);

// The whole program: returns its exit status.
int run_program(int argc, char** argv);
