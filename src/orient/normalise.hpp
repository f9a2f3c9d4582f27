// The normal form of a shape: anchor cube (first in scan order) at the origin and first,
// the other cubes ordered by distance from it; and the coordinate bound that guards every shape.
#pragma once

#include "model/catalogue.hpp"

// A piece has at most 64 cubes face to face, so no normalised cube lies further out than 63.
inline constexpr int COORD_LIMIT = 64;

// Stops the program, after a message and a dump of the shape, when a used cube lies outside
// -COORD_LIMIT..COORD_LIMIT on any axis.
void check_shape_bounds(const PieceShape& shape);

// Slot of the cube with the smallest z, then y, then x (the first in slot order among equals);
// -1 for a shape without cubes.
int32_t find_anchor_cube(const PieceShape& shape);

void normalise_shape(PieceShape& shape);

// One line on the console: "PIECE %2d ORIENT %2d : " and "(%2d,%2d,%2d) " per used cube.
void print_shape(const PieceShape& shape);
