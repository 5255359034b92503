#include <gtest/gtest.h>

#include <vector>

#include "host/DrawingFiles.h"
#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

// A VARIANT holding x, y, z as an array of doubles.
VARIANT corner(double x, double y, double z = 0.0) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_R8;
    v.parray = SafeArrayCreateVector(VT_R8, 0, 3);
    double xyz[3] = {x, y, z};
    for (LONG i = 0; i < 3; ++i) {
        SafeArrayPutElement(v.parray, &i, &xyz[i]);
    }
    return v;
}

class AutomationTest : public DrawingTest {
  protected:
    AutomationTest() : app(AcadGetIDispatch(TRUE)) {}
    ~AutomationTest() override { app->Release(); }

    // Calls a member with the arguments in their natural order.
    HRESULT call(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args = {},
                 VARIANT* result = nullptr) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
                          static_cast<UINT>(reversed.size()),
                          flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
        EXCEPINFO exception{};
        const HRESULT hr =
            object->Invoke(id, IID_IDispatch, 0, flags, &params, result, &exception, nullptr);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        for (VARIANT& v : args) {
            VariantClear(&v);
        }
        return hr;
    }

    IDispatch* activeDocument() {
        VARIANT result;
        EXPECT_EQ(call(app, 5, DISPATCH_PROPERTYGET, {}, &result), S_OK);
        EXPECT_EQ(result.vt, VT_DISPATCH);
        return result.pdispVal;
    }

    qv::host::ViewState& views() { return acDocManager->curDocument()->qvViews(); }

    IDispatch* app;
};

TEST_F(AutomationTest, ZoomsKeepAViewStackPerDocument) {
    addToModelSpace(new AcDbLine({-10, -20, 0}, {30, 40, 0}));
    const qv::host::View start = views().current();
    ASSERT_EQ(call(app, 40, DISPATCH_METHOD, {corner(100, 50), corner(0, 0)}), S_OK);
    EXPECT_TRUE(views().current().lowerLeft.isEqualTo({0, 0, 0}));
    EXPECT_TRUE(views().current().upperRight.isEqualTo({100, 50, 0}));
    ASSERT_EQ(call(app, 36, DISPATCH_METHOD), S_OK);
    EXPECT_TRUE(views().current().lowerLeft.isEqualTo({-10, -20, 0}));
    EXPECT_TRUE(views().current().upperRight.isEqualTo({30, 40, 0}));
    ASSERT_EQ(call(app, 43, DISPATCH_METHOD), S_OK);
    EXPECT_TRUE(views().current().upperRight.isEqualTo({100, 50, 0}));
    ASSERT_EQ(call(app, 43, DISPATCH_METHOD), S_OK);
    EXPECT_TRUE(views().current() == start);
    ASSERT_EQ(call(app, 43, DISPATCH_METHOD), S_OK) << "nothing before the first view";
    EXPECT_TRUE(views().current() == start);
}

TEST_F(AutomationTest, RefusesWhatItCannotDo) {
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"0,0");
    const struct {
        const char* name;
        HRESULT actual, expected;
    } cases[] = {
        {"unknown member", call(app, 999, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND},
        {"zoom window with one corner", call(app, 40, DISPATCH_METHOD, {corner(1, 1)}),
         DISP_E_BADPARAMCOUNT},
        {"zoom window with text", call(app, 40, DISPATCH_METHOD, {corner(1, 1), text}),
         DISP_E_TYPEMISMATCH},
        {"put to a method", call(app, 36, DISPATCH_PROPERTYPUT), DISP_E_MEMBERNOTFOUND},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"zoomPrevious"), const_cast<LPOLESTR>(L"Nope")};
    DISPID ids[2];
    EXPECT_EQ(app->GetIDsOfNames(IID_IDispatch, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 43);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(AutomationTest, VisibleRegenAndCloseWithOrWithoutSaving) {
    VARIANT yes;
    VariantInit(&yes);
    yes.vt = VT_BOOL;
    yes.boolVal = -1;
    ASSERT_EQ(call(app, 1, DISPATCH_PROPERTYPUT, {yes}), S_OK);
    EXPECT_TRUE(qv::host::applicationVisible());

    IDispatch* doc = activeDocument();
    VARIANT all;
    VariantInit(&all);
    all.vt = VT_I4;
    all.lVal = 1;
    ASSERT_EQ(call(doc, 54, DISPATCH_METHOD, {all}), S_OK);
    EXPECT_EQ(document()->qvViews().regenCount(), 1);

    // Close(false, omitted) closes without saving.
    std::vector<std::wstring> writes;
    qv::host::setDrawingFileFormat({nullptr, [&](const AcDbDatabase&, const std::wstring& path) {
                                        writes.push_back(path);
                                        return Acad::eOk;
                                    }});
    VARIANT no, omitted;
    VariantInit(&no);
    no.vt = VT_BOOL;
    no.boolVal = 0;
    VariantInit(&omitted);
    omitted.vt = VT_ERROR;
    omitted.scode = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(call(doc, 58, DISPATCH_METHOD, {no, omitted}), S_OK);
    EXPECT_EQ(acDocManager->documentCount(), 0);
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(call(doc, 54, DISPATCH_METHOD, {all}), DISP_E_EXCEPTION) << "the document is gone";
    EXPECT_EQ(call(app, 5, DISPATCH_PROPERTYGET, {}, nullptr), DISP_E_EXCEPTION)
        << "no active document";
    doc->Release();

    // Close(true, name) saves under that name first.
    acDocManager->appContextNewDocument();
    doc = activeDocument();
    VARIANT name;
    VariantInit(&name);
    name.vt = VT_BSTR;
    name.bstrVal = SysAllocString(L"C:\\out\\plan.dwg");
    EXPECT_EQ(call(doc, 58, DISPATCH_METHOD, {yes, name}), S_OK);
    EXPECT_EQ(writes, std::vector<std::wstring>{L"C:\\out\\plan.dwg"});
    doc->Release();
    qv::host::setDrawingFileFormat({});
}

}  // namespace
