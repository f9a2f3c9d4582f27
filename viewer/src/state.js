// The page's state, shared by every view, and its change notices. A view keeps its own part of
// the state itself (see views/; its record's `slice`); what is here is what they share: the file
// and its runs, the run and solution shown, the turn it is shown in, the colour mode, the piece
// singled out (and whether the others hide) and the measured times. The views are mounted into `views` (by name) and `order` (the tabs' order; the
// first is the view of one solution, where choosing a solution goes from a view that shows none).
//
// Notices: `changed` brings the page up to date with the state (the tabs, the view's panel, the
// address and the stage, in that order), `runShown` says that another run is shown, `focused`
// that the piece singled out is drawn, `loaded` that a file has been read in.
import { solutionAt, findSolution } from './parse.js';
import { turnCellsOf } from './puzzle.js';
import { say } from './page.js';

function signal() {
  const listeners = [];
  return { add: (listener) => listeners.push(listener), dispatch: (...args) => listeners.forEach((l) => l(...args)) };
}

export function createState() {
  return {
    file: null, runs: [], problems: [], run: null, index: -1, solution: null, focus: null, hideOthers: false,
    mode: 'distinct', timing: {}, view: null, turn: 0, views: {}, order: [],
    signals: { changed: signal(), runShown: signal(), focused: signal(), loaded: signal() },
  };
}

// Adds a view (what a views/ module makes) to the page.
export function mount(state, view) {
  state.views[view.name] = view;
  state.order.push(view.name);
  if (!state.view) state.view = view.name;
}

export const currentView = (state) => state.views[state.view];
export const refresh = (state) => state.signals.changed.dispatch();
export const cellsAt = (run, k) => run.cells.subarray(k * run.puzzle.count, (k + 1) * run.puzzle.count);

// The solution shown, turned as it is shown.
export const shownCells = (state) => (state.turn ? turnCellsOf(state.run.puzzle, state.solution.cells, state.turn) : state.solution.cells);

// Something made once per run when first asked for (the finder's sets of cells, the charts'
// counts), and how long it took, in state.timing[`${key}Ms`].
export function madeOnce(state, run, key, make) {
  if (!run[key]) {
    const started = performance.now();
    run[key] = make(run);
    state.timing[`${key}Ms`] = performance.now() - started;
  }
  return run[key];
}

// Why solution `number` of a run is not shown.
export function missing(run, number) {
  const damaged = run.problems.find((p) => p.solution === number);
  if (damaged) return `Solution ${number} of run ${run.number} is left out: ${damaged.text.replace(/; left out$/, '')} (line ${damaged.line}).`;
  const range = run.count ? `its solutions go from ${run.numbers[0]} to ${run.numbers[run.count - 1]}` : 'it holds no readable solution';
  return `Run ${run.number} has no solution ${number}: ${range}.`;
}

// The place of solution `number` in a run; when it is not there, says so (naming it as
// `written`) and gives -1.
export function placeOf(run, number, written = number) {
  const k = Number.isInteger(number) ? findSolution(run, number) : -1;
  if (k < 0) say(Number.isInteger(number) ? missing(run, number) : `"${written}" is not a solution number.`);
  return k;
}

export function runOf(state, runNumber) {
  const run = state.runs[runNumber - 1];
  if (!Number.isInteger(runNumber) || !run) {
    say(`This file has no run ${runNumber}: it holds ${state.runs.length === 1 ? 'run 1 only' : `runs 1 to ${state.runs.length}`}.`);
    return null;
  }
  return run;
}

// Makes solution k (0-based) of a run the current one, or none when the run holds none.
export function setSolution(state, run, k) {
  if (run !== state.run) {
    state.run = run;
    state.signals.runShown.dispatch();
  }
  state.index = run.count ? k : -1;
  state.solution = run.count ? solutionAt(run, k) : null;
}

// Makes a run the current one, at its solution 1 (or its first), unless it already is.
export function showRun(state, run) {
  if (run !== state.run) setSolution(state, run, Math.max(findSolution(run, 1), 0));
}

// Each view's own state back to how a new run starts it.
export function resetViews(state) {
  for (const name of state.order) state.views[name].reset?.();
}

// Shows a view, as its tab does.
export function setView(state, name) {
  if (!state.run || name === state.view) return;
  say('');
  state.view = name;
  currentView(state).enter?.();
  refresh(state);
}

// Shows solution k (0-based) of a run as in the file: in the view shown when that view shows a
// solution, else in the view of one solution.
export function show(state, run, k) {
  setSolution(state, run, k);
  state.turn = 0;
  if (!currentView(state).showsSolution) state.view = state.order[0];
  currentView(state).enter?.();
  refresh(state);
}

// N and P, the arrows of the Solution view: what the view shown steps through.
export function step(state, by) {
  if (state.run && state.run.count) currentView(state).step?.(by);
}

// R and Random: a solution picked at random, where the view shown has that.
export function random(state) {
  if (state.run && state.run.count) currentView(state).random?.();
}

// The next or previous solution of the run.
export function stepSolution(state, by) {
  const { run, index } = state;
  const k = index + by;
  if (k < 0 || k >= run.count) {
    say(`That was the ${by > 0 ? 'last' : 'first'} solution of run ${run.number}.`);
    return;
  }
  say('');
  show(state, run, k);
}

// Another solution of the run, picked at random.
export function randomSolution(state) {
  const { run, index } = state;
  if (run.count === 1) {
    say(`Run ${run.number} holds one solution only.`);
    return;
  }
  const k = (index + 1 + Math.floor(Math.random() * (run.count - 1))) % run.count;
  say('');
  show(state, run, k);
}
