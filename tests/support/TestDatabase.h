// The test database that scripts/testdb starts (scripts/test starts it for every run): a
// PostgreSQL server reached through psqlODBC, holding tests/fixtures/database in a template
// catalogue. Database tests derive from DatabaseTest, which gives each test a fresh copy of the
// template of its own, so tests running at the same time (ctest -j) or one after the other never
// see each other's rows. Without the server's description in the environment they fail with a
// message that says how to start it. They never skip.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace qv::test {

struct TestDatabase {
    std::wstring server;   // "127.0.0.1,<port>", the data source
    std::wstring catalog;  // the test's own copy of the fixture (DatabaseTest), or "docMon"
    std::wstring sharedCatalog;    // "docMon", one copy of the fixture that every test shares
    std::wstring templateCatalog;  // the fixture as loaded, which no one connects to
    std::wstring user;
    std::wstring password;
    std::wstring oddUser;  // a login whose password holds ; " ' { } and =
    std::wstring oddPassword;

    // The description the environment gives (QV_TEST_DB_*), or null when it gives none.
    static const TestDatabase* fromEnvironment();

    // "Provider=SQLOLEDB;Data Source=...;Initial Catalog=...;User Id=...;Password=...;" with
    // every value quoted as the connection-string rules need.
    std::wstring connectionString() const { return connectionString(user, password); }
    std::wstring connectionString(std::wstring_view user, std::wstring_view password) const;
};

// A value for an OLE DB connection string: as it is, or in double quotes (with quotes doubled)
// when it holds ";", a quote or blanks at either end.
std::wstring connectionStringValue(std::wstring_view value);

// A fresh copy of the fixture for one test, in a catalogue no other process uses while this one
// lives. make() copies the template (COM must be initialised); drop() (or the destructor) drops
// it again. For fixtures that cannot derive from DatabaseTest.
class DatabaseCopy {
  public:
    DatabaseCopy() = default;
    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;
    ~DatabaseCopy() { drop(); }

    // "" when the copy was made, else why not (no description in the environment, a server
    // error).
    std::string make();
    // Drops the copy when there is one; a failure is a test failure.
    void drop();

    // The description with catalog naming the copy.
    const TestDatabase& db() const { return m_db; }

  private:
    TestDatabase m_db;
    bool m_made = false;
};

// Initialises COM for the test, finds the test database and copies the fixture into a catalogue
// of the test's own, which db().catalog names and TearDown drops again. A missing description or
// a copy that cannot be made fails the test in SetUp.
//
// Code that names its catalogue itself reaches the shared "docMon" (db().sharedCatalog) instead:
// a test that writes there must keep to rows no other test reads or writes.
class DatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const TestDatabase& db() const { return m_copy.db(); }

  private:
    DatabaseCopy m_copy;
    bool m_comInitialised = false;
};

}  // namespace qv::test
