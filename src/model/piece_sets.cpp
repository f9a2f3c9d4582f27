#include "model/piece_sets.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr int PERMUTATIONS[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};

// The even permutations come first; a turn is a rotation when its permutation's parity and the
// number of its negated axes agree.
std::array<SpaceTurn, SPACE_TURNS> make_turns() {
    std::array<SpaceTurn, SPACE_TURNS> turns{};
    int rotations = 0, reflections = ROTATIONS;
    for (int p = 0; p < 6; ++p)
        for (int signs = 0; signs < 8; ++signs) {
            SpaceTurn t{};
            int negated = 0;
            for (int a = 0; a < 3; ++a) {
                t.from[a] = PERMUTATIONS[p][a];
                t.sign[a] = (signs >> a & 1) != 0 ? -1 : 1;
                negated += (signs >> a) & 1;
            }
            const bool odd = p >= 3;
            if ((negated % 2 == 1) == odd)
                turns[rotations++] = t;
            else
                turns[reflections++] = t;
        }
    return turns;
}


using Form = std::array<int32_t, 3 * MAX_CUBES>;

// The cubes moved so that their smallest coordinates are 0, sorted: equal for equal shapes in
// the same place of space.
Form form_of(const CubeOffset* cubes, int count, const SpaceTurn& t) {
    CubeOffset turned[MAX_CUBES];
    CubeOffset low{0, 0, 0};
    for (int i = 0; i < count; ++i) {
        turned[i] = turn_cube(t, cubes[i]);
        if (i == 0 || turned[i].x < low.x)
            low.x = turned[i].x;
        if (i == 0 || turned[i].y < low.y)
            low.y = turned[i].y;
        if (i == 0 || turned[i].z < low.z)
            low.z = turned[i].z;
    }
    std::array<int64_t, MAX_CUBES> codes{};
    for (int i = 0; i < count; ++i)
        codes[i] = (static_cast<int64_t>(turned[i].x - low.x) << 40) | (static_cast<int64_t>(turned[i].y - low.y) << 20) |
                   (turned[i].z - low.z);
    std::sort(codes.begin(), codes.begin() + count);
    Form form{};
    for (int i = 0; i < count; ++i) {
        form[3 * i] = static_cast<int32_t>(codes[i] >> 40);
        form[3 * i + 1] = static_cast<int32_t>(codes[i] >> 20 & 0xFFFFF);
        form[3 * i + 2] = static_cast<int32_t>(codes[i] & 0xFFFFF);
    }
    return form;
}

// The smallest form over the rotations: equal exactly for shapes that are rotations of each other.
Form rotation_form(const CubeOffset* cubes, int count, bool mirrored) {
    CubeOffset shown[MAX_CUBES];
    for (int i = 0; i < count; ++i)
        shown[i] = mirrored ? CubeOffset{-cubes[i].x, cubes[i].y, cubes[i].z} : cubes[i];
    Form best = form_of(shown, count, SPACE_TURN_LIST[0]);
    for (int r = 1; r < ROTATIONS; ++r)
        best = std::min(best, form_of(shown, count, SPACE_TURN_LIST[r]));
    return best;
}

}  // namespace

const std::array<SpaceTurn, SPACE_TURNS> SPACE_TURN_LIST = make_turns();
PieceSets piece_sets;

CubeOffset turn_cube(const SpaceTurn& t, const CubeOffset& c) {
    const int32_t v[3] = {c.x, c.y, c.z};
    return {t.sign[0] * v[t.from[0]], t.sign[1] * v[t.from[1]], t.sign[2] * v[t.from[2]]};
}

void find_piece_sets(const PieceCatalogue& pieces) {
    PieceSets& sets = piece_sets;
    sets = PieceSets{};
    const int32_t n = pieces.piece_count;
    Form plain[MAX_PIECES], mirror[MAX_PIECES];
    int32_t copies[MAX_PIECES] = {};
    for (int p = 0; p < n; ++p) {
        plain[p] = rotation_form(pieces.shapes[p].cubes, pieces.shapes[p].cube_count, false);
        mirror[p] = rotation_form(pieces.shapes[p].cubes, pieces.shapes[p].cube_count, true);
    }
    for (int p = 0; p < n; ++p) {
        const int32_t count = pieces.shapes[p].cube_count;
        sets.same_as[p] = p;
        sets.mirror_of[p] = -1;
        for (int q = 0; q < n; ++q) {
            if (pieces.shapes[q].cube_count != count)
                continue;
            if (q < sets.same_as[p] && plain[q] == plain[p])
                sets.same_as[p] = q;
            if (sets.mirror_of[p] < 0 && plain[q] == mirror[p])
                sets.mirror_of[p] = q;
        }
        ++copies[sets.same_as[p]];
        sets.has_identical = sets.has_identical || sets.same_as[p] != p;
    }
    sets.closed_under_mirror = true;
    for (int p = 0; p < n; ++p)
        if (sets.same_as[p] == p)
            sets.closed_under_mirror = sets.closed_under_mirror && sets.mirror_of[p] >= 0 &&
                                       copies[sets.same_as[sets.mirror_of[p]]] == copies[p];
}
