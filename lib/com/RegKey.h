// An open registry key that closes itself.
#pragma once

#include <windows.h>

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { if (m_key) RegCloseKey(m_key); }

    bool Open(HKEY parent, const char* path, REGSAM access = KEY_READ)
    {
        return RegOpenKeyExA(parent, path, 0, access, Out()) == ERROR_SUCCESS;
    }
    // For the Reg* calls that open or create: closes what is held and hands out the slot.
    HKEY* Out()
    {
        if (m_key)
            RegCloseKey(m_key);
        m_key = nullptr;
        return &m_key;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};
