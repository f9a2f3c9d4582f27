// The turns of space that map the run's target onto itself: rotations, and with mirror images
// counted as one, reflections. Each is kept as the board cell whose piece lands on each target
// cell, and, for a reflection, the piece that a mirrored piece becomes.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "model/catalogue.hpp"

inline constexpr int MAX_SYMMETRIES = 48;

struct TargetSymmetries {
    int32_t count;           // rotations first, then reflections
    int32_t rotation_count;  // 24 for a cube, 8 for a square prism, 4 for other boxes, 1 and up otherwise
    // The board element whose piece lands on target cell j (in scan order) in turned position g.
    int16_t source[MAX_SYMMETRIES][64];
    // The piece that a piece becomes in turned position g: itself under a rotation, its mirror
    // image under a reflection.
    int8_t relabel[MAX_SYMMETRIES][MAX_PIECES];
};

extern TargetSymmetries target_symmetries;

// Finds the symmetries of the target on the board's geometry, with the reflections when
// `mirror_images_alike` and the pieces' mirror images are in the set (model/piece_sets.hpp);
// piece_sets must have been found.
void find_target_symmetries(bool mirror_images_alike);

// The board in turned position g: `to` gets the border and, on each target cell, the piece that
// lands there, relabelled.
void turn_board(int32_t g, const Board& from, Board& to);
