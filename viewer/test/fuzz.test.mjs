// The reader against damaged files: mutations of a real solutions file (two runs the solver
// wrote and stopped, then a run that ended) with bytes flipped, ranges cut or doubled, CR and BOM
// put in, text put in and blocks swapped. It must never throw nor hang, and must read every
// solution block that the mutation did not touch, with its number and cells. A run keeps its
// numbers rising, so an untouched block whose number does not exceed one before it in its run
// (after a swap, or a header's digit flipped upward) is left out, as the page reports it.
// 2,000 cases by default; TANDOR_FULL_CAMPAIGNS=1 (as tools/test sets it) runs 30,000.
import test from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { performance } from 'node:perf_hooks';

import { readSolutionsFile, solutionAt } from '../src/parse.js';
import { startUp, block, summary, SOLUTION_1, SOLUTION_2 } from './fixtures.mjs';

const CASES = process.env.TANDOR_FULL_CAMPAIGNS ? 30000 : 2000;
const BASE = readFileSync(new URL('./sample-solutions.txt', import.meta.url), 'latin1') +
  startUp() + block(1, SOLUTION_1) + block(2, SOLUTION_2) + summary(2, 0);
const LABELS = '123456789ABCD';
const BANNER = 'Tandor Cube Solver';

// The blocks of the base, found and decoded here on their own: the span from the line break
// before the header to the end of the last picture line, the number and the 64 cells in scan
// order (z slowest, x fastest). Line 4 - y holds row y; layer z starts at column 11 * (4 - z).
function blocksOf(text) {
  const blocks = [];
  const pattern = /(^|\n)Solution (\d+)\n((?:.{43}\n){4})/g;
  let m;
  while ((m = pattern.exec(text))) {
    const start = m.index + m[1].length;
    const lines = m[3].split('\n');
    const cells = [];
    for (let z = 1; z <= 4; z += 1) {
      for (let y = 1; y <= 4; y += 1) {
        for (let x = 1; x <= 4; x += 1) cells.push(LABELS.indexOf(lines[4 - y][11 * (4 - z) + 2 * x - 1]));
      }
    }
    blocks.push({ from: start === 0 ? -1 : start - 1, start, end: pattern.lastIndex, number: Number(m[2]), cells });
    pattern.lastIndex -= 1;  // the next header may follow this block's last line break
  }
  return blocks;
}
const BLOCKS = blocksOf(BASE);

// A small deterministic generator, so that a failing case can be made again from its number.
function generator(seed) {
  let s = seed >>> 0 || 1;
  return (n) => {
    s ^= s << 13; s >>>= 0; s ^= s >>> 17; s ^= s << 5; s >>>= 0;
    return s % n;
  };
}

// One mutation as edits of the base: { at, remove, insert }, in order and not overlapping.
function mutation(random) {
  const n = BASE.length;
  const range = (most) => { const a = random(n); return [a, Math.min(n, a + 1 + random(most))]; };
  const kinds = [
    () => Array.from({ length: 1 + random(4) }, () => {
      const at = random(n);
      return { at, remove: 1, insert: String.fromCharCode(BASE.charCodeAt(at) ^ (1 << random(8))) };
    }),
    () => { const [a, b] = range(600); return [{ at: a, remove: b - a, insert: '' }]; },
    () => { const [a, b] = range(600); return [{ at: b, remove: 0, insert: BASE.slice(a, b) }]; },
    () => Array.from({ length: 1 + random(3) }, () => ({ at: random(n + 1), remove: 0, insert: '\r' })),
    () => [{ at: random(3) === 0 ? 0 : random(n + 1), remove: 0, insert: '\uFEFF' }],
    () => { const at = random(n); return [{ at, remove: n - at, insert: '' }]; },
    () => [{ at: random(n + 1), remove: 0, insert: ['\n', 'Solution 3\n', BANNER, '\r\n', ' 5 5', '\u00e9'][random(6)] }],
    () => {
      const i = random(BLOCKS.length);
      const j = random(BLOCKS.length);
      if (i === j) return [];
      const [p, q] = i < j ? [BLOCKS[i], BLOCKS[j]] : [BLOCKS[j], BLOCKS[i]];
      if (p.end > q.start) return [];
      return [
        { at: p.start, remove: p.end - p.start, insert: BASE.slice(q.start, q.end) },
        { at: q.start, remove: q.end - q.start, insert: BASE.slice(p.start, p.end) },
      ];
    },
  ];
  const edits = kinds[random(kinds.length)]().sort((a, b) => a.at - b.at);
  return edits.filter((e, k) => k === 0 || e.at >= edits[k - 1].at + edits[k - 1].remove);
}

function apply(edits) {
  let text = '';
  let from = 0;
  for (const e of edits) {
    text += BASE.slice(from, e.at) + e.insert;
    from = e.at + e.remove;
  }
  return text + BASE.slice(from);
}

const touches = (e, b) => (e.remove > 0 && e.at < b.end && e.at + e.remove > b.from) ||
  (e.insert !== '' && e.at > b.from && e.at < b.end);

// The highest solution number before each header line of the text, within its run: a run is
// everything from one banner to the next, wherever the banner stands in a line.
function highestBefore(text) {
  const highest = new Map();
  let top = Infinity;  // before the first banner nothing is read
  let line = 1;
  for (const raw of text.split('\n')) {
    const whole = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
    const parts = whole.split(BANNER);
    parts.forEach((part, k) => {
      if (k > 0) top = 0;
      const m = /^Solution (\d+)$/.exec(part);
      if (!m) return;
      if (k === 0 && part === whole) highest.set(line, top);
      top = Math.max(top, Number(m[1]));
    });
    line += 1;
  }
  return highest;
}

test(`the reader survives ${CASES.toLocaleString('en')} mutations of a real file and reads every block they leave alone`, () => {
  const random = generator(20261210);
  let totalMs = 0;
  let totalBytes = 0;
  let checkedBlocks = 0;
  for (let c = 0; c < CASES; c += 1) {
    const edits = mutation(random);
    const text = apply(edits);
    const started = performance.now();
    let result;
    assert.doesNotThrow(() => { result = readSolutionsFile(text); }, `case ${c}`);
    const ms = performance.now() - started;
    totalMs += ms;
    totalBytes += text.length;
    assert.ok(ms < 1000, `case ${c} took ${ms} ms`);
    const read = new Map();
    for (const run of result.runs) {
      for (let k = 0; k < run.count; k += 1) read.set(run.lines[k], solutionAt(run, k));
    }
    const highest = highestBefore(text);
    for (const b of BLOCKS) {
      if (edits.some((e) => touches(e, b))) continue;
      const shift = edits.filter((e) => e.at < b.start)
        .reduce((sum, e) => sum + e.insert.length - e.remove, 0);
      const start = b.start + shift;
      const line = text.slice(0, start).split('\n').length;
      assert.equal(text.slice(start, start + 9), 'Solution ', `case ${c}: the block is where it was`);
      if (highest.get(line) >= b.number) continue;
      const solution = read.get(line);
      assert.ok(solution, `case ${c}: solution ${b.number} at line ${line} is read (edits ${JSON.stringify(edits)})`);
      assert.equal(solution.number, b.number, `case ${c}, line ${line}`);
      assert.deepEqual(Array.from(solution.cells), b.cells, `case ${c}, line ${line}`);
      checkedBlocks += 1;
    }
  }
  // A hang or a reading that grows faster than the file would show here.
  const msPerMegabyte = totalMs / (totalBytes / 1e6);
  assert.ok(msPerMegabyte < 2000, `${msPerMegabyte} ms per MB`);
  assert.ok(checkedBlocks > CASES * 10, `only ${checkedBlocks} untouched blocks checked`);
});

test('a large damaged file is read at the pace of a whole one', () => {
  const random = generator(7);
  const big = BASE.repeat(200);  // 1.7 MB, 4,200 blocks
  const time = (text) => { const t = performance.now(); readSolutionsFile(text); return performance.now() - t; };
  const whole = Math.min(time(big), time(big));
  for (let c = 0; c < 5; c += 1) {
    let text = big;
    for (let k = 0; k < 50; k += 1) {
      const at = random(text.length);
      text = text.slice(0, at) + ['\r', '\uFEFF', '', BANNER, 'Solution 9\n'][random(5)] + text.slice(at + random(300));
    }
    assert.ok(time(text) < 5 * whole + 200, `case ${c}`);
  }
});
