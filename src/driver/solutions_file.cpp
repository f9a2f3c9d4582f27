#include "driver/solutions_file.hpp"

#include <cerrno>
#include <cstring>

#include "model/streams.hpp"
#include "platform/platform.hpp"

namespace {

// A file whose last line has no line break was cut off in the middle of a line by an earlier
// run (a full disk, a crash); a line break first lets this run's banner start a line of its own.
// The notice is given once the line break is in the file. Where it cannot be written (the disk
// is still full), the file is left as it was, and the run's first block fails with one message.
void end_cut_line(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) <= 0 || std::fseek(file, -1, SEEK_END) != 0)
        return;
    const int last = std::fgetc(file);
    std::fseek(file, 0, SEEK_END);
    if (last == EOF || last == '\n')
        return;
    std::fputc('\n', file);
    if (std::fflush(file) != 0) {
        platform_discard_buffered(file);
        std::clearerr(file);
        return;
    }
    std::fprintf(stderr,
                 "tandor-cube-solver: %s ended in the middle of a line, where an earlier run was cut off; "
                 "a line break was added so that this run starts on a line of its own\n",
                 solutions_file_name);
}

}  // namespace

std::FILE* open_solutions_file() {
    std::FILE* file = std::fopen(solutions_file_name, "a+");
    if (file == nullptr) {
        std::fprintf(stderr, "tandor-cube-solver: cannot open %s: %s\n", solutions_file_name, std::strerror(errno));
        return nullptr;
    }
    if (const LockResult locked = platform_lock_file(file); locked != LockResult::LOCKED) {
        const int error = errno;
        if (locked == LockResult::IN_USE)
            std::fprintf(stderr, "tandor-cube-solver: %s is in use by another run in this directory\n",
                         solutions_file_name);
        else
            std::fprintf(stderr, "tandor-cube-solver: cannot lock %s: %s\n", solutions_file_name,
                         std::strerror(error));
        std::fclose(file);
        return nullptr;
    }
    end_cut_line(file);
    return file;
}
