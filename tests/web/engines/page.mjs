// The page's tests' Page, over WebDriver's input actions (WebDriver BiDi for Firefox, classic
// WebDriver for WebKitGTK): the subset of Playwright's Page the tests use, with its meaning.
//   goto, reload, evaluate, waitForFunction, click, dblclick, hover, keyboard.{press,type,insertText},
//   mouse.{move,down,up,click}, setViewportSize, screenshot, close
// The engine's part (a "backend") only navigates, runs a function in the page, performs actions,
// takes a screenshot of the viewport and sizes it.
import fs from 'node:fs/promises';
import {crop} from '../png.mjs';

// Playwright's key names to WebDriver's key values.
const kKeys = {
  Backspace: '\uE003', Tab: '\uE004', Enter: '\uE007', Shift: '\uE008', Control: '\uE009', Alt: '\uE00A',
  Escape: '\uE00C', Space: ' ', PageUp: '\uE00E', PageDown: '\uE00F', End: '\uE010', Home: '\uE011',
  ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015', Insert: '\uE016',
  Delete: '\uE017', Meta: '\uE03D',
  ...Object.fromEntries(Array.from({length: 12}, (_, i) => ['F' + (i + 1), String.fromCharCode(0xE031 + i)])),
};

function keyValue(name, chord) {
  if (kKeys[name] !== undefined) return kKeys[name];
  if ([...name].length === 1) return chord ? name.toLowerCase() : name;  // 'Control+A' is the A key, unshifted
  throw new Error(`unknown key ${name}`);
}

// 'Shift+Tab' to the keys held, in order.
function chordKeys(combo) {
  const names = combo === '+' ? ['+'] : combo.split(/(?<!^|\+)\+/);
  return names.map((name) => keyValue(name, names.length > 1));
}

const pointer = (actions) => ({type: 'pointer', id: 'mouse', parameters: {pointerType: 'mouse'}, actions});
const keys = (actions) => ({type: 'key', id: 'keyboard', actions});
const at = (x, y) => ({type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport', duration: 0});

export class Page {
  constructor(backend) {
    this.backend = backend;
    this.keyboard = {
      press: (combo) => {
        const held = chordKeys(combo);
        return backend.perform([keys([...held.map((value) => ({type: 'keyDown', value})),
                                      ...held.reverse().map((value) => ({type: 'keyUp', value}))])]);
      },
      type: (text) => backend.perform([keys([...text].flatMap((value) => [{type: 'keyDown', value},
                                                                          {type: 'keyUp', value}]))]),
      // As an input method commits text: into the focused field, replacing its selection, one input event.
      insertText: (text) => this.evaluate((value) => { document.execCommand('insertText', false, value); }, text),
    };
    this.mouse = {
      move: (x, y) => backend.perform([pointer([at(x, y)])]),
      down: () => backend.perform([pointer([{type: 'pointerDown', button: 0}])]),
      up: () => backend.perform([pointer([{type: 'pointerUp', button: 0}])]),
      click: (x, y, {clickCount = 1} = {}) => backend.perform([pointer([
        at(x, y), ...Array.from({length: clickCount}, () => [{type: 'pointerDown', button: 0},
                                                             {type: 'pointerUp', button: 0}]).flat()])]),
    };
  }

  goto(url) { return this.backend.navigate(url); }
  reload() { return this.backend.reload(); }

  // fn runs in the page with arg (JSON); its result, awaited, comes back as JSON.
  async evaluate(fn, arg) {
    const source = `async (json) => JSON.stringify(await (${fn})(json === undefined ? undefined : JSON.parse(json)))`;
    const json = await this.backend.call(source, arg === undefined ? undefined : JSON.stringify(arg));
    return json === undefined || json === null ? undefined : JSON.parse(json);
  }

  // Until fn(arg) is truthy in the page (asked again on every animation frame, and across a
  // navigation); its value.
  async waitForFunction(fn, arg, {timeout = 30000} = {}) {
    const end = Date.now() + timeout;
    const poll = `async (arg, until) => {
      for (;;) {
        const value = await (${fn})(arg);
        if (value || Date.now() > until) return value ? (value instanceof Node ? true : value) : null;
        await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
      }
    }`;
    for (;;) {
      let value;
      try {
        value = await this.evaluate(`(a) => (${poll})(a.arg, a.until)`, {arg, until: Math.min(end, Date.now() + 2000)});
      } catch (error) {
        if (!/navigat|context|destroyed|unload|stale|discarded|not found/i.test(String(error)) || Date.now() > end) throw error;
      }
      if (value) return value;
      if (Date.now() > end) throw new Error(`waitForFunction: timed out after ${timeout} ms: ${fn}`);
    }
  }

  // The middle of the element, once it is there and has a size (Playwright waits for that too).
  async center(selector) {
    const box = await this.waitForFunction((s) => {
      const e = document.querySelector(s);
      if (!e) return null;
      e.scrollIntoView({block: 'nearest', inline: 'nearest'});
      const r = e.getBoundingClientRect();
      return r.width > 0 && r.height > 0 && {x: r.x + r.width / 2, y: r.y + r.height / 2};
    }, selector);
    return box;
  }

  async click(selector) {
    const {x, y} = await this.center(selector);
    await this.mouse.click(x, y);
  }
  async dblclick(selector) {
    const {x, y} = await this.center(selector);
    await this.mouse.click(x, y, {clickCount: 2});
  }
  async hover(selector) {
    const {x, y} = await this.center(selector);
    await this.mouse.move(x, y);
  }

  setViewportSize(size) { return this.backend.setViewport(size); }

  // The viewport as PNG bytes, or the rectangle clip of it; written to path if given.
  async screenshot({path, clip} = {}) {
    // What the page has become is on the screen once a frame has been drawn since (Playwright waits so too).
    await this.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    let png = await this.backend.screenshot();
    if (clip) png = crop(png, clip);
    if (path) await fs.writeFile(path, png);
    return png;
  }

  close() { return this.backend.close(); }
}
