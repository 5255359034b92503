// AcAxDocLock: a document lock held for a scope, as the host's automation code takes it. It
// locks the current document for write (or the document of a database or of an object's
// database) when it is made and gives that lock back when it goes; lockStatus() says whether
// the lock was granted (eOk) or why not (eNoDocument when there is no such document, or the
// document manager's refusal). A lock that was not granted is not given back.
#pragma once

#include "Documents.h"
#include "../db/AcDbObjectId.h"

class AcAxDocLock {
  public:
    enum DocLockType { kNormal = 0, kCurDocSwitch = 1 };

    AcAxDocLock();
    explicit AcAxDocLock(const AcDbObjectId& objectId, DocLockType type = kNormal);
    explicit AcAxDocLock(AcDbDatabase* database, DocLockType type = kNormal);
    ~AcAxDocLock();
    AcAxDocLock(const AcAxDocLock&) = delete;
    AcAxDocLock& operator=(const AcAxDocLock&) = delete;

    Acad::ErrorStatus lockStatus() const { return m_status; }
    AcApDocument* document() const { return m_document; }

  private:
    void lock(AcApDocument* document);

    AcApDocument* m_document = nullptr;
    Acad::ErrorStatus m_status = Acad::eNoDocument;
};
