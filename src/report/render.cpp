#include "report/render.hpp"

#include "model/puzzle.hpp"
#include "model/run_statistics.hpp"
#include "model/streams.hpp"

int rendering_line_length() { return puzzle.box[2] * (2 * puzzle.box[0] + 2) + puzzle.box[2] - 1; }

void render_board(std::FILE* stream, const Board& shown) {
    const int32_t X = puzzle.box[0], Y = puzzle.box[1], Z = puzzle.box[2];
    char line[MAX_BOARD_CELLS * 3];
    for (int y = Y - 1; y >= 0; --y) {
        char* at = line;
        for (int z = Z - 1; z >= 0; --z) {
            for (int x = 0; x < X; ++x) {
                const int16_t element = geometry.file_element[x + X * (y + Y * z)];
                *at++ = ' ';
                *at++ = element < 0 ? ' ' : cell_label(shown.cells[element]);
            }
            // The blank cell that closes the row, and a blank between layers.
            *at++ = ' ';
            *at++ = ' ';
            if (z > 0)
                *at++ = ' ';
        }
        *at++ = '\n';
        std::fwrite(line, 1, static_cast<size_t>(at - line), stream);
    }
}

void print_board(std::FILE* out, int32_t with_header) {
    if (with_header != 0)
        std::fprintf(out, "Solution %d\n", run_statistics.solutions);
    render_board(out, board);
    flush_stream(out);
}
