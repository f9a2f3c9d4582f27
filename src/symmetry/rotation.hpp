// Quarter turns of the board's interior about its centre, the border left in place.
#pragma once

#include <cstdint>

#include "model/board.hpp"

// Type 0 about x, 1 about y, 2 about z; any other type leaves the board as it is.
void rotate_board(int32_t turn_type, Board& target);
inline void rotate_board(int32_t turn_type) { rotate_board(turn_type, board); }
