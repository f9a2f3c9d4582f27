// The console report on a new unique solution.
#pragma once

// "Solution N", the board, the piece order and orientations, the counters, the run time and the
// rate, on the console.
void report_solution();
