#include "search/parallel.hpp"

#include <sched.h>

#include <condition_variable>
#include <csignal>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "model/run_statistics.hpp"
#include "search/engine.hpp"

namespace {

// Subtrees start below this depth: about 180,000 of them, a few milliseconds each on average.
constexpr int32_t SPLIT_DEPTH = 3;
// Workers keep a resumable position every this many permutations of their own count, so that a
// progress block, whose place is only known once every earlier subtree is done, is found again
// by replaying at most this stretch.
constexpr int64_t CHECKPOINT_INTERVAL = 8192;
constexpr int32_t CHUNK_CHECKPOINTS = 256;
constexpr int32_t CHUNK_ASSEMBLIES = 256;

// A stretch of one subtree's search, with counters relative to the subtree's start.
struct Chunk {
    int64_t task;
    int32_t sequence;  // 0 for the subtree's first chunk
    bool last;         // the subtree is exhausted at its end
    int32_t checkpoint_count;
    int32_t assembly_count;
    FastSearch end;  // the position at the end of the stretch, with its counters
    FastSearch checkpoints[CHUNK_CHECKPOINTS];  // the first is where the stretch starts
    FastSearch assemblies[CHUNK_ASSEMBLIES];
};

struct Pool {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::unique_ptr<Chunk>> chunks;
    std::vector<Chunk*> free_chunks;
    std::vector<Chunk*> done_chunks;  // filled, waiting for the merge
    int32_t reserve = 0;               // free chunks kept for the subtree being merged
    FastSearch splitter{};             // hands out the subtrees in order
    bool splitter_exhausted = false;
    int64_t next_task = 0;
    int64_t head_task = 0;  // the subtree being merged
    bool cancel = false;
    std::vector<std::thread> workers;
};

Pool* pool = nullptr;

// The merging thread's own walk of the depths above the subtrees, with absolute counters.
struct Merge {
    FastSearch shallow;
    int64_t task = 0;          // the subtree being merged
    int32_t sequence = 0;      // its next chunk
    Chunk* chunk = nullptr;    // the chunk being merged
    int32_t next_assembly = 0;
    FastSearch base;           // the shallow counters when the subtree began
    int64_t next_progress = 0; // the next multiple of PROGRESS_INTERVAL to look for
};

Merge merge;

thread_local Chunk* filling = nullptr;

bool never_mark(FastSearch&) { return false; }

bool checkpoint_mark(FastSearch& s) {
    filling->checkpoints[filling->checkpoint_count++] = s;
    s.next_mark = s.permutations + CHECKPOINT_INTERVAL;
    return filling->checkpoint_count == CHUNK_CHECKPOINTS;
}

Chunk* acquire_chunk(std::unique_lock<std::mutex>& lock, int64_t task) {
    pool->changed.wait(lock, [&] {
        return pool->cancel || (!pool->free_chunks.empty() &&
                                (task == pool->head_task || static_cast<int32_t>(pool->free_chunks.size()) > pool->reserve));
    });
    if (pool->cancel)
        return nullptr;
    Chunk* c = pool->free_chunks.back();
    pool->free_chunks.pop_back();
    return c;
}

void work() {
    for (;;) {
        FastSearch s;
        int64_t task;
        {
            std::unique_lock<std::mutex> lock(pool->mutex);
            if (pool->cancel || pool->splitter_exhausted)
                return;
            if (run_engine(pool->splitter) != EngineStop::SUBTREE) {
                pool->splitter_exhausted = true;
                return;
            }
            task = pool->next_task++;
            s = pool->splitter;
        }
        s.depth = SPLIT_DEPTH;
        s.floor = SPLIT_DEPTH;
        s.ceiling = PIECE_COUNT;
        s.permutations = 0;
        s.tiles_attempted_ahead = 0;
        s.tiles_succeeded = 0;
        s.next_mark = CHECKPOINT_INTERVAL;
        s.on_mark = checkpoint_mark;
        for (int32_t sequence = 0;; ++sequence) {
            {
                std::unique_lock<std::mutex> lock(pool->mutex);
                filling = acquire_chunk(lock, task);
                if (filling == nullptr)
                    return;
            }
            filling->task = task;
            filling->sequence = sequence;
            filling->checkpoint_count = 1;
            filling->assembly_count = 0;
            filling->checkpoints[0] = s;
            EngineStop stop;
            do {
                stop = run_engine(s);
                if (stop == EngineStop::ASSEMBLY)
                    filling->assemblies[filling->assembly_count++] = s;
            } while (stop == EngineStop::ASSEMBLY && filling->assembly_count < CHUNK_ASSEMBLIES);
            filling->last = stop == EngineStop::EXHAUSTED;
            filling->end = s;
            {
                std::lock_guard<std::mutex> lock(pool->mutex);
                pool->done_chunks.push_back(filling);
                filling = nullptr;
            }
            pool->changed.notify_all();
            if (stop == EngineStop::EXHAUSTED)
                break;
        }
    }
}

bool shallow_progress_mark(FastSearch& s) {
    if (s.permutations == s.next_mark && progress_function != nullptr) {
        show_position(s, s.depth, true);
        progress_function();
    }
    s.next_mark = (s.permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
    merge.next_progress = s.next_mark;
    return false;
}

int64_t replay_target = 0;
bool replay_found = false;

bool replay_mark(FastSearch& s) {
    replay_found = s.permutations == replay_target;
    return true;
}

// The subtree's own count `target` is a multiple of PROGRESS_INTERVAL in the run's count: replay
// from the last checkpoint before it and print the block if an exchange lands on it.
void progress_at(const Chunk& c, int64_t target) {
    int32_t j = c.checkpoint_count - 1;
    while (j > 0 && c.checkpoints[j].permutations > target)
        --j;
    FastSearch s = c.checkpoints[j];
    if (s.permutations == target && j > 0) {
        replay_found = true;
    } else {
        replay_target = target;
        replay_found = false;
        s.next_mark = target;
        s.on_mark = replay_mark;
        EngineStop stop;
        do
            stop = run_engine(s);
        while (stop == EngineStop::ASSEMBLY);
    }
    if (replay_found && progress_function != nullptr) {
        show_position(s, s.depth, true, &merge.base);
        progress_function();
    }
}

Chunk* wait_for_chunk(int64_t task, int32_t sequence) {
    std::unique_lock<std::mutex> lock(pool->mutex);
    for (;;) {
        for (size_t k = 0; k < pool->done_chunks.size(); ++k) {
            Chunk* c = pool->done_chunks[k];
            if (c->task == task && c->sequence == sequence) {
                pool->done_chunks.erase(pool->done_chunks.begin() + static_cast<std::ptrdiff_t>(k));
                return c;
            }
        }
        pool->changed.wait(lock);
    }
}

void release_chunk(Chunk* c, bool task_done) {
    {
        std::lock_guard<std::mutex> lock(pool->mutex);
        pool->free_chunks.push_back(c);
        if (task_done)
            ++pool->head_task;
    }
    pool->changed.notify_all();
}

}  // namespace

int32_t available_processors() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    const int32_t count = CPU_COUNT(&set);
    return count > 0 ? count : 1;
}

void begin_parallel_search(int32_t threads) {
    end_parallel_search();
    build_placement_table();
    pool = new Pool;
    const int32_t chunk_count = 4 * threads + 4;
    // Everything the workers and the merge use is made here, before the search starts.
    pool->free_chunks.reserve(static_cast<size_t>(chunk_count));
    pool->done_chunks.reserve(static_cast<size_t>(chunk_count));
    for (int32_t k = 0; k < chunk_count; ++k) {
        pool->chunks.push_back(std::make_unique<Chunk>());
        pool->free_chunks.push_back(pool->chunks.back().get());
    }
    pool->reserve = 2;
    pool->splitter = FastSearch{};
    pool->splitter.next_mark = INT64_MAX;
    pool->splitter.on_mark = never_mark;
    start_root(pool->splitter);
    pool->splitter.ceiling = SPLIT_DEPTH;

    merge = Merge{};
    merge.shallow.permutations = run_statistics.permutations;
    merge.shallow.tiles_attempted_ahead = run_statistics.tiles_attempted;
    merge.shallow.tiles_succeeded = run_statistics.tiles_succeeded;
    merge.shallow.next_mark = (merge.shallow.permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
    merge.shallow.on_mark = shallow_progress_mark;
    start_root(merge.shallow);
    merge.shallow.ceiling = SPLIT_DEPTH;
    merge.next_progress = merge.shallow.next_mark;

    // Workers never take SIGINT or SIGTERM: those reach the merging thread, which holds them
    // back while it writes a block.
    sigset_t stop_signals, previous;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, &previous);
    for (int32_t k = 0; k < threads; ++k)
        pool->workers.emplace_back(work);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

bool parallel_find_next_assembly() {
    for (;;) {
        if (merge.chunk != nullptr) {
            Chunk& c = *merge.chunk;
            // Assemblies and progress blocks in the order of the count: a block comes before
            // any assembly found at or after its exchange.
            const int64_t target = merge.next_progress - merge.base.permutations;
            const bool more_assemblies = merge.next_assembly < c.assembly_count;
            if (target <= c.end.permutations &&
                (!more_assemblies || target <= c.assemblies[merge.next_assembly].permutations)) {
                progress_at(c, target);
                merge.next_progress += PROGRESS_INTERVAL;
                continue;
            }
            if (more_assemblies) {
                const FastSearch& a = c.assemblies[merge.next_assembly++];
                show_position(a, PIECE_COUNT, false, &merge.base);
                write_assembly(a, board);
                return true;
            }
            const bool done = c.last;
            if (done) {
                merge.shallow.permutations += c.end.permutations;
                merge.shallow.tiles_attempted_ahead += c.end.tiles_attempted_ahead;
                merge.shallow.tiles_succeeded += c.end.tiles_succeeded;
                merge.shallow.next_mark = merge.next_progress;
                ++merge.task;
                merge.sequence = 0;
            } else {
                ++merge.sequence;
            }
            release_chunk(merge.chunk, done);
            merge.chunk = done ? nullptr : wait_for_chunk(merge.task, merge.sequence);
            merge.next_assembly = 0;
            continue;
        }
        const EngineStop stop = run_engine(merge.shallow);
        if (stop == EngineStop::SUBTREE) {
            merge.base = merge.shallow;
            merge.chunk = wait_for_chunk(merge.task, 0);
            merge.next_assembly = 0;
            continue;
        }
        // Exhausted: the shallow walk has no depth left.
        show_position(merge.shallow, 0, false);
        end_parallel_search();
        return false;
    }
}

void end_parallel_search() {
    if (pool == nullptr)
        return;
    {
        std::lock_guard<std::mutex> lock(pool->mutex);
        pool->cancel = true;
    }
    pool->changed.notify_all();
    for (std::thread& t : pool->workers)
        t.join();
    delete pool;
    pool = nullptr;
}
