// Self-registration: the registration script, the type library and the host's add-in keys.
#pragma once

#include <windows.h>
#include <comcat.h>

// Runs the "REGISTRY" script resource 100 with %MODULE% bound to the module's path.
HRESULT RunRegistrationScript(BOOL registering);

// The add-in keys below the class key: display name, summary, help, AutoConnect, the
// environment categories and the implemented "Solid Edge Add-in" category.
HRESULT RegisterAddInKeys(CLSID clsid, DWORD autoConnect, LCID locale, const char* displayName, const char* summary,
                          const char* helpText, ULONG requiredCount, const CATID* required, ULONG environmentCount,
                          const CATID* environments, ULONG formatCount, const CLSID* formats);
HRESULT UnregisterAddInKeys(CLSID clsid, ULONG requiredCount, const CATID* required, ULONG environmentCount,
                            const CATID* environments);
