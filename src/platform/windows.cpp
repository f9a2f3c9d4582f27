// The platform layer on Windows (built with MinGW-w64 against the system's C runtime).
#include "platform/platform.hpp"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

void (*note_on_stop)() = nullptr;

// A block of output is written with this held; the console's control handler runs on a thread
// of its own and waits for it, so that a stop comes only between blocks. Only the thread that
// writes the output holds it, and `held` is that thread's alone.
CRITICAL_SECTION block_being_written;
bool held = false;

// The exit status of a process that Ctrl-C ended, as Windows gives it.
constexpr UINT STOPPED_BY_CONSOLE = 0xC000013A;

BOOL WINAPI stop_by_console(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    EnterCriticalSection(&block_being_written);
    if (note_on_stop != nullptr)
        note_on_stop();
    // Nothing more is written: whatever a stream still buffers is not part of a complete block.
    TerminateProcess(GetCurrentProcess(), STOPPED_BY_CONSOLE);
    return TRUE;
}

}  // namespace

const char* platform_name() { return "Windows"; }

void platform_start_up() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void platform_take_stops(void (*stop_note)()) {
    note_on_stop = stop_note;
    InitializeCriticalSection(&block_being_written);
    SetConsoleCtrlHandler(stop_by_console, TRUE);
}

void platform_hold_stops() {
    if (note_on_stop == nullptr || held)
        return;
    EnterCriticalSection(&block_being_written);
    held = true;
}

void platform_release_stops() {
    if (!held)
        return;
    held = false;
    LeaveCriticalSection(&block_being_written);
}

// The control handler has a thread of its own: worker threads never take a stop anyway.
bool platform_keep_stops_from_new_threads() { return held; }

void platform_restore_stops(bool) {}

void platform_write_errors(const char* text, size_t size) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(size), &written, nullptr);
}

LockResult platform_lock_file(std::FILE* file) {
    const int fd = _fileno(file);
    _setmode(fd, _O_BINARY);
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    // One byte far past any content: a second run is kept out, and readers are not.
    OVERLAPPED at{};
    at.OffsetHigh = 0x40000000;
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return LockResult::LOCKED;
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
        return LockResult::IN_USE;
    errno = EACCES;
    return LockResult::FAILED;
}

int platform_file_descriptor(std::FILE* file) { return _fileno(file); }

bool platform_file_length(int fd, int64_t& length) {
    struct _stat64 status {};
    if (fd < 0 || _fstat64(fd, &status) != 0 || (status.st_mode & _S_IFREG) == 0)
        return false;
    length = status.st_size;
    return true;
}

int platform_cut_file(int fd, int64_t length) {
    const errno_t error = _chsize_s(fd, length);
    return error == 0 ? 0 : error;
}

void platform_discard_buffered(std::FILE* stream) {
    // The runtime's FILE is declared in its stdio.h: emptying the buffer is what its own flush
    // does once the bytes are out.
    stream->_ptr = stream->_base;
    stream->_cnt = 0;
}

bool platform_progress_line_possible() {
    if (_isatty(_fileno(stderr)) == 0 || _isatty(_fileno(stdout)) != 0)
        return false;
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode))
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

int platform_terminal_width() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 0)
            return width;
    }
    return 80;
}

bool platform_program_directory(char* out, size_t size) {
    wchar_t program[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, program, sizeof program / sizeof program[0]);
    if (length == 0 || length >= sizeof program / sizeof program[0])
        return false;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, program, -1, out, static_cast<int>(size), nullptr, nullptr);
    if (bytes <= 0)
        return false;
    char* const name = std::strrchr(out, '\\');
    if (name == nullptr)
        return false;
    name[1] = '\0';
    return true;
}

bool platform_regular_file(const char* path, char* out, size_t size) {
    wchar_t wide[MAX_PATH * 4], full[MAX_PATH * 4];
    if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, sizeof wide / sizeof wide[0]) <= 0)
        return false;
    const DWORD length = GetFullPathNameW(wide, sizeof full / sizeof full[0], full, nullptr);
    if (length == 0 || length >= sizeof full / sizeof full[0])
        return false;
    const DWORD attributes = GetFileAttributesW(full);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    return WideCharToMultiByte(CP_UTF8, 0, full, -1, out, static_cast<int>(size), nullptr, nullptr) > 0;
}

namespace {

// The volume and the file's index, which together name one file; false when it cannot be opened.
bool file_identity(const char* path, BY_HANDLE_FILE_INFORMATION& info) {
    wchar_t wide[MAX_PATH * 4];
    if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, sizeof wide / sizeof wide[0]) <= 0)
        return false;
    const HANDLE file = CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
}

}  // namespace

const char* platform_file_name(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at)
        if (*at == '/' || *at == '\\' || (*at == ':' && at == path + 1))
            name = at + 1;
    return name;
}

bool platform_same_file(const char* a, const char* b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return file_identity(a, first) && file_identity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

int32_t platform_processor_count() {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0)
        return 1;
    int32_t count = 0;
    for (; process != 0; process &= process - 1)
        ++count;
    return count;
}
