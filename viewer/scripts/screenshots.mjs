// Takes the README's pictures of the viewer from a solutions file: the real puzzle's colours
// with labels, and the exploded view.
//
//   node scripts/screenshots.mjs TandorCubeSolutions.txt [#run=R&solution=N]
import { resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch, openWith } from '../test/chromium.mjs';

const [file, hash = '#run=1&solution=1'] = process.argv.slice(2);
if (!file) {
  console.error('usage: node scripts/screenshots.mjs TandorCubeSolutions.txt [#run=R&solution=N]');
  process.exit(2);
}
const docs = resolve(fileURLToPath(new URL('.', import.meta.url)), '../../docs');
const browser = await launch();
try {
  const page = await openWith(browser, resolve(file), { hash, viewport: { width: 1280, height: 800 } });
  await page.check('input[name=colours][value=real]');
  await page.screenshot({ path: `${docs}/viewer-real-puzzle.png` });
  await page.fill('#explode', '100');
  await page.dispatchEvent('#explode', 'input');
  await page.screenshot({ path: `${docs}/viewer-exploded.png` });
  if (page.errors.length) throw new Error(page.errors.join('\n'));
  console.log(`${docs}/viewer-real-puzzle.png\n${docs}/viewer-exploded.png`);
} finally {
  await browser.close();
}
