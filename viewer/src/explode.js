// The exploded view: each piece moves out to its own place on a 3 x 3 x 3 lattice around the
// cube's centre, the place nearest to where the piece sits in the cube. Places are SPACING apart,
// more than two pieces' reach from their centres (at most 2.1 cells each way), so that no two
// pieces overlap. Of the lattice's 26 outer places, only 14 are used: seen from the starting
// view, they stand at least 0.84 SPACING apart across the line of sight, so that no piece hides
// another there and each can be seen whole.
import { BUILTIN } from './puzzle.js';

export const SPACING = 6.5;

// Where the camera starts, in the scene's axes (x right, y up, z towards the viewer).
export const START_VIEW = [6.6, 7.4, 9.5];

// The places, in board axes (x, y, z: y into the picture, z up).
export const PLACES = [
  [-1, -1, -1], [-1, 1, 0], [1, -1, 0], [1, -1, -1], [-1, -1, 1], [-1, 1, 1], [0, -1, -1],
  [1, 1, 0], [-1, -1, 0], [0, 1, 0], [0, -1, 0], [1, 1, -1], [0, 1, 1], [1, 1, 1],
];

// The centre of each piece, in cells from the centre of the puzzle's box, in board axes.
export function pieceCentres(cells, pieces = 13, puzzle = BUILTIN) {
  const sums = Array.from({ length: pieces }, () => [0, 0, 0, 0]);
  cells.forEach((piece, index) => {
    const sum = sums[piece];
    puzzle.coords[index].forEach((v, a) => { sum[a] += v - (puzzle.size[a] - 1) / 2; });
    sum[3] += 1;
  });
  return sums.map(([x, y, z, n]) => (n ? [x / n, y / n, z / n] : [0, 0, 0]));
}

// Another puzzle's pieces move straight out from the box's centre, each to SPREAD times as far
// as its centre lies from it and half a cell more on each axis, so that they stand apart.
export const SPREAD = 1.6;

// How far each piece moves, in board axes, when the view is fully exploded.
export function explodedOffsets(cells, pieces = 13, puzzle = BUILTIN) {
  const centres = pieceCentres(cells, pieces, puzzle);
  if (!puzzle.builtin) return centres.map((c) => c.map((v) => v * SPREAD + Math.sign(v) * 0.5));
  const pairs = [];
  centres.forEach((c, piece) => PLACES.forEach((place, k) => {
    pairs.push({ piece, k, cost: place.reduce((sum, p, a) => sum + (p - c[a] / 1.5) ** 2, 0) });
  }));
  pairs.sort((a, b) => a.cost - b.cost);
  const placeOf = new Array(pieces).fill(-1);
  const taken = new Set();
  for (const { piece, k } of pairs) {
    if (placeOf[piece] < 0 && !taken.has(k)) {
      placeOf[piece] = k;
      taken.add(k);
    }
  }
  return centres.map((c, piece) => PLACES[placeOf[piece]].map((p, a) => p * SPACING - c[a]));
}
