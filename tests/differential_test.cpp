// The shipped search and filter against the straightforward ones they must match step for step.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "report/progress_block.hpp"
#include "search/engine.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "support.hpp"
#include "symmetry/reference_store.hpp"
#include "symmetry/rotation.hpp"
#include "symmetry/store.hpp"

namespace {

constexpr int ASSEMBLIES = 200;

struct Assembly {
    Board board;
    std::array<int32_t, MAX_PIECES> piece_order, orientation_index;
    std::array<int32_t, 3 * MAX_PIECES> anchors;
    int64_t permutations, attempted, succeeded;
};

std::vector<std::string> progress_blocks;

// The progress block as printed, less its last line, which carries the clock.
void capture_progress_block() {
    ConsoleCapture capture = begin_console_capture();
    print_progress();
    std::string text = end_console_capture(capture);
    text.erase(text.rfind("Total run time = "));
    progress_blocks.push_back(text);
}

std::vector<Assembly> first_assemblies(bool (*find_next)(), std::vector<std::string>& blocks) {
    prepare_run();
    progress_blocks.clear();
    progress_function = capture_progress_block;
    std::vector<Assembly> found;
    while (found.size() < ASSEMBLIES && find_next()) {
        const SearchState& s = search_state;
        Assembly a{board, std::to_array(s.piece_order), std::to_array(s.orientation_index), {},
                   run_statistics.counters.permutations, run_statistics.counters.tiles_attempted, run_statistics.counters.tiles_succeeded};
        for (int d = 0; d < PIECE_COUNT; ++d) {
            a.anchors[3 * d] = s.anchor_cell[d].x;
            a.anchors[3 * d + 1] = s.anchor_cell[d].y;
            a.anchors[3 * d + 2] = s.anchor_cell[d].z;
        }
        found.push_back(a);
    }
    progress_function = nullptr;
    blocks = progress_blocks;
    return found;
}

// The assemblies offered to a filter: each found assembly, and after every fifth one a rotated
// copy of an earlier one and a mirror image of it.
std::vector<Board> filter_inputs(const std::vector<Assembly>& assemblies) {
    std::vector<Board> inputs;
    for (size_t n = 0; n < assemblies.size(); ++n) {
        inputs.push_back(assemblies[n].board);
        if (n % 5 != 4)
            continue;
        Board turned;
        turn_board(static_cast<int32_t>(1 + n % 23), assemblies[n / 2].board, turned);
        inputs.push_back(turned);
        Board mirror = turned;
        for (int x = 1; x <= 4; ++x)
            for (int y = 1; y <= 4; ++y)
                for (int z = 1; z <= 4; ++z)
                    mirror.cells[cell_index(x, y, z)] = turned.cells[cell_index(x, y, 5 - z)];
        inputs.push_back(mirror);
    }
    return inputs;
}

std::vector<StoreResult> filter_all(StoreResult (*store)(), const std::vector<Board>& inputs) {
    reset_solution_store();
    std::vector<StoreResult> results;
    for (const Board& b : inputs) {
        board = b;
        results.push_back(store());
        EXPECT_TRUE(boards_equal(board, b));
    }
    return results;
}

// A position where the search stood at an exchange, as the reports would show it.
struct ExchangeStop {
    int32_t depth;
    std::array<int32_t, MAX_PIECES> piece_order, orientation_index;
    std::array<int32_t, 3> current_cell;
    int64_t permutations, attempted, succeeded;
    bool operator==(const ExchangeStop&) const = default;
};

ExchangeStop exchange_stop(const SearchState& s, const SearchCounters& c) {
    return {s.depth, std::to_array(s.piece_order), std::to_array(s.orientation_index),
            {s.current_cell.x, s.current_cell.y, s.current_cell.z}, c.permutations, c.tiles_attempted, c.tiles_succeeded};
}

std::vector<ExchangeStop> exchanges;

// Every exchange of the straightforward search up to its second assembly.
std::vector<ExchangeStop> straightforward_exchanges() {
    prepare_run();
    exchanges.clear();
    exchange_function = [] {
        exchanges.push_back(exchange_stop(search_state, run_statistics.counters));
    };
    EXPECT_TRUE(reference_find_next_assembly());
    EXPECT_TRUE(reference_find_next_assembly());
    exchange_function = nullptr;
    return exchanges;
}

// The fast engine's stops at marks every `step` permutations up to its second assembly, each
// resumed after the position is published.
std::vector<ExchangeStop> fast_marks(int64_t step) {
    prepare_run();
    std::vector<ExchangeStop> stops;
    static EnginePosition s;
    start_root(s, INITIAL_SEARCH_COUNTERS);
    s.next_mark = step;
    for (int assemblies = 0; assemblies < 2;) {
        const EngineStop stop = run_engine(s);
        if (stop == EngineStop::ASSEMBLY) {
            ++assemblies;
        } else if (stop == EngineStop::MARK) {
            PublishedPosition shown;
            publish_position(s, s.depth, true, {0, 0, 0}, shown);
            stops.push_back(exchange_stop(shown.state, shown.counters));
            s.next_mark = next_multiple(s.counted.permutations, step);
        } else {
            ADD_FAILURE() << "the search stopped before its second assembly";
            break;
        }
    }
    return stops;
}

// The straightforward search's exchanges where a mark every `step` permutations is reached or
// passed: the first exchange at or after each mark.
std::vector<ExchangeStop> reached_marks(const std::vector<ExchangeStop>& all, int64_t step) {
    std::vector<ExchangeStop> reached;
    int64_t mark = step;
    for (const ExchangeStop& e : all)
        if (e.permutations >= mark) {
            reached.push_back(e);
            mark = (e.permutations / step + 1) * step;
        }
    return reached;
}

}  // namespace

TEST(Differential, EnginePositionMatchesTheStraightforwardOneAtEveryAssemblyAndProgressBlock) {
    std::vector<std::string> reference_blocks;
    const std::vector<Assembly> reference = first_assemblies(reference_find_next_assembly, reference_blocks);
    ASSERT_EQ(reference.size(), size_t{ASSEMBLIES});
    EXPECT_GE(reference_blocks.size(), 10u);
    for (FitTest fit_test : supported_fit_tests()) {
        SCOPED_TRACE(fit_test_name(fit_test));
        const FitTestChoice choice(fit_test);
        std::vector<std::string> fast_blocks;
        const std::vector<Assembly> fast = first_assemblies(find_next_assembly, fast_blocks);
        ASSERT_EQ(fast.size(), reference.size());
        for (size_t n = 0; n < reference.size(); ++n) {
            SCOPED_TRACE("assembly " + std::to_string(n + 1));
            EXPECT_TRUE(boards_equal(fast[n].board, reference[n].board));
            EXPECT_EQ(fast[n].piece_order, reference[n].piece_order);
            EXPECT_EQ(fast[n].orientation_index, reference[n].orientation_index);
            EXPECT_EQ(fast[n].anchors, reference[n].anchors);
            EXPECT_EQ(fast[n].permutations, reference[n].permutations);
            EXPECT_EQ(fast[n].attempted, reference[n].attempted);
            EXPECT_EQ(fast[n].succeeded, reference[n].succeeded);
        }
        EXPECT_EQ(fast_blocks, reference_blocks);
    }
}

TEST(Differential, IndexedFilterAnswersAndStoresAsTheLinearOne) {
    std::vector<std::string> blocks;
    const std::vector<Board> inputs = filter_inputs(first_assemblies(find_next_assembly, blocks));
    const std::vector<StoreResult> linear = filter_all(reference_store_if_unique, inputs);
    std::vector<Board> linear_store(static_cast<size_t>(run_statistics.solutions));
    for (size_t n = 0; n < linear_store.size(); ++n)
        stored_board(static_cast<int32_t>(n), linear_store[n]);
    const std::vector<StoreResult> indexed = filter_all(store_if_unique, inputs);
    EXPECT_EQ(indexed, linear);
    ASSERT_EQ(size_t(run_statistics.solutions), linear_store.size());
    for (size_t n = 0; n < linear_store.size(); ++n) {
        Board stored;
        stored_board(static_cast<int32_t>(n), stored);
        EXPECT_TRUE(boards_equal(stored, linear_store[n])) << "slot " << n;
    }
    int duplicates = 0;
    for (StoreResult result : linear)
        duplicates += result == StoreResult::ROTATED_DUPLICATE;
    EXPECT_EQ(duplicates, ASSEMBLIES / 5);
}

// The fast search counts a depth where nothing fits, and the exchanges between pieces that do
// not fit, without stepping through them; a mark must still stop it at the very exchange that
// reaches it, with the position the straightforward search shows there, and the search must go
// on from there unchanged.
TEST(Differential, MarksStopTheEnginePositionAtTheStraightforwardExchange) {
    const std::vector<ExchangeStop> all = straightforward_exchanges();
    ASSERT_GT(all.size(), 40000u);
    for (FitTest fit_test : supported_fit_tests()) {
        const FitTestChoice choice(fit_test);
        for (int64_t step : {1, 2, 7, 1000, 8192}) {
            SCOPED_TRACE(std::string(fit_test_name(fit_test)) + ", a mark every " + std::to_string(step) +
                         " permutations");
            const std::vector<ExchangeStop> expected = reached_marks(all, step);
            const std::vector<ExchangeStop> got = fast_marks(step);
            ASSERT_EQ(got.size(), expected.size());
            for (size_t n = 0; n < got.size(); ++n)
                ASSERT_EQ(got[n], expected[n]) << "stop " << n << " at permutation " << expected[n].permutations;
        }
    }
}
