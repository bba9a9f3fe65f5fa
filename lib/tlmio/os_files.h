// What file output needs from the operating system: exclusive creation, flushing to the disk,
// replacing a file in one step, path syntax and the system's error texts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "afx/CString.h"

namespace tlmio {

enum class PathKind { Missing, RegularFile, Folder, Other, Unknown };

// `errorNumber` is the errno of a failed query (Missing or Unknown), else 0.
PathKind QueryPathKind(const char* path, int& errorNumber);

// The folder part of `path` ("" for a bare file name) and a name joined to a folder.
std::string FolderOfPath(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

// Creates `path` for binary writing, failing if it exists (errno in `errorNumber`). The new
// file takes the permissions of `likeFile` when that is given and exists.
std::FILE* CreateNewFile(const char* path, const char* likeFile, int& errorNumber);

bool SeekFile(std::FILE* file, uint64_t offset);

// Pushes written data through the system's caches to the disk.
bool FlushToDisk(std::FILE* file, CString& reason);

// Renames `source` to `target`, replacing a file at `target` in one step.
bool RenameOver(const char* source, const char* target, CString& reason);

CString SystemErrorText(int errorNumber);  // the text of an errno value

bool CurrentUtcTime(std::tm& time);

}  // namespace tlmio
