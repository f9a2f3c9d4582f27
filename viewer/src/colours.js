// The pieces' colours in the two modes, and the face (colour and label) that the cube and the
// legend both draw, so that a swatch is exactly what the cube shows.
import { PIECES } from './pieces.js';

// Shades for the blue and the white pieces of the real puzzle, given out in catalogue order to
// the pieces of each colour: three hues of blue at three lightnesses, four whites and greys.
const BLUES = ['#133986', '#86ccea', '#4e47d1', '#20a6df', '#a4a0ee', '#0f658a', '#7ea5f1', '#29257e', '#2060df'];
const WHITES = ['#ffffff', '#efe6cf', '#d5dbe3', '#c2b9a6'];

function realColours() {
  const next = { blue: 0, white: 0 };
  return PIECES.map((piece) => (piece.colour === 'blue' ? BLUES[next.blue++] : WHITES[next.white++]));
}

// Thirteen hues chosen to stay apart (at least 33 in CIE L*a*b*) even where one face is in
// shadow and the other in full light.
const DISTINCT = ['#e6194b', '#ffe119', '#1d56c9', '#51ec84', '#f58231', '#b851ec', '#1dc9c9',
  '#c91d8f', '#8fc91d', '#eea0a0', '#1d8fc9', '#d4eea0', '#eea0ee'];

// Colours in CIE L*a*b*, for telling them apart.
function lab(hex) {
  const [r, g, b] = [1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16) / 255).map((v) => (v > 0.04045 ? ((v + 0.055) / 1.055) ** 2.4 : v / 12.92));
  const f = (t) => (t > 0.008856 ? Math.cbrt(t) : 7.787 * t + 16 / 116);
  const [x, y, z] = [(0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.9505, 0.2126 * r + 0.7152 * g + 0.0722 * b, (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.089];
  return [116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))];
}

// For a puzzle file's pieces: the thirteen distinct hues, then as many more as it has pieces (up
// to 32), each the colour of a grid of hues and lightnesses farthest from all chosen before it
// (not too dark or too pale, so that a label stays legible on it, on a phone too).
const PALETTE = (() => {
  const chosen = [...DISTINCT];
  const candidates = [];
  for (let h = 0; h < 360; h += 5) {
    for (const [s, l] of [[0.9, 0.45], [0.7, 0.6], [0.85, 0.7], [0.6, 0.35], [0.5, 0.8]]) {
      const k = (n) => (n + h / 30) % 12;
      const c = (n) => l - s * Math.min(l, 1 - l) * Math.max(-1, Math.min(k(n) - 3, 9 - k(n), 1));
      candidates.push(`#${[0, 8, 4].map((n) => Math.round(c(n) * 255).toString(16).padStart(2, '0')).join('')}`);
    }
  }
  const distance = (a, b) => Math.hypot(...lab(a).map((v, i) => v - lab(b)[i]));
  while (chosen.length < 32) {
    let best = null;
    let far = -1;
    for (const c of candidates) {
      const d = Math.min(...chosen.map((o) => distance(c, o)));
      if (d > far) [best, far] = [c, d];
    }
    chosen.push(best);
  }
  return chosen;
})();

// A puzzle's colours in a colour mode: the built-in puzzle's as above, a puzzle file's the
// palette (it has no real colours).
export function coloursOf(puzzle, mode) {
  return puzzle.builtin ? COLOUR_MODES[mode].colours : PALETTE.slice(0, puzzle.pieces.length);
}

export const COLOUR_MODES = {
  distinct: { title: 'distinct colours', colours: DISTINCT },
  real: { title: 'real puzzle', colours: realColours() },
};

// Dark ink on light colours, white on dark ones.
export function labelInk(colour) {
  const [r, g, b] = [1, 3, 5].map((i) => parseInt(colour.slice(i, i + 2), 16) / 255);
  return 0.299 * r + 0.587 * g + 0.114 * b > 0.55 ? '#111111' : '#ffffff';
}

// Draws one face of a piece's cube, `size` pixels square: its colour and its label.
export function drawFace(context, size, colour, label) {
  context.fillStyle = colour;
  context.fillRect(0, 0, size, size);
  context.fillStyle = labelInk(colour);
  context.font = `bold ${Math.round(size * 0.56)}px sans-serif`;
  context.textAlign = 'center';
  context.textBaseline = 'middle';
  context.fillText(label, size / 2, size * 0.54);
}
