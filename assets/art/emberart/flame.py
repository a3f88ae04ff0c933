"""The ten flame frames: tongues of fire rising from behind the logs.

The fire is a temperature field: an envelope of tongues whose heights breathe and sway
with the frame's phase, torn by turbulence that rises through the picture. Every moving
part is periodic over the ten frames (whole cycles of the phase, noise that scrolls by
whole periods), so frame 10 leads back into frame 1 without a jump.
"""

import numpy as np

from .common import Blur, Col, Noise, Picture, PixelGrid, Ramp, Rng, Scale, Smooth

# Where the flame picture stands on the 800 x 600 scene, and its size.
kFlameX, kFlameY = 70, 27
kFlameW, kFlameH = 660, 520
kFrames = 10

# The flame's foot (screen y), hidden behind the logs, and its middle.
kBaseY = 472 - kFlameY
kMidX = 400 - kFlameX

# Black body-ish ramp of emitted light, from faint embers to the white-hot core.
kFireRamp = [
    (0.00, Col(0, 0, 0)),
    (0.10, Col(40, 3, 0)),
    (0.22, Col(120, 14, 2)),
    (0.36, Col(205, 48, 6)),
    (0.50, Col(245, 104, 16)),
    (0.64, Col(255, 158, 40)),
    (0.78, Col(255, 206, 92)),
    (0.90, Col(255, 236, 170)),
    (1.00, Col(255, 250, 228)),
]

# The tongues: centre x (picture, from the middle), height, half width at the foot,
# lean (pixels of sideways drift at the tip) and the whole number of cycles per loop
# with which each breathes.
kTongues = [
    (-238, 58, 30, -12, 2),
    (-205, 96, 34, -16, 1),
    (-165, 138, 40, -10, 3),
    (-128, 186, 44, -18, 2),
    (-92, 128, 30, 8, 1),
    (-58, 222, 48, -8, 3),
    (-22, 168, 34, 12, 2),
    (8, 248, 52, 6, 1),
    (40, 176, 32, -10, 3),
    (70, 226, 46, 10, 2),
    (104, 150, 30, -8, 1),
    (134, 192, 42, 14, 3),
    (170, 124, 34, 6, 2),
    (204, 146, 38, 18, 1),
    (236, 84, 30, 12, 3),
    (258, 46, 24, 8, 2),
]


def _TileRows(noise, rows, offset):
    """Rows of a vertically periodic noise field, read `offset` rows further down."""
    period = noise.shape[0]
    idx = (np.arange(rows) + offset) % period
    return noise[idx]


def _Field(a, b, rows, offset, c, s):
    """A rising, slowly changing noise field for one frame (a cos/sin pair keeps its
    strength even and makes it periodic over the loop)."""
    return c * _TileRows(a, rows, offset) + s * _TileRows(b, rows, offset)


def MakeFlameFrames(seed=1101, frames=range(kFrames)):
    """The frames numbered in `frames` (0 to 9), in that order."""
    rng = Rng(seed)
    h, w = kFlameH, kFlameW
    yy, xx = PixelGrid(h, w)
    k_px = Scale()

    # Turbulence, periodic over 260 rows and scrolled 26 rows a frame: it rises one
    # whole period per loop.
    pairs = {
        "tear": (Noise(260, w, rng, 22, beta=2.2, detail=0.5, stretch=2.2),
                 Noise(260, w, rng, 22, beta=2.2, detail=0.5, stretch=2.2)),
        "warp": (Noise(260, w, rng, 60, beta=2.5, detail=0.3, stretch=1.6),
                 Noise(260, w, rng, 60, beta=2.5, detail=0.3, stretch=1.6)),
        "grain": (Noise(260, w, rng, 9, beta=2.0, detail=0.6, stretch=1.8),
                  Noise(260, w, rng, 9, beta=2.0, detail=0.6, stretch=1.8)),
    }
    phases = rng.uniform(0, 2 * np.pi, size=(len(kTongues), 4))
    strength = rng.uniform(0.84, 1.04, size=len(kTongues))

    # The still glow of the firebox air, strongest just above the fire's foot.
    gx = (xx - kMidX) / 250.0
    gy = (yy - (kBaseY - 50)) / 150.0
    glow_shape = np.exp(-(gx * gx + gy * gy) * 2.2)

    up = kBaseY - yy  # height above the foot, pixels
    out = []
    for k in frames:
        phi = 2 * np.pi * k / kFrames
        c, s = np.cos(phi), np.sin(phi)
        rows, step = h * k_px, 26 * k * k_px
        tear = _Field(*pairs["tear"], rows, step, c, s)
        warp = _Field(*pairs["warp"], rows, step, c, s)
        grain = _Field(*pairs["grain"], rows, step, c, s)

        rise = np.clip(up / 220.0, 0.0, 1.5)
        # Licking: a sideways sway that travels up the flame and grows with height.
        sway = (7.0 * np.sin(2 * np.pi * yy / 140.0 + phi)
                + 4.0 * np.sin(2 * np.pi * yy / 76.0 + 2 * phi + 1.3)
                + 16.0 * warp) * rise

        temp = np.zeros(yy.shape)
        for (cx, height, width, lean, m), (p0, p1, p2, p3), power in zip(kTongues, phases, strength):
            hh = height * (1.0 + 0.14 * np.sin(m * phi + p0) + 0.05 * np.sin(2 * m * phi + p1))
            x0 = kMidX + cx + 4.0 * np.sin(m * phi + p2)
            # Only the columns this tongue can reach, sway and lean included.
            reach = int(1.4 * width + abs(lean) + 70)
            c0, c1 = max(int(x0) - reach, 0), min(int(x0) + reach, w)
            cols = slice(c0 * k_px, c1 * k_px)
            t = np.clip(up[:, cols] / hh, 0.0, None)
            centre = x0 + lean * t * t + sway[:, cols] * (0.8 + 0.4 * np.sin(p3))
            rest = np.clip(1.0 - t, 0.0, 1.0)
            half = width * rest ** 0.8 * (1.0 + 0.4 * rest ** 6)
            d = np.abs(xx[:, cols] - centre) / np.maximum(half, 0.5)
            inside = np.clip(1.0 - d * d, 0.0, 1.0) ** 0.7
            body = inside * (0.9 - 0.62 * t ** 0.8) * (t < 1.0) * Smooth(-50.0, 0.0, up[:, cols])
            body *= power * (0.9 + 0.1 * np.sin(m * phi + p3))
            temp[:, cols] = np.maximum(temp[:, cols], body)

        # Tear the edges and let pieces break off the tips, only in and near the fire.
        near = Smooth(0.0, 0.25, Blur(temp, 7.0))
        temp += (0.20 * tear + 0.06 * grain) * (0.25 + rise) * near
        temp -= 0.06 * rise
        # Darker gaps open between the tongues higher up, and the fire thins at its ends.
        temp -= 0.07 * Smooth(0.2, 1.2, tear) * Smooth(0.05, 0.5, rise)
        temp *= 1.0 - 0.45 * Smooth(0.55, 1.0, np.abs(xx - kMidX) / 270.0)
        # Below the foot the fire bed stays hot; it shows only between the logs.
        bed = Smooth(-6.0, -60.0, up) * np.exp(-(((xx - kMidX) / 225.0) ** 4))
        temp = np.maximum(temp, bed * (0.62 + 0.1 * grain))
        temp = np.clip(temp, 0.0, 1.0)
        heat = Smooth(0.04, 1.0, temp)

        emit = Ramp(heat, kFireRamp)
        # Thin hot gas glows faintly around the tongues.
        bloom = Blur(emit, 12.0) * 0.35
        flicker = 1.0 + 0.07 * np.sin(phi + 0.7) + 0.03 * np.sin(3 * phi)
        glow = glow_shape[..., None] * Col(140, 40, 8) * 0.30 * flicker
        emit = emit + bloom * Col(255, 150, 70) + glow
        # Fade to nothing before the picture's edges.
        edge = (Smooth(0, 50, xx) * Smooth(0, 50, w - 1 - xx)
                * Smooth(0, 80, yy) * Smooth(0, 30, h - 1 - yy))
        emit = np.clip(emit, 0.0, 1.0) * edge[..., None]

        # Over black, colour c with coverage a shows as c * a: keep the light as it is.
        alpha = np.clip(emit.max(axis=-1), 0.0, 1.0)
        rgb = emit / np.maximum(alpha, 1e-6)[..., None]
        out.append(Picture(rgb, alpha))
    return out


def HoldStill(frames):
    """The frames' bitmap pixels (Bmp32Pixels' bytes, one array each) with every pixel
    whose light moves by no more than a level over the whole round held at one frame's
    bytes in all of them. Over black a pixel shows its colour weighted by its coverage;
    where that wavers by a level from frame to frame (the faint glow's flicker, the
    rounding of the edges' fade) no eye sees the change, but every step would have the
    screen redrawn there. Held still, the steps change only where the fire moves."""
    px = np.stack(frames).astype(np.int32)
    # What each pixel shows over black, in whole levels, as the saver weights it.
    shown = (px[..., :3] * px[..., 3:4] + 127) // 255
    lowest, highest = shown.min(axis=0), shown.max(axis=0)
    # For each frame, how far the others' light is from its own at worst.
    apart = np.maximum(shown - lowest, highest - shown).max(axis=-1)
    nearest = np.argmin(apart, axis=0)
    still = np.min(apart, axis=0) <= 1
    held = np.take_along_axis(px, nearest[None, :, :, None], axis=0)[0]
    out = []
    for frame in px:
        frame[still] = held[still]
        out.append(frame.astype(np.uint8))
    return out
