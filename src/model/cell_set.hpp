// The cube's 64 interior cells as bits of one word, in scan order, and the bit operations that
// the search and the duplicate filter work with.
#pragma once

#include <bit>
#include <cstdint>

#include "model/board.hpp"

// A cell of the board by its coordinates, each 0..5; the interior is 1..4.
struct CellTriple {
    int32_t x;
    int32_t y;
    int32_t z;
};

// Scan order: z slowest, then y, then x fastest. Interior cell (x, y, z) is bit
// (z-1)*16 + (y-1)*4 + (x-1), so the first empty cell in scan order is the lowest clear bit.
using CellSet = uint64_t;

constexpr int scan_bit(int x, int y, int z) { return (z - 1) * 16 + (y - 1) * 4 + (x - 1); }
constexpr CellTriple scan_cell(int bit) { return {bit % 4 + 1, bit / 4 % 4 + 1, bit / 16 + 1}; }
// The board element of the interior cell with scan-order bit `bit`.
constexpr int scan_element(int bit) {
    const CellTriple c = scan_cell(bit);
    return cell_index(c.x, c.y, c.z);
}

constexpr CellSet cell_bit(int bit) { return CellSet{1} << bit; }
constexpr int first_empty_cell(CellSet covered) { return std::countr_zero(~covered); }
constexpr int lowest_cell(CellSet cells) { return std::countr_zero(cells); }
constexpr CellSet without_lowest_cell(CellSet cells) { return cells & (cells - 1); }

// Small sets of pieces or orientation slots, one bit each.
constexpr uint32_t bit_of(int n) { return 1u << n; }
constexpr int lowest_bit(uint32_t set) { return std::countr_zero(set); }
constexpr int highest_bit(uint32_t set) { return 31 - std::countl_zero(set); }
constexpr uint32_t without_lowest_bit(uint32_t set) { return set & (set - 1); }
// The bits above bit n.
constexpr uint32_t bits_above(int n) { return ~((2u << n) - 1); }
// The bits of `set` up to and including its lowest bit that is also in `stop`, or all of `set`
// when none is.
constexpr uint32_t bits_through_first(uint32_t set, uint32_t stop) {
    const uint32_t first = stop & set;
    return set & (first ^ (first - 1));
}
