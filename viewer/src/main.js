// The viewer page: reads a solutions file in a worker and shows a run in five views, each in its
// own module under views/ and each with its own address (#run=R&...):
//
//   Solution  &solution=N[&turn=T]      one solution in 3D: colours, labels, exploded view, the
//             [&exploded=P][&step=S]    order of assembly, a piece singled out
//             [&piece=L]
//   Find      &find=Q[&solution=N]      the solutions that complete a partial assembly, in any
//             [&hint=K]                 rotation; N is the one opened, turned to match; K hints
//   Compare   &solution=A&compare=B     two solutions side by side, B turned to agree best
//   Pieces    &pieces=L                 charts of where the pieces go over the whole run
//   Print     &solution=N&print&unit=U&gap=G[&clearance=C]   STL files of the pieces and of a solution
//
// and in every view &colours=real for the real puzzle's colours.
//
// A view is what its module's function makes of the state: its name, its `address` (address.js),
// and what it does when it is entered (`enter`), when a new run starts (`reset`), to show its
// panel (`panel`) and its part of the stage (`stage`, `pictures`, `picks`: stage.js), for N and P
// (`step`) and R (`random`), and whether it keeps showing the solution chosen (`showsSolution`).
// Each view's panel and tab are in index.html, under its name. This module only builds the
// state, mounts the views and starts the rest.
import { writeQuery } from './find.js';
import * as scene from './scene.js';
import { $ } from './page.js';
import { createState, mount, currentView, shownCells, setView } from './state.js';
import { writeAddress, startRouting } from './address.js';
import { startLoading } from './loader.js';
import { startKeys } from './keys.js';
import { mountStage, drawStage } from './stage.js';
import { solutionView } from './views/solution.js';
import { findView } from './views/find.js';
import { compareView } from './views/compare.js';
import { piecesView } from './views/pieces.js';
import { printView } from './views/print.js';

// The views, in the order of their tabs; the first is the one shown when an address names none.
const VIEWS = [solutionView, findView, compareView, piecesView, printView];

const state = createState();
for (const view of VIEWS) mount(state, view(state));

function showTabs() {
  for (const tab of document.querySelectorAll('#tabs button')) {
    tab.setAttribute('aria-selected', String(tab.dataset.view === state.view));
    tab.tabIndex = tab.dataset.view === state.view ? 0 : -1;
  }
  for (const name of state.order) $(`${name}-panel`).hidden = name !== state.view;
  document.body.dataset.view = state.view;
}
for (const tab of document.querySelectorAll('#tabs button')) tab.addEventListener('click', () => setView(state, tab.dataset.view));

const { changed } = state.signals;
changed.add(showTabs);
changed.add(() => currentView(state).panel?.());
changed.add(() => writeAddress(state));
changed.add(() => drawStage(state));

mountStage(state);
startLoading(state);
startRouting(state);
startKeys(state);

// For tests, measurements and the curious: what the page shows.
window.tandorViewer = {
  state,
  shownPieces: scene.shownPieces,
  topFacePoint: scene.topFacePoint,
  camera: () => scene.camera.position.toArray().map((v) => Math.round(v * 1000) / 1000),
  // The cells the single view shows, in the address's notation ('.' for none).
  shownCells() {
    const view = currentView(state);
    if (view.shownCells) return writeQuery(view.shownCells());
    return state.solution ? writeQuery(shownCells(state)) : null;
  },
};
