// The Pieces view: charts of where the pieces go over the whole run, about the piece chosen.
// Address: &pieces=L, the chosen piece's label.
import { labelRanges, whole } from '../puzzle.js';
import { coloursOf } from '../colours.js';
import { pieceStats } from '../stats.js';
import { coverChart, kindsChart, touchMatrix, touchBars } from '../charts.js';
import { label, count } from '../words.js';
import { $, say, makePens } from '../page.js';
import { refresh, showRun, madeOnce } from '../state.js';
import { overlay } from '../stage.js';

export function piecesView(state) {
  const my = { chosen: 0 };
  const choose = (p) => {
    my.chosen = p;
    refresh(state);
  };

  return {
    name: 'pieces',
    slice: my,
    address: {
      key: 'pieces',
      write: () => [`pieces=${label(my.chosen)}`],
      go(wanted, run) {
        const written = wanted.params.get('pieces');
        const { labels } = run.puzzle;
        const chosen = labels.indexOf(labels.length <= 35 ? String(written).toUpperCase() : written);
        if (!written || written.length !== 1 || chosen < 0) {
          say(`"${written}" is no piece's label: the pieces are ${labelRanges(run.puzzle).join(' and ')}.`);
          return false;
        }
        showRun(state, run);
        my.chosen = chosen;
        state.view = 'pieces';
        say('');
        refresh(state);
        return true;
      },
    },
    panel() {
      const { run } = state;
      const { puzzle } = run;
      if (my.chosen >= puzzle.pieces.length) my.chosen = 0;
      const { chosen } = my;
      makePens($('chart-pieces'), puzzle, state.mode, puzzle.pieces.map((_, p) => p), chosen, choose);
      const kinds = puzzle.builtin
        ? 'A corner cell has three faces on the outside of the cube, an edge cell two, a face cell one, an inner cell none.'
        : `A corner cell lies on the outside of the ${whole(puzzle)} along all three axes, an edge cell along two, a face cell along one, an inner cell along none.`;
      $('pieces-text').textContent = `Piece ${label(chosen)}, ${puzzle.pieces[chosen].name}, over the ${count(run.count, 'solution')} of run ${run.number}. ${kinds}`;
    },
    stage() {
      const { run } = state;
      const { chosen } = my;
      const stats = madeOnce(state, run, 'stats', pieceStats);
      const { puzzle } = run;
      const colours = coloursOf(puzzle, state.mode);
      const sheet = overlay();
      sheet.innerHTML = `<h2>Where the pieces go: run ${run.number}, ${count(run.count, 'solution')}</h2>` +
        coverChart(stats, chosen, puzzle) + touchBars(stats, chosen, colours, puzzle) + kindsChart(stats, chosen, colours, puzzle) + touchMatrix(stats, chosen, colours, puzzle);
      for (const row of sheet.querySelectorAll('.piece-row')) {
        row.addEventListener('click', () => choose(Number(row.dataset.piece) - 1));
        row.addEventListener('keydown', (e) => {
          if (e.key !== 'Enter' && e.key !== ' ') return;
          e.preventDefault();
          choose(Number(row.dataset.piece) - 1);
        });
      }
    },
  };
}
