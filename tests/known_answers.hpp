// The known answers that pin the whole search: counters, orders and renderings at the first
// assemblies of every run, and at its first progress block. Every test reads them from here.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/catalogue.hpp"

using Order = std::array<int32_t, PIECE_COUNT>;

struct KnownAssembly {
    int64_t permutations, tiles_attempted, tiles_succeeded;
    Order piece_order;        // 0-based, per depth
    Order orientation_index;  // 0-based slot per depth
    const char* rendering;    // the four lines of its picture
};

// The first two assemblies of every run; both are unique, solutions 1 and 2.
extern const KnownAssembly KNOWN_ASSEMBLIES[2];

// The first progress block of a run comes at 2,000,000 permutations (the million is reached by a
// retreat, which is no exchange), the second at 3,000,000.
inline constexpr int64_t FIRST_PROGRESS_MARKS[] = {2000000, 3000000};
extern const Order FIRST_PROGRESS_ORIENTATIONS;

// The piece list that opens every run's report, on the console and in the file.
extern const char* const PIECE_LIST;

// The start-up text that every run writes to the console and to the solutions file: the banner,
// the piece list and the orientation counts.
std::string start_up_text();

// Orientation counts of pieces 1 to 13.
inline constexpr int32_t ORIENTATION_COUNTS[PIECE_COUNT] = {3, 12, 24, 12, 24, 24, 12, 12, 24, 24, 12, 24, 12};

// A list as the reports print it: each value plus one, "%02d ".
std::string printed_list(const Order& values);

// The report's lines on a known assembly, from "Permutation: " to its counters line.
std::string report_lines(const KnownAssembly& a, int32_t solutions, int32_t duplicates);
