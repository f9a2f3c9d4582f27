// Two solutions compared: the turn of the second that agrees best with the first, the cells and
// pieces where they differ, and a text picture with cells marked.
import { BUILTIN, turnCellsOf, lineLength } from './puzzle.js';
import { label } from './words.js';

// The rotation of `other` that agrees with `cells` on the most cells (the first of equals).
export function bestTurn(cells, other, puzzle = BUILTIN) {
  let best = 0;
  let most = -1;
  puzzle.turns.forEach((turn, r) => {
    let same = 0;
    for (let c = 0; c < puzzle.count; c += 1) if (cells[turn[c]] === other[c]) same += 1;
    if (same > most) {
      most = same;
      best = r;
    }
  });
  return best;
}

// `cells` and `other` turned by `turn`, side by side: b is the turned other, differs[c] tells
// whether the two hold different pieces on cell c, moved lists the pieces that lie differently.
export function comparison(cells, other, turn, puzzle = BUILTIN) {
  const b = turnCellsOf(puzzle, other, turn);
  const differs = Array.from(cells, (p, c) => p !== b[c]);
  const moved = puzzle.pieces.map((_, p) => p).filter((p) => differs.some((d, c) => d && (cells[c] === p || b[c] === p)));
  return { a: cells, b, differs, moved };
}

// A solution's text picture, as the solver draws it (rows y = Y to 1, in each layer z = Z to 1
// from x = 1, cells outside the target blank): its parts in order, each a blank to write as it is
// or a label, { label, marked }, marked where `marked` is.
export function markedPicture(cells, marked, puzzle = BUILTIN) {
  const { columns, size } = puzzle;
  const width = lineLength(size);
  const parts = [];
  for (let row = 0; row < size[1]; row += 1) {
    let blank = '';
    for (let column = 0; column < width; column += 1) {
      const c = columns[row * width + column];
      if (c < 0) {
        blank += ' ';
        continue;
      }
      if (blank) parts.push(blank);
      blank = '';
      parts.push({ label: label(cells[c]), marked: Boolean(marked[c]) });
    }
    parts.push(`${blank.slice(0, -2)}\n`);
  }
  return parts;
}
