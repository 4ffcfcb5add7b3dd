// Screenshots of the page's window in headless Chromium: on a desktop (the window and a margin of
// the page around it) and on a phone's screen (360 x 640, the whole screen).
//   node scripts/screenshot-web.mjs SITE DESKTOP.png PHONE.png
import {openSite} from './web-browser.mjs';

const [folder, desktop, phone] = process.argv.slice(2);
const site = await openSite(folder);
try {
  for (const [file, options] of [[desktop, {viewport: {width: 640, height: 400}}],
                                 [phone, {viewport: {width: 360, height: 640}, isMobile: true, hasTouch: true}]]) {
    const context = await site.browser.newContext({locale: 'zh-CN', serviceWorkers: 'block', ...options});
    const page = await context.newPage();
    await page.goto(site.url);
    await page.waitForFunction(() => performance.getEntriesByName('velmora-window-shown').length > 0);
    await page.evaluate(() => document.fonts.ready);
    const frame = await page.locator('.frame').boundingBox();
    const margin = 16;
    await page.screenshot(file === phone ? {path: file} : {
      path: file,
      clip: {x: frame.x - margin, y: frame.y - margin, width: frame.width + 2 * margin, height: frame.height + 2 * margin},
    });
    console.log(`screenshot saved to ${file}`);
    await context.close();
  }
} finally {
  await site.close();
}
