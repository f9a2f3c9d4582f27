// The default search against the exact-cover peer (Algorithm X with dancing links, the column
// with the fewest options first) on puzzle files, one core each, side by side: both count every
// assembly of the puzzle, the search from the first empty cell with its exact counters, the peer
// over one row per piece orientation that fits somewhere, each covering its cells and its piece.
// Neither side's clock holds the duplicate filter, which the peer does not have; a run of the
// search with the filter, after the clocks, gives the unique solutions. The fast search (--fast)
// runs beside them, one thread, finding each unique solution once.
// Where only one set of identical pieces has copies, its rows cover no piece: the cells leave room
// for exactly its copies, so the peer counts each assembly once, as the search does. Where more
// sets have copies, the peer tells them apart and counts each assembly once per order of the
// copies; the counts are compared after that.
// Each side is run again until it has taken a quarter of a second, so that the small puzzles'
// times are not the clock's grain. Prints each one's time per run, the counts and the ratio.
// Usage: puzzles-vs-peer FILE...   (run it on one core: taskset -c 1)
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "driver/prepare_run.hpp"
#include "exact_cover.hpp"
#include "model/board.hpp"
#include "model/piece_sets.hpp"
#include "model/puzzle_file.hpp"
#include "model/run_statistics.hpp"
#include "search/placement_table.hpp"
#include "search/fast_search.hpp"
#include "search/search.hpp"
#include "symmetry/store.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

constexpr double LEAST_SECONDS = 0.25;


// Every placement of the run's puzzle as a row: its cells (by their place in scan order), then
// its piece's column, unless the piece is of the set `loose`. `columns` gets the columns' count.
std::vector<std::vector<int32_t>> placement_rows(int32_t loose, int32_t& columns) {
    int32_t column_of[MAX_PIECES];
    columns = geometry.cell_count;
    for (int32_t piece = 0; piece < catalogue.piece_count; ++piece)
        column_of[piece] = piece_sets.same_as[piece] == loose ? -1 : columns++;
    int32_t cell_of_bit[64];
    for (int32_t i = 0; i < geometry.cell_count; ++i)
        cell_of_bit[geometry.element_bit[geometry.cell_element[i]]] = i;
    std::vector<std::vector<int32_t>> rows;
    for (int32_t bit = 0; bit < 64; ++bit)
        for (int32_t piece = 0; piece < catalogue.piece_count; ++piece) {
            // The loose set's rows once, for its first piece.
            if (column_of[piece] < 0 && piece_sets.same_as[piece] != piece)
                continue;
            for (uint32_t slots = placement_table.inside[bit * MAX_PIECES + piece]; slots != 0; slots &= slots - 1) {
                std::vector<int32_t> row;
                for (CellSet cells = placement_cells(piece, lowest_bit(slots), bit); cells != 0;
                     cells = without_lowest_cell(cells))
                    row.push_back(cell_of_bit[lowest_cell(cells)]);
                if (column_of[piece] >= 0)
                    row.push_back(column_of[piece]);
                rows.push_back(row);
            }
        }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    bool agree = true;
    std::printf("%-30s %9s %10s %10s %10s %11s %10s %10s\n", "puzzle", "solutions", "assemblies", "search s", "peer s",
                "peer/search", "fast s", "peer/fast");
    for (int k = 1; k < argc; ++k) {
        static Puzzle p;
        char error[2048];
        if (!read_puzzle_file(argv[k], p, error, sizeof error)) {
            std::fprintf(stderr, "puzzles-vs-peer: %s\n", error);
            return 2;
        }
        search_threads = 1;
        int64_t assemblies = 0;
        int runs = 0;
        double search_seconds = 0;
        // Each run's set-up (the tables) stands outside the clock.
        while (search_seconds < LEAST_SECONDS) {
            prepare_run(p, false);
            const Clock::time_point start = Clock::now();
            int64_t found = 0;
            while (find_next_assembly())
                ++found;
            search_seconds += seconds_since(start);
            assemblies = found;
            ++runs;
        }
        search_seconds /= runs;
        prepare_run(p, false);
        while (find_next_assembly())
            store_if_unique();
        const int32_t solutions = run_statistics.solutions;
        double fast_seconds = 0;
        for (runs = 0; runs == 0 || fast_seconds < LEAST_SECONDS; ++runs) {
            prepare_run(p, false);
            const Clock::time_point start = Clock::now();
            begin_fast_puzzle_search(1);
            while (fast_find_next_assembly())
                store_if_unique();
            end_fast_search();
            fast_seconds += seconds_since(start);
        }
        fast_seconds /= runs;
        const bool fast_same = run_statistics.solutions == solutions;
        int64_t orders = 1;
        int32_t copies[MAX_PIECES] = {}, sets_with_copies = 0, loose = -1;
        for (int32_t piece = 0; piece < catalogue.piece_count; ++piece)
            if (++copies[piece_sets.same_as[piece]] == 2) {
                ++sets_with_copies;
                loose = piece_sets.same_as[piece];
            }
        if (sets_with_copies != 1) {
            loose = -1;
            for (int32_t piece = 0; piece < catalogue.piece_count; ++piece)
                for (int32_t n = 2; n <= copies[piece]; ++n)
                    orders *= n;
        }
        int32_t columns = 0;
        const std::vector<std::vector<int32_t>> rows = placement_rows(loose, columns);
        ExactCover x;
        build_exact_cover(x, columns, columns, rows);
        int64_t peer_covers = 0;
        int runs_of_peer = 0;
        const Clock::time_point peer_start = Clock::now();
        for (; runs_of_peer == 0 || seconds_since(peer_start) < LEAST_SECONDS; ++runs_of_peer)
            peer_covers = count_exact_covers(x, nullptr, nullptr);
        const double peer_seconds = seconds_since(peer_start) / runs_of_peer;
        const bool same = peer_covers == assemblies * orders && fast_same;
        agree = agree && same;
        std::printf("%-30s %9d %10" PRId64 " %10.4f %10.4f %11.2f %10.4f %10.2f%s\n", p.name, solutions, assemblies,
                    search_seconds, peer_seconds, peer_seconds / search_seconds, fast_seconds, peer_seconds / fast_seconds,
                    same ? "" : "  counts DIFFER");
    }
    std::printf("counts %s\n", agree ? "agree" : "DIFFER");
    return agree ? 0 : 1;
}
