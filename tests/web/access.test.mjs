// The window for everyone: a finger on a phone (the arrows' touch targets), low vision (a minimum
// font size, forced colours, 400% zoom) and a screen reader or the keyboard alone (the count
// announced, the reading order, the message box's icon, the links). Geometry is read from the
// page, pixels from screenshots, the accessibility tree from the browser.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {chromium} from 'playwright-core';
import {CHROMIUM_FLAGS} from '../../scripts/web-browser.mjs';
import {serve} from '../../scripts/serve-web.mjs';
import {count, enabled, focused, launch, openWindow, SITE, waitReady} from './harness.mjs';
import {readPng} from './png.mjs';

let site;
let scratch;
before(async () => {
  site = await launch();
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-access-'));
});
after(async () => {
  await site.close();
  fs.rmSync(scratch, {recursive: true, force: true});
});

let shots = 0;
async function screenshot(page) {
  const file = path.join(scratch, `shot-${++shots}.png`);
  await page.screenshot({path: file});
  return readPng(file);
}

// The controls' boxes in CSS pixels of the viewport, by id, and the client area's.
const boxes = (page) => page.evaluate(() => {
  const rect = (e) => { const r = e.getBoundingClientRect(); return {x: r.x, y: r.y, right: r.right, bottom: r.bottom}; };
  const client = document.querySelector('.client');
  return {client: rect(client), controls: Object.fromEntries([...client.children].map((e) => [e.id, rect(e)]))};
});

// Whether some square of 24 x 24 CSS px lies wholly on a control for the hit test, sampled every
// half pixel around it: the one nearest the control's centre, or the largest share of one found.
const squareOn = (page, id) => page.evaluate((id) => {
  const target = document.getElementById(id), r = target.getBoundingClientRect(), step = 0.5, side = 24 / step;
  const x0 = r.left - 24, y0 = r.top - 24, columns = Math.ceil((r.width + 48) / step), rows = Math.ceil((r.height + 48) / step);
  // sums[y][x]: the hits in the samples above and left of (x, y)
  const sums = Array.from({length: rows + 1}, () => new Int32Array(columns + 1));
  for (let y = 0; y < rows; y++) {
    for (let x = 0; x < columns; x++) {
      const hit = target.contains(document.elementFromPoint(x0 + (x + 0.5) * step, y0 + (y + 0.5) * step)) ? 1 : 0;
      sums[y + 1][x + 1] = hit + sums[y][x + 1] + sums[y + 1][x] - sums[y][x];
    }
  }
  let best = {share: 0};
  for (let y = 0; y + side <= rows; y++) {
    for (let x = 0; x + side <= columns; x++) {
      const on = sums[y + side][x + side] - sums[y][x + side] - sums[y + side][x] + sums[y][x];
      const left = x0 + x * step, top = y0 + y * step;
      const off = Math.hypot(left + 12 - (r.left + r.right) / 2, top + 12 - (r.top + r.bottom) / 2);
      if (on / (side * side) > best.share || (on === side * side && off < best.off)) {
        best = {share: on / (side * side), left, top, off};
        best.right = best.left + 24;
        best.bottom = best.top + 24;
      }
    }
  }
  return best;
}, id);

const phone = {viewport: {width: 360, height: 640}, isMobile: true, deviceScaleFactor: 2};

test('a phone: each arrow takes taps on 24 x 24 CSS px, one tap one step, the window looks the same', async () => {
  const touch = await openWindow(site, {...phone, hasTouch: true});
  const mouse = await openWindow(site, {...phone, hasTouch: false});
  const {page} = touch;
  // The touch targets are invisible: the window is drawn as without a touch screen (to within the
  // rounding of an edge's anti-aliasing, which moving the arrows over the text box can change).
  const [withTouch, without] = [await screenshot(page), await screenshot(mouse.page)];
  assert.deepEqual([withTouch.width, withTouch.height], [without.width, without.height]);
  let worst = 0;
  for (let y = 0; y < withTouch.height; y++) {
    for (let x = 0; x < withTouch.width; x++) {
      const a = withTouch.at(x, y), b = without.at(x, y);
      worst = Math.max(worst, ...a.map((v, i) => Math.abs(v - b[i])));
    }
  }
  assert.ok(worst <= 2, `a pixel differs by ${worst} of 255 with a touch screen`);
  await mouse.context.close();

  const {controls} = await boxes(page);
  await page.touchscreen.tap((controls.cmdUp.x + controls.cmdUp.right) / 2, (controls.cmdUp.y + controls.cmdUp.bottom) / 2);
  assert.deepEqual([await count(page), await enabled(page)], ['2', [true, true]]);
  const squares = {};
  for (const id of ['cmdUp', 'cmdDown']) {
    // The arrow as drawn is smaller than the square that takes its taps.
    assert.ok(controls[id].right - controls[id].x < 24 && controls[id].bottom - controls[id].y < 24, id);
    squares[id] = await squareOn(page, id);
    assert.equal(squares[id].share, 1, `${id}: the best 24 x 24 square is ${squares[id].share * 100}% on it`);
  }

  // Taps over each square, on a 5 x 5 grid 1 px in, each answered by one step, as a click on the
  // desktop; the other arrow's middle takes the count back. Left out are points inside the box of
  // another control that takes taps (the nickname box's bottom edge): there the browser's touch
  // adjustment chooses between that control and the arrow. Labels take no taps of their own.
  const middle = (b) => [(b.x + b.right) / 2, (b.y + b.bottom) / 2];
  const inside = (b, [x, y]) => x >= b.x && x <= b.right && y >= b.y && y <= b.bottom;
  const others = ['Text1', 'cmdMake', 'Label3', 'Label7'].map((id) => controls[id]);
  let taps = 0;
  for (const [id, back, after, before] of [['cmdUp', 'cmdDown', '3', '2'], ['cmdDown', 'cmdUp', '1', '2']]) {
    const {left, top} = squares[id];
    for (let i = 0; i < 5; i++) {
      for (let j = 0; j < 5; j++) {
        const point = [left + 1 + 22 * i / 4, top + 1 + 22 * j / 4];
        if (others.some((b) => inside(b, point))) continue;
        await page.touchscreen.tap(...point);
        assert.equal(await count(page), after, `${id}: a tap at ${point}`);
        await page.touchscreen.tap(...middle(controls[back]));
        assert.equal(await count(page), before, `${back}: a tap in the middle`);
        taps++;
      }
    }
  }
  assert.ok(taps >= 40, `${taps} taps`);
  // At the lower end the down arrow is disabled, and a tap over it changes nothing.
  await page.touchscreen.tap(...middle(controls.cmdDown));
  assert.deepEqual([await count(page), await enabled(page), await focused(page)], ['1', [true, false], 'cmdUp']);
  await page.touchscreen.tap(squares.cmdDown.left + 12, squares.cmdDown.bottom - 2);
  assert.deepEqual([await count(page), await enabled(page)], ['1', [true, false]]);
  // The nickname box keeps its own taps.
  await page.touchscreen.tap(controls.Text1.x + 10, (controls.Text1.y + controls.Text1.bottom) / 2);
  assert.deepEqual([await focused(page), await count(page)], ['Text1', '1']);
  await touch.context.close();
});

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

// Chromium with the user's minimum font size set (its profile's preference), the site served.
async function withMinimumFont(pixels, use) {
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

test('low vision: with a 20 px minimum font size the window grows, nothing overlaps or is cut off', async () => {
  const win = await openWindow(site);
  const designed = await geometry(win.page);
  assert.deepEqual(layoutFaults(designed, designed), [], 'the window as designed');
  await win.context.close();
  await withMinimumFont(20, async (page) => {
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

// Whether each side of a control's box is drawn: at least 90% of the pixels along its outermost
// two lines differ from the window's surface.
function bordersSeen(shot, b, surface) {
  const differs = (x, y) => shot.at(x, y).some((v, i) => Math.abs(v - surface[i]) > 48);
  const x0 = Math.round(b.x), x1 = Math.round(b.right) - 1, y0 = Math.round(b.y), y1 = Math.round(b.bottom) - 1;
  const side = (points) => points.filter(([x, y]) => differs(x, y)).length >= 0.9 * points.length;
  const line = (from, to, at, vertical) => Array.from({length: to - from + 1}, (_, i) => vertical ? [at, from + i] : [from + i, at]);
  return {
    top: side(line(x0 + 2, x1 - 2, y0, false)) || side(line(x0 + 2, x1 - 2, y0 + 1, false)),
    bottom: side(line(x0 + 2, x1 - 2, y1, false)) || side(line(x0 + 2, x1 - 2, y1 - 1, false)),
    left: side(line(y0 + 2, y1 - 2, x0, true)) || side(line(y0 + 2, y1 - 2, x0 + 1, true)),
    right: side(line(y0 + 2, y1 - 2, x1, true)) || side(line(y0 + 2, y1 - 2, x1 - 1, true)),
  };
}

test('forced colours (high contrast): the arrows keep their shapes, every control its border', async () => {
  const win = await openWindow(site);
  const {page} = win;
  await page.emulateMedia({forcedColors: 'active'});
  const all = {top: true, bottom: true, left: true, right: true};
  // the count, then: the shapes of the up and down arrows
  for (const [steps, up, down] of [[0, 'up', 'down'], [1, 'up', 'down'], [2, 'up', 'down']]) {
    for (let i = 0; i < steps; i++) await page.click('#cmdUp');
    const {client, controls} = await boxes(page);
    const shot = await screenshot(page);
    assert.deepEqual([arrowShape(shot, controls.cmdUp), arrowShape(shot, controls.cmdDown)], [up, down], `${steps} up`);
    const surface = shot.at(Math.round(client.x) + 3, Math.round(client.bottom) - 3);
    for (const id of ['Text1', 'cmdUp', 'cmdDown', 'cmdMake']) {
      assert.deepEqual(bordersSeen(shot, controls[id], surface), all, `${id}, ${steps} up`);
    }
  }
  await win.context.close();
});

test('400% zoom (a 1280 px screen is 320 CSS px wide): the whole window, nothing sideways, nothing cut off', async () => {
  const normal = await openWindow(site);
  const designed = await geometry(normal.page);
  await normal.context.close();
  const win = await openWindow(site, {viewport: {width: 320, height: 180}, deviceScaleFactor: 4});
  const {page} = win;
  const seen = await geometry(page);
  assert.deepEqual(layoutFaults(designed, seen), []);
  assert.deepEqual(await page.evaluate(() => [document.documentElement.scrollWidth <= document.documentElement.clientWidth,
                                              document.querySelector('.frame').getBoundingClientRect().right <= innerWidth + 0.5]),
                   [true, true]);
  await win.context.close();
});

// The accessibility tree as a screen reader walks it, in reading order: [role, name, live] of
// every node that is not ignored, live being that of the live region it is in (Chromium, through
// the DevTools protocol).
async function readingTree(context, page) {
  const cdp = await context.newCDPSession(page);
  const {nodes} = await cdp.send('Accessibility.getFullAXTree');
  await cdp.detach();
  const byId = new Map(nodes.map((node) => [node.nodeId, node]));
  const out = [];
  const walk = (node, inLive) => {
    const live = node.properties?.find((p) => p.name === 'live')?.value.value ?? inLive;
    if (!node.ignored) out.push([node.role?.value, node.name?.value ?? '', live]);
    for (const child of node.childIds ?? []) if (byId.has(child)) walk(byId.get(child), live);
  };
  walk(nodes[0], '');
  return out;
}

// A link's target and look, read from the page.
const links = (page) => page.evaluate(() => ['Label3', 'Label7'].map((id) => {
  const a = document.getElementById(id), style = getComputedStyle(a);
  return [a.localName, a.getAttribute('href'), style.color, style.textDecorationLine, style.cursor.replace(/^url\(.*\/hand\.png"\)/, 'hand')];
}));

test('the keyboard and the links: Tab reaches them after the make button, Enter opens each once', async () => {
  const win = await openWindow(site);
  const {page} = win;
  let opened = 0;
  win.context.on('page', () => opened++);
  await page.evaluate(() => {
    window.mailed = [];  // the mail handler, recorded: a headless browser has none
    HTMLAnchorElement.prototype.click = function() { window.mailed.push(this.href); };
    // whether the browser's own handling of a link's click was left to it
    window.linkClicks = [];
    addEventListener('click', (event) => { if (event.target.closest?.('a[href]')) window.linkClicks.push(event.defaultPrevented); });
  });
  const web = await page.evaluate(() => document.getElementById('Label3').textContent);
  const email = (await page.evaluate(() => document.getElementById('Label7').textContent)).replace(/^E-mail:/, '');
  const focus = (id) => page.evaluate((i) => document.getElementById(i).focus(), id);

  // The links are links, with the window's look; Tab reaches them after the make button, in the
  // window's order, and the window's own order (the nickname box, the arrows, the button) stays.
  const look = ['rgb(0, 0, 255)', 'none', 'hand 5 0, pointer'];
  assert.deepEqual(await links(page), [['a', web, ...look], ['a', 'mailto:' + email, ...look]]);
  await page.click('#cmdUp');  // count 2: both arrows enabled
  await focus('Text1');
  const order = [];
  for (let i = 0; i < 5; i++) {
    await page.keyboard.press('Tab');
    order.push(await focused(page));
  }
  assert.deepEqual(order, ['cmdUp', 'cmdDown', 'cmdMake', 'Label3', 'Label7']);

  // Enter opens a link as a click does, once, and the page stays where it is.
  await focus('Label3');
  const [tab] = await Promise.all([win.context.waitForEvent('page'), page.keyboard.press('Enter')]);
  assert.equal(await tab.evaluate(() => window.opener), null, 'the new tab cannot reach back');
  await tab.close();  // (the refused address's error page may ask for it again: one tab is what counts)
  await focus('Label7');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.mailed.length > 0);
  assert.deepEqual(await page.evaluate(() => [window.mailed, window.linkClicks, location.href]),
                   [['mailto:' + email], [true, true], win.origin + '/']);
  assert.equal(await focused(page), 'Label7');
  // A mouse click opens once too, and leaves the focus where it was.
  await focus('Text1');
  await page.click('#Label7');
  await page.waitForFunction(() => window.mailed.length > 1);
  assert.deepEqual(await page.evaluate(() => [window.mailed.length, window.linkClicks, document.activeElement.id]),
                   [2, [true, true, true], 'Text1']);
  // One tab was opened, for the web address; nothing else was asked of another host.
  assert.deepEqual([opened, [...new Set(win.away)]], [1, [web]]);
  await win.context.close();
});

test('a screen reader: the reading order, the count announced as it changes, the box without its icon', async () => {
  const win = await openWindow(site);
  const {page, context} = win;
  const web = await page.evaluate(() => document.getElementById('Label3').textContent);
  const email = (await page.evaluate(() => document.getElementById('Label7').textContent)).replace(/^E-mail:/, '');
  // The page's elements in the window's reading order, row by row: each caption before what it
  // names; the count a polite live region (announced after what the reader is saying).
  assert.deepEqual(await page.evaluate(() => [...document.querySelector('.client').children].map((e) => e.id)),
                   ['Image1', 'Label1', 'Text1', 'Label4', 'Label6', 'cmdUp', 'cmdDown', 'Label5', 'cmdMake', 'Label2',
                    'Label3', 'Label7']);
  assert.deepEqual(await page.evaluate(() => ['aria-live', 'aria-atomic'].map((a) => document.getElementById('Label6').getAttribute(a))),
                   ['polite', 'true']);

  // What a screen reader is given (Chromium's accessibility tree).
  const spoken = (tree) => tree.filter(([role, name]) => name && !['RootWebArea', 'InlineTextBox'].includes(role))
    .map(([role, name, live]) => `${role}:${name}${live ? ':' + live : ''}`);
  const expected = (n) => ['StaticText:请输入QQ昵称：', 'textbox:请输入QQ昵称：', 'StaticText:Corvane', 'StaticText:昵称前增加的空格数量：',
                           `StaticText:${n}:polite`, 'button:增加空格', 'button:减少空格', 'StaticText:提示：空格越多，你的昵称排得越前',
                           'button:生成并复制(C)', 'StaticText:生成并复制(', 'StaticText:C', 'StaticText:)', 'StaticText:Corvane网 荣誉出品',
                           `link:${web}`, `StaticText:${web}`, `link:E-mail:${email}`, `StaticText:E-mail:${email}`];
  const inWindow = (tree) => spoken(tree).slice(spoken(tree).indexOf('StaticText:请输入QQ昵称：'));
  assert.deepEqual(inWindow(await readingTree(context, page)), expected(1));
  await page.keyboard.press('Tab');
  await page.keyboard.press('Space');
  assert.equal(await focused(page), 'cmdUp');
  assert.deepEqual(inWindow(await readingTree(context, page)), expected(2));

  // The message box's icon is not read: the box says its title, its text and its button.
  await page.dblclick('#Text1');
  await page.keyboard.press('Alt+C');
  await page.waitForFunction(() => document.querySelector('dialog[open]'));
  assert.equal(await page.evaluate(() => document.querySelector('dialog[open] .icon').getAttribute('aria-hidden')), 'true');
  const tree = await readingTree(context, page);
  assert.deepEqual(spoken(tree).slice(spoken(tree).indexOf('dialog:出错提示')),
                   ['dialog:出错提示', 'heading:出错提示', 'StaticText:出错提示', 'StaticText:请先输入QQ昵称', 'button:确定', 'StaticText:确定']);
  await page.keyboard.press('Enter');
  assert.deepEqual(win.away, []);
  await win.context.close();
});
