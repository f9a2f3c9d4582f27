// What the page draws, checked without a browser: the exploded view's layout and the colours.
import test from 'node:test';
import assert from 'node:assert/strict';

import { parseSolutionsFile } from '../src/parse.js';
import { cellCoordinates } from '../src/cube.js';
import { explodedOffsets, PLACES, START_VIEW } from '../src/explode.js';
import { COLOUR_MODES } from '../src/colours.js';
import { PIECES } from '../src/pieces.js';
import { startUp, block, SOLUTION_1, SOLUTION_2 } from './fixtures.mjs';

test('fully exploded, every two pieces lie apart, and pieces move out along all three axes', () => {
  const { runs } = parseSolutionsFile(startUp() + block(1, SOLUTION_1) + block(2, SOLUTION_2));
  for (const { cells, number } of runs[0].solutions) {
    const offsets = explodedOffsets(cells);
    const boxes = offsets.map((offset) => [[Infinity, Infinity, Infinity], [-Infinity, -Infinity, -Infinity]]);
    cells.forEach((piece, index) => {
      const { x, y, z } = cellCoordinates(index);
      [x, y, z].forEach((v, a) => {
        boxes[piece][0][a] = Math.min(boxes[piece][0][a], v - 0.5 + offsets[piece][a]);
        boxes[piece][1][a] = Math.max(boxes[piece][1][a], v + 0.5 + offsets[piece][a]);
      });
    });
    for (let p = 0; p < 13; p += 1) {
      for (let q = p + 1; q < 13; q += 1) {
        const gap = Math.max(...[0, 1, 2].map((a) => Math.max(boxes[q][0][a] - boxes[p][1][a], boxes[p][0][a] - boxes[q][1][a])));
        assert.ok(gap >= 0.5, `solution ${number}: pieces ${p + 1} and ${q + 1} are ${gap} apart`);
      }
    }
    for (let a = 0; a < 3; a += 1) {
      assert.ok(offsets.some((o) => o[a] > 2) && offsets.some((o) => o[a] < -2), `solution ${number}, axis ${a}`);
    }
  }
});

test('seen from the starting view, no two exploded places line up', () => {
  const [vx, vy, vz] = START_VIEW.map((v) => v / Math.hypot(...START_VIEW));
  // A place in board axes (y into the picture, z up) in the scene's (z towards the viewer, y up).
  const across = ([x, y, z], [u, v, w]) => {
    const d = [x - u, z - w, v - y];
    return Math.hypot(d[1] * vz - d[2] * vy, d[2] * vx - d[0] * vz, d[0] * vy - d[1] * vx);
  };
  assert.ok(PLACES.length >= 13 && !PLACES.some(([x, y, z]) => !x && !y && !z));
  PLACES.forEach((p, i) => PLACES.slice(i + 1).forEach((q) => assert.ok(across(p, q) >= 0.84, `${p} and ${q}`)));
});

// CIE L*a*b* of an sRGB colour whose linear light is scaled by `light` (a face in shadow).
function lab(colour, light = 1) {
  const [r, g, b] = [1, 3, 5].map((i) => parseInt(colour.slice(i, i + 2), 16) / 255)
    .map((c) => light * (c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4));
  const f = (t) => (t > 216 / 24389 ? Math.cbrt(t) : (24389 / 27 * t + 16) / 116);
  const [fx, fy, fz] = [(0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047, 0.2126 * r + 0.7152 * g + 0.0722 * b,
    (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883].map(f);
  return [116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)];
}
const difference = (a, b) => Math.hypot(...a.map((v, i) => v - b[i]));

test('pieces can be told apart: distinct colours even in shadow, real-puzzle shades side by side', () => {
  const lights = [1, 0.8, 0.65];
  for (const [mode, lightsCompared, least] of [['distinct', lights, 30], ['real', [1], 12]]) {
    const { colours } = COLOUR_MODES[mode];
    assert.equal(new Set(colours).size, 13);
    for (let p = 0; p < 13; p += 1) {
      for (let q = p + 1; q < 13; q += 1) {
        const closest = Math.min(...lightsCompared.flatMap((l) => lightsCompared.map((m) => difference(lab(colours[p], l), lab(colours[q], m)))));
        assert.ok(closest >= least, `${mode}: pieces ${p + 1} and ${q + 1} differ by ${closest.toFixed(1)}`);
      }
    }
  }
  // Real puzzle: blue pieces blue (hue between 200 and 290 degrees), white pieces nearly grey.
  COLOUR_MODES.real.colours.forEach((colour, p) => {
    const [L, a, b] = lab(colour);
    const hue = (Math.atan2(b, a) * 180 / Math.PI + 360) % 360;
    if (PIECES[p].colour === 'blue') assert.ok(hue > 200 && hue < 310 && Math.hypot(a, b) > 25, `piece ${p + 1}: ${colour}`);
    else assert.ok(L > 70 && Math.hypot(a, b) < 15, `piece ${p + 1}: ${colour}`);
  });
});
