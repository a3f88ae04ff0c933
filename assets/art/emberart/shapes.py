"""Drawing helpers for the decorations: turned metal (lathe) shapes, tubes, leaves,
puffy cloth, and colour layers that build a picture back to front."""

import numpy as np

from .common import Blur, Col, Scale, Smooth, Unit

kRoomLight = Unit(-0.45, -0.62, 0.64)


class Canvas:
    """A picture built from layers drawn back to front (straight colour, coverage)."""

    def __init__(self, w, h, ss=1):
        # Supersampled `ss` times over the painting's own scale.
        self.ss = ss
        self.k = ss * Scale()
        self.w, self.h = w * self.k, h * self.k
        self.rgb = np.zeros((self.h, self.w, 3))
        self.alpha = np.zeros((self.h, self.w))
        yy, xx = np.mgrid[0 : self.h, 0 : self.w].astype(np.float64)
        self.yy = (yy + 0.5) / self.k
        self.xx = (xx + 0.5) / self.k

    def Draw(self, rgb, cover):
        cover = np.clip(cover, 0, 1)
        a = cover[..., None]
        out_a = cover + self.alpha * (1 - cover)
        self.rgb = (rgb * a + self.rgb * (self.alpha * (1 - cover))[..., None]) / np.maximum(out_a, 1e-6)[..., None]
        self.alpha = out_a

    def Shadow(self, cover, dx, dy, blur, strength):
        """A soft shadow cast by a shape onto what is already drawn (not onto air)."""
        s = np.roll(np.roll(cover, int(dy * self.k), axis=0), int(dx * self.k), axis=1)
        s = Blur(s, blur * self.ss) * strength
        self.rgb = self.rgb * (1 - s * self.alpha)[..., None]

    def Result(self):
        from .common import Picture
        if self.ss == 1:
            return Picture(np.clip(self.rgb, 0, 1), np.clip(self.alpha, 0, 1))
        s = self.ss
        h, w = self.h // s, self.w // s

        def Down(a):
            return a.reshape(h, s, w, s, *a.shape[2:]).mean(axis=(1, 3))
        a = Down(self.alpha)
        c = Down(self.rgb * self.alpha[..., None]) / np.maximum(a, 1e-6)[..., None]
        return Picture(np.clip(c, 0, 1), np.clip(a, 0, 1))


def Brass(n, tint=Col(232, 178, 84), fire_side=0.0, dark=False):
    """Polished metal lit by the room and mirroring the fire behind it: `n` normals.
    `fire_side` (-1..1) says on which side the fire lies (+1: to the right)."""
    d = np.array([0.0, 0.0, -1.0])
    r = d - 2.0 * (n @ d)[..., None] * n
    ry, rz, rx = r[..., 1], r[..., 2], r[..., 0]
    room = 0.16 + 0.45 * Smooth(0.1, -0.9, ry) * Smooth(-0.4, 0.6, rz)
    fire = Smooth(0.1, -0.7, rz) * Smooth(0.6, -0.1, np.abs(ry))
    fire *= 1.0 + 0.6 * fire_side * rx
    env = room[..., None] * Col(210, 200, 190) + (1.7 * np.clip(fire, 0, None))[..., None] * Col(255, 140, 50)
    lam = np.clip(n @ kRoomLight, 0, 1)
    half = kRoomLight + np.array([0, 0, 1.0])
    half /= np.linalg.norm(half)
    shine = np.clip(n @ half, 0, 1) ** 60
    base = env * tint + (0.25 * lam)[..., None] * tint
    if dark:
        base = base * 0.35
    return np.clip(base + (0.9 * shine)[..., None] * Col(255, 240, 210), 0, 1)


def Lathe(cv, cx, top, radii, angle=0.0, pivot=None):
    """A turned, round shape standing on the vertical axis x = cx (rotated by `angle`
    radians about `pivot`): `radii` gives its radius for each row below `top`, in
    pixels. Returns (coverage, normals)."""
    xx, yy = cv.xx, cv.yy
    if angle:
        px, py = pivot
        c, s = np.cos(angle), np.sin(angle)
        lx = c * (xx - px) + s * (yy - py) + px
        ly = -s * (xx - px) + c * (yy - py) + py
    else:
        lx, ly = xx, yy
    rows = np.arange(len(radii), dtype=np.float64) + top
    r = np.interp(ly, rows, radii, left=0.0, right=0.0)
    dr = np.interp(ly, rows, np.gradient(np.asarray(radii, dtype=np.float64)), left=0.0, right=0.0)
    dx = lx - cx
    u = np.clip(dx / np.maximum(r, 1e-3), -1, 1)
    aa = 0.7 / Scale()
    cover = Smooth(aa, -aa, np.abs(dx) - r) * (r > 0.3)
    nz = np.sqrt(np.clip(1 - u * u, 0, 1))
    n = np.stack([u, -dr * nz, nz], axis=-1)
    n /= np.linalg.norm(n, axis=-1, keepdims=True)
    if angle:
        nx, ny = n[..., 0].copy(), n[..., 1].copy()
        n[..., 0] = c * nx - s * ny
        n[..., 1] = s * nx + c * ny
    return cover, n


def Tube(cv, points, radius):
    """A round rod along a polyline of (x, y) points: coverage and normals."""
    xx, yy = cv.xx, cv.yy
    best = np.full(xx.shape, 1e9)
    nx = np.zeros(xx.shape)
    ny = np.zeros(xx.shape)
    rad = np.zeros(xx.shape)
    for (x0, y0, r0), (x1, y1, r1) in zip(points[:-1], points[1:]):
        vx, vy = x1 - x0, y1 - y0
        L2 = vx * vx + vy * vy
        t = np.clip(((xx - x0) * vx + (yy - y0) * vy) / L2, 0, 1)
        qx, qy = x0 + t * vx, y0 + t * vy
        d = np.hypot(xx - qx, yy - qy)
        rr = r0 + (r1 - r0) * t
        closer = d - rr < best
        best = np.where(closer, d - rr, best)
        nx = np.where(closer, (xx - qx), nx)
        ny = np.where(closer, (yy - qy), ny)
        rad = np.where(closer, rr, rad)
    cover = Smooth(0.7 / Scale(), -0.7 / Scale(), best)
    ux = nx / np.maximum(rad, 1e-3)
    uy = ny / np.maximum(rad, 1e-3)
    nz = np.sqrt(np.clip(1 - ux * ux - uy * uy, 0, 1))
    n = np.stack([ux, uy, nz], axis=-1)
    n /= np.maximum(np.linalg.norm(n, axis=-1, keepdims=True), 1e-6)
    return cover, n


def Leaf(cv, base, tip, width, curl=0.0, serrate=0.0, lobes=0.0, seed_phase=0.0):
    """A pointed leaf from `base` to `tip` of the given half width: coverage, the
    distance across from the midrib (-1..1), the distance along (0..1), and normals."""
    xx, yy = cv.xx, cv.yy
    bx, by = base
    tx, ty = tip
    L = np.hypot(tx - bx, ty - by)
    ax, ay = (tx - bx) / L, (ty - by) / L
    along = ((xx - bx) * ax + (yy - by) * ay) / L
    across = (-(xx - bx) * ay + (yy - by) * ax)
    # A gentle bend of the whole leaf.
    across = across - curl * L * (along * (1 - along)) * 1.2
    t = np.clip(along, 0, 1)
    prof = width * np.sin(np.pi * t ** 0.75) ** 0.9
    prof *= 1.0 + lobes * np.sin(t * np.pi * 3 + seed_phase) * t
    prof += serrate * np.abs(np.sin(t * 40.0 + seed_phase))
    v = across / np.maximum(prof, 1e-3)
    aa = 0.8 / Scale()
    cover = Smooth(aa, -aa, np.abs(across) - prof) * Smooth(-0.02, 0.02, along) * Smooth(1.01, 0.99, along)
    # The leaf's halves tilt away from the midrib.
    tilt = 0.55 * np.sign(v) * np.minimum(np.abs(v), 1) ** 0.7
    nx = -ay * tilt
    ny = ax * tilt
    n = np.stack([nx, ny, np.ones_like(nx)], axis=-1)
    n /= np.linalg.norm(n, axis=-1, keepdims=True)
    return cover, v, along, n


def Puffy(mask, sigma):
    """A rounded height field for a flat shape, like a cushion."""
    return np.sqrt(np.clip(Blur(mask, sigma), 0, 1)) * mask


def Diffuse(n, ambient=0.35, key=0.85):
    return ambient + key * np.clip(n @ kRoomLight, 0, 1)
