#include "symmetry/store.hpp"

#include <cstdlib>
#include <cstring>

#include "model/piece_sets.hpp"
#include "model/run_statistics.hpp"
#include "symmetry/rotation.hpp"

SolutionStore solution_store;
int32_t solution_capacity = INT32_MAX;

namespace {

constexpr int32_t FIRST_SLOTS = 1024;

// Identical pieces renumbered in the order they first appear in scan order, so that assemblies
// that differ only by swapping them read alike.
void number_identical_pieces(RotationKey& key) {
    int8_t renamed[MAX_PIECES];
    int8_t next[MAX_PIECES];
    std::memset(renamed, -1, sizeof renamed);
    std::memset(next, -1, sizeof next);
    for (int j = 0; j < geometry.cell_count; ++j) {
        const int8_t piece = key.cells[j];
        if (renamed[piece] < 0) {
            const int32_t first = piece_sets.same_as[piece];
            // The set's pieces in ascending order: the first, then each copy after it.
            int8_t name = next[first] < 0 ? static_cast<int8_t>(first) : next[first];
            renamed[piece] = name;
            int8_t after = static_cast<int8_t>(name + 1);
            while (after < catalogue.piece_count && piece_sets.same_as[after] != first)
                ++after;
            next[first] = after;
        }
        key.cells[j] = renamed[piece];
    }
}

RotationKey turned_cells(const Board& b, int32_t g) {
    RotationKey key{};
    const int16_t* source = target_symmetries.source[g];
    if (g < target_symmetries.rotation_count) {
        for (int j = 0; j < geometry.cell_count; ++j)
            key.cells[j] = static_cast<int8_t>(b.cells[source[j]]);
    } else {
        for (int j = 0; j < geometry.cell_count; ++j)
            key.cells[j] = target_symmetries.relabel[g][b.cells[source[j]]];
    }
    if (piece_sets.has_identical)
        number_identical_pieces(key);
    return key;
}

uint32_t key_hash(const RotationKey& key) {
    uint64_t h = 0x9E3779B97F4A7C15u;
    for (int w = 0; w < 64; w += 8) {
        uint64_t word;
        std::memcpy(&word, key.cells + w, sizeof word);
        h = (h ^ word) * 0xBF58476D1CE4E5B9u;
        h ^= h >> 31;
    }
    return static_cast<uint32_t>(h);
}

bool keys_equal(const RotationKey& a, const RotationKey& b) { return std::memcmp(a.cells, b.cells, sizeof a.cells) == 0; }

// The index position holding the key, or the empty position where it belongs.
int32_t find_in_index(const RotationKey& key) {
    const int32_t mask = solution_store.index_size - 1;
    int32_t at = static_cast<int32_t>(key_hash(key) & static_cast<uint32_t>(mask));
    for (;;) {
        const int32_t entry = solution_store.index[at];
        if (entry == 0 || keys_equal(solution_store.keys[entry - 1], key))
            return at;
        at = (at + 1) & mask;
    }
}

// Room for one more solution: the slots and the index doubled when full. False, with the store
// as it was, when the capacity is reached or memory runs out.
bool make_room() {
    SolutionStore& s = solution_store;
    const int32_t n = run_statistics.solutions;
    if (n >= solution_capacity)
        return false;
    if (n < s.slots && 2 * (n + 1) <= s.index_size)
        return true;
    if (n >= INT32_MAX / 4)
        return false;
    const int32_t slots = s.slots == 0 ? FIRST_SLOTS : 2 * s.slots;
    auto* keys = static_cast<RotationKey*>(std::malloc(sizeof(RotationKey) * static_cast<size_t>(slots)));
    auto* found = static_cast<RotationKey*>(std::malloc(sizeof(RotationKey) * static_cast<size_t>(slots)));
    auto* index = static_cast<int32_t*>(std::calloc(static_cast<size_t>(2 * slots), sizeof(int32_t)));
    if (keys == nullptr || found == nullptr || index == nullptr) {
        std::free(keys);
        std::free(found);
        std::free(index);
        return false;
    }
    if (n > 0) {
        std::memcpy(keys, s.keys, sizeof(RotationKey) * static_cast<size_t>(n));
        std::memcpy(found, s.found, sizeof(RotationKey) * static_cast<size_t>(n));
    }
    std::free(s.keys);
    std::free(s.found);
    std::free(s.index);
    s = {slots, keys, found, 2 * slots, index};
    for (int32_t k = 0; k < n; ++k)
        s.index[find_in_index(s.keys[k])] = k + 1;
    return true;
}

void append_with_key(const Board& b, const RotationKey& key, int32_t at) {
    const int32_t n = run_statistics.solutions;
    solution_store.keys[n] = key;
    solution_store.found[n] = assembly_cells(b);
    solution_store.index[at] = n + 1;
    run_statistics.solutions = n + 1;
}

}  // namespace

RotationKey assembly_cells(const Board& b) { return turned_cells(b, 0); }

RotationKey rotation_key(const Board& b) {
    RotationKey best = turned_cells(b, 0);
    for (int32_t g = 1; g < target_symmetries.count; ++g) {
        const RotationKey key = turned_cells(b, g);
        if (std::memcmp(key.cells, best.cells, sizeof key.cells) < 0)
            best = key;
    }
    return best;
}

void reset_solution_store() {
    run_statistics.solutions = 0;
    if (solution_store.index != nullptr)
        std::memset(solution_store.index, 0, sizeof(int32_t) * static_cast<size_t>(solution_store.index_size));
}

bool append_solution(const Board& b) {
    if (!make_room())
        return false;
    const RotationKey key = rotation_key(b);
    append_with_key(b, key, find_in_index(key));
    return true;
}

void stored_board(int32_t n, Board& out) {
    init_board(out);
    for (int j = 0; j < geometry.cell_count; ++j)
        out.cells[geometry.cell_element[j]] = solution_store.found[n].cells[j];
}

StoreResult store_if_unique() {
    const RotationKey key = rotation_key(board);
    if (solution_store.index_size > 0 && solution_store.index[find_in_index(key)] != 0)
        return StoreResult::ROTATED_DUPLICATE;
    if (!make_room())
        return StoreResult::STORE_FULL;
    append_with_key(board, key, find_in_index(key));
    return StoreResult::STORED_NEW;
}
