// The viewer page: picks a solutions file, lets the user choose a run and a solution, and shows
// the cube in 3D with its pieces in colour, an exploded view and the order of assembly.
import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';

import { parseSolutionsFile, cellCoordinates, LABELS } from './parse.js';

const COLOURS = [
  '#e6194b', '#3cb44b', '#ffe119', '#4363d8', '#f58231', '#911eb4', '#46f0f0',
  '#f032e6', '#bcf60c', '#fabebe', '#008080', '#9a6324', '#800000',
];
const BACKGROUND = 0xf4f4f0;

const $ = (id) => document.getElementById(id);
const state = { runs: [], run: null, solution: null };

// The scene: one box per cell, grouped by piece.
const stage = $('stage');
const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
renderer.setClearColor(BACKGROUND);
stage.appendChild(renderer.domElement);
const scene = new THREE.Scene();
const camera = new THREE.PerspectiveCamera(40, 1, 0.1, 100);
camera.position.set(8, 9, 11.5);
const controls = new OrbitControls(camera, renderer.domElement);
controls.addEventListener('change', draw);
scene.add(new THREE.AmbientLight(0xffffff, 0.55));
const sun = new THREE.DirectionalLight(0xffffff, 0.9);
sun.position.set(5, 10, 7);
scene.add(sun);
const cube = new THREE.Group();
scene.add(cube);
const box = new THREE.BoxGeometry(0.96, 0.96, 0.96);
const edges = new THREE.EdgesGeometry(box);

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

// Board x runs to the right, board z (the layers) upwards, board y into the picture.
function placeCube(mesh, x, y, z, spread) {
  mesh.position.set(x - 2.5, (z - 2.5) * (1 + spread), 2.5 - y);
}

function showSolution() {
  const { run, solution } = state;
  cube.clear();
  if (!solution) return;
  const spread = Number($('explode').value) / 100;
  const step = Number($('step').value);
  const shown = new Set(solution.order.slice(0, step));
  solution.cells.forEach((piece, index) => {
    if (!shown.has(piece)) return;
    const { x, y, z } = cellCoordinates(index);
    const mesh = new THREE.Mesh(box, new THREE.MeshLambertMaterial({ color: COLOURS[piece] }));
    placeCube(mesh, x, y, z, spread);
    mesh.add(new THREE.LineSegments(edges, new THREE.LineBasicMaterial({ color: 0x222222 })));
    mesh.userData.piece = piece;
    cube.add(mesh);
  });
  const names = solution.order.slice(0, step).map((p) => LABELS[p]).join(' ');
  $('step-text').textContent = step === 0 ? 'no piece yet' : `${step} of 13 (${names})`;
  $('legend').replaceChildren(...solution.order.map((piece, k) => {
    const item = document.createElement('li');
    item.className = 'piece-entry' + (k < step ? '' : ' hidden');
    item.dataset.piece = String(piece + 1);
    const swatch = document.createElement('span');
    swatch.className = 'swatch';
    swatch.style.background = COLOURS[piece];
    swatch.textContent = LABELS[piece];
    const name = run.pieces[piece] ? run.pieces[piece].name : `piece ${piece + 1}`;
    item.append(swatch, `${k + 1}. Piece ${piece + 1}: ${name}`);
    return item;
  }));
  $('rendering').textContent = `Solution ${solution.number}\n${solution.lines.join('\n')}`;
  draw();
}

function chooseSolution(number) {
  const { run } = state;
  const found = run.solutions.find((s) => s.number === number) || run.solutions[0] || null;
  state.solution = found;
  $('solution').value = found ? String(found.number) : '';
  $('message').textContent = found || run.solutions.length ? '' : 'This run holds no complete solution.';
  showSolution();
}

function chooseRun(index) {
  const run = state.runs[index];
  state.run = run;
  const notes = [`${run.solutions.length} solution${run.solutions.length === 1 ? '' : 's'} in this run.`];
  if (run.summary) {
    notes.push(`Summary: ${run.summary.solutions} unique, ${run.summary.duplicates} duplicate rotations, run time ${run.summary.runTime}.`);
  } else {
    notes.push('This run has no summary: it was stopped before the end.');
  }
  if (run.partialBlock) notes.push('Its last solution block is cut off and is not shown.');
  notes.push(...run.problems.map((p) => `${p.solution ? `Solution ${p.solution}, ` : ""}line ${p.line}: ${p.text}.`));
  $('info').textContent = notes.join(' ');
  $('solution').max = String(run.solutions.length ? run.solutions[run.solutions.length - 1].number : 1);
  chooseSolution(1);
}

function load(text) {
  const { runs, error } = parseSolutionsFile(text);
  $('message').textContent = error || '';
  state.runs = error ? [] : runs;
  state.run = null;
  state.solution = null;
  $('controls').hidden = !!error;
  if (error) {
    cube.clear();
    draw();
    return;
  }
  $('run').replaceChildren(...runs.map((run, k) => {
    const option = document.createElement('option');
    option.value = String(k);
    option.textContent = `Run ${k + 1}: ${run.solutions.length} solutions${run.summary ? '' : ' (no summary)'}`;
    return option;
  }));
  $('run').value = String(runs.length - 1);
  chooseRun(runs.length - 1);
}

function readFile(file) {
  if (!file) return;
  const reader = new FileReader();
  reader.onload = () => load(String(reader.result));
  reader.onerror = () => { $('message').textContent = `The file could not be read: ${reader.error}`; };
  reader.readAsText(file);
}

$('file').addEventListener('change', (e) => readFile(e.target.files[0]));
const drop = $('drop');
drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (e) => {
  e.preventDefault();
  drop.classList.remove('over');
  readFile(e.dataTransfer.files[0]);
});
$('run').addEventListener('change', (e) => chooseRun(Number(e.target.value)));
$('solution').addEventListener('change', (e) => chooseSolution(Number(e.target.value)));
$('explode').addEventListener('input', showSolution);
$('step').addEventListener('input', showSolution);
window.addEventListener('resize', resize);
resize();

// For tests and for the curious: what the page shows.
window.tandorViewer = {
  state,
  shownPieces: () => new Set(cube.children.map((m) => m.userData.piece)).size,
};
