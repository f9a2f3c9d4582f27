#include "model/board.hpp"

#include <algorithm>
#include <cstring>

namespace {

BoardGeometry geometry_of(const Puzzle& p) {
    BoardGeometry g{};
    // The scan runs fastest along the shortest side; a stable sort keeps the file's order of equals.
    int order[3] = {0, 1, 2};
    std::stable_sort(order, order + 3, [&](int a, int b) { return p.box[a] < p.box[b]; });
    for (int a = 0; a < 3; ++a) {
        g.axis[a] = order[a];
        g.edge[a] = p.box[order[a]];
    }
    g.stride[2] = 1;
    g.stride[1] = g.edge[2] + 2;
    g.stride[0] = (g.edge[1] + 2) * (g.edge[2] + 2);
    g.board_cells = (g.edge[0] + 2) * g.stride[0];
    g.cell_count = p.cell_count;
    g.box_bits = g.edge[0] * g.edge[1] * g.edge[2] <= 64;
    std::memset(g.bit_element, 0xFF, sizeof g.bit_element);
    std::memset(g.element_bit, 0xFF, sizeof g.element_bit);
    std::memset(g.file_element, 0xFF, sizeof g.file_element);
    // The target's cells on the board, in scan order: z slowest, then y, then x.
    int32_t elements[MAX_TARGET_CELLS];
    CellTriple at[MAX_TARGET_CELLS];
    for (int i = 0; i < p.cell_count; ++i) {
        const int32_t file[3] = {p.cells[i].x, p.cells[i].y, p.cells[i].z};
        at[i] = {file[g.axis[0]] + 1, file[g.axis[1]] + 1, file[g.axis[2]] + 1};
    }
    std::sort(at, at + p.cell_count, [](const CellTriple& a, const CellTriple& b) {
        return a.z != b.z ? a.z < b.z : a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    for (int i = 0; i < p.cell_count; ++i) {
        const CellTriple c = at[i];
        elements[i] = c.x * g.stride[0] + c.y * g.stride[1] + c.z;
        g.cell_element[i] = static_cast<int16_t>(elements[i]);
        const int bit = g.box_bits ? (c.x - 1) + g.edge[0] * ((c.y - 1) + g.edge[1] * (c.z - 1)) : i;
        g.bit_element[bit] = static_cast<int16_t>(elements[i]);
        g.bit_triple[bit] = c;
        g.element_bit[elements[i]] = static_cast<int8_t>(bit);
        g.target_bits |= cell_bit(bit);
        int32_t file[3];
        const int32_t board_axes[3] = {c.x - 1, c.y - 1, c.z - 1};
        for (int a = 0; a < 3; ++a)
            file[g.axis[a]] = board_axes[a];
        g.file_element[file[0] + p.box[0] * (file[1] + p.box[1] * file[2])] = static_cast<int16_t>(elements[i]);
    }
    return g;
}

}  // namespace

// The built-in puzzle's cube until a run makes its puzzle the board's.
BoardGeometry geometry = geometry_of(box_puzzle(4, 4, 4));
Board board;

void set_board_geometry(const Puzzle& p) { geometry = geometry_of(p); }

CubeOffset to_board_axes(const CubeOffset& c) {
    const int32_t file[3] = {c.x, c.y, c.z};
    return {file[geometry.axis[0]], file[geometry.axis[1]], file[geometry.axis[2]]};
}

CellTriple element_cell(int element) {
    return {element / geometry.stride[0], element % geometry.stride[0] / geometry.stride[1],
            element % geometry.stride[1]};
}

int bit_at(int x, int y, int z) {
    if (x < 1 || y < 1 || z < 1 || x > geometry.edge[0] || y > geometry.edge[1] || z > geometry.edge[2])
        return -1;
    return geometry.element_bit[cell_index(x, y, z)];
}

void init_board(Board& target) {
    for (int i = 0; i < geometry.board_cells; ++i)
        target.cells[i] = geometry.element_bit[i] >= 0 ? EMPTY_CELL : BORDER_CELL;
}

bool boards_equal(const Board& a, const Board& b) {
    return std::memcmp(a.cells, b.cells, sizeof(int32_t) * static_cast<size_t>(geometry.board_cells)) == 0;
}
