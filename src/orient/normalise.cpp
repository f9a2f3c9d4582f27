#include "orient/normalise.hpp"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "model/streams.hpp"

void check_shape_bounds(const PieceShape& shape) {
    for (int i = 0; i < shape.cube_count; ++i) {
        const CubeOffset& c = shape.cubes[i];
        if (std::abs(c.x) > COORD_LIMIT || std::abs(c.y) > COORD_LIMIT || std::abs(c.z) > COORD_LIMIT) {
            std::fprintf(console_stream(), "cube %d out of bounds\n", i);
            print_shape(shape);
            consistency_stop();
        }
    }
}

int32_t find_anchor_cube(const PieceShape& shape) {
    if (shape.cube_count <= 0)
        return -1;
    int32_t anchor = -1;
    int32_t min_z = COORD_LIMIT + 1;
    for (int i = 0; i < shape.cube_count; ++i)
        if (shape.cubes[i].z < min_z) {
            min_z = shape.cubes[i].z;
            anchor = i;
        }
    int32_t min_y = COORD_LIMIT + 1;
    for (int i = 0; i < shape.cube_count; ++i)
        if (shape.cubes[i].z == min_z && shape.cubes[i].y < min_y) {
            min_y = shape.cubes[i].y;
            anchor = i;
        }
    int32_t min_x = COORD_LIMIT + 1;
    for (int i = 0; i < shape.cube_count; ++i)
        if (shape.cubes[i].z == min_z && shape.cubes[i].y == min_y && shape.cubes[i].x < min_x) {
            min_x = shape.cubes[i].x;
            anchor = i;
        }
    return anchor;
}

void normalise_shape(PieceShape& shape) {
    check_shape_bounds(shape);
    const int32_t anchor = find_anchor_cube(shape);
    if (shape.cube_count > 0) {
        const CubeOffset origin = shape.cubes[anchor];
        double dist[MAX_CUBES];
        for (int i = 0; i < shape.cube_count; ++i) {
            CubeOffset& c = shape.cubes[i];
            c.x -= origin.x;
            c.y -= origin.y;
            c.z -= origin.z;
            dist[i] = std::sqrt(static_cast<double>(c.x * c.x + c.y * c.y + c.z * c.z));
        }
        // Exchange sort, not stable: the order among equal distances is part of the table's
        // contract, since the search tests cubes in this order.
        for (int i = 0; i < shape.cube_count - 1; ++i)
            for (int j = i + 1; j < shape.cube_count; ++j)
                if (dist[j] < dist[i]) {
                    std::swap(shape.cubes[i], shape.cubes[j]);
                    std::swap(dist[i], dist[j]);
                }
    }
    check_shape_bounds(shape);
}

void print_shape(const PieceShape& shape) {
    std::FILE* out = console_stream();
    std::fprintf(out, "PIECE %2d ORIENT %2d : ", shape.piece_number + 1, shape.orientation_number + 1);
    for (int i = 0; i < shape.cube_count; ++i)
        std::fprintf(out, "(%2d,%2d,%2d) ", shape.cubes[i].x, shape.cubes[i].y, shape.cubes[i].z);
    std::fputs("\n", out);
}
