#include <gtest/gtest.h>

#include "comdef.h"

namespace {

struct ICounted : IUnknown {
    static constexpr IID qvIid = {
        0x3f1c2a9b, 0x55e1, 0x4d7a, {0x8b, 0x0c, 0x19, 0xa4, 0x7e, 0x22, 0x61, 0x0d}};
    using qvBase = IUnknown;
};

class Counted : public qv::com::Object<ICounted, ISupportErrorInfo> {
  public:
    explicit Counted(bool supportsErrors) : m_supportsErrors(supportsErrors) {}
    HRESULT InterfaceSupportsErrorInfo(REFIID) override {
        return m_supportsErrors ? S_OK : S_FALSE;
    }
    ULONG count() {
        AddRef();
        return Release();
    }

  private:
    bool m_supportsErrors;
};

TEST(VariantOwnership, CopiesAndClearsTakeAndDropReferences) {
    auto* object = new Counted(true);
    _com_ptr_t<ICounted> holder(object);
    {
        _variant_t value(static_cast<IUnknown*>(static_cast<ICounted*>(object)));
        EXPECT_EQ(2u, object->count());
        _variant_t copy(value);
        EXPECT_EQ(3u, object->count());
        IUnknown* out = copy;  // a new reference for the caller
        EXPECT_EQ(4u, object->count());
        out->Release();
        copy.Clear();
        EXPECT_EQ(2u, object->count());
        _com_ptr_t<ICounted> fromVariant(value);  // queried from the variant
        EXPECT_TRUE(fromVariant == object);
        EXPECT_EQ(3u, object->count());
    }
    EXPECT_EQ(1u, object->count());
    _variant_t number(5);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantChangeType(&number, &number, 0, VT_UNKNOWN));
}

TEST(VariantOwnership, ArraysOfVariantsCopyDeeply) {
    _variant_t list;
    list.vt = VT_ARRAY | VT_VARIANT;
    list.parray = SafeArrayCreateVector(VT_VARIANT, 1, 2);
    _variant_t text(L"first"), number(2.5);
    LONG i = 1;
    ASSERT_EQ(S_OK, SafeArrayPutElement(list.parray, &i, &text));
    i = 2;
    ASSERT_EQ(S_OK, SafeArrayPutElement(list.parray, &i, &number));
    _variant_t copy(list);
    text = L"changed";  // the array holds its own copy
    VARIANT element;
    VariantInit(&element);
    i = 1;
    ASSERT_EQ(S_OK, SafeArrayGetElement(copy.parray, &i, &element));
    EXPECT_EQ(VT_BSTR, element.vt);
    EXPECT_STREQ(L"first", element.bstrVal);
    VariantClear(&element);
    VARTYPE vt = 0;
    EXPECT_EQ(S_OK, SafeArrayGetVartype(copy.parray, &vt));
    EXPECT_EQ(VT_VARIANT, vt);
}

TEST(VariantOwnership, ReferencesAreFollowedWhenCopiedOrConverted) {
    LONG target32 = 41;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_BYREF | VT_I4;
    byRef.plVal = &target32;
    _variant_t value;
    ASSERT_EQ(S_OK, VariantCopyInd(&value, &byRef));
    EXPECT_EQ(VT_I4, value.vt);
    EXPECT_EQ(41, value.lVal);
    target32 = 7;
    _variant_t text;
    ASSERT_EQ(S_OK, VariantChangeType(&text, &byRef, 0, VT_BSTR));
    EXPECT_STREQ(L"7", text.bstrVal);
    SHORT target16 = -2;  // only its own two bytes are read
    byRef.vt = VT_BYREF | VT_I2;
    byRef.piVal = &target16;
    ASSERT_EQ(S_OK, VariantCopyInd(&value, &byRef));
    EXPECT_EQ(VT_I2, value.vt);
    EXPECT_EQ(-2, value.iVal);
    BSTR name = SysAllocString(L"name");
    byRef.vt = VT_BYREF | VT_BSTR;
    byRef.pbstrVal = &name;
    ASSERT_EQ(S_OK, VariantCopyInd(&value, &byRef));
    EXPECT_EQ(VT_BSTR, value.vt);
    EXPECT_NE(name, value.bstrVal);  // a copy of its own
    EXPECT_STREQ(L"name", value.bstrVal);
    SysFreeString(name);
    VARIANT bad;
    VariantInit(&bad);
    bad.vt = 0x0FFF;
    EXPECT_EQ(DISP_E_BADVARTYPE, VariantClear(&bad));
    EXPECT_EQ(DISP_E_BADVARTYPE, VariantCopy(&value, &bad));
}

TEST(ComIssueErrorEx, TakesErrorInformationOnlyFromObjectsThatLeaveIt) {
    for (bool supports : {true, false}) {
        auto* object = new Counted(supports);
        _com_ptr_t<ICounted> holder(object);
        qv::com::reportError(E_FAIL, L"what went wrong", L"Source");
        try {
            _com_issue_errorex(E_FAIL, static_cast<ICounted*>(object), __uuidof(ICounted));
        } catch (const _com_error& e) {
            EXPECT_EQ(supports ? _bstr_t(L"what went wrong") : _bstr_t(), e.Description())
                << supports;
        }
        SetErrorInfo(0, nullptr);
    }
}

TEST(ComPtr, OutParametersAndAttachment) {
    auto* object = new Counted(true);
    _com_ptr_t<ICounted> p;
    ICounted** slot = &p;  // an empty pointer to fill
    *slot = object;
    object->AddRef();
    EXPECT_EQ(1u, object->count());
    _com_ptr_t<ICounted> q;
    q.Attach(object, true);
    EXPECT_EQ(2u, object->count());
    ICounted** again = &q;  // taking the address releases what was held
    EXPECT_EQ(nullptr, *again);
    EXPECT_EQ(1u, object->count());
    IUnknownPtr unknown;
    EXPECT_EQ(S_OK, p.QueryInterface(IID_IUnknown, &unknown));
    EXPECT_EQ(2u, object->count());
}

}  // namespace
