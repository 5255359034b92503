#include <gtest/gtest.h>

#include <thread>

#include "comdef.h"

namespace {

struct ITestThing : IUnknown {
    static constexpr IID qvIid = {
        0x5b0e8c51, 0x7c0f, 0x4a5e, {0x9d, 0x1b, 0x60, 0x2e, 0x11, 0x3a, 0x4c, 0x77}};
    using qvBase = IUnknown;
    virtual int value() = 0;
};
_COM_SMARTPTR_TYPEDEF(ITestThing, __uuidof(ITestThing));

class Thing : public qv::com::Object<ITestThing> {
  public:
    explicit Thing(int* alive) : m_alive(alive) { ++*m_alive; }
    ~Thing() override { --*m_alive; }
    int value() override { return 7; }

  private:
    int* m_alive;
};

TEST(ComPtr, RaisesInvalidPointerWhenNull) {
    ITestThingPtr none;
    HRESULT hr = S_OK;
    try {
        none->value();
    } catch (const _com_error& e) {
        hr = e.Error();
        EXPECT_STREQ(L"Invalid pointer", e.ErrorMessage());
        EXPECT_EQ(_bstr_t(), e.Description());
        EXPECT_EQ(_bstr_t(), e.Source());
        EXPECT_EQ(nullptr, e.ErrorInfo());
    }
    EXPECT_EQ(E_POINTER, hr);
    EXPECT_THROW(*none, _com_error);
    EXPECT_THROW(none.Release(), _com_error);
    EXPECT_TRUE(!none);
    EXPECT_TRUE(none == nullptr);
}

TEST(ComPtr, CountsReferencesAndQueriesInterfaces) {
    int alive = 0;
    {
        ITestThingPtr first(new Thing(&alive));
        EXPECT_EQ(1, alive);
        ITestThingPtr second = first;
        EXPECT_EQ(7, second->value());
        IUnknownPtr unknown = first;  // query for IUnknown
        ASSERT_TRUE(unknown);
        ITestThingPtr again = unknown;  // and back
        EXPECT_TRUE(again == first);
        IErrorInfoPtr unrelated = unknown;  // the object lacks it: null, no error
        EXPECT_TRUE(unrelated == nullptr);
        first = nullptr;
        second = nullptr;
        EXPECT_EQ(1, alive) << "the other pointers still hold it";
        ITestThing* raw = again.Detach();
        EXPECT_EQ(1, alive);
        again.Attach(raw);  // takes the reference back without a new one
    }
    EXPECT_EQ(0, alive);
}

TEST(ComError, MessagesAreTheSystemTexts) {
    struct Case {
        HRESULT hr;
        const wchar_t* message;
    };
    const Case cases[] = {
        {E_POINTER, L"Invalid pointer"},
        {DISP_E_OVERFLOW, L"Out of present range."},
        {HRESULT_FROM_WIN32(3), L"The system cannot find the path specified."},
        {_com_error::WCodeToHRESULT(12), L"IDispatch error #12"},
        {static_cast<HRESULT>(0x80AB0001), L"Unknown error 0x80AB0001"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.message, _com_error(c.hr).ErrorMessage()) << std::hex << c.hr;
    EXPECT_EQ(12, _com_error(_com_error::WCodeToHRESULT(12)).WCode());
    EXPECT_EQ(0, _com_error(E_FAIL).WCode());
}

TEST(ComError, CarriesErrorInformation) {
    try {
        qv::com::raiseError(E_FAIL, L"The record could not be read.", L"Provider");
        FAIL() << "raiseError returned";
    } catch (const _com_error& e) {
        EXPECT_EQ(E_FAIL, e.Error());
        EXPECT_EQ(_bstr_t(L"The record could not be read."), e.Description());
        EXPECT_EQ(_bstr_t(L"Provider"), e.Source());
        const _com_error copy = e;
        EXPECT_EQ(_bstr_t(L"Provider"), copy.Source());
    }
}

TEST(ErrorInfo, BelongsToOneThreadAndIsTakenOnce) {
    EXPECT_EQ(E_FAIL, qv::com::reportError(E_FAIL, L"left here", L"Test"));
    std::thread([] {
        IErrorInfo* other = nullptr;
        EXPECT_EQ(S_FALSE, GetErrorInfo(0, &other));
        EXPECT_EQ(nullptr, other);
    }).join();
    IErrorInfo* info = nullptr;
    ASSERT_EQ(S_OK, GetErrorInfo(0, &info));
    const _com_error withInfo(E_FAIL, info);  // takes the reference
    EXPECT_EQ(_bstr_t(L"left here"), withInfo.Description());
    EXPECT_EQ(S_FALSE, GetErrorInfo(0, &info));
}

}  // namespace
