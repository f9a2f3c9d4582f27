// Opening the solutions file: for appending, under an exclusive lock, and starting on a line of
// its own after an earlier run that was cut off mid-line.
#pragma once

#include <cstdio>

// Opens the solutions file for appending and takes an exclusive lock on it. On failure tells
// standard error why and returns null; nothing is written.
std::FILE* open_solutions_file();
