// The window for a screen reader and the keyboard alone, in each engine: the reading order, the
// count announced, the message box's icon, the links reached by Tab and opened by Enter; the
// accessibility tree where the engine gives it (Chromium).
import assert from 'node:assert/strict';
import {after, afterEach, before, describe, test} from 'node:test';
import {ENGINES, focused, launch, openWindow, unable} from './harness.mjs';

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

for (const engine of ENGINES) {
  describe(engine, () => {
    let site;
    before(async () => { site = await launch(engine); });
    after(async () => { await site?.close(); });
    afterEach(async () => { await site?.closeWindows(); });

    test('the keyboard and the links: Tab reaches them after the make button, Enter opens each once', async (t) => {
      const win = await openWindow(site);
      const {page} = win;
      await page.evaluate(() => {
        // the program's opening of a web address, counted
        const open = window.open;
        window.opened = 0;
        window.open = function(...args) { window.opened++; return open.apply(this, args); };
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
      const [tab] = await Promise.all([win.nextTab(), page.keyboard.press('Enter')]);
      assert.equal(await tab.evaluate(() => window.opener), null, 'the new tab cannot reach back');
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
      // One tab was opened, for the web address; nothing else was asked of another host (the refused
      // address's error page may ask for it again, and Firefox's brings its font as a data: address).
      assert.equal(await page.evaluate(() => window.opened), 1);
      assert.deepEqual([...new Set((await win.network()).away.filter((u) => !u.startsWith('data:')))], [web]);
      await win.close();
    });

    test('a screen reader: the reading order, the count announced as it changes, the box without its icon', async (t) => {
      const win = await openWindow(site);
      const {page} = win;
      const web = await page.evaluate(() => document.getElementById('Label3').textContent);
      const email = (await page.evaluate(() => document.getElementById('Label7').textContent)).replace(/^E-mail:/, '');
      // The page's elements in the window's reading order, row by row: each caption before what it
      // names; the count a polite live region (announced after what the reader is saying).
      assert.deepEqual(await page.evaluate(() => [...document.querySelector('.client').children].map((e) => e.id)),
                       ['Image1', 'Label1', 'Text1', 'Label4', 'Label6', 'cmdUp', 'cmdDown', 'Label5', 'cmdMake', 'Label2',
                        'Label3', 'Label7']);
      assert.deepEqual(await page.evaluate(() => ['aria-live', 'aria-atomic'].map((a) => document.getElementById('Label6').getAttribute(a))),
                       ['polite', 'true']);
      // The box's icon is hidden from it.
      await page.dblclick('#Text1');
      await page.keyboard.press('Alt+C');
      await page.waitForFunction(() => document.querySelector('dialog[open]'));
      assert.equal(await page.evaluate(() => document.querySelector('dialog[open] .icon').getAttribute('aria-hidden')), 'true');
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => !document.querySelector('dialog'));
      assert.equal(await focused(page), 'Text1');
      await page.keyboard.insertText('Corvane');
      if (unable(t, site, 'accessibilityTree')) {
        await win.close();
        return;
      }
      const {context} = win;

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
      const tree = await readingTree(context, page);
      assert.deepEqual(spoken(tree).slice(spoken(tree).indexOf('dialog:出错提示')),
                       ['dialog:出错提示', 'heading:出错提示', 'StaticText:出错提示', 'StaticText:请先输入QQ昵称', 'button:确定', 'StaticText:确定']);
      await page.keyboard.press('Enter');
      assert.deepEqual((await win.network()).away, []);
      await win.close();
    });
  });
}
