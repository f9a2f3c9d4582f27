// Reading a file in: the file picker and dropping, the reading in a worker with its progress,
// what the file and the run hold, the problems and their dialog, and the run menu.
import { readSolutionsFile, findSolution } from './parse.js';
import { count, numberList } from './words.js';
import { $, say } from './page.js';
import { currentView, refresh, setSolution, resetViews } from './state.js';
import { canReopen, remember, lastHandle, fileOf, choose } from './reopen.js';

const FIRST_PROBLEMS = 3;

// Seconds as the solver writes a run time, h:mm:ss.
export const clock = (seconds) => [Math.floor(seconds / 3600), Math.floor(seconds / 60) % 60, seconds % 60]
  .map((v, i) => (i ? String(v).padStart(2, '0') : String(v))).join(':');
const SOURCE = { file: 'solutions file', console: 'console report', mixed: 'file of solutions files and console reports' };

function showRunInfo(state) {
  const { run } = state;
  const { puzzle, header } = run;
  $('run').value = String(run.number);
  const notes = [`${count(run.count, 'solution')} in this run.`];
  if (!puzzle.builtin) {
    const target = `${puzzle.isBox ? 'a' : `a target of ${puzzle.count} cells in a`} ${puzzle.size.join(' x ')} box`;
    notes.unshift(`${puzzle.name}${puzzle.file ? ` (${puzzle.file})` : ''}: ${count(puzzle.pieces.length, 'piece')} in ${target}.`);
  }
  if (header && header.mirror) notes.push(`Mirror images: ${header.mirror}.`);
  if (header && header.search) notes.push(`Search: ${header.search}.`);
  // A puzzle file's pieces have no real colours: only distinct ones are offered.
  $('real-colours').hidden = !puzzle.builtin;
  const { summary } = run;
  if (summary) {
    notes.push(`It ended: ${count(summary.solutions, 'unique solution')}, ${count(summary.duplicates, 'duplicate rotation')} discarded${summary.runTime ? `, run time ${summary.runTime}` : ''}.`);
  } else {
    notes.push('It was stopped before its summary.');
  }
  if (run.console) {
    const { progressBlocks, duplicates, latest } = run.console;
    notes.push(`It is a console report: ${count(progressBlocks, 'progress block')}, ${count(duplicates, 'duplicate rotation')} discarded.`);
    if (latest) {
      notes.push(`Its last counters: ${latest.permutations.toLocaleString('en')} piece orders, ${latest.tilesAttempted.toLocaleString('en')} placements tried, ` +
        `${latest.tilesSucceeded.toLocaleString('en')} made, after ${clock(latest.seconds)}.`);
    }
  }
  if (run.sameAs) notes.push(`It is identical to run ${run.sameAs}.`);
  if (run.problems.length) notes.push(`${count(run.problems.length, 'problem')}: see above.`);
  $('info').textContent = notes.join(' ');
}

const describe = (p) => {
  const where = [p.run ? `Run ${p.run}` : null, p.solution ? `solution ${p.solution}` : null, `line ${p.line}`].filter(Boolean).join(', ');
  return `${where}: ${p.text}.`;
};

function showFileInfo(state, name, lineCount, kind) {
  const { runs } = state;
  const total = runs.reduce((sum, r) => sum + r.count, 0);
  const notes = [`${name}: ${kind === 'file' ? '' : `a ${SOURCE[kind]}, `}${count(runs.length, 'run')}, ${count(total, 'solution')}, ${count(lineCount, 'line')}.`];
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
  $('problems-summary').textContent = `${count(problems.length, 'problem')} in this ${kind === 'console' ? 'console report' : 'file'}: ${parts.join('; ')}. What is damaged is left out; everything else can be viewed.`;
  $('problems-first').replaceChildren(...problems.slice(0, FIRST_PROBLEMS).map((p) => {
    const item = document.createElement('li');
    item.textContent = describe(p);
    item.title = item.textContent;
    return item;
  }));
  $('show-problems').hidden = problems.length <= FIRST_PROBLEMS;
  $('show-problems').textContent = `Show all ${problems.length.toLocaleString('en')}`;
}

function loaded(state, result, file) {
  state.timing.parseMs = result.parseMs;
  if (result.runs.length === 0) {
    const kept = state.file ? ` Still showing ${state.file}.` : '';
    say(`${file.name}: ${result.error}${kept}`);
    return;
  }
  Object.assign(state, { file: file.name, runs: result.runs, problems: result.problems, run: null, focus: null });
  const named = state.runs.some((run) => !run.puzzle.builtin);
  $('run').replaceChildren(...state.runs.map((run) => {
    const option = document.createElement('option');
    option.value = String(run.number);
    const notes = [run.summary ? '' : 'stopped early', run.sameAs ? `identical to run ${run.sameAs}` : ''].filter(Boolean);
    // Each run with its puzzle's name, where the file is not all of the built-in puzzle.
    const name = named ? `${run.puzzle.name}, ` : '';
    option.textContent = `Run ${run.number}: ${name}${count(run.count, 'solution')}${notes.length ? ` (${notes.join(', ')})` : ''}`;
    return option;
  }));
  showFileInfo(state, file.name, result.lineCount, result.kind || 'file');
  $('controls').hidden = false;
  $('drop').classList.add('loaded');
  say(result.error || '');
  state.signals.loaded.dispatch();
  state.timing.shown = performance.now();
  requestAnimationFrame(() => { state.timing.painted = performance.now(); });
}

function progress(text, share) {
  $('progress-box').hidden = text === null;
  $('progress-text').textContent = text || '';
  if (share === undefined) $('progress').removeAttribute('value');
  else $('progress').value = share;
}

/* global WORKER_SOURCE */
let workerUrl = null;
let worker = null;

// Reads the file in a worker, so that the page stays live; where no worker can be made (no
// bundled worker, or a browser that refuses one), reads it here.
function readFile(state, file) {
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
      loaded(state, result, file);
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
      loaded(state, data.result, file);
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

export function startLoading(state) {
  state.signals.runShown.add(() => showRunInfo(state));
  $('file').addEventListener('change', (e) => readFile(state, e.target.files[0]));
  const drop = $('drop');
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    const item = e.dataTransfer.items && e.dataTransfer.items[0];
    if (canReopen() && item && item.getAsFileSystemHandle) item.getAsFileSystemHandle().then(remember, () => {});
    readFile(state, e.dataTransfer.files[0]);
  });
  // Where the browser keeps file handles: "Open…" keeps the file chosen, and the last one kept
  // is offered again.
  if (canReopen()) {
    $('open-file').hidden = false;
    $('open-file').addEventListener('click', () => choose().then((file) => file && readFile(state, file)));
    lastHandle().then((handle) => {
      if (!handle) return;
      $('reopen').hidden = false;
      $('reopen').textContent = `Reopen ${handle.name}`;
      $('reopen').addEventListener('click', () => fileOf(handle).then((file) => {
        if (file) readFile(state, file);
        else say(`${handle.name} was not reopened: the browser was not allowed to read it.`);
      }, (error) => say(`${handle.name} could not be reopened: ${error.message || error}.`)));
    });
  }
  // Another run chosen: its solution 1 (or its first), in the view shown.
  $('run').addEventListener('change', (e) => {
    const run = state.runs[Number(e.target.value) - 1];
    state.focus = null;
    resetViews(state);
    say('');
    setSolution(state, run, Math.max(findSolution(run, 1), 0));
    state.turn = 0;
    currentView(state).enter?.();
    refresh(state);
  });
  $('show-problems').addEventListener('click', () => {
    $('all-problems-title').textContent = `${count(state.problems.length, 'problem')} in ${state.file}`;
    $('all-problems-list').textContent = state.problems.map(describe).join('\n');
    $('all-problems').showModal();
  });
  $('close-problems').addEventListener('click', () => $('all-problems').close());
}
