"""Shared tools for painting the scene: noise, blurs, shading, masks and bitmap files.

Every picture is painted as float arrays in linear 0..1 values: colour (h, w, 3) and
alpha (h, w). Randomness always comes from a numpy Generator seeded by the caller, so
the same sources give the same bytes.

Pictures can be painted at a whole-number scale (SetScale): sizes, distances, blurs
and noise features are always given in scene pixels, and the arrays come out that many
times wider and taller. A noise field draws the same random numbers at every scale,
so a picture painted twice as large shows the same shapes with finer detail.
"""

import struct

import numpy as np
from PIL import Image, ImageDraw


def Rng(seed):
    return np.random.default_rng(seed)


_scale = [1]


def SetScale(scale):
    """Paints everything that follows at `scale` pixels per scene pixel."""
    _scale[0] = int(scale)


def Scale():
    return _scale[0]


def PixelGrid(h, w):
    """Scene coordinates (y, x) of the pixel centres of an h x w (scene pixels) picture
    painted at the current scale; at scale 1 these are the pixels' own indices."""
    s = _scale[0]
    yy, xx = np.mgrid[0 : h * s, 0 : w * s].astype(np.float64)
    return (yy + 0.5) / s - 0.5, (xx + 0.5) / s - 0.5


def Noise(h, w, rng, size, beta=2.0, detail=1.0, stretch=1.0):
    """Smooth fractal noise with features about `size` pixels across, mean 0, std 1.

    Made by shaping white noise in the frequency domain, so it tiles in both
    directions (period h and w). `beta` sets how fast finer detail fades and `detail`
    (0..1) how much detail below `size` is kept. A `stretch` above 1 makes the
    features that many times taller than wide.

    Sizes are in scene pixels; at a larger scale the same field is sampled finer, and
    the detail too fine for one scene pixel is added from its own random numbers.
    """
    white = rng.standard_normal((h, w))
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.rfftfreq(w)[None, :]
    f0 = 1.0 / max(size, 1.0)

    def Amp(fy, fx):
        f = np.sqrt(fx * fx + (fy * stretch) ** 2)
        a = 1.0 / (1.0 + (f / f0) ** beta)
        a *= np.exp(-((f / (f0 * (2.0 + 14.0 * detail))) ** 2))
        a[0, 0] = 0.0
        return a

    spectrum = np.fft.rfft2(white) * Amp(fy, fx)
    base = np.fft.irfft2(spectrum, s=(h, w))
    std = base.std() + 1e-12
    s = _scale[0]
    if s == 1:
        return (base - base.mean()) / std
    near = lambda f: max(Amp(np.array([[0.0, f * stretch]]).T, np.array([[0.0, f]]))[1, 1],
                         Amp(np.array([[0.0]]), np.array([[0.0, f]]))[0, 1],
                         Amp(np.array([[0.0, f]]).T, np.array([[0.0]]))[1, 0])
    if near(0.25) < 0.01:
        # A smooth field: interpolating it is as good as sampling it finer (the
        # periodic padding keeps it tiling).
        pad = 3
        tiled = np.pad(base / std, pad, mode="wrap").astype(np.float32)
        img = Image.fromarray(tiled, mode="F").resize(((w + 2 * pad) * s, (h + 2 * pad) * s), Image.BICUBIC)
        return np.asarray(img, dtype=np.float64)[pad * s : (pad + h) * s, pad * s : (pad + w) * s]
    # The same field on a grid s times finer: its spectrum, padded with zeros...
    H, W = h * s, w * s
    big = np.zeros((H, W // 2 + 1), dtype=complex)
    ny, nx = (h - 1) // 2, (w - 1) // 2
    big[: ny + 1, : nx + 1] = spectrum[: ny + 1, : nx + 1]
    big[H - ny :, : nx + 1] = spectrum[h - ny :, : nx + 1]
    Fy = np.fft.fftfreq(H, 1.0 / s)[:, None]
    Fx = np.fft.rfftfreq(W, 1.0 / s)[None, :]
    # Sampled at the finer pixels' centres (see PixelGrid).
    shift = 0.5 / s - 0.5
    big *= s * s * np.exp(2j * np.pi * shift * (Fy + Fx))
    # ...and the finer detail beyond what the scene pixels hold.
    if near(0.5) > 1e-3:
        fine = np.random.default_rng(np.frombuffer(white[:2, :2].tobytes(), dtype=np.uint32))
        extra = np.fft.rfft2(fine.standard_normal((H, W))) * Amp(Fy, Fx) * s
        extra[(np.abs(Fy) < 0.5) & (Fx < 0.5)] = 0.0
        big += extra
    out = np.fft.irfft2(big, s=(H, W))
    return out / std


def _FastLength(n):
    """The smallest length >= n whose only prime factors are 2, 3 and 5 (fast FFTs)."""
    while True:
        m = n
        for p in (2, 3, 5):
            while m % p == 0:
                m //= p
        if m == 1:
            return n
        n += 1


def Blur(a, sigma):
    """Gaussian blur of a 2-D (or stacked 3-D, channels last) float array, edges held;
    `sigma` in scene pixels."""
    sigma = sigma * _scale[0]
    if sigma <= 0:
        return a.copy()
    pad = int(3 * sigma) + 1
    extra_y = _FastLength(a.shape[0] + 2 * pad) - a.shape[0] - 2 * pad
    extra_x = _FastLength(a.shape[1] + 2 * pad) - a.shape[1] - 2 * pad
    widths = ((pad, pad + extra_y), (pad, pad + extra_x)) + (((0, 0),) if a.ndim == 3 else ())
    p = np.pad(a, widths, mode="edge")
    h, w = p.shape[:2]
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.rfftfreq(w)[None, :]
    g = np.exp(-2.0 * (np.pi * sigma) ** 2 * (fx * fx + fy * fy))
    if a.ndim == 3:
        g = g[..., None]
    out = np.fft.irfft2(np.fft.rfft2(p, axes=(0, 1)) * g, s=(h, w), axes=(0, 1))
    return out[pad : pad + a.shape[0], pad : pad + a.shape[1]]


def Smooth(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def Lerp(a, b, t):
    return a + (b - a) * t


def Col(*rgb):
    """A colour given in 0..255 sRGB-ish values, as a float triple."""
    return np.array(rgb, dtype=np.float64) / 255.0


def Mix(c0, c1, t):
    """Per-pixel blend of two colours (or colour images) by t (h, w)."""
    t = np.asarray(t)[..., None]
    return c0 * (1.0 - t) + c1 * t


def Ramp(t, stops):
    """Colour ramp: t (h, w) in 0..1 through [(pos, colour), ...] stops."""
    pos = np.array([s[0] for s in stops])
    cols = np.array([s[1] for s in stops])
    out = np.empty(t.shape + (3,))
    for c in range(3):
        out[..., c] = np.interp(t, pos, cols[:, c])
    return out


def Normals(height, scale=1.0):
    """Surface normals (h, w, 3) of a height field in pixels; z points at the viewer."""
    gy, gx = np.gradient(height * (scale * _scale[0]))
    n = np.stack([-gx, -gy, np.ones_like(height)], axis=-1)
    return n / np.linalg.norm(n, axis=-1, keepdims=True)


def Unit(*v):
    v = np.array(v, dtype=np.float64)
    return v / np.linalg.norm(v)


def Lambert(n, light):
    return np.clip(np.tensordot(n, light, axes=([-1], [0])), 0.0, 1.0)


def Specular(n, light, power):
    half = light + np.array([0.0, 0.0, 1.0])
    half = half / np.linalg.norm(half)
    return np.clip(np.tensordot(n, half, axes=([-1], [0])), 0.0, 1.0) ** power


def Occlusion(height, radius, strength):
    """Darkening of hollows: how far a point lies below its blurred neighbourhood."""
    d = Blur(height, radius) - height
    return np.clip(1.0 - strength * np.maximum(d, 0.0), 0.0, 1.0)


def MaskFrom(size, draw, ss=4):
    """An anti-aliased coverage mask in 0..1 for a picture of `size` (w, h) scene
    pixels, drawn by `draw(ImageDraw, s)` on a canvas `ss` times larger than the
    painting; `s` is the scale to apply to scene coordinates."""
    w, h = size
    k = _scale[0]
    img = Image.new("L", (w * ss * k, h * ss * k), 0)
    draw(ImageDraw.Draw(img), ss * k)
    img = img.resize((w * k, h * k), Image.BOX)
    return np.asarray(img, dtype=np.float64) / 255.0


def Bleed(rgb, alpha, passes=4):
    """Fill the colour under fully transparent pixels with the colour of the nearest
    visible ones, so that a scaled, filtered picture shows no dark or coloured fringe."""
    out = rgb.copy()
    done = alpha > 0.002
    weight = np.clip(alpha, 0.0, 1.0)
    acc = rgb * weight[..., None]
    sigma = 1.5
    for _ in range(passes):
        if done.all():
            break
        a = Blur(acc, sigma)
        s = Blur(weight, sigma)
        fresh = (~done) & (s > 1e-3)
        out[fresh] = a[fresh] / s[fresh][:, None]
        done = done | fresh
        sigma *= 2.0
    # Whatever lies further from the picture takes its average colour.
    if not done.all() and weight.sum() > 0:
        out[~done] = acc.reshape(-1, 3).sum(0) / weight.sum()
    return out


def ToBytes(x):
    return (np.clip(x, 0.0, 1.0) * 255.0 + 0.5).astype(np.uint8)


def Bmp32Pixels(rgb, alpha):
    """The bytes of a 32-bit bitmap's pixels, top row first: blue, green, red, alpha."""
    rgb = Bleed(rgb, alpha)
    h, w = alpha.shape
    px = np.empty((h, w, 4), dtype=np.uint8)
    px[..., 0] = ToBytes(rgb[..., 2])
    px[..., 1] = ToBytes(rgb[..., 1])
    px[..., 2] = ToBytes(rgb[..., 0])
    px[..., 3] = ToBytes(alpha)
    return px


def WriteBmp32Pixels(path, px):
    """A 32-bit bitmap with a BITMAPV5HEADER and BI_BITFIELDS masks (alpha in the top
    byte), which SDL_LoadBMP reads with its alpha channel, from Bmp32Pixels' bytes."""
    h, w = px.shape[:2]
    data = px[::-1].tobytes()
    header = struct.pack(
        "<IiiHHIIiiII4I4s36s3IIIII",
        124, w, h, 1, 32, 3, len(data), 3780, 3780, 0, 0,
        0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000,
        b"BGRs", b"\0" * 36, 0, 0, 0, 4, 0, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(head + header + data)


def WriteBmp32(path, rgb, alpha):
    WriteBmp32Pixels(path, Bmp32Pixels(rgb, alpha))


def WriteBmp24(path, rgb):
    """A plain 24-bit bitmap (no alpha: an opaque picture)."""
    h, w = rgb.shape[:2]
    px = ToBytes(rgb)[..., ::-1]
    stride = (w * 3 + 3) & ~3
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, : w * 3] = px.reshape(h, w * 3)
    data = rows[::-1].tobytes()
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(head + header + data)


class Picture:
    """One painted picture: straight (not premultiplied) colour and coverage."""

    def __init__(self, rgb, alpha):
        self.rgb = rgb
        self.alpha = alpha

    @property
    def size(self):
        return (self.alpha.shape[1], self.alpha.shape[0])

    def Flipped(self):
        return Picture(self.rgb[:, ::-1].copy(), self.alpha[:, ::-1].copy())


def Over(dst_rgb, src_rgb, src_a):
    """Straight-alpha 'over' of one layer on an opaque background (in place)."""
    a = src_a[..., None]
    dst_rgb[...] = src_rgb * a + dst_rgb * (1.0 - a)


def Layer(dst_rgb, dst_a, src_rgb, src_a):
    """Straight-alpha 'over' onto a layer with its own coverage (in place)."""
    a = src_a[..., None]
    out_a = src_a + dst_a * (1.0 - src_a)
    num = src_rgb * a + dst_rgb * (dst_a * (1.0 - src_a))[..., None]
    dst_rgb[...] = num / np.maximum(out_a, 1e-6)[..., None]
    dst_a[...] = out_a


def Paste(dst_rgb, pic, x, y, dst_alpha=None):
    """Draws `pic` at (x, y) over an opaque canvas, clipped to the canvas."""
    H, W = dst_rgb.shape[:2]
    h, w = pic.alpha.shape
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, W), min(y + h, H)
    if x0 >= x1 or y0 >= y1:
        return
    src_rgb = pic.rgb[y0 - y : y1 - y, x0 - x : x1 - x]
    src_a = pic.alpha[y0 - y : y1 - y, x0 - x : x1 - x]
    if dst_alpha is None:
        Over(dst_rgb[y0:y1, x0:x1], src_rgb, src_a)
    else:
        Layer(dst_rgb[y0:y1, x0:x1], dst_alpha[y0:y1, x0:x1], src_rgb, src_a)
