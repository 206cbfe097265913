#!/usr/bin/python3
"""Automatic sets: Karven beside mplstereonet's kmeans and Fisher statistics.

For the benchmark only, never in tests or CI. mplstereonet is run from its
public source (github.com/joferkington/mplstereonet), with Debian's numpy and
matplotlib:

    bench/fielddata/compare_mplstereonet_sets.py MPLSTEREONET_CHECKOUT BUILD_DIR

The script draws 10 000 poles (three Fisher sets, K = 30, and 20 % uniform
scatter; one set of sub-vertical joints straddles the primitive circle),
writes them to a CSV file, times mplstereonet's kmeans (three centres) and its
Fisher statistics of each cluster, then runs Karven's BM_AutoSets10000 on the
same file and prints both sets of means beside the generator's.
"""
import csv
import math
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

TRUE_PLANES = [(135.0, 65.0), (40.0, 88.0), (250.0, 30.0)]  # dip direction, dip
K = 30.0
N = 10000


def plane_axis(direction, dip):
    a, d = math.radians(direction), math.radians(dip)
    return np.array([math.sin(a) * math.sin(d), math.cos(a) * math.sin(d), math.cos(d)])


def fisher(rng, mean, kappa, n):
    u = rng.random(n)
    c = 1.0 + np.log1p(-u * -np.expm1(-2.0 * kappa)) / kappa
    s = np.sqrt(np.clip(1 - c * c, 0, None))
    phi = 2 * np.pi * rng.random(n)
    helper = np.array([0, 0, 1.0]) if abs(mean[2]) < 0.9 else np.array([1.0, 0, 0])
    e1 = np.cross(mean, helper)
    e1 /= np.linalg.norm(e1)
    e2 = np.cross(mean, e1)
    return c[:, None] * mean + s[:, None] * (np.cos(phi)[:, None] * e1 + np.sin(phi)[:, None] * e2)


def axis_plane(v):
    if v[2] < 0:
        v = -v
    dip = math.degrees(math.atan2(math.hypot(v[0], v[1]), v[2]))
    direction = math.degrees(math.atan2(v[0], v[1])) % 360.0
    return direction, dip


def axial_angle(a, b):
    return math.degrees(math.acos(min(1.0, abs(float(np.dot(a, b))))))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    checkout, build = sys.argv[1], sys.argv[2]
    sys.path.insert(0, checkout)
    import mplstereonet

    rng = np.random.default_rng(23)
    axes = []
    per_set = int(N * 0.8) // 3
    for direction, dip in TRUE_PLANES:
        axes.append(fisher(rng, plane_axis(direction, dip), K, per_set))
    rest = N - 3 * per_set
    z = 2 * rng.random(rest) - 1
    phi = 2 * np.pi * rng.random(rest)
    axes.append(np.column_stack([np.sqrt(1 - z * z) * np.cos(phi), np.sqrt(1 - z * z) * np.sin(phi), z]))
    axes = np.vstack(axes)
    planes = [axis_plane(v) for v in axes]

    path = os.path.join(tempfile.mkdtemp(), "poles.csv")
    with open(path, "w", newline="") as f:
        w = csv.writer(f)
        for direction, dip in planes:
            w.writerow(["%.6f" % direction, "%.6f" % dip])

    strikes = np.array([(d - 90.0) % 360.0 for d, _ in planes])
    dips = np.array([p[1] for p in planes])
    np.random.seed(1)
    runs = 5
    t0 = time.perf_counter()
    for _ in range(runs):
        centers = mplstereonet.kmeans(strikes, dips, num=3, measurement="poles")
    t_kmeans = (time.perf_counter() - t0) / runs
    # Members of each centre, then mplstereonet's Fisher statistics of them.
    lon, lat = mplstereonet.pole(strikes, dips)
    dist = np.array([mplstereonet.stereonet_math.angular_distance(c, (lon, lat), True) for c in centers])
    closest = dist.argmin(axis=0)
    t0 = time.perf_counter()
    stats = []
    for i in range(3):
        m = closest == i
        stats.append(mplstereonet.find_fisher_stats(strikes[m], dips[m], measurement="poles"))
    t_fisher = time.perf_counter() - t0
    print("mplstereonet kmeans (3 centres) of %d poles: %.1f ms; Fisher statistics of the clusters: %.1f ms"
          % (N, 1000 * t_kmeans, 1000 * t_fisher))
    for (plunge, bearing), (r, conf, kappa) in stats:
        v = np.array([math.sin(math.radians(bearing)) * math.cos(math.radians(plunge)),
                      math.cos(math.radians(bearing)) * math.cos(math.radians(plunge)),
                      -math.sin(math.radians(plunge))])
        direction, dip = axis_plane(v)
        near = min(TRUE_PLANES, key=lambda p: axial_angle(plane_axis(*p), v))
        print("  mplstereonet mean plane %6.1f∠%4.1f  K %7.1f  α95 %4.2f°  (true %g∠%g, %.2f° off)"
              % (direction, dip, kappa, conf, near[0], near[1], axial_angle(plane_axis(*near), v)))

    bench = os.path.join(build, "bench", "fielddata", "bench_jointsets")
    env = dict(os.environ, KARVEN_POLES_CSV=path)
    out = subprocess.run([bench, "--benchmark_filter=AutoSets"], env=env, capture_output=True, text=True)
    print(out.stdout)
    print(out.stderr)
    print("true means: " + ", ".join("%g∠%g" % p for p in TRUE_PLANES))


if __name__ == "__main__":
    main()
