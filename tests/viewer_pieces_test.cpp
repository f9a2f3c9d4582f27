// The viewer's copy of the piece catalogue is the solver's own, written by this test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "report/viewer_pieces.hpp"
#include "support.hpp"

TEST(ViewerPieces, TheViewersPieceModuleIsTheCatalogue) {
    std::FILE* file = std::tmpfile();
    write_viewer_pieces(file);
    const std::string expected = read_whole_stream(file);
    std::fclose(file);
    const char* write = std::getenv("TANDOR_WRITE_VIEWER_PIECES");
    if (write != nullptr && std::string(write) == "1")
        std::ofstream(TANDOR_VIEWER_PIECES, std::ios::binary) << expected;
    EXPECT_EQ(read_whole_file(TANDOR_VIEWER_PIECES), expected)
        << "viewer/src/pieces.js differs from the catalogue; run the test with TANDOR_WRITE_VIEWER_PIECES=1";
}
