// The live progress line: where a long run stands, rewritten in place on standard error.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/catalogue.hpp"
#include "model/run_statistics.hpp"

// Redrawn at most this often.
inline constexpr ClockValue PROGRESS_LINE_INTERVAL_MS = 250;

struct ProgressLine {
    bool enabled;                // standard error is a terminal and standard output is not
    int64_t full_run_permutations;  // the permutations of a whole run where they are known, or 0
    int32_t piece_count;
    int32_t orientation_counts[MAX_PIECES];  // for estimating the share done where the total is not known
    ClockValue drawn_clock;      // when the line was last drawn
    int64_t drawn_permutations;  // the permutations it showed
    double rate;                 // permutations per second, smoothed over the last few draws
};

extern ProgressLine progress_line;

// The share of the search done, 0 to 1, for a search whose permutations are not those of the
// default search's tree (the fast search); null for the default search, whose share is its
// permutations over those of every complete run.
extern double (*progress_share_function)();

// Shows the line when standard error is a terminal and standard output is not: the report then
// goes to a file or a pipe, and the person at the terminal still sees where the run stands.
// When both are terminals, the report is the progress display. The share of the search done is
// the permutations over `full_run_permutations` where that is known (the built-in puzzle's
// tree); otherwise it is estimated from the choices standing at the first depths, each choice of
// a piece's orientation counting alike.
void begin_progress_line(int64_t full_run_permutations, int32_t piece_count, const int32_t* orientation_counts);

// The share of the search done, 0 to 1, as the line shows it.
double share_done(const RunStatistics& s);

// Redraws the line from the run statistics when PROGRESS_LINE_INTERVAL_MS have passed since it
// was last drawn. It reads the clock once; the search calls it only at its events.
void update_progress_line();

// The line's text for the given counters and clock, cut to `width` columns: the share of the
// search done as a percentage and a bar, the solutions and duplicates, the rate, the elapsed
// time and an estimate of the time left.
void format_progress_line(char* out, size_t size, const RunStatistics& s, ClockValue now, double rate, int width);
