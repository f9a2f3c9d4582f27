#include "driver/driver.hpp"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "driver/command_line.hpp"
#include "driver/signals.hpp"
#include "driver/solutions_file.hpp"
#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "model/piece_sets.hpp"
#include "model/puzzle_file.hpp"
#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "orient/normalise.hpp"
#include "platform/platform.hpp"
#include "orient/orientations.hpp"
#include "report/listing.hpp"
#include "report/progress_line.hpp"
#include "report/render.hpp"
#include "report/progress_block.hpp"
#include "report/run_header.hpp"
#include "report/solution_report.hpp"
#include "report/summary.hpp"
#include "search/fast_search.hpp"
#include "search/parallel.hpp"
#include "search/search.hpp"
#include "symmetry/rotation.hpp"
#include "symmetry/store.hpp"

namespace {

// --fast: the fast search runs in place of the default one (search/fast_search.hpp).
bool fast_search_chosen = false;
// The line of the run's header that says so, so that nobody compares its counters with the
// default search's.
constexpr const char* FAST_SEARCH_HEADER = "fast (symmetry broken; counters of its own)";

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

// NAME-solutions.txt for the puzzle file NAME.EXT or NAME, in the working directory.
void name_solutions_file(const char* puzzle_file) {
    const char* base = platform_file_name(puzzle_file);
    const char* dot = std::strrchr(base, '.');
    const int length = static_cast<int>(dot != nullptr && dot != base ? dot - base : std::strlen(base));
    std::snprintf(solutions_file_name, sizeof solutions_file_name, "%.*s-solutions.txt", length, base);
}

// Whether the two paths name one existing file.
bool same_file(const char* a, const char* b) {
    return platform_same_file(a, b);
}

}  // namespace

bool mirror_images_alike = false;

void use_puzzle(const Puzzle& p, bool mirror) {
    puzzle = p;
    mirror_images_alike = mirror;
    set_board_geometry(puzzle);
    set_working_catalogue(puzzle);
    find_piece_sets(puzzle.catalogue);
    find_target_symmetries(mirror);
    reset_solution_store();
}

void start_up(std::FILE* solutions_file) {
    std::FILE* console = console_stream();
    hold_stop_signals();
    static const char BANNER[] = "Tandor Cube Solver\n\n";
    std::fputs(BANNER, console);
    std::fputs(BANNER, solutions_file);
    const char* search = fast_search_chosen ? FAST_SEARCH_HEADER : nullptr;
    write_run_header(console, mirror_images_alike, search);
    write_run_header(solutions_file, mirror_images_alike, search);
    list_catalogue(solutions_file);
    list_catalogue(console);
    reset_search_order();
    reset_orientation_table();
    for (int32_t p = 0; p < catalogue.piece_count; ++p) {
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
        begin_fast_puzzle_search(search_threads);
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
                     run_statistics.solutions);
        status = RUN_FAILED_STATUS;
    }
    update_progress_line();
    release_stop_signals();
    return output_failed() ? RUN_FAILED_STATUS : status;
}

void begin_run_clock() {
    progress_function = progress_block;
    run_statistics.start_clock = process_clock();
    begin_progress_line(is_built_in_puzzle(puzzle) ? FULL_RUN_PERMUTATIONS : 0, catalogue.piece_count,
                        orientation_table.orientation_counts);
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
    static Puzzle from_file;
    if (command_line.puzzle_file != nullptr) {
        char error[PUZZLE_PATH_SIZE + 256];
        if (!read_puzzle_file(command_line.puzzle_file, from_file, error, sizeof error)) {
            std::fprintf(stderr, "tandor-cube-solver: %s\n", error);
            return USAGE_STATUS;
        }
        name_solutions_file(command_line.puzzle_file);
    }
    if (command_line.solutions_file != nullptr)
        std::snprintf(solutions_file_name, sizeof solutions_file_name, "%s", command_line.solutions_file);
    if (command_line.puzzle_file != nullptr && same_file(command_line.puzzle_file, solutions_file_name)) {
        std::fprintf(stderr, "tandor-cube-solver: %s is the puzzle file itself; name another solutions file with -o\n",
                     solutions_file_name);
        return USAGE_STATUS;
    }
    use_puzzle(command_line.puzzle_file != nullptr ? from_file : BUILT_IN_PUZZLE, command_line.mirror_images_alike);
    if (mirror_images_alike && !piece_sets.closed_under_mirror)
        std::fputs("tandor-cube-solver: --mirror changes nothing here: some pieces' mirror images are not among the "
                   "pieces, so no mirror image of a solution is a solution\n",
                   stderr);
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
