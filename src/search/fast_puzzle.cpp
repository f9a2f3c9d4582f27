#include "search/fast_puzzle.hpp"

#include <algorithm>
#include <bit>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "orient/orientations.hpp"

void built_in_fast_puzzle(FastPuzzle& out) {
    out.cell_count = INTERIOR_CELLS;
    out.piece_count = PIECE_COUNT;
    for (int32_t p = 0; p < PIECE_COUNT; ++p)
        out.piece_class[p] = p;  // the thirteen pieces are all different
    for (int32_t c = 0; c < INTERIOR_CELLS; ++c) {
        const CellTriple a = scan_cell(c);
        CellSet near = 0;
        const int32_t steps[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const auto& s : steps)
            if (is_interior(a.x + s[0], a.y + s[1], a.z + s[2]))
                near |= cell_bit(scan_bit(a.x + s[0], a.y + s[1], a.z + s[2]));
        out.neighbours[c] = near;
    }
    // The 24 rotations: every signed permutation of the axes with determinant +1, about the
    // cube's centre (coordinates 1..4 map to 5 - v under a sign change).
    out.symmetry_count = 0;
    const int32_t axis_orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
    for (int32_t order = 0; order < 6; ++order)
        for (int32_t signs = 0; signs < 8; ++signs) {
            const int32_t flips = (signs & 1) + (signs >> 1 & 1) + (signs >> 2 & 1);
            if ((flips + (order >= 3 ? 1 : 0)) % 2 != 0)
                continue;  // a reflection
            const int32_t g = out.symmetry_count++;
            for (int32_t c = 0; c < INTERIOR_CELLS; ++c) {
                const CellTriple a = scan_cell(c);
                const int32_t v[3] = {a.x, a.y, a.z};
                int32_t w[3];
                for (int32_t k = 0; k < 3; ++k) {
                    const int32_t from = v[axis_orders[order][k]];
                    w[k] = (signs >> k & 1) != 0 ? 5 - from : from;
                }
                out.symmetry_cells[g][c] = static_cast<uint8_t>(scan_bit(w[0], w[1], w[2]));
            }
            for (int32_t p = 0; p < FAST_MAX_PIECES; ++p)
                out.symmetry_pieces[g][p] = static_cast<uint8_t>(p);
        }
    // Each slot's anchor cube is its first in scan order, so a placement anchored on a cell
    // covers that cell and cells after it only.
    out.placements.clear();
    for (int32_t c = 0; c < INTERIOR_CELLS; ++c) {
        const CellTriple a = scan_cell(c);
        for (int32_t p = 0; p < PIECE_COUNT; ++p)
            for (int32_t o = 0; o < orientation_table.orientation_counts[p]; ++o) {
                const PieceShape& shape = orientation_table.slots[p][o];
                CellSet cells = 0;
                bool inside = true;
                for (int32_t i = 0; i < shape.cube_count && inside; ++i) {
                    const int32_t x = a.x + shape.cubes[i].x, y = a.y + shape.cubes[i].y, z = a.z + shape.cubes[i].z;
                    inside = is_interior(x, y, z);
                    if (inside)
                        cells |= cell_bit(scan_bit(x, y, z));
                }
                if (inside)
                    out.placements.push_back({cells, static_cast<uint8_t>(p), static_cast<uint8_t>(o), static_cast<uint8_t>(c)});
            }
    }
}

namespace {

bool scan_before(const FastCube& a, const FastCube& b) {
    if (a.z != b.z)
        return a.z < b.z;
    if (a.y != b.y)
        return a.y < b.y;
    return a.x < b.x;
}

bool same_cube(const FastCube& a, const FastCube& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// The 48 signed permutations of the axes, rotations (determinant +1) first.
struct AxisMap {
    int32_t axis[3];
    int32_t sign[3];
    bool reflection;
};

std::vector<AxisMap> axis_maps() {
    const int32_t orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
    std::vector<AxisMap> maps;
    for (int32_t reflect = 0; reflect < 2; ++reflect)
        for (int32_t o = 0; o < 6; ++o)
            for (int32_t signs = 0; signs < 8; ++signs) {
                const int32_t flips = (signs & 1) + (signs >> 1 & 1) + (signs >> 2 & 1);
                const bool reflection = (flips + (o >= 3 ? 1 : 0)) % 2 != 0;
                if (reflection != (reflect == 1))
                    continue;
                AxisMap m{};
                for (int32_t k = 0; k < 3; ++k) {
                    m.axis[k] = orders[o][k];
                    m.sign[k] = (signs >> k & 1) != 0 ? -1 : 1;
                }
                m.reflection = reflection;
                maps.push_back(m);
            }
    return maps;
}

FastCube apply(const AxisMap& m, const FastCube& c) {
    const int32_t v[3] = {c.x, c.y, c.z};
    return {m.sign[0] * v[m.axis[0]], m.sign[1] * v[m.axis[1]], m.sign[2] * v[m.axis[2]]};
}

// The cubes sorted in scan order and moved so that the first is at the origin.
std::vector<FastCube> normalised(std::vector<FastCube> cubes) {
    std::sort(cubes.begin(), cubes.end(), scan_before);
    const FastCube first = cubes.front();
    for (FastCube& c : cubes)
        c = {c.x - first.x, c.y - first.y, c.z - first.z};
    return cubes;
}

bool same_shape(const std::vector<FastCube>& a, const std::vector<FastCube>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!same_cube(a[i], b[i]))
            return false;
    return true;
}

// The distinct rotations of a shape, normalised, in the order of the rotations.
std::vector<std::vector<FastCube>> orientations_of(const std::vector<FastCube>& cubes, const std::vector<AxisMap>& maps) {
    std::vector<std::vector<FastCube>> found;
    for (const AxisMap& m : maps) {
        if (m.reflection)
            continue;
        std::vector<FastCube> turned;
        for (const FastCube& c : cubes)
            turned.push_back(apply(m, c));
        turned = normalised(turned);
        bool seen = false;
        for (const std::vector<FastCube>& f : found)
            seen = seen || same_shape(f, turned);
        if (!seen)
            found.push_back(turned);
    }
    return found;
}

}  // namespace

bool fast_puzzle_from_cubes(const std::vector<FastCube>& target, const std::vector<std::vector<FastCube>>& pieces,
                            bool mirror, FastPuzzle& out) {
    if (target.empty() || target.size() > static_cast<size_t>(FAST_MAX_CELLS) || pieces.empty() ||
        pieces.size() > static_cast<size_t>(FAST_MAX_PIECES))
        return false;
    std::vector<FastCube> cells = target;
    std::sort(cells.begin(), cells.end(), scan_before);
    out.cell_count = static_cast<int32_t>(cells.size());
    out.piece_count = static_cast<int32_t>(pieces.size());
    auto cell_of = [&](const FastCube& c) {
        for (size_t i = 0; i < cells.size(); ++i)
            if (same_cube(cells[i], c))
                return static_cast<int32_t>(i);
        return -1;
    };
    const int32_t steps[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int32_t i = 0; i < out.cell_count; ++i) {
        out.neighbours[i] = 0;
        for (const auto& s : steps) {
            const int32_t j = cell_of({cells[i].x + s[0], cells[i].y + s[1], cells[i].z + s[2]});
            if (j >= 0)
                out.neighbours[i] |= cell_bit(j);
        }
    }
    const std::vector<AxisMap> maps = axis_maps();
    std::vector<std::vector<std::vector<FastCube>>> slots;
    for (const std::vector<FastCube>& piece : pieces) {
        if (piece.empty())
            return false;
        slots.push_back(orientations_of(piece, maps));
    }
    // A shape's piece: the first piece with that shape among its orientations, or -1.
    auto piece_with_shape = [&](const std::vector<FastCube>& shape) {
        for (size_t q = 0; q < slots.size(); ++q)
            for (const std::vector<FastCube>& o : slots[q])
                if (same_shape(o, shape))
                    return static_cast<int32_t>(q);
        return -1;
    };
    for (int32_t p = 0; p < out.piece_count; ++p)
        out.piece_class[p] = piece_with_shape(slots[p][0]);
    // The symmetries: each axis map moved back onto the target's cells.
    out.symmetry_count = 0;
    for (const AxisMap& m : maps) {
        if (m.reflection && !mirror)
            continue;
        std::vector<FastCube> moved;
        for (const FastCube& c : cells)
            moved.push_back(apply(m, c));
        FastCube low = moved[0];
        for (const FastCube& c : moved)
            low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
        FastCube base = cells[0];
        for (const FastCube& c : cells)
            base = {std::min(base.x, c.x), std::min(base.y, c.y), std::min(base.z, c.z)};
        const int32_t g = out.symmetry_count;
        bool onto = true;
        for (int32_t i = 0; i < out.cell_count && onto; ++i) {
            const int32_t j = cell_of({moved[i].x - low.x + base.x, moved[i].y - low.y + base.y, moved[i].z - low.z + base.z});
            onto = j >= 0;
            out.symmetry_cells[g][i] = static_cast<uint8_t>(j);
        }
        if (!onto)
            continue;
        for (int32_t p = 0; p < FAST_MAX_PIECES; ++p)
            out.symmetry_pieces[g][p] = static_cast<uint8_t>(p);
        if (m.reflection) {
            // Each piece becomes the piece of its mirror image; identical pieces pair up in order.
            std::vector<int32_t> taken(pieces.size(), 0);
            for (int32_t p = 0; p < out.piece_count; ++p) {
                std::vector<FastCube> image;
                for (const FastCube& c : pieces[p])
                    image.push_back(apply(m, c));
                const int32_t cls = piece_with_shape(normalised(image));
                if (cls < 0)
                    return false;
                int32_t partner = -1;
                for (int32_t q = 0; q < out.piece_count && partner < 0; ++q)
                    if (out.piece_class[q] == cls && taken[q] == 0)
                        partner = q;
                taken[partner] = 1;
                out.symmetry_pieces[g][p] = static_cast<uint8_t>(partner);
            }
        }
        ++out.symmetry_count;
    }
    // The placements: each orientation anchored, by its first cube, on each cell.
    out.placements.clear();
    for (int32_t c = 0; c < out.cell_count; ++c)
        for (int32_t p = 0; p < out.piece_count; ++p)
            for (size_t o = 0; o < slots[p].size(); ++o) {
                CellSet covered = 0;
                bool inside = true;
                for (const FastCube& q : slots[p][o]) {
                    const int32_t j = cell_of({cells[c].x + q.x, cells[c].y + q.y, cells[c].z + q.z});
                    inside = inside && j >= 0;
                    if (j >= 0)
                        covered |= cell_bit(j);
                }
                if (inside && std::popcount(covered) == static_cast<int32_t>(slots[p][o].size()))
                    out.placements.push_back({covered, static_cast<uint8_t>(p), static_cast<uint8_t>(o), static_cast<uint8_t>(c)});
            }
    return out.placements.size() <= static_cast<size_t>(FAST_MAX_PLACEMENTS);
}
