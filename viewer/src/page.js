// Small helpers for the page: finding its parts, the message line, links, a piece's face and
// rows of pieces to choose from.
import { PIECES } from './pieces.js';
import { COLOUR_MODES, drawFace } from './colours.js';

export const $ = (id) => document.getElementById(id);

// The message line under the file picker: what could not be done, and why ('' clears it).
export function say(text) {
  $('message').textContent = text;
}

// A link that does something on the page instead of going anywhere.
export function link(text, action) {
  const a = document.createElement('a');
  a.href = '#';
  a.textContent = text;
  a.addEventListener('click', (e) => {
    e.preventDefault();
    action();
  });
  return a;
}

// One face of a piece in a colour mode, `size` pixels square, as the cube, the legend and the
// pens all draw it.
export function faceCanvas(mode, piece, size) {
  const face = document.createElement('canvas');
  face.width = size;
  face.height = size;
  drawFace(face.getContext('2d'), size, COLOUR_MODES[mode].colours[piece], PIECES[piece].label);
  return face;
}

// Fills `box` with a button for each choice (a piece, or `none` for the eraser), each showing the
// piece's face in a colour mode, and marks the one chosen.
export function makePens(box, mode, choices, chosen, onChoose, none = null) {
  box.replaceChildren(...choices.map((p) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.setAttribute('role', 'radio');
    button.dataset.piece = p === none ? '' : String(p + 1);
    if (p === none) {
      button.className = 'eraser';
      button.textContent = 'Rub out';
      button.title = 'Click cells to empty them';
    } else {
      button.append(faceCanvas(mode, p, 48));
      button.title = `Piece ${PIECES[p].label}: ${PIECES[p].name}`;
    }
    button.setAttribute('aria-checked', String(p === chosen));
    button.addEventListener('click', () => onChoose(p));
    return button;
  }));
}
