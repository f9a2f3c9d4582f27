// Reads the text of a TandorCubeSolutions.txt: one or more runs, each starting with the banner,
// its piece list, orientation counts, "Solution N" blocks and, for a run that ended, the summary.
// Whatever cannot be read is reported with its run, solution and file line, and left out; the
// rest of the file is kept.
// The solver's console report is read too: console-report.js reads the lines of its own.
import { assemblyOrder } from './cube.js';
import { BUILTIN } from './puzzle.js';
import { readRendering, checkShapes, renderCells } from './picture.js';
import { headerLine, puzzleOf } from './header.js';
import { CONSOLE_STARTERS, FOUND, consoleLine, groupLine, endGroup, reportGroup, foundAt } from './console-report.js';

export { assemblyOrder, foundAt, renderCells };

export const BANNER = 'Tandor Cube Solver';
export const LABELS = BUILTIN.labels;
export const RENDERING_LINE_LENGTH = 43;

const PIECE_LINE = /^Piece +(\d+) has (\d+) cubes, labeled (.*)$/;
const ORIENTATION_LINE = /^Piece +(\d+) has (\d+) unique rotational orientations$/;
const SOLUTION_LINE = /^Solution (\d+)$/;
const SUMMARY_LINE = /^All permutations exhausted, (\d+) unique solutions found, (\d+) duplicate rotations discarded$/;
const TOTALS_LINE = /^Total permutations = (\d+), tiles attempted = (\d+), tiles succeeded = (\d+)$/;
const TIMES_LINE = /^Total run time = ([\d:]+), Total time to find last unique solution = ([\d:]+)$/;
const RATE_LINE = /^Average piece order permutation rate = (\d+) \/ second$/;

// Lines that end a picture block or a console group before its last line.
const STARTERS = [SOLUTION_LINE, SUMMARY_LINE, ...CONSOLE_STARTERS];
// (A picture line starts with a blank, which none of them does.)
const startsSomething = (text) => text.charCodeAt(0) !== 32 && STARTERS.some((line) => line.test(text));

const plural = (n, word) => `${n.toLocaleString('en')} ${word}${n === 1 ? '' : 's'}`;

// Reads a run after run, line after line. The solutions of a run are kept in flat typed arrays
// (their numbers, file lines and 64 cells each), which pass to the page without copying.
class Reader {
  constructor() {
    this.starts = startsSomething;
    this.runs = [];
    this.problems = [];
    this.run = null;
    this.block = null;
    this.stray = null;
    this.puzzles = new Map();
  }

  problem(solution, line, text) {
    const problem = { run: this.run ? this.run.number : null, solution, line, text };
    this.problems.push(problem);
    if (this.run) this.run.problems.push(problem);
  }

  // A run whose text (from its banner to the next, or the end) is `size` characters long: its
  // solutions' slots are sized from that, so that many short runs stay cheap.
  startRun(line, glued, size) {
    const capacity = Math.max(16, Math.ceil(size / 220));
    this.endRun();
    this.run = {
      number: this.runs.length + 1, line, glued, stage: 'opening', kind: 'file', pieces: [], orientationCounts: [],
      header: null, puzzle: null, summary: null, count: 0, lastNumber: 0, partialBlock: false, problems: [], sameAs: null,
      console: null, numbers: new Int32Array(capacity), lines: new Int32Array(capacity), cells: new Uint8Array(0), found: null,
    };
    this.runs.push(this.run);
  }

  // One line of the file, without its line break; `ended` tells whether it had one.
  line(text, number, ended) {
    if (this.block) {
      if (!startsSomething(text)) {
        this.block.lines.push(text);
        this.block.ended = ended;
        if (this.block.lines.length === this.block.rows) this.endBlock();
        return;
      }
      this.endBlock();
    }
    const run = this.run;
    if (text === '') return;
    if (this.group && groupLine(this, text, number, ended)) return;
    let m;
    if (run === null) {
      this.strayLine(number);
    } else if ((m = SOLUTION_LINE.exec(text))) {
      this.endStray();
      if (run.stage === 'opening') this.checkOpening();
      run.stage = 'solutions';
      this.block = { number: Number(m[1]), line: number, lines: [], ended: true, rows: run.puzzle ? run.puzzle.size[1] : 4 };
    } else if (run.stage === 'opening' && !run.pieces.length && headerLine(run, text)) {
      this.endStray();
    } else if (run.stage === 'opening' && (m = PIECE_LINE.exec(text))) {
      this.endStray();
      run.pieces.push({ number: Number(m[1]), cubes: Number(m[2]), name: m[3] });
    } else if (run.stage === 'opening' && (m = ORIENTATION_LINE.exec(text))) {
      this.endStray();
      run.orientationCounts.push(Number(m[2]));
    } else if ((m = SUMMARY_LINE.exec(text))) {
      this.endStray();
      if (run.stage === 'opening') this.checkOpening();
      run.stage = 'summary';
      run.summary = { solutions: Number(m[1]), duplicates: Number(m[2]), line: number, complete: false };
    } else if (run.stage === 'summary' && (m = TOTALS_LINE.exec(text))) {
      Object.assign(run.summary, { permutations: m[1], tilesAttempted: m[2], tilesSucceeded: m[3] });
    } else if (run.stage === 'summary' && (m = TIMES_LINE.exec(text))) {
      Object.assign(run.summary, { runTime: m[1], lastSolutionTime: m[2] });
    } else if (run.stage === 'summary' && (m = RATE_LINE.exec(text))) {
      Object.assign(run.summary, { rate: Number(m[1]), complete: true });
    } else if (!consoleLine(this, text, number)) {
      this.strayLine(number);
    }
  }

  strayLine(number) {
    if (this.stray) this.stray.to = number;
    else this.stray = { from: number, to: number, after: this.run ? this.run.lastNumber : 0 };
  }

  endStray() {
    const { stray, run } = this;
    if (!stray) return;
    this.stray = null;
    const lines = stray.from === stray.to ? `Line ${stray.from} is` : `Lines ${stray.from} to ${stray.to} are`;
    const source = run && run.kind === 'console' ? 'a console report' : 'a solutions file';
    let where = 'before the first banner';
    if (run && run.stage === 'opening') where = 'among the piece list and orientation counts';
    else if (run && run.stage === 'summary') where = 'after the summary';
    else if (run) where = stray.after ? `after solution ${stray.after}` : 'before the first solution';
    this.problem(null, stray.from, `${lines} not part of ${source} (${where}); left out`);
  }

  // The header, piece list and orientation counts must describe a puzzle: the built-in one (the
  // solver's catalogue) or the one the header gives. The run's solutions are kept for it.
  checkOpening() {
    const { run } = this;
    const { puzzle, why } = puzzleOf(run, this.puzzles);
    if (why) this.problem(null, run.line, why);
    run.puzzle = puzzle || null;
    if (puzzle) run.cells = new Uint8Array(run.numbers.length * puzzle.count);
  }

  endBlock() {
    const { block, run } = this;
    this.block = null;
    // In a console report, the solution's own lines follow its picture.
    this.group = reportGroup(block.line + 1 + block.lines.length, block.number);
    const { number } = block;
    const expected = run.lastNumber + 1;
    if (number > expected) {
      const missing = number === expected + 1 ? `solution ${expected} is missing` : `solutions ${expected} to ${number - 1} are missing`;
      this.problem(expected, block.line, `${missing}: the numbers go from ${run.lastNumber} to ${number}`);
    } else if (number < expected) {
      this.problem(number, block.line, `its number comes after solution ${run.lastNumber}, out of order; left out`);
      return;
    }
    run.lastNumber = number;
    const { lines, rows } = block;
    // A run whose header cannot be read has said so once; its solutions cannot be read.
    if (!run.puzzle) return;
    if (lines.length < rows || !block.ended) {
      run.partialBlock = true;
      const where = block.line + lines.length;
      if (!block.ended) this.problem(number, where, `it is cut off in its picture line ${lines.length}; left out`);
      else if (lines.length === 0) this.problem(number, where, `none of its ${rows} picture lines is there; left out`);
      else this.problem(number, where, `only ${lines.length} of its ${rows} picture lines ${lines.length === 1 ? 'is' : 'are'} there; left out`);
      return;
    }
    if (run.count === run.numbers.length) this.grow();
    const { puzzle } = run;
    const offset = run.count * puzzle.count;
    const wrong = readRendering(puzzle, lines, run.cells, offset);
    if (wrong) {
      this.problem(number, block.line + 1 + wrong.row, `${wrong.text}; left out`);
      return;
    }
    const shape = checkShapes(puzzle, run.cells, offset);
    if (shape) {
      this.problem(number, block.line, `${shape}; left out`);
      return;
    }
    run.numbers[run.count] = number;
    run.lines[run.count] = block.line;
    this.group.k = run.count;
    run.count += 1;
  }

  grow() {
    const { run } = this;
    const size = run.numbers.length * 2;
    const numbers = new Int32Array(size);
    numbers.set(run.numbers);
    const lines = new Int32Array(size);
    lines.set(run.lines);
    const cells = new Uint8Array(size * (run.puzzle ? run.puzzle.count : 0));
    cells.set(run.cells);
    Object.assign(run, { numbers, lines, cells });
    if (run.found) {
      const found = new Float64Array(size * FOUND).fill(NaN);
      found.set(run.found);
      run.found = found;
    }
  }

  endRun() {
    const { run } = this;
    if (this.block) this.endBlock();
    if (this.group) endGroup(this);
    this.endStray();
    if (!run) return;
    if (run.stage === 'opening' && run.pieces.length) this.checkOpening();
    const { summary } = run;
    if (summary && !summary.complete) this.problem(null, summary.line, 'its summary is cut off');
    if (summary && summary.solutions !== run.lastNumber) {
      this.problem(null, summary.line, `its summary counts ${plural(summary.solutions, 'unique solution')}, but its last solution is number ${run.lastNumber}`);
    }
    run.numbers = run.numbers.slice(0, run.count);
    run.lines = run.lines.slice(0, run.count);
    run.cells = run.cells.slice(0, run.count * (run.puzzle ? run.puzzle.count : 0));
    // (A run whose header cannot be read holds no solution; it is shown as the built-in puzzle's.)
    if (!run.puzzle) run.puzzle = BUILTIN;
    if (run.found) run.found = run.found.slice(0, run.count * FOUND);
    delete run.stage;
    this.run = null;
  }
}

// Two runs are identical when they hold the same solutions under the same numbers and, if both
// ended, the same summary counts.
function sameRuns(a, b) {
  if (a.count !== b.count || a.puzzle.key !== b.puzzle.key || (a.summary === null) !== (b.summary === null)) return false;
  if (a.summary) {
    for (const field of ['solutions', 'duplicates', 'permutations', 'tilesAttempted', 'tilesSucceeded']) {
      if (a.summary[field] !== b.summary[field]) return false;
    }
  }
  for (let i = 0; i < a.count; i += 1) if (a.numbers[i] !== b.numbers[i]) return false;
  for (let i = 0; i < a.cells.length; i += 1) if (a.cells[i] !== b.cells[i]) return false;
  return true;
}

function markIdenticalRuns(runs) {
  const firsts = [];
  for (const run of runs) {
    const first = run.count > 0 ? firsts.find((f) => sameRuns(f, run)) : undefined;
    if (first) run.sameAs = first.number;
    else firsts.push(run);
  }
}

// Reads a whole file. Returns { runs, problems, error, lineCount, kind }: error is a message when
// the text is empty, not a solutions file, or holds no readable solution; problems lists what was
// left out, each as { run, solution, line, text } (run and solution numbers, or null); kind is
// 'file', 'console' (every run is a console report) or 'mixed'. Each run has kind 'file' or
// 'console'; a console run's `console` holds { reports, progressBlocks, duplicateNotices,
// duplicates, latest }, latest being the counters of its last report or progress block
// ({ permutations, tilesAttempted, tilesSucceeded, solutions, duplicates, seconds, rate, line })
// or null, and its `found` the counters reported with each solution (see foundAt).
// onProgress, if given, is called with the share of the text read so far.
export function readSolutionsFile(text, onProgress) {
  const reader = new Reader();
  let bannerAt = text.indexOf(BANNER);
  let start = 0;
  let number = 1;
  let nextReport = 1 << 20;
  while (start < text.length) {
    let end = text.indexOf('\n', start);
    const ended = end >= 0;
    if (!ended) end = text.length;
    const lineEnd = ended && end > start && text.charCodeAt(end - 1) === 13 ? end - 1 : end;
    let from = start;
    // A banner starts a new run wherever it stands, even glued to the end of a cut line.
    while (bannerAt >= 0 && bannerAt < end) {
      if (bannerAt > from) reader.line(text.slice(from, bannerAt), number, false);
      const next = text.indexOf(BANNER, bannerAt + BANNER.length);
      reader.startRun(number, bannerAt > start, (next < 0 ? text.length : next) - bannerAt);
      from = bannerAt + BANNER.length;
      bannerAt = next;
    }
    if (from < lineEnd || from === start) reader.line(text.slice(from, lineEnd), number, ended);
    start = end + 1;
    number += 1;
    if (onProgress && start >= nextReport) {
      onProgress(start / text.length);
      nextReport = start + (1 << 20);
    }
  }
  reader.endRun();
  const { runs, problems } = reader;
  markIdenticalRuns(runs);
  const lineCount = number - 1;
  const kinds = new Set(runs.map((r) => r.kind));
  const kind = kinds.size > 1 ? 'mixed' : (kinds.has('console') ? 'console' : 'file');
  let error = null;
  if (text.trim() === '') error = 'This file is empty.';
  else if (runs.length === 0) error = 'This is not a Tandor Cube Solver solutions file: it has no "Tandor Cube Solver" banner.';
  else if (runs.every((r) => r.count === 0)) error = `This ${kind === 'console' ? 'console report' : 'solutions file'} holds no complete solution.`;
  return { runs, problems, error, lineCount, kind };
}

// Solution k (0-based) of a run read by readSolutionsFile, with its picture and assembly order,
// and for a console report what was reported with it (foundAt).
export function solutionAt(run, k) {
  const { count } = run.puzzle;
  const cells = run.cells.subarray(k * count, (k + 1) * count);
  return { number: run.numbers[k], line: run.lines[k], cells, order: assemblyOrder(cells), lines: renderCells(cells, run.puzzle), found: foundAt(run, k) };
}

// The place of solution `number` in a run, or -1.
export function findSolution(run, number) {
  let low = 0;
  let high = run.count - 1;
  while (low <= high) {
    const middle = (low + high) >> 1;
    if (run.numbers[middle] === number) return middle;
    if (run.numbers[middle] < number) low = middle + 1;
    else high = middle - 1;
  }
  return -1;
}

// readSolutionsFile with every run's solutions as a list of objects, for small files and tests.
export function parseSolutionsFile(text) {
  const result = readSolutionsFile(text);
  for (const run of result.runs) run.solutions = Array.from({ length: run.count }, (_, k) => solutionAt(run, k));
  return result;
}
