// Driving the browser build in headless Chromium: a local server for the page, the browser,
// touches, the page's visibility and the game's state as the page exposes it
// (window.squibly). Used by the web test (tests/web) and by the capture and measuring tools.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const CHROMIUM = process.env.SQUIBLY_CHROMIUM || '/usr/bin/chromium';

export const PHONE = {width: 360, height: 740, deviceScaleFactor: 3, isMobile: true, hasTouch: true};
export const TABLET = {width: 768, height: 1024, deviceScaleFactor: 1, isMobile: true, hasTouch: true};

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.png': 'image/png',
};

// Serves the site folder on 127.0.0.1 at a free port; resolves to {url, close, bytes}.
export function serve(site) {
  const served = {};
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = path.join(site, name === '/' ? 'index.html' : path.normalize(name).replace(/^(\.\.[/\\])+/, ''));
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    const body = fs.readFileSync(file);
    served[path.basename(file)] = body.length;
    response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
                             'Cache-Control': 'no-store'});
    response.end(body);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      resolve({url: `http://127.0.0.1:${port}/`, served, close: () => new Promise((done) => server.close(done))});
    });
  });
}

// One browser with its own profile folder: the page's saved games live there across reloads.
export async function launch(profile) {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: profile,
    args: [
      '--no-sandbox', '--no-first-run', '--no-default-browser-check', '--disable-extensions',
      '--use-gl=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist',
      // As on a phone: sound waits for the player's first gesture.
      '--autoplay-policy=document-user-activation-required',
    ],
  });
}

// Opens the page at a viewport; collects the page's errors and console errors.
export async function open(browser, url, viewport) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const problems = [];
  const log = [];
  page.on('pageerror', (error) => problems.push(`page error: ${error.stack || error.message}`));
  page.on('console', (message) => {
    log.push(`${message.type()}: ${message.text()}`);
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  await page.goto(url, {waitUntil: 'load'});
  return {page, problems, log};
}

export async function state(page) {
  return page.evaluate(() => window.squibly.state());
}

// Waits until test(state) holds; the last state seen goes into the error otherwise.
export async function waitFor(page, label, test, timeout = 60000) {
  const end = Date.now() + timeout;
  let last = null;
  for (;;) {
    last = await state(page).catch(() => null);
    if (last && test(last)) return last;
    if (Date.now() > end) {
      const summary = last ? JSON.stringify({...last, highScores: undefined, challengeProgress: undefined}) : 'none';
      throw new Error(`timed out waiting for ${label}; last state ${summary}`);
    }
    await sleep(50);
  }
}

export function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

// Design-area point (320 x 480) to the page's CSS pixels.
export async function pagePoint(page, x, y) {
  return page.evaluate((px, py) => window.squibly.pagePoint(px, py), x, y);
}

export function cellCentre(column, row) {
  return {x: 35 + 50 * column, y: 35 + 50 * row};
}

// A finger's path through design-area points: down at the first, moved through the rest, up at
// the last. Held briefly at each point, as a finger is, so every step spans game ticks.
export async function touchPath(page, points, holdMs = 90) {
  const client = await page.createCDPSession();
  try {
    const at = [];
    for (const point of points) at.push(await pagePoint(page, point.x, point.y));
    const send = (type, p) => client.send('Input.dispatchTouchEvent',
      {type, touchPoints: p ? [{x: p.x, y: p.y, id: 1, radiusX: 4, radiusY: 4, force: 1}] : []});
    await send('touchStart', at[0]);
    await sleep(holdMs);
    for (const p of at.slice(1)) {
      await send('touchMove', p);
      await sleep(holdMs);
    }
    await send('touchEnd');
  } finally {
    await client.detach();
  }
}

export async function tap(page, point) {
  await touchPath(page, [point], 60);
}

// Another tab in front hides the page, as switching apps or locking a phone does.
export async function hide(page) {
  const other = await page.browser().newPage();
  await other.bringToFront();
  await page.waitForFunction(() => document.visibilityState === 'hidden', {timeout: 10000});
  return other;
}

export async function show(page, other) {
  await page.bringToFront();
  if (other) await other.close();
  await page.waitForFunction(() => document.visibilityState === 'visible', {timeout: 10000});
}

// The saved folder as IndexedDB holds it: path -> byte count.
export async function storedFiles(page) {
  return page.evaluate(() => new Promise((resolve, reject) => {
    const request = indexedDB.open('/squibly');
    request.onerror = () => reject(new Error('cannot open the saved folder database'));
    request.onsuccess = () => {
      const db = request.result;
      const files = {};
      const cursor = db.transaction(['FILE_DATA'], 'readonly').objectStore('FILE_DATA').openCursor();
      cursor.onsuccess = () => {
        const c = cursor.result;
        if (!c) {
          db.close();
          resolve(files);
          return;
        }
        files[c.key] = c.value.contents ? c.value.contents.length : -1;
        c.continue();
      };
      cursor.onerror = () => reject(new Error('cannot read the saved folder database'));
    };
  }));
}

// Kinds of the creatures on the board: kinds[column + 6 * row].
export function twinOf(kind) {
  if (kind >= 1 && kind <= 8) return kind % 2 === 1 ? kind + 1 : kind - 1;
  return kind;
}

// Size of the group of like creatures around cell on a board of kinds.
export function groupSize(kinds, cell) {
  const kind = kinds[cell];
  const seen = new Set([cell]);
  const todo = [cell];
  while (todo.length) {
    const c = todo.pop();
    const column = c % 6, row = Math.floor(c / 6);
    const around = [column > 0 ? c - 1 : -1, row > 0 ? c - 6 : -1, column < 5 ? c + 1 : -1, row < 5 ? c + 6 : -1];
    for (const n of around) {
      if (n >= 0 && !seen.has(n) && kinds[n] === kind) {
        seen.add(n);
        todo.push(n);
      }
    }
  }
  return seen.size;
}
