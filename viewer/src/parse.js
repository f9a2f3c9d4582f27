// Reads the text of a TandorCubeSolutions.txt: one or more runs, each starting with the banner,
// its piece list, orientation counts, "Solution N" blocks and, for a run that ended, the summary.

export const BANNER = 'Tandor Cube Solver';
export const LABELS = '123456789ABCDEFGHIJK';
export const RENDERING_LINE_LENGTH = 43;

const PIECE_LINE = /^Piece +(\d+) has (\d+) cubes, labeled (.*)$/;
const ORIENTATION_LINE = /^Piece +(\d+) has (\d+) unique rotational orientations$/;
const SOLUTION_LINE = /^Solution (\d+)$/;
const SUMMARY_LINE = /^All permutations exhausted, (\d+) unique solutions found, (\d+) duplicate rotations discarded$/;
const TOTALS_LINE = /^Total permutations = (\d+), tiles attempted = (\d+), tiles succeeded = (\d+)$/;
const TIMES_LINE = /^Total run time = ([\d:]+), Total time to find last unique solution = ([\d:]+)$/;
const RATE_LINE = /^Average piece order permutation rate = (\d+) \/ second$/;

// Cells are numbered in scan order: z slowest, then y, then x fastest, each 1..4.
export function cellIndex(x, y, z) {
  return (z - 1) * 16 + (y - 1) * 4 + (x - 1);
}

export function cellCoordinates(index) {
  return { x: (index % 4) + 1, y: (Math.floor(index / 4) % 4) + 1, z: Math.floor(index / 16) + 1 };
}

// The column of the label of cell x (1..4) of layer z (1..4) within a rendering line.
function labelColumn(x, z) {
  return (4 - z) * 11 + 1 + 2 * (x - 1);
}

// The 64 piece numbers (0-based) of a four-line rendering, or null when a line is not one.
export function parseRendering(lines) {
  if (lines.length !== 4) return null;
  const cells = new Array(64);
  for (let row = 0; row < 4; row += 1) {
    const line = lines[row];
    if (line.length !== RENDERING_LINE_LENGTH) return null;
    const y = 4 - row;
    for (let column = 0; column < line.length; column += 1) {
      const inGroup = column % 11;
      const isLabel = inGroup === 1 || inGroup === 3 || inGroup === 5 || inGroup === 7;
      if (!isLabel && line[column] !== ' ') return null;
    }
    for (let z = 1; z <= 4; z += 1) {
      for (let x = 1; x <= 4; x += 1) {
        const piece = LABELS.indexOf(line[labelColumn(x, z)]);
        if (piece < 0) return null;
        cells[cellIndex(x, y, z)] = piece;
      }
    }
  }
  return cells;
}

// The rendering of 64 piece numbers, as the solver writes it.
export function renderCells(cells) {
  const lines = [];
  for (let y = 4; y >= 1; y -= 1) {
    let line = '';
    for (let z = 4; z >= 1; z -= 1) {
      for (let x = 1; x <= 5; x += 1) line += ' ' + (x === 5 ? ' ' : LABELS[cells[cellIndex(x, y, z)]]);
      if (z > 1) line += ' ';
    }
    lines.push(line);
  }
  return lines;
}

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

function emptyRun() {
  return { pieces: [], orientationCounts: [], solutions: [], summary: null, partialBlock: false, problems: [] };
}

// Checks a solution against its run's piece list: every piece covers as many cells as it has cubes.
function checkSolution(run, cells) {
  const counts = new Map();
  for (const piece of cells) counts.set(piece, (counts.get(piece) || 0) + 1);
  if (run.pieces.length === 0) return true;
  if (counts.size !== run.pieces.length) return false;
  return run.pieces.every((p, index) => counts.get(index) === p.cubes);
}

// Returns { runs, error }: error is a message for a text that is not a solutions file or holds
// no complete solution; runs is the list of runs in the file, in order.
export function parseSolutionsFile(text) {
  const lines = text.replace(/\r\n/g, '\n').split('\n');
  const endsWithBreak = text.endsWith('\n');
  if (endsWithBreak) lines.pop();
  const runs = [];
  let run = null;
  for (let i = 0; i < lines.length; i += 1) {
    const line = lines[i];
    if (line === BANNER) {
      run = emptyRun();
      runs.push(run);
      continue;
    }
    if (run === null) continue;
    let m;
    if ((m = PIECE_LINE.exec(line))) {
      run.pieces.push({ number: Number(m[1]), cubes: Number(m[2]), name: m[3] });
    } else if ((m = ORIENTATION_LINE.exec(line))) {
      run.orientationCounts.push(Number(m[2]));
    } else if ((m = SOLUTION_LINE.exec(line))) {
      const block = lines.slice(i + 1, i + 5);
      // The block is whole only when all four lines are there, and the last one ended.
      const whole = block.length === 4 && (i + 4 < lines.length - 1 || endsWithBreak);
      const cells = whole ? parseRendering(block) : null;
      if (cells === null) {
        run.partialBlock = true;
        continue;
      }
      if (!checkSolution(run, cells)) {
        run.problems.push(`Solution ${m[1]} does not cover each piece's cubes; it is left out.`);
      } else {
        run.solutions.push({ number: Number(m[1]), lines: block, cells, order: assemblyOrder(cells) });
      }
      i += 4;
    } else if ((m = SUMMARY_LINE.exec(line))) {
      run.summary = { solutions: Number(m[1]), duplicates: Number(m[2]) };
    } else if (run.summary && (m = TOTALS_LINE.exec(line))) {
      Object.assign(run.summary, { permutations: m[1], tilesAttempted: m[2], tilesSucceeded: m[3] });
    } else if (run.summary && (m = TIMES_LINE.exec(line))) {
      Object.assign(run.summary, { runTime: m[1], lastSolutionTime: m[2] });
    } else if (run.summary && (m = RATE_LINE.exec(line))) {
      run.summary.rate = Number(m[1]);
    }
  }
  if (runs.length === 0) {
    return { runs, error: 'This is not a Tandor Cube Solver solutions file: it has no "Tandor Cube Solver" banner.' };
  }
  if (runs.every((r) => r.solutions.length === 0)) {
    return { runs, error: 'This solutions file holds no complete solution.' };
  }
  return { runs, error: null };
}
