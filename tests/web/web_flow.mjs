// The browser build played in headless Chromium at a phone's viewport: loading screen, main
// menu, a game of ARCADE driven by touch events on board cells (checked against the game's
// state as the page exposes it), sound starting with the first touch, pause and resume by the
// page's visibility, and the saved folder in IndexedDB.
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
const MODE_ARCADE = {x: 160, y: 198};

function step(text) {
  console.log(`-- ${text}`);
}

// The game is idle and waiting for a new touch on the board (a finger lifted less than half a
// second ago could still make a double tap).
const boardIdle = (s) => s.screen === 7 && (s.phase === 7 || s.phase === 13) && s.boardPhase === 2 &&
                         s.runState === 2 && s.touchPhase === 0 && s.touchDown === 0;

// A cell whose switch to its twin makes no group of four, so the switch stays visible.
function quietSwitch(kinds) {
  for (let cell = 0; cell < 36; ++cell) {
    if (kinds[cell] < 1 || kinds[cell] > 8) continue;
    const after = kinds.slice();
    after[cell] = web.twinOf(kinds[cell]);
    if (web.groupSize(after, cell) < 4) return cell;
  }
  return -1;
}

// A legal swipe that makes no group of four, so the two creatures simply change places.
function quietSwipe(kinds) {
  for (let from = 0; from < 36; ++from) {
    for (const to of [from + 1, from + 6]) {
      if (to > 35 || (to === from + 1 && from % 6 === 5)) continue;
      const a = kinds[from], b = kinds[to];
      if (a === b || a > 8 || b > 8 || !web.legalSwap(kinds, from, to)) continue;
      const after = kinds.slice();
      after[from] = b;
      after[to] = a;
      if (web.groupSize(after, from) < 4 && web.groupSize(after, to) < 4) return {from, to};
    }
  }
  return null;
}

const cellPoint = (cell) => web.cellCentre(cell % 6, Math.floor(cell / 6));

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

    step('PLAY: the first touch, which also starts the sound');
    await web.waitFor(page, 'the menu shown', (s) => s.mainMenuStage === 2);
    await web.trustedTap(page, MENU_PLAY);
    await web.waitForValue(page, 'sound after the first touch', 'window.squibly.audio().state', (v) => v === 'running');
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

    step('a swipe off the board edge is refused and changes nothing');
    const edge = 5;  // top-right corner, swiped right
    const beforeEdge = game;
    await web.swipe(page, cellPoint(edge), {x: 318, y: 35});
    game = await web.waitFor(page, 'the refusal', boardIdle, 10000);
    assert.ok(game.touchX > 310, 'the finger reached past the last column');
    assert.equal(game.movesMade, beforeEdge.movesMade);
    assert.deepEqual(game.kinds, beforeEdge.kinds);

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

    step('visible again: the game resumes where it was');
    await web.show(page, hiddenBy);
    const resumed = await web.waitFor(page, 'the resume', (s) => s.paused === 0 && s.lifecycleRequest === 0 && boardIdle(s), 10000);
    assert.deepEqual(resumed.kinds, game.kinds, 'the board is the one left');
    assert.equal(resumed.score, game.score);
    await web.waitForValue(page, 'frames again', 'window.squibly.frames()', (n) => n > frames + 10);
    await web.waitForValue(page, 'sound again', 'window.squibly.audio().state', (v) => v === 'running');

    step('reload: the saved folder is back before the program starts');
    await page.reload({waitUntil: 'load'});
    await web.waitFor(page, 'the game after the reload', (s) => s.startupComplete === 1);
    assert.deepEqual(await web.evaluate(page, 'Array.from(Module.FS.readFile("/squibly/probe.dat"))'),
                     [3, 1, 4, 1, 5, 9, 2, 6, 5]);
    await web.evaluate(page, 'Module.FS.unlink("/squibly/probe.dat"), true');
    await web.waitForValue(page, 'the probe deleted from IndexedDB', web.STORED_FILES,
                           (files) => files['/squibly/probe.dat'] === undefined);

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
