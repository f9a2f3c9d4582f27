// The viewer's copy of the piece catalogue is the solver's own, as the viewer-pieces build step writes it.
#include <gtest/gtest.h>

#include "report/viewer_pieces.hpp"
#include "support.hpp"

TEST(ViewerPieces, TheViewersPieceModuleIsTheCatalogue) {
    std::FILE* file = std::tmpfile();
    write_viewer_pieces(file);
    const std::string expected = read_whole_stream(file);
    std::fclose(file);
    EXPECT_EQ(read_whole_file(TANDOR_VIEWER_PIECES), expected)
        << "viewer/src/pieces.js differs from the catalogue; write it with: cmake --build build/release --target viewer-pieces";
}
