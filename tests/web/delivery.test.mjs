// The page as ordinary hosting delivers it, in each engine: a new release reaching a returning
// user through a host that sends Last-Modified and no Cache-Control; never a blank page (the
// window's frame at once, and words for every way loading or starting can fail); the copy wherever
// a browser can copy, and the code shown to copy by hand where nothing can. What an engine cannot
// do is skipped there by name, with the reason.
import assert from 'node:assert/strict';
import {execFile} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, afterEach, before, describe, test} from 'node:test';
import {promisify} from 'node:util';
import {box, clipboardUnits, count, ENGINES, focused, launch, openWindow, SITE, waitReady} from './harness.mjs';
import {copySite, dateSite, pageTexts, plainHost} from './host.mjs';

const T = pageTexts();
const units = (text) => Array.from({length: text.length}, (_, i) => text.charCodeAt(i));
const kName = 'velmora.test';  // a host name (scripts/web-browser.mjs maps it): plain http there is not a secure context
const kCannot = {
  hostName: {firefox: 'the test maps a host name to 127.0.0.1 in Chromium only', webkit: 'WebKitGTK\'s MiniBrowser takes no host-name mapping'},
  file: {firefox: 'Firefox\'s own rules for file:// are not the case this checks (Chromium forbids the fetch)',
         webkit: 'WebKitGTK\'s WebDriver opens no file:// page'},
  slow: {webkit: 'WebKitGTK\'s WebDriver runs no script while a page is still loading'},
  permission: {firefox: 'Firefox has no clipboard-write permission to refuse', webkit: 'WebKitGTK has no clipboard-write permission to refuse'},
};
const unable = (t, engine, what) => {
  const reason = kCannot[what][engine];
  if (reason) t.skip(`${engine}: ${reason}`);
  return Boolean(reason);
};

let scratch;
before(() => { scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-delivery-')); });
after(() => { fs.rmSync(scratch, {recursive: true, force: true}); });

// A window with the page at url, not waiting for the program (it may never come). Chromium grants
// no permission unless asked (a page on a host name is not a secure context: none can be granted).
async function openPage(site, url, options = {}) {
  const win = await site.browser.newWindow({origin: new URL(url).origin, permissions: [], ...options});
  const result = {page: win.page, context: win.context, close: async () => {
    site.windows.delete(result);
    await (win.context ? win.context.close() : win.page.close());
  }};
  site.windows.add(result);  // closed after the test if it fails first (WebKit's driver holds one at a time)
  return result;
}

// What the page says while or instead of the window: the start frame's heading and words.
const startFrame = (page) => page.evaluate(() => {
  const frame = document.getElementById('velmora-start');
  return frame && {caption: frame.querySelector('.caption').textContent,
                   role: frame.querySelector('.client').getAttribute('role'),
                   words: [...frame.querySelectorAll('.client h1, .client p:not(.detail)')].map((e) => e.textContent),
                   shown: frame.getBoundingClientRect().height > 0 && getComputedStyle(frame).visibility === 'visible'};
});
const waitFailure = (page) => page.waitForFunction(() => document.querySelector('#velmora-start [role=alert]'));

// The clipboard permission refused for the page's browser context (Chromium), as a user refuses it.
async function deny(context, page, origin) {
  const cdp = await context.newCDPSession(page);
  const {targetInfo} = await cdp.send('Target.getTargetInfo');
  await cdp.send('Browser.setPermission', {permission: {name: 'clipboard-write'}, setting: 'denied', origin,
                                           browserContextId: targetInfo.browserContextId});
}

async function setCount(page, n) {
  while (Number(await count(page)) < n) await page.click('#cmdUp');
}

// The headers each hosting file asks for, by path: Netlify's and Cloudflare's _headers as their
// format has it; Apache's and nginx's by the directives the files use.
function hostingHeaders() {
  const read = (name) => fs.readFileSync(path.join(SITE, name), 'utf8');
  const rules = {};
  let at = null;
  for (const line of read('_headers').split('\n')) {
    if (/^\//.test(line)) rules[at = line.trim()] = {};
    else if (/^\s+\S/.test(line) && at) {
      const [, name, value] = /^\s+([^:]+):\s*(.*)$/.exec(line);
      rules[at][name] = value;
    }
  }
  const apache = read('.htaccess');
  const nginx = read('nginx.conf');
  return {rules, apache, nginx,
          apachePolicies: [...apache.matchAll(/Header always set Content-Security-Policy "([^"]*)"/g)].map((m) => m[1]),
          nginxPolicies: [...nginx.matchAll(/add_header Content-Security-Policy "([^"]*)" always;/g)].map((m) => m[1])};
}

test('the site ships the headers a host should send, for Netlify, Cloudflare, Apache and nginx', () => {
  const meta = /http-equiv="Content-Security-Policy" content="([^"]*)"/.exec(fs.readFileSync(path.join(SITE, 'index.html'), 'utf8'))[1];
  const policy = `${meta}; frame-ancestors 'none'`;
  const {rules, apache, nginx, apachePolicies, nginxPolicies} = hostingHeaders();
  assert.deepEqual(rules, {
    '/*': {'Content-Security-Policy': policy, 'X-Content-Type-Options': 'nosniff'},
    '/': {'Cache-Control': 'no-cache'}, '/index.html': {'Cache-Control': 'no-cache'}, '/sw.js': {'Cache-Control': 'no-cache'},
    '/velmora.wasm': {'Content-Type': 'application/wasm'},
  });
  assert.deepEqual(apachePolicies, [policy]);
  assert.match(apache, /^AddType application\/wasm \.wasm$/m);
  assert.match(apache, /<FilesMatch "\^\(index\\\.html\|sw\\\.js\)\$">\s+Header set Cache-Control "no-cache"/);
  assert.deepEqual(nginxPolicies, [policy, policy, policy]);  // add_header in a location replaces the outer ones
  assert.match(nginx, /location ~ \\\.wasm\$ \{\s+types \{ \}\s+default_type application\/wasm;/);
  assert.match(nginx, /location ~ \(\/\|\/index\\\.html\|\/sw\\\.js\)\$ \{\s+add_header Cache-Control "no-cache" always;/);
});

test('the manifest: an id, and a maskable icon that fills its square', () => {
  const manifest = JSON.parse(fs.readFileSync(path.join(SITE, 'manifest.webmanifest'), 'utf8'));
  assert.equal(manifest.id, './');
  const maskable = manifest.icons.filter((icon) => icon.purpose === 'maskable');
  assert.deepEqual(maskable.map((icon) => [icon.sizes, icon.type]), [['512x512', 'image/png']]);
  const png = fs.readFileSync(path.join(SITE, maskable[0].src));
  // IHDR: width, height, bit depth, colour type 2 (RGB: no transparency, the artwork fills the square)
  assert.deepEqual([png.readUInt32BE(16), png.readUInt32BE(20), png[24], png[25]], [512, 512, 8, 2]);
});

for (const engine of ENGINES) {
  describe(engine, () => {
    let site;
    before(async () => { site = await launch(engine, 'http://127.0.0.1:9/'); });  // each test has its own host
    afterEach(async () => { await site.closeWindows(); });
    after(async () => { await site.close(); });

    test('a host that sends the shipped policy runs the page', async () => {
      const {rules} = hostingHeaders();
      const host = await plainHost(SITE, {headers: {...rules['/*'], 'Cache-Control': 'no-cache'}});
      const win = await openWindow(site, {url: host.url});
      assert.equal(await count(win.page), '1');
      await win.close();
      await host.close();
    });

    test('a new release reaches a returning user through a host with Last-Modified and no Cache-Control', async () => {
      // Both releases as their zips date them: one date for every file, the same in both.
      const date = new Date('2026-01-01T00:00:00Z');
      const v1 = path.join(scratch, 'v1');
      const v2 = path.join(scratch, 'v2');
      copySite(SITE, v1, date);
      copySite(SITE, v2, date);
      // Release 2: the page, the script, the program (a custom section appended) and the worker's
      // cache name all change, as they do from one release to the next.
      const write = (name, change) => fs.writeFileSync(path.join(v2, name), change(fs.readFileSync(path.join(v2, name))));
      write('index.html', (b) => Buffer.from(b.toString().replace('<html lang="zh-CN">', '<html lang="zh-CN" data-release="2">')));
      write('velmora.js', (b) => Buffer.concat([b, Buffer.from('\nwindow.velmoraRelease = 2;\n')]));
      write('velmora.wasm', (b) => Buffer.concat([b, Buffer.from([0, 10, 7, ...Buffer.from('release'), 50, 50])]));
      write('sw.js', (b) => Buffer.from(b.toString().replace(/const CACHE = 'velmora-([^']*)'/, "const CACHE = 'velmora-$1-2'")));
      dateSite(v2, date);
      const wasm2 = fs.statSync(path.join(v2, 'velmora.wasm')).size;

      const host = await plainHost(v1);
      const win = await openPage(site, host.url, {permissions: ['clipboard-read', 'clipboard-write']});
      const {page} = win;
      const release = () => page.evaluate(() => [document.documentElement.dataset.release || '1', String(window.velmoraRelease || 1)]);
      const caches = () => page.evaluate(async () => (await window.caches.keys()).length);
      await page.goto(host.url);
      await waitReady(page);
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
      const firstCache = await page.evaluate(async () => (await window.caches.keys()).join());

      host.folder = v2;  // release 2 uploaded over release 1
      await page.reload();  // the first load after the upload: release 1 still, from the worker, working
      await waitReady(page);
      assert.equal(await startFrame(page), null);
      // The new worker takes over once it has the new release; meanwhile the page in use keeps
      // working as what it is, and says nothing false.
      await page.evaluate(async (old) => {
        const now = async () => (await window.caches.keys()).join();
        while (await now() === old || (await window.caches.keys()).length !== 1) {
          await new Promise((resolve) => { setTimeout(resolve, 20); });
        }
      }, firstCache);
      await page.click('#cmdMake');
      await page.waitForFunction(() => document.querySelector('dialog[open]'));
      assert.deepEqual(await box(page), {title: T.kDoneTitle, text: T.kDone});
      if (engine !== 'webkit') assert.deepEqual(await clipboardUnits(page), [1, ...units('Corvane')]);  // WebKit: no page reads it
      await page.keyboard.press('Enter');

      await page.reload();  // the second load: release 2, every file of it
      await waitReady(page);
      assert.deepEqual(await release(page), ['2', '2']);
      assert.equal(await caches(), 1);
      assert.equal(await page.evaluate(async () => (await (await window.caches.match('velmora.wasm')).arrayBuffer()).byteLength),
                   wasm2);
      await win.close();
      await host.close();
    });

    test('the window\'s frame at once while the program is on its way, the same size as the window', async (t) => {
      if (unable(t, engine, 'slow')) return;
      let letGo;
      const host = await plainHost(SITE, {faults: {'/velmora.wasm': {hold: new Promise((resolve) => { letGo = resolve; })}}});
      const win = await openPage(site, host.url);
      const {page} = win;
      const loading = page.goto(host.url);
      await page.waitForFunction(() => document.getElementById('velmora-start'));
      const frame = await startFrame(page);
      assert.deepEqual(frame, {caption: T.kProductName, role: 'status', words: [T.kPageLoading], shown: true});
      const size = () => page.evaluate(() => {
        const r = document.querySelector('.frame').getBoundingClientRect();
        return [r.left, r.top, r.width, r.height];
      });
      const before = await size();
      assert.equal(host.requests.includes('/velmora.wasm'), true);
      letGo();
      await loading;
      await waitReady(page);
      assert.deepEqual(await size(), before, 'the window takes the frame\'s place without a jump');
      await win.close();
      await host.close();
    });

    test('every way loading or starting fails ends in words: what happened and what to do', async () => {
      const wasm = fs.readFileSync(path.join(SITE, 'velmora.wasm'));
      const noWasmPolicy = "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self'";
      // what goes wrong, the host's faults and headers, a script run before the page's, the words
      const rows = [
        ['velmora.js missing', {'/velmora.js': {status: 404}}, {}, null, T.kPageScriptMissing],
        ['velmora.js corrupt', {'/velmora.js': {body: Buffer.from('var Module = ;\u0000\u0001garbage')}}, {}, null,
         T.kPageScriptMissing],
        ['velmora.wasm missing', {'/velmora.wasm': {status: 404}}, {}, null, T.kPageWasmMissing],
        ['velmora.wasm not wasm at all', {'/velmora.wasm': {body: Buffer.from('<html>an error page</html>')}}, {}, null,
         T.kPageWasmCorrupt],
        ['velmora.wasm cut short', {'/velmora.wasm': {body: wasm.subarray(0, wasm.length >> 1)}}, {}, null,
         T.kPageWasmCorrupt],
        ['a host\'s CSP without wasm-unsafe-eval', {}, {'Content-Security-Policy': noWasmPolicy}, null, T.kPageWasmRefused],
        ['a browser without WebAssembly', {}, {}, 'delete window.WebAssembly;', T.kPageNoWasm],
      ];
      for (const [what, faults, headers, inject, words] of rows) {
        const host = await plainHost(SITE, {faults, headers, inject});
        const win = await openPage(site, host.url);
        const {page} = win;
        await page.goto(host.url);
        await waitFailure(page);
        assert.deepEqual(await startFrame(page), {caption: T.kProductName, role: 'alert', words: [T.kPageFailed, words],
                                                  shown: true}, what);
        assert.equal(await page.evaluate(() => document.querySelectorAll('dialog').length), 0, what);
        await win.close();
        await host.close();
      }
    });

    test('opened from a file (file://), where Chromium lets the page load no program', async (t) => {
      if (unable(t, engine, 'file')) return;
      const context = await site.browser.browser.newContext({locale: 'zh-CN'});  // a file has no origin to grant to
      const win = {page: await context.newPage(), close: () => context.close()};
      const {page} = win;
      await page.goto('file://' + path.join(SITE, 'index.html'));
      await waitFailure(page);
      assert.deepEqual(await startFrame(page), {caption: T.kProductName, role: 'alert', words: [T.kPageFailed, T.kPageFromFile],
                                                shown: true});
      await win.close();
    });

    test('the copy wherever the browser can copy: plain http on a host name, a refused permission, no clipboard API', async (t) => {
      const host = await plainHost(SITE);
      const bare = await plainHost(SITE, {inject: 'delete Navigator.prototype.clipboard;'});
      const secure = `http://127.0.0.1:${host.port}`;
      const denied = (context, page) => deny(context, page, secure);
      // where, how it is refused, nickname, count, how the make button is pressed, what the engine needs
      const rows = [
        ['plain http on a host name', `http://${kName}:${host.port}/`, null, 'abc', 3, 'click', 'hostName'],
        ['plain http on a host name, Alt+C', `http://${kName}:${host.port}/`, null, '𠀀😀x\u0001y', 4, 'Alt+C', 'hostName'],
        ['a refused permission', host.url, denied, '离线', 2, 'click', 'permission'],
        ['no clipboard API', bare.url, null, 'abc', 2, 'click'],
      ];
      for (const [what, url, refuse, nickname, n, how, needs] of rows) await t.test(what, async (t) => {
        if (needs && unable(t, engine, needs)) return;
        const win = await openPage(site, url);
        const {page} = win;
        if (refuse) await refuse(win.context, page);
        await page.goto(url);
        await waitReady(page);
        assert.equal(await page.evaluate(() => window.isSecureContext), !url.includes(kName), what);
        if (refuse) {
          assert.equal(await page.evaluate(async () => (await navigator.permissions.query({name: 'clipboard-write'})).state),
                       'denied', what);
        }
        // Set by a script: a page without its clipboard API is also without what a driver may type with.
        await page.evaluate((text) => { document.getElementById('Text1').value = text; }, nickname);
        await setCount(page, n);
        if (how === 'click') await page.click('#cmdMake');
        else await page.keyboard.press('Alt+c');
        await page.waitForFunction(() => document.querySelector('dialog[open]'));
        assert.deepEqual(await box(page), {title: T.kDoneTitle, text: T.kDone}, what);
        await page.keyboard.press('Enter');
        assert.equal(await focused(page), how === 'click' ? 'cmdMake' : 'cmdDown', what);
        const expected = [...Array(n).fill(1), ...units(nickname)];
        if (engine === 'webkit') {
          // WebKitGTK lets no page read it: read as another program on the display, while the
          // browser that owns the clipboard is still there.
          const {stdout} = await promisify(execFile)('xclip', ['-o', '-selection', 'clipboard', '-target', 'UTF8_STRING'],
                                                     {encoding: 'buffer'});
          assert.deepEqual(units(stdout.toString('utf8')), expected, what);
          await win.close();
          return;
        }
        await win.close();
        // Read back where the browser lets a page read: a secure address with its clipboard API, in
        // a window of its own (the clipboard is the browser's).
        const reading = await openWindow(site, {url: secure + '/', permissions: ['clipboard-read']});
        assert.deepEqual(await clipboardUnits(reading.page), expected, what);
        await reading.close();
      });
      await host.close();
      await bare.close();
    });

    test('where nothing can copy: the reason in the page\'s own box, the code selected to copy by hand', async (t) => {
      const noCopy = 'Document.prototype.execCommand = () => false;';
      const neither = 'delete Navigator.prototype.clipboard; Document.prototype.execCommand = () => false;';
      // where, the script that takes the copy command away, a refusal, the reason, what the engine needs
      const rows = [
        ['plain http on a host name', kName, noCopy, false, T.kCopyNotSecure, 'hostName'],
        ['both clipboard paths absent', '127.0.0.1', neither, false, T.kCopyUnsupported],
        ['a refused permission, no copy command', '127.0.0.1', noCopy, true, T.kCopyDenied, 'permission'],
      ];
      for (const [what, name, inject, refused, reason, needs] of rows) await t.test(what, async (t) => {
        if (needs && unable(t, engine, needs)) return;
        const host = await plainHost(SITE, {inject});
        const url = `http://${name}:${host.port}/`;
        const win = await openPage(site, url);
        const {page} = win;
        if (refused) await deny(win.context, page, `http://127.0.0.1:${host.port}`);
        await page.goto(url);
        await waitReady(page);
        // Set by a script: the page without its clipboard is also without what a driver may type with.
        await page.evaluate(() => { document.getElementById('Text1').value = 'ab😀'; });
        await setCount(page, 2);
        await page.click('#cmdMake');
        await page.waitForFunction(() => document.querySelector('dialog[open]'));
        assert.deepEqual(await box(page), {title: T.kCopyByHandTitle, text: reason + '\n' + T.kCopyByHand}, what);
        assert.deepEqual(await page.evaluate(() => {
          const field = document.querySelector('dialog[open] input');
          return [document.activeElement === field, field.readOnly, field.selectionStart, field.selectionEnd,  // UTF-16 units
                  Array.from(field.value, (c) => c.codePointAt(0))];
        }), [true, true, 0, 6, [1, 1, 0x61, 0x62, 0x1F600]], what);
        await page.keyboard.press('Enter');
        await page.waitForFunction(() => !document.querySelector('dialog:not([open])'));  // the closed box is gone
        assert.deepEqual([await page.evaluate(() => document.querySelectorAll('dialog').length), await focused(page)],
                         [0, 'cmdMake'], `${what}: one box, then the window as it was`);
        await win.close();
        await host.close();
      });
    });
  });
}
