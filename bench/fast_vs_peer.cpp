// The fast search against the exact-cover peer (Algorithm X with dancing links), both given the
// same symmetry breaking: the same placements of the restricted piece, and the same test of
// the solutions found on a representative that a symmetry maps onto itself. Prints each one's
// time, its count and the ratio.
// Usage: fast-vs-peer [THREADS [fast [STRIDE]]]   (THREADS for the fast search, 1 by default;
// "fast" leaves the peer out; STRIDE searches every STRIDE-th task only, a sample for
// profiling). Run it on one core for the side-by-side figure: taskset -c 1.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/prepare_run.hpp"
#include "exact_cover.hpp"
#include "orient/orientations.hpp"
#include "search/fast_puzzle.hpp"
#include "search/fast_search.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct PeerRows {
    std::vector<int32_t> placement_of_row;
};

bool peer_keeps(const int32_t* rows, int32_t count, void* context) {
    const PeerRows& p = *static_cast<const PeerRows*>(context);
    uint16_t placements[FAST_MAX_PIECES];
    for (int32_t d = 0; d < count; ++d)
        placements[d] = static_cast<uint16_t>(p.placement_of_row[rows[d]]);
    return fast_solution_kept(placements, count);
}

}  // namespace

int main(int argc, char** argv) {
    const int32_t threads = argc > 1 ? std::atoi(argv[1]) : 1;
    const bool peer = !(argc > 2 && std::strcmp(argv[2], "fast") == 0);
    const int32_t stride = argc > 3 ? std::atoi(argv[3]) : 1;
    // The puzzle, its tables and the peer's matrix, all before the clocks.
    prepare_run();
    FastPuzzle puzzle;
    run_fast_puzzle(puzzle);
    build_fast_tables(puzzle);
    const FastSymmetryBreaking& b = fast_symmetry_breaking();
    std::printf("puzzle: built-in, %d cells, %d pieces, %zu placements, %d symmetries\n", puzzle.cell_count,
                puzzle.piece_count, puzzle.placements.size(), puzzle.symmetry_count);
    std::printf("symmetry breaking: piece %d restricted to %d of its %d placements (one per orbit), %d tested when found\n",
                b.restricted_piece + 1, b.representatives, b.placements, b.tested);

    const Clock::time_point fast_start = Clock::now();
    begin_fast_search(threads, stride);
    FastSolution s;
    SearchCounters counters{};
    int64_t found = 0;
    while (next_fast_solution(s, counters))
        ++found;
    end_fast_search();
    const double fast_seconds = seconds_since(fast_start);
    std::printf("fast, %d thread%s  %8.3f s  %" PRId64 " solutions  nodes %" PRId64 "  tested %" PRId64 "  placed %" PRId64 "\n",
                threads, threads == 1 ? " " : "s", fast_seconds, found, counters.permutations,
                counters.tiles_attempted, counters.tiles_succeeded);
    if (!peer)
        return 0;

    PeerRows rows;
    std::vector<std::vector<int32_t>> matrix;
    for (size_t i = 0; i < puzzle.placements.size(); ++i) {
        if (!fast_placement_allowed(static_cast<int32_t>(i)))
            continue;
        const FastPlacement& p = puzzle.placements[i];
        std::vector<int32_t> row;
        for (CellSet m = p.cells; m != 0; m &= m - 1)
            row.push_back(__builtin_ctzll(m));
        row.push_back(puzzle.cell_count + p.piece);
        matrix.push_back(row);
        rows.placement_of_row.push_back(static_cast<int32_t>(i));
    }
    ExactCover x;
    build_exact_cover(x, puzzle.cell_count + puzzle.piece_count, puzzle.cell_count + puzzle.piece_count, matrix);
    const Clock::time_point peer_start = Clock::now();
    const int64_t peer_found = count_exact_covers(x, peer_keeps, &rows);
    const double peer_seconds = seconds_since(peer_start);
    std::printf("exact-cover peer  %8.3f s  %" PRId64 " solutions  rows tried %" PRId64 "\n", peer_seconds, peer_found,
                x.nodes);
    std::printf("counts %s; peer / fast = %.2f\n", peer_found == found ? "agree" : "DIFFER", peer_seconds / fast_seconds);
    return peer_found == found ? 0 : 1;
}
