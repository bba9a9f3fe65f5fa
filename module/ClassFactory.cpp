#include "module/ClassFactory.h"

#include <new>

#include "module/ModuleLock.h"

namespace {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(InstanceCreator creator) : m_creator(creator) { InitializeCriticalSection(&m_section); }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }

    // The step from 1 to 2 references takes the module lock, the step back from 2 to 1 returns it.
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        EnterCriticalSection(&m_section);
        LONG refs = InterlockedIncrement(&m_refs);
        if (refs == 2)
            module::Lock();
        LeaveCriticalSection(&m_section);
        return static_cast<ULONG>(refs);
    }

    ULONG STDMETHODCALLTYPE Release() override
    {
        EnterCriticalSection(&m_section);
        LONG refs = InterlockedDecrement(&m_refs);
        LeaveCriticalSection(&m_section);
        if (refs == 0)
            delete this;
        else if (refs == 1)
            module::Unlock();
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer && iid != IID_IUnknown)
            return CLASS_E_NOAGGREGATION;
        return m_creator(outer, iid, object);
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            module::Lock();
        else
            module::Unlock();
        return S_OK;
    }

private:
    ~ClassFactory() { DeleteCriticalSection(&m_section); }

    InstanceCreator m_creator;
    volatile LONG m_refs = 0;
    CRITICAL_SECTION m_section;
};

}  // namespace

HRESULT CreateClassFactory(InstanceCreator creator, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    ClassFactory* factory = new (std::nothrow) ClassFactory(creator);
    if (!factory)
        return E_OUTOFMEMORY;
    factory->AddRef();
    HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();  // destroys it again when the query failed
    return hr;
}
