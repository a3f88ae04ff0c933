#!/usr/bin/python3
"""Paints Emberlorn's pictures: the 43 scene bitmaps, the preview still and the
settings dialog's thumbnails, plus review pictures (a contact sheet and one scene per
fireplace style).

    make_art.py --out DATA_DIR [--review REVIEW_DIR]

Everything is painted from the code beside this file with fixed seeds: the same
sources give the same bytes.
"""

import argparse
import os
import sys
from concurrent.futures import ProcessPoolExecutor

import numpy as np

# Keep the source folder clean of compiled caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from emberart import compose, decor, flame, flatstone, logs, mantle, marble, panels, rock  # noqa: E402
from emberart.common import WriteBmp24, WriteBmp32  # noqa: E402
from emberart.surround_common import Cut  # noqa: E402

# Style number: (left, right, top, mantle file names).
kStyleFiles = {
    1: ("marLeftSide.bmp", "marRightSide.bmp", "marTopSide.bmp", None),
    2: ("mar2LeftSide.bmp", "mar2RightSide.bmp", "mar2TopSide.bmp", None),
    3: ("RiverRockL.bmp", "RiverRockR.bmp", "RiverRockT.bmp", "m-RiverRock.bmp"),
    4: ("DRiverRockL.bmp", "DRiverRockR.bmp", "DRiverRockT.bmp", "m-DRiverRock.bmp"),
    5: ("FlatStoneL.bmp", "FlatStoneR.bmp", "FlatStoneT.bmp", "m-Flatstone.bmp"),
    6: ("OldRockL.bmp", "OldRockR.bmp", "OldRockT.bmp", "m-OldRock.bmp"),
}

kOpaque = ("monitor.bmp", "pwrmsg.bmp")


def StyleLayout(style):
    if style in (1, 2):
        return marble.kLayout
    if style == 5:
        return flatstone.kLayout
    return rock.kLayouts[style]


def PaintStyle(style):
    """All pictures of one fireplace style: {file name: picture}."""
    np.seterr(all="ignore")
    if style in (1, 2):
        rgb, solid = marble.Paint(dark=(style == 1), seed=100 + style)
    elif style == 5:
        rgb, solid = flatstone.Paint(seed=105)
    else:
        rgb, solid = rock.Paint(style, seed=100 + style)
    left, right, top, wall_l, wall_r = Cut(rgb, solid, StyleLayout(style))
    names = kStyleFiles[style]
    out = {names[0]: left, names[1]: right, names[2]: top,
           "WallL%d.bmp" % style: wall_l, "WallR%d.bmp" % style: wall_r}
    if names[3]:
        out[names[3]] = mantle.MakeMantle(style)
    return out


def PaintFire():
    np.seterr(all="ignore")
    out = {"Flame%d.bmp" % (i + 1): f for i, f in enumerate(flame.MakeFlameFrames())}
    out["Logs.bmp"] = logs.MakeLogs()
    return out


def PaintDecorations():
    np.seterr(all="ignore")
    return {
        "AndIronL.bmp": decor.MakeAndiron(right=False),
        "AndIronR.bmp": decor.MakeAndiron(right=True),
        "Stocking.bmp": decor.MakeStocking(),
        "bellr.bmp": decor.MakeBells(mirror=False),
        "belll.bmp": decor.MakeBells(mirror=True),
        "poinr.bmp": decor.MakePoinsettia(decor.kPoinRSize, 701, flip=False),
        "poinl.bmp": decor.MakePoinsettia(decor.kPoinLSize, 702, flip=True),
        "Calendar.bmp": panels.MakeCalendar(),
        "monitor.bmp": panels.MakeMonitorNotice(),
        "pwrmsg.bmp": panels.MakePowerNotice(),
    }


def WritePicture(folder, name, pic):
    path = os.path.join(folder, name)
    if name in kOpaque:
        WriteBmp24(path, pic.rgb)
    else:
        WriteBmp32(path, pic.rgb, pic.alpha)


def _Job(task):
    """Paints one part of the art and writes its bitmaps (run in a worker process)."""
    name, folder = task
    if name == "fire":
        part = PaintFire()
    elif name == "decor":
        part = PaintDecorations()
    else:
        part = PaintStyle(int(name))
    for file_name, pic in part.items():
        WritePicture(folder, file_name, pic)
    return part


class Art(dict):
    """File name -> picture, with the styles' file names and layouts."""

    styles = {k: (kStyleFiles[k], StyleLayout(k)) for k in kStyleFiles}


def Catalogue():
    """The 43 scene bitmaps, in the order the saver makes them."""
    names = ["Stocking.bmp", "poinr.bmp", "poinl.bmp", "bellr.bmp", "belll.bmp", "Calendar.bmp"]
    names += ["Flame%d.bmp" % i for i in range(1, 11)] + ["Logs.bmp"]
    for k in range(1, 7):
        names += [n for n in kStyleFiles[k] if n]
    names += ["AndIronL.bmp", "AndIronR.bmp", "monitor.bmp", "pwrmsg.bmp"]
    return names


def Extras():
    """The pictures beside the scene's own: the walls a wide screen shows beside it."""
    return ["Wall%s%d.bmp" % (side, k) for k in range(1, 7) for side in "LR"]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", required=True, help="folder for the installation's pictures")
    ap.add_argument("--review", help="folder for the contact sheet and scene pictures")
    ap.add_argument("--jobs", type=int, default=2)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)

    jobs = ["fire", "1", "2", "3", "4", "5", "6", "decor"]
    art = Art()
    if args.jobs > 1:
        with ProcessPoolExecutor(max_workers=args.jobs) as pool:
            for part in pool.map(_Job, [(job, args.out) for job in jobs]):
                art.update(part)
    else:
        for job in jobs:
            art.update(_Job((job, args.out)))

    names = Catalogue()
    if len(names) != 43 or set(names) | set(Extras()) != set(art):
        raise SystemExit("the catalogue and the paintings differ")

    # The preview still: the first-run scene (style 1 with andirons), with stockings.
    preview = compose.Compose(art, compose.SceneOptions(style=1, stockings=(0, 1, 2, 3), flame_frame=2))
    small = compose.Save(preview, os.path.join(args.out, "preview.png"), size=(153, 115))
    os.remove(os.path.join(args.out, "preview.png"))
    WriteBmp24(os.path.join(args.out, "preview.bmp"), np.asarray(small, dtype=np.float64) / 255.0)

    # The dialog's thumbnails: each style's fireplace, its mantle on, without decorations.
    for k in range(1, 7):
        scene = compose.Compose(art, compose.SceneOptions(style=k, flame_frame=k % 10))
        box = (40, 0, 760, 600)
        compose.Save(scene, os.path.join(args.out, "thumb%d.png" % k), size=(54, 54), box=box)
        compose.Save(scene, os.path.join(args.out, "thumb%d@2x.png" % k), size=(108, 108), box=box)

    if args.review:
        os.makedirs(args.review, exist_ok=True)
        compose.ContactSheet(art, names, os.path.join(args.review, "contact-sheet.png"))
        for k in range(1, 7):
            scene = compose.Compose(art, compose.SceneOptions(
                style=k, stockings=(0, 1, 2, 3), bells=(1, 2), poinsettias=(1, 2), calendar=1,
                flame_frame=(3 * k) % 10))
            compose.Save(scene, os.path.join(args.review, "scene-style%d.png" % k))


if __name__ == "__main__":
    main()
