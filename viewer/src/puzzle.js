// A puzzle as the page knows it: its target's cells and box, its pieces, and the tables made
// once from them that every part of the page reads (how the target turns onto itself, the kind
// of each cell, the pairs of cells that share a face, the pieces' shapes in every rotation). The
// built-in puzzle is the solver's own catalogue in the 4 x 4 x 4 cube; a puzzle file's run says
// its puzzle in its header. A puzzle is plain data, so that it passes from the worker to the page.
//
// A target's cells are numbered in scan order: z slowest, then y, then x fastest, from 0; for
// the built-in cube that is cellIndex of cube.js. Coordinates here start at 0, as in the file;
// the page writes them from 1, as it always has for the built-in cube.
import { PIECES } from './pieces.js';
import { ROTATIONS, rotatePoint } from './cube.js';

// Piece N (from 1) is labelled by character N - 1.
export const ALL_LABELS = '123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';

const byScan = (a, b) => a[2] - b[2] || a[1] - b[1] || a[0] - b[0];

// The cubes of a shape turned by each rotation, first cube (in scan order) at the origin; the
// distinct ones, in the order the rotations first reach them, as the solver places them.
function orientationsOf(cubes) {
  const found = new Map();
  for (const m of ROTATIONS) {
    const turned = cubes.map((c) => rotatePoint(m, c)).sort(byScan);
    const [ax, ay, az] = turned[0];
    const shape = turned.map(([x, y, z]) => [x - ax, y - ay, z - az]);
    const key = shape.join(';');
    if (!found.has(key)) found.set(key, shape);
  }
  return [...found.values()];
}

// A shape's key: its cubes after the first, in scan order, each packed as its offset from the
// first (the same packing checkShapes of parse.js makes as it scans a picture), as one number
// where that stays exact, else as text.
export function shapeKey(puzzle, shape) {
  const { keyRange: r, numericKeys } = puzzle;
  const codes = shape.slice(1).map(([x, y, z]) => ((z + r) * (2 * r + 1) + (y + r)) * (2 * r + 1) + (x + r));
  return numericKeys ? codes.reduce((key, code) => key * (2 * r + 1) ** 3 + code, 0) : codes.join(',');
}

// Makes a puzzle from its target cells ([x, y, z] from 0) and pieces ({ name, cubes }, colour
// for the built-in puzzle's), named `name`; `builtin` for the solver's own.
export function makePuzzle({ name, file = null, cells, pieces, builtin = false }) {
  const size = [0, 1, 2].map((a) => Math.max(...cells.map((c) => c[a])) + 1);
  const [X, Y, Z] = size;
  const coords = [...cells].sort(byScan);
  const count = coords.length;
  const cellAt = new Int16Array(X * Y * Z).fill(-1);
  const at = (x, y, z) => (x < 0 || y < 0 || z < 0 || x >= X || y >= Y || z >= Z ? -1 : cellAt[x + X * (y + Y * z)]);
  coords.forEach(([x, y, z], k) => { cellAt[x + X * (y + Y * z)] = k; });
  // The rotations of space that take the target onto itself (moved back into its box), as maps
  // of cells: turns[r][cell] is where the cell goes; the first is the identity.
  const turns = [];
  for (const m of ROTATIONS) {
    const turned = coords.map((c) => rotatePoint(m, c));
    const low = [0, 1, 2].map((a) => Math.min(...turned.map((c) => c[a])));
    const map = Uint8Array.from(turned, (c) => Math.max(at(c[0] - low[0], c[1] - low[1], c[2] - low[2]), 0));
    if (turned.every((c) => at(c[0] - low[0], c[1] - low[1], c[2] - low[2]) >= 0)) turns.push(map);
  }
  const unturns = turns.map((turn) => {
    const back = new Uint8Array(count);
    turn.forEach((to, from) => { back[to] = from; });
    return back;
  });
  // A cell's kind: 3 less the axes along which it lies on the target's outside (a corner of a
  // box is 0, an inner cell 3); and the pairs of cells that share a face.
  const AXES = [[1, 0, 0], [0, 1, 0], [0, 0, 1]];
  const kinds = Uint8Array.from(coords, (c) => 3 - AXES.filter((d) => at(c[0] - d[0], c[1] - d[1], c[2] - d[2]) < 0 ||
    at(c[0] + d[0], c[1] + d[1], c[2] + d[2]) < 0).length);
  const neighbours = [];
  coords.forEach((c, k) => AXES.forEach((d) => {
    const n = at(c[0] + d[0], c[1] + d[1], c[2] + d[2]);
    if (n >= 0) neighbours.push(k, n);
  }));
  const orientations = pieces.map((p) => orientationsOf(p.cubes));
  const reach = Math.max(3, ...pieces.flatMap((p) => [0, 1, 2].map((a) => Math.max(...p.cubes.map((c) => c[a])) - Math.min(...p.cubes.map((c) => c[a])))));
  const most = Math.max(...pieces.map((p) => p.cubes.length));
  const puzzle = {
    builtin, name, file, size, isBox: count === X * Y * Z, count, coords, cellAt, turns, unturns, kinds,
    neighbours: Uint8Array.from(neighbours), orientations,
    pieces: pieces.map((p, i) => ({ number: i + 1, label: ALL_LABELS[i], name: p.name, colour: p.colour || null, cubes: p.cubes })),
    labels: ALL_LABELS.slice(0, pieces.length),
    keyRange: reach, numericKeys: (2 * reach + 1) ** (3 * (most - 1)) < 2 ** 53,
    key: `${name}|${coords.join(' ')}|${pieces.map((p) => `${p.name}:${p.cubes.join(' ')}`).join('|')}`,
  };
  puzzle.shapeKeys = orientations.map((shapes) => new Set(shapes.map((s) => shapeKey(puzzle, s))));
  puzzle.columns = pictureColumns(puzzle);
  // Identical pieces (the same shape up to rotation) are interchangeable: sameAs[p] lists the
  // pieces of p's shape, p among them, in order.
  const shapes = puzzle.shapeKeys.map((keys) => [...keys].sort().join(' '));
  puzzle.sameAs = shapes.map((shape) => shapes.flatMap((other, q) => (other === shape ? [q] : [])));
  return puzzle;
}

// For each picture line (row y = Y - 1 first) and column, the cell whose label stands there, or
// -1 where a blank belongs: a line holds the layers z = Z - 1 down to 0, each 2X + 2 wide (a
// blank before each label, two after the last), one blank between them.
function pictureColumns({ size: [X, Y, Z], cellAt }) {
  const width = lineLength([X, Y, Z]);
  const columns = new Int16Array(Y * width).fill(-1);
  for (let row = 0; row < Y; row += 1) {
    for (let column = 0; column < width; column += 1) {
      const group = Math.floor(column / (2 * X + 3));
      const inGroup = column % (2 * X + 3);
      if (inGroup % 2 === 1 && inGroup < 2 * X) {
        const x = (inGroup - 1) / 2;
        columns[row * width + column] = cellAt[x + X * ((Y - 1 - row) + Y * (Z - 1 - group))];
      }
    }
  }
  return columns;
}

// The length of a picture line for a box.
export const lineLength = ([X, , Z]) => Z * (2 * X + 2) + (Z - 1);

// The solver's own puzzle: its catalogue in the 4 x 4 x 4 cube.
const CUBE_CELLS = Array.from({ length: 64 }, (_, i) => [i % 4, Math.floor(i / 4) % 4, Math.floor(i / 16)]);
export const BUILTIN = makePuzzle({ name: 'Tandor Cube', cells: CUBE_CELLS, pieces: PIECES, builtin: true });

// Whether target cells and pieces (as a header gives them) are the built-in puzzle's.
export const isBuiltin = (cells, pieces) => cells.length === 64 && cells.every((c, i) => c.join() === CUBE_CELLS[i].join()) &&
  pieces.length === PIECES.length && pieces.every((p, i) => p.name === PIECES[i].name && p.cubes.join(' ') === PIECES[i].cubes.join(' '));

// The pieces' labels as a range in words, in parts: ['1 to 9', 'A to D'] for the built-in.
export function labelRanges({ labels }) {
  const parts = [];
  for (const [from, to] of [[0, 8], [9, 34], [35, 60]]) {
    if (labels.length > from) parts.push(labels.length - 1 === from ? labels[from] : `${labels[from]} to ${labels[Math.min(to, labels.length - 1)]}`);
  }
  return parts;
}

// What the page calls the whole: the cube, a box or the target.
export const whole = (puzzle) => (puzzle.builtin ? 'cube' : puzzle.isBox ? 'box' : 'target');

// A cell's coordinates as the page writes them, from 1.
export function shownCoordinates(puzzle, k) {
  const [x, y, z] = puzzle.coords[k];
  return { x: x + 1, y: y + 1, z: z + 1 };
}

// A puzzle's cells turned by its turn r: what stood on cell c stands on turns[r][c].
export function turnCellsOf(puzzle, cells, r) {
  const turned = new cells.constructor(puzzle.count);
  puzzle.turns[r].forEach((to, from) => { turned[to] = cells[from]; });
  return turned;
}
