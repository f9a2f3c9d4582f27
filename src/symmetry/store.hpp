// The store of unique solutions, and the filter that keeps one assembly per rotation class.
#pragma once

#include <cstdint>

#include "model/board.hpp"

inline constexpr int32_t MAX_SOLUTIONS = 50000;

// The number of solutions the filter keeps before it answers STORE_FULL: MAX_SOLUTIONS, or
// fewer where a test wants to see a full store. The store's arrays always have room for
// MAX_SOLUTIONS.
extern int32_t solution_capacity;

// A rotation-invariant key: the interior, one cell a byte in scan order, in the rotation of the
// board that gives the smallest bytes. Two boards are rotations of each other exactly when
// their keys are equal.
struct RotationKey {
    int8_t cells[INTERIOR_CELLS];
};

// A fixed-size hash index over the keys of the stored solutions, at most half full.
inline constexpr int32_t index_size_for(int32_t capacity) {
    int32_t size = 1;
    while (size < 2 * capacity)
        size *= 2;
    return size;
}
inline constexpr int32_t SOLUTION_INDEX_SIZE = index_size_for(MAX_SOLUTIONS);

// Slots 0 .. solutions-1 hold the unique solutions in the order found, exactly as found; the
// fill count is the solutions counter of the run statistics.
struct SolutionStore {
    Board boards[MAX_SOLUTIONS];
    RotationKey keys[MAX_SOLUTIONS];
    int32_t index[SOLUTION_INDEX_SIZE];  // slot + 1 of a stored key, 0 for none
};

extern SolutionStore solution_store;

// What store_if_unique answers.
enum class StoreResult : int32_t {
    ROTATED_DUPLICATE = 0,  // a rotation of a stored solution: nothing stored
    STORED_NEW = 1,         // new: appended and counted
    STORE_FULL = -1,        // new, but no slot left: nothing stored
};

RotationKey rotation_key(const Board& b);

// Empties the store: no solutions, an empty index.
void reset_solution_store();

// Appends a board the caller has found new (the store has room), indexes it and counts it.
void append_solution(const Board& b);

// Answers whether the board is a rotation of a stored solution; a new board is appended and
// counted. The board itself is not changed.
StoreResult store_if_unique();
