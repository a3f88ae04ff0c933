"""Styles 3, 4 and 6: surrounds laid of whole stones in mortar. River rock is rounded,
smooth and set deep in mortar; old rock is big, angular, rough and weathered.

Stones are the cells of a jittered grid of points (each pixel belongs to its nearest
point); a stone's height rises from its edge, giving domes for river rock and chamfered
slabs for old rock. Stones whose point lies in the firebox are left out, so the opening
follows the stones' own outlines.
"""

import numpy as np

from .common import Blur, Col, Noise, Normals, Occlusion, PixelGrid, Rng, Scale, Smooth
from .surround_common import (Coverable, FireGlow, Grid, HeightShadow, Light, Piece, StyleLayout,
                              Vignette, kCanvasH, kCanvasW, kKeyLight, kMargin)

kLayouts = {
    3: StyleLayout(left=Piece(-2, 210, 90, 390), right=Piece(712, 214, 88, 386),
                   top=Piece(0, 0, 800, 290), mantle=Piece(81, 0, 638, 66)),
    4: StyleLayout(left=Piece(-1, 202, 131, 398), right=Piece(670, 202, 130, 398),
                   top=Piece(0, 0, 800, 290), mantle=Piece(78, 18, 644, 60)),
    6: StyleLayout(left=Piece(0, 127, 110, 473), right=Piece(690, 127, 110, 473),
                   top=Piece(0, 0, 800, 300), mantle=Piece(82, 19, 636, 66)),
}


# The block of the canvas, centred on the scene, whose stones and texture are laid
# as they always were; the walls beyond it get stones of their own and the block's
# texture again (noise tiles seamlessly).
kBlockW = 816
kLead = kMargin - (kBlockW - 800) // 2


def Cells(h, w, rng, more, cell, sx=1.0, sy=1.0, warp=None):
    """Nearest and second-nearest grid points of every pixel: distances f1, f2 (in
    cells), the owner's number and the second owner's, all points (y, x) in pixels,
    and a function that draws one value per point. The points over the middle block
    come from `rng`, those beyond it from `more`."""
    yy, xx = PixelGrid(h, w)
    if warp is not None:
        yy = yy + warp[0]
        xx = xx + warp[1]
    n0 = int(np.ceil(kLead / (cell * sx))) + 1
    gy = (yy + 2 * cell) / (cell * sy)
    gx = (xx - kLead + 2 * cell) / (cell * sx) + n0
    ny = int(np.ceil((h + 4 * cell) / (cell * sy))) + 3
    nb = int(np.ceil((kBlockW + 4 * cell) / (cell * sx))) + 3
    nx = nb + 2 * n0 + 2

    def Spread(draw):
        """One value per point from `draw(generator, count)`, by the points' rows."""
        out = draw(more, ny * nx)
        out = out.reshape((ny, nx) + out.shape[1:])
        out[:, n0 : n0 + nb] = draw(rng, ny * nb).reshape(out[:, n0 : n0 + nb].shape)
        return out.reshape((ny * nx,) + out.shape[2:])

    jit = Spread(lambda g, n: g.uniform(0.08, 0.92, size=(n, 2))).reshape(ny, nx, 2)
    iy0, ix0 = np.floor(gy).astype(int), np.floor(gx).astype(int)
    f1 = np.full(yy.shape, 99.0)
    f2 = np.full(yy.shape, 99.0)
    o1 = np.zeros(yy.shape, int)
    o2 = np.zeros(yy.shape, int)
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            cy = np.clip(iy0 + dy, 0, ny - 1)
            cx = np.clip(ix0 + dx, 0, nx - 1)
            py = cy + jit[cy, cx, 0]
            px = cx + jit[cy, cx, 1]
            d = np.hypot(gy - py, gx - px)
            idx = cy * nx + cx
            closer = d < f1
            second = (~closer) & (d < f2)
            f2 = np.where(closer, f1, np.where(second, d, f2))
            o2 = np.where(closer, o1, np.where(second, idx, o2))
            f1 = np.where(closer, d, f1)
            o1 = np.where(closer, idx, o1)
    cy, cx = np.divmod(np.arange(ny * nx), nx)
    pts = np.stack([(cy + jit[cy, cx, 0]) * cell * sy - 2 * cell,
                    (cx - n0 + jit[cy, cx, 1]) * cell * sx - 2 * cell + kLead], axis=-1)
    return f1, f2, o1, o2, pts, Spread


def _Opening(style, y, x):
    """Signed distance in pixels to the firebox mouth's outline (positive inside),
    for screen coordinates."""
    if style == 3:
        x0, x1, top, curve = 87.0, 713.0, 244.0, 0.00011
    elif style == 4:
        x0, x1, top, curve = 129.0, 671.0, 250.0, 0.00008
    else:
        x0, x1, top, curve = 109.0, 691.0, 248.0, 0.00014
    ceiling = top + curve * (x - 400.0) ** 2
    return np.minimum(np.minimum(x - x0, x1 - x), y - ceiling)


kPalettes = {
    3: ([Col(214, 200, 178), Col(190, 170, 142), Col(226, 218, 204), Col(168, 150, 128),
         Col(200, 186, 170), Col(176, 132, 96), Col(150, 148, 142), Col(232, 222, 196),
         Col(160, 118, 82)], Col(198, 190, 174)),
    4: ([Col(84, 84, 86), Col(64, 62, 60), Col(104, 96, 88), Col(58, 64, 72),
         Col(92, 78, 66), Col(120, 114, 106), Col(48, 48, 50), Col(110, 92, 74)], Col(58, 56, 54)),
    6: ([Col(138, 128, 112), Col(112, 108, 102), Col(156, 138, 110), Col(96, 90, 84),
         Col(166, 156, 138), Col(128, 106, 84), Col(106, 104, 100), Col(146, 120, 92)],
        Col(52, 46, 40)),
}


def Paint(style, seed):
    rng = Rng(seed)
    more = Rng(seed + 1000)
    yy, xx = Grid()
    h, w = kCanvasH, kCanvasW
    k = Scale()
    wrap = (np.arange(w * k) - kLead * k) % (kBlockW * k)

    def N(size, **shape):
        """Noise over the middle block, repeated across the canvas."""
        return Noise(h, kBlockW, rng, size, **shape)[:, wrap]

    river = style in (3, 4)
    cell = {3: 40.0, 4: 44.0, 6: 58.0}[style]
    sx, sy = (1.35, 0.8) if river else (1.25, 0.85)
    warp = (N(34, detail=0.4) * (1.6 if river else 3.5),
            N(34, detail=0.4) * (1.6 if river else 3.5))
    f1, f2, o1, o2, pts, Spread = Cells(h, w, rng, more, cell, sx, sy, warp)
    # Screen coordinates of the points (the canvas has a margin at the left).
    py, px = pts[:, 0], pts[:, 1] - kMargin
    # Stones lying wholly in the firebox are left out; those across its outline are
    # dressed flat along it.
    keep = _Opening(style, py, px) < 0.35 * cell
    lay = kLayouts[style]

    edge = (f2 - f1) * cell * 0.5 * min(sx, sy) * 1.6
    rough = N(6, detail=0.6)
    mortar_w = 3.6 if river else 2.6
    e = edge + (0.35 if river else 1.4) * rough
    mouth = _Opening(style, yy, xx) + (0.5 if river else 1.6) * N(9, detail=0.5)
    cut = Smooth(0.6 / k, -0.6 / k, mouth)
    stone = Smooth(mortar_w, mortar_w + 1.3, e) * keep[o1]
    # Mortar fills between kept stones, hugging them where they meet the firebox.
    solid = np.maximum(stone, (keep[o1] & keep[o2]).astype(float)) * cut
    solid = np.clip(solid, 0, 1)
    # Soften the outline where the stones meet the firebox; a rare stone that would
    # reach past its piece is trimmed to it.
    solid = np.minimum(solid, Smooth(0.2, 0.8, Blur(solid, 0.6))) * Coverable(lay, yy, xx)

    # Per-stone looks.
    palette, mortar_col = kPalettes[style]
    pick = Spread(lambda g, n: g.integers(0, len(palette), n))
    tint = Spread(lambda g, n: g.uniform(0.85, 1.12, n))
    lift = Spread(lambda g, n: g.uniform(0.7, 1.25, n))
    tiltx = Spread(lambda g, n: g.uniform(-0.12, 0.12, n))
    tilty = Spread(lambda g, n: g.uniform(-0.12, 0.12, n))
    base = np.array(palette)[pick] * tint[:, None]
    col = base[o1]

    speck = N(1.6, detail=1.0)
    mottle = N(14, detail=0.6)
    band = N(40, detail=0.4)
    if river:
        ri = cell * 0.42
        t = np.clip((edge - mortar_w) / ri, 0, 1)
        dome = 1.0 - (1.0 - t) ** 2.2
        Hs = 10.0 * lift[o1] * dome + 0.15 * mottle
        col = col * (1.0 + 0.08 * mottle + 0.05 * speck)[..., None]
        # Some stones carry pale or dark flecks, like granite.
        grainy = (pick[o1] % 3 == 0)
        fleck = Smooth(1.6, 2.4, speck) - 0.8 * Smooth(-1.6, -2.4, speck)
        col = col * (1.0 + 0.25 * fleck * grainy)[..., None]
        # Quartz veins across a few.
        qz = np.exp(-(((band + 0.3 * mottle) / 0.08) ** 2)) * (pick[o1] % 4 == 1)
        col = col + (Col(240, 236, 228) - col) * (0.6 * qz)[..., None]
        Hm = -1.5 + 0.25 * N(4, detail=0.6)
    else:
        t = Smooth(mortar_w, mortar_w + 9.0, edge + 0.5 * rough)
        cy, cx = py[o1], px[o1]
        facet = tiltx[o1] * (xx - cx) + tilty[o1] * (yy - cy)
        Hs = (12.0 * lift[o1] * t + facet * t + 0.9 * rough * t + 0.8 * mottle
              + 0.35 * N(2.5, detail=1.0))
        col = col * (1.0 + 0.13 * mottle + 0.08 * speck)[..., None]
        # Weathering: lichen patches, rust stains and dark streaks.
        lich = Smooth(1.3, 1.9, N(7, detail=0.7) + 0.6 * band) * t
        col = col + (Col(150, 150, 96) - col) * (0.45 * lich)[..., None]
        rust = Smooth(1.0, 2.0, band + 0.4 * mottle) * (pick[o1] % 3 == 0)
        col = col * (1.0 - 0.2 * rust[..., None]) + Col(120, 70, 36) * (0.2 * rust)[..., None]
        Hm = -3.0 + 0.4 * N(4, detail=0.7)

    H = np.where(stone > 0.5, Hs, Hm)
    # Where a stone is dressed along the mouth its edge is rounded off.
    arris = np.clip(-mouth / 7.0, 0, 1)
    H = np.minimum(H, -2.0 + 14.0 * np.sqrt(arris))
    H = Blur(H, 0.7)
    mortar_tex = mortar_col * (1.0 + 0.07 * N(1.5, detail=1.0)
                               + 0.05 * N(20, detail=0.5))[..., None]
    albedo = col * stone[..., None] + mortar_tex * (1 - stone[..., None])

    n = Normals(H, 1.3 if river else 1.1)
    occ = Occlusion(H, 6.0, 0.035) * Occlusion(H, 2.0, 0.05)
    sh = HeightShadow(H, kKeyLight, steps=14)
    opening = np.maximum(1.0 - solid, (_Opening(style, yy, xx) > 0).astype(float))
    glow = FireGlow(opening, 70.0) * 0.6
    rgb = Light(albedo, n, occ, sh, glow, shine=0.16 if river else 0.04, shine_power=24.0,
                ambient=0.34 if style != 4 else 0.40, key=0.82 if style != 4 else 0.95)
    # Soot darkens the stone just above the firebox mouth.
    soot = Blur((_Opening(style, yy + 26, xx) > 0).astype(float), 16.0) * (_Opening(style, yy, xx) <= 0)
    rgb = rgb * (1.0 - 0.45 * soot * Smooth(320, 180, yy))[..., None]
    rgb = Vignette(rgb, yy, xx, 0.25)
    return rgb, solid
