#include "model/puzzle_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/board.hpp"

namespace {

// The reader's state: the file, the line being read, and where the error goes.
struct Reader {
    const char* path;
    std::FILE* file;
    int32_t line_number;
    char line[PUZZLE_LINE_LIMIT + 2];
    size_t length;  // of the line, which may hold null bytes
    char* error;
    size_t error_size;
    int32_t target_line;  // the line that gave the target, 0 for none yet
    int32_t name_line;
};

// Writes the message, with the file and the line when `line` is not 0, and answers false.
[[gnu::format(printf, 3, 4)]] bool fail(Reader& r, int32_t line, const char* format, ...) {
    int used = line > 0 ? std::snprintf(r.error, r.error_size, "%s:%d: ", r.path, line)
                        : std::snprintf(r.error, r.error_size, "%s: ", r.path);
    if (used < 0 || static_cast<size_t>(used) >= r.error_size)
        return false;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(r.error + used, r.error_size - static_cast<size_t>(used), format, arguments);
    va_end(arguments);
    return false;
}

// Reads the next line without its line break into r.line; 0 at the end of the file, -1 after a
// fault (reported).
int next_line(Reader& r, bool& any_byte) {
    size_t length = 0;
    int c;
    while ((c = std::getc(r.file)) != EOF) {
        any_byte = true;
        if (c == '\n')
            break;
        if (length == PUZZLE_LINE_LIMIT + 1) {
            fail(r, r.line_number + 1, "the line is longer than %d characters", PUZZLE_LINE_LIMIT);
            return -1;
        }
        r.line[length++] = static_cast<char>(c);
    }
    if (c == EOF && std::ferror(r.file)) {
        fail(r, 0, "cannot read it: %s", std::strerror(errno != 0 ? errno : EIO));
        return -1;
    }
    if (c == EOF && length == 0)
        return 0;
    ++r.line_number;
    if (length > 0 && r.line[length - 1] == '\r')
        --length;
    if (length > PUZZLE_LINE_LIMIT) {
        fail(r, r.line_number, "the line is longer than %d characters", PUZZLE_LINE_LIMIT);
        return -1;
    }
    r.line[length] = '\0';
    // A UTF-8 byte order mark at the start of the file is skipped.
    if (r.line_number == 1 && length >= 3 && std::memcmp(r.line, "\xEF\xBB\xBF", 3) == 0) {
        length -= 3;
        std::memmove(r.line, r.line + 3, length + 1);
    }
    r.length = length;
    return 1;
}

// Text is printable ASCII, tabs and well-formed UTF-8; anything else is not a puzzle file.
bool check_text(Reader& r) {
    const auto* at = reinterpret_cast<const unsigned char*>(r.line);
    const auto* end = at + r.length;
    while (at < end) {
        const unsigned char c = *at;
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t') || c == 0x7F)
                return fail(r, r.line_number, "a control character (byte 0x%02X): this is not a text file", c);
            ++at;
            continue;
        }
        const int more = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
        if (more < 0 || c >= 0xF5)
            return fail(r, r.line_number, "a byte 0x%02X that is not UTF-8 text: this is not a text file", c);
        for (int k = 1; k <= more; ++k)
            if (at + k >= end || (at[k] & 0xC0) != 0x80)
                return fail(r, r.line_number, "a byte 0x%02X that is not UTF-8 text: this is not a text file", c);
        at += 1 + more;
    }
    return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

char* skip_blanks(char* at) {
    while (is_blank(*at))
        ++at;
    return at;
}

// The line's words end where its comment begins; trailing blanks are cut.
void cut_comment(char* line) {
    char* hash = std::strchr(line, '#');
    if (hash != nullptr)
        *hash = '\0';
    size_t length = std::strlen(line);
    while (length > 0 && is_blank(line[length - 1]))
        line[--length] = '\0';
}

// The next word of `at`, cut off with a null; `at` moves past it.
char* take_word(char*& at) {
    at = skip_blanks(at);
    char* word = at;
    while (*at != '\0' && !is_blank(*at))
        ++at;
    if (*at != '\0')
        *at++ = '\0';
    return word;
}

bool read_number(const char* text, const char* end, int32_t& value) {
    const char* at = text;
    if (at < end && (*at == '-' || *at == '+'))
        ++at;
    if (at == end)
        return false;
    int64_t v = 0;
    for (; at < end; ++at) {
        if (*at < '0' || *at > '9')
            return false;
        v = v * 10 + (*at - '0');
        if (v > COORDINATE_LIMIT)
            return false;
    }
    value = static_cast<int32_t>(*text == '-' ? -v : v);
    return true;
}

bool read_triple(Reader& r, const char* word, CubeOffset& c) {
    const char* first = std::strchr(word, ',');
    const char* second = first != nullptr ? std::strchr(first + 1, ',') : nullptr;
    const char* end = word + std::strlen(word);
    if (second == nullptr || std::strchr(second + 1, ',') != nullptr || !read_number(word, first, c.x) ||
        !read_number(first + 1, second, c.y) || !read_number(second + 1, end, c.z))
        return fail(r, r.line_number, "'%.40s' is not a cube: a cube is x,y,z, three whole numbers from %d to %d", word,
                    -COORDINATE_LIMIT, COORDINATE_LIMIT);
    return true;
}

bool same(const CubeOffset& a, const CubeOffset& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Reads the cubes that follow on the line, at most `limit` of them, each one once.
bool read_cubes(Reader& r, char* at, CubeOffset* cubes, int32_t& count, int32_t limit, const char* what) {
    count = 0;
    for (;;) {
        char* word = take_word(at);
        if (*word == '\0')
            break;
        if (count == limit)
            return fail(r, r.line_number, "%s has more than %d cells; at most %d", what, limit, limit);
        if (!read_triple(r, word, cubes[count]))
            return false;
        for (int32_t k = 0; k < count; ++k)
            if (same(cubes[k], cubes[count]))
                return fail(r, r.line_number, "%s has the cell %d,%d,%d twice", what, cubes[k].x, cubes[k].y, cubes[k].z);
        ++count;
    }
    if (count == 0)
        return fail(r, r.line_number, "%s has no cells: give them as x,y,z", what);
    return true;
}

// Whether the cubes are face to face: every one reached from the first through neighbours.
bool face_connected(const CubeOffset* cubes, int32_t count) {
    bool reached[MAX_CUBES] = {true};
    int32_t stack[MAX_CUBES] = {0};
    int32_t waiting = 1, found = 1;
    while (waiting > 0) {
        const CubeOffset c = cubes[stack[--waiting]];
        for (int32_t k = 0; k < count; ++k) {
            const int32_t distance = std::abs(cubes[k].x - c.x) + std::abs(cubes[k].y - c.y) + std::abs(cubes[k].z - c.z);
            if (!reached[k] && distance == 1) {
                reached[k] = true;
                stack[waiting++] = k;
                ++found;
            }
        }
    }
    return found == count;
}

bool read_target(Reader& r, Puzzle& out, char* at, bool is_box) {
    if (r.target_line != 0)
        return fail(r, r.line_number, "a second target: the target is given once, and line %d gave it", r.target_line);
    r.target_line = r.line_number;
    CubeOffset cells[MAX_TARGET_CELLS];
    int32_t count = 0;
    if (is_box) {
        int32_t sides[3];
        for (int32_t& side : sides) {
            const char* word = take_word(at);
            if (!read_number(word, word + std::strlen(word), side) || side < 1 || side > MAX_TARGET_CELLS)
                return fail(r, r.line_number, "a box is three whole numbers from 1 to %d: box X Y Z", MAX_TARGET_CELLS);
        }
        if (*take_word(at) != '\0')
            return fail(r, r.line_number, "a box is three whole numbers from 1 to %d: box X Y Z", MAX_TARGET_CELLS);
        const int64_t volume = int64_t{sides[0]} * sides[1] * sides[2];
        if (volume > MAX_TARGET_CELLS)
            return fail(r, r.line_number, "the target has %lld cells; at most %d", static_cast<long long>(volume),
                        MAX_TARGET_CELLS);
        const Puzzle box = box_puzzle(sides[0], sides[1], sides[2]);
        for (; count < box.cell_count; ++count)
            cells[count] = {box.cells[count].x, box.cells[count].y, box.cells[count].z};
    } else if (!read_cubes(r, at, cells, count, MAX_TARGET_CELLS, "the target")) {
        return false;
    }
    CubeOffset low = cells[0], high = cells[0];
    for (int32_t i = 1; i < count; ++i) {
        low = {std::min(low.x, cells[i].x), std::min(low.y, cells[i].y), std::min(low.z, cells[i].z)};
        high = {std::max(high.x, cells[i].x), std::max(high.y, cells[i].y), std::max(high.z, cells[i].z)};
    }
    const int32_t box[3] = {high.x - low.x + 1, high.y - low.y + 1, high.z - low.z + 1};
    if (int64_t{box[0] + 2} * (box[1] + 2) * (box[2] + 2) > MAX_BOARD_CELLS)
        return fail(r, r.line_number,
                    "the target's cells spread over a box of %d x %d x %d; with a border of one cell around it, the box "
                    "holds at most %d cells",
                    box[0], box[1], box[2], MAX_BOARD_CELLS);
    out.target_is_box = int64_t{box[0]} * box[1] * box[2] == count;
    for (int a = 0; a < 3; ++a)
        out.box[a] = box[a];
    out.cell_count = count;
    for (int32_t i = 0; i < count; ++i)
        out.cells[i] = {cells[i].x - low.x, cells[i].y - low.y, cells[i].z - low.z};
    return true;
}

bool read_piece(Reader& r, Puzzle& out, char* at) {
    at = skip_blanks(at);
    char* colon = std::strchr(at, ':');
    if (colon == nullptr)
        return fail(r, r.line_number, "a piece needs a colon after its name: piece NAME: x,y,z ...");
    char* end = colon;
    while (end > at && is_blank(end[-1]))
        --end;
    *end = '\0';
    const size_t name_length = std::strlen(at);
    if (name_length == 0)
        return fail(r, r.line_number, "the piece has no name: piece NAME: x,y,z ...");
    if (name_length >= PIECE_NAME_SIZE)
        return fail(r, r.line_number, "the piece name '%.40s%s' is %d characters long; at most %d", at,
                    name_length > 40 ? "..." : "", static_cast<int>(name_length), PIECE_NAME_SIZE - 1);
    PieceCatalogue& pieces = out.catalogue;
    if (pieces.piece_count == MAX_PIECES)
        return fail(r, r.line_number, "a piece more than the limit: at most %d pieces", MAX_PIECES);
    const int32_t p = pieces.piece_count;
    PieceShape& shape = pieces.shapes[p];
    char what[PIECE_NAME_SIZE + 16];
    std::snprintf(what, sizeof what, "piece '%s'", at);
    if (!read_cubes(r, colon + 1, shape.cubes, shape.cube_count, MAX_CUBES, what))
        return false;
    if (!face_connected(shape.cubes, shape.cube_count))
        return fail(r, r.line_number, "the cubes of %s are not all face to face: a piece is one solid", what);
    std::strcpy(pieces.piece_names[p], at);
    shape.piece_number = p;
    shape.orientation_number = 0;
    const CubeOffset first = shape.cubes[0];
    for (int32_t i = 0; i < shape.cube_count; ++i)
        shape.cubes[i] = {shape.cubes[i].x - first.x, shape.cubes[i].y - first.y, shape.cubes[i].z - first.z};
    ++pieces.piece_count;
    return true;
}

bool read_line(Reader& r, Puzzle& out) {
    if (!check_text(r))
        return false;
    cut_comment(r.line);
    char* at = skip_blanks(r.line);
    if (*at == '\0')
        return true;
    char* keyword = take_word(at);
    if (std::strcmp(keyword, "name") == 0) {
        if (r.name_line != 0)
            return fail(r, r.line_number, "a second name: line %d gave the puzzle its name", r.name_line);
        r.name_line = r.line_number;
        at = skip_blanks(at);
        if (*at == '\0')
            return fail(r, r.line_number, "the name is missing: name TEXT");
        if (std::strlen(at) >= PUZZLE_NAME_SIZE)
            return fail(r, r.line_number, "the puzzle's name is %d characters long; at most %d",
                        static_cast<int>(std::strlen(at)), PUZZLE_NAME_SIZE - 1);
        std::strcpy(out.name, at);
        return true;
    }
    if (std::strcmp(keyword, "box") == 0 || std::strcmp(keyword, "target") == 0)
        return read_target(r, out, at, keyword[0] == 'b');
    if (std::strcmp(keyword, "piece") == 0)
        return read_piece(r, out, at);
    return fail(r, r.line_number, "unknown keyword '%.40s': a line is name, box, target or piece", keyword);
}

}  // namespace

bool read_puzzle_file(const char* path, Puzzle& out, char* error, size_t error_size) {
    static Reader r;
    r = Reader{};
    r.path = path;
    r.error = error;
    r.error_size = error_size;
    out = Puzzle{};
    errno = 0;
    r.file = std::fopen(path, "rb");
    if (r.file == nullptr)
        return fail(r, 0, "cannot read it: %s", std::strerror(errno != 0 ? errno : ENOENT));
    bool any_byte = false, ok = true;
    int got;
    while (ok && (got = next_line(r, any_byte)) != 0)
        ok = got > 0 && read_line(r, out);
    std::fclose(r.file);
    if (!ok)
        return false;
    if (!any_byte)
        return fail(r, 0, "the file is empty");
    if (r.target_line == 0 && out.catalogue.piece_count == 0)
        return fail(r, 0, "the file holds no puzzle: no target and no piece");
    if (r.target_line == 0)
        return fail(r, 0, "no target: give one with 'box X Y Z' or 'target x,y,z ...'");
    if (out.catalogue.piece_count == 0)
        return fail(r, 0, "no piece: give each with 'piece NAME: x,y,z ...'");
    int32_t cubes = 0;
    for (int32_t p = 0; p < out.catalogue.piece_count; ++p)
        cubes += out.catalogue.shapes[p].cube_count;
    if (cubes != out.cell_count)
        return fail(r, 0, "the pieces have %d cubes in all, but the target has %d cells", cubes, out.cell_count);
    if (r.name_line == 0) {
        const char* base = std::strrchr(path, '/');
        base = base != nullptr ? base + 1 : path;
        std::snprintf(out.name, sizeof out.name, "%s", base);
    }
    std::snprintf(out.file, sizeof out.file, "%s", path);
    return true;
}
