// Pieces of solutions files as the solver writes them.
export const NAMES = [
  "blue 'flat-X-plus'", "blue 'squiggle'", "white 'twist-right'", "blue 'bent-Z'", "white 'bent-L-right'",
  "blue 'bent-club'", "blue 'Z'", "white 'twist-left'", "blue 'bent-L-mirror'", "blue 'bent-T'",
  "white 'flat-U'", "blue 'dislocated-plus'", "blue 'twisted-S'",
];
const COUNTS = [3, 12, 24, 12, 24, 24, 12, 12, 24, 24, 12, 24, 12];
const pad = (n) => String(n).padStart(2, ' ');

export function startUp() {
  let text = 'Tandor Cube Solver\n\n';
  NAMES.forEach((name, p) => { text += `Piece ${pad(p + 1)} has ${p === 1 ? 4 : 5} cubes, labeled ${name}\n`; });
  text += '\n\n';
  COUNTS.forEach((count, p) => { text += `Piece ${pad(p + 1)} has ${count} unique rotational orientations\n`; });
  return text + '\n';
}

export const SOLUTION_1 = [
  ' 5 5 5 A    9 6 A A    9 4 D A    9 9 D 7  ',
  ' 5 6 6 C    5 6 A 7    4 4 D 7    4 9 1 7  ',
  ' B 6 C C    8 8 3 7    B 2 D D    4 1 1 1  ',
  ' B 8 8 C    B 8 3 C    B 2 3 3    2 2 1 3  ',
];
export const SOLUTION_2 = [
  ' B B 8 8    9 9 4 D    9 5 4 D    5 5 D D  ',
  ' 7 B 8 C    7 8 8 D    9 4 4 6    5 4 1 6  ',
  ' B B C C    7 A 3 6    9 2 6 6    5 1 1 1  ',
  ' A A A C    7 A 3 C    7 2 3 3    2 2 1 3  ',
];

export function block(number, lines) {
  return `Solution ${number}\n${lines.join('\n')}\n`;
}

export function summary(solutions, duplicates) {
  return `\nAll permutations exhausted, ${solutions} unique solutions found, ${duplicates} duplicate rotations discarded\n` +
    'Total permutations = 75000000001, tiles attempted = 1234567890123, tiles succeeded = 23456789012\n' +
    'Total run time = 00:21:05, Total time to find last unique solution = 00:20:59\n' +
    'Average piece order permutation rate = 59288537 / second\n';
}
