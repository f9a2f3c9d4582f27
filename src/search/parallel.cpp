#include "search/parallel.hpp"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/platform.hpp"
#include "search/placement_table.hpp"

// Why the output on any number of threads is the single-threaded output, byte for byte:
//
// - The splitter and the merge number the same subtrees. Both walk the depths above SPLIT_DEPTH
//   with the same loop, and the loop hands back only a subtree whose root has a piece that fits.
//   A dead root is counted at once by the splitter, which has no marks, but stepped through by
//   the merge walk when a progress mark falls inside it; were dead roots handed back, the two
//   would number the subtrees differently.
// - Counters are kept per subtree and added in task order. A worker counts its subtree from 0;
//   the merge adds each subtree's count to its own, subtree after subtree in the order the
//   splitter handed them out, so every counter it shows is the single-threaded search's there.
//   Within a chunk, assemblies and progress marks come out in the order of the count: a mark
//   comes before any assembly found at or after its exchange.
// - Marks are found by replaying from the last checkpoint. Where a progress block falls is known
//   only once every earlier subtree is merged, so the worker keeps its position at every
//   CHECKPOINT_INTERVAL permutations of its own count, and the merge replays from the last one
//   before the mark, at most CHECKPOINT_INTERVAL permutations back.
//
// What it costs: a chunk holds CHUNK_CHECKPOINTS + CHUNK_ASSEMBLIES + 1 positions of 5,168 bytes,
// about 0.64 MiB, and the pool makes 4 chunks per thread and 4 more, all before the search starts:
// 7.7 MiB on two threads, 2.6 MiB more per further thread.

namespace {

// Subtrees start below this depth: about 180,000 of them, a few milliseconds each on average.
constexpr int32_t SPLIT_DEPTH = 3;
// Workers keep a resumable position every this many permutations of their own count.
constexpr int64_t CHECKPOINT_INTERVAL = 8192;
constexpr int32_t CHUNK_CHECKPOINTS = 64;
constexpr int32_t CHUNK_ASSEMBLIES = 64;

// A stretch of one subtree's search, with counters relative to the subtree's start.
struct Chunk {
    int64_t task;
    int32_t sequence;  // 0 for the subtree's first chunk
    bool last;         // the subtree is exhausted at its end
    int32_t checkpoint_count;
    int32_t assembly_count;
    EnginePosition end;  // the position at the end of the stretch, with its counters
    EnginePosition checkpoints[CHUNK_CHECKPOINTS];  // the first is where the stretch starts
    EnginePosition assemblies[CHUNK_ASSEMBLIES];
};

struct Pool {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::unique_ptr<Chunk>> chunks;
    std::vector<Chunk*> free_chunks;
    std::vector<Chunk*> done_chunks;  // filled, waiting for the merge
    int32_t reserve = 0;               // free chunks kept for the subtree being merged
    EnginePosition splitter{};             // hands out the subtrees in order
    bool splitter_exhausted = false;
    int64_t next_task = 0;
    int64_t head_task = 0;  // the subtree being merged
    bool cancel = false;
    std::vector<std::thread> workers;
};

Pool* pool = nullptr;

// The merging thread's own walk of the depths above the subtrees, with absolute counters.
struct Merge {
    EnginePosition shallow;
    int64_t task = 0;          // the subtree being merged
    int32_t sequence = 0;      // its next chunk
    Chunk* chunk = nullptr;    // the chunk being merged
    int32_t next_assembly = 0;
    SearchCounters base{};     // the shallow walk's counters where the subtree began
    int64_t next_progress = 0; // the next progress mark to look for
    int64_t mark_interval = 1;
};

Merge merge;

// A worker takes a free chunk for a later subtree only while more than `reserve` are free. The
// merge can only release chunks of the subtree it is merging; if the workers ahead of it took
// every free chunk for later subtrees, the worker of that subtree could not go on, and neither
// could the merge. The chunks in reserve are for the subtree being merged.
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

// Searches on from the worker's position into the chunk, keeping a checkpoint every
// CHECKPOINT_INTERVAL permutations and every assembly, until the chunk is full or the subtree
// ends. Returns the engine's last stop.
EngineStop fill_chunk(EnginePosition& s, Chunk& c) {
    c.checkpoint_count = 1;
    c.assembly_count = 0;
    c.checkpoints[0] = s;
    for (;;) {
        const EngineStop stop = run_engine(s);
        if (stop == EngineStop::MARK) {
            c.checkpoints[c.checkpoint_count++] = s;
            s.next_mark = s.counted.permutations + CHECKPOINT_INTERVAL;
            if (c.checkpoint_count < CHUNK_CHECKPOINTS)
                continue;
        } else if (stop == EngineStop::ASSEMBLY) {
            c.assemblies[c.assembly_count++] = s;
            if (c.assembly_count < CHUNK_ASSEMBLIES)
                continue;
        }
        return stop;
    }
}

void work() {
    for (;;) {
        EnginePosition s;
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
        // The subtree below the splitter's position, with counters of its own.
        s.depth = SPLIT_DEPTH;
        s.floor = SPLIT_DEPTH;
        s.ceiling = NO_CEILING;
        s.counted = {0, 0, 0};
        s.next_mark = CHECKPOINT_INTERVAL;
        for (int32_t sequence = 0;; ++sequence) {
            Chunk* c;
            {
                std::unique_lock<std::mutex> lock(pool->mutex);
                c = acquire_chunk(lock, task);
                if (c == nullptr)
                    return;
            }
            c->task = task;
            c->sequence = sequence;
            const bool last = fill_chunk(s, *c) == EngineStop::EXHAUSTED;
            c->last = last;
            c->end = s;
            {
                std::lock_guard<std::mutex> lock(pool->mutex);
                pool->done_chunks.push_back(c);
            }
            pool->changed.notify_all();
            if (last)
                break;
        }
    }
}

// The subtree's own count `target` is a progress mark: replays from the last checkpoint before
// it, and publishes the position when an exchange lands on it exactly.
bool replay_to_mark(const Chunk& c, int64_t target, PublishedPosition& shown) {
    int32_t j = c.checkpoint_count - 1;
    while (j > 0 && c.checkpoints[j].counted.permutations > target)
        --j;
    EnginePosition s = c.checkpoints[j];
    bool landed = j > 0 && s.counted.permutations == target;  // a checkpoint is an exchange
    if (!landed) {
        s.next_mark = target;
        EngineStop stop;
        do
            stop = run_engine(s);
        while (stop == EngineStop::ASSEMBLY);
        landed = stop == EngineStop::MARK && s.counted.permutations == target;
    }
    if (landed)
        publish_position(s, s.depth, true, merge.base, shown);
    return landed;
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

bool parallel_search_fits(int32_t piece_count) { return piece_count > SPLIT_DEPTH + 1; }

int32_t available_processors() {
    return platform_processor_count();
}

void begin_parallel_search(const EnginePosition& root, int32_t threads, int64_t mark_interval) {
    end_parallel_search();
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
    pool->splitter = root;
    pool->splitter.ceiling = SPLIT_DEPTH;
    pool->splitter.next_mark = INT64_MAX;

    merge = Merge{};
    merge.shallow = root;
    merge.shallow.ceiling = SPLIT_DEPTH;
    merge.shallow.next_mark = next_multiple(root.counted.permutations, mark_interval);
    merge.next_progress = merge.shallow.next_mark;
    merge.mark_interval = mark_interval;

    // Workers never take SIGINT or SIGTERM: those reach the merging thread, which holds them
    // back while it writes a block.
    const bool were_held = platform_keep_stops_from_new_threads();
    for (int32_t k = 0; k < threads; ++k)
        pool->workers.emplace_back(work);
    platform_restore_stops(were_held);
}

ParallelEvent next_parallel_event(PublishedPosition& shown, Board& assembly) {
    for (;;) {
        if (merge.chunk != nullptr) {
            Chunk& c = *merge.chunk;
            // Assemblies and progress marks in the order of the count (see the top of the file).
            const int64_t target = merge.next_progress - merge.base.permutations;
            const bool more_assemblies = merge.next_assembly < c.assembly_count;
            if (target <= c.end.counted.permutations &&
                (!more_assemblies || target <= c.assemblies[merge.next_assembly].counted.permutations)) {
                merge.next_progress += merge.mark_interval;
                if (replay_to_mark(c, target, shown))
                    return ParallelEvent::PROGRESS_MARK;
                continue;
            }
            if (more_assemblies) {
                const EnginePosition& a = c.assemblies[merge.next_assembly++];
                publish_position(a, placement_table.piece_count, false, merge.base, shown);
                write_assembly(a, assembly);
                return ParallelEvent::ASSEMBLY;
            }
            const bool done = c.last;
            if (done) {
                add_counters(merge.shallow.counted, c.end.counted);
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
        const EngineStop stop = run_to_progress_mark(merge.shallow, merge.mark_interval);
        merge.next_progress = merge.shallow.next_mark;
        if (stop == EngineStop::MARK) {
            publish_position(merge.shallow, merge.shallow.depth, true, {0, 0, 0}, shown);
            return ParallelEvent::PROGRESS_MARK;
        }
        if (stop == EngineStop::SUBTREE) {
            merge.base = merge.shallow.counted;
            merge.chunk = wait_for_chunk(merge.task, 0);
            merge.next_assembly = 0;
            continue;
        }
        // Exhausted: the shallow walk has no depth left.
        publish_position(merge.shallow, 0, false, {0, 0, 0}, shown);
        return ParallelEvent::EXHAUSTED;
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
