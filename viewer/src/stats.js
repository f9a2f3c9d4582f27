// Where the pieces go, over all the solutions of a run, counted once per run for the charts:
// for each piece and kind of cell (corner, edge, face, inner), in how many solutions the piece
// covers 0, 1, .. 5 cells of that kind; and for each pair of pieces, in how many solutions they
// share at least one face. Turning a solution changes neither count.
import { KINDS } from './cube.js';

export function pieceStats(run) {
  const { pieces, count: size, kinds: kindOf, neighbours } = run.puzzle;
  const n = pieces.length;
  const bins = Math.max(...pieces.map((piece) => piece.cubes.length)) + 1;
  // covers[((p * 4) + kind) * bins + n]: solutions in which piece p covers n cells of that kind.
  const covers = new Int32Array(n * KINDS.length * bins);
  // touches[p * n + q]: solutions in which pieces p and q share a face.
  const touches = new Int32Array(n * n);
  const here = new Uint8Array(n * KINDS.length);
  const touched = new Uint8Array(n * n);
  const { cells } = run;
  for (let s = 0; s < run.count; s += 1) {
    const at = s * size;
    here.fill(0);
    for (let cell = 0; cell < size; cell += 1) here[cells[at + cell] * KINDS.length + kindOf[cell]] += 1;
    for (let i = 0; i < here.length; i += 1) covers[i * bins + here[i]] += 1;
    touched.fill(0);
    for (let i = 0; i < neighbours.length; i += 2) {
      const p = cells[at + neighbours[i]];
      const q = cells[at + neighbours[i + 1]];
      if (p !== q) {
        touched[p * n + q] = 1;
        touched[q * n + p] = 1;
      }
    }
    for (let i = 0; i < touched.length; i += 1) touches[i] += touched[i];
  }
  return { solutions: run.count, bins, covers, touches, pieces: n };
}

// How many solutions have piece p covering n cells of a kind.
export const coverCount = (stats, p, kind, n) => stats.covers[(p * KINDS.length + kind) * stats.bins + n];

// The mean number of piece p's cubes on cells of a kind, per solution.
export function meanCover(stats, p, kind) {
  let sum = 0;
  for (let n = 1; n < stats.bins; n += 1) sum += n * coverCount(stats, p, kind, n);
  return stats.solutions ? sum / stats.solutions : 0;
}

export const touchCount = (stats, p, q) => stats.touches[p * stats.pieces + q];
