// The thirteen built-in pieces: the shape record every subsystem shares, and their names.
#pragma once

#include <cstdint>

inline constexpr int PIECE_COUNT = 13;
inline constexpr int MAX_CUBES = 5;
inline constexpr int PIECE_NAME_SIZE = 30;

// The permutations of a complete run, the first one included: the count in the summary of every
// full run (bench/full-run checks it). The pieces and the order of the search are fixed, so the
// whole tree, and this count, is the same in every run; the share of it done is a run's progress.
inline constexpr int64_t FULL_RUN_PERMUTATIONS = 154759062293;

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

