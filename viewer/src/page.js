// Small helpers for the page: finding its parts, the message line, links, a piece's face and
// rows of pieces to choose from.
import { coloursOf, drawFace } from './colours.js';

export const $ = (id) => document.getElementById(id);

// The message line, a live region that stays on screen: what could not be done, and why ('' clears it).
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
export function faceCanvas(puzzle, mode, piece, size) {
  const face = document.createElement('canvas');
  face.width = size;
  face.height = size;
  drawFace(face.getContext('2d'), size, coloursOf(puzzle, mode)[piece], puzzle.pieces[piece].label);
  return face;
}

// Makes a row of choices one Tab stop: the one chosen (or `current()`) takes Tab, the arrow keys
// move among them (and choose, when `choose` is given), Home and End go to the first and last.
export function oneTabStop(box, buttons, at, choose = null) {
  buttons.forEach((b, i) => { b.tabIndex = i === at ? 0 : -1; });
  box.onkeydown = (e) => {
    const i = buttons.indexOf(document.activeElement);
    const by = { ArrowLeft: -1, ArrowUp: -1, ArrowRight: 1, ArrowDown: 1 }[e.key];
    if (i < 0 || (!by && e.key !== 'Home' && e.key !== 'End')) return;
    e.preventDefault();
    const next = e.key === 'Home' ? 0 : e.key === 'End' ? buttons.length - 1 : (i + by + buttons.length) % buttons.length;
    buttons.forEach((b, k) => { b.tabIndex = k === next ? 0 : -1; });
    buttons[next].focus();
    if (choose) choose(next);
  };
}

// Fills `box` with a button for each choice (a piece, or `none` for the eraser), each showing the
// piece's face in a colour mode, and marks the one chosen.
export function makePens(box, puzzle, mode, choices, chosen, onChoose, none = null) {
  const hadFocus = box.contains(document.activeElement);
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
      button.append(faceCanvas(puzzle, mode, p, 48));
      button.title = `Piece ${puzzle.pieces[p].label}: ${puzzle.pieces[p].name}`;
      button.setAttribute('aria-label', button.title);
    }
    button.setAttribute('aria-checked', String(p === chosen));
    button.addEventListener('click', () => onChoose(p));
    return button;
  }));
  // One Tab stop, arrows inside, as a group of radio buttons is; the focus stays on the choice.
  const buttons = [...box.children];
  const at = Math.max(choices.indexOf(chosen), 0);
  if (hadFocus) buttons[at].focus();
  oneTabStop(box, buttons, at, (i) => onChoose(choices[i]));
}
