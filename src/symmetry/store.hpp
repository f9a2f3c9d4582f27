// The store of unique solutions, and the filter that keeps one assembly per class of assemblies
// that the target's symmetries (symmetry/rotation.hpp) and swaps of identical pieces turn into
// each other.
#pragma once

#include <cstdint>

#include "model/board.hpp"

// A key that every assembly of one class shares: the pieces on the target cells, one a byte in
// scan order, in the turned position that gives the smallest bytes, identical pieces numbered in
// the order they first appear. Two assemblies are of one class exactly when their keys are equal.
struct RotationKey {
    int8_t cells[64];  // the first geometry.cell_count are used, the rest 0
};

// The store grows as solutions come, outside the search; this many solutions at most, fewer
// where a test wants to see a full store.
extern int32_t solution_capacity;

// Slots 0 .. solutions-1 hold the unique solutions in the order found, each as found (its pieces
// on the target cells in scan order) with its key; the fill count is the solutions counter of the
// run statistics. A hash index over the keys, at most half full, finds a key's slot.
struct SolutionStore {
    int32_t slots;         // slots allocated
    RotationKey* keys;
    RotationKey* found;    // as found
    int32_t index_size;    // a power of two
    int32_t* index;        // slot + 1 of a stored key, 0 for none
};

extern SolutionStore solution_store;

// What store_if_unique answers.
enum class StoreResult : int32_t {
    ROTATED_DUPLICATE = 0,  // of the class of a stored solution: nothing stored
    STORED_NEW = 1,         // new: appended and counted
    STORE_FULL = -1,        // new, but there is no room for it (solution_capacity, or memory): nothing stored
};

RotationKey rotation_key(const Board& b);

// The pieces of a board's target cells in scan order, identical pieces numbered in the order they
// first appear.
RotationKey assembly_cells(const Board& b);

// Empties the store: no solutions, an empty index.
void reset_solution_store();

// Appends a board the caller has found new, indexes it and counts it; false, with nothing
// stored, when there is no room.
bool append_solution(const Board& b);

// The stored solution n as a board.
void stored_board(int32_t n, Board& out);

// Answers whether the board is of the class of a stored solution; a new board is appended and
// counted. The board itself is not changed.
StoreResult store_if_unique();
