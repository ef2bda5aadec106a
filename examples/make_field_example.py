#!/usr/bin/env python3
"""Writes the raw field file of examples/: the traverse GPS01 - GPS02 - I1..I8 - GPS03 - GPS04 of
the example network read in two sets at every station, as the raw conversion writes it.

At each station the backsight and the foresight are read face left, then face right in reverse
order; the second set starts 90 degrees further round. The face-right readings carry a small
collimation error (the 2C of the book). Distances are measured once forward and once back.

Usage: examples/make_field_example.py [folder] [--exact]
--exact leaves out the random reading noise (the test of the whole run uses that file).
"""
import math
import random
import sys
from pathlib import Path

from make_example import TRUE, TRAVERSES, azimuth, distance

READING_SIGMA = 2.0  # seconds
DIST_SIGMA_MM = 3.0


def dms(degrees):
    """DDD.MMSS to whole seconds, as the raw conversion writes a reading."""
    seconds = round(degrees * 3600.0) % (360 * 3600)
    d, rest = divmod(seconds, 3600)
    m, s = divmod(rest, 60)
    return f"{d}.{m:02d}{s:02d}"


def main():
    args = sys.argv[1:]
    exact = "--exact" in args
    args = [a for a in args if a != "--exact"]
    folder = Path(args[0]) if args else Path(__file__).resolve().parent
    rng = random.Random(7)
    noise = (lambda: 0.0) if exact else (lambda: rng.gauss(0.0, READING_SIGMA) / 3600.0)

    stations = TRAVERSES[0]
    angles, sides = [], []
    for i in range(1, len(stations) - 1):
        back, at, fore = stations[i - 1], stations[i], stations[i + 1]
        beta = (azimuth(at, fore) - azimuth(at, back)) % 360.0
        for s in range(2):
            start = 90.0 * s + (12 + 7 * i) / 3600.0
            collimation = (3 + i % 4) / 3600.0
            left = {back: start + noise(), fore: start + beta + noise()}
            right = {p: (v + 180.0 + collimation + noise()) % 360.0 for p, v in left.items()}
            for p in (back, fore):
                angles.append(f"{back}\t{at}\t{p}\t{dms(left[p])}\t\t//T")
            for p in (fore, back):
                angles.append(f"{back}\t{at}\t{p}\t{dms(right[p])}\t\t//D")
        angles.append("")
        if not (at in ("GPS02", "GPS03") and fore in ("GPS03", "GPS04")):
            d = distance(at, fore)
            for a, b in ((at, fore), (fore, at)):
                value = d + (0.0 if exact else rng.gauss(0.0, DIST_SIGMA_MM / 1000.0))
                sides.append(f"{a}\t{b}\t{value:.3f}")

    name = "SOTHO_GOCCANH.DTA"
    (folder / name).write_bytes(("\r\n".join(angles + sides) + "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
