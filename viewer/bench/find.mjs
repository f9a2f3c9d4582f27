// How long the built page takes, in headless Chromium, to make a run's sets of cells for the
// finder and its counts for the charts (once per run), and to search the run for partial
// assemblies: pieces taken from solutions picked at random and turned at random, a query that
// no solution completes, and the empty query. Each search is made through the page's address,
// as a link would make it; the time is that of the search alone, read from the page.
//
//   node bench/find.mjs TandorCubeSolutions.txt [tries]       (default tries: 5)
import { readFileSync } from 'node:fs';

import { launch, openWith } from '../test/chromium.mjs';
import { readSolutionsFile } from '../src/parse.js';
import { TURNS, turnCells } from '../src/cube.js';
import { writeQuery, pieceSetsOfRun, findCompletions } from '../src/find.js';

const [source, triesText = '5'] = process.argv.slice(2);
if (!source) {
  console.error('usage: node bench/find.mjs TandorCubeSolutions.txt [tries]');
  process.exit(2);
}
const tries = Number(triesText);
const { runs } = readSolutionsFile(readFileSync(source, 'utf8'));
const run = runs[runs.length - 1];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// A fixed sequence of picks, so that every measurement searches for the same queries.
let seed = 12345;
const pick = (n) => {
  seed = (seed + 0x6d2b79f5) >>> 0;
  let t = Math.imul(seed ^ (seed >>> 15), seed | 1);
  t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
  return (((t ^ (t >>> 14)) >>> 0) % n);
};
const queries = [['nothing', '.'.repeat(64)]];
for (const pieces of [1, 2, 3, 4, 6, 9, 13]) {
  const k = pick(run.count);
  const turned = turnCells(run.cells.subarray(k * 64, (k + 1) * 64), pick(TURNS.length));
  const kept = new Set();
  while (kept.size < pieces) kept.add(turned[pick(64)]);
  queries.push([`${pieces} piece${pieces > 1 ? 's' : ''} of solution ${run.numbers[k]}`, writeQuery(Int8Array.from(turned, (p) => (kept.has(p) ? p : -1)))]);
}
// Two pieces as one solution has them, and a third as another solution has it, turned: the
// first such query that no solution completes.
const sets = pieceSetsOfRun(run);
for (let found = false; !found;) {
  const [a, b] = [pick(run.count), pick(run.count)].map((k) => turnCells(run.cells.subarray(k * 64, (k + 1) * 64), pick(TURNS.length)));
  const [p, q, r] = [a[pick(64)], a[pick(64)], b[pick(64)]];
  const query = Int8Array.from(a, (piece) => (piece === p || piece === q ? piece : -1));
  if (p === q || r === p || r === q || b.some((piece, c) => piece === r && query[c] >= 0)) continue;
  b.forEach((piece, c) => { if (piece === r) query[c] = r; });
  found = findCompletions(sets, run.count, query).places.length === 0;
  if (found) queries.push(['3 pieces no solution holds together', writeQuery(query)]);
}

const browser = await launch();
try {
  const page = await openWith(browser, source, { hash: `#run=${run.number}&solution=1`, viewport: { width: 1280, height: 800 } });
  const timing = () => page.evaluate(() => window.tandorViewer.state.timing);
  const setHash = async (hash, key) => {
    await page.evaluate((k) => { window.tandorViewer.state.timing[k] = null; }, key);
    await page.evaluate((h) => { location.hash = h; }, hash);
    await page.waitForFunction((k) => typeof window.tandorViewer.state.timing[k] === 'number', key);
    return (await timing())[key];
  };
  // Once per run, made when first asked: on a fresh page each time.
  const made = [];
  const counts = [];
  for (let t = 0; t < tries; t += 1) {
    const fresh = await openWith(browser, source, { hash: `#run=${run.number}&solution=1`, viewport: { width: 1280, height: 800 } });
    for (const [hash, key, into] of [[`#run=${run.number}&find=${'.'.repeat(64)}`, 'setsMs', made], [`#run=${run.number}&pieces=1`, 'statsMs', counts]]) {
      await fresh.evaluate((h) => { location.hash = h; }, hash);
      await fresh.waitForFunction((k) => typeof window.tandorViewer.state.timing[k] === 'number', key);
      into.push((await fresh.evaluate(() => window.tandorViewer.state.timing))[key]);
    }
    await fresh.close();
  }
  console.log(`${run.count.toLocaleString('en')} solutions of run ${run.number}, ${TURNS.length} rotations each; median of ${tries}`);
  console.log(`  the finder's sets of cells, made once per run: ${median(made).toFixed(1)} ms`);
  console.log(`  the charts' counts, made once per run:         ${median(counts).toFixed(1)} ms`);

  console.log('  search                                  found       ms (median)   ms (slowest)');
  const times = queries.map(() => []);
  const found = [];
  for (let t = 0; t < tries; t += 1) {
    for (const [i, [, query]] of queries.entries()) {
      times[i].push(await setHash(`#run=${run.number}&find=${query}`, 'searchMs'));
      found[i] = await page.evaluate(() => {
        const { found: shown } = window.tandorViewer.state.views.find.slice;
        return shown ? shown.places.length : null;
      });
    }
  }
  queries.forEach(([what], i) => {
    console.log(`  ${what.padEnd(36)}  ${String(found[i]).padStart(7)}   ${median(times[i]).toFixed(1).padStart(12)}   ${Math.max(...times[i]).toFixed(1).padStart(12)}`);
  });
  if (page.errors.length) throw new Error(page.errors.join('\n'));
} finally {
  await browser.close();
}
