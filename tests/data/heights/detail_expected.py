#!/usr/bin/env python3
"""Works out the expected files of the detail-point cases from their inputs, independently of the
program: python3 detail_expected.py <case folder>...

Writes expected/<result> (name,X,Y,H with three decimals) and, when the case asks for the drawing,
expected/<result stem>.dxf.txt as check_dxf.py lists a drawing. Prints where a run stops; the
dialogue of a case is written by hand. Only what the cases use is read: blank-, tab- or
comma-separated lines, angles as D.MMSS with a point, lengths in metres or millimetres.
"""
import math
import os
import sys

MODES = {"F7": 0, "F8": 1, "F9": 2}


def case_settings(folder):
    with open(os.path.join(folder, "case.txt"), encoding="utf-8") as f:
        lines = [l.strip() for l in f]
    s = {"command": lines[0].split()[1], "MetresFlag": "true", "AcadUploadEnabled": "false",
         "AcadUploadDetailPoints": "false", "AcadUploadFlags": "0", "AcadTextHeight3": "2",
         "AcadHeightTextHeight": "2"}
    for l in lines[1:]:
        if l and not l.startswith("#") and "=" in l:
            k, v = (p.strip() for p in l.split("=", 1))
            s[k] = v
    return s


def fields(line):
    line = line.split("//")[0].rstrip(" \t,;|")
    if not line.strip(" "):
        return []
    line = " ".join(line.split(" ")).strip(" ")
    while "  " in line:
        line = line.replace("  ", " ")
    for sep in (" ", "\t", ","):
        if sep in line:
            return [p.replace(" ", "") for p in line.split(sep)]
    return [line]


def dms(text):
    sign = -1.0 if text.startswith("-") else 1.0
    text = text.lstrip("-")
    d, _, rest = text.partition(".")
    rest = rest.ljust(4, "0")
    seconds = float(rest[2:4] + "." + rest[4:]) if len(rest) > 4 else float(rest[2:4])
    return sign * (int(d) + int(rest[0:2]) / 60.0 + seconds / 3600.0)


def azimuth(x1, y1, x2, y2):
    return math.degrees(math.atan2(y2 - y1, x2 - x1)) % 360.0


def fixed3(v):
    t = "{:.3f}".format(v)
    return "0.000" if t == "-0.000" else t


def compute(folder, s):
    mode = MODES[s["command"]]
    unit = 1.0 if s["MetresFlag"] == "true" else 0.001
    known = {}
    with open(os.path.join(folder, s["known"]), encoding="latin-1") as f:
        for line in f:
            p = fields(line.rstrip("\r\n"))
            if len(p) >= 3:
                h = float(p[3]) * unit if mode and len(p) >= 4 else None
                known[p[0].upper()] = (float(p[1]) * unit, float(p[2]) * unit, h)
    points, stop, station = [], None, None
    with open(os.path.join(folder, s["observations"]), encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            p = fields(line.rstrip("\r\n"))
            if len(p) < 3:
                continue
            p += [""] * (5 - len(p))
            try:
                if p[0] == "" or p[0].startswith("("):
                    opening = dms(p[0][1:-1]) if p[0] else 0.0
                    sx, sy, sh = known[p[1].upper()]
                    tx, ty, _ = known[p[2].upper()]
                    hi = float(p[3]) * unit if mode else 0.0
                    station = (sx, sy, sh, hi, azimuth(sx, sy, tx, ty) - opening)
                    continue
                if station is None:
                    raise ValueError("staff line before any station")
                name = str(int(p[0]))
                d = float(p[2]) * unit
                a = dms(p[1]) + station[4]
                x = station[0] + d * math.cos(math.radians(a))
                y = station[1] + d * math.sin(math.radians(a))
                h = 0.0
                if mode == 1:
                    h = station[2] + station[3] + float(p[4]) * unit - float(p[3]) * unit
                elif mode == 2:
                    z = dms(p[4])
                    v = 90.0 - z if z <= 180.0 else z - 270.0
                    h = station[2] + station[3] + d * math.tan(math.radians(v)) - float(p[3]) * unit
                points.append((name, x, y, h))
            except (ValueError, KeyError, TypeError) as e:
                stop = (number, str(e))
                break
    return mode, points, stop


def near_half(v, decimals):
    scaled = abs(v) * 10 ** decimals
    return abs(scaled - math.floor(scaled) - 0.5) < 1e-6


def round_half_even(v, decimals):
    scaled = abs(v) * 10 ** decimals
    whole = math.floor(scaled)
    frac = scaled - whole
    if frac > 0.5 or (frac == 0.5 and whole % 2 == 1):
        whole += 1
    r = math.copysign(whole / 10 ** decimals, v)
    return 0.0 if r == 0 else r


def shortest(v):
    if v == 0:
        return "0"
    t = repr(v)
    return t[:-2] if t.endswith(".0") else t


def g10(v):
    return "{:.10g}".format(v)


def drawing(mode, points, s):
    flags = int(s["AcadUploadFlags"]) & (7 if mode else 1)
    out = ["version AC1009", "layer 0 7", "layer toadodiem 1", "layer sohieudiem 2", "layer docaodiem 3"]
    counts = {}
    for name, x, y, h in points:
        z = h if flags & 4 else 0.0
        at = "{} {} {}".format(g10(y), g10(x), g10(z))
        out.append("POINT toadodiem " + at)
        counts[("toadodiem", "POINT")] = counts.get(("toadodiem", "POINT"), 0) + 1
        if flags & 1:
            out.append('TEXT sohieudiem " {}" {} h{}'.format(name, at, g10(float(s["AcadTextHeight3"]))))
            counts[("sohieudiem", "TEXT")] = counts.get(("sohieudiem", "TEXT"), 0) + 1
        if flags & 2:
            if near_half(h, 2):
                print("  height {} is too near a rounding half".format(h))
            text = shortest(round_half_even(h, 2))
            out.append('TEXT docaodiem " {}" {} h{}'.format(text, at, g10(float(s["AcadHeightTextHeight"]))))
            counts[("docaodiem", "TEXT")] = counts.get(("docaodiem", "TEXT"), 0) + 1
    for (layer, kind), n in sorted(counts.items()):
        out.append("count {} {} {}".format(layer, kind, n))
    return out


def main(folders):
    for folder in folders:
        s = case_settings(folder)
        mode, points, stop = compute(folder, s)
        os.makedirs(os.path.join(folder, "expected"), exist_ok=True)
        lines = []
        for name, x, y, h in points:
            for v in (x, y, h):
                if near_half(v, 3):
                    print("  {}: {} is too near a rounding half".format(name, v))
            lines.append("{},{},{},{}".format(name, fixed3(x), fixed3(y), fixed3(h)))
        with open(os.path.join(folder, "expected", s["result"]), "w", newline="\n") as f:
            f.write("".join(l + "\n" for l in lines))
        if s["AcadUploadEnabled"] == "true" and s["AcadUploadDetailPoints"] == "true":
            stem = os.path.splitext(s["result"])[0]
            with open(os.path.join(folder, "expected", stem + ".dxf.txt"), "w", newline="\n") as f:
                f.write("".join(l + "\n" for l in drawing(mode, points, s)))
        print("{}: {} points{}".format(os.path.basename(folder.rstrip("/")), len(points),
                                       ", stops at line {} ({})".format(*stop) if stop else ""))


if __name__ == "__main__":
    main(sys.argv[1:])
