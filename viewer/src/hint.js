// Hints for someone stuck on a partial assembly: one more piece of a solution that completes it
// at each press, shown where it goes in the cube as it was put in, without the rest.
//
// The rule: each hint is the piece, and its place, that narrows the matching solutions most,
// that is that leaves the fewest solutions completing the partial assembly with it added. Of
// places that leave equally few, the one whose first cell comes first in scan order (the bottom
// layer first, as the search fills the cube) is taken, then the lower piece number. The place is
// always that of a matching solution turned to match, so that all the pieces revealed belong to
// one solution that completes what was put in; the same query and number of hints always give
// the same pieces, so an address can hold the number.
import { BUILTIN } from './puzzle.js';
import { findCompletions } from './find.js';

export const HINT_RULE = 'Each hint is the piece that narrows the matching solutions most; of equals, the one lowest in the cube.';

// The cells of a set, in scan order.
const cellsOf = (low, high) => {
  const cells = [];
  for (let word = low, base = 0; base < 64; word = high, base += 32) {
    for (let w = word; w !== 0; w &= w - 1) cells.push(base + 31 - Math.clz32(w & -w));
  }
  return cells;
};

// The next hint for a query, or null when no solution completes it or nothing is missing:
// { piece, cells, matches }, cells in the query's own places and matches the number of solutions
// that complete the query with the piece added.
function nextHint(sets, count, query, puzzle) {
  const { pieces } = puzzle;
  const stride = pieces.length * 2;
  if (query.every((p) => p < 0)) return firstHint(sets, count, puzzle);
  const { places, turns } = findCompletions(sets, count, query, puzzle);
  // Each piece of a match not wholly on cells already put in, where each match puts it: how many matches (in the turn
  // that the finder shows them) put it on the same cells. That is at most what the exact count of
  // matches with the piece added is, which bounds the search below.
  const candidates = new Map();
  places.forEach((s, i) => {
    pieces.forEach((_, p) => {
      const words = turnSet(cellsOf(sets[s * stride + 2 * p], sets[s * stride + 2 * p + 1]), puzzle.turns[turns[i]]);
      if (cellsOf(words[0], words[1]).every((c) => query[c] >= 0)) return;
      const key = `${p}:${words[0]}:${words[1]}`;
      const known = candidates.get(key);
      if (known) known.least += 1;
      else candidates.set(key, { piece: p, cells: cellsOf(words[0], words[1]), least: 1 });
    });
  });
  const order = [...candidates.values()].sort((a, b) => a.least - b.least ||
    a.cells[0] - b.cells[0] || a.piece - b.piece || (a.cells.join() < b.cells.join() ? -1 : 1));
  let best = null;
  for (const candidate of order) {
    if (best && candidate.least >= best.matches) break;
    const added = Int8Array.from(query);
    for (const cell of candidate.cells) added[cell] = candidate.piece;
    const matches = findCompletions(sets, count, added, puzzle).places.length;
    if (!best || matches < best.matches) best = { piece: candidate.piece, cells: candidate.cells, matches };
  }
  return best;
}

// Cells turned by a turn (a map of cells), as a set of two words.
function turnSet(cells, turn) {
  const words = [0, 0];
  for (const from of cells) {
    const to = turn[from];
    words[to >> 5] |= 1 << (to & 31);
  }
  return words;
}

// With nothing put in, every solution matches in all 24 turns, and piece p on cells X leaves the
// solutions that hold p on X turned some way: those whose p lies on a turn of X. So the
// solutions are counted by the turns of each piece's place, kept under the least of them.
function firstHint(sets, count, puzzle) {
  const { pieces, turns: allTurns } = puzzle;
  const stride = pieces.length * 2;
  // The least of a place's 24 turns, as one number.
  const least = (cells) => {
    let key = Infinity;
    for (const turn of allTurns) {
      let low = 0;
      let high = 0;
      for (const cell of cells) {
        const to = turn[cell];
        if (to < 32) low |= 1 << to;
        else high |= 1 << (to - 32);
      }
      key = Math.min(key, high * 4294967296 + (low >>> 0));
    }
    return key;
  };
  const counts = pieces.map(() => new Map());
  const example = pieces.map(() => new Map());
  for (let s = 0; s < count; s += 1) {
    for (let p = 0; p < pieces.length; p += 1) {
      const cells = cellsOf(sets[s * stride + 2 * p], sets[s * stride + 2 * p + 1]);
      const key = least(cells);
      const n = counts[p].get(key);
      counts[p].set(key, (n || 0) + 1);
      if (!n) example[p].set(key, cells);
    }
  }
  let fewest = Infinity;
  for (const byKey of counts) for (const n of byKey.values()) fewest = Math.min(fewest, n);
  let best = null;
  counts.forEach((byKey, piece) => byKey.forEach((n, key) => {
    if (n !== fewest) return;
    for (const turn of allTurns) {
      const cells = cellsOf(...turnSet(example[piece].get(key), turn));
      if (!best || cells[0] < best.cells[0] || (cells[0] === best.cells[0] && (piece < best.piece ||
        (piece === best.piece && cells.join() < best.cells.join())))) best = { piece, cells, matches: n };
    }
  }));
  return best;
}

// The first `k` hints for a query (the target's cells, each a piece or EMPTY) among a run's solutions
// (pieceSetsOfRun and their count): a list of at most k pieces, each { piece, cells, matches },
// fewer when fewer are missing, none when no solution completes the query.
export function hints(sets, count, query, k, puzzle = BUILTIN) {
  const shown = [];
  let current = Int8Array.from(query);
  for (let n = 0; n < k; n += 1) {
    const hint = nextHint(sets, count, current, puzzle);
    if (!hint) break;
    // An identical piece stands in for one already put in elsewhere: the hint takes the label of
    // one of its shape not yet in use (or of the one whose cells it completes).
    const used = (q) => current.some((p, c) => p === q && !hint.cells.includes(c));
    if (used(hint.piece)) hint.piece = puzzle.sameAs[hint.piece].find((q) => !used(q)) ?? hint.piece;
    shown.push(hint);
    current = withHints(current, [hint]);
  }
  return shown;
}

// The query with the hints' pieces put in.
export function withHints(query, shown) {
  const cells = Int8Array.from(query);
  for (const { piece, cells: at } of shown) for (const cell of at) cells[cell] = piece;
  return cells;
}
