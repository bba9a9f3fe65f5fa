// An automation answer that is an object but not a dispatch object: it answers only IUnknown.
#pragma once

#include <objbase.h>

namespace sehost {

// A COM object is destroyed by its own Release, never through an interface pointer, so the
// interfaces' non-virtual destructors are no hazard here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class UnknownObject final : public IUnknown {
public:
    UnknownObject() = default;
    UnknownObject(const UnknownObject&) = delete;
    UnknownObject& operator=(const UnknownObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

private:
    ~UnknownObject() = default;
    volatile LONG m_references = 1;
};
#pragma GCC diagnostic pop

}  // namespace sehost
