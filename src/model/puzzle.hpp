// The puzzle: a target of up to 64 cells and up to 32 pieces. The built-in puzzle is one instance
// of this record; a puzzle file fills another (model/puzzle_file.hpp).
#pragma once

#include <cstdint>

#include "model/catalogue.hpp"

inline constexpr int MAX_TARGET_CELLS = 64;
inline constexpr int PUZZLE_NAME_SIZE = 101;   // at most 100 characters
inline constexpr int PUZZLE_PATH_SIZE = 1024;

// A cell of the target, or of the board, by its coordinates.
struct CellTriple {
    int32_t x;
    int32_t y;
    int32_t z;
};

struct Puzzle {
    char name[PUZZLE_NAME_SIZE];
    char file[PUZZLE_PATH_SIZE];  // the puzzle file as given on the command line; "" when built in
    bool target_is_box;           // the target is every cell of its box
    int32_t box[3];               // the smallest box holding the target, in the file's axes
    int32_t cell_count;
    CellTriple cells[MAX_TARGET_CELLS];  // 0-based in the box, in the file's axes and order
    PieceCatalogue catalogue;            // the pieces as the file gives them, in file order
};

// A puzzle whose target is every cell of an X x Y x Z box, without pieces.
Puzzle box_puzzle(int32_t x, int32_t y, int32_t z);

// The thirteen built-in pieces in a 4 x 4 x 4 cube.
extern const Puzzle BUILT_IN_PUZZLE;

// The run's puzzle: the built-in one unless a puzzle file was given.
extern Puzzle puzzle;

// Whether a puzzle is the built-in one: the same target and the same pieces, cube for cube.
bool is_built_in_puzzle(const Puzzle& p);
