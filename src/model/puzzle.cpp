#include "model/puzzle.hpp"

#include <cstring>

namespace {

Puzzle built_in_puzzle() {
    Puzzle p = box_puzzle(4, 4, 4);
    std::strcpy(p.name, "Tandor Cube");
    p.catalogue = BUILT_IN_CATALOGUE;
    return p;
}

bool same_shapes(const PieceCatalogue& a, const PieceCatalogue& b) {
    if (a.piece_count != b.piece_count)
        return false;
    for (int p = 0; p < a.piece_count; ++p) {
        const PieceShape& s = a.shapes[p];
        const PieceShape& t = b.shapes[p];
        if (s.cube_count != t.cube_count)
            return false;
        for (int i = 0; i < s.cube_count; ++i)
            if (s.cubes[i].x != t.cubes[i].x || s.cubes[i].y != t.cubes[i].y || s.cubes[i].z != t.cubes[i].z)
                return false;
    }
    return true;
}

}  // namespace

Puzzle box_puzzle(int32_t x, int32_t y, int32_t z) {
    Puzzle p{};
    p.target_is_box = true;
    p.box[0] = x;
    p.box[1] = y;
    p.box[2] = z;
    for (int32_t k = 0; k < z; ++k)
        for (int32_t j = 0; j < y; ++j)
            for (int32_t i = 0; i < x; ++i)
                p.cells[p.cell_count++] = {i, j, k};
    return p;
}

const Puzzle BUILT_IN_PUZZLE = built_in_puzzle();
Puzzle puzzle = BUILT_IN_PUZZLE;

bool is_built_in_puzzle(const Puzzle& p) {
    return p.target_is_box && p.box[0] == 4 && p.box[1] == 4 && p.box[2] == 4 &&
           same_shapes(p.catalogue, BUILT_IN_PUZZLE.catalogue);
}
