// Runs of puzzle files, as the solver writes them, read and used by every part of the page that
// works without a browser: one table of puzzles, each checked the same way.
//
// test/puzzle-runs.txt is one solutions file written by the solver (from the top of the
// worktree, each run appending to it): the whole runs of puzzles/pentominoes-3x20.txt and
// puzzles/pentominoes-8x8-hole.txt, and the first solutions of puzzles/soma.txt,
// puzzles/pentominoes-6x10.txt, puzzles/pentominoes-2x3x10.txt, the built-in puzzle with
// --mirror and puzzles/trominoes-2x3x4.txt (eight identical pieces), each stopped by a file size limit (bash: trap '' XFSZ; ulimit -f KB), so that the
// file ends on its last complete block. test/puzzle-console.txt is the console report of
// pentominoes-3x20.txt.
import test from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

import { readSolutionsFile, solutionAt } from '../src/parse.js';
import { readQuery, writeQuery, whyImpossible, pieceSetsOfRun, findCompletions, placement, EMPTY } from '../src/find.js';
import { hints, withHints } from '../src/hint.js';
import { bestTurn, comparison } from '../src/comparison.js';
import { pieceStats, coverCount } from '../src/stats.js';
import { explodedOffsets } from '../src/explode.js';
import { flatLayout, solutionBodies, stlOf } from '../src/print.js';
import { turnCellsOf } from '../src/puzzle.js';
import { coloursOf } from '../src/colours.js';

const read = (name) => readFileSync(new URL(name, import.meta.url), 'utf8');
const TEXT = read('puzzle-runs.txt');
const FILE = readSolutionsFile(TEXT);

// Each run: its puzzle's name, cells, box, pieces, turns onto itself, solutions and whether it ended.
const PUZZLES = [
  { run: 1, name: 'Pentominoes 3 x 20', cells: 60, box: [3, 20, 1], pieces: 12, turns: 4, solutions: 2, ended: true },
  { run: 2, name: 'Seven-piece cube', cells: 27, box: [3, 3, 3], pieces: 7, turns: 24, solutions: 19, ended: false },
  { run: 3, name: 'Pentominoes 8 x 8 with a hole', cells: 60, box: [8, 8, 1], pieces: 12, turns: 8, solutions: 65, ended: true, hole: true },
  { run: 4, name: 'Pentominoes 6 x 10', cells: 60, box: [6, 10, 1], pieces: 12, turns: 4, solutions: 11, ended: false },
  { run: 5, name: 'Pentominoes 2 x 3 x 10', cells: 60, box: [2, 3, 10], pieces: 12, turns: 4, solutions: 2, ended: false },
  { run: 6, name: 'Tandor Cube', cells: 64, box: [4, 4, 4], pieces: 13, turns: 24, solutions: 9, ended: false, builtin: true },
  { run: 7, name: 'Eight L-trominoes 2 x 3 x 4', cells: 24, box: [2, 3, 4], pieces: 8, turns: 4, solutions: 11, ended: false, identical: true },
];

// The picture lines of a run's solution k, as the file has them.
function fileLines(run, k) {
  const lines = TEXT.split('\n');
  return lines.slice(run.lines[k], run.lines[k] + run.puzzle.size[1]);
}

test('the file of seven puzzles reads whole, each run its own puzzle, with no problem', () => {
  assert.equal(FILE.error, null);
  assert.deepEqual(FILE.problems, []);
  assert.equal(FILE.runs.length, PUZZLES.length);
  const console = readSolutionsFile(read('puzzle-console.txt'));
  assert.deepEqual([console.kind, console.problems, console.runs[0].count, console.runs[0].console.reports], ['console', [], 2, 2]);
  assert.deepEqual(Array.from(console.runs[0].cells), Array.from(FILE.runs[0].cells), 'the console report has the solutions file\'s pictures');
});

for (const row of PUZZLES) {
  test(`${row.name}: puzzle, pictures, finder, hints, comparing, charts, exploded view and print`, () => {
    const run = FILE.runs[row.run - 1];
    const { puzzle } = run;
    assert.deepEqual([puzzle.name, puzzle.builtin, puzzle.count, puzzle.size, puzzle.isBox, puzzle.pieces.length, puzzle.turns.length, run.count, Boolean(run.summary)],
      [row.name, Boolean(row.builtin), row.cells, row.box, !row.hole, row.pieces, row.turns, row.solutions, row.ended]);
    assert.equal(new Set(coloursOf(puzzle, 'distinct')).size, row.pieces);

    // Every picture reads back as the file drew it.
    for (let k = 0; k < run.count; k += 1) assert.deepEqual(solutionAt(run, k).lines, fileLines(run, k), `solution ${k + 1}`);

    // Damage is found against the run's own pieces: a label swapped, a line cut, a label no piece has.
    const row0 = fileLines(run, 0).findIndex((l) => new Set(l.replace(/ /g, '')).size > 1);
    const lineAt = run.lines[0] + row0;
    const first = fileLines(run, 0)[row0];
    const other = [...first].findIndex((c, i) => i % 2 === 1 && c !== ' ' && c !== first[1]);
    const swapped = Object.assign([...first], { 1: first[other], [other]: first[1] }).join('');
    const beyond = first.replace(first[1], 'z');
    for (const [changed, said] of [[swapped, /do not form|covers \d+ cells?, not/], [first.slice(0, -3), /characters long, not/], [beyond, /'z' in column 2, which is no piece's label/]]) {
      const lines = TEXT.split('\n');
      lines[lineAt] = changed;
      const damaged = readSolutionsFile(lines.join('\n')).runs[row.run - 1];
      assert.equal(damaged.count, run.count - 1);
      assert.match(damaged.problems[0].text, said);
    }

    // The finder: two pieces of a solution, turned by each turn of the target, find it turned
    // so; the address's query holds one character per cell.
    const sets = pieceSetsOfRun(run);
    const k = run.count - 1;
    const cells = solutionAt(run, k).cells;
    puzzle.turns.forEach((_, r) => {
      const turned = turnCellsOf(puzzle, cells, r);
      const query = Int8Array.from(turned, (p) => (p === turned[0] || p === turned[puzzle.count - 1] ? p : EMPTY));
      assert.equal(readQuery(writeQuery(query), puzzle).cells.join(), query.join());
      assert.deepEqual(whyImpossible(query, puzzle), []);
      const found = findCompletions(sets, run.count, query, puzzle);
      const i = Array.from(found.places).indexOf(k);
      assert.ok(i >= 0, `turn ${r}`);
      const back = turnCellsOf(puzzle, cells, found.turns[i]);
      query.forEach((p, c) => { if (p >= 0) assert.ok(puzzle.sameAs[p].includes(back[c])); });
      assert.equal(comparison(turned, cells, bestTurn(turned, cells, puzzle), puzzle).differs.filter(Boolean).length, 0);
    });
    // Identical pieces stand for each other: a piece put in under another's label finds it too.
    const twin = puzzle.sameAs[cells[0]].find((q) => q !== cells[0]);
    assert.equal(twin === undefined, !row.identical);
    if (twin !== undefined) {
      const query = Int8Array.from(cells, (p) => (p === cells[0] ? twin : EMPTY));
      assert.ok(Array.from(findCompletions(sets, run.count, query, puzzle).places).includes(k));
    }
    assert.match(readQuery('.'.repeat(puzzle.count + 1), puzzle).error, new RegExp(`not ${puzzle.count}$`));
    // A piece put in whole where it sticks out, and hints that make a whole solution.
    assert.match(placement(new Int8Array(puzzle.count).fill(EMPTY), 1, 0, puzzle.count - 1, puzzle).why, /sticks out of the (cube|box|target) there/);
    const all = hints(sets, run.count, new Int8Array(puzzle.count).fill(EMPTY), row.pieces + 1, puzzle);
    assert.equal(all.length, row.pieces);
    assert.equal(findCompletions(sets, run.count, withHints(new Int8Array(puzzle.count).fill(EMPTY), all), puzzle).places.length, 1);

    // The charts' counts: every piece covers its cubes in every solution.
    const stats = pieceStats(run);
    puzzle.pieces.forEach((piece, p) => {
      let cubes = 0;
      for (let kind = 0; kind < 4; kind += 1) for (let n = 0; n < stats.bins; n += 1) cubes += n * coverCount(stats, p, kind, n);
      assert.equal(cubes, piece.cubes.length * run.count);
    });

    // Exploded, no two pieces share a cell; printed, the solid is the puzzle's cubes.
    const offsets = explodedOffsets(cells, row.pieces, puzzle);
    const spots = new Set(Array.from(cells, (p, c) => puzzle.coords[c].map((v, a) => Math.round((v + offsets[p][a]) * 2)).join()));
    assert.equal(spots.size, puzzle.count);
    const unit = 10;
    const stl = new DataView(stlOf(solutionBodies(cells, false, puzzle), unit, 'assembled', 0.4, puzzle.name));
    const triangles = stl.getUint32(80, true);
    let low = Infinity;
    let high = -Infinity;
    for (let t = 0; t < triangles; t += 1) {
      for (let v = 0; v < 3; v += 1) {
        const x = stl.getFloat32(84 + t * 50 + 12 + v * 12, true);
        low = Math.min(low, x);
        high = Math.max(high, x);
      }
    }
    assert.deepEqual([low, high].map((v) => Math.round(v * 100) / 100), [0, row.box[0] * unit - 0.4]);
    assert.equal(flatLayout(unit, 5, 0, puzzle).bodies.length, row.pieces);
  });
}
