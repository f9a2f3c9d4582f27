#include "report/viewer_pieces.hpp"

#include <cstring>

#include "model/catalogue.hpp"
#include "report/render.hpp"

void write_viewer_pieces(std::FILE* out) {
    std::fputs("// The solver's piece catalogue, written from the C++ catalogue by a build step; do not\n"
               "// edit: run `cmake --build build/release --target viewer-pieces` to write it anew.\n"
               "export const PIECES = [\n",
               out);
    for (int p = 0; p < PIECE_COUNT; ++p) {
        const PieceShape& shape = BUILT_IN_CATALOGUE.shapes[p];
        const char* name = BUILT_IN_CATALOGUE.piece_names[p];
        const int colour_length = static_cast<int>(std::strcspn(name, " "));
        std::fprintf(out, "  { number: %d, label: '%c', name: \"%s\", colour: '%.*s', cubes: [", p + 1,
                     cell_label(p), name, colour_length, name);
        for (int i = 0; i < shape.cube_count; ++i)
            std::fprintf(out, "%s[%d, %d, %d]", i > 0 ? ", " : "", shape.cubes[i].x, shape.cubes[i].y,
                         shape.cubes[i].z);
        std::fputs("] },\n", out);
    }
    std::fputs("];\n", out);
}
