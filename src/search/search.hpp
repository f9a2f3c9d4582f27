// The placement search: each piece's anchor cube on the first empty cell in scan order (z, then y,
// then x fastest), pieces stepped through in ascending order at every depth, depth first.
#pragma once

#include <cstdint>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "orient/orientations.hpp"

struct CellTriple {
    int32_t x;
    int32_t y;
    int32_t z;
};

struct SearchState {
    int32_t depth;                           // last placed depth; -1 with an empty board, 12 when complete
    int32_t piece_order[PIECE_COUNT];        // placed pieces, the piece being tried, then the unused ones
    int32_t orientation_index[PIECE_COUNT];  // slot placed or being tried per depth; -1 for none
    CellTriple anchor_cell[PIECE_COUNT];
    CellTriple current_cell;
};

extern SearchState search_state;

// Called just after a piece-order exchange brings permutations to a multiple of PROGRESS_INTERVAL.
using ProgressFunction = void (*)();
extern ProgressFunction progress_function;

inline constexpr int64_t PROGRESS_INTERVAL = 1000000;

// The fast search keeps the cube as a 64-bit set of covered cells. Bit s stands for interior cell
// (x, y, z) with s = (z-1)*16 + (y-1)*4 + (x-1), so scan order is bit order: the first empty cell
// is the lowest clear bit.
using CellSet = uint64_t;

constexpr int scan_bit(int x, int y, int z) { return (z - 1) * 16 + (y - 1) * 4 + (x - 1); }
constexpr CellTriple scan_cell(int bit) { return {bit % 4 + 1, bit / 4 % 4 + 1, bit / 16 + 1}; }

// Every orientation that stays inside the cube when anchored on a cell, as the set of cells it
// covers, grouped by anchor cell and piece and kept in slot order, a row of MAX_ORIENTATIONS
// places per group.
inline constexpr int MAX_PLACEMENTS = INTERIOR_CELLS * PIECE_COUNT * MAX_ORIENTATIONS;
static_assert(MAX_ORIENTATIONS <= 32);

struct PlacementTable {
    CellSet cells[MAX_PLACEMENTS];
    uint8_t orientation[MAX_PLACEMENTS];
    // Row (cell, piece) starts at (cell * PIECE_COUNT + piece) * MAX_ORIENTATIONS.
    uint8_t count[INTERIOR_CELLS * PIECE_COUNT];  // placements in each row
    int32_t placement_count;
    // What the search tests: an orientation covers the same cells, seen from its anchor, on
    // every cell where it stays inside, so the fits of a piece on a cell are one AND per slot
    // with the covered cells shifted down to the anchor, kept where the slot stays inside.
    alignas(64) CellSet relative[PIECE_COUNT][MAX_ORIENTATIONS];  // bit 0 is the anchor
    uint32_t inside[INTERIOR_CELLS * PIECE_COUNT];  // per (cell, piece), bit o: slot o stays inside
    // The cells at +x, +y and +z inside the cube; one entry more, for a full cube, keeps every
    // lowest-clear-bit index in range.
    CellSet forward_neighbours[INTERIOR_CELLS + 1];
    // The orientation counts of a set of pieces added up, looked up in two halves.
    int32_t orientation_sum_low[1 << 7];
    int32_t orientation_sum_high[1 << (PIECE_COUNT - 7)];
};

extern PlacementTable placement_table;

inline int32_t orientation_sum(uint32_t pieces) {
    return placement_table.orientation_sum_low[pieces & 127] + placement_table.orientation_sum_high[pieces >> 7];
}

// Builds the placement table from the orientation table.
void build_placement_table();


// The fit tests of the search, from the plain loop to the widest vector test. The search uses
// engine_fit_test, at start the widest that this processor has; each test's copy of the search
// loop is compiled for the processors that have its instructions.
enum class FitTest { PLAIN, AVX2, AVX512 };
inline constexpr FitTest ALL_FIT_TESTS[] = {FitTest::PLAIN, FitTest::AVX2, FitTest::AVX512};
bool fit_test_supported(FitTest test);
FitTest widest_fit_test();
const char* fit_test_name(FitTest test);
extern FitTest engine_fit_test;

// piece_order 0..12, orientation_index all -1.
void reset_search_order();
// Threads the search runs on; 1 is the single-threaded search. Set before begin_search.
extern int32_t search_threads;

// depth -1, current_cell (0, 0, 0); builds the placement table and sets the fast search at its
// first step, on search_threads threads.
void begin_search();

// Stops any worker threads of the search; the search cannot go on after it.
void end_search();

// Runs until the board holds a complete assembly (true) or the search is exhausted (false).
bool find_next_assembly();
