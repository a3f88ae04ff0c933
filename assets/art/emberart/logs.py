"""The logs: bark-covered cylinders with cut ends, charred and glowing, on a bed of coals.

Each log is traced as a cylinder seen straight on (rays along +z) at twice the final
resolution, so silhouettes are anti-aliased by averaging. Bark, char and ember cracks
are textures laid out along and around each log.
"""

import numpy as np

from .common import Col, Noise, Picture, PixelGrid, Ramp, Rng, Scale, Smooth, Unit

kLogsX, kLogsY = 83, 435
kLogsW, kLogsH = 634, 165
kSuper = 2

# Logs, back to front: centre (screen x, y, depth z), axis direction, half length,
# radius, and a seed for its own bark.
kLogs = [
    ((404, 474, 90), (1.0, 0.015, 0.0), 330, 27, 11),
    ((400, 560, 20), (1.0, -0.02, 0.0), 330, 29, 12),
    ((340, 497, 30), (0.70, -0.15, 0.70), 175, 23, 13),
    ((468, 495, 40), (-0.68, -0.16, 0.72), 172, 24, 14),
]

kBark = Col(78, 56, 38)
kBarkRidge = Col(128, 100, 72)
kBarkDeep = Col(22, 15, 10)
kChar = Col(17, 15, 14)
kWoodLight = Col(196, 150, 98)
kWoodRing = Col(140, 96, 56)


def _EmberRamp(t):
    return Ramp(np.clip(t, 0, 1), [
        (0.0, Col(0, 0, 0)), (0.3, Col(120, 16, 2)), (0.6, Col(230, 70, 8)),
        (0.85, Col(255, 150, 40)), (1.0, Col(255, 214, 120))])


def _Cracks(h, w, rng, cell):
    """A net of thin lines (the cracks of charcoal) from the cells of random points."""
    ys, xs = PixelGrid(h, w)
    ys, xs = ys[:, :1] / cell, xs[:1, :] / cell
    gy, gx = int(np.ceil(h / cell)) + 2, int(np.ceil(w / cell)) + 2
    jitter = rng.uniform(0.1, 0.9, size=(gy, gx, 2))
    f1 = np.full((ys.shape[0], xs.shape[1]), 9.0)
    f2 = np.full(f1.shape, 9.0)
    iy0 = np.floor(ys).astype(int)
    ix0 = np.floor(xs).astype(int)
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            cy = np.clip(iy0 + dy, 0, gy - 1)
            cx = np.clip(ix0 + dx, 0, gx - 1)
            py = cy + jitter[cy, cx, 0]
            px = cx + jitter[cy, cx, 1]
            d = np.sqrt((ys - py) ** 2 + (xs - px) ** 2)
            f2 = np.where(d < f1, f1, np.minimum(f2, d))
            f1 = np.minimum(f1, d)
    return np.exp(-(((f2 - f1) * cell / 1.4) ** 2))


class _Log:
    def __init__(self, centre, axis, half, radius, seed):
        self.c = np.array(centre, dtype=np.float64) * np.array([kSuper, kSuper, kSuper])
        self.a = Unit(*axis)
        self.half = half * kSuper
        self.r = radius * kSuper
        rng = Rng(seed)
        # Bark texture around (columns, 256 = full turn) and along (rows) the log.
        rows = int(2 * self.half) + 8
        # Long fissures that meander along the log, broken by cross cracks into plates.
        meander = Noise(rows, 256, rng, 50, beta=2.4, detail=0.3, stretch=4.0)
        wob = Noise(rows, 256, rng, 12, beta=2.0, detail=0.6, stretch=3.0)
        theta = PixelGrid(1, 256)[1][:1] * (2 * np.pi / 256)
        fissure = np.abs(np.sin(0.5 * (theta * 22 + 2.2 * meander + 0.5 * wob)))
        cross = Noise(rows, 256, rng, 6, beta=2.0, detail=0.8, stretch=0.25)
        plate = Smooth(0.08, 0.45, fissure) * (1.0 - 0.55 * Smooth(1.2, 2.2, np.abs(cross)))
        self.bark = np.clip(plate * (0.85 + 0.15 * wob), 0, 1)
        self.char = Noise(rows, 256, rng, 60, beta=2.0, detail=0.4)
        self.cracks = _Cracks(rows, 256, rng, 11.0)
        self.glow = Noise(rows, 256, rng, 30, beta=2.0, detail=0.5)
        self.grain = Noise(256, 256, rng, 8, beta=2.0, detail=0.6)


def _Trace(log, xs, ys):
    """Depth, normal and texture coordinates of the ray hits on one log."""
    o = np.stack([xs, ys, np.full_like(xs, -1e4)], axis=-1)
    d = np.array([0.0, 0.0, 1.0])
    a = log.a
    q = o - log.c
    qa = q @ a
    da = d @ a
    qp = q - qa[..., None] * a
    dp = d - da * a
    A = dp @ dp
    B = 2.0 * (qp @ dp)
    C = (qp * qp).sum(-1) - log.r ** 2
    disc = B * B - 4 * A * C
    hit = disc >= 0
    s = (-B - np.sqrt(np.maximum(disc, 0))) / (2 * A)
    t = qa + s * da
    side = hit & (np.abs(t) <= log.half)
    depth = np.where(side, s, np.inf)
    kind = np.where(side, 1, 0)
    # The end that faces the viewer.
    end = -1.0 if da > 0 else 1.0
    nrm_cap = end * a
    pc = log.c + end * log.half * a
    sc = ((pc - o) @ nrm_cap) / (d @ nrm_cap)
    pcap = o + sc[..., None] * d
    rc = np.linalg.norm(pcap - pc, axis=-1)
    cap = (rc <= log.r) & (sc < depth)
    depth = np.where(cap, sc, depth)
    kind = np.where(cap, 2, kind)
    p = o + depth[..., None] * d
    tt = np.where(cap, end * log.half, t)
    radial = p - log.c - tt[..., None] * a
    rlen = np.linalg.norm(radial, axis=-1)
    n_side = radial / np.maximum(rlen, 1e-6)[..., None]
    n = np.where((kind == 2)[..., None], nrm_cap, n_side)
    # Angle around the axis, from a fixed frame.
    e1 = np.cross(a, [0.0, 0.0, 1.0])
    if np.linalg.norm(e1) < 1e-3:
        e1 = np.array([1.0, 0.0, 0.0])
    e1 /= np.linalg.norm(e1)
    e2 = np.cross(a, e1)
    ang = np.arctan2(radial @ e2, radial @ e1)
    return depth, kind, n, tt, ang, rlen / log.r


def _Sample(tex, rows_f, cols_f):
    k = Scale()
    r = np.clip((rows_f * k).astype(int), 0, tex.shape[0] - 1)
    c = (cols_f * k).astype(int) % tex.shape[1]
    return tex[r, c]


def MakeLogs(seed=1201):
    rng = Rng(seed)
    W, H = kLogsW * kSuper, kLogsH * kSuper
    ys, xs = PixelGrid(H, W)
    xs += kLogsX * kSuper + 0.5
    ys += kLogsY * kSuper + 0.5

    rgb = np.zeros(xs.shape + (3,))
    alpha = np.zeros(xs.shape)
    zbuf = np.full(xs.shape, np.inf)

    # Bed of coals under the logs: little domed lumps, glowing between crusts of ash.
    bed_x = (xs / kSuper - 400.0) / 250.0
    bed_y = (ys / kSuper - 604.0) / 36.0
    mound = 1.0 - bed_x ** 2 - np.maximum(-bed_y, 0) ** 1.5
    cell = 8.0 * kSuper
    lumps = _Cracks(H, W, rng, cell)
    fine = Noise(H, W, rng, 6 * kSuper, detail=0.5)
    heat = Noise(H, W, rng, 26 * kSuper, detail=0.4)
    crust = Noise(H, W, rng, 8 * kSuper, detail=0.6)
    bed = Smooth(0.0, 0.12, mound)
    glow = np.clip(0.35 + 0.4 * heat + 0.15 * fine - 0.5 * lumps, 0, 1) * Smooth(-0.1, 0.8, mound)
    ash = Smooth(0.2, 0.9, crust) * (1.0 - lumps)
    coal = _EmberRamp(glow)
    coal = coal * (1 - 0.75 * ash[..., None]) + Col(70, 62, 58) * (0.6 * ash * (0.4 + glow))[..., None]
    coal = coal * (1.0 - 0.6 * lumps[..., None])
    rgb[:] = coal
    alpha[:] = bed
    zbuf[bed > 0] = 200.0

    fill = Unit(-0.35, -0.55, -0.75)   # dim room light from the front
    rim = Unit(0.0, -0.75, 0.66)       # the flames behind and above
    under = Unit(0.0, 0.9, -0.1)       # the coals below

    for logShape in kLogs:
        log = _Log(*logShape)
        depth, kind, n, tt, ang, rr = _Trace(log, xs, ys)
        front = depth < zbuf
        if not front.any():
            continue
        rows = tt + log.half + 4
        cols = (ang / (2 * np.pi) + 0.5) * 256
        bark = _Sample(log.bark, rows, cols)
        charn = _Sample(log.char, rows, cols)
        crack = _Sample(log.cracks, rows, cols)
        glown = _Sample(log.glow, rows, cols)

        # Charring grows toward the underside and toward the log's middle.
        down = n[..., 1]
        along = np.abs(tt) / log.half
        charred = Smooth(-0.1, 0.7, down + 0.5 * charn - 0.3 * along)
        col = kBarkDeep + (kBark - kBarkDeep) * Smooth(0.1, 0.5, bark)[..., None]
        col = col + (kBarkRidge - kBark) * (Smooth(0.6, 1.0, bark) * (0.6 + 0.4 * charn))[..., None]
        charcol = kChar * (0.7 + 0.6 * bark[..., None])
        col = col * (1 - charred[..., None]) + charcol * charred[..., None]

        # Bump the normal with the bark relief.
        gb_t = np.gradient(log.bark, axis=0) * Scale()
        gb_a = np.gradient(log.bark, axis=1) * Scale()
        tang = np.cross(log.a, n)
        bump = (_Sample(gb_t, rows, cols)[..., None] * log.a
                + _Sample(gb_a, rows, cols)[..., None] * tang) * 1.8
        nb = n - bump * (kind == 1)[..., None]
        nb /= np.linalg.norm(nb, axis=-1, keepdims=True)

        # The cut end: rings of pale wood, a dark charred rim and the bark around it.
        endcap = kind == 2
        if endcap.any():
            rho = rr * log.r / kSuper
            wob = _Sample(log.grain, rho * 6, (ang / (2 * np.pi) + 0.5) * 256)
            ring = 0.5 + 0.5 * np.sin(2 * np.pi * rho / 2.6 + 1.2 * wob)
            wood = kWoodLight + (kWoodRing - kWoodLight) * (0.35 * ring + 0.25 * Smooth(0.3, 0.0, rr))[..., None]
            split = np.abs(np.sin(3.0 * ang + 0.7 * wob)) < 0.025 + 0.02 * rr
            wood = np.where((split & (rr > 0.15))[..., None], wood * 0.35, wood)
            rimdark = Smooth(0.62, 0.9, rr + 0.08 * wob)
            wood = wood * (1 - rimdark[..., None]) + kChar * rimdark[..., None]
            barkring = rr > 0.93
            wood = np.where(barkring[..., None], kBarkDeep, wood)
            col = np.where(endcap[..., None], wood * 1.5, col)

        limb = np.clip(-n[..., 2], 0, 1) ** 0.5
        lit = (0.66 * (np.clip(nb @ fill, 0, 1) ** 1.4 * limb)[..., None] * Col(255, 205, 160)
               + 2.0 * np.clip(nb @ rim, 0, 1)[..., None] ** 2.0 * Col(255, 165, 70)
               + 0.8 * np.clip(nb @ under, 0, 1)[..., None] ** 1.5 * Col(255, 100, 35)
               + 0.05)
        # Hollows of the bark hold shadow.
        lit = lit * (0.35 + 0.65 * Smooth(0.05, 0.6, bark))[..., None]
        # Logs further back sit in the shadow of those in front.
        shaded = col * lit * (1.0 - 0.35 * Smooth(20.0, 90.0, logShape[0][2]))
        # Ember light in the cracks of the char, brightest underneath.
        hot = charred * crack * Smooth(0.0, 0.9, down + 0.4 * glown) * (1 - endcap)
        hot = np.clip(hot * (0.6 + 0.5 * glown), 0, 1)
        rimhot = endcap * Smooth(0.75, 0.9, rr) * Smooth(0.99, 0.92, rr) * Smooth(-0.2, 0.6, glown + 0.3)
        shaded = shaded + _EmberRamp(np.maximum(hot, 0.8 * rimhot)) * 1.1
        rgb = np.where(front[..., None], shaded, rgb)
        alpha = np.where(front, 1.0, alpha)
        zbuf = np.where(front, depth, zbuf)

    rgb = np.clip(rgb, 0, 1)
    # Average the samples down to the final resolution (colour weighted by coverage).
    def Down(a):
        k = Scale()
        return a.reshape(kLogsH * k, kSuper, kLogsW * k, kSuper, *a.shape[2:]).mean(axis=(1, 3))
    a = Down(alpha)
    c = Down(rgb * alpha[..., None]) / np.maximum(a, 1e-6)[..., None]
    return Picture(c, a)
