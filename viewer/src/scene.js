// The 3D view: one cube, or two side by side, each built from bodies. A body is one piece: its
// cubes (cell centres) and where it stands, both in board axes (x to the right, y into the
// picture, z up), and which of its cubes are drawn faded. Each piece carries its colour and label
// on every face and is outlined as one solid; each view is centred and scaled to fit its picture.
import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';

import { faceCanvas } from './page.js';
import { START_VIEW } from './explode.js';

const BACKGROUND = 0xf4f4f0;

export const stage = document.getElementById('stage');
const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
renderer.setClearColor(BACKGROUND);
export const canvas = renderer.domElement;
canvas.tabIndex = 0;
stage.prepend(canvas);
const scene = new THREE.Scene();
export const camera = new THREE.PerspectiveCamera(40, 1, 0.1, 200);
camera.position.set(...START_VIEW);
export const controls = new OrbitControls(camera, canvas);
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

// The two views' models; the second is drawn only when two views stand side by side.
export const models = [new THREE.Group(), new THREE.Group()];
for (const model of models) scene.add(model);
const placed = [[], []];
let views = 1;
const unitCube = new THREE.BoxGeometry(1, 1, 1);

// One face texture and the materials of a piece in a colour mode: its cubes and outline, and
// faded ones for cubes drawn faded.
const materials = new Map();
export function materialsFor(puzzle, mode) {
  const key = `${puzzle.key}|${mode}`;
  if (!materials.has(key)) {
    materials.set(key, puzzle.pieces.map((piece, p) => {
      const texture = new THREE.CanvasTexture(faceCanvas(puzzle, mode, p, 128));
      texture.colorSpace = THREE.SRGBColorSpace;
      texture.anisotropy = 4;
      const face = { map: texture, polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1 };
      return {
        face: new THREE.MeshLambertMaterial(face),
        line: new THREE.LineBasicMaterial({ color: 0x161616 }),
        fadedFace: new THREE.MeshLambertMaterial({ ...face, transparent: true, opacity: 0.13, depthWrite: false }),
        fadedLine: new THREE.LineBasicMaterial({ color: 0x161616, transparent: true, opacity: 0.2, depthWrite: false }),
      };
    }));
  }
  return materials.get(key);
}

// The starting view's axes: right and up on the screen, and towards the viewer.
const VIEW_DEPTH = new THREE.Vector3(...START_VIEW).normalize();
const VIEW_RIGHT = new THREE.Vector3(0, 1, 0).cross(VIEW_DEPTH).normalize();
const VIEW_UP = VIEW_DEPTH.clone().cross(VIEW_RIGHT);

const toScene = (x, y, z) => new THREE.Vector3(x, z, -y);

// The edges where a piece's surface folds, in board coordinates: where a face meets another face
// of the piece at a right angle, outwards or inwards. Edges inside a flat side are left out, so
// each piece is outlined as one solid.
function outline(cells) {
  const key = (x, y, z) => Math.round((x + 8) * 2) * 4096 + Math.round((y + 8) * 2) * 64 + Math.round((z + 8) * 2);
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

// The edges of the box the target fills (4 x 4 x 4 for the cube), drawn faintly around a
// partial assembly (for a target that is not a box, the box around it).
const frameMaterial = new THREE.LineBasicMaterial({ color: 0x8a8a8a, transparent: true, opacity: 0.55 });
function frame([X, Y, Z]) {
  const box = new THREE.LineSegments(new THREE.EdgesGeometry(new THREE.BoxGeometry(X, Z, Y)), frameMaterial);
  box.userData.frame = true;
  return box;
}

const aspect = () => (stage.clientWidth / views) / Math.max(stage.clientHeight, 1);

// How large a model may be drawn: the built-in cube at 1, a smaller target as large as it.
const most = [1, 1];

// Centres a model as seen from the starting view and scales it to fit its picture.
function fit(i) {
  const points = placed[i];
  if (!points.length) return;
  const span = (axis) => {
    const along = points.map((p) => p.dot(axis));
    return [(Math.min(...along) + Math.max(...along)) / 2, (Math.max(...along) - Math.min(...along)) / 2 + 0.87];
  };
  const [[x, halfWidth], [y, halfHeight], [z]] = [VIEW_RIGHT, VIEW_UP, VIEW_DEPTH].map(span);
  const scale = Math.min(most[i], 3.8 / halfHeight, 3.8 * aspect() / halfWidth);
  models[i].scale.setScalar(scale);
  models[i].position.copy(VIEW_RIGHT.clone().multiplyScalar(x).addScaledVector(VIEW_UP, y).addScaledVector(VIEW_DEPTH, z).multiplyScalar(-scale));
}

// How many views stand side by side: 1 or 2.
export function setViews(n) {
  views = n;
  if (n === 1) {
    models[1].clear();
    placed[1] = [];
  }
  models.forEach((_, i) => fit(i));
}

// Builds model i from its bodies, in a puzzle's colours in a colour mode; `withFrame` adds the
// target's box.
export function showBodies(i, bodies, puzzle, mode, { withFrame = false } = {}) {
  const model = models[i];
  model.clear();
  const mine = materialsFor(puzzle, mode);
  most[i] = Math.max(1, 4 / Math.max(...puzzle.size));
  placed[i] = bodies.flatMap(({ cubes, at }) => cubes.map((c) => toScene(...c).add(toScene(...at))));
  if (withFrame) {
    model.add(frame(puzzle.size));
    for (const corner of [-0.5, 0.5]) placed[i].push(toScene(...puzzle.size.map((s) => s * corner)));
  }
  for (const { piece, cubes, at, faded } of bodies) {
    const group = new THREE.Group();
    group.userData.piece = piece;
    group.position.copy(toScene(...at));
    cubes.forEach((c, k) => {
      const mesh = new THREE.Mesh(unitCube, faded && faded[k] ? mine[piece].fadedFace : mine[piece].face);
      mesh.position.copy(toScene(...c));
      mesh.userData.piece = piece;
      group.add(mesh);
    });
    const allFaded = faded && faded.every(Boolean);
    const edges = new THREE.BufferGeometry().setFromPoints(outline(cubes));
    group.add(new THREE.LineSegments(edges, allFaded ? mine[piece].fadedLine : mine[piece].line));
    model.add(group);
  }
  fit(i);
}

// A singled-out piece keeps its looks; the others fade, or hide.
export function setFocus(puzzle, mode, focus, hide) {
  materialsFor(puzzle, mode).forEach(({ face, line }, piece) => {
    const faded = focus !== null && piece !== focus && !hide;
    for (const material of [face, line]) {
      material.transparent = faded;
      material.opacity = faded ? (material === face ? 0.14 : 0.25) : 1;
      material.depthWrite = !faded;
      material.needsUpdate = true;
    }
  });
  for (const group of models[0].children) {
    if (!group.userData.frame) group.visible = focus === null || group.userData.piece === focus || !hide;
  }
}

export function resize() {
  renderer.setSize(stage.clientWidth, stage.clientHeight, false);
  models.forEach((_, i) => fit(i));
  draw();
}

export function draw() {
  const width = stage.clientWidth;
  const height = stage.clientHeight;
  camera.aspect = aspect();
  camera.updateProjectionMatrix();
  if (views === 1) {
    models[1].visible = false;
    renderer.setScissorTest(false);
    renderer.setViewport(0, 0, width, height);
    renderer.render(scene, camera);
    return;
  }
  renderer.setScissorTest(true);
  const half = width / 2;
  models.forEach((model, i) => {
    models.forEach((m) => { m.visible = m === model; });
    renderer.setViewport(i * half, 0, half, height);
    renderer.setScissor(i * half, 0, half, height);
    renderer.render(scene, camera);
  });
  models[0].visible = true;
}

// The piece under a point of the canvas (CSS pixels from its corner) in the single view, preferring
// `first` when it is under the point too; or null.
const raycaster = new THREE.Raycaster();
export function pieceAt(x, y, first) {
  raycaster.setFromCamera(new THREE.Vector2((x / canvas.clientWidth) * 2 - 1, 1 - (y / canvas.clientHeight) * 2), camera);
  const meshes = models[0].children.filter((g) => g.visible).flatMap((g) => g.children.filter((m) => m.isMesh));
  const hit = raycaster.intersectObjects(meshes.filter((m) => m.userData.piece === first))[0] || raycaster.intersectObjects(meshes)[0];
  return hit ? hit.object.userData.piece : null;
}

// For tests: the pieces drawn, and where on the canvas a corner of the top face of a piece's
// highest cube shows.
export const shownPieces = () => models[0].children.filter((g) => g.visible && !g.userData.frame).map((g) => g.userData.piece + 1).sort((a, b) => a - b);
export function topFacePoint(piece) {
  const group = models[0].children.find((g) => g.userData.piece === piece - 1);
  if (!group) return null;
  const top = group.children.filter((m) => m.isMesh).reduce((a, b) => (b.position.y > a.position.y ? b : a));
  const point = top.localToWorld(new THREE.Vector3(-0.3, 0.5, 0.3)).project(camera);
  return { x: (point.x + 1) / 2 * canvas.clientWidth, y: (1 - point.y) / 2 * canvas.clientHeight, cellTop: top.position.y };
}
