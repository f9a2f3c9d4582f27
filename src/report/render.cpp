#include "report/render.hpp"

#include "model/run_statistics.hpp"
#include "model/streams.hpp"

void render_board(std::FILE* stream, const Board& shown) {
    for (int y = 4; y >= 1; --y) {
        for (int z = 4; z >= 1; --z) {
            // Five cells a group: the fifth is the border cell, always a blank.
            for (int x = 1; x <= 5; ++x)
                std::fprintf(stream, " %1c", cell_label(shown.cells[cell_index(x, y, z)]));
            if (z > 1)
                std::fputs(" ", stream);
        }
        std::fputs("\n", stream);
    }
}

void print_board(std::FILE* out, int32_t with_header) {
    if (with_header != 0)
        std::fprintf(out, "Solution %d\n", run_statistics.solutions);
    render_board(out, board);
    flush_stream(out);
}
