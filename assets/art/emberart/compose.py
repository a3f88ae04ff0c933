"""A small compositor that draws the scene the way the saver does, layer by layer in
its frame order, for the preview still, the dialog's thumbnails and review pictures."""

import numpy as np
from PIL import Image, ImageDraw

from .common import Paste, ToBytes
from .panels import Font

kStockingX = (95, 271, 447, 625)
kCalendarCorners = {0: (5, 5), 1: (5, 510), 2: (730, 5), 3: (730, 510)}
# Calendar texts: (day, weekday, time, month) positions per corner.
kCalendarTexts = {
    0: ((14, 36), (10, 30), (9, 18), (27, 6)),
    1: ((14, 540), (10, 534), (9, 522), (27, 510)),
    2: ((740, 36), (735, 30), (735, 18), (752, 6)),
    3: ((740, 540), (735, 534), (732, 522), (752, 510)),
}


class SceneOptions:
    def __init__(self, style=1, andirons=True, mantle=True, stockings=(), stocking_top=19,
                 bells=(), poinsettias=(), calendar=None, flame_frame=0):
        self.style = style
        self.andirons = andirons
        self.mantle = mantle
        self.stockings = stockings
        self.stocking_top = stocking_top
        self.bells = bells
        self.poinsettias = poinsettias
        self.calendar = calendar
        self.flame_frame = flame_frame


def Compose(art, opt):
    """The 800 x 600 scene for the given options, as float RGB.

    `art` maps file names to pictures and carries the style layouts (art.layouts)."""
    canvas = np.zeros((600, 800, 3))  # cleared to black
    Paste(canvas, art["Flame%d.bmp" % (opt.flame_frame + 1)], 70, 27)
    Paste(canvas, art["Logs.bmp"], 83, 435)
    if opt.andirons:
        xl, xr = (50, 580) if opt.style else (0, 650)
        Paste(canvas, art["AndIronL.bmp"], xl, 292)
        Paste(canvas, art["AndIronR.bmp"], xr, 292)
    if opt.style:
        names, layout = art.styles[opt.style]
        left, right, top, mantle = names
        Paste(canvas, art[right], layout.right.x, layout.right.y)
        Paste(canvas, art[left], layout.left.x, layout.left.y)
        Paste(canvas, art[top], layout.top.x, layout.top.y)
        if mantle and opt.mantle:
            Paste(canvas, art[mantle], layout.mantle.x, layout.mantle.y)
    if opt.calendar is not None:
        x, y = kCalendarCorners[opt.calendar]
        Paste(canvas, art["Calendar.bmp"], x, y)
        canvas = _CalendarTexts(canvas, opt.calendar)
    for i in opt.stockings:
        Paste(canvas, art["Stocking.bmp"], kStockingX[i], opt.stocking_top)
    if 1 in opt.bells:
        Paste(canvas, art["bellr.bmp"], 0, -10)
    if 2 in opt.bells:
        Paste(canvas, art["belll.bmp"], 720, 0)
    if 1 in opt.poinsettias:
        Paste(canvas, art["poinr.bmp"], -5, 440)
    if 2 in opt.poinsettias:
        Paste(canvas, art["poinl.bmp"], 650, 450)
    return canvas


def Firelit(scene, light, level=170):
    """The scene brightened by a light map as the saver does it, at a fire level of
    `level` (0..255)."""
    boost = light.rgb * (light.alpha * (level / 255.0))[..., None]
    return np.clip(scene * (1.0 + boost), 0.0, 1.0)


def Wide(art, opt, width, level=170):
    """The style's scene on a screen `width` scene pixels wide (800 to 1400), the room's
    walls beside it, lit by the fire and shaded toward the screen's edges."""
    scene = Firelit(Compose(art, opt), art["Light%d.bmp" % opt.style], level)
    room = np.zeros((600, 1400, 3))
    Paste(room, art["WallL%d.bmp" % opt.style], 0, 0)
    Paste(room, art["WallR%d.bmp" % opt.style], 1100, 0)
    room[:, 300:1100] = scene
    x0 = (1400 - width) // 2
    room = room[:, x0 : x0 + width].copy()
    Paste(room, art["ShadeL.bmp"], 0, 0)
    Paste(room, art["ShadeR.bmp"], width - art["ShadeR.bmp"].size[0], 0)
    return room


def _CalendarTexts(canvas, corner):
    """A sample date and time where the saver writes them (sizes taken as pixels)."""
    img = Image.fromarray(ToBytes(canvas))
    d = ImageDraw.Draw(img)
    day, weekday, time, month = kCalendarTexts[corner]
    for text, pos, size, colour in (("24", day, 46, (255, 0, 0)), ("Wednesday", weekday, 12, (255, 0, 0)),
                                    ("9:47:05 PM", time, 14, (0, 0, 255)), ("Dec", month, 16, (255, 0, 0))):
        d.text(pos, text, font=Font("LiberationSans-Regular.ttf", size), fill=colour)
    return np.asarray(img, dtype=np.float64) / 255.0


def Save(rgb, path, size=None, box=None):
    img = Image.fromarray(ToBytes(rgb))
    if box is not None:
        img = img.crop(box)
    if size is not None:
        img = img.resize(size, Image.LANCZOS)
    img.save(path, optimize=False)
    return img


def ContactSheet(art, order, path):
    """Every picture on a checkerboard (so transparency shows), labelled."""
    cell_w, cell_h, label = 250, 190, 30
    cols = 6
    rows = (len(order) + cols - 1) // cols
    sheet = Image.new("RGB", (cols * cell_w, rows * (cell_h + label)), (40, 40, 44))
    d = ImageDraw.Draw(sheet)
    font = Font("LiberationSans-Regular.ttf", 13)
    for i, name in enumerate(order):
        pic = art[name]
        w, h = pic.size
        scale = min((cell_w - 16) / w, (cell_h - 12) / h, 1.0)
        tw, th = max(1, int(w * scale)), max(1, int(h * scale))
        yy, xx = np.mgrid[0:h, 0:w]
        checker = np.where(((yy // 8 + xx // 8) % 2)[..., None] == 0, 0.62, 0.78) * np.ones((h, w, 3))
        a = pic.alpha[..., None]
        tile = pic.rgb * a + checker * (1 - a)
        img = Image.fromarray(ToBytes(tile)).resize((tw, th), Image.LANCZOS)
        cx, cy = (i % cols) * cell_w, (i // cols) * (cell_h + label)
        sheet.paste(img, (cx + (cell_w - tw) // 2, cy + (cell_h - th) // 2 + 4))
        text = "%s  %dx%d" % (name, w, h)
        tl = d.textlength(text, font=font)
        d.text((cx + (cell_w - tl) / 2, cy + cell_h + 6), text, font=font, fill=(230, 226, 214))
    sheet.save(path, optimize=False)
