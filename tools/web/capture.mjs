// Captures the browser build as a player sees it, at a phone viewport (360 x 740 CSS pixels at
// ratio 3) and a tablet viewport (768 x 1024): the main menu, a game of ARCADE after a few
// matches, and the results once its clock has run out.
//   node tools/web/capture.mjs SITE_DIR OUT_DIR [phone|tablet ...]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import * as web from './harness.mjs';

const [site, out, ...only] = process.argv.slice(2);
if (!site || !out) {
  console.error('usage: node tools/web/capture.mjs SITE_DIR OUT_DIR [phone|tablet ...]');
  process.exit(2);
}
const viewports = {phone: web.PHONE, tablet: web.TABLET};
const SEED = 21;

const idle = (s) => s.screen === 7 && s.boardPhase === 2 && s.runState === 2 && s.touchPhase === 0;

// The move that joins the largest group, as a player looking for matches would make: a swipe
// onto a neighbour, or a double tap that turns a creature into its twin.
function bestMove(kinds) {
  let best = null;
  const consider = (move, after, cells) => {
    // A switch spends a swap: it has to join more than a swipe would.
    const size = Math.max(...cells.map((cell) => web.groupSize(after, cell))) - (move.cell !== undefined ? 0.5 : 0);
    if (!best || size > best.size) best = {...move, size};
  };
  for (let from = 0; from < 36; ++from) {
    if (kinds[from] > 8) continue;
    const twin = kinds.slice();
    twin[from] = web.twinOf(kinds[from]);
    consider({cell: from}, twin, [from]);
    for (const to of [from + 1, from + 6]) {
      if (to > 35 || (to === from + 1 && from % 6 === 5) || kinds[from] === kinds[to]) continue;
      if (kinds[to] > 8 || !web.legalSwap(kinds, from, to)) continue;
      const after = kinds.slice();
      [after[from], after[to]] = [kinds[to], kinds[from]];
      consider({from, to}, after, [from, to]);
    }
  }
  return best;
}

const point = (cell) => web.cellCentre(cell % 6, Math.floor(cell / 6));

async function main() {
  fs.mkdirSync(out, {recursive: true});
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'squibly-capture-'));
  const server = await web.serve(site);
  const browser = await web.launch(path.join(work, 'profile'));
  try {
    for (const [name, viewport] of Object.entries(viewports)) {
      if (only.length && !only.includes(name)) continue;
      const {page} = await web.open(browser, `${server.url}?seed=${SEED}`, viewport);
      await web.waitFor(page, 'the main menu', (s) => s.startupComplete === 1 && s.screen === 1 && s.phase === 1, 120000);
      await web.sleep(2500);
      await page.screenshot({path: path.join(out, `${name}-menu.png`)});

      await page.goto(`${server.url}?mode=arcade&seed=${SEED}`, {waitUntil: 'load'});
      let s = await web.waitFor(page, 'an idle board', idle, 120000);
      for (let move = 0; move < 6; ++move) {
        const best = bestMove(s.kinds);
        if (!best) break;
        if (best.cell !== undefined) {
          await web.doubleTap(page, point(best.cell));
        } else {
          await web.swipe(page, point(best.from), point(best.to));
        }
        s = await web.waitFor(page, 'the board to settle', idle, 60000);
        if (s.selectedCell !== 0) {
          // A second tap held past its switch selected the creature again: a tap below the board lets go.
          await web.strokes(page, [[{x: 160, y: 440}]]);
          s = await web.waitFor(page, 'no selection', (x) => idle(x) && x.selectedCell === 0, 60000);
        }
      }
      await web.sleep(1500);
      await page.screenshot({path: path.join(out, `${name}-game.png`)});

      await web.waitFor(page, 'the results', (x) => x.screen === 6, 400000);
      await web.sleep(2500);
      await page.screenshot({path: path.join(out, `${name}-results.png`)});
      await page.close();
      console.log(`${name}: ${name}-menu.png ${name}-game.png ${name}-results.png`);
    }
  } finally {
    await browser.close();
    await server.close();
    fs.rmSync(work, {recursive: true, force: true});
  }
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
