#!/usr/bin/env python3
"""Reads a DXF drawing with ezdxf and prints what a CAD program would find in it, so that the
tests compare it with what they expect.

Output, one item a line:
  version <$ACADVER>
  layer <name> <colour>                                   (table order)
  POINT <layer> <x> <y> <z>
  LINE <layer> <colour> <x1> <y1> <z1> > <x2> <y2> <z2>
  TEXT <layer> "<text>" <x> <y> <z> h<height>
  count <layer> <type> <n>                                (sorted)
Text bytes outside ASCII are printed as \\xNN of the file's byte.
Exit status 2 when ezdxf is missing, 3 when the drawing does not load, 4 when its audit finds errors.
"""
import collections
import sys

try:
    import ezdxf
except ImportError:
    print("python3-ezdxf is not installed", file=sys.stderr)
    sys.exit(2)


def num(v):
    return "{:.10g}".format(v)


def show_text(s):
    out = []
    for ch in s:
        if 32 <= ord(ch) < 127:
            out.append(ch)
        else:
            out.append("\\x{:02X}".format(ch.encode("cp1252", "surrogateescape")[0]))
    return "".join(out)


def main(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as exc:  # any load failure is a failed check
        print("cannot load: {}".format(exc), file=sys.stderr)
        return 3
    auditor = doc.audit()
    if auditor.has_errors:
        for err in auditor.errors:
            print("audit: {}".format(err.message), file=sys.stderr)
        return 4
    print("version {}".format(doc.dxfversion))
    for layer in doc.layers:
        if layer.dxf.name == "Defpoints":  # ezdxf adds it on loading
            continue
        print("layer {} {}".format(layer.dxf.name, layer.color))
    counts = collections.Counter()
    for e in doc.modelspace():
        kind = e.dxftype()
        layer = e.dxf.layer
        counts[(layer, kind)] += 1
        if kind == "POINT":
            p = e.dxf.location
            print("POINT {} {} {} {}".format(layer, num(p.x), num(p.y), num(p.z)))
        elif kind == "LINE":
            a, b = e.dxf.start, e.dxf.end
            print("LINE {} {} {} {} {} > {} {} {}".format(
                layer, e.dxf.color, num(a.x), num(a.y), num(a.z), num(b.x), num(b.y), num(b.z)))
        elif kind == "TEXT":
            p = e.dxf.insert
            print('TEXT {} "{}" {} {} {} h{}'.format(
                layer, show_text(e.dxf.text), num(p.x), num(p.y), num(p.z), num(e.dxf.height)))
        else:
            print("{} {}".format(kind, layer))
    for (layer, kind), n in sorted(counts.items()):
        print("count {} {} {}".format(layer, kind, n))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print("usage: check_dxf.py drawing.dxf", file=sys.stderr)
        sys.exit(1)
    sys.exit(main(sys.argv[1]))
