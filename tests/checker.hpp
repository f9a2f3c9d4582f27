// The outside checker of what a run writes, on its own terms and without the program's tables:
// every rendering covers the target and shows each piece as a rotation of its shape (never a
// mirror image), the solutions of each run are numbered from 1 without gaps, and the text ends
// on a complete block. A run's pieces and target come from its header ("Target: ...", "Target
// cells: ...", "Piece N cubes: ..."); a run without them is of the built-in pieces in the 4 x 4 x 4
// box. Several runs may follow one another: each starts at the banner's "Tandor Cube Solver".
#pragma once

#include <array>
#include <string>
#include <vector>

enum class Output {
    SOLUTIONS_FILE,  // nothing but the banner, the header, the piece list, solutions and a summary
    CONSOLE,         // any other lines between the solutions (reports, progress blocks, notices)
    CUT_CONSOLE,     // a console cut off by a kill: it may end inside a block
};

struct OutputCheck {
    int runs = 0;       // banners read
    int solutions = 0;  // renderings checked
    std::vector<std::string> faults;
};

inline const std::vector<std::string> NO_FAULTS{};

OutputCheck check_output(const std::string& text, Output output = Output::SOLUTIONS_FILE);

// The rotations of a shape the checker knows: 24 for a shape without symmetry.
int count_rotations(const std::vector<std::array<int, 3>>& cubes);
