// Bundles the viewer into one HTML file, scripts inline, to be opened straight from disk. The
// file reader runs as a worker made at run time from its own bundle, which the page carries as
// a string. The notices of the bundled packages (three.js's MIT licence) stay at the end of
// each bundle.
import { build } from 'esbuild';
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';

const options = { bundle: true, minify: true, format: 'iife', write: false, legalComments: 'eof' };
const worker = await build({ ...options, entryPoints: ['src/worker.js'] });
const result = await build({
  ...options,
  entryPoints: ['src/main.js'],
  define: { WORKER_SOURCE: JSON.stringify(worker.outputFiles[0].text) },
});
const script = result.outputFiles[0].text.replace(/<\/script/gi, '<\\/script');
const page = readFileSync('src/index.html', 'utf8').replace('/*SCRIPT*/', () => script);
mkdirSync('dist', { recursive: true });
writeFileSync('dist/tandor-cube-viewer.html', page);
console.log(`dist/tandor-cube-viewer.html: ${Buffer.byteLength(page)} bytes`);
