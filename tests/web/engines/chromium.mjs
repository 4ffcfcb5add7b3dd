// Debian's Chromium under playwright-core (never a browser of playwright's own), headless: each
// window is a fresh browser context, its page Playwright's own.
import {launchChromium} from '../../../scripts/web-browser.mjs';

export async function launch() {
  const browser = await launchChromium();
  return {
    browser,
    async newWindow({permissions = ['clipboard-read', 'clipboard-write'], origin, ...options} = {}) {
      const context = await browser.newContext({locale: 'zh-CN', ...options});
      await context.grantPermissions(permissions, {origin});
      const requests = [], away = [];
      context.on('request', (request) => requests.push(request.url()));
      // One for any other host is refused and logged (the network is closed anyway: this keeps it quick).
      await context.route((url) => url.origin !== origin, (route) => {
        away.push(route.request().url());
        return route.abort();
      });
      const page = await context.newPage();
      return {page, context, requests, away};
    },
    close: () => browser.close(),
  };
}
