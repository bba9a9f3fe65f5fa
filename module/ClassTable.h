// The module's class table and the entry points that serve it.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "module/ClassFactory.h"

struct ClassEntry {
    const CLSID* clsid;  // null ends the table
    HRESULT (*registration)(BOOL registering);
    HRESULT (*createClassObject)(InstanceCreator creator, REFIID iid, void** object);
    InstanceCreator createInstance;
    IUnknown* cachedClassObject;
};

// {8298E24A-F153-49E7-8919-A9E94FC9DE7F}
extern const CLSID CLSID_SEAddin;

ClassEntry* ClassTable();

void InitializeClassTable();
// Releases the cached class objects and the table's lock.
void TerminateClassTable();
