#include "host/app/Documents.h"

#include <algorithm>

#include "host/db/HostFaults.h"
#include "host/db/HostServices.h"
#include "host/db/SymbolTables.h"

QV_RX_DEFINE_MEMBERS(AcApDocument, AcRxObject, L"")
QV_RX_DEFINE_MEMBERS(AcApDocManager, AcRxObject, L"")

namespace qv::host {

const View& ViewState::current() const {
    if (m_pending) {
        m_current = m_pending();
        m_pending = nullptr;
    }
    return m_current;
}

void ViewState::zoomTo(const View& view) {
    m_previous.push_back(current());
    m_current = view;
}

void ViewState::zoomToMeasured(std::function<View()> measure) {
    m_previous.push_back(current());
    m_pending = std::move(measure);
}

bool ViewState::zoomPrevious() {
    if (m_previous.empty()) {
        return false;
    }
    m_pending = nullptr;
    m_current = m_previous.back();
    m_previous.pop_back();
    return true;
}

}  // namespace qv::host

AcApDocument::AcApDocument(std::unique_ptr<AcDbDatabase> database, std::wstring fileName)
    : m_database(std::move(database)), m_fileName(std::move(fileName)) {}

const ACHAR* AcApDocument::docTitle() const {
    const size_t cut = m_fileName.find_last_of(L"\\/");
    m_title = cut == std::wstring::npos ? m_fileName : m_fileName.substr(cut + 1);
    return m_title.c_str();
}

namespace {

bool isWriteMode(AcAp::DocLockMode mode) {
    return mode == AcAp::kWrite || mode == AcAp::kAutoWrite || mode == AcAp::kProtectedAutoWrite ||
           mode == AcAp::kXWrite;
}

}  // namespace

AcAp::DocLockMode AcApDocument::lockMode(bool) const {
    AcAp::DocLockMode strongest = AcAp::kNotLocked;
    for (AcAp::DocLockMode mode : m_locks) {
        if (isWriteMode(mode) || strongest == AcAp::kNotLocked) {
            strongest = mode;
        }
    }
    return strongest;
}

// ---- the manager ----

AcApDocManager::AcApDocManager() {
    qv::host::setWriteGuard([this](const AcDbDatabase& database) { return writeStatus(database); });
}

AcApDocManager::~AcApDocManager() {
    qv::host::setWriteGuard({});
}

Acad::ErrorStatus AcApDocManager::writeStatus(const AcDbDatabase& database) const {
    const AcApDocument* doc = document(&database);
    if (!m_writeNeedsLock || doc == nullptr) {
        return Acad::eOk;
    }
    return std::any_of(doc->m_locks.begin(), doc->m_locks.end(), isWriteMode)
               ? Acad::eOk
               : Acad::eLockViolation;
}

AcApDocument* AcApDocManager::document(const AcDbDatabase* database) const {
    for (const auto& doc : m_documents) {
        if (doc->database() == database) {
            return doc.get();
        }
    }
    return nullptr;
}

AcApDocumentIterator* AcApDocManager::newAcApDocumentIterator() const {
    std::vector<AcApDocument*> documents;
    for (const auto& doc : m_documents) {
        documents.push_back(doc.get());
    }
    return new AcApDocumentIterator(std::move(documents));
}

Acad::ErrorStatus AcApDocManager::setCurDocument(AcApDocument* doc, AcAp::DocLockMode mode, bool) {
    if (doc == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (std::none_of(m_documents.begin(), m_documents.end(),
                     [&](const auto& d) { return d.get() == doc; })) {
        return Acad::eInvalidInput;
    }
    m_current = doc;
    acdbHostApplicationServices()->setWorkingDatabase(doc->database());
    if (mode != AcAp::kNone) {
        return lockDocument(doc, mode);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::activateDocument(AcApDocument* doc, bool) {
    return setCurDocument(doc);
}

Acad::ErrorStatus AcApDocManager::lockDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                               const ACHAR*, const ACHAR*, bool) {
    ++m_lockRequests;
    if (doc == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (document(doc->database()) != doc) {
        return Acad::eInvalidInput;
    }
    if (const Acad::ErrorStatus fault = qv::host::hostFaultFor(qv::host::HostCall::kLock);
        fault != Acad::eOk) {
        return fault;
    }
    if (m_refuseCount != 0) {
        if (m_refuseCount > 0) {
            --m_refuseCount;
        }
        return m_refuseStatus;
    }
    doc->m_locks.push_back(mode == AcAp::kNone ? AcAp::kWrite : mode);
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::unlockDocument(AcApDocument* doc) {
    ++m_unlockRequests;
    if (doc == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (doc->m_locks.empty()) {
        return Acad::eNotLocked;
    }
    doc->m_locks.pop_back();
    return Acad::eOk;
}

AcApDocument* AcApDocManager::qvAddDocument(std::unique_ptr<AcDbDatabase> database,
                                            const std::wstring& fileName) {
    std::wstring name = fileName;
    if (name.empty()) {
        name = L"Drawing" + std::to_wstring(++m_newDrawings) + L".dwg";
    }
    m_documents.push_back(
        std::unique_ptr<AcApDocument>(new AcApDocument(std::move(database), name)));
    AcApDocument* doc = m_documents.back().get();
    setCurDocument(doc);
    return doc;
}

Acad::ErrorStatus AcApDocManager::appContextOpenDocument(const ACHAR* path) {
    if (path == nullptr || path[0] == 0) {
        return Acad::eInvalidInput;
    }
    for (const auto& doc : m_documents) {
        if (qv::host::foldName(doc->fileName()) == qv::host::foldName(path)) {
            return setCurDocument(doc.get());
        }
    }
    auto database = std::make_unique<AcDbDatabase>(false, true);
    const Acad::ErrorStatus es = database->readDwgFile(path);
    if (es != Acad::eOk) {
        return es;
    }
    qvAddDocument(std::move(database), path);
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::appContextNewDocument(const ACHAR*) {
    qvAddDocument(std::make_unique<AcDbDatabase>());
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::closeDocument(AcApDocument* doc) {
    const auto found = std::find_if(m_documents.begin(), m_documents.end(),
                                    [&](const auto& d) { return d.get() == doc; });
    if (doc == nullptr || found == m_documents.end()) {
        return Acad::eInvalidInput;
    }
    AcDbDatabase* db = doc->database();
    if (acdbHostApplicationServices()->workingDatabase() == db) {
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }
    const bool wasCurrent = m_current == doc;
    m_documents.erase(found);
    if (wasCurrent) {
        m_current = nullptr;
        if (!m_documents.empty()) {
            setCurDocument(m_documents.back().get());
        }
    }
    return Acad::eOk;
}

void AcApDocManager::qvRefuseLocks(int count, Acad::ErrorStatus status) {
    m_refuseCount = count;
    m_refuseStatus = status;
}

void AcApDocManager::qvReset() {
    while (!m_documents.empty()) {
        closeDocument(m_documents.back().get());
    }
    m_refuseCount = 0;
    m_lockRequests = 0;
    m_unlockRequests = 0;
    m_newDrawings = 0;
    m_writeNeedsLock = true;
}

AcApDocManager* acDocManagerPtr() {
    static AcApDocManager manager;
    return &manager;
}
