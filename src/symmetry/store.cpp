#include "symmetry/store.hpp"

#include <cstring>

#include "model/cell_set.hpp"
#include "model/run_statistics.hpp"
#include "symmetry/rotation.hpp"

SolutionStore solution_store;
int32_t solution_capacity = MAX_SOLUTIONS;

namespace {

constexpr int ROTATION_COUNT = 24;

// For each of the 24 rotations, the board element whose value lands on each interior cell, in
// scan order.
struct RotationMaps {
    int16_t source[ROTATION_COUNT][INTERIOR_CELLS];
};

// The rotations are those that the board's own quarter turns reach: turn a board whose cells
// hold their own element numbers through all 64 positions and keep the distinct ones.
RotationMaps make_rotation_maps() {
    RotationMaps maps{};
    Board turned;
    for (int i = 0; i < BOARD_CELLS; ++i)
        turned.cells[i] = i;
    int found = 0;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                int16_t map[INTERIOR_CELLS];
                for (int s = 0; s < INTERIOR_CELLS; ++s)
                    map[s] = static_cast<int16_t>(turned.cells[scan_element(s)]);
                bool seen = false;
                for (int r = 0; r < found && !seen; ++r)
                    seen = std::memcmp(maps.source[r], map, sizeof map) == 0;
                if (!seen && found < ROTATION_COUNT)
                    std::memcpy(maps.source[found++], map, sizeof map);
                rotate_board(0, turned);
            }
            rotate_board(1, turned);
        }
        rotate_board(2, turned);
    }
    return maps;
}

const RotationMaps ROTATION_MAPS = make_rotation_maps();

uint32_t key_hash(const RotationKey& key) {
    uint64_t h = 0x9E3779B97F4A7C15u;
    for (int w = 0; w < INTERIOR_CELLS; w += 8) {
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
    int32_t at = static_cast<int32_t>(key_hash(key) & (SOLUTION_INDEX_SIZE - 1));
    for (;;) {
        const int32_t entry = solution_store.index[at];
        if (entry == 0 || keys_equal(solution_store.keys[entry - 1], key))
            return at;
        at = (at + 1) & (SOLUTION_INDEX_SIZE - 1);
    }
}

void append_with_key(const Board& b, const RotationKey& key, int32_t at) {
    const int32_t n = run_statistics.solutions;
    solution_store.boards[n] = b;
    solution_store.keys[n] = key;
    solution_store.index[at] = n + 1;
    run_statistics.solutions = n + 1;
}

}  // namespace

RotationKey rotation_key(const Board& b) {
    RotationKey best;
    for (int r = 0; r < ROTATION_COUNT; ++r) {
        RotationKey key;
        for (int s = 0; s < INTERIOR_CELLS; ++s)
            key.cells[s] = static_cast<int8_t>(b.cells[ROTATION_MAPS.source[r][s]]);
        if (r == 0 || std::memcmp(key.cells, best.cells, sizeof key.cells) < 0)
            best = key;
    }
    return best;
}

void reset_solution_store() {
    run_statistics.solutions = 0;
    std::memset(solution_store.index, 0, sizeof solution_store.index);
}

void append_solution(const Board& b) {
    const RotationKey key = rotation_key(b);
    append_with_key(b, key, find_in_index(key));
}

StoreResult store_if_unique() {
    const RotationKey key = rotation_key(board);
    const int32_t at = find_in_index(key);
    if (solution_store.index[at] != 0)
        return StoreResult::ROTATED_DUPLICATE;
    if (run_statistics.solutions >= solution_capacity)
        return StoreResult::STORE_FULL;
    append_with_key(board, key, at);
    return StoreResult::STORED_NEW;
}
