#include "report/progress_line.hpp"

#include <cstdio>
#include <cstring>

#include "model/catalogue.hpp"
#include "model/search_state.hpp"
#include "model/streams.hpp"
#include "platform/platform.hpp"

ProgressLine progress_line{};
double (*progress_share_function)() = nullptr;

namespace {

// Each draw's rate counts for this share of the rate shown, so that it follows the search
// within a few seconds without jumping at every burst of the parallel search's results.
constexpr double RATE_WEIGHT = 0.25;
constexpr int BAR_MIN = 10;
constexpr int BAR_MAX = 30;

void format_duration(char* out, size_t size, int64_t seconds) {
    std::snprintf(out, size, "%d:%02d:%02d", static_cast<int>(seconds / 3600), static_cast<int>(seconds % 3600 / 60),
                  static_cast<int>(seconds % 60));
}

int terminal_width() { return platform_terminal_width(); }

}  // namespace

double share_done(const RunStatistics& s) {
    const ProgressLine& p = progress_line;
    double done = 0;
    if (progress_share_function != nullptr) {
        done = progress_share_function();
    } else if (p.full_run_permutations > 0) {
        done = static_cast<double>(s.counters.permutations) / static_cast<double>(p.full_run_permutations);
    } else {
        // Each depth's standing choice among the pieces' orientations still open there, the
        // first depths weighing most.
        const SearchState& state = search_state;
        double weight = 1;
        for (int32_t d = 0; d <= state.depth && d < 3 && d < p.piece_count; ++d) {
            int32_t before = state.orientation_index[d] > 0 ? state.orientation_index[d] : 0, total = 0;
            for (int32_t e = d; e < p.piece_count; ++e) {
                const int32_t piece = state.piece_order[e];
                total += p.orientation_counts[piece];
                if (piece < state.piece_order[d])
                    before += p.orientation_counts[piece];
            }
            if (total == 0)
                break;
            done += weight * before / total;
            weight /= total;
        }
    }
    return done > 1 ? 1 : done;
}

void format_progress_line(char* out, size_t size, const RunStatistics& s, ClockValue now, double rate, int width) {
    const double done = share_done(s);
    const ClockValue elapsed_ms = now > s.start_clock ? now - s.start_clock : 0;
    char elapsed[24], left[24] = "?";
    format_duration(elapsed, sizeof elapsed, elapsed_ms / 1000);
    if (done > 0 && elapsed_ms >= 1000) {
        left[0] = '~';
        format_duration(left + 1, sizeof left - 1,
                        static_cast<int64_t>(static_cast<double>(elapsed_ms) / 1000 * (1 - done) / done + 0.5));
    }
    char rest[160];
    const int rest_length =
        std::snprintf(rest, sizeof rest, " %d unique, %d duplicates, %.1fM/s, %s elapsed, %s left", s.solutions,
                      s.duplicates, rate / 1e6, elapsed, left);
    char share[16];
    const int share_length = std::snprintf(share, sizeof share, "%5.1f%%", done * 100);
    // The bar takes what the terminal has left, and is left out where too little is.
    int bar = width - 1 - share_length - rest_length - 3;
    bar = bar > BAR_MAX ? BAR_MAX : bar;
    if (bar >= BAR_MIN) {
        char cells[BAR_MAX + 1];
        const int full = static_cast<int>(done * bar);
        for (int i = 0; i < bar; ++i)
            cells[i] = i < full ? '#' : '.';
        cells[bar] = '\0';
        std::snprintf(out, size, "%s [%s]%s", share, cells, rest);
    } else {
        std::snprintf(out, size, "%s%s", share, rest);
    }
    // Never wider than the terminal, so that the line never wraps and is rewritten in place.
    const size_t fits = width > 1 ? static_cast<size_t>(width - 1) : 0;
    // Where it must be cut, it ends on the last whole item, without the comma that followed it.
    if (std::strlen(out) > fits) {
        const bool whole = out[fits] == ',';
        out[fits] = '\0';
        if (char* last = std::strrchr(out, ','); last != nullptr && !whole)
            *last = '\0';
    }
}

void begin_progress_line(int64_t full_run_permutations, int32_t piece_count, const int32_t* orientation_counts) {
    progress_line = ProgressLine{};
    progress_line.full_run_permutations = full_run_permutations;
    progress_line.piece_count = piece_count;
    for (int32_t p = 0; p < piece_count; ++p)
        progress_line.orientation_counts[p] = orientation_counts[p];
    progress_line.enabled = platform_progress_line_possible();
    progress_line.drawn_clock = run_statistics.start_clock;
    progress_line.drawn_permutations = run_statistics.counters.permutations;
}

void update_progress_line() {
    ProgressLine& p = progress_line;
    if (!p.enabled)
        return;
    const ClockValue now = process_clock();
    if (now - p.drawn_clock < PROGRESS_LINE_INTERVAL_MS)
        return;
    const int64_t permutations = run_statistics.counters.permutations;
    const double rate = static_cast<double>(permutations - p.drawn_permutations) * 1000 /
                        static_cast<double>(now - p.drawn_clock);
    p.rate = p.rate == 0 ? rate : p.rate + RATE_WEIGHT * (rate - p.rate);
    p.drawn_clock = now;
    p.drawn_permutations = permutations;
    char line[256];
    format_progress_line(line, sizeof line, run_statistics, now, p.rate, terminal_width());
    show_status_line(line);
}
