#!/usr/bin/env python3
"""Writes the example network of examples/ in millimetres: python3 to_millimetres.py

Coordinates and sides are scaled as decimal text (three decimals of a metre become whole
millimetres), angles and comment lines are copied unchanged, TABs kept.
"""
import os
from decimal import Decimal

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "..", "..", "..", "examples")


def mm(text):
    value = Decimal(text) * 1000
    assert value == value.to_integral_value(), text
    return str(int(value))


def convert(name, out, scaled_columns):
    with open(os.path.join(EXAMPLES, name), encoding="ascii", newline="") as f:
        lines = f.read().split("\n")
    result = []
    for line in lines:
        end = "\r" if line.endswith("\r") else ""
        body = line[: len(line) - len(end)]
        if body and not body.startswith("//"):
            fields = body.split("\t")
            for i in scaled_columns(len(fields)):
                fields[i] = mm(fields[i])
            body = "\t".join(fields)
        result.append(body + end)
    with open(os.path.join(HERE, out), "w", encoding="ascii", newline="") as f:
        f.write("\n".join(result))


# name X Y: both coordinates; back station fore angle [side]: the side only.
convert("TOADO_GOC.DTA", "known.DTA", lambda n: [1, 2])
convert("SOLIEU_DO.DTA", "observations.DTA", lambda n: [4] if n == 5 else [])
