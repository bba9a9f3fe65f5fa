// STL bytes and facet sets made in the tests, so that each case shows its input in full.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "afx/CString.h"
#include "on/ON_Mesh.h"
#include "tlmio/stl_reader.h"

namespace stl_test {

struct Facet {
    float normal[3];
    float corner[3][3];
};

inline Facet Tri(const float a[3], const float b[3], const float c[3], const float normal[3] = nullptr)
{
    Facet f{};
    for (int i = 0; i < 3; ++i) {
        f.corner[0][i] = a[i];
        f.corner[1][i] = b[i];
        f.corner[2][i] = c[i];
        f.normal[i] = normal ? normal[i] : 0.0f;
    }
    return f;
}

inline void AppendFloat(std::string& out, float value)
{
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

inline void AppendU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A binary file; `announced` overrides the facet count in the header.
inline std::string BinaryStl(const std::vector<Facet>& facets, const std::string& header = "binary",
                             long long announced = -1)
{
    std::string out = header.substr(0, 80);
    out.resize(80, ' ');
    AppendU32(out, static_cast<std::uint32_t>(announced >= 0 ? announced : static_cast<long long>(facets.size())));
    for (const Facet& f : facets) {
        for (float v : f.normal)
            AppendFloat(out, v);
        for (const auto& corner : f.corner)
            for (float v : corner)
                AppendFloat(out, v);
        out.append(2, '\0');
    }
    return out;
}

inline std::string AsciiStl(const std::vector<Facet>& facets, const std::string& name = "part")
{
    std::string out = "solid " + name + "\n";
    char line[200];
    for (const Facet& f : facets) {
        std::snprintf(line, sizeof line, "  facet normal %.9g %.9g %.9g\n    outer loop\n", f.normal[0], f.normal[1],
                      f.normal[2]);
        out += line;
        for (const auto& c : f.corner) {
            std::snprintf(line, sizeof line, "      vertex %.9g %.9g %.9g\n", c[0], c[1], c[2]);
            out += line;
        }
        out += "    endloop\n  endfacet\n";
    }
    return out + "endsolid " + name + "\n";
}

// Facet normals from the corners, as a well-behaved exporter stores them.
inline void StoreGeometricNormals(std::vector<Facet>& facets)
{
    for (Facet& f : facets) {
        double u[3], v[3];
        for (int i = 0; i < 3; ++i) {
            u[i] = double(f.corner[1][i]) - f.corner[0][i];
            v[i] = double(f.corner[2][i]) - f.corner[0][i];
        }
        double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (int i = 0; i < 3; ++i)
            f.normal[i] = length > 0 ? static_cast<float>(n[i] / length) : 0.0f;
    }
}

// A unit cube at the origin, two facets per side, wound outwards.
inline std::vector<Facet> Cube()
{
    std::vector<Facet> facets;
    auto quad = [&](const float a[3], const float b[3], const float c[3], const float d[3]) {
        facets.push_back(Tri(a, b, c));
        facets.push_back(Tri(a, c, d));
    };
    const float p[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    quad(p[0], p[3], p[2], p[1]);  // bottom, -z
    quad(p[4], p[5], p[6], p[7]);  // top, +z
    quad(p[0], p[1], p[5], p[4]);  // -y
    quad(p[2], p[3], p[7], p[6]);  // +y
    quad(p[1], p[2], p[6], p[5]);  // +x
    quad(p[0], p[4], p[7], p[3]);  // -x
    StoreGeometricNormals(facets);
    return facets;
}

// A closed cylinder about the z axis: `segments` side quads and two fan caps.
inline std::vector<Facet> Cylinder(int segments, float radius = 1.0f, float height = 2.0f)
{
    std::vector<Facet> facets;
    const float bottomCentre[3] = {0, 0, 0}, topCentre[3] = {0, 0, height};
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2 * 3.14159265358979323846 * i / segments;
        const double a1 = 2 * 3.14159265358979323846 * ((i + 1) % segments) / segments;  // closes exactly
        const float x0 = static_cast<float>(radius * std::cos(a0)), y0 = static_cast<float>(radius * std::sin(a0));
        const float x1 = static_cast<float>(radius * std::cos(a1)), y1 = static_cast<float>(radius * std::sin(a1));
        const float b0[3] = {x0, y0, 0}, b1[3] = {x1, y1, 0}, t0[3] = {x0, y0, height}, t1[3] = {x1, y1, height};
        facets.push_back(Tri(b0, b1, t1));
        facets.push_back(Tri(b0, t1, t0));
        facets.push_back(Tri(topCentre, t0, t1));
        facets.push_back(Tri(bottomCentre, b1, b0));
    }
    StoreGeometricNormals(facets);
    return facets;
}

inline std::vector<ON_Mesh> Read(const std::string& bytes, CString& error, double creaseAngleDegrees = 30.0,
                                 bool* ok = nullptr)
{
    ON_ClassArray<ON_Mesh> meshes;
    tlmio::StlReadOptions options;
    options.creaseAngleDegrees = creaseAngleDegrees;
    bool read = tlmio::ReadStlBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), "test.stl",
                                    meshes, options, error);
    if (ok)
        *ok = read;
    std::vector<ON_Mesh> result;
    for (int i = 0; i < meshes.Count(); ++i)
        result.push_back(meshes[i]);
    return result;
}

inline double Dot(const ON_3fVector& a, const ON_3fVector& b)
{
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

}  // namespace stl_test
