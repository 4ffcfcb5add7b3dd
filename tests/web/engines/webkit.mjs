// WebKitGTK through its WebDriver (WebKitWebDriver, classic WebDriver over HTTP) driving its
// MiniBrowser, headed on the display in DISPLAY. The driver holds one session at a time: each
// window is a session, i.e. a browser of its own (nothing shared, like a fresh context).
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import {Page} from './page.mjs';

export const DRIVER = '/usr/bin/WebKitWebDriver';
export const BROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

const freePort = () => new Promise((resolve, reject) => {
  const probe = net.createServer();
  probe.once('error', reject);
  probe.listen(0, '127.0.0.1', () => {
    const {port} = probe.address();
    probe.close(() => resolve(port));
  });
});

// Whether the process pid listens on the TCP port (and not another program that took it first).
function listensOn(pid, port) {
  const inodes = new Set();
  for (const table of ['/proc/net/tcp', '/proc/net/tcp6']) {
    let rows = [];
    try { rows = fs.readFileSync(table, 'utf8').trim().split('\n').slice(1); } catch { continue; }
    for (const row of rows) {
      const field = row.trim().split(/\s+/);
      if (field[3] === '0A' && parseInt(field[1].split(':').pop(), 16) === port) inodes.add(field[9]);
    }
  }
  try {
    return fs.readdirSync(`/proc/${pid}/fd`).some((fd) => {
      try { return inodes.has(/^socket:\[(\d+)\]$/.exec(fs.readlinkSync(`/proc/${pid}/fd/${fd}`))?.[1]); } catch { return false; }
    });
  } catch {
    return false;
  }
}

async function request(base, method, route, body) {
  const response = await fetch(base + route, {
    method, headers: body === undefined ? {} : {'Content-Type': 'application/json; charset=utf-8'},
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const {value} = await response.json();
  if (!response.ok) throw new Error(`${method} ${route}: ${value?.error}: ${value?.message}`);
  return value;
}

export async function launch() {
  let child, base, log = '';
  for (let attempt = 0; ; ++attempt) {  // another program may take the free port first
    const port = await freePort();
    child = spawn(DRIVER, [`--port=${port}`], {stdio: ['ignore', 'pipe', 'pipe']});
    child.stdout.on('data', (data) => { log += data; });
    child.stderr.on('data', (data) => { log += data; });
    base = `http://127.0.0.1:${port}`;
    const ready = await new Promise((resolve) => {
      child.once('exit', () => resolve(false));
      (async () => {
        while (child.exitCode === null) {
          try {
            if (listensOn(child.pid, port) && (await request(base, 'GET', '/status')).ready) return resolve(true);
          } catch { /* not listening yet */ }
          await new Promise((r) => setTimeout(r, 50));
        }
      })();
    });
    if (ready) break;
    child.kill();
    if (attempt === 4) throw new Error(`WebKitWebDriver did not start:\n${log}`);
  }
  const exited = new Promise((resolve) => child.once('exit', resolve));
  return {
    async newWindow({viewport = {width: 1280, height: 720}} = {}) {
      const {sessionId} = await request(base, 'POST', '/session', {capabilities: {alwaysMatch: {
        'browserName': 'MiniBrowser',
        'webkitgtk:browserOptions': {binary: BROWSER, args: ['--automation']},
        'timeouts': {script: 60000, pageLoad: 60000},
      }}});
      const session = (method, route, body) => request(base, method, `/session/${sessionId}${route}`, body);
      const main = await session('GET', '/window');
      const backend = {
        navigate: (url) => session('POST', '/url', {url}),
        reload: () => session('POST', '/refresh', {}),
        call: async (source, json) => {
          const {ok, error} = await session('POST', '/execute/async', {
            script: `const done = arguments[arguments.length - 1];
                     Promise.resolve(arguments[0]).then(${source}).then((ok) => done({ok}), (e) => done({error: String(e && e.stack || e)}));`,
            args: [json === undefined ? null : json],
          });
          if (error !== undefined) throw new Error(`evaluate: ${error}`);
          return ok;
        },
        perform: async (actions) => {
          await session('POST', '/actions', {actions});
        },
        screenshot: async () => Buffer.from(await session('GET', '/screenshot'), 'base64'),
        // The window is sized so that its viewport has the size asked for.
        setViewport: async ({width, height}) => {
          for (let i = 0; i < 3; ++i) {
            const rect = await session('GET', '/window/rect');
            const inner = JSON.parse(await backend.call('() => JSON.stringify([innerWidth, innerHeight])'));
            if (inner[0] === width && inner[1] === height) return;
            await session('POST', '/window/rect', {width: rect.width + width - inner[0], height: rect.height + height - inner[1]});
          }
        },
        close: () => session('DELETE', ''),
      };
      await backend.setViewport(viewport);
      const others = async () => (await session('GET', '/window/handles')).filter((handle) => handle !== main);
      // What runs in another window, by its handle (the driver runs scripts in the current one).
      const inWindow = async (handle, work) => {
        await session('POST', '/window', {handle});
        try {
          return await work();
        } finally {
          await session('POST', '/window', {handle: main});
        }
      };
      const known = new Set();
      return {
        page: new Page(backend),
        // The next window the page opens: what runs in it. The driver announces no new window:
        // its list of windows is read until one is there.
        nextTab: async () => {
          for (;;) {
            const handle = (await others()).find((h) => !known.has(h));
            if (handle) {
              known.add(handle);
              return {evaluate: (fn, arg) => inWindow(handle, () => new Page(backend).evaluate(fn, arg))};
            }
            await new Promise((resolve) => setTimeout(resolve, 50));
          }
        },
        tabUrls: async () => {
          const urls = [];
          for (const handle of await others()) urls.push(await inWindow(handle, () => session('GET', '/url')));
          return urls;
        },
      };
    },
    async close() {
      child.kill();
      await exited;
    },
  };
}
