// Prints the rotation key of every solution picture in a solutions file, one line each (64
// characters, the piece labels in scan order of the smallest rotation): two runs found the same
// solutions up to rotation exactly when their sorted key lists are equal.
// Usage: solution-keys FILE
#include <cstdio>
#include <cstring>

#include "driver/prepare_run.hpp"
#include "model/board.hpp"
#include "report/render.hpp"
#include "symmetry/store.hpp"

namespace {

int label_code(char c) {
    for (int code = 0; CELL_LABELS[code + 2] != '\0'; ++code)
        if (CELL_LABELS[code + 2] == c)
            return code;
    return -3;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: solution-keys FILE\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "r");
    if (in == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    prepare_run();  // the built-in puzzle's cube and its rotations
    char line[256];
    int bad = 0;
    while (std::fgets(line, sizeof line, in) != nullptr) {
        if (std::strncmp(line, "Solution ", 9) != 0)
            continue;
        Board b;
        init_board(b);
        bool whole = true;
        for (int y = 4; y >= 1 && whole; --y) {
            whole = std::fgets(line, sizeof line, in) != nullptr && std::strlen(line) >= static_cast<size_t>(rendering_line_length());
            for (int z = 4; z >= 1 && whole; --z)
                for (int x = 1; x <= 4 && whole; ++x) {
                    const int code = label_code(line[(4 - z) * 11 + 2 * (x - 1) + 1]);
                    whole = code >= 0;
                    b.cells[cell_index(x, y, z)] = code;
                }
        }
        if (!whole) {
            ++bad;
            continue;
        }
        const RotationKey key = rotation_key(b);
        for (int j = 0; j < geometry.cell_count; ++j)
            std::putchar(cell_label(key.cells[j]));
        std::putchar('\n');
    }
    std::fclose(in);
    if (bad != 0)
        std::fprintf(stderr, "solution-keys: %d damaged solution blocks\n", bad);
    return bad == 0 ? 0 : 1;
}
