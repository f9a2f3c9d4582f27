// The Solution view: one solution in 3D, exploded or built up piece by piece in the order of
// assembly, with its legend (a piece clicked is singled out) and its text picture. Address:
// &solution=N, and &turn=T when it is shown turned.
import { PIECES } from '../pieces.js';
import { renderCells } from '../parse.js';
import { label } from '../words.js';
import { readSolutionNumber } from '../messages.js';
import { $, say, faceCanvas } from '../page.js';
import { refresh, setSolution, shownCells, placeOf, show, step, random, stepSolution, randomSolution } from '../state.js';
import { writeAddress, solutionKeys, askedSolution, showAsked } from '../address.js';
import { bodiesOf, showBodies, drawStage, applyFocus, setFocus, resetCamera } from '../stage.js';

export function solutionView(state) {
  const placed = () => Number($('step').value);

  // The legend: every piece in the order placed, with a swatch drawn exactly like its faces.
  function showLegend() {
    const { solution } = state;
    $('legend').replaceChildren(...solution.order.map((piece, k) => {
      const item = document.createElement('li');
      item.className = 'piece-entry' + (k < placed() ? '' : ' unplaced');
      item.dataset.piece = String(piece + 1);
      item.title = 'Click to single out this piece; click again to see all';
      const swatch = faceCanvas(state.mode, piece, 22);
      swatch.className = 'swatch';
      const { name, colour } = PIECES[piece];
      // In distinct colours the swatch is not the piece's own colour, so the name says that apart.
      const shown = state.mode === 'real' || !name.startsWith(`${colour} `) ? name : `${name.slice(colour.length + 1)} (${colour} in the puzzle)`;
      item.append(swatch, `${k + 1}. Piece ${label(piece)}: ${shown}`);
      item.addEventListener('click', () => setFocus(state, piece));
      return item;
    }));
  }

  function showPicture() {
    const { solution, turn } = state;
    $('picture').replaceChildren();
    $('turn-note').hidden = !solution || !turn;
    if (!solution) return;
    const axes = document.createElement('span');
    axes.className = 'axes';
    axes.textContent = '  z = 4      z = 3      z = 2      z = 1\n';
    const lines = turn ? renderCells(shownCells(state)) : solution.lines;
    const title = turn ? `Solution ${solution.number}, turned   (file line ${solution.line} has it unturned)` : `Solution ${solution.number}   (file line ${solution.line})`;
    $('picture').append(`${title}\n`, axes, lines.join('\n'));
    $('turn-note').textContent = turn ? `Shown turned, as it was found to match (one of the cube's 24 rotations).` : '';
  }

  // A number typed in: that solution of the run, or a message and the one shown kept.
  function goTo(typed) {
    const { run } = state;
    const read = readSolutionNumber(typed);
    const k = placeOf(run, read.error ? typed : read.number);
    if (k < 0) {
      writeAddress(state);
      $('solution').value = state.solution ? String(state.solution.number) : '';
      return;
    }
    say('');
    show(state, run, k);
  }

  $('solution').addEventListener('change', (e) => goTo(e.target.value));
  $('previous').addEventListener('click', () => step(state, -1));
  $('next').addEventListener('click', () => step(state, 1));
  $('random').addEventListener('click', () => random(state));
  $('explode').addEventListener('input', () => drawStage(state));
  $('step').addEventListener('input', () => drawStage(state));
  state.hideOthers = $('others').value === 'hide';
  $('others').addEventListener('change', () => {
    state.hideOthers = $('others').value === 'hide';
    applyFocus(state);
  });
  $('reset-view').addEventListener('click', () => resetCamera(state));
  state.signals.focused.add((focus) => {
    for (const item of document.querySelectorAll('.piece-entry')) {
      item.classList.toggle('focused', Number(item.dataset.piece) - 1 === focus);
    }
    const piece = PIECES[focus];
    $('focus-text').textContent = piece ? `Piece ${piece.label} singled out: click it again or press Esc to see all.` : '';
  });

  return {
    name: 'solution',
    showsSolution: true,
    picks: true,
    address: {
      write: () => solutionKeys(state),
      go(wanted, run) {
        const k = askedSolution(wanted, run);
        if (k < 0) return false;
        showAsked(state, 'solution', run, k, wanted.turn);
        refresh(state);
        return true;
      },
    },
    enter() {
      if (!state.solution && state.run.count) setSolution(state, state.run, 0);
    },
    panel() {
      $('solution').value = state.solution ? String(state.solution.number) : '';
      showPicture();
    },
    stage() {
      const { solution } = state;
      if (!solution) return;
      const pieces = placed();
      const spread = Number($('explode').value) / 100;
      showBodies(state, 0, bodiesOf(shownCells(state), { order: solution.order.slice(0, pieces), spread }));
      const names = solution.order.slice(0, pieces).map(label).join(' ');
      $('step-text').textContent = pieces === 0 ? 'no piece yet' : `${pieces} of 13 (${names})`;
      showLegend();
    },
    step: (by) => stepSolution(state, by),
    random: () => randomSolution(state),
  };
}
