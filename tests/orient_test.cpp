// Normal forms of the shapes, the orientation table and its consistency stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/catalogue.hpp"
#include "model/streams.hpp"
#include "orient/normalise.hpp"
#include "orient/orientations.hpp"
#include "known_answers.hpp"
#include "support.hpp"

namespace {

using Cubes = std::vector<CubeOffset>;

Cubes used_cubes(const PieceShape& shape) { return Cubes(shape.cubes, shape.cubes + shape.cube_count); }

bool operator==(const CubeOffset& a, const CubeOffset& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

std::string text(const Cubes& cubes) {
    std::string s;
    char cube[48];
    for (const CubeOffset& c : cubes) {
        std::snprintf(cube, sizeof cube, "(%d,%d,%d) ", c.x, c.y, c.z);
        s += cube;
    }
    return s;
}

PieceShape shape_of(int32_t piece, const Cubes& cubes) {
    PieceShape shape{piece, 0, static_cast<int32_t>(cubes.size()), {}};
    for (size_t i = 0; i < cubes.size(); ++i)
        shape.cubes[i] = cubes[i];
    return shape;
}

}  // namespace

TEST(Normalise, EveryCatalogueShapeTakesItsNormalForm) {
    const Cubes expected[PIECE_COUNT] = {
        {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {-1, 1, 0}, {0, 2, 0}},
        {{0, 0, 0}, {0, 0, 1}, {0, -1, 1}, {-1, -1, 1}},
        {{0, 0, 0}, {0, 0, 1}, {-1, 0, 1}, {-1, -1, 1}, {-2, -1, 1}},
        {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {1, -1, 1}, {2, -1, 1}},
        {{0, 0, 0}, {0, 0, 1}, {-1, 0, 1}, {-1, 1, 1}, {-1, 2, 1}},
        {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 1, 1}, {-1, 1, 1}},
        {{0, 0, 0}, {0, 1, 0}, {-1, 1, 0}, {-2, 1, 0}, {-2, 2, 0}},
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {1, 0, 1}, {1, -1, 1}},
        {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {1, 2, 1}},
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 1}, {1, 0, 1}},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}},
        {{0, 0, 0}, {0, 0, 1}, {-1, 0, 1}, {-1, -1, 1}, {-2, 0, 1}},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {2, 0, 1}},
    };
    for (int p = 0; p < PIECE_COUNT; ++p) {
        PieceShape shape = BUILT_IN_CATALOGUE.shapes[p];
        normalise_shape(shape);
        EXPECT_EQ(text(used_cubes(shape)), text(expected[p])) << "piece " << p + 1;
        PieceShape again = shape;
        normalise_shape(again);
        EXPECT_EQ(text(used_cubes(again)), text(used_cubes(shape))) << "normalising twice, piece " << p + 1;
    }
}

TEST(Normalise, AnchorIsFirstInScanOrderAndFirstInSlotOrderAmongEquals) {
    EXPECT_EQ(find_anchor_cube(BUILT_IN_CATALOGUE.shapes[0]), 3);
    EXPECT_EQ(find_anchor_cube(BUILT_IN_CATALOGUE.shapes[1]), 3);
    EXPECT_EQ(find_anchor_cube(shape_of(0, {})), -1);
    EXPECT_EQ(find_anchor_cube(shape_of(0, {{1, 1, 1}, {0, 1, 1}, {0, 1, 1}})), 1);
}

TEST(Normalise, SlotsBeyondTheCubeCountAreLeftAlone) {
    PieceShape shape = BUILT_IN_CATALOGUE.shapes[1];
    normalise_shape(shape);
    EXPECT_TRUE((shape.cubes[4] == CubeOffset{9, 9, 9}));
    PieceShape far = shape_of(0, {{0, 0, 0}, {1, 0, 0}});
    far.cubes[2] = {-70, 65, 80};
    check_shape_bounds(far);  // returns: the third slot is not a cube
    PieceShape empty = shape_of(0, {});
    normalise_shape(empty);
    EXPECT_EQ(empty.cube_count, 0);
}

using NormaliseDeathTest = ::testing::Test;

TEST(NormaliseDeathTest, CubeOutOfBoundsPrintsMessageAndDumpThenStops) {
    const std::string path = testing::TempDir() + "bounds_console.txt";
    PieceShape shape = shape_of(2, {{0, 0, 0}, {64, -64, 0}, {1, 65, 0}});
    shape.orientation_number = 6;
    check_shape_bounds(shape_of(2, {{64, -64, 64}}));
    EXPECT_EXIT(
        {
            output_streams.console = std::fopen(path.c_str(), "wb");
            check_shape_bounds(shape);
        },
        testing::ExitedWithCode(CONSISTENCY_STOP_STATUS), "");
    EXPECT_EQ(read_whole_file(path), "cube 2 out of bounds\nPIECE  3 ORIENT  7 : ( 0, 0, 0) (64,-64, 0) ( 1,65, 0) \n");
}

TEST(OrientationTable, CountsPerPiece) {
    prepare_run();
    int total = 0;
    for (int p = 0; p < PIECE_COUNT; ++p) {
        EXPECT_EQ(orientation_table.orientation_counts[p], ORIENTATION_COUNTS[p]) << "piece " << p + 1;
        total += orientation_table.orientation_counts[p];
    }
    EXPECT_EQ(total, 219);
}

TEST(OrientationTable, RowsOfPiecesOneTwoAndThree) {
    prepare_run();
    const Cubes piece1[] = {
        {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {-1, 1, 0}, {0, 2, 0}},
        {{0, 0, 0}, {0, 0, 1}, {-1, 0, 1}, {1, 0, 1}, {0, 0, 2}},
        {{0, 0, 0}, {0, 0, 1}, {0, -1, 1}, {0, 1, 1}, {0, 0, 2}},
    };
    const Cubes piece2[] = {
        {{0, 0, 0}, {0, 0, 1}, {0, -1, 1}, {-1, -1, 1}}, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {-1, 1, 1}},
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {-1, 1, 0}},   {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {1, 1, 1}},
        {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, -1, 1}},   {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 1, 1}},
        {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}},    {{0, 0, 0}, {0, 0, 1}, {-1, 0, 1}, {-1, 1, 1}},
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {1, 1, 1}},    {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, -1, 1}},
        {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 1}},    {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {1, 0, 1}},
    };
    const Cubes piece3_start[] = {
        {{0, 0, 0}, {0, 0, 1}, {-1, 0, 1}, {-1, -1, 1}, {-2, -1, 1}},
        {{0, 0, 0}, {0, 1, 0}, {-1, 1, 0}, {-1, 1, 1}, {-2, 1, 1}},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 1}, {-1, 1, 0}},
        {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {2, 0, 1}, {2, 1, 1}},
    };
    for (int o = 0; o < 3; ++o)
        EXPECT_EQ(text(used_cubes(orientation_table.slots[0][o])), text(piece1[o])) << "piece 1 orientation " << o + 1;
    for (int o = 0; o < 12; ++o) {
        const PieceShape& slot = orientation_table.slots[1][o];
        EXPECT_EQ(text(used_cubes(slot)), text(piece2[o])) << "piece 2 orientation " << o + 1;
        EXPECT_TRUE((slot.cubes[4] == CubeOffset{9, 9, 9}));
    }
    for (int o = 0; o < 4; ++o)
        EXPECT_EQ(text(used_cubes(orientation_table.slots[2][o])), text(piece3_start[o])) << "piece 3 orientation " << o + 1;
}

TEST(OrientationTable, FilledSlotsAreNumberedAndAnchoredOnTheirFirstCube) {
    prepare_run();
    for (int p = 0; p < PIECE_COUNT; ++p) {
        for (int o = 0; o < orientation_table.orientation_counts[p]; ++o) {
            const PieceShape& slot = orientation_table.slots[p][o];
            EXPECT_EQ(slot.piece_number, p);
            EXPECT_EQ(slot.orientation_number, o);
            EXPECT_EQ(slot.cube_count, BUILT_IN_CATALOGUE.shapes[p].cube_count);
            EXPECT_TRUE((slot.cubes[0] == CubeOffset{0, 0, 0}));
            for (int i = 1; i < slot.cube_count; ++i) {
                const CubeOffset& c = slot.cubes[i];
                EXPECT_TRUE(c.z > 0 || (c.z == 0 && (c.y > 0 || (c.y == 0 && c.x > 0))));
                EXPECT_LE(std::max({std::abs(c.x), std::abs(c.y), std::abs(c.z)}), 2);
            }
        }
    }
    verify_orientation_table();
}

TEST(OrientationTable, AddOrientationComparesCubeSetsNotCubeOrder) {
    prepare_run();
    PieceShape reordered = orientation_table.slots[0][0];
    std::swap(reordered.cubes[2], reordered.cubes[3]);
    reordered.orientation_number = 3;
    EXPECT_EQ(add_orientation(reordered), 0);
    EXPECT_EQ(orientation_table.orientation_counts[0], 3);

    PieceShape fresh = shape_of(0, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}});
    fresh.orientation_number = 3;
    EXPECT_EQ(add_orientation(fresh), 1);
    EXPECT_EQ(orientation_table.orientation_counts[0], 4);
    EXPECT_EQ(orientation_table.slots[0][3].cubes[4].x, 4);
}

TEST(OrientationTable, QuarterTurnsAboutEachAxis) {
    PieceShape shape = shape_of(0, {{0, 0, 0}, {1, 2, 3}});
    rotate_shape(0, shape);  // (1,2,3) -> (1,3,-2), which becomes the anchor
    EXPECT_EQ(text(used_cubes(shape)), "(0,0,0) (-1,-3,2) ");
    shape = shape_of(0, {{0, 0, 0}, {1, 2, 3}});
    rotate_shape(1, shape);  // -> (-3,2,1)
    EXPECT_EQ(text(used_cubes(shape)), "(0,0,0) (-3,2,1) ");
    shape = shape_of(0, {{0, 0, 0}, {1, 2, 3}});
    rotate_shape(2, shape);  // -> (2,-1,3)
    EXPECT_EQ(text(used_cubes(shape)), "(0,0,0) (2,-1,3) ");
}

using OrientationTableDeathTest = ::testing::Test;

TEST(OrientationTableDeathTest, EachConsistencyStopPrintsItsMessage) {
    const std::string path = testing::TempDir() + "table_console.txt";
    auto stops_with = [&](void (*breakage)(), void (*check)(), const char* message) {
        prepare_run();
        EXPECT_EXIT(
            {
                output_streams.console = std::fopen(path.c_str(), "wb");
                breakage();
                check();
            },
            testing::ExitedWithCode(CONSISTENCY_STOP_STATUS), "");
        EXPECT_EQ(read_whole_file(path), message);
    };
    stops_with([] { orientation_table.slots[4][2].piece_number = 3; }, verify_orientation_table, "bad piece number 5\n");
    stops_with([] { orientation_table.slots[6][5].orientation_number = 9; }, verify_orientation_table,
               "bad orientation_number 6\n");
    stops_with([] { orientation_table.slots[0][1].cubes[2].y = -65; }, verify_orientation_table,
               "cube 2 out of bounds\nPIECE  1 ORIENT  2 : ( 0, 0, 0) ( 0, 0, 1) (-1,-65, 1) ( 1, 0, 1) ( 0, 0, 2) \n");
    // Generating a piece whose row is not empty cannot store its first candidate.
    stops_with([] {}, [] { generate_orientations(7); }, "failed to add initial orientation for piece 7\n");
}
