// How the page puts numbers, lists and pieces into words.
import { ALL_LABELS } from './puzzle.js';

// Piece p's label (from 0), in any puzzle.
export const label = (p) => ALL_LABELS[p];

// "1 solution", "14,177 solutions"
export const count = (n, word, words = `${word}s`) => `${n.toLocaleString('en')} ${n === 1 ? word : words}`;

// "2, 3 and 5 to 9"
export function numberList(numbers) {
  const parts = [];
  for (let i = 0; i < numbers.length;) {
    let j = i;
    while (j + 1 < numbers.length && numbers[j + 1] === numbers[j] + 1) j += 1;
    parts.push(j - i >= 2 ? `${numbers[i]} to ${numbers[j]}` : numbers.slice(i, j + 1).join(', '));
    i = j + 1;
  }
  return parts.length > 1 ? `${parts.slice(0, -1).join(', ')} and ${parts[parts.length - 1]}` : parts[0];
}

// "1, 5 and D"
export const words = (list) => (list.length > 1 ? `${list.slice(0, -1).join(', ')} and ${list[list.length - 1]}` : list.join(''));
