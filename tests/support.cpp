#include "support.hpp"

#include <fstream>
#include <sstream>

#include "model/catalogue.hpp"
#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "orient/normalise.hpp"
#include "orient/orientations.hpp"
#include "search/reference_search.hpp"
#include "search/search.hpp"
#include "symmetry/store.hpp"

ConsoleCapture begin_console_capture() {
    ConsoleCapture capture{std::tmpfile()};
    output_streams.console = capture.file;
    return capture;
}

std::string read_whole_stream(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        text.append(buffer, n);
    return text;
}

std::string end_console_capture(ConsoleCapture& capture) {
    std::string text = read_whole_stream(capture.file);
    std::fclose(capture.file);
    capture.file = nullptr;
    output_streams.console = nullptr;
    return text;
}

std::string read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string mask_digits(const std::string& text) {
    std::string masked;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (!digit)
            masked += text[i];
        else if (i == 0 || text[i - 1] < '0' || text[i - 1] > '9')
            masked += '#';
    }
    return masked;
}

std::string without_clock_lines(const std::string& text) {
    std::string kept;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.compare(at, 17, "Total run time = ") != 0)
            kept.append(text, at, end - at);
        at = end;
    }
    return kept;
}

std::vector<FitTest> supported_fit_tests() {
    std::vector<FitTest> tests;
    for (FitTest test : ALL_FIT_TESTS)
        if (fit_test_supported(test))
            tests.push_back(test);
    return tests;
}
