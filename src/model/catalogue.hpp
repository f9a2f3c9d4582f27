// The thirteen built-in pieces: the shape record every subsystem shares, and their names.
#pragma once

#include <cstdint>

inline constexpr int PIECE_COUNT = 13;
inline constexpr int MAX_CUBES = 5;
inline constexpr int PIECE_NAME_SIZE = 30;

struct CubeOffset {
    int32_t x;
    int32_t y;
    int32_t z;
};

struct PieceShape {
    int32_t piece_number;
    int32_t orientation_number;
    int32_t cube_count;          // only the first cube_count slots belong to the shape
    CubeOffset cubes[MAX_CUBES];
};

static_assert(sizeof(PieceShape) == 18 * sizeof(int32_t));

struct PieceCatalogue {
    PieceShape shapes[PIECE_COUNT];
    char piece_names[PIECE_COUNT][PIECE_NAME_SIZE];
};

// The working catalogue: the orientation generator normalises and turns its shapes in place.
extern PieceCatalogue catalogue;
// The catalogue as built in, for restoring the working copy.
extern const PieceCatalogue BUILT_IN_CATALOGUE;

