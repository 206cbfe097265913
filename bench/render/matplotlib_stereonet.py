#!/usr/bin/python3
"""An 800 x 600 equal-angle stereonet drawn and saved as PNG by matplotlib
(Debian's python3-matplotlib, Agg): the primitive circle with its ticks and
letters, eight planes as great circles, their poles and labels, the slope
face. Prints the mean processor (CPU) milliseconds of one savefig, drawing
plus PNG, over the repeats given (default 30) after one warm-up, and the
PNG's size. For bench_render's comparison only."""
import io
import math
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

PLANES = [(120, 40), (200, 70), (310, 55), (45, 25), (160, 80), (250, 35), (80, 60), (20, 15)]
SLOPE = (135, 65)


def project(trend, plunge):
    """Lower-hemisphere equal-angle (stereographic) projection of lines."""
    r = np.tan(np.radians(90.0 - plunge) / 2.0)
    return r * np.sin(np.radians(trend)), r * np.cos(np.radians(trend))


def great_circle(direction, dip, n=181):
    # Lines in the plane: rake from 0 to 180 degrees.
    strike = math.radians(direction - 90.0)
    d = math.radians(dip)
    rake = np.radians(np.linspace(0.0, 180.0, n))
    # Direction cosines (east, north, down) of a line at that rake.
    e = np.cos(rake) * math.sin(strike) + np.sin(rake) * math.cos(d) * math.sin(strike + math.pi / 2)
    nn = np.cos(rake) * math.cos(strike) + np.sin(rake) * math.cos(d) * math.cos(strike + math.pi / 2)
    down = np.sin(rake) * math.sin(d)
    plunge = np.degrees(np.arcsin(np.clip(down, -1, 1)))
    trend = np.degrees(np.arctan2(e, nn))
    return project(trend, plunge)


def figure():
    fig = plt.figure(figsize=(8, 6), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    ax.set_aspect("equal")
    ax.set_xlim(-1.6, 1.6)
    ax.set_ylim(-1.2, 1.2)
    ax.axis("off")
    t = np.linspace(0, 2 * math.pi, 361)
    ax.plot(np.cos(t), np.sin(t), color="black", lw=1.2)
    for k in range(36):
        a = math.radians(10 * k)
        ax.plot([math.sin(a), 1.04 * math.sin(a)], [math.cos(a), 1.04 * math.cos(a)], color="black", lw=1)
    for label, a in (("N", 0), ("E", 90), ("S", 180), ("W", 270)):
        ax.text(1.12 * math.sin(math.radians(a)), 1.12 * math.cos(math.radians(a)), label,
                ha="center", va="center", fontsize=14)
    ax.plot([-0.03, 0.03], [0, 0], color="black", lw=1)
    ax.plot([0, 0], [-0.03, 0.03], color="black", lw=1)
    x, y = great_circle(*SLOPE)
    ax.plot(x, y, color="black", lw=2)
    colours = ["blue", "magenta", "red"]
    for i, (direction, dip) in enumerate(PLANES):
        x, y = great_circle(direction, dip)
        ax.plot(x, y, color=colours[i % 3], lw=1.2)
        px, py = project(direction + 180.0, 90.0 - dip)
        ax.plot([px], [py], marker="+", color=colours[i % 3], ms=8)
        ax.text(px + 0.03, py + 0.03, "%d:%d/%d" % (i + 1, direction, dip), fontsize=9)
    return fig


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 30
    fig = figure()
    buf = io.BytesIO()
    fig.savefig(buf, format="png")
    start = time.process_time()
    for _ in range(repeats):
        buf = io.BytesIO()
        fig.savefig(buf, format="png")
    elapsed = (time.process_time() - start) / repeats
    print("%.3f ms %d bytes" % (elapsed * 1000.0, len(buf.getvalue())))


if __name__ == "__main__":
    main()
