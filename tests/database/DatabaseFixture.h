// The vocabulary of the database tests: a fixture on the test database with a manual clock (so
// the dates in XML forms are known), procedures connected to the test catalogue, parameters
// built in one line, and the XML forms read back as lists of leaves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/ErrorCapture.h"
#include "database/ParameterBoolean.h"
#include "database/ParameterDateTime.h"
#include "database/ParameterDecimal.h"
#include "database/ParameterFloat.h"
#include "database/ParameterInt.h"
#include "database/ParameterText.h"
#include "database/ParameterTinyInt.h"
#include "database/Parameters.h"
#include "database/StoredProcedure.h"
#include "support/TestDatabase.h"
#include "win32/Clock.h"
#include "win32/CodePage.h"

namespace qv::test {

// 24 November 2014, 13:45:30, the time every XML form of the tests carries.
inline constexpr qv::LocalTime kTestTime{2014, 11, 24, 13, 45, 30, 0};

class ModuleDatabaseTest : public DatabaseTest {
  protected:
    ModuleDatabaseTest() { qv::setClock(&clock); }
    ~ModuleDatabaseTest() override { qv::setClock(nullptr); }

    CString server() const { return db().server.c_str(); }
    CString catalog() const { return db().catalog.c_str(); }
    CString user() const { return db().user.c_str(); }
    CString password() const { return db().password.c_str(); }

    // A procedure of that name on a new connection to the test catalogue.
    std::unique_ptr<CStoredProcedure> procedure(LPCTSTR name, int timeout = 30) const {
        auto p =
            std::make_unique<CStoredProcedure>(server(), catalog(), user(), password(), timeout);
        p->setName(name);
        return p;
    }

    qv::ManualClock clock{kTestTime};
};

// A parameter of a kind with its name, direction and value.
template <class Kind, class Value>
Kind* parameter(LPCTSTR name, int direction, Value value) {
    auto* p = new Kind;
    p->setName(name);
    p->setDirection(direction);
    p->setValue(value);
    return p;
}

// The same for the decimal kind, with the precision and scale every caller gives it.
inline CParameterDecimal* decimal(LPCTSTR name, int direction, double value) {
    auto* p = parameter<CParameterDecimal>(name, direction, value);
    p->setPrecision(18);
    p->setNumericScale(10);
    return p;
}

// A text kind with its size.
template <class Kind>
Kind* text(LPCTSTR name, int direction, int size, LPCTSTR value) {
    auto* p = new Kind;
    p->setName(name);
    p->setDirection(direction);
    p->setSize(size);
    p->setValue(_bstr_t(value));
    return p;
}

// UTF-8, for messages and comparisons.
inline std::string narrow(const CString& text) {
    return qv::wideToUtf8(text.GetString());
}
inline std::string narrow(const _bstr_t& text) {
    return narrow(CString(static_cast<const wchar_t*>(text)));
}

// "path=text" for every element without element children below `node` (the node's own name
// first), in document order: "storedProcedure/name=__test_echo".
std::vector<std::string> leaves(MSXML2::IXMLDOMNodePtr node);
// The namespace URI of every element below `node` (itself included), in document order.
std::vector<std::string> namespaces(MSXML2::IXMLDOMNodePtr node);

}  // namespace qv::test
