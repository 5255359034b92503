#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "comdef.h"

namespace {

// The HRESULT a callable raises as _com_error, or S_OK when it raises nothing.
template <class F>
HRESULT raised(F&& f) {
    try {
        f();
    } catch (const _com_error& e) {
        return e.Error();
    }
    return S_OK;
}

_variant_t decimal(const wchar_t* text) {
    DECIMAL d;
    EXPECT_EQ(S_OK, VarDecFromStr(text, 0, 0, &d)) << text;
    return _variant_t(d);
}

_variant_t date(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    DATE value = 0;
    EXPECT_TRUE(qv::com::dateFromParts({y, m, d, h, mi, s}, value));
    return _variant_t(value, VT_DATE);
}

_variant_t nullValue() {
    _variant_t v;
    v.vt = VT_NULL;
    return v;
}

std::wstring text(const VARIANT& v) {
    if (v.vt != VT_BSTR)
        return L"<not a string>";
    return std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
}

struct ChangeCase {
    const char* name;
    _variant_t from;
    VARTYPE to;
    HRESULT hr;
    _variant_t expected;  // compared when hr is S_OK
};

TEST(VariantChangeType, ConvertsAsAutomationDoesInEnglish) {
    CY cy;
    cy.int64 = 12345000;  // 1234.5
    const ChangeCase cases[] = {
        {"null to int", nullValue(), VT_I4, DISP_E_TYPEMISMATCH, {}},
        {"null to null", nullValue(), VT_NULL, S_OK, nullValue()},
        {"empty to int", _variant_t(), VT_I4, S_OK, _variant_t(0L)},
        {"empty to text", _variant_t(), VT_BSTR, S_OK, _variant_t(L"")},
        {"int to text", _variant_t(-42), VT_BSTR, S_OK, _variant_t(L"-42")},
        {"text to int", _variant_t(L" 1,234 "), VT_I4, S_OK, _variant_t(1234L)},
        {"text with exponent", _variant_t(L"-1.5e2"), VT_I2, S_OK, _variant_t(short(-150))},
        {"not a number", _variant_t(L"12abc"), VT_I4, DISP_E_TYPEMISMATCH, {}},
        {"empty text", _variant_t(L""), VT_R8, DISP_E_TYPEMISMATCH, {}},
        {"lone comma", _variant_t(L"1,"), VT_I4, DISP_E_TYPEMISMATCH, {}},
        {"half to even down", _variant_t(2.5), VT_I4, S_OK, _variant_t(2L)},
        {"half to even up", _variant_t(3.5), VT_I4, S_OK, _variant_t(4L)},
        {"negative half", _variant_t(L"-0.5"), VT_I4, S_OK, _variant_t(0L)},
        {"text half", _variant_t(L"2.5000001"), VT_I4, S_OK, _variant_t(3L)},
        {"short overflow", _variant_t(40000L), VT_I2, DISP_E_OVERFLOW, {}},
        {"byte overflow", _variant_t(-1), VT_UI1, DISP_E_OVERFLOW, {}},
        {"byte", _variant_t(L"255"), VT_UI1, S_OK, _variant_t(BYTE(255))},
        {"int overflow", _variant_t(3e9), VT_I4, DISP_E_OVERFLOW, {}},
        {"nan overflow", _variant_t(std::nan("")), VT_I4, DISP_E_OVERFLOW, {}},
        {"huge text", _variant_t(L"1e400"), VT_R8, DISP_E_OVERFLOW, {}},
        {"long to int64", _variant_t(L"9000000000"), VT_I8, S_OK, _variant_t(9000000000LL)},
        {"double to text", _variant_t(0.1), VT_BSTR, S_OK, _variant_t(L"0.1")},
        {"double 15 digits", _variant_t(1.0 / 3.0), VT_BSTR, S_OK,
         _variant_t(L"0.333333333333333")},
        {"double exponent", _variant_t(1e20), VT_BSTR, S_OK, _variant_t(L"1E+20")},
        {"double small", _variant_t(0.000015), VT_BSTR, S_OK, _variant_t(L"1.5E-05")},
        {"float to text", _variant_t(0.1f), VT_BSTR, S_OK, _variant_t(L"0.1")},
        {"text to double", _variant_t(L"-12.75"), VT_R8, S_OK, _variant_t(-12.75)},
        {"bool to int", _variant_t(true), VT_I4, S_OK, _variant_t(-1L)},
        {"bool to text", _variant_t(true), VT_BSTR, S_OK, _variant_t(L"-1")},
        {"text False", _variant_t(L"FALSE"), VT_BOOL, S_OK, _variant_t(false)},
        {"text number to bool", _variant_t(L"2"), VT_BOOL, S_OK, _variant_t(true)},
        {"text yes to bool", _variant_t(L"yes"), VT_BOOL, DISP_E_TYPEMISMATCH, {}},
        {"zero to bool", _variant_t(0.0), VT_BOOL, S_OK, _variant_t(false)},
        {"decimal to text", decimal(L"-12.50"), VT_BSTR, S_OK, _variant_t(L"-12.5")},
        {"decimal to int", decimal(L"7.5"), VT_I4, S_OK, _variant_t(8L)},
        {"double to decimal", _variant_t(0.1), VT_DECIMAL, S_OK, decimal(L"0.1")},
        {"text to decimal", _variant_t(L"79228162514264337593543950335"), VT_DECIMAL, S_OK,
         decimal(L"79228162514264337593543950335")},
        {"decimal overflow", _variant_t(L"79228162514264337593543950336"), VT_DECIMAL,
         DISP_E_OVERFLOW, {}},
        {"decimal scale limit", _variant_t(L"0.00000000000000000000000000001"), VT_DECIMAL, S_OK,
         decimal(L"0")},
        {"currency to text", _variant_t(cy), VT_BSTR, S_OK, _variant_t(L"1234.5")},
        {"currency from double", _variant_t(1234.5), VT_CY, S_OK, _variant_t(cy)},
        {"date to text", date(2009, 3, 5, 7, 4, 9), VT_BSTR, S_OK,
         _variant_t(L"3/5/2009 7:04:09 AM")},
        {"text to date", _variant_t(L"3/5/2009 7:04:09 PM"), VT_DATE, S_OK,
         date(2009, 3, 5, 19, 4, 9)},
        {"bad date", _variant_t(L"2/30/2009"), VT_DATE, DISP_E_TYPEMISMATCH, {}},
        {"date out of range", _variant_t(1e7), VT_DATE, DISP_E_OVERFLOW, {}},
        {"date to number", date(1900, 1, 1), VT_R8, S_OK, _variant_t(2.0)},
        {"error to int", vtMissing, VT_I4, DISP_E_TYPEMISMATCH, {}},
        {"bad target", _variant_t(1), 15, DISP_E_BADVARTYPE, {}},
    };
    for (const auto& c : cases) {
        _variant_t result;
        const HRESULT hr = VariantChangeType(&result, &c.from, 0, c.to);
        EXPECT_EQ(c.hr, hr) << c.name;
        if (c.hr == S_OK && hr == S_OK) {
            EXPECT_TRUE(result == c.expected)
                << c.name << ": " << std::string(_bstr_t(_variant_t(result)));
        }
        if (hr != S_OK) {
            EXPECT_EQ(VT_EMPTY, result.vt) << c.name << ": a failure leaves the target";
        }
    }
}

// In place, a conversion replaces the value; asked for, booleans become words.
TEST(VariantChangeType, InPlaceReplacesTheValue) {
    _variant_t v(L"42");
    ASSERT_EQ(S_OK, VariantChangeType(&v, &v, 0, VT_I4));
    EXPECT_EQ(VT_I4, v.vt);
    EXPECT_EQ(42, v.lVal);
    // A failed conversion in place leaves the value.
    _variant_t word(L"word");
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantChangeType(&word, &word, 0, VT_I4));
    EXPECT_EQ(L"word", text(word));
    _variant_t result;
    const _variant_t yes(true);
    ASSERT_EQ(S_OK, VariantChangeType(&result, &yes, VARIANT_ALPHABOOL, VT_BSTR));
    EXPECT_EQ(L"True", text(result));
}

TEST(VariantExtraction, RaisesComErrorsOnBadValues) {
    struct Case {
        const char* name;
        HRESULT expected;
        HRESULT actual;
    };
    const _variant_t null = nullValue();
    const _variant_t big(100000L);
    const _variant_t word(L"abc");
    const Case cases[] = {
        {"null as long", DISP_E_TYPEMISMATCH, raised([&] { (void)static_cast<long>(null); })},
        {"null as text", DISP_E_TYPEMISMATCH, raised([&] { (void)static_cast<_bstr_t>(null); })},
        {"null as bool", DISP_E_TYPEMISMATCH, raised([&] { (void)static_cast<bool>(null); })},
        {"big as short", DISP_E_OVERFLOW, raised([&] { (void)static_cast<short>(big); })},
        {"word as double", DISP_E_TYPEMISMATCH, raised([&] { (void)static_cast<double>(word); })},
        {"word as text", S_OK, raised([&] { (void)static_cast<_bstr_t>(word); })},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, c.actual) << c.name;
}

TEST(VariantExtraction, GivesConvertedValues) {
    EXPECT_EQ(42, static_cast<int>(_variant_t(L"42")));
    EXPECT_EQ(-1, static_cast<short>(_variant_t(true)));
    EXPECT_DOUBLE_EQ(2.5, static_cast<double>(_variant_t(L"2.5")));
    EXPECT_EQ(_bstr_t(L"7"), static_cast<_bstr_t>(_variant_t(BYTE(7))));
    EXPECT_TRUE(static_cast<bool>(_variant_t(L"True")));
    EXPECT_EQ(9000000000L, static_cast<long>(_variant_t(9000000000LL)));
    const DECIMAL d = _variant_t(L"1.25");
    double back = 0;
    ASSERT_EQ(S_OK, VarR8FromDec(&d, &back));
    EXPECT_DOUBLE_EQ(1.25, back);
}

TEST(VariantValues, ConstructorsSetTheTypesCallersExpect) {
    struct Case {
        const char* name;
        VARTYPE expected;
        VARTYPE actual;
    };
    const Case cases[] = {
        {"int", VT_INT, _variant_t(0).vt},
        {"long", VT_I4, _variant_t(5L).vt},
        {"long beyond 32 bits", VT_I8, _variant_t(5000000000L).vt},
        {"short", VT_I2, _variant_t(short(1)).vt},
        {"short as bool", VT_BOOL, _variant_t(short(1), VT_BOOL).vt},
        {"bool", VT_BOOL, _variant_t(false).vt},
        {"byte", VT_UI1, _variant_t(BYTE(1)).vt},
        {"double", VT_R8, _variant_t(1.0).vt},
        {"date", VT_DATE, _variant_t(1.0, VT_DATE).vt},
        {"wide text", VT_BSTR, _variant_t(L"x").vt},
        {"narrow text", VT_BSTR, _variant_t("x").vt},
        {"missing", VT_ERROR, vtMissing.vt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, c.actual) << c.name;
    EXPECT_EQ(VARIANT_TRUE, _variant_t(true).boolVal);
    EXPECT_EQ(DISP_E_PARAMNOTFOUND, vtMissing.scode);
    EXPECT_EQ(L"caf\u00e9", text(_variant_t("caf\xe9")));
}

TEST(VariantValues, CopiesAreDeepAndAssignmentsKeepSpecialTypes) {
    _variant_t a(L"text");
    _variant_t b(a);
    ASSERT_NE(a.bstrVal, b.bstrVal);
    EXPECT_TRUE(a == b);
    b = 3.5;
    EXPECT_EQ(VT_R8, b.vt);
    _variant_t when(10.0, VT_DATE);
    when = 11.0;
    EXPECT_EQ(VT_DATE, when.vt);
    _variant_t flag(short(0), VT_BOOL);
    flag = short(5);
    EXPECT_EQ(VT_BOOL, flag.vt);
    EXPECT_EQ(VARIANT_TRUE, flag.boolVal);
    a.Clear();
    EXPECT_EQ(VT_EMPTY, a.vt);
    VARIANT raw = b.Detach();
    EXPECT_EQ(VT_EMPTY, b.vt);
    EXPECT_EQ(VT_R8, raw.vt);
    b.Attach(raw);
    EXPECT_EQ(VT_EMPTY, raw.vt);
    EXPECT_EQ(3.5, b.dblVal);
}

TEST(SafeArray, HoldsAPointAsAVectorOfDoubles) {
    _variant_t point;
    point.vt = VT_ARRAY | VT_R8;
    point.parray = SafeArrayCreateVector(VT_R8, 0, 3);
    ASSERT_NE(nullptr, point.parray);
    const double xyz[] = {1.5, -2.0, 3.25};
    for (LONG i = 0; i < 3; ++i) {
        double value = xyz[i];
        ASSERT_EQ(S_OK, SafeArrayPutElement(point.parray, &i, &value));
    }
    LONG lower = -1, upper = -1;
    EXPECT_EQ(S_OK, SafeArrayGetLBound(point.parray, 1, &lower));
    EXPECT_EQ(S_OK, SafeArrayGetUBound(point.parray, 1, &upper));
    EXPECT_EQ(0, lower);
    EXPECT_EQ(2, upper);
    EXPECT_EQ(1u, SafeArrayGetDim(point.parray));
    EXPECT_EQ(8u, SafeArrayGetElemsize(point.parray));
    EXPECT_EQ(8197, point.vt);

    _variant_t copy(point);  // a deep copy
    ASSERT_NE(point.parray, copy.parray);
    double* data = nullptr;
    ASSERT_EQ(S_OK, SafeArrayAccessData(copy.parray, reinterpret_cast<void**>(&data)));
    EXPECT_EQ(1.5, data[0]);
    EXPECT_EQ(-2.0, data[1]);
    EXPECT_EQ(3.25, data[2]);
    EXPECT_EQ(DISP_E_ARRAYISLOCKED, SafeArrayDestroy(copy.parray));
    EXPECT_EQ(S_OK, SafeArrayUnaccessData(copy.parray));
    EXPECT_EQ(E_UNEXPECTED, SafeArrayUnaccessData(copy.parray));

    LONG outside = 3;
    double value = 0;
    EXPECT_EQ(DISP_E_BADINDEX, SafeArrayGetElement(point.parray, &outside, &value));
    EXPECT_EQ(DISP_E_BADINDEX, SafeArrayGetLBound(point.parray, 2, &lower));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, raised([&] { (void)static_cast<double>(point); }));
}

TEST(SafeArray, OwnsStringsAndIndexesDimensionsRightMostFirst) {
    SAFEARRAYBOUND bounds[] = {{2, 1}, {3, 0}};  // [1..2][0..2]
    SAFEARRAY* grid = SafeArrayCreate(VT_BSTR, 2, bounds);
    ASSERT_NE(nullptr, grid);
    LONG lower = 0, upper = 0;
    SafeArrayGetLBound(grid, 1, &lower);
    SafeArrayGetUBound(grid, 2, &upper);
    EXPECT_EQ(1, lower);
    EXPECT_EQ(2, upper);
    LONG at[] = {2, 1};  // column 2 (right-most first), row 1
    BSTR text = SysAllocString(L"cell");
    ASSERT_EQ(S_OK, SafeArrayPutElement(grid, at, text));
    SysFreeString(text);  // the array keeps its own copy
    BSTR back = nullptr;
    ASSERT_EQ(S_OK, SafeArrayGetElement(grid, at, &back));
    EXPECT_STREQ(L"cell", back);
    SysFreeString(back);
    LONG wrong[] = {1, 0};  // row 0 is below the lower bound 1
    EXPECT_EQ(DISP_E_BADINDEX, SafeArrayPutElement(grid, wrong, nullptr));
    EXPECT_EQ(S_OK, SafeArrayDestroy(grid));
}

}  // namespace
