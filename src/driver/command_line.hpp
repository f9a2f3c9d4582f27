// The command line: a run, or the help or the version text.
#pragma once

// What the command line asks for: a run, unless its first --help or --version comes first.
// Every other argument is ignored.
enum class Request { RUN, HELP, VERSION };
Request read_command_line(int argc, char** argv);

// Prints the help or the version text on standard output; returns the exit status.
int answer_request(Request request);
