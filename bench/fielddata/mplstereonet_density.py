#!/usr/bin/python3
"""Times mplstereonet's density_grid beside Karven's BM_DensityGrid10000 on
the same 10 000 poles, and checks that both give the same Schmidt densities.

For the benchmark only (never run by the tests or CI). mplstereonet is run
from its public source with Debian's python3-numpy and python3-matplotlib:

    git clone https://github.com/joferkington/mplstereonet /tmp/mplstereonet
    /usr/bin/python3 bench/fielddata/mplstereonet_density.py --mplstereonet /tmp/mplstereonet \\
        --bench build/bench/fielddata/bench_fielddata

Both compute the Schmidt (1 %) density of the same poles (lower hemisphere):
mplstereonet on its own 100 x 100 grid of counters (longitude/latitude of
its projection), Karven on 105 x 105 nodes of the equal-angle net (100
spacings across the primitive plus two beyond it on each side), both about
10 000 counters. The cross-check evaluates mplstereonet's own Schmidt kernel
(its _schmidt_count, with its -0.5 offset, which cancels for this method) at
Karven's nodes within the primitive circle.
"""
import argparse
import json
import math
import os
import subprocess
import sys
import tempfile
import time


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--mplstereonet", required=True, help="checkout of mplstereonet's source")
    parser.add_argument("--bench", required=True, help="the bench_fielddata executable")
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()

    sys.path.insert(0, os.path.abspath(args.mplstereonet))
    import matplotlib

    matplotlib.use("Agg")
    import numpy as np
    import mplstereonet
    from mplstereonet import contouring

    with tempfile.TemporaryDirectory() as tmp:
        poles_path = os.path.join(tmp, "poles.csv")
        subprocess.run([args.bench, "--write-poles", poles_path], check=True)
        poles = np.loadtxt(poles_path, delimiter=",")
        grid = np.loadtxt(poles_path + ".grid", delimiter=",")

        # Karven, in this same run: the default (Schmidt) and the other two.
        out = subprocess.run(
            [args.bench, "--benchmark_filter=^BM_DensityGrid(10000|Fisher|Kamb)/", "--benchmark_format=json",
             "--benchmark_min_time=1"],
            check=True, capture_output=True, text=True).stdout
        karven = {}
        for b in json.loads(out)["benchmarks"]:
            scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
            karven[b["name"].split("/")[0]] = (b["cpu_time"] * scale, b["real_time"] * scale)

    # The planes of the poles (upward normals, east-north-up): dip direction
    # and dip, strike by the right-hand rule.
    x, y, z = poles[:, 0], poles[:, 1], poles[:, 2]
    dips = np.degrees(np.arctan2(np.hypot(x, y), z))
    dip_directions = np.degrees(np.arctan2(x, y)) % 360
    strikes = (dip_directions - 90) % 360

    def timed(method):
        cpu, real = [], []
        for _ in range(args.repeat):
            c0, r0 = time.process_time(), time.perf_counter()
            mplstereonet.density_grid(strikes, dips, method=method, gridsize=(100, 100))
            cpu.append(time.process_time() - c0)
            real.append(time.perf_counter() - r0)
        return min(cpu), min(real)

    theirs_timed = {m: timed(m) for m in ("schmidt", "kamb", "exponential_kamb")}

    # Cross-check at Karven's nodes: the node's direction (lower hemisphere,
    # inverse equal-angle projection) as a line for mplstereonet.
    nx, ny = grid[:, 0], grid[:, 1]
    r2 = nx * nx + ny * ny
    vx, vy, vz = 2 * nx / (1 + r2), 2 * ny / (1 + r2), -(1 - r2) / (1 + r2)
    plunges = np.degrees(np.arcsin(np.clip(-vz, -1, 1)))
    bearings = np.degrees(np.arctan2(vx, vy)) % 360
    node_lon, node_lat = mplstereonet.line(plunges, bearings)
    nodes_xyz = np.vstack(mplstereonet.stereonet_math.sph2cart(node_lon, node_lat)).T
    pole_lon, pole_lat = mplstereonet.pole(strikes, dips)
    poles_xyz = np.vstack(mplstereonet.stereonet_math.sph2cart(pole_lon, pole_lat)).T
    theirs = np.empty(len(nodes_xyz))
    for i, xyz in enumerate(nodes_xyz):
        cos_dist = np.abs(np.dot(xyz, poles_xyz.T))
        density, units = contouring._schmidt_count(cos_dist)
        theirs[i] = (density.sum() - 0.5) / units
    ours = grid[:, 2]
    one_pole = 100.0 / len(poles)
    differ = np.abs(theirs - ours) > 1e-9
    print(f"poles: {len(poles)}; nodes compared: {len(ours)}")
    print(f"Schmidt densities equal at {len(ours) - differ.sum()} nodes; "
          f"{differ.sum()} differ (by at most {np.abs(theirs - ours).max() / one_pole:.0f} pole(s): "
          f"a pole on a cone's rim to rounding)")
    print(f"maximum: Karven {ours.max():.4f} %, mplstereonet {theirs.max():.4f} %")
    print()
    print(f"{'10 000 poles, ~10 000 counters':40}{'CPU':>12}{'wall':>12}{'CPU ratio':>12}")
    pairs = [("schmidt", "BM_DensityGrid10000", "Schmidt 1 %"),
             ("kamb", "BM_DensityGridKamb", "Kamb 3 sigma"),
             ("exponential_kamb", "BM_DensityGridFisher", "exponential Kamb / Fisher")]
    for theirs_name, ours_name, label in pairs:
        t_cpu, t_real = theirs_timed[theirs_name]
        o_cpu, o_real = karven[ours_name]
        print(f"{'mplstereonet ' + theirs_name:40}{t_cpu * 1e3:10.1f} ms{t_real * 1e3:10.1f} ms")
        print(f"{'Karven ' + ours_name:40}{o_cpu * 1e3:10.2f} ms{o_real * 1e3:10.2f} ms{t_cpu / o_cpu:10.0f} x")


if __name__ == "__main__":
    main()
