// The fast search finds every solution up to the target's symmetries exactly once: on small
// puzzles, the set of its solutions' canonical forms equals that of a search with no symmetry
// broken, with no form twice, and the known counts come out.
#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <string>
#include <vector>

#include "checker.hpp"
#include "known_answers.hpp"
#include "model/puzzle.hpp"
#include "solver_process.hpp"
#include "support.hpp"
#include "search/fast_puzzle.hpp"
#include "search/fast_search.hpp"

namespace {

using Shape = std::vector<CubeOffset>;

const Shape D2 = {{0, 0, 0}, {1, 0, 0}};
const Shape V = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
const Shape I3 = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
const Shape L4 = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}};
const Shape T4 = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}};
const Shape Z4 = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}};
const Shape O4 = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
const Shape SCREW_A = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}};
const Shape SCREW_B = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, -1}};
const Shape TRIPOD = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
const std::vector<Shape> SOMA = {V, L4, T4, Z4, SCREW_A, SCREW_B, TRIPOD};

struct Case {
    const char* name;
    CubeOffset box;
    std::vector<Shape> pieces;
    bool mirror;
    int64_t known;  // the published count, or -1
    bool tested;    // some representative's solutions are tested when found
};

// The fast search's record of a box puzzle, made as a run makes it from its puzzle.
FastPuzzle fast_puzzle_of(CubeOffset box, const std::vector<Shape>& pieces, bool mirror) {
    Puzzle p = box_puzzle(box.x, box.y, box.z);
    p.catalogue.piece_count = static_cast<int32_t>(pieces.size());
    for (size_t k = 0; k < pieces.size(); ++k) {
        PieceShape& shape = p.catalogue.shapes[k];
        shape.piece_number = static_cast<int32_t>(k);
        shape.cube_count = static_cast<int32_t>(pieces[k].size());
        for (size_t i = 0; i < pieces[k].size(); ++i)
            shape.cubes[i] = pieces[k][i];
    }
    prepare_run(p, mirror);
    FastPuzzle puzzle;
    run_fast_puzzle(puzzle);
    return puzzle;
}

using Form = std::string;

// The smallest image, over the puzzle's symmetries, of the solution's cells labelled by their
// piece's class and the rank of the piece's first cell (so that swapping identical pieces
// changes nothing).
Form canonical_form(const FastPuzzle& z, const FastSolution& s) {
    int8_t piece_at[FAST_MAX_CELLS];
    for (int32_t d = 0; d < z.piece_count; ++d) {
        const FastPlacement& p = z.placements[s.placements[d]];
        for (CellSet m = p.cells; m != 0; m &= m - 1)
            piece_at[__builtin_ctzll(m)] = static_cast<int8_t>(p.piece);
    }
    Form best;
    for (int32_t g = 0; g < z.symmetry_count; ++g) {
        int8_t moved[FAST_MAX_CELLS];
        for (int32_t c = 0; c < z.cell_count; ++c)
            moved[z.symmetry_cells[g][c]] = static_cast<int8_t>(z.symmetry_pieces[g][piece_at[c]]);
        Form image;
        int rank_of[FAST_MAX_PIECES], ranks = 0;
        for (int& r : rank_of)
            r = -1;
        for (int32_t c = 0; c < z.cell_count; ++c) {
            if (rank_of[moved[c]] < 0)
                rank_of[moved[c]] = ranks++;
            image += static_cast<char>('A' + z.piece_class[moved[c]]);
            image += static_cast<char>('a' + rank_of[moved[c]]);
        }
        if (g == 0 || image < best)
            best = image;
    }
    return best;
}

// Every solution's canonical form, in the order found; `forms_of` is the puzzle with the full group.
std::vector<Form> solve(const FastPuzzle& searched, const FastPuzzle& forms_of, int32_t threads) {
    build_fast_tables(searched);
    begin_fast_search(threads);
    std::vector<Form> forms;
    FastSolution s;
    SearchCounters counters;
    while (next_fast_solution(s, counters))
        forms.push_back(canonical_form(forms_of, s));
    end_fast_search();
    return forms;
}

}  // namespace

TEST(FastSearch, EachSolutionUpToSymmetryExactlyOnce) {
    const Case cases[] = {
        {"seven-piece cube", {3, 3, 3}, SOMA, false, 480, false},
        {"seven-piece cube, mirror images alike", {3, 3, 3}, SOMA, true, 240, true},
        {"six identical V in 3 x 3 x 2", {3, 3, 2}, {V, V, V, V, V, V}, false, -1, true},
        {"nine identical bars in 3 x 3 x 3: no piece placed first", {3, 3, 3}, {I3, I3, I3, I3, I3, I3, I3, I3, I3}, true, -1, true},
        {"a square and two dominoes in 2 x 2 x 2: every square placement symmetric", {2, 2, 2}, {O4, D2, D2}, false, 1, true},
        {"a square, bars and dominoes in 4 x 2 x 2", {4, 2, 2}, {O4, L4, L4, D2, D2}, true, -1, true},
        {"squares and bars in 4 x 2 x 2", {4, 2, 2}, {O4, O4, L4, L4}, true, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FastPuzzle puzzle = fast_puzzle_of(c.box, c.pieces, c.mirror);
        FastPuzzle unbroken = puzzle;
        unbroken.symmetry_count = 1;  // the identity alone: every assembly is searched
        const std::vector<Form> all = solve(unbroken, puzzle, 1);
        const std::set<Form> expected(all.begin(), all.end());
        const std::vector<Form> one_thread = solve(puzzle, puzzle, 1);
        const std::set<Form> found(one_thread.begin(), one_thread.end());
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(fast_symmetry_breaking().tested > 0, c.tested);
        EXPECT_EQ(found.size(), one_thread.size()) << "a solution found twice";
        EXPECT_EQ(found, expected);
        if (c.known >= 0) {
            EXPECT_EQ(static_cast<int64_t>(one_thread.size()), c.known);
        }
        EXPECT_EQ(solve(puzzle, puzzle, 2), one_thread) << "two threads find them in the same order";
    }
}

// The built-in puzzle: its symmetry broken by the piece with the fewest orbits, whose
// placements have no symmetry of their own, and its first solutions in a fixed order whatever
// the threads, with their counters.
TEST(FastSearch, BuiltInPuzzleFirstSolutionsAreTheSameOnOneAndTwoThreads) {
    prepare_run();
    FastPuzzle puzzle;
    run_fast_puzzle(puzzle);
    ASSERT_EQ(puzzle.placements.size(), 4092u);
    ASSERT_EQ(puzzle.symmetry_count, 24);
    build_fast_tables(puzzle);
    const FastSymmetryBreaking b = fast_symmetry_breaking();
    EXPECT_EQ(b.restricted_piece, 0);
    EXPECT_EQ(b.placements, 48);
    EXPECT_EQ(b.representatives, 2);
    EXPECT_EQ(b.tested, 0);
    std::vector<std::vector<int64_t>> runs[2];
    for (int32_t threads : {1, 2}) {
        begin_fast_search(threads);
        FastSolution s;
        SearchCounters counters;
        for (int i = 0; i < 20 && next_fast_solution(s, counters); ++i) {
            std::vector<int64_t> seen(s.placements, s.placements + PIECE_COUNT);
            seen.insert(seen.end(), {counters.permutations, counters.tiles_attempted, counters.tiles_succeeded});
            runs[threads - 1].push_back(seen);
        }
        end_fast_search();
    }
    ASSERT_EQ(runs[0].size(), 20u);
    EXPECT_EQ(runs[0], runs[1]);
}

// A --fast run says so after the banner, on the console and in the file, then writes the usual
// start-up and solution blocks.
TEST(FastSearch, ARunSaysItIsFastAndReportsLikeADefaultRun) {
    const std::string dir = make_run_directory("fast");
    const SolverRun run = run_solver(
        TANDOR_SOLVER, dir, [](const std::string& t) { return t.find("\nSolution 3\n") != std::string::npos; }, SIGKILL,
        {.args = {"--fast"}});
    EXPECT_EQ(run.errors, "");
    const std::string banner = "Tandor Cube Solver\n\n";
    const std::string start = banner + "Search: fast (symmetry broken; counters of its own)\n\n" +
                              start_up_text().substr(banner.size());
    ASSERT_EQ(run.console.substr(0, start.size()), start);
    EXPECT_EQ(mask_digits(run.console.substr(start.size(), run.console.find("Total run time") - start.size())),
              mask_digits("\nSolution 1\n" + run.console.substr(start.size() + 12, 4 * 44) +
                          "Permutation: 01 02 03 04 05 06 07 08 09 10 11 12 13 \n"
                          "Orientation: 01 02 03 04 05 06 07 08 09 10 11 12 13 \n"
                          "permutations = 1, tiles attempted = 1, tiles succeeded = 1, solutions = 1, duplicates = 0\n"));
    const std::string file = read_whole_file(dir + "/TandorCubeSolutions.txt");
    ASSERT_EQ(file.substr(0, start.size()), start);
    EXPECT_EQ(check_output(file).faults, NO_FAULTS);
}
