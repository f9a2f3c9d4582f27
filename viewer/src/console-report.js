// The solver's console report, its standard output kept (as `tools/solve > run.log` keeps it),
// read as the run it is: the same pictures as the solutions file, each followed by the search's
// piece order, orientations, counters and run time, and in between the progress blocks and the
// notices of discarded duplicates. The solutions file's reader (parse.js) hands it the lines that
// only a console report has; a run with one is of kind 'console', and its counters are kept.
import { assemblyOrder } from './cube.js';

// The console report's own lines. After each picture: the piece order and the orientations (each
// a number for each piece, a blank after each), the counters, the run time and the rate. A progress block
// has the same four lines with lower-case labels. The summary's two times stand on lines of their own.
const REPORT_ORDER_LINE = /^Permutation: ((?:\d\d )*\d\d) ?$/;
const REPORT_ORIENTATION_LINE = /^Orientation: ((?:\d\d )*\d\d) ?$/;
const PROGRESS_ORDER_LINE = /^permutation: ((?:\d\d )*\d\d) ?$/;
const PROGRESS_ORIENTATION_LINE = /^orientation: ((?:\d\d )*\d\d) ?$/;
const COUNTERS_LINE = /^permutations = (\d+), tiles attempted = (\d+), tiles succeeded = (\d+), solutions = (\d+), duplicates = (\d+)$/;
const TIME_RATE_LINE = /^Total run time = (\d{2,}):(\d\d):(\d\d), permutation rate = (-?\d+) \/ second$/;
const DUPLICATE_LINE = /^Discarded duplicate rotated solution (\d+)$/;
const CONSOLE_RUN_TIME_LINE = /^Total run time = ([\d:]+)$/;
const CONSOLE_LAST_TIME_LINE = /^total time to find last unique solution = ([\d:]+)$/;
const REPORT = { lines: [REPORT_ORDER_LINE, REPORT_ORIENTATION_LINE, COUNTERS_LINE, TIME_RATE_LINE], names: ['Permutation', 'Orientation', 'counters', 'run time'] };
const PROGRESS = { lines: [PROGRESS_ORDER_LINE, PROGRESS_ORIENTATION_LINE, COUNTERS_LINE, TIME_RATE_LINE], names: ['permutation', 'orientation', 'counters', 'run time'] };

// What the console reports with each solution: a console run's `found` holds these numbers for
// each of its solutions, one after the other (NaN where its report lines are damaged).
export const FOUND_FIELDS = ['permutations', 'tilesAttempted', 'tilesSucceeded', 'duplicates', 'seconds'];
export const FOUND = FOUND_FIELDS.length;

// Lines that start something of a console report's own.
export const CONSOLE_STARTERS = [REPORT_ORDER_LINE, PROGRESS_ORDER_LINE, DUPLICATE_LINE];

// The group of four lines that follows solution `solution`'s picture, from file line `line`.
export const reportGroup = (line, solution) => ({ lines: REPORT.lines, names: REPORT.names, values: [], line, solution, k: -1, damaged: false });

// A line of a console report's own outside a group: a progress block's first line, a notice of a
// discarded duplicate, or one of the summary's two times. Returns false for any other line.
export function consoleLine(r, text, number) {
  const { run } = r;
  let m;
  if (run.stage !== 'summary' && PROGRESS_ORDER_LINE.test(text)) {
    r.endStray();
    if (run.stage === 'opening') r.checkOpening();
    run.stage = 'solutions';
    markConsole(r);
    r.group = { lines: PROGRESS.lines, names: PROGRESS.names, values: [text], line: number, solution: null, k: -1, damaged: false };
  } else if (run.stage !== 'summary' && (m = DUPLICATE_LINE.exec(text))) {
    r.endStray();
    markConsole(r);
    run.console.duplicateNotices += 1;
    run.console.duplicates = Math.max(run.console.duplicates, Number(m[1]));
  } else if (run.stage === 'summary' && (m = CONSOLE_RUN_TIME_LINE.exec(text))) {
    markConsole(r);
    run.summary.runTime = m[1];
  } else if (run.stage === 'summary' && (m = CONSOLE_LAST_TIME_LINE.exec(text))) {
    markConsole(r);
    run.summary.lastSolutionTime = m[1];
  } else {
    return false;
  }
  return true;
}

// The run is read as a console report from its first line that only the console has.
export function markConsole(r) {
  const { run } = r;
  if (run.kind === 'console') return;
  run.kind = 'console';
  run.console = { reports: 0, progressBlocks: 0, duplicateNotices: 0, duplicates: 0, latest: null };
  run.found = new Float64Array(run.numbers.length * FOUND).fill(NaN);
}

// The next line of a console group: the four lines after a solution's picture, or a progress
// block. Returns false when the line is for the caller to read: the group has ended before it,
// or it is not a console report's line after a picture in a solutions file.
export function groupLine(r, text, number, ended) {
  const group = r.group;
  const at = group.values.length;
  if (group.lines[at].test(text)) {
    group.values.push(text);
    if (at === 0) markConsole(r);
    if (group.values.length === 4) endGroup(r);
    return true;
  }
  if (at === 0 && r.run.kind === 'file') {
    r.group = null;
    return false;
  }
  if (!ended || !r.starts(text)) {
    // A line in the group's place, damaged, or cut off where the text ends.
    const what = ended ? `its ${group.names[at]} line is damaged` : `it is cut off in its ${group.names[at]} line`;
    r.problem(group.solution, number, group.solution === null ? `a progress block: ${what}` : what);
    group.damaged = true;
    group.values.push(null);
    if (!ended) r.group = null;
    else if (group.values.length === 4) endGroup(r);
    return true;
  }
  endGroup(r);
  return false;
}

// Ends a console group; one that stops early is reported (a run cut by a signal ends on a whole
// one). A whole report is checked against its picture, and its counters are kept.
export function endGroup(r) {
  const { group, run } = r;
  r.group = null;
  const { values, solution } = group;
  if (values.length < 4) {
    if (run.kind === 'file') return;
    const what = values.length === 0
      ? 'its Permutation, Orientation, counters and run time lines are missing'
      : `it stops before its ${group.names[values.length]} line`;
    r.problem(solution, group.line + values.length, solution === null ? `a progress block: ${what}` : what);
    return;
  }
  if (group.damaged) return;
  const counters = COUNTERS_LINE.exec(values[2]);
  const time = TIME_RATE_LINE.exec(values[3]);
  const seconds = Number(time[1]) * 3600 + Number(time[2]) * 60 + Number(time[3]);
  run.console.latest = {
    permutations: Number(counters[1]), tilesAttempted: Number(counters[2]), tilesSucceeded: Number(counters[3]),
    solutions: Number(counters[4]), duplicates: Number(counters[5]), seconds, rate: Number(time[4]), line: group.line + 2,
  };
  run.console.duplicates = Math.max(run.console.duplicates, Number(counters[5]));
  if (solution === null) {
    run.console.progressBlocks += 1;
    return;
  }
  run.console.reports += 1;
  if (Number(counters[4]) !== solution) {
    r.problem(solution, group.line + 2, `its counters line says solutions = ${counters[4]}, not ${solution}`);
    return;
  }
  const { k } = group;
  if (k < 0) return;
  const order = REPORT_ORDER_LINE.exec(values[0])[1].split(' ').map((n) => Number(n) - 1);
  const { count } = run.puzzle;
  const placed = assemblyOrder(run.cells.subarray(k * count, (k + 1) * count));
  if (order.length !== placed.length || order.some((p, d) => p !== placed[d])) {
    r.problem(solution, group.line, 'its Permutation line is not the order in which its picture\'s pieces were placed; left out');
    run.count -= 1;
    return;
  }
  const { latest } = run.console;
  FOUND_FIELDS.forEach((field, i) => { run.found[k * FOUND + i] = latest[field]; });
}

// What the console reported with solution k (0-based) of a run, { permutations, tilesAttempted,
// tilesSucceeded, duplicates, seconds } as numbers, or null for a solutions file's run or a
// solution whose report lines are damaged.
export function foundAt(run, k) {
  if (!run.found || Number.isNaN(run.found[k * FOUND])) return null;
  return Object.fromEntries(FOUND_FIELDS.map((field, i) => [field, run.found[k * FOUND + i]]));
}
