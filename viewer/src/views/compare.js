// The Compare view: two solutions side by side, turning together, the second turned the way
// that agrees best with the first; the cells where they differ are drawn solid and marked in
// both text pictures. It keeps the second solution (its place in the run, or -1) and that turn.
// Address: &solution=A&compare=B.
import { label } from '../words.js';
import { howPiecesLieOf } from '../messages.js';
import { bestTurn, comparison, markedPicture } from '../comparison.js';
import { $, say } from '../page.js';
import { refresh, setSolution, placeOf, cellsAt } from '../state.js';
import { askedSolution, showAsked } from '../address.js';
import { bodiesOf, showBodies, captions, drawStage } from '../stage.js';

export function compareView(state) {
  const my = { other: -1, otherTurn: 0 };

  const turnFor = (k) => bestTurn(state.solution.cells, cellsAt(state.run, k), state.run.puzzle);

  function setOther(k) {
    my.other = k;
    my.otherTurn = k >= 0 ? turnFor(k) : 0;
    refresh(state);
  }

  // On entering: the second solution is the one kept, or the one after the first (or before the last).
  function pickOther() {
    const { run, index } = state;
    if (run.count < 2) {
      my.other = -1;
      return;
    }
    my.other = my.other >= 0 && my.other !== index && my.other < run.count ? my.other : index + 1 < run.count ? index + 1 : index - 1;
    my.otherTurn = turnFor(my.other);
  }

  const compared = () => comparison(state.solution.cells, cellsAt(state.run, my.other), my.otherTurn, state.run.puzzle);

  function picture(title, cells, differs) {
    const pre = document.createElement('pre');
    pre.append(`${title}\n`, ...markedPicture(cells, differs, state.run.puzzle).map((part) => {
      if (typeof part === 'string') return part;
      const span = document.createElement('span');
      span.textContent = part.label;
      if (part.marked) span.className = 'differs';
      return span;
    }));
    return pre;
  }

  function showPanel() {
    const { run, solution } = state;
    const { other } = my;
    $('compare-a').value = solution ? String(solution.number) : '';
    $('compare-b').value = other >= 0 ? String(run.numbers[other]) : '';
    if (!solution || other < 0) {
      $('compare-text').textContent = `Run ${run.number} holds fewer than two solutions: there is nothing to compare.`;
      $('compare-pictures').replaceChildren();
      return;
    }
    const { a, b, differs, moved } = compared();
    const n = differs.filter(Boolean).length;
    const numberB = run.numbers[other];
    const how = my.otherTurn ? `turned to agree best with solution ${solution.number}` : 'as in the file (no turn agrees better)';
    $('compare-text').textContent = n
      ? `Solution ${numberB} is shown ${how}: ${n} of ${run.puzzle.count} cells differ (highlighted), where ${howPiecesLieOf(moved.map(label), run.puzzle.pieces.length)}.`
      : `Solution ${numberB}, ${how}, is the same as solution ${solution.number}.`;
    $('compare-pictures').replaceChildren(
      picture(`Solution ${solution.number}`, a, differs),
      picture(`Solution ${numberB}${my.otherTurn ? ', turned' : ''}`, b, differs),
    );
  }

  // A number typed into either field: its solution's place in the run, or -1 after the panel
  // has said why there is none.
  function typedPlace(e) {
    const k = placeOf(state.run, Number(e.target.value), e.target.value);
    if (k < 0) showPanel();
    else say('');
    return k;
  }
  $('compare-a').addEventListener('change', (e) => {
    const k = typedPlace(e);
    if (k < 0) return;
    setSolution(state, state.run, k);
    pickOther();
    refresh(state);
  });
  $('compare-b').addEventListener('change', (e) => {
    const k = typedPlace(e);
    if (k >= 0) setOther(k);
  });
  $('compare-swap').addEventListener('click', () => {
    if (my.other < 0) return;
    const { index } = state;
    setSolution(state, state.run, my.other);
    setOther(index);
  });
  $('compare-fade').addEventListener('change', () => drawStage(state));

  return {
    name: 'compare',
    slice: my,
    showsSolution: true,
    address: {
      key: 'compare',
      write: () => [`solution=${state.solution ? state.solution.number : ''}`, `compare=${my.other >= 0 ? state.run.numbers[my.other] : ''}`],
      go(wanted, run) {
        const k = askedSolution(wanted, run);
        if (k < 0) return false;
        const written = wanted.params.get('compare');
        let other = -1;
        if (written !== '' && (other = placeOf(run, Number(written), written)) < 0) return false;
        showAsked(state, 'compare', run, k, 0);
        if (other >= 0) {
          my.other = other;
          my.otherTurn = turnFor(other);
        } else {
          pickOther();
        }
        refresh(state);
        return true;
      },
    },
    reset() {
      my.other = -1;
    },
    enter: pickOther,
    panel: showPanel,
    pictures: () => (my.other >= 0 ? 2 : 1),
    stage() {
      const { solution, run } = state;
      if (!solution) return;
      if (my.other < 0) {
        showBodies(state, 0, bodiesOf(solution.cells, {}, run.puzzle));
        return;
      }
      const { a, b, differs } = compared();
      const faded = $('compare-fade').checked ? differs.map((d) => !d) : null;
      showBodies(state, 0, bodiesOf(a, { faded }, run.puzzle));
      showBodies(state, 1, bodiesOf(b, { faded }, run.puzzle));
      captions(`Solution ${solution.number}`, `Solution ${run.numbers[my.other]}${my.otherTurn ? ', turned' : ''}`);
    },
    // N and P: the next or previous second solution.
    step(by) {
      const { run } = state;
      const other = my.other + by;
      if (other < 0 || other >= run.count) {
        say(`That was the ${by > 0 ? 'last' : 'first'} solution of run ${run.number}.`);
        return;
      }
      say('');
      setOther(other);
    },
  };
}
