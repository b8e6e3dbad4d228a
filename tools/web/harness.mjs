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
    // A page of the same origin without the game: its storage can be read and written while
    // the game is closed.
    if (name === '/blank.html') {
      response.writeHead(200, {'Content-Type': TYPES['.html'], 'Cache-Control': 'no-store'});
      response.end('<!doctype html><title>blank</title><link rel="icon" href="data:,">');
      return;
    }
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

// Evaluates an expression in the page without the user gesture that puppeteer's own evaluate
// grants: a gesture would let the page's sound start before the player touched anything.
const sessions = new WeakMap();
async function session(page) {
  let client = sessions.get(page);
  if (!client) {
    client = await page.createCDPSession();
    sessions.set(page, client);
  }
  return client;
}

export async function evaluate(page, expression) {
  const client = await session(page);
  const result = await client.send('Runtime.evaluate',
    {expression, returnByValue: true, awaitPromise: true, userGesture: false});
  if (result.exceptionDetails) {
    throw new Error(`page: ${result.exceptionDetails.exception?.description || result.exceptionDetails.text}`);
  }
  return result.result.value;
}

export async function state(page) {
  return evaluate(page, 'window.squibly.state()');
}

export async function audio(page) {
  return evaluate(page, 'window.squibly.audio()');
}

// Waits until test(value of expression) holds.
export async function waitForValue(page, label, expression, test, timeout = 10000, every = 50) {
  const end = Date.now() + timeout;
  let last;
  for (;;) {
    last = await evaluate(page, expression).catch(() => undefined);
    if (last !== undefined && test(last)) return last;
    if (Date.now() > end) throw new Error(`timed out waiting for ${label}; last ${JSON.stringify(last)}`);
    await sleep(every);
  }
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
  return evaluate(page, `window.squibly.pagePoint(${x}, ${y})`);
}

export function cellCentre(column, row) {
  return {x: 35 + 50 * column, y: 35 + 50 * row};
}

export async function frames(page) {
  return evaluate(page, 'window.squibly.frames()');
}

// Waits until the page has drawn `count` more frames, counted in the page itself.
export async function nextFrames(page, count = 1) {
  await evaluate(page, `new Promise((resolve) => {
    const until = window.squibly.frames() + ${count};
    const check = () => (window.squibly.frames() >= until ? resolve(true) : setTimeout(check, 1));
    check();
  })`);
}

// Finger strokes through design-area points (320 x 480): each stroke goes down at its first
// point, moves through the rest and lifts at the last. The touch events are made in the page,
// one step per drawn frame: each step reaches the game in a frame of its own, and a double tap
// stays inside its half second of game time however slowly a loaded machine draws (the
// browser's own input takes up to seconds to arrive here, and then a frame may swallow two
// taps). They are the page's real touch handlers' events, but not trusted input: the first
// touch, which must let the sound start, is a trusted one (trustedTap).
export async function strokes(page, list) {
  await evaluate(page, `(async () => {
    const canvas = document.getElementById('canvas');
    const frame = () => new Promise((resolve) => {
      const until = window.squibly.frames() + 1;
      const check = () => (window.squibly.frames() >= until ? resolve() : setTimeout(check, 1));
      check();
    });
    const fire = (type, point) => {
      const p = window.squibly.pagePoint(point.x, point.y);
      const touch = new Touch({identifier: 1, target: canvas, clientX: p.x, clientY: p.y, pageX: p.x, pageY: p.y});
      const down = type === 'touchend' ? [] : [touch];
      canvas.dispatchEvent(new TouchEvent(type, {touches: down, targetTouches: down, changedTouches: [touch],
                                                 bubbles: true, cancelable: true}));
    };
    for (const stroke of ${JSON.stringify(list)}) {
      fire('touchstart', stroke[0]);
      await frame();
      for (const point of stroke.slice(1)) {
        fire('touchmove', point);
        await frame();
      }
      fire('touchend', stroke[stroke.length - 1]);
      await frame();
    }
    return true;
  })()`);
}

export async function swipe(page, from, to) {
  await strokes(page, [[from, to]]);
}

export async function doubleTap(page, point) {
  await strokes(page, [[point], [point]]);
}

// A tap through the browser's own input, as a finger on a touch screen gives it.
export async function trustedTap(page, point) {
  const client = await session(page);
  const p = await pagePoint(page, point.x, point.y);
  await client.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [{x: p.x, y: p.y, id: 1}]});
  await nextFrames(page);
  await client.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
  await nextFrames(page);
}

// Another tab in front hides the page, as switching apps or locking a phone does.
export async function hide(page) {
  const other = await page.browser().newPage();
  await other.bringToFront();
  await waitForValue(page, 'the page hidden', 'document.visibilityState', (v) => v === 'hidden');
  return other;
}

export async function show(page, other) {
  await page.bringToFront();
  if (other) await other.close();
  await waitForValue(page, 'the page visible', 'document.visibilityState', (v) => v === 'visible');
}

// An expression for the saved folder as IndexedDB holds it: path -> byte count (-1 a folder).
export const STORED_FILES = `new Promise((resolve, reject) => {
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
})`;

export async function storedFiles(page) {
  return evaluate(page, STORED_FILES);
}

// One saved file as IndexedDB holds it (its bytes), or null.
export async function storedBytes(page, file) {
  return evaluate(page, `new Promise((resolve, reject) => {
    const request = indexedDB.open('/squibly');
    request.onerror = () => reject(new Error('cannot open the saved folder database'));
    request.onsuccess = () => {
      const db = request.result;
      const get = db.transaction(['FILE_DATA'], 'readonly').objectStore('FILE_DATA').get(${JSON.stringify(file)});
      get.onsuccess = () => {
        db.close();
        resolve(get.result && get.result.contents ? Array.from(get.result.contents) : null);
      };
      get.onerror = () => reject(new Error('cannot read the saved folder database'));
    };
  })`);
}

// Replaces the contents of one saved file in IndexedDB (the page must not be running the game).
export async function storeBytes(page, file, bytes) {
  return evaluate(page, `new Promise((resolve, reject) => {
    const request = indexedDB.open('/squibly');
    request.onerror = () => reject(new Error('cannot open the saved folder database'));
    request.onsuccess = () => {
      const db = request.result;
      const transaction = db.transaction(['FILE_DATA'], 'readwrite');
      const store = transaction.objectStore('FILE_DATA');
      const get = store.get(${JSON.stringify(file)});
      get.onsuccess = () => {
        if (!get.result) return reject(new Error('no ${file} stored'));
        store.put({...get.result, timestamp: new Date(), contents: new Uint8Array(${JSON.stringify(bytes)})},
                  ${JSON.stringify(file)});
      };
      transaction.oncomplete = () => {
        db.close();
        resolve(true);
      };
      transaction.onerror = () => reject(new Error('cannot write the saved folder database'));
    };
  })`);
}

// The little-endian doubles a save file is made of.
export function savedValues(bytes) {
  const view = new DataView(Uint8Array.from(bytes).buffer);
  const values = [];
  for (let at = 0; at + 8 <= bytes.length; at += 8) values.push(view.getFloat64(at, true));
  return values;
}

export function savedBytes(values) {
  const view = new DataView(new ArrayBuffer(8 * values.length));
  values.forEach((v, i) => view.setFloat64(8 * i, v, true));
  return Array.from(new Uint8Array(view.buffer));
}

// The high-score table of a mode (ARCADE 1) as the page's state gives highScores (table index
// fastest, then the place, then score or level): [[score, level], ...] best first.
export function scoreTable(highScores, table) {
  const places = [];
  for (let place = 0; place < 6; ++place) places.push([highScores[table + 4 * place], highScores[24 + table + 4 * place]]);
  return places;
}

// Kinds of the creatures on the board: kinds[column + 6 * row].
export function twinOf(kind) {
  if (kind >= 1 && kind <= 8) return kind % 2 === 1 ? kind + 1 : kind - 1;
  return kind;
}

// Whether the game allows swiping the creature in cell from onto its neighbour to: the same
// kind, or a like creature waiting next to either end (the game's rule for a swap).
export function legalSwap(kinds, from, to) {
  const likeNeighbour = (cell, skip, kind) => {
    const column = cell % 6, row = Math.floor(cell / 6);
    return [column > 0 ? cell - 1 : -1, row > 0 ? cell - 6 : -1, column < 5 ? cell + 1 : -1, row < 5 ? cell + 6 : -1]
      .some((n) => n >= 0 && n !== skip && kinds[n] === kind);
  };
  return kinds[from] === kinds[to] || likeNeighbour(to, from, kinds[from]) || likeNeighbour(from, to, kinds[to]);
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
