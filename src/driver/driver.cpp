#include "driver/driver.hpp"

#include <cstdio>
#include <initializer_list>

#include "driver/command_line.hpp"
#include "driver/signals.hpp"
#include "driver/solutions_file.hpp"
#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "orient/normalise.hpp"
#include "orient/orientations.hpp"
#include "report/listing.hpp"
#include "report/progress_line.hpp"
#include "report/render.hpp"
#include "report/progress_block.hpp"
#include "report/solution_report.hpp"
#include "report/summary.hpp"
#include "search/fast_search.hpp"
#include "search/parallel.hpp"
#include "search/search.hpp"
#include "symmetry/store.hpp"

namespace {

// --fast: the fast search runs in place of the default one (search/fast_search.hpp).
bool fast_search_chosen = false;

bool next_assembly() { return fast_search_chosen ? fast_find_next_assembly() : find_next_assembly(); }

// The progress block is one block of output: the stop signals wait until it is written. A
// console that can no longer be written ends the search here.
void progress_block() {
    hold_stop_signals();
    print_progress();
    update_progress_line();
    release_stop_signals();
    search_stop_requested = output_failed();
}

}  // namespace

void start_up(std::FILE* solutions_file) {
    std::FILE* console = console_stream();
    hold_stop_signals();
    static const char BANNER[] = "Tandor Cube Solver\n\n";
    std::fputs(BANNER, console);
    std::fputs(BANNER, solutions_file);
    if (fast_search_chosen) {
        // The run's header: which search this is, so that nobody compares its counters with the
        // default search's.
        static const char FAST_HEADER[] = "Search: fast (symmetry broken; counters of its own)\n\n";
        std::fputs(FAST_HEADER, console);
        std::fputs(FAST_HEADER, solutions_file);
    }
    list_catalogue(solutions_file);
    list_catalogue(console);
    reset_search_order();
    reset_orientation_table();
    for (int32_t p = 0; p < PIECE_COUNT; ++p) {
        normalise_shape(catalogue.shapes[p]);
        const int32_t count = generate_orientations(p);
        for (std::FILE* stream : {console, solutions_file})
            std::fprintf(stream, "Piece %2d has %d unique rotational orientations\n", p + 1, count);
    }
    std::fputs("\n", console);
    std::fputs("\n", solutions_file);
    verify_orientation_table();
    init_board();
    if (fast_search_chosen)
        begin_fast_built_in_search(search_threads);
    else
        begin_search();
    flush_stream(solutions_file);
    release_stop_signals();
}

int handle_assembly(std::FILE* solutions_file) {
    std::FILE* console = console_stream();
    int status = 0;
    hold_stop_signals();
    const StoreResult result = store_if_unique();
    if (result == StoreResult::STORED_NEW) {
        run_statistics.last_solution_clock = process_clock();
        report_solution();
        print_board(solutions_file, 1);
    } else if (result == StoreResult::ROTATED_DUPLICATE) {
        ++run_statistics.duplicates;
        std::fprintf(console, "Discarded duplicate rotated solution %d\n", run_statistics.duplicates);
    } else {
        clear_status_line();
        std::fprintf(stderr,
                     "tandor-cube-solver: the solution store is full (%d solutions); the run stops, "
                     "since a new solution could no longer be kept to recognise its rotations\n",
                     solution_capacity);
        status = RUN_FAILED_STATUS;
    }
    update_progress_line();
    release_stop_signals();
    return output_failed() ? RUN_FAILED_STATUS : status;
}

void begin_run_clock() {
    progress_function = progress_block;
    run_statistics.start_clock = process_clock();
    begin_progress_line();
}

int run_search(std::FILE* solutions_file) {
    if (output_failed())
        return RUN_FAILED_STATUS;
    begin_run_clock();
    if (fast_search_chosen)
        progress_share_function = fast_search_share_done;
    while (next_assembly()) {
        const int status = handle_assembly(solutions_file);
        if (status != 0)
            return status;
    }
    if (output_failed())  // the console failed at a progress block
        return RUN_FAILED_STATUS;
    hold_stop_signals();
    clear_status_line();
    print_summary(solutions_file);
    flush_stream(solutions_file);
    flush_stream(console_stream());
    // The signals stay held: the run is complete, and an interrupt now could only take away
    // its exit status.
    return output_failed() ? RUN_FAILED_STATUS : 0;
}

int run_program(int argc, char** argv) {
    const CommandLine command_line = read_command_line(argc, argv);
    if (command_line.request != Request::RUN)
        return answer_request(command_line);
    std::FILE* opened = open_solutions_file();
    if (opened == nullptr)
        return RUN_FAILED_STATUS;
    std::FILE* solutions_file = take_solutions_file(opened);
    search_threads = available_processors();
    fast_search_chosen = command_line.fast;
    locate_viewer_page();
    take_stop_signals();
    start_up(solutions_file);
    int status = run_search(solutions_file);
    clear_status_line();
    end_search();
    end_fast_search();
    close_solutions_file();
    if (output_failed()) {
        tell_output_failure();
        status = RUN_FAILED_STATUS;
    }
    // A run that failed says so in one message and nothing after it.
    if (status == 0)
        point_to_viewer();
    return status;
}
