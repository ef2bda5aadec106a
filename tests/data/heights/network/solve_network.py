# Weighted least squares over every point of lines.txt (weight 1 / length), known heights fixed;
# plain Gauss-Jordan elimination in fractions, so the result owes nothing to the program.
from fractions import Fraction as F
import sys
scale = F(1000) if len(sys.argv) > 1 and sys.argv[1] == "mm" else F(1)
known = {}
for line in open("known.txt"):
    f = line.split()
    if len(f) == 2: known[f[0]] = F(f[1]) / scale
obs = [(f[0], f[1], F(f[2]) / scale, F(f[3]) / scale) for f in (l.split() for l in open("lines.txt")) if len(f) == 4]
names = []
for a, b, _, _ in obs:
    for p in (a, b):
        if p not in known and p not in names: names.append(p)
n = len(names); ix = {p: i for i, p in enumerate(names)}
N = [[F(0)] * (n + 1) for _ in range(n)]
for a, b, s, dh in obs:  # H(b) - H(a) = dh
    w = 1 / s
    rhs = dh - (known.get(b, 0)) + (known.get(a, 0))
    row = [(ix[b], 1)] if b in ix else []
    row += [(ix[a], -1)] if a in ix else []
    for i, ci in row:
        for j, cj in row: N[i][j] += w * ci * cj
        N[i][n] += w * ci * rhs
for c in range(n):
    p = next(r for r in range(c, n) if N[r][c] != 0); N[c], N[p] = N[p], N[c]
    for r in range(n):
        if r != c and N[r][c] != 0:
            k = N[r][c] / N[c][c]; N[r] = [x - k * y for x, y in zip(N[r], N[c])]
for p in names: print(p, "%.6f" % float(N[ix[p]][n] / N[ix[p]][ix[p]]))
