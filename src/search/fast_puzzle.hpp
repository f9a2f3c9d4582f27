// What the fast search and the exact-cover peer know of a puzzle: its target's cells numbered
// 0..N-1 in scan order, every placement of every piece orientation that fits inside the target,
// the target's symmetries as permutations of its cells, and which pieces are identical. One
// function fills it for the built-in puzzle; everything else is derived from this record.
#pragma once

#include <cstdint>
#include <vector>

#include "model/cell_set.hpp"

inline constexpr int32_t FAST_MAX_CELLS = 64;
inline constexpr int32_t FAST_MAX_PIECES = 32;
inline constexpr int32_t FAST_MAX_SYMMETRIES = 48;
inline constexpr int32_t FAST_MAX_SLOTS = 24;  // orientation slots per piece
inline constexpr int32_t FAST_MAX_PLACEMENTS = FAST_MAX_CELLS * FAST_MAX_PIECES * FAST_MAX_SLOTS;

// One piece orientation put somewhere inside the target: the cells it covers, the piece, its
// orientation slot and its anchor cell, the lowest of its cells.
struct FastPlacement {
    CellSet cells;
    uint8_t piece;
    uint8_t slot;
    uint8_t anchor;
};

struct FastPuzzle {
    int32_t cell_count;   // N: the target's cells are 0..N-1, in scan order
    int32_t piece_count;  // pieces 0..P-1
    // Identical pieces (the same shape up to rotation) share a class, named by its lowest piece.
    int32_t piece_class[FAST_MAX_PIECES];
    // Face neighbours of each cell, inside the target.
    CellSet neighbours[FAST_MAX_CELLS];
    // The symmetries that count two assemblies as one solution, the identity among them: cell c
    // goes to symmetry_cells[g][c], and the piece on it becomes symmetry_pieces[g][piece] (a
    // reflection takes a chiral piece to its mirror partner; a rotation keeps every piece).
    int32_t symmetry_count;
    uint8_t symmetry_cells[FAST_MAX_SYMMETRIES][FAST_MAX_CELLS];
    uint8_t symmetry_pieces[FAST_MAX_SYMMETRIES][FAST_MAX_PIECES];
    // Every placement, ordered by anchor cell, then piece, then slot.
    std::vector<FastPlacement> placements;
};

// A cube of a target or a piece.
struct FastCube {
    int32_t x;
    int32_t y;
    int32_t z;
};

// Any puzzle, from its target's cells and its pieces' cubes (any translation): cells numbered in
// scan order (z slowest, then y, then x), each piece's orientations the distinct turns of its
// shape (in the order the 24 turns are made here), identical pieces in one class, and the
// target's symmetries: the rotations that map it onto itself and, with `mirror`, the
// reflections too, each taking a piece to its mirror partner. False when the input breaks the
// record's limits, or with `mirror` when a piece's mirror image is not among the pieces.
bool fast_puzzle_from_cubes(const std::vector<FastCube>& target, const std::vector<std::vector<FastCube>>& pieces,
                            bool mirror, FastPuzzle& out);

// The built-in puzzle: the 4 x 4 x 4 cube (cell c is scan-order bit c), its 13 pieces in their
// orientation table's slots (the orientation table must be built), its 24 rotations. This is
// the one place that knows the puzzle; a puzzle read from a file fills the same record.
void built_in_fast_puzzle(FastPuzzle& out);
