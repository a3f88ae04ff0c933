"""The living fire on a 1920 x 1080 screen, as a person sees it: the room's
walls beside the fireplace, firelight that moves on the surround near the
hearth and nowhere else, sparks above the logs between the flame's steps,
and a flame whose frames never play the same run twice. Also leaves review
pictures of every style at 1920 x 1080 and 3840 x 2160, and a strip of
eight frames, in the build tree's art-review folder."""

import os
import sys
import time
import unittest

import numpy as np
from PIL import Image
from Xlib import X, display as xdisplay

import e2e_support as e2e

REVIEW_DIR = os.path.join(e2e.BUILD_DIR, "art-review")
OFF = {key: "0" for key in ("FillWide", "Firelight", "Embers", "LivingFlame")}


def picture(name):
    """A scene picture of the installation as (alpha, rgb) float arrays."""
    image = np.asarray(Image.open(os.path.join(e2e.DATA_DIR, name)).convert("RGBA"), dtype=np.float64)
    return image[..., 3], image[..., :3]


def placed(mask_size, name, x, y):
    """The picture's alpha on a scene-sized array, where it stands."""
    alpha, _ = picture(name)
    out = np.zeros(mask_size)
    h, w = alpha.shape
    top, left = max(y, 0), max(x, 0)
    bottom, right = min(y + h, mask_size[0]), min(x + w, mask_size[1])
    out[top:bottom, left:right] = alpha[top - y:bottom - y, left - x:right - x]
    return out


def settings(style=1, **keys):
    """The quiet first-run scene with this style alone and these keys."""
    text = e2e.QUIET.replace("ShowFP1=1", "\n".join(
        "ShowFP%d=%d" % (k, k == style) for k in range(1, 7)))
    for key, value in keys.items():
        text = e2e.add_key(text, "emberlrn", key, value)
    return text


class Screen:
    """Fast reads of small parts of the screen, for following the flame."""

    def __init__(self, desk):
        self.conn = xdisplay.Display(desk.display)
        self.root = self.conn.screen().root

    def grab(self, x, y, w, h):
        return self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data

    def image(self, x, y, w, h):
        """That part of the screen as an (h, w, 3) array of RGB values."""
        pixels = np.frombuffer(self.grab(x, y, w, h), dtype=np.uint8).reshape(h, w, 4)
        return pixels[..., 2::-1].astype(np.int16)

    def close(self):
        self.conn.close()


def flame_sequence(desk, box, seconds):
    """The flame's frames as the screen showed them, one label per frame:
    the box is read a hundred times a second, and a picture seen only once
    or twice (caught while being drawn) is left out."""
    screen = Screen(desk)
    labels, seen = [], {}
    try:
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            data = screen.grab(*box)
            label = seen.setdefault(data, len(seen))
            if not labels or labels[-1] != label:
                labels.append(label)
            time.sleep(0.01)
    finally:
        screen.close()
    counts = {}
    for label in labels:
        counts[label] = counts.get(label, 0) + 1
    steady = [label for label in labels if counts[label] >= 3]
    frames = []
    for label in steady:
        if not frames or frames[-1] != label:
            frames.append(label)
    return frames


def some_run_repeats(frames, length=10):
    runs = set()
    for i in range(len(frames) - length + 1):
        run = tuple(frames[i:i + length])
        if run in runs:
            return True
        runs.add(run)
    return False


def telling_box(desk):
    """A 12 x 12 scene box inside the flame where every two of its ten
    frames differ most, on the screen."""
    frames = [picture("Flame%d.bmp" % k) for k in range(1, 11)]
    best, where = -1.0, None
    for y in range(150, 400, 12):
        for x in range(150, 560, 12):
            blocks = [(a[y:y + 12, x:x + 12, None] / 255.0 * rgb[y:y + 12, x:x + 12]) for a, rgb in frames]
            least = min(np.abs(blocks[i] - blocks[j]).mean()
                        for i in range(10) for j in range(i + 1, 10))
            if least > best:
                best, where = least, (x, y)
    x, y = where
    left, top = e2e.canvas_to_screen(desk, 70 + x, 27 + y)
    right, bottom = e2e.canvas_to_screen(desk, 70 + x + 12, 27 + y + 12)
    return left, top, right - left, bottom - top


def shots(desk, count, every, box=None):
    """Pictures of the screen (or of a box of it) that far apart."""
    screen = Screen(desk)
    images = []
    try:
        for _ in range(count):
            start = time.monotonic()
            images.append(screen.image(*(box or (0, 0, desk.width, desk.height))))
            time.sleep(max(0.0, every - (time.monotonic() - start)))
    finally:
        screen.close()
    return images


class LivingFireTest(unittest.TestCase):
    def test_walls_light_and_sparks_on_a_wide_screen(self):
        with e2e.Desktop(1920, 1080) as desk:
            desk.write_settings(settings(1))
            run = e2e.SaverRun(desk)
            time.sleep(1.0)
            lit = shots(desk, 15, 0.2)
            run.expect_running(self, "the saver ended")
            run.end()
            desk.write_settings(settings(1, **OFF))
            run = e2e.SaverRun(desk)
            time.sleep(1.0)
            classic = shots(desk, 4, 0.15)
            run.end()

            # The side strips: the room's walls, and black bars without them.
            left, _ = e2e.canvas_to_screen(desk, 0, 0)
            strips = np.concatenate([lit[0][:, :left - 2], lit[0][:, -(left - 2):]], axis=1)
            self.assertGreater(strips.mean(), 20, "the side strips are black")
            self.assertGreater((strips.max(axis=2) > 8).mean(), 0.95)
            bars = np.concatenate([classic[0][:, :left - 2], classic[0][:, -(left - 2):]], axis=1)
            self.assertEqual(bars.max(), 0, "with Fill wide screens off the bars are black")

            # The surround: where the firelight falls on its left piece, near
            # the hearth, it changes; its outer edge, where none falls, stays.
            size = (600, 800)
            light, _ = picture("Light1.bmp")
            side = placed(size, "marLeftSide.bmp", 0, 212)
            near = (light > 60) & (side > 250)
            far = (light == 0) & (side > 250)
            far[:, 40:] = False
            self.assertGreater(near.sum(), 200, "the light falls on the surround's inner edge")
            self.assertGreater(far.sum(), 200)
            def on_screen(mask):
                ys, xs = np.nonzero(mask)
                sx = [e2e.canvas_to_screen(desk, int(x), int(y)) for x, y in zip(xs, ys)]
                return tuple(np.array(v) for v in zip(*[(y2, x2) for x2, y2 in sx]))
            near_px, far_px = on_screen(near), on_screen(far)
            near_moved = max((np.abs(a[near_px] - b[near_px]).max(axis=1) > 0).mean()
                             for a in lit for b in lit)
            far_change = max(np.abs(a[far_px] - b[far_px]).max() for a in lit for b in lit)
            self.assertGreater(near_moved, 0.1, "the firelight never moved on the surround")
            self.assertEqual(far_change, 0, "the surround's outer edge flickers")
            # Subtle: the surround as a whole within 8 % of the classic scene.
            whole = on_screen(side > 250)
            change = np.mean([s[whole].mean() for s in lit]) / np.mean([s[whole].mean() for s in classic])
            self.assertLess(abs(change - 1.0), 0.08, "the surround's brightness moved by %.3f" % change)

            # Sparks: above the logs, between two frames in which the flame
            # did not step (the flame at its slowest), pixels still change.
            desk.write_settings(settings(1).replace("Speed=100", "Speed=250"))
            box = telling_box(desk)
            left, top = e2e.canvas_to_screen(desk, 110, 280)
            right, bottom = e2e.canvas_to_screen(desk, 690, 430)
            run = e2e.SaverRun(desk)
            time.sleep(0.5)
            screen = Screen(desk)
            samples = []
            try:
                for _ in range(60):
                    samples.append((screen.grab(*box), screen.image(left, top, right - left, bottom - top)))
                    time.sleep(0.05)
            finally:
                screen.close()
            run.end()
            unlit = placed(size, "Light1.bmp", 0, 0)[280:430, 110:690] == 0
            unlit = np.asarray(Image.fromarray(unlit).resize((right - left, bottom - top)))
            quiet_pairs = [(a[1], b[1]) for a, b in zip(samples, samples[1:]) if a[0] == b[0]]
            self.assertGreater(len(quiet_pairs), 20)
            moved = [int(((np.abs(a - b).max(axis=2) > 30) & unlit).sum()) for a, b in quiet_pairs]
            self.assertGreater(sum(1 for n in moved if n > 0), len(moved) // 4,
                               "no sparks moved between the flame's steps: %s" % moved)


    def test_the_flame_never_plays_a_run_of_ten_frames_twice(self):
        with e2e.Desktop(1920, 1080) as desk:
            box = telling_box(desk)
            # The flame alone moves in the box: no light, no sparks.
            desk.write_settings(settings(1, Firelight="0", Embers="0"))
            run = e2e.SaverRun(desk)
            living = flame_sequence(desk, box, 60.0)
            run.expect_running(self, "the saver ended")
            run.end()
            desk.write_settings(settings(1, Firelight="0", Embers="0", LivingFlame="0"))
            run = e2e.SaverRun(desk)
            classic = flame_sequence(desk, box, 4.0)
            run.end()
        # The box tells all ten frames apart, and the classic round repeats.
        self.assertEqual(len(set(classic)), 10, classic)
        self.assertTrue(some_run_repeats(classic))
        self.assertEqual(len(set(living)), 10)
        self.assertGreater(len(living), 500, "fewer steps than a minute at the default pace")
        self.assertFalse(some_run_repeats(living), "a run of ten frames played twice")

    def test_review_pictures_of_every_style_and_a_strip_of_frames(self):
        os.makedirs(REVIEW_DIR, exist_ok=True)
        for width, height in ((1920, 1080), (3840, 2160)):
            with e2e.Desktop(width, height) as desk:
                for style in range(1, 7):
                    desk.write_settings(settings(style))
                    run = e2e.SaverRun(desk)
                    time.sleep(0.5)
                    shot = desk.screenshot(os.path.join(
                        REVIEW_DIR, "living-style%d-%dx%d.png" % (style, width, height)))
                    run.end()
                    self.assertGreater(np.asarray(shot)[:, :width // 10].mean(), 10, style)
        with e2e.Desktop(1920, 1080) as desk:
            desk.write_settings(settings(3))
            run = e2e.SaverRun(desk)
            time.sleep(1.0)
            left, top = e2e.canvas_to_screen(desk, 60, 250)
            right, bottom = e2e.canvas_to_screen(desk, 740, 600)
            frames = [Image.fromarray(f.astype(np.uint8))
                      for f in shots(desk, 8, 0.1, (left, top, right - left, bottom - top))]
            run.end()
        w, h = frames[0].size
        strip = Image.new("RGB", (w // 2 * 4, h // 2 * 2))
        for i, frame in enumerate(frames):
            strip.paste(frame.resize((w // 2, h // 2)), (i % 4 * (w // 2), i // 4 * (h // 2)))
        strip.save(os.path.join(REVIEW_DIR, "living-strip.png"))


if __name__ == "__main__":
    if not e2e.DATA_DIR:
        sys.exit("EMBERLRN_DATA_DIR is not set")
    unittest.main()
