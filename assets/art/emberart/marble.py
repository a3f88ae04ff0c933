"""Styles 1 and 2: a classical polished marble surround (dark with pale veins, light
with grey veins): mantle shelf, frieze with a sunk panel, lintel, and two pilasters
with capitals and plinths. It stands against the room's wall: plaster above a dado
rail, panelling below it and a skirting board along the floor."""

import numpy as np
from PIL import Image

from .common import Blur, Col, Mix, Noise, Normals, Occlusion, Rng, Scale, Smooth
from .surround_common import (FireGlow, Grid, HeightShadow, Light, Piece, StyleLayout,
                              Vignette, kCanvasH, kCanvasW, kKeyLight, kMargin)

kLayout = StyleLayout(left=Piece(0, 212, 100, 388), right=Piece(700, 212, 100, 388),
                      top=Piece(0, 0, 800, 272))

kOpenX0, kOpenX1, kOpenY = 98.5, 701.5, 262.0
# The surround's outer edges (screen x), a little beyond the scene, and how far the
# shelf and the plinths stand out past them.
kOuterX0, kOuterX1 = -30.0, 830.0
kShelfOver, kPlinthOver = 12.0, 4.0
# The veined stone is painted over this band of the canvas only (screen x), its
# pattern centred as on a block a little wider than the scene.
kStoneX0, kStoneX1 = -60, 860
kBlockW = 816
# The wall: the dado rail's rows, the skirting board's top, and the panels' edges
# below the rail (screen x of the stiles' inner edges, outward from the surround).
kRail0, kRail1 = 366.0, 382.0
kSkirting = 562.0


def _Box(yy, xx, x0, y0, x1, y1, soft=0.7):
    return (Smooth(x0 - soft, x0 + soft, xx) * Smooth(x1 + soft, x1 - soft, xx)
            * Smooth(y0 - soft, y0 + soft, yy) * Smooth(y1 + soft, y1 - soft, yy))


def _Rotated(field, degrees):
    img = Image.fromarray(field.astype(np.float32), mode="F")
    return np.asarray(img.rotate(degrees, resample=Image.BICUBIC, expand=False), dtype=np.float64)


def _VeinField(rng, angle, h, w, block_w):
    """A marble pattern for one slab: (veins 0..1, fine veins 0..1, clouds -1..1), h x w
    and centred on the pattern a block_w wide painting would have."""
    big = max(h, block_w) + 200
    n1 = Noise(big, big, rng, 420, beta=2.4, detail=1.0, stretch=0.3)
    warp = Noise(big, big, rng, 90, beta=2.0, detail=0.8)
    n1 = _Rotated(n1 + 0.10 * warp, angle)
    n2 = _Rotated(Noise(big, big, rng, 160, beta=2.2, detail=1.0, stretch=0.45), angle + 30)
    cloud = Noise(big, big, rng, 140, beta=2.0, detail=0.6)
    width = Noise(big, big, rng, 120, beta=2.0, detail=0.3)
    k = Scale()
    oy, ox = (big - h) // 2 * k, (big - w) // 2 * k
    crop = (slice(oy, oy + h * k), slice(ox, ox + w * k))
    n1, n2, cloud, width = n1[crop], n2[crop], cloud[crop], width[crop]
    wv = 0.012 + 0.03 * Smooth(-1.5, 1.5, width)
    veins = np.exp(-((n1 / wv) ** 2)) + 0.35 * np.exp(-((n1 / (wv * 5)) ** 2))
    wrap = (np.arange(w * k) - (w - block_w) // 2 * k) % (block_w * k)
    fine = np.exp(-((n2 / 0.012) ** 2)) * Smooth(-0.3, 1.2, Noise(h, block_w, rng, 110)[:, wrap])
    return np.clip(veins, 0, 1.3), fine, cloud / 3.0


def _Geometry(yy, xx):
    """Height field (pixels toward the viewer), slab numbers, joints and the opening."""
    H = np.full(yy.shape, 10.0)
    # The mouth's edge is anti-aliased at the painting's own pixels.
    solid = 1.0 - _Box(yy, xx, kOpenX0, kOpenY, kOpenX1, 700, soft=0.6 / Scale())

    # Mantle shelf with a rounded nosing and a cove beneath it.
    shelf = Smooth(27.0, 25.0, yy)
    H = np.where(yy < 26, 34.0 - 10.0 * Smooth(16.0, 26.0, yy) ** 2, H)
    cove = Smooth(26.0, 31.0, yy) * Smooth(46.0, 40.0, yy)
    H = np.where((yy >= 26) & (yy < 46), 16.0 + 6.0 * np.cos((yy - 26.0) / 20.0 * np.pi * 0.5) ** 2
                 - 3.0 * np.sin((yy - 26.0) / 20.0 * np.pi) * 0.5, H)
    # Frieze and its sunk panel with a raised bead round it.
    fr = (yy >= 46) & (yy < 214)
    H = np.where(fr, 16.0, H)
    panel = _Box(yy, xx, 146, 72, 654, 188, soft=1.2)
    bead = _Box(yy, xx, 140, 66, 660, 194, soft=1.0) - _Box(yy, xx, 144, 70, 656, 190, soft=1.0)
    H = H - 4.0 * panel * fr + 2.0 * np.clip(bead, 0, 1) * fr
    # Lintel and pilasters stand a little forward of the frieze.
    low = yy >= 214
    H = np.where(low, 18.0, H)
    cap = (yy >= 214) & (yy < 246) & ((xx < kOpenX0) | (xx > kOpenX1))
    H = np.where(cap, 22.0 - 4.0 * Smooth(236, 246, yy), H)
    plinth = (yy >= 546) & ((xx < kOpenX0) | (xx > kOpenX1))
    H = np.where(plinth, 22.0 - 3.0 * Smooth(549, 546, yy), H)
    for x0 in (20.0, 722.0):
        rp = _Box(yy, xx, x0, 292, x0 + 58, 522, soft=1.6)
        H = H - 3.5 * rp
    # Bead along the lintel's lower edge.
    H = H + 2.0 * np.exp(-(((yy - 255.0) / 3.0) ** 2)) * (xx > kOpenX0) * (xx < kOpenX1)
    H = Blur(H, 0.8)
    # Rounded arris where the stone turns into the firebox.
    dx = np.minimum(np.abs(xx - kOpenX0), np.abs(xx - kOpenX1))
    dy = np.abs(yy - kOpenY)
    inside_x = (xx > kOpenX0) & (xx < kOpenX1)
    edge = np.where(yy > kOpenY, np.where(inside_x, 99.0, dx), np.where(inside_x, dy, np.hypot(dx, dy)))
    H = H - 6.0 * (1.0 - np.sqrt(np.clip(edge / 6.0, 0, 1)))

    slab = np.zeros(yy.shape, int)
    slab[yy >= 30] = 1
    slab[(yy >= 214)] = 2
    slab[(yy >= 214) & (xx < kOpenX0)] = 3
    slab[(yy >= 214) & (xx > kOpenX1)] = 4
    slab[(yy >= 546) & ((xx < kOpenX0) | (xx > kOpenX1))] = 5
    joints = (np.exp(-(((yy - 30.0) / 0.6) ** 2))
              + np.exp(-(((yy - 214.0) / 0.6) ** 2))
              + np.exp(-(((yy - 546.0) / 0.6) ** 2)) * ((xx < kOpenX0) | (xx > kOpenX1))
              + np.exp(-(((yy - 246.0) / 0.6) ** 2)) * ((xx < kOpenX0 - 2) | (xx > kOpenX1 + 2)) * 0.6)
    return H, slab, np.clip(joints, 0, 1), solid, shelf


def _Surround(yy, xx):
    """Coverage of the marble surround against the wall: the shelf and plinths stand
    out a little past its sides."""
    over = np.where(yy < 27.0, kShelfOver, np.where(yy >= 546.0, kPlinthOver, 0.0))
    return Smooth(kOuterX0 - over - 0.6, kOuterX0 - over + 0.6, xx) * Smooth(kOuterX1 + over + 0.6, kOuterX1 + over - 0.6, xx)


def _Wall(yy, xx, rng, dark):
    """The room's wall beside the surround: height field, albedo and shine."""
    h, w = kCanvasH, kCanvasW
    # Panels below the rail, each side reading outward from the surround.
    out = np.where(xx < 400.0, kOuterX0 - xx, xx - kOuterX1)
    stile = 22.0
    pitch = 150.0
    u = np.mod(out - 28.0, pitch)
    panel = (Smooth(stile - 1.0, stile + 1.0, u) * Smooth(pitch - 0.5, pitch - 2.5, u)
             * Smooth(kRail1 + 26.0, kRail1 + 28.0, yy) * Smooth(kSkirting - 24.0, kSkirting - 26.0, yy)
             * Smooth(26.0, 30.0, out))
    inner = (Smooth(stile + 7.0, stile + 9.0, u) * Smooth(pitch - 9.0, pitch - 11.0, u)
             * Smooth(kRail1 + 35.0, kRail1 + 37.0, yy) * Smooth(kSkirting - 33.0, kSkirting - 35.0, yy)
             * Smooth(26.0, 30.0, out))
    low = Smooth(kRail1 - 0.5, kRail1 + 0.5, yy)
    H = 1.0 * low - 1.2 * panel + 1.4 * inner
    # The dado rail: a rounded moulding; the skirting board with a bevelled top.
    t = np.clip((yy - kRail0) / (kRail1 - kRail0), 0, 1)
    rail = Smooth(kRail0 - 0.6, kRail0 + 0.6, yy) * Smooth(kRail1 + 0.6, kRail1 - 0.6, yy)
    H = H + rail * (2.0 + 4.0 * np.sin(np.pi * t) ** 0.6)
    skirt = Smooth(kSkirting - 0.6, kSkirting + 0.6, yy)
    H = H + skirt * (3.0 + 2.0 * Smooth(kSkirting, kSkirting + 8.0, yy))
    plaster = Noise(h, w, rng, 70, detail=0.5) * 0.6 + Noise(h, w, rng, 3, detail=1.0) * 0.4
    H = H + 0.08 * plaster * (1 - low)
    if dark:
        paint, wood = Col(40, 68, 52), Col(74, 44, 30)
    else:
        paint, wood = Col(206, 192, 160), Col(226, 220, 204)
    upper = paint * (1.0 + 0.035 * plaster)[..., None]
    grain = Noise(h, w, rng, 30, detail=0.6, stretch=0.08)
    lower = (paint * 0.78 if dark else paint * 1.06) * (1.0 + 0.02 * plaster)[..., None]
    if dark:
        lower = wood * (1.0 + 0.10 * grain + 0.04 * plaster)[..., None]
    trim = wood * (1.0 + (0.08 if dark else 0.02) * grain)[..., None]
    albedo = Mix(upper, lower, low)
    albedo = Mix(albedo, trim, np.clip(rail + skirt, 0, 1))
    shine = 0.02 + (0.10 if dark else 0.05) * np.clip(low + rail, 0, 1)
    return H, albedo, shine


def Paint(dark, seed):
    rng = Rng(seed)
    wall_rng = Rng(seed + 50)
    yy, xx = Grid()
    H, slab, joints, solid, _ = _Geometry(yy, xx)
    marble = _Surround(yy, xx)
    # The surround's outer edge is rounded off toward the wall.
    over = np.where(yy < 27.0, kShelfOver, np.where(yy >= 546.0, kPlinthOver, 0.0))
    edge = np.minimum(xx - (kOuterX0 - over), (kOuterX1 + over) - xx)
    H = H - 5.0 * (1.0 - np.sqrt(np.clip(edge / 5.0, 0, 1)))
    Hw, wall_albedo, wall_shine = _Wall(yy, xx, wall_rng, dark)
    H = marble * H + (1 - marble) * Hw

    if dark:
        base = Col(22, 22, 25)
        base2 = Col(44, 42, 44)
        vein = Col(226, 222, 212)
        vein2 = Col(150, 146, 140)
    else:
        base = Col(238, 234, 226)
        base2 = Col(214, 210, 204)
        vein = Col(132, 133, 138)
        vein2 = Col(176, 176, 180)

    k = Scale()
    band = slice((kStoneX0 + kMargin) * k, (kStoneX1 + kMargin) * k)
    stone = np.zeros(yy.shape + (3,))
    fields = [_VeinField(rng, 20 + 47 * i, kCanvasH, kStoneX1 - kStoneX0, kBlockW) for i in range(3)]
    slabs = slab[:, band]
    for i in range(3):
        # Each slab has its own piece of stone: three patterns, the later slabs turned over.
        veins, fine, cloud = fields[i]
        c = Mix(base, base2, np.clip(0.5 + cloud, 0, 1))
        c = Mix(c, vein2, np.clip(fine * 0.7, 0, 1))
        c = Mix(c, vein, np.clip(veins, 0, 1) * (0.95 if dark else 0.75))
        stone[:, band] = np.where((slabs == i)[..., None], c, stone[:, band])
        stone[:, band] = np.where((slabs == i + 3)[..., None], c[::-1, ::-1], stone[:, band])
    stone = stone * (1.0 - 0.55 * joints[..., None])
    albedo = Mix(wall_albedo, stone, marble)

    n = Normals(H, 2.2)
    occ = Occlusion(H, 6.0, 0.10) * Occlusion(H, 2.0, 0.25)
    sh = HeightShadow(H, kKeyLight, steps=16)
    opening = 1.0 - solid
    glow = FireGlow(opening, 70.0) * 0.9
    # Polished stone: a crisp highlight and a faint mirror of the fire near the opening.
    shine = marble * (0.35 if dark else 0.22) + (1 - marble) * wall_shine
    rgb = Light(albedo, n, occ, sh, glow, shine=shine, shine_power=60.0,
                ambient=0.36 if dark else 0.30, key=0.9 if dark else 0.75, glow_gain=1.1)
    sheen = Smooth(0.0, 1.0, 1.0 - np.abs(n[..., 0]) * 3.0) * glow * (0.22 if dark else 0.08) * marble
    rgb = np.clip(rgb + sheen[..., None] * Col(255, 150, 70), 0, 1)
    # A soft reflection of the room's light in the polish, brighter toward the top.
    mirror = (0.05 if dark else 0.03) * Smooth(600, 0, yy) * (0.6 + 0.4 * np.clip(-n[..., 1] * 4, -1, 1))
    rgb = np.clip(rgb + (mirror * marble)[..., None], 0, 1)
    rgb = Vignette(rgb, yy, xx, 0.25)
    return rgb, solid
