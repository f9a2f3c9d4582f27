// The address: #run=R and the keys of the view shown. Each view says how it writes and reads its
// keys, in its `address`: the `key` whose presence names it (the view without one is shown
// otherwise), the `solution` it takes when the address names none (1 unless it says), `write()`
// (its keys, after run=R) and `go(wanted, run)`, which shows what the address asks for, or says
// why it cannot and answers false. Whatever cannot be shown keeps the view shown.
import { findSolution } from './parse.js';
import { readSolutionNumber } from './messages.js';
import { $, say } from './page.js';
import { currentView, runOf, placeOf, missing, setSolution, show, resetViews } from './state.js';

export function writeAddress(state) {
  const { run } = state;
  if (!run) return;
  const colours = state.mode === 'distinct' ? [] : [`colours=${state.mode}`];
  const hash = `#${[`run=${run.number}`, ...currentView(state).address.write(), ...colours].join('&')}`;
  if (location.hash !== hash) history.replaceState(null, '', hash);
}

// The keys of a view that shows the solution: solution=N, and turn=T when it is shown turned.
export function solutionKeys(state) {
  const keys = [`solution=${state.solution ? state.solution.number : ''}`];
  if (state.turn) keys.push(`turn=${state.turn}`);
  return keys;
}

// What the address asks for: { view, params, run, solution, turn }, or null when it names nothing.
function readAddress(state) {
  const params = new URLSearchParams(location.hash.slice(1));
  const views = state.order.map((name) => state.views[name]);
  const view = views.find((v) => v.address.key && params.has(v.address.key)) || views.find((v) => !v.address.key);
  if (!view.address.key && !params.has('run') && !params.has('solution')) return null;
  // A number as written; what is not a whole number stays as it was written, to be quoted back.
  const number = (key, otherwise) => {
    if (!params.has(key)) return otherwise;
    const read = readSolutionNumber(params.get(key));
    return read.error ? params.get(key) : read.number;
  };
  const solution = view.address.solution === undefined ? 1 : view.address.solution;
  return { view, params, run: number('run', state.runs.length), solution: number('solution', solution), turn: number('turn', 0) };
}

// The place of the solution an address asks for, shown in the turn it asks for; or -1 when one
// of them is not there, having said why.
export function askedSolution(wanted, run) {
  const k = placeOf(run, wanted.solution);
  if (k < 0) return -1;
  const { turns, builtin } = run.puzzle;
  if (!Number.isInteger(wanted.turn) || wanted.turn < 0 || wanted.turn >= turns.length) {
    say(`"turn=${wanted.turn}" is not one of the ${builtin ? "cube's rotations" : 'turns of the target'}, 0 to ${turns.length - 1}.`);
    return -1;
  }
  return k;
}

// Makes solution k of a run the one shown, turned by `turn`, in the view `name`, as an address
// asks once all it asks for is there; the view then brings the page up to date.
export function showAsked(state, name, run, k, turn) {
  say('');
  setSolution(state, run, k);
  state.turn = turn;
  state.view = name;
}

// Shows the view an address names; when something in it is not there or wrong, says what and
// keeps the view shown.
function goTo(state, wanted) {
  // &colours=real: the colour mode, in any view.
  const mode = wanted.params.get('colours') || 'distinct';
  const radio = document.querySelector(`input[name=colours][value="${CSS.escape(mode)}"]`);
  if (radio) {
    radio.checked = true;
    state.mode = mode;
  }
  const run = runOf(state, wanted.run);
  if (run && wanted.view.address.go(wanted, run)) return true;
  writeAddress(state);
  return false;
}

// After a file loads: the view the address names, or else solution 1 of the run it names or of
// the last run.
function showFirstView(state) {
  state.run = null;
  state.view = state.order[0];
  state.turn = 0;
  resetViews(state);
  const wanted = readAddress(state);
  if (wanted && goTo(state, wanted)) return;
  const message = $('message').textContent;
  const run = (wanted && state.runs[wanted.run - 1]) || state.runs[state.runs.length - 1];
  const first = findSolution(run, 1);
  show(state, run, Math.max(first, 0));
  if (!run.count) say(`${message} Run ${run.number} holds no readable solution.`.trim());
  else if (first < 0 && !(wanted && wanted.solution === 1)) say(`${message} ${missing(run, 1)}`.trim());
  else say(message);
}

export function startRouting(state) {
  state.signals.loaded.add(() => showFirstView(state));
  window.addEventListener('hashchange', () => {
    const wanted = readAddress(state);
    if (state.runs.length && wanted) goTo(state, wanted);
  });
}
