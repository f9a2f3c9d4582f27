// End to end in a real browser: solutions files made by the solver, whole and damaged, loaded
// into the built page in headless Chromium; what the page says and shows is checked.
import test, { before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, existsSync, mkdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch, openWith, load, PAGE, PAGE_URL } from './chromium.mjs';
import { cubeRotations, labelsOf, turnLabels } from './fixtures.mjs';
import { PIECES } from '../src/pieces.js';

const here = fileURLToPath(new URL('.', import.meta.url));
const SOLVER = process.env.TANDOR_SOLVER || resolve(here, '../../build/release/tandor-cube-solver');
const ARTIFACTS = resolve(here, '../test-artifacts');

// Runs the solver until its file holds 30 solutions, then interrupts it.
async function solverOutput() {
  const dir = mkdtempSync(join(tmpdir(), 'tandor-viewer-'));
  const file = join(dir, 'TandorCubeSolutions.txt');
  const solver = spawn(SOLVER, [], { cwd: dir, stdio: 'ignore' });
  const ended = new Promise((done) => solver.on('exit', done));
  for (let waited = 0; waited < 60000; waited += 50) {
    if (existsSync(file) && readFileSync(file, 'utf8').includes('Solution 31\n')) break;
    await new Promise((r) => setTimeout(r, 50));
  }
  solver.kill('SIGTERM');
  await ended;
  const text = readFileSync(file, 'utf8');
  rmSync(dir, { recursive: true, force: true });
  return text;
}

const asFile = (name, text) => ({ name, mimeType: 'text/plain', buffer: Buffer.from(text) });
const text = (page, selector) => page.textContent(selector);

// How many pixels of the canvas differ from the background, and a fingerprint of the picture.
async function picture(page) {
  return page.evaluate(() => {
    const source = document.querySelector('#stage canvas');
    const context = Object.assign(document.createElement('canvas'), { width: source.width, height: source.height }).getContext('2d');
    context.drawImage(source, 0, 0);
    const { data } = context.getImageData(0, 0, source.width, source.height);
    let drawn = 0;
    let hash = 0;
    for (let i = 0; i < data.length; i += 4) {
      if (Math.abs(data[i] - 0xf4) + Math.abs(data[i + 1] - 0xf4) + Math.abs(data[i + 2] - 0xf0) > 12) drawn += 1;
      hash = (hash * 31 + data[i] + data[i + 1] * 7 + data[i + 2] * 13) >>> 0;
    }
    return { drawn, hash, pixels: data.length / 4 };
  });
}

// For each piece whose top face shows (its highest cube in the top layer): the colour drawn
// there on the cube, and the colour of its legend swatch.
function topFacesAndSwatches(page) {
  return page.evaluate(() => {
    const source = document.querySelector('#stage canvas');
    const context = Object.assign(document.createElement('canvas'), { width: source.width, height: source.height }).getContext('2d');
    context.drawImage(source, 0, 0);
    const scale = source.width / source.clientWidth;
    const rgb = (ctx, x, y) => [...ctx.getImageData(Math.round(x), Math.round(y), 1, 1).data.slice(0, 3)];
    const found = [];
    for (const item of document.querySelectorAll('.piece-entry')) {
      const piece = Number(item.dataset.piece);
      const point = window.tandorViewer.topFacePoint(piece);
      if (!point || point.cellTop !== 1.5) continue;
      const swatch = item.querySelector('canvas.swatch');
      found.push({ piece, cube: rgb(context, point.x * scale, point.y * scale), swatch: rgb(swatch.getContext('2d'), 2, 2) });
    }
    return found;
  });
}

let browser;
let output;
let lines;
// The file line of a solution's "Solution" line; the output with one line changed or dropped.
const lineOf = (n) => lines.indexOf(`Solution ${n}`) + 1;
const change = (line, make) => lines.map((l, i) => (i === line - 1 ? make(l) : l)).join('\n');
const drop = (line) => lines.filter((l, i) => i !== line - 1).join('\n');
// Swaps the first label of a picture line with the first label of another piece on it.
const swap = (line) => {
  const other = [...line].findIndex((c, i) => i % 2 === 1 && c !== ' ' && c !== line[1]);
  return Object.assign([...line], { 1: line[other], [other]: line[1] }).join('');
};

before(async () => {
  assert.ok(existsSync(SOLVER), `the solver is built at ${SOLVER}`);
  assert.ok(existsSync(PAGE), 'the page is built (npm run build)');
  const whole = await solverOutput();
  output = whole.slice(0, whole.indexOf('Solution 31\n'));
  lines = output.split('\n');
  browser = await launch();
});
after(() => browser && browser.close());

test('the page shows the solver\'s own file: views, address, colours, keys and seeing inside', async () => {
  const page = await openWith(browser, asFile('TandorCubeSolutions.txt', output), { hash: '#run=1&solution=3' });
  assert.equal(await text(page, '#message'), '');
  assert.match(await text(page, '#info'), /stopped before its summary/);
  assert.equal(await page.evaluate(() => location.hash), '#run=1&solution=3', 'the address opened with is the view');

  // The text picture is the file's own block, whole in the sidebar.
  const block = output.split('\n').slice(lineOf(3), lineOf(3) + 4).join('\n');
  assert.ok((await text(page, '#picture')).endsWith(block));
  assert.ok(await page.$eval('#picture', (e) => e.scrollWidth <= e.clientWidth && e.getBoundingClientRect().right <= e.parentElement.getBoundingClientRect().right));
  assert.equal(await page.locator('.piece-entry').count(), 13);
  assert.equal((await page.evaluate(() => window.tandorViewer.shownPieces())).length, 13);
  const whole = await picture(page);
  assert.ok(whole.drawn > whole.pixels / 20, `the cube is drawn (${whole.drawn} of ${whole.pixels} pixels)`);

  await page.fill('#step', '4');
  await page.dispatchEvent('#step', 'input');
  assert.equal((await page.evaluate(() => window.tandorViewer.shownPieces())).length, 4);
  assert.equal(await page.locator('.piece-entry:not(.unplaced)').count(), 4);
  const part = await picture(page);
  assert.ok(part.drawn > 0 && part.drawn < whole.drawn, 'four pieces cover less than thirteen');
  await page.fill('#step', '13');
  await page.dispatchEvent('#step', 'input');

  // In both modes, a face turned up shows its legend swatch's colour; real-puzzle swatches are
  // blue for the blue pieces and near white for the white ones.
  for (const mode of ['distinct', 'real']) {
    await page.check(`input[name=colours][value=${mode}]`);
    const faces = await topFacesAndSwatches(page);
    assert.ok(faces.length >= 3, `${mode}: some pieces show their top faces`);
    for (const { piece, cube, swatch } of faces) {
      assert.ok(cube.every((v, i) => Math.abs(v - swatch[i]) <= 8), `${mode}, piece ${piece}: cube ${cube} vs swatch ${swatch}`);
    }
  }
  const swatches = await page.$$eval('.piece-entry', (items) => items.map((item) => [item.textContent, [...item.querySelector('canvas').getContext('2d').getImageData(2, 2, 1, 1).data]]));
  for (const [name, [r, g, b]] of swatches) {
    if (/white '/.test(name)) assert.ok(Math.min(r, g, b) > 150 && Math.max(r, g, b) - Math.min(r, g, b) < 40, `${name}: ${r},${g},${b}`);
    else assert.ok(b > r + 40 && b >= g, `${name}: ${r},${g},${b}`);
  }

  // Keys on the focused cube: arrows turn, + zooms in, N and P step.
  await page.focus('#stage canvas');
  const camera = () => page.evaluate(() => window.tandorViewer.camera());
  const distance = (c) => Math.hypot(...c);
  const start = await camera();
  await page.keyboard.press('ArrowLeft');
  const turned = await camera();
  assert.notDeepEqual(turned, start);
  assert.ok(Math.abs(distance(turned) - distance(start)) < 1e-2, 'turning keeps the distance');
  await page.keyboard.press('+');
  assert.ok(distance(await camera()) < distance(start) - 0.5, '+ comes nearer');
  await page.keyboard.press('n');
  await page.keyboard.press('n');
  assert.equal(await page.evaluate(() => location.hash), '#run=1&solution=5&colours=real');
  await page.keyboard.press('p');
  assert.match(await text(page, '#picture'), /^Solution 4 /);
  await page.click('#reset-view');
  assert.deepEqual(await camera(), start);

  // Setting the address shows that view; a solution that is not there is named, the view stays.
  await page.evaluate(() => { location.hash = '#run=1&solution=7'; });
  await page.waitForFunction(() => /^Solution 7 /.test(document.querySelector('#picture').textContent));
  for (const [asked, said] of [['99999', /Run 1 has no solution 99999: its solutions go from 1 to 30/], ['0', /no solution 0/], ['-3', /^"-3" is not a solution number\.$/], ['abc', /^"abc" is not a solution number\.$/], ['', /^"" is not a solution number\.$/]]) {
    await page.fill('#solution', asked);
    await page.dispatchEvent('#solution', 'change');
    assert.match(await text(page, '#message'), said);
    assert.match(await text(page, '#picture'), /^Solution 7 /);
    assert.equal(await page.inputValue('#solution'), '7');
    assert.equal(await page.evaluate(() => location.hash), '#run=1&solution=7');
  }

  // A click on the cube singles a piece out; with "hide" only it is drawn; Esc shows all again.
  await page.selectOption('#others', 'hide');
  await page.click('#stage canvas');
  const focus = await page.evaluate(() => window.tandorViewer.state.focus);
  assert.ok(Number.isInteger(focus), 'a piece is singled out');
  assert.deepEqual(await page.evaluate(() => window.tandorViewer.shownPieces()), [focus + 1]);
  await page.keyboard.press('Escape');
  assert.equal((await page.evaluate(() => window.tandorViewer.shownPieces())).length, 13);
  await page.click('.piece-entry[data-piece="5"]');
  assert.deepEqual(await page.evaluate(() => window.tandorViewer.shownPieces()), [5]);
  await page.click('.piece-entry[data-piece="5"]');

  await page.fill('#explode', '100');
  await page.dispatchEvent('#explode', 'input');
  assert.notEqual((await picture(page)).hash, whole.hash);
  mkdirSync(ARTIFACTS, { recursive: true });
  await page.screenshot({ path: join(ARTIFACTS, 'viewer.png') });
  assert.deepEqual(page.errors, []);

  // A file that is not a solutions file, or empty, says so; what was shown stays.
  for (const [name, content, said] of [['notes.txt', 'shopping list\n', /notes.txt: This is not a Tandor Cube Solver solutions file/], ['empty.txt', '', /empty.txt: This file is empty/]]) {
    await load(page, asFile(name, content));
    assert.match(await text(page, '#message'), said);
    assert.match(await text(page, '#message'), /Still showing TandorCubeSolutions.txt/);
    assert.match(await text(page, '#picture'), /^Solution 7 /);
  }
  await page.close();
});

test('damaged files: each damage is named with its solution and line, and the rest can be viewed', async () => {
  const cut = output.slice(0, output.indexOf(`Solution 12\n`) + 40);
  const cases = [
    // [what, file text, solutions per run, first problem shown, solution asked for, what the page says]
    ['a run cut mid-line, then a whole run', cut + output, [11, 30], `Run 1, solution 12, line ${lineOf(12) + 1}: it is cut off in its picture line 1`, 12, /Solution 12 of run 1 is left out: it is cut off in its picture line 1/],
    ['a short line in solution 7', change(lineOf(7) + 2, (l) => l.slice(1)), [29], `Run 1, solution 7, line ${lineOf(7) + 2}: its picture line 2 is 42 characters long, not 43`, 7, /Solution 7 of run 1 is left out/],
    ['a label no piece has', change(lineOf(9) + 4, (l) => `${l.slice(0, 3)}F${l.slice(4)}`), [29], `Run 1, solution 9, line ${lineOf(9) + 4}: its picture line 4 has 'F' in column 4, which is no piece's label`, 9, /left out/],
    ['two cells of different pieces swapped', change(lineOf(5) + 1, swap), [29], `Run 1, solution 5, line ${lineOf(5)}: the cells labelled`, 5, /do not form/],
    ['a missing line', drop(lineOf(20) + 2), [29], `Run 1, solution 20, line ${lineOf(20) + 3}: only 3 of its 4 picture lines are there`, 20, /only 3 of its 4/],
  ];
  const page = await openWith(browser, null);
  for (const [what, content, counts, first, asked, said] of cases) {
    await page.evaluate(() => history.replaceState(null, '', location.pathname));
    await load(page, asFile('TandorCubeSolutions.txt', content));
    assert.equal(await text(page, '#message'), '', what);
    assert.deepEqual(await page.evaluate(() => window.tandorViewer.state.runs.map((r) => r.count)), counts, what);
    assert.match(await text(page, '#problems-summary'), /^1 problem in this file: 1 solution block damaged or missing, in run 1\./, what);
    assert.ok((await text(page, '#problems-first li')).startsWith(first), `${what}: ${await text(page, '#problems-first li')}`);
    // The last run's solution 1 is shown; the damaged one is refused by name.
    assert.equal(await page.evaluate(() => location.hash), `#run=${counts.length}&solution=1`, what);
    await page.evaluate((hash) => { location.hash = hash; }, `#run=1&solution=${asked}`);
    await page.waitForFunction(() => document.querySelector('#message').textContent);
    assert.match(await text(page, '#message'), said, what);
    assert.match(await text(page, '#picture'), /^Solution 1 /, what);
    // The solutions on either side are there.
    for (const n of [asked - 1, asked + 1].filter((k) => k >= 1 && k <= counts[0])) {
      await page.evaluate((hash) => { location.hash = hash; }, `#run=1&solution=${n}`);
      await page.waitForFunction((k) => document.querySelector('#picture').textContent.startsWith(`Solution ${k} `), n);
    }
  }
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('many problems stay in one sentence and a dialog; identical runs are named', async () => {
  let many = output;
  for (let n = 2; n <= 30; n += 2) many = many.replace(`Solution ${n}\n `, `Solution ${n}\n#`);
  const page = await openWith(browser, asFile('many.txt', many + output + output));
  assert.match(await text(page, '#problems-summary'), /^15 problems in this file: 15 solution blocks damaged or missing, in run 1\./);
  assert.equal(await page.locator('#problems-first li').count(), 3);
  assert.match(await text(page, '#file-info'), /Run 3 is identical to run 2\./);
  assert.match(await text(page, '#run'), /Run 3: 30 solutions \(stopped early, identical to run 2\)/);
  await page.click('#show-problems');
  const all = (await text(page, '#all-problems-list')).split('\n');
  assert.equal(all.length, 15);
  assert.match(all[14], /^Run 1, solution 30, line \d+: its picture line 1 has '#' in column 1/);
  const { height } = page.viewportSize();
  for (const control of ['#run', '#solution', '#explode']) {
    const box = await page.locator(control).boundingBox();
    assert.ok(box.y + box.height <= height, `${control} is still on the screen`);
  }
  await page.click('#close-problems');
  await page.close();
});

// ---- Finding, charts, printing and moving around ---------------------------------------------

// The solutions of the solver's output, each as its 64 labels in scan order.
const solutions = () => Array.from({ length: 30 }, (_, k) => labelsOf(lines.slice(lineOf(k + 1), lineOf(k + 1) + 4)));
const ROTATIONS = cubeRotations();
const agrees = (labels, query) => [...query].every((q, c) => q === '.' || labels[c] === q);
// The numbers of the solutions that agree with a query in some rotation, by trying all 24.
const completions = (query) => solutions().map((s, k) => (ROTATIONS.some((r) => agrees(turnLabels(s, r), query)) ? k + 1 : 0)).filter(Boolean);
const queryOf = (labels, keep) => labels.map((l) => (keep.includes(l) ? l : '.')).join('');
const goToHash = (page, hash) => page.evaluate((h) => { location.hash = h; }, hash);
const foundNumbers = (page) => page.$$eval('#found-list button', (bs) => bs.map((b) => Number(b.textContent)));

test('the finder: pieces taken from a solution and turned find it, as many as the 24 rotations tried one by one', async () => {
  const page = await openWith(browser, asFile('TandorCubeSolutions.txt', output), { hash: '#run=1&solution=1' });
  const seventh = solutions()[6];
  for (const [keep, r] of [[['1'], 5], [[seventh[0], seventh[63]], 13], [['4', '7', 'B'], 22]]) {
    const query = queryOf(turnLabels(seventh, ROTATIONS[r]), keep);
    const expected = completions(query);
    assert.ok(expected.includes(7));
    await goToHash(page, `#run=1&find=${query}`);
    await page.waitForFunction((q) => location.hash.includes(q) && !document.querySelector('#found').hidden, query);
    assert.match(await text(page, '#found-count'), new RegExp(`^(All )?${expected.length} solutions? of run 1`), `pieces ${keep}`);
    assert.deepEqual(await foundNumbers(page), expected, `pieces ${keep}`);
    // Opened, solution 7 is shown turned so that it holds the pieces where they were put.
    await page.click(`#found-list button:text-is("7")`);
    assert.ok(agrees([...await page.evaluate(() => window.tandorViewer.shownCells())], query), `pieces ${keep}`);
    assert.match(await page.evaluate(() => location.hash), new RegExp(`find=${query.replace(/\./g, '\\.')}&solution=7$`));
  }

  // Built by hand: the cells of one piece clicked, then a piece placed whole.
  await page.click('#find-clear');
  const pieceCells = [...seventh.keys()].filter((c) => seventh[c] === '7');
  await page.click('#pens button[data-piece="7"]');
  for (const c of pieceCells) await page.click(`#layers button[data-cell="${c}"]`);
  const clicked = queryOf(seventh, ['7']);
  assert.match(await page.evaluate(() => location.hash), new RegExp(`find=${clicked.replace(/\./g, '\\.')}`));
  assert.deepEqual(await foundNumbers(page), completions(clicked).slice(0, 150));
  await page.click('#pens button[data-piece="1"]');
  await page.check('input[name=placing][value=whole]');
  const anchor = [21, 22, 25, 26, 37, 38, 41, 42].find((c) => clicked[c] === '.');
  await page.hover(`#layers button[data-cell="${anchor}"]`);
  await page.click(`#layers button[data-cell="${anchor}"]`);
  assert.match(await text(page, '#put-in'), /1 \(whole\), 7 \(whole\)/);
  assert.equal(await page.isHidden('#find-why'), true);

  // What cannot be, what no solution completes, and a link that cannot be read are said so.
  // Pieces 1, 2 and 3 of solution 7 with another piece where it lies in some other solution, turned.
  const base = queryOf(seventh, ['1', '2', '3']);
  function* candidates() {
    for (const other of solutions().reverse()) {
      for (const r of ROTATIONS) {
        const turned = turnLabels(other, r);
        for (const l of '456789ABCD') {
          if ([...base].every((q, c) => q === '.' || turned[c] !== l)) yield [...base].map((q, c) => (turned[c] === l ? l : q)).join('');
        }
      }
    }
  }
  let none = null;
  for (const q of candidates()) {
    if (completions(q).length === 0) {
      none = q;
      break;
    }
  }
  assert.ok(none, 'some query is completed by no solution');
  for (const [query, said] of [
    ['7'.repeat(6) + '.'.repeat(58), /Piece 7 is marked on 6 cells, but it has only 5 cubes/],
    ['BBBB.B' + '.'.repeat(58), /The 5 cells marked B do not form the shape of piece B/],
  ]) {
    await goToHash(page, `#run=1&find=${query}`);
    await page.waitForFunction(() => !document.querySelector('#find-why').hidden);
    assert.match(await text(page, '#find-why'), said);
  }
  await goToHash(page, `#run=1&find=${none}`);
  await page.waitForFunction(() => /^No solution/.test(document.querySelector('#found-count').textContent));
  assert.match(await text(page, '#found-count'), /No solution of run 1 completes this.*stopped before its end/);
  await goToHash(page, '#run=1&find=12.');
  await page.waitForFunction(() => document.querySelector('#message').textContent);
  assert.match(await text(page, '#message'), /cannot be read: it has 3 characters, not 64/);
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The triangles of a binary STL, after checking that its size agrees with its count.
function triangles(buffer) {
  const n = buffer.readUInt32LE(80);
  assert.equal(buffer.length, 84 + 50 * n, 'size agrees with the triangle count');
  return Array.from({ length: n }, (_, t) => [0, 1, 2].map((k) => [0, 1, 2].map((a) => buffer.readFloatLE(84 + 50 * t + 12 + 12 * k + 4 * a))));
}

// Unit faces of a set of cubes that no other cube of the same piece covers.
const exposedFaces = (cells) => cells.reduce((sum, c) => sum + 6 - cells.filter((d) => Math.abs(d - c) === 1 && Math.floor(d / 4) === Math.floor(c / 4) || Math.abs(d - c) === 4 && Math.floor(d / 16) === Math.floor(c / 16) || Math.abs(d - c) === 16).length, 0);

test('each STL export downloads a well-formed file of the pieces at the chosen size', async () => {
  const unit = 12.5;
  const page = await openWith(browser, asFile('TandorCubeSolutions.txt', output), { hash: `#run=1&solution=3&print&unit=${unit}&gap=4` });
  const third = solutions()[2];
  const pieceFaces = PIECES.map((p) => exposedFaces([...third.keys()].filter((c) => third[c] === p.label)));
  for (const [button, faces, box] of [
    ['#stl-pieces', null, (lo, hi) => lo[2] === 0 && hi[2] === 2 * unit],
    ['#stl-assembled', pieceFaces, (lo, hi) => lo.every((v) => v === 0) && hi.every((v) => v === 4 * unit)],
    ['#stl-exploded', pieceFaces, (lo, hi) => hi.every((v, a) => v - lo[a] > 8 * unit)],
  ]) {
    assert.match(await text(page, button), /STL/);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
    const found = triangles(readFileSync(await download.path()));
    if (faces) assert.equal(found.length, 2 * faces.reduce((a, b) => a + b, 0), `${button}: two triangles per outer face of each piece`);
    let volume = 0;
    const lo = [Infinity, Infinity, Infinity];
    const hi = [-Infinity, -Infinity, -Infinity];
    for (const [a, b, c] of found) {
      volume += (a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0])) / 6;
      for (const p of [a, b, c]) p.forEach((v, i) => { lo[i] = Math.min(lo[i], v); hi[i] = Math.max(hi[i], v); });
    }
    assert.ok(Math.abs(volume - 64 * unit ** 3) < 1, `${button}: ${volume} mm³ is 64 cubes of ${unit} mm`);
    assert.ok(box(lo, hi), `${button}: from ${lo} to ${hi} mm`);
  }
  await page.fill('#unit', '0');
  await page.dispatchEvent('#unit', 'change');
  assert.match(await text(page, '#message'), /A cube edge of "0" mm cannot be printed/);
  assert.match(await page.evaluate(() => location.hash), /unit=12.5/);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the charts of where the pieces go are drawn from the run\'s counts', async () => {
  const page = await openWith(browser, asFile('TandorCubeSolutions.txt', output), { hash: '#run=1&pieces=7' });
  assert.deepEqual(await page.$$eval('#charts figure', (fs) => fs.map((f) => f.dataset.chart)), ['cover', 'touch-bars', 'kinds', 'touch-matrix']);
  for (const chart of ['cover', 'touch-bars', 'kinds', 'touch-matrix']) {
    const box = await page.locator(`[data-chart=${chart}] svg`).boundingBox();
    assert.ok(box && box.width > 200 && box.height > 150, `${chart} is drawn: ${JSON.stringify(box)}`);
  }
  // Piece 7's corners: the bar's parts are the shares of solutions by how many corners it covers.
  const all = solutions();
  const corner = (c) => [0, 3, 12, 15, 48, 51, 60, 63].includes(c);
  const parts = await page.$$eval('[data-chart=cover] rect[data-kind=corner]', (rs) => rs.map((r) => [Number(r.dataset.cubes), Number(r.dataset.value), r.getBBox().width]));
  for (const [n, share, width] of parts) {
    assert.ok(width > 0);
    assert.equal(share, all.filter((s) => s.filter((l, c) => l === '7' && corner(c)).length === n).length / 30);
  }
  assert.equal(parts.reduce((sum, [, share]) => sum + share, 0).toFixed(6), '1.000000');
  const touching = (a, b) => all.filter((s) => s.some((l, c) => l === a && [1, 4, 16].some((d) => (s[c + d] === b && (d !== 1 || c % 4 < 3) && (d !== 4 || c % 16 < 12)) || (c >= d && s[c - d] === b && (d !== 1 || c % 4 > 0) && (d !== 4 || c % 16 >= 4))))).length / 30;
  assert.equal(Number(await page.getAttribute('[data-chart=touch-matrix] rect[data-pair="7B"]', 'data-value')), touching('7', 'B'));
  assert.equal(await page.locator('[data-chart=touch-matrix] rect.square').count(), 13 * 12);
  await page.click('[data-chart=kinds] .piece-row[data-piece="11"] rect.bar >> nth=0');
  assert.equal(await page.evaluate(() => location.hash), '#run=1&pieces=B');
  assert.match(await text(page, '[data-chart=cover] figcaption'), /piece B/);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('moving around: next, previous and random, two solutions compared, and every view in the address', async () => {
  const page = await openWith(browser, asFile('TandorCubeSolutions.txt', output), { hash: '#run=1&solution=5&compare=9' });
  const [fifth, ninth] = [solutions()[4], solutions()[8]];
  const fewest = Math.min(...ROTATIONS.map((r) => turnLabels(ninth, r).filter((l, c) => l !== fifth[c]).length));
  assert.match(await text(page, '#compare-text'), new RegExp(`${fewest} of 64 cells differ`));
  assert.equal(await page.locator('#compare-pictures .differs').count(), 2 * fewest);
  const { drawn } = await picture(page);
  const halves = await page.evaluate(() => {
    const source = document.querySelector('#stage canvas');
    const context = Object.assign(document.createElement('canvas'), { width: source.width, height: source.height }).getContext('2d');
    context.drawImage(source, 0, 0);
    const count = (x) => context.getImageData(x, 0, source.width / 2, source.height).data.filter((v, i) => i % 4 === 0 && v !== 0xf4).length;
    return [count(0), count(source.width / 2)];
  });
  assert.ok(drawn > 0 && halves.every((n) => n > 1000), `both cubes are drawn: ${halves}`);
  await page.focus('#stage canvas');
  await page.keyboard.press('n');
  assert.equal(await page.evaluate(() => location.hash), '#run=1&solution=5&compare=10');
  await page.click('#compare-swap');
  assert.equal(await page.evaluate(() => location.hash), '#run=1&solution=10&compare=5');

  // Each tab's view has its own address, and opening it shows that view again.
  const hashes = {};
  for (const view of ['solution', 'find', 'compare', 'pieces', 'print']) {
    await page.click(`#tabs button[data-view=${view}]`);
    hashes[view] = await page.evaluate(() => location.hash);
  }
  assert.deepEqual(Object.values(hashes), ['#run=1&solution=10', `#run=1&find=${'.'.repeat(64)}`, '#run=1&solution=10&compare=5', '#run=1&pieces=1', '#run=1&solution=10&print&unit=10&gap=5']);
  for (const [view, hash] of Object.entries(hashes)) {
    const again = await openWith(browser, asFile('TandorCubeSolutions.txt', output), { hash });
    assert.equal(await again.getAttribute(`#tabs button[data-view=${view}]`, 'aria-selected'), 'true', hash);
    assert.equal(await again.evaluate(() => location.hash), hash);
    await again.close();
  }
  await page.click('#tabs button[data-view=solution]');
  await page.click('#next');
  await page.click('#previous');
  await page.click('#previous');
  assert.equal(await page.evaluate(() => location.hash), '#run=1&solution=9');
  const seen = new Set();
  for (let i = 0; i < 8; i += 1) {
    await page.click('#random');
    seen.add(await page.evaluate(() => location.hash));
  }
  assert.ok(seen.size >= 3 && [...seen].every((h) => /^#run=1&solution=\d+$/.test(h)), [...seen].join(' '));
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The solver's console report, as `tools/solve > run.log` keeps it, up to its 31st solution.
async function consoleOutput() {
  const dir = mkdtempSync(join(tmpdir(), 'tandor-viewer-'));
  const solver = spawn(SOLVER, [], { cwd: dir, stdio: ['ignore', 'pipe', 'ignore'] });
  let out = '';
  const enough = new Promise((done) => solver.stdout.on('data', (d) => { out += d; if (out.includes('Solution 31\n')) done(); }));
  await Promise.race([enough, new Promise((r) => setTimeout(r, 60000))]);
  solver.kill('SIGINT');
  await new Promise((done) => solver.on('exit', done));
  rmSync(dir, { recursive: true, force: true });
  return out;
}

test('on a phone without a mouse: a console report read as one, Tab to the legend and to Hint, hints of one matching solution, and parts that fit', async () => {
  const phone = await browser.newPage({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true });
  phone.errors = [];
  phone.on('pageerror', (e) => phone.errors.push(String(e)));
  await phone.goto(PAGE_URL);
  await load(phone, asFile('run.log', await consoleOutput()));
  assert.match(await text(phone, '#file-info'), /^run\.log: a console report, 1 run, \d+ solutions/);
  assert.ok(await phone.isHidden('#problems'), await text(phone, '#problems'));
  assert.ok((await phone.locator('#stage').boundingBox()).width >= 300);
  // Tab reaches the legend; Enter singles its piece out, and the address keeps it.
  const tabTo = async (matches) => {
    for (let i = 0; i < 160; i += 1) {
      await phone.keyboard.press('Tab');
      if (await phone.evaluate(matches)) return true;
    }
    return false;
  };
  assert.ok(await tabTo(() => document.activeElement.classList.contains('piece-entry')), 'Tab reaches the legend');
  const piece = await phone.evaluate(() => document.activeElement.dataset.piece);
  await phone.keyboard.press('Enter');
  assert.match(await phone.evaluate(() => location.hash), new RegExp(`&piece=${'123456789ABCD'[piece - 1]}`));
  // The address holds what is on screen: colours, spread, assembly step and the piece singled out.
  const shown = '#run=1&solution=3&exploded=40&step=7&piece=5&colours=real';
  await phone.evaluate((h) => { location.hash = h; }, shown);
  await phone.waitForFunction(() => /^Solution 3 /.test(document.querySelector('#picture').textContent));
  assert.deepEqual([await phone.inputValue('#explode'), await phone.inputValue('#step'), await phone.isChecked('input[value=real]')], ['40', '7', true]);
  assert.equal(await phone.evaluate(() => location.hash), shown);
  // Through the finder, by touch and keys, to three hints.
  await phone.tap('[data-view=find]');
  assert.ok(await tabTo(() => document.activeElement.id === 'find-hint'), 'Tab reaches Hint');
  assert.equal(await text(phone, '#find-hint'), 'Hint');
  for (let i = 0; i < 3; i += 1) await phone.keyboard.press('Enter');
  assert.match(await phone.evaluate(() => location.hash), /&hint=3(&|$)/);
  assert.equal((await text(phone, '#hint-text')).split('\n').length, 3);
  const hinted = await phone.$$eval('[data-cell]', (cells) => cells.sort((a, b) => a.dataset.cell - b.dataset.cell).map((c) => (c.getAttribute('aria-label').match(/hint: piece (.)$/) || [0, '.'])[1]).join(''));
  assert.equal(new Set(hinted.replace(/\./g, '')).size, 3);
  await phone.evaluate((q) => { location.hash = `#run=1&find=${q}`; }, hinted);
  await phone.waitForFunction(() => document.querySelector('#found-count').textContent);
  assert.match(await text(phone, '#found-count'), /^(All )?\d[\d,]* solutions? of run 1 completes?/, 'the hints belong to a matching solution');
  // The assembled cube with a clearance of 0.4 mm at 10 mm cubes measures 39.6 mm.
  await phone.evaluate(() => { location.hash = '#run=1&solution=3&print&unit=10&gap=4&clearance=0.4'; });
  await phone.waitForFunction(() => !document.querySelector('#print-panel').hidden);
  const [download] = await Promise.all([phone.waitForEvent('download'), phone.tap('#stl-assembled')]);
  const points = triangles(readFileSync(await download.path())).flat();
  const box = [0, 1, 2].map((a) => [Math.min(...points.map((p) => p[a])), Math.max(...points.map((p) => p[a]))].map((v) => Math.round(v * 1000) / 1000));
  assert.deepEqual(box, [[0, 39.6], [0, 39.6], [0, 39.6]]);
  assert.match(await text(phone, '#print-text'), /39\.6 mm each way.*for looking at, not for printing/);
  assert.deepEqual(phone.errors, []);
  await phone.close();
});
