#include "search/search.hpp"

#include "model/board.hpp"
#include "model/run_statistics.hpp"
#include "model/piece_sets.hpp"
#include "search/engine.hpp"
#include "search/placement_table.hpp"
#include "search/parallel.hpp"

ProgressFunction progress_function = nullptr;
int32_t search_threads = 1;
bool search_stop_requested = false;

namespace {

EnginePosition single;  // the single-threaded search
bool parallel = false;

// The search state and the run's counters, which the reports print, set to the published position.
void update_run_state(const PublishedPosition& shown) {
    search_state = shown.state;
    run_statistics.counters = shown.counters;
}

// The same for the single-threaded search's own position.
void publish_to_run_state(const EnginePosition& s, int32_t placed_depths, bool working_started) {
    PublishedPosition shown;
    publish_position(s, placed_depths, working_started, {0, 0, 0}, shown);
    update_run_state(shown);
}

// The progress block; true when it asked the search to end there.
bool progress_block_ends_search() {
    if (progress_function != nullptr)
        progress_function();
    if (!search_stop_requested)
        return false;
    end_search();
    return true;
}

}  // namespace

void reset_search_order() {
    for (int d = 0; d < MAX_PIECES; ++d) {
        search_state.piece_order[d] = d;
        search_state.orientation_index[d] = -1;
    }
}

void begin_search() {
    end_search();
    search_stop_requested = false;
    search_state.depth = -1;
    search_state.current_cell = {0, 0, 0};
    build_placement_table(piece_sets.same_as);
    start_root(single, run_statistics.counters);
    single.next_mark = next_multiple(single.counted.permutations, PROGRESS_INTERVAL);
    parallel = search_threads > 1 && parallel_search_fits(catalogue.piece_count);
    if (parallel)
        begin_parallel_search(single, search_threads, PROGRESS_INTERVAL);
}

void end_search() {
    end_parallel_search();
    parallel = false;
}

bool find_next_assembly() {
    for (;;) {
        if (parallel) {
            PublishedPosition shown;
            const ParallelEvent event = next_parallel_event(shown, board);
            update_run_state(shown);
            if (event == ParallelEvent::PROGRESS_MARK) {
                if (progress_block_ends_search())
                    return false;
                continue;
            }
            if (event == ParallelEvent::EXHAUSTED)
                end_search();
            return event == ParallelEvent::ASSEMBLY;
        }
        const EngineStop stop = run_to_progress_mark(single, PROGRESS_INTERVAL);
        if (stop == EngineStop::MARK) {
            publish_to_run_state(single, single.depth, true);
            if (progress_block_ends_search())
                return false;
            continue;
        }
        const bool assembled = stop == EngineStop::ASSEMBLY;
        publish_to_run_state(single, assembled ? catalogue.piece_count : 0, false);
        if (assembled)
            write_assembly(single, board);
        return assembled;
    }
}
