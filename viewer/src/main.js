// The viewer page: reads a solutions file in a worker, lets the user choose a run and a solution
// (also through the address, #run=R&solution=N), and shows the cube in 3D: each piece in its
// colour with its label on every face, an exploded view, the order of assembly, and any piece
// singled out.
import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';

import { readSolutionsFile, solutionAt, findSolution, cellCoordinates } from './parse.js';
import { PIECES } from './pieces.js';
import { COLOUR_MODES, drawFace } from './colours.js';
import { explodedOffsets, START_VIEW } from './explode.js';

const BACKGROUND = 0xf4f4f0;
const FIRST_PROBLEMS = 3;
const TURN = Math.PI / 12;
// (OrbitControls "dolly out" brings the camera nearer.)
const ZOOM = 1.15;

const $ = (id) => document.getElementById(id);
const count = (n, word, words = `${word}s`) => `${n.toLocaleString('en')} ${n === 1 ? word : words}`;
const state = {
  file: null, runs: [], problems: [], run: null, index: -1, solution: null, focus: null, mode: 'distinct',
  timing: {},
};

// ---- The scene ----------------------------------------------------------------------------

const stage = $('stage');
const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
renderer.setClearColor(BACKGROUND);
const canvas = renderer.domElement;
canvas.tabIndex = 0;
canvas.setAttribute('aria-label', 'The cube. Arrow keys turn it, + and - zoom, N and P step through the solutions.');
stage.appendChild(canvas);
const scene = new THREE.Scene();
const camera = new THREE.PerspectiveCamera(40, 1, 0.1, 200);
camera.position.set(...START_VIEW);
const controls = new OrbitControls(camera, canvas);
controls.saveState();
controls.addEventListener('change', draw);

// A face turned straight up gets exactly its own colour (ambient and overhead light add up to
// one); the sides get less, the right more than the front, so the cube reads as solid.
scene.add(new THREE.AmbientLight(0xffffff, 0.62 * Math.PI));
const overhead = new THREE.DirectionalLight(0xffffff, 0.38 * Math.PI);
overhead.position.set(0, 1, 0);
scene.add(overhead);
const side = new THREE.DirectionalLight(0xffffff, 0.3 * Math.PI);
side.position.set(1, 0, 0.35);
scene.add(side);

const model = new THREE.Group();
scene.add(model);
const unitCube = new THREE.BoxGeometry(1, 1, 1);

// One face texture, cube material and outline material per piece and colour mode.
const materials = {};
function materialsFor(mode) {
  if (!materials[mode]) {
    materials[mode] = PIECES.map((piece, p) => {
      const texture = new THREE.CanvasTexture(faceCanvas(mode, p, 128));
      texture.colorSpace = THREE.SRGBColorSpace;
      texture.anisotropy = 4;
      return {
        face: new THREE.MeshLambertMaterial({ map: texture, polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1 }),
        line: new THREE.LineBasicMaterial({ color: 0x161616 }),
      };
    });
  }
  return materials[mode];
}

function faceCanvas(mode, piece, size) {
  const face = document.createElement('canvas');
  face.width = size;
  face.height = size;
  drawFace(face.getContext('2d'), size, COLOUR_MODES[mode].colours[piece], PIECES[piece].label);
  return face;
}

// The starting view's axes: right and up on the screen, and towards the viewer.
const VIEW_DEPTH = new THREE.Vector3(...START_VIEW).normalize();
const VIEW_RIGHT = new THREE.Vector3(0, 1, 0).cross(VIEW_DEPTH).normalize();
const VIEW_UP = VIEW_DEPTH.clone().cross(VIEW_RIGHT);

// Board x runs to the right, board z (the layers) upwards, board y into the picture.
const toScene = (x, y, z) => new THREE.Vector3(x, z, -y);

// The edges where a piece's surface folds, in board coordinates: where a face meets another face
// of the piece at a right angle, outwards or inwards. Edges inside a flat side are left out, so
// each piece is outlined as one solid.
function outline(cells) {
  const key = (x, y, z) => (x + 1) * 64 + (y + 1) * 8 + (z + 1);
  const has = new Set(cells.map(([x, y, z]) => key(x, y, z)));
  const at = (c, d, e = [0, 0, 0]) => has.has(key(c[0] + d[0] + e[0], c[1] + d[1] + e[1], c[2] + d[2] + e[2]));
  const axes = [[1, 0, 0], [0, 1, 0], [0, 0, 1]];
  const edges = new Map();
  for (const c of cells) {
    for (let a = 0; a < 3; a += 1) {
      for (const sa of [-1, 1]) {
        const n = axes[a].map((v) => v * sa);
        if (at(c, n)) continue;
        for (let b = 0; b < 3; b += 1) {
          if (b === a) continue;
          for (const sb of [-1, 1]) {
            const s = axes[b].map((v) => v * sb);
            if (at(c, s) && !at(c, s, n)) continue;
            const t = axes[3 - a - b];
            const middle = c.map((v, i) => v + n[i] / 2 + s[i] / 2);
            edges.set(middle.map((v) => v * 2).join(','), [middle.map((v, i) => v - t[i] / 2), middle.map((v, i) => v + t[i] / 2)]);
          }
        }
      }
    }
  }
  const points = [];
  for (const [from, to] of edges.values()) points.push(toScene(...from), toScene(...to));
  return points;
}

function resize() {
  const { clientWidth: w, clientHeight: h } = stage;
  renderer.setSize(w, h, false);
  camera.aspect = w / Math.max(h, 1);
  camera.updateProjectionMatrix();
  draw();
}

function draw() {
  renderer.render(scene, camera);
}

// Builds the shown solution: one group per placed piece, moved out as far as the exploded view
// says, the whole scaled down so that the exploded cube stays in sight.
function showSolution() {
  model.clear();
  const { solution } = state;
  if (solution) {
    const spread = Number($('explode').value) / 100;
    const step = Number($('step').value);
    const mine = materialsFor(state.mode);
    const offsets = explodedOffsets(solution.cells);
    const cellsOf = PIECES.map(() => []);
    solution.cells.forEach((piece, index) => {
      const { x, y, z } = cellCoordinates(index);
      cellsOf[piece].push([x - 2.5, y - 2.5, z - 2.5]);
    });
    // Centre the pieces as seen from the starting view, and scale them to fit its picture.
    const placed = cellsOf.flatMap((cells, piece) => cells.map((c) => toScene(...c).add(toScene(...offsets[piece]).multiplyScalar(spread))));
    const span = (axis) => {
      const along = placed.map((p) => p.dot(axis));
      return [(Math.min(...along) + Math.max(...along)) / 2, (Math.max(...along) - Math.min(...along)) / 2 + 0.87];
    };
    const [[x, halfWidth], [y, halfHeight], [z]] = [VIEW_RIGHT, VIEW_UP, VIEW_DEPTH].map(span);
    const scale = Math.min(1, 3.8 / halfHeight, 3.8 * camera.aspect / halfWidth);
    model.scale.setScalar(scale);
    model.position.copy(VIEW_RIGHT.clone().multiplyScalar(x).addScaledVector(VIEW_UP, y).addScaledVector(VIEW_DEPTH, z).multiplyScalar(-scale));
    for (const piece of solution.order.slice(0, step)) {
      const group = new THREE.Group();
      group.userData.piece = piece;
      group.position.copy(toScene(...offsets[piece]).multiplyScalar(spread));
      for (const c of cellsOf[piece]) {
        const mesh = new THREE.Mesh(unitCube, mine[piece].face);
        mesh.position.copy(toScene(...c));
        mesh.userData.piece = piece;
        group.add(mesh);
      }
      const edges = new THREE.BufferGeometry().setFromPoints(outline(cellsOf[piece]));
      group.add(new THREE.LineSegments(edges, mine[piece].line));
      model.add(group);
    }
    const names = solution.order.slice(0, step).map((p) => PIECES[p].label).join(' ');
    $('step-text').textContent = step === 0 ? 'no piece yet' : `${step} of 13 (${names})`;
  }
  showLegend();
  applyFocus();
}

// A singled-out piece keeps its looks; the others fade or hide.
function applyFocus() {
  const { focus } = state;
  const hide = $('others').value === 'hide';
  materialsFor(state.mode).forEach(({ face, line }, piece) => {
    const faded = focus !== null && piece !== focus && !hide;
    for (const material of [face, line]) {
      material.transparent = faded;
      material.opacity = faded ? (material === face ? 0.14 : 0.25) : 1;
      material.depthWrite = !faded;
      material.needsUpdate = true;
    }
  });
  for (const group of model.children) group.visible = focus === null || group.userData.piece === focus || !hide;
  for (const item of document.querySelectorAll('.piece-entry')) {
    item.classList.toggle('focused', Number(item.dataset.piece) - 1 === focus);
  }
  const piece = PIECES[focus];
  $('focus-text').textContent = piece ? `Piece ${piece.label} singled out: click it again or press Esc to see all.` : '';
  draw();
}

function setFocus(piece) {
  state.focus = piece === state.focus ? null : piece;
  applyFocus();
}

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
    const swatch = faceCanvas(state.mode, piece, 22);
    swatch.className = 'swatch';
    const { label, name, colour } = PIECES[piece];
    // In distinct colours the swatch is not the piece's own colour, so the name says that apart.
    const shown = state.mode === 'real' || !name.startsWith(`${colour} `) ? name : `${name.slice(colour.length + 1)} (${colour} in the puzzle)`;
    item.append(swatch, `${k + 1}. Piece ${label}: ${shown}`);
    item.addEventListener('click', () => setFocus(piece));
    return item;
  }));
}

// ---- Choosing what is shown -----------------------------------------------------------------

function say(text) {
  $('message').textContent = text;
}

function writeHash() {
  const { run, solution } = state;
  if (!run) return;
  const hash = `#run=${run.number}&solution=${solution ? solution.number : ''}`;
  if (location.hash !== hash) history.replaceState(null, '', hash);
}

// Shows solution k (0-based) of a run, or the run alone when it holds none.
function show(run, k) {
  if (run !== state.run) {
    state.run = run;
    $('run').value = String(run.number);
    showRunInfo();
  }
  state.index = run.count ? k : -1;
  state.solution = run.count ? solutionAt(run, k) : null;
  $('solution').value = state.solution ? String(state.solution.number) : '';
  $('picture').replaceChildren();
  if (state.solution) {
    const axes = document.createElement('span');
    axes.className = 'axes';
    axes.textContent = '  z = 4      z = 3      z = 2      z = 1\n';
    $('picture').append(`Solution ${state.solution.number}   (file line ${state.solution.line})\n`, axes, state.solution.lines.join('\n'));
  }
  writeHash();
  showSolution();
}

// Why solution `number` of a run is not shown.
function missing(run, number) {
  const damaged = run.problems.find((p) => p.solution === number);
  if (damaged) return `Solution ${number} of run ${run.number} is left out: ${damaged.text.replace(/; left out$/, '')} (line ${damaged.line}).`;
  const range = run.count ? `its solutions go from ${run.numbers[0]} to ${run.numbers[run.count - 1]}` : 'it holds no readable solution';
  return `Run ${run.number} has no solution ${number}: ${range}.`;
}

// Goes to run `runNumber`, solution `number`; when they are not there, says so and keeps the view.
function goTo(runNumber, number) {
  const run = state.runs[runNumber - 1];
  if (!Number.isInteger(runNumber) || !run) {
    say(`This file has no run ${runNumber}: it holds ${state.runs.length === 1 ? 'run 1 only' : `runs 1 to ${state.runs.length}`}.`);
    writeHash();
    return false;
  }
  const k = Number.isInteger(number) ? findSolution(run, number) : -1;
  if (k < 0) {
    say(Number.isInteger(number) ? missing(run, number) : `"${number}" is not a solution number.`);
    writeHash();
    $('solution').value = state.solution ? String(state.solution.number) : '';
    return false;
  }
  say('');
  show(run, k);
  return true;
}

function step(by) {
  const { run, index } = state;
  if (!run || run.count === 0) return;
  const k = index + by;
  if (k < 0 || k >= run.count) {
    say(`That was the ${by > 0 ? 'last' : 'first'} solution of run ${run.number}.`);
    return;
  }
  say('');
  show(run, k);
}

function readHash() {
  const params = new URLSearchParams(location.hash.slice(1));
  if (!params.has('run') && !params.has('solution')) return null;
  const run = params.has('run') ? Number(params.get('run')) : state.runs.length;
  return { run, solution: params.has('solution') ? Number(params.get('solution')) : 1 };
}

// After a file loads: the view the address names, or else solution 1 of the run it names or of
// the last run.
function showFirstView() {
  state.run = null;
  const wanted = readHash();
  if (wanted && goTo(wanted.run, wanted.solution)) return;
  const message = $('message').textContent;
  const run = (wanted && state.runs[wanted.run - 1]) || state.runs[state.runs.length - 1];
  const first = findSolution(run, 1);
  show(run, Math.max(first, 0));
  if (!run.count) say(`${message} Run ${run.number} holds no readable solution.`.trim());
  else if (first < 0 && !(wanted && wanted.solution === 1)) say(`${message} ${missing(run, 1)}`.trim());
  else say(message);
}

// ---- What the file holds --------------------------------------------------------------------

// "2, 3 and 5 to 9"
function numberList(numbers) {
  const parts = [];
  for (let i = 0; i < numbers.length;) {
    let j = i;
    while (j + 1 < numbers.length && numbers[j + 1] === numbers[j] + 1) j += 1;
    parts.push(j - i >= 2 ? `${numbers[i]} to ${numbers[j]}` : numbers.slice(i, j + 1).join(', '));
    i = j + 1;
  }
  return parts.length > 1 ? `${parts.slice(0, -1).join(', ')} and ${parts[parts.length - 1]}` : parts[0];
}

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
  say('');
  show(run, Math.max(findSolution(run, 1), 0));
});
$('solution').addEventListener('change', (e) => goTo(state.run.number, e.target.value.trim() === '' ? NaN : Number(e.target.value)));
$('previous').addEventListener('click', () => step(-1));
$('next').addEventListener('click', () => step(1));
for (const radio of document.querySelectorAll('input[name=colours]')) {
  radio.addEventListener('change', () => {
    state.mode = radio.value;
    showSolution();
  });
}
$('explode').addEventListener('input', showSolution);
$('step').addEventListener('input', showSolution);
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
  if (state.runs.length && wanted) goTo(wanted.run, wanted.solution);
});

// A click (not a drag) on a piece singles it out; on the singled-out piece or on nothing, shows all.
const raycaster = new THREE.Raycaster();
let pressedAt = null;
canvas.addEventListener('pointerdown', (e) => {
  pressedAt = [e.clientX, e.clientY];
  canvas.focus();
});
canvas.addEventListener('pointerup', (e) => {
  if (!pressedAt || Math.hypot(e.clientX - pressedAt[0], e.clientY - pressedAt[1]) > 4) return;
  const rect = canvas.getBoundingClientRect();
  raycaster.setFromCamera(new THREE.Vector2(((e.clientX - rect.left) / rect.width) * 2 - 1, 1 - ((e.clientY - rect.top) / rect.height) * 2), camera);
  const meshes = model.children.filter((g) => g.visible).flatMap((g) => g.children.filter((m) => m.isMesh));
  const focused = meshes.filter((m) => m.userData.piece === state.focus);
  const hit = raycaster.intersectObjects(focused)[0] || raycaster.intersectObjects(meshes)[0];
  state.focus = hit && hit.object.userData.piece !== state.focus ? hit.object.userData.piece : null;
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
    Escape: () => setFocus(null),
  };
  const action = actions[e.key.length === 1 ? e.key.toLowerCase() : e.key];
  if (!action || e.ctrlKey || e.metaKey || e.altKey) return;
  e.preventDefault();
  action();
  controls.update();
  draw();
});

window.addEventListener('resize', resize);
resize();

// For tests, measurements and the curious: what the page shows.
window.tandorViewer = {
  state,
  shownPieces: () => model.children.filter((g) => g.visible).map((g) => g.userData.piece + 1).sort((a, b) => a - b),
  // Where on the canvas (in CSS pixels) a corner of the top face of a piece's highest cube shows.
  topFacePoint(piece) {
    const group = model.children.find((g) => g.userData.piece === piece - 1);
    if (!group) return null;
    const top = group.children.filter((m) => m.isMesh).reduce((a, b) => (b.position.y > a.position.y ? b : a));
    const point = top.localToWorld(new THREE.Vector3(-0.3, 0.5, 0.3)).project(camera);
    return { x: (point.x + 1) / 2 * canvas.clientWidth, y: (1 - point.y) / 2 * canvas.clientHeight, cellTop: top.position.y };
  },
  camera: () => camera.position.toArray().map((v) => Math.round(v * 1000) / 1000),
};
