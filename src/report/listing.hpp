// The piece list that opens every run's report, on the console and in the solutions file.
#pragma once

#include <cstdio>

// Writes one "Piece %2d has %d cubes, labeled %s" line per piece and two line breaks.
void list_catalogue(std::FILE* out);
