// The Pieces view: charts of where the pieces go over the whole run, about the piece chosen.
// Address: &pieces=L, the chosen piece's label.
import { PIECES } from '../pieces.js';
import { LABELS } from '../parse.js';
import { COLOUR_MODES } from '../colours.js';
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
        const chosen = LABELS.indexOf(String(written).toUpperCase());
        if (!written || written.length !== 1 || chosen < 0) {
          say(`"${written}" is no piece's label: the pieces are 1 to 9 and A to D.`);
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
      const { chosen } = my;
      makePens($('chart-pieces'), state.mode, PIECES.map((_, p) => p), chosen, choose);
      $('pieces-text').textContent = `Piece ${label(chosen)}, ${PIECES[chosen].name}, over the ${count(run.count, 'solution')} of run ${run.number}. A corner cell has three faces on the outside of the cube, an edge cell two, a face cell one, an inner cell none.`;
    },
    stage() {
      const { run } = state;
      const { chosen } = my;
      const stats = madeOnce(state, run, 'stats', pieceStats);
      const colours = COLOUR_MODES[state.mode].colours;
      const sheet = overlay();
      sheet.innerHTML = `<h2>Where the pieces go: run ${run.number}, ${count(run.count, 'solution')}</h2>` +
        coverChart(stats, chosen) + touchBars(stats, chosen, colours) + kindsChart(stats, chosen, colours) + touchMatrix(stats, chosen, colours);
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
