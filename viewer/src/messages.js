// Sentences the page says about what was typed or compared, made here so that they can be
// checked without a page: what was typed is quoted back as it was typed, and counts agree with
// their words.
import { PIECES } from './pieces.js';

// "a", "a and b", "a, b and c".
export const wordList = (list) => (list.length > 1 ? `${list.slice(0, -1).join(', ')} and ${list[list.length - 1]}` : list.join(''));

// A solution number as typed in the Solution box or written in an address: { number } for a
// whole number (blanks around it allowed), else { error } quoting what was typed, even nothing.
export function readSolutionNumber(typed) {
  const text = String(typed ?? '').trim();
  if (!/^\+?\d+$/.test(text)) return { error: `"${String(typed ?? '')}" is not a solution number.` };
  return { number: Number(text) };
}

// How two solutions' pieces lie, given the labels of the pieces that lie differently (in the
// order to name them): "piece 5 lies differently; the other 12 lie the same", "pieces 5 and 7
// lie differently; the other 11 lie the same", "...; the other one lies the same", "all 13
// pieces lie differently", of `total` pieces.
export const howPiecesLie = (moved) => howPiecesLieOf(moved, PIECES.length);
export function howPiecesLieOf(moved, total) {
  if (moved.length === total) return `all ${total} pieces lie differently`;
  const those = `piece${moved.length === 1 ? '' : 's'} ${wordList(moved)} ${moved.length === 1 ? 'lies' : 'lie'} differently`;
  const others = total - moved.length;
  return `${those}; ${others === 1 ? 'the other one lies' : `the other ${others} lie`} the same`;
}
