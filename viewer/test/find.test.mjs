// The finder, comparing, the charts' counts and the printed shapes, checked without a browser
// against known answers and against turns made from the solver's own three quarter turns.
import test from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

import { readSolutionsFile, renderCells } from '../src/parse.js';
import { ORIENTATIONS } from '../src/shapes.js';
import { TURNS, turnCells, cellIndex, cellCoordinates } from '../src/cube.js';
import { EMPTY, readQuery, writeQuery, whyImpossible, pieceSetsOfRun, findCompletions, placement, PLACES } from '../src/find.js';
import { bestTurn, comparison, markedPicture } from '../src/comparison.js';
import { pieceStats, coverCount, touchCount } from '../src/stats.js';
import { flatLayout, surface, solutionBodies, stlOf } from '../src/print.js';
import { hints, withHints } from '../src/hint.js';
import { readSolutionNumber, howPiecesLie } from '../src/messages.js';
import { startUp, block, SOLUTION_1, SOLUTION_2, cubeRotations, turnLabels } from './fixtures.mjs';

test('the 24 turns are exactly the rotations the solver reaches with its quarter turns, and no mirror', () => {
  const reached = new Set(cubeRotations().map((r) => r.join(',')));
  assert.equal(reached.size, 24);
  assert.deepEqual(new Set(TURNS.map((t) => Array.from(t).join(','))), reached);
  const mirror = Array.from({ length: 64 }, (_, c) => {
    const { x, y, z } = cellCoordinates(c);
    return cellIndex(x, y, 5 - z);
  });
  assert.ok(!reached.has(mirror.join(',')));
  // The solver's table of places: every in-cube orientation on every anchor cell.
  assert.equal(PLACES.reduce((sum, places) => sum + places.length / 2, 0), 4092);
});

test('a query that cannot be part of any assembly says why', () => {
  const empty = '.'.repeat(64);
  const at = (cells) => Object.entries(cells).reduce((q, [cell, label]) => q.slice(0, cell) + label + q.slice(Number(cell) + 1), empty);
  const cases = [
    // [what, query, reasons]
    ['nothing', empty, []],
    ['a whole piece 7 in a corner', at({ 0: '7', 1: '7', 2: '7', 6: '7', 4: '7' }), [/cells marked 7 do not form/]],
    ['piece 7 as it can lie', at({ 4: '7', 5: '7', 6: '7', 2: '7', 8: '7' }), []],
    ['piece 1 (a plus) on a corner', at({ 0: '1' }), [/The cell marked 1 cannot be part of piece 1/]],
    ['two cells of piece 2 too far apart', at({ 0: '2', 63: '2' }), [/The 2 cells marked 2 cannot be part of piece 2/]],
    ['six cells of piece 3, and piece 1 on a corner', at({ 21: '3', 22: '3', 25: '3', 26: '3', 37: '3', 38: '3', 3: '1' }),
      [/cell marked 1 cannot/, /Piece 3 is marked on 6 cells, but it has only 5 cubes/]],
  ];
  for (const [what, text, reasons] of cases) {
    const { cells, error } = readQuery(text);
    assert.equal(error, undefined, what);
    assert.equal(writeQuery(cells), text, what);
    const why = whyImpossible(cells);
    assert.equal(why.length, reasons.length, `${what}: ${why}`);
    reasons.forEach((r, i) => assert.match(why[i], r, what));
  }
  assert.match(readQuery('.'.repeat(63)).error, /63 characters, not 64/);
  assert.match(readQuery('E' + '.'.repeat(63)).error, /character 1 is 'E'/);
});

test('a piece placed whole covers the cells of its orientation from its first cube, or says what stops it', () => {
  const query = (cells) => Int8Array.from({ length: 64 }, (_, c) => (c in cells ? cells[c] : EMPTY));
  const cases = [
    // [what, query, piece, orientation, anchor, cells, why]
    ['piece 7 as it can lie', {}, 6, 0, 2, [2, 4, 5, 6, 8], null],
    ['piece 7 over its own cells', { 5: 6, 8: 6 }, 6, 0, 2, [2, 4, 5, 6, 8], null],
    ['piece 7 over pieces 3 and B', { 5: 2, 8: 10, 6: 2 }, 6, 0, 2, [2, 4, 5, 6, 8], /would cover pieces 3 and B\.$/],
    ['piece 1 on a corner', {}, 0, 0, 0, [0, 4, 5, 8], /piece 1 sticks out of the cube/],
  ];
  for (const [what, cells, p, o, anchor, covered, why] of cases) {
    const placed = placement(query(cells), p, o, anchor);
    assert.deepEqual(placed.cells, covered, what);
    if (why) assert.match(placed.why, why, what);
    else assert.equal(placed.why, null, what);
  }
  // Wherever a piece fits, its cubes cover as many cells, the anchor the first of them in scan order.
  ORIENTATIONS.forEach((shapes, p) => shapes.forEach((shape, o) => {
    for (let anchor = 0; anchor < 64; anchor += 1) {
      const { cells, why } = placement(query({}), p, o, anchor);
      if (why) continue;
      assert.equal(new Set(cells).size, shape.length, `piece ${p + 1}, orientation ${o + 1}`);
      assert.equal(Math.min(...cells), anchor, `piece ${p + 1}, orientation ${o + 1}`);
    }
  }));
});

const twoSolutions = () => readSolutionsFile(startUp() + block(1, SOLUTION_1) + block(2, SOLUTION_2)).runs[0];

test('pieces of a solution, turned any of the 24 ways, find it turned back to match', () => {
  const run = twoSolutions();
  const sets = pieceSetsOfRun(run);
  const first = run.cells.subarray(0, 64);
  TURNS.forEach((_, r) => {
    const turned = turnCells(first, r);
    for (const pieces of [[1, 2, 3], [0, 10, 12]]) {
      const query = Int8Array.from(turned, (p) => (pieces.includes(p) ? p : -1));
      const { places, turns } = findCompletions(sets, run.count, query);
      assert.deepEqual(Array.from(places), [0], `rotation ${r}, pieces ${pieces}`);
      const shown = turnCells(first, turns[0]);
      query.forEach((p, c) => assert.ok(p < 0 || shown[c] === p, `rotation ${r}: cell ${c}`));
    }
  });
  assert.equal(findCompletions(sets, run.count, new Int8Array(64).fill(-1)).places.length, 2);
});

test('comparing: the turn found agrees best of all 24, and the marked picture is the file\'s with the differing labels marked', () => {
  const run = twoSolutions();
  const [first, second] = [0, 1].map((k) => run.cells.subarray(k * 64, (k + 1) * 64));
  // A solution turned any way is turned back to agree everywhere.
  TURNS.forEach((_, r) => {
    const turned = turnCells(first, r);
    const { b, differs, moved } = comparison(first, turned, bestTurn(first, turned));
    assert.deepEqual(Array.from(b), Array.from(first), `rotation ${r}`);
    assert.ok(!differs.some(Boolean) && moved.length === 0, `rotation ${r}`);
  });
  // Two solutions: as few differing cells as any of the 24 rotations, tried one by one, leaves.
  const labels = (cells) => Array.from(cells, (p) => String(p));
  const fewest = Math.min(...cubeRotations().map((r) => turnLabels(labels(second), r).filter((l, c) => l !== labels(first)[c]).length));
  const { b, differs, moved } = comparison(first, second, bestTurn(first, second));
  assert.equal(differs.filter(Boolean).length, fewest);
  assert.deepEqual(moved, [...new Set(Array.from(first).filter((p, c) => differs[c]))].sort((x, y) => x - y));
  // The picture's labels, line by line, are the file's; marked where the other's picture differs.
  const shown = (cells) => markedPicture(cells, differs).map((part) => (typeof part === 'string' ? part : part.marked ? `[${part.label}]` : part.label)).join('').split('\n').slice(0, 4);
  const [filed, other] = [first, b].map((cells) => renderCells(cells).map((line) => line.replace(/ /g, '')));
  shown(first).forEach((line, row) => {
    const expected = [...filed[row]].map((l, j) => (l === other[row][j] ? l : `[${l}]`)).join('');
    assert.equal(line.replace(/ /g, ''), expected, `line ${row + 1}`);
  });
});

test('where the pieces go: known counts of two solutions, and every cell counted once', () => {
  const run = twoSolutions();
  const stats = pieceStats(run);
  // In both, piece 2 covers (1,1,1), (2,1,1), (2,1,2) and (2,2,2): a corner, an edge, a face and
  // an inner cell. It touches piece B in solution 1 only, piece 5 in solution 2 only.
  for (let kind = 0; kind < 4; kind += 1) assert.equal(coverCount(stats, 1, kind, 1), 2, `kind ${kind}`);
  for (const other of [10, 4]) {
    assert.equal(touchCount(stats, 1, other), 1, `piece ${other + 1}`);
    assert.equal(touchCount(stats, other, 1), 1, `piece ${other + 1}`);
  }
  [8, 24, 24, 8].forEach((size, kind) => {
    let cells = 0;
    for (let p = 0; p < 13; p += 1) for (let n = 1; n <= 5; n += 1) cells += n * coverCount(stats, p, kind, n);
    assert.equal(cells, size * run.count, `kind ${kind}`);
  });
});

test('printing: pieces laid flat lie apart on the bed, and every surface is closed and faces outwards', () => {
  for (const [unit, gap] of [[10, 5], [7.5, 0.5], [20, 0]]) {
    const { bodies, height } = flatLayout(unit, gap);
    assert.equal(bodies.length, 13);
    assert.equal(height, 2 * unit, 'no piece needs more than two layers');
    const boxes = bodies.map(({ cubes, at }) => [0, 1, 2].map((a) => [Math.min(...cubes.map((c) => c[a])) + at[a], Math.max(...cubes.map((c) => c[a])) + 1 + at[a]].map((v) => v * unit)));
    boxes.forEach((box, i) => {
      assert.equal(box[2][0], 0, 'on the bed');
      boxes.slice(i + 1).forEach((other) => {
        const apart = Math.max(other[0][0] - box[0][1], box[0][0] - other[0][1], other[1][0] - box[1][1], box[1][0] - other[1][1]);
        assert.ok(apart >= gap - 1e-9, `pieces ${bodies[i].piece + 1}: ${apart} mm apart`);
      });
    });
  }
  // Each edge of a closed, outward surface is walked once each way, with a clearance too.
  for (const [{ cubes }, clearance] of flatLayout(1, 1).bodies.flatMap((body) => [[body, 0], [body, 0.04], [body, 0.3]])) {
    const points = surface(cubes, [0, 0, 0], 1, clearance);
    const edges = new Map();
    for (let t = 0; t < points.length; t += 9) {
      const corners = [0, 3, 6].map((k) => points.slice(t + k, t + k + 3).join(','));
      corners.forEach((from, k) => {
        const key = `${from}>${corners[(k + 1) % 3]}`;
        edges.set(key, (edges.get(key) || 0) + 1);
      });
    }
    for (const [key, n] of edges) {
      const [from, to] = key.split('>');
      assert.equal(n, edges.get(`${to}>${from}`), key);
    }
  }
});

// The lowest and highest corner of a binary STL's triangles, in mm.
function stlBox(buffer) {
  const view = new DataView(buffer);
  const box = [[Infinity, Infinity, Infinity], [-Infinity, -Infinity, -Infinity]];
  for (let t = 0, n = view.getUint32(80, true); t < n; t += 1) {
    for (let k = 0; k < 9; k += 1) {
      const v = view.getFloat32(84 + t * 50 + 12 + k * 4, true);
      box[0][k % 3] = Math.min(box[0][k % 3], v);
      box[1][k % 3] = Math.max(box[1][k % 3], v);
    }
  }
  return box.map((corner) => corner.map((v) => Math.round(v * 1000) / 1000));
}

test('printing with a clearance: each piece shrinks by it, the cube by it, and flat pieces stay on the bed', () => {
  // Piece 2's four cubes of 10 mm, every outer face 0.2 mm in: 3649.536 mm3, as sampled on a
  // 0.1 mm grid; a cube alone is 9.6 mm each way.
  const volume = (points) => {
    let sum = 0;
    for (let t = 0; t < points.length; t += 9) {
      const [a, b, c] = [0, 3, 6].map((k) => points.slice(t + k, t + k + 3));
      sum += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return Math.round(sum / 6 * 1000) / 1000;
  };
  assert.equal(volume(surface([[0, 0, 0], [1, 0, 0], [1, 1, 0], [1, 1, 1]], [0, 0, 0], 10, 0.4)), 3649.536);
  assert.equal(volume(surface([[0, 0, 0]], [0, 0, 0], 10, 0.4)), 884.736);
  const cells = twoSolutions().cells.subarray(0, 64);
  for (const [unit, clearance, side] of [[10, 0, 40], [10, 0.4, 39.6], [7.5, 1, 29]]) {
    assert.deepEqual(stlBox(stlOf(solutionBodies(cells, false), unit, 'assembled', clearance)), [[0, 0, 0], [side, side, side]]);
    const { bodies, width, depth, height } = flatLayout(unit, 2, clearance);
    assert.deepEqual(stlBox(stlOf(bodies, unit, 'flat', clearance)), [[0, 0, 0], [width, depth, height]].map((c) => c.map((v) => Math.round(v * 1000) / 1000)));
    for (const body of bodies) assert.equal(stlBox(stlOf([body], unit, 'one', clearance))[0][2], 0, 'on the bed');
  }
});

test('hints: each reveals a piece of one solution that completes what was put in, the one that narrows the matches most', () => {
  // The first 60 solutions of a run of the solver.
  const run = readSolutionsFile(readFileSync(new URL('./solutions-60.txt', import.meta.url), 'utf8')).runs[0];
  const sets = pieceSetsOfRun(run);
  const count = (query) => findCompletions(sets, run.count, query).places.length;
  const empty = new Int8Array(64).fill(-1);
  const queries = [empty];
  [[7, 5, [0, 1]], [33, 17, [4, 8, 12]], [59, 22, [3]]].forEach(([s, r, pieces]) => {
    const turned = turnCells(run.cells.subarray(s * 64, s * 64 + 64), r);
    queries.push(Int8Array.from(turned, (p) => (pieces.includes(p) ? p : -1)));
  });
  // Part of a piece: two cells of piece 6 of solution 12.
  queries.push(Int8Array.from(run.cells.subarray(12 * 64, 13 * 64), (p, c) => (p === 5 && c < 40 ? p : -1)));
  for (const query of queries) {
    const missing = 13 - new Set(Array.from(query).filter((p, c) => p >= 0 && query.filter((q) => q === p).length === (p === 1 ? 4 : 5))).size;
    const all = hints(sets, run.count, query, 20);
    assert.equal(all.length, missing);
    const whole = withHints(query, all);
    assert.ok(whole.every((p) => p >= 0) && count(whole) === 1, 'all hints make one whole solution');
    all.forEach((hint, k) => {
      assert.deepEqual(hints(sets, run.count, query, k + 1), all.slice(0, k + 1), 'the same hints each time');
      const before = withHints(query, all.slice(0, k));
      assert.equal(hint.matches, count(withHints(before, [hint])));
      // No piece of any matching solution, in any turn that matches, narrows them more.
      const { places } = findCompletions(sets, run.count, before);
      let fewest = Infinity;
      for (const s of places) {
        TURNS.forEach((_, r) => {
          const turned = turnCells(run.cells.subarray(s * 64, s * 64 + 64), r);
          if (before.some((p, c) => p >= 0 && turned[c] !== p)) return;
          for (let p = 0; p < 13; p += 1) {
            if (before.filter((q) => q === p).length === (p === 1 ? 4 : 5)) continue;
            fewest = Math.min(fewest, count(Int8Array.from(before, (q, c) => (turned[c] === p ? p : q))));
          }
        });
      }
      assert.equal(hint.matches, fewest);
    });
  }
});

test('what was typed is quoted back, and counts agree with their words', () => {
  assert.deepEqual([' 7 ', '007'].map(readSolutionNumber), [{ number: 7 }, { number: 7 }]);
  for (const typed of ['abc', '1.5', '-2', 'NaN']) assert.equal(readSolutionNumber(typed).error, `"${typed}" is not a solution number.`);
  assert.equal(readSolutionNumber('').error, '"" is not a solution number.');
  assert.deepEqual([['5'], ['5', '7'], '123456789ABC'.split(''), '123456789ABCD'.split('')].map(howPiecesLie), [
    'piece 5 lies differently; the other 12 lie the same',
    'pieces 5 and 7 lie differently; the other 11 lie the same',
    'pieces 1, 2, 3, 4, 5, 6, 7, 8, 9, A, B and C lie differently; the other one lies the same',
    'all 13 pieces lie differently',
  ]);
});
