// Writes the oracle's expectations for the 3DM file that stl23dm makes of an STL file: the meshes
// the library reads from it, as the converter then writes them.
// usage: oracle_stl_expectations IN.stl OUT.3dm VERSION
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tests/oracle/oracle_expectations.h"
#include "tlmio/stl_reader.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: oracle_stl_expectations IN.stl OUT.3dm VERSION\n");
        return 2;
    }
    ON_ClassArray<ON_Mesh> meshes;
    CString error;
    if (!tlmio::ReadStlFile(argv[1], meshes, tlmio::StlReadOptions(), error)) {
        std::fprintf(stderr, "oracle_stl_expectations: %s\n", error.GetString());
        return 1;
    }
    return WriteOracleSidecar(argv[2], meshes, std::atoi(argv[3]), std::time(nullptr)) ? 0 : 1;
}
