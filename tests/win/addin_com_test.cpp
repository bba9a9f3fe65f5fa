// Pelorin.dll as a COM server, through its exports: the class object, what keeps the DLL
// loaded, aggregation, and the add-in object's identity.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include "tests/win/addin_fixture.h"

using wintest::AddInTest;
using wintest::kClsidPelorinAddIn;

namespace {

class ClassObjectTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(library.Loaded()) << "LoadLibrary failed with " << library.LoadError(); }

    ComPtr<IClassFactory> Factory()
    {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(library.GetClassObject(kClsidPelorinAddIn, IID_IClassFactory,
                                         reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf())),
                  S_OK);
        return factory;
    }

    sehost::AddInLibrary library{wintest::PelorinDllPath()};
};

// An outer object that counts the references its inner object passes on to it.
class CountingOuter final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;  // on the stack: never freed through Release
};

void* const kGarbage = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5EED));

}  // namespace

TEST_F(ClassObjectTest, IsCachedAndCountsClientReferencesAsOneLock)
{
    // {8298E24A-F153-49E7-8919-A9E94FC9DE7E}: one bit away from the add-in's class.
    const CLSID otherClass = {0x8298E24A, 0xF153, 0x49E7, {0x89, 0x19, 0xA9, 0xE9, 0x4F, 0xC9, 0xDE, 0x7E}};
    void* object = kGarbage;
    EXPECT_EQ(library.GetClassObject(otherClass, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(library.GetClassObject(kClsidPelorinAddIn, IID_IClassFactory, nullptr), E_POINTER);

    // The first request asks for an interface the class object lacks: it is made, cached and
    // refused, and a later request gets that same object.
    object = kGarbage;
    EXPECT_EQ(library.GetClassObject(kClsidPelorinAddIn, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);

    ComPtr<IClassFactory> first = Factory();
    ComPtr<IClassFactory> second = Factory();
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(library.GetClassObject(kClsidPelorinAddIn, IID_IUnknown,
                                     reinterpret_cast<void**>(unknown.ReleaseAndGetAddressOf())),
              S_OK);
    EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(first.Get()));
    unknown.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    first.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    second.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);  // the cache's own reference keeps nothing loaded
}

TEST_F(ClassObjectTest, LockServerAndLiveObjectsKeepTheDllLoaded)
{
    ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);

    factory = Factory();

    ComPtr<ISolidEdgeAddIn> addIn;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_ISolidEdgeAddIn, reinterpret_cast<void**>(addIn.ReleaseAndGetAddressOf())),
              S_OK);
    ASSERT_TRUE(addIn);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_ISolidEdgeAddIn, nullptr), E_POINTER);
    void* object = kGarbage;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    factory.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    addIn.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_F(ClassObjectTest, AggregationOnlyThroughIUnknown)
{
    ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    CountingOuter outer;
    void* object = kGarbage;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_ISolidEdgeAddIn, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);

    ComPtr<IUnknown> inner;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(inner.ReleaseAndGetAddressOf())),
              S_OK);
    factory.Reset();
    EXPECT_EQ(outer.references, 1u);
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);

    // The inner IUnknown answers for itself; the add-in interface it hands out counts on the outer object.
    ComPtr<IUnknown> self;
    ASSERT_EQ(inner.As(IID_IUnknown, self), S_OK);
    EXPECT_EQ(self.Get(), inner.Get());
    self.Reset();
    ComPtr<ISolidEdgeAddIn> addIn;
    ASSERT_EQ(inner.As(IID_ISolidEdgeAddIn, addIn), S_OK);
    EXPECT_EQ(outer.references, 2u);
    addIn->AddRef();
    EXPECT_EQ(outer.references, 3u);
    addIn->Release();
    addIn.Reset();
    EXPECT_EQ(outer.references, 1u);
    inner.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_F(AddInTest, AddInObjectIdentityAndErrorInfoSupport)
{
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(addIn.As(IID_IUnknown, unknown), S_OK);
    EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(addIn.Get()));
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(addIn.As(IID_IDispatch, dispatch), E_NOINTERFACE);

    ComPtr<ISupportErrorInfo> errorInfo;
    ASSERT_EQ(addIn.As(IID_ISupportErrorInfo, errorInfo), S_OK);
    ComPtr<IUnknown> sameObject;
    ASSERT_EQ(errorInfo.As(IID_IUnknown, sameObject), S_OK);
    EXPECT_EQ(sameObject.Get(), unknown.Get());
    EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_ISEAddIn), S_OK);
    EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_ISolidEdgeAddIn), S_FALSE);
    EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_ISEAddInEvents), S_FALSE);
}
