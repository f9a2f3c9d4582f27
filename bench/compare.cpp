// Runs the straightforward and the fast engine (search and duplicate filter) side by side over the
// same work, the first N unique solutions (default 2000), and prints each one's time and the ratio.
// Usage: compare [N] [fast [progress]]   ("fast" runs the fast engine alone, for profiling;
// "progress" also keeps the live progress line up to date at every assembly and progress mark,
// as a run does, drawing it on standard error)
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/prepare_run.hpp"
#include "model/catalogue.hpp"
#include "model/run_statistics.hpp"
#include "orient/orientations.hpp"
#include "report/progress_line.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "symmetry/reference_store.hpp"
#include "symmetry/store.hpp"

namespace {

struct Outcome {
    double seconds;
    int64_t permutations, attempted, succeeded;
    int32_t solutions, duplicates;
};

bool with_progress_line = false;

Outcome run(bool (*find_next)(), StoreResult (*store)(), int32_t wanted) {
    prepare_run();
    if (with_progress_line) {
        run_statistics.start_clock = process_clock();
        begin_progress_line(FULL_RUN_PERMUTATIONS, catalogue.piece_count, orientation_table.orientation_counts);
        progress_line.enabled = true;
        progress_function = update_progress_line;
    }
    const auto start = std::chrono::steady_clock::now();
    int32_t duplicates = 0;
    while (run_statistics.solutions < wanted && find_next()) {
        if (store() == StoreResult::ROTATED_DUPLICATE)
            ++duplicates;
        if (with_progress_line)
            update_progress_line();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {took.count(), run_statistics.counters.permutations, run_statistics.counters.tiles_attempted, run_statistics.counters.tiles_succeeded,
            run_statistics.solutions, duplicates};
}

void print(const char* name, const Outcome& o) {
    std::printf("%-16s %9.3f s  permutations %" PRId64 "  tiles attempted %" PRId64 "  tiles succeeded %" PRId64
                "  solutions %d  duplicates %d\n",
                name, o.seconds, o.permutations, o.attempted, o.succeeded, o.solutions, o.duplicates);
}

}  // namespace

int main(int argc, char** argv) {
    const int32_t wanted = argc > 1 ? std::atoi(argv[1]) : 2000;
    std::printf("work: the first %d unique solutions, from the start of the search\n", wanted);
    if (argc > 2 && std::strcmp(argv[2], "fast") == 0) {
        with_progress_line = argc > 3 && std::strcmp(argv[3], "progress") == 0;
        print("fast", run(find_next_assembly, store_if_unique, wanted));
        return 0;
    }
    const Outcome reference = run(reference_find_next_assembly, reference_store_if_unique, wanted);
    print("straightforward", reference);
    const Outcome fast = run(find_next_assembly, store_if_unique, wanted);
    print("fast", fast);
    const bool same = reference.permutations == fast.permutations && reference.attempted == fast.attempted &&
                      reference.succeeded == fast.succeeded && reference.duplicates == fast.duplicates;
    std::printf("counters %s\n", same ? "identical" : "DIFFER");
    std::printf("speed-up: %.2f times\n", reference.seconds / fast.seconds);
    return same ? 0 : 1;
}
