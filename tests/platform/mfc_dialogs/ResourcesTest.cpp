#include <gtest/gtest.h>

#include <stdexcept>

#include "SampleDialogs.h"
#include "support/TestEnvironment.h"

namespace {

using namespace qv::res;

// Stands for another module: the address of a shared library of the process.
HINSTANCE otherModule() {
    return moduleHandleOf(reinterpret_cast<const void*>(&AfxGetResourceHandle));
}

class ResourcesTest : public qv::test::PlatformTest {
  protected:
    ~ResourcesTest() override {
        unregisterDialog(otherModule(), kId);
        AfxSetResourceHandle(programHandle());
    }
    static constexpr UINT kId = 9500;
};

TEST_F(ResourcesTest, ModulesAreKnownByTheirAddresses) {
    EXPECT_EQ(programHandle(), AfxGetResourceHandle());
    EXPECT_EQ(programHandle(), moduleHandleOf(reinterpret_cast<const void*>(&otherModule)));
    EXPECT_NE(nullptr, otherModule());
    EXPECT_NE(programHandle(), otherModule());
    EXPECT_EQ(nullptr, moduleHandleOf(nullptr));
    // A guard without a module names the module of its caller, and puts the old one back.
    AfxSetResourceHandle(otherModule());
    {
        CAcModuleResourceOverride mine;
        EXPECT_EQ(programHandle(), AfxGetResourceHandle());
    }
    EXPECT_EQ(otherModule(), AfxGetResourceHandle());
}

TEST_F(ResourcesTest, TemplatesAreFoundInTheCurrentModuleThenThroughTheChain) {
    registerDialog(otherModule(), DialogTemplate(kId, L"Other", WS_POPUP, {}));
    EXPECT_EQ(nullptr, locateDialog(kId));  // neither current nor an extension module

    {
        CAcModuleResourceOverride use(otherModule());
        ASSERT_NE(nullptr, locateDialog(kId));
        EXPECT_EQ(CString(L"Other"), locateDialog(kId)->caption);
        EXPECT_NE(nullptr, locateDialog(sample::IDD_SAMPLE));  // the program's still count
    }
    EXPECT_EQ(programHandle(), AfxGetResourceHandle());

    AFX_EXTENSION_MODULE extension;
    ASSERT_TRUE(AfxInitExtensionModule(extension, otherModule()));
    new CDynLinkLibrary(extension);
    EXPECT_NE(nullptr, locateDialog(kId));
    AfxTermExtensionModule(extension);
    EXPECT_EQ(nullptr, locateDialog(kId));
    EXPECT_FALSE(AfxInitExtensionModule(extension, nullptr));
}

TEST_F(ResourcesTest, ATemplateIdIsUsedOncePerModule) {
    registerDialog(otherModule(), DialogTemplate(kId, L"One", WS_POPUP, {}));
    EXPECT_THROW(registerDialog(otherModule(), DialogTemplate(kId, L"Two", WS_POPUP, {})),
                 std::logic_error);
    registerDialog(programHandle(), DialogTemplate(kId, L"Program", WS_POPUP, {}));
    EXPECT_EQ(CString(L"Program"), locateDialog(kId)->caption);
    unregisterDialog(programHandle(), kId);
}

}  // namespace
