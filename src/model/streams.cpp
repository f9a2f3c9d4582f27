#include "model/streams.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "model/run_statistics.hpp"
#include "platform/platform.hpp"

#ifdef TANDOR_TEST_SEAMS
#include <stdio_ext.h>
#include <unistd.h>

#include <csignal>
#endif

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

#ifdef TANDOR_TEST_SEAMS
// The tests' build only. TANDOR_TEST_WRITE="K WHAT BYTES" makes the K-th write of the solutions
// file land its first BYTES bytes (all of them when BYTES is larger, half when it is negative)
// and then fail with WHAT (ENOSPC, EIO or EFBIG), or end the process by SIGKILL (KILL).
// TANDOR_TEST_WRITES=L ends the process by SIGKILL as the write after the L-th begins: a short
// run of L writes.
struct WriteSeam {
    std::FILE* opened;  // the stream the driver opened; the run writes through the seam's
    long failing;       // the write that fails, counted from 1; 0 for none
    long landing;       // bytes of it that land first
    int error;          // its errno, or 0 for SIGKILL
    long last;          // the short run's last write; 0 for no end
    long writes;        // writes so far
};
WriteSeam seam{};

ssize_t seam_write(void*, const char* data, size_t size) {
    ++seam.writes;
    if (seam.last > 0 && seam.writes > seam.last)
        std::raise(SIGKILL);
    const bool failing = seam.writes == seam.failing;
    size_t landing = size;
    if (failing)
        landing = seam.landing < 0 ? size / 2 : static_cast<size_t>(seam.landing) < size ? seam.landing : size;
    for (size_t done = 0; done < landing;) {
        const ssize_t n = write(output_streams.solutions_fd, data + done, landing - done);
        if (n < 0)
            return -1;
        done += static_cast<size_t>(n);
    }
    if (!failing)
        return static_cast<ssize_t>(size);
    if (seam.error == 0)
        std::raise(SIGKILL);
    errno = seam.error;
    return -1;
}

std::FILE* through_seam(std::FILE* opened) {
    seam = WriteSeam{};
    const char* failing = std::getenv("TANDOR_TEST_WRITE");
    const char* last = std::getenv("TANDOR_TEST_WRITES");
    char what[16] = "";
    if (failing != nullptr && std::sscanf(failing, "%ld %15s %ld", &seam.failing, what, &seam.landing) != 3)
        seam.failing = 0;
    if (last != nullptr)
        seam.last = std::atol(last);
    if (seam.failing == 0 && seam.last == 0)
        return opened;
    seam.error = std::strcmp(what, "ENOSPC") == 0 ? ENOSPC
               : std::strcmp(what, "EIO") == 0    ? EIO
               : std::strcmp(what, "EFBIG") == 0  ? EFBIG
                                                  : 0;
    seam.opened = opened;
    std::FILE* watched = fopencookie(nullptr, "w", {nullptr, seam_write, nullptr, nullptr});
    // What the opening wrote and still buffers (a line break after a cut line) goes on first.
    std::fwrite(opened->_IO_write_base, 1, __fpending(opened), watched);
    __fpurge(opened);
    return watched;
}

void close_seam() {
    if (seam.opened != nullptr)
        std::fclose(seam.opened);
    seam.opened = nullptr;
}
#else
std::FILE* through_seam(std::FILE* opened) { return opened; }
void close_seam() {}
#endif

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
    output_streams.solutions_file = through_seam(opened);
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
        platform_discard_buffered(stream);
        return;
    }
    errno = 0;
    if (std::fflush(stream) == 0 && std::ferror(stream) == 0) {
        if (is_file) {
            regular_length(output_streams.solutions_fd, output_streams.kept_length);
            output_streams.kept_solutions = run_statistics.solutions;
        }
        return;
    }
    recorded = errno != 0 ? errno : EIO;
    platform_discard_buffered(stream);
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
    if (std::fclose(file) != 0 && output_streams.file_error == 0)
        output_streams.file_error = errno != 0 ? errno : EIO;
    close_seam();
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
        std::fflush(output_streams.solutions_file);
    std::_Exit(CONSISTENCY_STOP_STATUS);
}
