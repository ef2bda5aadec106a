#!/usr/bin/env python3
"""Writes the synthetic raw downloads of the conversion tests from known true geometry, and the
files each conversion must give, worked out here from the readings as written in the downloads.

Two stations: A1 oriented on B2, and C3 oriented on A1. From A1: the backsight, a control target
named with letters (C3, also on face right), numbered targets on both sides of the control-from
number 5000 (5000 and 4999; 5001 is read without a distance), details 101 and 102, and 4999 whose
reading lies below the orientation reading. From C3: the backsight A1, control B2, details 103, 104.

Run with no argument: rewrites the case folders beside this script and the downloads in examples/.
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.normpath(os.path.join(HERE, "..", "..", "..", "..", "examples"))

# name: X (north), Y (east), H
TRUE = {
    "A1": (1000.000, 2000.000, 10.000),
    "B2": (1120.000, 2090.000, 12.500),
    "C3": (940.000, 2135.000, 9.200),
    "5000": (1060.000, 2160.000, 11.100),
    "5001": (1150.000, 1990.000, 13.000),
    "4999": (930.000, 1940.000, 9.800),
    "101": (1080.000, 2110.000, 11.700),
    "102": (1025.000, 2075.000, 10.450),
    "103": (900.000, 2200.000, 8.600),
    "104": (985.000, 2180.000, 9.900),
}
CONTROL_FROM = 5000

# station, backsight, instrument height, reading on the backsight (seconds)
STATIONS = [
    ("A1", "B2", 1.520, (250 * 60 + 10) * 60 + 20),
    ("C3", "A1", 1.480, (15 * 60 + 20) * 60 + 30),
]
# per station: (target, face, target height, ranged)
SIGHTS = {
    "A1": [("B2", "L", 1.600, True), ("C3", "L", 1.600, True), ("5000", "L", 1.600, True),
           ("4999", "L", 1.500, True), ("101", "L", 2.000, True), ("102", "L", 1.500, True),
           ("5001", "L", 1.600, False), ("C3", "R", 1.600, True), ("B2", "R", 1.600, True)],
    "C3": [("A1", "L", 1.600, True), ("B2", "L", 1.600, True), ("103", "L", 1.500, True),
           ("104", "L", 1.800, True)],
}


def azimuth(a, b):
    dx, dy = TRUE[b][0] - TRUE[a][0], TRUE[b][1] - TRUE[a][1]
    return math.degrees(math.atan2(dy, dx)) % 360.0


class Reading:
    """One sight as an instrument writes it: whole seconds, millimetres."""

    def __init__(self, station, backsight, ih, r0, target, face, th, ranged):
        self.station, self.backsight, self.ih, self.target, self.face, self.th = station, backsight, ih, target, face, th
        hz = r0 / 3600.0 + azimuth(station, target) - azimuth(station, backsight)
        hd = math.hypot(TRUE[target][0] - TRUE[station][0], TRUE[target][1] - TRUE[station][1])
        dv = TRUE[target][2] + th - TRUE[station][2] - ih
        zen = 90.0 - math.degrees(math.atan2(dv, hd))
        if face == "R":
            hz, zen = hz + 180.0, 360.0 - zen
        self.hz = round(hz * 3600) % (360 * 3600)
        self.v = round(zen * 3600)
        self.sd = round(math.hypot(hd, dv) * 1000) if ranged else 0  # mm
        self.r0 = r0

    # What every reader derives from the written values.
    def elevation(self):
        v = self.v / 3600.0
        return 90.0 - v if v < 180 else v - 270.0

    def hd(self):
        return self.sd / 1000.0 * math.cos(math.radians(self.elevation()))

    def vertical(self, hd):
        return math.tan(math.radians(self.elevation())) * hd


def readings():
    out = []
    for station, backsight, ih, r0 in STATIONS:
        out.append([Reading(station, backsight, ih, r0, t, f, th, rg) for t, f, th, rg in SIGHTS[station]])
    return out


def dms(seconds):
    seconds %= 360 * 3600
    return "%d.%02d%02d" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def f3(x):
    scaled = abs(x) * 1000.0
    assert abs(scaled - math.floor(scaled) - 0.5) > 1e-6, "a value on a rounding edge: %r" % x
    return "%.3f" % x


def is_detail(name, control_from):
    return name.isdigit() and (control_from < 0 or int(name) < control_from)


class Expected:
    """The output contract, line by line."""

    def __init__(self, heights, control_from, corr_control=0.0, corr_detail=0.0, corr_th=0.0):
        self.heights, self.control_from = heights, control_from
        self.cc, self.dc, self.tc = corr_control, corr_detail, corr_th
        self.obs, self.work, self.detail, self.dh, self.dt, self.dwh = [], [], [], [], [], []

    def angle(self, bs, st, t, hz, mark=""):
        self.obs.append("%s\t%s\t%s\t%s%s" % (bs, st, t, dms(hz), mark))

    def header(self, st, bs, ih):
        self.detail.append("\t%s\t%s" % (st, bs))
        if ih is not None and self.heights:
            self.dwh.append("\t%s\t%s\t%s" % (st, bs, f3(ih)))

    def control(self, r, mark="", write_angle=True, heights=True, hd=None, vertical=None):
        if write_angle:
            self.angle(r.backsight, r.station, r.target, r.hz, mark)
        hd = r.hd() if hd is None else hd
        if not hd > 0:
            return
        hdc = hd + self.cc
        self.work.append("%s\t%s\t%s%s" % (r.station, r.target, f3(hdc), mark))
        if self.heights and heights:
            v = r.vertical(hdc) if vertical is None else vertical
            th = r.th + self.tc
            self.dh.append("%s\t%s\t%s\t%s" % (r.station, r.target, f3(hdc), f3(r.ih + v - th)))
            self.dt.append("%s\t%s\t%s\t%s\t%s\t%s" % (r.station, r.target, f3(hdc), f3(v), f3(r.ih), f3(th)))

    def point(self, r, heights=True, hd=None, vertical=None):
        hd = r.hd() if hd is None else hd
        if not hd > 0:
            return
        hdc = hd + self.dc
        # A detail read on face right is turned to its face-left reading first.
        angle = dms(r.hz + (180 * 3600 if r.face == "R" else 0) - r.r0)
        self.detail.append("%s\t%s\t%s" % (r.target, angle, f3(hdc)))
        if self.heights and heights:
            v = r.vertical(hdc) if vertical is None else vertical
            self.dwh.append("%s\t%s\t%s\t%s\t%s" % (r.target, angle, f3(hdc), f3(r.th + self.tc), f3(v)))

    def sight(self, r, **kw):
        if is_detail(r.target, self.control_from):
            self.point(r, **{k: v for k, v in kw.items() if k != "mark"})
        else:
            self.control(r, **kw)

    def files(self):
        out = {"obs.DTA": self.obs + self.work, "mia.DTA": self.detail}
        if self.heights:
            out.update({"chenhcao.DTA": self.dh, "chenhcao.DT": self.dt, "micao.DTA": self.dwh})
        return out


# ---- the downloads --------------------------------------------------------------------------

def gsi_word(index, info, data, sign="+"):
    assert len(index) == 2 and len(info) == 4 and len(data) <= 8
    return index + info + sign + data.rjust(8, "0") + " "


def gsi_angle(seconds):
    return "%03d%02d%02d0" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def gsi_mm(metres):
    return "%08d" % round(metres * 1000)


def gsi_measurement(n, r, t1610):
    words = [gsi_word("11", "%04d" % n, r.target), gsi_word("21", ".324", gsi_angle(r.hz)),
             gsi_word("22", ".324", gsi_angle(r.v)), gsi_word("31", "..00", "%08d" % r.sd),
             gsi_word("51", "..1.", "0000+000")]
    if t1610:
        words += [gsi_word("42", "....", r.station), gsi_word("87", "..10", gsi_mm(r.th)),
                  gsi_word("88", "..10", gsi_mm(r.ih))]
    else:
        words += [gsi_word("87", "..10", gsi_mm(r.th))]
    return "".join(words)


def make_gsi(t1610):
    lines, e, n = [], Expected(True, CONTROL_FROM), 0
    for station in readings():
        first = station[0]
        if not t1610:
            n += 1
            lines.append(gsi_word("41", "%04d" % n, "1") + gsi_word("42", "....", first.station) +
                         gsi_word("43", "....", first.backsight) + gsi_word("44", "....", gsi_mm(first.ih)))
            lines.append("")  # a blank line is skipped
        e.header(first.station, first.backsight, first.ih)
        e.obs.append("")
        for r in station:
            n += 1
            lines.append(gsi_measurement(n, r, t1610))
            e.sight(r)
    return lines, e


def make_idx():
    lines = ["HEADER", '    VERSION "2.0"', "END HEADER", "THEODOLITE"]
    e = Expected(True, CONTROL_FROM)
    for k, station in enumerate(readings(), 1):
        first = station[0]
        lines += ["    SETUP", "        STN_NO %d," % k, '        STN_ID "%s",' % first.station,
                  "        INST_HT %.3f;" % first.ih,
                  "        SLOPE(TgtNo, TgtID, CfgNo, Hz, Vz, SDist, RefHt, Date);"]
        for j, r in enumerate(station, 1):
            lines.append('            %d, "%s", 1, %s, %s, %.3f, %.3f, 2024-05-01;' %
                         (j, r.target, dms(r.hz), dms(r.v), r.sd / 1000.0, r.th))
            if j == 1:
                e.header(r.station, r.target, r.ih)
                e.obs.append("")
            e.sight(r)
        lines.append("    END SETUP")
    lines.append("END THEODOLITE")
    return lines, e


def make_nikon():
    lines = ["CO,Nikon RAW data", "CO,synthetic download"]
    e = Expected(True, CONTROL_FROM)
    for k, station in enumerate(readings()):
        first = station[0]
        if k == 0:
            # Set-up with the circle reading on the backsight; a round on both faces, then shots.
            lines.append("ST,%s,,%s,,%.3f,%s,%s" % (first.station, first.backsight, first.ih,
                                                   dms(round(azimuth("A1", "B2") * 3600)), dms(first.r0)))
            e.obs.append("")
            e.work.append("")
            header = False
            for r in station:
                if r.target in ("B2", "C3"):
                    f = "F1" if r.face == "L" else "F2"
                    lines.append("%s,%s,%.3f,%.3f,%s,%s,10:%02d:00" % (f, r.target, r.th, r.sd / 1000.0,
                                                                      dms(r.hz), dms(r.v), len(lines)))
                    e.control(r, mark="\t\t//T" if r.face == "L" else "\t\t//D", heights=False)
                elif r.target == "5001":
                    # The short layout, neither distance nor zenith angle.
                    lines.append("F1,%s,,%s," % (r.target, dms(r.hz)))
                    e.control(r, mark="\t\t//T", heights=False)
                else:
                    lines.append("SS,%s,%.3f,%.3f,%s,%s,10:%02d:00,PT" % (r.target, r.th, r.sd / 1000.0,
                                                                       dms(r.hz), dms(r.v), len(lines)))
                    if is_detail(r.target, CONTROL_FROM) and not header:
                        e.header(r.station, r.backsight, r.ih)
                        header = True
                    e.sight(r)
        else:
            # No circle reading in the set-up: the backsight is measured as a control point.
            lines.append("ST,%s,,%s,,%.3f" % (first.station, first.backsight, first.ih))
            e.obs.append("")
            e.work.append("")
            header = False
            for r in station:
                if r.target in ("A1", "B2"):
                    lines.append("CP,%s,,%.3f,%.3f,%s,%s,11:00:00" % (r.target, r.th, r.sd / 1000.0,
                                                                    dms(r.hz), dms(r.v)))
                    e.control(r, write_angle=r.target != r.backsight)
                else:
                    lines.append("SS,%s,%.3f,%.3f,%s,%s,11:00:00,PT" % (r.target, r.th, r.sd / 1000.0,
                                                                     dms(r.hz), dms(r.v)))
                    if not header:
                        e.header(r.station, r.backsight, r.ih)
                        header = True
                    e.sight(r)
    return lines, e


def make_topcon():
    lines, e = ["JOB synthetic"], Expected(True, CONTROL_FROM)
    for station in readings():
        first = station[0]
        lines.append("STN %s,%.3f" % (first.station, first.ih))
        for j, r in enumerate(station):
            lines.append("%s %s,%.3f" % ("BS" if j == 0 else "SS", r.target, r.th))
            if r.target == "101" or (r.station == "C3" and j == 0):
                # Horizontal distance and vertical component as the instrument reduced them.
                hd = round(r.hd() * 1000) / 1000.0
                vertical = round(r.vertical(r.hd()) * 1000) / 1000.0
                lines.append("HD %s,%.3f,%.3f" % (dms(r.hz), hd, vertical))
                kw = {"hd": hd, "vertical": vertical}
            elif not r.sd:
                lines.append("HD %s,0.000,0.000" % dms(r.hz))
                kw = {"hd": 0.0}
            else:
                lines.append("SD %s,%s,%.3f" % (dms(r.hz), dms(r.v), r.sd / 1000.0))
                kw = {}
            if j == 0:
                e.control(r, **kw)
                e.header(r.station, r.backsight, r.ih)
                e.obs.append("")
            else:
                e.sight(r, **kw)
    return lines, e


def make_geodimeter():
    lines, e = [], Expected(False, CONTROL_FROM)
    for station in readings():
        first = station[0]
        lines += ["2=%s" % first.station, "3=%.3f" % first.ih, "62=%s" % first.backsight,
                  "21=%s" % dms(first.r0), "0="]
        e.angle(first.backsight, first.station, first.backsight, first.r0)
        e.header(first.station, first.backsight, None)
        for r in station:
            lines += ["5=%s" % r.target, "6=%.3f" % r.th, "7=%s" % dms(r.hz), "8=%s" % dms(r.v)]
            if r.sd:
                lines.append("9=%.3f" % (r.sd / 1000.0))
            lines.append("0=")
            e.sight(r, heights=False)
    assert lines[-1] == "0="
    lines.pop()  # the download ends without its last "0="
    return lines, e


LAYOUTS = [
    # case, instrument index, download name, maker
    ("nikon", 0, "raw.txt", make_nikon),
    ("gsi_tc800", 2, "raw.tc8", lambda: make_gsi(False)),
    ("gsi_t1610", 3, "raw.t16", lambda: make_gsi(True)),
    ("topcon", 4, "raw.gts", make_topcon),
    ("geodimeter", 5, "raw.geo", make_geodimeter),
    ("idx_tc405", 6, "raw.idx", make_idx),
]
EXAMPLE_NAMES = {"nikon": "THO_NIKON.txt", "gsi_tc800": "THO_TC800.tc8", "gsi_t1610": "THO_T1610.t16",
                 "topcon": "THO_GTS229.gts", "geodimeter": "THO_GEO600.geo", "idx_tc405": "THO_TC405.idx"}


def write(path, lines, crlf=False):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as f:
        f.write("".join(l + ("\r\n" if crlf else "\n") for l in lines))


def write_case(name, instrument, download, lines, e, **options):
    folder = os.path.join(HERE, name)
    settings = {"instrument": instrument, "heights": 1 if e.heights else 0, "control_from": e.control_from,
                "control_mm": round(e.cc * 1000), "detail_mm": round(e.dc * 1000),
                "target_height_mm": round(e.tc * 1000), "input": download}
    settings.update(options)
    write(os.path.join(folder, "case.txt"), ["%s = %s" % kv for kv in settings.items()])
    write(os.path.join(folder, download), lines, crlf=True)
    for file, content in e.files().items():
        write(os.path.join(folder, "expected", file), content)


def main():
    for name, instrument, download, make in LAYOUTS:
        lines, e = make()
        write_case(name, instrument, download, lines, e)
        write(os.path.join(EXAMPLES, EXAMPLE_NAMES[name]), lines, crlf=True)
    # The same TC800 download with corrections: 2 mm on control sides, 3 mm on detail sides, 5 mm on
    # target heights.
    lines, _ = make_gsi(False)
    e = Expected(True, CONTROL_FROM, 0.002, 0.003, 0.005)
    for station in readings():
        first = station[0]
        e.header(first.station, first.backsight, first.ih)
        e.obs.append("")
        for r in station:
            e.sight(r)
    write_case("gsi_tc800_corrections", 2, "raw.tc8", lines, e)
    write(os.path.join(HERE, "true_points.txt"), ["%s,%.3f,%.3f,%.3f" % ((n,) + p) for n, p in TRUE.items()])
    write(os.path.join(EXAMPLES, "TOADO_THO.DTA"),
          ["%s,%.3f,%.3f,%.3f" % ((n,) + TRUE[n]) for n in ("A1", "B2", "C3")], crlf=True)


if __name__ == "__main__":
    sys.exit(main())
