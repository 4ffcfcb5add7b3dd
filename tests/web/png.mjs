// Just enough PNG for a browser's screenshots (8-bit RGB or RGBA, not interlaced, as browsers write
// them): their pixels read, and a rectangle cut out (the same pixels give the same bytes).
import fs from 'node:fs';
import zlib from 'node:zlib';

const kSignature = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);

function chunks(png) {
  if (!png.subarray(0, 8).equals(kSignature)) throw new Error('not a PNG');
  const out = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    out.push([png.toString('latin1', at + 4, at + 8), png.subarray(at + 8, at + 8 + length)]);
    at += 12 + length;
  }
  return out;
}

// What a row filter adds back to a byte, from the bytes left (a), above (b) and above left (c).
function predict(filter, a, b, c) {
  switch (filter) {
    case 0: return 0;
    case 1: return a;
    case 2: return b;
    case 3: return (a + b) >> 1;
    case 4: {
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    default: throw new Error(`a PNG row filter ${filter} that does not exist`);
  }
}

function decode(png) {
  const all = chunks(png);
  const header = all.find(([type]) => type === 'IHDR')[1];
  const [width, height, depth, colour, interlace] =
    [header.readUInt32BE(0), header.readUInt32BE(4), header[8], header[9], header[12]];
  if (depth !== 8 || (colour !== 2 && colour !== 6) || interlace !== 0) throw new Error('unsupported PNG');
  const bpp = colour === 6 ? 4 : 3, stride = width * bpp;
  const raw = zlib.inflateSync(Buffer.concat(all.filter(([type]) => type === 'IDAT').map(([, data]) => data)));
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)], line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= bpp ? pixels[y * stride + x - bpp] : 0, b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= bpp && y > 0 ? pixels[(y - 1) * stride + x - bpp] : 0;
      pixels[y * stride + x] = (line[x] + predict(filter, a, b, c)) & 255;
    }
  }
  return {width, height, bpp, colour, pixels};
}

// A screenshot file's pixels: {width, height, at(x, y) -> [r, g, b]}.
export function readPng(file) {
  let image;
  try {
    image = decode(fs.readFileSync(file));
  } catch (error) {
    throw new Error(`${file}: ${error.message}`);
  }
  const {width, height, bpp, pixels} = image;
  return {width, height, at: (x, y) => [...pixels.subarray((y * width + x) * bpp, (y * width + x) * bpp + 3)]};
}

function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(zlib.crc32(Buffer.concat([head.subarray(4), data])) >>> 0, 0);
  return Buffer.concat([head, data, crc]);
}

// The rectangle {x, y, width, height} (in pixels, clipped to the image) as a PNG of its own.
export function crop(png, {x, y, width, height}) {
  const image = decode(png);
  const left = Math.max(0, Math.round(x)), top = Math.max(0, Math.round(y));
  const right = Math.min(image.width, Math.round(x + width)), bottom = Math.min(image.height, Math.round(y + height));
  const w = Math.max(0, right - left), h = Math.max(0, bottom - top), stride = w * image.bpp;
  const raw = Buffer.alloc((stride + 1) * h);
  for (let row = 0; row < h; row++) {
    image.pixels.copy(raw, row * (stride + 1) + 1, ((top + row) * image.width + left) * image.bpp,
                      ((top + row) * image.width + right) * image.bpp);
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(w, 0);
  header.writeUInt32BE(h, 4);
  header[8] = 8;
  header[9] = image.colour;
  return Buffer.concat([kSignature, chunk('IHDR', header), chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
}
