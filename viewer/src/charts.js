// The charts of where the pieces go, drawn as SVG from the counts of stats.js. Every bar and
// square carries its count in a tooltip and in data attributes (value: a share from 0 to 1, or
// a mean number of cubes), so that what is drawn can be checked.
import { KINDS } from './cube.js';
import { coverCount, meanCover, touchCount } from './stats.js';
import { labelInk } from './colours.js';
import { label } from './words.js';

const escape = (text) => String(text).replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`);
const percent = (share) => `${Math.round(share * 100)}%`;
const KIND_NAMES = ['corners', 'edges', 'faces', 'inner cells'];
// Corner, edge, face, inner: warm to cool, dark enough for white writing.
const KIND_COLOURS = ['#b2412e', '#d98a2b', '#3f8f6b', '#3b5fa0'];
// How many of a piece's cubes lie on cells of a kind: none, then 1 to 5, light to dark.
const COUNT_COLOURS = ['#e7e6e1', '#c9dcef', '#92bfe0', '#5a9bd0', '#2f74b5', '#13467e'];

function svg(name, width, height, body, title) {
  return `<figure class="chart" data-chart="${name}"><figcaption>${title}</figcaption>` +
    `<svg viewBox="0 0 ${width} ${height}" width="${width}" height="${height}" role="img" aria-label="${escape(title.replace(/<[^>]*>/g, ''))}">${body}</svg></figure>`;
}

function text(x, y, words, { anchor = 'start', size = 12, weight = 'normal', fill = '#222' } = {}) {
  return `<text pointer-events="none" x="${x}" y="${y}" font-size="${size}" font-weight="${weight}" fill="${fill}" text-anchor="${anchor}" dominant-baseline="middle">${escape(words)}</text>`;
}

// How many of a puzzle's cells are of each kind.
const kindSizes = (puzzle) => KINDS.map((_, kind) => puzzle.kinds.filter((k) => k === kind).length);

function swatch(x, y, size, piece, colours) {
  const colour = colours[piece];
  return `<rect x="${x}" y="${y}" width="${size}" height="${size}" rx="3" fill="${colour}" stroke="#0005"/>` +
    text(x + size / 2, y + size / 2 + 1, label(piece), { anchor: 'middle', size: size * 0.6, weight: 'bold', fill: labelInk(colour) });
}

const pieceTitle = (pieces, p) => `piece ${pieces[p].label} (${pieces[p].name})`;

// For the chosen piece: for each kind of cell, the share of solutions in which the piece covers
// none, one, two .. of those cells, as one bar split in parts; beside it the mean, and what the
// mean would be if the piece's cubes fell on the cube's cells evenly.
export function coverChart(stats, piece, puzzle) {
  const width = 420;
  const barX = 96;
  const barWidth = 210;
  const cubes = puzzle.pieces[piece].cubes.length;
  const sizes = kindSizes(puzzle);
  // The kinds of cell the target has (a flat one has no inner cells).
  const shown = KINDS.map((_, kind) => kind).filter((kind) => sizes[kind] > 0);
  let body = '';
  shown.forEach((kind, row) => {
    const y = 10 + row * 40;
    body += text(0, y + 12, KIND_NAMES[kind], { weight: 'bold' }) + text(0, y + 27, `${sizes[kind]} of ${puzzle.count} cells`, { size: 10, fill: '#666' });
    let x = barX;
    for (let n = 0; n < stats.bins; n += 1) {
      const share = stats.solutions ? coverCount(stats, piece, kind, n) / stats.solutions : 0;
      const w = share * barWidth;
      if (w <= 0) continue;
      const tip = `${KIND_NAMES[kind]}: ${n === 0 ? 'none' : n} in ${coverCount(stats, piece, kind, n).toLocaleString('en')} solutions (${percent(share)})`;
      body += `<rect class="bar" data-kind="${KINDS[kind]}" data-cubes="${n}" data-value="${share}" x="${x}" y="${y}" width="${w}" height="26" fill="${COUNT_COLOURS[n]}"><title>${escape(tip)}</title></rect>`;
      if (w > 26) body += text(x + w / 2, y + 14, percent(share), { anchor: 'middle', size: 11, fill: n >= 3 ? '#fff' : '#222' });
      x += w;
    }
    const mean = meanCover(stats, piece, kind);
    body += text(barX + barWidth + 8, y + 7, `${mean.toFixed(2)} on average`, { size: 11 });
    body += text(barX + barWidth + 8, y + 21, `${(cubes * sizes[kind] / puzzle.count).toFixed(2)} if spread evenly`, { size: 10, fill: '#666' });
  });
  const legendY = 18 + shown.length * 40;
  body += text(0, legendY + 7, 'cubes on them:', { size: 11, fill: '#444' });
  for (let n = 0; n <= cubes; n += 1) {
    const x = 96 + n * 50;
    body += `<rect x="${x}" y="${legendY}" width="14" height="14" fill="${COUNT_COLOURS[n]}" stroke="#0003"/>` + text(x + 19, legendY + 7, n === 0 ? 'none' : String(n), { size: 11 });
  }
  return svg('cover', width, legendY + 22, body, `Where ${escape(pieceTitle(puzzle.pieces, piece))} lies: the share of solutions in which it covers none, 1, 2, … cells of each kind`);
}

// Every piece's cubes split by the kind of cell they lie on, on average: one bar per piece, the
// chosen one marked. A click on a bar chooses its piece (data-piece).
export function kindsChart(stats, piece, colours, { pieces }) {
  const width = 420;
  const barX = 34;
  const perCube = 68;
  let body = '';
  pieces.forEach((_, p) => {
    const y = 6 + p * 24;
    if (p === piece) body += `<rect x="0" y="${y - 3}" width="${width}" height="24" rx="4" fill="#dde8f7"/>`;
    body += `<g class="piece-row" data-piece="${p + 1}" style="cursor:pointer" tabindex="0" role="button" aria-pressed="${p === piece}" aria-label="Choose piece ${pieces[p].label}: its cubes on corners, edges, faces and inner cells">` + swatch(4, y, 18, p, colours);
    let x = barX;
    KINDS.forEach((kindName, kind) => {
      const mean = meanCover(stats, p, kind);
      const w = mean * perCube;
      body += `<rect class="bar" data-piece="${p + 1}" data-kind="${kindName}" data-value="${mean}" x="${x}" y="${y}" width="${w}" height="18" fill="${KIND_COLOURS[kind]}"><title>${escape(`Piece ${pieces[p].label}: ${mean.toFixed(2)} cubes on ${KIND_NAMES[kind]}, on average`)}</title></rect>`;
      if (w > 24) body += text(x + w / 2, y + 10, mean.toFixed(1), { anchor: 'middle', size: 10, fill: '#fff' });
      x += w;
    });
    body += '</g>';
  });
  const legendY = 6 + pieces.length * 24 + 6;
  KINDS.forEach((_, kind) => {
    const x = barX + kind * 90;
    body += `<rect x="${x}" y="${legendY}" width="14" height="14" fill="${KIND_COLOURS[kind]}"/>` + text(x + 19, legendY + 7, KIND_NAMES[kind], { size: 11 });
  });
  return svg('kinds', width, legendY + 20, body, 'Every piece: its cubes on corners, edges, faces and inner cells, on average (click a bar to choose its piece)');
}

// How often each pair of pieces shares a face: a grid of squares, a row and a column for each piece, darker for more, the
// chosen piece's row and column outlined. The shades span the least to the most often seen.
export function touchMatrix(stats, piece, colours, { pieces }) {
  const cell = Math.min(24, Math.floor(384 / pieces.length));
  const left = 28;
  const top = 28;
  const size = pieces.length * cell;
  const shares = pieces.flatMap((_, p) => pieces.map((__, q) => q).filter((q) => q !== p).map((q) => (stats.solutions ? touchCount(stats, p, q) / stats.solutions : 0)));
  const low = Math.min(...shares);
  const high = Math.max(...shares);
  const shade = (share) => {
    const t = high > low ? (share - low) / (high - low) : 1;
    return `hsl(215, ${Math.round(25 + t * 45)}%, ${Math.round(94 - t * 66)}%)`;
  };
  let body = '';
  pieces.forEach((_, p) => {
    body += swatch(left + p * cell + 3, 4, cell - 6, p, colours) + swatch(4, top + p * cell + 3, cell - 6, p, colours);
  });
  pieces.forEach((_, p) => pieces.forEach((__, q) => {
    if (p === q) return;
    const n = touchCount(stats, p, q);
    const share = stats.solutions ? n / stats.solutions : 0;
    const tip = `Pieces ${pieces[p].label} and ${pieces[q].label} touch in ${n.toLocaleString('en')} solutions (${percent(share)})`;
    body += `<rect class="square" data-pair="${pieces[p].label}${pieces[q].label}" data-value="${share}" x="${left + q * cell}" y="${top + p * cell}" width="${cell - 1}" height="${cell - 1}" fill="${shade(share)}"><title>${escape(tip)}</title></rect>`;
  }));
  body += `<rect x="${left - 1}" y="${top + piece * cell - 1}" width="${size + 1}" height="${cell + 1}" fill="none" stroke="#d33" stroke-width="2"/>`;
  body += `<rect x="${left + piece * cell - 1}" y="${top - 1}" width="${cell + 1}" height="${size + 1}" fill="none" stroke="#d33" stroke-width="2"/>`;
  const scaleY = top + size + 12;
  for (let i = 0; i <= 4; i += 1) {
    const share = low + (high - low) * (i / 4);
    body += `<rect x="${left + i * 64}" y="${scaleY}" width="20" height="14" fill="${shade(share)}"/>` + text(left + i * 64 + 25, scaleY + 7, percent(share), { size: 11 });
  }
  return svg('touch-matrix', Math.max(left + size + 8, left + 4 * 64 + 60), scaleY + 20, body, 'Every pair of pieces: how often they share a face (darker: in more solutions)');
}

// The pieces the chosen piece touches, most often first.
export function touchBars(stats, piece, colours, { pieces }) {
  const width = 420;
  const barX = 34;
  const barWidth = 320;
  const others = pieces.map((_, q) => q).filter((q) => q !== piece)
    .sort((a, b) => touchCount(stats, piece, b) - touchCount(stats, piece, a) || a - b);
  let body = '';
  others.forEach((q, i) => {
    const y = 6 + i * 24;
    const n = touchCount(stats, piece, q);
    const share = stats.solutions ? n / stats.solutions : 0;
    body += swatch(4, y, 18, q, colours);
    body += `<rect class="bar" data-piece="${q + 1}" data-value="${share}" x="${barX}" y="${y}" width="${Math.max(share * barWidth, 1)}" height="18" fill="#3b6fb0"><title>${escape(`${n.toLocaleString('en')} solutions`)}</title></rect>`;
    body += text(barX + share * barWidth + 6, y + 10, percent(share), { size: 11 });
  });
  return svg('touch-bars', width, 6 + others.length * 24, body, `The pieces that ${escape(pieceTitle(pieces, piece))} touches, in share of solutions`);
}
