// The window under a finger on a phone: the arrows' touch targets, read from the browser's hit
// test, real taps, and the window's pixels with and without a touch screen (Chromium; the other
// engines emulate no phone and skip, with the reason).
import assert from 'node:assert/strict';
import {after, afterEach, before, describe, test} from 'node:test';
import {ENGINES, boxes, count, enabled, focused, launch, openWindow, screenshot, unable} from './harness.mjs';

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

for (const engine of ENGINES) {
  describe(engine, () => {
    let site;
    before(async () => { site = await launch(engine); });
    after(async () => { await site?.close(); });
    afterEach(async () => { await site?.closeWindows(); });

    test('a phone: each arrow takes taps on 24 x 24 CSS px, one tap one step, the window looks the same', async (t) => {
      if (unable(t, site, 'phone')) return;
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
      await mouse.close();

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
      await touch.close();
    });
  });
}
