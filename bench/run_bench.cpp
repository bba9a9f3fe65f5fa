// Runs the STL-reader and 3DM-writer benchmarks against their peers, every measurement in a fresh
// process (so each peak memory figure is that reader's own), repeated, and prints markdown tables
// of medians and ratios. Progress goes to stderr, tables to stdout.
//   bench_run --fixtures DIR --work DIR [--sizes 100k,1M,4M] [--runs 5] [--big-runs 1]
//             [--suites read,write,convert] [--node node] [--node-modules DIR]
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "measurement.h"

namespace {

const int kArchiveVersion = 3;
const double kMemoryBudgetFactor = 1.5;

struct Options {
    std::string fixtures, work, node = "node", nodeModules = PELORIN_NODE_MODULES;
    std::vector<std::string> sizes = {"100k", "1M"};
    std::vector<std::string> suites = {"read", "write", "convert"};
    int runs = 5, bigRuns = 1;  // big: the 4M fixtures, where some peers take minutes per run
};

struct Fixture {
    std::string file, path, shape, size, format;
    long long facets = 0, corners = 0, bytes = 0;
    std::string Mesh() const { return shape + "_" + size; }
};

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::vector<Fixture> ReadManifest(const Options& o)
{
    std::vector<Fixture> fixtures;
    std::ifstream in(o.fixtures + "/manifest.tsv");
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f = Split(line, '\t');
        if (line.empty() || line[0] == '#' || f.size() != 7 || !Contains(o.sizes, f[2]))
            continue;
        Fixture x{f[0], o.fixtures + "/" + f[0], f[1], f[2], f[3], std::atoll(f[4].c_str()),
                  std::atoll(f[5].c_str()), std::atoll(f[6].c_str())};
        fixtures.push_back(x);
    }
    return fixtures;
}

std::string SelfDirectory()
{
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self = n > 0 ? std::string(path, size_t(n)) : ".";
    return self.substr(0, self.rfind('/'));
}

// Other work on the machine shows in the figures; the load is printed with them.
std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one.empty() ? "unknown" : one + " " + five + " " + fifteen;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// A measurement repeated; it fails as a whole if any run failed.
struct Series {
    std::vector<Measurement> samples;

    bool Ok() const
    {
        return !samples.empty() &&
               std::all_of(samples.begin(), samples.end(), [](const Measurement& m) { return m.ok; });
    }
    std::string Error() const
    {
        for (const Measurement& m : samples)
            if (!m.ok)
                return m.Error();
        return samples.empty() ? "not run" : "";
    }
    double Median(const std::string& key) const
    {
        std::vector<double> v;
        for (const Measurement& m : samples)
            v.push_back(m.Number(key));
        return MedianOf(v);
    }
    double Number(const std::string& key) const { return samples.empty() ? -1 : samples.front().Number(key); }

    static double MedianOf(std::vector<double> v)
    {
        if (v.empty())
            return NAN;
        std::sort(v.begin(), v.end());
        size_t h = v.size() / 2;
        return v.size() % 2 ? v[h] : (v[h - 1] + v[h]) / 2;
    }
};

std::string Fixed(double value, int decimals)
{
    if (std::isnan(value))
        return "–";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Seconds(double s) { return Fixed(s, 3); }
std::string Megabytes(double bytes) { return Fixed(bytes / (1024.0 * 1024.0), 1); }
std::string PeakMb(const Series& s) { return Megabytes(s.Median("peak_kb") * 1024.0); }
std::string Ratio(double r) { return std::isnan(r) ? "–" : Fixed(r, r < 10 ? 2 : 1) + "×"; }
std::string Count(double n) { return n < 0 ? "–" : Fixed(n, 0); }

std::string Cell(const Series& s, const std::string& text)
{
    return s.Ok() ? text : "failed: " + s.Error();
}

class Bench {
public:
    explicit Bench(Options options)
        : m_o(std::move(options)), m_measure(SelfDirectory() + "/bench_measure"),
          m_script(std::string(PELORIN_BENCH_DIR) + "/rhino3dm_bench.js")
    {
        ::setenv("NODE_PATH", m_o.nodeModules.c_str(), 1);
    }

    int Run();

private:
    int Runs(const Fixture& f) const { return f.size == "4M" ? m_o.bigRuns : m_o.runs; }
    bool HaveRhino3dm() const { return Exists(m_o.nodeModules + "/rhino3dm/package.json"); }
    std::string Work(const std::string& name) const { return m_o.work + "/" + name; }

    Measurement Measure(const std::vector<std::string>& args, const std::string& what)
    {
        std::fprintf(stderr, "  %s\n", what.c_str());
        std::vector<std::string> argv = {m_measure};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunMeasurement(argv);
    }
    Measurement Rhino(const std::vector<std::string>& args, const std::string& what)
    {
        std::fprintf(stderr, "  %s\n", what.c_str());
        std::vector<std::string> argv = {m_o.node, m_script};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunMeasurement(argv);
    }

    void ReadSuite(const std::vector<Fixture>& fixtures);
    void WriteSuite(const std::vector<Fixture>& fixtures);
    void ConvertSuite(const std::vector<Fixture>& fixtures);
    void PrintTargets();

    Options m_o;
    std::string m_measure, m_script;
    std::vector<std::string> m_targets;  // lines for the closing summary
};

struct Reader {
    const char* task;
    const char* label;
};

const Reader kReaders[] = {
    {"ours", "**ours** (welded, normals)"},
    {"assimp-join", "assimp JoinIdenticalVertices"},
    {"assimp-nonormals", "assimp RemoveComponent(normals) + Join"},
    {"assimp-smooth", "assimp RemoveComponent(normals) + Join + GenSmoothNormals"},
    {"admesh", "ADMesh open + check_facets_exact + shared_vertices"},
    {"floor", "floor: file bytes into memory"},
};
const int kReaderCount = int(sizeof kReaders / sizeof kReaders[0]);
enum { kOurs, kAssimpJoin, kAssimpNoNormals, kAssimpSmooth, kAdmesh, kFloor };

void Bench::ReadSuite(const std::vector<Fixture>& fixtures)
{
    Measurement baseline = Measure({"noop"}, "baseline process");
    double baselineBytes = baseline.Number("peak_kb", 0) * 1024.0;

    std::vector<std::vector<Series>> results;
    for (const Fixture& f : fixtures) {
        std::fprintf(stderr, "read %s\n", f.file.c_str());
        Measure({"floor", f.path}, "warm the page cache");
        std::vector<Series> series(kReaderCount);
        for (int run = 0; run < Runs(f); ++run)
            for (int r = 0; r < kReaderCount; ++r)
                series[size_t(r)].samples.push_back(
                    Measure({kReaders[r].task, f.path}, std::string(kReaders[r].task) + " run " + std::to_string(run + 1)));
        results.push_back(series);
    }

    std::printf("\n### STL read (median of fresh-process runs; ratio = reader time / ours)\n\n");
    std::printf("| fixture | facets | format | reader | median s | vs ours | peak MB |\n");
    std::printf("|---|---:|---|---|---:|---:|---:|\n");
    for (size_t i = 0; i < fixtures.size(); ++i) {
        const Fixture& f = fixtures[i];
        const std::vector<Series>& s = results[i];
        double ours = s[kOurs].Ok() ? s[kOurs].Median("seconds") : NAN;
        for (int r = 0; r < kReaderCount; ++r) {
            double t = s[size_t(r)].Median("seconds");
            std::printf("| %s | %lld | %s | %s | %s | %s | %s |\n", f.Mesh().c_str(), f.facets, f.format.c_str(),
                        kReaders[r].label, Cell(s[size_t(r)], Seconds(t)).c_str(),
                        s[size_t(r)].Ok() ? Ratio(t / ours).c_str() : "–", s[size_t(r)].Ok() ? PeakMb(s[size_t(r)]).c_str() : "–");
        }
    }

    std::printf("\n### Welded vertex counts (positions: ours splits vertices along creases, the peers weld by "
                "position only)\n\n");
    std::printf("| fixture | format | distinct corners written | ours vertices | ours distinct positions | "
                "assimp Join | assimp no normals + Join | assimp + smooth normals | ADMesh shared | facets agree | "
                "positions agree (written = ours = assimp no normals = ADMesh) | crease splits agree (ours = assimp + "
                "smooth normals) |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---|---|---|\n");
    for (size_t i = 0; i < fixtures.size(); ++i) {
        const Fixture& f = fixtures[i];
        const std::vector<Series>& s = results[i];
        auto vertices = [&](int r) { return s[size_t(r)].Ok() ? s[size_t(r)].Number("vertices") : -1; };
        bool facetsAgree = true;
        for (int r : {kOurs, kAssimpJoin, kAssimpNoNormals, kAssimpSmooth, kAdmesh})
            facetsAgree = facetsAgree && s[size_t(r)].Ok() && s[size_t(r)].Number("faces") == double(f.facets);
        double positions = s[kOurs].Ok() ? s[kOurs].Number("positions") : -1;
        bool positionsAgree =
            positions == double(f.corners) && vertices(kAssimpNoNormals) == positions && vertices(kAdmesh) == positions;
        bool splitsAgree = vertices(kOurs) >= 0 && vertices(kOurs) == vertices(kAssimpSmooth);
        std::printf("| %s | %s | %lld | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", f.Mesh().c_str(), f.format.c_str(),
                    f.corners, Count(vertices(kOurs)).c_str(), Count(positions).c_str(),
                    Count(vertices(kAssimpJoin)).c_str(), Count(vertices(kAssimpNoNormals)).c_str(),
                    Count(vertices(kAssimpSmooth)).c_str(), Count(vertices(kAdmesh)).c_str(),
                    facetsAgree ? "yes" : "**no**", positionsAgree ? "yes" : "**no**", splitsAgree ? "yes" : "**no**");
    }

    std::printf("\n### Our reader's peak memory (budget: %.1f × (file + output arrays), above the %s MB of an "
                "empty process)\n\n", kMemoryBudgetFactor, Megabytes(baselineBytes).c_str());
    std::printf("| fixture | format | file MB | output arrays MB | peak MB | peak above empty process MB | budget MB | "
                "within |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---|\n");
    for (size_t i = 0; i < fixtures.size(); ++i) {
        const Fixture& f = fixtures[i];
        const Series& ours = results[i][kOurs];
        if (!ours.Ok()) {
            std::printf("| %s | %s | %s | – | – | – | – | failed: %s |\n", f.Mesh().c_str(), f.format.c_str(),
                        Megabytes(double(f.bytes)).c_str(), ours.Error().c_str());
            continue;
        }
        double arrays = ours.Number("array_bytes");
        double peak = ours.Median("peak_kb") * 1024.0;
        double budget = kMemoryBudgetFactor * (double(f.bytes) + arrays);
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", f.Mesh().c_str(), f.format.c_str(),
                    Megabytes(double(f.bytes)).c_str(), Megabytes(arrays).c_str(), Megabytes(peak).c_str(),
                    Megabytes(peak - baselineBytes).c_str(), Megabytes(budget).c_str(),
                    peak - baselineBytes <= budget ? "yes" : "**no**");
    }

    for (size_t i = 0; i < fixtures.size(); ++i) {
        const Fixture& f = fixtures[i];
        const std::vector<Series>& s = results[i];
        if (f.size != "1M" || !s[kOurs].Ok())
            continue;
        double ours = s[kOurs].Median("seconds");
        auto speedUp = [&](int r) { return s[size_t(r)].Ok() ? s[size_t(r)].Median("seconds") / ours : NAN; };
        std::string line = f.Mesh() + " " + f.format + ": ADMesh " + Ratio(speedUp(kAdmesh)) + " (target ≥ 3×)";
        if (f.format == "binary")
            line += "; assimp welding by position " + Ratio(speedUp(kAssimpNoNormals)) + ", with smooth normals " +
                    Ratio(speedUp(kAssimpSmooth)) + ", JoinIdenticalVertices only " + Ratio(speedUp(kAssimpJoin)) +
                    " (target ≥ 10×)";
        m_targets.push_back("STL read, " + line);
    }
}

void Bench::WriteSuite(const std::vector<Fixture>& fixtures)
{
    struct Row {
        const Fixture* fixture;
        Measurement dump, oursCheck, rhinoCheck;
        Series ours, rhino;
        std::string meshSource = "ours";
    };
    std::vector<Row> rows;
    for (const Fixture& f : fixtures) {
        if (f.format != "binary")
            continue;
        std::fprintf(stderr, "write %s\n", f.Mesh().c_str());
        Row row{&f, {}, {}, {}, {}, {}, "ours"};
        std::string dump = Work(f.Mesh() + ".ours.mesh");
        std::string oursOut = Work(f.Mesh() + ".ours.3dm"), rhinoOut = Work(f.Mesh() + ".rhino3dm.3dm");
        row.dump = Measure({"ours-dump", f.path, dump}, "our reader's mesh for both writers");
        if (!row.dump.ok) {
            // Keeps the writers measurable while our reader cannot give the mesh.
            row.dump = Measure({"assimp-dump", f.path, dump}, "our reader failed: assimp's mesh for both writers");
            row.meshSource = "assimp";
        }
        if (row.dump.ok) {
            for (int run = 0; run < Runs(f); ++run) {
                row.ours.samples.push_back(Measure({"ours-write", dump, oursOut}, "ours run " + std::to_string(run + 1)));
                row.rhino.samples.push_back(Rhino({"write", dump, rhinoOut, std::to_string(kArchiveVersion)},
                                                  "rhino3dm run " + std::to_string(run + 1)));
            }
            if (row.ours.Ok())
                row.oursCheck = Rhino({"read", oursOut}, "rhino3dm reads ours");
            if (row.rhino.Ok())
                row.rhinoCheck = Rhino({"read", rhinoOut}, "rhino3dm reads its own");
        } else {
            row.ours.samples.push_back(row.dump);
            row.rhino.samples.push_back(row.dump);
        }
        rows.push_back(row);
    }

    std::printf("\n### 3DM write, version %d (same welded mesh and vertex normals; ours: Write3dmFile to disk, "
                "rhino3dm: toByteArrayOptions only)\n\n", kArchiveVersion);
    std::printf("| mesh | vertices | faces | ours s | rhino3dm s | speed-up | ours bytes | rhino3dm bytes | size ratio | "
                "ours peak MB | rhino3dm peak MB | rhino3dm reads ours back |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
    for (const Row& r : rows) {
        double ours = r.ours.Median("seconds"), rhino = r.rhino.Median("seconds");
        double oursBytes = r.ours.Ok() ? r.ours.Number("bytes") : NAN;
        double rhinoBytes = r.rhino.Ok() ? r.rhino.Number("bytes") : NAN;
        std::string check = "–";
        if (r.oursCheck.ok)
            check = r.oursCheck.Number("vertices") == r.dump.Number("vertices") &&
                            r.oursCheck.Number("faces") == r.dump.Number("faces") &&
                            r.oursCheck.Number("normals") == r.dump.Number("normals") &&
                            r.oursCheck.Number("valid") == 1 && r.oursCheck.Number("archive") == kArchiveVersion
                        ? "yes, counts match"
                        : "**counts differ**";
        else if (r.ours.Ok())
            check = "**no: " + r.oursCheck.Error() + "**";
        std::string mesh = r.fixture->Mesh() + (r.meshSource == "ours" ? "" : " (mesh read by " + r.meshSource + ")");
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", mesh.c_str(),
                    Count(r.dump.Number("vertices")).c_str(), Count(r.dump.Number("faces")).c_str(),
                    Cell(r.ours, Seconds(ours)).c_str(), Cell(r.rhino, Seconds(rhino)).c_str(),
                    Ratio(r.ours.Ok() && r.rhino.Ok() ? rhino / ours : NAN).c_str(), Count(oursBytes).c_str(),
                    Count(r.rhino.Ok() ? rhinoBytes : -1).c_str(),
                    Fixed(oursBytes / rhinoBytes, 3).c_str(), r.ours.Ok() ? PeakMb(r.ours).c_str() : "–",
                    r.rhino.Ok() ? PeakMb(r.rhino).c_str() : "–", check.c_str());
        if (r.fixture->size == "1M" && r.fixture->shape == "torus" && r.ours.Ok() && r.rhino.Ok())
            m_targets.push_back("3DM write v3, " + r.fixture->Mesh() + " with vertex normals: " + Ratio(rhino / ours) +
                                " faster than rhino3dm (target ≥ 4×), size " + Fixed(oursBytes / rhinoBytes, 3) +
                                " of its file (target ≤ 1.05)");
    }
}

void Bench::ConvertSuite(const std::vector<Fixture>& fixtures)
{
    struct Row {
        const Fixture* fixture;
        Series ours, assimp, rhino;
        std::vector<double> peerTotals;
    };
    std::vector<Row> rows;
    for (const Fixture& f : fixtures) {
        if (f.format != "binary")
            continue;
        std::fprintf(stderr, "convert %s\n", f.file.c_str());
        Row row{&f, {}, {}, {}, {}};
        std::string dump = Work(f.Mesh() + ".assimp.mesh");
        for (int run = 0; run < Runs(f); ++run) {
            std::string n = std::to_string(run + 1);
            row.ours.samples.push_back(Measure({"ours-convert", f.path, Work(f.Mesh() + ".converted.3dm")}, "ours run " + n));
            Measurement a = Measure({"assimp-dump", f.path, dump}, "assimp run " + n);
            Measurement w = a.ok ? Rhino({"write", dump, Work(f.Mesh() + ".peer.3dm"), std::to_string(kArchiveVersion)},
                                         "rhino3dm run " + n)
                                 : a;
            row.assimp.samples.push_back(a);
            row.rhino.samples.push_back(w);
            row.peerTotals.push_back(a.Number("seconds") + w.Number("build_seconds") + w.Number("seconds") +
                                     w.Number("save_seconds"));
        }
        rows.push_back(row);
    }

    std::printf("\n### STL to 3DM version %d, end to end (ours: ReadStlFile + Write3dmFile; peer: assimp RemoveComponent"
                "(normals) + Join + GenSmoothNormals, then rhino3dm mesh API + toByteArrayOptions + file write)\n\n",
                kArchiveVersion);
    std::printf("| fixture | ours s (read part) | assimp read s | rhino3dm build s | rhino3dm serialize s | "
                "rhino3dm save s | peer total s | speed-up | ours bytes | peer bytes |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        bool peerOk = r.assimp.Ok() && r.rhino.Ok();
        double ours = r.ours.Median("seconds"), peer = peerOk ? Series::MedianOf(r.peerTotals) : NAN;
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", r.fixture->file.c_str(),
                    Cell(r.ours, Seconds(ours) + " (" + Seconds(r.ours.Median("read_seconds")) + ")").c_str(),
                    Cell(r.assimp, Seconds(r.assimp.Median("seconds"))).c_str(),
                    Cell(r.rhino, Seconds(r.rhino.Median("build_seconds"))).c_str(),
                    r.rhino.Ok() ? Seconds(r.rhino.Median("seconds")).c_str() : "–",
                    r.rhino.Ok() ? Seconds(r.rhino.Median("save_seconds")).c_str() : "–", Seconds(peer).c_str(),
                    r.ours.Ok() ? Ratio(peer / ours).c_str() : "–", r.ours.Ok() ? Count(r.ours.Number("bytes")).c_str() : "–",
                    r.rhino.Ok() ? Count(r.rhino.Number("bytes")).c_str() : "–");
    }
}

void Bench::PrintTargets()
{
    if (m_targets.empty())
        return;
    std::printf("\n### Targets (reported, not enforced)\n\n");
    for (const std::string& line : m_targets)
        std::printf("- %s\n", line.c_str());
}

int Bench::Run()
{
    std::vector<Fixture> fixtures = ReadManifest(m_o);
    if (fixtures.empty()) {
        std::string sizes;
        for (const std::string& s : m_o.sizes)
            sizes += " " + s;
        std::fprintf(stderr, "no fixtures of sizes%s in %s/manifest.tsv (run bench_make_fixtures)\n", sizes.c_str(),
                     m_o.fixtures.c_str());
        return 1;
    }
    ::mkdir(m_o.work.c_str(), 0755);
    std::printf("Runs per measurement: %d (4M fixtures: %d); each in a fresh process; %ld CPUs online; load "
                "average at start %s.\n", m_o.runs, m_o.bigRuns, ::sysconf(_SC_NPROCESSORS_ONLN), LoadAverage().c_str());
    std::fflush(stdout);
    if (Contains(m_o.suites, "read"))
        ReadSuite(fixtures);
    bool writers = Contains(m_o.suites, "write") || Contains(m_o.suites, "convert");
    if (writers && !HaveRhino3dm()) {
        std::printf("\n3DM suites skipped: rhino3dm is not installed in %s\n", m_o.nodeModules.c_str());
    } else {
        if (Contains(m_o.suites, "write"))
            WriteSuite(fixtures);
        if (Contains(m_o.suites, "convert"))
            ConvertSuite(fixtures);
    }
    PrintTargets();
    std::printf("\nLoad average at the end: %s.\n", LoadAverage().c_str());
    return 0;
}

bool ParseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i], value = argv[i + 1];
        if (key == "--fixtures")
            o.fixtures = value;
        else if (key == "--work")
            o.work = value;
        else if (key == "--sizes")
            o.sizes = Split(value, ',');
        else if (key == "--suites")
            o.suites = Split(value, ',');
        else if (key == "--runs")
            o.runs = std::max(1, std::atoi(value.c_str()));
        else if (key == "--big-runs")
            o.bigRuns = std::max(1, std::atoi(value.c_str()));
        else if (key == "--node")
            o.node = value;
        else if (key == "--node-modules")
            o.nodeModules = value;
        else
            return false;
    }
    return argc % 2 == 1 && !o.fixtures.empty() && !o.work.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --fixtures DIR --work DIR [--sizes 100k,1M,4M] [--runs 5] [--big-runs 1]\n"
                     "          [--suites read,write,convert] [--node node] [--node-modules DIR]\n",
                     argv[0]);
        return 2;
    }
    return Bench(options).Run();
}
