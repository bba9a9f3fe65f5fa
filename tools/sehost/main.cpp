// The simulated host as a program:
//   sehost --session OUT.3dm [MODEL]            the scripted session with the registered add-in
//   sehost --write-model NAME PATH.stl [--ascii] a bundled sample model as the STL a save writes
#include <cstdio>
#include <cstring>
#include <string>

#include "com/Bstr.h"
#include "com/ComError.h"
#include "tools/sehost/session.h"
#include "tools/sehost/stl_file.h"

#include <ole2.h>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: sehost --session OUT.3dm [MODEL]\n       sehost --write-model NAME PATH.stl [--ascii]\nmodels:");
    for (const std::string& name : sehost::SampleModelNames())
        std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

int WriteModel(const char* name, const char* path, sehost::StlFormat format)
{
    const sehost::Model* model = sehost::FindSampleModel(name);
    if (!model) {
        std::fprintf(stderr, "sehost: no sample model named \"%s\"\n", name);
        return Usage();
    }
    HRESULT hr = sehost::WriteFileBytes(Bstr(path).Get(), sehost::StlBytes(*model, format));
    if (FAILED(hr)) {
        std::fprintf(stderr, "sehost: cannot write \"%s\": %s\n", path, DescribeHResult(hr).GetString());
        return 1;
    }
    std::printf("wrote %s: %zu bodies, %zu facets, %s STL\n", path, model->bodies.size(), model->FacetCount(),
                format == sehost::StlFormat::Binary ? "binary" : "ASCII");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--write-model") == 0) {
        if (argc == 5 && std::strcmp(argv[4], "--ascii") != 0)
            return Usage();
        return WriteModel(argv[2], argv[3], argc == 5 ? sehost::StlFormat::Ascii : sehost::StlFormat::Binary);
    }
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--session") == 0) {
        sehost::SessionOptions options;
        options.exportPath = argv[2];
        if (argc == 4)
            options.model = argv[3];
        // A host's user-interface thread: OLE, which the common dialogs need too.
        if (FAILED(OleInitialize(nullptr)))
            return 1;
        int result = sehost::RunSession(options);
        OleUninitialize();
        return result;
    }
    return Usage();
}
