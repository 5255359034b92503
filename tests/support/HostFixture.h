// Fixtures for tests that work on drawings: a fresh host with one current document, and the check
// that a test left no object open and no document lock held.
#pragma once

#include <string>

#include "arxHeaders.h"
#include "host/app/Documents.h"
#include "support/TestEnvironment.h"

namespace qv::test {

// What the host holds that a finished operation must have given back: every object left open
// (class, handle and how it is open) and every document lock held, one per line; empty when
// nothing is left.
std::string hostLeftovers();

// Closes every document and puts the host back as a new process has it.
void resetHost();

// A new default drawing as the current document. After each test, hostLeftovers() must be empty;
// then the host is reset.
class DrawingTest : public PlatformTest {
  protected:
    DrawingTest();
    ~DrawingTest() override;
    void TearDown() override;

    AcApDocument* document() const { return m_document; }
    // Resets the host and starts again on a new default drawing (for table-driven cases that
    // each need a drawing of their own).
    void renewDocument();
    AcDbDatabase* db() const { return m_document->database(); }

    // Holds one write lock on the current document while it lives.
    class WriteLock {
      public:
        explicit WriteLock(AcApDocument* document);
        ~WriteLock();
        WriteLock(const WriteLock&) = delete;
        WriteLock& operator=(const WriteLock&) = delete;

      private:
        AcApDocument* m_document;
    };

    // Appends an entity to model space (under its own lock) and closes it; returns its id.
    AcDbObjectId addToModelSpace(AcDbEntity* entity);
    // Adds a layer of that name, closed; returns its id.
    AcDbObjectId addLayer(const ACHAR* name);

  private:
    AcApDocument* m_document;
};

}  // namespace qv::test
