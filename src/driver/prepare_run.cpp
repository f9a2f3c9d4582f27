#include "driver/prepare_run.hpp"

#include "driver/driver.hpp"
#include "model/board.hpp"
#include "model/run_statistics.hpp"
#include "orient/orientations.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "symmetry/store.hpp"

void prepare_run() { prepare_run(BUILT_IN_PUZZLE, false); }

void prepare_run(const Puzzle& p, bool mirror) {
    use_puzzle(p, mirror);
    reset_search_order();
    build_orientation_table();
    run_statistics = INITIAL_RUN_STATISTICS;
    reset_solution_store();
    init_board();
    begin_search();
    progress_function = nullptr;
    placement_function = nullptr;
}
