#!/usr/bin/python3
"""Draws docs/accuracy.png from the grid that cxfun_accuracy --csv writes.

    cxfun_accuracy --csv accuracy.csv && tools/plot_accuracy.py accuracy.csv docs/accuracy.png

One pair of maps per function: the library's error and the C library's,
over the complex plane with symmetric logarithmic axes (x and y = +-10^u),
coloured by the normwise relative error in ulps on a logarithmic scale.
Points where the library's call ends the process are grey. Needs Debian's
python3-matplotlib.
"""
import csv
import math
import sys
from collections import defaultdict

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.colors import LogNorm  # noqa: E402

FLOOR = 0.1   # errors below this many ulps are drawn in the lowest colour
CEILING = 1e4  # and above this many in the highest
LIBC_NAMES = {"asin": "casin", "acos": "cacos", "atan": "catan", "asinh": "casinh",
              "acosh": "cacosh", "atanh": "catanh", "sqrt": "csqrt", "ln": "clog",
              "log": "clog10"}


def read_grid(path):
    """{export: (xs, ys, {(x, y): (ulps, libc_ulps, ended)})}"""
    points = defaultdict(dict)
    for row in csv.DictReader(open(path, newline="")):
        key = (float(row["re"]), float(row["im"]))
        points[row["export"]][key] = (float(row["ulps"]), float(row["libc_ulps"]),
                                      int(row["ended"]))
    grids = {}
    for name, values in points.items():
        xs = sorted({x for x, _ in values})
        ys = sorted({y for _, y in values})
        grids[name] = (xs, ys, values)
    return grids


def matrix(xs, ys, values, column):
    rows = []
    for y in ys:
        row = []
        for x in xs:
            ulps, libc_ulps, ended = values[(x, y)]
            v = libc_ulps if column == 1 else ulps
            if column == 0 and ended >= 0 or math.isnan(v):
                row.append(float("nan"))
            else:
                row.append(min(max(v, FLOOR), CEILING))
        rows.append(row)
    return rows


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    grids = read_grid(argv[1])
    names = [n for n in ("asin", "acos", "atan", "asinh", "acosh", "atanh", "sqrt", "ln", "log")
             if n in grids]
    columns = 3  # functions per row, each as a pair of maps
    rows = (len(names) + columns - 1) // columns
    fig, axes = plt.subplots(rows, 2 * columns, figsize=(4.2 * 2 * columns, 4.0 * rows),
                             squeeze=False, constrained_layout=True)
    cmap = matplotlib.colormaps["turbo"].copy()
    cmap.set_bad("0.6")
    norm = LogNorm(vmin=FLOOR, vmax=CEILING)
    mesh = None
    for i, name in enumerate(names):
        xs, ys, values = grids[name]
        linthresh = min(abs(v) for v in xs)
        for side, label in ((0, "cxfun_" + name), (1, "C library " + LIBC_NAMES[name])):
            ax = axes[i // columns][2 * (i % columns) + side]
            mesh = ax.pcolormesh(xs, ys, matrix(xs, ys, values, side), cmap=cmap, norm=norm,
                                 shading="nearest", rasterized=True)
            for axis in ("x", "y"):
                getattr(ax, "set_" + axis + "scale")("symlog", linthresh=linthresh)
            ax.set_title(label)
            ax.set_xlabel("Re z")
            ax.set_ylabel("Im z")
            ticks = [-1e8, -1e4, -1, 0, 1, 1e4, 1e8]
            ax.set_xticks(ticks)
            ax.set_yticks(ticks)
            ax.tick_params(labelsize=7)
    for j in range(len(names), rows * columns):
        axes[j // columns][2 * (j % columns)].axis("off")
        axes[j // columns][2 * (j % columns) + 1].axis("off")
    fig.colorbar(mesh, ax=axes, shrink=0.6, label="normwise relative error, ulps")
    fig.suptitle("Error against MPC (256 bits) over the plane, x and y = ±10^u: "
                 "cxfun (left of each pair) and the C library (right); grey: the call ends "
                 "the process")
    fig.savefig(argv[2], dpi=64)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
