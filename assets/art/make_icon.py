#!/usr/bin/python3
"""Draws Emberlorn's icon as SVG: a stone fireplace under a wooden mantel with a
fire over two logs, in the flame colours of the scene's fire. It is drawn on a
128-unit grid with shapes broad enough to read at 48 pixels.

    make_icon.py --out ICON.svg
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from emberart.flame import kFireRamp  # noqa: E402


def Hex(colour):
    return "#%02x%02x%02x" % tuple(int(round(255 * c)) for c in colour)


def FireStops():
    """The fire's colour ramp from its hottest end (the flame's foot) to its
    coolest visible one (the tips), as SVG gradient stops."""
    stops = [(t, c) for t, c in kFireRamp if t >= 0.3]
    top, bottom = stops[0][0], stops[-1][0]
    out = []
    for t, colour in reversed(stops):
        offset = (bottom - t) / (bottom - top)
        out.append('<stop offset="%.3f" stop-color="%s"/>' % (offset, Hex(colour)))
    return "\n      ".join(out)


# Three tongues of fire standing on the logs, the middle one tallest.
kOuterFlame = ("M40 104 C34 92 40 82 46 72 C47 80 50 84 54 86 C52 72 56 58 64 40 "
               "C70 56 78 68 75 84 C80 82 83 76 83 68 C92 80 94 94 88 104 Z")
kInnerFlame = ("M50 104 C47 96 50 90 54 84 C56 90 58 92 60 92 C59 82 62 72 65 62 "
               "C70 74 74 84 71 94 C74 92 76 88 77 84 C82 92 82 99 79 104 Z")

kTemplate = """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">
  <title>Emberlorn</title>
  <defs>
    <linearGradient id="stone" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#b3a593"/>
      <stop offset="1" stop-color="#8a7c6c"/>
    </linearGradient>
    <linearGradient id="wood" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#9a6634"/>
      <stop offset="1" stop-color="#5c3818"/>
    </linearGradient>
    <radialGradient id="hearth" cx="64" cy="112" r="52" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#7a2206"/>
      <stop offset="0.55" stop-color="#2a0903"/>
      <stop offset="1" stop-color="#100402"/>
    </radialGradient>
    <linearGradient id="fire" x1="0" y1="104" x2="0" y2="40" gradientUnits="userSpaceOnUse">
      {fire}
    </linearGradient>
  </defs>
  <!-- The stone surround with its arched opening. -->
  <rect x="14" y="26" width="100" height="90" rx="5" fill="url(#stone)" stroke="#4e443a" stroke-width="2"/>
  <path d="M18 52 H38 M90 52 H110 M18 78 H34 M94 78 H110 M18 100 H34 M94 100 H110"
        stroke="#6d6153" stroke-width="2" stroke-linecap="round" fill="none"/>
  <path d="M32 116 V66 A32 32 0 0 1 96 66 V116 Z" fill="url(#hearth)" stroke="#4e443a" stroke-width="2"/>
  <!-- The fire over its logs. -->
  <path d="{outer}" fill="url(#fire)"/>
  <path d="{inner}" fill="{core}" opacity="0.85"/>
  <g stroke-linecap="round">
    <line x1="40" y1="110" x2="86" y2="102" stroke="#5a3417" stroke-width="9"/>
    <line x1="42" y1="102" x2="88" y2="110" stroke="#6e4220" stroke-width="9"/>
  </g>
  <circle cx="88" cy="110" r="3.5" fill="#ff9e28"/>
  <circle cx="40" cy="110" r="3.5" fill="#f56810"/>
  <!-- The hearth stone and the mantel. -->
  <rect x="8" y="114" width="112" height="8" rx="2" fill="#6f6356" stroke="#4e443a" stroke-width="2"/>
  <rect x="6" y="14" width="116" height="13" rx="3" fill="url(#wood)" stroke="#3d2410" stroke-width="2"/>
</svg>
"""


def IconSvg():
    core = Hex(kFireRamp[-1][1])
    return kTemplate.format(fire=FireStops(), outer=kOuterFlame, inner=kInnerFlame, core=core)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", required=True, help="the SVG file to write")
    args = ap.parse_args()
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w") as f:
        f.write(IconSvg())


if __name__ == "__main__":
    main()
