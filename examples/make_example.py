#!/usr/bin/env python3
"""Writes the example traverse network of examples/ from its true coordinates.

The field observations are the true angles and horizontal distances with the noise of an ordinary
total station added (angles 5", distances 3 mm + 2 ppm), with a fixed seed so the files do not
change from one run to the next.

Usage: examples/make_example.py [folder] [--true FILE]
--true also writes the true coordinates of every point, for the test that runs the example.
"""
import math
import random
import sys
from pathlib import Path

# True coordinates (metres, X north, Y east) of a small area network, VN-2000 zone values.
TRUE = {
    # Known points: pairs of intervisible points, one pair at each end of every traverse.
    "GPS01": (2335124.318, 585043.227), "GPS02": (2335002.741, 585001.506),
    "GPS03": (2334381.962, 585889.471), "GPS04": (2334209.305, 586012.884),
    "GPS05": (2334126.557, 585171.240), "GPS06": (2333968.118, 585062.973),
    "GPS07": (2335311.406, 585760.112), "GPS08": (2335468.930, 585842.675),
    # First order: GPS02 - I1..I8 - GPS03, with a branch I4 - J1..J3 - GPS05.
    "I1": (2334843.275, 585122.648), "I2": (2334704.561, 585309.184),
    "I3": (2334656.102, 585534.590), "I4": (2334588.944, 585641.315),
    "I5": (2334655.820, 585801.057), "I6": (2334719.433, 585968.210),
    "I7": (2334592.716, 586088.903), "I8": (2334463.195, 585996.458),
    "J1": (2334449.870, 585580.214), "J2": (2334338.011, 585452.776),
    "J3": (2334234.627, 585311.903),
    # Second order: GPS07 - Q1..Q4 - I6, closed on I6 by its coordinates only (no angle at I6).
    "Q1": (2335198.384, 585873.520), "Q2": (2335063.027, 585931.466),
    "Q3": (2334942.611, 585995.014), "Q4": (2334824.158, 586011.379),
    # Hanging traverse from I2.
    "H1": (2334582.930, 585226.117), "H2": (2334471.315, 585149.802),
    "H3": (2334372.268, 585065.431),
}

KNOWN = ["GPS01", "GPS02", "GPS03", "GPS04", "GPS05", "GPS06", "GPS07", "GPS08"]

# Traverses as point sequences: along each, the angle (back, station, fore) at every inner point
# and the side from it to the fore point, except between two known points. The second-order
# traverse ends on I6 with a side only (no angle at I6); the last one hangs from I2.
TRAVERSES = [
    ["GPS01", "GPS02", "I1", "I2", "I3", "I4", "I5", "I6", "I7", "I8", "GPS03", "GPS04"],
    ["I3", "I4", "J1", "J2", "J3", "GPS05", "GPS06"],
    ["GPS08", "GPS07", "Q1", "Q2", "Q3", "Q4", "I6"],
    ["I1", "I2", "H1", "H2", "H3"],
]

ANGLE_SIGMA = 5.0  # seconds
DIST_SIGMA_MM = 3.0
DIST_SIGMA_PPM = 2.0


def azimuth(a, b):
    (xa, ya), (xb, yb) = TRUE[a], TRUE[b]
    return math.degrees(math.atan2(yb - ya, xb - xa)) % 360.0


def distance(a, b):
    (xa, ya), (xb, yb) = TRUE[a], TRUE[b]
    return math.hypot(xb - xa, yb - ya)


def dms(degrees):
    """DDD.MMSSs: degrees, two digits of minutes, seconds to a tenth."""
    tenths = round(degrees * 36000.0) % (360 * 36000)
    d, rest = divmod(tenths, 36000)
    m, s = divmod(rest, 600)
    return f"{d}.{m:02d}{s // 10:02d}{s % 10}"


def main():
    args = sys.argv[1:]
    true_file = None
    if "--true" in args:
        at = args.index("--true")
        true_file = Path(args[at + 1])
        del args[at:at + 2]
    folder = Path(args[0]) if args else Path(__file__).resolve().parent
    rng = random.Random(1)

    known = [f"{name}\t{TRUE[name][0]:.3f}\t{TRUE[name][1]:.3f}" for name in KNOWN]

    lines = ["// Luoi duong chuyen cap 2 - khu vuc vi du", "// Tram sau  Tram may  Tram truoc  Goc (D.MMSS)  Canh (m)"]
    for stations in TRAVERSES:
        end = stations[-2] if stations[-1] in KNOWN else stations[-1]
        lines.append(f"// Duong chuyen {stations[1]} - {end}")
        for i in range(1, len(stations) - 1):
            back, at, fore = stations[i - 1], stations[i], stations[i + 1]
            angle = (azimuth(at, fore) - azimuth(at, back)) % 360.0
            angle += rng.gauss(0.0, ANGLE_SIGMA) / 3600.0
            fields = [back, at, fore, dms(angle)]
            closing_pair = fore in KNOWN and at in KNOWN
            if not closing_pair:
                s = distance(at, fore)
                s += rng.gauss(0.0, (DIST_SIGMA_MM + DIST_SIGMA_PPM * s / 1000.0) / 1000.0)
                fields.append(f"{s:.3f}")
            lines.append("\t".join(fields))

    (folder / "TOADO_GOC.DTA").write_bytes(("\r\n".join(known) + "\r\n").encode("ascii"))
    if true_file:
        rows = [f"{name}\t{x:.3f}\t{y:.3f}" for name, (x, y) in TRUE.items()]
        true_file.write_bytes(("\r\n".join(rows) + "\r\n").encode("ascii"))
    (folder / "SOLIEU_DO.DTA").write_bytes(("\r\n".join(lines) + "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
