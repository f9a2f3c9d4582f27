// The pieces' shapes in all their rotations, made from the solver's catalogue (pieces.js), and
// the key by which a set of cells is recognised as one of them.
import { PIECES } from './pieces.js';
import { ROTATIONS, rotatePoint } from './cube.js';

// A cube's place relative to the first cube of its shape in scan order (z, then y, then x), packed
// in 9 bits; a shape's key packs its other cubes in scan order, so equal shapes have equal keys.
export function offsetCode(dx, dy, dz) {
  return (dz + 3) * 49 + (dy + 3) * 7 + (dx + 3);
}

function shapeKey(cubes) {
  const sorted = [...cubes].sort((a, b) => a[2] - b[2] || a[1] - b[1] || a[0] - b[0]);
  const [ax, ay, az] = sorted[0];
  return sorted.slice(1).reduce((key, [x, y, z]) => key * 512 + offsetCode(x - ax, y - ay, z - az), 0);
}

// For each piece (0-based), the keys of its distinct rotations.
export const SHAPE_KEYS = PIECES.map((piece) => new Set(ROTATIONS.map((m) =>
  shapeKey(piece.cubes.map((c) => rotatePoint(m, c))))));

// How many distinct orientations each piece has, as the solver counts them.
export const ORIENTATION_COUNTS = SHAPE_KEYS.map((keys) => keys.size);

const byScan = (a, b) => a[2] - b[2] || a[1] - b[1] || a[0] - b[0];

// Each piece's distinct orientations, in the order the rotations first reach them: the cubes in
// scan order, the first of them (the anchor) at the origin, as the solver places them.
export const ORIENTATIONS = PIECES.map((piece) => {
  const found = new Map();
  for (const m of ROTATIONS) {
    const cubes = piece.cubes.map((c) => rotatePoint(m, c)).sort(byScan);
    const [ax, ay, az] = cubes[0];
    const shape = cubes.map(([x, y, z]) => [x - ax, y - ay, z - az]);
    const key = shape.join(';');
    if (!found.has(key)) found.set(key, shape);
  }
  return [...found.values()];
});
