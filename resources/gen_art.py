#!/usr/bin/env python3
"""Draws the program's artwork and writes it in the exact file forms the resource script expects.

    banner.bmp    374 x 64, 24 bits per pixel, BI_RGB, bottom-up rows of 1124 bytes
    Velmora.ico   16, 20, 24, 32, 40, 48 and 64 px; 32 px is 8 bpp with a 256-colour palette,
                  the rest 32 bpp BGRA; every image is a BMP-style entry with an AND mask
    hand.cur      one 32 x 32, 1 bpp image with an AND mask, hot spot (5, 0)
    hand.png      the same hand for the Linux program, 32 x 32 RGBA (hot spot (5, 0) in the code)
    icons/drasken-N.png  the emblem at N = 16, 22, 24, 32, 48, 64, 128, 256 px, RGBA, for the
                  Linux desktop's hicolor icon theme and the Linux program's window icon
    web/banner.png, web/icon-N.png  the banner as PNG (the same pixels as banner.bmp) and the
                  emblem at N = 32 (the page's icon), 192 and 512 px (the web app's icons)
    web/icon-maskable-512.png  the emblem's bars on its gradient filling the whole square, inside
                  the middle 60 % (a phone cuts the icon to its own shape, within the middle 80 %)

Run by hand when the artwork changes and commit the outputs; the build only reads the outputs.
Needs Pillow (Debian: python3-pil) and, for the banner, the DejaVu and WenQuanYi fonts:

    /usr/bin/python3 resources/gen_art.py            # everything
    /usr/bin/python3 resources/gen_art.py png        # only the PNGs (no fonts needed)
"""

import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))

FONT_LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"

BLUE = (36, 86, 214)
TEAL = (23, 184, 166)
NAVY = (16, 44, 120)

BANNER_W, BANNER_H = 374, 64
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64)
PALETTED_ICON_SIZE = 32


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def diagonal_gradient(w, h, c0, c1):
    """c0 at the top-left corner, c1 at the bottom-right, along the diagonal."""
    img = Image.new("RGB", (w, h))
    px = img.load()
    span = max(1, (w - 1) + (h - 1))
    for y in range(h):
        for x in range(w):
            px[x, y] = lerp(c0, c1, (x + y) / span)
    return img


# ---------------------------------------------------------------- emblem

def emblem_geometry(size):
    """The emblem in whole pixels of a size x size square, so small sizes stay crisp.

    A rounded tile holding three rising bars; the last bar ends in an arrowhead:
    a nickname climbing to the top of the list.
    """
    margin = max(1, round(size / 16)) if size >= 20 else 0
    tile = (margin, margin, size - margin, size - margin)
    inner = size - 2 * margin
    bar_w = max(2, round(inner * 0.17))
    gap = max(1, round(inner * 0.075))
    total = 3 * bar_w + 2 * gap
    left = margin + (inner - total) // 2
    base = margin + round(inner * 0.80)
    heights = (round(inner * 0.24), round(inner * 0.40), round(inner * 0.44))
    bars = []
    for i, hgt in enumerate(heights):
        x0 = left + i * (bar_w + gap)
        bars.append((x0, base - hgt, x0 + bar_w, base))
    overhang = max(1, round(inner * 0.09))
    shaft = bars[2]
    head_top = margin + max(1, round(inner * 0.14))
    head = (shaft[0] - overhang, shaft[1], shaft[2] + overhang, head_top)
    radius = inner * 0.22
    return tile, radius, bars, head


def draw_emblem(size, ss=8, maskable=False):
    """The emblem as an RGBA image of size x size, drawn ss times larger and box-filtered down.

    maskable: no tile; the gradient fills the square and the bars keep to its middle 60 %.
    """
    inset = 0
    if maskable:
        inner_size = round(size * 0.6)
        inset = (size - inner_size) // 2
        tile, radius, bars, head = emblem_geometry(inner_size)
        bars = [(x0 + inset, y0 + inset, x1 + inset, y1 + inset) for x0, y0, x1, y1 in bars]
        head = (head[0] + inset, head[1] + inset, head[2] + inset, head[3] + inset)
    else:
        tile, radius, bars, head = emblem_geometry(size)
    big = size * ss

    def s(v):
        return v * ss

    mask = Image.new("L", (big, big), 255 if maskable else 0)
    if not maskable:
        ImageDraw.Draw(mask).rounded_rectangle(
            [s(tile[0]), s(tile[1]), s(tile[2]) - 1, s(tile[3]) - 1], radius=radius * ss, fill=255)

    fill = diagonal_gradient(64, 64, BLUE, TEAL).resize((big, big), Image.BILINEAR)
    # A soft light across the upper half gives the tile some depth.
    gloss = Image.new("L", (big, big), 0)
    ImageDraw.Draw(gloss).ellipse([-big * 0.5, -big * 1.05, big * 1.5, big * 0.48], fill=34)
    gloss = gloss.filter(ImageFilter.GaussianBlur(big * 0.06))
    fill = Image.composite(Image.new("RGB", (big, big), (255, 255, 255)), fill, gloss)

    art = Image.new("L", (big, big), 0)
    d = ImageDraw.Draw(art)
    bar_r = ss * max(0.5, (bars[0][2] - bars[0][0]) * 0.22)
    for i, (x0, y0, x1, y1) in enumerate(bars):
        top = s(y0)
        if i == 2:
            top = s(y0) - ss  # tuck the shaft under the arrowhead
        d.rounded_rectangle([s(x0), top, s(x1) - 1, s(y1) - 1], radius=bar_r, fill=255)
    hx0, hy0, hx1, hy1 = head
    d.polygon([(s(hx0), s(hy0)), (s(hx1), s(hy0)), ((s(hx0) + s(hx1)) / 2, s(hy1))], fill=255)

    white = Image.new("RGB", (big, big), (255, 255, 255))
    rgb = Image.composite(white, fill, art)
    out = rgb.convert("RGBA")
    out.putalpha(mask)
    return out.resize((size, size), Image.BOX)


# ---------------------------------------------------------------- banner

def draw_banner():
    ss = 4
    w, h = BANNER_W * ss, BANNER_H * ss
    img = Image.new("RGB", (w, h))
    px = img.load()
    top_l, top_r = (30, 72, 190), (20, 150, 160)
    bot_l, bot_r = (22, 56, 158), (14, 122, 138)
    col_top = [lerp(top_l, top_r, x / (w - 1)) for x in range(w)]
    col_bot = [lerp(bot_l, bot_r, x / (w - 1)) for x in range(w)]
    for y in range(h):
        t = y / (h - 1)
        for x in range(w):
            px[x, y] = lerp(col_top[x], col_bot[x], t)

    # Faint rising bars on the right echo the emblem.
    deco = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(deco)
    bar_w, step = 10 * ss, 14 * ss
    x = 236 * ss
    for i in range(9):
        height = (10 + i * 5.2) * ss
        d.rounded_rectangle([x, h - height, x + bar_w, h + 4 * ss], radius=3 * ss, fill=16 + i * 3)
        x += step
    # Two broad light bands sweeping up to the right.
    band = Image.new("L", (w, h), 0)
    bd = ImageDraw.Draw(band)
    bd.polygon([(150 * ss, h), (250 * ss, 0), (290 * ss, 0), (190 * ss, h)], fill=14)
    bd.polygon([(205 * ss, h), (305 * ss, 0), (318 * ss, 0), (218 * ss, h)], fill=10)
    light = ImageChops.add(deco, band)
    img = Image.composite(Image.new("RGB", (w, h), (255, 255, 255)), img, light)

    img = img.resize((BANNER_W, BANNER_H), Image.LANCZOS)

    # The emblem with a soft shadow and a thin light ring so it stands off the background.
    em_size, em_x, em_y = 48, 10, 8
    emblem = draw_emblem(em_size)
    ring = Image.new("L", (BANNER_W, BANNER_H), 0)
    ring.paste(emblem.getchannel("A"), (em_x, em_y))
    shadow = ring.filter(ImageFilter.GaussianBlur(2.2))
    shadow = ImageChops.offset(shadow, 1, 2).point(lambda v: v * 0.45)
    img = Image.composite(Image.new("RGB", img.size, (6, 20, 60)), img, shadow)
    halo = ring.filter(ImageFilter.MaxFilter(3)).point(lambda v: v * 0.55)
    img = Image.composite(Image.new("RGB", img.size, (255, 255, 255)), img, halo)
    img.paste(emblem, (em_x, em_y), emblem)

    # Text is drawn at its final size so FreeType's hinting keeps it sharp.
    text_x = 70
    title_font = ImageFont.truetype(FONT_LATIN, 27)
    slogan_font = ImageFont.truetype(FONT_CJK, 14, index=0)
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ld = ImageDraw.Draw(layer)
    ld.text((text_x, 4), "Velmora", font=title_font, fill=(255, 255, 255, 255))
    ld.text((text_x + 2, 39), "让你的昵称排在最前", font=slogan_font, fill=(214, 246, 242, 255))
    text_shadow = layer.getchannel("A").filter(ImageFilter.GaussianBlur(1.2))
    text_shadow = ImageChops.offset(text_shadow, 0, 1).point(lambda v: v * 0.5)
    img = Image.composite(Image.new("RGB", img.size, (8, 26, 70)), img, text_shadow)
    img.paste(layer, (0, 0), layer)

    # A thin accent line under the slogan, fading out to the right.
    accent = Image.new("L", img.size, 0)
    ad = accent.load()
    for x in range(text_x + 2, text_x + 130):
        ad[x, 58] = round(150 * (1 - (x - text_x - 2) / 128))
    img = Image.composite(Image.new("RGB", img.size, (120, 230, 215)), img, accent)
    return img


def write_bmp24(img, path):
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    rows = []
    px = img.load()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px[x, y][:3]
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + pixels)


# ---------------------------------------------------------------- icon

def and_mask(transparent, w, h):
    """Bottom-up 1 bpp rows padded to 4 bytes; a set bit lets the screen show through."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def icon_entry_32bpp(img):
    w, h = img.size
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a)) if a else b"\0\0\0\0"
    mask = and_mask(lambda x, y: px[x, y][3] == 0, w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + mask


def icon_entry_8bpp(img):
    """256-colour entry: no alpha, so a pixel is either opaque or masked out at half coverage."""
    w, h = img.size
    px = img.load()
    opaque = [[px[x, y][3] >= 128 for x in range(w)] for y in range(h)]
    flat = Image.new("RGB", (w, h), (0, 0, 0))
    fp = flat.load()
    for y in range(h):
        for x in range(w):
            if opaque[y][x]:
                fp[x, y] = px[x, y][:3]
    q = flat.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = q.getpalette()[: 256 * 3]
    palette += [0] * (256 * 3 - len(palette))
    black = None
    for i in range(256):
        if palette[3 * i: 3 * i + 3] == [0, 0, 0]:
            black = i
            break
    qp = q.load()
    pal = bytearray()
    for i in range(256):
        r, g, b = palette[3 * i: 3 * i + 3]
        pal += bytes((b, g, r, 0))
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            # Masked pixels must be black so the XOR step leaves the screen as it is.
            xor.append(qp[x, y] if opaque[y][x] else black)
    mask = and_mask(lambda x, y: not opaque[y][x], w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    return info + bytes(pal) + bytes(xor) + mask


def write_ico(path):
    entries = []
    for size in ICON_SIZES:
        img = draw_emblem(size)
        if size == PALETTED_ICON_SIZE:
            entries.append((size, 8, icon_entry_8bpp(img)))
        else:
            entries.append((size, 32, icon_entry_32bpp(img)))
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(head) + 16 * len(entries)
    directory = b""
    for size, bpp, data in entries:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(head + directory + b"".join(d for _, _, d in entries))


# ---------------------------------------------------------------- cursor

# '#' black outline, '.' white, ' ' transparent. Row 0 is the top; the fingertip is at (5, 0).
HAND = [
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..###",
    "    #..#..#..#..#",
    " ## #..#..#..#..#",
    "#..##..#..#..#..#",
    "#...#...........#",
    " #..#...........#",
    " #..............#",
    "  #.............#",
    "  #.............#",
    "   #............#",
    "   #...........#",
    "    #..........#",
    "    #.........#",
    "     #........#",
    "     #........#",
    "     ##########",
]
HOT_SPOT = (5, 0)


def write_cur(path):
    w = h = 32
    grid = hand_grid()
    stride = 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if grid[y][x] == ".":
                row[x // 8] |= 0x80 >> (x % 8)  # palette index 1: white
        xor += row
    mask = and_mask(lambda x, y: grid[y][x] == " ", w, h)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    data = info + palette + bytes(xor) + mask
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w, h, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(data), 6 + 16)
    with open(path, "wb") as f:
        f.write(head + entry + data)


def hand_grid():
    w = h = 32
    grid = [row.ljust(w) for row in HAND] + [" " * w] * (h - len(HAND))
    assert all(len(row) == w for row in grid)
    assert grid[HOT_SPOT[1]][HOT_SPOT[0]] == "#"
    return grid


def write_hand_png(path):
    grid = hand_grid()
    img = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    px = img.load()
    colours = {"#": (0, 0, 0, 255), ".": (255, 255, 255, 255)}
    for y, row in enumerate(grid):
        for x, c in enumerate(row):
            if c in colours:
                px[x, y] = colours[c]
    img.save(path, optimize=True)


PNG_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def write_png_icons(folder):
    os.makedirs(folder, exist_ok=True)
    for size in PNG_ICON_SIZES:
        draw_emblem(size).save(os.path.join(folder, "drasken-%d.png" % size), optimize=True)


WEB_ICON_SIZES = (32, 192, 512)


def write_web_art(folder):
    """The page's artwork: the banner converted from the committed bitmap, pixel for pixel."""
    os.makedirs(folder, exist_ok=True)
    Image.open(os.path.join(HERE, "banner.bmp")).convert("RGB").save(
        os.path.join(folder, "banner.png"), optimize=True)
    for size in WEB_ICON_SIZES:
        draw_emblem(size).save(os.path.join(folder, "icon-%d.png" % size), optimize=True)
    draw_emblem(512, maskable=True).convert("RGB").save(
        os.path.join(folder, "icon-maskable-512.png"), optimize=True)


def main(argv):
    if "png" not in argv[1:]:
        write_bmp24(draw_banner(), os.path.join(HERE, "banner.bmp"))
        write_ico(os.path.join(HERE, "Velmora.ico"))
        write_cur(os.path.join(HERE, "hand.cur"))
    write_hand_png(os.path.join(HERE, "hand.png"))
    write_png_icons(os.path.join(HERE, "icons"))
    write_web_art(os.path.join(HERE, "web"))


if __name__ == "__main__":
    import sys
    main(sys.argv)
