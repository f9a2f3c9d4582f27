// The finder: which solutions of a run complete a partial assembly, in any of the turns that take
// the target onto itself (the cube's 24 rotations). A partial assembly (a query) is the target's
// cells in scan order (64 for the cube), each a piece (from 0) or EMPTY. Each solution's pieces are kept as sets of cells (see cube.js), so that checking one
// piece of the query in one rotation is two ANDs; the query is turned, not the solutions. Also
// here: where a piece put in whole would go, and every place a piece can take in the cube.
import { addCell } from './cube.js';
import { BUILTIN, labelRanges, whole } from './puzzle.js';
import { label, words } from './words.js';

export const EMPTY = -1;

// A query as the address holds it: a character for each of the target's cells in scan order (z
// slowest, then y, then x; 64 for the cube), '.' for an empty cell and the pieces' labels (of
// either case, when the labels have one case only). Returns { cells } or { error }.
export function readQuery(text, puzzle = BUILTIN) {
  const { count, labels } = puzzle;
  if (text.length !== count) return { error: `it has ${text.length} characters, not ${count}` };
  const cells = new Int8Array(count).fill(EMPTY);
  for (let cell = 0; cell < count; cell += 1) {
    const char = labels.length <= 35 ? text[cell].toUpperCase() : text[cell];
    if (char === '.') continue;
    const piece = labels.indexOf(char);
    if (piece < 0) return { error: `its character ${cell + 1} is '${text[cell]}', neither '.' nor a piece's label (${labelRanges(puzzle).join(', ')})` };
    cells[cell] = piece;
  }
  return { cells };
}

export function writeQuery(cells) {
  return Array.from(cells, (p) => (p < 0 ? '.' : label(p))).join('');
}

// The cells piece p covers in its orientation o with its first cube on `anchor`, those inside
// the target; `outside` tells whether some cube would stick out.
function placedCells(puzzle, p, o, anchor) {
  const [x, y, z] = puzzle.coords[anchor];
  const [X, Y, Z] = puzzle.size;
  const cells = [];
  let outside = false;
  for (const [dx, dy, dz] of puzzle.orientations[p][o]) {
    const c = [x + dx, y + dy, z + dz];
    const cell = c[0] < 0 || c[1] < 0 || c[2] < 0 || c[0] >= X || c[1] >= Y || c[2] >= Z ? -1 : puzzle.cellAt[c[0] + X * (c[1] + Y * c[2])];
    if (cell < 0) outside = true;
    else cells.push(cell);
  }
  return { cells, outside };
}

// placesOf(puzzle)[p]: every place piece p can take inside the target (each orientation on each
// anchor cell where it fits), as sets of cells, low and high words one after the other; made once
// per puzzle.
export function placesOf(puzzle) {
  if (!puzzle.places) {
    puzzle.places = puzzle.orientations.map((shapes, p) => {
      const sets = [];
      shapes.forEach((_, o) => {
        for (let anchor = 0; anchor < puzzle.count; anchor += 1) {
          const { cells, outside } = placedCells(puzzle, p, o, anchor);
          if (outside) continue;
          const set = new Int32Array(2);
          for (const cell of cells) addCell(set, 0, cell);
          sets.push(...set);
        }
      });
      return Int32Array.from(sets);
    });
  }
  return puzzle.places;
}
export const PLACES = placesOf(BUILTIN);

// Piece p put into a query whole, in its orientation o with its first cube on `anchor`: the cells
// it would cover inside the target, and what stops it, { cells, why } (why is null when it fits).
export function placement(query, p, o, anchor, puzzle = BUILTIN) {
  const { cells, outside } = placedCells(puzzle, p, o, anchor);
  const others = [...new Set(cells.map((c) => query[c]).filter((q) => q !== EMPTY && q !== p))];
  let why = null;
  if (outside) why = `In this orientation piece ${label(p)} sticks out of the ${whole(puzzle)} there.`;
  else if (others.length) why = `There piece ${label(p)} would cover piece${others.length > 1 ? 's' : ''} ${words(others.map(label))}.`;
  return { cells, why };
}

// Each piece's cells in a query: how many, and the set of them as two words.
function pieceSets(cells, pieces) {
  const sets = pieces.map(() => ({ count: 0, words: new Int32Array(2) }));
  cells.forEach((p, cell) => {
    if (p < 0) return;
    sets[p].count += 1;
    addCell(sets[p].words, 0, cell);
  });
  return sets;
}

// Why a query cannot be part of any assembly of the cube, as a list of sentences (empty when it
// can be): a piece marked on more cells than it has cubes, or on cells that no place of the piece
// inside the cube covers all of.
export function whyImpossible(cells, puzzle = BUILTIN) {
  const reasons = [];
  const places = placesOf(puzzle);
  pieceSets(cells, puzzle.pieces).forEach(({ count, words: [low, high] }, p) => {
    const { label, cubes } = puzzle.pieces[p];
    if (count === 0) return;
    if (count > cubes.length) {
      reasons.push(`Piece ${label} is marked on ${count} cells, but it has only ${cubes.length} cubes.`);
      return;
    }
    const mine = places[p];
    for (let i = 0; i < mine.length; i += 2) {
      if ((mine[i] & low) === low && (mine[i + 1] & high) === high) return;
    }
    reasons.push(count === cubes.length
      ? `The ${count} cells marked ${label} do not form the shape of piece ${label}.`
      : `The ${count === 1 ? 'cell' : `${count} cells`} marked ${label} cannot be part of piece ${label}: no way of putting the piece in the ${whole(puzzle)} covers ${count === 1 ? 'it' : 'them all'}.`);
  });
  return reasons;
}

// Each solution's pieces as sets of cells: for solution s and piece p of P pieces, words
// s * 2P + 2p (low) and s * 2P + 2p + 1 (high).
export function pieceSetsOfRun(run) {
  const { count: size, pieces } = run.puzzle;
  const words = pieces.length * 2;
  const sets = new Int32Array(run.count * words);
  const { cells } = run;
  for (let s = 0; s < run.count; s += 1) {
    const base = s * words;
    const at = s * size;
    for (let cell = 0; cell < size; cell += 1) addCell(sets, base + 2 * cells[at + cell], cell);
  }
  return sets;
}

// The solutions (their places in the run, in order) that agree with the query in some rotation,
// each with the first rotation r that does it: the solution turned by r (turnCells) holds every
// piece of the query on the query's cells, or a piece identical to it (the solver counts
// identical pieces as interchangeable, so a piece put in stands for any of its shape).
export function findCompletions(sets, count, query, puzzle = BUILTIN) {
  const { unturns } = puzzle;
  const stride = puzzle.pieces.length * 2;
  const pieces = [...new Set(query)].filter((p) => p >= 0);
  const k = pieces.length;
  // For rotation r and the query's j-th piece, the cells of the solution that r takes onto the
  // piece's cells: words (r * k + j) * 2 and + 1.
  const wanted = new Int32Array(unturns.length * k * 2);
  unturns.forEach((back, r) => pieces.forEach((p, j) => {
    query.forEach((q, cell) => {
      if (q === p) addCell(wanted, (r * k + j) * 2, back[cell]);
    });
  }));
  // For the query's j-th piece, the pieces that can stand on its cells: offsets from first[j] to
  // first[j + 1] (one piece, itself, where no other piece has its shape).
  const first = Int32Array.from({ length: k + 1 }, (_, j) => pieces.slice(0, j).reduce((n, p) => n + puzzle.sameAs[p].length, 0));
  const offsets = Int32Array.from(pieces.flatMap((p) => puzzle.sameAs[p]), (p) => 2 * p);
  const places = new Int32Array(count);
  const turns = new Uint8Array(count);
  let found = 0;
  for (let s = 0; s < count; s += 1) {
    const base = s * stride;
    for (let r = 0; r < unturns.length; r += 1) {
      let j = 0;
      for (let w = r * k * 2; j < k; j += 1, w += 2) {
        const low = wanted[w];
        const high = wanted[w + 1];
        let m = first[j];
        for (; m < first[j + 1]; m += 1) {
          const at = base + offsets[m];
          if ((sets[at] & low) === low && (sets[at + 1] & high) === high) break;
        }
        if (m === first[j + 1]) break;
      }
      if (j === k) {
        places[found] = s;
        turns[found] = r;
        found += 1;
        break;
      }
    }
  }
  return { places: places.slice(0, found), turns: turns.slice(0, found) };
}
