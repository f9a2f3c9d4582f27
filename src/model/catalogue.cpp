#include "model/catalogue.hpp"

#include "model/streams.hpp"

const PieceCatalogue BUILT_IN_CATALOGUE = {
    {
        {0, 0, 5, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, -1, 0}, {1, 1, 0}}},
        {1, 0, 4, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, -1}, {9, 9, 9}}},
        {2, 0, 5, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, -1}}},
        {3, 0, 5, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1, -1}, {-1, 1, -1}}},
        {4, 0, 5, {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 1, 0}, {0, 2, 0}}},
        {5, 0, 5, {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 1, 1}, {-1, 1, 1}}},
        {6, 0, 5, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, -1, 0}, {0, 1, 0}}},
        {7, 0, 5, {{0, 0, 0}, {1, 0, 0}, {1, -1, 0}, {0, 0, -1}, {0, 1, -1}}},
        {8, 0, 5, {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}, {1, 1, 0}, {1, 2, 0}}},
        {9, 0, 5, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, -1}, {1, 1, -1}}},
        {10, 0, 5, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {2, 1, 0}}},
        {11, 0, 5, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, -1, 0}, {2, 0, -1}}},
        {12, 0, 5, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 0, 1}, {0, 1, 0}}},
    },
    {
        "blue 'flat-X-plus'",
        "blue 'squiggle'",
        "white 'twist-right'",
        "blue 'bent-Z'",
        "white 'bent-L-right'",
        "blue 'bent-club'",
        "blue 'Z'",
        "white 'twist-left'",
        "blue 'bent-L-mirror'",
        "blue 'bent-T'",
        "white 'flat-U'",
        "blue 'dislocated-plus'",
        "blue 'twisted-S'",
    },
};

PieceCatalogue catalogue = BUILT_IN_CATALOGUE;

void list_catalogue(std::FILE* stream) {
    std::FILE* out = stream_or_console(stream);
    for (const PieceShape& shape : catalogue.shapes)
        std::fprintf(out, "Piece %2d has %d cubes, labeled %s\n", shape.piece_number + 1, shape.cube_count,
                     catalogue.piece_names[shape.piece_number]);
    std::fputs("\n\n", out);
}
