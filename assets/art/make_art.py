#!/usr/bin/python3
"""Paints Emberlorn's pictures: the 43 scene bitmaps, the walls beside the scene on
wide screens, the fire's light maps and the room's shades, all of them also at twice
the size in the subfolder "2x"; the preview still and the settings dialog's
thumbnails; and review pictures (a contact sheet, and each fireplace style's scene at
4:3, 16:9 and 21:9).

    make_art.py --out DATA_DIR [--review REVIEW_DIR] [--jobs N]

Everything is painted from the code beside this file with fixed seeds: the same
sources give the same bytes. With EMBERLRN_ART_TIMES set in the environment, each
part tells how long it took.
"""

import argparse
import os
import sys
import time
from concurrent.futures import ProcessPoolExecutor

import numpy as np

# Keep the source folder clean of compiled caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from emberart import compose, decor, flame, flatstone, light, logs, mantle, marble, panels, rock  # noqa: E402
from emberart.common import Bmp32Pixels, Scale, SetScale, WriteBmp24, WriteBmp32, WriteBmp32Pixels  # noqa: E402
from emberart.surround_common import Cut, kMargin  # noqa: E402

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
    """All pictures of one fireplace style, {file name: picture}, and the surround's
    coverage of the scene."""
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
    k = Scale()
    return out, solid[:, kMargin * k : (kMargin + 800) * k]


def PaintFlames(frames):
    np.seterr(all="ignore")
    return {"Flame%d.bmp" % (i + 1): f for i, f in zip(frames, flame.MakeFlameFrames(frames=frames))}


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


def Folder(out, scale):
    """Where the pictures of one scale go: the data folder, or its subfolder "2x"."""
    return out if scale == 1 else os.path.join(out, "%dx" % scale)


def _Job(task):
    """Paints one part of the art at one scale and writes its bitmaps (run in a worker
    process). Returns the pictures (only at scale 1, for the review pictures), the
    coverages the light maps are made from, and the flame frames' bitmap pixels, which
    are written once all ten are painted (see flame.HoldStill)."""
    name, scale, out = task
    SetScale(scale)
    start = time.time()
    masks = {}
    if name == "flames":
        part = PaintFlames(range(10))
    elif name.startswith("flames"):
        half = int(name[-1])
        part = PaintFlames(range(5 * half, 5 * half + 5))
    elif name == "logs":
        part = {"Logs.bmp": logs.MakeLogs()}
        masks["logs"] = part["Logs.bmp"].alpha
    elif name == "decor":
        part = PaintDecorations()
        masks["andirons"] = (part["AndIronL.bmp"].alpha, part["AndIronR.bmp"].alpha)
    else:
        part, masks["stone%s" % name] = PaintStyle(int(name))
    frames = {}
    for file_name, pic in part.items():
        if file_name.startswith("Flame"):
            frames[file_name] = Bmp32Pixels(pic.rgb, pic.alpha)
        else:
            WritePicture(Folder(out, scale), file_name, pic)
    if os.environ.get("EMBERLRN_ART_TIMES"):
        print("%s at %dx: %.1f s" % (name, scale, time.time() - start), file=sys.stderr)
    return (part if scale == 1 else {}), masks, frames


def WriteFlames(folder, frames):
    """The ten flame frames of one scale, held still where their light hardly moves."""
    names = ["Flame%d.bmp" % (i + 1) for i in range(flame.kFrames)]
    for file_name, px in zip(names, flame.HoldStill([frames[n] for n in names])):
        WriteBmp32Pixels(os.path.join(folder, file_name), px)


def _LightJob(task):
    """Makes the light maps of one scale from the coverages the paintings gave, and the
    shades (run in a worker process)."""
    scale, out, masks = task
    SetScale(scale)
    np.seterr(all="ignore")
    part = {"ShadeL.bmp": light.MakeShade(right=False), "ShadeR.bmp": light.MakeShade(right=True)}
    for k in range(1, 7):
        part["Light%d.bmp" % k] = light.MakeLight(masks["stone%d" % k], masks["logs"], masks["andirons"])
    for file_name, pic in part.items():
        WritePicture(Folder(out, scale), file_name, pic)
    return part if scale == 1 else {}


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
    """The pictures beside the scene's own: the walls a wide screen shows beside it,
    the fire's light on each style's scene, and the room's shade toward the edges."""
    names = ["Wall%s%d.bmp" % (side, k) for k in range(1, 7) for side in "LR"]
    names += ["Light%d.bmp" % k for k in range(1, 7)]
    return names + ["ShadeL.bmp", "ShadeR.bmp"]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", required=True, help="folder for the installation's pictures")
    ap.add_argument("--review", help="folder for the contact sheet and scene pictures")
    ap.add_argument("--jobs", type=int, default=2)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)

    # Every picture is painted at the scene's own scale and at twice it (for screens
    # with more pixels per scene pixel), the longest parts first.
    os.makedirs(Folder(args.out, 2), exist_ok=True)
    jobs = [("flames0", 2), ("flames1", 2), ("decor", 2), ("1", 2), ("2", 2), ("logs", 2),
            ("6", 2), ("3", 2), ("4", 2), ("5", 2), ("flames", 1), ("decor", 1), ("logs", 1),
            ("1", 1), ("2", 1), ("3", 1), ("4", 1), ("5", 1), ("6", 1)]
    tasks = [(name, scale, args.out) for name, scale in jobs]
    art = Art()
    masks = {1: {}, 2: {}}
    frames = {1: {}, 2: {}}
    with ProcessPoolExecutor(max_workers=max(args.jobs, 1)) as pool:
        for (name, scale), (part, found, painted) in zip(jobs, pool.map(_Job, tasks)):
            art.update(part)
            masks[scale].update(found)
            frames[scale].update(painted)
        for scale in (1, 2):
            WriteFlames(Folder(args.out, scale), frames[scale])
        for part in pool.map(_LightJob, [(scale, args.out, masks[scale]) for scale in (1, 2)]):
            art.update(part)

    names = Catalogue()
    differ = (set(names) | set(Extras())) ^ set(art)
    if len(names) != 43 or differ:
        raise SystemExit("the catalogue and the paintings differ: " + " ".join(sorted(differ)))
    missing = [n for n in art if not os.path.isfile(os.path.join(Folder(args.out, 2), n))]
    if missing:
        raise SystemExit("not painted at twice the size: " + " ".join(sorted(missing)))

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
        compose.ContactSheet(art, names + Extras(), os.path.join(args.review, "contact-sheet.png"))
        for k in range(1, 7):
            opt = compose.SceneOptions(style=k, stockings=(0, 1, 2, 3), bells=(1, 2), poinsettias=(1, 2),
                                       calendar=1, flame_frame=(3 * k) % 10)
            compose.Save(compose.Compose(art, opt), os.path.join(args.review, "scene-style%d.png" % k))
            # On wide screens: 21:9 and 16:9, walls beside the scene, the fire's light on it.
            compose.Save(compose.Wide(art, opt, 1400), os.path.join(args.review, "scene-style%d-wide.png" % k))
            compose.Save(compose.Wide(art, opt, 1067), os.path.join(args.review, "scene-style%d-169.png" % k))


if __name__ == "__main__":
    main()
