import test from 'node:test';
import assert from 'node:assert/strict';

import { parseSolutionsFile, renderCells, assemblyOrder, cellIndex } from '../src/parse.js';
import { startUp, block, summary, SOLUTION_1, SOLUTION_2, NAMES } from './fixtures.mjs';

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
  assert.match(parseSolutionsFile('').error, /not a Tandor Cube Solver solutions file/);
  assert.match(parseSolutionsFile(startUp()).error, /no complete solution/);
  const broken = SOLUTION_1.map((line, i) => (i === 0 ? line.replace('5 5 5', '5 5 6') : line));
  const { runs, error } = parseSolutionsFile(startUp() + block(1, broken));
  assert.match(error, /no complete solution/);
  assert.equal(runs[0].problems.length, 1);
});
