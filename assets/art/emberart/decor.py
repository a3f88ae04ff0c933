"""Andirons and the Christmas decorations: stockings, bells and poinsettias."""

import numpy as np
from PIL import ImageDraw

from .common import Blur, Col, MaskFrom, Noise, Normals, Rng, Smooth
from .shapes import Brass, Canvas, Diffuse, Lathe, Leaf, Puffy, Tube, kRoomLight

kAndironSize = (170, 308)
kStockingSize = (104, 178)
kBellSize = (82, 134)
kPoinRSize = (160, 160)
kPoinLSize = (150, 150)


def _Profile(parts, top, bottom):
    """Radii for each row from a list of (row, radius) knots, smoothed a little."""
    rows = np.arange(top, bottom, dtype=np.float64)
    ys = np.array([p[0] for p in parts], dtype=np.float64)
    rs = np.array([p[1] for p in parts], dtype=np.float64)
    r = np.interp(rows, ys, rs)
    k = np.exp(-0.5 * (np.arange(-3, 4) / 1.2) ** 2)
    k /= k.sum()
    return np.convolve(np.pad(r, 3, mode="edge"), k, mode="valid")


def _Sphere(rows_r, cy, r, top):
    """Adds a ball (centre row cy, radius r) to a radius profile starting at `top`."""
    rows = np.arange(len(rows_r)) + top
    ball = np.sqrt(np.clip(r * r - (rows - cy) ** 2, 0, None))
    return np.maximum(rows_r, ball)


def MakeAndiron(right):
    """A brass andiron: ball finial on a turned column, curved legs with ball feet,
    and its iron log bar running back into the firebox."""
    w, h = kAndironSize
    cv = Canvas(w, h, ss=2)
    cx = 70.0 if right else 100.0
    inward = -1.0 if right else 1.0
    fire_side = inward

    # The log bar, going back toward the middle of the firebox, and its rear foot.
    bx0, by0 = cx, 262.0
    bx1, by1 = cx + inward * 62.0, 226.0
    cov, n = Tube(cv, [(bx0, by0, 6.0), (bx1, by1, 5.0)], 1.0)
    iron = Brass(n, tint=Col(120, 110, 104), fire_side=fire_side, dark=True)
    cv.Draw(iron * 0.8, cov)
    cov, n = Tube(cv, [(bx1, by1, 4.5), (bx1 - inward * 2, by1 + 18, 4.0)], 1.0)
    cv.Draw(Brass(n, tint=Col(120, 110, 104), fire_side=fire_side, dark=True) * 0.6, cov)

    # Legs: two curving rods from the plinth out to ball feet.
    for side in (-1.0, 1.0):
        pts = [(cx + side * 6, 256.0, 6.0), (cx + side * 20, 268.0, 5.5),
               (cx + side * 33, 282.0, 5.0), (cx + side * 40, 294.0, 4.5)]
        cov, n = Tube(cv, pts, 1.0)
        cv.Draw(Brass(n, fire_side=fire_side) * 0.92, cov)
        cov, n = Lathe(cv, cx + side * 41, 288.0, _Sphere(np.zeros(20), 297.0, 7.5, 288.0))
        cv.Draw(Brass(n, fire_side=fire_side), cov)

    prof = _Profile([(40, 0), (41, 3), (47, 4.5), (50, 3), (52, 4)] + [(95, 5), (97, 6), (101, 6),
                     (103, 12), (109, 12), (111, 8), (146, 9), (148, 13), (153, 13), (155, 9),
                     (188, 10), (196, 15), (212, 19.5), (226, 16), (234, 10), (237, 15),
                     (244, 15), (246, 18), (257, 18), (258, 0)], 40, 262)
    prof = _Sphere(prof, 73.0, 21.5, 40.0)
    cov, n = Lathe(cv, cx, 40.0, prof)
    cv.Draw(Brass(n, fire_side=fire_side), cov)
    return cv.Result()


def MakeStocking():
    """A red velvet stocking with a white fur cuff, snowflakes and a hanging loop."""
    w, h = kStockingSize
    rng = Rng(501)
    cv = Canvas(w, h, ss=2)
    ss = 2

    def Body(d, s):
        pts = [(20, 44), (80, 44), (80, 112), (84, 124), (96, 134), (102, 146), (100, 160),
               (92, 170), (76, 174), (56, 172), (38, 166), (28, 156), (20, 140), (18, 120)]
        d.polygon([(x * s, y * s) for x, y in pts], fill=255)
        d.ellipse([72 * s, 140 * s, 102 * s, 174 * s], fill=255)
        d.ellipse([18 * s, 126 * s, 58 * s, 174 * s], fill=255)
    body = MaskFrom((w * ss, h * ss), lambda d, s: Body(d, s * ss), ss=2)
    body = Blur(body, 1.2 * ss)
    body = Smooth(0.35, 0.65, body)
    Hb = Puffy(body, 9 * ss) * 14.0
    folds = np.sin(cv.xx * 0.42 + 1.6 * Noise(h * ss, w * ss, rng, 30, detail=0.3)) * Smooth(150, 60, cv.yy)
    Hb = Hb + 1.3 * folds * body
    nrm = Normals(Blur(Hb, 1.0 * ss), 0.5)
    lit = Diffuse(nrm, 0.3, 0.9)
    velvet = 0.25 * (1 - nrm[..., 2]) ** 2
    red = Col(176, 16, 24) * (1.0 + 0.05 * Noise(h * ss, w * ss, rng, 1.5, detail=1.0))[..., None]
    col = red * lit[..., None] + velvet[..., None] * Col(255, 90, 90)
    # Heel and toe patches of darker red knit.
    patch = (np.hypot((cv.xx - 88) / 14, (cv.yy - 158) / 14) < 1) | (np.hypot((cv.xx - 26) / 12, (cv.yy - 154) / 16) < 1)
    col = np.where(patch[..., None], col * 0.9, col)
    # White snowflakes.
    for fx, fy, fr in ((50, 78, 9), (36, 112, 6), (64, 134, 7), (62, 100, 4)):
        dx, dy = cv.xx - fx, cv.yy - fy
        r = np.hypot(dx, dy)
        a = np.arctan2(dy, dx)
        arm = (np.abs(np.sin(3 * a)) * r < 0.9) & (r < fr)
        twig = (np.abs(np.sin(3 * a + 0.5)) * r < 0.7) & (r > fr * 0.45) & (r < fr * 0.8)
        flake = (arm | twig).astype(float)
        flake = Blur(flake, 0.6 * ss)
        col = col * (1 - 0.85 * flake[..., None]) + Col(250, 246, 240) * (0.85 * flake * lit)[..., None]
    cv.Draw(col, body)
    cv.Shadow(body, 0, 0, 0.1, 0)

    # The loop it hangs by.
    cov, n = Tube(cv, [(70, 2, 2.2), (78, 0, 2.2), (84, 6, 2.2), (80, 20, 2.2)], 1.0)
    cv.Draw(Col(200, 24, 30) * Diffuse(n, 0.3, 0.8)[..., None], cov)

    # Fur cuff.
    fur_n = Noise(h * ss, w * ss, rng, 2.0 * ss, detail=1.0)
    edge = Noise(h * ss, w * ss, rng, 3.0 * ss, detail=0.8)

    def Cuff(d, s):
        d.rounded_rectangle([8 * s, 12 * s, 90 * s, 50 * s], radius=12 * s, fill=255)
    cuff = MaskFrom((w * ss, h * ss), lambda d, s: Cuff(d, s * ss), ss=2)
    cuff = Smooth(0.3, 0.7, Blur(cuff, 1.5 * ss) + 0.12 * edge)
    cv.Shadow(cuff, 0, 3, 2.5, 0.45)
    Hc = Puffy(cuff, 8 * ss) * 10.0 + 0.8 * fur_n
    nc = Normals(Blur(Hc, 0.8 * ss), 0.6)
    white = Col(246, 242, 236) * (Diffuse(nc, 0.42, 0.7) * (0.92 + 0.08 * fur_n))[..., None]
    cv.Draw(white, cuff)
    return cv.Result()


def _Bow(cv, cx, cy, scale):
    """A red satin bow with two loops and two tails."""
    red = Col(190, 18, 28)
    for side in (-1.0, 1.0):
        tail = [(cx, cy, 3.4 * scale), (cx + side * 7 * scale, cy + 14 * scale, 3.2 * scale),
                (cx + side * 9 * scale, cy + 26 * scale, 3.0 * scale)]
        cov, n = Tube(cv, tail, 1.0)
        cv.Draw(red * Diffuse(n, 0.35, 0.8)[..., None] * 0.9, cov)
    for side in (-1.0, 1.0):
        cov, v, along, n = Leaf(cv, (cx, cy), (cx + side * 19 * scale, cy - 6 * scale), 7.5 * scale)
        sheen = 0.35 * np.exp(-((v - 0.2) / 0.25) ** 2)
        cv.Draw(red * Diffuse(n, 0.35, 0.8)[..., None] + sheen[..., None] * Col(255, 140, 140), cov)
    cov, n = Lathe(cv, cx, cy - 5 * scale, _Sphere(np.zeros(int(12 * scale)), cy, 4.5 * scale, cy - 5 * scale))
    cv.Draw(red * Diffuse(n, 0.4, 0.8)[..., None], cov)


def _Holly(cv, base, angle, length, rng):
    tip = (base[0] + length * np.cos(angle), base[1] + length * np.sin(angle))
    cov, v, along, n = Leaf(cv, base, tip, length * 0.26, serrate=1.6, lobes=0.18,
                            seed_phase=rng.uniform(0, 6))
    vein = np.exp(-((v / 0.06) ** 2)) * 0.4
    g = Col(24, 92, 40) * Diffuse(n, 0.35, 0.9)[..., None] + vein[..., None] * Col(120, 170, 90)
    cv.Draw(g, cov)


def _Berries(cv, pts):
    for x, y, r in pts:
        cov, n = Lathe(cv, x, y - r, _Sphere(np.zeros(int(2 * r + 2)), y, r, y - r))
        c = Col(200, 14, 20) * Diffuse(n, 0.3, 0.9)[..., None]
        half = kRoomLight + np.array([0, 0, 1.0])
        half /= np.linalg.norm(half)
        c = c + (np.clip(n @ half, 0, 1) ** 40)[..., None] * 0.8
        cv.Draw(c, cov)


def MakeBells(mirror):
    """Two brass bells on red ribbons under a bow, with holly and berries."""
    w, h = kBellSize
    rng = Rng(601)
    cv = Canvas(w, h, ss=2)
    bell = _Profile([(0, 3), (2, 9), (6, 13.5), (14, 15), (26, 16.5), (34, 19.5), (40, 24),
                     (43, 26.5), (45, 26), (46, 0)], 0, 47)
    bells = [(30.0, 62.0, 0.16), (56.0, 78.0, -0.14)]
    if mirror:
        bells = [(w - x, y, -a) for x, y, a in bells]
    bow_x = w - 40.0 if mirror else 40.0
    for x, y, a in bells:
        cov, n = Tube(cv, [(bow_x, 22.0, 2.0), (x + np.sin(a) * 2, y - 2, 2.0)], 1.0)
        cv.Draw(Col(180, 16, 26) * Diffuse(n, 0.35, 0.8)[..., None], cov)
    for i, (x, y, a) in enumerate(bells):
        # Clapper, seen under the lip.
        cx = x - np.sin(a) * 46
        cov, n = Lathe(cv, cx, y + 42, _Sphere(np.zeros(14), y + 48, 5.5, y + 42))
        cv.Draw(Brass(n, tint=Col(140, 110, 60), dark=True), cov)
        cov, n = Lathe(cv, x, y, bell, angle=a, pivot=(x, y))
        inner = Smooth(40, 46, cv.yy - y + 0 * cv.xx)
        c = Brass(n, fire_side=0.3 if mirror else -0.3)
        cv.Draw(c, cov)
        # A dark slot across the bell's lower part.
        slot = np.exp(-(((cv.yy - (y + 36)) + np.sin(a) * (cv.xx - x)) / 1.3) ** 2) * Smooth(13, 10, np.abs(cv.xx - x))
        cv.rgb = cv.rgb * (1 - 0.6 * (slot * cov)[..., None])
        _ = inner
    # Holly sprig at the bow.
    sx = w - 40 if mirror else 40
    _Holly(cv, (sx, 24), np.pi * 0.92, 30, rng)
    _Holly(cv, (sx, 24), np.pi * 0.08, 30, rng)
    _Holly(cv, (sx, 22), -np.pi * 0.5 + 0.3, 24, rng)
    _Bow(cv, sx, 22, 1.0)
    _Berries(cv, [(sx - 4, 30, 4.0), (sx + 4, 31, 3.8), (sx, 35, 3.6)])
    return cv.Result()


def MakePoinsettia(size, seed, flip):
    """A potted poinsettia: red bracts in whorls over dark green leaves, yellow
    flowers at the heart, in a gold-foiled pot."""
    w, h = size
    rng = Rng(seed)
    cv = Canvas(w, h, ss=2)
    cx, cy = w * (0.38 if flip else 0.62), h * 0.46

    # Pot, wrapped in gold foil with a crinkled top edge.
    top, bot = h - 46.0, h + 4.0
    rows = np.arange(int(top), int(bot) + 1, dtype=np.float64)
    pot = 30.0 + (rows - top) * -0.12
    cov, n = Lathe(cv, cx, top, pot)
    crinkle = Noise(h * 2, w * 2, rng, 9.0, detail=0.5)
    n2 = n.copy()
    n2[..., 0] += 0.3 * crinkle
    n2[..., 1] += 0.3 * Noise(h * 2, w * 2, rng, 9.0, detail=0.5)
    n2 /= np.linalg.norm(n2, axis=-1, keepdims=True)
    cv.Draw(Brass(n2, tint=Col(236, 190, 96)), cov)

    def Whorl(count, length, width, colour, offset, lift, dark):
        for i in range(count):
            ang = offset + i * 2 * np.pi / count + rng.uniform(-0.2, 0.2)
            L = length * rng.uniform(0.85, 1.12)
            bx, by = cx + 3 * np.cos(ang), cy + 3 * np.sin(ang) * 0.8
            tx = cx + L * np.cos(ang)
            ty = cy + L * np.sin(ang) * 0.78 - lift
            cov, v, along, n = Leaf(cv, (bx, by), (tx, ty), width * rng.uniform(0.85, 1.1),
                                    curl=rng.uniform(-0.12, 0.12))
            vein = np.exp(-((v / 0.05) ** 2)) * Smooth(0.95, 0.1, along)
            side = np.exp(-(((np.abs(v) - along * 0.9 - 0.05) % 0.28 - 0.14) / 0.03) ** 2) * (np.abs(v) < 0.85)
            shade = Diffuse(n, 0.32, 0.85)
            c = colour * shade[..., None] * (1 - 0.28 * vein - 0.12 * side)[..., None]
            c = c * (1.0 - dark * Smooth(0.5, 0.0, along))[..., None]
            cv.Shadow(cov, 1, 2, 2.0, 0.25)
            cv.Draw(c, cov)

    Whorl(7, 60, 13, Col(36, 96, 44), 0.2, 4, 0.3)
    Whorl(7, 56, 14, Col(196, 20, 30), 0.65, 2, 0.25)
    Whorl(6, 38, 11, Col(214, 28, 36), 0.1, 4, 0.2)
    Whorl(5, 22, 8, Col(226, 40, 44), 0.9, 4, 0.15)
    # Yellow cyathia at the heart.
    pts = []
    for i in range(9):
        a = rng.uniform(0, 2 * np.pi)
        r = rng.uniform(0, 7)
        pts.append((cx + r * np.cos(a), cy - 3 + r * np.sin(a) * 0.8, rng.uniform(2.2, 3.0)))
    for x, y, r in pts:
        cov, n = Lathe(cv, x, y - r, _Sphere(np.zeros(int(2 * r + 2)), y, r, y - r))
        c = Col(214, 196, 60) * Diffuse(n, 0.35, 0.8)[..., None]
        cv.Draw(c, cov)
        cov2, n2 = Lathe(cv, x, y - r * 0.4, _Sphere(np.zeros(4), y - r * 0.1, r * 0.35, y - r * 0.4))
        cv.Draw(Col(200, 40, 30) * np.ones_like(cv.rgb), cov2 * 0.8)
    return cv.Result()
