// How long the built page takes, in headless Chromium, from a file being picked to its last
// run painted on the screen: for the file as it is and for ten copies of it one after another
// (as ten runs of the solver leave them).
//
//   node bench/load-time.mjs TandorCubeSolutions.txt [copies ...]     (default copies: 1 10)
import { mkdtempSync, readFileSync, writeFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { launch, openWith } from '../test/chromium.mjs';

const [source, ...rest] = process.argv.slice(2);
if (!source) {
  console.error('usage: node bench/load-time.mjs TandorCubeSolutions.txt [copies ...]');
  process.exit(2);
}
const copies = rest.length ? rest.map(Number) : [1, 10];
const TRIES = 3;
const text = readFileSync(source, 'utf8');
const dir = mkdtempSync(join(tmpdir(), 'tandor-load-'));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const browser = await launch();
try {
  console.log('copies   size (MB)   runs   solutions   read in worker (ms)   picked to last run painted (ms)');
  for (const n of copies) {
    const file = join(dir, `${n}-TandorCubeSolutions.txt`);
    writeFileSync(file, text.repeat(n));
    const size = (text.length * n) / 1e6;
    const reads = [];
    const shown = [];
    let seen;
    for (let t = 0; t < TRIES; t += 1) {
      const page = await openWith(browser, null, { viewport: { width: 1280, height: 800 } });
      await page.setInputFiles('#file', file);
      await page.waitForFunction(() => window.tandorViewer.state.timing.painted, null, { timeout: 60000 });
      const { timing, runs, hash } = await page.evaluate(() => ({
        timing: window.tandorViewer.state.timing,
        runs: window.tandorViewer.state.runs.map((r) => r.count),
        hash: location.hash,
      }));
      if (hash !== `#run=${runs.length}&solution=1`) throw new Error(`the page shows ${hash}, not the last run`);
      if (page.errors.length) throw new Error(page.errors.join('\n'));
      reads.push(timing.parseMs);
      shown.push(timing.painted - timing.started);
      seen = runs;
      await page.close();
    }
    const total = seen.reduce((a, b) => a + b, 0);
    console.log(`${String(n).padStart(6)}   ${size.toFixed(1).padStart(9)}   ${String(seen.length).padStart(4)}   ${String(total).padStart(9)}` +
      `   ${median(reads).toFixed(0).padStart(19)}   ${median(shown).toFixed(0).padStart(31)}` +
      `   (median of ${TRIES}: ${shown.map((v) => v.toFixed(0)).join(', ')})`);
  }
} finally {
  await browser.close();
  rmSync(dir, { recursive: true, force: true });
}
