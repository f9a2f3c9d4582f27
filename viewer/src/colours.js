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
