// The page's modules stay small and layered: none over 400 lines, no import circle, the views
// import only the shared parts (never each other or main.js), and nothing else imports a view.
import test from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { dirname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

const SRC = fileURLToPath(new URL('../src/', import.meta.url));
const modules = readdirSync(SRC, { recursive: true }).filter((f) => f.endsWith('.js')).map((f) => f.split('\\').join('/'));
const texts = new Map(modules.map((m) => [m, readFileSync(join(SRC, m), 'utf8')]));
// What each module imports of the page's own, as paths under src/.
const imports = new Map(modules.map((m) => [m, [...texts.get(m).matchAll(/^(?:import|export)\b[^;]*?from '(\.[^']+)'|^import '(\.[^']+)'/gm)]
  .map((found) => normalize(join(dirname(m), found[1] || found[2])).split('\\').join('/'))]));
const isView = (m) => m.startsWith('views/');

test('every module is at most 400 lines and imports only modules that are there', () => {
  for (const [m, text] of texts) {
    assert.ok(text.split('\n').length - 1 <= 400, `${m}: ${text.split('\n').length - 1} lines`);
    for (const to of imports.get(m)) assert.ok(texts.has(to), `${m} imports ${to}`);
  }
  assert.ok(modules.filter(isView).length >= 5, 'the views are found');
});

test('no import circle; views import neither each other nor main.js, and only main.js imports them', () => {
  for (const [m, targets] of imports) {
    for (const to of targets) {
      assert.notEqual(to, 'main.js', `${m} imports main.js`);
      if (isView(to)) assert.equal(m, 'main.js', `${m} imports ${to}`);
    }
  }
  const state = new Map();
  const visit = (m, path) => {
    if (state.get(m) === 'done') return;
    assert.notEqual(state.get(m), 'open', `import circle: ${[...path, m].join(' -> ')}`);
    state.set(m, 'open');
    for (const to of imports.get(m) || []) visit(to, [...path, m]);
    state.set(m, 'done');
  };
  for (const m of modules) visit(m, []);
});
