#!/usr/bin/env python3
"""A connecting traverse K1-K2 ... P1..P4 ... K3-K4 without observation errors: the observations
are computed from the true coordinates, so an adjustment must give these back to the millimetre.
Writes known.DTA, observations.DTA and true-coordinates.txt next to this script."""
import math
import os

POINTS = [("K1", 2335120.000, 585040.000), ("K2", 2335000.000, 585000.000), ("P1", 2334842.513, 585121.307),
          ("P2", 2334703.118, 585310.552), ("P3", 2334655.904, 585534.019), ("P4", 2334512.377, 585702.840),
          ("K3", 2334380.000, 585890.000), ("K4", 2334210.000, 586010.000)]


def azimuth(a, b):
    return math.degrees(math.atan2(b[2] - a[2], b[1] - a[1]))


def dms(degrees):  # "DDD.MMSSssss": seconds with four decimals
    t = round(degrees * 3600 * 10000)
    return "%d.%02d%06d" % (t // 36000000, t // 600000 % 60, t % 600000)


here = os.path.dirname(os.path.abspath(__file__))
lines = ["// Duong chuyen phu hop K2 - K3"]
for i in range(1, len(POINTS) - 1):
    back, at, fore = POINTS[i - 1], POINTS[i], POINTS[i + 1]
    line = "%s %s %s %s" % (back[0], at[0], fore[0], dms((azimuth(at, fore) - azimuth(at, back) + 360) % 360))
    if i + 2 < len(POINTS):
        line += " %.5f" % math.hypot(fore[1] - at[1], fore[2] - at[2])
    lines.append(line)
with open(os.path.join(here, "observations.DTA"), "w", newline="") as f:
    f.write("".join(l + "\r\n" for l in lines))
for name, chosen in (("known.DTA", (0, 1, 6, 7)), ("true-coordinates.txt", range(len(POINTS)))):
    with open(os.path.join(here, name), "w", newline="") as f:
        f.write("".join("%s\t%.3f\t%.3f\r\n" % POINTS[i] for i in chosen))
