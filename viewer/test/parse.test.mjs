import test from 'node:test';
import assert from 'node:assert/strict';

import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, existsSync, rmSync, openSync, closeSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { parseSolutionsFile, readSolutionsFile, renderCells, assemblyOrder, findSolution, foundAt } from '../src/parse.js';
import { cellIndex } from '../src/cube.js';
import { ORIENTATION_COUNTS } from '../src/shapes.js';
import { startUp, block, summary, SOLUTION_1, SOLUTION_2, NAMES, consoleReport, progressBlock, consoleSummary } from './fixtures.mjs';

const ONE_RUN = startUp() + block(1, SOLUTION_1) + block(2, SOLUTION_2) + summary(2, 0);

test('one complete run: pieces, counts, solutions and summary', () => {
  const { runs, error } = parseSolutionsFile(ONE_RUN);
  assert.equal(error, null);
  assert.equal(runs.length, 1);
  const [run] = runs;
  assert.deepEqual(run.pieces.map((p) => p.name), NAMES);
  assert.deepEqual(run.pieces.map((p) => p.cubes), [5, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5]);
  assert.deepEqual(run.orientationCounts, [3, 12, 24, 12, 24, 24, 12, 12, 24, 24, 12, 24, 12]);
  assert.deepEqual(run.solutions.map((s) => s.number), [1, 2]);
  assert.equal(run.summary.solutions, 2);
  assert.equal(run.summary.runTime, '00:21:05');
  assert.equal(run.summary.lastSolutionTime, '00:20:59');
  assert.equal(run.summary.rate, 59288537);
  assert.equal(run.partialBlock, false);
});

test('the labels of a parsed solution give back the rendering, and each piece covers its cubes', () => {
  const [run] = parseSolutionsFile(ONE_RUN).runs;
  for (const [solution, lines] of [[run.solutions[0], SOLUTION_1], [run.solutions[1], SOLUTION_2]]) {
    assert.deepEqual(renderCells(solution.cells), lines);
    for (let p = 0; p < 13; p += 1) {
      assert.equal(solution.cells.filter((c) => c === p).length, p === 1 ? 4 : 5, `piece ${p + 1}`);
    }
  }
  // Cell (1,1,1) is shown at the start of the last group of the last line: piece 2 (label 2).
  assert.equal(run.solutions[0].cells[cellIndex(1, 1, 1)], 1);
});

test('assembly order follows the first uncovered cell in scan order', () => {
  const [run] = parseSolutionsFile(ONE_RUN).runs;
  // The search placed solution 1 in the piece order 2 1 3 4 9 7 13 11 10 8 12 5 6.
  assert.deepEqual(assemblyOrder(run.solutions[0].cells).map((p) => p + 1), [2, 1, 3, 4, 9, 7, 13, 11, 10, 8, 12, 5, 6]);
});

test('several runs are kept apart, each numbering from 1', () => {
  const text = ONE_RUN + startUp() + block(1, SOLUTION_1) + summary(1, 0) + startUp() + block(1, SOLUTION_2) + summary(1, 0);
  const { runs, error } = parseSolutionsFile(text);
  assert.equal(error, null);
  assert.equal(runs.length, 3);
  assert.deepEqual(runs.map((r) => r.solutions.length), [2, 1, 1]);
  assert.deepEqual(renderCells(runs[2].solutions[0].cells), SOLUTION_2);
  assert.ok(runs.every((r) => r.summary !== null));
});

test('a cut-off last run has no summary but keeps its solutions', () => {
  const text = ONE_RUN + startUp() + block(1, SOLUTION_2);
  const { runs } = parseSolutionsFile(text);
  assert.equal(runs.length, 2);
  assert.equal(runs[1].summary, null);
  assert.equal(runs[1].solutions.length, 1);
  assert.equal(runs[1].partialBlock, false);
});

test('a partial last block is ignored and noted', () => {
  const whole = startUp() + block(1, SOLUTION_1);
  for (const cut of [block(2, SOLUTION_2.slice(0, 2)), block(2, SOLUTION_2).slice(0, -1), 'Solution 2\n', block(2, SOLUTION_2).slice(0, -20)]) {
    const { runs, error } = parseSolutionsFile(whole + cut);
    assert.equal(error, null);
    assert.equal(runs[0].solutions.length, 1);
    assert.equal(runs[0].partialBlock, true);
  }
});

test('a text that is not a solutions file, or holds no solution, gets a message', () => {
  assert.match(parseSolutionsFile('hello\nworld\n').error, /not a Tandor Cube Solver solutions file/);
  assert.equal(parseSolutionsFile('').error, 'This file is empty.');
  assert.equal(parseSolutionsFile('\n \n').error, 'This file is empty.');
  assert.match(parseSolutionsFile(startUp()).error, /no complete solution/);
  const broken = SOLUTION_1.map((line, i) => (i === 0 ? line.replace('5 5 5', '5 5 6') : line));
  const { runs, error } = parseSolutionsFile(startUp() + block(1, broken));
  assert.match(error, /no complete solution/);
  assert.equal(runs[0].problems.length, 1);
});

// A run of `count` solutions (1 and 2 taking turns); solution n's "Solution" line is line 32 + 5 (n - 1).
function run(count, end = summary(count, 0)) {
  let text = startUp();
  for (let n = 1; n <= count; n += 1) text += block(n, n % 2 ? SOLUTION_1 : SOLUTION_2);
  return text + end;
}
const replaceLine = (text, lineNumber, make) => text.split('\n').map((l, i) => (i === lineNumber - 1 ? make(l) : l)).join('\n');
const swapCells = (line, a, b) => Object.assign([...line], { [a]: line[b], [b]: line[a] }).join('');

test('damaged files: each damage is reported with its run, solution and line, and only its block is left out', () => {
  const cases = [
    // [what, text, solutions kept per run, expected problems as [run, solution, line, text]]
    ['a run cut mid-line, then a complete run', run(6, '').slice(0, -25) + run(9),
      [5, 9], [[1, 6, 61, /it is cut off in its picture line 4/]]],
    ['a run cut right after a "Solution" line', run(3, 'Solution 4') + run(2),
      [3, 2], [[1, 4, 47, /none of its 4 picture lines is there/]]],
    ['a picture line too short', replaceLine(run(9), 69, (l) => l.slice(2)),
      [8], [[1, 8, 69, /picture line 2 is 41 characters long, not 43/]]],
    ['a bad label', replaceLine(run(9), 43, (l) => l.replace('5', 'E')),
      [8], [[1, 3, 43, /'E' in column 2, which is no piece's label/]]],
    ['a stray character between layers', replaceLine(run(4), 33, (l) => l.slice(0, 10) + '|' + l.slice(11)),
      [3], [[1, 1, 33, /'\|' in column 11, where a blank belongs/]]],
    ['two cells of different pieces swapped', replaceLine(run(3), 33, (l) => swapCells(l, 7, 12)),
      [2], [[1, 1, 32, /the cells labelled 9, A do not form those pieces' shapes/]]],
    ['a piece covering one cell too many', replaceLine(run(3), 33, (l) => l.replace('9 6 A A', '9 9 A A')),
      [2], [[1, 1, 32, /piece 6 covers 4 cells, not 5, and piece 9 covers 6 cells, not 5/]]],
    ['a missing picture line', run(4).replace(SOLUTION_2[2] + '\n', ''),
      [3], [[1, 2, 40, /only 3 of its 4 picture lines are there/]]],
    ['a damaged "Solution" line', replaceLine(run(4), 42, () => 'Solutoin 3'),
      [3], [[1, null, 42, /Lines 42 to 46 are not part of a solutions file \(after solution 2\)/],
        [1, 3, 47, /solution 3 is missing: the numbers go from 2 to 4/]]],
    ['lines before the first banner', 'notes\nmore notes\n' + run(2),
      [2], [[null, null, 1, /Lines 1 to 2 are not part of a solutions file \(before the first banner\)/]]],
    ['a summary that does not match', run(3).replace('3 unique solutions', '4 unique solutions'),
      [3], [[1, null, 48, /counts 4 unique solutions, but its last solution is number 3/]]],
  ];
  for (const [what, text, kept, expected] of cases) {
    const { runs, problems, error } = parseSolutionsFile(text);
    assert.equal(error, null, what);
    assert.deepEqual(runs.map((r) => r.count), kept, what);
    assert.deepEqual(problems.map((p) => [p.run, p.solution, p.line]), expected.map((e) => e.slice(0, 3)), what);
    problems.forEach((p, i) => assert.match(p.text, expected[i][3], what));
    for (const r of runs) r.solutions.forEach((s) => assert.deepEqual(s.lines, s.number % 2 ? SOLUTION_1 : SOLUTION_2, what));
  }
});

test('the rest of a damaged run can be viewed, and its numbers found', () => {
  const { runs } = readSolutionsFile(replaceLine(run(9), 69, (l) => l.slice(2)));
  assert.deepEqual([1, 7, 8, 9, 10, 0].map((n) => findSolution(runs[0], n)), [0, 6, -1, 7, -1, -1]);
});

test('identical runs are marked as identical to the first of them', () => {
  const texts = [run(3), run(3), run(2), run(3), run(3, ''), run(3, '')];
  const { runs } = readSolutionsFile(texts.join(''));
  assert.deepEqual(runs.map((r) => r.sameAs), [null, 1, null, 1, null, 5]);
});

test('every piece has as many orientations as the solver prints', () => {
  assert.deepEqual(ORIENTATION_COUNTS, [3, 12, 24, 12, 24, 24, 12, 12, 24, 24, 12, 24, 12]);
});

test('a console report is a run like a file\'s: the same solutions, its counters kept, and no problem', () => {
  const notices = 'Discarded duplicate rotated solution 1\nDiscarded duplicate rotated solution 2\n';
  const text = consoleReport(3, { 1: progressBlock(1000000, 1, 0), 2: notices }, consoleSummary(3, 2));
  const result = parseSolutionsFile(text);
  assert.deepEqual([result.error, result.problems, result.kind], [null, [], 'console']);
  const [run] = result.runs;
  const [file] = parseSolutionsFile(startUp() + block(1, SOLUTION_1) + block(2, SOLUTION_2) + block(3, SOLUTION_1) + summary(3, 2)).runs;
  assert.equal(file.kind, 'file');
  assert.deepEqual([run.kind, run.count, run.numbers, run.cells], ['console', 3, file.numbers, file.cells]);
  assert.deepEqual({ ...run.console, latest: null }, { reports: 3, progressBlocks: 1, duplicateNotices: 2, duplicates: 2, latest: null });
  assert.deepEqual(run.console.latest, { permutations: 3000, tilesAttempted: 60000, tilesSucceeded: 1500, solutions: 3, duplicates: 0, seconds: 3, rate: 183516, line: 68 });
  assert.deepEqual(foundAt(run, 1), { permutations: 2000, tilesAttempted: 40000, tilesSucceeded: 1000, duplicates: 0, seconds: 2 });
  assert.equal(run.solutions[0].found.permutations, 1000);
  assert.equal(file.solutions[0].found, null);
  assert.deepEqual([run.summary.complete, run.summary.runTime, run.summary.lastSolutionTime], [true, '00:21:05', '00:20:59']);
  // A report stopped by a signal ends on a whole block; one that holds no solution says what it is.
  assert.deepEqual(parseSolutionsFile(consoleReport(2, { 2: notices })).problems, []);
  assert.equal(parseSolutionsFile(startUp() + progressBlock(1000000, 0, 0)).error, 'This console report holds no complete solution.');
  assert.equal(parseSolutionsFile(text + ONE_RUN).kind, 'mixed');
});

test('a damaged console report is reported like a damaged file', () => {
  // Solution n's "Solution" line is line 33 + 11 (n - 1); its report lines follow its picture.
  const cases = [
    // [what, text, solutions kept, expected problems as [solution, line, text]]
    ['a bad label', replaceLine(consoleReport(3), 46, (l) => l.replace('9', 'E')), [1, 3], [[2, 46, /'E' in column 24, which is no piece's label/]]],
    ['cut in its Orientation line', consoleReport(3).slice(0, consoleReport(3).lastIndexOf('Orientation') + 20), [1, 2, 3],
      [[3, 61, /it is cut off in its Orientation line/]]],
    ['cut right after a picture', consoleReport(2).slice(0, consoleReport(2).lastIndexOf('Permutation')), [1, 2],
      [[2, 49, /its Permutation, Orientation, counters and run time lines are missing/]]],
    ['a damaged counters line', replaceLine(consoleReport(3), 51, (l) => l.replace('tiles', 'tiels')), [1, 2, 3], [[2, 51, /its counters line is damaged/]]],
    ['a piece order that is not the picture\'s', replaceLine(consoleReport(3), 49, (l) => l.replace('02 01', '01 02')), [1, 3],
      [[2, 49, /its Permutation line is not the order in which its picture's pieces were placed/]]],
    ['a counter of solutions that is not the block\'s', replaceLine(consoleReport(3), 62, (l) => l.replace('solutions = 3', 'solutions = 4')), [1, 2, 3],
      [[3, 62, /its counters line says solutions = 4, not 3/]]],
    ['a progress block cut short', consoleReport(2, { 1: progressBlock(1000000, 1, 0).split('\n').slice(0, 2).join('\n') + '\n' }), [1, 2],
      [[null, 45, /a progress block: it stops before its counters line/]]],
    ['a stray line', replaceLine(consoleReport(2), 43, () => 'hello'), [1, 2], [[null, 43, /Line 43 is not part of a console report \(after solution 1\)/]]],
  ];
  for (const [what, text, kept, expected] of cases) {
    const { runs, problems, error } = parseSolutionsFile(text);
    assert.equal(error, null, what);
    assert.deepEqual(runs[0].solutions.map((x) => x.number), kept, what);
    assert.deepEqual(problems.map((p) => [p.solution, p.line]), expected.map((e) => e.slice(0, 2)), what);
    problems.forEach((p, i) => assert.match(p.text, expected[i][2], what));
  }
});

// The solver's own console report and solutions file, from a run stopped after its first
// progress blocks; skipped where the solver is not built.
const SOLVER = process.env.TANDOR_SOLVER || resolve(fileURLToPath(new URL('.', import.meta.url)), '../../build/release/tandor-cube-solver');
test('the solver\'s console report holds the solutions of its file, and nothing in it is a problem', { skip: !existsSync(SOLVER) && 'the solver is not built' }, async () => {
  const dir = mkdtempSync(join(tmpdir(), 'tandor-console-'));
  try {
    const out = openSync(join(dir, 'run.log'), 'w');
    const solver = spawn(SOLVER, [], { cwd: dir, stdio: ['ignore', out, 'ignore'] });
    const ended = new Promise((done) => solver.on('exit', done));
    const file = join(dir, 'TandorCubeSolutions.txt');
    for (let waited = 0; waited < 60000; waited += 50) {
      if (existsSync(file) && readFileSync(file, 'utf8').includes('Solution 40\n')) break;
      await new Promise((r) => setTimeout(r, 50));
    }
    solver.kill('SIGINT');
    await ended;
    closeSync(out);
    const report = readSolutionsFile(readFileSync(join(dir, 'run.log'), 'utf8'));
    const [kept] = readSolutionsFile(readFileSync(file, 'utf8')).runs;
    assert.deepEqual([report.error, report.problems, report.kind], [null, [], 'console']);
    const [run] = report.runs;
    assert.ok(run.count >= 40 && run.console.progressBlocks > 0, `${run.count} solutions`);
    assert.deepEqual([run.numbers, run.cells], [kept.numbers, kept.cells]);
    assert.equal(run.console.reports, run.count);
    assert.equal(foundAt(run, 0).permutations, 5690);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
});
