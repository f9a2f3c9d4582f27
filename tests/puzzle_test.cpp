// Puzzles from files: known counts from the literature and from a separate brute force, the same
// tree as the straightforward search on targets of every kind, the built-in puzzle written as a
// file, and bad files refused with one line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "checker.hpp"
#include "known_answers.hpp"
#include "model/puzzle_file.hpp"
#include "model/run_statistics.hpp"
#include "report/render.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "solver_process.hpp"
#include "support.hpp"
#include "symmetry/store.hpp"

namespace {

Puzzle shipped(const std::string& name) {
    Puzzle p;
    char error[2048];
    const std::string path = std::string(TANDOR_PUZZLES) + "/" + name;
    EXPECT_TRUE(read_puzzle_file(path.c_str(), p, error, sizeof error)) << error;
    return p;
}

Puzzle from_text(const std::string& text) {
    const std::string path = testing::TempDir() + "puzzle.txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    Puzzle p;
    char error[2048];
    EXPECT_TRUE(read_puzzle_file(path.c_str(), p, error, sizeof error)) << error;
    return p;
}

struct Counts {
    int32_t solutions, duplicates;
};

Counts solve(const Puzzle& p, bool mirror) {
    prepare_run(p, mirror);
    int32_t duplicates = 0;
    while (find_next_assembly())
        duplicates += store_if_unique() == StoreResult::ROTATED_DUPLICATE;
    return {run_statistics.solutions, duplicates};
}

}  // namespace

// Counts up to rotation of the target, and with mirror images alike up to rotation and
// reflection. Every assembly is found once either way, so the two add up to the same total.
TEST(Puzzles, ShippedPuzzlesGiveTheirKnownCounts) {
    struct Known {
        const char* file;
        int32_t solutions, with_mirror;
    };
    const Known known[] = {
        {"soma.txt", 480, 240},                  // the seven-piece cube
        {"pentominoes-2x3x10.txt", 24, 12},
        {"pentominoes-3x20.txt", 2, 2},
        {"pentominoes-6x10.txt", 2339, 2339},
        {"pentominoes-8x8-hole.txt", 65, 65},    // a target that is not a box
        {"trominoes-2x3x4.txt", 1203, 621},      // identical pieces: counted by a separate brute force
        {"dominoes-2x4x4.txt", 4189, 2856},
    };
    for (const Known& k : known) {
        SCOPED_TRACE(k.file);
        const Puzzle p = shipped(k.file);
        const Counts plain = solve(p, false);
        const Counts mirrored = solve(p, true);
        EXPECT_EQ(plain.solutions, k.solutions);
        EXPECT_EQ(mirrored.solutions, k.with_mirror);
        EXPECT_EQ(plain.solutions + plain.duplicates, mirrored.solutions + mirrored.duplicates);
    }
    prepare_run();
}

// The engine walks the straightforward search's tree on any target: on a box, a flat box, a
// target with a hole, one whose box holds more than 64 cells (numbered by its own cells), with
// identical pieces and with a piece of one cube.
TEST(Puzzles, EngineMatchesTheStraightforwardSearchOnEveryKindOfTarget) {
    const std::string l_target = [] {
        std::string cells = "target";
        for (int x = 0; x < 10; ++x)
            cells.append(" ").append(std::to_string(x)).append(",0,0");
        for (int y = 1; y < 9; ++y)
            cells.append(" 0,").append(std::to_string(y)).append(",0");
        return cells + "\n";
    }();
    const Puzzle puzzles[] = {
        shipped("soma.txt"),
        shipped("pentominoes-3x20.txt"),
        shipped("pentominoes-8x8-hole.txt"),
        shipped("trominoes-2x3x4.txt"),
        from_text(l_target + "piece I: 0,0,0 1,0,0 2,0,0\npiece J: 0,0,0 1,0,0 2,0,0\npiece K: 0,0,0 1,0,0 2,0,0\n"
                             "piece L: 0,0,0 1,0,0 0,1,0\npiece N: 0,0,0 0,1,0 0,2,0 0,3,0\n"
                             "piece O: 0,0,0\npiece P: 0,0,0\n"),
    };
    for (const Puzzle& p : puzzles) {
        SCOPED_TRACE(p.name);
        struct Seen {
            SearchCounters counters;
            std::vector<int32_t> order, slots;
            Board board;
        };
        auto run = [&](bool (*find_next)()) {
            prepare_run(p, false);
            std::vector<Seen> seen;
            while (seen.size() < 300 && find_next()) {
                const int32_t n = catalogue.piece_count;
                seen.push_back({run_statistics.counters, std::vector<int32_t>(search_state.piece_order, search_state.piece_order + n),
                                std::vector<int32_t>(search_state.orientation_index, search_state.orientation_index + n), board});
            }
            seen.push_back({run_statistics.counters, {}, {}, {}});
            return seen;
        };
        const std::vector<Seen> reference = run(reference_find_next_assembly);
        const std::vector<Seen> engine = run(find_next_assembly);
        search_threads = 2;  // and on two threads, where the puzzle has depths enough
        const std::vector<Seen> parallel = run(find_next_assembly);
        end_search();
        search_threads = 1;
        ASSERT_EQ(engine.size(), reference.size());
        ASSERT_EQ(parallel.size(), reference.size());
        EXPECT_GT(reference.size(), 1u);
        for (size_t k = 0; k < reference.size(); ++k) {
            EXPECT_EQ(parallel[k].counters.permutations, engine[k].counters.permutations);
            EXPECT_EQ(parallel[k].slots, engine[k].slots);
            SCOPED_TRACE("assembly " + std::to_string(k + 1));
            EXPECT_EQ(engine[k].counters.permutations, reference[k].counters.permutations);
            EXPECT_EQ(engine[k].counters.tiles_attempted, reference[k].counters.tiles_attempted);
            EXPECT_EQ(engine[k].counters.tiles_succeeded, reference[k].counters.tiles_succeeded);
            EXPECT_EQ(engine[k].order, reference[k].order);
            EXPECT_EQ(engine[k].slots, reference[k].slots);
            if (k + 1 < reference.size()) {
                EXPECT_TRUE(boards_equal(engine[k].board, reference[k].board));
            }
        }
    }
    prepare_run();
}

// A target that is not a box prints blanks off its cells; the picture keeps the file's axes.
TEST(Puzzles, FirstSolutionOfATargetWithAHole) {
    prepare_run(shipped("pentominoes-8x8-hole.txt"), false);
    ASSERT_TRUE(find_next_assembly());
    EXPECT_EQ(run_statistics.counters.permutations, 44354);
    EXPECT_EQ(run_statistics.counters.tiles_attempted, 489283);
    EXPECT_EQ(run_statistics.counters.tiles_succeeded, 21873);
    std::FILE* picture = std::tmpfile();
    render_board(picture, board);
    EXPECT_EQ(read_whole_stream(picture),
              " 8 8 8 7 7 A 3 3  \n"
              " C C 8 7 A A A 3  \n"
              " B C 8 7 7 A 4 3  \n"
              " B C C     6 4 3  \n"
              " B B 9     6 4 4  \n"
              " B 1 9 9 6 6 6 4  \n"
              " 1 1 1 9 9 5 5 5  \n"
              " 1 2 2 2 2 2 5 5  \n");
    std::fclose(picture);
    prepare_run();
}

// The built-in puzzle written as a file gives the built-in run: the same solutions under the same
// numbers, with the same counters and duplicate notices; only the header lines naming it differ.
TEST(Puzzles, TheBuiltInPuzzleAsAFileGivesTheBuiltInRun) {
    // The header's lines after the banner, up to and including the blank line that ends them.
    auto without_header = [](const std::string& text) {
        const size_t banner = std::string("Tandor Cube Solver\n\n").size();
        const size_t end = text.find("\n\n", banner);
        return end == std::string::npos ? text : text.substr(0, banner) + text.substr(end + 2);
    };
    auto has_solution_4 = [](const std::string& text) { return text.find("Solution 4\n") != std::string::npos; };
    const std::string built_in = make_run_directory("built_in"), from_file = make_run_directory("from_file");
    const SolverRun a = run_solver(TANDOR_SOLVER, built_in, has_solution_4, SIGKILL);
    const SolverRun b = run_solver(TANDOR_SOLVER, from_file, has_solution_4, SIGKILL,
                                   {.args = {"--puzzle", std::string(TANDOR_PUZZLES) + "/tandor.txt"}});
    EXPECT_EQ(b.console.rfind("Tandor Cube Solver\n\nPuzzle: Tandor Cube\nPuzzle file: ", 0), 0u);
    const std::string console_a = without_clock_lines(a.console), console_b = without_clock_lines(without_header(b.console));
    const std::string file_a = read_whole_file(built_in + "/TandorCubeSolutions.txt");
    EXPECT_EQ(check_output(read_whole_file(from_file + "/tandor-solutions.txt")).faults, NO_FAULTS);
    const std::string file_b = without_header(read_whole_file(from_file + "/tandor-solutions.txt"));
    for (const auto& [from_a, from_b] : {std::pair{console_a, console_b}, std::pair{file_a, file_b}}) {
        const size_t common = std::min(from_a.size(), from_b.size());
        ASSERT_GT(common, 1500u);  // the start-up text and a solution at least
        EXPECT_EQ(from_b.substr(0, common), from_a.substr(0, common));
    }
    EXPECT_FALSE(std::filesystem::exists(from_file + "/TandorCubeSolutions.txt"));
    EXPECT_EQ(check_output(read_whole_file(from_file + "/tandor-solutions.txt")).faults, NO_FAULTS);
}

// A file the program cannot use gets one line on standard error and status 2, and no solutions
// file is created, opened or written.
TEST(Puzzles, BadFilesGetOneLineAndNothingElse) {
    struct Bad {
        std::string text;
        std::string error;  // after "tandor-cube-solver: FILE"
    };
    const std::string box = "box 1 1 2\n";
    const std::string domino = "piece D: 0,0,0 0,0,1\n";
    std::string many_pieces = "box 2 2 16\n";
    for (int k = 0; k < 33; ++k)
        many_pieces += "piece p" + std::to_string(k) + ": 0,0,0\n";
    const Bad bad[] = {
        {"", ": the file is empty"},
        {"# nothing but a comment\n\n", ": the file holds no puzzle: no target and no piece"},
        {"boxx 1 1 2\n" + domino, ":1: unknown keyword 'boxx': a line is name, box, target or piece"},
        {box + "piece D: 0,0,x 0,0,1\n", ":2: '0,0,x' is not a cube: a cube is x,y,z, three whole numbers from -1000000 to 1000000"},
        {box + "piece D: 0,0 0,0,1\n", ":2: '0,0' is not a cube: a cube is x,y,z, three whole numbers from -1000000 to 1000000"},
        {box + "piece D 0,0,0 0,0,1\n", ":2: a piece needs a colon after its name: piece NAME: x,y,z ..."},
        {box + "piece abcdefghijklmnopqrstuvwxyz1234: 0,0,0 0,0,1\n",
         ":2: the piece name 'abcdefghijklmnopqrstuvwxyz1234' is 30 characters long; at most 29"},
        {box + "piece D: 0,0,0 0,0,0\n", ":2: piece 'D' has the cell 0,0,0 twice"},
        {"box 1 1 3\npiece D: 0,0,0 0,0,2 0,0,5\n", ":2: the cubes of piece 'D' are not all face to face: a piece is one solid"},
        {domino, ": no target: give one with 'box X Y Z' or 'target x,y,z ...'"},
        {box + "target 0,0,0 0,0,1\n" + domino, ":2: a second target: the target is given once, and line 1 gave it"},
        {"box 4 4 5\n" + domino, ":1: the target has 80 cells; at most 64"},
        {"box 0 1 2\n" + domino, ":1: a box is three whole numbers from 1 to 64: box X Y Z"},
        {many_pieces, ":34: a piece more than the limit: at most 32 pieces"},
        {"box 2 2 2\n" + domino + domino, ": the pieces have 4 cubes in all, but the target has 8 cells"},
        {"box 1 1 2\npiece D: 0,0,0\x01 0,0,1\n", ":2: a control character (byte 0x01): this is not a text file"},
        {std::string("\x7F" "ELF\x02\x01\x01", 7) + std::string(1, '\0') + "\n", ":1: a control character (byte 0x7F): this is not a text file"},
        {"name Caf\xE9\n" + box + domino, ":1: a byte 0xE9 that is not UTF-8 text: this is not a text file"},
        {box + "# " + std::string(1 << 20, 'x') + "\n" + domino, ":2: the line is longer than 4096 characters"},
        {"name a\nname b\n" + box + domino, ":2: a second name: line 1 gave the puzzle its name"},
        {domino + "target 0,0,0 0,0,1 0,0,0\n", ":2: the target has the cell 0,0,0 twice"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.error);
        const std::string dir = make_run_directory("bad_puzzle");
        std::ofstream(dir + "/bad.txt", std::ios::binary) << b.text;
        const SolverRun run = run_solver(TANDOR_SOLVER, dir, [](const std::string&) { return false; }, 0,
                                         {.args = {"-p", "bad.txt"}});
        EXPECT_EQ(run.exit_status, 2);
        EXPECT_EQ(run.errors, "tandor-cube-solver: bad.txt" + b.error + "\n");
        EXPECT_EQ(run.console, "");
        EXPECT_FALSE(std::filesystem::exists(dir + "/bad-solutions.txt"));
    }
    // A file that cannot be read, and a solutions file that would be the puzzle file itself.
    const std::string dir = make_run_directory("unreadable");
    const SolverRun missing = run_solver(TANDOR_SOLVER, dir, [](const std::string&) { return false; }, 0,
                                         {.args = {"--puzzle=none.txt"}});
    EXPECT_EQ(missing.exit_status, 2);
    EXPECT_EQ(missing.errors, "tandor-cube-solver: none.txt: cannot read it: No such file or directory\n");
    std::ofstream(dir + "/p.txt") << "box 1 1 2\n" << domino;
    const SolverRun itself = run_solver(TANDOR_SOLVER, dir, [](const std::string&) { return false; }, 0,
                                        {.args = {"-p", "p.txt", "-o", "p.txt"}});
    EXPECT_EQ(itself.exit_status, 2);
    EXPECT_EQ(read_whole_file(dir + "/p.txt"), "box 1 1 2\n" + domino);
}

// A run of a puzzle file is stopped, and fails, as a run of the built-in puzzle does, and its
// messages name its own solutions file.
TEST(Puzzles, APuzzleRunStopsAndFailsByItsOwnFile) {
    const std::vector<std::string> args = {"-p", std::string(TANDOR_PUZZLES) + "/pentominoes-6x10.txt"};
    const std::string stopped = make_run_directory("puzzle_stopped");
    const SolverRun run = run_solver(TANDOR_SOLVER, stopped,
                                     [](const std::string& c) { return c.find("\nSolution 2\n") != std::string::npos; },
                                     SIGINT, {.args = args});
    EXPECT_EQ(run.end_signal, SIGINT);
    const OutputCheck check = check_output(read_whole_file(stopped + "/pentominoes-6x10-solutions.txt"));
    EXPECT_EQ(check.faults, NO_FAULTS);
    EXPECT_GE(check.solutions, 2);
    EXPECT_EQ(run.errors.rfind("tandor-cube-solver: interrupted: pentominoes-6x10-solutions.txt holds this run's solutions 1 to " +
                                   std::to_string(check.solutions) + ", complete;", 0),
              0u)
        << run.errors;
    EXPECT_EQ(check_output(run.console, Output::CONSOLE).faults, NO_FAULTS);
    const std::string full = make_run_directory("puzzle_full");
    ASSERT_EQ(symlink("/dev/full", (full + "/pentominoes-6x10-solutions.txt").c_str()), 0);
    const SolverRun failed = run_solver(TANDOR_SOLVER, full, [](const std::string&) { return false; }, 0, {.args = args});
    EXPECT_EQ(failed.exit_status, 1);
    EXPECT_EQ(failed.errors, "tandor-cube-solver: cannot write to pentominoes-6x10-solutions.txt: No space left on device; "
                             "it holds none of this run's solutions; stopped\n");
}
