// The command line: a run, the help or the version text, or a usage error; and the viewer page
// that the help, the end of a run and the interrupt note point to.
#pragma once

// Exit status of a command line the program cannot use.
inline constexpr int USAGE_STATUS = 2;

// What the command line asks for. Every argument is read before anything is done: -h or --help
// and -V or --version ask for their text (the first of them counts), "--" ends the options, and
// any other argument, an unknown option or an operand, anywhere, makes the whole command line a
// usage error. Otherwise it asks for a run: of the puzzle file that -p or --puzzle names, or of
// the built-in puzzle; --mirror counts a solution and its mirror image as one; -o or
// --solutions names the solutions file. An option's file follows it as the next argument, or
// after "=" in its long form.
enum class Request { RUN, HELP, VERSION, USAGE_ERROR };
struct CommandLine {
    Request request;
    const char* refused;        // the first argument refused, for a usage error; otherwise null
    bool refused_option;        // it was an option, not an operand
    bool missing_file;          // the option refused needs a file that is not there
    const char* puzzle_file;    // null for the built-in puzzle
    const char* solutions_file; // null for the puzzle's own
    bool mirror_images_alike;
    bool fast;                  // --fast: the fast search (search/fast_search.hpp) instead of the default
};
CommandLine read_command_line(int argc, char** argv);

// Prints the help or the version text on standard output, or the usage error's one line on
// standard error; returns the exit status.
int answer_request(const CommandLine& command_line);

// The viewer page's path holds at most this many bytes with its terminating null.
inline constexpr int VIEWER_PAGE_PATH_SIZE = 1024;

// Looks for the viewer page next to the running program: where an install puts it, relative to
// the program's directory, or in the program's own directory (a build tree). Call it once before
// viewer_page is read.
void locate_viewer_page();

// The absolute path of the viewer page that locate_viewer_page found, or "" when there is none.
// Reads a static buffer only, so a signal handler may call it.
const char* viewer_page();

// The line that points to the viewer page: VIEWER_LINE_START, the page's path, VIEWER_LINE_PICK, the
// solutions file's name and a line break.
inline constexpr const char* VIEWER_LINE_START = "see the solutions: open ";
inline constexpr const char* VIEWER_LINE_PICK = " in a browser and pick ";

// Prints the line that points to the viewer page on standard error, when there is a page.
void point_to_viewer();
