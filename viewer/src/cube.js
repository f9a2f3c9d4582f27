// The cube's 64 cells as the finder, the charts and the comparison see them: the 24 rotations of
// the whole cube as maps of cells, the kind of each cell, the pairs of cells that share a face,
// and every place a piece can take inside the cube as a set of cells.
//
// A set of cells is two 32-bit words (the page has no 64-bit integers but BigInt, which is ten
// times slower here): the low word holds cells 0 to 31 (layers z = 1 and 2), the high word cells
// 32 to 63, each cell at bit (cell & 31) of word (cell >> 5).
import { ROTATIONS, ORIENTATIONS } from './shapes.js';
import { cellIndex, cellCoordinates } from './parse.js';

export const CELLS = 64;

// TURNS[r][cell] is the cell that rotation r of the whole cube, about its centre, takes `cell`
// to; UNTURNS[r] is the way back. Rotation 0 is the identity.
export const TURNS = ROTATIONS.map((m) => Uint8Array.from({ length: CELLS }, (_, cell) => {
  const { x, y, z } = cellCoordinates(cell);
  const v = [x - 2.5, y - 2.5, z - 2.5];
  const [tx, ty, tz] = m.map((row) => row[0] * v[0] + row[1] * v[1] + row[2] * v[2] + 2.5);
  return cellIndex(tx, ty, tz);
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

// PLACES[p]: every place piece p can take inside the cube (each orientation on each anchor cell
// where it fits), as sets of cells, low and high words one after the other.
export const PLACES = ORIENTATIONS.map((shapes) => {
  const words = [];
  for (const shape of shapes) {
    for (let anchor = 0; anchor < CELLS; anchor += 1) {
      const { x, y, z } = cellCoordinates(anchor);
      const cells = shape.map(([dx, dy, dz]) => [x + dx, y + dy, z + dz]);
      if (cells.every((c) => c.every((v) => v >= 1 && v <= 4))) {
        const set = [0, 0];
        for (const c of cells) {
          const cell = cellIndex(...c);
          set[cell >> 5] |= 1 << (cell & 31);
        }
        words.push(...set);
      }
    }
  }
  return Int32Array.from(words);
});
