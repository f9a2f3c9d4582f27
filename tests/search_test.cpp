// The placement search through its operations: the worked start of a run, and the counters and
// orders of the first assemblies, which pin the whole search tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "model/board.hpp"
#include "model/run_statistics.hpp"
#include "report/render.hpp"
#include "search/engine.hpp"
#include "search/fit_tests.hpp"
#include "search/placement_table.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "known_answers.hpp"
#include "support.hpp"

namespace {

struct Placement {
    int32_t depth, piece, slot;
    CellTriple anchor;
    int64_t permutations, attempted, succeeded;
};

std::vector<Placement> placements;

void record_placement() {
    const SearchState& s = search_state;
    placements.push_back({s.depth, s.piece_order[s.depth], s.orientation_index[s.depth], s.anchor_cell[s.depth],
                          run_statistics.counters.permutations, run_statistics.counters.tiles_attempted, run_statistics.counters.tiles_succeeded});
}

Order first_depths(const int32_t (&values)[MAX_PIECES]) {
    Order order;
    std::copy(values, values + PIECE_COUNT, order.begin());
    return order;
}
Order piece_order() { return first_depths(search_state.piece_order); }
Order orientation_index() { return first_depths(search_state.orientation_index); }

}  // namespace

TEST(Search, WorkedStartOfARun) {
    prepare_run();
    placements.clear();
    placement_function = record_placement;
    ASSERT_TRUE(reference_find_next_assembly());
    placement_function = nullptr;
    ASSERT_GE(placements.size(), 8u);

    auto expect_placement = [](const Placement& got, int32_t depth, int32_t piece, int32_t slot, CellTriple at) {
        EXPECT_EQ(got.depth, depth);
        EXPECT_EQ(got.piece, piece) << "depth " << depth;
        EXPECT_EQ(got.slot, slot) << "depth " << depth;
        EXPECT_EQ(got.anchor.x, at.x) << "depth " << depth;
        EXPECT_EQ(got.anchor.y, at.y) << "depth " << depth;
        EXPECT_EQ(got.anchor.z, at.z) << "depth " << depth;
    };
    // Piece 0 fits nowhere at (1,1,1): three attempts, one exchange, then piece 1 in slot 3.
    expect_placement(placements[0], 0, 1, 3, {1, 1, 1});
    EXPECT_EQ(placements[0].permutations, 2);
    EXPECT_EQ(placements[0].attempted, 7);
    EXPECT_EQ(placements[0].succeeded, 1);
    expect_placement(placements[1], 1, 0, 0, {3, 1, 1});
    EXPECT_EQ(placements[1].attempted, 8);
    EXPECT_EQ(placements[1].succeeded, 2);
    expect_placement(placements[2], 2, 2, 7, {4, 1, 1});
    expect_placement(placements[3], 3, 3, 4, {1, 2, 1});
    expect_placement(placements[4], 4, 4, 9, {2, 3, 1});
    expect_placement(placements[5], 5, 5, 13, {4, 3, 1});
    EXPECT_EQ(placements[5].attempted, 45);
    EXPECT_EQ(placements[5].succeeded, 6);
    EXPECT_EQ(placements[5].permutations, 2);
    // Pieces 6 and 7 fit nowhere at (1,4,1): two exchanges.
    expect_placement(placements[6], 6, 8, 17, {1, 4, 1});
    EXPECT_EQ(placements[6].permutations, 4);
    EXPECT_EQ(placements[6].attempted, 87);
    // Depth 7 runs out of pieces after five exchanges (9); the retreat takes piece 8 off (10) and
    // tries its slots 18 to 23 at (1,4,1), which fit nowhere; pieces 9 to 12 follow there (14),
    // the retreat takes piece 5 off (15), and its slot 15 fits at (4,3,1).
    expect_placement(placements[7], 5, 5, 15, {4, 3, 1});
    EXPECT_EQ(placements[7].permutations, 15);
    EXPECT_EQ(placements[7].attempted, 87 + (12 + 12 + 24 + 24 + 12 + 12) + 6 + (24 + 12 + 24 + 12) + 2);
}

struct Engine {
    const char* name;
    bool (*find_next)();
};

void PrintTo(const Engine& engine, std::ostream* out) { *out << engine.name; }

class EveryEngine : public ::testing::TestWithParam<Engine> {};

INSTANTIATE_TEST_SUITE_P(Search, EveryEngine,
                         ::testing::Values(Engine{"reference", reference_find_next_assembly},
                                           Engine{"fast", find_next_assembly}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(EveryEngine, FirstTwoAssembliesCarryTheirCountersAndOrders) {
    prepare_run();
    for (const KnownAssembly& known : KNOWN_ASSEMBLIES) {
        ASSERT_TRUE(GetParam().find_next());
        EXPECT_EQ(run_statistics.counters.permutations, known.permutations);
        EXPECT_EQ(run_statistics.counters.tiles_attempted, known.tiles_attempted);
        EXPECT_EQ(run_statistics.counters.tiles_succeeded, known.tiles_succeeded);
        EXPECT_EQ(search_state.depth, 12);
        EXPECT_EQ(piece_order(), known.piece_order);
        EXPECT_EQ(orientation_index(), known.orientation_index);
        std::FILE* picture = std::tmpfile();
        render_board(picture, board);
        EXPECT_EQ(read_whole_stream(picture), known.rendering);
        std::fclose(picture);
    }
}

TEST_P(EveryEngine, ProgressIsCalledOnlyAtExchangesThatReachAMillion) {
    prepare_run();
    static std::vector<int64_t> seen;
    static std::vector<Order> orders;
    seen.clear();
    orders.clear();
    progress_function = [] {
        seen.push_back(run_statistics.counters.permutations);
        orders.push_back(orientation_index());
    };
    while (run_statistics.counters.permutations < 3000001)
        ASSERT_TRUE(GetParam().find_next());
    progress_function = nullptr;
    EXPECT_EQ(seen, std::vector<int64_t>(std::begin(FIRST_PROGRESS_MARKS), std::end(FIRST_PROGRESS_MARKS)));
    EXPECT_EQ(orders[0], FIRST_PROGRESS_ORIENTATIONS);
}

// The table's placements are pinned by the search's known answers; here, their count, which
// no other figure shows.
TEST(Search, PlacementTableHoldsTheKnownNumberOfPlacements) {
    prepare_run();
    int32_t inside = 0;
    for (int bit = 0; bit < 64; ++bit)
        for (int piece = 0; piece < PIECE_COUNT; ++piece)
            inside += std::popcount(placement_table.inside[bit * MAX_PIECES + piece]);
    EXPECT_EQ(inside, 4092);
    // Orientation counts added up over sets of pieces.
    EXPECT_EQ(orientation_sum(0), 0);
    EXPECT_EQ(orientation_sum(1u << 0), 3);
    EXPECT_EQ(orientation_sum(1u << 12), 12);
    EXPECT_EQ(orientation_sum((1u << 7) | (1u << 2)), 12 + 24);
    EXPECT_EQ(orientation_sum((1u << PIECE_COUNT) - 1), 219);
}

// The vector fit tests answer as the plain loop, slot for slot, on cells crowded and sparse.
TEST(Search, EveryFitTestTheProcessorHasAnswersAsThePlainLoop) {
    prepare_run();
    uint64_t state = 0x9E3779B97F4A7C15u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    int32_t compared = 0;
    for (int round = 0; round < 2000; ++round) {
        // Each cell taken with chance 1/2, 1/4 or 3/4.
        const CellSet a = next(), b = next();
        const CellSet around[] = {a, a & b, a | b, 0, ~CellSet{0}};
        for (CellSet taken : around)
            for (int32_t piece = 0; piece < PIECE_COUNT; ++piece) {
                const CellSet* shapes = placement_table.relative[piece];
                const uint32_t plain = fit_test_plain(shapes, taken);
                if (fit_test_supported(FitTest::AVX2)) {
                    ASSERT_EQ(fit_test_avx2(shapes, taken), plain) << "piece " << piece << " cells " << taken;
                }
                if (fit_test_supported(FitTest::AVX512)) {
                    ASSERT_EQ(fit_test_avx512(shapes, taken), plain) << "piece " << piece << " cells " << taken;
                }
                ++compared;
            }
    }
    EXPECT_EQ(compared, 2000 * 5 * PIECE_COUNT);
    // Nothing taken: every slot is free; everything taken: only the unused slots, which hold no cell.
    EXPECT_EQ(fit_test_plain(placement_table.relative[2], 0), (1u << MAX_ORIENTATIONS) - 1);
    EXPECT_EQ(fit_test_plain(placement_table.relative[0], ~CellSet{0}), (1u << MAX_ORIENTATIONS) - (1u << 3));
}
