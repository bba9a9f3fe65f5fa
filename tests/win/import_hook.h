// Redirects one function that a module imports, by rewriting the module's import address table.
// Tests use it to keep the code under test from starting other programs for real:
//
//   ImportInterception shell(addinModule, "shell32.dll", "ShellExecuteA",
//                            reinterpret_cast<void*>(&RecordShellExecute));
//   ASSERT_TRUE(shell.Active());   // false: the module does not import that function
//   ... run the command; RecordShellExecute (a CALLBACK-convention function) sees the call ...
//
// Only calls through the table are redirected: those of that one module, not GetProcAddress.
#pragma once

#include <windows.h>

namespace wintest {

// The table entry now in place for `functionName` imported by name from `dllName` ("shell32" or
// "SHELL32.dll", any case), or null when the module has no such import.
void* ImportedAddress(HMODULE module, const char* dllName, const char* functionName);

// Puts `replacement` into that entry; returns the entry it replaced, or null (nothing changed).
void* InterceptImport(HMODULE module, const char* dllName, const char* functionName, void* replacement);

// Intercepts for its lifetime and restores the original entry on destruction.
class ImportInterception {
public:
    ImportInterception(HMODULE module, const char* dllName, const char* functionName, void* replacement);
    ImportInterception(const ImportInterception&) = delete;
    ImportInterception& operator=(const ImportInterception&) = delete;
    ~ImportInterception();

    bool Active() const noexcept { return m_original != nullptr; }
    void* Original() const noexcept { return m_original; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

}  // namespace wintest
