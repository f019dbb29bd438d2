#!/usr/bin/env python3
"""Draws the two pictures built into the program and writes them next to this script:

  banner.jpg  351 x 90 baseline JPEG, the product name 晨枫定时器 in blue Kai brush
              characters on a green-to-white fade, with a dotted line along the bottom.
  app.ico     two blue gear wheels, 48/32/24/16 px, each size once as 8-bit palette
              image with AND mask and once as 32-bit BGRA with alpha.

Run:  python3 resources/make_pictures.py

Needs Pillow (Debian: python3-pil) and the Kai face from fonts-arphic-ukai.
The output is the same bytes on every run, so regenerating leaves git clean
unless the drawing itself was changed. The results are committed, so building
the program needs neither Python nor any image tool.
"""

import math
import os
import struct
import sys

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:
    # A pyenv or venv python3 often shadows Debian's, which is the one that has python3-pil.
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    sys.exit("make_pictures.py: Pillow is missing; apt-get install -y python3-pil")

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------- banner

BANNER_SIZE = (351, 90)
# The window crops the banner to its upper 88 rows; the text is centred in those.
BANNER_VISIBLE_ROWS = 88
BANNER_TEXT = "晨枫定时器"
KAI_FONT_FILES = ("/usr/share/fonts/truetype/arphic/ukai.ttc",)
KAI_FAMILY = "AR PL UKai CN"
FONT_PX = 66
GREEN = (92, 178, 96)
TEXT_BLUE = (24, 84, 210)
OUTLINE_BLUE = (10, 40, 128)
SHADOW = (20, 50, 40, 110)
DOT_COLOUR = (70, 120, 90)


def kai_font(size):
    for path in KAI_FONT_FILES:
        if not os.path.exists(path):
            continue
        # The collection holds CN, HK and TW faces; their glyphs for 晨 and 枫 differ.
        for index in range(8):
            try:
                font = ImageFont.truetype(path, size, index=index)
            except OSError:
                break
            if font.getname()[0] == KAI_FAMILY:
                return font
    sys.exit("make_pictures.py: font %r not found; apt-get install -y fonts-arphic-ukai" % KAI_FAMILY)


def make_banner():
    width, height = BANNER_SIZE
    row = Image.new("RGB", (width, 1))
    for x in range(width):
        t = x / (width - 1)
        # A gamma on the blend keeps the green strong behind the first characters
        # instead of washing out halfway along.
        t = t ** 1.4
        row.putpixel((x, 0), tuple(round(g + (255 - g) * t) for g in GREEN))
    image = row.resize((width, height), Image.Resampling.NEAREST).convert("RGBA")

    font = kai_font(FONT_PX)
    stroke = 1
    left, top, right, bottom = font.getbbox(BANNER_TEXT, stroke_width=stroke)
    origin = ((width - (right - left)) // 2 - left, (BANNER_VISIBLE_ROWS - (bottom - top)) // 2 - top)

    shadow = Image.new("RGBA", image.size, (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((origin[0] + 2, origin[1] + 2), BANNER_TEXT, font=font, fill=SHADOW,
                                stroke_width=stroke, stroke_fill=SHADOW)
    image = Image.alpha_composite(image, shadow.filter(ImageFilter.GaussianBlur(2)))

    draw = ImageDraw.Draw(image)
    draw.text(origin, BANNER_TEXT, font=font, fill=TEXT_BLUE, stroke_width=stroke, stroke_fill=OUTLINE_BLUE)

    # Two-pixel dots: single pixels would be smeared away by the JPEG coder.
    for x in range(1, width - 1, 5):
        draw.rectangle((x, height - 2, x + 1, height - 1), fill=DOT_COLOUR)

    path = os.path.join(HERE, "banner.jpg")
    # No subsampling: the thin brush strokes turn into coloured mush at 4:2:0.
    image.convert("RGB").save(path, "JPEG", quality=90, subsampling=0, optimize=True, progressive=False)
    return path


# ---------------------------------------------------------------- icon

ICON_SIZES = (48, 32, 24, 16)
OVERSAMPLE = 8
GEAR_LIGHT = (130, 185, 255)
GEAR_DARK = (40, 100, 220)
GEAR_EDGE = (14, 46, 130)
# Half widths of a tooth at its root and at its tip, in tooth periods.
TOOTH_ROOT = 0.35
TOOTH_TIP = 0.25

# Per size: teeth on the large and small wheel (their ratio is the ratio of the radii,
# so the wheels mesh); tooth height as a fraction of the icon edge; the hole radii
# over the pitch radii; the dark edge and the transparent gap cut around the small
# wheel, in output pixels; the angle of the large wheel's first tooth (-90 is straight
# up, which puts the teeth on whole pixels). Small icons get fewer, coarser teeth, larger
# holes and a thinner edge: at 16 px twelve teeth blur into a plain disc, and a full
# pixel of edge leaves no blue.
GEAR_STYLE = {
    48: dict(teeth=(12, 8), depth=0.10, holes=(0.33, 0.30), edge=1.0, gap=1.0, phase=-90),
    32: dict(teeth=(12, 8), depth=0.10, holes=(0.33, 0.30), edge=0.75, gap=1.0, phase=-90),
    24: dict(teeth=(8, 6), depth=0.13, holes=(0.38, 0.34), edge=0.5, gap=0.75, phase=-90),
    16: dict(teeth=(8, 6), depth=0.13, holes=(0.42, 0.36), edge=0.25, gap=0.75, phase=-90),
}


def gear_polygon(cx, cy, pitch, teeth, phase_deg, depth):
    """Outline of a spur wheel; a tooth is a trapezoid, narrower at the tip."""
    tip = pitch + depth / 2
    root = pitch - depth / 2
    step = 2 * math.pi / teeth
    points = []
    for k in range(teeth):
        centre = math.radians(phase_deg) + k * step
        for radius, offset in ((root, -TOOTH_ROOT), (tip, -TOOTH_TIP), (tip, TOOTH_TIP), (root, TOOTH_ROOT),
                               (root, 0.5)):
            a = centre + offset * step
            points.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    return points


def gear_layer(canvas, cx, cy, pitch, teeth, phase_deg, depth, hole, edge):
    mask = Image.new("L", (canvas, canvas), 0)
    draw = ImageDraw.Draw(mask)
    draw.polygon(gear_polygon(cx, cy, pitch, teeth, phase_deg, depth), fill=255)
    draw.ellipse((cx - hole, cy - hole, cx + hole, cy + hole), fill=0)

    inner = mask.filter(ImageFilter.MinFilter(2 * edge + 1)) if edge else mask

    # Light from the upper left, so each wheel reads as a solid part, not a flat stamp.
    body = Image.new("RGB", (canvas, canvas))
    px = body.load()
    for y in range(canvas):
        for x in range(canvas):
            t = ((x - cx) + (y - cy)) / (4 * pitch) + 0.5
            t = min(max(t, 0.0), 1.0)
            px[x, y] = tuple(round(a + (b - a) * t) for a, b in zip(GEAR_LIGHT, GEAR_DARK))
    edge_image = Image.new("RGB", (canvas, canvas), GEAR_EDGE)
    colour = Image.composite(body, edge_image, inner)
    layer = colour.convert("RGBA")
    layer.putalpha(mask)
    return layer, mask


def draw_icon(size):
    style = GEAR_STYLE[size]
    teeth_big, teeth_small = style["teeth"]
    depth = style["depth"]
    big_hole, small_hole = style["holes"]
    canvas = size * OVERSAMPLE
    u = canvas  # all geometry below is in fractions of the icon edge
    # Room left at the border, in output pixels; more than the half pixel that
    # snapping the centre below may move the wheels.
    margin = 0.6 / size
    play = 0.02  # between the pitch circles, so the teeth do not touch
    ratio = teeth_small / teeth_big
    # Both wheels sit on the diagonal and together fill the square: seen along either
    # axis, the large wheel's tip radius, the centre distance over sqrt(2) and the
    # small wheel's tip radius add up to the width inside the margins.
    big_pitch = (1 - 2 * margin - depth - play / math.sqrt(2)) / ((1 + ratio) * (1 + 1 / math.sqrt(2)))
    small_pitch = big_pitch * ratio
    distance = big_pitch + small_pitch + play
    c_big = margin + big_pitch + depth / 2
    # The large wheel's centre on a pixel centre keeps it symmetric after downscaling.
    c_big = (round(c_big * size - 0.5) + 0.5) / size
    c_small = c_big + distance / math.sqrt(2)
    edge = round(style["edge"] * OVERSAMPLE)
    gap = round(style["gap"] * OVERSAMPLE)

    # Turn the small wheel so that it meshes where the line between the centres
    # crosses the rims: 45 degrees on the large wheel, 225 on the small one.
    big_phase = style["phase"]
    small_step = 360 / teeth_small
    small_phase = 225 - small_step * ((big_phase - 45) / (360 / teeth_big) + 0.5)

    big, _ = gear_layer(canvas, c_big * u, c_big * u, big_pitch * u, teeth_big, big_phase, depth * u,
                        big_hole * big_pitch * u, edge)
    small, small_mask = gear_layer(canvas, c_small * u, c_small * u, small_pitch * u, teeth_small, small_phase,
                                   depth * u, small_hole * small_pitch * u, edge)
    if gap:
        # Cut a clear line around the small wheel; without it the two dark edges run
        # together into one blot where the teeth interlock.
        halo = small_mask.filter(ImageFilter.MaxFilter(2 * gap + 1))
        big.putalpha(ImageChops.subtract(big.getchannel("A"), halo))
    image = Image.alpha_composite(big, small)
    return downscale(image, size)


def downscale(image, size):
    # Average in premultiplied colour, otherwise the transparent black around the
    # wheels darkens their antialiased rim.
    r, g, b, a = image.split()
    premultiplied = Image.merge("RGB", [ImageChops.multiply(c, a) for c in (r, g, b)])
    small_rgb = premultiplied.resize((size, size), Image.Resampling.BOX)
    small_a = a.resize((size, size), Image.Resampling.BOX)
    out = Image.new("RGBA", (size, size))
    src_rgb = small_rgb.load()
    src_a = small_a.load()
    dst = out.load()
    for y in range(size):
        for x in range(size):
            alpha = src_a[x, y]
            if alpha == 0:
                dst[x, y] = (0, 0, 0, 0)
            else:
                dst[x, y] = tuple(min(255, round(c * 255 / alpha)) for c in src_rgb[x, y]) + (alpha,)
    return out


def and_mask(image, threshold):
    """1-bpp mask, bottom-up, rows padded to 32 bits; set bits are transparent."""
    size = image.width
    stride = (size + 31) // 32 * 4
    alpha = image.getchannel("A").load()
    data = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if alpha[x, y] < threshold:
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    return bytes(data)


def info_header(size, bits, image_bytes, colours):
    # The height counts the XOR bitmap and the AND mask together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, colours, 0)


def dib_32(image):
    size = image.width
    px = image.load()
    xor = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    # Alpha decides on 32-bit displays; the mask only matters to old code that ignores alpha.
    mask = and_mask(image, 1)
    return info_header(size, 32, len(xor) + len(mask), 0) + bytes(xor) + mask


def dib_8(image):
    """256-colour image; index 0 is black and marks the masked-out pixels."""
    size = image.width
    threshold = 128
    px = image.load()
    opaque = [px[x, y][:3] for y in range(size) for x in range(size) if px[x, y][3] >= threshold]

    if len(set(opaque)) <= 255:
        colours = sorted(set(opaque))
        index_of = {c: i + 1 for i, c in enumerate(colours)}
        lookup = lambda x, y: index_of[px[x, y][:3]]
    else:
        strip = Image.new("RGB", (len(opaque), 1))
        strip.putdata(opaque)
        reduced = strip.quantize(255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        raw = reduced.getpalette()[: 255 * 3]
        colours = [tuple(raw[i : i + 3]) for i in range(0, len(raw), 3)]
        rgb = Image.new("RGB", (size, size))
        rgb.putdata([p[:3] for p in image.getdata()])
        mapped = rgb.quantize(palette=reduced, dither=Image.Dither.NONE).load()
        lookup = lambda x, y: mapped[x, y] + 1

    palette = [(0, 0, 0)] + colours
    palette += [(0, 0, 0)] * (256 - len(palette))
    rgbquads = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)

    stride = (size + 3) // 4 * 4
    xor = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if px[x, y][3] >= threshold:
                row[x] = lookup(x, y)
        xor += row
    mask = and_mask(image, threshold)
    return info_header(size, 8, len(xor) + len(mask), 256) + rgbquads + bytes(xor) + mask


def make_icon():
    images = {size: draw_icon(size) for size in ICON_SIZES}
    # Windows' LoadImage takes the deepest colour at the wanted size on a true-colour
    # screen whatever the order; putting each 32-bit image first also serves tools
    # that just take the first entry of a size.
    entries = []
    for size in ICON_SIZES:
        entries.append((size, 32, dib_32(images[size])))
        entries.append((size, 8, dib_8(images[size])))

    header = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(header) + 16 * len(entries)
    directory = b""
    for size, bits, data in entries:
        # bColorCount is 0 for 256 colours and up.
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)

    path = os.path.join(HERE, "app.ico")
    with open(path, "wb") as f:
        f.write(header + directory + b"".join(data for _, _, data in entries))
    return path


def main():
    for path in (make_banner(), make_icon()):
        print("%s: %d bytes" % (path, os.path.getsize(path)))


if __name__ == "__main__":
    main()
