// The viewer page: reads a solutions file in a worker and shows a run in five views, each with
// its own address (#run=R&...):
//
//   Solution  &solution=N[&turn=T]      one solution in 3D: colours, labels, exploded view, the
//                                       order of assembly, a piece singled out
//   Find      &find=Q[&solution=N]      the solutions that complete a partial assembly, in any
//                                       rotation; N is the one opened, turned to match
//   Compare   &solution=A&compare=B     two solutions side by side, B turned to agree best
//   Pieces    &pieces=L                 charts of where the pieces go over the whole run
//   Print     &solution=N&print&unit=U&gap=G   STL files of the pieces and of a solution
import { readSolutionsFile, solutionAt, findSolution, renderCells, LABELS } from './parse.js';
import { PIECES } from './pieces.js';
import { ORIENTATIONS } from './shapes.js';
import { COLOUR_MODES, labelInk } from './colours.js';
import { explodedOffsets } from './explode.js';
import { CELLS, TURNS, turnCells, cellIndex, cellCoordinates } from './cube.js';
import { EMPTY, readQuery, writeQuery, whyImpossible, pieceSetsOfRun, findCompletions, placement } from './find.js';
import { label, count, numberList, words } from './words.js';
import { pieceStats } from './stats.js';
import { coverChart, kindsChart, touchMatrix, touchBars } from './charts.js';
import { flatLayout, solutionBodies, stlOf } from './print.js';
import * as scene from './scene.js';

const FIRST_PROBLEMS = 3;
const TURN = Math.PI / 12;
// (OrbitControls "dolly out" brings the camera nearer.)
const ZOOM = 1.15;
const LISTED = 150;
const VIEWS = ['solution', 'find', 'compare', 'pieces', 'print'];

const $ = (id) => document.getElementById(id);
const state = {
  file: null, runs: [], problems: [], run: null, index: -1, solution: null, focus: null, mode: 'distinct',
  timing: {},
  view: 'solution',
  // Solution view: the rotation of the whole cube the solution is shown in (0: as in the file).
  turn: 0,
  // Finder: the partial assembly, what came before it (for Undo), the piece being put in (or
  // EMPTY to rub out), how, in which orientation of each piece; the solutions found, the one
  // opened and how many are listed.
  query: new Int8Array(CELLS).fill(EMPTY), undo: [], pen: 0, placing: 'cells', orientations: PIECES.map(() => 0),
  pointed: -1, found: null, opened: -1, listed: LISTED,
  // Compare: the second solution (its place in the run, or -1) and the turn that agrees best.
  other: -1, otherTurn: 0,
  // Pieces: the piece the charts are about. Print: the cube's edge and the gap, in mm.
  chosen: 0, unit: 10, gap: 5,
};
const { canvas, controls } = scene;
canvas.setAttribute('aria-label', 'The cube. Arrow keys turn it, + and - zoom, N and P step through the solutions.');

function say(text) {
  $('message').textContent = text;
}

// ---- What a view shows in 3D --------------------------------------------------------------

// The bodies of a cube's contents (EMPTY cells left out), pieces in the given order, moved out
// `spread` of the way to their exploded places, with the cells `faded` (if given) drawn faded.
function bodiesOf(cells, { order = null, spread = 0, faded = null } = {}) {
  const offsets = spread ? explodedOffsets(cells) : null;
  const bodies = PIECES.map((_, piece) => ({
    piece, cubes: [], faded: faded ? [] : null, at: offsets ? offsets[piece].map((v) => v * spread) : [0, 0, 0],
  }));
  cells.forEach((piece, index) => {
    if (piece < 0) return;
    const { x, y, z } = cellCoordinates(index);
    bodies[piece].cubes.push([x - 2.5, y - 2.5, z - 2.5]);
    if (faded) bodies[piece].faded.push(faded[index]);
  });
  return (order || PIECES.map((_, p) => p)).map((p) => bodies[p]).filter((b) => b.cubes.length);
}

// The solution of the Solution and Print views, turned as it is shown.
const shownCells = () => (state.turn ? turnCells(state.solution.cells, state.turn) : state.solution.cells);
const cellsAt = (run, k) => run.cells.subarray(k * CELLS, (k + 1) * CELLS);

function showStage() {
  const { view, solution } = state;
  $('charts').hidden = view !== 'pieces';
  $('captions').hidden = view !== 'compare' && view !== 'find';
  $('caption-right').hidden = view !== 'compare';
  scene.setViews(view === 'compare' && state.other >= 0 ? 2 : 1);
  scene.models[0].clear();
  if (view === 'solution' && solution) {
    const step = Number($('step').value);
    const spread = Number($('explode').value) / 100;
    scene.showBodies(0, bodiesOf(shownCells(), { order: solution.order.slice(0, step), spread }), state.mode);
    const names = solution.order.slice(0, step).map(label).join(' ');
    $('step-text').textContent = step === 0 ? 'no piece yet' : `${step} of 13 (${names})`;
    showLegend();
  } else if (view === 'find') {
    const opened = openedCells();
    const mine = new Set(state.query);
    const faded = opened && $('find-fade').checked ? Array.from(opened, (p) => mine.has(p)) : null;
    scene.showBodies(0, bodiesOf(opened || state.query, { faded }), state.mode, { withFrame: !opened });
    const { found, run } = state;
    $('caption-left').textContent = opened
      ? `Solution ${run.numbers[found.places[state.opened]]}${found.turns[state.opened] ? ', turned to match your pieces' : ''}`
      : 'Your pieces, as put in';
  } else if (view === 'compare' && solution) {
    showComparison();
  } else if (view === 'print') {
    const { bodies } = flatLayout(1, state.gap / state.unit);
    scene.showBodies(0, bodies.map((b) => ({ ...b, cubes: b.cubes.map((c) => c.map((v) => v + 0.5)) })), state.mode);
  } else if (view === 'pieces') {
    showCharts();
  }
  applyFocus();
}

// A singled-out piece (in the Solution view) keeps its looks; the others fade or hide.
function applyFocus() {
  const focus = state.view === 'solution' ? state.focus : null;
  scene.setFocus(state.mode, focus, $('others').value === 'hide');
  for (const item of document.querySelectorAll('.piece-entry')) {
    item.classList.toggle('focused', Number(item.dataset.piece) - 1 === focus);
  }
  const piece = PIECES[focus];
  $('focus-text').textContent = piece ? `Piece ${piece.label} singled out: click it again or press Esc to see all.` : '';
  scene.draw();
}

function setFocus(piece) {
  state.focus = piece === state.focus ? null : piece;
  applyFocus();
}

// ---- The Solution view ------------------------------------------------------------------------

// The legend: every piece in the order placed, with a swatch drawn exactly like its faces.
function showLegend() {
  const { solution } = state;
  const step = Number($('step').value);
  if (!solution) {
    $('legend').replaceChildren();
    return;
  }
  $('legend').replaceChildren(...solution.order.map((piece, k) => {
    const item = document.createElement('li');
    item.className = 'piece-entry' + (k < step ? '' : ' unplaced');
    item.dataset.piece = String(piece + 1);
    item.title = 'Click to single out this piece; click again to see all';
    const swatch = scene.faceCanvas(state.mode, piece, 22);
    swatch.className = 'swatch';
    const { name, colour } = PIECES[piece];
    // In distinct colours the swatch is not the piece's own colour, so the name says that apart.
    const shown = state.mode === 'real' || !name.startsWith(`${colour} `) ? name : `${name.slice(colour.length + 1)} (${colour} in the puzzle)`;
    item.append(swatch, `${k + 1}. Piece ${label(piece)}: ${shown}`);
    item.addEventListener('click', () => setFocus(piece));
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
  const lines = turn ? renderCells(shownCells()) : solution.lines;
  const title = turn ? `Solution ${solution.number}, turned   (file line ${solution.line} has it unturned)` : `Solution ${solution.number}   (file line ${solution.line})`;
  $('picture').append(`${title}\n`, axes, lines.join('\n'));
  $('turn-note').textContent = turn ? `Shown turned, as it was found to match (one of the cube's 24 rotations).` : '';
}

// Why solution `number` of a run is not shown.
function missing(run, number) {
  const damaged = run.problems.find((p) => p.solution === number);
  if (damaged) return `Solution ${number} of run ${run.number} is left out: ${damaged.text.replace(/; left out$/, '')} (line ${damaged.line}).`;
  const range = run.count ? `its solutions go from ${run.numbers[0]} to ${run.numbers[run.count - 1]}` : 'it holds no readable solution';
  return `Run ${run.number} has no solution ${number}: ${range}.`;
}

// The place of solution `number` in a run; when it is not there, says so (naming it as
// `written`) and gives -1.
function placeOf(run, number, written = number) {
  const k = Number.isInteger(number) ? findSolution(run, number) : -1;
  if (k < 0) say(Number.isInteger(number) ? missing(run, number) : `"${written}" is not a solution number.`);
  return k;
}

function runOf(runNumber) {
  const run = state.runs[runNumber - 1];
  if (!Number.isInteger(runNumber) || !run) {
    say(`This file has no run ${runNumber}: it holds ${state.runs.length === 1 ? 'run 1 only' : `runs 1 to ${state.runs.length}`}.`);
    return null;
  }
  return run;
}

// Makes solution k (0-based) of a run the current one, or none when the run holds none.
function setSolution(run, k) {
  if (run !== state.run) {
    state.run = run;
    $('run').value = String(run.number);
    showRunInfo();
  }
  state.index = run.count ? k : -1;
  state.solution = run.count ? solutionAt(run, k) : null;
}

// Shows solution k (0-based) of a run as in the file: in Compare or Print when one of them is
// shown, else in the Solution view.
function show(run, k) {
  setSolution(run, k);
  state.turn = 0;
  if (state.view !== 'compare' && state.view !== 'print') state.view = 'solution';
  if (state.view === 'compare') pickOther();
  refresh();
}

// Goes to run `runNumber`, solution `number`; when they are not there, says so and keeps the view.
function goTo(runNumber, number) {
  const run = runOf(runNumber);
  const k = run ? placeOf(run, number) : -1;
  if (k < 0) {
    writeHash();
    $('solution').value = state.solution ? String(state.solution.number) : '';
    return false;
  }
  say('');
  show(run, k);
  return true;
}

function step(by) {
  const { run, index, view } = state;
  if (!run || run.count === 0 || view === 'pieces') return;
  if (view === 'find') {
    if (!state.found || !state.found.places.length) {
      say('No solution found to step through.');
      return;
    }
    const opened = state.opened + by;
    if (opened < 0 || opened >= state.found.places.length) {
      say(`That was the ${by > 0 ? 'last' : 'first'} solution found.`);
      return;
    }
    say('');
    openFound(opened);
    return;
  }
  if (view === 'compare') {
    const other = state.other + by;
    if (other < 0 || other >= run.count) {
      say(`That was the ${by > 0 ? 'last' : 'first'} solution of run ${run.number}.`);
      return;
    }
    say('');
    setOther(other);
    return;
  }
  const k = index + by;
  if (k < 0 || k >= run.count) {
    say(`That was the ${by > 0 ? 'last' : 'first'} solution of run ${run.number}.`);
    return;
  }
  say('');
  show(run, k);
}

function random() {
  const { run, index, view } = state;
  if (!run || run.count === 0 || (view !== 'solution' && view !== 'print')) return;
  if (run.count === 1) {
    say(`Run ${run.number} holds one solution only.`);
    return;
  }
  const k = (index + 1 + Math.floor(Math.random() * (run.count - 1))) % run.count;
  say('');
  show(run, k);
}

// ---- Views ----------------------------------------------------------------------------------

function showTabs() {
  for (const tab of document.querySelectorAll('#tabs button')) {
    tab.setAttribute('aria-selected', String(tab.dataset.view === state.view));
    tab.tabIndex = tab.dataset.view === state.view ? 0 : -1;
  }
  for (const view of VIEWS) $(`${view}-panel`).hidden = view !== state.view;
}

// Brings the sidebar, the address and the stage up to date with the state.
function refresh() {
  showTabs();
  const { view, solution } = state;
  $('solution').value = solution ? String(solution.number) : '';
  if (view === 'solution') showPicture();
  if (view === 'find') showFinder();
  if (view === 'compare') showComparePanel();
  if (view === 'pieces') showPiecesPanel();
  if (view === 'print') showPrintPanel();
  writeHash();
  showStage();
}

function setView(view) {
  if (!state.run || view === state.view) return;
  say('');
  state.view = view;
  if (view === 'solution' && !state.solution && state.run.count) setSolution(state.run, 0);
  if (view === 'find') search();
  if (view === 'compare') pickOther();
  refresh();
}

// ---- Find: the solutions that complete a partial assembly ---------------------------------

// The finder's sets of cells for a run, and the charts' counts: made once per run, when first
// asked for, and timed (state.timing.setsMs, statsMs).
function madeOnce(run, key, make) {
  if (!run[key]) {
    const started = performance.now();
    run[key] = make(run);
    state.timing[`${key}Ms`] = performance.now() - started;
  }
  return run[key];
}
const setsOf = (run) => madeOnce(run, 'sets', pieceSetsOfRun);
const statsOf = (run) => madeOnce(run, 'stats', pieceStats);

// Searches the run for the query, unless it cannot be part of any assembly.
function search() {
  const { run, query } = state;
  state.opened = -1;
  state.listed = LISTED;
  state.found = null;
  if (whyImpossible(query).length || !run) return;
  const sets = setsOf(run);
  const started = performance.now();
  state.found = findCompletions(sets, run.count, query);
  state.timing.searchMs = performance.now() - started;
}

// The solution opened in the finder, turned to match the query; or null.
function openedCells() {
  const { found, opened, run } = state;
  if (!found || opened < 0) return null;
  return turnCells(cellsAt(run, found.places[opened]), found.turns[opened]);
}

function openFound(i) {
  state.opened = i;
  if (i >= state.listed) state.listed = Math.ceil((i + 1) / LISTED) * LISTED;
  refresh();
}

function changeQuery(make) {
  const before = writeQuery(state.query);
  const query = Int8Array.from(state.query);
  make(query);
  if (writeQuery(query) === before) return;
  state.undo.push(before);
  state.query = query;
  say('');
  search();
  refresh();
}

function clickCell(cell) {
  const p = state.pen;
  if (state.placing === 'whole' && p !== EMPTY) {
    const { cells, why } = placement(state.query, p, state.orientations[p], cell);
    if (why) {
      say(why);
      return;
    }
    changeQuery((q) => {
      q.forEach((v, c) => { if (v === p) q[c] = EMPTY; });
      for (const c of cells) q[c] = p;
    });
    return;
  }
  changeQuery((q) => { q[cell] = q[cell] === p ? EMPTY : p; });
}

// Marks, in the layers, where the piece being placed whole would go from the cell pointed at.
function showGhost() {
  for (const b of cellButtons) b.classList.remove('ghost', 'bad');
  if (state.placing !== 'whole' || state.pen === EMPTY || state.pointed < 0) return;
  const { cells, why } = placement(state.query, state.pen, state.orientations[state.pen], state.pointed);
  for (const c of cells) cellButtons[c].classList.add('ghost', ...(why ? ['bad'] : []));
}

// The layers' buttons, in cell order.
const cellButtons = [];

function makeLayers() {
  const layers = [];
  for (let z = 4; z >= 1; z -= 1) {
    const box = document.createElement('div');
    const title = document.createElement('div');
    title.className = 'layer-title';
    title.textContent = `Layer z = ${z}${z === 4 ? ' (top)' : z === 1 ? ' (bottom)' : ''}`;
    const grid = document.createElement('div');
    grid.className = 'layer';
    grid.dataset.z = String(z);
    box.append(title, grid);
    layers.push(box);
  }
  $('layers').replaceChildren(...layers);
  // The buttons in cell order, each placed in its layer: row y = 4 at the top, x from the left.
  const grids = [...$('layers').querySelectorAll('.layer')];
  for (let cell = 0; cell < CELLS; cell += 1) {
    const { x, y, z } = cellCoordinates(cell);
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.cell = String(cell);
    button.style.gridColumn = String(x);
    button.style.gridRow = String(5 - y);
    button.setAttribute('aria-label', `x ${x}, y ${y}, z ${z}`);
    button.addEventListener('click', () => clickCell(cell));
    button.addEventListener('pointerenter', () => { state.pointed = cell; showGhost(); });
    button.addEventListener('pointerleave', () => { state.pointed = -1; showGhost(); });
    grids[4 - z].append(button);
    cellButtons.push(button);
  }
}

function makePens(box, choices, onChoose) {
  box.replaceChildren(...choices.map((p) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.setAttribute('role', 'radio');
    button.dataset.piece = p === EMPTY ? '' : String(p + 1);
    if (p === EMPTY) {
      button.className = 'eraser';
      button.textContent = 'Rub out';
      button.title = 'Click cells to empty them';
    } else {
      button.append(scene.faceCanvas(state.mode, p, 48));
      button.title = `Piece ${label(p)}: ${PIECES[p].name}`;
    }
    button.addEventListener('click', () => onChoose(p));
    return button;
  }));
}

function showFinder() {
  const { query, run, found, pen } = state;
  makePens($('pens'), [...PIECES.map((_, p) => p), EMPTY], choosePen);
  for (const b of $('pens').children) b.setAttribute('aria-checked', String((b.dataset.piece ? Number(b.dataset.piece) - 1 : EMPTY) === pen));
  const whole = state.placing === 'whole' && pen !== EMPTY;
  $('orientation-row').hidden = !whole;
  if (whole) $('orientation-text').textContent = `Piece ${label(pen)}: orientation ${state.orientations[pen] + 1} of ${ORIENTATIONS[pen].length}`;
  const colours = COLOUR_MODES[state.mode].colours;
  query.forEach((p, cell) => {
    const b = cellButtons[cell];
    b.textContent = p === EMPTY ? '' : label(p);
    b.style.background = p === EMPTY ? '' : colours[p];
    b.style.color = p === EMPTY ? '' : labelInk(colours[p]);
    b.classList.toggle('own', p !== EMPTY && p === pen);
  });
  showGhost();

  const marked = PIECES.map((_, p) => query.filter((q) => q === p).length);
  const put = PIECES.map((piece, p) => (marked[p] ? `${piece.label} (${marked[p] === piece.cubes.length ? 'whole' : `${marked[p]} of ${piece.cubes.length} cubes`})` : null)).filter(Boolean);
  $('put-in').textContent = put.length ? `Put in: ${put.join(', ')}.` : 'Nothing put in yet.';
  const why = whyImpossible(query);
  $('find-why').hidden = why.length === 0;
  $('find-why').textContent = why.length ? `This cannot be part of any assembly of the cube. ${why.join(' ')}` : '';
  $('find-undo').disabled = state.undo.length === 0;
  $('found').hidden = !found;
  $('found-count').textContent = '';
  if (!found) return;
  const n = found.places.length;
  const early = run.summary ? '' : ` Run ${run.number} was stopped before its end, so a whole run may hold more.`;
  $('found-count').textContent = n
    ? `${n === run.count && n > 1 ? 'All ' : ''}${count(n, 'solution')} of run ${run.number} ${n === 1 ? 'completes' : 'complete'} this${n > 1 ? ', listed below' : ''}.`
    : `No solution of run ${run.number} completes this, in any of the cube's 24 rotations.${early}`;
  const shown = Math.min(n, state.listed);
  $('found-list').replaceChildren(...Array.from({ length: shown }, (_, i) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = String(run.numbers[found.places[i]]);
    button.title = found.turns[i] ? 'Open it, turned to match' : 'Open it (it matches unturned)';
    if (i === state.opened) button.className = 'open';
    button.addEventListener('click', () => openFound(i));
    return button;
  }));
  $('found-more').hidden = shown >= n;
  $('found-more').textContent = `Show ${Math.min(LISTED, n - shown)} more (of ${(n - shown).toLocaleString('en')})`;
  $('found-open').hidden = state.opened < 0;
  $('find-fade-box').hidden = state.opened < 0;
  if (state.opened >= 0) {
    const number = run.numbers[found.places[state.opened]];
    $('found-open').replaceChildren(`Shown: solution ${number}${found.turns[state.opened] ? ', turned to match your pieces' : ', as in the file'}. `, link('See it in the Solution view', () => {
      setSolution(run, found.places[state.opened]);
      state.turn = found.turns[state.opened];
      state.view = 'solution';
      refresh();
    }));
  }
}

function link(text, action) {
  const a = document.createElement('a');
  a.href = '#';
  a.textContent = text;
  a.addEventListener('click', (e) => {
    e.preventDefault();
    action();
  });
  return a;
}

function choosePen(p) {
  state.pen = p;
  refresh();
}

function turnOrientation(by) {
  const p = state.pen;
  if (p === EMPTY) return;
  const n = ORIENTATIONS[p].length;
  state.orientations[p] = (state.orientations[p] + by + n) % n;
  say('');
  showFinder();
}

// ---- Compare: two solutions side by side ------------------------------------------------------

// The rotation of `other` that agrees with `cells` on the most cells (the first of equals).
function bestTurn(cells, other) {
  let best = 0;
  let most = -1;
  TURNS.forEach((turn, r) => {
    let same = 0;
    for (let c = 0; c < CELLS; c += 1) if (cells[turn[c]] === other[c]) same += 1;
    if (same > most) {
      most = same;
      best = r;
    }
  });
  return best;
}

function setOther(k) {
  state.other = k;
  state.otherTurn = k >= 0 ? bestTurn(state.solution.cells, cellsAt(state.run, k)) : 0;
  refresh();
}

// On entering Compare: the second solution is the one after the first (or before the last).
function pickOther() {
  const { run, index } = state;
  if (run.count < 2) {
    state.other = -1;
    return;
  }
  const k = state.other >= 0 && state.other !== index && state.other < run.count ? state.other : index + 1 < run.count ? index + 1 : index - 1;
  state.other = k;
  state.otherTurn = bestTurn(state.solution.cells, cellsAt(run, k));
}

function comparedCells() {
  const a = state.solution.cells;
  const b = turnCells(cellsAt(state.run, state.other), state.otherTurn);
  const differs = Array.from(a, (p, c) => p !== b[c]);
  return { a, b, differs };
}

// A rendering as the file writes it, with the differing cells marked.
function markedPicture(title, cells, differs) {
  const pre = document.createElement('pre');
  pre.append(`${title}\n`);
  for (let y = 4; y >= 1; y -= 1) {
    for (let z = 4; z >= 1; z -= 1) {
      for (let x = 1; x <= 4; x += 1) {
        const c = cellIndex(x, y, z);
        const span = document.createElement('span');
        span.textContent = LABELS[cells[c]];
        if (differs[c]) span.className = 'differs';
        pre.append(' ', span);
      }
      pre.append(z > 1 ? '    ' : '\n');
    }
  }
  return pre;
}

function showComparePanel() {
  const { run, solution, other } = state;
  $('compare-a').value = solution ? String(solution.number) : '';
  $('compare-b').value = other >= 0 ? String(run.numbers[other]) : '';
  if (!solution || other < 0) {
    $('compare-text').textContent = `Run ${run.number} holds fewer than two solutions: there is nothing to compare.`;
    $('compare-pictures').replaceChildren();
    return;
  }
  const { a, b, differs } = comparedCells();
  const n = differs.filter(Boolean).length;
  const moved = PIECES.map((_, p) => p).filter((p) => differs.some((d, c) => d && (a[c] === p || b[c] === p))).map(label);
  const numberB = run.numbers[other];
  const how = state.otherTurn ? `turned to agree best with solution ${solution.number}` : 'as in the file (no turn agrees better)';
  $('compare-text').textContent = n
    ? `Solution ${numberB} is shown ${how}: ${n} of 64 cells differ (highlighted), where piece${moved.length > 1 ? 's' : ''} ${words(moved)} lie${moved.length > 1 ? '' : 's'} differently; the other ${13 - moved.length} lie the same.`
    : `Solution ${numberB}, ${how}, is the same as solution ${solution.number}.`;
  $('compare-pictures').replaceChildren(
    markedPicture(`Solution ${solution.number}`, a, differs),
    markedPicture(`Solution ${numberB}${state.otherTurn ? ', turned' : ''}`, b, differs),
  );
}

function showComparison() {
  const { solution, other, run } = state;
  if (other < 0) {
    scene.showBodies(0, bodiesOf(solution.cells), state.mode);
    return;
  }
  const { a, b, differs } = comparedCells();
  const faded = $('compare-fade').checked ? differs.map((d) => !d) : null;
  scene.showBodies(0, bodiesOf(a, { faded }), state.mode);
  scene.showBodies(1, bodiesOf(b, { faded }), state.mode);
  $('caption-left').textContent = `Solution ${solution.number}`;
  $('caption-right').textContent = `Solution ${run.numbers[other]}${state.otherTurn ? ', turned' : ''}`;
}

// ---- Pieces: where they go over the run -------------------------------------------------------

function showPiecesPanel() {
  makePens($('chart-pieces'), PIECES.map((_, p) => p), (p) => {
    state.chosen = p;
    refresh();
  });
  for (const b of $('chart-pieces').children) b.setAttribute('aria-checked', String(Number(b.dataset.piece) - 1 === state.chosen));
  const { run, chosen } = state;
  $('pieces-text').textContent = `Piece ${label(chosen)}, ${PIECES[chosen].name}, over the ${count(run.count, 'solution')} of run ${run.number}. A corner cell has three faces on the outside of the cube, an edge cell two, a face cell one, an inner cell none.`;
}

function showCharts() {
  const { run, chosen } = state;
  const stats = statsOf(run);
  const colours = COLOUR_MODES[state.mode].colours;
  $('charts').innerHTML = `<h2>Where the pieces go: run ${run.number}, ${count(run.count, 'solution')}</h2>` +
    coverChart(stats, chosen) + touchBars(stats, chosen, colours) + kindsChart(stats, chosen, colours) + touchMatrix(stats, chosen, colours);
  for (const row of $('charts').querySelectorAll('.piece-row')) {
    row.addEventListener('click', () => {
      state.chosen = Number(row.dataset.piece) - 1;
      refresh();
    });
  }
}

// ---- Print: STL files ---------------------------------------------------------------------------

const mm = (v) => `${Number(v.toFixed(1)).toLocaleString('en')} mm`;

function showPrintPanel() {
  const { unit, gap, solution } = state;
  $('unit').value = String(unit);
  $('gap').value = String(gap);
  const { width, depth, height } = flatLayout(unit, gap);
  const name = solution ? `Solution ${solution.number}` : 'Solution';
  $('stl-assembled').textContent = `${name} assembled (STL)`;
  $('stl-exploded').textContent = `${name} exploded (STL)`;
  $('stl-assembled').disabled = !solution;
  $('stl-exploded').disabled = !solution;
  $('print-text').textContent = `Laid flat, the pieces fill ${mm(width)} by ${mm(depth)} of the print bed and stand ${mm(height)} high. ` +
    `Assembled, the cube is ${mm(4 * unit)} each way. Sizes are in mm; each piece is one closed solid.`;
}

// Reads the unit and gap fields; a value out of range is named, and the last good one kept.
function readSizes() {
  const unit = Number($('unit').value);
  const gap = Number($('gap').value);
  if (!(unit > 0 && unit <= 200)) {
    say(`A cube edge of "${$('unit').value}" mm cannot be printed: give a number above 0, at most 200.`);
    return false;
  }
  if (!(gap >= 0 && gap <= 200)) {
    say(`A gap of "${$('gap').value}" mm cannot be used: give a number from 0 to 200.`);
    return false;
  }
  say('');
  Object.assign(state, { unit, gap });
  return true;
}

function download(name, buffer) {
  const url = URL.createObjectURL(new Blob([buffer], { type: 'model/stl' }));
  const a = Object.assign(document.createElement('a'), { href: url, download: name });
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

function exportStl(what) {
  if (!readSizes()) return;
  const { unit, gap, run, solution } = state;
  const size = `${unit}mm`;
  if (what === 'pieces') {
    download(`tandor-cube-pieces-${size}.stl`, stlOf(flatLayout(unit, gap).bodies, unit, `the 13 pieces laid flat, ${unit} mm cubes`));
    return;
  }
  const exploded = what === 'exploded';
  const bodies = solutionBodies(shownCells(), exploded);
  download(`tandor-cube-run${run.number}-solution${solution.number}-${what}-${size}.stl`,
    stlOf(bodies, unit, `run ${run.number} solution ${solution.number} ${what}, ${unit} mm cubes`));
}

// ---- The address ----------------------------------------------------------------------------

function writeHash() {
  const { run, solution, view } = state;
  if (!run) return;
  const parts = [`run=${run.number}`];
  const number = solution ? solution.number : '';
  if (view === 'find') {
    parts.push(`find=${writeQuery(state.query)}`);
    if (state.found && state.opened >= 0) parts.push(`solution=${run.numbers[state.found.places[state.opened]]}`);
  } else if (view === 'pieces') {
    parts.push(`pieces=${label(state.chosen)}`);
  } else if (view === 'compare') {
    parts.push(`solution=${number}`, `compare=${state.other >= 0 ? run.numbers[state.other] : ''}`);
  } else {
    parts.push(`solution=${number}`);
    if (state.turn) parts.push(`turn=${state.turn}`);
    if (view === 'print') parts.push('print', `unit=${state.unit}`, `gap=${state.gap}`);
  }
  const hash = `#${parts.join('&')}`;
  if (location.hash !== hash) history.replaceState(null, '', hash);
}

function readHash() {
  const params = new URLSearchParams(location.hash.slice(1));
  const view = ['find', 'compare', 'pieces', 'print'].find((v) => params.has(v)) || 'solution';
  if (view === 'solution' && !params.has('run') && !params.has('solution')) return null;
  const number = (key, otherwise) => (params.has(key) ? Number(params.get(key)) : otherwise);
  return {
    view,
    run: number('run', state.runs.length),
    solution: number('solution', view === 'find' ? null : 1),
    turn: number('turn', 0),
    find: params.get('find'),
    compare: params.get('compare'),
    pieces: params.get('pieces'),
    unit: params.get('unit'),
    gap: params.get('gap'),
  };
}

// Shows the view an address names; when something in it is not there or wrong, says what and
// keeps the view shown.
function goToView(wanted) {
  const refuse = (text) => {
    if (text) say(text);
    writeHash();
    return false;
  };
  const run = runOf(wanted.run);
  if (!run) return refuse();
  const { view } = wanted;
  if (view === 'find') {
    const read = readQuery(wanted.find);
    if (read.error) return refuse(`The partial assembly in this link cannot be read: ${read.error}.`);
    let k = -1;
    if (wanted.solution !== null && (k = placeOf(run, wanted.solution)) < 0) return refuse();
    if (run !== state.run) setSolution(run, Math.max(findSolution(run, 1), 0));
    if (writeQuery(read.cells) !== writeQuery(state.query)) state.undo.push(writeQuery(state.query));
    state.query = read.cells;
    state.view = 'find';
    search();
    say('');
    if (k >= 0) {
      const i = state.found ? state.found.places.indexOf(k) : -1;
      if (i < 0) say(`Solution ${wanted.solution} does not complete this partial assembly in any rotation.`);
      state.opened = i;
      state.listed = Math.max(LISTED, Math.ceil((i + 1) / LISTED) * LISTED);
    }
    refresh();
    return true;
  }
  if (view === 'pieces') {
    const chosen = LABELS.indexOf(String(wanted.pieces).toUpperCase());
    if (!wanted.pieces || wanted.pieces.length !== 1 || chosen < 0) return refuse(`"${wanted.pieces}" is no piece's label: the pieces are 1 to 9 and A to D.`);
    if (run !== state.run) setSolution(run, Math.max(findSolution(run, 1), 0));
    Object.assign(state, { chosen, view: 'pieces' });
    say('');
    refresh();
    return true;
  }
  const k = placeOf(run, wanted.solution);
  if (k < 0) return refuse();
  if (!Number.isInteger(wanted.turn) || wanted.turn < 0 || wanted.turn >= TURNS.length) return refuse(`"turn=${wanted.turn}" is not one of the cube's rotations, 0 to 23.`);
  let other = -1;
  if (view === 'compare' && wanted.compare !== '' && (other = placeOf(run, Number(wanted.compare), wanted.compare)) < 0) return refuse();
  if (view === 'print') {
    for (const key of ['unit', 'gap']) if (wanted[key] !== null) $(key).value = wanted[key];
    if (!readSizes()) return refuse();
  }
  say('');
  setSolution(run, k);
  state.turn = view === 'compare' ? 0 : wanted.turn;
  state.view = view;
  if (view === 'compare') {
    if (other >= 0) {
      state.other = other;
      state.otherTurn = bestTurn(state.solution.cells, cellsAt(run, other));
    } else {
      pickOther();
    }
  }
  refresh();
  return true;
}

// After a file loads: the view the address names, or else solution 1 of the run it names or of
// the last run.
function showFirstView() {
  state.run = null;
  state.view = 'solution';
  state.turn = 0;
  state.other = -1;
  const wanted = readHash();
  if (wanted && goToView(wanted)) return;
  const message = $('message').textContent;
  const run = (wanted && state.runs[wanted.run - 1]) || state.runs[state.runs.length - 1];
  const first = findSolution(run, 1);
  show(run, Math.max(first, 0));
  if (!run.count) say(`${message} Run ${run.number} holds no readable solution.`.trim());
  else if (first < 0 && !(wanted && wanted.solution === 1)) say(`${message} ${missing(run, 1)}`.trim());
  else say(message);
}

// ---- What the file holds --------------------------------------------------------------------

function showRunInfo() {
  const { run } = state;
  const notes = [`${count(run.count, 'solution')} in this run.`];
  const { summary } = run;
  if (summary) {
    notes.push(`It ended: ${count(summary.solutions, 'unique solution')}, ${count(summary.duplicates, 'duplicate rotation')} discarded${summary.runTime ? `, run time ${summary.runTime}` : ''}.`);
  } else {
    notes.push('It was stopped before its summary.');
  }
  if (run.sameAs) notes.push(`It is identical to run ${run.sameAs}.`);
  if (run.problems.length) notes.push(`${count(run.problems.length, 'problem')}: see above.`);
  $('info').textContent = notes.join(' ');
}

const describe = (p) => {
  const where = [p.run ? `Run ${p.run}` : null, p.solution ? `solution ${p.solution}` : null, `line ${p.line}`].filter(Boolean).join(', ');
  return `${where}: ${p.text}.`;
};

function showFileInfo(name, lineCount) {
  const { runs } = state;
  const total = runs.reduce((sum, r) => sum + r.count, 0);
  const notes = [`${name}: ${count(runs.length, 'run')}, ${count(total, 'solution')}, ${count(lineCount, 'line')}.`];
  for (const first of runs) {
    const same = runs.filter((r) => r.sameAs === first.number).map((r) => r.number);
    if (same.length) notes.push(`${same.length === 1 ? 'Run' : 'Runs'} ${numberList(same)} ${same.length === 1 ? 'is' : 'are'} identical to run ${first.number}.`);
  }
  $('file-info').textContent = notes.join(' ');

  const { problems } = state;
  $('problems').hidden = problems.length === 0;
  if (!problems.length) return;
  const blocks = problems.filter((p) => p.solution !== null);
  const runsHit = [...new Set(blocks.map((p) => p.run))];
  const parts = [];
  if (blocks.length) parts.push(`${count(blocks.length, 'solution block')} damaged or missing, in ${runsHit.length === 1 ? 'run' : 'runs'} ${numberList(runsHit)}`);
  if (problems.length > blocks.length) parts.push(`${count(problems.length - blocks.length, 'other problem')}`);
  $('problems-summary').textContent = `${count(problems.length, 'problem')} in this file: ${parts.join('; ')}. What is damaged is left out; everything else can be viewed.`;
  $('problems-first').replaceChildren(...problems.slice(0, FIRST_PROBLEMS).map((p) => {
    const item = document.createElement('li');
    item.textContent = describe(p);
    item.title = item.textContent;
    return item;
  }));
  $('show-problems').hidden = problems.length <= FIRST_PROBLEMS;
  $('show-problems').textContent = `Show all ${problems.length.toLocaleString('en')}`;
}

function loaded(result, file) {
  state.timing.parseMs = result.parseMs;
  if (result.runs.length === 0) {
    const kept = state.file ? ` Still showing ${state.file}.` : '';
    say(`${file.name}: ${result.error}${kept}`);
    return;
  }
  Object.assign(state, { file: file.name, runs: result.runs, problems: result.problems, run: null, focus: null });
  $('run').replaceChildren(...state.runs.map((run) => {
    const option = document.createElement('option');
    option.value = String(run.number);
    const notes = [run.summary ? '' : 'stopped early', run.sameAs ? `identical to run ${run.sameAs}` : ''].filter(Boolean);
    option.textContent = `Run ${run.number}: ${count(run.count, 'solution')}${notes.length ? ` (${notes.join(', ')})` : ''}`;
    return option;
  }));
  showFileInfo(file.name, result.lineCount);
  $('controls').hidden = false;
  $('drop').classList.add('loaded');
  say(result.error || '');
  showFirstView();
  state.timing.shown = performance.now();
  requestAnimationFrame(() => { state.timing.painted = performance.now(); });
}

// ---- Reading a file -------------------------------------------------------------------------

/* global WORKER_SOURCE */
let workerUrl = null;
let worker = null;

function progress(text, share) {
  $('progress-box').hidden = text === null;
  $('progress-text').textContent = text || '';
  if (share === undefined) $('progress').removeAttribute('value');
  else $('progress').value = share;
}

// Reads the file in a worker, so that the page stays live; where no worker can be made (no
// bundled worker, or a browser that refuses one), reads it here.
function readFile(file) {
  if (!file) return;
  if (worker) worker.terminate();
  worker = null;
  state.timing = { started: performance.now() };
  progress(`Reading ${file.name} (${(file.size / 1e6).toFixed(1)} MB)…`);
  const failed = (why) => {
    progress(null);
    say(`${file.name} could not be read: ${why}.${state.file ? ` Still showing ${state.file}.` : ''}`);
  };
  try {
    if (typeof WORKER_SOURCE !== 'string') throw new Error('no worker in this build');
    workerUrl = workerUrl || URL.createObjectURL(new Blob([WORKER_SOURCE], { type: 'text/javascript' }));
    worker = new Worker(workerUrl);
  } catch {
    file.text().then((text) => {
      const started = performance.now();
      const result = readSolutionsFile(text);
      result.parseMs = performance.now() - started;
      progress(null);
      loaded(result, file);
    }, (error) => failed(error.message || String(error)));
    return;
  }
  const mine = worker;
  mine.onmessage = ({ data }) => {
    if (mine !== worker) return;
    if (data.type === 'progress') {
      progress(`Reading ${file.name}: ${Math.round(data.share * 100)}%`, data.share);
    } else if (data.type === 'done') {
      progress(null);
      mine.terminate();
      worker = null;
      loaded(data.result, file);
    } else {
      failed(data.message);
    }
  };
  mine.onerror = (event) => {
    event.preventDefault();
    failed(event.message || 'the reader stopped');
  };
  mine.postMessage({ file });
}

// ---- Wiring ---------------------------------------------------------------------------------

$('file').addEventListener('change', (e) => readFile(e.target.files[0]));
const drop = $('drop');
drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (e) => {
  e.preventDefault();
  drop.classList.remove('over');
  readFile(e.dataTransfer.files[0]);
});
$('run').addEventListener('change', (e) => {
  const run = state.runs[Number(e.target.value) - 1];
  state.focus = null;
  state.other = -1;
  say('');
  setSolution(run, Math.max(findSolution(run, 1), 0));
  state.turn = 0;
  if (state.view === 'find') search();
  if (state.view === 'compare') pickOther();
  refresh();
});
for (const tab of document.querySelectorAll('#tabs button')) tab.addEventListener('click', () => setView(tab.dataset.view));
$('tabs').addEventListener('keydown', (e) => {
  const by = { ArrowLeft: -1, ArrowRight: 1 }[e.key];
  if (!by) return;
  const next = VIEWS[(VIEWS.indexOf(state.view) + by + VIEWS.length) % VIEWS.length];
  setView(next);
  document.querySelector(`#tabs button[data-view=${next}]`).focus();
});
$('solution').addEventListener('change', (e) => goTo(state.run.number, e.target.value.trim() === '' ? NaN : Number(e.target.value)));
$('previous').addEventListener('click', () => step(-1));
$('next').addEventListener('click', () => step(1));
$('random').addEventListener('click', random);
for (const radio of document.querySelectorAll('input[name=colours]')) {
  radio.addEventListener('change', () => {
    state.mode = radio.value;
    refresh();
  });
}
$('explode').addEventListener('input', showStage);
$('step').addEventListener('input', showStage);
$('others').addEventListener('change', applyFocus);
$('reset-view').addEventListener('click', () => {
  controls.reset();
  state.focus = null;
  applyFocus();
});
$('show-problems').addEventListener('click', () => {
  $('all-problems-title').textContent = `${count(state.problems.length, 'problem')} in ${state.file}`;
  $('all-problems-list').textContent = state.problems.map(describe).join('\n');
  $('all-problems').showModal();
});
$('close-problems').addEventListener('click', () => $('all-problems').close());
window.addEventListener('hashchange', () => {
  const wanted = readHash();
  if (state.runs.length && wanted) goToView(wanted);
});

makeLayers();
for (const radio of document.querySelectorAll('input[name=placing]')) {
  radio.addEventListener('change', () => {
    state.placing = radio.value;
    showFinder();
  });
}
$('orientation-previous').addEventListener('click', () => turnOrientation(-1));
$('orientation-next').addEventListener('click', () => turnOrientation(1));
$('find-undo').addEventListener('click', () => {
  if (!state.undo.length) return;
  state.query = readQuery(state.undo.pop()).cells;
  say('');
  search();
  refresh();
});
$('find-clear').addEventListener('click', () => changeQuery((q) => q.fill(EMPTY)));
$('found-more').addEventListener('click', () => {
  state.listed += LISTED;
  showFinder();
});

// A number typed into either compare field: its solution's place in the run, or -1 after the
// panel has said why there is none.
function comparedPlace(e) {
  const k = placeOf(state.run, Number(e.target.value), e.target.value);
  if (k < 0) showComparePanel();
  else say('');
  return k;
}
$('compare-a').addEventListener('change', (e) => {
  const k = comparedPlace(e);
  if (k < 0) return;
  setSolution(state.run, k);
  pickOther();
  refresh();
});
$('compare-b').addEventListener('change', (e) => {
  const k = comparedPlace(e);
  if (k >= 0) setOther(k);
});
$('compare-swap').addEventListener('click', () => {
  if (state.other < 0) return;
  const { index, other } = state;
  setSolution(state.run, other);
  setOther(index);
});
$('compare-fade').addEventListener('change', showStage);
$('find-fade').addEventListener('change', showStage);

for (const key of ['unit', 'gap']) {
  $(key).addEventListener('change', () => {
    if (readSizes()) refresh();
  });
}
$('stl-pieces').addEventListener('click', () => exportStl('pieces'));
$('stl-assembled').addEventListener('click', () => exportStl('assembled'));
$('stl-exploded').addEventListener('click', () => exportStl('exploded'));

// A click (not a drag) on a piece singles it out; on the singled-out piece or on nothing, shows all.
let pressedAt = null;
canvas.addEventListener('pointerdown', (e) => {
  pressedAt = [e.clientX, e.clientY];
  canvas.focus();
});
canvas.addEventListener('pointerup', (e) => {
  if (state.view !== 'solution' || !pressedAt || Math.hypot(e.clientX - pressedAt[0], e.clientY - pressedAt[1]) > 4) return;
  const rect = canvas.getBoundingClientRect();
  const hit = scene.pieceAt(e.clientX - rect.left, e.clientY - rect.top, state.focus);
  state.focus = hit !== null && hit !== state.focus ? hit : null;
  applyFocus();
});

canvas.addEventListener('keydown', (e) => {
  const actions = {
    ArrowLeft: () => controls.rotateLeft(-TURN),
    ArrowRight: () => controls.rotateLeft(TURN),
    ArrowUp: () => controls.rotateUp(-TURN),
    ArrowDown: () => controls.rotateUp(TURN),
    '+': () => controls.dollyOut(ZOOM),
    '=': () => controls.dollyOut(ZOOM),
    '-': () => controls.dollyIn(ZOOM),
    n: () => step(1),
    p: () => step(-1),
    r: random,
    Escape: () => setFocus(null),
  };
  const action = actions[e.key.length === 1 ? e.key.toLowerCase() : e.key];
  if (!action || e.ctrlKey || e.metaKey || e.altKey) return;
  e.preventDefault();
  action();
  controls.update();
  scene.draw();
});

window.addEventListener('resize', scene.resize);
scene.resize();

// For tests, measurements and the curious: what the page shows.
window.tandorViewer = {
  state,
  shownPieces: scene.shownPieces,
  topFacePoint: scene.topFacePoint,
  camera: () => scene.camera.position.toArray().map((v) => Math.round(v * 1000) / 1000),
  // The cells the single view shows, in the address's notation ('.' for none).
  shownCells() {
    if (state.view === 'find') return writeQuery(openedCells() || state.query);
    return state.solution ? writeQuery(shownCells()) : null;
  },
};
