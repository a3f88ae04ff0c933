"""What every fireplace surround shares: the canvas it is painted on, lighting, the
fire's glow on the stone, and cutting the painting into the pieces the scene draws.

A surround is painted whole, as one scene with the room's walls beside it (the
walls a wide screen shows, plus a little more that no piece uses), so its left, right
and top pieces and the walls meet without a seam. Each pixel of the 800 x 600 scene
then belongs to exactly one piece: the left and right pieces own their rectangles,
the top piece owns the rest; the walls own what lies beside the scene.
"""

import numpy as np

from .common import Blur, Col, Picture, PixelGrid, Scale, Smooth, Unit

# Each wall's width, and the canvas's margin: the wall and room for the shadows'
# reach, so that no shadow wraps in from the canvas's other side onto a wall.
kWallW = 300
kMargin = kWallW + 40
kCanvasW = 800 + 2 * kMargin
kCanvasH = 600

# Light of the room, from the upper left and in front.
kKeyLight = Unit(-0.45, -0.62, 0.64)


class Piece:
    """A rectangle of the scene that one bitmap covers: x, y on the screen, size."""

    def __init__(self, x, y, w, h):
        self.x, self.y, self.w, self.h = x, y, w, h


class StyleLayout:
    def __init__(self, left, right, top, mantle=None):
        self.left, self.right, self.top, self.mantle = left, right, top, mantle


def Grid():
    """Screen coordinates (y, x) of every canvas pixel."""
    yy, xx = PixelGrid(kCanvasH, kCanvasW)
    return yy, xx - kMargin


def HeightShadow(height, light, steps=24, softness=2.0):
    """1 where a height field is lit, falling toward 0 where a higher part in the
    light's direction casts a shadow."""
    dx, dy, dz = light
    run = np.hypot(dx, dy)
    ux, uy = dx / run, dy / run
    slope = dz / run
    shadow = np.zeros_like(height)
    scale = Scale()
    for k in range(1, steps + 1):
        sx, sy = int(round(ux * k * 1.5 * scale)), int(round(uy * k * 1.5 * scale))
        shifted = np.roll(np.roll(height, -sy, axis=0), -sx, axis=1)
        over = shifted - height - slope * k * 1.5
        shadow = np.maximum(shadow, over)
    lit = 1.0 - Smooth(0.0, 3.0, shadow)
    return Blur(lit, softness)


def FireGlow(opening, reach=60.0):
    """How strongly the fire lights each point: strongest at the opening's rim, fading
    with distance, shaped by how the opening's mouth faces the point."""
    g1 = Blur(opening, reach * 0.35)
    g2 = Blur(opening, reach)
    return np.clip(0.55 * g1 + 0.8 * g2, 0.0, 1.0)


def Light(albedo, normal, occlusion, shadow, glow, shine=0.0, shine_power=30.0,
          ambient=0.30, key=0.85, glow_gain=1.0):
    """Lights a painted surface: room light from the upper left, ambient light, and
    the warm light of the fire near the opening. `shine` may be a map."""
    lam = np.clip(np.tensordot(normal, kKeyLight, axes=([-1], [0])), 0.0, 1.0)
    direct = key * lam * shadow
    warm = Col(246, 232, 214)
    fire = Col(255, 132, 44)
    light = (ambient + direct)[..., None] * warm * occlusion[..., None]
    # The fire lights faces that turn down and inward toward it a little more.
    light = light + (glow_gain * glow * (0.6 + 0.4 * np.clip(normal[..., 2], 0, 1)))[..., None] * fire
    out = albedo * light
    if np.any(shine):
        half = kKeyLight + np.array([0.0, 0.0, 1.0])
        half /= np.linalg.norm(half)
        s = np.clip(np.tensordot(normal, half, axes=([-1], [0])), 0.0, 1.0) ** shine_power
        out = out + (shine * s * shadow)[..., None] * warm
    return np.clip(out, 0.0, 1.0)


def Vignette(rgb, yy, xx, strength=0.22):
    """Darkens the far corners a little, as the room's light falls off."""
    d = ((xx - 400.0) / 520.0) ** 2 + ((yy - 330.0) / 430.0) ** 2
    # Beyond the scene's corners the darkening levels off gently toward the walls' ends.
    d = np.where(d < 1.0, d, 1.0 + 0.5 * (1.0 - np.exp(-(d - 1.0) / 0.5)))
    return rgb * (1.0 - strength * d)[..., None]


def Coverable(layout, yy, xx):
    """1 where one of the style's pieces or a wall can show the painting, 0 elsewhere."""
    # Pixel centres lie at whole scene coordinates (at a finer scale, between them).
    inside = (yy < layout.top.h - 0.5) | (xx < -0.5) | (xx > 799.5)
    for p in (layout.left, layout.right):
        inside = inside | ((xx > p.x - 0.5) & (xx < p.x + p.w - 0.5) & (yy > p.y - 0.5))
    return inside.astype(np.float64)


def Cut(rgb, alpha, layout):
    """Splits a painted surround into its left, right and top pictures and the two
    walls beside the scene."""
    k = Scale()
    H, W = kCanvasH * k, kCanvasW * k
    own_l = np.zeros((H, W), bool)
    own_r = np.zeros((H, W), bool)
    for piece, own in ((layout.left, own_l), (layout.right, own_r)):
        x0 = piece.x + kMargin
        own[piece.y * k : (piece.y + piece.h) * k, x0 * k : (x0 + piece.w) * k] = True
    own_r &= ~own_l
    own_t = ~(own_l | own_r)
    own_t[layout.top.h * k :] = False
    lost = alpha * ~(own_l | own_r | own_t)
    lost = lost[:, kMargin * k : (kMargin + 800) * k]
    if lost.max() > 0.02:
        raise ValueError("part of the surround lies outside every piece")

    def Take(x, y, w, h, own):
        sl = (slice(y * k, (y + h) * k), slice((x + kMargin) * k, (x + kMargin + w) * k))
        return Picture(rgb[sl].copy(), (alpha * own)[sl].copy())

    pieces = [Take(p.x, p.y, p.w, p.h, own)
              for p, own in ((layout.left, own_l), (layout.right, own_r), (layout.top, own_t))]
    wall = np.ones((H, W), bool)
    return pieces + [Take(-kWallW, 0, kWallW, kCanvasH, wall), Take(800, 0, kWallW, kCanvasH, wall)]
