// The table of the distinct rotational orientations of every piece, built once before the search.
#pragma once

#include "model/catalogue.hpp"
#include "model/puzzle.hpp"

inline constexpr int MAX_ORIENTATIONS = 24;

struct OrientationTable {
    PieceShape slots[MAX_PIECES][MAX_ORIENTATIONS];
    int32_t orientation_counts[MAX_PIECES];
};

extern OrientationTable orientation_table;

// Every count 0, every field of every slot -1.
void reset_orientation_table();

// A quarter turn about the origin (type 0: x axis, 1: y axis, 2: z axis; any other type turns
// nothing), then the bound check and normalisation.
void rotate_shape(int32_t turn_type, PieceShape& shape);

// Stores the candidate in its piece's row unless a stored orientation holds the same set of
// cubes, in any order. Returns 1 when stored, 0 when not.
int32_t add_orientation(const PieceShape& candidate);

// Runs the 64-step turn sequence on catalogue record p, which the caller has just normalised,
// and returns the number of orientations stored.
int32_t generate_orientations(int32_t p);

// Stops the program with a message when a filled slot's piece or orientation number disagrees
// with its place, or a cube is out of bounds.
void verify_orientation_table();

// The working catalogue of the run's puzzle: its pieces in the board's axes (model/board.hpp).
void set_working_catalogue(const Puzzle& p);

// The whole table from the run's puzzle without printing anything: the working catalogue set
// afresh, each shape normalised and its orientations generated, in piece order.
void build_orientation_table();
