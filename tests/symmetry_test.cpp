// Quarter turns of the board and the duplicate filter over the store of solutions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "driver/driver.hpp"
#include "model/run_statistics.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "support.hpp"
#include "symmetry/reference_store.hpp"
#include "symmetry/rotation.hpp"
#include "symmetry/store.hpp"

namespace {

int32_t at(const Board& b, int x, int y, int z) { return b.cells[cell_index(x, y, z)]; }

// The 24 proper rotations of the cube, built from signed axis permutations with determinant +1,
// independently of rotate_board.
std::vector<Board> all_rotations(const Board& from) {
    std::vector<Board> result;
    const std::array<std::array<int, 3>, 6> perms = {{{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}}};
    const int perm_sign[6] = {1, -1, -1, 1, 1, -1};
    for (int p = 0; p < 6; ++p)
        for (int signs = 0; signs < 8; ++signs) {
            int det = perm_sign[p];
            for (int a = 0; a < 3; ++a)
                if (signs & (1 << a))
                    det = -det;
            if (det != 1)
                continue;
            Board turned;
            init_board(turned);
            for (int x = 1; x <= 4; ++x)
                for (int y = 1; y <= 4; ++y)
                    for (int z = 1; z <= 4; ++z) {
                        const int src[3] = {x, y, z};
                        int dst[3];
                        for (int a = 0; a < 3; ++a) {
                            const int v = src[perms[p][a]];
                            dst[a] = (signs & (1 << a)) ? 5 - v : v;
                        }
                        turned.cells[cell_index(dst[0], dst[1], dst[2])] = at(from, x, y, z);
                    }
            result.push_back(turned);
        }
    return result;
}

Board stored(int32_t n) {
    Board b;
    stored_board(n, b);
    return b;
}

Board first_solution() {
    prepare_run();
    find_next_assembly();
    return board;
}

}  // namespace

// The turns that map a target onto itself, found from its cells alone: as many as the box's shape
// allows, twice as many with the reflections, and only those the cells allow where the target
// is not a box.
TEST(TargetSymmetries, EachTargetKeepsTheTurnsThatMapItOntoItself) {
    struct Case {
        const char* target;
        std::vector<std::array<int, 3>> cells;
        int rotations, with_reflections;
    };
    auto box = [](int x, int y, int z) {
        std::vector<std::array<int, 3>> cells;
        for (int k = 0; k < z; ++k)
            for (int j = 0; j < y; ++j)
                for (int i = 0; i < x; ++i)
                    cells.push_back({i, j, k});
        return cells;
    };
    const Case cases[] = {
        {"a cube", box(4, 4, 4), 24, 48},
        {"a square prism", box(2, 2, 3), 8, 16},
        {"a flat square", box(5, 5, 1), 8, 16},
        {"a box of three sides", box(2, 3, 4), 4, 8},
        {"a flat rectangle", box(3, 20, 1), 4, 8},
        {"an L of three cells", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, 2, 4},
        {"a chair of four cells", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}}, 2, 2},
        {"a staircase", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 1}}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        Puzzle p{};
        p.cell_count = static_cast<int32_t>(c.cells.size());
        for (int a = 0; a < 3; ++a)
            p.box[a] = 1;
        for (int i = 0; i < p.cell_count; ++i) {
            p.cells[i] = {c.cells[i][0], c.cells[i][1], c.cells[i][2]};
            p.box[0] = std::max(p.box[0], c.cells[i][0] + 1);
            p.box[1] = std::max(p.box[1], c.cells[i][1] + 1);
            p.box[2] = std::max(p.box[2], c.cells[i][2] + 1);
        }
        // One cube, its own mirror image, as often as the target has cells.
        p.catalogue.piece_count = 1;
        p.catalogue.shapes[0].cube_count = 1;
        for (bool mirror : {false, true}) {
            use_puzzle(p, mirror);
            EXPECT_EQ(target_symmetries.rotation_count, c.rotations);
            EXPECT_EQ(target_symmetries.count, mirror ? c.with_reflections : c.rotations);
        }
    }
    prepare_run();
}

struct Filter {
    const char* name;
    StoreResult (*store)();
};

void PrintTo(const Filter& filter, std::ostream* out) { *out << filter.name; }

class EveryFilter : public ::testing::TestWithParam<Filter> {};

INSTANTIATE_TEST_SUITE_P(DuplicateFilter, EveryFilter,
                         ::testing::Values(Filter{"reference", reference_store_if_unique},
                                           Filter{"indexed", store_if_unique}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(EveryFilter, EveryRotationOfAStoredSolutionIsADuplicate) {
    const auto store_if_unique = GetParam().store;
    const Board found = first_solution();
    EXPECT_EQ(store_if_unique(), StoreResult::STORED_NEW);
    EXPECT_EQ(run_statistics.solutions, 1);
    EXPECT_TRUE(boards_equal(board, found));
    EXPECT_TRUE(boards_equal(stored(0), found));

    const std::vector<Board> rotations = all_rotations(found);
    ASSERT_EQ(rotations.size(), 24u);
    for (const Board& turned : rotations) {
        board = turned;
        EXPECT_EQ(store_if_unique(), StoreResult::ROTATED_DUPLICATE);
        EXPECT_TRUE(boards_equal(board, turned)) << "the filter hands the board back unchanged";
    }
    EXPECT_EQ(run_statistics.solutions, 1);
}

TEST_P(EveryFilter, MirrorImagesAndNewAssembliesAreStoredInOrder) {
    const auto store_if_unique = GetParam().store;
    const Board found = first_solution();
    ASSERT_EQ(store_if_unique(), StoreResult::STORED_NEW);
    const Board mirror = board_from([&](int x, int y, int z) { return at(found, x, y, 5 - z); });
    board = mirror;
    EXPECT_EQ(store_if_unique(), StoreResult::STORED_NEW);
    EXPECT_TRUE(boards_equal(board, mirror));
    board = found;  // the search continues from the assembly it left on the board
    ASSERT_TRUE(find_next_assembly());
    const Board second = board;
    EXPECT_EQ(store_if_unique(), StoreResult::STORED_NEW);
    EXPECT_EQ(store_if_unique(), StoreResult::ROTATED_DUPLICATE) << "equal cell for cell";
    EXPECT_EQ(run_statistics.solutions, 3);
    EXPECT_TRUE(boards_equal(stored(0), found));
    EXPECT_TRUE(boards_equal(stored(1), mirror));
    EXPECT_TRUE(boards_equal(stored(2), second));
}

TEST(DuplicateFilter, RotationKeyIsTheSameForAllRotationsAndDiffersForTheMirror) {
    const Board found = first_solution();
    const RotationKey key = rotation_key(found);
    for (const Board& turned : all_rotations(found)) {
        const RotationKey other = rotation_key(turned);
        EXPECT_EQ(std::memcmp(key.cells, other.cells, sizeof key.cells), 0);
    }
    const Board mirror = board_from([&](int x, int y, int z) { return at(found, 5 - x, y, z); });
    const RotationKey mirrored = rotation_key(mirror);
    EXPECT_NE(std::memcmp(key.cells, mirrored.cells, sizeof key.cells), 0);
}
