#include <gtest/gtest.h>

#include <afxdisp.h>

#include "host/app/Automation.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

namespace {

using qv::test::DrawingTest;
using qv::test::raised;

VARIANT corner(double x, double y) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_R8;
    v.parray = SafeArrayCreateVector(VT_R8, 0, 3);
    double xyz[3] = {x, y, 0.0};
    for (LONG i = 0; i < 3; ++i) {
        SafeArrayPutElement(v.parray, &i, &xyz[i]);
    }
    return v;
}

class DispatchDriverTest : public DrawingTest {};

TEST_F(DispatchDriverTest, DrivesTheHostsAutomationObject) {
    COleDispatchDriver app;
    app.AttachDispatch(AcadGetIDispatch(TRUE));
    app.SetProperty(1, VT_BOOL, TRUE);
    EXPECT_TRUE(qv::host::applicationVisible());

    VARIANT lowerLeft = corner(0, 0), upperRight = corner(100, 50);
    static BYTE twoCorners[] = VTS_VARIANT VTS_VARIANT;
    app.InvokeHelper(40, DISPATCH_METHOD, VT_EMPTY, nullptr, twoCorners, &lowerLeft, &upperRight);
    VariantClear(&lowerLeft);
    VariantClear(&upperRight);
    const auto& view = acDocManager->curDocument()->qvViews().current();
    EXPECT_TRUE(view.upperRight.isEqualTo({100, 50, 0}));

    LPDISPATCH document = nullptr;
    app.InvokeHelper(5, DISPATCH_PROPERTYGET, VT_DISPATCH, &document, nullptr);
    ASSERT_NE(nullptr, document);
    COleDispatchDriver doc(document);
    static BYTE allViewports[] = VTS_I4;
    EXPECT_NO_THROW(doc.InvokeHelper(54, DISPATCH_METHOD, VT_EMPTY, nullptr, allViewports, 1L));

    BOOL visible = FALSE;
    app.GetProperty(1, VT_BOOL, &visible);
    EXPECT_TRUE(visible);
}

TEST_F(DispatchDriverTest, RefusalsRaiseTheFrameworksExceptions) {
    COleDispatchDriver app(AcadGetIDispatch(TRUE));
    const auto unknown = raised<COleException>(
        [&] { app.InvokeHelper(999, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); });
    ASSERT_NE(nullptr, unknown);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, unknown->m_sc);

    COleDispatchDriver nothing;
    const auto empty = raised<COleException>(
        [&] { nothing.InvokeHelper(36, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); });
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(E_POINTER, empty->m_sc);
}

TEST_F(DispatchDriverTest, AnExceptionOfTheObjectCarriesItsDescription) {
    COleDispatchDriver app(AcadGetIDispatch(TRUE));
    LPDISPATCH document = nullptr;
    app.InvokeHelper(5, DISPATCH_PROPERTYGET, VT_DISPATCH, &document, nullptr);
    COleDispatchDriver doc(document);
    VARIANT save;
    VariantInit(&save);
    save.vt = VT_BOOL;
    save.boolVal = VARIANT_FALSE;
    VARIANT omitted;
    VariantInit(&omitted);
    omitted.vt = VT_ERROR;
    omitted.scode = DISP_E_PARAMNOTFOUND;
    static BYTE closeArgs[] = VTS_VARIANT VTS_VARIANT;
    doc.InvokeHelper(58, DISPATCH_METHOD, VT_EMPTY, nullptr, closeArgs, &save, &omitted);
    // The document is gone: a second close is refused by the object itself.
    const auto again = raised<COleDispatchException>([&] {
        doc.InvokeHelper(58, DISPATCH_METHOD, VT_EMPTY, nullptr, closeArgs, &save, &omitted);
    });
    ASSERT_NE(nullptr, again);
    EXPECT_FALSE(again->m_strDescription.IsEmpty());
}

}  // namespace
