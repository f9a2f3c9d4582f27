// The 3D stage around the views: the bodies a view shows, the piece singled out, the captions
// over the pictures, the overlay a view can draw on instead (the charts) and picking a piece on
// the cube. Each time the page is brought up to date, the stage is cleared and the view shown
// draws its part through `stage()`, in `pictures()` pictures side by side (one when it says
// nothing); a view with `picks` lets a click on the cube single out a piece.
import * as scene from './scene.js';
import { BUILTIN } from './puzzle.js';
import { explodedOffsets } from './explode.js';
import { $ } from './page.js';
import { currentView, refresh } from './state.js';

// The bodies of a cube's contents (EMPTY cells left out), pieces in the given order, moved out
// `spread` of the way to their exploded places, with the cells `faded` (if given) drawn faded.
// Cubes are placed about the centre of the puzzle's box.
export function bodiesOf(cells, { order = null, spread = 0, faded = null } = {}, puzzle = BUILTIN) {
  const { pieces, coords, size } = puzzle;
  const offsets = spread ? explodedOffsets(cells, pieces.length, puzzle) : null;
  const bodies = pieces.map((_, piece) => ({
    piece, cubes: [], faded: faded ? [] : null, at: offsets ? offsets[piece].map((v) => v * spread) : [0, 0, 0],
  }));
  cells.forEach((piece, index) => {
    if (piece < 0) return;
    bodies[piece].cubes.push(coords[index].map((v, a) => v - (size[a] - 1) / 2));
    if (faded) bodies[piece].faded.push(faded[index]);
  });
  return (order || pieces.map((_, p) => p)).map((p) => bodies[p]).filter((b) => b.cubes.length);
}

// Picture i (0, or 1 on the right) shows these bodies in the colour mode of the page.
export function showBodies(state, i, bodies, options) {
  scene.showBodies(i, bodies, state.run.puzzle, state.mode, options);
}

// Captions over the left and the right picture (null: none on the right).
export function captions(left, right = null) {
  $('captions').hidden = false;
  $('caption-left').textContent = left;
  $('caption-right').hidden = right === null;
  if (right !== null) $('caption-right').textContent = right;
}

// The overlay that covers the pictures, shown, for a view to draw on.
export function overlay() {
  const sheet = $('charts');
  sheet.hidden = false;
  return sheet;
}

export function drawStage(state) {
  const view = currentView(state);
  $('charts').hidden = true;
  $('captions').hidden = true;
  $('caption-right').hidden = true;
  scene.setViews(view.pictures ? view.pictures() : 1);
  scene.models[0].clear();
  view.stage?.();
  applyFocus(state);
}

// A singled-out piece (where the view picks) keeps its looks; the others fade or hide.
export function applyFocus(state) {
  const focus = currentView(state).picks ? state.focus : null;
  if (state.run) scene.setFocus(state.run.puzzle, state.mode, focus, state.hideOthers);
  state.signals.focused.dispatch(focus);
  scene.draw();
}

// Singles a piece out, or (given the one singled out, or null) shows all.
export function setFocus(state, piece) {
  state.focus = piece === state.focus ? null : piece;
  applyFocus(state);
}

export function resetCamera(state) {
  scene.controls.reset();
  state.focus = null;
  applyFocus(state);
}

// The canvas, the colour modes and the picking of pieces, wired to the state.
export function mountStage(state) {
  const { canvas } = scene;
  canvas.setAttribute('aria-label', 'The cube. Arrow keys turn it, + and - zoom, N and P step through the solutions.');
  for (const radio of document.querySelectorAll('input[name=colours]')) {
    radio.addEventListener('change', () => {
      state.mode = radio.value;
      refresh(state);
    });
  }
  // A click (not a drag) on a piece singles it out; on the singled-out piece or on nothing, shows all.
  let pressedAt = null;
  canvas.addEventListener('pointerdown', (e) => {
    pressedAt = [e.clientX, e.clientY];
    canvas.focus();
  });
  canvas.addEventListener('pointerup', (e) => {
    if (!currentView(state).picks || !pressedAt || Math.hypot(e.clientX - pressedAt[0], e.clientY - pressedAt[1]) > 4) return;
    const rect = canvas.getBoundingClientRect();
    const hit = scene.pieceAt(e.clientX - rect.left, e.clientY - rect.top, state.focus);
    state.focus = hit !== null && hit !== state.focus ? hit : null;
    applyFocus(state);
  });
  window.addEventListener('resize', scene.resize);
  // The stage changes size with the view too (on a phone, Find and Solution keep it smaller).
  if (typeof ResizeObserver === 'function') new ResizeObserver(() => scene.resize()).observe(scene.stage);
  scene.resize();
}
