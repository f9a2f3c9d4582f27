// Debian's Chromium, headless, as the tests, the load-time measurement and the screenshots use it.
import { chromium } from 'playwright-core';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { resolve } from 'node:path';

export const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
export const PAGE = resolve(fileURLToPath(new URL('.', import.meta.url)), '../dist/tandor-cube-viewer.html');
export const PAGE_URL = pathToFileURL(PAGE).href;

// A fresh profile every time (playwright makes one), no network of its own, software WebGL.
export function launch() {
  return chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
  });
}

// Opens the page (with an address fragment, if given) and loads a file into it; resolves when
// the page has shown the file or said why not.
export async function openWith(browser, file, { hash = '', viewport = { width: 1100, height: 720 } } = {}) {
  const page = await browser.newPage({ viewport });
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
  await page.goto(PAGE_URL + hash);
  if (file) await load(page, file);
  return page;
}

export async function load(page, file) {
  await page.evaluate(() => { window.tandorViewer.state.timing = {}; document.querySelector('#message').textContent = ''; });
  await page.setInputFiles('#file', file);
  await page.waitForFunction(() => window.tandorViewer.state.timing.shown || document.querySelector('#message').textContent);
}
