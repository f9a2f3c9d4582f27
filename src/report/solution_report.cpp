#include "report/solution_report.hpp"

#include "model/run_statistics.hpp"
#include "model/streams.hpp"
#include "report/position_lines.hpp"
#include "report/render.hpp"

void report_solution() {
    std::FILE* out = console_stream();
    std::fprintf(out, "\nSolution %d\n", run_statistics.solutions);
    print_board(out, 0);
    write_position_lines(out, "Permutation", "Orientation", "\n");
}
