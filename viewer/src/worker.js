// Reads a solutions file (or a console report) off the page's thread and hands back its runs, their solutions in
// typed arrays that move to the page without a copy.
import { readSolutionsFile } from './parse.js';

self.onmessage = async ({ data }) => {
  let text;
  try {
    text = await data.file.text();
  } catch (error) {
    self.postMessage({ type: 'failed', message: error.message || String(error) });
    return;
  }
  const started = performance.now();
  const result = readSolutionsFile(text, (share) => self.postMessage({ type: 'progress', share }));
  result.parseMs = performance.now() - started;
  const buffers = result.runs.flatMap((run) => [run.numbers.buffer, run.lines.buffer, run.cells.buffer, ...(run.found ? [run.found.buffer] : [])]);
  self.postMessage({ type: 'done', result }, buffers);
};
