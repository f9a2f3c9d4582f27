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

// Cells in scan order, as the tests number them: z slowest, then y, then x, each 1 to 4.
const cell = (x, y, z) => (z - 1) * 16 + (y - 1) * 4 + (x - 1);

// The 24 rotations of the cube, each a map from a cell to where it goes, made here from the
// solver's own three quarter turns of the board.
export function cubeRotations() {
  const quarterTurns = [([x, y, z]) => [x, z, 5 - y], ([x, y, z]) => [5 - z, y, x], ([x, y, z]) => [y, 5 - x, z]];
  const where = (index) => [(index % 4) + 1, (Math.floor(index / 4) % 4) + 1, Math.floor(index / 16) + 1];
  const found = new Map([[Array.from({ length: 64 }, (_, i) => i).join(), Array.from({ length: 64 }, (_, i) => i)]]);
  for (let grew = true; grew;) {
    grew = false;
    for (const map of [...found.values()]) {
      for (const turn of quarterTurns) {
        const next = map.map((to) => cell(...turn(where(to))));
        if (!found.has(next.join())) grew = Boolean(found.set(next.join(), next));
      }
    }
  }
  return [...found.values()];
}

// The 64 labels of a rendering's four lines, in scan order.
export function labelsOf(lines) {
  const labels = new Array(64);
  lines.forEach((line, row) => {
    for (let z = 1; z <= 4; z += 1) for (let x = 1; x <= 4; x += 1) labels[cell(x, 4 - row, z)] = line[(4 - z) * 11 + 2 * x - 1];
  });
  return labels;
}

// Labels turned by a rotation: what stood on cell c stands on rotation[c].
export function turnLabels(labels, rotation) {
  const turned = new Array(64);
  rotation.forEach((to, from) => { turned[to] = labels[from]; });
  return turned;
}

// The solver's console report of a run holding solutions 1 and 2 taking turns: after each
// picture its piece order, orientations, counters and run time; `between[n]`, if given, is
// printed after solution n's report (progress blocks, duplicate notices); `end` closes it.
const ORDERS = [
  ['02 01 03 04 09 07 13 11 10 08 12 05 06', '04 01 08 05 10 09 11 09 21 08 13 13 07'],
  ['02 01 03 05 04 06 13 07 09 10 12 08 11', '04 01 08 03 12 14 08 10 19 01 13 05 05'],
];
export function consoleReport(count, between = {}, end = '') {
  let text = startUp();
  for (let n = 1; n <= count; n += 1) {
    const [order, orientation] = ORDERS[(n + 1) % 2];
    text += `\nSolution ${n}\n${(n % 2 ? SOLUTION_1 : SOLUTION_2).join('\n')}\nPermutation: ${order} \nOrientation: ${orientation} \n` +
      `permutations = ${n * 1000}, tiles attempted = ${n * 20000}, tiles succeeded = ${n * 500}, solutions = ${n}, duplicates = 0\n` +
      `Total run time = 00:00:0${n % 10}, permutation rate = 183516 / second\n\n${between[n] || ''}`;
  }
  return text + end;
}

export const progressBlock = (permutations, solutions, duplicates) => 'permutation: 02 01 03 12 05 10 04 09 13 07 11 06 08 \n' +
  'orientation: 04 01 08 07 07 16 07 02 12 08 00 00 00 \n' +
  `permutations = ${permutations}, tiles attempted = 33423663, tiles succeeded = 774730, solutions = ${solutions}, duplicates = ${duplicates}\n` +
  'Total run time = 01:02:03, permutation rate = 0 / second\n';

export function consoleSummary(solutions, duplicates) {
  return `\nAll permutations exhausted, ${solutions} unique solutions found, ${duplicates} duplicate rotations discarded\n` +
    'Total permutations = 75000000001, tiles attempted = 1234567890123, tiles succeeded = 23456789012\n' +
    'Total run time = 00:21:05\ntotal time to find last unique solution = 00:20:59\n' +
    'Average piece order permutation rate = 59288537 / second\n';
}
