#include "checker.hpp"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "model/catalogue.hpp"

namespace {

using Point = std::array<int, 3>;
using Shape = std::set<Point>;

const std::string LABELS = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The lines of a solutions file outside its solutions: the header's, the piece list's, the summary's.
const char* const FILE_LINE_STARTS[] = {"Puzzle: ", "Puzzle file: ", "Target: ", "Target cells: ", "Piece ",
                                        "Mirror images: ", "Search: ", "All permutations exhausted, ",
                                        "Total permutations = ", "Total run time = ",
                                        "Average piece order permutation rate = "};

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

// Every rotation of a shape, made by turning the shape itself a quarter turn about each axis
// until nothing new comes: never a mirror image.
std::set<Shape> rotations_of(const std::vector<Point>& cubes) {
    std::set<Shape> found{at_origin(cubes)};
    std::vector<std::vector<Point>> waiting{cubes};
    while (!waiting.empty()) {
        const std::vector<Point> shape = waiting.back();
        waiting.pop_back();
        for (int axis = 0; axis < 3; ++axis) {
            std::vector<Point> turned;
            for (const Point& c : shape) {
                Point t = c;
                t[(axis + 1) % 3] = -c[(axis + 2) % 3];
                t[(axis + 2) % 3] = c[(axis + 1) % 3];
                turned.push_back(t);
            }
            if (found.insert(at_origin(turned)).second)
                waiting.push_back(turned);
        }
    }
    return found;
}

// "x,y,z x,y,z ..." as points; false when anything else stands there.
bool read_points(const std::string& text, std::vector<Point>& points) {
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        Point p{};
        char end = 0;
        if (std::sscanf(word.c_str(), "%d,%d,%d%c", &p[0], &p[1], &p[2], &end) != 3)
            return false;
        points.push_back(p);
    }
    return !points.empty();
}

// One run's puzzle, as its header gives it.
struct RunPuzzle {
    Point box{4, 4, 4};
    int cell_count = 64;
    std::set<Point> target;             // empty for every cell of the box
    std::map<int, std::vector<Point>> pieces;  // by number, from 1
};

// What a rendering must show: the target's cells, and the rotations of each piece.
struct Expected {
    Point box;
    int cell_count;
    std::set<Point> target;
    std::vector<std::set<Shape>> rotations;
};

Expected expected_of(const RunPuzzle& puzzle, std::vector<std::string>& faults) {
    Expected expected{puzzle.box, puzzle.cell_count, puzzle.target, {}};
    if (puzzle.pieces.empty()) {
        static const std::vector<std::set<Shape>> built_in = [] {
            std::vector<std::set<Shape>> all;
            for (int p = 0; p < BUILT_IN_CATALOGUE.piece_count; ++p) {
                const PieceShape& piece = BUILT_IN_CATALOGUE.shapes[p];
                std::vector<Point> cubes;
                for (int i = 0; i < piece.cube_count; ++i)
                    cubes.push_back({piece.cubes[i].x, piece.cubes[i].y, piece.cubes[i].z});
                all.push_back(rotations_of(cubes));
            }
            return all;
        }();
        expected.rotations = built_in;
        return expected;
    }
    int cubes = 0;
    for (const auto& [number, piece] : puzzle.pieces) {
        if (number != static_cast<int>(expected.rotations.size()) + 1)
            faults.push_back("the header has piece " + std::to_string(number) + " after piece " +
                             std::to_string(expected.rotations.size()));
        expected.rotations.push_back(rotations_of(piece));
        cubes += static_cast<int>(piece.size());
    }
    if (cubes != puzzle.cell_count)
        faults.push_back("the header's pieces have " + std::to_string(cubes) + " cubes for " +
                         std::to_string(puzzle.cell_count) + " cells");
    return expected;
}

// Reads one header line into the puzzle; false for a line that is none.
bool read_header_line(const std::string& line, RunPuzzle& puzzle, std::vector<std::string>& faults) {
    int n = 0, x = 0, y = 0, z = 0;
    char end = 0;
    if (std::sscanf(line.c_str(), "Target: %d cells in a %d x %d x %d box%c", &n, &x, &y, &z, &end) == 4) {
        puzzle.box = {x, y, z};
        puzzle.cell_count = n;
    } else if (line.rfind("Target cells: ", 0) == 0) {
        std::vector<Point> cells;
        const std::string rest = line.substr(14);
        if (std::sscanf(rest.c_str(), "box %d %d %d%c", &x, &y, &z, &end) == 3) {
            if (Point{x, y, z} != puzzle.box || x * y * z != puzzle.cell_count)
                faults.push_back(line + ": not the box of the Target line");
        } else if (!read_points(rest, cells)) {
            faults.push_back(line + ": not a list of cells");
        } else {
            puzzle.target.insert(cells.begin(), cells.end());
            if (static_cast<int>(puzzle.target.size()) != puzzle.cell_count)
                faults.push_back(line + ": not " + std::to_string(puzzle.cell_count) + " cells");
        }
    } else if (std::sscanf(line.c_str(), "Piece %d cubes:%n", &n, &x) == 1 && x > 0) {
        std::vector<Point> cubes;
        if (!read_points(line.substr(static_cast<size_t>(x)), cubes))
            faults.push_back(line + ": not a list of cubes");
        else
            puzzle.pieces[n] = cubes;
    } else {
        return false;
    }
    return true;
}

// Checks the rendering of `solution` in `lines` (its first line at `at`) and moves past it.
void check_rendering(const std::vector<std::string>& lines, size_t& at, const std::string& solution,
                     const Expected& expected, bool may_end_cut, OutputCheck& check) {
    const auto [X, Y, Z] = expected.box;
    const size_t width = static_cast<size_t>(Z * (2 * X + 2) + (Z - 1));
    const int pieces = static_cast<int>(expected.rotations.size());
    std::vector<std::vector<Point>> cells(static_cast<size_t>(pieces));
    int covered = 0;
    for (int y = Y - 1; y >= 0; --y, ++at) {
        if (at >= lines.size()) {
            if (!may_end_cut)
                check.faults.push_back(solution + ": the text ends inside its rendering");
            return;
        }
        const std::string& line = lines[at];
        bool well_formed = line.size() == width;
        for (size_t column = 0; well_formed && column < width; ++column) {
            const int in_group = static_cast<int>(column) % (2 * X + 3);
            const Point cell{(in_group - 1) / 2, y, Z - 1 - static_cast<int>(column) / (2 * X + 3)};
            const bool label_column = in_group % 2 == 1 && in_group < 2 * X;
            const bool in_target = expected.target.empty() || expected.target.count(cell) != 0;
            const size_t piece = LABELS.find(line[column]);
            if (!label_column || !in_target)
                well_formed = line[column] == ' ';
            else if (piece != std::string::npos && static_cast<int>(piece) < pieces) {
                cells[piece].push_back(cell);
                ++covered;
            } else {
                well_formed = line[column] == ' ';
            }
        }
        if (!well_formed)
            check.faults.push_back(solution + ": '" + line + "' is not a line of its rendering");
    }
    if (covered != expected.cell_count)
        check.faults.push_back(solution + ": " + std::to_string(covered) + " cells covered");
    for (int p = 0; p < pieces; ++p)
        if (cells[p].empty() || expected.rotations[p].count(at_origin(cells[p])) == 0)
            check.faults.push_back(solution + ": piece " + std::to_string(p + 1) + " is not its shape");
    ++check.solutions;
}

}  // namespace

int count_rotations(const std::vector<std::array<int, 3>>& cubes) { return static_cast<int>(rotations_of(cubes).size()); }

OutputCheck check_output(const std::string& text, Output output) {
    OutputCheck check;
    std::vector<std::string> lines;
    // A console cut off by a kill is read up to its last complete line.
    std::istringstream in(output == Output::CUT_CONSOLE ? text.substr(0, text.rfind('\n') + 1) : text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    RunPuzzle puzzle;
    Expected expected{};
    bool expected_known = false;
    int next_number = 1;
    for (size_t at = 0; at < lines.size();) {
        const std::string& line = lines[at++];
        int number = 0;
        char end = 0;
        if (line == "Tandor Cube Solver") {
            ++check.runs;
            puzzle = RunPuzzle{};
            expected_known = false;
            next_number = 1;
        } else if (std::sscanf(line.c_str(), "Solution %d%c", &number, &end) == 1) {
            if (number != next_number)
                check.faults.push_back(line + " where Solution " + std::to_string(next_number) + " was due");
            next_number = number + 1;
            if (!expected_known)
                expected = expected_of(puzzle, check.faults);
            expected_known = true;
            check_rendering(lines, at, line, expected, output == Output::CUT_CONSOLE, check);
        } else if (!read_header_line(line, puzzle, check.faults) && output == Output::SOLUTIONS_FILE && !line.empty() &&
                   std::none_of(std::begin(FILE_LINE_STARTS), std::end(FILE_LINE_STARTS),
                                [&](const char* start) { return line.rfind(start, 0) == 0; })) {
            check.faults.push_back("'" + line + "' is no line of a solutions file");
        }
    }
    if (output != Output::CUT_CONSOLE && !text.empty() && text.back() != '\n')
        check.faults.push_back("the text ends inside a line");
    return check;
}
