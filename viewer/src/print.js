// Printing: the 13 pieces laid out flat, or a solution assembled or exploded, as STL files made
// by three.js's own exporter. A body is one piece: its cubes at whole cell coordinates and where
// it stands, in cells. Each body's surface is one closed solid (the faces between two of its own
// cubes are left out), so that a slicer reads every piece as one part; coordinates are in mm.
// A clearance shrinks every piece so that printed pieces go together: assembled at clearance C,
// neighbours stand C apart and the cube measures 4 x unit - C each way.
import { BufferGeometry, Float32BufferAttribute, Group, Mesh } from 'three';
import { STLExporter } from 'three/examples/jsm/exporters/STLExporter.js';

import { ROTATIONS, rotatePoint } from './cube.js';
import { BUILTIN } from './puzzle.js';
import { explodedOffsets } from './explode.js';

const AXES = [[1, 0, 0], [0, 1, 0], [0, 0, 1]];

// The triangles of a body's surface, wound counter-clockwise seen from outside, in mm: cubes of
// `unit` mm, every face of the body's outer surface moved inward by clearance / 2 mm (faces
// between two of its own cubes stay joined), and the whole moved back by clearance / 2 on each
// axis, so that a body whose cubes start at 0 still starts at 0. Two bodies that touched now
// stand `clearance` apart.
export function surface(cubes, at, unit, clearance = 0) {
  return clearance > 0 ? insetSurface(cubes, at, unit, clearance) : cubeFaces(cubes, at, unit);
}

function cubeFaces(cubes, at, unit) {
  const has = new Set(cubes.map((c) => c.join(',')));
  const points = [];
  for (const c of cubes) {
    for (let a = 0; a < 3; a += 1) {
      const [u, v] = [AXES[(a + 1) % 3], AXES[(a + 2) % 3]];
      for (const side of [1, -1]) {
        if (has.has(c.map((x, i) => x + side * AXES[a][i]).join(','))) continue;
        // The face's corners in order: u then v turns towards +a, so reverse them on the - side.
        const base = c.map((x, i) => x + (side > 0 ? AXES[a][i] : 0));
        const corners = [base, base.map((x, i) => x + u[i]), base.map((x, i) => x + u[i] + v[i]), base.map((x, i) => x + v[i])];
        if (side < 0) corners.reverse();
        for (const k of [0, 1, 2, 0, 2, 3]) points.push(...corners[k].map((x, i) => (x + at[i]) * unit));
      }
    }
  }
  return points;
}

// With a clearance, each cube is cut at d and 1 - d on every axis (d = clearance / 2 in cells)
// into 27 boxes. A box is kept when every cube it lies within d of belongs to the body: this is
// the body shrunk by d on every side, its concave edges and corners still square. The surface is
// made of the kept boxes' faces towards boxes not kept; all of them lie on one grid, so every
// edge is shared by the faces on both sides of it and the solid is closed.
function insetSurface(cubes, at, unit, clearance) {
  const d = clearance / 2 / unit;
  if (!(d < 0.5)) throw new RangeError(`a clearance of ${clearance} mm leaves nothing of ${unit} mm cubes`);
  const has = new Set(cubes.map((c) => c.join(',')));
  const REACH = [[-1, 0], [0], [0, 1]];
  const kept = new Set();
  const boxes = [];
  for (const c of cubes) {
    for (let i = 0; i < 27; i += 1) {
      const part = [i % 3, Math.floor(i / 3) % 3, Math.floor(i / 9)];
      const near = REACH[part[0]].flatMap((x) => REACH[part[1]].flatMap((y) => REACH[part[2]].map((z) => [c[0] + x, c[1] + y, c[2] + z])));
      if (near.every((n) => has.has(n.join(',')))) {
        const box = c.map((x, a) => 3 * x + part[a]);
        kept.add(box.join(','));
        boxes.push(box);
      }
    }
  }
  // Grid line g of an axis: cube g / 3 rounded down, cut at 0, d or 1 - d of it.
  const line = (g) => Math.floor(g / 3) + [0, d, 1 - d][((g % 3) + 3) % 3];
  const points = [];
  for (const box of boxes) {
    for (let a = 0; a < 3; a += 1) {
      const [u, v] = [(a + 1) % 3, (a + 2) % 3];
      for (const side of [1, -1]) {
        if (kept.has(box.map((g, i) => g + (i === a ? side : 0)).join(','))) continue;
        const corner = (du, dv) => {
          const p = [0, 0, 0];
          p[a] = line(box[a] + (side > 0 ? 1 : 0));
          p[u] = line(box[u] + du);
          p[v] = line(box[v] + dv);
          return p;
        };
        const corners = [corner(0, 0), corner(1, 0), corner(1, 1), corner(0, 1)];
        if (side < 0) corners.reverse();
        for (const k of [0, 1, 2, 0, 2, 3]) points.push(...corners[k].map((x, i) => (x + at[i] - d) * unit));
      }
    }
  }
  return points;
}

// Each piece turned to lie flat: as low as it can be, then with as many cubes as it can on the
// bed, then on the smallest footprint; its cubes moved to start at (0, 0, 0).
export function flatShapes(pieces = BUILTIN.pieces) {
  return pieces.map((piece) => {
    let best = null;
    for (const m of ROTATIONS) {
      const turned = piece.cubes.map((c) => rotatePoint(m, c));
      const low = [0, 1, 2].map((a) => Math.min(...turned.map((c) => c[a])));
      const cubes = turned.map((c) => c.map((x, a) => x - low[a]));
      const size = [0, 1, 2].map((a) => Math.max(...cubes.map((c) => c[a])) + 1);
      const onBed = cubes.filter((c) => c[2] === 0).length;
      const rank = [size[2], -onBed, size[0] * size[1], size[1]];
      const first = best ? rank.findIndex((r, i) => r !== best.rank[i]) : -1;
      if (!best || (first >= 0 && rank[first] < best.rank[first])) best = { cubes, size, rank };
    }
    return best;
  });
}

// The pieces laid flat in rows, `gap` mm apart (both in mm, each cube `unit` mm): the bodies and
// the plate they fill, { bodies, width, depth, height } in mm. With a clearance (mm), the solids
// shrink by it (surface), so the plate is that much smaller and the pieces stand further apart.
export function flatLayout(unit, gap, clearance = 0, puzzle = BUILTIN) {
  const shapes = flatShapes(puzzle.pieces);
  const order = shapes.map((_, p) => p).sort((p, q) => shapes[q].size[1] - shapes[p].size[1] || p - q);
  const area = shapes.reduce((sum, { size }) => sum + (size[0] * unit + gap) * (size[1] * unit + gap), 0);
  const rowWidth = Math.max(Math.sqrt(area) * 1.25, ...shapes.map(({ size }) => size[0] * unit));
  const bodies = [];
  let x = 0;
  let y = 0;
  let rowDepth = 0;
  let width = 0;
  for (const p of order) {
    const { cubes, size } = shapes[p];
    if (x > 0 && x + size[0] * unit > rowWidth) {
      y += rowDepth + gap;
      x = 0;
      rowDepth = 0;
    }
    bodies.push({ piece: p, cubes, at: [x / unit, y / unit, 0] });
    width = Math.max(width, x + size[0] * unit);
    rowDepth = Math.max(rowDepth, size[1] * unit);
    x += size[0] * unit + gap;
  }
  const height = Math.max(...shapes.map(({ size }) => size[2])) * unit;
  return { bodies, width: width - clearance, depth: y + rowDepth - clearance, height: height - clearance };
}

// A solution's pieces as bodies, on cells 0 to 3 of each axis, or moved out as the exploded view
// moves them (then the whole is shifted to start at 0 on each axis). The exploded bodies keep the
// places of the exploded view, several of them one above another in the air: setting each on the
// bed would put those into each other. So that file is a picture to look at; EXPLODED_NOTE says
// so, and the pieces laid flat are the ones to print.
export const EXPLODED_NOTE = 'The exploded file is for looking at, not for printing: its pieces stand apart in the air, as in the exploded view. To print the pieces, use the pieces laid flat.';
export function solutionBodies(cells, exploded, puzzle = BUILTIN) {
  const bodies = puzzle.pieces.map((_, piece) => ({ piece, cubes: [], at: [0, 0, 0] }));
  cells.forEach((piece, index) => {
    bodies[piece].cubes.push([...puzzle.coords[index]]);
  });
  if (exploded) {
    const offsets = explodedOffsets(cells, puzzle.pieces.length, puzzle);
    const low = [0, 1, 2].map((a) => Math.min(...bodies.flatMap((b) => b.cubes.map((c) => c[a] + offsets[b.piece][a]))));
    for (const body of bodies) body.at = offsets[body.piece].map((v, a) => v - low[a]);
  }
  return bodies;
}

// The binary STL of some bodies, each cube `unit` mm, every face moved inward by clearance / 2 mm
// (surface), with a header that says what it holds.
export function stlOf(bodies, unit, title, clearance = 0, heading = 'Tandor Cube') {
  const group = new Group();
  for (const { cubes, at } of bodies) {
    const geometry = new BufferGeometry();
    geometry.setAttribute('position', new Float32BufferAttribute(surface(cubes, at, unit, clearance), 3));
    group.add(new Mesh(geometry));
  }
  group.updateMatrixWorld(true);
  const view = new STLExporter().parse(group, { binary: true });
  const header = `${heading}: ${title}`.slice(0, 80);
  for (let i = 0; i < header.length; i += 1) view.setUint8(i, header.charCodeAt(i) & 0x7f);
  for (const mesh of group.children) mesh.geometry.dispose();
  return view.buffer;
}
