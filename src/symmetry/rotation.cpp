#include "symmetry/rotation.hpp"

void rotate_board(int32_t turn_type, Board& target) {
    if (turn_type < 0 || turn_type > 2)
        return;
    Board scratch = target;
    for (int z = 1; z <= 4; ++z)
        for (int y = 1; y <= 4; ++y)
            for (int x = 1; x <= 4; ++x) {
                const int32_t value = target.cells[cell_index(x, y, z)];
                switch (turn_type) {
                case 0: scratch.cells[cell_index(x, z, 5 - y)] = value; break;
                case 1: scratch.cells[cell_index(5 - z, y, x)] = value; break;
                default: scratch.cells[cell_index(y, 5 - x, z)] = value; break;
                }
            }
    target = scratch;
}
