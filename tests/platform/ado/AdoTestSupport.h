// A small vocabulary for the ADO tests: open a connection to the test database, build a
// procedure call, and read values and raised errors as texts.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "msado15.h"
#include "support/TestDatabase.h"

namespace qv::test {

// The type and value of a variant as one text: "I4:-7", "BSTR:abc", "NULL", "BOOL:true",
// "DECIMAL:1.25", "DATE:2014-11-24 10:20:30.123".
std::string describe(const _variant_t& value);

// A variant of an exact type.
_variant_t variantOf(VARTYPE vt, const wchar_t* text);

struct Raised {
    HRESULT hr = S_OK;
    std::string description;
    std::string source;
};

// The _com_error that `call` raises, or nothing.
template <class F>
std::optional<Raised> raisedBy(F&& call);

std::string narrow(const _bstr_t& text);

// A call that must raise one of ADO's own errors from `source`.
struct AdoErrorCase {
    const char* what;
    std::function<void()> call;
    ErrorValueEnum error;
    const char* source;
};
// Runs each call in order and checks what it raised.
void expectAdoErrors(const std::vector<AdoErrorCase>& cases);

class AdoTest : public DatabaseTest {
  protected:
    // A new connection, opened by ProgID with the test login.
    _ConnectionPtr open();
    _ConnectionPtr open(const std::wstring& connectionString);
    // A stored-procedure command on `connection`.
    _CommandPtr procedure(const _ConnectionPtr& connection, const wchar_t* name, long timeout = 30);
    // Appends a parameter.
    static void add(const _CommandPtr& command, const wchar_t* name, DataTypeEnum type,
                    ParameterDirectionEnum direction, long size, const _variant_t& value,
                    unsigned char precision = 0, unsigned char scale = 0);
};

template <class F>
std::optional<Raised> raisedBy(F&& call) {
    try {
        call();
    } catch (const _com_error& e) {
        return Raised{e.Error(), narrow(e.Description()), narrow(e.Source())};
    }
    return std::nullopt;
}

}  // namespace qv::test
