#!/usr/bin/env python3
"""Writes the detail example of examples/ (F8, height differences) in millimetres:
python3 to_millimetres.py

Every length is scaled as decimal text (coordinates, heights, instrument and staff heights,
distances, height differences); names, angles and comment lines are copied unchanged.
"""
import os
from decimal import Decimal

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "..", "..", "..", "examples")


def mm(text):
    value = Decimal(text) * 1000
    assert value == value.to_integral_value(), text
    return str(int(value))


def convert(name, out, separator, scaled_columns):
    with open(os.path.join(EXAMPLES, name), encoding="ascii", newline="") as f:
        lines = f.read().split("\n")
    result = []
    for line in lines:
        end = "\r" if line.endswith("\r") else ""
        body = line[: len(line) - len(end)]
        if body and not body.startswith("//"):
            sep = "," if "," in body else separator
            fields = body.split(sep)
            for i in scaled_columns(fields):
                fields[i] = mm(fields[i])
            body = sep.join(fields)
        result.append(body + end)
    with open(os.path.join(HERE, out), "w", encoding="ascii", newline="") as f:
        f.write("\n".join(result))


# name X Y H.
convert("TOADO_CAO_GOC.DTA", "known.txt", "\t", lambda f: [1, 2, 3])
# Station lines ",station,orientation,instrument height"; staff lines "number angle distance staff dh".
convert("CHITIET_CHENHCAO.DTA", "obs.txt", " ", lambda f: [3] if len(f) == 4 else [2, 3, 4])
