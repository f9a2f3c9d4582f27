// The search on several threads against the single-threaded one: the whole output of a run's
// first 2,000 unique solutions, clock values aside, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "search/parallel.hpp"
#include "model/catalogue.hpp"
#include "search/search.hpp"
#include "symmetry/store.hpp"
#include "known_answers.hpp"
#include "support.hpp"

namespace {

constexpr int32_t UNIQUE_SOLUTIONS = 2000;

struct RunOutput {
    std::string console;
    std::string file;
};

RunOutput first_solutions(int32_t threads) {
    std::FILE* file = std::tmpfile();
    ConsoleCapture capture = begin_console_capture();
    use_puzzle(BUILT_IN_PUZZLE, false);  // start-up normalises and turns the working catalogue
    run_statistics = INITIAL_RUN_STATISTICS;
    reset_solution_store();
    search_threads = threads;
    take_solutions_file(file);
    start_up(file);
    begin_run_clock();
    while (run_statistics.solutions < UNIQUE_SOLUTIONS && find_next_assembly())
        EXPECT_EQ(handle_assembly(file), 0);
    end_search();
    search_threads = 1;
    progress_function = nullptr;
    output_streams.solutions_file = nullptr;
    RunOutput out{without_clock_lines(end_console_capture(capture)), read_whole_stream(file)};
    std::fclose(file);
    return out;
}

using Point = std::array<int, 3>;
using Shape = std::set<Point>;

// The shape moved so that its smallest coordinates are 0.
Shape at_origin(const std::vector<Point>& cubes) {
    Point low = cubes.front();
    for (const Point& c : cubes)
        for (int axis = 0; axis < 3; ++axis)
            low[axis] = std::min(low[axis], c[axis]);
    Shape shape;
    for (const Point& c : cubes)
        shape.insert({c[0] - low[0], c[1] - low[1], c[2] - low[2]});
    return shape;
}

// Every rotation of a catalogue shape, made by turning the shape itself a quarter turn about
// each axis until nothing new comes: 24 for a shape without symmetry, and never a mirror image.
std::set<Shape> rotations_of(const PieceShape& piece) {
    std::vector<Point> cubes;
    for (int i = 0; i < piece.cube_count; ++i)
        cubes.push_back({piece.cubes[i].x, piece.cubes[i].y, piece.cubes[i].z});
    std::set<Shape> found{at_origin(cubes)};
    std::vector<std::vector<Point>> waiting{cubes};
    while (!waiting.empty()) {
        const std::vector<Point> shape = waiting.back();
        waiting.pop_back();
        for (int axis = 0; axis < 3; ++axis) {
            std::vector<Point> turned;
            for (const Point& c : shape) {
                const int u = c[(axis + 1) % 3], v = c[(axis + 2) % 3];
                Point t = c;
                t[(axis + 1) % 3] = -v;
                t[(axis + 2) % 3] = u;
                turned.push_back(t);
            }
            if (found.insert(at_origin(turned)).second)
                waiting.push_back(turned);
        }
    }
    return found;
}

// Checks every "Solution N" rendering of a solutions file on its own terms, without the
// search's tables: all 64 cells covered, and each piece's cells a rotation of its catalogue shape.
struct RenderingCheck {
    int checked = 0;
    std::vector<std::string> faults;
};

RenderingCheck check_every_rendering(const std::string& file) {
    static const std::vector<std::set<Shape>> rotations = [] {
        std::vector<std::set<Shape>> all;
        for (int p = 0; p < PIECE_COUNT; ++p)
            all.push_back(rotations_of(BUILT_IN_CATALOGUE.shapes[p]));
        return all;
    }();
    RenderingCheck check;
    std::istringstream lines(file);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Solution ", 0) != 0)
            continue;
        const std::string solution = line;
        std::vector<Point> cells[PIECE_COUNT];
        int covered = 0;
        for (int y = 4; y >= 1; --y) {
            if (!std::getline(lines, line) || line.size() != 43)
                break;
            for (int z = 4; z >= 1; --z)
                for (int x = 1; x <= 4; ++x) {
                    const size_t piece = std::string("123456789ABCD").find(line[(4 - z) * 11 + 2 * x - 1]);
                    if (piece != std::string::npos) {
                        cells[piece].push_back({x, y, z});
                        ++covered;
                    }
                }
        }
        if (covered != 64)
            check.faults.push_back(solution + ": " + std::to_string(covered) + " cells covered");
        for (int p = 0; p < PIECE_COUNT; ++p)
            if (cells[p].empty() || rotations[p].count(at_origin(cells[p])) == 0)
                check.faults.push_back(solution + ": piece " + std::to_string(p + 1) + " is not its shape");
        ++check.checked;
    }
    return check;
}

}  // namespace

TEST(Parallel, TheCheckerKnowsEveryRotationAndNoMirrorImage) {
    int total = 0;
    for (int p = 0; p < PIECE_COUNT; ++p)
        total += static_cast<int>(rotations_of(BUILT_IN_CATALOGUE.shapes[p]).size());
    EXPECT_EQ(total, 219);  // the orientation counts, found without the orientation table
    const std::string known = std::string("Solution 1\n") + KNOWN_ASSEMBLIES[0].rendering;
    EXPECT_EQ(check_every_rendering(known).faults, std::vector<std::string>{});
    std::string swapped = known;
    std::swap(swapped[11 + 1], swapped[11 + 7]);  // cells of pieces 5 and A, each still five cubes
    EXPECT_EQ(check_every_rendering(swapped).faults,
              (std::vector<std::string>{"Solution 1: piece 5 is not its shape", "Solution 1: piece 10 is not its shape"}));
    std::string mirrored = known;  // x runs the other way in every layer
    for (size_t line = 11; line < mirrored.size(); line += 44)
        for (size_t group = line; group < line + 44; group += 11) {
            std::swap(mirrored[group + 1], mirrored[group + 7]);
            std::swap(mirrored[group + 3], mirrored[group + 5]);
        }
    EXPECT_FALSE(check_every_rendering(mirrored).faults.empty());
}

TEST(Parallel, ProcessorsComeFromTheAffinityMask) {
    EXPECT_GE(available_processors(), 1);
}

TEST(Parallel, OutputOfTwoThousandSolutionsIsTheSingleThreadedOutput) {
    const RunOutput single = first_solutions(1);
    ASSERT_NE(single.console.find("\nSolution 2000\n"), std::string::npos);
    int blocks = 0;
    for (size_t at = single.console.find("permutation: "); at != std::string::npos;
         at = single.console.find("permutation: ", at + 1))
        ++blocks;
    EXPECT_GE(blocks, 100);
    for (int32_t threads : {2, 4}) {
        const RunOutput parallel = first_solutions(threads);
        EXPECT_TRUE(parallel.console == single.console) << threads << " threads: console differs";
        EXPECT_TRUE(parallel.file == single.file) << threads << " threads: file differs";
    }
    const RenderingCheck check = check_every_rendering(single.file);
    EXPECT_EQ(check.checked, UNIQUE_SOLUTIONS);
    EXPECT_EQ(check.faults, std::vector<std::string>{});
}
