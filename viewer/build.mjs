// Bundles the viewer into one HTML file, scripts inline, to be opened straight from disk.
import { build } from 'esbuild';
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';

const result = await build({
  entryPoints: ['src/main.js'],
  bundle: true,
  minify: true,
  format: 'iife',
  write: false,
  legalComments: 'none',
});
const script = result.outputFiles[0].text.replace(/<\/script/gi, '<\\/script');
const page = readFileSync('src/index.html', 'utf8').replace('/*SCRIPT*/', () => script);
mkdirSync('dist', { recursive: true });
writeFileSync('dist/tandor-cube-viewer.html', page);
console.log(`dist/tandor-cube-viewer.html: ${page.length} bytes`);
