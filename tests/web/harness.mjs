// What the page's tests share: Debian's Chromium (never a downloaded browser) under playwright-core,
// the site served on 127.0.0.1, and a window opened in a fresh browser context.
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {openSite} from '../../scripts/web-browser.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const SITE = process.env.VELMORA_SITE || path.join(root, 'build/web/site');

export const launch = (folder = SITE) => openSite(folder);

// A new context and page with the window up and ready. Every request is logged; one for any other
// host is refused and logged in `away` (the network is closed anyway, this keeps the test quick).
export async function openWindow(site, {permissions = ['clipboard-read', 'clipboard-write'], ...options} = {}) {
  const context = await site.browser.newContext({locale: 'zh-CN', ...options});
  const origin = new URL(site.url).origin;
  await context.grantPermissions(permissions, {origin});
  const requests = [];
  const away = [];
  context.on('request', (request) => requests.push(request.url()));
  await context.route((url) => url.origin !== origin, (route) => {
    away.push(route.request().url());
    return route.abort();
  });
  const page = await context.newPage();
  await page.goto(site.url);
  await waitReady(page);
  return {context, page, origin, requests, away};
}

export async function waitReady(page) {
  await page.waitForFunction(() => performance.getEntriesByName('velmora-window-shown').length > 0);
}

export const count = (page) => page.locator('#Label6').textContent();
export const focused = (page) => page.evaluate(() => document.activeElement?.id || document.activeElement?.localName);
export const enabled = (page) => page.evaluate(() => ['cmdUp', 'cmdDown'].map((id) => !document.getElementById(id).disabled));

// The open message box as the user reads it: title and text; null when none is open.
export const box = (page) => page.evaluate(() => {
  const open = document.querySelector('dialog[open]');
  return open && {title: open.querySelector('h2').textContent, text: open.querySelector('p').textContent};
});

// The clipboard read back through the browser's own API, as UTF-16 code units.
export const clipboardUnits = (page) => page.evaluate(async () => {
  const text = await navigator.clipboard.readText();
  return Array.from({length: text.length}, (_, i) => text.charCodeAt(i));
});
