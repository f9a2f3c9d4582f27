// Every view on a puzzle file's run, in the built page in headless Chromium, on a desktop and on
// a phone: the 8 x 8 square with a hole of test/puzzle-runs.txt (a file the solver wrote, of
// seven puzzles; see puzzles.test.mjs). Also what a newcomer found: messages in sight, a refused
// clearance put back, the finder's cells one Tab stop, and on a phone the cube kept in view,
// the charts in the page and controls large enough for a thumb.
import test, { before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

import { launch, load, PAGE_URL } from './chromium.mjs';

const TEXT = readFileSync(new URL('puzzle-runs.txt', import.meta.url), 'utf8');
const FILE = { name: 'puzzle-runs.txt', mimeType: 'text/plain', buffer: Buffer.from(TEXT) };
const LINES = TEXT.split('\n');
// The 8 x 8 square's run: its solution N's picture, as the file has it.
const RUN = 3;
const START = LINES.findIndex((l) => l === 'Puzzle: Pentominoes 8 x 8 with a hole');
const picture = (n) => LINES.slice(LINES.indexOf(`Solution ${n}`, START) + 1, LINES.indexOf(`Solution ${n}`, START) + 9).join('\n');

const DEVICES = [
  { name: 'desktop', viewport: { width: 1100, height: 720 } },
  { name: 'phone', viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true },
];

let browser;
before(async () => { browser = await launch(); });
after(() => browser && browser.close());

// Whether an element is wholly on the screen.
const onScreen = (page, selector) => page.$eval(selector, (e) => {
  const r = e.getBoundingClientRect();
  return r.height > 0 && r.top >= 0 && r.bottom <= innerHeight;
});
const go = async (page, hash, ready) => {
  await page.evaluate((h) => { location.hash = h; }, hash);
  await page.waitForFunction(ready);
};

for (const device of DEVICES) {
  test(`a puzzle file's run, every view, on a ${device.name}`, async () => {
    const page = await browser.newPage(device);
    page.errors = [];
    page.on('pageerror', (e) => page.errors.push(String(e)));
    await page.goto(`${PAGE_URL}#run=${RUN}&solution=2`);
    await load(page, FILE);
    const phone = device.name === 'phone';

    // The run picker names each run's puzzle; the built-in run (with --mirror) reads as ever.
    assert.deepEqual(await page.$$eval('#run option', (os) => os.map((o) => o.textContent)), [
      'Run 1: Pentominoes 3 x 20, 2 solutions', 'Run 2: Seven-piece cube, 19 solutions (stopped early)',
      'Run 3: Pentominoes 8 x 8 with a hole, 65 solutions', 'Run 4: Pentominoes 6 x 10, 11 solutions (stopped early)',
      'Run 5: Pentominoes 2 x 3 x 10, 2 solutions (stopped early)', 'Run 6: Tandor Cube, 9 solutions (stopped early)',
      'Run 7: Eight L-trominoes 2 x 3 x 4, 11 solutions (stopped early)']);
    assert.equal(await page.isHidden('#problems'), true);
    assert.match(await page.textContent('#info'), /^Pentominoes 8 x 8 with a hole \(puzzles\/pentominoes-8x8-hole\.txt\): 12 pieces in a target of 60 cells in a 8 x 8 x 1 box\./);
    assert.equal(await page.isHidden('#real-colours'), true, 'a puzzle file has no real colours');

    // Solution: its picture, legend and pieces; exploded, a step of the assembly and a piece singled out.
    assert.ok((await page.textContent('#picture')).endsWith(picture(2)));
    assert.equal(await page.locator('.piece-entry').count(), 12);
    assert.equal((await page.evaluate(() => window.tandorViewer.shownPieces())).length, 12);
    await go(page, `#run=${RUN}&solution=2&exploded&step=5&piece=C`, () => window.tandorViewer.shownPieces().length === 5);
    assert.deepEqual([await page.inputValue('#explode'), await page.inputValue('#step'), await page.getAttribute('#step', 'max')], ['100', '5', '12']);
    assert.match(await page.textContent('#step-text'), /^5 of 12 /);
    assert.match(await page.evaluate(() => location.hash), /&piece=C$/);
    for (const id of ['previous', 'next']) assert.ok(await page.getAttribute(`#${id}`, 'aria-label'));
    if (phone) {
      for (const selector of ['#previous', '#next', '#solution', '#explode', '#step']) {
        const box = await page.locator(selector).boundingBox();
        assert.ok(box.height >= 40 && box.width >= 40, `${selector}: ${box.width} x ${box.height}`);
      }
      assert.equal(await page.isVisible('.touch-help'), true);
      assert.equal(await page.isVisible('.mouse-help'), false);
    }

    // Find: a grid of the target's 60 cells; a piece of solution 5 finds it; the cells are one
    // Tab stop, and a refused placement is said where it can be seen.
    const query = (await page.evaluate(() => window.tandorViewer.state.runs[2].cells.slice(4 * 60, 5 * 60).join(',')))
      .split(',').map((p) => (p === '0' ? '1' : '.')).join('');
    await go(page, `#run=${RUN}&find=${query}`, () => document.querySelector('#found-count').textContent);
    assert.equal(await page.locator('[data-cell]').count(), 60);
    assert.match(await page.textContent('#found-count'), /solutions? of run 3 completes?/);
    assert.ok(await page.locator('#found-list button', { hasText: /^5$/ }).count() === 1);
    assert.equal(await page.getAttribute('#found-list button >> nth=0', 'aria-label'), `Solution ${await page.textContent('#found-list button >> nth=0')}`);
    await page.focus('#pens button[aria-checked=true]');
    let presses = 0;
    while (presses < 30 && await page.evaluate(() => document.activeElement.id !== 'find-hint')) {
      await page.keyboard.press('Tab');
      presses += 1;
    }
    assert.ok(presses <= 8, `${presses} Tab presses from the pens to Hint`);
    await page.check('input[name=placing][value=whole]');
    await page.click('#pens button[data-piece="2"]');
    await page.locator('[data-cell="59"]').scrollIntoViewIfNeeded();
    await page.click('[data-cell="59"]');
    assert.match(await page.textContent('#message'), /^In this orientation piece 2 sticks out of the target there\.$/);
    assert.ok(await onScreen(page, '#message'), 'the message is on screen');
    if (phone) assert.ok(await onScreen(page, '#stage'), 'the cube stays in view while cells are tapped');
    await page.click('#find-hint');
    assert.match(await page.textContent('#hint-text'), /^Hint 1: piece . goes on x, y, z = /);

    // Compare, the charts, and Print.
    await go(page, `#run=${RUN}&solution=1&compare=2`, () => document.querySelector('#compare-text').textContent);
    assert.match(await page.textContent('#compare-text'), /of 60 cells differ|is the same as solution 1/);
    assert.equal(await page.locator('#compare-pictures pre').count(), 2);
    await go(page, `#run=${RUN}&pieces=B`, () => document.querySelectorAll('#charts figure').length === 4);
    assert.equal(await page.locator('[data-chart=kinds] .piece-row').count(), 12);
    if (phone) {
      assert.ok(await page.$eval('#charts', (e) => e.scrollHeight <= e.clientHeight + 1), 'the charts do not scroll in a box of their own');
      const small = await page.$$eval('#charts text', (ts) => Math.min(...ts.map((t) => t.getBoundingClientRect().height)));
      assert.ok(small >= 11, `the smallest label is ${small} px high`);
    }
    await go(page, `#run=${RUN}&solution=3&print&unit=10&gap=5&clearance=0.4`, () => !document.querySelector('#print-panel').hidden);
    assert.equal(await page.textContent('#stl-pieces'), 'The 12 pieces laid flat (STL)');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#stl-assembled')]);
    assert.equal(download.suggestedFilename(), 'pentominoes-8-x-8-with-a-hole-run3-solution3-assembled-10mm-clearance0.4mm.stl');
    for (const bad of ['-1', '20', '1e9']) {
      await page.fill('#clearance', bad);
      await page.dispatchEvent('#clearance', 'change');
      assert.equal(await page.inputValue('#clearance'), '0.4', `${bad} is put back`);
      assert.match(await page.textContent('#message'), new RegExp(`clearance of "${bad.replace('.', '\\.')}" mm cannot be used.*Kept 0\\.4 mm`));
      assert.ok(await onScreen(page, '#message'));
    }
    assert.match(await page.evaluate(() => location.hash), /clearance=0\.4$/);
    assert.deepEqual(page.errors, []);
    await page.close();
  });
}
