// The class object of a class-table entry: creates instances, and counts client references as
// one module lock in total (the table's own cached reference keeps nothing loaded).
#pragma once

#include <windows.h>
#include <unknwn.h>

using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

// Makes a class object for `creator` and queries it for `iid`.
HRESULT CreateClassFactory(InstanceCreator creator, REFIID iid, void** object);
