"""The separate mantles of styles 3 to 6: timber beams for the rock surrounds and a
dressed stone slab for the flat stone one, each casting a soft shadow on the wall."""

import numpy as np

from .common import Blur, Col, Noise, Normals, Picture, PixelGrid, Rng, Scale, Smooth, Unit
from .surround_common import kKeyLight

kShadow = 9

# Per style: size, colours of the wood or stone, and how rough the surface is.
kMantles = {
    3: dict(size=(638, 66), wood=True, light=Col(196, 146, 92), dark=Col(130, 84, 46), rough=0.4, seed=31),
    4: dict(size=(644, 60), wood=True, light=Col(110, 72, 46), dark=Col(58, 36, 22), rough=0.5, seed=41),
    5: dict(size=(610, 58), wood=False, light=Col(200, 182, 150), dark=Col(160, 140, 112), rough=0.3, seed=51),
    6: dict(size=(636, 66), wood=True, light=Col(126, 106, 84), dark=Col(70, 56, 44), rough=1.0, seed=61),
}


def MakeMantle(style):
    mantle = kMantles[style]
    w, h = mantle["size"]
    rng = Rng(mantle["seed"])
    bh = h - kShadow
    yy, xx = PixelGrid(h, w)
    rough = mantle["rough"]

    # Outline: a beam with slightly irregular, hewn edges (rounder for stone).
    wob_top = Noise(1, w, rng, 40, detail=0.5)[0] * 0.8 * rough
    wob_bot = Noise(1, w, rng, 40, detail=0.5)[0] * 1.2 * rough
    aa = 0.6 / Scale()
    body = (Smooth(-aa, aa, yy - 0.0 - np.abs(wob_top)[None, :])
            * Smooth(aa, -aa, yy - (bh - 1.0) + np.abs(wob_bot)[None, :])
            * Smooth(-aa, aa, xx - 1.0) * Smooth(aa, -aa, xx - (w - 2.0)))
    # Height across the face: rounded arrises and, for old timber, adze scallops.
    ey = np.minimum(yy, bh - 1 - yy)
    ex = np.minimum(xx - 1, w - 2 - xx)
    arris = 7.0 if mantle["wood"] else 4.0
    H = 10.0 * np.sqrt(np.clip(np.minimum(ey, ex) / arris, 0, 1))
    if mantle["wood"]:
        # Flat-sawn grain: long streaks and rings that wander along the beam.
        drift = Noise(h, w, rng, 90, detail=0.4, stretch=0.15)
        streak = Noise(h, w, rng, 30, detail=0.6, stretch=0.06)
        rings = 0.5 + 0.5 * np.sin((yy + 10.0 * drift + 2.0 * streak) * (2 * np.pi / 9.0))
        rings = rings ** 2.5
        for _ in range(3 if rough < 0.9 else 5):
            kx, ky = rng.uniform(60, w - 60), rng.uniform(bh * 0.3, bh * 0.7)
            r = np.hypot((xx - kx) / 3.0, yy - ky)
            swirl = np.exp(-(r / 7.0) ** 2)
            rings = rings * (1 - swirl) + (0.5 + 0.5 * np.sin(r * 1.3)) * swirl
            H -= 1.0 * np.exp(-(r / 2.5) ** 2)
        crack = Noise(h, w, rng, 40, detail=0.4, stretch=0.05)
        checks = np.exp(-((crack / 0.02) ** 2)) * Smooth(0.6, 1.4, Noise(h, w, rng, 120, detail=0.3))
        checks *= 0.4 + 0.6 * rough
        H -= 2.5 * checks
        if rough > 0.9:
            adze = Noise(1, w, rng, 30, detail=0.3)[0][None, :]
            H += 1.1 * np.cos(xx * (2 * np.pi / 38.0) + 2.0 * adze + 0.02 * yy)
        tone = 0.45 + 0.4 * (1 - rings) + 0.12 * streak
        albedo = mantle["dark"] + (mantle["light"] - mantle["dark"]) * np.clip(tone, 0, 1.1)[..., None]
        albedo = albedo * (1.0 - 0.7 * checks[..., None])
        if rough > 0.9:
            grey = Smooth(-0.5, 1.5, Noise(h, w, rng, 50, detail=0.5))
            albedo = albedo * (1 - 0.3 * grey[..., None]) + Col(118, 112, 104) * (0.3 * grey)[..., None]
        spec_amt = 0.10 if rough < 0.9 else 0.03
    else:
        chisel = Noise(h, w, rng, 2, detail=0.9) * 0.1 + Noise(h, w, rng, 40, detail=0.3, stretch=0.2) * 0.25
        strata = Noise(h, w, rng, 25, detail=0.5, stretch=0.15)
        H += chisel
        albedo = mantle["dark"] + (mantle["light"] - mantle["dark"]) * np.clip(0.6 + 0.25 * strata + 0.1 * chisel, 0, 1)[..., None]
        spec_amt = 0.04
    # The underside is seen a little from below: a darker band along the bottom.
    under = Smooth(bh - 7.0, bh - 3.0, yy)
    H = Blur(H, 0.6)
    n = Normals(H, 1.0)
    lam = np.clip(np.tensordot(n, kKeyLight, axes=([-1], [0])), 0, 1)
    light = 0.38 + 0.8 * lam
    fire = Col(255, 140, 60) * (0.10 * Smooth(0, bh, yy))[..., None]
    half = kKeyLight + np.array([0, 0, 1.0])
    half /= np.linalg.norm(half)
    sp = np.clip(np.tensordot(n, half, axes=([-1], [0])), 0, 1) ** 24 * spec_amt
    rgb = albedo * (light * (1 - 0.45 * under))[..., None] * Col(246, 232, 214) + fire + sp[..., None]
    # Ends fall into the room's shade a little.
    rgb *= (0.82 + 0.18 * Smooth(0, 60, np.minimum(xx, w - 1 - xx)))[..., None]

    # Its soft shadow on the wall below and to the right.
    k = Scale()
    shadow = np.roll(np.roll(body, 5 * k, axis=0), 3 * k, axis=1)
    shadow[: 5 * k] = 0
    shadow = Blur(shadow, 3.0) * 0.6
    alpha = body + shadow * (1 - body)
    out = (rgb * body[..., None]) / np.maximum(alpha, 1e-6)[..., None]
    return Picture(np.clip(out, 0, 1), np.clip(alpha, 0, 1))
