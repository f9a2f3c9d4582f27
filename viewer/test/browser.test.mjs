// End to end in a real browser: a solutions file made by the solver, loaded into the built page
// in headless Chromium, a solution picked, its pieces and picture checked, a screenshot kept.
import test from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, existsSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL, fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const here = fileURLToPath(new URL('.', import.meta.url));
const SOLVER = process.env.TANDOR_SOLVER || resolve(here, '../../build/release/tandor-cube-solver');
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const PAGE = resolve(here, '../dist/tandor-cube-viewer.html');
const ARTIFACTS = resolve(here, '../test-artifacts');

// Runs the solver until its file holds a few solutions, then interrupts it.
async function makeSolutionsFile() {
  const dir = mkdtempSync(join(tmpdir(), 'tandor-viewer-'));
  const file = join(dir, 'TandorCubeSolutions.txt');
  const solver = spawn(SOLVER, [], { cwd: dir, stdio: 'ignore' });
  const ended = new Promise((done) => solver.on('exit', done));
  for (let waited = 0; waited < 30000; waited += 50) {
    if (existsSync(file) && readFileSync(file, 'utf8').includes('Solution 5\n')) break;
    await new Promise((r) => setTimeout(r, 50));
  }
  solver.kill('SIGTERM');
  await ended;
  return file;
}

// How many pixels of the canvas differ from the background, and a fingerprint of the picture.
async function picture(page) {
  return page.evaluate(() => {
    const source = document.querySelector('#stage canvas');
    const copy = document.createElement('canvas');
    copy.width = source.width;
    copy.height = source.height;
    const context = copy.getContext('2d');
    context.drawImage(source, 0, 0);
    const { data } = context.getImageData(0, 0, copy.width, copy.height);
    let drawn = 0;
    let hash = 0;
    for (let i = 0; i < data.length; i += 4) {
      if (Math.abs(data[i] - 0xf4) + Math.abs(data[i + 1] - 0xf4) + Math.abs(data[i + 2] - 0xf0) > 12) drawn += 1;
      hash = (hash * 31 + data[i] + data[i + 1] * 7 + data[i + 2] * 13) >>> 0;
    }
    return { drawn, hash, pixels: data.length / 4 };
  });
}

test('the page shows a solution of a file the solver wrote', async () => {
  assert.ok(existsSync(SOLVER), `the solver is built at ${SOLVER}`);
  assert.ok(existsSync(PAGE), 'the page is built (npm run build)');
  const file = await makeSolutionsFile();
  const browser = await chromium.launch({
    executablePath: CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
  });
  try {
    const page = await browser.newPage({ viewport: { width: 1100, height: 720 } });
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(pathToFileURL(PAGE).href);
    await page.setInputFiles('#file', file);
    await page.waitForSelector('#controls:not([hidden])');
    assert.equal(await page.textContent('#message'), '');
    assert.match(await page.textContent('#info'), /no summary/);

    await page.fill('#solution', '3');
    await page.dispatchEvent('#solution', 'change');
    assert.match(await page.textContent('#rendering'), /^Solution 3\n/);
    assert.equal(await page.locator('.piece-entry').count(), 13);
    assert.equal(await page.evaluate(() => window.tandorViewer.shownPieces()), 13);
    const whole = await picture(page);
    assert.ok(whole.drawn > whole.pixels / 50, `the cube is drawn (${whole.drawn} of ${whole.pixels} pixels)`);

    await page.fill('#step', '4');
    await page.dispatchEvent('#step', 'input');
    assert.equal(await page.evaluate(() => window.tandorViewer.shownPieces()), 4);
    assert.equal(await page.locator('.piece-entry:not(.hidden)').count(), 4);
    const part = await picture(page);
    assert.notEqual(part.hash, whole.hash, 'four pieces look different from thirteen');
    assert.ok(part.drawn > 0 && part.drawn < whole.drawn);

    await page.fill('#step', '13');
    await page.dispatchEvent('#step', 'input');
    await page.fill('#explode', '60');
    await page.dispatchEvent('#explode', 'input');
    mkdirSync(ARTIFACTS, { recursive: true });
    await page.screenshot({ path: join(ARTIFACTS, 'viewer.png') });
    assert.deepEqual(errors, []);

    await page.setInputFiles('#file', { name: 'notes.txt', mimeType: 'text/plain', buffer: Buffer.from('shopping list\n') });
    await page.waitForFunction(() => document.querySelector('#message').textContent !== '');
    assert.match(await page.textContent('#message'), /not a Tandor Cube Solver solutions file/);
  } finally {
    await browser.close();
  }
});
