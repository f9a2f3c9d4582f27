// Quarter turns of the board and the duplicate filter over the store of solutions.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "model/run_statistics.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "support.hpp"
#include "symmetry/reference_store.hpp"
#include "symmetry/rotation.hpp"
#include "symmetry/store.hpp"

namespace {

// Every interior cell holds a value of its own.
Board numbered_board() {
    return board_from([](int x, int y, int z) { return x * 100 + y * 10 + z; });
}

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

Board first_solution() {
    prepare_run();
    find_next_assembly();
    return board;
}

}  // namespace

TEST(BoardRotation, CellMovesOfEachTurnType) {
    struct Move {
        int type;
        std::array<int, 3> from, to;
    };
    const Move moves[] = {
        {0, {1, 1, 1}, {1, 1, 4}}, {0, {1, 1, 4}, {1, 4, 4}}, {0, {1, 4, 4}, {1, 4, 1}}, {0, {1, 4, 1}, {1, 1, 1}},
        {0, {1, 2, 3}, {1, 3, 3}}, {1, {1, 1, 1}, {4, 1, 1}}, {1, {4, 1, 1}, {4, 1, 4}}, {1, {4, 1, 4}, {1, 1, 4}},
        {1, {1, 1, 4}, {1, 1, 1}}, {1, {1, 2, 3}, {2, 2, 1}}, {2, {1, 1, 1}, {1, 4, 1}}, {2, {1, 4, 1}, {4, 4, 1}},
        {2, {4, 4, 1}, {4, 1, 1}}, {2, {4, 1, 1}, {1, 1, 1}}, {2, {1, 2, 3}, {2, 4, 3}},
    };
    const Board start = numbered_board();
    for (const Move& m : moves) {
        Board b = start;
        rotate_board(m.type, b);
        EXPECT_EQ(at(b, m.to[0], m.to[1], m.to[2]), at(start, m.from[0], m.from[1], m.from[2])) << "type " << m.type;
    }
}

TEST(BoardRotation, FourTurnsRestoreTwoDoNotAndTheBorderStays) {
    const Board start = numbered_board();
    for (int type = 0; type < 3; ++type) {
        Board b = start;
        rotate_board(type, b);
        for (int x = 1; x <= 4; ++x)
            for (int y = 1; y <= 4; ++y)
                for (int z = 1; z <= 4; ++z)
                    EXPECT_NE(at(b, x, y, z), at(start, x, y, z)) << "a quarter turn moves every interior cell";
        rotate_board(type, b);
        EXPECT_FALSE(boards_equal(b, start));
        rotate_board(type, b);
        rotate_board(type, b);
        EXPECT_TRUE(boards_equal(b, start)) << "type " << type;
        for (int i = 0; i < BOARD_CELLS; ++i)
            EXPECT_EQ(b.cells[i] == BORDER_CELL, start.cells[i] == BORDER_CELL);
    }
    const Board uniform = board_from([](int, int, int) { return 7; });
    for (int type = 0; type < 3; ++type) {
        Board b = uniform;
        rotate_board(type, b);
        EXPECT_TRUE(boards_equal(b, uniform));
    }
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
    EXPECT_TRUE(boards_equal(solution_store.boards[0], found));

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
    EXPECT_TRUE(boards_equal(solution_store.boards[0], found));
    EXPECT_TRUE(boards_equal(solution_store.boards[1], mirror));
    EXPECT_TRUE(boards_equal(solution_store.boards[2], second));
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
