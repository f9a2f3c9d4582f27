// The header of a run: the lines after the banner that say which puzzle the run solves (a
// puzzle file's name, target and pieces) and how it was run (mirror images, a fast search). A
// run without target and piece lines is of the built-in puzzle, and its piece list must be the
// solver's catalogue; a run with them is of the puzzle they describe, its piece list and
// orientation counts checked against them. parse.js hands over the lines and asks for the
// puzzle once the header has ended.
import { PIECES } from './pieces.js';
import { ORIENTATION_COUNTS } from './shapes.js';
import { BUILTIN, makePuzzle, isBuiltin } from './puzzle.js';

const LINES = {
  name: /^Puzzle: (.*)$/,
  file: /^Puzzle file: (.*)$/,
  target: /^Target: (\d+) cells in an? (\d+) x (\d+) x (\d+) box$/,
  cells: /^Target cells: (.*)$/,
  piece: /^Piece +(\d+) cubes: (.*)$/,
  mirror: /^Mirror images: (.*)$/,
  search: /^Search: (.*)$/,
};

// A header line of the run's opening, kept in run.header; false for any other line.
export function headerLine(run, text) {
  for (const [field, pattern] of Object.entries(LINES)) {
    const m = pattern.exec(text);
    if (!m) continue;
    const header = run.header || (run.header = { pieces: [] });
    if (field === 'piece') header.pieces.push({ number: Number(m[1]), text: m[2] });
    else header[field] = field === 'target' ? m.slice(1).map(Number) : m[1];
    return true;
  }
  return false;
}

// "x,y,z x,y,z ..." as a list of [x, y, z], or null.
function triples(text) {
  const words = text.trim().split(/ +/);
  if (!words.length || words.some((w) => !/^-?\d+,-?\d+,-?\d+$/.test(w))) return null;
  return words.map((w) => w.split(',').map(Number));
}

function targetCells(header) {
  const box = /^box (\d+) (\d+) (\d+)$/.exec(header.cells);
  if (box) {
    const [X, Y, Z] = box.slice(1).map(Number);
    if (!(X * Y * Z >= 1 && X * Y * Z <= 64)) return { why: `its target, a ${X} x ${Y} x ${Z} box, is not 1 to 64 cells` };
    return { cells: Array.from({ length: X * Y * Z }, (_, i) => [i % X, Math.floor(i / X) % Y, Math.floor(i / (X * Y))]) };
  }
  const cells = triples(header.cells);
  if (!cells) return { why: 'its "Target cells" line cannot be read' };
  if (cells.length > 64 || cells.some((c) => c.some((v) => v < 0 || v > 63)) || new Set(cells.map(String)).size !== cells.length) {
    return { why: 'its "Target cells" line is not a target of 1 to 64 different cells' };
  }
  return { cells };
}

// The puzzle of a run, { puzzle, why }: why says what is wrong with its header or piece list
// (a run without a header is read as the built-in puzzle's all the same; one whose header cannot
// be read has no puzzle). The puzzle is made once for every run of the same puzzle (`made`, a Map by key, shared by the reader).
export function puzzleOf(run, made) {
  const { header, pieces: listed } = run;
  if (!header || (header.cells === undefined && !header.pieces.length)) {
    const names = listed.map((p) => `${p.number}:${p.cubes}:${p.name}`).join('|');
    if (names !== PIECES.map((p) => `${p.number}:${p.cubes.length}:${p.name}`).join('|')) return { why: 'its piece list is not the solver\'s catalogue of 13 pieces', puzzle: BUILTIN };
    if (run.orientationCounts.join(' ') !== ORIENTATION_COUNTS.join(' ')) return { why: `its orientation counts are not ${ORIENTATION_COUNTS.join(', ')}`, puzzle: BUILTIN };
    return { puzzle: BUILTIN };
  }
  if (header.cells === undefined) return { why: 'its header has piece lines but no "Target cells" line' };
  const target = targetCells(header);
  if (target.why) return target;
  const { cells } = target;
  const size = [0, 1, 2].map((a) => Math.max(...cells.map((c) => c[a])) + 1);
  if (header.target && (header.target[0] !== cells.length || header.target.slice(1).join() !== size.join())) {
    return { why: `its "Target" line says ${header.target[0]} cells in a ${header.target.slice(1).join(' x ')} box, but its cells are ${cells.length} in a ${size.join(' x ')} box` };
  }
  const pieces = [];
  for (const [i, { number, text }] of header.pieces.entries()) {
    const cubes = triples(text);
    if (number !== i + 1 || !cubes) return { why: `its "Piece ${number} cubes" line ${cubes ? 'is out of order' : 'cannot be read'}` };
    const entry = listed[i];
    if (!entry || entry.number !== number || entry.cubes !== cubes.length) return { why: `its piece list does not match its header's piece ${number}` };
    pieces.push({ name: entry.name, cubes });
  }
  if (!pieces.length || listed.length !== pieces.length || pieces.length > 32) return { why: `its piece list has ${listed.length} pieces, its header ${pieces.length}` };
  if (pieces.reduce((sum, p) => sum + p.cubes.length, 0) !== cells.length) return { why: `its pieces' cubes do not add up to its target's ${cells.length} cells` };
  const builtin = isBuiltin(cells, pieces);
  const key = builtin ? 'builtin' : JSON.stringify([header.name, cells, pieces]);
  if (!made.has(key)) made.set(key, builtin ? BUILTIN : makePuzzle({ name: header.name || header.file || 'Puzzle', file: header.file || null, cells, pieces }));
  const puzzle = made.get(key);
  const counts = puzzle.orientations.map((o) => o.length);
  if (run.orientationCounts.join(' ') !== counts.join(' ')) return { why: `its orientation counts are not ${counts.join(', ')}`, puzzle };
  return { puzzle };
}
