"""Stand-in pictures for the saver's end-to-end tests: every bitmap of the
scene at a plausible size, each a flat colour on a transparent background
(32-bit bitmaps with alpha, as the scene art is), so that a test knows which
colour should show where."""

import os
import struct

# name: (width, height, (r, g, b)); the scene art has an opaque core and a
# transparent border of 4 pixels.
PICTURES = {
    "Stocking.bmp": (80, 130, (200, 20, 30)),
    "poinr.bmp": (150, 150, (220, 40, 60)),
    "poinl.bmp": (150, 150, (220, 40, 60)),
    "bellr.bmp": (80, 100, (230, 190, 40)),
    "belll.bmp": (80, 100, (230, 190, 40)),
    "Calendar.bmp": (65, 85, (240, 240, 230)),
    "Logs.bmp": (634, 150, (110, 70, 40)),
    "AndIronL.bmp": (170, 300, (40, 40, 45)),
    "AndIronR.bmp": (170, 300, (40, 40, 45)),
    "monitor.bmp": (500, 300, (200, 210, 230)),
    "pwrmsg.bmp": (500, 300, (200, 230, 200)),
}
for n in range(1, 11):
    # The flame frames differ a little, so that frames change.
    PICTURES[f"Flame{n}.bmp"] = (660, 520, (250, 120 + 8 * n, 20))
SURROUNDS = {
    "mar": ((100, 388), (100, 388), (800, 212), None, (40, 40, 48)),
    "mar2": ((100, 388), (100, 388), (800, 212), None, (200, 200, 205)),
    "RiverRock": ((90, 390), (88, 386), (800, 210), (640, 60), (160, 140, 120)),
    "DRiverRock": ((81, 398), (130, 398), (800, 202), (644, 60), (90, 80, 70)),
    "FlatStone": ((110, 473), (110, 473), (800, 127), (610, 60), (150, 130, 100)),
    "OldRock": ((110, 473), (110, 473), (800, 127), (636, 60), (120, 110, 95)),
}
for style, (left, right, top, mantle, colour) in SURROUNDS.items():
    if style in ("mar", "mar2"):
        names = [f"{style}LeftSide.bmp", f"{style}RightSide.bmp", f"{style}TopSide.bmp"]
    else:
        names = [f"{style}L.bmp", f"{style}R.bmp", f"{style}T.bmp"]
    for name, size in zip(names, (left, right, top)):
        PICTURES[name] = (size[0], size[1], colour)
    if mantle:
        mantle_name = "m-Flatstone.bmp" if style == "FlatStone" else f"m-{style}.bmp"
        PICTURES[mantle_name] = (mantle[0], mantle[1], colour)

OPAQUE = {"monitor.bmp", "pwrmsg.bmp"}
BORDER = 4


def write_bmp32(path, width, height, colour, opaque):
    r, g, b = colour
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            inside = opaque or (BORDER <= x < width - BORDER and BORDER <= y < height - BORDER)
            row += bytes((b, g, r, 255 if inside else 0))
        rows.append(bytes(row))
    data = b"".join(reversed(rows))
    header = struct.pack(
        "<IiiHHIIiiII4I4s36s3IIIII",
        124, width, height, 1, 32, 3, len(data), 3780, 3780, 0, 0,
        0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000,
        b"BGRs", b"\0" * 36, 0, 0, 0, 4, 0, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(head + header + data)


def make_stand_ins(folder, leave_out=()):
    """Writes every picture into folder (except those named in leave_out)."""
    os.makedirs(folder, exist_ok=True)
    for name, (width, height, colour) in PICTURES.items():
        if name in leave_out:
            continue
        write_bmp32(os.path.join(folder, name), width, height, colour, name in OPAQUE)
    return folder


if __name__ == "__main__":
    import sys
    make_stand_ins(sys.argv[1])
