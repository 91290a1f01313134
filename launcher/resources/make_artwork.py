#!/usr/bin/python3
"""Generates the launcher's artwork: the menu background, the twelve button pictures, the
application icon and the hand cursor.

Run with /usr/bin/python3 (Debian's python3-pil, fonts from fonts-dejavu-core):

    /usr/bin/python3 launcher/resources/make_artwork.py [output folder]

The output folder defaults to the folder of this script. The bitmap, icon and cursor files are
written byte by byte here (not through an imaging library's encoder) so that the header layout is
exactly what the launcher's resource loader expects: BITMAPINFOHEADER of 40 bytes, 8 bits per
pixel, a full 256-entry colour table, uncompressed, bottom-up. Every bitmap shares one colour
table, so the launcher can realize the background's palette and draw any button with it.

The script is deterministic: the same inputs give the same bytes on every run.
"""

import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"

BG_W, BG_H = 500, 420

# Button sizes and where the launcher places them on the background (client coordinates).
BUTTONS = [
    ("INSTALL", 37, 32, 153, 48),
    ("RUN", 38, 95, 133, 46),
    ("EXIT", 387, 356, 101, 47),
]
STATES = "UDFX"

# The twenty colours a palette-based display keeps for itself sit at both ends of the table, so
# realizing our palette never has to take them away.
SYSTEM_LOW = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
    (128, 0, 128), (0, 128, 128), (192, 192, 192), (192, 220, 192), (166, 202, 240),
]
SYSTEM_HIGH = [
    (255, 251, 240), (160, 160, 164), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# The classic 16-colour table, used for the 16-colour icon images.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

GOLD_LIGHT = (255, 232, 170)
GOLD = (226, 184, 104)
GOLD_DARK = (150, 108, 48)
IVORY = (246, 238, 218)

SS = 4  # supersampling factor for shapes that Pillow draws without anti-aliasing


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


# ---------------------------------------------------------------------------------------------
# Small drawing helpers
# ---------------------------------------------------------------------------------------------


def lerp(a, b, t):
    return a + (b - a) * t


def lerp_rgb(c0, c1, t):
    return tuple(int(round(lerp(c0[i], c1[i], t))) for i in range(3))


def vertical_gradient(w, h, stops):
    """An RGB image whose rows run through the colour stops [(position 0..1, colour), ...]."""
    column = Image.new("RGB", (1, h))
    px = column.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                px[0, y] = lerp_rgb(c0, c1, (t - p0) / max(1e-9, p1 - p0))
                break
    return column.resize((w, h), Image.Resampling.NEAREST)


def radial_mask(w, h, cx, cy, rx, ry, power=2.0):
    """An L mask that is 255 at (cx, cy) and falls to 0 at the ellipse (rx, ry)."""
    mask = Image.new("L", (w, h))
    px = mask.load()
    for y in range(h):
        dy = (y - cy) / ry
        for x in range(w):
            dx = (x - cx) / rx
            d = math.sqrt(dx * dx + dy * dy)
            if d < 1.0:
                px[x, y] = int(255 * (1.0 - d) ** power)
    return mask


def tint(base, colour, mask):
    """Paints a flat colour over base through mask (alpha)."""
    layer = Image.new("RGB", base.size, colour)
    return Image.composite(layer, base, mask)


def scale_mask(mask, factor):
    return mask.point(lambda v: int(v * factor))


def supersampled_mask(w, h, draw_fn):
    """Draws with draw_fn(draw, s) on a canvas SS times larger and returns a smooth L mask."""
    big = Image.new("L", (w * SS, h * SS))
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize((w, h), Image.Resampling.LANCZOS)


def text_mask(w, h, text, fnt, x, y, tracking=0, anchor_centre=True):
    """Renders text (with extra letter spacing) into an L mask; x, y is the centre when
    anchor_centre, else the left end of the baseline."""
    widths = [fnt.getlength(ch) for ch in text]
    total = sum(widths) + tracking * (len(text) - 1)
    mask = Image.new("L", (w, h))
    draw = ImageDraw.Draw(mask)
    if anchor_centre:
        cx = x - total / 2.0
        anchor = "lm"
    else:
        cx = x
        anchor = "ls"
    for ch, cw in zip(text, widths):
        draw.text((cx, y), ch, fill=255, font=fnt, anchor=anchor)
        cx += cw + tracking
    return mask


def gradient_fill(base, mask, stops, top, bottom):
    """Paints a vertical gradient between rows top and bottom through mask."""
    w, h = base.size
    grad = Image.new("RGB", (w, h), stops[0][1])
    band = vertical_gradient(w, max(1, bottom - top), stops)
    grad.paste(band, (0, top))
    grad.paste(Image.new("RGB", (w, h - bottom), stops[-1][1]), (0, bottom))
    return Image.composite(grad, base, mask)


# ---------------------------------------------------------------------------------------------
# The logo mark: a gold ring holding a faceted "V" and a four-pointed star above it.
# ---------------------------------------------------------------------------------------------


def star_points(cx, cy, r_long, r_short, rotate=0.0):
    pts = []
    for i in range(8):
        ang = rotate + i * math.pi / 4 - math.pi / 2
        r = r_long if i % 2 == 0 else r_short
        pts.append((cx + r * math.cos(ang), cy + r * math.sin(ang)))
    return pts


def draw_mark(size, ring=True, detail=True):
    """Returns the logo mark as an RGBA image of size by size pixels."""
    s = size
    w = h = s
    out = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    c = s / 2.0

    def ring_fn(d, k):
        r_out = (s * 0.48) * k
        r_in = (s * (0.48 - (0.045 if detail else 0.07))) * k
        cc = c * k
        d.ellipse((cc - r_out, cc - r_out, cc + r_out, cc + r_out), fill=255)
        d.ellipse((cc - r_in, cc - r_in, cc + r_in, cc + r_in), fill=0)

    # The V: two tapered strokes meeting at the bottom, the left one lit, the right one shaded.
    top_y = s * 0.27
    bot_y = s * 0.80
    left_outer = (s * 0.22, top_y)
    left_inner = (s * 0.36, top_y)
    right_inner = (s * 0.64, top_y)
    right_outer = (s * 0.78, top_y)
    tip = (c, bot_y)
    notch = (c, bot_y - s * 0.17)

    def scaled(points, k):
        return [(x * k, y * k) for x, y in points]

    def left_fn(d, k):
        d.polygon(scaled([left_outer, left_inner, notch, tip], k), fill=255)

    def right_fn(d, k):
        d.polygon(scaled([right_inner, right_outer, tip, notch], k), fill=255)

    def star_fn(d, k):
        d.polygon(scaled(star_points(c, s * 0.20, s * 0.13, s * 0.035), k), fill=255)

    gold_grad = vertical_gradient(w, h, [(0.0, GOLD_LIGHT), (0.55, GOLD), (1.0, GOLD_DARK)])
    pale = vertical_gradient(w, h, [(0.0, (255, 250, 235)), (1.0, (238, 208, 150))])
    shade = vertical_gradient(w, h, [(0.0, (214, 168, 92)), (1.0, (122, 84, 34))])

    rgb = Image.new("RGB", (w, h))
    alpha = Image.new("L", (w, h))
    if ring:
        m = supersampled_mask(w, h, ring_fn)
        rgb = Image.composite(gold_grad, rgb, m)
        alpha = ImageChops.lighter(alpha, m)
    m = supersampled_mask(w, h, left_fn)
    rgb = Image.composite(pale, rgb, m)
    alpha = ImageChops.lighter(alpha, m)
    m = supersampled_mask(w, h, right_fn)
    rgb = Image.composite(shade, rgb, m)
    alpha = ImageChops.lighter(alpha, m)
    if detail:
        m = supersampled_mask(w, h, star_fn)
        rgb = Image.composite(Image.new("RGB", (w, h), (255, 248, 225)), rgb, m)
        alpha = ImageChops.lighter(alpha, m)
    out = rgb.convert("RGBA")
    out.putalpha(alpha)
    return out


# ---------------------------------------------------------------------------------------------
# The background
# ---------------------------------------------------------------------------------------------

LOGO_CX, LOGO_CY, LOGO_SIZE = 338, 136, 150
TITLE_CX, TITLE_CY = 334, 272


def make_background():
    w, h = BG_W, BG_H
    # Night sky: deep indigo at the top to a violet dusk at the bottom.
    bg = vertical_gradient(
        w, h, [(0.0, (8, 10, 34)), (0.45, (22, 20, 64)), (0.8, (46, 26, 78)), (1.0, (30, 16, 52))]
    )
    # Soft glows: a wide violet one behind the title, a warm one behind the mark.
    bg = tint(bg, (92, 64, 160), scale_mask(radial_mask(w, h, 330, 250, 300, 190, 1.6), 0.45))
    bg = tint(bg, (70, 110, 190), scale_mask(radial_mask(w, h, LOGO_CX, LOGO_CY, 150, 140, 1.8), 0.55))
    bg = tint(bg, (250, 210, 140), scale_mask(radial_mask(w, h, LOGO_CX, LOGO_CY, 95, 95, 2.2), 0.35))

    # Light rays fanning out from the mark.
    def rays_fn(d, k):
        for i in range(18):
            ang = i * (2 * math.pi / 18) + 0.09
            spread = 0.045
            r = 420
            p0 = (LOGO_CX * k, LOGO_CY * k)
            p1 = ((LOGO_CX + r * math.cos(ang - spread)) * k, (LOGO_CY + r * math.sin(ang - spread)) * k)
            p2 = ((LOGO_CX + r * math.cos(ang + spread)) * k, (LOGO_CY + r * math.sin(ang + spread)) * k)
            d.polygon([p0, p1, p2], fill=255)

    rays = supersampled_mask(w, h, rays_fn)
    rays = ImageChops.multiply(rays, radial_mask(w, h, LOGO_CX, LOGO_CY, 260, 260, 1.4))
    bg = tint(bg, (200, 190, 255), scale_mask(rays, 0.10))

    # A field of faint stars, fixed by the seed.
    rng = random.Random(1997)
    stars = Image.new("L", (w, h))
    sp = stars.load()
    for _ in range(260):
        x, y = rng.randrange(w), rng.randrange(h)
        sp[x, y] = rng.choice([60, 90, 120, 170, 230])
    for _ in range(14):
        x, y = rng.randrange(8, w - 8), rng.randrange(8, h - 8)
        for dx, dy, v in [(0, 0, 255), (1, 0, 110), (-1, 0, 110), (0, 1, 110), (0, -1, 110)]:
            sp[x + dx, y + dy] = max(sp[x + dx, y + dy], v)
    stars = stars.filter(ImageFilter.GaussianBlur(0.4))
    bg = tint(bg, (235, 235, 255), stars)

    # Rolling hills of mist at the bottom.
    def hills_fn(d, k):
        pts = [(0, h * k)]
        for x in range(0, w + 1, 4):
            y = 365 + 14 * math.sin(x / 57.0) + 8 * math.sin(x / 23.0 + 1.3)
            pts.append((x * k, y * k))
        pts.append((w * k, h * k))
        d.polygon(pts, fill=255)

    hills = supersampled_mask(w, h, hills_fn).filter(ImageFilter.GaussianBlur(2.5))
    bg = tint(bg, (14, 8, 30), scale_mask(hills, 0.55))

    # A panel of smoked glass behind the menu, so the buttons sit on a surface of their own.
    def panel_fn(d, k):
        d.rounded_rectangle((22 * k, 20 * k, 205 * k, 154 * k), radius=14 * k, fill=255)

    panel = supersampled_mask(w, h, panel_fn)
    bg = tint(bg, (6, 6, 24), scale_mask(panel.filter(ImageFilter.GaussianBlur(6)), 0.45))
    bg = tint(bg, (30, 30, 70), scale_mask(panel, 0.45))

    def panel_rim_fn(d, k):
        d.rounded_rectangle((22 * k, 20 * k, 205 * k, 154 * k), radius=14 * k, outline=255, width=k)

    bg = tint(bg, GOLD, scale_mask(supersampled_mask(w, h, panel_rim_fn), 0.3))

    # The mark, with a halo.
    mark = draw_mark(LOGO_SIZE)
    halo = Image.new("L", (w, h))
    halo.paste(mark.getchannel("A"), (LOGO_CX - LOGO_SIZE // 2, LOGO_CY - LOGO_SIZE // 2))
    halo = halo.filter(ImageFilter.GaussianBlur(8))
    bg = tint(bg, (255, 214, 140), scale_mask(halo, 0.55))
    bg.paste(mark.convert("RGB"), (LOGO_CX - LOGO_SIZE // 2, LOGO_CY - LOGO_SIZE // 2), mark)

    # The title, in gold with a dark shadow and a warm glow.
    title_font = font("DejaVuSerif-Italic.ttf", 58)
    tmask = text_mask(w, h, "Velmora", title_font, TITLE_CX, TITLE_CY, tracking=3)
    shadow = ImageChops.offset(tmask, 2, 3).filter(ImageFilter.GaussianBlur(2.5))
    bg = tint(bg, (4, 2, 14), scale_mask(shadow, 0.8))
    bg = tint(bg, (255, 200, 120), scale_mask(tmask.filter(ImageFilter.GaussianBlur(7)), 0.35))
    bg = gradient_fill(
        bg, tmask, [(0.0, (255, 248, 226)), (0.5, GOLD_LIGHT), (0.75, GOLD), (1.0, GOLD_DARK)],
        TITLE_CY - 30, TITLE_CY + 26,
    )

    # A rule with a small diamond under the title, then the edition line.
    def rule_fn(d, k):
        y = 314
        for x0, x1 in [(TITLE_CX - 118, TITLE_CX - 10), (TITLE_CX + 10, TITLE_CX + 118)]:
            d.rectangle((x0 * k, y * k, x1 * k, (y + 1) * k - 1), fill=255)
        d.polygon(
            [(TITLE_CX * k, (y - 4) * k), ((TITLE_CX + 5) * k, (y + 0.5) * k),
             (TITLE_CX * k, (y + 5) * k), ((TITLE_CX - 5) * k, (y + 0.5) * k)],
            fill=255,
        )

    rule = supersampled_mask(w, h, rule_fn)
    fade = Image.new("L", (w, h))
    fp = fade.load()
    for x in range(w):
        v = max(0.0, 1.0 - abs(x - TITLE_CX) / 120.0) ** 0.6
        for y in range(300, 326):
            fp[x, y] = int(255 * v)
    bg = tint(bg, GOLD, ImageChops.multiply(rule, fade))

    sub = text_mask(w, h, "PRIMAVEX EDITION  1.0", font("DejaVuSans.ttf", 11), TITLE_CX, 333,
                    tracking=3)
    bg = tint(bg, (196, 188, 228), sub)

    foot = text_mask(w, h, "\u00a9 Zandor Software", font("DejaVuSans.ttf", 10), 30, 404,
                     tracking=1, anchor_centre=False)
    bg = tint(bg, (150, 140, 190), scale_mask(foot, 0.85))
    return bg


# ---------------------------------------------------------------------------------------------
# The buttons
# ---------------------------------------------------------------------------------------------


def glyph_fn(name, gx, gy, r):
    """Returns a drawing function for the small symbol at the left end of a button."""

    def fn(d, k):
        def p(x, y):
            return ((gx + x) * k, (gy + y) * k)

        if name == "INSTALL":  # an arrow down into a tray
            d.rectangle((p(-1.4, -r * 0.75)[0], p(0, -r * 0.75)[1], p(1.4, 0)[0], p(0, 1)[1]), fill=255)
            d.polygon([p(-r * 0.45, -0.5), p(r * 0.45, -0.5), p(0, r * 0.35)], fill=255)
            d.rectangle((p(-r * 0.7, r * 0.55)[0], p(0, r * 0.55)[1], p(r * 0.7, 0)[0],
                         p(0, r * 0.55 + 1.6)[1]), fill=255)
        elif name == "RUN":  # a play triangle
            d.polygon([p(-r * 0.38, -r * 0.55), p(r * 0.58, 0), p(-r * 0.38, r * 0.55)], fill=255)
        else:  # an arrow leaving through a door
            d.rectangle((p(-r * 0.7, -r * 0.7)[0], p(0, -r * 0.7)[1], p(-r * 0.7 + 1.6, 0)[0],
                         p(0, r * 0.7)[1]), fill=255)
            d.rectangle((p(-r * 0.7, -r * 0.7)[0], p(0, -r * 0.7)[1], p(0, 0)[0],
                         p(0, -r * 0.7 + 1.6)[1]), fill=255)
            d.rectangle((p(-r * 0.7, r * 0.7 - 1.6)[0], p(0, r * 0.7 - 1.6)[1], p(0, 0)[0],
                         p(0, r * 0.7)[1]), fill=255)
            d.rectangle((p(-r * 0.25, -0.8)[0], p(0, -0.8)[1], p(r * 0.4, 0)[0], p(0, 0.8)[1]),
                        fill=255)
            d.polygon([p(r * 0.3, -r * 0.45), p(r * 0.85, 0), p(r * 0.3, r * 0.45)], fill=255)

    return fn


def make_button(bg, name, bx, by, w, h, state):
    """Draws one button state over the part of the background it covers."""
    img = bg.crop((bx, by, bx + w, by + h))
    pressed = state == "D"
    dy = 1 if pressed else 0
    x0, y0, x1, y1 = 4, 4 + dy, w - 5, h - 6 + dy
    radius = (y1 - y0) / 2.0

    def plate_fn(d, k):
        d.rounded_rectangle((x0 * k, y0 * k, (x1 + 1) * k - 1, (y1 + 1) * k - 1), radius=radius * k,
                            fill=255)

    def rim_fn(d, k):
        d.rounded_rectangle((x0 * k, y0 * k, (x1 + 1) * k - 1, (y1 + 1) * k - 1), radius=radius * k,
                            outline=255, width=int(1.2 * k))

    plate = supersampled_mask(w, h, plate_fn)
    rim = supersampled_mask(w, h, rim_fn)
    ph = y1 - y0 + 1

    if state == "U":
        img = tint(img, (0, 0, 0), scale_mask(ImageChops.offset(plate, 0, 2).filter(
            ImageFilter.GaussianBlur(1.8)), 0.7))
        img = gradient_fill(img, plate, [(0.0, (92, 104, 178)), (0.48, (48, 56, 128)),
                                         (0.52, (36, 42, 108)), (1.0, (26, 30, 84))], y0, y1 + 1)
        rim_col, rim_a = GOLD, 0.85
        text_col = IVORY
        glyph_col = GOLD_LIGHT
    elif state == "F":
        glow = plate.filter(ImageFilter.MaxFilter(5)).filter(ImageFilter.GaussianBlur(2.2))
        img = tint(img, (255, 196, 96), scale_mask(glow, 0.95))
        img = gradient_fill(img, plate, [(0.0, (138, 150, 226)), (0.48, (80, 92, 176)),
                                         (0.52, (64, 74, 156)), (1.0, (46, 54, 128))], y0, y1 + 1)
        rim_col, rim_a = (255, 236, 180), 1.0
        text_col = (255, 252, 236)
        glyph_col = (255, 246, 200)
    elif state == "D":
        img = gradient_fill(img, plate, [(0.0, (10, 12, 40)), (0.5, (22, 26, 72)),
                                         (1.0, (38, 44, 104))], y0, y1 + 1)
        # Inner shadow along the top edge: the plate is pushed in.
        inner = ImageChops.subtract(plate, ImageChops.offset(plate, 0, 3)).filter(
            ImageFilter.GaussianBlur(1.2))
        img = tint(img, (0, 0, 6), ImageChops.multiply(scale_mask(inner, 0.9), plate))
        rim_col, rim_a = GOLD_DARK, 0.9
        text_col = (222, 204, 160)
        glyph_col = (214, 176, 104)
    else:
        img = tint(img, (70, 72, 88), scale_mask(plate, 0.75))
        rim_col, rim_a = (112, 114, 128), 0.8
        text_col = (136, 138, 150)
        glyph_col = (120, 122, 136)

    img = tint(img, rim_col, scale_mask(rim, rim_a))

    if state in "UF":
        # Glassy highlight on the upper half of a raised plate.
        def shine_fn(d, k):
            d.rounded_rectangle(((x0 + 3) * k, (y0 + 2) * k, (x1 - 3) * k, (y0 + ph * 0.45) * k),
                                radius=(radius - 3) * k, fill=255)

        shine = supersampled_mask(w, h, shine_fn)
        shine_grad = vertical_gradient(w, h, [(0.0, (255, 255, 255)), (1.0, (0, 0, 0))])
        shine_grad = ImageChops.offset(shine_grad.convert("L"), 0, y0 - h // 2)
        shine_mask = ImageChops.multiply(shine, Image.new("L", (w, h), 96))
        img = tint(img, (255, 255, 255), ImageChops.multiply(shine_mask, shine_grad.point(
            lambda v: min(255, v * 2))))

    # Symbol and caption, sharing the plate's centre line.
    cy = (y0 + y1) / 2.0 + 0.5
    gr = 8.0 if h >= 46 else 7.5
    gx = x0 + radius + 2
    text_left = gx + gr + 6
    text_cx = (text_left + x1 - 8) / 2.0
    shift = 1 if pressed else 0
    fnt = font("DejaVuSans-Bold.ttf", 15)
    caption = text_mask(w, h, name, fnt, text_cx + shift, cy + shift, tracking=2.5)
    glyph = supersampled_mask(w, h, glyph_fn(name, gx + shift, cy + shift, gr))

    if state in "UF":
        for m in (caption, glyph):
            img = tint(img, (4, 4, 20), scale_mask(ImageChops.offset(m, 1, 1), 0.8))
    if state == "F":
        halo = ImageChops.lighter(caption, glyph).filter(ImageFilter.GaussianBlur(2))
        img = tint(img, (255, 210, 120), scale_mask(halo, 0.6))
    img = tint(img, glyph_col, glyph)
    img = tint(img, text_col, caption)
    return img


# ---------------------------------------------------------------------------------------------
# Palette and quantisation
# ---------------------------------------------------------------------------------------------


def build_palette(background, buttons):
    """One 256-entry palette for all pictures: the display's twenty reserved colours at both
    ends, and 236 colours chosen from the pictures in between. The buttons count several times
    over, or the background's large gradients would take nearly every colour."""
    images = [background] + buttons * 4
    total_h = sum(im.height for im in images)
    sheet = Image.new("RGB", (max(im.width for im in images), total_h))
    y = 0
    for im in images:
        sheet.paste(im, (0, y))
        y += im.height
    chosen = sheet.quantize(colors=236, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = chosen.getpalette()[: 236 * 3]
    middle = [tuple(pal[i : i + 3]) for i in range(0, 236 * 3, 3)]
    return SYSTEM_LOW + middle + SYSTEM_HIGH


def palette_image(colours):
    p = Image.new("P", (1, 1))
    flat = []
    for c in colours:
        flat.extend(c)
    flat.extend([0] * (768 - len(flat)))
    p.putpalette(flat)
    return p


def to_indices(img, palette_colours, dither=True):
    """Maps an RGB image onto a 256-entry palette. With the display's reserved colours at both
    ends, only the picture's own colours between them are used: error diffusion would otherwise
    sprinkle pure blues and greys into soft gradients."""
    reserved = len(SYSTEM_LOW)
    own = palette_colours[reserved : 256 - len(SYSTEM_HIGH)]
    if len(palette_colours) != 256 or palette_colours[:reserved] != SYSTEM_LOW:
        own, reserved = palette_colours, 0
    # Stand-ins in the reserved slots repeat the first own colour and are folded back into it.
    padded = [own[0]] * reserved + own + [own[0]] * (256 - reserved - len(own))
    mapped = img.quantize(
        palette=palette_image(padded),
        dither=Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE,
    )
    lut = [i if reserved <= i < reserved + len(own) else reserved for i in range(256)]
    return mapped.point(lut)


# ---------------------------------------------------------------------------------------------
# File formats
# ---------------------------------------------------------------------------------------------


def row_bytes(width, bpp):
    return ((width * bpp + 31) // 32) * 4


def pack_rows(indexed, bpp):
    """The pixel rows of an indexed image, bottom row first, each padded to 4 bytes."""
    w, h = indexed.size
    px = indexed.load()
    stride = row_bytes(w, bpp)
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            v = px[x, y]
            if bpp == 8:
                row[x] = v
            elif bpp == 4:
                row[x // 2] |= (v & 0xF) << (4 if x % 2 == 0 else 0)
            elif bpp == 1:
                if v:
                    row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def info_header(width, height, bpp, image_size, colours):
    return struct.pack(
        "<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_size, 2835, 2835, colours, 0
    )


def colour_table(colours):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def bmp_file(indexed, palette_colours):
    w, h = indexed.size
    bits = pack_rows(indexed, 8)
    table = colour_table(palette_colours)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info_header(w, h, 8, len(bits), 256) + table + bits


def icon_image(rgba, bpp, palette_colours):
    """One image of an icon or cursor file: header with doubled height, colour table, colour
    bits, then the 1-bit transparency mask."""
    w, h = rgba.size
    alpha = rgba.getchannel("A")
    opaque = alpha.point(lambda v: 255 if v >= 128 else 0)
    rgb = Image.composite(rgba.convert("RGB"), Image.new("RGB", (w, h)), opaque)
    if bpp == 1:
        indexed = rgb.convert("L").point(lambda v: 1 if v >= 128 else 0)
    elif bpp == 4:
        # Only the calm colours of the 16: the loud ones would fringe the anti-aliased edges.
        calm = [0, 4, 7, 8, 15, 3]
        mapped = to_indices(rgb, [VGA16[i] for i in calm], dither=False)
        indexed = mapped.point([calm[i] if i < len(calm) else 0 for i in range(256)])
    else:
        indexed = to_indices(rgb, palette_colours, dither=False)
        # Transparent pixels must be colour 0 (black) so the mask shows the screen through.
        indexed = Image.composite(indexed, Image.new("P", (w, h), 0), opaque)
    colour_bits = pack_rows(indexed, bpp)
    mask = opaque.point(lambda v: 0 if v else 1)
    mask_bits = pack_rows(mask, 1)
    colours = palette_colours + [(0, 0, 0)] * ((1 << bpp) - len(palette_colours))
    data = (
        info_header(w, h * 2, bpp, len(colour_bits) + len(mask_bits), 0)
        + colour_table(colours)
        + colour_bits
        + mask_bits
    )
    return data


def icon_dir_file(kind, entries):
    """kind 1 = icon, 2 = cursor; entries = [(width, height, colour count, field a, field b,
    data)], where a and b are planes and bit count (icon) or the hot spot (cursor)."""
    header = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    directory = b""
    blobs = b""
    for w, h, ncol, a, b, data in entries:
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, ncol % 256, 0, a, b, len(data),
                                 offset + len(blobs))
        blobs += data
    return header + directory + blobs


def make_icon():
    entries = []
    for size in (32, 16):
        mark = draw_mark(size * 4, ring=True, detail=size >= 32)
        mark = mark.resize((size, size), Image.Resampling.LANCZOS)
        # A dark disc behind the mark keeps it readable on light and dark desktops.
        disc = supersampled_mask(
            size, size, lambda d, k: d.ellipse((0, 0, size * k - 1, size * k - 1), fill=255)
        )
        base = Image.new("RGBA", (size, size), (24, 22, 70, 0))
        base.putalpha(disc)
        icon = Image.alpha_composite(base, mark)
        for bpp in (4, 8):
            if bpp == 4:
                pal = VGA16
            else:
                pal = icon_palette(icon)
            entries.append((size, size, 16 if bpp == 4 else 0, 1, bpp, icon_image(icon, bpp, pal)))
    return icon_dir_file(1, entries)


def icon_palette(icon):
    rgb = icon.convert("RGB")
    q = rgb.quantize(colors=236, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = q.getpalette()[: 236 * 3]
    used = sorted(set(q.getdata()))
    middle = [tuple(pal[i * 3 : i * 3 + 3]) for i in used]
    middle += [(0, 0, 0)] * (236 - len(middle))
    return SYSTEM_LOW + middle + SYSTEM_HIGH


# The pointing hand: B outline (black), W fill (white), anything else transparent. The hot spot
# (4, 1) is the top of the index finger.
HAND = [
    "    BB",
    "   BWWB",
    "   BWWB",
    "   BWWB",
    "   BWWB",
    "   BWWBBB",
    "   BWWBWWBBB",
    "   BWWBWWBWWBB",
    "   BWWBWWBWWBWB",
    "BBBBWWBWWBWWBWWB",
    "BWWBWWWWWWWWWWWB",
    "BWWWBWWWWWWWWWWB",
    " BWWWWWWWWWWWWWB",
    "  BWWWWWWWWWWWWB",
    "  BWWWWWWWWWWWWB",
    "   BWWWWWWWWWWWB",
    "   BWWWWWWWWWWB",
    "    BWWWWWWWWWB",
    "    BWWWWWWWWWB",
    "     BWWWWWWWB",
    "     BWWWWWWWB",
    "     BBBBBBBBB",
]
HAND_HOTSPOT = (4, 1)


def make_cursor():
    size = 32
    colour = Image.new("L", (size, size), 0)
    mask = Image.new("L", (size, size), 1)  # 1 = transparent
    cp, mp = colour.load(), mask.load()
    for y, row in enumerate(HAND):
        for x, ch in enumerate(row):
            if ch in "BW":
                mp[x, y] = 0
                cp[x, y] = 1 if ch == "W" else 0
    colour_bits = pack_rows(colour, 1)
    mask_bits = pack_rows(mask, 1)
    data = (
        info_header(size, size * 2, 1, len(colour_bits) + len(mask_bits), 0)
        + colour_table([(0, 0, 0), (255, 255, 255)])
        + colour_bits
        + mask_bits
    )
    hx, hy = HAND_HOTSPOT
    return icon_dir_file(2, [(size, size, 2, hx, hy, data)])


# ---------------------------------------------------------------------------------------------


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out_dir, exist_ok=True)

    bg = make_background()
    buttons = {}
    for name, bx, by, w, h in BUTTONS:
        for state in STATES:
            buttons[name + state] = (make_button(bg, name, bx, by, w, h, state), bx, by)

    palette = build_palette(bg, [im for im, _, _ in buttons.values()])

    outputs = {"BACKGROUND.bmp": bmp_file(to_indices(bg, palette), palette)}
    for key, (im, bx, by) in buttons.items():
        # Each button is dithered in place on the whole background, so the pixels around its
        # plate match the background that it covers.
        sheet = bg.copy()
        sheet.paste(im, (bx, by))
        indexed = to_indices(sheet, palette).crop((bx, by, bx + im.width, by + im.height))
        outputs[key + ".bmp"] = bmp_file(indexed, palette)
    outputs["launcher.ico"] = make_icon()
    outputs["hand.cur"] = make_cursor()

    for name, data in outputs.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
