#include "report/progress_block.hpp"

#include "model/streams.hpp"
#include "report/position_lines.hpp"

void print_progress() { write_position_lines(console_stream(), "permutation", "orientation", ""); }
