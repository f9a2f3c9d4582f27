#include "search/placement_table.hpp"

#include <cstring>
#include <initializer_list>

PlacementTable placement_table;

void build_placement_table(const int32_t* same_as) {
    PlacementTable& t = placement_table;
    const int32_t pieces = catalogue.piece_count;
    std::memset(&t, 0, sizeof t);
    t.piece_count = pieces;
    bool one_cube = false;
    for (int piece = 0; piece < pieces; ++piece)
        one_cube = one_cube || catalogue.shapes[piece].cube_count == 1;
    for (int bit = 0; bit < 64; ++bit) {
        if ((geometry.target_bits & cell_bit(bit)) == 0)
            continue;
        const CellTriple anchor = bit_cell(bit);
        for (int piece = 0; piece < pieces; ++piece) {
            uint32_t inside = 0;
            for (int o = 0; o < orientation_table.orientation_counts[piece]; ++o) {
                const PieceShape& shape = orientation_table.slots[piece][o];
                CellSet covered = 0;
                bool on_target = true;
                for (int i = 0; i < shape.cube_count && on_target; ++i) {
                    const int at = bit_at(anchor.x + shape.cubes[i].x, anchor.y + shape.cubes[i].y,
                                          anchor.z + shape.cubes[i].z);
                    on_target = at >= 0;
                    if (on_target)
                        covered |= cell_bit(at);
                }
                if (!on_target)
                    continue;
                // The anchor is the first cube in scan order, so no cube lies below it.
                if (geometry.box_bits)
                    t.relative[piece][o] = covered >> bit;
                else
                    t.placed[bit][piece][o] = covered;
                inside |= bit_of(o);
            }
            t.inside[bit * MAX_PIECES + piece] = inside;
        }
        CellSet forward = 0;
        for (const CellTriple& step : {CellTriple{1, 0, 0}, CellTriple{0, 1, 0}, CellTriple{0, 0, 1}}) {
            const int next = bit_at(anchor.x + step.x, anchor.y + step.y, anchor.z + step.z);
            if (next >= 0)
                forward |= cell_bit(next);
        }
        t.forward_neighbours[bit] = one_cube ? ~CellSet{0} : forward;
    }
    t.forward_neighbours[64] = 0;

    for (int piece = 0; piece < pieces; ++piece) {
        if (same_as[piece] == piece)
            t.first_copies |= bit_of(piece);
        for (int later = piece + 1; later < pieces; ++later)
            if (same_as[later] == same_as[piece]) {
                t.next_copy[piece] = bit_of(later);
                break;
            }
    }
    for (int part = 0; part < 4; ++part)
        for (int byte = 0; byte < 256; ++byte) {
            int32_t sum = 0;
            for (int b = 0; b < 8; ++b)
                if ((byte & (1 << b)) != 0 && part * 8 + b < pieces)
                    sum += orientation_table.orientation_counts[part * 8 + b];
            t.orientation_sum_part[part][byte] = sum;
        }
}
