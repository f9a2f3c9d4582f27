// The exploded view: each piece moves out to its own place on a 3 x 3 x 3 lattice around the
// cube's centre (the centre place left empty), the place nearest to where the piece sits in the
// cube. Places are SPACING apart, more than two pieces' reach from their centres (at most 2.1
// cells each way), so that no two pieces overlap and each can be seen whole.
import { cellCoordinates } from './parse.js';

export const SPACING = 5;

const PLACES = [];
for (let x = -1; x <= 1; x += 1) {
  for (let y = -1; y <= 1; y += 1) {
    for (let z = -1; z <= 1; z += 1) if (x || y || z) PLACES.push([x, y, z]);
  }
}

// The centre of each piece, in cells from the cube's centre, in board axes.
export function pieceCentres(cells, pieces = 13) {
  const sums = Array.from({ length: pieces }, () => [0, 0, 0, 0]);
  cells.forEach((piece, index) => {
    const { x, y, z } = cellCoordinates(index);
    const sum = sums[piece];
    sum[0] += x - 2.5;
    sum[1] += y - 2.5;
    sum[2] += z - 2.5;
    sum[3] += 1;
  });
  return sums.map(([x, y, z, n]) => (n ? [x / n, y / n, z / n] : [0, 0, 0]));
}

// How far each piece moves, in board axes, when the view is fully exploded.
export function explodedOffsets(cells, pieces = 13) {
  const centres = pieceCentres(cells, pieces);
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
