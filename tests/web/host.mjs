// Static hosts as the page meets them, for the delivery tests: a plain server that sends
// Last-Modified and no Cache-Control and answers If-Modified-Since with 304 (as Python's
// http.server, a bare nginx or a shared host do), with the faults a real host can have: a missing
// or corrupt file, a Content-Security-Policy of its own, a file held back until the test lets it go.
// The folder it serves can be swapped, as a new release is uploaded over the old one.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm', '.png': 'image/png', '.webmanifest': 'application/manifest+json',
};

// faults: {'/velmora.wasm': {status: 404} | {body: Buffer} | {hold: Promise} | {headers: {...}}},
// headers: sent with every answer (e.g. a host's own Content-Security-Policy); inject: a script the
// page runs before its own (as a browser extension or a locked-down browser changes the page), the
// same in every engine.
export async function plainHost(folder, {faults = {}, headers = {}, inject} = {}) {
  const host = {folder, faults, headers, requests: []};
  host.server = http.createServer(async (request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    host.requests.push(name);
    let fault = host.faults[name] || {};
    if (inject && name === '/inject.js') fault = {body: Buffer.from(inject), headers: {'Content-Type': 'text/javascript'}};
    if (inject && (name === '/' || name === '/index.html')) {
      const page = fs.readFileSync(path.join(host.folder, 'index.html'), 'utf8');
      fault = {body: Buffer.from(page.replace('<script src="start.js"', '<script src="inject.js"></script>\n<script src="start.js"'))};
    }
    if (fault.hold) await fault.hold;
    const file = path.join(host.folder, name.endsWith('/') ? name + 'index.html' : name);
    let stat = null;
    try {
      if (path.relative(host.folder, file).startsWith('..')) throw new Error('outside');
      stat = fs.statSync(file);
    } catch {
      stat = null;
    }
    if (fault.status || (!fault.body && !stat?.isFile())) {
      response.writeHead(fault.status || 404, {'Content-Type': 'text/html; charset=utf-8', ...host.headers});
      response.end('<h1>404 Not Found</h1>');
      return;
    }
    const modified = new Date(Math.floor((stat?.mtimeMs ?? 0) / 1000) * 1000);
    const since = Date.parse(request.headers['if-modified-since'] || '');
    const base = {'Last-Modified': modified.toUTCString(), ...host.headers, ...(fault.headers || {})};
    if (!fault.body && !Number.isNaN(since) && modified.getTime() <= since) {
      response.writeHead(304, base);
      response.end();
      return;
    }
    const body = fault.body || fs.readFileSync(file);
    response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream', ...base,
                             'Content-Length': body.length});
    response.end(body);
  });
  await new Promise((resolve) => host.server.listen(0, '127.0.0.1', resolve));
  host.port = host.server.address().port;
  host.url = `http://127.0.0.1:${host.port}/`;
  host.close = () => new Promise((resolve) => { host.server.closeAllConnections(); host.server.close(resolve); });
  return host;
}

// Every file of a site folder dated `date`, as a release zip dates them: one date for all.
export function dateSite(folder, date) {
  for (const name of fs.readdirSync(folder)) fs.utimesSync(path.join(folder, name), date, date);
}

export function copySite(from, to, date) {
  fs.rmSync(to, {recursive: true, force: true});
  fs.cpSync(from, to, {recursive: true});
  dateSite(to, date);
}

// The page's own texts, as app/Texts.h has them (one literal on one line), by name.
export function pageTexts() {
  const source = fs.readFileSync(path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../app/Texts.h'),
                                 'utf8');
  const texts = {};
  for (const [, name, literal] of source.matchAll(/std::wstring_view (k\w+) =\s*L("[^\n]*");/g)) {
    texts[name] = JSON.parse(literal);
  }
  return texts;
}
