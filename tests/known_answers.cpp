#include "known_answers.hpp"

#include <cstdio>

const KnownAssembly KNOWN_ASSEMBLIES[2] = {
    {5690, 98978, 2392,
     {1, 0, 2, 3, 8, 6, 12, 10, 9, 7, 11, 4, 5},
     {3, 0, 7, 4, 9, 8, 10, 8, 20, 7, 12, 12, 6},
     " 5 5 5 A    9 6 A A    9 4 D A    9 9 D 7  \n"
     " 5 6 6 C    5 6 A 7    4 4 D 7    4 9 1 7  \n"
     " B 6 C C    8 8 3 7    B 2 D D    4 1 1 1  \n"
     " B 8 8 C    B 8 3 C    B 2 3 3    2 2 1 3  \n"},
    {59039, 998830, 19605,
     {1, 0, 2, 4, 3, 5, 12, 6, 8, 9, 11, 7, 10},
     {3, 0, 7, 2, 11, 13, 7, 9, 18, 0, 12, 4, 4},
     " B B 8 8    9 9 4 D    9 5 4 D    5 5 D D  \n"
     " 7 B 8 C    7 8 8 D    9 4 4 6    5 4 1 6  \n"
     " B B C C    7 A 3 6    9 2 6 6    5 1 1 1  \n"
     " A A A C    7 A 3 C    7 2 3 3    2 2 1 3  \n"},
};

const char* const PIECE_LIST =
    "Piece  1 has 5 cubes, labeled blue 'flat-X-plus'\n"
    "Piece  2 has 4 cubes, labeled blue 'squiggle'\n"
    "Piece  3 has 5 cubes, labeled white 'twist-right'\n"
    "Piece  4 has 5 cubes, labeled blue 'bent-Z'\n"
    "Piece  5 has 5 cubes, labeled white 'bent-L-right'\n"
    "Piece  6 has 5 cubes, labeled blue 'bent-club'\n"
    "Piece  7 has 5 cubes, labeled blue 'Z'\n"
    "Piece  8 has 5 cubes, labeled white 'twist-left'\n"
    "Piece  9 has 5 cubes, labeled blue 'bent-L-mirror'\n"
    "Piece 10 has 5 cubes, labeled blue 'bent-T'\n"
    "Piece 11 has 5 cubes, labeled white 'flat-U'\n"
    "Piece 12 has 5 cubes, labeled blue 'dislocated-plus'\n"
    "Piece 13 has 5 cubes, labeled blue 'twisted-S'\n"
    "\n\n";

std::string start_up_text() {
    return std::string("Tandor Cube Solver\n\n") + PIECE_LIST +
           "Piece  1 has 3 unique rotational orientations\n"
           "Piece  2 has 12 unique rotational orientations\n"
           "Piece  3 has 24 unique rotational orientations\n"
           "Piece  4 has 12 unique rotational orientations\n"
           "Piece  5 has 24 unique rotational orientations\n"
           "Piece  6 has 24 unique rotational orientations\n"
           "Piece  7 has 12 unique rotational orientations\n"
           "Piece  8 has 12 unique rotational orientations\n"
           "Piece  9 has 24 unique rotational orientations\n"
           "Piece 10 has 24 unique rotational orientations\n"
           "Piece 11 has 12 unique rotational orientations\n"
           "Piece 12 has 24 unique rotational orientations\n"
           "Piece 13 has 12 unique rotational orientations\n"
           "\n";
}

const Order FIRST_PROGRESS_ORIENTATIONS = {3, 0, 7, 6, 6, 15, 6, 1, 11, 7, -1, -1, -1};

std::string printed_list(const Order& values) {
    std::string text;
    for (int32_t value : values) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d ", value + 1);
        text += number;
    }
    return text;
}

std::string report_lines(const KnownAssembly& a, int32_t solutions, int32_t duplicates) {
    return "Permutation: " + printed_list(a.piece_order) + "\nOrientation: " + printed_list(a.orientation_index) +
           "\npermutations = " + std::to_string(a.permutations) + ", tiles attempted = " +
           std::to_string(a.tiles_attempted) + ", tiles succeeded = " + std::to_string(a.tiles_succeeded) +
           ", solutions = " + std::to_string(solutions) + ", duplicates = " + std::to_string(duplicates) + "\n";
}
