// What the page's tests share: the three engines from Debian's packages (Chromium under
// playwright-core, headless; Firefox ESR over WebDriver BiDi and WebKitGTK over WebDriver, headed
// on the display in DISPLAY), never a downloaded browser; the site served on 127.0.0.1; and a
// window opened afresh, with the page in it: a Page that offers the same subset of Playwright's
// Page in every engine (see engines/page.mjs).
import {execFile} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {promisify} from 'node:util';
import {serve} from '../../scripts/serve-web.mjs';
import * as chromium from './engines/chromium.mjs';
import * as firefox from './engines/firefox.mjs';
import * as webkit from './engines/webkit.mjs';
import {readPng} from './png.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const SITE = process.env.VELMORA_SITE || path.join(root, 'build/web/site');
const drivers = {chromium, firefox, webkit};
export const ENGINES = (process.env.VELMORA_WEB_ENGINES || 'chromium,firefox,webkit').split(',').map((e) => e.trim())
  .filter(Boolean);
for (const engine of ENGINES) {
  if (!drivers[engine]) throw new Error(`VELMORA_WEB_ENGINES: no engine "${engine}" (chromium, firefox, webkit)`);
}

// What an engine cannot do, with the reason a test prints as it skips.
export const CANNOT = {
  chromium: {},
  firefox: {
    phone: 'Firefox for the desktop has no phone to emulate (a mobile viewport with its meta viewport and a touch screen)',
    clipboardPermission: 'Firefox has no clipboard-write permission to refuse: a write inside a click is always allowed',
    accessibilityTree: 'Firefox gives no accessibility tree over WebDriver BiDi',
  },
  webkit: {
    phone: 'WebKitGTK\'s WebDriver has no phone to emulate (a mobile viewport, a touch screen)',
    clipboardPermission: 'WebKitGTK has no clipboard-write permission to refuse: a write inside a click is always allowed',
    accessibilityTree: 'WebKitGTK gives no accessibility tree over WebDriver',
    minimumFont: 'WebKitGTK\'s MiniBrowser sets no minimum font size (not among its settings options) and its WebDriver none',
    forcedColors: 'WebKitGTK has no forced colours mode to turn on',
  },
};

// Skips the test t where the site's engine cannot do what; true then.
export function unable(t, site, what) {
  const reason = CANNOT[site.engine][what];
  if (reason) t.skip(`${site.engine}: ${reason}`);
  return Boolean(reason);
}

// The engine's browser, and the folder served on 127.0.0.1 (or a page already served, by its URL).
// options: the browser's own settings where the engine takes them (Firefox: prefs).
export async function launch(engine = 'chromium', target = SITE, options = {}) {
  if (!drivers[engine]) throw new Error(`launch: no engine "${engine}" (chromium, firefox, webkit)`);
  if (engine !== 'chromium' && !process.env.DISPLAY) {
    throw new Error(`${engine} runs headed: it needs a display (DISPLAY); scripts/test starts one`);
  }
  const served = /^https?:/.test(target) ? {url: target} : await serve(target);
  let browser;
  try {
    browser = await drivers[engine].launch(options);
  } catch (error) {
    served.server?.close();
    throw error;
  }
  return {
    engine, url: served.url, folder: served.server ? target : undefined, server: served.server, browser, cannot: CANNOT[engine],
    windows: new Set(),  // those still open
    // Closes the windows a failed test left open (the WebKit driver holds one at a time).
    async closeWindows() {
      for (const win of this.windows) await win.close().catch(() => {});
    },
    async close() {
      await this.closeWindows();
      await browser.close();
      served.server?.close();
    },
  };
}

const readers = new WeakMap();  // a page to how its clipboard is read back, where not by the page

// A new window with the page in it, up and ready. options: Playwright's context options where the
// engine has them (viewport; for Chromium also permissions, isMobile, hasTouch...), url (the site's
// by default). The window: {page, origin, network(), nextTab(), close()}; network() is what it
// asked for: every address, and those of any other host (refused where the engine can).
export async function openWindow(site, {url = site.url, ...options} = {}) {
  const origin = new URL(url).origin;
  const win = await site.browser.newWindow({origin, ...options});
  const {page} = win;
  const result = {page, origin, engine: site.engine};
  if (site.engine === 'chromium') {
    Object.assign(result, {
      context: win.context,
      network: async () => ({requests: win.requests, away: win.away}),
      nextTab: async () => win.context.waitForEvent('page'),
      close: () => win.context.close(),
    });
  } else if (site.engine === 'firefox') {
    Object.assign(result, {
      network: async () => ({requests: win.requests, away: win.requests.filter((u) => !u.startsWith(origin + '/'))}),
      nextTab: () => win.nextTab(),
      close: () => page.close(),
    });
  } else {
    readers.set(page, () => xclip());
    Object.assign(result, {
      network: async () => {
        const requests = await page.evaluate(() => performance.getEntriesByType('navigation').concat(
          performance.getEntriesByType('resource')).map((entry) => entry.name));
        const tabs = await win.tabUrls();
        return {requests: [...requests, ...tabs], away: [...requests, ...tabs].filter((u) => !u.startsWith(origin + '/'))};
      },
      nextTab: () => win.nextTab(),
      close: () => page.close(),
    });
  }
  const close = result.close;
  result.close = async () => {
    site.windows.delete(result);
    await close();
  };
  site.windows.add(result);
  await page.goto(url);
  await waitReady(page);
  return result;
}

// The X clipboard as an X client reads it (WebKitGTK lets no page read it without a prompt).
async function xclip() {
  const {stdout} = await promisify(execFile)('xclip', ['-o', '-selection', 'clipboard', '-target', 'UTF8_STRING'],
                                             {encoding: 'buffer'});
  return stdout.toString('utf8');
}

export async function waitReady(page) {
  await page.waitForFunction(() => performance.getEntriesByName('velmora-window-shown').length > 0);
}

export const count = (page) => page.evaluate(() => document.getElementById('Label6').textContent);
export const focused = (page) => page.evaluate(() => document.activeElement?.id || document.activeElement?.localName);
export const enabled = (page) => page.evaluate(() => ['cmdUp', 'cmdDown'].map((id) => !document.getElementById(id).disabled));

// The open message box as the user reads it: title and text; null when none is open.
export const box = (page) => page.evaluate(() => {
  const open = document.querySelector('dialog[open]');
  return open && {title: open.querySelector('h2').textContent, text: open.querySelector('p').textContent};
});

// The clipboard read back as UTF-16 code units: through the browser's own API, or where the engine
// allows no page to read it, as another program on the display reads it.
export async function clipboardUnits(page) {
  const text = readers.has(page) ? await readers.get(page)() : await page.evaluate(() => navigator.clipboard.readText());
  return Array.from({length: text.length}, (_, i) => text.charCodeAt(i));
}

// The middle of the element with this id, as page coordinates.
export const middle = (page, id) => page.evaluate((i) => {
  const r = document.getElementById(i).getBoundingClientRect();
  return {x: r.x + r.width / 2, y: r.y + r.height / 2, left: r.x, top: r.y, width: r.width, height: r.height};
}, id);

// The controls' boxes in CSS pixels of the viewport, by id, and the client area's.
export const boxes = (page) => page.evaluate(() => {
  const rect = (e) => { const r = e.getBoundingClientRect(); return {x: r.x, y: r.y, right: r.right, bottom: r.bottom}; };
  const client = document.querySelector('.client');
  return {client: rect(client), controls: Object.fromEntries([...client.children].map((e) => [e.id, rect(e)]))};
});

// The page's pixels as the screen shows them: {width, height, at(x, y) -> [r, g, b]}.
export async function screenshot(page) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-shot-'));
  try {
    const file = path.join(folder, 'shot.png');
    await page.screenshot({path: file});
    return readPng(file);
  } finally {
    fs.rmSync(folder, {recursive: true, force: true});
  }
}
