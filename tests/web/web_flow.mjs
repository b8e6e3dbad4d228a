// The browser build played in headless Chromium at a phone's viewport: loading screen, main
// menu, a game of ARCADE driven by touch events on board cells (checked against the game's
// state as the page exposes it), sound starting with the first touch, pause and resume by the
// page's visibility, and the saved folder in IndexedDB: the saves read back from the browser's
// storage, a reload that resumes the game, and a high score kept over a reload.
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
// The pause button in the strip below the board; QUIT on the pause menu.
const PAUSE_BUTTON = {x: 75, y: 455};
const PAUSE_QUIT = {x: 280, y: 305};
const ARCADE_TABLE = 1;
const SAVED = {
  game: '/squibly/squibly.sav', check: '/squibly/squibly.tes', settings: '/squibly/squibly.ach',
};
const SETTINGS_BYTES = 560;
// Where squibly.ach keeps the high-score tables (8 bytes a value).
const settingsScore = (table, place) => 21 + 12 * table + 2 * place;
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

// A cell whose switch to its twin makes no group of four, so the switch stays visible (-1: none).
const quietSwitch = (kinds) => kinds.findIndex((kind, cell) => kind >= 1 && kind <= 8 &&
  web.groupSize(Object.assign(kinds.slice(), {[cell]: web.twinOf(kind)}), cell) < 4);

const cellPoint = (cell) => web.cellCentre(cell % 6, Math.floor(cell / 6));

// Swipes the game allows. A quiet one makes no group of four, so two creatures simply change
// places; scoringSwipes finds the fewest that make a group of four or more, quiet ones setting up
// the last (swipes, since a loaded machine drawing a frame in over half a second misses double taps).
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

// Waits until IndexedDB's copy of a saved file passes test(bytes).
async function storedUntil(page, label, file, test, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    const bytes = await web.storedBytes(page, file);
    if (bytes && test(bytes)) return bytes;
    if (Date.now() > end) throw new Error(`timed out waiting for ${label}; ${file} holds ${bytes ? bytes.length : 'no'} bytes`);
    await web.sleep(100);
  }
}

// The ARCADE table of the page's state and of the settings file's bytes.
const stateTable = (s) => web.scoreTable(s.highScores, ARCADE_TABLE);
function fileTable(bytes) {
  const v = web.savedValues(bytes);
  return [0, 1, 2, 3, 4, 5].map((place) => [v[settingsScore(ARCADE_TABLE, place)], v[settingsScore(ARCADE_TABLE, place) + 1]]);
}

// A second tap still held when its switch ends selects the creature again (the game's own
// rule; a slowly drawn frame holds a finger for many ticks). A tap below the board drops such a
// selection, so the next swipe starts where it is meant to.
async function dropSelection(page, state) {
  if (state.selectedCell === 0) return state;
  await web.strokes(page, [[{x: 160, y: 440}]]);
  return web.waitFor(page, 'no selection', (s) => boardIdle(s) && s.selectedCell === 0);
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

    step('the saved folder: in IndexedDB, each change written whole, the media left out');
    assert.equal((await web.evaluate(page, 'window.squibly.storage()')).usable, true);
    // Written the way a save is (a temporary file renamed over the real one), plus a file
    // made and deleted at once: neither passing file may reach the database.
    await web.evaluate(page, `(() => {
      const FS = Module.FS;
      FS.writeFile('/squibly/probe.tmp', new Uint8Array([3, 1, 4, 1, 5, 9, 2, 6, 5]));
      FS.rename('/squibly/probe.tmp', '/squibly/probe.dat');
      FS.writeFile('/squibly/passing.dat', new Uint8Array([1]));
      FS.unlink('/squibly/passing.dat');
      return true;
    })()`);
    const stored = await web.waitForValue(page, 'the probe in IndexedDB', web.STORED_FILES,
                                          (files) => files['/squibly/probe.dat'] !== undefined);
    assert.equal(stored['/squibly/probe.dat'], 9);
    assert.deepEqual(Object.keys(stored).filter((name) => /probe\.tmp|passing|\/Media/.test(name)), []);

    step('closed and opened again: small ARCADE scores of earlier games, put into the stored settings meanwhile');
    await page.goto(`${server.url}blank.html`, {waitUntil: 'load'});
    const written = await web.storedBytes(page, SAVED.settings);
    assert.equal(written?.length, SETTINGS_BYTES, 'the settings written at start-up are stored whole');
    const earlier = [[400, 3], [300, 2], [200, 2], [60, 1], [40, 1], [20, 1]];
    const values = web.savedValues(written);
    earlier.forEach(([score, level], place) => {
      values[settingsScore(ARCADE_TABLE, place)] = score;
      values[settingsScore(ARCADE_TABLE, place) + 1] = level;
    });
    await web.storeBytes(page, SAVED.settings, web.savedBytes(values));
    await page.goto(`${server.url}?seed=${SEED}`, {waitUntil: 'load'});
    const reopened = await web.waitFor(page, 'the main menu again', (s) => s.startupComplete === 1 && s.screen === 1 && s.phase === 1);
    assert.deepEqual(stateTable(reopened), earlier, 'the stored table was read before start-up');
    assert.deepEqual(await web.evaluate(page, 'Array.from(Module.FS.readFile("/squibly/probe.dat"))'),
                     [3, 1, 4, 1, 5, 9, 2, 6, 5]);
    await web.evaluate(page, 'Module.FS.unlink("/squibly/probe.dat"), true');
    await web.waitForValue(page, 'the probe deleted from IndexedDB', web.STORED_FILES,
                           (files) => files['/squibly/probe.dat'] === undefined);

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

    step('double tap: a creature turns into its twin');
    const flipCell = quietSwitch(game.kinds);
    assert.ok(flipCell >= 0, 'the dealt board has a cell to switch');
    const before = game;
    // The window for the second tap is half a second of game time. A loaded machine that stalls
    // for that long between two frames lets it pass unseen, so the gesture may be given again.
    for (let attempt = 1; ; ++attempt) {
      await web.doubleTap(page, cellPoint(flipCell));
      game = await web.waitFor(page, 'the switch to settle', (s) => s.flipsMade === before.flipsMade + 1 && boardIdle(s), 6000)
        .catch((error) => { if (attempt === 3) throw error; return null; });
      if (game) break;
      console.log(`   the double tap was not seen (attempt ${attempt}); once more`);
      game = await dropSelection(page, await web.waitFor(page, 'an idle board', boardIdle));
    }
    assert.equal(game.kinds[flipCell], web.twinOf(before.kinds[flipCell]), 'the tapped creature is its twin');
    assert.equal(game.swaps, before.swaps - 1, 'a switch spends one swap');
    game.kinds.forEach((kind, cell) => { if (cell !== flipCell) assert.equal(kind, before.kinds[cell], `cell ${cell} kept`); });
    game = await dropSelection(page, game);

    step('swipe: two creatures change places');
    const swipe = quietSwipe(game.kinds);
    assert.ok(swipe, 'the board has a legal swipe');
    const beforeSwipe = game;
    const sounded = web.waitForValue(page, 'the swap sound', 'window.squibly.audio().playing', (n) => n > 0, 3000, 20);
    await web.swipe(page, cellPoint(swipe.from), cellPoint(swipe.to));
    await sounded;
    game = await web.waitFor(page, 'the swipe to settle', (s) => s.movesMade === beforeSwipe.movesMade + 1 && boardIdle(s));
    const swapped = `swipe ${swipe.from}->${swipe.to}: before ${beforeSwipe.kinds} after ${game.kinds}`;
    assert.equal(game.kinds[swipe.from], beforeSwipe.kinds[swipe.to], swapped);
    assert.equal(game.kinds[swipe.to], beforeSwipe.kinds[swipe.from], swapped);

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
    const sizes = await web.waitForValue(page, 'the saves in IndexedDB', web.STORED_FILES,
      (files) => files[SAVED.game] === paused.savedGameBytes && files[SAVED.check] === 8 &&
                 files[SAVED.settings] === SETTINGS_BYTES);
    console.log(`   stored: ${Object.values(SAVED).map((file) => `${path.basename(file)} ${sizes[file]} bytes`).join(', ')}`);
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
    assert.deepEqual(fileTable(await web.storedBytes(page, SAVED.settings)), earlier);

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

    step('the pause menu\'s QUIT: the game ends and its score enters the ARCADE table');
    await web.strokes(page, [[PAUSE_BUTTON]]);
    await web.waitFor(page, 'the pause menu', (s) => s.screen === 9 && s.phase === 10 && s.touchDown === 0);
    await web.strokes(page, [[PAUSE_QUIT]]);
    const results = await web.waitFor(page, 'the results', (s) => s.screen === 6 && s.menuStage === 2 &&
                                                                  s.inputCooldown === 0, 30000);
    assert.equal(results.score, left.score, 'the score is the game\'s');
    const table = [...earlier, [results.score, results.level]].sort((a, b) => b[0] - a[0]).slice(0, 6);
    assert.deepEqual(stateTable(results), table, 'the score took its place');
    assert.deepEqual(stateTable(results)[results.resultRank - 1], [results.score, results.level]);
    assert.equal(results.newHighScore, 1);
    await web.strokes(page, [[{x: 160, y: 300}]]);
    const home = await web.waitFor(page, 'the main menu', (s) => s.screen === 1 && s.mainMenuStage === 2);
    const settings = await storedUntil(page, 'the settings stored', SAVED.settings,
                                       (bytes) => fileTable(bytes)[results.resultRank - 1][0] === results.score);
    assert.equal(settings.length, SETTINGS_BYTES);
    assert.deepEqual(fileTable(settings), table);

    step('reload: the high score is kept, the finished game is not resumed');
    await page.reload({waitUntil: 'load'});
    const after = await web.waitFor(page, 'the game after the reload', (s) => s.startupComplete === 1 &&
                                    ((s.screen === 1 && s.mainMenuStage === 2) || s.screen >= 6));
    assert.equal(after.screen, 1, 'the main menu, no game');
    assert.deepEqual(after.highScores, home.highScores);
    assert.equal(after.gamesPlayed, home.gamesPlayed);

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
