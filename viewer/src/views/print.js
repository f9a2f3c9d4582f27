// The Print view: STL files of the 13 pieces laid flat and of the solution shown, assembled or
// exploded, as it is shown (turned, if it is). It keeps the cube's edge, the gap between the
// pieces and the clearance that printed pieces need to go together, in mm. Address:
// &solution=N[&turn=T]&print&unit=U&gap=G[&clearance=C] (clearance 0 when left out).
import { flatLayout, solutionBodies, stlOf, EXPLODED_NOTE } from '../print.js';
import { $, say } from '../page.js';
import { refresh, shownCells, stepSolution, randomSolution } from '../state.js';
import { whole } from '../puzzle.js';
import { solutionKeys, askedSolution, showAsked } from '../address.js';
import { showBodies } from '../stage.js';

const mm = (v) => `${Number(v.toFixed(2)).toLocaleString('en')} mm`;

function download(name, buffer) {
  const url = URL.createObjectURL(new Blob([buffer], { type: 'model/stl' }));
  const a = Object.assign(document.createElement('a'), { href: url, download: name });
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

export function printView(state) {
  const my = { unit: 10, gap: 5, clearance: 0 };

  // Reads the unit, gap and clearance fields; a value out of range is named, and its box goes
  // back to the value in force.
  function readSizes() {
    const unit = Number($('unit').value);
    const gap = Number($('gap').value);
    const typed = $('clearance').value.trim();
    const clearance = typed === '' ? 0 : Number(typed);
    let wrong = null;
    if (!(unit > 0 && unit <= 200)) {
      wrong = ['unit', `A cube edge of "${$('unit').value}" mm cannot be printed: give a number above 0, at most 200.`];
    } else if (!(gap >= 0 && gap <= 200)) {
      wrong = ['gap', `A gap of "${$('gap').value}" mm cannot be used: give a number from 0 to 200.`];
    } else if (!(clearance >= 0 && clearance < unit)) {
      wrong = ['clearance', `A clearance of "${$('clearance').value}" mm cannot be used with ${unit} mm cubes: give a number from 0 to below ${unit}.`];
    }
    if (wrong) {
      const [key, text] = wrong;
      say(`${text} Kept ${my[key]} mm.`);
      for (const k of ['unit', 'gap', 'clearance']) $(k).value = String(my[k]);
      return false;
    }
    say('');
    Object.assign(my, { unit, gap, clearance });
    return true;
  }

  function exportStl(what) {
    if (!readSizes()) return;
    const { run, solution } = state;
    const { puzzle } = run;
    const { unit, gap, clearance } = my;
    const size = `${unit}mm${clearance ? `-clearance${clearance}mm` : ''}`;
    const cubes = `${unit} mm cubes${clearance ? `, clearance ${clearance} mm` : ''}`;
    // Files are named for the puzzle: tandor-cube-... for the built-in one.
    const stem = puzzle.builtin ? 'tandor-cube' : puzzle.name.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '') || 'puzzle';
    const heading = puzzle.builtin ? 'Tandor Cube' : puzzle.name;
    if (what === 'pieces') {
      download(`${stem}-pieces-${size}.stl`, stlOf(flatLayout(unit, gap, clearance, puzzle).bodies, unit, `the ${puzzle.pieces.length} pieces laid flat, ${cubes}`, clearance, heading));
      return;
    }
    const bodies = solutionBodies(shownCells(state), what === 'exploded', puzzle);
    download(`${stem}-run${run.number}-solution${solution.number}-${what}-${size}.stl`,
      stlOf(bodies, unit, `run ${run.number} solution ${solution.number} ${what}, ${cubes}`, clearance, heading));
  }

  for (const key of ['unit', 'gap', 'clearance']) {
    $(key).addEventListener('change', () => {
      if (readSizes()) refresh(state);
    });
  }
  for (const what of ['pieces', 'assembled', 'exploded']) $(`stl-${what}`).addEventListener('click', () => exportStl(what));

  return {
    name: 'print',
    slice: my,
    showsSolution: true,
    address: {
      key: 'print',
      write: () => [...solutionKeys(state), 'print', `unit=${my.unit}`, `gap=${my.gap}`, ...(my.clearance ? [`clearance=${my.clearance}`] : [])],
      go(wanted, run) {
        const k = askedSolution(wanted, run);
        if (k < 0) return false;
        for (const key of ['unit', 'gap']) if (wanted.params.get(key) !== null) $(key).value = wanted.params.get(key);
        $('clearance').value = wanted.params.get('clearance') ?? '0';
        if (!readSizes()) return false;
        showAsked(state, 'print', run, k, wanted.turn);
        refresh(state);
        return true;
      },
    },
    panel() {
      const { solution, run: { puzzle } } = state;
      const { unit, gap, clearance } = my;
      $('unit').value = String(unit);
      $('gap').value = String(gap);
      $('clearance').value = String(clearance);
      const { width, depth, height } = flatLayout(unit, gap, clearance, puzzle);
      $('stl-pieces').textContent = `The ${puzzle.pieces.length} pieces laid flat (STL)`;
      const sides = [...new Set(puzzle.size)].length === 1 ? `${mm(puzzle.size[0] * unit - clearance)} each way`
        : `${puzzle.size.map((s) => mm(s * unit - clearance)).join(' by ')}`;
      const name = solution ? `Solution ${solution.number}` : 'Solution';
      for (const what of ['assembled', 'exploded']) {
        $(`stl-${what}`).textContent = `${name} ${what} (STL)`;
        $(`stl-${what}`).disabled = !solution;
      }
      $('print-text').textContent = `Laid flat, the pieces fill ${mm(width)} by ${mm(depth)} of the print bed and stand ${mm(height)} high. ` +
        `Assembled, the ${whole(puzzle)} is ${sides}${clearance ? `, each face of each piece ${mm(clearance / 2)} inward so that neighbours stand ${mm(clearance)} apart` : ''}. ` +
        `Sizes are in mm; each piece is one closed solid. ${EXPLODED_NOTE}`;
    },
    stage() {
      const { bodies } = flatLayout(1, my.gap / my.unit, 0, state.run.puzzle);
      showBodies(state, 0, bodies.map((b) => ({ ...b, cubes: b.cubes.map((c) => c.map((v) => v + 0.5)) })));
    },
    step: (by) => stepSolution(state, by),
    random: () => randomSolution(state),
  };
}
