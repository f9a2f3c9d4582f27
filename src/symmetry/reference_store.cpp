#include "symmetry/reference_store.hpp"

#include <cstring>

#include "model/run_statistics.hpp"
#include "symmetry/rotation.hpp"
#include "symmetry/store.hpp"

StoreResult reference_store_if_unique() {
    const int32_t n = run_statistics.solutions;
    // The board turned into every position the target allows, each compared cell for cell with
    // every stored solution as found, identical pieces numbered as they first appear.
    static Board turned;
    for (int32_t g = 0; g < target_symmetries.count; ++g) {
        turn_board(g, board, turned);
        const RotationKey cells = assembly_cells(turned);
        for (int32_t slot = 0; slot < n; ++slot)
            if (std::memcmp(cells.cells, solution_store.found[slot].cells, sizeof cells.cells) == 0)
                return StoreResult::ROTATED_DUPLICATE;
    }
    return append_solution(board) ? StoreResult::STORED_NEW : StoreResult::STORE_FULL;
}
