#include <gtest/gtest.h>

#include <thread>

#include "comdef.h"

namespace {

struct IProbe : IUnknown {
    static constexpr IID qvIid = {
        0x0c4dd2a8, 0x3a57, 0x4f6e, {0x8a, 0x01, 0x6f, 0x63, 0x14, 0x55, 0x2b, 0x90}};
    using qvBase = IUnknown;
    virtual int answer() = 0;
};
_COM_SMARTPTR_TYPEDEF(IProbe, __uuidof(IProbe));

class Probe : public qv::com::Object<IProbe> {
  public:
    int answer() override { return 42; }
};

constexpr CLSID kProbeClass = {
    0x7d1d8c3e, 0x11aa, 0x4c2b, {0x90, 0x3d, 0x2e, 0x5f, 0x01, 0x77, 0x3c, 0x12}};

struct Registered {
    Registered() {
        qv::com::registerClass(kProbeClass, {L"Test.Probe", L"Test.Probe.1"},
                               [] { return static_cast<IUnknown*>(new Probe()); });
    }
};
const Registered registered;

TEST(CoInitialize, CountsPerThread) {
    std::thread([] {
        CoUninitialize();  // harmless without initialisation
        EXPECT_EQ(S_OK, CoInitialize(nullptr));
        EXPECT_EQ(1, qv::com::initialisationDepth());
        EXPECT_EQ(S_FALSE, CoInitialize(nullptr));
        EXPECT_EQ(2, qv::com::initialisationDepth());
        EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        EXPECT_EQ(2, qv::com::initialisationDepth());
        CoUninitialize();
        EXPECT_EQ(1, qv::com::initialisationDepth());
        CoUninitialize();
        EXPECT_EQ(0, qv::com::initialisationDepth());
        // A new start may take another model.
        EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        CoUninitialize();
    }).join();
}

TEST(CoCreateInstance, FindsRegisteredClasses) {
    std::thread([] {
        IProbePtr probe;
        EXPECT_EQ(CO_E_NOTINITIALIZED, probe.CreateInstance(L"Test.Probe"));
        EXPECT_TRUE(!probe);
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        EXPECT_EQ(S_OK, probe.CreateInstance(L"test.PROBE"));
        ASSERT_TRUE(probe);
        EXPECT_EQ(42, probe->answer());
        EXPECT_EQ(S_OK, probe.CreateInstance("Test.Probe.1"));
        EXPECT_EQ(CO_E_CLASSSTRING, probe.CreateInstance(L"No.Such.Class"));
        CLSID clsid;
        EXPECT_EQ(S_OK, CLSIDFromProgID(L"Test.Probe", &clsid));
        EXPECT_TRUE(clsid == kProbeClass);
        void* raw = nullptr;
        EXPECT_EQ(E_NOINTERFACE,
                  CoCreateInstance(kProbeClass, nullptr, CLSCTX_ALL, IID_IDispatch, &raw));
        EXPECT_EQ(nullptr, raw);
        IUnknownPtr outer(static_cast<IUnknown*>(new Probe()));
        EXPECT_EQ(CLASS_E_NOAGGREGATION,
                  CoCreateInstance(kProbeClass, outer, CLSCTX_ALL, IID_IUnknown, &raw));
        {
            qv::com::ClassHidden missing(L"Test.Probe");
            EXPECT_EQ(CO_E_CLASSSTRING, probe.CreateInstance(L"Test.Probe"));
            EXPECT_EQ(REGDB_E_CLASSNOTREG,
                      CoCreateInstance(kProbeClass, nullptr, CLSCTX_ALL, IID_IUnknown, &raw));
            EXPECT_THROW(IProbePtr(L"Test.Probe"), _com_error);
        }
        EXPECT_EQ(S_OK, probe.CreateInstance(L"Test.Probe"));
        probe = nullptr;
        CoUninitialize();
    }).join();
}

}  // namespace
