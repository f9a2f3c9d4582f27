#include "model/streams.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>

OutputStreams output_streams{};

namespace {

void note_failure(bool is_file, int error) {
    if (error == 0)
        error = EIO;
    int& recorded = is_file ? output_streams.file_error : output_streams.console_error;
    if (recorded != 0)
        return;
    recorded = error;
    clear_status_line();
    std::fprintf(stderr, "tandor-cube-solver: cannot write to %s: %s\n",
                 is_file ? SOLUTIONS_FILE_NAME : "standard output", std::strerror(error));
}

}  // namespace

void show_status_line(const char* text) {
    // Back to the line's start, the text, then erase what an older, longer line left.
    std::fprintf(stderr, "\r%s\033[K", text);
    std::fflush(stderr);
    output_streams.status_shown = text[0] != '\0';
}

void clear_status_line() {
    if (output_streams.status_shown)
        show_status_line("");
}

void flush_stream(std::FILE* stream) {
    errno = 0;
    if (std::fflush(stream) != 0 || std::ferror(stream) != 0)
        note_failure(stream != nullptr && stream == output_streams.solutions_file, errno);
}

void close_solutions_file() {
    std::FILE* file = output_streams.solutions_file;
    if (file == nullptr)
        return;
    flush_stream(file);
    output_streams.solutions_file = nullptr;
    errno = 0;
    if (std::fclose(file) != 0)
        note_failure(true, errno);
}

void consistency_stop() {
    std::fflush(console_stream());
    if (output_streams.solutions_file != nullptr)
        std::fflush(output_streams.solutions_file);
    std::_Exit(CONSISTENCY_STOP_STATUS);
}
