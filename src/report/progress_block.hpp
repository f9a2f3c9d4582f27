// The progress block on the console, at every millionth permutation.
#pragma once

// The piece order and orientations, the counters, the run time and the rate, on the console.
void print_progress();
