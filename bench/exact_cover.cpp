#include "exact_cover.hpp"

#include <cstddef>

void build_exact_cover(ExactCover& x, int32_t columns, int32_t primary, const std::vector<std::vector<int32_t>>& rows) {
    std::size_t nodes = static_cast<std::size_t>(columns) + 1;
    for (const std::vector<int32_t>& r : rows)
        nodes += r.size();
    x.columns = columns;
    x.primary = primary;
    x.left.assign(nodes, 0);
    x.right.assign(nodes, 0);
    x.up.assign(nodes, 0);
    x.down.assign(nodes, 0);
    x.column.assign(nodes, 0);
    x.row_of.assign(nodes, -1);
    x.size.assign(static_cast<std::size_t>(columns) + 1, 0);
    x.chosen.assign(static_cast<std::size_t>(columns) + 1, 0);
    x.nodes = 0;
    // The headers: the primary ones in a ring through the root, each secondary one alone.
    for (int32_t c = 0; c <= columns; ++c) {
        x.up[c] = x.down[c] = x.column[c] = c;
        x.left[c] = x.right[c] = c;
    }
    for (int32_t c = 1; c <= primary; ++c) {
        x.left[c] = c - 1;
        x.right[c - 1] = c;
    }
    x.left[0] = primary;
    x.right[primary] = 0;
    int32_t next = columns + 1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int32_t first = next;
        for (int32_t col : rows[r]) {
            const int32_t c = col + 1;
            const int32_t n = next++;
            x.column[n] = c;
            x.row_of[n] = static_cast<int32_t>(r);
            x.up[n] = x.up[c];
            x.down[n] = c;
            x.down[x.up[c]] = n;
            x.up[c] = n;
            ++x.size[c];
            x.left[n] = n == first ? n : n - 1;
            x.right[n] = first;
            x.right[x.left[n]] = n;
            x.left[first] = n;
        }
    }
}

namespace {

void cover(ExactCover& x, int32_t c) {
    x.right[x.left[c]] = x.right[c];
    x.left[x.right[c]] = x.left[c];
    for (int32_t i = x.down[c]; i != c; i = x.down[i])
        for (int32_t j = x.right[i]; j != i; j = x.right[j]) {
            x.down[x.up[j]] = x.down[j];
            x.up[x.down[j]] = x.up[j];
            --x.size[x.column[j]];
        }
}

void uncover(ExactCover& x, int32_t c) {
    for (int32_t i = x.up[c]; i != c; i = x.up[i])
        for (int32_t j = x.left[i]; j != i; j = x.left[j]) {
            ++x.size[x.column[j]];
            x.down[x.up[j]] = j;
            x.up[x.down[j]] = j;
        }
    x.right[x.left[c]] = c;
    x.left[x.right[c]] = c;
}

struct Counting {
    CoverFilter filter;
    void* context;
    int64_t count;
    int32_t rows[64];
};

void search(ExactCover& x, int32_t depth, Counting& k) {
    if (x.right[0] == 0) {
        for (int32_t d = 0; d < depth; ++d)
            k.rows[d] = x.row_of[x.chosen[d]];
        if (k.filter == nullptr || k.filter(k.rows, depth, k.context))
            ++k.count;
        return;
    }
    int32_t best = x.right[0];
    for (int32_t c = x.right[best]; c != 0; c = x.right[c])
        if (x.size[c] < x.size[best])
            best = c;
    if (x.size[best] == 0)
        return;
    cover(x, best);
    for (int32_t r = x.down[best]; r != best; r = x.down[r]) {
        ++x.nodes;
        x.chosen[depth] = r;
        for (int32_t j = x.right[r]; j != r; j = x.right[j])
            cover(x, x.column[j]);
        search(x, depth + 1, k);
        for (int32_t j = x.left[r]; j != r; j = x.left[j])
            uncover(x, x.column[j]);
    }
    uncover(x, best);
}

}  // namespace

int64_t count_exact_covers(ExactCover& x, CoverFilter filter, void* context) {
    Counting k{filter, context, 0, {}};
    x.nodes = 0;
    search(x, 0, k);
    return k.count;
}
