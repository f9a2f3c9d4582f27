// The end-of-run summary, on the console and in the solutions file.
#pragma once

#include <cstdio>

// Stamps report_clock with the end of the run, then writes the counts, the totals, the run time,
// the time to the last unique solution and the average rate to both streams.
void print_summary(std::FILE* solutions_file);
