// Debian's Chromium under playwright-core, for the page's tests, screenshots and benchmark: never a
// browser of playwright's own, and kept off the network (as root, playwright adds --no-sandbox).
import {chromium} from 'playwright-core';
import {serve} from './serve-web.mjs';

export const CHROMIUM_FLAGS = ['--disable-background-networking', '--disable-component-update', '--disable-sync',
                               '--host-resolver-rules=MAP velmora.test 127.0.0.1',  // a host name for the page's tests
                               '--no-first-run', '--disable-gpu', '--disable-quic'];

export function launchChromium() {
  return chromium.launch({executablePath: '/usr/bin/chromium', args: CHROMIUM_FLAGS});
}

// The folder served on 127.0.0.1 and a browser to look at it; close() ends both.
export async function openSite(folder) {
  const {server, url} = await serve(folder);
  const browser = await launchChromium();
  return {server, url, browser, close: async () => { await browser.close(); server.close(); }};
}
