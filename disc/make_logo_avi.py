#!/usr/bin/python3
"""Generates the disc's intro video, logo.avi: four seconds at 15 frames per second, 320 by 240,
no sound. The Velmora mark zooms and fades in out of the night sky, its star flashes, light rays
turn slowly behind it and the name rises in underneath; the last half second fades to black.

Run with /usr/bin/python3 (Debian's python3-pil and ffmpeg):

    /usr/bin/python3 disc/make_logo_avi.py [output file]

The frames are drawn here and piped to ffmpeg, which stores them as Cinepak, a codec that every
Windows installation (and Wine) plays through Video for Windows without extra software. The
bit-exact flags keep ffmpeg's version out of the file, so the same inputs give the same bytes.
"""

import math
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "launcher", "resources"))

from PIL import Image, ImageChops, ImageFilter  # noqa: E402

import make_artwork as art  # noqa: E402

W, H = 320, 240
FPS = 15
FRAMES = 60

MARK_SIZE = 120
MARK_CX, MARK_CY = 160, 92
TITLE_CY = 188


def smoothstep(t0, t1, t):
    """0 before t0, 1 after t1, an eased ramp in between."""
    if t <= t0:
        return 0.0
    if t >= t1:
        return 1.0
    x = (t - t0) / (t1 - t0)
    return x * x * (3 - 2 * x)


def rays_mask(angle_offset):
    def fn(d, k):
        for i in range(16):
            ang = angle_offset + i * (2 * math.pi / 16)
            spread = 0.05
            r = 300
            p0 = (MARK_CX * k, MARK_CY * k)
            p1 = ((MARK_CX + r * math.cos(ang - spread)) * k,
                  (MARK_CY + r * math.sin(ang - spread)) * k)
            p2 = ((MARK_CX + r * math.cos(ang + spread)) * k,
                  (MARK_CY + r * math.sin(ang + spread)) * k)
            d.polygon([p0, p1, p2], fill=255)

    return art.supersampled_mask(W, H, fn)


class Scene:
    """The parts of the picture that do not change from frame to frame."""

    def __init__(self):
        self.sky = art.vertical_gradient(
            W, H, [(0.0, (8, 10, 34)), (0.5, (24, 20, 66)), (1.0, (44, 24, 74))]
        )
        self.glow_wide = art.radial_mask(W, H, MARK_CX, MARK_CY + 20, 220, 170, 1.6)
        self.glow_warm = art.radial_mask(W, H, MARK_CX, MARK_CY, 80, 80, 2.2)
        self.ray_fade = art.radial_mask(W, H, MARK_CX, MARK_CY, 190, 190, 1.4)
        # Draw the mark large once; each frame scales it down.
        self.mark_big = art.draw_mark(MARK_SIZE * 2)

        title_font = art.font("DejaVuSerif-Italic.ttf", 44)
        self.title = art.text_mask(W, H, "Velmora", title_font, W / 2, TITLE_CY, tracking=2)
        self.title_glow = self.title.filter(ImageFilter.GaussianBlur(5))
        self.title_shadow = ImageChops.offset(self.title, 2, 2).filter(ImageFilter.GaussianBlur(2))
        sub_font = art.font("DejaVuSans.ttf", 9)
        self.subtitle = art.text_mask(W, H, "ZANDOR SOFTWARE", sub_font, W / 2, 220,
                                      tracking=3)

    def frame(self, n):
        t = n / FPS
        fade_in = smoothstep(0.0, 1.0, t)
        fade_out = 1.0 - smoothstep(3.45, 3.95, t)

        img = self.sky.copy()
        img = art.tint(img, (80, 70, 170), art.scale_mask(self.glow_wide, 0.5 * fade_in))

        # Rays turn slowly and brighten as the mark arrives.
        rays = ImageChops.multiply(rays_mask(0.1 + t * 0.12), self.ray_fade)
        img = art.tint(img, (210, 200, 255), art.scale_mask(rays, 0.16 * smoothstep(0.4, 1.6, t)))
        img = art.tint(img, (250, 210, 140), art.scale_mask(self.glow_warm, 0.4 * fade_in))

        # The mark zooms in from 55% to full size while it fades in.
        zoom = 0.55 + 0.45 * smoothstep(0.0, 1.4, t)
        size = max(2, int(round(MARK_SIZE * zoom)))
        mark = self.mark_big.resize((size, size), Image.Resampling.LANCZOS)
        alpha = art.scale_mask(mark.getchannel("A"), smoothstep(0.1, 1.2, t))
        pos = (MARK_CX - size // 2, MARK_CY - size // 2)
        halo = Image.new("L", (W, H))
        halo.paste(alpha, pos)
        img = art.tint(img, (255, 214, 140), art.scale_mask(halo.filter(ImageFilter.GaussianBlur(6)),
                                                           0.6))
        img.paste(mark.convert("RGB"), pos, alpha)

        # The star on the mark flashes once the mark has arrived.
        flash = smoothstep(1.3, 1.7, t) * (1.0 - smoothstep(1.8, 2.6, t))
        if flash > 0:
            star_y = MARK_CY - MARK_SIZE / 2 + MARK_SIZE * 0.20
            rot = (t - 1.3) * 0.8

            def glint_fn(d, k):
                pts = art.star_points(MARK_CX * k, star_y * k, 46 * k * flash, 3 * k, rot)
                d.polygon(pts, fill=255)

            glint = art.supersampled_mask(W, H, glint_fn).filter(ImageFilter.GaussianBlur(1))
            img = art.tint(img, (255, 250, 230), art.scale_mask(glint, flash))

        # The name rises into place and fades in.
        title_a = smoothstep(1.6, 2.6, t)
        if title_a > 0:
            rise = int(round(10 * (1.0 - title_a)))
            shadow = ImageChops.offset(self.title_shadow, 0, rise)
            glow = ImageChops.offset(self.title_glow, 0, rise)
            title = ImageChops.offset(self.title, 0, rise)
            img = art.tint(img, (4, 2, 14), art.scale_mask(shadow, 0.8 * title_a))
            img = art.tint(img, (255, 200, 120), art.scale_mask(glow, 0.4 * title_a))
            gold = art.gradient_fill(
                img, Image.new("L", (W, H), 255),
                [(0.0, (255, 248, 226)), (0.5, art.GOLD_LIGHT), (0.75, art.GOLD),
                 (1.0, art.GOLD_DARK)],
                TITLE_CY - 22 + rise, TITLE_CY + 18 + rise,
            )
            img = Image.composite(gold, img, art.scale_mask(title, title_a))
            img = art.tint(img, (190, 182, 226),
                           art.scale_mask(self.subtitle, 0.9 * smoothstep(2.2, 3.0, t)))

        if fade_out < 1.0:
            img = Image.blend(Image.new("RGB", (W, H)), img, fade_out)
        if fade_in < 1.0:
            img = Image.blend(Image.new("RGB", (W, H)), img, 0.25 + 0.75 * fade_in)
        return img


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "logo.avi")
    scene = Scene()
    cmd = [
        "ffmpeg", "-v", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", f"{W}x{H}", "-r", str(FPS), "-i", "-",
        "-an", "-c:v", "cinepak", "-q:v", "2", "-g", str(FPS),
        "-fflags", "+bitexact", "-flags:v", "+bitexact", "-map_metadata", "-1",
        out,
    ]
    proc = subprocess.Popen(cmd, stdin=subprocess.PIPE)
    for n in range(FRAMES):
        proc.stdin.write(scene.frame(n).tobytes())
    proc.stdin.close()
    if proc.wait() != 0:
        sys.exit("ffmpeg failed")


if __name__ == "__main__":
    main()
