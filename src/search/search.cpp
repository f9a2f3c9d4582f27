#include "search/search.hpp"

#include <bit>

#include "model/run_statistics.hpp"

SearchState search_state;
ProgressFunction progress_function = nullptr;
PlacementTable placement_table;

void reset_search_order() {
    for (int d = 0; d < PIECE_COUNT; ++d) {
        search_state.piece_order[d] = d;
        search_state.orientation_index[d] = -1;
    }
}

void build_placement_table() {
    PlacementTable& t = placement_table;
    int32_t n = 0;
    for (int bit = 0; bit < INTERIOR_CELLS; ++bit) {
        const CellTriple anchor = scan_cell(bit);
        for (int piece = 0; piece < PIECE_COUNT; ++piece) {
            t.first[bit * PIECE_COUNT + piece] = static_cast<uint16_t>(n);
            for (int o = 0; o < orientation_table.orientation_counts[piece]; ++o) {
                const PieceShape& shape = orientation_table.slots[piece][o];
                CellSet covered = 0;
                bool inside = true;
                for (int i = 0; i < shape.cube_count; ++i) {
                    const int x = anchor.x + shape.cubes[i].x;
                    const int y = anchor.y + shape.cubes[i].y;
                    const int z = anchor.z + shape.cubes[i].z;
                    inside = inside && is_interior(x, y, z);
                    if (inside)
                        covered |= CellSet{1} << scan_bit(x, y, z);
                }
                if (!inside)
                    continue;
                t.cells[n] = covered;
                t.orientation[n] = static_cast<uint8_t>(o);
                ++n;
            }
        }
        CellSet forward = 0;
        if (anchor.x < 4)
            forward |= CellSet{1} << (bit + 1);
        if (anchor.y < 4)
            forward |= CellSet{1} << (bit + 4);
        if (anchor.z < 4)
            forward |= CellSet{1} << (bit + 16);
        t.forward_neighbours[bit] = forward;
    }
    t.forward_neighbours[INTERIOR_CELLS] = 0;
    t.first[INTERIOR_CELLS * PIECE_COUNT] = static_cast<uint16_t>(n);
    t.placement_count = n;
}

namespace {

// One depth of the fast search: the piece being tried on the depth's anchor cell and the next
// of its placements to try. Pieces are bits of a set, so the next larger unused piece is the
// lowest set bit above the current one, as the straightforward search's exchange and re-sort give.
struct Frame {
    CellSet covered;     // cells covered by the earlier depths
    uint32_t next;       // the next placement to try; the one before it is the one placed
    uint32_t end;        // one past the current piece's last placement on this cell
    uint32_t unplaced;   // pieces not placed at earlier depths, the current one included
    int32_t piece;
    int32_t cell;
};

static_assert(sizeof(Frame) == 32);

// The whole search position between calls. tiles_attempted is counted ahead: when a piece
// starts on a cell all its orientations are added at once, and what the straightforward search
// has not tried yet is subtracted whenever the counter is shown.
struct FastSearch {
    Frame frames[PIECE_COUNT];
    int32_t depth;  // the working depth
    int64_t permutations;
    int64_t tiles_attempted_ahead;
    int64_t tiles_succeeded;
    int64_t next_progress;  // the next multiple of PROGRESS_INTERVAL that permutations reaches
};

FastSearch fast;

void start_piece(Frame& f, int32_t piece) {
    f.piece = piece;
    f.next = placement_table.first[f.cell * PIECE_COUNT + piece];
    f.end = placement_table.first[f.cell * PIECE_COUNT + piece + 1];
    fast.tiles_attempted_ahead += orientation_table.orientation_counts[piece];
}

// Writes the position into the search state and the run statistics, for depths 0..placed-1
// placed and, when placed < PIECE_COUNT, depth `placed` holding its piece with nothing tried.
void publish(int32_t placed) {
    SearchState& s = search_state;
    int64_t not_yet_tried = 0;
    for (int32_t d = 0; d < placed; ++d) {
        const Frame& f = fast.frames[d];
        const int32_t o = placement_table.orientation[f.next - 1];
        s.piece_order[d] = f.piece;
        s.orientation_index[d] = o;
        s.anchor_cell[d] = scan_cell(f.cell);
        not_yet_tried += orientation_table.orientation_counts[f.piece] - 1 - o;
    }
    if (placed < PIECE_COUNT) {
        const Frame& f = fast.frames[placed];
        s.piece_order[placed] = f.piece;
        int32_t d = placed;
        for (uint32_t rest = f.unplaced & ~(1u << f.piece); rest != 0; rest &= rest - 1)
            s.piece_order[++d] = std::countr_zero(rest);
        for (d = placed; d < PIECE_COUNT; ++d)
            s.orientation_index[d] = -1;
        s.current_cell = scan_cell(f.cell);
    } else {
        s.current_cell = s.anchor_cell[PIECE_COUNT - 1];
    }
    s.depth = placed - 1;
    run_statistics.permutations = fast.permutations;
    run_statistics.tiles_attempted = fast.tiles_attempted_ahead - not_yet_tried;
    run_statistics.tiles_succeeded = fast.tiles_succeeded;
}

void write_assembly_to_board() {
    init_board();
    for (const Frame& f : fast.frames) {
        for (CellSet cells = placement_table.cells[f.next - 1]; cells != 0; cells &= cells - 1) {
            const CellTriple c = scan_cell(std::countr_zero(cells));
            board.cells[cell_index(c.x, c.y, c.z)] = f.piece;
        }
    }
}

}  // namespace

void begin_search() {
    search_state.depth = -1;
    search_state.current_cell = {0, 0, 0};
    build_placement_table();
    fast.depth = 0;
    fast.permutations = run_statistics.permutations;
    fast.tiles_attempted_ahead = run_statistics.tiles_attempted;
    fast.tiles_succeeded = run_statistics.tiles_succeeded;
    fast.next_progress = (fast.permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
    Frame& root = fast.frames[0];
    root.covered = 0;
    root.cell = 0;
    root.unplaced = (1u << PIECE_COUNT) - 1;
    start_piece(root, 0);
}

// The same search tree as the straightforward search, step for step: the first empty cell is
// the lowest clear bit, the isolated-cell test one AND with the forward neighbours, a fit one AND.
bool find_next_assembly() {
    const CellSet* const cells = placement_table.cells;
    int32_t d = fast.depth;
    Frame* f = &fast.frames[d];
    for (;;) {
        const CellSet covered = f->covered;
        uint32_t i = f->next;
        const uint32_t end = f->end;
        while (i != end) {
            const CellSet piece_cells = cells[i++];
            if ((piece_cells & covered) != 0)
                continue;
            ++fast.tiles_succeeded;
            const CellSet now = covered | piece_cells;
            if (d == PIECE_COUNT - 1) {
                f->next = i;
                fast.depth = d;
                publish(PIECE_COUNT);
                write_assembly_to_board();
                return true;
            }
            const int32_t first_empty = std::countr_zero(~now);
            if ((~now & placement_table.forward_neighbours[first_empty]) == 0)
                continue;  // a cell nothing can cover: the next orientation
            f->next = i;
            Frame* child = f + 1;
            child->covered = now;
            child->cell = first_empty;
            child->unplaced = f->unplaced & ~(1u << f->piece);
            start_piece(*child, std::countr_zero(child->unplaced));
            ++d;
            f = child;
            goto next_frame;
        }
        {
            // This piece has no orientation left here: the next larger unused piece, or back.
            const uint32_t larger = f->unplaced & ~((2u << f->piece) - 1);
            if (larger != 0) {
                f->piece = std::countr_zero(larger);
                if (++fast.permutations >= fast.next_progress) {
                    if (fast.permutations == fast.next_progress && progress_function != nullptr) {
                        publish(d);
                        progress_function();
                    }
                    fast.next_progress = (fast.permutations / PROGRESS_INTERVAL + 1) * PROGRESS_INTERVAL;
                }
                start_piece(*f, f->piece);
                continue;
            }
            if (d == 0) {
                fast.depth = d;
                publish(0);
                return false;
            }
            ++fast.permutations;
            --d;
            --f;
        }
    next_frame:;
    }
}
