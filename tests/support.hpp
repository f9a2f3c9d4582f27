// Shared helpers: a console captured into a temporary file, and a fresh run state.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "driver/prepare_run.hpp"  // prepare_run, shared with the benchmark
#include "model/board.hpp"
#include "search/engine.hpp"
#include "search/fit_tests.hpp"
#include "search/search.hpp"

// Points the console at a temporary file until the capture is read and closed.
struct ConsoleCapture {
    std::FILE* file = nullptr;
};
ConsoleCapture begin_console_capture();
std::string end_console_capture(ConsoleCapture& capture);

std::string read_whole_stream(std::FILE* stream);
std::string read_whole_file(const std::string& path);


// A board whose interior holds the value given by the function of (x, y, z).
template <typename F>
Board board_from(F value_of) {
    Board b;
    init_board(b);
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y)
            for (int z = 1; z <= 4; ++z)
                b.cells[cell_index(x, y, z)] = value_of(x, y, z);
    return b;
}

// The text with every run of digits replaced by one '#', for lines that carry clock values.
std::string mask_digits(const std::string& text);

// The text without the lines that carry clock values ("Total run time = ..." of the reports and
// progress blocks).
std::string without_clock_lines(const std::string& text);


// The fit tests this processor has, the plain loop first.
std::vector<FitTest> supported_fit_tests();

// Makes the search use one fit test for as long as it lives.
struct FitTestChoice {
    explicit FitTestChoice(FitTest test) : previous(engine_fit_test) { engine_fit_test = test; }
    ~FitTestChoice() { engine_fit_test = previous; }
    FitTestChoice(const FitTestChoice&) = delete;
    FitTestChoice& operator=(const FitTestChoice&) = delete;
    FitTest previous;
};
