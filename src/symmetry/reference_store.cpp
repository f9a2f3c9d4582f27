#include "symmetry/reference_store.hpp"

#include "model/run_statistics.hpp"
#include "symmetry/rotation.hpp"
#include "symmetry/store.hpp"

StoreResult reference_store_if_unique() {
    const int32_t n = run_statistics.solutions;
    const Board snapshot = board;
    // 64 turned positions (i turns about z, j about y, k about x) reach all 24 rotations.
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                for (int32_t slot = 0; slot < n; ++slot)
                    if (boards_equal(board, solution_store.boards[slot])) {
                        board = snapshot;
                        return StoreResult::ROTATED_DUPLICATE;
                    }
                rotate_board(0);
            }
            rotate_board(1);
        }
        rotate_board(2);
    }
    board = snapshot;
    if (n >= solution_capacity)
        return StoreResult::STORE_FULL;
    append_solution(snapshot);
    return StoreResult::STORED_NEW;
}
