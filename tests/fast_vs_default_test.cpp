// The fast search finds the default search's solutions: on every shipped puzzle the tests can
// afford, with and without mirror images alike, the two sets of solutions up to the target's
// symmetries are equal as sets of canonical forms (the duplicate filter's keys), and where the
// symmetry is broken exactly the fast search finds each one once.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/puzzle_file.hpp"
#include "model/run_statistics.hpp"
#include "search/fast_search.hpp"
#include "search/search.hpp"
#include "support.hpp"
#include "symmetry/store.hpp"

namespace {

struct Found {
    std::set<std::string> keys;
    int32_t duplicates = 0;
};

// Every assembly of the search through the duplicate filter: the keys of the solutions stored.
Found solutions_of(bool (*find_next)()) {
    Found found;
    while (find_next())
        found.duplicates += store_if_unique() == StoreResult::ROTATED_DUPLICATE;
    for (int32_t n = 0; n < run_statistics.solutions; ++n)
        found.keys.insert(std::string(reinterpret_cast<const char*>(solution_store.keys[n].cells), 64));
    return found;
}

}  // namespace

TEST(FastSearch, FindsTheDefaultSearchsSolutionsOnEveryShippedPuzzle) {
    struct Case {
        const char* file;
        bool exact;  // the symmetry is broken exactly: no piece set has copies
    };
    const Case cases[] = {
        {"soma.txt", true},           {"pentominoes-2x3x10.txt", true}, {"pentominoes-3x20.txt", true},
        {"pentominoes-6x10.txt", true}, {"pentominoes-8x8-hole.txt", true}, {"trominoes-2x3x4.txt", false},
        {"dominoes-2x4x4.txt", false},
    };
    for (const Case& c : cases)
        for (bool mirror : {false, true}) {
            SCOPED_TRACE(std::string(c.file) + (mirror ? ", mirror images alike" : ""));
            Puzzle p;
            char error[2048];
            ASSERT_TRUE(read_puzzle_file((std::string(TANDOR_PUZZLES) + "/" + c.file).c_str(), p, error, sizeof error));
            prepare_run(p, mirror);
            const Found by_default = solutions_of(find_next_assembly);
            prepare_run(p, mirror);
            begin_fast_puzzle_search(2);
            const Found fast = solutions_of(fast_find_next_assembly);
            end_fast_search();
            EXPECT_EQ(fast.keys.size(), by_default.keys.size());
            EXPECT_TRUE(fast.keys == by_default.keys);
            if (c.exact) {
                EXPECT_EQ(fast.duplicates, 0);
            }
        }
    prepare_run();
}
