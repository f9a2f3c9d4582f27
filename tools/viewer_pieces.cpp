// Writes the viewer's copy of the piece catalogue, viewer/src/pieces.js, from the solver's own:
//   cmake --build build/release --target viewer-pieces
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "report/viewer_pieces.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: tandor-viewer-pieces PATH\n", stderr);
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "w");
    if (file == nullptr) {
        std::fprintf(stderr, "tandor-viewer-pieces: cannot open %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    write_viewer_pieces(file);
    if (std::fclose(file) != 0) {
        std::fprintf(stderr, "tandor-viewer-pieces: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    return 0;
}
