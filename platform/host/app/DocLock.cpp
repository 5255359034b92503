#include "host/app/DocLock.h"

AcAxDocLock::AcAxDocLock() {
    lock(acDocManager->curDocument());
}

AcAxDocLock::AcAxDocLock(const AcDbObjectId& objectId, DocLockType) {
    lock(objectId.isNull() ? nullptr : acDocManager->document(objectId.database()));
}

AcAxDocLock::AcAxDocLock(AcDbDatabase* database, DocLockType) {
    lock(database == nullptr ? nullptr : acDocManager->document(database));
}

void AcAxDocLock::lock(AcApDocument* document) {
    if (document == nullptr) {
        m_status = Acad::eNoDocument;
        return;
    }
    m_status = acDocManager->lockDocument(document, AcAp::kWrite);
    if (m_status == Acad::eOk) {
        m_document = document;
    }
}

AcAxDocLock::~AcAxDocLock() {
    if (m_document != nullptr) {
        acDocManager->unlockDocument(m_document);
    }
}
