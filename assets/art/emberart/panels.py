"""The desk-calendar plate and the two first-run notice panels."""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from .common import Blur, Col, MaskFrom, Noise, Picture, PixelGrid, Rng, Scale, Smooth

kCalendarSize = (68, 88)
kNoticeSize = (500, 340)

kFontDir = "/usr/share/fonts/truetype/liberation"


def Font(name, size):
    path = os.path.join(kFontDir, name)
    if not os.path.exists(path):
        raise SystemExit("missing font " + path + " (Debian package fonts-liberation)")
    return ImageFont.truetype(path, size)


def MakeCalendar():
    """A small cream tear-off calendar with a gilt edge, a shade for the month line and
    a sprig of holly in the corner; the program writes the date and time on it."""
    w, h = kCalendarSize
    rng = Rng(801)
    ss = 4
    yy, xx = PixelGrid(h, w)

    def Card(d, s):
        d.rounded_rectangle([1 * s, 0, (w - 3) * s, (h - 4) * s], radius=5 * s, fill=255)
    def Pages(d, s):
        d.rounded_rectangle([2 * s, 2 * s, (w - 1) * s, (h - 1) * s], radius=5 * s, fill=255)
    card = MaskFrom((w, h), Card, ss)
    pages = MaskFrom((w, h), Pages, ss)

    paper = Col(250, 244, 228) * (1.0 + 0.02 * Noise(h, w, rng, 1.5, detail=1.0))[..., None]
    paper = paper * (1.0 - 0.05 * Smooth(0, h, yy))[..., None]
    header = Smooth(15.5, 14.5, yy)
    paper = paper * (1 - 0.10 * header[..., None]) + Col(236, 214, 196) * (0.10 * header)[..., None]
    rule = np.exp(-((yy - 15.5) / 0.5) ** 2) * Smooth(3, 6, xx) * Smooth(w - 5, w - 8, xx)
    paper = paper * (1 - 0.25 * rule[..., None])
    # Gilt border just inside the edge.
    inner = MaskFrom((w, h), lambda d, s: d.rounded_rectangle(
        [2.5 * s, 1.5 * s, (w - 4.5) * s, (h - 5.5) * s], radius=4 * s, outline=255, width=int(0.9 * s)), ss)
    paper = paper * (1 - inner[..., None]) + Col(196, 150, 60) * inner[..., None]
    # Holly in the bottom right corner.
    for (bx, by, tx, ty) in ((63, 80, 51, 73), (63, 80, 57, 66)):
        L = np.hypot(tx - bx, ty - by)
        ax, ay = (tx - bx) / L, (ty - by) / L
        along = ((xx - bx) * ax + (yy - by) * ay) / L
        across = -(xx - bx) * ay + (yy - by) * ax
        prof = 2.8 * np.sin(np.pi * np.clip(along, 0, 1)) + 0.5 * np.abs(np.sin(along * 12))
        leaf = Smooth(0.6, -0.6, np.abs(across) - prof) * (along > 0) * (along < 1)
        paper = paper * (1 - leaf[..., None]) + Col(40, 110, 52) * leaf[..., None]
    for bx, by in ((62.5, 80.5), (60, 82), (64.5, 82.5)):
        berry = Smooth(1.6, 1.0, np.hypot(xx - bx, yy - by))
        paper = paper * (1 - berry[..., None]) + Col(200, 20, 26) * berry[..., None]

    under = Col(222, 214, 196)
    rgb = under * np.ones(yy.shape + (1,))
    edge_lines = (np.sin(yy * 2.2) * 0.5 + 0.5) * 0.15
    rgb = rgb * (1 - edge_lines[..., None])
    alpha = np.maximum(card, pages)
    rgb = np.where((card > 0)[..., None], (paper * card[..., None] + rgb * (pages * (1 - card))[..., None])
                   / np.maximum(alpha, 1e-6)[..., None], rgb)
    # Soft contact shadow around it.
    shadow = Blur(np.roll(np.roll(alpha, Scale(), 0), Scale(), 1), 1.2) * 0.45
    out_a = alpha + shadow * (1 - alpha)
    out = rgb * (alpha / np.maximum(out_a, 1e-6))[..., None]
    return Picture(np.clip(out, 0, 1), np.clip(out_a, 0, 1))


def _Wrap(draw, text, font, width):
    words = text.split()
    lines, line = [], ""
    for word in words:
        trial = (line + " " + word).strip()
        if draw.textlength(trial, font=font) <= width:
            line = trial
        else:
            lines.append(line)
            line = word
    if line:
        lines.append(line)
    return lines


kMonitorTitle = "Welcome to Emberlorn"
kMonitorText = [
    "This fireplace is painted for an 800 x 600 scene. Emberlorn scales it to fill your "
    "monitor and keeps its shape; on a wide screen the room's walls continue beside it. "
    "Untick \"Fill wide screens\" in the Settings for dark bars at the sides instead.",
    "To set it up, open the screen saver's Settings: choose the fireplaces, the flame's "
    "speed and the andirons, hang stockings, bells and poinsettias, show the calendar or a "
    "message of your own, and pick the fire's sound and the carols.",
]
kMonitorKeys = [("S", "sound on"), ("Q", "sound off"),
                ("Any other key", "a click or a move of the mouse ends it")]

kPowerTitle = "Power management"
kPowerText = [
    "Does your monitor switch itself off to save power? Then tell Emberlorn when: open "
    "the Settings, choose the \"Pwr Management\" tab and set the time your monitor "
    "switches off.",
    "Emberlorn then steps aside 45 seconds before that moment, so that your power saving "
    "can take over. A small notice stays on the screen until you press a key or move the "
    "mouse.",
    "Without this setting the fire simply burns on until you press a key.",
]


def _Panel(title, paragraphs, keys=None):
    w, h = kNoticeSize
    # Drawn at twice the painting's scale, then filtered down.
    ss = 2 * Scale()
    rng = Rng(901)
    img = Image.new("RGB", (w * ss, h * ss))
    yy, xx = np.mgrid[0 : h * ss, 0 : w * ss].astype(np.float64) / ss
    # Deep red frame, gilt line, parchment field.
    frame = Col(112, 18, 20) * (1.0 + 0.06 * Noise(h * 2, w * 2, rng, 40, detail=0.3))[..., None]
    border = np.minimum(np.minimum(xx, w - xx), np.minimum(yy, h - yy))
    shade = 0.75 + 0.25 * Smooth(0, 8, border)
    field = Col(250, 240, 214) * (1.0 + 0.03 * Noise(h * 2, w * 2, rng, 30, detail=0.5)
                                 - 0.05 * Smooth(150, 260, np.hypot(xx - w / 2, (yy - h / 2) * 1.6)))[..., None]
    inside = Smooth(11.5, 12.5, border)
    gilt = np.exp(-((border - 9.0) / 0.8) ** 2) + 0.6 * np.exp(-((border - 14.5) / 0.5) ** 2)
    rgb = frame * shade[..., None] * (1 - inside[..., None]) + field * inside[..., None]
    rgb = rgb * (1 - np.clip(gilt, 0, 1)[..., None]) + Col(214, 168, 70) * np.clip(gilt, 0, 1)[..., None]
    img = Image.fromarray((np.clip(rgb, 0, 1) * 255 + 0.5).astype(np.uint8))
    d = ImageDraw.Draw(img)
    title_font = Font("LiberationSerif-Bold.ttf", 26 * ss)
    body_font = Font("LiberationSans-Regular.ttf", 14 * ss)
    key_font = Font("LiberationSans-Bold.ttf", 14 * ss)
    tw = d.textlength(title, font=title_font)
    d.text(((w * ss - tw) / 2, 24 * ss), title, font=title_font, fill=(128, 20, 22))
    ly = 58 * ss
    d.line([(w * ss / 2 - 90 * ss, ly), (w * ss / 2 + 90 * ss, ly)], fill=(196, 150, 60), width=ss)
    left, width = 34 * ss, (w - 68) * ss

    def Body(y, ink):
        """Lays out the text from row y; draws it when `ink`, returns the end row."""
        for para in paragraphs:
            for line in _Wrap(d, para, body_font, width):
                if ink:
                    d.text((left, y), line, font=body_font, fill=(52, 34, 24))
                y += 18 * ss
            y += 7 * ss
        if keys:
            y += 2 * ss
            if ink:
                d.text((left, y), "While the fire burns:", font=key_font, fill=(128, 20, 22))
            y += 21 * ss
            for key, what in keys:
                kw = d.textlength(key, font=key_font)
                if kw + 30 * ss + d.textlength(what, font=body_font) > width:
                    raise ValueError("notice line too wide: " + what)
                if ink:
                    d.rounded_rectangle([left + 8 * ss, y - 2 * ss, left + 8 * ss + kw + 12 * ss, y + 17 * ss],
                                        radius=4 * ss, fill=(236, 222, 192), outline=(150, 110, 60), width=ss)
                    d.text((left + 14 * ss, y), key, font=key_font, fill=(52, 34, 24))
                    d.text((left + 8 * ss + kw + 22 * ss, y), what, font=body_font, fill=(52, 34, 24))
                y += 22 * ss
        return y

    # Centre the text in the space under the title.
    top, bottom = 70 * ss, (h - 22) * ss
    used = Body(0, False) - 7 * ss
    y = Body(top + max(0, (bottom - top - used) // 2), True)
    if y > (h - 18) * ss:
        raise ValueError("notice text does not fit its panel: %s (%d rows over)" % (title, y // ss - (h - 18)))
    img = img.resize((w * Scale(), h * Scale()), Image.LANCZOS)
    rgb = np.asarray(img, dtype=np.float64) / 255.0
    return Picture(rgb, np.ones(rgb.shape[:2]))


def MakeMonitorNotice():
    return _Panel(kMonitorTitle, kMonitorText, kMonitorKeys)


def MakePowerNotice():
    return _Panel(kPowerTitle, kPowerText)
