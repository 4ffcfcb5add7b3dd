// The page's window in Debian's Chromium under real mouse, keyboard and touch input: its rules as
// table-driven steps, the clipboard read back through the browser's own API, a refused clipboard,
// a phone's screen, the site without the network, the accessibility tree, the failure box, and
// the request log (nothing from any host but the test server).
import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';
import {box, clipboardUnits, count, enabled, focused, launch, openWindow, waitReady} from './harness.mjs';

const kDone = {title: '温馨提示', text: '代码成功生成并已经复制到系统的剪贴板上，\n请粘贴到QQ个人设置中的QQ昵称里面。'};
const kBusy = {title: '出错提示', text: '剪贴板正被其他程序占用，代码未能复制。\n请稍后再试。'};
const kEmpty = {title: '出错提示', text: '请先输入QQ昵称'};
const units = (text) => Array.from({length: text.length}, (_, i) => text.charCodeAt(i));

let site;
before(async () => { site = await launch(); });
after(async () => { await site.close(); });

// Closes the window's context after checking that it asked no other host for anything, apart
// from the links the test clicked.
async function done(win, clicked = []) {
  assert.deepEqual(win.away, clicked);
  assert.deepEqual(win.requests.filter((url) => !url.startsWith(win.origin + '/') && !clicked.includes(url)), []);
  await win.context.close();
}

// A real mouse click in the middle of a control, enabled or not.
async function mouseOn(page, id) {
  const b = await page.locator('#' + id).boundingBox();
  await page.mouse.click(b.x + b.width / 2, b.y + b.height / 2);
}

async function typeNickname(page, text) {
  await page.locator('#Text1').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(text);
}

test('the count, the buttons and the focus step by step, by mouse and keyboard', async () => {
  const win = await openWindow(site);
  const {page} = win;
  assert.match(await page.title(), /^Velmora\d{4} v1\.0\.2$/);
  assert.equal(await page.locator('.caption').textContent(), await page.title());
  assert.deepEqual(await page.locator('#Text1').evaluate((e) => [e.value, e.selectionStart, e.selectionEnd]),
                   ['Corvane', 7, 7]);
  const press = (...keys) => async () => { for (const key of keys) await page.keyboard.press(key); };
  const click = (id, times = 1) => async () => { for (let i = 0; i < times; ++i) await mouseOn(page, id); };
  // what the user does, then: the count, [up, down] enabled, the focused control
  const steps = [
    ['nothing yet', press(), '1', [true, false], 'Text1'],
    ['Tab', press('Tab'), '1', [true, false], 'cmdUp'],
    ['Tab past the disabled down arrow', press('Tab'), '1', [true, false], 'cmdMake'],
    ['Shift+Tab', press('Shift+Tab'), '1', [true, false], 'cmdUp'],
    ['Space on the up arrow', press('Space'), '2', [true, true], 'cmdUp'],
    ['Tab', press('Tab'), '2', [true, true], 'cmdDown'],
    ['Enter on the down arrow, to the lower end', press('Enter'), '1', [true, false], 'cmdUp'],
    ['three clicks up, to the upper end', click('cmdUp', 3), '4', [false, true], 'cmdDown'],
    ['a click on the disabled up arrow', click('cmdUp'), '4', [false, true], 'cmdDown'],
    ['Enter on the down arrow', press('Enter'), '3', [true, true], 'cmdDown'],
    ['Tab: the arrows swapped places in the tab order', press('Tab'), '3', [true, true], 'cmdUp'],
    ['Tab', press('Tab'), '3', [true, true], 'cmdMake'],
    ['Shift+Tab three times', press('Shift+Tab', 'Shift+Tab', 'Shift+Tab'), '3', [true, true], 'Text1'],
    ['Enter in the nickname box presses nothing', press('End', 'Enter'), '3', [true, true], 'Text1'],
  ];
  for (const [what, act, expectedCount, expectedEnabled, expectedFocus] of steps) {
    await act();
    assert.deepEqual([await count(page), await enabled(page), await focused(page), await box(page)],
                     [expectedCount, expectedEnabled, expectedFocus, null], what);
  }
  await done(win);
});

test('the count buttons take the focus without showing it; the make button shows it', async () => {
  const win = await openWindow(site);
  const {page} = win;
  const look = async (id) => {
    const b = await page.locator('#' + id).boundingBox();
    return page.screenshot({clip: {x: b.x - 3, y: b.y - 3, width: b.width + 6, height: b.height + 6}});
  };
  await mouseOn(page, 'cmdUp');  // count 2: both arrows enabled
  for (const [id, tabs, showsFocus] of [['cmdUp', 1, false], ['cmdDown', 2, false], ['cmdMake', 3, true]]) {
    await page.locator('#Text1').focus();
    const unfocused = await look(id);
    for (let i = 0; i < tabs; ++i) await page.keyboard.press('Tab');
    assert.equal(await focused(page), id);
    assert.equal(!unfocused.equals(await look(id)), showsFocus, id);
  }
  await done(win);
});

test('the code on the clipboard, exactly: U+0001 x count, then the nickname', async () => {
  const long = '𠀀😀𝄞'.repeat(2000);  // 6,000 characters outside the BMP, 12,000 UTF-16 units
  // nickname, count, how the make button is pressed, where the focus is before and after the box
  // (Alt+C presses the button where the focus is: at the upper end, on the down arrow)
  const rows = [['abc', 3, 'click', 'cmdMake'], [long, 4, 'Alt+C', 'cmdDown'], ['x\u0001y', 1, 'Enter', 'cmdMake']];
  const win = await openWindow(site);
  const {page} = win;
  for (const [nickname, n, how, focus] of rows) {
    await typeNickname(page, nickname);
    while (Number(await count(page)) < n) await mouseOn(page, 'cmdUp');
    while (Number(await count(page)) > n) await mouseOn(page, 'cmdDown');
    if (how === 'click') await mouseOn(page, 'cmdMake');
    else if (how === 'Alt+C') await page.keyboard.press('Alt+C');
    else await page.locator('#cmdMake').focus().then(() => page.keyboard.press('Enter'));
    await page.waitForFunction(() => document.querySelector('dialog[open]'));
    assert.deepEqual(await box(page), kDone, how);
    assert.deepEqual(await clipboardUnits(page), [...Array(n).fill(1), ...units(nickname)], how);
    await page.keyboard.press('Enter');
    assert.equal(await box(page), null);
    assert.equal(await focused(page), focus, `${how}: the focus goes back where it was`);
  }
  await done(win);
});

// A clipboard that is missing or refuses is tests/web/delivery.test.mjs's: the page copies another
// way or shows the code to copy by hand.
test('a text the browser\'s clipboard would change: the failure box, never the success box', async () => {
  const rows = [
    // Typed input cannot hold one, a script can; the browser's clipboard would carry U+FFFD in its
    // place: refused, not changed.
    ['a lone surrogate', 'a\uD800b', async () => {}],
  ];
  for (const [what, nickname, refuse] of rows) {
    const win = await openWindow(site, {permissions: what === 'a lone surrogate' ? undefined : []});
    await refuse(win.context, win.page, win.origin);
    await win.page.reload();
    await waitReady(win.page);
    const {page} = win;
    if (what === 'a lone surrogate') await page.locator('#Text1').evaluate((e) => { e.value = 'a\uD800b'; });
    else await typeNickname(page, nickname);
    await mouseOn(page, 'cmdUp');
    await mouseOn(page, 'cmdMake');
    await page.waitForFunction(() => document.querySelector('dialog[open]'));
    assert.deepEqual(await box(page), kBusy, what);
    await page.keyboard.press('Escape');
    assert.equal(await box(page), null, what);
    assert.deepEqual([await page.locator('#Text1').inputValue(), await count(page)], [nickname, '2'], what);
    assert.equal(await page.locator('dialog').count(), 0, `${what}: no other box came up`);
    await done(win);
  }
});

test('double-click, the empty-nickname box, the links and their hover', async () => {
  const win = await openWindow(site);
  const {page, context} = win;
  await context.addInitScript(() => {
    window.mailed = [];  // the mail handler, recorded: a headless browser has none
    HTMLAnchorElement.prototype.click = function() { window.mailed.push(this.href); };
  });
  await page.reload();
  await waitReady(page);
  await page.locator('#Text1').dblclick();
  assert.equal(await page.locator('#Text1').inputValue(), '');
  await mouseOn(page, 'cmdMake');
  await page.waitForFunction(() => document.querySelector('dialog[open]'));
  assert.deepEqual(await box(page), kEmpty);
  await page.keyboard.press('Enter');
  assert.deepEqual([await box(page), await focused(page)], [null, 'Text1']);

  const look = (id) => page.locator('#' + id).evaluate((e) => [getComputedStyle(e).color,
                                                                getComputedStyle(e).textDecorationLine]);
  const client = await page.locator('.client').boundingBox();
  const blue = ['rgb(0, 0, 255)', 'none'];
  const red = ['rgb(255, 0, 0)', 'underline'];
  for (const id of ['Label3', 'Label7']) {
    const b = await page.locator('#' + id).boundingBox();
    await page.mouse.move(b.x + 3, b.y + 3);
    assert.deepEqual([await look(id), await page.locator('#' + id).evaluate((e) => getComputedStyle(e).cursor)],
                     [red, 'url("' + win.origin + '/hand.png") 5 0, pointer'], id);
    await page.mouse.move(client.x + 4, client.y + client.height - 4);  // the window's own surface
    assert.deepEqual(await look(id), blue, id);
  }
  const web = await page.locator('#Label3').textContent();
  const [tab] = await Promise.all([context.waitForEvent('page'), mouseOn(page, 'Label3')]);
  assert.equal(await tab.evaluate(() => window.opener), null, 'the new tab cannot reach back');
  await mouseOn(page, 'Label7');
  const email = (await page.locator('#Label7').textContent()).replace(/^E-mail:/, '');
  assert.deepEqual(await page.evaluate(() => window.mailed), ['mailto:' + email]);
  await done(win, [web]);
});

test('a phone: the window scaled to 360 px, no sideways scrolling, taps on the arrows and the button', async () => {
  const win = await openWindow(site, {viewport: {width: 360, height: 640}, isMobile: true, hasTouch: true,
                                      deviceScaleFactor: 2});
  const {page} = win;
  // A page wider than the screen would widen the phone's layout viewport instead of scrolling.
  assert.deepEqual(await page.evaluate(() => [innerWidth, document.documentElement.scrollWidth <= innerWidth,
                                              document.querySelector('.frame').getBoundingClientRect().right <= innerWidth]),
                   [360, true, true]);
  const tap = async (selector) => {
    const b = await page.locator(selector).boundingBox();
    await page.touchscreen.tap(b.x + b.width / 2, b.y + b.height / 2);
  };
  await tap('#cmdUp');
  await tap('#cmdUp');
  await tap('#cmdDown');
  assert.deepEqual([await count(page), await enabled(page)], ['2', [true, true]]);
  await tap('#cmdMake');
  await page.waitForFunction(() => document.querySelector('dialog[open]'));
  assert.deepEqual(await box(page), kDone);
  await tap('dialog[open] button');
  assert.equal(await box(page), null);
  assert.deepEqual(await clipboardUnits(page), [1, 1, ...units('Corvane')]);
  if (process.env.VELMORA_PHONE_SHOT) await page.screenshot({path: process.env.VELMORA_PHONE_SHOT});
  await done(win);
});

test('without the network: loaded once, reloaded offline, a code made', async () => {
  const win = await openWindow(site);
  const {page, context} = win;
  await page.evaluate(async () => { await navigator.serviceWorker.ready; });
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await context.setOffline(true);
  await page.reload();
  await waitReady(page);
  await typeNickname(page, '离线');
  await page.keyboard.press('Alt+C');
  await page.waitForFunction(() => document.querySelector('dialog[open]'));
  assert.deepEqual(await box(page), kDone);
  assert.deepEqual(await clipboardUnits(page), [1, ...units('离线')]);
  await done(win);
});

test('the accessibility tree: the box named by its prompt, the arrows by their names, the dialog', async () => {
  const win = await openWindow(site);
  const {page, context} = win;
  const cdp = await context.newCDPSession(page);
  const tree = async () => (await cdp.send('Accessibility.getFullAXTree')).nodes
    .filter((node) => !node.ignored)
    .map((node) => [node.role?.value, node.name?.value,
                    node.properties?.find((p) => p.name === 'disabled')?.value.value ?? false]);
  const nodes = await tree();
  for (const expected of [['textbox', '请输入QQ昵称：', false], ['button', '增加空格', false],
                          ['button', '减少空格', true], ['button', '生成并复制(C)', false]]) {
    assert.ok(nodes.some((node) => JSON.stringify(node) === JSON.stringify(expected)), JSON.stringify(expected));
  }
  await page.locator('#Text1').dblclick();
  await page.keyboard.press('Alt+C');
  await page.waitForFunction(() => document.querySelector('dialog[open]'));
  const {nodes: all} = await cdp.send('Accessibility.getFullAXTree');
  const dialog = all.find((node) => node.role?.value === 'dialog');
  assert.deepEqual([dialog?.name?.value, dialog?.description?.value], [kEmpty.title, kEmpty.text]);
  await done(win);
});

test('a failure inside the program: one box, then the window is gone and nothing reacts', async () => {
  const win = await openWindow(site);
  const {page} = win;
  await page.evaluate(() => document.getElementById('Label6').remove());  // the count label is gone
  await mouseOn(page, 'cmdUp');
  await page.waitForFunction(() => document.querySelector('dialog[open]'));
  const fatal = await box(page);
  assert.equal(fatal.title, 'Velmora');
  assert.match(fatal.text, /^程序遇到无法继续的错误，即将退出。\n\n\S/);
  await page.keyboard.press('Enter');  // the box closes and, with its close event, the window goes
  await page.waitForFunction(() => !document.querySelector('.frame') && !document.querySelector('dialog'));
  await done(win);
});
