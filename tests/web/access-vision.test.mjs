// The window for low vision (a minimum font size, forced colours, 400% zoom), in each engine:
// geometry read from the page, pixels from screenshots. What an engine cannot do is skipped there
// by name, with the reason.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, afterEach, before, describe, test} from 'node:test';
import {chromium} from 'playwright-core';
import {CHROMIUM_FLAGS} from '../../scripts/web-browser.mjs';
import {serve} from '../../scripts/serve-web.mjs';
import {ENGINES, boxes, enabled, focused, launch, openWindow, screenshot, SITE, unable, waitReady} from './harness.mjs';

let scratch;
before(() => { scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-access-')); });
after(() => { fs.rmSync(scratch, {recursive: true, force: true}); });

// The window's geometry: every control's box, whether its text fits it, and the client area.
const geometry = (page) => page.evaluate(() => {
  const box = (e) => { const r = e.getBoundingClientRect(); return {x: r.x, y: r.y, right: r.right, bottom: r.bottom}; };
  const client = document.querySelector('.client');
  return {
    client: box(client),
    font: parseFloat(getComputedStyle(document.getElementById('Label1')).fontSize),
    controls: [...client.children].map((e) => ({
      id: e.id, ...box(e),
      // a text control's text runs past its box
      overflows: ['button', 'input'].includes(e.localName) && (e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight),
    })),
    caption: (({scrollWidth, clientWidth, scrollHeight, clientHeight}) => scrollWidth > clientWidth || scrollHeight > clientHeight)(document.querySelector('.caption')),
  };
});

// What is wrong with a window's geometry beside the window as designed (the same window at the
// designed font size): two controls that overlap more than the design has them overlap (in
// proportion to the window's size), a control past the client area, a text past its control.
function layoutFaults(designed, seen) {
  const faults = [];
  const grow = (seen.client.right - seen.client.x) / (designed.client.right - designed.client.x);
  const overlap = (a, b) => [Math.min(a.right, b.right) - Math.max(a.x, b.x), Math.min(a.bottom, b.bottom) - Math.max(a.y, b.y)];
  const byId = Object.fromEntries(designed.controls.map((c) => [c.id, c]));
  for (const [i, a] of seen.controls.entries()) {
    for (const b of seen.controls.slice(i + 1)) {
      const [w, h] = overlap(a, b), [dw, dh] = overlap(byId[a.id], byId[b.id]);
      if (w > 0.5 && h > 0.5 && (w > Math.max(0, dw) * grow + 0.5 || h > Math.max(0, dh) * grow + 0.5)) {
        faults.push(`${a.id} and ${b.id} overlap by ${w.toFixed(1)} x ${h.toFixed(1)} px`);
      }
    }
    if (a.right > seen.client.right + 0.5 || a.bottom > seen.client.bottom + 0.5) faults.push(`${a.id} runs past the window`);
    if (a.overflows) faults.push(`${a.id}: its text runs past it`);
  }
  if (seen.caption) faults.push('the title runs past the caption bar');
  return faults;
}

// A window of the engine with the user's minimum font size set: Chromium's profile preference,
// Firefox's preferences.
// Firefox for low vision, one for both of its tests: a minimum font size of 20 px, and its own
// colours always over the page's (its forced colours mode).
let firefoxLowVision = null;
const lowVisionFirefox = () => (firefoxLowVision ??= launch('firefox', SITE, {prefs: {
  'font.minimum-size.zh-CN': 20, 'font.minimum-size.x-western': 20, 'browser.display.document_color_use': 2}}));

async function withMinimumFont(engine, pixels, use) {
  if (engine === 'firefox') {
    assert.equal(pixels, 20, 'the low-vision Firefox has a minimum font size of 20 px');
    const win = await openWindow(await lowVisionFirefox());
    try {
      await use(win.page);
    } finally {
      await win.close();
    }
    return;
  }
  const {server, url} = await serve(SITE);
  const profile = fs.mkdtempSync(path.join(scratch, 'profile-'));
  fs.mkdirSync(path.join(profile, 'Default'));
  fs.writeFileSync(path.join(profile, 'Default', 'Preferences'),
                   JSON.stringify({webkit: {webprefs: {minimum_font_size: pixels, minimum_logical_font_size: pixels}}}));
  const context = await chromium.launchPersistentContext(profile, {executablePath: '/usr/bin/chromium', args: CHROMIUM_FLAGS,
                                                                   locale: 'zh-CN', viewport: {width: 1280, height: 720}});
  try {
    const page = context.pages()[0] || await context.newPage();
    await page.goto(url);
    await waitReady(page);
    await use(page);
  } finally {
    await context.close();
    server.close();
  }
}

// The shape drawn inside a button: the widths of its first and last rows of ink, the button's own
// face (its middle row's first pixel inside the border) being no ink.
function arrowShape(shot, b) {
  const x0 = Math.ceil(b.x) + 3, x1 = Math.floor(b.right) - 3, y0 = Math.ceil(b.y) + 2, y1 = Math.floor(b.bottom) - 2;
  const face = shot.at(x0, Math.round((b.y + b.bottom) / 2)).join();
  const widths = [];
  for (let y = y0; y < y1; y++) {
    let ink = 0;
    for (let x = x0; x < x1; x++) if (shot.at(x, y).join() !== face) ink++;
    if (ink) widths.push(ink);
  }
  return widths.length < 2 ? 'none' : widths[0] < widths[widths.length - 1] ? 'up' : widths[0] > widths[widths.length - 1] ? 'down' : 'block';
}

// Whether each side of a control's box is drawn: at least 90% of the pixels along one of its
// outermost two lines differ from the window's surface by more than least in a channel (leaving
// out 4 px at each end, where a theme may round the corners).
function bordersSeen(shot, b, surface, least) {
  const differs = (x, y) => shot.at(x, y).some((v, i) => Math.abs(v - surface[i]) > least);
  const x0 = Math.round(b.x), x1 = Math.round(b.right) - 1, y0 = Math.round(b.y), y1 = Math.round(b.bottom) - 1;
  const side = (points) => points.filter(([x, y]) => differs(x, y)).length >= 0.9 * points.length;
  const line = (from, to, at, vertical) => Array.from({length: to - from + 1}, (_, i) => vertical ? [at, from + i] : [from + i, at]);
  return {
    top: side(line(x0 + 4, x1 - 4, y0, false)) || side(line(x0 + 4, x1 - 4, y0 + 1, false)),
    bottom: side(line(x0 + 4, x1 - 4, y1, false)) || side(line(x0 + 4, x1 - 4, y1 - 1, false)),
    left: side(line(y0 + 4, y1 - 4, x0, true)) || side(line(y0 + 4, y1 - 4, x0 + 1, true)),
    right: side(line(y0 + 4, y1 - 4, x1, true)) || side(line(y0 + 4, y1 - 4, x1 - 1, true)),
  };
}

for (const engine of ENGINES) {
  describe(engine, () => {
    let site;
    before(async () => { site = await launch(engine); });
    after(async () => {
      await site?.close();
      if (engine === 'firefox' && firefoxLowVision) await (await firefoxLowVision).close();
    });
    afterEach(async () => { await site?.closeWindows(); });

    test('low vision: with a 20 px minimum font size the window grows, nothing overlaps or is cut off', async (t) => {
      if (unable(t, site, 'minimumFont')) return;
      const win = await openWindow(site);
      const designed = await geometry(win.page);
      assert.deepEqual(layoutFaults(designed, designed), [], 'the window as designed');
      await win.close();
      await withMinimumFont(engine, 20, async (page) => {
        const seen = await geometry(page);
        assert.ok(seen.font >= 20, `the labels' text is ${seen.font} px`);
        assert.deepEqual(layoutFaults(designed, seen), []);
        // The message box too: its text and its button whole, the box on the screen.
        await page.dblclick('#Text1');
        await page.keyboard.press('Alt+C');
        await page.waitForFunction(() => document.querySelector('dialog[open]'));
        assert.deepEqual(await page.evaluate(() => {
          const box = document.querySelector('dialog[open]'), r = box.getBoundingClientRect();
          const cut = (e) => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight;
          return [...box.querySelectorAll('h2, p, button')].filter(cut).map((e) => e.localName)
            .concat(r.right > innerWidth || r.bottom > innerHeight || r.x < 0 || r.y < 0 ? ['off the screen'] : []);
        }), []);
        await page.keyboard.press('Enter');
        assert.equal(await focused(page), 'Text1');
      });
    });

    test('forced colours (high contrast): the arrows keep their shapes, every control its border', async (t) => {
      if (unable(t, site, 'forcedColors')) return;
      // Chromium emulates the mode; Firefox turns it on with its own colours always over the page's.
      const forced = engine === 'firefox' ? await lowVisionFirefox() : site;
      try {
        const win = await openWindow(forced);
        const {page} = win;
        if (engine === 'chromium') await page.emulateMedia({forcedColors: 'active'});
        assert.ok(await page.evaluate(() => matchMedia('(forced-colors: active)').matches));
        const all = {top: true, bottom: true, left: true, right: true};
        // clicks on the up arrow (to the counts 1, 2 and 4), then: the shapes of the up and down arrows
        for (const [steps, up, down] of [[0, 'up', 'down'], [1, 'up', 'down'], [2, 'up', 'down']]) {
          for (let i = 0; i < steps; i++) await page.click('#cmdUp');
          const {client, controls} = await boxes(page);
          const shot = await screenshot(page);
          assert.deepEqual([arrowShape(shot, controls.cmdUp), arrowShape(shot, controls.cmdDown)], [up, down], `${steps} up`);
          const surface = shot.at(Math.round(client.x) + 3, Math.round(client.bottom) - 3);
          // A disabled control's border may be fainter (as its text is), never gone.
          const [upOn, downOn] = await enabled(page);
          for (const [id, on] of [['Text1', true], ['cmdUp', upOn], ['cmdDown', downOn], ['cmdMake', true]]) {
            assert.deepEqual(bordersSeen(shot, controls[id], surface, on ? 48 : 24), all, `${id}, ${steps} up`);
          }
        }
        await win.close();
      } finally {
        await forced.closeWindows();
      }
    });

    test('400% zoom (a 1280 px screen is 320 CSS px wide): the whole window, nothing sideways, nothing cut off', async (t) => {
      const normal = await openWindow(site);
      const designed = await geometry(normal.page);
      await normal.close();
      const win = await openWindow(site, {viewport: {width: 320, height: 180}});
      const {page} = win;
      const seen = await geometry(page);
      assert.deepEqual(layoutFaults(designed, seen), []);
      assert.deepEqual(await page.evaluate(() => [document.documentElement.scrollWidth <= document.documentElement.clientWidth,
                                                  document.querySelector('.frame').getBoundingClientRect().right <= innerWidth + 0.5]),
                       [true, true]);
      await win.close();
    });
  });
}
