// Sets of cells as bits of one word, and small sets of pieces or orientation slots as bits of
// another, with the bit operations that the search and the duplicate filter work with.
#pragma once

#include <bit>
#include <cstdint>

// A set of target cells, one bit each (model/board.hpp numbers them): bit order is scan order,
// so the first empty cell in scan order is the lowest clear bit.
using CellSet = uint64_t;

constexpr CellSet cell_bit(int bit) { return CellSet{1} << bit; }
constexpr int first_empty_cell(CellSet covered) { return std::countr_zero(~covered); }
constexpr int lowest_cell(CellSet cells) { return std::countr_zero(cells); }
constexpr CellSet without_lowest_cell(CellSet cells) { return cells & (cells - 1); }

// Small sets of pieces or orientation slots, one bit each.
constexpr uint32_t bit_of(int n) { return 1u << n; }
// The first n pieces or slots, n from 0 to 32.
constexpr uint32_t first_bits(int n) { return n >= 32 ? ~0u : bit_of(n) - 1; }
constexpr int lowest_bit(uint32_t set) { return std::countr_zero(set); }
constexpr int highest_bit(uint32_t set) { return 31 - std::countl_zero(set); }
constexpr uint32_t without_lowest_bit(uint32_t set) { return set & (set - 1); }
// The bits above bit n.
constexpr uint32_t bits_above(int n) { return n >= 31 ? 0u : ~((2u << n) - 1); }
// The bits of `set` up to and including its lowest bit that is also in `stop`, or all of `set`
// when none is.
constexpr uint32_t bits_through_first(uint32_t set, uint32_t stop) {
    const uint32_t first = stop & set;
    return set & (first ^ (first - 1));
}
