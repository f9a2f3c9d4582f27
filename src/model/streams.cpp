#include "model/streams.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "model/run_statistics.hpp"
#include "platform/platform.hpp"

OutputStreams output_streams{nullptr, nullptr, -1, 0, 0, 0, 0, 0, 0};
char solutions_file_name[SOLUTIONS_NAME_SIZE] = "TandorCubeSolutions.txt";

namespace {

// The file's length, for a regular file; anything else (a device) has nothing to keep or cut.
bool regular_length(int fd, int64_t& length) { return platform_file_length(fd, length); }

// Cuts the solutions file back to the end of its last complete block.
void cut_back_to_complete_block() {
    int64_t length = 0;
    if (!regular_length(output_streams.solutions_fd, length) || length == output_streams.kept_length)
        return;
    output_streams.rollback_error = platform_cut_file(output_streams.solutions_fd, output_streams.kept_length);
}

char* append_number(char* at, int32_t value) {
    char digits[12];
    int n = 0;
    do
        digits[n++] = static_cast<char>('0' + value % 10);
    while ((value /= 10) > 0);
    while (n > 0)
        *at++ = digits[--n];
    return at;
}

// Drops what a stream still buffers, unwritten: after a failed write nothing more may reach it,
// where the C library would try the write again at the next flush or at the close.
void drop_buffered_output(std::FILE* stream) { platform_discard_buffered(stream); }

std::FILE* stdio_take(std::FILE* opened) { return opened; }
int stdio_flush(std::FILE* stream) { return std::fflush(stream); }
int stdio_close(std::FILE* stream) { return std::fclose(stream); }

}  // namespace

SolutionsWriter solutions_writer{stdio_take, stdio_flush, drop_buffered_output, stdio_close};

namespace {

void drop_unwritten(std::FILE* stream, bool is_file) {
    if (is_file)
        solutions_writer.drop(stream);
    else
        drop_buffered_output(stream);
}

}  // namespace

char* append_text(char* at, const char* text) {
    while (*text != '\0')
        *at++ = *text++;
    return at;
}

std::FILE* take_solutions_file(std::FILE* opened) {
    output_streams.solutions_fd = platform_file_descriptor(opened);
    output_streams.file_error = 0;
    output_streams.rollback_error = 0;
    output_streams.kept_length = 0;
    regular_length(output_streams.solutions_fd, output_streams.kept_length);
    output_streams.kept_solutions = 0;
    output_streams.solutions_file = solutions_writer.take(opened);
    return output_streams.solutions_file;
}

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
    const bool is_file = stream != nullptr && stream == output_streams.solutions_file;
    int& recorded = is_file ? output_streams.file_error : output_streams.console_error;
    if (recorded != 0) {
        // Once a stream has failed, nothing more reaches it: the run is stopping.
        drop_unwritten(stream, is_file);
        return;
    }
    errno = 0;
    if ((is_file ? solutions_writer.flush(stream) : std::fflush(stream)) == 0 && std::ferror(stream) == 0) {
        if (is_file) {
            regular_length(output_streams.solutions_fd, output_streams.kept_length);
            output_streams.kept_solutions = run_statistics.solutions;
        }
        return;
    }
    recorded = errno != 0 ? errno : EIO;
    drop_unwritten(stream, is_file);
    if (is_file)
        cut_back_to_complete_block();
}

void close_solutions_file() {
    std::FILE* file = output_streams.solutions_file;
    if (file == nullptr)
        return;
    flush_stream(file);
    output_streams.solutions_file = nullptr;
    errno = 0;
    if (solutions_writer.close(file) != 0 && output_streams.file_error == 0)
        output_streams.file_error = errno != 0 ? errno : EIO;
    output_streams.solutions_fd = -1;
}

char* describe_kept_solutions(char* at) {
    const int32_t kept = output_streams.kept_solutions;
    if (kept == 0)
        return append_text(at, "none of this run's solutions");
    if (kept == 1)
        return append_text(at, "this run's solution 1, complete");
    at = append_text(at, "this run's solutions 1 to ");
    at = append_number(at, kept);
    return append_text(at, ", complete");
}

void tell_output_failure() {
    char kept[80];
    *describe_kept_solutions(kept) = '\0';
    clear_status_line();
    if (output_streams.file_error == 0) {
        std::fprintf(stderr, "tandor-cube-solver: cannot write to standard output: %s; %s holds %s; stopped\n",
                     std::strerror(output_streams.console_error), solutions_file_name, kept);
    } else if (output_streams.rollback_error == 0) {
        std::fprintf(stderr, "tandor-cube-solver: cannot write to %s: %s; it holds %s; stopped\n", solutions_file_name,
                     std::strerror(output_streams.file_error), kept);
    } else {
        // strerror's text lives in one buffer: the two errors are written one after the other.
        std::fprintf(stderr, "tandor-cube-solver: cannot write to %s: %s; ", solutions_file_name,
                     std::strerror(output_streams.file_error));
        std::fprintf(stderr, "it holds %s, followed by an incomplete block that could not be cut off (%s); stopped\n",
                     kept, std::strerror(output_streams.rollback_error));
    }
}

void consistency_stop() {
    std::fflush(console_stream());
    if (output_streams.solutions_file != nullptr)
        solutions_writer.flush(output_streams.solutions_file);
    std::_Exit(CONSISTENCY_STOP_STATUS);
}
