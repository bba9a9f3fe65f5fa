#!/usr/bin/env python3
"""Writes sample.stl: a CAD-like part for the demo and the tests.

A 120 x 80 x 10 mm plate with a cylindrical boss on top: a fillet joins the boss to the plate,
a chamfer breaks the boss's top edge and a hole runs through both. The part is one closed
surface swept around the boss axis: a profile of rings (the plate's outline, then circles)
joined ring to ring, so that every ring has its points at the same angles and the mesh is
watertight. Sharp edges (the plate's, the chamfer's, the hole's) and smooth ones (the fillet,
the boss) both occur. Binary, with a header that begins with "solid" as many CAD exporters
write it. Usage: make_sample.py [OUTPUT]  (default: sample.stl beside this script)
"""
import math
import os
import struct
import sys

HALF_X, HALF_Y, PLATE = 60.0, 40.0, 10.0
BOSS_R, BOSS_TOP, FILLET, CHAMFER, HOLE_R = 18.0, 35.0, 4.0, 1.5, 8.0
SEGMENTS, FILLET_STEPS = 96, 6


def angles():
    # Uniform angles plus the plate's corners, so that the outline keeps its corners.
    corners = [math.atan2(sy * HALF_Y, sx * HALF_X) % (2 * math.pi) for sx in (1, -1) for sy in (1, -1)]
    uniform = [2 * math.pi * i / SEGMENTS for i in range(SEGMENTS)]
    return sorted(set(round(a, 12) for a in uniform + corners))


def outline(theta):
    """The point of the plate's rectangular outline in direction theta."""
    c, s = math.cos(theta), math.sin(theta)
    t = min(HALF_X / abs(c) if abs(c) > 1e-12 else math.inf, HALF_Y / abs(s) if abs(s) > 1e-12 else math.inf)
    return (t * c, t * s)


def profile():
    """Rings from the plate's bottom outline around to the hole's bottom edge; the last joins the first."""
    rings = [("outline", 0.0), ("outline", PLATE)]
    for k in range(FILLET_STEPS + 1):
        phi = 1.5 * math.pi - 0.5 * math.pi * k / FILLET_STEPS  # 270 to 180 degrees about the fillet's centre
        rings.append(("circle", BOSS_R + FILLET + FILLET * math.cos(phi), PLATE + FILLET + FILLET * math.sin(phi)))
    rings += [
        ("circle", BOSS_R, BOSS_TOP - CHAMFER),
        ("circle", BOSS_R - CHAMFER, BOSS_TOP),
        ("circle", HOLE_R, BOSS_TOP),
        ("circle", HOLE_R, 0.0),
    ]
    return rings


def ring_point(ring, theta):
    if ring[0] == "outline":
        x, y = outline(theta)
        return (x, y, ring[1])
    _, radius, z = ring
    return (radius * math.cos(theta), radius * math.sin(theta), z)


def triangles():
    thetas = angles()
    rings = profile()
    tris = []
    for i in range(len(rings)):
        a, b = rings[i], rings[(i + 1) % len(rings)]
        for j in range(len(thetas)):
            t0, t1 = thetas[j], thetas[(j + 1) % len(thetas)]
            p00, p01 = ring_point(a, t0), ring_point(a, t1)
            p10, p11 = ring_point(b, t0), ring_point(b, t1)
            tris.append((p00, p01, p11))
            tris.append((p00, p11, p10))
    return tris


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.stl")
    tris = triangles()
    # Outward winding: the enclosed volume must come out positive.
    volume = sum(a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0])
                 for a, b, c in tris) / 6
    if volume < 0:
        tris = [(a, c, b) for a, b, c in tris]
    header = b"solid Pelorin sample: plate with a filleted boss and a through hole (mm)"
    with open(out, "wb") as f:
        f.write(header.ljust(80, b" "))
        f.write(struct.pack("<I", len(tris)))
        for a, b, c in tris:
            n = cross(sub(b, a), sub(c, a))
            length = math.sqrt(n[0] ** 2 + n[1] ** 2 + n[2] ** 2)
            f.write(struct.pack("<3f", *(x / length for x in n)))
            for p in (a, b, c):
                f.write(struct.pack("<3f", *p))
            f.write(b"\0\0")
    print(f"{out}: {len(tris)} facets, volume {abs(volume):.0f} mm^3")


if __name__ == "__main__":
    main()
