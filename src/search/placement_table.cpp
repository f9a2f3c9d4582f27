#include "search/placement_table.hpp"

PlacementTable placement_table;

void build_placement_table() {
    PlacementTable& t = placement_table;
    for (int piece = 0; piece < PIECE_COUNT; ++piece)
        for (int o = 0; o < MAX_ORIENTATIONS; ++o)
            t.relative[piece][o] = 0;
    for (int bit = 0; bit < INTERIOR_CELLS; ++bit) {
        const CellTriple anchor = scan_cell(bit);
        for (int piece = 0; piece < PIECE_COUNT; ++piece) {
            uint32_t inside = 0;
            for (int o = 0; o < orientation_table.orientation_counts[piece]; ++o) {
                const PieceShape& shape = orientation_table.slots[piece][o];
                CellSet covered = 0;
                bool stays_inside = true;
                for (int i = 0; i < shape.cube_count && stays_inside; ++i) {
                    const int x = anchor.x + shape.cubes[i].x;
                    const int y = anchor.y + shape.cubes[i].y;
                    const int z = anchor.z + shape.cubes[i].z;
                    stays_inside = is_interior(x, y, z);
                    if (stays_inside)
                        covered |= cell_bit(scan_bit(x, y, z));
                }
                if (!stays_inside)
                    continue;
                // The anchor is the first cube in scan order, so no cube lies below it.
                t.relative[piece][o] = covered >> bit;
                inside |= bit_of(o);
            }
            t.inside[bit * PIECE_COUNT + piece] = inside;
        }
        CellSet forward = 0;
        if (anchor.x < 4)
            forward |= cell_bit(bit + 1);
        if (anchor.y < 4)
            forward |= cell_bit(bit + 4);
        if (anchor.z < 4)
            forward |= cell_bit(bit + 16);
        t.forward_neighbours[bit] = forward;
    }
    t.forward_neighbours[INTERIOR_CELLS] = 0;

    for (uint32_t set = 0; set < bit_of(PIECE_COUNT); ++set) {
        int32_t sum = 0;
        for (int piece = 0; piece < PIECE_COUNT; ++piece)
            if (set & bit_of(piece))
                sum += orientation_table.orientation_counts[piece];
        if (set < 128)
            t.orientation_sum_low[set] = sum;
        if ((set & 127) == 0)
            t.orientation_sum_high[set >> 7] = sum;
    }
}
