// The board layout and the piece catalogue.
#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "model/board.hpp"
#include "model/catalogue.hpp"
#include "support.hpp"

TEST(Board, LayoutPutsXSlowestAndZFastest) {
    prepare_run();
    EXPECT_EQ(cell_index(1, 1, 1), 43);
    EXPECT_EQ(cell_index(4, 4, 4), 172);
    EXPECT_EQ(cell_index(5, 5, 5), 215);
    EXPECT_EQ(cell_index(2, 3, 4), 94);
    EXPECT_EQ(cell_index(1, 4, 4), 64);
}

TEST(Board, InitWritesBorderAndEmptyInteriorOverAnyEarlierContents) {
    prepare_run();
    Board b;
    for (int i = 0; i < MAX_BOARD_CELLS; ++i)
        b.cells[i] = (i * 7919) % 25 - 5;
    init_board(b);
    int borders = 0, empties = 0;
    for (int i = 0; i < geometry.board_cells; ++i) {
        borders += b.cells[i] == BORDER_CELL;
        empties += b.cells[i] == EMPTY_CELL;
    }
    EXPECT_EQ(borders, 152);
    EXPECT_EQ(empties, 64);
    for (auto [x, y, z] : {std::array<int, 3>{0, 0, 0}, {5, 4, 4}, {1, 0, 1}, {3, 5, 2}, {4, 4, 5}})
        EXPECT_EQ(b.cells[cell_index(x, y, z)], BORDER_CELL) << x << y << z;
    for (auto [x, y, z] : {std::array<int, 3>{1, 1, 1}, {4, 4, 4}, {2, 3, 1}})
        EXPECT_EQ(b.cells[cell_index(x, y, z)], EMPTY_CELL) << x << y << z;
    // A step out of the interior in any direction lands on a border cell.
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y)
            for (int z = 1; z <= 4; ++z)
                for (int stride : geometry.stride)
                    for (int step : {stride, -stride}) {
                        const int next = cell_index(x, y, z) + step;
                        ASSERT_GE(next, 0);
                        ASSERT_LT(next, geometry.board_cells);
                        EXPECT_TRUE(b.cells[next] == EMPTY_CELL || b.cells[next] == BORDER_CELL);
                    }
}

TEST(Catalogue, CubeCountsCoverTheInteriorExactly) {
    int total = 0;
    for (int p = 0; p < BUILT_IN_CATALOGUE.piece_count; ++p)
        total += BUILT_IN_CATALOGUE.shapes[p].cube_count;
    EXPECT_EQ(total, 64);
}
