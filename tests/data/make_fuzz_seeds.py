#!/usr/bin/env python3
"""Writes the STL reader's fuzzing seeds into fuzz_seeds/ beside this script: tiny binary and
ASCII files, well formed and malformed, that reach every branch of format detection and parsing."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
TRIANGLE = [((0, 0, 1), (0, 0, 0), (1, 0, 0), (0, 1, 0))]
CUBE_CORNERS = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0), (0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)]
CUBE_QUADS = [(0, 3, 2, 1), (4, 5, 6, 7), (0, 1, 5, 4), (2, 3, 7, 6), (1, 2, 6, 5), (0, 4, 7, 3)]


def cube():
    facets = []
    for a, b, c, d in CUBE_QUADS:
        for tri in ((a, b, c), (a, c, d)):
            facets.append(((0, 0, 0),) + tuple(CUBE_CORNERS[i] for i in tri))
    return facets


def binary(facets, header=b"binary", announced=None):
    out = header.ljust(80, b" ") + struct.pack("<I", len(facets) if announced is None else announced)
    for facet in facets:
        for v in facet:
            out += struct.pack("<3f", *v)
        out += b"\0\0"
    return out


def ascii(facets, name="part", eol="\n"):
    lines = [f"solid {name}"]
    for n, *corners in facets:
        lines.append("facet normal %g %g %g" % n)
        lines.append(" outer loop")
        lines += ["  vertex %r %r %r" % tuple(float(x) for x in c) for c in corners]
        lines += [" endloop", "endfacet"]
    lines.append(f"endsolid {name}")
    return (eol.join(lines) + eol).encode()


SEEDS = {
    "bin_triangle.stl": binary(TRIANGLE),
    "bin_cube_solid_header.stl": binary(cube(), b"solid cube exported by CAD"),
    "bin_truncated.stl": binary(cube(), announced=13),
    "bin_nan.stl": binary([((0, 0, 1), (0, 0, 0), (float("nan"), 0, 0), (0, 1, 0))]),
    "bin_degenerate.stl": binary([((0, 0, 1), (1, 1, 1), (1, 1, 1), (2, 2, 2))]),
    "ascii_triangle.stl": ascii(TRIANGLE),
    "ascii_cube_crlf.stl": ascii(cube(), "cube", "\r\n"),
    "ascii_two_solids.stl": ascii(TRIANGLE, "a") + ascii(TRIANGLE, "b"),
    "ascii_numbers.stl": b"SOLID n\nFacet Normal +0 -0. 1E0\nOUTER LOOP\nvertex 1 1.5 -1e-3\n"
                         b"vertex 1E+02 .5 +2.\nvertex -.25 0001.5e0 1e-50\nENDLOOP\nendfacet\nendsolid",
    "ascii_one_line.stl": b"solid x facet normal 0 0 1 outer loop vertex 0 0 0 vertex 1 0 0 vertex 0 1 0 "
                          b"endloop endfacet endsolid x",
    "ascii_four_vertices.stl": b"solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                               b"vertex 0 1 0\nvertex 1 1 0\nendloop\nendfacet\nendsolid\n",
    "ascii_unterminated.stl": b"solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1e39 0",
}


def main():
    folder = os.path.join(HERE, "fuzz_seeds")
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    print(f"{folder}: {len(SEEDS)} seeds")


if __name__ == "__main__":
    main()
