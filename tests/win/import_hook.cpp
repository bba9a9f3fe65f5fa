#include "tests/win/import_hook.h"

#include <cstring>

namespace wintest {

namespace {

bool SameDllName(const char* imported, const char* wanted)
{
    if (lstrcmpiA(imported, wanted) == 0)
        return true;
    // "shell32" names "shell32.dll".
    std::size_t length = std::strlen(wanted);
    return _strnicmp(imported, wanted, length) == 0 && lstrcmpiA(imported + length, ".dll") == 0;
}

// The import address table slot of the function, or null.
void** FindImportSlot(HMODULE module, const char* dllName, const char* functionName)
{
    if (!module || !dllName || !functionName)
        return nullptr;
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;

    for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (!SameDllName(reinterpret_cast<const char*>(base + descriptor->Name), dllName))
            continue;
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        if (descriptor->OriginalFirstThunk == 0) {
            // No name table (a bound import): recognise the entry by the address the loader put in it.
            HMODULE dll = GetModuleHandleA(dllName);
            FARPROC target = dll ? GetProcAddress(dll, functionName) : nullptr;
            for (; target && slots->u1.Function != 0; ++slots)
                if (slots->u1.Function == reinterpret_cast<ULONG_PTR>(target))
                    return reinterpret_cast<void**>(&slots->u1.Function);
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), functionName) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void* Exchange(void** slot, void* value)
{
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return nullptr;
    void* previous = *slot;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return previous;
}

}  // namespace

void* ImportedAddress(HMODULE module, const char* dllName, const char* functionName)
{
    void** slot = FindImportSlot(module, dllName, functionName);
    return slot ? *slot : nullptr;
}

void* InterceptImport(HMODULE module, const char* dllName, const char* functionName, void* replacement)
{
    void** slot = FindImportSlot(module, dllName, functionName);
    return slot ? Exchange(slot, replacement) : nullptr;
}

ImportInterception::ImportInterception(HMODULE module, const char* dllName, const char* functionName,
                                       void* replacement)
    : m_slot(FindImportSlot(module, dllName, functionName))
{
    if (m_slot)
        m_original = Exchange(m_slot, replacement);
}

ImportInterception::~ImportInterception()
{
    if (m_slot && m_original)
        Exchange(m_slot, m_original);
}

}  // namespace wintest
