// A small static server for the site, on 127.0.0.1 only: the right types (.wasm as
// application/wasm), the site's Content-Security-Policy on every answer, nothing outside its folder.
//   node scripts/serve-web.mjs FOLDER [PORT]     prints the address, serves until stopped
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
};

export const POLICY = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self'; " +
  "connect-src 'self'; manifest-src 'self'; worker-src 'self'; object-src 'none'; base-uri 'none'; " +
  "form-action 'none'; frame-ancestors 'none'";

// Serves the folder; resolves to {server, url} once it listens.
export function serve(folder, port = 0) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const answer = (status, headers, body) => {
      response.writeHead(status, {'Content-Security-Policy': POLICY, 'X-Content-Type-Options': 'nosniff',
                                  'Cache-Control': 'no-cache', ...headers});
      response.end(request.method === 'HEAD' ? undefined : body);
    };
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      answer(405, {'Allow': 'GET, HEAD'}, 'only GET and HEAD');
      return;
    }
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    } catch {
      answer(400, {}, 'bad address');
      return;
    }
    let file = path.join(root, name.endsWith('/') ? name + 'index.html' : name);
    if (file !== root && !file.startsWith(root + path.sep)) {
      answer(404, {}, 'not found');
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        answer(404, {'Content-Type': 'text/plain; charset=utf-8'}, 'not found');
        return;
      }
      answer(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'}, data);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve({server, url: `http://127.0.0.1:${server.address().port}/`}));
  });
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [folder, port] = process.argv.slice(2);
  if (!folder || !fs.existsSync(folder)) {
    console.error('usage: node scripts/serve-web.mjs FOLDER [PORT]');
    process.exit(2);
  }
  const {url} = await serve(folder, Number(port || 0));
  console.log(`serving ${folder} at ${url}`);
}
