// The browser build played in headless Chromium at a phone's viewport: loading screen, main
// menu, a game of ARCADE driven by touch events on board cells (checked against the game's
// state as the page exposes it), sound starting with the first touch, pause and resume by the
// page's visibility with the saves read back from IndexedDB, and a reload that resumes the game.
//   node web_flow.mjs SITE_DIR WORK_DIR
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as web from '../../tools/web/harness.mjs';

const [site, work] = process.argv.slice(2);
if (!site || !work) {
  console.error('usage: node web_flow.mjs SITE_DIR WORK_DIR');
  process.exit(2);
}
const SEED = 5;
// Design-area points of the buttons: PLAY on the main menu, ARCADE on the game mode screen.
const MENU_PLAY = {x: 160, y: 157};
const MENU_QUIET = {x: 160, y: 8};
const MODE_ARCADE = {x: 160, y: 198};
const SAVED = {
  game: '/squibly/squibly.sav', check: '/squibly/squibly.tes', settings: '/squibly/squibly.ach',
};
const SETTINGS_BYTES = 560;
// A saved game resumes only when its check value passes this.
const RESUME_CHECK_MINIMUM = 56;

const started = Date.now();
function step(text) {
  console.log(`-- ${((Date.now() - started) / 1000).toFixed(1).padStart(5)} s  ${text}`);
}

// The game is idle and waiting for a new touch on the board (a finger lifted less than half a
// second ago could still make a double tap).
const boardIdle = (s) => s.screen === 7 && (s.phase === 7 || s.phase === 13) && s.boardPhase === 2 &&
                         s.runState === 2 && s.touchPhase === 0 && s.touchDown === 0;

const cellPoint = (cell) => web.cellCentre(cell % 6, Math.floor(cell / 6));

// Swipes the game allows. A quiet one makes no group of four, so two creatures simply change
// places; scoringSwipes finds the fewest that make a group of four or more, quiet ones setting up
// the last.
const afterSwipe = (kinds, {from, to}) => {
  const after = kinds.slice();
  [after[from], after[to]] = [kinds[to], kinds[from]];
  return after;
};
function legalSwipes(kinds) {
  const list = [];
  for (let from = 0; from < 36; ++from) {
    for (const to of [from + 1, from + 6]) {
      if (to > 35 || (to === from + 1 && from % 6 === 5)) continue;
      const a = kinds[from], b = kinds[to];
      if (a !== b && a <= 8 && b <= 8 && web.legalSwap(kinds, from, to)) list.push({from, to});
    }
  }
  return list;
}
const scores = (kinds, swipe) => {
  const after = afterSwipe(kinds, swipe);
  return web.groupSize(after, swipe.from) >= 4 || web.groupSize(after, swipe.to) >= 4;
};
const quietSwipe = (kinds) => legalSwipes(kinds).find((swipe) => !scores(kinds, swipe)) || null;
function scoringSwipes(kinds) {
  let frontier = [{kinds, path: []}];
  for (let depth = 1; depth <= 4; ++depth) {
    const next = [];
    for (const {kinds: board, path} of frontier) {
      for (const swipe of legalSwipes(board)) {
        if (scores(board, swipe)) return [...path, swipe];
        next.push({kinds: afterSwipe(board, swipe), path: [...path, swipe]});
      }
    }
    frontier = next.slice(0, 20000);
  }
  return null;
}

async function main() {
  const profile = path.join(work, 'profile');
  fs.rmSync(profile, {recursive: true, force: true});
  const server = await web.serve(site);
  const browser = await web.launch(profile);
  let session = null;
  try {
    step('loading screen, then the main menu, at the phone viewport');
    session = await web.open(browser, `${server.url}?seed=${SEED}`, web.PHONE);
    const {page} = session;
    const menu = await web.waitFor(page, 'the main menu', (s) => s.startupComplete === 1 && s.screen === 1 && s.phase === 1);
    const timing = await web.evaluate(page, 'window.squibly.timing');
    assert.ok(timing.firstLoadingFrame !== null, 'a frame of the loading screen was shown');
    assert.ok(timing.firstLoadingFrame < timing.firstMenuFrame, 'the loading screen came before the menu');
    // 360 x 740 CSS pixels at ratio 3: the 2:3 canvas is 360 x 540, its buffer 1080 x 1620.
    assert.deepEqual([menu.screenWidth, menu.screenHeight], [1080, 1620], 'device display is CSS size x ratio');
    assert.equal(menu.scale, 3.375);
    assert.equal(menu.offsetY, 0);
    const silent = await web.audio(page);
    assert.equal(silent.state, 'suspended', 'no sound before the first touch');

    step('the first touch, which starts the sound, then PLAY');
    await web.waitFor(page, 'the menu shown', (s) => s.mainMenuStage === 2);
    // Above the title, where a touch does nothing: the browser's own input may arrive seconds
    // late on a loaded machine, and a finger held on PLAY would land on ARCADE.
    await web.trustedTap(page, MENU_QUIET);
    await web.waitForValue(page, 'sound after the first touch', 'window.squibly.audio().state', (v) => v === 'running');
    assert.equal((await web.state(page)).screen, 1, 'the touch above the title did nothing');
    await web.strokes(page, [[MENU_PLAY]]);
    await web.waitFor(page, 'the game mode screen', (s) => s.screen === 2 && s.phase === 2 && s.menuStage === 2 &&
                                                          s.inputCooldown === 0);

    step('ARCADE');
    await web.strokes(page, [[MODE_ARCADE]]);
    let game = await web.waitFor(page, 'an idle ARCADE board', boardIdle);
    assert.equal(game.gameMode, 1);
    await web.waitForValue(page, 'the music', 'window.squibly.audio().music', (v) => v === true);

    step('swipes that make a group: the score grows');
    const moves = scoringSwipes(game.kinds);
    assert.ok(moves, `the board has swipes that make a group: ${game.kinds}`);
    for (const move of moves) {
      const beforeMove = game;
      await web.swipe(page, cellPoint(move.from), cellPoint(move.to));
      game = await web.waitFor(page, 'the swipe to settle', (s) => s.movesMade === beforeMove.movesMade + 1 &&
                                                                   s.pendingScore === 0 && boardIdle(s));
    }
    assert.ok(game.score > 0, `a group scored (${JSON.stringify(moves)})`);

    step('hidden page: the game pauses, saves, goes silent and stops drawing');
    const hiddenBy = await web.hide(page);
    const paused = await web.waitFor(page, 'the pause', (s) => s.paused === 1 && s.lifecycleRequest === 3, 10000);
    const frames = await web.frames(page);
    await web.sleep(1500);
    const still = await web.state(page);
    assert.equal(still.gameClock, paused.gameClock, 'the clock stands still while hidden');
    const quiet = await web.audio(page);
    assert.equal(await web.frames(page), frames, 'no frame is drawn while hidden');
    assert.notEqual(quiet.state, 'running', 'no sound while hidden');

    step('the saves of the pause, read back from IndexedDB');
    assert.ok(paused.savedGameBytes > 10044, `a whole saved game is ${paused.savedGameBytes} bytes`);
    await web.waitForValue(page, 'the saves in IndexedDB', web.STORED_FILES,
      (files) => files[SAVED.game] === paused.savedGameBytes && files[SAVED.check] === 8 &&
                 files[SAVED.settings] === SETTINGS_BYTES);
    const storedGame = await web.storedBytes(page, SAVED.game);
    for (const file of Object.values(SAVED)) {
      const inMemory = await web.evaluate(page, `Array.from(Module.FS.readFile(${JSON.stringify(file)}))`);
      assert.deepEqual(file === SAVED.game ? storedGame : await web.storedBytes(page, file), inMemory,
                       `${file}: the stored copy is the program's`);
    }
    // Texts in the record leave its last value off the 8-byte grid.
    assert.deepEqual(storedGame.slice(-8), storedGame.slice(0, 8), 'the saved game opens and closes with one nonce');
    assert.ok(web.savedValues(await web.storedBytes(page, SAVED.check))[0] > RESUME_CHECK_MINIMUM,
              'the check value lets a restart resume the game');

    step('visible again: the game resumes where it was');
    await web.show(page, hiddenBy);
    const resumed = await web.waitFor(page, 'the resume', (s) => s.paused === 0 && s.lifecycleRequest === 0 && boardIdle(s), 10000);
    assert.deepEqual(resumed.kinds, game.kinds, 'the board is the one left');
    assert.equal(resumed.score, game.score);
    await web.waitForValue(page, 'frames again', 'window.squibly.frames()', (n) => n > frames + 10);
    await web.waitForValue(page, 'sound again', 'window.squibly.audio().state', (v) => v === 'running');

    step('a swipe after the pause, saved only as the page is left');
    const late = quietSwipe(resumed.kinds);
    assert.ok(late, 'the board has a legal swipe');
    await web.swipe(page, cellPoint(late.from), cellPoint(late.to));
    game = await web.waitFor(page, 'the swipe to settle', (s) => s.movesMade === resumed.movesMade + 1 && boardIdle(s));
    assert.equal(game.kinds[late.from], resumed.kinds[late.to]);

    step('reload: the interrupted game comes back as it was left');
    const left = await web.waitFor(page, 'an idle board', boardIdle);
    assert.ok(left.score > 0);
    await page.reload({waitUntil: 'load'});
    const again = await web.waitFor(page, 'the game after the reload', (s) => s.startupComplete === 1 && boardIdle(s));
    assert.deepEqual(again.kinds, left.kinds, 'the board is the one left');
    for (const field of ['gameMode', 'score', 'level', 'swaps', 'movesMade', 'flipsMade']) {
      assert.equal(again[field], left[field], field);
    }

    assert.deepEqual(session.problems, [], 'the page reported no errors');
    step('passed');
  } catch (error) {
    if (session) {
      console.log('page log (last 40 lines):');
      for (const line of session.log.slice(-40)) console.log(`  ${line}`);
      await session.page.screenshot({path: path.join(work, 'failure.png')}).catch(() => {});
    }
    throw error;
  } finally {
    await browser.close();
    await server.close();
  }
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
