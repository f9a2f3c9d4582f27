// A generic exact-cover solver, the peer the fast search is measured against: Knuth's Algorithm X
// with dancing links, the column with the fewest options first, counting every solution. The
// nodes live in flat arrays indexed by int, made before the search; the search allocates nothing.
#pragma once

#include <cstdint>
#include <vector>

struct ExactCover {
    int32_t columns;  // headers 1..columns; node 0 is the root of the primary columns' list
    int32_t primary;  // columns 1..primary must be covered once; the others at most once
    std::vector<int32_t> left, right, up, down, column, row_of;
    std::vector<int32_t> size;    // options per column
    std::vector<int32_t> chosen;  // the rows of the partial solution, by depth
    int64_t nodes;                // rows tried
};

// Called at every solution with its rows; returns whether it counts.
using CoverFilter = bool (*)(const int32_t* rows, int32_t count, void* context);

// The matrix: `rows[r]` lists the columns (0-based) of row r; columns 0..primary-1 are primary.
void build_exact_cover(ExactCover& x, int32_t columns, int32_t primary, const std::vector<std::vector<int32_t>>& rows);

// Counts the solutions that `filter` keeps (every one when it is null).
int64_t count_exact_covers(ExactCover& x, CoverFilter filter, void* context);
