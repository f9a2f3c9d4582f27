// A solution's picture, as the solver draws it for any target: one line per row (y = Y - 1
// first), the layers z = Z - 1 down to 0 side by side, each cell its piece's label and a cell
// outside the target a blank. Read back into cells (in scan order) with the checks that a
// picture holds every piece whole and in its own shape; and drawn from cells.
import { BUILTIN, ALL_LABELS, lineLength } from './puzzle.js';

const show = (char) => (char === ' ' ? 'a blank' : `'${char}'`);
const PIECE_OF_CHAR = new Int8Array(128).fill(-1);
for (let p = 0; p < ALL_LABELS.length; p += 1) PIECE_OF_CHAR[ALL_LABELS.charCodeAt(p)] = p;

// Reads a puzzle's picture lines (one per row, y = Y - 1 first) into cells[offset ..]; returns
// null, or what is wrong as { row (from 0), text }.
export function readRendering(puzzle, lines, cells, offset) {
  const { columns, size, pieces } = puzzle;
  const width = lineLength(size);
  for (let row = 0; row < lines.length; row += 1) {
    const line = lines[row];
    if (line.length !== width) {
      return { row, text: `its picture line ${row + 1} is ${line.length} characters long, not ${width}` };
    }
    for (let column = 0, at = row * width; column < width; column += 1, at += 1) {
      const code = line.charCodeAt(column);
      const cell = columns[at];
      if (cell < 0) {
        if (code !== 32) return { row, text: `its picture line ${row + 1} has ${show(line[column])} in column ${column + 1}, where a blank belongs` };
      } else {
        const piece = code < 128 ? PIECE_OF_CHAR[code] : -1;
        if (piece < 0 || piece >= pieces.length) return { row, text: `its picture line ${row + 1} has ${show(line[column])} in column ${column + 1}, which is no piece's label` };
        cells[offset + cell] = piece;
      }
    }
  }
  return null;
}

// Checks that every piece covers its own number of cells, in its own shape in some rotation:
// each piece's cells after its first (in scan order) are packed as shapeKey packs a shape.
export function checkShapes(puzzle, cells, offset) {
  const { pieces, coords, count: size, keyRange: r, numericKeys, shapeKeys } = puzzle;
  const count = new Int32Array(pieces.length);
  const key = numericKeys ? new Float64Array(pieces.length) : pieces.map(() => '');
  const anchor = new Int32Array(pieces.length);
  const span = 2 * r + 1;
  for (let cell = 0; cell < size; cell += 1) {
    const p = cells[offset + cell];
    if (count[p] === 0) {
      anchor[p] = cell;
    } else if (count[p] < pieces[p].cubes.length) {
      const a = coords[anchor[p]];
      const c = coords[cell];
      const dx = c[0] - a[0];
      const dy = c[1] - a[1];
      const dz = c[2] - a[2];
      const code = ((dz + r) * span + (dy + r)) * span + (dx + r);
      if (Math.abs(dx) > r || Math.abs(dy) > r || dz > r) key[p] = NaN;
      else if (numericKeys) key[p] = key[p] * span * span * span + code;
      else key[p] += `${key[p] === '' ? '' : ','}${code}`;
    }
    count[p] += 1;
  }
  const wrongCount = [];
  const wrongShape = [];
  pieces.forEach((piece, p) => {
    if (count[p] !== piece.cubes.length) wrongCount.push(`piece ${piece.label} covers ${count[p]} cell${count[p] === 1 ? '' : 's'}, not ${piece.cubes.length}`);
    else if (!shapeKeys[p].has(key[p])) wrongShape.push(piece.label);
  });
  if (wrongCount.length) return wrongCount.join(', and ');
  if (wrongShape.length === 1) return `the cells labelled ${wrongShape[0]} do not form that piece's shape in any rotation`;
  if (wrongShape.length) return `the cells labelled ${wrongShape.join(', ')} do not form those pieces' shapes in any rotation`;
  return null;
}

// The rendering of a puzzle's cells (piece numbers in scan order), as the solver writes it; a
// cell outside the target is a blank, and so is a cell holding a negative number.
export function renderCells(cells, puzzle = BUILTIN) {
  const { columns, size, labels } = puzzle;
  const width = lineLength(size);
  const lines = [];
  for (let row = 0; row < size[1]; row += 1) {
    let line = '';
    for (let column = 0; column < width; column += 1) {
      const cell = columns[row * width + column];
      line += cell < 0 || cells[cell] < 0 ? ' ' : labels[cells[cell]];
    }
    lines.push(line);
  }
  return lines;
}
