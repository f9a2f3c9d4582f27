#include "orient/orientations.hpp"

#include <cstring>

#include "model/board.hpp"
#include "model/streams.hpp"
#include "orient/normalise.hpp"

OrientationTable orientation_table;

void reset_orientation_table() {
    // Every field is a 32-bit integer, so a fill with all-ones bytes makes each one -1.
    std::memset(&orientation_table.slots, 0xFF, sizeof orientation_table.slots);
    for (int32_t& count : orientation_table.orientation_counts)
        count = 0;
}

void rotate_shape(int32_t turn_type, PieceShape& shape) {
    for (int i = 0; i < shape.cube_count; ++i) {
        CubeOffset& c = shape.cubes[i];
        const CubeOffset was = c;
        switch (turn_type) {
        case 0: c = {was.x, was.z, -was.y}; break;
        case 1: c = {-was.z, was.y, was.x}; break;
        case 2: c = {was.y, -was.x, was.z}; break;
        default: break;
        }
    }
    check_shape_bounds(shape);
    normalise_shape(shape);
}

static bool same_cube(const CubeOffset& a, const CubeOffset& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

int32_t add_orientation(const PieceShape& candidate) {
    const int32_t p = candidate.piece_number;
    const int32_t n = orientation_table.orientation_counts[p];
    const int32_t m = candidate.cube_count;
    for (int32_t o = 0; o < n; ++o) {
        const PieceShape& stored = orientation_table.slots[p][o];
        int32_t matches = 0;
        for (int32_t a = 0; a < m; ++a)
            for (int32_t b = 0; b < m; ++b)
                if (same_cube(stored.cubes[a], candidate.cubes[b]))
                    ++matches;
        if (matches == m)
            return 0;
    }
    orientation_table.orientation_counts[p] = n + 1;
    orientation_table.slots[p][n] = candidate;
    return 1;
}

int32_t generate_orientations(int32_t p) {
    PieceShape& shape = catalogue.shapes[p];
    int32_t stored = 0;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                shape.orientation_number = stored;
                if (i == 0 && j == 0 && k == 0) {
                    stored = add_orientation(shape);
                    if (stored == 0) {
                        std::fprintf(console_stream(), "failed to add initial orientation for piece %d\n", p);
                        consistency_stop();
                    }
                } else {
                    rotate_shape(0, shape);
                    stored += add_orientation(shape);
                }
            }
            rotate_shape(1, shape);
        }
        rotate_shape(2, shape);
    }
    return stored;
}

void verify_orientation_table() {
    for (int32_t p = 0; p < catalogue.piece_count; ++p)
        for (int32_t o = 0; o < orientation_table.orientation_counts[p]; ++o) {
            const PieceShape& slot = orientation_table.slots[p][o];
            if (slot.piece_number != p) {
                std::fprintf(console_stream(), "bad piece number %d\n", p + 1);
                consistency_stop();
            }
            if (slot.orientation_number != o) {
                std::fprintf(console_stream(), "bad orientation_number %d\n", o + 1);
                consistency_stop();
            }
            check_shape_bounds(slot);
        }
}

void set_working_catalogue(const Puzzle& p) {
    catalogue = p.catalogue;
    for (int32_t piece = 0; piece < catalogue.piece_count; ++piece) {
        PieceShape& shape = catalogue.shapes[piece];
        for (int i = 0; i < shape.cube_count; ++i)
            shape.cubes[i] = to_board_axes(shape.cubes[i]);
    }
}

void build_orientation_table() {
    set_working_catalogue(puzzle);
    reset_orientation_table();
    for (int32_t p = 0; p < catalogue.piece_count; ++p) {
        normalise_shape(catalogue.shapes[p]);
        generate_orientations(p);
    }
}
