#include "search/fast_search.hpp"

#include <algorithm>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "model/search_state.hpp"
#include "search/fit_tests.hpp"

namespace {

constexpr int32_t MAX_CANDIDATES = FAST_MAX_PIECES * FAST_MAX_SLOTS;
// A piece's placements on one cell lie in a block of masks padded to a multiple of this, so
// that the widest fit test reads whole aligned vectors.
constexpr int32_t BLOCK_WIDTH = 8;
constexpr int32_t MAX_MASKS = FAST_MAX_PLACEMENTS + FAST_MAX_CELLS * FAST_MAX_PIECES * BLOCK_WIDTH;
// Tasks are the nodes this many depths below the root at least, and deeper until there are this
// many of them.
constexpr int32_t MIN_TASKS = 2000;
// k is tried where the scan reaches its representatives; false places it first, at the root.
constexpr bool K_IN_LINE = true;

// A piece's placements anchored on one cell: masks [begin, begin + size), the first `real` real.
struct Block {
    int32_t begin;
    int32_t size;
    uint32_t real_mask;
    int32_t real;
};

struct FastTables {
    int32_t cell_count;
    int32_t piece_count;
    CellSet outside;  // the bits above the target's cells, covered from the start
    Block blocks[FAST_MAX_CELLS][FAST_MAX_PIECES];  // per cell, each piece's placements anchored on it
    alignas(64) CellSet masks[MAX_MASKS];
    uint16_t mask_placement[MAX_MASKS];
    uint8_t mask_piece[MAX_MASKS];
    CellSet mask_halo[MAX_MASKS];  // the cells next to the placement's, outside it
    // k in line: its representatives are tried where the scan reaches them, and a position where
    // none of them fits any more is not entered. Otherwise k is placed first, at the root.
    bool k_in_line;
    uint32_t k_bit;  // k as a piece bit, 0 when k is placed first or there is none
    alignas(64) CellSet rep_masks[FAST_MAX_PLACEMENTS / FAST_MAX_SYMMETRIES + 64];
    int32_t rep_mask_count;  // padded to a multiple of BLOCK_WIDTH
    CellSet neighbours[FAST_MAX_CELLS + 1];  // face neighbours per cell
    // The piece sizes, ascending, and the pieces of each.
    int32_t size_count;
    int32_t sizes[FAST_MAX_PIECES];
    uint32_t pieces_of_size[FAST_MAX_PIECES];
    uint32_t copies_after[FAST_MAX_PIECES];  // identical pieces numbered above this one
    uint32_t with_copies;                     // pieces that have such copies
    int8_t piece_class[FAST_MAX_PIECES];
    uint32_t all_pieces;
    FastPuzzle puzzle;
    // The symmetry breaking.
    FastSymmetryBreaking breaking;
    std::vector<uint16_t> representatives;    // in search order
    std::vector<uint8_t> allowed;             // per placement
    std::vector<int32_t> rep_of_placement;    // the representative's index, or -1
    std::vector<uint8_t> tested;              // per representative (one entry when none is)
    std::vector<std::vector<uint8_t>> checks; // per representative: the symmetries to test
};

FastTables* tables = nullptr;

CellSet image_of(const FastPuzzle& z, int32_t g, CellSet cells) {
    CellSet out = 0;
    for (; cells != 0; cells &= cells - 1)
        out |= cell_bit(z.symmetry_cells[g][std::countr_zero(cells)]);
    return out;
}

bool is_identity(const FastPuzzle& z, int32_t g) {
    for (int32_t c = 0; c < z.cell_count; ++c)
        if (z.symmetry_cells[g][c] != c)
            return false;
    for (int32_t p = 0; p < z.piece_count; ++p)
        if (z.symmetry_pieces[g][p] != p)
            return false;
    return true;
}

// The placement of `piece` on exactly `cells`, or -1.
int32_t find_placement(const FastPuzzle& z, int32_t piece, CellSet cells) {
    const int32_t anchor = std::countr_zero(cells);
    const auto first = std::lower_bound(z.placements.begin(), z.placements.end(), anchor,
                                        [](const FastPlacement& p, int32_t a) { return p.anchor < a; });
    for (auto it = first; it != z.placements.end() && it->anchor == anchor; ++it)
        if (it->piece == piece && it->cells == cells)
            return static_cast<int32_t>(it - z.placements.begin());
    return -1;
}

// Restricts piece k to one placement per orbit of the symmetries that keep it; returns the
// number of orbits (and fills the representatives when `keep`).
int32_t restrict_piece(FastTables& t, int32_t k, bool keep) {
    const FastPuzzle& z = t.puzzle;
    const int32_t n = static_cast<int32_t>(z.placements.size());
    std::vector<uint8_t> seen(n, 0);
    int32_t orbits = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (z.placements[i].piece != k || seen[i])
            continue;
        ++orbits;
        if (keep)
            t.representatives.push_back(static_cast<uint16_t>(i));
        for (int32_t g = 0; g < z.symmetry_count; ++g) {
            if (z.symmetry_pieces[g][k] != k)
                continue;
            const int32_t j = find_placement(z, k, image_of(z, g, z.placements[i].cells));
            if (j >= 0)
                seen[j] = 1;
        }
    }
    return orbits;
}

void choose_symmetry_breaking(FastTables& t) {
    const FastPuzzle& z = t.puzzle;
    int32_t best = -1, best_orbits = 0;
    bool best_kept_by_all = false;
    for (int32_t k = 0; k < z.piece_count; ++k) {
        bool alone = true;
        for (int32_t q = 0; q < z.piece_count; ++q)
            alone = alone && (q == k || z.piece_class[q] != z.piece_class[k]);
        if (!alone)
            continue;
        bool kept_by_all = true;
        for (int32_t g = 0; g < z.symmetry_count; ++g)
            kept_by_all = kept_by_all && z.symmetry_pieces[g][k] == k;
        const int32_t orbits = restrict_piece(t, k, false);
        if (best < 0 || (kept_by_all && !best_kept_by_all) ||
            (kept_by_all == best_kept_by_all && orbits < best_orbits)) {
            best = k;
            best_orbits = orbits;
            best_kept_by_all = kept_by_all;
        }
    }
    const int32_t n = static_cast<int32_t>(z.placements.size());
    t.allowed.assign(n, 1);
    t.rep_of_placement.assign(n, -1);
    t.representatives.clear();
    t.checks.clear();
    t.tested.clear();
    FastSymmetryBreaking& b = t.breaking;
    b = {best, 0, 0, 0};
    if (best < 0) {
        // Nothing placed first: the test keeps the smallest of all copies.
        t.checks.emplace_back();
        for (int32_t g = 0; g < z.symmetry_count; ++g)
            if (!is_identity(z, g))
                t.checks.back().push_back(static_cast<uint8_t>(g));
        t.tested.push_back(t.checks.back().empty() ? 0 : 1);
        b.tested = t.tested.back();
        return;
    }
    restrict_piece(t, best, true);
    for (int32_t i = 0; i < n; ++i)
        if (z.placements[i].piece == best) {
            ++b.placements;
            t.allowed[i] = 0;
        }
    for (size_t r = 0; r < t.representatives.size(); ++r) {
        const int32_t i = t.representatives[r];
        t.allowed[i] = 1;
        t.rep_of_placement[i] = static_cast<int32_t>(r);
        std::vector<uint8_t> list;
        for (int32_t g = 0; g < z.symmetry_count; ++g) {
            if (is_identity(z, g))
                continue;
            const bool keeps_k = z.symmetry_pieces[g][best] == best;
            if (!keeps_k || image_of(z, g, z.placements[i].cells) == z.placements[i].cells)
                list.push_back(static_cast<uint8_t>(g));
        }
        t.tested.push_back(list.empty() ? 0 : 1);
        b.tested += t.tested.back();
        t.checks.push_back(std::move(list));
    }
    b.representatives = static_cast<int32_t>(t.representatives.size());
}

// ---- fit tests: bit i set when mask i leaves `covered` free ----

inline uint32_t fits_plain(const CellSet* m, int32_t size, CellSet covered) {
    uint32_t bits = 0;
    for (int32_t i = 0; i < size; ++i)
        bits |= static_cast<uint32_t>((m[i] & covered) == 0) << i;
    return bits;
}

#if TANDOR_VECTOR_FIT_TESTS
[[gnu::target("avx2")]] inline uint32_t fits_avx2(const CellSet* m, int32_t size, CellSet covered) {
    const __m256i taken = _mm256_set1_epi64x(static_cast<long long>(covered));
    const __m256i zero = _mm256_setzero_si256();
    uint32_t bits = 0;
    for (int32_t i = 0; i < size; i += 4) {
        const __m256i v = _mm256_load_si256(reinterpret_cast<const __m256i*>(m + i));
        const __m256i clear = _mm256_cmpeq_epi64(_mm256_and_si256(v, taken), zero);
        bits |= static_cast<uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(clear))) << i;
    }
    return bits;
}

[[gnu::target("avx512f")]] inline uint32_t fits_avx512(const CellSet* m, int32_t size, CellSet covered) {
    const __m512i taken = _mm512_set1_epi64(static_cast<long long>(covered));
    uint32_t bits = 0;
    for (int32_t i = 0; i < size; i += 8)
        bits |= static_cast<uint32_t>(_mm512_testn_epi64_mask(_mm512_load_si512(m + i), taken)) << i;
    return bits;
}
#endif

using FitFunction = uint32_t (*)(const CellSet*, int32_t, CellSet);

// Whether any of the masks leaves `covered` free: for k's representatives, which may be more
// than a fit test's 32 bits.
inline bool fits_somewhere(const CellSet* m, int32_t size, CellSet covered) {
    for (int32_t i = 0; i < size; ++i)
        if ((m[i] & covered) == 0)
            return true;
    return false;
}

// ---- the search ----

struct Frame {
    CellSet covered;
    uint32_t unplaced;
    int32_t count;
    int32_t next;
    uint16_t candidates[MAX_CANDIDATES];  // mask indices
};

struct Task {
    CellSet covered;
    uint32_t unplaced;
    int32_t depth;  // placements made above it
    bool complete;  // a solution already
    uint16_t prefix[FAST_MAX_PIECES];
    SearchCounters before;  // the counts of the walk above the tasks, up to this one
};

// One thread's search: its frames, the placements above its task, and its counters.
struct Walker {
    Frame frames[FAST_MAX_PIECES + 1];
    uint16_t prefix[FAST_MAX_PIECES];
    SearchCounters counted;
    // Set by the caller: where solutions and tasks go.
    std::vector<FastSolution>* solutions;
    std::vector<Task>* tasks;
};

// The pieces that may be tried: the unplaced ones, identical pieces only in their first copy.
inline uint32_t pieces_to_try(const FastTables& t, uint32_t unplaced) {
    uint32_t allowed = unplaced;
    for (uint32_t rest = unplaced & t.with_copies; rest != 0; rest &= rest - 1)
        allowed &= ~t.copies_after[std::countr_zero(rest)];
    return allowed;
}

// Whether an empty cell of `halo` has no empty neighbour left (where the smallest piece left has
// two cubes or more), or is one of two empty cells enclosed together (three or more): no piece
// left can fill it.
[[gnu::always_inline]] inline bool encloses_cell(const CellSet* neighbours, CellSet halo, CellSet now, int32_t smallest) {
    const CellSet empty = ~now;
    if (smallest < 2)
        return false;
    for (CellSet rest = halo & empty; rest != 0; rest &= rest - 1) {
        const CellSet around = neighbours[std::countr_zero(rest)] & empty;
        if (around == 0)
            return true;
        if (smallest >= 3 && (around & (around - 1)) == 0 &&
            (neighbours[std::countr_zero(around)] & empty & ~(rest & -rest)) == 0)
            return true;
    }
    return false;
}

// The size of the smallest piece of a set.
inline int32_t smallest_piece(const FastTables& t, uint32_t pieces) {
    for (int32_t i = 0; i < t.size_count; ++i)
        if ((pieces & t.pieces_of_size[i]) != 0)
            return t.sizes[i];
    return 0;
}

// The fits of every piece that may be tried, from one row of blocks: per piece its bits, and
// their number.
template <FitFunction fit>
[[gnu::always_inline]] inline int32_t find_fits(const FastTables& t, const Block* row, uint32_t pieces, CellSet covered,
                                                uint32_t (&bits)[FAST_MAX_PIECES], int64_t& attempted) {
    int32_t n = 0;
    for (uint32_t rest = pieces; rest != 0; rest &= rest - 1) {
        const int32_t p = std::countr_zero(rest);
        const Block& b = row[p];
        attempted += b.real;
        bits[p] = b.real == 0 ? 0 : fit(t.masks + b.begin, b.size, covered) & b.real_mask;
        n += std::popcount(bits[p]);
    }
    return n;
}

// Sets the frame's candidates: the placements that fit on its first empty cell.
template <FitFunction fit>
[[gnu::always_inline]] inline void enter(const FastTables& t, Frame& f, SearchCounters& c) {
    const uint32_t pieces = pieces_to_try(t, f.unplaced);
    const Block* row = t.blocks[std::countr_zero(~f.covered)];
    uint32_t bits[FAST_MAX_PIECES];
    int64_t attempted = 0;
    int32_t n = 0;
    if (find_fits<fit>(t, row, pieces, f.covered, bits, attempted) != 0)
        for (uint32_t rest = pieces; rest != 0; rest &= rest - 1) {
            const int32_t p = std::countr_zero(rest);
            for (uint32_t b = bits[p]; b != 0; b &= b - 1)
                f.candidates[n++] = static_cast<uint16_t>(row[p].begin + std::countr_zero(b));
        }
    f.count = n;
    f.next = 0;
    ++c.permutations;
    c.tiles_attempted += attempted;
}

void record_solution(const FastTables& t, Walker& w, int32_t depth) {
    FastSolution s{};
    for (int32_t d = 0; d <= depth; ++d)
        s.placements[d] = w.prefix[d];
    if (fast_solution_kept(s.placements, t.piece_count)) {
        s.counters = w.counted;
        w.solutions->push_back(s);
    }
}

// The depth-first search from frames[start], whose covered cells and pieces are set, down to
// the last depth or, when `limit` is above `start`, to tasks at depth `limit`.
template <FitFunction fit>
[[gnu::always_inline]] inline void walk(const FastTables& t, Walker& w, int32_t start, int32_t limit) {
    const CellSet* masks = t.masks;
    const CellSet* neighbours = t.neighbours;
    SearchCounters c = w.counted;
    int32_t d = start;
    enter<fit>(t, w.frames[d], c);
    for (;;) {
        Frame& f = w.frames[d];
        if (f.next == f.count) {
            if (d == start)
                break;
            --d;
            continue;
        }
        const int32_t e = f.candidates[f.next++];
        const CellSet now = f.covered | masks[e];
        ++c.tiles_succeeded;
        if (now == ~CellSet{0}) {
            w.prefix[d] = t.mask_placement[e];
            w.counted = c;
            if (w.tasks != nullptr) {  // cutting the tree into tasks: a solution is one
                Task task{now, 0, d + 1, true, {}, c};
                std::copy(w.prefix, w.prefix + d + 1, task.prefix);
                w.tasks->push_back(task);
            } else {
                record_solution(t, w, d);
            }
            continue;
        }
        const uint32_t unplaced = f.unplaced & ~(uint32_t{1} << t.mask_piece[e]);
        if (encloses_cell(neighbours, t.mask_halo[e], now, smallest_piece(t, unplaced)))
            continue;  // a cell next to the placement is enclosed
        if ((unplaced & t.k_bit) != 0 && !fits_somewhere(t.rep_masks, t.rep_mask_count, now))
            continue;  // k fits in none of its representatives any more
        Frame& child = w.frames[d + 1];
        child.covered = now;
        child.unplaced = unplaced;
        w.prefix[d] = t.mask_placement[e];
        if (d + 1 == limit) {
            Task task{now, child.unplaced, limit, false, {}, c};
            std::copy(w.prefix, w.prefix + limit, task.prefix);
            w.tasks->push_back(task);
            continue;
        }
        ++d;
        enter<fit>(t, child, c);
    }
    w.counted = c;
}

// One copy of the loop per fit test, each compiled for the processors that have its instructions.
void walk_plain(const FastTables& t, Walker& w, int32_t start, int32_t limit) { walk<fits_plain>(t, w, start, limit); }

#if TANDOR_VECTOR_FIT_TESTS
[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] void walk_avx2(const FastTables& t, Walker& w,
                                                                            int32_t start, int32_t limit) {
    walk<fits_avx2>(t, w, start, limit);
}

[[gnu::target("avx512f,avx512vl,avx512bw,avx512dq,avx512cd,avx2,bmi,bmi2,lzcnt,popcnt,fma,f16c,movbe")]] void walk_avx512(
    const FastTables& t, Walker& w, int32_t start, int32_t limit) {
    walk<fits_avx512>(t, w, start, limit);
}
#else
// Elsewhere (64-bit ARM) the plain loop stands for the vector tests, as in the default search.
void walk_avx2(const FastTables& t, Walker& w, int32_t start, int32_t limit) { walk_plain(t, w, start, limit); }
void walk_avx512(const FastTables& t, Walker& w, int32_t start, int32_t limit) { walk_plain(t, w, start, limit); }
#endif

void walk_any(const FastTables& t, Walker& w, int32_t start, int32_t limit) {
    switch (engine_fit_test) {
    case FitTest::AVX512:
        return walk_avx512(t, w, start, limit);
    case FitTest::AVX2:
        return walk_avx2(t, w, start, limit);
    case FitTest::PLAIN:
        break;
    }
    walk_plain(t, w, start, limit);
}

// Cuts the tree into tasks: the root (k in each representative), then the depths below down to
// the first depth with at least MIN_TASKS nodes.
void make_tasks(const FastTables& t, std::vector<Task>& tasks, SearchCounters& walked) {
    auto w = std::make_unique<Walker>();
    std::vector<FastSolution> none;
    w->solutions = &none;
    for (int32_t limit = 1; limit <= t.piece_count; ++limit) {
        tasks.clear();
        w->counted = {0, 0, 0};
        w->tasks = &tasks;
        const CellSet start = t.outside;
        const uint32_t all = t.all_pieces;
        if (t.breaking.restricted_piece >= 0 && !t.k_in_line) {
            ++w->counted.permutations;  // the root, where k is placed
            for (uint16_t r : t.representatives) {
                const FastPlacement& p = t.puzzle.placements[r];
                ++w->counted.tiles_attempted;
                ++w->counted.tiles_succeeded;
                const CellSet now = start | p.cells;
                const uint32_t unplaced = all & ~(uint32_t{1} << p.piece);
                w->prefix[0] = r;
                if (now == ~CellSet{0}) {
                    Task task{now, unplaced, 1, true, {r}, w->counted};
                    tasks.push_back(task);
                    continue;
                }
                CellSet halo = 0;
                for (CellSet m = p.cells; m != 0; m &= m - 1)
                    halo |= t.neighbours[std::countr_zero(m)];
                if (encloses_cell(t.neighbours, halo & ~p.cells, now, smallest_piece(t, unplaced)))
                    continue;
                if (limit == 1) {
                    tasks.push_back({now, unplaced, 1, false, {r}, w->counted});
                    continue;
                }
                w->frames[1].covered = now;
                w->frames[1].unplaced = unplaced;
                walk_any(t, *w, 1, limit);
            }
        } else {
            w->frames[0].covered = start;
            w->frames[0].unplaced = all;
            walk_any(t, *w, 0, limit);
        }
        walked = w->counted;
        if (static_cast<int32_t>(tasks.size()) >= MIN_TASKS || limit == t.piece_count - 1)
            break;
    }
}

// Searches one task; its solutions' counters count from the task's start.
void run_task(const FastTables& t, Walker& w, const Task& task, std::vector<FastSolution>& out, SearchCounters& total) {
    w.solutions = &out;
    w.tasks = nullptr;
    w.counted = {0, 0, 0};
    std::copy(task.prefix, task.prefix + task.depth, w.prefix);
    if (task.complete) {
        record_solution(t, w, task.depth - 1);
    } else {
        w.frames[task.depth].covered = task.covered;
        w.frames[task.depth].unplaced = task.unplaced;
        walk_any(t, w, task.depth, FAST_MAX_PIECES + 1);
    }
    total = w.counted;
}

struct TaskResult {
    std::vector<FastSolution> solutions;
    SearchCounters total;
    bool done;
};

struct FastRun {
    std::vector<Task> tasks;
    std::vector<TaskResult> results;
    SearchCounters walked;  // the walk above the tasks, whole
    int32_t threads;
    std::atomic<int64_t> next_task{0};
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<std::thread> workers;
    std::unique_ptr<Walker> own;  // the calling thread's, on one thread
    // The reader.
    size_t current = 0;
    size_t index = 0;
    SearchCounters base{0, 0, 0};  // the tasks before the current one, whole
};

FastRun* run = nullptr;

void work(FastRun& r) {
    auto w = std::make_unique<Walker>();
    for (;;) {
        const int64_t i = r.next_task.fetch_add(1);
        if (i >= static_cast<int64_t>(r.tasks.size()) || r.cancel.load())
            return;
        std::vector<FastSolution> found;
        SearchCounters total{0, 0, 0};
        run_task(*tables, *w, r.tasks[i], found, total);
        std::lock_guard<std::mutex> lock(r.mutex);
        r.results[i].solutions = std::move(found);
        r.results[i].total = total;
        r.results[i].done = true;
        r.finished.notify_all();
    }
}

}  // namespace

void build_fast_tables(const FastPuzzle& puzzle) {
    if (tables == nullptr)
        tables = new FastTables;
    FastTables& t = *tables;
    t.puzzle = puzzle;
    t.cell_count = puzzle.cell_count;
    t.piece_count = puzzle.piece_count;
    t.outside = puzzle.cell_count == 64 ? 0 : ~((CellSet{1} << puzzle.cell_count) - 1);
    t.all_pieces = puzzle.piece_count == 32 ? ~0u : (1u << puzzle.piece_count) - 1;
    t.with_copies = 0;
    for (int32_t p = 0; p < puzzle.piece_count; ++p) {
        t.piece_class[p] = static_cast<int8_t>(puzzle.piece_class[p]);
        t.copies_after[p] = 0;
        for (int32_t q = p + 1; q < puzzle.piece_count; ++q)
            if (puzzle.piece_class[q] == puzzle.piece_class[p])
                t.copies_after[p] |= 1u << q;
        if (t.copies_after[p] != 0)
            t.with_copies |= 1u << p;
    }
    choose_symmetry_breaking(t);
    t.k_in_line = K_IN_LINE && t.breaking.restricted_piece >= 0;
    t.k_bit = t.k_in_line ? uint32_t{1} << t.breaking.restricted_piece : 0;
    t.rep_mask_count = 0;
    for (uint16_t r : t.representatives)
        t.rep_masks[t.rep_mask_count++] = puzzle.placements[r].cells;
    while (t.rep_mask_count % BLOCK_WIDTH != 0)
        t.rep_masks[t.rep_mask_count++] = ~CellSet{0};
    // The blocks: each piece's allowed placements per anchor cell (k's are left out when it is
    // placed first, at the root).
    int32_t used = 0;
    const std::vector<FastPlacement>& all = puzzle.placements;
    for (int32_t c = 0; c < FAST_MAX_CELLS; ++c)
            for (int32_t p = 0; p < FAST_MAX_PIECES; ++p) {
                Block& b = t.blocks[c][p];
                b = {used, 0, 0, 0};
                for (size_t i = 0; i < all.size(); ++i) {
                    if (all[i].anchor != c || all[i].piece != p)
                        continue;
                    if (!t.allowed[i] || (p == t.breaking.restricted_piece && !t.k_in_line))
                        continue;
                    const int32_t j = used + b.real;
                    t.masks[j] = all[i].cells;
                    t.mask_placement[j] = static_cast<uint16_t>(i);
                    t.mask_piece[j] = static_cast<uint8_t>(p);
                    CellSet halo = 0;
                    for (CellSet m = all[i].cells; m != 0; m &= m - 1)
                        halo |= puzzle.neighbours[std::countr_zero(m)];
                    t.mask_halo[j] = halo & ~all[i].cells;
                    ++b.real;
                }
                b.size = (b.real + BLOCK_WIDTH - 1) / BLOCK_WIDTH * BLOCK_WIDTH;
                for (int32_t j = b.real; j < b.size; ++j) {
                    t.masks[used + j] = ~CellSet{0};
                    t.mask_placement[used + j] = 0;
                    t.mask_piece[used + j] = 0;
                    t.mask_halo[used + j] = 0;
                }
                b.real_mask = b.real == 32 ? ~0u : (1u << b.real) - 1;
                used += b.size;
            }
    for (int32_t c = 0; c <= FAST_MAX_CELLS; ++c)
        t.neighbours[c] = c < puzzle.cell_count ? puzzle.neighbours[c] : 0;
    t.size_count = 0;
    for (int32_t size = 1; size <= FAST_MAX_CELLS; ++size) {
        uint32_t of_size = 0;
        for (const FastPlacement& placement : all)
            if (std::popcount(placement.cells) == size)
                of_size |= uint32_t{1} << placement.piece;
        if (of_size != 0) {
            t.sizes[t.size_count] = size;
            t.pieces_of_size[t.size_count++] = of_size;
        }
    }
}

const FastSymmetryBreaking& fast_symmetry_breaking() { return tables->breaking; }

bool fast_placement_allowed(int32_t placement) { return tables->allowed[placement] != 0; }

void fast_solution_cells(const FastSolution& s, int8_t (&cells)[FAST_MAX_CELLS]) {
    for (int8_t& c : cells)
        c = -1;
    for (int32_t d = 0; d < tables->piece_count; ++d) {
        const FastPlacement& p = tables->puzzle.placements[s.placements[d]];
        for (CellSet m = p.cells; m != 0; m &= m - 1)
            cells[std::countr_zero(m)] = static_cast<int8_t>(p.piece);
    }
}

namespace {

// An assembly's form up to swapping identical pieces: per cell in scan order, its piece's class
// and the rank of the piece's first cell among the pieces' first cells.
void assembly_form(const FastTables& t, const int8_t* piece_at, int16_t* form) {
    int8_t rank_of[FAST_MAX_PIECES];
    for (int8_t& r : rank_of)
        r = -1;
    int8_t ranks = 0;
    for (int32_t c = 0; c < t.cell_count; ++c) {
        const int32_t p = piece_at[c];
        if (rank_of[p] < 0)
            rank_of[p] = ranks++;
        form[c] = static_cast<int16_t>(t.piece_class[p] * FAST_MAX_PIECES + rank_of[p]);
    }
}

}  // namespace

bool fast_solution_kept(const uint16_t* placements, int32_t count) {
    const FastTables& t = *tables;
    const FastPuzzle& z = t.puzzle;
    const int32_t k = t.breaking.restricted_piece;
    int32_t rep = 0;
    if (k >= 0) {
        rep = -1;
        for (int32_t d = 0; d < count && rep < 0; ++d)
            rep = t.rep_of_placement[placements[d]];
        if (rep < 0)
            return false;  // k is not on a representative: never searched
    }
    if (!t.tested[rep])
        return true;
    int8_t piece_at[FAST_MAX_CELLS];
    for (int32_t d = 0; d < count; ++d) {
        const FastPlacement& p = z.placements[placements[d]];
        for (CellSet m = p.cells; m != 0; m &= m - 1)
            piece_at[std::countr_zero(m)] = static_cast<int8_t>(p.piece);
    }
    int16_t form[FAST_MAX_CELLS];
    assembly_form(t, piece_at, form);
    for (uint8_t g : t.checks[rep]) {
        int8_t image[FAST_MAX_CELLS];
        CellSet k_cells = 0;
        for (int32_t c = 0; c < z.cell_count; ++c) {
            const int32_t to = z.symmetry_cells[g][c];
            const int32_t piece = z.symmetry_pieces[g][piece_at[c]];
            image[to] = static_cast<int8_t>(piece);
            if (piece == k)
                k_cells |= cell_bit(to);
        }
        if (k >= 0) {
            const int32_t j = find_placement(z, k, k_cells);
            if (j < 0 || t.rep_of_placement[j] < 0)
                continue;  // the image is not searched
        }
        int16_t image_form[FAST_MAX_CELLS];
        assembly_form(t, image, image_form);
        for (int32_t c = 0; c < z.cell_count; ++c) {
            if (image_form[c] != form[c]) {
                if (image_form[c] < form[c])
                    return false;
                break;
            }
        }
    }
    return true;
}

void begin_fast_search(int32_t threads, int32_t stride) {
    end_fast_search();
    run = new FastRun;
    run->threads = threads < 1 ? 1 : threads;
    make_tasks(*tables, run->tasks, run->walked);
    if (stride > 1) {
        size_t kept = 0;
        for (size_t i = 0; i < run->tasks.size(); i += static_cast<size_t>(stride))
            run->tasks[kept++] = run->tasks[i];
        run->tasks.resize(kept);
    }
    run->results.resize(run->tasks.size());
    for (TaskResult& r : run->results)
        r.done = false;
    if (run->threads == 1) {
        run->own = std::make_unique<Walker>();
        return;
    }
    for (int32_t i = 0; i < run->threads; ++i)
        run->workers.emplace_back(work, std::ref(*run));
}

bool next_fast_solution(FastSolution& out, SearchCounters& counters) {
    FastRun& r = *run;
    for (;;) {
        if (r.current >= r.tasks.size()) {
            counters = r.walked;
            add_counters(counters, r.base);
            return false;
        }
        TaskResult& result = r.results[r.current];
        if (!result.done) {
            if (r.threads == 1) {
                run_task(*tables, *r.own, r.tasks[r.current], result.solutions, result.total);
                result.done = true;
            } else {
                std::unique_lock<std::mutex> lock(r.mutex);
                r.finished.wait(lock, [&] { return result.done; });
            }
        }
        if (r.index < result.solutions.size()) {
            out = result.solutions[r.index++];
            add_counters(out.counters, r.tasks[r.current].before);
            add_counters(out.counters, r.base);
            counters = out.counters;
            return true;
        }
        add_counters(r.base, result.total);
        std::vector<FastSolution>().swap(result.solutions);
        r.index = 0;
        ++r.current;
    }
}

void end_fast_search() {
    if (run == nullptr)
        return;
    run->cancel.store(true);
    for (std::thread& w : run->workers)
        w.join();
    delete run;
    run = nullptr;
}

double fast_search_share_done() {
    if (run == nullptr || run->tasks.empty())
        return 1;
    return static_cast<double>(run->current) / static_cast<double>(run->tasks.size());
}

void begin_fast_puzzle_search(int32_t threads) {
    FastPuzzle puzzle;
    run_fast_puzzle(puzzle);
    build_fast_tables(puzzle);
    begin_fast_search(threads);
}

bool fast_find_next_assembly() {
    FastSolution s;
    SearchCounters counters;
    const bool found = next_fast_solution(s, counters);
    run_statistics.counters = counters;
    if (!found) {
        end_fast_search();
        return false;
    }
    init_board(board);
    SearchState& state = search_state;
    for (int32_t d = 0; d < tables->piece_count; ++d) {
        const FastPlacement& p = tables->puzzle.placements[s.placements[d]];
        state.piece_order[d] = p.piece;
        state.orientation_index[d] = p.slot;
        state.anchor_cell[d] = element_cell(geometry.cell_element[p.anchor]);
        for (CellSet m = p.cells; m != 0; m &= m - 1)
            board.cells[geometry.cell_element[std::countr_zero(m)]] = p.piece;
    }
    state.depth = tables->piece_count - 1;
    state.current_cell = state.anchor_cell[tables->piece_count - 1];
    return true;
}
