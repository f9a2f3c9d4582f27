// Takes the README's pictures of the viewer from a solutions file: the real puzzle's colours
// with labels, the exploded view, the finder (three pieces of the solution, turned, and the
// solution opened among those that complete them), the charts of where the pieces go, and two
// solutions compared.
//
//   node scripts/screenshots.mjs TandorCubeSolutions.txt [#run=R&solution=N]
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch, openWith } from '../test/chromium.mjs';
import { readSolutionsFile, findSolution } from '../src/parse.js';
import { turnCells } from '../src/cube.js';
import { writeQuery } from '../src/find.js';

const [file, hash = '#run=1&solution=1'] = process.argv.slice(2);
if (!file) {
  console.error('usage: node scripts/screenshots.mjs TandorCubeSolutions.txt [#run=R&solution=N]');
  process.exit(2);
}
const params = new URLSearchParams(hash.slice(1));
const [runNumber, number] = ['run', 'solution'].map((key) => Number(params.get(key)));
const run = readSolutionsFile(readFileSync(file, 'utf8')).runs[runNumber - 1];
const k = findSolution(run, number);
// Pieces 1, 5 and D of the solution, turned as someone might hold the cube.
const turned = turnCells(run.cells.subarray(k * 64, (k + 1) * 64), 5);
const query = writeQuery(Int8Array.from(turned, (p) => ([0, 4, 12].includes(p) ? p : -1)));

const docs = resolve(fileURLToPath(new URL('.', import.meta.url)), '../../docs');
const shots = [];
const browser = await launch();
try {
  const page = await openWith(browser, resolve(file), { hash, viewport: { width: 1280, height: 800 } });
  const take = async (name) => {
    await page.screenshot({ path: `${docs}/${name}` });
    shots.push(`${docs}/${name}`);
  };
  await page.check('input[name=colours][value=real]');
  await take('viewer-real-puzzle.png');
  await page.fill('#explode', '100');
  await page.dispatchEvent('#explode', 'input');
  await take('viewer-exploded.png');
  await page.check('input[name=colours][value=distinct]');

  await page.setViewportSize({ width: 1280, height: 900 });
  await page.evaluate((h) => { location.hash = h; }, `#run=${runNumber}&find=${query}&solution=${number}`);
  await page.waitForSelector('#found-list button.open');
  await take('viewer-finder.png');
  await page.evaluate((h) => { location.hash = h; }, `#run=${runNumber}&pieces=7`);
  await page.waitForSelector('#charts figure');
  await take('viewer-charts.png');
  await page.setViewportSize({ width: 1280, height: 800 });
  await page.evaluate((h) => { location.hash = h; }, `#run=${runNumber}&solution=${number}&compare=${number + 1}`);
  await page.waitForFunction(() => document.querySelectorAll('#compare-pictures pre').length === 2);
  await take('viewer-compare.png');
  if (page.errors.length) throw new Error(page.errors.join('\n'));
  console.log(shots.join('\n'));
} finally {
  await browser.close();
}
