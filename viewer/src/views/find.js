// The Find view: the solutions of the run that complete a partial assembly, in any of the turns
// that take the target onto itself (the cube's 24 rotations). It keeps the query (the pieces put in), what came before it (for Undo), the pen
// (the piece being put in, or EMPTY to rub out), how it is put in and in which orientation of
// each piece; the solutions found, the one opened and how many are listed. Address: &find=Q,
// &solution=N for the one opened and &hint=K for the hints revealed (hint.js).
import { coloursOf, labelInk } from '../colours.js';
import { BUILTIN, shownCoordinates, whole, turnCellsOf } from '../puzzle.js';
import { EMPTY, readQuery, writeQuery, whyImpossible, pieceSetsOfRun, findCompletions, placement } from '../find.js';
import { hints, withHints, HINT_RULE } from '../hint.js';
import { label, count } from '../words.js';
import { $, say, link, makePens } from '../page.js';
import { refresh, setSolution, showRun, placeOf, madeOnce, cellsAt } from '../state.js';
import { bodiesOf, showBodies, captions, drawStage } from '../stage.js';

const LISTED = 150;

export function findView(state) {
  const my = {
    puzzle: BUILTIN, query: new Int8Array(64).fill(EMPTY), undo: [], pen: 0, placing: 'cells', orientations: BUILTIN.pieces.map(() => 0),
    pointed: -1, found: null, opened: -1, listed: LISTED, hints: [],
  };
  // The layers' buttons, in cell order.
  const cellButtons = [];
  // The solution at place k of the run, turned by turn r of its puzzle.
  const turned = (k, r) => turnCellsOf(state.run.puzzle, cellsAt(state.run, k), r);

  // Searches the run for the query, unless it cannot be part of any assembly.
  function search() {
    const { run } = state;
    my.opened = -1;
    my.listed = LISTED;
    my.found = null;
    my.hints = [];
    if (!run || whyImpossible(my.query, run.puzzle).length) return;
    const sets = madeOnce(state, run, 'sets', pieceSetsOfRun);
    const started = performance.now();
    my.found = findCompletions(sets, run.count, my.query, run.puzzle);
    state.timing.searchMs = performance.now() - started;
  }

  // The solution opened, turned to match the query; or null.
  function openedCells() {
    const { found, opened } = my;
    if (!found || opened < 0) return null;
    return turned(found.places[opened], found.turns[opened]);
  }

  function openFound(i) {
    my.opened = i;
    if (i >= my.listed) my.listed = Math.ceil((i + 1) / LISTED) * LISTED;
    refresh(state);
  }

  function changeQuery(make) {
    const before = writeQuery(my.query);
    const query = Int8Array.from(my.query);
    make(query);
    if (writeQuery(query) === before) return;
    my.undo.push(before);
    my.query = query;
    say('');
    search();
    refresh(state);
  }

  // Reveals the first k hints for the query (fewer when fewer pieces are missing); says so when
  // there is none to give.
  function revealHints(k) {
    const { run } = state;
    if (!my.found || !my.found.places.length) {
      my.hints = [];
      say(my.found ? 'No solution completes this, so there is no hint to give.' : 'There is no hint for pieces that cannot be part of any assembly.');
      return;
    }
    my.hints = k > 0 ? hints(madeOnce(state, run, 'sets', pieceSetsOfRun), run.count, my.query, k, run.puzzle) : [];
    if (my.hints.length < k) say(k === 1 ? 'Nothing is missing: your pieces make a whole solution.' : 'Every piece is revealed: that is a whole solution.');
    else say('');
  }

  const placed = (anchor) => placement(my.query, my.pen, my.orientations[my.pen], anchor, my.puzzle);

  function clickCell(cell) {
    const p = my.pen;
    if (my.placing === 'whole' && p !== EMPTY) {
      const { cells, why } = placed(cell);
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
    if (my.placing !== 'whole' || my.pen === EMPTY || my.pointed < 0) return;
    const { cells, why } = placed(my.pointed);
    for (const c of cells) cellButtons[c].classList.add('ghost', ...(why ? ['bad'] : []));
  }

  // The layers, top (z = Z) first, each a grid of its row y = Y at the top, x from the left: a
  // button for each of the target's cells, made anew for each puzzle.
  function makeLayers() {
    const { puzzle } = my;
    const [X, Y, Z] = puzzle.size;
    cellButtons.length = 0;
    const grids = [];
    const layers = [];
    for (let z = Z; z >= 1; z -= 1) {
      const box = document.createElement('div');
      const title = document.createElement('div');
      title.className = 'layer-title';
      title.textContent = `Layer z = ${z}${Z > 1 && z === Z ? ' (top)' : Z > 1 && z === 1 ? ' (bottom)' : ''}`;
      const grid = document.createElement('div');
      grid.className = 'layer';
      grid.dataset.z = String(z);
      grid.style.gridTemplateColumns = `repeat(${X}, var(--cell))`;
      grid.style.gridTemplateRows = `repeat(${Y}, var(--cell))`;
      box.append(title, grid);
      layers.push(box);
      grids.push(grid);
    }
    $('layers').replaceChildren(...layers);
    $('layers').classList.toggle('wide', X > 4);
    for (let cell = 0; cell < puzzle.count; cell += 1) {
      const { x, y, z } = shownCoordinates(puzzle, cell);
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.cell = String(cell);
      button.style.gridColumn = String(x);
      button.style.gridRow = String(Y + 1 - y);
      button.setAttribute('aria-label', `x ${x}, y ${y}, z ${z}`);
      button.addEventListener('click', () => clickCell(cell));
      button.addEventListener('pointerenter', () => { my.pointed = cell; showGhost(); });
      button.addEventListener('pointerleave', () => { my.pointed = -1; showGhost(); });
      button.tabIndex = cell === 0 ? 0 : -1;
      grids[Z - z].append(button);
      cellButtons.push(button);
    }
  }

  // The cells are one Tab stop: arrow keys move in a layer (up is the row above), Page Up and
  // Page Down to the same cell of the layer above or below, Home and End to the first and last.
  function moveInLayers(e) {
    const from = cellButtons.indexOf(document.activeElement);
    if (from < 0) return;
    const { coords, cellAt, size: [X, Y, Z], count } = my.puzzle;
    const [x, y, z] = coords[from];
    const to = {
      ArrowLeft: [x - 1, y, z], ArrowRight: [x + 1, y, z], ArrowUp: [x, y + 1, z], ArrowDown: [x, y - 1, z],
      PageUp: [x, y, z + 1], PageDown: [x, y, z - 1],
    }[e.key];
    if (!to && e.key !== 'Home' && e.key !== 'End') return;
    e.preventDefault();
    let cell = e.key === 'Home' ? 0 : count - 1;
    if (to) {
      // Past a gap of a target that is not a box, to the next cell that way.
      const step = to.map((v, a) => v - coords[from][a]);
      cell = -1;
      for (let c = to; cell < 0 && c.every((v, a) => v >= 0 && v < [X, Y, Z][a]); c = c.map((v, a) => v + step[a])) cell = cellAt[c[0] + X * (c[1] + Y * c[2])];
      if (cell < 0) return;
    }
    for (const b of cellButtons) b.tabIndex = -1;
    cellButtons[cell].tabIndex = 0;
    cellButtons[cell].focus();
    my.pointed = cell;
    showGhost();
  }

  function showFinder() {
    const { run } = state;
    const { query, found, pen, puzzle } = my;
    const { pieces } = puzzle;
    $('hint-rule').textContent = puzzle.builtin ? HINT_RULE : HINT_RULE.replace('in the cube', `in the ${whole(puzzle)}`);
    $('find-turns').textContent = puzzle.builtin ? 'any of the 24 ways' : `any of the ${puzzle.turns.length} ways that take the ${whole(puzzle)} onto itself`;
    makePens($('pens'), puzzle, state.mode, [...pieces.map((_, p) => p), EMPTY], pen, (p) => {
      my.pen = p;
      refresh(state);
    }, EMPTY);
    const inWhole = my.placing === 'whole' && pen !== EMPTY;
    $('orientation-row').hidden = !inWhole;
    if (inWhole) $('orientation-text').textContent = `Piece ${label(pen)}: orientation ${my.orientations[pen] + 1} of ${puzzle.orientations[pen].length}`;
    const colours = coloursOf(puzzle, state.mode);
    const hintedCells = withHints(new Int8Array(puzzle.count).fill(EMPTY), my.hints);
    query.forEach((p, cell) => {
      const b = cellButtons[cell];
      const hinted = hintedCells[cell];
      const shown = p === EMPTY ? hinted : p;
      b.textContent = shown === EMPTY ? '' : label(shown);
      b.style.background = shown === EMPTY ? '' : colours[shown];
      b.style.color = shown === EMPTY ? '' : labelInk(colours[shown]);
      b.classList.toggle('own', p !== EMPTY && p === pen);
      b.classList.toggle('hinted', p === EMPTY && hinted !== EMPTY);
      const { x, y, z } = shownCoordinates(puzzle, cell);
      const holds = p !== EMPTY ? `piece ${label(p)}` : hinted !== EMPTY ? `hint: piece ${label(hinted)}` : 'empty';
      b.setAttribute('aria-label', `x ${x}, y ${y}, z ${z}: ${holds}`);
    });
    showGhost();

    const marked = pieces.map((_, p) => query.filter((q) => q === p).length);
    const put = pieces.map((piece, p) => (marked[p] ? `${piece.label} (${marked[p] === piece.cubes.length ? 'whole' : `${marked[p]} of ${piece.cubes.length} cubes`})` : null)).filter(Boolean);
    $('put-in').textContent = put.length ? `Put in: ${put.join(', ')}.` : 'Nothing put in yet.';
    const why = whyImpossible(query, puzzle);
    $('find-why').hidden = why.length === 0;
    $('find-why').textContent = why.length ? `This cannot be part of any assembly of the ${whole(puzzle)}. ${why.join(' ')}` : '';
    $('find-undo').disabled = my.undo.length === 0;
    $('find-hint').disabled = !found || found.places.length === 0;
    $('hint-text').hidden = my.hints.length === 0;
    $('hint-text').textContent = my.hints.map(({ piece, cells, matches }, i) => {
      const where = cells.map((c) => { const { x, y, z } = shownCoordinates(puzzle, c); return `(${x}, ${y}, ${z})`; }).join(' ');
      return `Hint ${i + 1}: piece ${label(piece)} goes on x, y, z = ${where}; ${count(matches, 'solution')} ${matches === 1 ? 'completes' : 'complete'} your pieces with it.`;
    }).join('\n');
    $('found').hidden = !found;
    $('found-count').textContent = '';
    if (!found) return;
    const n = found.places.length;
    const early = run.summary ? '' : ` Run ${run.number} was stopped before its end, so a whole run may hold more.`;
    $('found-count').textContent = n
      ? `${n === run.count && n > 1 ? 'All ' : ''}${count(n, 'solution')} of run ${run.number} ${n === 1 ? 'completes' : 'complete'} this${n > 1 ? ', listed below' : ''}.`
      : `No solution of run ${run.number} completes this, in any of ${puzzle.builtin ? "the cube's 24 rotations" : `the ${puzzle.turns.length} turns of the ${whole(puzzle)}`}.${early}`;
    const shown = Math.min(n, my.listed);
    $('found-list').replaceChildren(...Array.from({ length: shown }, (_, i) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = String(run.numbers[found.places[i]]);
      button.title = found.turns[i] ? 'Open it, turned to match' : 'Open it (it matches unturned)';
      button.setAttribute('aria-label', `Solution ${button.textContent}${found.turns[i] ? ', turned to match' : ''}`);
      if (i === my.opened) button.className = 'open';
      button.addEventListener('click', () => openFound(i));
      return button;
    }));
    $('found-more').hidden = shown >= n;
    $('found-more').textContent = `Show ${Math.min(LISTED, n - shown)} more (of ${(n - shown).toLocaleString('en')})`;
    $('found-open').hidden = my.opened < 0;
    $('find-fade-box').hidden = my.opened < 0;
    if (my.opened >= 0) {
      const number = run.numbers[found.places[my.opened]];
      $('found-open').replaceChildren(`Shown: solution ${number}${found.turns[my.opened] ? ', turned to match your pieces' : ', as in the file'}. `, link('See it in the Solution view', () => {
        setSolution(state, run, found.places[my.opened]);
        state.turn = found.turns[my.opened];
        state.view = 'solution';
        refresh(state);
      }));
    }
  }

  function turnOrientation(by) {
    const p = my.pen;
    if (p === EMPTY) return;
    const n = my.puzzle.orientations[p].length;
    my.orientations[p] = (my.orientations[p] + by + n) % n;
    say('');
    showFinder();
  }

  makeLayers();
  $('layers').addEventListener('keydown', moveInLayers);
  // A run of another puzzle: its own layers, and nothing put in.
  state.signals.runShown.add(() => {
    const { puzzle } = state.run;
    if (puzzle.key === my.puzzle.key) return;
    Object.assign(my, { puzzle, query: new Int8Array(puzzle.count).fill(EMPTY), undo: [], pen: 0, orientations: puzzle.pieces.map(() => 0), found: null, opened: -1, hints: [] });
    makeLayers();
  });
  for (const radio of document.querySelectorAll('input[name=placing]')) {
    radio.addEventListener('change', () => {
      my.placing = radio.value;
      showFinder();
    });
  }
  $('orientation-previous').addEventListener('click', () => turnOrientation(-1));
  $('orientation-next').addEventListener('click', () => turnOrientation(1));
  $('find-undo').addEventListener('click', () => {
    if (!my.undo.length) return;
    my.query = readQuery(my.undo.pop(), my.puzzle).cells;
    say('');
    search();
    refresh(state);
  });
  $('find-hint').addEventListener('click', () => {
    revealHints(my.hints.length + 1);
    refresh(state);
  });
  $('find-clear').addEventListener('click', () => changeQuery((q) => q.fill(EMPTY)));
  $('found-more').addEventListener('click', () => {
    my.listed += LISTED;
    showFinder();
  });
  $('find-fade').addEventListener('change', () => drawStage(state));

  return {
    name: 'find',
    slice: my,
    address: {
      key: 'find',
      solution: null,
      write() {
        const keys = [`find=${writeQuery(my.query)}`];
        if (my.found && my.opened >= 0) keys.push(`solution=${state.run.numbers[my.found.places[my.opened]]}`);
        if (my.hints.length) keys.push(`hint=${my.hints.length}`);
        return keys;
      },
      go(wanted, run) {
        showRun(state, run);
        const read = readQuery(wanted.params.get('find'), run.puzzle);
        if (read.error) {
          say(`The partial assembly in this link cannot be read: ${read.error}.`);
          return false;
        }
        let k = -1;
        if (wanted.solution !== null && (k = placeOf(run, wanted.solution)) < 0) return false;
        showRun(state, run);
        if (writeQuery(read.cells) !== writeQuery(my.query)) my.undo.push(writeQuery(my.query));
        my.query = read.cells;
        state.view = 'find';
        search();
        say('');
        const hint = wanted.params.get('hint');
        if (hint !== null) {
          if (/^\d+$/.test(hint)) revealHints(Number(hint));
          else say(`"hint=${hint}" is not a number of hints.`);
        }
        if (k >= 0) {
          const i = my.found ? my.found.places.indexOf(k) : -1;
          if (i < 0) say(`Solution ${wanted.solution} does not complete this partial assembly in any rotation.`);
          my.opened = i;
          my.listed = Math.max(LISTED, Math.ceil((i + 1) / LISTED) * LISTED);
        }
        refresh(state);
        return true;
      },
    },
    enter: search,
    panel: showFinder,
    stage() {
      const opened = openedCells();
      // The opened solution's pieces on the cells put in (identical pieces may have other labels).
      const mine = new Set(opened ? Array.from(my.query).flatMap((p, c) => (p >= 0 ? [opened[c]] : [])) : []);
      const faded = opened && $('find-fade').checked ? Array.from(opened, (p) => mine.has(p)) : null;
      showBodies(state, 0, bodiesOf(opened || withHints(my.query, my.hints), { faded }, my.puzzle), { withFrame: !opened });
      const { found, opened: i } = my;
      captions(opened
        ? `Solution ${state.run.numbers[found.places[i]]}${found.turns[i] ? ', turned to match your pieces' : ''}`
        : `Your pieces, as put in${my.hints.length ? `, and ${count(my.hints.length, 'hint')}` : ''}`);
    },
    // N and P: the next or previous solution found.
    step(by) {
      if (!my.found || !my.found.places.length) {
        say('No solution found to step through.');
        return;
      }
      const opened = my.opened + by;
      if (opened < 0 || opened >= my.found.places.length) {
        say(`That was the ${by > 0 ? 'last' : 'first'} solution found.`);
        return;
      }
      say('');
      openFound(opened);
    },
    shownCells: () => openedCells() || withHints(my.query, my.hints),
  };
}
