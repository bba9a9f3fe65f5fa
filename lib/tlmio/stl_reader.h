// STL reader: binary and ASCII STL files into welded meshes with face and vertex normals.
#pragma once

#include <cstddef>

#include "afx/CString.h"
#include "on/ON_Mesh.h"

namespace tlmio {

struct StlReadOptions {
    double creaseAngleDegrees = 30.0;  // faces meeting at a sharper angle do not share vertex normals
};

// Appends the meshes of the STL file at `path` to `meshes`. On failure returns false, leaves
// `meshes` unchanged and sets `error` to a text naming the file and the place.
bool ReadStlFile(const char* path, ON_ClassArray<ON_Mesh>& meshes, const StlReadOptions& options, CString& error);

// The same for bytes already in memory; `name` stands for the file in error texts.
bool ReadStlBytes(const unsigned char* data, std::size_t size, const char* name, ON_ClassArray<ON_Mesh>& meshes,
                  const StlReadOptions& options, CString& error);

}  // namespace tlmio
