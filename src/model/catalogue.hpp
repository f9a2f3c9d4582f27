// The pieces of a puzzle: the shape record every subsystem shares, the catalogue of shapes and
// names, and the thirteen built-in pieces.
#pragma once

#include <cstdint>

// The built-in catalogue's pieces.
inline constexpr int PIECE_COUNT = 13;
// Capacities of any puzzle: pieces are bits of a 32-bit set, and a piece has at most as many cubes
// as the target has cells.
inline constexpr int MAX_PIECES = 32;
inline constexpr int MAX_CUBES = 64;
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

struct PieceCatalogue {
    int32_t piece_count;
    PieceShape shapes[MAX_PIECES];                 // records 0 .. piece_count-1 are the pieces
    char piece_names[MAX_PIECES][PIECE_NAME_SIZE];
};

// The working catalogue of the run's puzzle: the orientation generator normalises and turns its
// shapes in place.
extern PieceCatalogue catalogue;
// The thirteen pieces built in.
extern const PieceCatalogue BUILT_IN_CATALOGUE;

