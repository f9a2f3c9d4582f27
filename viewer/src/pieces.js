// The solver's piece catalogue, written from the C++ catalogue by a build step; do not
// edit: run `cmake --build build/release --target viewer-pieces` to write it anew.
export const PIECES = [
  { number: 1, label: '1', name: "blue 'flat-X-plus'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [2, 0, 0], [1, -1, 0], [1, 1, 0]] },
  { number: 2, label: '2', name: "blue 'squiggle'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [1, 1, 0], [1, 1, -1]] },
  { number: 3, label: '3', name: "white 'twist-right'", colour: 'white', cubes: [[0, 0, 0], [1, 0, 0], [1, 1, 0], [2, 1, 0], [2, 1, -1]] },
  { number: 4, label: '4', name: "blue 'bent-Z'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [0, 1, 0], [0, 1, -1], [-1, 1, -1]] },
  { number: 5, label: '5', name: "white 'bent-L-right'", colour: 'white', cubes: [[0, 0, 0], [1, 0, 0], [1, 0, -1], [0, 1, 0], [0, 2, 0]] },
  { number: 6, label: '6', name: "blue 'bent-club'", colour: 'blue', cubes: [[0, 0, 0], [0, 1, 0], [1, 1, 0], [0, 1, 1], [-1, 1, 1]] },
  { number: 7, label: '7', name: "blue 'Z'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [2, 0, 0], [2, -1, 0], [0, 1, 0]] },
  { number: 8, label: '8', name: "white 'twist-left'", colour: 'white', cubes: [[0, 0, 0], [1, 0, 0], [1, -1, 0], [0, 0, -1], [0, 1, -1]] },
  { number: 9, label: '9', name: "blue 'bent-L-mirror'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [0, 0, -1], [1, 1, 0], [1, 2, 0]] },
  { number: 10, label: 'A', name: "blue 'bent-T'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [2, 0, 0], [1, 0, -1], [1, 1, -1]] },
  { number: 11, label: 'B', name: "white 'flat-U'", colour: 'white', cubes: [[0, 0, 0], [1, 0, 0], [2, 0, 0], [0, 1, 0], [2, 1, 0]] },
  { number: 12, label: 'C', name: "blue 'dislocated-plus'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [2, 0, 0], [1, -1, 0], [2, 0, -1]] },
  { number: 13, label: 'D', name: "blue 'twisted-S'", colour: 'blue', cubes: [[0, 0, 0], [1, 0, 0], [2, 0, 0], [2, 0, 1], [0, 1, 0]] },
];
