// The Solution view: one solution in 3D, exploded or built up piece by piece in the order of
// assembly, with its legend (a piece clicked is singled out) and its text picture. Address:
// &solution=N, and &turn=T when it is shown turned.
import { renderCells } from '../parse.js';
import { labelRanges, ALL_LABELS } from '../puzzle.js';
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
    const { pieces } = state.run.puzzle;
    $('legend').replaceChildren(...solution.order.map((piece, k) => {
      const item = document.createElement('li');
      item.className = 'piece-entry' + (k < placed() ? '' : ' unplaced');
      item.dataset.piece = String(piece + 1);
      item.title = 'Click to single out this piece; click again to see all';
      const swatch = faceCanvas(state.run.puzzle, state.mode, piece, 22);
      swatch.className = 'swatch';
      const { name, colour } = pieces[piece];
      // In distinct colours the swatch is not the piece's own colour, so the name says that apart.
      const shown = state.mode === 'real' || !colour || !name.startsWith(`${colour} `) ? name : `${name.slice(colour.length + 1)} (${colour} in the puzzle)`;
      item.append(swatch, `${k + 1}. Piece ${label(piece)}: ${shown}`);
      // A button to the keyboard too: Tab reaches it, Enter or Space singles the piece out.
      item.tabIndex = 0;
      item.setAttribute('role', 'button');
      item.setAttribute('aria-pressed', String(state.focus === piece));
      item.addEventListener('click', () => setFocus(state, piece));
      item.addEventListener('keydown', (e) => {
        if (e.key !== 'Enter' && e.key !== ' ') return;
        e.preventDefault();
        setFocus(state, piece);
      });
      return item;
    }));
  }

  function showPicture() {
    const { solution, turn } = state;
    $('picture').replaceChildren();
    $('turn-note').hidden = !solution || !turn;
    if (!solution) return;
    const { puzzle } = state.run;
    const [X, , Z] = puzzle.size;
    const axes = document.createElement('span');
    axes.className = 'axes';
    // Each layer's title over its columns: '  z = 4      z = 3 ...' for the cube.
    axes.textContent = `${Array.from({ length: Z }, (_, i) => `  z = ${Z - i}`.padEnd(2 * X + 3)).join('').trimEnd()}\n`;
    const lines = turn ? renderCells(shownCells(state), puzzle) : solution.lines;
    const title = turn ? `Solution ${solution.number}, turned   (file line ${solution.line} has it unturned)` : `Solution ${solution.number}   (file line ${solution.line})`;
    $('picture').append(`${title}\n`, axes, lines.join('\n'));
    const turns = puzzle.builtin ? "the cube's 24 rotations" : `the ${puzzle.turns.length} turns that take the target onto itself`;
    $('turn-note').textContent = turn ? `Shown turned, as it was found to match (one of ${turns}).` : '';
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
  $('explode').addEventListener('input', () => { drawStage(state); writeAddress(state); });
  $('step').addEventListener('input', () => { drawStage(state); writeAddress(state); });
  state.hideOthers = $('others').value === 'hide';
  $('others').addEventListener('change', () => {
    state.hideOthers = $('others').value === 'hide';
    applyFocus(state);
  });
  $('reset-view').addEventListener('click', () => resetCamera(state));
  // A run of another puzzle: the assembly slider goes to all of its pieces.
  state.signals.runShown.add(() => {
    const n = String(state.run.puzzle.pieces.length);
    if ($('step').max !== n) Object.assign($('step'), { max: n, value: n });
  });
  state.signals.focused.add((focus) => {
    for (const item of document.querySelectorAll('.piece-entry')) {
      item.classList.toggle('focused', Number(item.dataset.piece) - 1 === focus);
      item.setAttribute('aria-pressed', String(Number(item.dataset.piece) - 1 === focus));
    }
    if (state.view === 'solution') writeAddress(state);
    $('focus-text').textContent = focus !== null && focus !== undefined ? `Piece ${ALL_LABELS[focus]} singled out: click it again or press Esc to see all.` : '';
  });

  return {
    name: 'solution',
    showsSolution: true,
    picks: true,
    address: {
      // What is on screen besides: &exploded=P (how far apart, 1 to 100; &exploded alone is 100),
      // &step=S (the first S pieces of the assembly, 0 to 12) and &piece=L (the piece singled out).
      write() {
        const keys = solutionKeys(state);
        const spread = Number($('explode').value);
        if (spread > 0) keys.push(spread === 100 ? 'exploded' : `exploded=${spread}`);
        if (placed() < state.run.puzzle.pieces.length) keys.push(`step=${placed()}`);
        if (state.focus !== null && state.focus !== undefined) keys.push(`piece=${label(state.focus)}`);
        return keys;
      },
      go(wanted, run) {
        const k = askedSolution(wanted, run);
        if (k < 0) return false;
        const { params } = wanted;
        const spread = params.has('exploded') ? (params.get('exploded') === '' ? 100 : Number(params.get('exploded'))) : 0;
        const { puzzle } = run;
        const n = puzzle.pieces.length;
        const pieces = params.has('step') ? Number(params.get('step')) : n;
        const written = params.has('piece') ? params.get('piece') : '';
        const piece = written.length === 1 ? puzzle.labels.indexOf(n <= 35 ? written.toUpperCase() : written) : -1;
        if (!(spread >= 0 && spread <= 100)) say(`"exploded=${params.get('exploded')}" is not a spread from 0 to 100.`);
        else if (!(Number.isInteger(pieces) && pieces >= 0 && pieces <= n)) say(`"step=${params.get('step')}" is not a number of pieces from 0 to ${n}.`);
        else if (params.has('piece') && piece < 0) say(`"piece=${written}" is not a piece's label, ${labelRanges(puzzle).join(' or ')}.`);
        if (!(spread >= 0 && spread <= 100) || !(Number.isInteger(pieces) && pieces >= 0 && pieces <= n) || (params.has('piece') && piece < 0)) return false;
        $('explode').value = String(spread);
        $('step').max = String(n);
        $('step').value = String(pieces);
        showAsked(state, 'solution', run, k, wanted.turn);
        state.focus = piece >= 0 ? piece : null;
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
      const { puzzle } = state.run;
      showBodies(state, 0, bodiesOf(shownCells(state), { order: solution.order.slice(0, pieces), spread }, puzzle));
      const names = solution.order.slice(0, pieces).map(label).join(' ');
      $('step-text').textContent = pieces === 0 ? 'no piece yet' : `${pieces} of ${puzzle.pieces.length} (${names})`;
      showLegend();
    },
    step: (by) => stepSolution(state, by),
    random: () => randomSolution(state),
  };
}
