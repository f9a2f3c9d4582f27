// The signals that stop a run: SIGINT (Ctrl-C) and SIGTERM. The driver holds them back while a
// block of output is written; the search's worker threads never take them.
#pragma once

#include <csignal>

inline sigset_t stop_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}
