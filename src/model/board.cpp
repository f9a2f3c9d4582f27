#include "model/board.hpp"

#include <cstring>

Board board;

void init_board(Board& target) {
    for (int x = 0; x < BOARD_EDGE; ++x)
        for (int y = 0; y < BOARD_EDGE; ++y)
            for (int z = 0; z < BOARD_EDGE; ++z)
                target.cells[cell_index(x, y, z)] = is_interior(x, y, z) ? EMPTY_CELL : BORDER_CELL;
}

bool boards_equal(const Board& a, const Board& b) {
    return std::memcmp(a.cells, b.cells, sizeof a.cells) == 0;
}
