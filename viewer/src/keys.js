// The keys: on the focused cube, arrows turn it, + and - zoom, N and P step through what the view
// shown steps through, R picks a solution at random, Esc shows every piece; on the tabs, the left
// and right arrows go to the view before or after.
import { canvas, controls, draw } from './scene.js';
import { $ } from './page.js';
import { setView, step, random } from './state.js';
import { setFocus } from './stage.js';

const TURN = Math.PI / 12;
// (OrbitControls "dolly out" brings the camera nearer.)
const ZOOM = 1.15;

export function startKeys(state) {
  canvas.addEventListener('keydown', (e) => {
    const actions = {
      ArrowLeft: () => controls.rotateLeft(-TURN),
      ArrowRight: () => controls.rotateLeft(TURN),
      ArrowUp: () => controls.rotateUp(-TURN),
      ArrowDown: () => controls.rotateUp(TURN),
      '+': () => controls.dollyOut(ZOOM),
      '=': () => controls.dollyOut(ZOOM),
      '-': () => controls.dollyIn(ZOOM),
      n: () => step(state, 1),
      p: () => step(state, -1),
      r: () => random(state),
      Escape: () => setFocus(state, null),
    };
    const action = actions[e.key.length === 1 ? e.key.toLowerCase() : e.key];
    if (!action || e.ctrlKey || e.metaKey || e.altKey) return;
    e.preventDefault();
    action();
    controls.update();
    draw();
  });
  $('tabs').addEventListener('keydown', (e) => {
    const by = { ArrowLeft: -1, ArrowRight: 1 }[e.key];
    if (!by) return;
    const { order } = state;
    const next = order[(order.indexOf(state.view) + by + order.length) % order.length];
    setView(state, next);
    document.querySelector(`#tabs button[data-view=${next}]`).focus();
  });
}
