// The store of unique solutions, and the filter that keeps one assembly per rotation class.
#pragma once

#include <cstdint>

#include "model/board.hpp"

#ifndef TANDOR_MAX_SOLUTIONS
#define TANDOR_MAX_SOLUTIONS 50000
#endif

inline constexpr int32_t MAX_SOLUTIONS = TANDOR_MAX_SOLUTIONS;

// Slots 0 .. solutions-1 hold the unique solutions in the order found; the fill count is the
// solutions counter of the run statistics.
struct SolutionStore {
    Board boards[MAX_SOLUTIONS];
};

extern SolutionStore solution_store;

// Results of store_if_unique.
inline constexpr int32_t ROTATED_DUPLICATE = 0;
inline constexpr int32_t STORED_NEW = 1;
inline constexpr int32_t STORE_FULL = -1;  // new, but no slot left: nothing stored

// Compares the board in all its rotations with every stored solution. A new board is appended
// and counted; the board itself is left exactly as it was.
int32_t store_if_unique();
