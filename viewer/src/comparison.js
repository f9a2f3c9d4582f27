// Two solutions compared: the turn of the second that agrees best with the first, the cells and
// pieces where they differ, and a text picture with cells marked.
import { PIECES } from './pieces.js';
import { LABELS } from './parse.js';
import { CELLS, TURNS, cellIndex, turnCells } from './cube.js';

// The rotation of `other` that agrees with `cells` on the most cells (the first of equals).
export function bestTurn(cells, other) {
  let best = 0;
  let most = -1;
  TURNS.forEach((turn, r) => {
    let same = 0;
    for (let c = 0; c < CELLS; c += 1) if (cells[turn[c]] === other[c]) same += 1;
    if (same > most) {
      most = same;
      best = r;
    }
  });
  return best;
}

// `cells` and `other` turned by `turn`, side by side: b is the turned other, differs[c] tells
// whether the two hold different pieces on cell c, moved lists the pieces that lie differently.
export function comparison(cells, other, turn) {
  const b = turnCells(other, turn);
  const differs = Array.from(cells, (p, c) => p !== b[c]);
  const moved = PIECES.map((_, p) => p).filter((p) => differs.some((d, c) => d && (cells[c] === p || b[c] === p)));
  return { a: cells, b, differs, moved };
}

// A solution's text picture, rows y = 4 to 1, in each layer z = 4 to 1 from x = 1: its parts in
// order, each a blank to write as it is or a label, { label, marked }, marked where `marked` is.
export function markedPicture(cells, marked) {
  const parts = [];
  for (let y = 4; y >= 1; y -= 1) {
    for (let z = 4; z >= 1; z -= 1) {
      for (let x = 1; x <= 4; x += 1) {
        const c = cellIndex(x, y, z);
        parts.push(' ', { label: LABELS[cells[c]], marked: Boolean(marked[c]) });
      }
      parts.push(z > 1 ? '    ' : '\n');
    }
  }
  return parts;
}
