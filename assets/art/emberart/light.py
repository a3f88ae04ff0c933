"""The fire's light on the scene and the room's shade toward the screen's edges.

A light map is laid over the finished scene: its colour is the warm colour of
firelight and its coverage says how much of that light falls on each pixel; the saver
brightens what lies under it by coverage times the fire's changing level. The light
falls where the fire can reach: the stone along the firebox mouth (most low down,
near the fire), the fronts of the logs, the andirons and the hearth floor; the
fire's own body and the far parts of the surround get none.

The shades darken the room toward the screen's left and right edges: black, their
coverage rising from nothing on their inner side.
"""

import numpy as np

from .common import Blur, Col, Picture, PixelGrid, Scale, Smooth

kFirelight = Col(255, 160, 80)
kLightSize = (800, 600)
kShadeSize = (240, 600)

# Where the pieces the light falls on stand on the scene (x, y).
kLogsAt = (83, 435)
kAndironsAt = ((50, 292), (580, 292))

# Coverage at its strongest on each part: at the saver's middle level (170 of 255),
# 0.45 brightens by 30 %, 0.62 by about 40 %.
kStoneLight = 0.45
kLogsLight = 0.62
kAndironLight = 0.40
kFloorLight = 0.35

# The shades' coverage at their outer side, and how much more at the corners.
kShadeEdge = 60.0 / 255.0
kShadeCorners = 0.35


def _Place(alpha, at):
    """A sprite's coverage at its place on the 800 x 600 scene."""
    k = Scale()
    w, h = kLightSize
    out = np.zeros((h * k, w * k))
    x, y = at[0] * k, at[1] * k
    ah, aw = alpha.shape
    out[y : y + ah, x : x + aw] = alpha[: h * k - y, : w * k - x]
    return out


def MakeLight(stone, logs, andirons):
    """The light map of one style: `stone` is the surround's coverage of the scene,
    `logs` the logs' coverage and `andirons` the left and right andirons'."""
    w, h = kLightSize
    yy, xx = PixelGrid(h, w)
    stone = np.clip(stone, 0, 1)
    opening = 1.0 - stone
    # A band some 40 px wide along the mouth, brightest low down beside the fire.
    near = np.clip(2.2 * Blur(opening, 20.0), 0, 1)
    on_stone = kStoneLight * near * (0.55 + 0.45 * Smooth(240.0, 540.0, yy))
    logs = np.clip(Blur(_Place(logs, kLogsAt), 0.8), 0, 1)
    irons = np.clip(sum(_Place(a, at) for a, at in zip(andirons, kAndironsAt)), 0, 1)
    # Inside the mouth, layered as the scene is drawn: the floor, the logs, the andirons.
    floor = kFloorLight * Smooth(556.0, 590.0, yy)
    on_logs = kLogsLight * (0.75 + 0.25 * Smooth(600.0, 470.0, yy))
    on_irons = kAndironLight * (0.55 + 0.45 * Smooth(330.0, 560.0, yy))
    inside = irons * on_irons + (1 - irons) * (logs * on_logs + (1 - logs) * floor)
    alpha = Blur(stone * on_stone + opening * inside, 0.6)
    # Nothing faint is left, so the saver redraws only where the light shows.
    alpha = np.where(alpha < 1.5 / 255.0, 0.0, np.clip(alpha, 0, 1))
    return Picture(kFirelight * np.ones(alpha.shape + (3,)), alpha)


def MakeShade(right):
    """The room's shade toward one of the screen's edges."""
    w, h = kShadeSize
    yy, xx = PixelGrid(h, w)
    out = np.clip((w - 1 - xx) / (w - 1), 0, 1)
    corner = np.abs(yy - (h - 1) / 2.0) / ((h - 1) / 2.0)
    alpha = kShadeEdge * out ** 1.6 * (1.0 + kShadeCorners * corner ** 2)
    if right:
        alpha = alpha[:, ::-1]
    return Picture(np.zeros(alpha.shape + (3,)), alpha)
