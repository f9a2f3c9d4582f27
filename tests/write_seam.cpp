// The program with a seam that fails or kills at a chosen write of the solutions file, for the
// tests only (tandor-cube-solver-seams); the shipped program writes through stdio alone.
//
// TANDOR_TEST_WRITE="K WHAT BYTES" makes the K-th write of the solutions file land its first
// BYTES bytes (all of them when BYTES is larger, half when it is negative) and then fail with
// WHAT (ENOSPC, EIO or EFBIG), or end the process by SIGKILL (KILL). TANDOR_TEST_WRITES=L ends
// the process by SIGKILL as the write after the L-th begins: a short run of L writes.
//
// The run writes the file into a scratch file; each flush is one write, which the seam passes on
// to the solutions file's descriptor, as much of it as it lets land. What a failed write did not
// land waits, as in a C library's buffer: the next flush or the close tries it again, unless the
// stream layer drops it.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/driver.hpp"
#include "model/streams.hpp"

namespace {

struct WriteSeam {
    std::FILE* opened;   // the stream the driver opened on the solutions file
    int fd;              // its descriptor, which the seam writes
    long failing;        // the write that fails, counted from 1; 0 for none
    long landing;        // bytes of it that land first
    int error;           // its errno, or 0 for SIGKILL
    long last;           // the short run's last write; 0 for no end
    long writes;         // writes so far
    long passed_on;      // bytes of the scratch file passed on so far
    std::string waiting; // what goes on first: the opening's buffered bytes, a failed write's rest
};
WriteSeam seam{};

off_t file_length(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 ? status.st_size : 0;
}

// Lands all of `size` bytes, or fails with the write's errno.
bool land(const char* data, size_t size) {
    for (size_t done = 0; done < size;) {
        const ssize_t n = write(seam.fd, data + done, size - done);
        if (n < 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// What the run wrote since the last flush, after what waits.
std::string take_new_text(std::FILE* scratch) {
    std::string data = seam.waiting;
    seam.waiting.clear();
    std::fflush(scratch);
    std::fseek(scratch, seam.passed_on, SEEK_SET);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, scratch)) > 0;)
        data.append(buffer, n);
    std::fseek(scratch, 0, SEEK_END);
    seam.passed_on = std::ftell(scratch);
    return data;
}

int seam_flush(std::FILE* scratch) {
    if (std::ferror(scratch))
        return EOF;
    const std::string data = take_new_text(scratch);
    if (data.empty())
        return 0;
    ++seam.writes;
    if (seam.last > 0 && seam.writes > seam.last)
        std::raise(SIGKILL);
    if (seam.writes != seam.failing)
        return land(data.data(), data.size()) ? 0 : EOF;
    const size_t landing = seam.landing < 0 ? data.size() / 2
                           : static_cast<size_t>(seam.landing) < data.size() ? static_cast<size_t>(seam.landing)
                                                                            : data.size();
    if (!land(data.data(), landing))
        return EOF;
    if (seam.error == 0)
        std::raise(SIGKILL);
    seam.waiting = data.substr(landing);
    errno = seam.error;
    return EOF;
}

void seam_drop(std::FILE* scratch) {
    take_new_text(scratch);
    seam.waiting.clear();
}

int seam_close(std::FILE* scratch) {
    const int flushed = seam_flush(scratch);
    const int closed = std::fclose(scratch);
    return std::fclose(seam.opened) == 0 && flushed == 0 ? closed : EOF;
}

std::FILE* seam_take(std::FILE* opened) {
    seam.opened = opened;
    seam.fd = fileno(opened);
    // What the opening buffered (a line break after a cut line) is taken back off the file once
    // written, so that it goes on at the start of the first write, as the program writes it.
    const off_t before = file_length(seam.fd);
    std::fflush(opened);
    const off_t after = file_length(seam.fd);
    seam.waiting.assign(static_cast<size_t>(after - before), '\0');
    if (after > before && (pread(seam.fd, seam.waiting.data(), seam.waiting.size(), before) < 0 ||
                           ftruncate(seam.fd, before) != 0))
        std::abort();
    std::FILE* scratch = std::tmpfile();
    if (scratch == nullptr)
        std::abort();
    return scratch;
}

}  // namespace

int main(int argc, char** argv) {
    const char* failing = std::getenv("TANDOR_TEST_WRITE");
    const char* last = std::getenv("TANDOR_TEST_WRITES");
    char what[16] = "";
    if (failing != nullptr && std::sscanf(failing, "%ld %15s %ld", &seam.failing, what, &seam.landing) != 3)
        seam.failing = 0;
    if (last != nullptr)
        seam.last = std::atol(last);
    seam.error = std::strcmp(what, "ENOSPC") == 0 ? ENOSPC
                 : std::strcmp(what, "EIO") == 0  ? EIO
                 : std::strcmp(what, "EFBIG") == 0 ? EFBIG
                                                   : 0;
    if (seam.failing != 0 || seam.last != 0)
        solutions_writer = {seam_take, seam_flush, seam_drop, seam_close};
    return run_program(argc, argv);
}
