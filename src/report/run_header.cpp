#include "report/run_header.hpp"

#include "model/puzzle.hpp"

namespace {

void write_cells(std::FILE* out, const CubeOffset* cells, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        std::fprintf(out, "%s%d,%d,%d", i > 0 ? " " : "", cells[i].x, cells[i].y, cells[i].z);
    std::fputs("\n", out);
}

}  // namespace

void write_run_header(std::FILE* out, bool mirror_images_alike, const char* search) {
    const Puzzle& p = puzzle;
    const bool from_file = p.file[0] != '\0';
    if (from_file) {
        std::fprintf(out, "Puzzle: %s\nPuzzle file: %s\n", p.name, p.file);
        std::fprintf(out, "Target: %d cells in a %d x %d x %d box\n", p.cell_count, p.box[0], p.box[1], p.box[2]);
        if (p.target_is_box) {
            std::fprintf(out, "Target cells: box %d %d %d\n", p.box[0], p.box[1], p.box[2]);
        } else {
            CubeOffset cells[MAX_TARGET_CELLS];
            for (int32_t i = 0; i < p.cell_count; ++i)
                cells[i] = {p.cells[i].x, p.cells[i].y, p.cells[i].z};
            std::fputs("Target cells: ", out);
            write_cells(out, cells, p.cell_count);
        }
        for (int32_t piece = 0; piece < p.catalogue.piece_count; ++piece) {
            std::fprintf(out, "Piece %d cubes: ", piece + 1);
            write_cells(out, p.catalogue.shapes[piece].cubes, p.catalogue.shapes[piece].cube_count);
        }
    }
    if (mirror_images_alike)
        std::fputs("Mirror images: counted as the same solution\n", out);
    if (search != nullptr)
        std::fprintf(out, "Search: %s\n", search);
    if (from_file || mirror_images_alike || search != nullptr)
        std::fputs("\n", out);
}
