// Measures the browser build in headless Chromium at the phone viewport (or the tablet's):
// - the download (each file's size) and, from a cold start, the time to the first frame of
//   the loading screen and to the first frame of the main menu;
// - over a running game of ARCADE, the frame rate and the processor time of the browser's
//   processes (the page's renderer, the GPU process that rasterises the canvas, the rest).
//   node tools/web/measure.mjs SITE_DIR [SECONDS] [phone|tablet]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import * as web from './harness.mjs';

const site = process.argv[2];
const seconds = Number(process.argv[3] || 20);
const viewportName = process.argv[4] || 'phone';
const viewport = {phone: web.PHONE, tablet: web.TABLET}[viewportName];
if (!site || !viewport) {
  console.error('usage: node tools/web/measure.mjs SITE_DIR [SECONDS] [phone|tablet]');
  process.exit(2);
}

const TICKS_PER_SECOND = 100;  // the kernel's clock ticks in /proc/<pid>/stat (USER_HZ)

// Processor time (s) of pid and all its descendants, by process kind.
function processorTime(root) {
  const parent = {};
  const time = {};
  const kind = {};
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parent[entry] = fields[1];
      time[entry] = (Number(fields[11]) + Number(fields[12])) / TICKS_PER_SECOND;
      const command = fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8');
      const type = /--type=([a-z-]+)/.exec(command);
      kind[entry] = type ? type[1] : 'browser';
    } catch {
      // the process ended meanwhile
    }
  }
  const totals = {};
  const inTree = (pid) => {
    for (let p = pid; p && p !== '0' && p !== '1'; p = parent[p]) if (p === String(root)) return true;
    return false;
  };
  for (const pid of Object.keys(time)) {
    if (!inTree(pid)) continue;
    totals[kind[pid]] = (totals[kind[pid]] || 0) + time[pid];
  }
  return totals;
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'squibly-measure-'));
  const server = await web.serve(site);
  const browser = await web.launch(path.join(work, 'profile'));
  try {
    // Cold start: a new profile, nothing cached.
    const {page} = await web.open(browser, `${server.url}?seed=3`, viewport);
    console.log(`${viewportName} viewport: ${viewport.width} x ${viewport.height} at ratio ${viewport.deviceScaleFactor}`);
    await web.waitFor(page, 'the main menu', (s) => s.startupComplete === 1 && s.screen === 1 && s.phase === 1, 120000);
    await web.waitForValue(page, 'the menu timing', 'window.squibly.timing.firstMenuFrame', (t) => t !== null);
    const timing = await web.evaluate(page, 'window.squibly.timing');
    const sizes = {};
    for (const name of ['index.html', 'squibly.js', 'squibly.wasm', 'squibly.data.js', 'squibly.data']) {
      sizes[name] = fs.statSync(path.join(site, name)).size;
    }
    const total = Object.values(sizes).reduce((a, b) => a + b, 0);
    console.log('download (bytes):', JSON.stringify(sizes), 'total', total);
    console.log(`cold start: first frame ${timing.firstFrame.toFixed(0)} ms, first loading-screen frame ` +
                `${timing.firstLoadingFrame.toFixed(0)} ms, first menu frame ${timing.firstMenuFrame.toFixed(0)} ms ` +
                '(from the start of navigation)');

    await page.goto(`${server.url}?mode=arcade&seed=3`, {waitUntil: 'load'});
    await web.waitFor(page, 'a running ARCADE game', (s) => s.screen === 7 && s.runState === 2, 120000);
    await web.sleep(1000);
    const pid = browser.process().pid;
    const frames0 = await web.frames(page);
    const cpu0 = processorTime(pid);
    const start = process.hrtime.bigint();
    await web.sleep(seconds * 1000);
    const frames1 = await web.frames(page);
    const cpu1 = processorTime(pid);
    const wall = Number(process.hrtime.bigint() - start) / 1e9;
    const end = await web.state(page);
    console.log(`running game, ${wall.toFixed(1)} s: ${frames1 - frames0} frames, ${((frames1 - frames0) / wall).toFixed(1)} fps` +
                ` (game still running: ${end.screen === 7 && end.runState === 2})`);
    let sum = 0;
    for (const kind of Object.keys(cpu1).sort()) {
      const used = cpu1[kind] - (cpu0[kind] || 0);
      sum += used;
      console.log(`  processor time ${kind}: ${used.toFixed(2)} s = ${(100 * used / wall).toFixed(0)} % of one core`);
    }
    console.log(`  all browser processes: ${(100 * sum / wall).toFixed(0)} % of one core` +
                ` (machine: ${os.cpus().length} cores, load average ${os.loadavg().map((l) => l.toFixed(1)).join(' ')})`);
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
