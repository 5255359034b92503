// Documents and the document manager: the drawings open in the host, the current one, and the
// document lock.
//
// Locks: lockDocument is counted per document (each successful request must be matched by one
// unlockDocument). While a document has a database, opening one of its objects for write (and
// registering an application) needs a lock of a writing mode (kWrite, kAutoWrite,
// kProtectedAutoWrite, kXWrite); without one the open is refused with eLockViolation, as the
// host refuses changes from the application context. Tests can switch that rule off, and can
// make the manager refuse lock requests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../db/AcDbDatabase.h"
#include "../../win32/WinTypes.h"

namespace AcAp {
enum DocLockMode {
    kNone = 0x00,
    kAutoWrite = 0x01,
    kNotLocked = 0x02,
    kWrite = 0x04,
    kProtectedAutoWrite = 0x14,
    kRead = 0x20,
    kXWrite = 0x40,
};
}  // namespace AcAp

namespace qv::host {

// A view of model space: the window shown, by its corners in world coordinates.
struct View {
    AcGePoint3d lowerLeft{0.0, 0.0, 0.0};
    AcGePoint3d upperRight{420.0, 297.0, 0.0};
    bool operator==(const View& other) const {
        return lowerLeft == other.lowerLeft && upperRight == other.upperRight;
    }
};

// The views of one document: the current one and the ones before it (for "zoom previous").
class ViewState {
  public:
    const View& current() const;
    // Makes `view` current, keeping the one before it.
    void zoomTo(const View& view);
    // Makes the drawing's extents current, keeping the view before it. They are measured by
    // `measure` when the view is first looked at, not before: a zoom to the extents that is
    // taken back before anyone looks (the module's walks over the drawing) measures nothing.
    void zoomToMeasured(std::function<View()> measure);
    // Goes back one view; false (nothing changes) when there is none.
    bool zoomPrevious();
    size_t previousCount() const { return m_previous.size(); }
    void regen() { ++m_regens; }
    int regenCount() const { return m_regens; }

  private:
    mutable View m_current;
    mutable std::function<View()> m_pending;  // measures m_current when it is looked at
    std::vector<View> m_previous;
    int m_regens = 0;
};

}  // namespace qv::host

class AcApDocument : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcApDocument)
  public:
    AcDbDatabase* database() const { return m_database.get(); }
    // The full path of the drawing, or "DrawingN.dwg" for a new one never saved.
    const ACHAR* fileName() const { return m_fileName.c_str(); }
    // The file name without its folder.
    const ACHAR* docTitle() const;
    // The strongest mode of the locks held.
    AcAp::DocLockMode lockMode(bool includeMyLocks = false) const;
    AcAp::DocLockMode myLockMode() const { return lockMode(true); }
    bool isReadOnly() const { return false; }

    int qvLockCount() const { return static_cast<int>(m_locks.size()); }
    qv::host::ViewState& qvViews() { return m_views; }
    void qvSetFileName(const std::wstring& fileName) { m_fileName = fileName; }

  private:
    friend class AcApDocManager;
    AcApDocument(std::unique_ptr<AcDbDatabase> database, std::wstring fileName);

    std::unique_ptr<AcDbDatabase> m_database;
    std::wstring m_fileName;
    mutable std::wstring m_title;
    std::vector<AcAp::DocLockMode> m_locks;
    qv::host::ViewState m_views;
};

class AcApDocumentIterator {
  public:
    bool done() const { return m_index >= m_documents.size(); }
    void step() { ++m_index; }
    AcApDocument* document() const { return done() ? nullptr : m_documents[m_index]; }

  private:
    friend class AcApDocManager;
    explicit AcApDocumentIterator(std::vector<AcApDocument*> documents)
        : m_documents(std::move(documents)) {}
    std::vector<AcApDocument*> m_documents;
    size_t m_index = 0;
};

class AcApDocManager : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcApDocManager)
  public:
    AcApDocManager();
    ~AcApDocManager() override;

    AcApDocument* curDocument() const { return m_current; }
    AcApDocument* mdiActiveDocument() const { return m_current; }
    // The document of a database, or null.
    AcApDocument* document(const AcDbDatabase* database) const;
    int documentCount() const { return static_cast<int>(m_documents.size()); }
    // The caller deletes the iterator.
    AcApDocumentIterator* newAcApDocumentIterator() const;

    // Makes a document current (and its database the working database).
    Acad::ErrorStatus setCurDocument(AcApDocument* document, AcAp::DocLockMode mode = AcAp::kNone,
                                     bool activate = false);
    Acad::ErrorStatus activateDocument(AcApDocument* document, bool passScript = false);

    // One more lock on the document: eOk, eNullObjectPointer, eInvalidInput (not a document of
    // this manager), or the status a test told the manager to refuse with.
    Acad::ErrorStatus lockDocument(AcApDocument* document, AcAp::DocLockMode mode = AcAp::kWrite,
                                   const ACHAR* globalCommandName = nullptr,
                                   const ACHAR* localCommandName = nullptr, bool prompt = true);
    // One lock less: eNotLocked when the document holds none.
    Acad::ErrorStatus unlockDocument(AcApDocument* document);

    // Opens a drawing file as a new, current document (through the installed drawing-file
    // format). A drawing that is open already is made current.
    Acad::ErrorStatus appContextOpenDocument(const ACHAR* path);
    // A new, current document with a new default drawing.
    Acad::ErrorStatus appContextNewDocument(const ACHAR* templateName = nullptr);
    // Closes the document without saving; the last other document becomes current.
    Acad::ErrorStatus closeDocument(AcApDocument* document);
    bool isApplicationContext() const { return true; }

    // The command line and the resource stack (defined with the editor, host/ed/CommandQueue.cpp).
    // Queues text for a document's command line, to run when the command now running ends (at
    // once when none runs); each line end (and the end of the text) ends a line of input. With
    // `activate` the document becomes current. eInvalidInput for a null text or a document of
    // no manager's.
    Acad::ErrorStatus sendStringToExecute(AcApDocument* document, const ACHAR* text,
                                          bool activate = true, bool wrapUpInactiveDoc = false,
                                          bool echo = true);
    // Makes a module's resources current, keeping the ones before on a stack.
    void pushResourceHandle(HINSTANCE resources);
    // Makes the host's own resources current, the same way.
    void pushAcadResourceHandle();
    // Restores the resources before the last push; nothing when nothing was pushed.
    void popResourceHandle();

    // ---- for the host program and the tests ----

    // Takes a database as a new, current document.
    AcApDocument* qvAddDocument(std::unique_ptr<AcDbDatabase> database,
                                const std::wstring& fileName = L"");
    // The next `count` lock requests (every one, for a count below 0) are refused with `status`;
    // a count of 0 ends the refusal.
    void qvRefuseLocks(int count, Acad::ErrorStatus status = Acad::eLockViolation);
    // Counts of the lock and unlock requests made, refused ones included.
    int qvLockRequests() const { return m_lockRequests; }
    int qvUnlockRequests() const { return m_unlockRequests; }
    // Whether a write needs the document lock (on by default).
    void qvSetWriteNeedsLock(bool needed) { m_writeNeedsLock = needed; }
    bool qvWriteNeedsLock() const { return m_writeNeedsLock; }
    // Closes every document and forgets refusals and counts.
    void qvReset();

  private:
    Acad::ErrorStatus writeStatus(const AcDbDatabase& database) const;

    std::vector<std::unique_ptr<AcApDocument>> m_documents;
    AcApDocument* m_current = nullptr;
    int m_refuseCount = 0;
    Acad::ErrorStatus m_refuseStatus = Acad::eLockViolation;
    int m_lockRequests = 0;
    int m_unlockRequests = 0;
    int m_newDrawings = 0;
    bool m_writeNeedsLock = true;
};

AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()
