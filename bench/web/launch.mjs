// The page's benchmark: what the page's own code weighs (raw and gzip), and the launch to a usable
// window in headless Chromium against the floor (bench/web/: the same window in plain HTML, CSS
// and a few lines of JavaScript, no wasm), taking turns: first visits, each in a new context, then
// repeat visits, each after a visit in the same context. Nothing is asserted: it measures.
//   node bench/web/launch.mjs SITE [RUNS]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {fileURLToPath} from 'node:url';
import {openSite} from '../../scripts/web-browser.mjs';

const [site, runsText] = process.argv.slice(2);
const runs = Number(runsText || 15);
const here = path.dirname(fileURLToPath(import.meta.url));

// One folder served: the site as it is, and the floor beside it with the same stylesheet and art.
const root = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-bench-web-'));
fs.cpSync(site, path.join(root, 'page'), {recursive: true});
fs.mkdirSync(path.join(root, 'floor'));
for (const name of ['index.html', 'floor.css', 'floor.js']) fs.copyFileSync(path.join(here, name), path.join(root, 'floor', name));
for (const name of ['velmora.css', 'banner.png', 'icon-32.png', 'hand.png']) {
  fs.copyFileSync(path.join(site, name), path.join(root, 'floor', name));
}

const kb = (bytes) => (bytes / 1024).toFixed(1);
const weigh = (folder, names) => names.map((name) => {
  const data = fs.readFileSync(path.join(folder, name));
  return [name, data.length, zlib.gzipSync(data, {level: 9}).length];
});
const table = (rows) => {
  const total = rows.reduce((sum, [, raw, gz]) => [sum[0] + raw, sum[1] + gz], [0, 0]);
  for (const [name, raw, gz] of [...rows, ['total', ...total]]) {
    console.log(`| ${name} | ${raw} B (${kb(raw)} KB) | ${gz} B (${kb(gz)} KB) |`);
  }
};
console.log(`machine: ${os.cpus().length} cores, ${os.cpus()[0].model}; ${(os.totalmem() / 2 ** 30).toFixed(0)} GiB`);
console.log('\nthe page\'s own code, as served and gzip -9 (the budget: html + js + wasm <= 100 KB gzip):');
console.log('| file | raw | gzip |\n|---|---|---|');
table(weigh(path.join(root, 'page'), ['index.html', 'start.js', 'velmora.js', 'velmora.wasm']));
console.log('\nthe rest of the site (fetched once, kept by the service worker):');
console.log('| file | raw | gzip |\n|---|---|---|');
table(weigh(path.join(root, 'page'), ['velmora.css', 'sw.js', 'manifest.webmanifest', 'banner.png', 'icon-32.png',
                                       'hand.png', 'icon-192.png', 'icon-512.png', 'icon-maskable-512.png']));
console.log('\nthe floor\'s own code:');
console.log('| file | raw | gzip |\n|---|---|---|');
table(weigh(path.join(root, 'floor'), ['index.html', 'floor.css', 'floor.js']));

// One launch, the times in ms from the start of the navigation until the window is shown with the
// focus in the nickname box. A first visit: a new context (empty cache, no service worker). A repeat
// visit: the same page visited once before in that context, its service worker (if any) ready, as a
// returning user opens it.
async function launch(browser, url, repeat = false) {
  const context = await browser.newContext(repeat ? {} : {serviceWorkers: 'block'});
  const page = await context.newPage();
  const usable = () => page.waitForFunction(() => performance.getEntriesByName('velmora-window-shown').length > 0 &&
                                                  document.activeElement?.id === 'Text1');
  if (repeat) {
    await page.goto(url);
    await usable();
    await page.evaluate(() => ('serviceWorker' in navigator && document.querySelector('link[rel=manifest]')
      ? navigator.serviceWorker.ready : null));
  }
  await page.goto(url, {waitUntil: 'commit'});
  await usable();
  const t = await page.evaluate(() => {
    const end = (suffix) => performance.getEntriesByType('resource').find((r) => r.name.endsWith(suffix))?.responseEnd;
    const mark = (name) => performance.getEntriesByName(name)[0]?.startTime;
    const nav = performance.getEntriesByType('navigation')[0];
    return {html: nav.responseEnd, dcl: nav.domContentLoadedEventEnd, js: end('/velmora.js'), wasm: end('/velmora.wasm'),
            open: mark('velmora-open'), shown: mark('velmora-window-shown')};
  });
  await context.close();
  return t;
}

const median = (values) => {
  const sorted = values.filter((v) => v !== undefined).sort((a, b) => a - b);
  return sorted.length ? sorted[Math.floor((sorted.length - 1) / 2)] : undefined;
};
const ms = (v) => (v === undefined ? '-' : v.toFixed(1));

const served = await openSite(root);
try {
  await launch(served.browser, served.url + 'page/');  // a first launch of the browser's own, not counted
  for (const [visit, repeat] of [['first visit', false], ['repeat visit', true]]) {
    const results = {page: [], floor: []};
    for (let i = 0; i < runs; ++i) {
      for (const name of i % 2 ? ['floor', 'page'] : ['page', 'floor']) {
        results[name].push(await launch(served.browser, `${served.url}${name}/`, repeat));
      }
    }
    console.log(`\n${visit}: launch to a usable window, headless Chromium (${(await served.browser.version())}), ` +
                `${runs} runs each, taking turns; medians in ms from the start of the navigation:`);
    console.log('| page | html received | js received | wasm received | DOM ready | program starts | window usable |');
    console.log('|---|---|---|---|---|---|---|');
    for (const name of ['page', 'floor']) {
      const m = (key) => ms(median(results[name].map((r) => r[key])));
      console.log(`| ${name} | ${m('html')} | ${m('js')} | ${m('wasm')} | ${m('dcl')} | ${m('open')} | ${m('shown')} |`);
    }
    const page = median(results.page.map((r) => r.shown));
    const floor = median(results.floor.map((r) => r.shown));
    console.log(`\n${visit}, page / floor: ${(page / floor).toFixed(2)}x (every run, page: ` +
                `${results.page.map((r) => ms(r.shown)).join(' ')}; floor: ${results.floor.map((r) => ms(r.shown)).join(' ')})`);
  }
} finally {
  await served.close();
  fs.rmSync(root, {recursive: true, force: true});
}
