"""Style 5: a surround of flat stones, laid in courses like a dry-stacked ledge, with a
long lintel stone over the firebox."""

import numpy as np

from .common import Blur, Col, Noise, Normals, Occlusion, Rng, Scale, Smooth
from .surround_common import (Coverable, FireGlow, Grid, HeightShadow, Light, Piece,
                              StyleLayout, Vignette, kCanvasH, kCanvasW, kKeyLight, kMargin)

kLayout = StyleLayout(left=Piece(0, 127, 110, 473), right=Piece(690, 127, 110, 473),
                      top=Piece(0, 0, 800, 262), mantle=Piece(95, 22, 610, 58))

kOpenX0, kOpenX1, kOpenY = 108.5, 691.5, 254.0
kLintel = (86, 222, 714, 254)

kStoneColours = [Col(176, 158, 130), Col(150, 136, 118), Col(196, 178, 146), Col(132, 118, 102),
                 Col(168, 140, 106), Col(142, 142, 136), Col(186, 166, 138), Col(120, 104, 88),
                 Col(160, 122, 86)]


# The block of the canvas, centred on the scene, whose courses and texture are laid
# as they always were; the walls beyond it continue the same courses with stones of
# their own and the block's texture again (noise tiles seamlessly).
kBlockW = 816
kLead = kMargin - (kBlockW - 800) // 2


def Paint(seed):
    rng = Rng(seed)
    more = Rng(seed + 1000)
    yy, xx = Grid()
    h, w = kCanvasH, kCanvasW
    k = Scale()
    wrap = (np.arange(w * k) - kLead * k) % (kBlockW * k)

    def N(size, **shape):
        """Noise over the middle block, repeated across the canvas."""
        return Noise(h, kBlockW, rng, size, **shape)[:, wrap]

    cy, cx = yy, xx + kMargin
    dist = np.zeros(yy.shape)
    ident = np.zeros(yy.shape, int)
    stones = []

    def Lay(x, y, length, rows):
        """Lays one stone (canvas x): its distance inward from its own edge."""
        number = len(stones)
        stones.append((x, y, length, rows))
        y0, y1 = max(y, 0), min(y + rows, h)
        x0, x1 = max(x, 0), min(x + length, w)
        if y1 <= y0 or x1 <= x0:
            return
        sl = (slice(y0 * k, y1 * k), slice(x0 * k, x1 * k))
        sy, sx = cy[sl], cx[sl]
        dist[sl] = np.minimum(np.minimum(sx - x + 0.5, x + length - sx - 0.5),
                              np.minimum(sy - y + 0.5, y + rows - sy - 0.5))
        ident[sl] = number

    # The block's courses first, each stone numbered in turn; the walls' stones after.
    courses = []
    y = -rng.integers(0, 12)
    while y < h:
        rows = int(rng.choice([14, 17, 20, 22, 26, 30, 34]))
        x = -rng.integers(0, 60)
        start = x
        while x < kBlockW:
            length = int(rng.integers(40, 170))
            Lay(x + kLead, y, length, rows)
            x += length
        courses.append((y, rows, start + kLead, x + kLead))
        y += rows

    # The lintel: one long stone across the mouth.
    lx0, ly0, lx1, ly1 = kLintel
    Lay(lx0 + kMargin, ly0, lx1 - lx0, ly1 - ly0)
    count = len(stones)

    for y, rows, left, right in courses:
        while left > 0:
            length = int(more.integers(40, 170))
            left -= length
            Lay(left, y, length, rows)
        while right < w:
            length = int(more.integers(40, 170))
            Lay(right, y, length, rows)
            right += length

    def Spread(draw):
        """One value per stone from `draw(generator, count)`."""
        return np.concatenate([draw(rng, count), draw(more, len(stones) - count)])

    chip = N(5, detail=0.7) * 1.1 + N(18, detail=0.4) * 0.9
    d = dist + chip - 1.6
    stone = Smooth(0.0, 1.2, d)
    lift = Spread(lambda g, n: g.uniform(0.0, 5.5, n))
    lift[count - 1] = 6.0
    pick = Spread(lambda g, n: g.integers(0, len(kStoneColours), n))
    tint = Spread(lambda g, n: g.uniform(0.86, 1.1, n))
    tilt = Spread(lambda g, n: g.uniform(-0.05, 0.05, n))

    strata = N(30, detail=0.6, stretch=0.12)
    grain = N(2, detail=1.0)
    mottle = N(16, detail=0.6)
    face = np.clip(d / 3.5, 0, 1)
    Hs = (6.0 + lift[ident] + 5.0 * np.sqrt(face) + tilt[ident] * (xx - 400.0) * 0.1
          + 0.6 * strata + 0.25 * grain)
    Hm = -1.0 + 0.4 * N(3, detail=0.8)
    H = np.where(stone > 0.5, Hs, Hm)
    H = Blur(H, 0.6)

    col = (np.array(kStoneColours)[pick] * tint[:, None])[ident]
    col = col * (1.0 + 0.10 * strata + 0.06 * mottle + 0.05 * grain)[..., None]
    rusty = Smooth(0.8, 1.8, mottle + 0.5 * strata)
    col = col * (1 - 0.15 * rusty[..., None]) + Col(150, 96, 52) * (0.15 * rusty)[..., None]
    mortar = Col(70, 64, 58) * (1.0 + 0.08 * grain)[..., None]
    albedo = col * stone[..., None] + mortar * (1 - stone[..., None])

    inside = ((xx > kOpenX0) & (xx < kOpenX1) & (yy > kOpenY)).astype(float)
    # Anti-aliased at the painting's own pixels.
    opening_soft = Blur(inside, 0.6 / k)
    solid = np.clip(1.0 - opening_soft, 0, 1)
    lay = kLayout
    solid *= Coverable(lay, yy, xx)

    n = Normals(H, 1.2)
    occ = Occlusion(H, 6.0, 0.035) * Occlusion(H, 2.0, 0.05)
    sh = HeightShadow(H, kKeyLight, steps=14)
    glow = FireGlow(inside, 70.0) * 0.6
    rgb = Light(albedo, n, occ, sh, glow, shine=0.05, shine_power=20.0, ambient=0.34, key=0.82)
    soot = Blur(((xx > kOpenX0) & (xx < kOpenX1) & (yy > kOpenY - 30)).astype(float), 14.0) * (1 - inside)
    rgb = rgb * (1.0 - 0.4 * soot * Smooth(330, 200, yy))[..., None]
    rgb = Vignette(rgb, yy, xx, 0.25)
    return rgb, solid
