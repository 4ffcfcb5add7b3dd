// The page's window in each engine (Chromium, Firefox, WebKit) under real mouse, keyboard and
// touch input: its rules as table-driven steps, the clipboard read back, a refused clipboard, a
// phone's screen, the site without the network, the accessibility tree, the failure box, and what
// the window asks the network for (nothing from any host but the test server). What an engine
// cannot do is skipped there by name, with the reason.
import assert from 'node:assert/strict';
import {after, afterEach, before, describe, test} from 'node:test';
import {serve} from '../../scripts/serve-web.mjs';
import {ENGINES, box, clipboardUnits, count, enabled, focused, launch, middle, openWindow, unable,
        waitReady} from './harness.mjs';

const kDone = {title: '温馨提示', text: '代码成功生成并已经复制到系统的剪贴板上，\n请粘贴到QQ个人设置中的QQ昵称里面。'};
const kBusy = {title: '出错提示', text: '剪贴板正被其他程序占用，代码未能复制。\n请稍后再试。'};
const kEmpty = {title: '出错提示', text: '请先输入QQ昵称'};
const units = (text) => Array.from({length: text.length}, (_, i) => text.charCodeAt(i));
const boxOpen = (page) => page.waitForFunction(() => document.querySelector('dialog[open]'));

// Closes the open box with this key and answers what the page is in the moment the box closes (at
// the first microtask after, before any other task): [the focused control, how many boxes are
// still on the page]. A page that finishes closing in a later task shows the focus on the control
// the box took it from, and the closed box still there.
async function closeBox(page, key) {
  await page.evaluate(() => {
    window.onClose = null;
    const watch = new MutationObserver(() => {
      if (document.querySelector('dialog[open]')) return;
      watch.disconnect();
      window.onClose = [document.activeElement?.id || document.activeElement?.localName,
                        document.querySelectorAll('dialog').length];
    });
    watch.observe(document.body, {subtree: true, childList: true, attributes: true, attributeFilter: ['open']});
  });
  await page.keyboard.press(key);
  await page.waitForFunction(() => window.onClose);
  return page.evaluate(() => window.onClose);
}

// Closes the window after checking that it asked no other host for anything, apart from the
// links the test clicked.
async function done(win, clicked = []) {
  const {requests, away} = await win.network();
  assert.deepEqual(away, clicked);
  assert.deepEqual(requests.filter((url) => !url.startsWith(win.origin + '/') && !clicked.includes(url)), []);
  await win.close();
}

// A real mouse click in the middle of a control, enabled or not.
async function mouseOn(page, id) {
  const {x, y} = await middle(page, id);
  await page.mouse.click(x, y);
}

async function typeNickname(page, text) {
  await page.click('#Text1');
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(text);
}

const focus = (page, id) => page.evaluate((i) => document.getElementById(i).focus(), id);
const value = (page, id) => page.evaluate((i) => document.getElementById(i).value, id);
const text = (page, selector) => page.evaluate((s) => document.querySelector(s).textContent, selector);

for (const engine of ENGINES) {
  describe(engine, () => {
    let site;
    before(async () => { site = await launch(engine); });
    after(async () => { await site?.close(); });
    afterEach(async () => { await site?.closeWindows(); });

    test('the count, the buttons and the focus step by step, by mouse and keyboard', async () => {
      const win = await openWindow(site);
      const {page} = win;
      const title = await page.evaluate(() => document.title);
      assert.match(title, /^Velmora\d{4} v1\.0\.2$/);
      assert.equal(await text(page, '.caption'), title);
      assert.deepEqual(await page.evaluate(() => {
        const e = document.getElementById('Text1');
        return [e.value, e.selectionStart, e.selectionEnd];
      }), ['Corvane', 7, 7]);
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
        const b = await middle(page, id);
        return page.screenshot({clip: {x: b.left - 3, y: b.top - 3, width: b.width + 6, height: b.height + 6}});
      };
      await mouseOn(page, 'cmdUp');  // count 2: both arrows enabled
      await page.mouse.move(1, 1);   // and the pointer away from the buttons
      for (const [id, tabs, showsFocus] of [['cmdUp', 1, false], ['cmdDown', 2, false], ['cmdMake', 3, true]]) {
        await focus(page, 'Text1');
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
      for (const [nickname, n, how, where] of rows) {
        await typeNickname(page, nickname);
        while (Number(await count(page)) < n) await mouseOn(page, 'cmdUp');
        while (Number(await count(page)) > n) await mouseOn(page, 'cmdDown');
        if (how === 'click') {
          await mouseOn(page, 'cmdMake');
        } else if (how === 'Alt+C') {
          await page.keyboard.press('Alt+C');
        } else {
          await focus(page, 'cmdMake');
          await page.keyboard.press('Enter');
        }
        await boxOpen(page);
        assert.deepEqual(await box(page), kDone, how);
        assert.deepEqual(await clipboardUnits(page), [...Array(n).fill(1), ...units(nickname)], how);
        assert.deepEqual(await closeBox(page, 'Enter'), [where, 0], `${how}: the focus goes back where it was`);
        assert.deepEqual([await box(page), await focused(page)], [null, where], how);
      }
      await done(win);
    });

    test('Alt+C: one press, one write, one box, the focus where it was', async () => {
      const win = await openWindow(site);
      const {page} = win;
      await page.evaluate(() => {
        window.seen = {presses: 0, writes: 0, boxes: 0};
        document.getElementById('cmdMake').addEventListener('click', () => { window.seen.presses++; });
        const write = Clipboard.prototype.writeText;
        Clipboard.prototype.writeText = function(text) { window.seen.writes++; return write.call(this, text); };
        const show = HTMLDialogElement.prototype.showModal;
        HTMLDialogElement.prototype.showModal = function() { window.seen.boxes++; return show.call(this); };
      });
      // where the focus is, what is pressed to get there; the count after it
      const rows = [['Text1', [], 1], ['cmdUp', ['Tab'], 1], ['cmdDown', ['Space', 'Tab'], 2], ['cmdMake', ['Tab'], 2]];
      for (const [where, keys, n] of rows) {
        for (const key of keys) await page.keyboard.press(key);
        assert.equal(await focused(page), where);
        await page.evaluate(() => { window.seen = {presses: 0, writes: 0, boxes: 0}; });
        await page.keyboard.press('Alt+C');
        await boxOpen(page);
        assert.deepEqual([await box(page), await clipboardUnits(page)], [kDone, [...Array(n).fill(1), ...units('Corvane')]], where);
        await page.keyboard.press('Enter');
        assert.deepEqual([await page.evaluate(() => window.seen), await box(page), await focused(page)],
                         [{presses: 1, writes: 1, boxes: 1}, null, where], where);
      }
      await done(win);
    });

    test('a clipboard the browser refuses: the failure box, never the success box', async (t) => {
      const rows = [
        ['permission denied', 'abc', async (win) => {
          const cdp = await win.context.newCDPSession(win.page);
          await cdp.send('Browser.setPermission', {permission: {name: 'clipboard-write'}, setting: 'denied',
                                                   origin: win.origin});
        }, 'clipboardPermission'],
        ['no clipboard API', 'abc', (win) => win.page.evaluate(() => { delete Navigator.prototype.clipboard; })],
        // Typed input cannot hold one, a script can; the browser's clipboard would carry U+FFFD in
        // its place: refused, not changed.
        ['a lone surrogate', 'a\uD800b', (win) => win.page.evaluate(() => {
          document.getElementById('Text1').value = 'a\uD800b';
        })],
      ];
      for (const [what, nickname, refuse, needs] of rows) {
        await t.test(what, async (t) => {
          if (needs && unable(t, site, needs)) return;
          const win = await openWindow(site, {permissions: []});
          const {page} = win;
          if (what !== 'a lone surrogate') await typeNickname(page, nickname);
          await refuse(win);
          await mouseOn(page, 'cmdUp');
          await mouseOn(page, 'cmdMake');
          await boxOpen(page);
          assert.deepEqual(await box(page), kBusy);
          const atClose = await closeBox(page, 'Escape');
          assert.deepEqual([await box(page), atClose], [null, [await focused(page), 0]], 'settled as it closed');
          assert.deepEqual([await value(page, 'Text1'), await count(page)], [nickname, '2']);
          assert.equal(await page.evaluate(() => document.querySelectorAll('dialog').length), 0, 'no other box came up');
          await done(win);
        });
      }
    });

    test('double-click, the empty-nickname box, the links and their hover', async () => {
      const win = await openWindow(site);
      const {page} = win;
      await page.evaluate(() => {
        window.mailed = [];  // the mail handler, recorded: a test browser has none
        HTMLAnchorElement.prototype.click = function() { window.mailed.push(this.href); };
      });
      await page.dblclick('#Text1');
      assert.equal(await value(page, 'Text1'), '');
      await mouseOn(page, 'cmdMake');
      await boxOpen(page);
      assert.deepEqual(await box(page), kEmpty);
      // The window puts the focus in the nickname box as the box closes: never seen on the button first.
      assert.deepEqual(await closeBox(page, 'Enter'), ['Text1', 0]);
      assert.deepEqual([await box(page), await focused(page)], [null, 'Text1']);

      const look = (id) => page.evaluate((i) => {
        const style = getComputedStyle(document.getElementById(i));
        return [style.color, style.textDecorationLine];
      }, id);
      const client = await page.evaluate(() => {
        const r = document.querySelector('.client').getBoundingClientRect();
        return {x: r.x, y: r.y, height: r.height};
      });
      const blue = ['rgb(0, 0, 255)', 'none'];
      const red = ['rgb(255, 0, 0)', 'underline'];
      for (const id of ['Label3', 'Label7']) {
        const b = await middle(page, id);
        await page.mouse.move(b.left + 3, b.top + 3);
        assert.deepEqual([await look(id), await page.evaluate((i) => getComputedStyle(document.getElementById(i)).cursor, id)],
                         [red, 'url("' + win.origin + '/hand.png") 5 0, pointer'], id);
        await page.mouse.move(client.x + 4, client.y + client.height - 4);  // the window's own surface
        assert.deepEqual(await look(id), blue, id);
      }
      const web = await text(page, '#Label3');
      const [tab] = await Promise.all([win.nextTab(), mouseOn(page, 'Label3')]);
      assert.equal(await tab.evaluate(() => window.opener), null, 'the new tab cannot reach back');
      await mouseOn(page, 'Label7');
      const email = (await text(page, '#Label7')).replace(/^E-mail:/, '');
      assert.deepEqual(await page.evaluate(() => window.mailed), ['mailto:' + email]);
      await done(win, [web]);
    });

    test('a phone: the window scaled to 360 px, no sideways scrolling, taps on the arrows and the button', async (t) => {
      if (unable(t, site, 'phone')) return;
      const win = await openWindow(site, {viewport: {width: 360, height: 640}, isMobile: true, hasTouch: true,
                                          deviceScaleFactor: 2});
      const {page} = win;
      // A page wider than the screen would widen the phone's layout viewport instead of scrolling.
      assert.deepEqual(await page.evaluate(() => [innerWidth, document.documentElement.scrollWidth <= innerWidth,
                                                  document.querySelector('.frame').getBoundingClientRect().right <= innerWidth]),
                       [360, true, true]);
      const tap = async (selector) => {
        const {x, y} = await page.evaluate((s) => {
          const r = document.querySelector(s).getBoundingClientRect();
          return {x: r.x + r.width / 2, y: r.y + r.height / 2};
        }, selector);
        await page.touchscreen.tap(x, y);
      };
      await tap('#cmdUp');
      await tap('#cmdUp');
      await tap('#cmdDown');
      assert.deepEqual([await count(page), await enabled(page)], ['2', [true, true]]);
      await tap('#cmdMake');
      await boxOpen(page);
      assert.deepEqual(await box(page), kDone);
      await tap('dialog[open] button');
      assert.equal(await box(page), null);
      assert.deepEqual(await clipboardUnits(page), [1, 1, ...units('Corvane')]);
      if (process.env.VELMORA_PHONE_SHOT) await page.screenshot({path: process.env.VELMORA_PHONE_SHOT});
      await done(win);
    });

    test('without the network: loaded once, reloaded with the server gone, a code made', async () => {
      const own = await serve(site.folder);  // a server of its own, to be ended
      const win = await openWindow(site, {url: own.url});
      const {page} = win;
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
      own.server.close();
      own.server.closeAllConnections();
      await page.reload();
      await waitReady(page);
      await typeNickname(page, '离线');
      await page.keyboard.press('Alt+C');
      await boxOpen(page);
      assert.deepEqual(await box(page), kDone);
      assert.deepEqual(await clipboardUnits(page), [1, ...units('离线')]);
      await done(win);
    });

    test('the accessibility tree: the box named by its prompt, the arrows by their names, the dialog', async (t) => {
      if (unable(t, site, 'accessibilityTree')) return;
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
      await page.dblclick('#Text1');
      await page.keyboard.press('Alt+C');
      await boxOpen(page);
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
      await boxOpen(page);
      const fatal = await box(page);
      assert.equal(fatal.title, 'Velmora');
      assert.match(fatal.text, /^程序遇到无法继续的错误，即将退出。\n\n\S/);
      await page.keyboard.press('Enter');  // the box closes and, with its close event, the window goes
      await page.waitForFunction(() => !document.querySelector('.frame') && !document.querySelector('dialog'));
      await done(win);
    });
  });
}
