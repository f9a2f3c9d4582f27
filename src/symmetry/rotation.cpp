#include "symmetry/rotation.hpp"

#include "model/piece_sets.hpp"

TargetSymmetries target_symmetries;

namespace {

// Maps every target cell, about the centre of the target's box, by the turn; false when some
// cell's image is not a target cell. Coordinates are doubled about the centre, so that they
// stay whole.
bool map_target(const SpaceTurn& turn, int16_t* source) {
    for (int i = 0; i < geometry.cell_count; ++i) {
        const CellTriple c = element_cell(geometry.cell_element[i]);
        const CubeOffset doubled{2 * c.x - geometry.edge[0] - 1, 2 * c.y - geometry.edge[1] - 1,
                                 2 * c.z - geometry.edge[2] - 1};
        const CubeOffset t = turn_cube(turn, doubled);
        const int32_t to[3] = {t.x + geometry.edge[0] + 1, t.y + geometry.edge[1] + 1, t.z + geometry.edge[2] + 1};
        for (int32_t v : to)
            if (v % 2 != 0)
                return false;
        const int bit = bit_at(to[0] / 2, to[1] / 2, to[2] / 2);
        if (bit < 0)
            return false;
        // Cell c's piece lands on the image cell: the image's position in scan order reads c.
        int image = 0;
        while (geometry.cell_element[image] != geometry.bit_element[bit])
            ++image;
        source[image] = geometry.cell_element[i];
    }
    return true;
}

// The piece that piece p becomes in a mirror image: the copy of p's mirror image that stands as
// many copies after the first as p does after its own first; the key numbers identical pieces
// afresh anyway.
int32_t mirrored_piece(int32_t p) {
    int32_t rank = 0;
    for (int32_t q = 0; q < p; ++q)
        rank += piece_sets.same_as[q] == piece_sets.same_as[p];
    const int32_t first = piece_sets.same_as[piece_sets.mirror_of[p]];
    for (int32_t q = first; q < catalogue.piece_count; ++q)
        if (piece_sets.same_as[q] == first && rank-- == 0)
            return q;
    return p;
}

}  // namespace

void find_target_symmetries(bool mirror_images_alike) {
    TargetSymmetries& s = target_symmetries;
    s = TargetSymmetries{};
    const int32_t turns = mirror_images_alike && piece_sets.closed_under_mirror ? SPACE_TURNS : ROTATIONS;
    for (int t = 0; t < turns; ++t) {
        if (!map_target(SPACE_TURN_LIST[t], s.source[s.count]))
            continue;
        for (int p = 0; p < MAX_PIECES; ++p)
            s.relabel[s.count][p] = static_cast<int8_t>(t < ROTATIONS || p >= catalogue.piece_count ? p : mirrored_piece(p));
        if (t < ROTATIONS)
            ++s.rotation_count;
        ++s.count;
    }
}

void turn_board(int32_t g, const Board& from, Board& to) {
    init_board(to);
    for (int j = 0; j < geometry.cell_count; ++j) {
        const int32_t piece = from.cells[target_symmetries.source[g][j]];
        to.cells[geometry.cell_element[j]] = piece >= 0 ? target_symmetries.relabel[g][piece] : piece;
    }
}
