#include "drawing/AcadDrawing.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/PreferencesDocMon.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"

static const LPCTSTR SOURCE_FILE = _T("AcadDrawing.cpp");

namespace {

// The result of unlock when the host was not asked.
constexpr int NOT_ASKED = Acad::eLockViolation;

// A host status as the error object that reports it, naming the line of the failing call.
CEXUnhandled* hostStatusError(Acad::ErrorStatus status, LPCTSTR procSig, long line,
                              const CString& drawingName = CString()) {
    return new CEXUnhandled(status, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, procSig, line,
                            drawingName, nullptr);
}

// The host's documents now.
std::vector<AcApDocument*> hostDocuments() {
    std::vector<AcApDocument*> result;
    std::unique_ptr<AcApDocumentIterator> documents(acDocManager->newAcApDocumentIterator());
    for (; !documents->done(); documents->step())
        result.push_back(documents->document());
    return result;
}

// Dispatch ids of the host's automation object.
constexpr DISPID DISPID_APPLICATION_VISIBLE = 1;
constexpr DISPID DISPID_APPLICATION_ACTIVE_DOCUMENT = 5;
constexpr DISPID DISPID_APPLICATION_ZOOM_EXTENTS = 36;
constexpr DISPID DISPID_APPLICATION_ZOOM_WINDOW = 40;
constexpr DISPID DISPID_APPLICATION_ZOOM_PREVIOUS = 43;
constexpr DISPID DISPID_DOCUMENT_REGEN = 54;
constexpr LONG REGEN_ALL_VIEWPORTS = 1;

// The host's application object, made visible.
void attachApplication(COleDispatchDriver& application) {
    application.AttachDispatch(AcadGetIDispatch(TRUE), TRUE);
    application.SetProperty(DISPID_APPLICATION_VISIBLE, VT_BOOL, TRUE);
}

// Calls a method of the application that takes no arguments.
void callApplication(DISPID method) {
    COleDispatchDriver application;
    attachApplication(application);
    application.InvokeHelper(method, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

// Owns a VARIANT for a call and clears it afterwards.
struct OwnedVariant {
    VARIANT value;
    OwnedVariant() { VariantInit(&value); }
    ~OwnedVariant() { VariantClear(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
};

void packPoint(OwnedVariant& out, const AcGePoint3d& point) {
    const HRESULT hr = CAcadUtilities::pointToVariant(&out.value, point.x, point.y, point.z);
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

// The temporary name of a target file: its file-name part with ".dwg" swapped for ".vrk".
CString temporaryName(const CString& fileName) {
    const CString name = fileName.Mid(fileName.ReverseFind(L'\\') + 1);
    return CFileUtilities::swapFileExtension(name, L".dwg", L".vrk");
}

}  // namespace

CAcadDrawing::CAcadDrawing() {
    initialise();
}

CAcadDrawing::CAcadDrawing(CString folder, CString fileName) {
    initialise();
    try {
        CFileUtilities::checkPathSyntax(folder);
        m_folder = folder;
        m_fileName = fileName;
        openDrawing();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::CAcadDrawing"));
    }
}

CAcadDrawing::~CAcadDrawing() {
    try {
        close();
    } catch (CEXOrvan* e) {
        e->printErrorChain();
        e->deleteChain();
    } catch (...) {
        // Nothing may leave a destructor; close() wraps every failure, so this is not reached.
    }
}

void CAcadDrawing::initialise() {
    m_locked = 0;
    m_lockCount = 0;
    m_isOpen = 0;
    m_folder.Empty();
    m_fileName.Empty();
    m_isCurrentDocument = 0;
    m_saveOnClose = 0;
    m_wasOpenAlready = false;
}

void CAcadDrawing::close() {
    try {
        if (m_isOpen) {
            if (m_locked) {
                unlock(1);
            } else if (!m_isCurrentDocument && !m_wasOpenAlready) {
                CString savedCopy;
                if (m_saveOnClose)
                    savedCopy = saveAsTemp();
                if (closeDrawing() != 0 && !savedCopy.IsEmpty()) {
                    const CString target = m_folder + m_fileName;
                    if (!CopyFileW(savedCopy, target, FALSE)) {
                        throw new CEXCustom(L"unable to copy drawing from temp location - " +
                                                getSystemErrorMessage(GetLastError()),
                                            ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                            _T("CAcadDrawing::close"), 0, nullptr);
                    }
                }
            }
        }
        m_tempFiles.deleteTempFiles();
    } catch (Acad::ErrorStatus status) {
        throw hostStatusError(status, _T("CAcadDrawing::close"), 161);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::close"));
    }
}

int CAcadDrawing::lock() {
    try {
        if (m_locked) {
            ++m_lockCount;
            return Acad::eOk;
        }
        const Acad::ErrorStatus status =
            acDocManager->lockDocument(m_document, AcAp::kWrite, nullptr, nullptr, true);
        if (status == Acad::eOk) {
            m_lockCount = 1;
            m_locked = 1;
        }
        return status;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::lock"));
    }
}

int CAcadDrawing::unlock(int force) {
    try {
        int result = NOT_ASKED;
        if (force) {
            result = acDocManager->unlockDocument(m_document);
            if (result == Acad::eOk)
                m_locked = 0;
        } else if (--m_lockCount == 0) {
            result = acDocManager->unlockDocument(m_document);
            if (result == Acad::eOk)
                m_locked = 0;
        }
        return result;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::unlock"));
    }
}

AcDbDatabase* CAcadDrawing::database() const {
    if (m_document == nullptr || m_document->database() == nullptr)
        AfxThrowInvalidArgException();
    return m_document->database();
}

int CAcadDrawing::postToDrawing(AcDbObjectId& id, AcDbEntity* entity) {
    // The entity until model space has taken it; deleted when the post fails.
    AcDbEntity* pending = entity;
    try {
        if (entity == nullptr)
            AfxThrowInvalidArgException();
        AcDbDatabase* db = database();
        const CDrawingLock lock(this);
        if (!lock.held())
            return lock.status();

        AcDbSymbolTablePointer<AcDbBlockTable> blocks(db, AcDb::kForRead);
        if (blocks.openStatus() != Acad::eOk)
            throw hostStatusError(blocks.openStatus(), _T("CAcadDrawing::postToDrawing"), 373);
        AcDbSymbolTableRecordPointer<AcDbBlockTableRecord> modelSpace(
            L"*Model_Space", blocks.object(), AcDb::kForWrite);
        if (modelSpace.openStatus() != Acad::eOk)
            throw hostStatusError(modelSpace.openStatus(), _T("CAcadDrawing::postToDrawing"), 382);
        const Acad::ErrorStatus status = modelSpace->appendAcDbEntity(id, entity);
        if (status != Acad::eOk)
            throw hostStatusError(status, _T("CAcadDrawing::postToDrawing"), 391);
        pending = nullptr;
        entity->close();
        return Acad::eOk;
    } catch (...) {
        CEXUnhandled* error = wrapCaughtError(SOURCE_FILE, _T("CAcadDrawing::postToDrawing"));
        // An entity of a database belongs to it (and stays open for its caller); only one that
        // model space did not take is deleted.
        if (pending != nullptr && pending->objectId().isNull())
            delete pending;
        throw error;
    }
}

void CAcadDrawing::openDrawing() {
    const CString path = m_folder + m_fileName;
    try {
        const std::vector<AcApDocument*> before = hostDocuments();
        const Acad::ErrorStatus status = acDocManager->appContextOpenDocument(path);
        if (status != Acad::eOk)
            throw hostStatusError(status, _T("CAcadDrawing::openDrawing"), 561);
        m_document = acDocManager->curDocument();
        m_wasOpenAlready = std::find(before.begin(), before.end(), m_document) != before.end();
        m_isOpen = 1;
    } catch (Acad::ErrorStatus status) {
        throw hostStatusError(status, _T("CAcadDrawing::openDrawing"), 566, path);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::openDrawing"));
    }
}

int CAcadDrawing::closeDrawing() {
    try {
        if (m_document != nullptr) {
            const Acad::ErrorStatus status = acDocManager->closeDocument(m_document);
            if (status != Acad::eOk)
                throw hostStatusError(status, _T("CAcadDrawing::closeDrawing"), __LINE__);
            m_document = nullptr;
            m_isOpen = 0;
        }
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::closeDrawing"));
    }
}

CString CAcadDrawing::getTempFolder() {
    try {
        CString folder;
        if (docMonPreferences.getCount() > 0 && docMonPreferences.getAt(0) != nullptr)
            folder = docMonPreferences.getAt(0)->getAcadTempDirectory();
        if (folder.IsEmpty())
            folder = L"c:\\";
        CFileUtilities::checkPathSyntax(folder);
        return folder;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::getTempFolder"));
    }
}

void CAcadDrawing::saveAs(CString folder, CString fileName) {
    try {
        if (!m_isOpen) {
            throw new CEXCustom(L"unable to save drawing - the drawing is not open",
                                ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, _T("CAcadDrawing::saveAs"),
                                0, nullptr);
        }
        const CString tempFolder = getTempFolder();
        CFileUtilities::ensureDirectoryExists(tempFolder);
        const CString tempName = temporaryName(fileName);
        const CString tempPath = tempFolder + tempName;
        if (database()->saveAs(tempPath, nullptr) != Acad::eOk) {
            throw new CEXCustom(L"unable to save drawing to temp location " + tempFolder + tempName,
                                ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, _T("CAcadDrawing::saveAs"),
                                0, nullptr);
        }
        m_tempFiles.add(tempPath);
        if (!CopyFileW(tempPath, folder + fileName, FALSE)) {
            throw new CEXCustom(L"unable to copy drawing from temp location - " +
                                    getSystemErrorMessage(GetLastError()),
                                ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, _T("CAcadDrawing::saveAs"),
                                0, nullptr);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::saveAs"));
    }
}

CString CAcadDrawing::saveAsTemp() {
    try {
        const CString path = getTempFolder() + CTime::GetCurrentTime().Format(L"%Y%m%d%Hh%M%S_") +
                             CFileUtilities::swapFileExtension(m_fileName, L".dwg", L".vrk");
        if (m_isOpen) {
            const Acad::ErrorStatus status = database()->saveAs(path, nullptr);
            if (status != Acad::eOk)
                throw hostStatusError(status, _T("CAcadDrawing::saveAsTemp"), 786, path);
        }
        m_tempFiles.add(path);
        return path;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::saveAsTemp"));
    }
}

void CAcadDrawing::zoomExtents() {
    try {
        callApplication(DISPID_APPLICATION_ZOOM_EXTENTS);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::zoomExtents"));
    }
}

void CAcadDrawing::zoomPrevious() {
    try {
        callApplication(DISPID_APPLICATION_ZOOM_PREVIOUS);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::zoomPrevious"));
    }
}

void CAcadDrawing::zoomWindow(const AcGePoint3d& firstCorner, const AcGePoint3d& secondCorner) {
    try {
        OwnedVariant first, second;
        packPoint(first, firstCorner);
        packPoint(second, secondCorner);
        COleDispatchDriver application;
        attachApplication(application);
        static const BYTE parameters[] = VTS_VARIANT VTS_VARIANT;
        application.InvokeHelper(DISPID_APPLICATION_ZOOM_WINDOW, DISPATCH_METHOD, VT_EMPTY, nullptr,
                                 parameters, &first.value, &second.value);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::zoomWindow"));
    }
}

int CAcadDrawing::regenDrawing() {
    try {
        COleDispatchDriver application;
        attachApplication(application);
        LPDISPATCH activeDocument = nullptr;
        application.InvokeHelper(DISPID_APPLICATION_ACTIVE_DOCUMENT, DISPATCH_PROPERTYGET,
                                 VT_DISPATCH, &activeDocument, nullptr);
        COleDispatchDriver document(activeDocument, TRUE);
        static const BYTE parameters[] = VTS_I4;
        document.InvokeHelper(DISPID_DOCUMENT_REGEN, DISPATCH_METHOD, VT_EMPTY, nullptr, parameters,
                              REGEN_ALL_VIEWPORTS);
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::regenDrawing"));
    }
}

void CAcadDrawing::setFullPath(CString path) {
    try {
        if (path.IsEmpty())
            return;
        const int lastBackslash = path.ReverseFind(L'\\');
        if (lastBackslash < 0) {
            m_fileName = path;
            return;
        }
        m_folder = path.Left(lastBackslash + 1);
        m_fileName = path.Mid(lastBackslash + 1);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::setFullPath"));
    }
}

CString CAcadDrawing::getSystemErrorMessage(DWORD code) {
    try {
        LPWSTR buffer = nullptr;
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                           code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
        if (length == 0 || buffer == nullptr)
            return L"Unknown system error " + CUtilities::LongToCString(static_cast<LONG>(code));
        CString message(buffer);
        LocalFree(buffer);
        const int lineEnd = message.Find(L'\r');
        return lineEnd >= 0 ? message.Left(lineEnd) : message;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadDrawing::getSystemErrorMessage"));
    }
}
