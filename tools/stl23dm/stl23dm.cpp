// stl23dm: converts an STL file into a Rhino 3DM file of meshes with the TLMIO library.
#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "host/TLMIO.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: stl23dm IN.stl [OUT.3dm] [--version N] [--crease DEGREES]\n"
    "       stl23dm --info IN.stl\n"
    "\n"
    "Converts a binary or ASCII STL file into a Rhino 3DM file of polygon meshes: one mesh per\n"
    "solid, corners at the same position welded, vertex normals split at sharp edges.\n"
    "\n"
    "  OUT.3dm            output path (default: IN with the extension .3dm)\n"
    "  --version N        3DM archive version: 2, 3 (default), 4, 50, 60, 70 or 80\n"
    "  --crease DEGREES   faces meeting at a sharper angle keep separate vertex normals (default 30)\n"
    "  --info             read IN.stl and print its meshes and bounding box; write nothing\n"
    "  --help             show this text\n";

struct Arguments {
    std::string input;
    std::string output;
    int version = 3;
    double creaseDegrees = TLMSTL::kDefaultCreaseAngleDegrees;
    bool info = false;
    bool help = false;
};

bool ParseInt(const char* text, int& value)
{
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != 0 || parsed < -2147483647L || parsed > 2147483647L)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseDouble(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    double parsed = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != 0 || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// Returns an empty text on success, else what is wrong with the command line.
std::string ParseArguments(int argc, char** argv, Arguments& args)
{
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto needValue = [&](const char* option) -> const char* {
            return i + 1 < argc ? argv[++i] : (throw std::string(option) + " needs a value");
        };
        try {
            if (arg == "--help" || arg == "-h") {
                args.help = true;
            } else if (arg == "--info") {
                args.info = true;
            } else if (arg == "--version") {
                const char* value = needValue("--version");
                if (!ParseInt(value, args.version))
                    return std::string("--version needs a whole number, not \"") + value + "\"";
            } else if (arg == "--crease") {
                const char* value = needValue("--crease");
                if (!ParseDouble(value, args.creaseDegrees) || args.creaseDegrees < 0 || args.creaseDegrees > 180)
                    return std::string("--crease needs an angle from 0 to 180 degrees, not \"") + value + "\"";
            } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
                return "unknown option " + arg;
            } else if (positional == 0) {
                args.input = arg;
                ++positional;
            } else if (positional == 1) {
                args.output = arg;
                ++positional;
            } else {
                return "too many file names: " + arg;
            }
        } catch (const std::string& message) {
            return message;
        }
    }
    if (args.help)
        return {};
    if (args.input.empty())
        return "no input file";
    if (args.output.empty())
        args.output = std::filesystem::path(args.input).replace_extension(".3dm").string();
    return {};
}

struct Totals {
    long long vertices = 0;
    long long faces = 0;
};

Totals Count(const ON_ClassArray<ON_Mesh>& meshes)
{
    Totals totals;
    for (int i = 0; i < meshes.Count(); ++i) {
        totals.vertices += meshes[i].VertexCount();
        totals.faces += meshes[i].FaceCount();
    }
    return totals;
}

void PrintInfo(const std::string& input, const ON_ClassArray<ON_Mesh>& meshes)
{
    Totals totals = Count(meshes);
    std::printf("%s: %d mesh%s, %lld vertices, %lld faces\n", input.c_str(), meshes.Count(),
                meshes.Count() == 1 ? "" : "es", totals.vertices, totals.faces);
    for (int i = 0; i < meshes.Count(); ++i) {
        const ON_Mesh& mesh = meshes[i];
        ON_BoundingBox box = mesh.BoundingBox();
        std::printf("  mesh %d: %d vertices, %d faces, %s vertex normals, box (%g, %g, %g) - (%g, %g, %g)\n", i,
                    mesh.VertexCount(), mesh.FaceCount(), mesh.HasVertexNormals() ? "with" : "without",
                    box.m_min.x, box.m_min.y, box.m_min.z, box.m_max.x, box.m_max.y, box.m_max.z);
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    Arguments args;
    std::string problem = ParseArguments(argc, argv, args);
    if (args.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "stl23dm: %s\n\n%s", problem.c_str(), kUsage);
        return kExitUsage;
    }

    ON_ClassArray<ON_Mesh> meshes;
    auto readStart = std::chrono::steady_clock::now();
    if (!TLMSTL::STLToMesh(args.input.c_str(), meshes, args.creaseDegrees)) {
        std::fprintf(stderr, "stl23dm: %s\n", TLMSTL::GetError().GetString());
        return kExitFailure;
    }
    double readSeconds = SecondsSince(readStart);
    if (args.info) {
        PrintInfo(args.input, meshes);
        return 0;
    }
    if (meshes.Count() == 0) {
        std::fprintf(stderr, "stl23dm: \"%s\" holds no facet that encloses an area; nothing to write\n",
                     args.input.c_str());
        return kExitFailure;
    }

    auto writeStart = std::chrono::steady_clock::now();
    if (!TLM3DM::MeshTo3DM(meshes, args.output.c_str(), 0, args.version)) {
        std::fprintf(stderr, "stl23dm: %s\n", TLM3DM::GetError().GetString());
        return kExitFailure;
    }
    double writeSeconds = SecondsSince(writeStart);

    std::error_code sizeError;
    auto bytes = std::filesystem::file_size(args.output, sizeError);
    Totals totals = Count(meshes);
    std::printf("%s: %d mesh%s, %lld vertices, %lld faces, %llu bytes (3DM version %d); read %.3f s, write %.3f s\n",
                args.output.c_str(), meshes.Count(), meshes.Count() == 1 ? "" : "es", totals.vertices, totals.faces,
                sizeError ? 0ULL : static_cast<unsigned long long>(bytes), args.version, readSeconds, writeSeconds);
    return 0;
}
