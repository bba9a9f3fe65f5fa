// Writes the benchmark's STL fixtures the way a CAD tessellator exports closed models: each grid
// corner is computed once as float and repeated bit for bit in every facet that uses it, facet
// normals come from those float corners, and binary headers begin with "solid".
//
//   bench_make_fixtures <dir> [100k] [1M] [4M] [--force]
//
// Existing fixtures are kept unless --force; <dir>/manifest.tsv lists every fixture in <dir>
// with its facet and distinct-corner counts.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

struct Vec3f {
    float x, y, z;
};

struct Model {
    std::vector<Vec3f> corners;  // distinct positions
    std::vector<std::array<uint32_t, 3>> triangles;
};

struct Size {
    const char* label;
    int torusU, torusV;                       // torus: U x V cells, two triangles each
    int gearSteps, gearLayers, gearRings;     // gear: outline steps per tooth segment, wall layers, cap rings
};

// Facet counts: torus 2UV; gear 2P(L + 2R - 2) with P = 4 * steps * kGearTeeth outline points.
const Size kSizes[] = {
    {"100k", 250, 200, 5, 60, 21},
    {"1M", 1000, 500, 10, 300, 101},
    {"4M", 2000, 1000, 20, 600, 201},
};
const int kGearTeeth = 25;

void AddQuad(Model& m, uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    m.triangles.push_back({a, b, c});
    m.triangles.push_back({a, c, d});
}

Model Torus(int nu, int nv)
{
    const double major = 40.0, minor = 15.0;
    Model m;
    m.corners.reserve(size_t(nu) * nv);
    for (int i = 0; i < nu; ++i) {
        double u = 2 * kPi * i / nu;
        for (int j = 0; j < nv; ++j) {
            double v = 2 * kPi * j / nv;
            double ring = major + minor * std::cos(v);
            m.corners.push_back({float(ring * std::cos(u)), float(ring * std::sin(u)), float(minor * std::sin(v))});
        }
    }
    auto at = [&](int i, int j) { return uint32_t((i % nu) * nv + (j % nv)); };
    m.triangles.reserve(2 * size_t(nu) * nv);
    for (int i = 0; i < nu; ++i)
        for (int j = 0; j < nv; ++j)
            AddQuad(m, at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
    return m;
}

// A spur-gear-like prism: trapezoidal teeth (sharp corners where flanks meet tip and root), flat
// caps meeting the walls at right angles, caps tessellated in rings around the axis.
Model Gear(int steps, int layers, int rings)
{
    const double rootRadius = 40.0, tipRadius = 46.0, height = 20.0;
    // Fractions of a tooth pitch where rise, tip, fall and root begin.
    const double segmentStart[5] = {0.0, 0.15, 0.35, 0.5, 1.0};
    const double segmentRadius[5] = {rootRadius, tipRadius, tipRadius, rootRadius, rootRadius};

    std::vector<double> ox, oy;  // outline, counter-clockwise seen from +z
    for (int t = 0; t < kGearTeeth; ++t)
        for (int s = 0; s < 4; ++s)
            for (int k = 0; k < steps; ++k) {
                double f = double(k) / steps;
                double pitch = segmentStart[s] + f * (segmentStart[s + 1] - segmentStart[s]);
                double angle = 2 * kPi * (t + pitch) / kGearTeeth;
                double radius = segmentRadius[s] + f * (segmentRadius[s + 1] - segmentRadius[s]);
                ox.push_back(radius * std::cos(angle));
                oy.push_back(radius * std::sin(angle));
            }
    const uint32_t p = uint32_t(ox.size());

    Model m;
    for (int j = 0; j < layers; ++j) {
        float z = float(height * j / (layers - 1));
        for (uint32_t i = 0; i < p; ++i)
            m.corners.push_back({float(ox[i]), float(oy[i]), z});
    }
    auto wall = [&](uint32_t i, int j) { return uint32_t(j) * p + i % p; };
    for (int j = 0; j + 1 < layers; ++j)
        for (uint32_t i = 0; i < p; ++i)
            AddQuad(m, wall(i, j), wall(i + 1, j), wall(i + 1, j + 1), wall(i, j + 1));

    for (int top = 0; top < 2; ++top) {
        float z = top ? float(height) : 0.0f;
        uint32_t center = uint32_t(m.corners.size());
        m.corners.push_back({0.0f, 0.0f, z});
        uint32_t firstRing = uint32_t(m.corners.size());
        for (int r = 1; r < rings; ++r)
            for (uint32_t i = 0; i < p; ++i)
                m.corners.push_back({float(ox[i] * r / rings), float(oy[i] * r / rings), z});
        // Ring `rings` is the wall's top or bottom layer.
        auto ring = [&](int r, uint32_t i) {
            return r == rings ? wall(i, top ? layers - 1 : 0) : firstRing + uint32_t(r - 1) * p + i % p;
        };
        for (uint32_t i = 0; i < p; ++i) {
            if (top)
                m.triangles.push_back({center, ring(1, i), ring(1, i + 1)});
            else
                m.triangles.push_back({center, ring(1, i + 1), ring(1, i)});
        }
        for (int r = 1; r < rings; ++r)
            for (uint32_t i = 0; i < p; ++i) {
                if (top)
                    AddQuad(m, ring(r, i), ring(r + 1, i), ring(r + 1, i + 1), ring(r, i + 1));
                else
                    AddQuad(m, ring(r, i), ring(r, i + 1), ring(r + 1, i + 1), ring(r + 1, i));
            }
    }
    return m;
}

Vec3f FacetNormal(const Vec3f& a, const Vec3f& b, const Vec3f& c)
{
    double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
    double vx = double(c.x) - a.x, vy = double(c.y) - a.y, vz = double(c.z) - a.z;
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 0))
        return {0, 0, 0};
    return {float(nx / length), float(ny / length), float(nz / length)};
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool WriteBinary(const Model& m, const std::string& name, std::FILE* f)
{
    char header[80];
    std::memset(header, ' ', sizeof header);
    std::string label = "solid " + name + " exported by bench_make_fixtures";
    std::memcpy(header, label.data(), std::min(label.size(), sizeof header));
    uint32_t count = uint32_t(m.triangles.size());
    std::fwrite(header, 1, sizeof header, f);
    std::fwrite(&count, 4, 1, f);  // little-endian host
    unsigned char record[50] = {};
    for (const auto& t : m.triangles) {
        const Vec3f& a = m.corners[t[0]];
        const Vec3f& b = m.corners[t[1]];
        const Vec3f& c = m.corners[t[2]];
        Vec3f n = FacetNormal(a, b, c);
        std::memcpy(record, &n, 12);
        std::memcpy(record + 12, &a, 12);
        std::memcpy(record + 24, &b, 12);
        std::memcpy(record + 36, &c, 12);
        std::fwrite(record, 1, sizeof record, f);
    }
    return !std::ferror(f);
}

// Nine significant digits: every float reads back as itself.
bool WriteAscii(const Model& m, const std::string& name, std::FILE* f)
{
    std::fprintf(f, "solid %s\n", name.c_str());
    for (const auto& t : m.triangles) {
        const Vec3f* v[3] = {&m.corners[t[0]], &m.corners[t[1]], &m.corners[t[2]]};
        Vec3f n = FacetNormal(*v[0], *v[1], *v[2]);
        std::fprintf(f, "  facet normal %.8e %.8e %.8e\n    outer loop\n", double(n.x), double(n.y), double(n.z));
        for (const Vec3f* p : v)
            std::fprintf(f, "      vertex %.8e %.8e %.8e\n", double(p->x), double(p->y), double(p->z));
        std::fputs("    endloop\n  endfacet\n", f);
    }
    std::fprintf(f, "endsolid %s\n", name.c_str());
    return !std::ferror(f);
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

long long FileSize(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Through a temporary name, so an interrupted run never leaves a fixture that looks complete.
bool WriteFixture(const Model& m, const std::string& name, bool ascii, const std::string& path)
{
    std::string temp = path + ".part";
    bool ok;
    {
        File f(std::fopen(temp.c_str(), "wb"));
        if (!f)
            return false;
        std::setvbuf(f.get(), nullptr, _IOFBF, 1 << 20);
        ok = ascii ? WriteAscii(m, name, f.get()) : WriteBinary(m, name, f.get());
        ok = std::fflush(f.get()) == 0 && ok;
    }
    return ok && std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <dir> [100k] [1M] [4M] [--force]\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    bool force = false;
    std::vector<const Size*> sizes;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--force") == 0) {
            force = true;
            continue;
        }
        const Size* found = nullptr;
        for (const Size& s : kSizes)
            if (std::strcmp(argv[i], s.label) == 0)
                found = &s;
        if (!found) {
            std::fprintf(stderr, "unknown size \"%s\" (100k, 1M, 4M)\n", argv[i]);
            return 2;
        }
        sizes.push_back(found);
    }
    if (sizes.empty())
        sizes = {&kSizes[0], &kSizes[1]};
    ::mkdir(dir.c_str(), 0755);

    File manifest(std::fopen((dir + "/manifest.tsv").c_str(), "w"));
    if (!manifest) {
        std::fprintf(stderr, "cannot write %s/manifest.tsv\n", dir.c_str());
        return 1;
    }
    std::fprintf(manifest.get(), "# file\tshape\tsize\tformat\tfacets\tcorners\tbytes\n");
    for (const Size& size : kSizes) {
        bool requested = std::find(sizes.begin(), sizes.end(), &size) != sizes.end();
        for (const char* shape : {"torus", "gear"}) {
            std::string name = std::string(shape) + "_" + size.label;
            // Fixtures written by earlier runs stay listed.
            if (!requested && !(Exists(dir + "/" + name + ".bin.stl") && Exists(dir + "/" + name + ".ascii.stl")))
                continue;
            Model m = std::strcmp(shape, "torus") == 0 ? Torus(size.torusU, size.torusV)
                                                       : Gear(size.gearSteps, size.gearLayers, size.gearRings);
            for (bool ascii : {false, true}) {
                std::string file = name + (ascii ? ".ascii.stl" : ".bin.stl");
                std::string path = dir + "/" + file;
                if (requested && (force || !Exists(path))) {
                    std::printf("writing %s (%zu facets)\n", path.c_str(), m.triangles.size());
                    std::fflush(stdout);
                    if (!WriteFixture(m, name, ascii, path)) {
                        std::fprintf(stderr, "cannot write %s\n", path.c_str());
                        return 1;
                    }
                }
                std::fprintf(manifest.get(), "%s\t%s\t%s\t%s\t%zu\t%zu\t%lld\n", file.c_str(), shape, size.label,
                             ascii ? "ascii" : "binary", m.triangles.size(), m.corners.size(), FileSize(path));
            }
        }
    }
    return 0;
}
