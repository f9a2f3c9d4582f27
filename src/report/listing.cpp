#include "report/listing.hpp"

#include "model/catalogue.hpp"

void list_catalogue(std::FILE* out) {
    for (int32_t p = 0; p < catalogue.piece_count; ++p) {
        const PieceShape& shape = catalogue.shapes[p];
        std::fprintf(out, "Piece %2d has %d cubes, labeled %s\n", shape.piece_number + 1, shape.cube_count,
                     catalogue.piece_names[shape.piece_number]);
    }
    std::fputs("\n\n", out);
}
