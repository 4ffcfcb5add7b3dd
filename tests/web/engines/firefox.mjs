// Debian's Firefox ESR over WebDriver BiDi (its own remote agent, --remote-debugging-port; no
// geckodriver), headed on the display in DISPLAY: Firefox takes keys only in a window that has had
// a real click. Each window is a tab in a user context of its own (its own storage and workers).
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import WebSocket from 'ws';
import {Page} from './page.mjs';

export const BINARY = '/usr/bin/firefox-esr';

const kPrefs = {
  'browser.shell.checkDefaultBrowser': false,
  'browser.startup.homepage_override.mstone': 'ignore',
  'browser.aboutwelcome.enabled': false,
  'browser.tabs.warnOnClose': false,
  'datareporting.policy.dataSubmissionEnabled': false,
  'toolkit.telemetry.reportingpolicy.firstRun': false,
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'browser.safebrowsing.update.enabled': false,
  'app.update.disabledForTesting': true,
  'intl.accept_languages': 'zh-CN',
  'intl.locale.requested': 'zh-CN',
  'dom.events.testing.asyncClipboard': true,  // the tests read the clipboard back without a paste prompt
  'ui.caretBlinkTime': -1,                     // a still caret: screenshots of the same page are the same
};

// A WebDriver BiDi connection: commands by id, events to listeners.
class Bidi {
  constructor(socket) {
    this.socket = socket;
    this.next = 0;
    this.waiting = new Map();
    this.listeners = new Set();
    socket.on('message', (data) => {
      const message = JSON.parse(data);
      if (message.id !== undefined && this.waiting.has(message.id)) {
        const {resolve, reject, method} = this.waiting.get(message.id);
        this.waiting.delete(message.id);
        if (message.type === 'error') reject(new Error(`${method}: ${message.error}: ${message.message}`));
        else resolve(message.result);
      } else if (message.type === 'event') {
        for (const listener of this.listeners) listener(message);
      }
    });
    socket.on('close', () => {
      for (const {reject, method} of this.waiting.values()) reject(new Error(`${method}: the browser is gone`));
      this.waiting.clear();
    });
  }
  // A command; one that has no answer in 90 s fails, naming itself.
  send(method, params = {}) {
    const id = ++this.next;
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.waiting.delete(id);
        reject(new Error(`${method} ${JSON.stringify(params).slice(0, 200)}: no answer in 90 s`));
      }, 90000);
      const settle = (how) => (value) => { clearTimeout(timer); how(value); };
      this.waiting.set(id, {resolve: settle(resolve), reject: settle(reject), method});
      this.socket.send(JSON.stringify({id, method, params}));
    });
  }
}

// prefs: more of Firefox's preferences, for a test that needs them (a minimum font size...).
export async function launch({prefs = {}} = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-firefox-'));
  fs.writeFileSync(path.join(profile, 'user.js'),
                   Object.entries({...kPrefs, ...prefs}).map(([k, v]) => `user_pref(${JSON.stringify(k)}, ${JSON.stringify(v)});\n`).join(''));
  const child = spawn(BINARY, ['--remote-debugging-port=0', '--profile', profile, '--no-remote', '--new-instance',
                               'about:blank'], {stdio: ['ignore', 'ignore', 'pipe']});
  const gone = () => fs.rmSync(profile, {recursive: true, force: true});
  let log = '';
  const address = await new Promise((resolve, reject) => {
    child.stderr.on('data', (data) => {
      log += data;
      const found = /WebDriver BiDi listening on (ws:\/\/\S+)/.exec(log);
      if (found) resolve(found[1]);
    });
    child.once('exit', (code) => reject(new Error(`Firefox ended (${code}) before it listened:\n${log}`)));
  });
  child.stderr.resume();
  const socket = new WebSocket(address + '/session');
  await new Promise((resolve, reject) => { socket.once('open', resolve); socket.once('error', reject); });
  const bidi = new Bidi(socket);
  await bidi.send('session.new', {capabilities: {alwaysMatch: {acceptInsecureCerts: false}}});
  await bidi.send('session.subscribe', {events: ['network.beforeRequestSent', 'browsingContext.contextCreated']});
  const exited = new Promise((resolve) => child.once('exit', resolve));
  const orphan = () => child.kill();  // the test process ends without closing it (a failure, a timeout)
  process.once('exit', orphan);
  for (const signal of ['SIGTERM', 'SIGINT']) process.once(signal, () => { orphan(); process.exit(1); });
  return {
    bidi,
    async newWindow({viewport = {width: 1280, height: 720}} = {}) {
      const {userContext} = await bidi.send('browser.createUserContext');
      const {context} = await bidi.send('browsingContext.create', {type: 'tab', userContext});
      const requests = [], tabs = [], ours = new Set([context]);
      let tabOpened = () => {};
      const listener = ({method, params}) => {
        if (method === 'network.beforeRequestSent' && ours.has(params.context)) requests.push(params.request.url);
        if (method === 'browsingContext.contextCreated' && params.userContext === userContext && !ours.has(params.context)) {
          ours.add(params.context);
          if (!params.parent) {
            tabs.push(params.context);
            tabOpened();
          }
        }
      };
      bidi.listeners.add(listener);
      const backend = {
        navigate: (url) => bidi.send('browsingContext.navigate', {context, url, wait: 'complete'}),
        reload: () => bidi.send('browsingContext.reload', {context, wait: 'complete'}),
        call: (source, json, target = context) => evaluateIn(bidi, target, source, json),
        perform: (actions) => bidi.send('input.performActions', {context, actions}),
        screenshot: async () => Buffer.from((await bidi.send('browsingContext.captureScreenshot', {context})).data, 'base64'),
        setViewport: (size) => bidi.send('browsingContext.setViewport', {context, viewport: size}),
        close: async () => {
          bidi.listeners.delete(listener);
          await bidi.send('browser.removeUserContext', {userContext});
        },
      };
      await backend.setViewport(viewport);
      await bidi.send('browsingContext.activate', {context});
      const page = new Page(backend);
      // The real click that lets the window take keys, on the empty tab.
      await page.mouse.click(10, 10);
      // The next tab the page opens: what runs in it.
      const nextTab = async () => {
        const seen = tabs.length;
        if (tabs.length === seen) await new Promise((resolve) => { tabOpened = resolve; });
        const tab = tabs[seen];
        return {evaluate: async (fn, arg) => {
          const json = await evaluateIn(bidi, tab, `async (json) => JSON.stringify(await (${fn})(json === undefined ? undefined : JSON.parse(json)))`,
                                        arg === undefined ? undefined : JSON.stringify(arg));
          return json === undefined ? undefined : JSON.parse(json);
        }};
      };
      return {page, requests, nextTab};
    },
    async close() {
      try { await bidi.send('browser.close'); } catch { child.kill(); }
      socket.close();
      await exited;
      gone();
    },
  };
}

export async function evaluateIn(bidi, context, source, json) {
  const result = await bidi.send('script.callFunction', {
    functionDeclaration: source, target: {context}, awaitPromise: true,
    arguments: [json === undefined ? {type: 'undefined'} : {type: 'string', value: json}],
  });
  if (result.type === 'exception') throw new Error(`evaluate: ${result.exceptionDetails.text}`);
  return result.result.type === 'string' ? result.result.value : undefined;
}
