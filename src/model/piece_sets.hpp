// Which pieces of a catalogue are identical (the same shape up to rotation) and which are each
// other's mirror images, and the 48 turns of space (24 rotations, 24 reflections) they are found
// with.
#pragma once

#include <array>
#include <cstdint>

#include "model/catalogue.hpp"

// A turn of space as a signed permutation of the axes: axis a of the image is `sign[a]` times
// axis `from[a]` of the original. The first 24 are rotations, the other 24 reflections.
struct SpaceTurn {
    int32_t from[3];
    int32_t sign[3];
};
inline constexpr int SPACE_TURNS = 48;
inline constexpr int ROTATIONS = 24;
extern const std::array<SpaceTurn, SPACE_TURNS> SPACE_TURN_LIST;

CubeOffset turn_cube(const SpaceTurn& t, const CubeOffset& c);

struct PieceSets {
    int32_t same_as[MAX_PIECES];    // the first piece identical to piece p: p itself when it is the first
    int32_t mirror_of[MAX_PIECES];  // the first piece whose shape is p's mirror image, -1 for none
    bool has_identical;             // some set holds more than one piece
    // Every piece's mirror image is in the set, as often as the piece: an assembly's mirror image
    // is then an assembly of the same pieces.
    bool closed_under_mirror;
};

extern PieceSets piece_sets;

// Finds the sets of the catalogue's pieces.
void find_piece_sets(const PieceCatalogue& pieces);
