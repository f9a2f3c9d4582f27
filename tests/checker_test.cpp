// The outside checker catches what it is there to catch, on the built-in puzzle and on runs
// that carry their pieces and target in their header.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checker.hpp"
#include "known_answers.hpp"
#include "model/catalogue.hpp"

namespace {

const std::string SOLUTION_1 = std::string("Solution 1\n") + KNOWN_ASSEMBLIES[0].rendering;
const std::string SOLUTION_2 = std::string("Solution 2\n") + KNOWN_ASSEMBLIES[1].rendering;

// The first solution with its cells changed: two cells of the top row swapped (pieces 5 and A,
// each still five cubes), or every layer with x running the other way (a mirror image).
std::string swapped() {
    std::string text = SOLUTION_1;
    std::swap(text[11 + 1], text[11 + 7]);
    return text;
}
std::string mirrored() {
    std::string text = SOLUTION_1;
    for (size_t line = 11; line < text.size(); line += 44)
        for (size_t group = line; group < line + 44; group += 11) {
            std::swap(text[group + 1], text[group + 7]);
            std::swap(text[group + 3], text[group + 5]);
        }
    return text;
}

const std::string SUMMARY =
    "\nAll permutations exhausted, 1 unique solutions found, 0 duplicate rotations discarded\n"
    "Total permutations = 1, tiles attempted = 0, tiles succeeded = 0\n"
    "Total run time = 00:00:00, Total time to find last unique solution = 00:00:00\n"
    "Average piece order permutation rate = 1 / second\n";

// A run of a puzzle file: two L-shaped pieces of three cubes in a 3 x 2 x 1 box, and one of a
// target of three cells in a 2 x 2 x 1 box.
const std::string BOX_HEADER = "Tandor Cube Solver\n\nPuzzle: two L\nTarget: 6 cells in a 3 x 2 x 1 box\n"
                               "Target cells: box 3 2 1\nPiece 1 cubes: 0,0,0 1,0,0 0,1,0\n"
                               "Piece 2 cubes: 5,5,5 6,5,5 6,6,5\n\nPiece  1 has 3 cubes, labeled 1\n\n";
const std::string CORNER_HEADER = "Tandor Cube Solver\n\nTarget: 3 cells in a 2 x 2 x 1 box\n"
                                  "Target cells: 0,0,0 1,0,0 0,1,0\nPiece 1 cubes: 0,0,0 0,1,0 1,1,0\n\n";

struct CheckerCase {
    const char* what;
    std::string text;
    Output output;
    int solutions;
    std::vector<std::string> faults;
};

}  // namespace

TEST(Checker, CatchesEachFaultOfARunsOutput) {
    const CheckerCase cases[] = {
        {"a start-up and two solutions", start_up_text() + SOLUTION_1 + SOLUTION_2, Output::SOLUTIONS_FILE, 2, {}},
        {"a complete run", start_up_text() + SOLUTION_1 + SUMMARY, Output::SOLUTIONS_FILE, 1, {}},
        {"two runs, each numbered from 1", start_up_text() + SOLUTION_1 + start_up_text() + SOLUTION_1,
         Output::SOLUTIONS_FILE, 2, {}},
        {"two cells swapped", swapped(), Output::SOLUTIONS_FILE, 1,
         {"Solution 1: piece 5 is not its shape", "Solution 1: piece 10 is not its shape"}},
        {"a mirror image", mirrored(), Output::SOLUTIONS_FILE, 1,
         {"Solution 1: piece 2 is not its shape", "Solution 1: piece 3 is not its shape",
          "Solution 1: piece 4 is not its shape", "Solution 1: piece 5 is not its shape",
          "Solution 1: piece 6 is not its shape", "Solution 1: piece 8 is not its shape",
          "Solution 1: piece 9 is not its shape", "Solution 1: piece 12 is not its shape",
          "Solution 1: piece 13 is not its shape"}},
        {"a solution missing", SOLUTION_1 + "Solution 3\n" + KNOWN_ASSEMBLIES[1].rendering, Output::SOLUTIONS_FILE, 2,
         {"Solution 3 where Solution 2 was due"}},
        {"cut inside a rendering", SOLUTION_1 + "Solution 2\n" + std::string(KNOWN_ASSEMBLIES[1].rendering, 88),
         Output::SOLUTIONS_FILE, 1, {"Solution 2: the text ends inside its rendering"}},
        {"cut inside a line", SOLUTION_1 + "Solution 2", Output::SOLUTIONS_FILE, 1,
         {"Solution 2: the text ends inside its rendering", "the text ends inside a line"}},
        {"a console cut by a kill", SOLUTION_1 + "Solution 2\n" + std::string(KNOWN_ASSEMBLIES[1].rendering, 50),
         Output::CUT_CONSOLE, 1, {}},
        {"a stray line in the file", SOLUTION_1 + "garbage\n", Output::SOLUTIONS_FILE, 1,
         {"'garbage' is no line of a solutions file"}},
        {"a report line on the console", SOLUTION_1 + "Total run time = 0:0:1\npermutation: 01\n", Output::CONSOLE, 1,
         {}},
        {"pieces from the header", BOX_HEADER + "Solution 1\n 1 2 2  \n 1 1 2  \n", Output::SOLUTIONS_FILE, 1, {}},
        {"a label beyond the header's pieces", BOX_HEADER + "Solution 1\n 1 2 3  \n 1 1 2  \n", Output::SOLUTIONS_FILE,
         1,
         {"Solution 1: ' 1 2 3  ' is not a line of its rendering", "Solution 1: 5 cells covered",
          "Solution 1: piece 2 is not its shape"}},
        {"a target that is no box", CORNER_HEADER + "Solution 1\n 1    \n 1 1  \n", Output::SOLUTIONS_FILE, 1, {}},
        {"a cell outside the target", CORNER_HEADER + "Solution 1\n 1 1  \n 1    \n", Output::SOLUTIONS_FILE, 1,
         {"Solution 1: ' 1 1  ' is not a line of its rendering", "Solution 1: 2 cells covered",
          "Solution 1: piece 1 is not its shape"}},
    };
    for (const CheckerCase& c : cases) {
        const OutputCheck check = check_output(c.text, c.output);
        EXPECT_EQ(check.solutions, c.solutions) << c.what;
        EXPECT_EQ(check.faults, c.faults) << c.what;
    }
}

TEST(Checker, KnowsEveryRotationOfTheBuiltInPieces) {
    int total = 0;
    for (int p = 0; p < BUILT_IN_CATALOGUE.piece_count; ++p) {
        const PieceShape& piece = BUILT_IN_CATALOGUE.shapes[p];
        std::vector<std::array<int, 3>> cubes;
        for (int i = 0; i < piece.cube_count; ++i)
            cubes.push_back({piece.cubes[i].x, piece.cubes[i].y, piece.cubes[i].z});
        total += count_rotations(cubes);
    }
    EXPECT_EQ(total, 219);  // the orientation counts, found without the orientation table
}
