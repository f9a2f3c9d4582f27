// The built-in cube's 64 cells as the viewer numbers them, and how the whole cube turns: the cell
// formula, the one rotation of a point, the 24 rotations of space, those rotations as maps of
// cells, the kind of each cell and the pairs of cells that share a face. (puzzle.js makes the same
// tables for any target, from the rotations here.)
//
// A set of cells is two 32-bit words (the page has no 64-bit integers but BigInt, which is ten
// times slower here): the low word holds cells 0 to 31 (for the cube, layers z = 1 and 2), the
// high word cells 32 to 63, each cell at bit (cell & 31) of word (cell >> 5).

export const CELLS = 64;

// Cells are numbered in scan order: z slowest, then y, then x fastest, each 1..4.
export function cellIndex(x, y, z) {
  return (z - 1) * 16 + (y - 1) * 4 + (x - 1);
}

export function cellCoordinates(index) {
  return { x: (index % 4) + 1, y: (Math.floor(index / 4) % 4) + 1, z: Math.floor(index / 16) + 1 };
}

// Adds a cell to the set of cells held in words[at] (low) and words[at + 1] (high).
export function addCell(words, at, cell) {
  words[at + (cell >> 5)] |= 1 << (cell & 31);
}

// A point [x, y, z] turned by a rotation matrix (rows).
export function rotatePoint(m, [x, y, z]) {
  return m.map((row) => row[0] * x + row[1] * y + row[2] * z);
}

// The 24 rotations of space, as 3x3 matrices of -1, 0, 1 (rows), made from quarter turns about x and y.
function rotations() {
  const multiply = (a, b) => a.map((row) => [0, 1, 2].map((j) => row[0] * b[0][j] + row[1] * b[1][j] + row[2] * b[2][j]));
  const aboutX = [[1, 0, 0], [0, 0, -1], [0, 1, 0]];
  const aboutY = [[0, 0, 1], [0, 1, 0], [-1, 0, 0]];
  const found = new Map([['1,0,0,0,1,0,0,0,1', [[1, 0, 0], [0, 1, 0], [0, 0, 1]]]]);
  for (let grew = true; grew;) {
    grew = false;
    for (const m of [...found.values()]) {
      for (const turn of [aboutX, aboutY]) {
        const next = multiply(turn, m);
        const key = next.flat().join(',');
        if (!found.has(key)) {
          found.set(key, next);
          grew = true;
        }
      }
    }
  }
  return [...found.values()];
}
export const ROTATIONS = rotations();

// TURNS[r][cell] is the cell that rotation r of the whole cube, about its centre, takes `cell`
// to; UNTURNS[r] is the way back. Rotation 0 is the identity.
export const TURNS = ROTATIONS.map((m) => Uint8Array.from({ length: CELLS }, (_, cell) => {
  const { x, y, z } = cellCoordinates(cell);
  const [tx, ty, tz] = rotatePoint(m, [x - 2.5, y - 2.5, z - 2.5]);
  return cellIndex(tx + 2.5, ty + 2.5, tz + 2.5);
}));
export const UNTURNS = TURNS.map((turn) => {
  const back = new Uint8Array(CELLS);
  turn.forEach((to, from) => { back[to] = from; });
  return back;
});

// The cube's contents turned by rotation r: what stood on cell c stands on TURNS[r][c].
export function turnCells(cells, r) {
  const turned = new cells.constructor(CELLS);
  TURNS[r].forEach((to, from) => { turned[to] = cells[from]; });
  return turned;
}

// The kind of a cell: how many of its faces lie on the cube's surface, counted down from a
// corner (three) to an inner cell (none).
export const KINDS = ['corner', 'edge', 'face', 'inner'];
export const KIND_OF = Uint8Array.from({ length: CELLS }, (_, cell) => {
  const { x, y, z } = cellCoordinates(cell);
  return 3 - [x, y, z].filter((v) => v === 1 || v === 4).length;
});
export const KIND_SIZES = KINDS.map((_, kind) => KIND_OF.filter((k) => k === kind).length);

// The 144 pairs of cells that share a face, flat: cells NEIGHBOURS[2i] and NEIGHBOURS[2i + 1].
export const NEIGHBOURS = Uint8Array.from((function* pairs() {
  for (let cell = 0; cell < CELLS; cell += 1) {
    const { x, y, z } = cellCoordinates(cell);
    if (x < 4) yield* [cell, cell + 1];
    if (y < 4) yield* [cell, cell + 4];
    if (z < 4) yield* [cell, cell + 16];
  }
}()));

// Pieces in the order the search placed them: the piece on the first cell in scan order, then
// the piece on the first cell not yet covered, and so on.
export function assemblyOrder(cells) {
  const order = [];
  const placed = new Set();
  for (const piece of cells) {
    if (!placed.has(piece)) {
      placed.add(piece);
      order.push(piece);
    }
  }
  return order;
}
