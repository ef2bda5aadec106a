#!/usr/bin/env python3
"""Writes the example detail survey of examples/.

Two stations on known points of the example network: GPS02 oriented on GPS01 with the circle at
zero, GPS03 oriented on GPS04 with an opening reading of 90 degrees. Twelve staff points a station
are drawn at random (fixed seed); their readings are rounded as a total station shows them (1",
1 mm). Both files observe the same points, so F8 and F9 give the same heights to about a
millimetre; every third zenith angle is read on face right.

Usage: examples/make_detail_example.py [folder]
Writes TOADO_CAO_GOC.DTA (name, X, Y, H), CHITIET_THIENDINH.DTA (for F7 and F9) and
CHITIET_CHENHCAO.DTA (for F8).
"""
import math
import random
import sys
from pathlib import Path

KNOWN = {
    "GPS01": (2335124.318, 585043.227, 12.415), "GPS02": (2335002.741, 585001.506, 11.872),
    "GPS03": (2334381.962, 585889.471, 9.634), "GPS04": (2334209.305, 586012.884, 9.205),
}
# Station, orientation point, opening reading (degrees), instrument height.
STATIONS = [("GPS02", "GPS01", 0.0, 1.452), ("GPS03", "GPS04", 90.0, 1.503)]


def dms(deg):
    sec = round(deg * 3600.0)
    d, rest = divmod(sec, 3600)
    m, s = divmod(rest, 60)
    return "{}.{:02d}{:02d}".format(d, m, s)


def main(folder):
    rng = random.Random(20100)
    out = Path(folder)
    with open(out / "TOADO_CAO_GOC.DTA", "w", newline="\r\n") as f:
        for name, (x, y, h) in KNOWN.items():
            f.write("{}\t{:.3f}\t{:.3f}\t{:.3f}\n".format(name, x, y, h))
    zenith = ["// Diem chi tiet: so hieu, goc bang, canh bang, cao mia, goc thien dinh"]
    dh = ["// Diem chi tiet: so hieu, goc bang, canh bang, cao mia, chenh cao"]
    number = 0
    for station, target, opening, hi in STATIONS:
        first = "({})".format(dms(opening)) if opening else ""
        zenith.append("// Tram {} dinh huong {}".format(station, target))
        dh.append("// Tram {} dinh huong {}".format(station, target))
        zenith.append("{},{},{},{:.3f}".format(first, station, target, hi))
        dh.append("{},{},{},{:.3f}".format(first, station, target, hi))
        for _ in range(12):
            number += 1
            angle = rng.uniform(0.0, 360.0)
            dist = rng.uniform(8.0, 120.0)
            rise = rng.uniform(-2.5, 2.5)  # true height of the ground point above the station's
            staff = rng.choice([1.5, 2.0, 2.5])
            a = round(angle * 3600.0) / 3600.0
            d = round(dist, 3)
            dhv = rise + staff - hi  # instrument axis to staff top
            z = 90.0 - math.degrees(math.atan2(dhv, d))
            face_right = number % 3 == 0
            ztext = dms(360.0 - z) if face_right else dms(z)
            zenith.append("{} {} {:.3f} {:.1f} {}".format(number, dms(a), d, staff, ztext))
            dh.append("{} {} {:.3f} {:.1f} {:.3f}".format(number, dms(a), d, staff, dhv))
    for name, lines in (("CHITIET_THIENDINH.DTA", zenith), ("CHITIET_CHENHCAO.DTA", dh)):
        with open(out / name, "w", newline="\r\n") as f:
            f.write("".join(line + "\n" for line in lines))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
