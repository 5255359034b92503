#include "core/OrvanExceptions.h"

#include <vector>

#include "core/CommandFailure.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("OrvanExceptions.cpp");

// CEXOrvan

CEXOrvan::CEXOrvan(CString source, CString file, CString procSig, int code,
                   CEXOrvan* innerException)
    : m_source(source),
      m_class(trimSourceFile(file)),
      m_procSig(procSig),
      m_code(code),
      m_innerException(innerException) {}

CEXOrvan::~CEXOrvan() = default;

CString CEXOrvan::trimSourceFile(CString file) {
    CString name = file.Mid(file.ReverseFind(L'\\') + 1);
    const CString extension = L".cpp";
    if (name.GetLength() >= extension.GetLength() &&
        name.Right(extension.GetLength()) == extension) {
        name = name.Left(name.GetLength() - extension.GetLength());
    }
    return name;
}

CString CEXOrvan::getSeverityText() const {
    switch (m_severity) {
        case 0:
            return L"low";
        case 1:
            return L"medium";
        default:
            return L"high";
    }
}

namespace {

// The walk shared by the dialog and the command line: one line per level, indented by depth,
// the innermost followed by a blank line and its description.
template <class Line>
CString chainText(const CEXOrvan* error, Line line) {
    CString text;
    CString indent;
    for (const CEXOrvan* level = error; level; level = level->getInnerException()) {
        text += indent + line(level);
        if (level->getInnerException()) {
            text += L"\n";
        } else {
            text += L"\n\n" + level->getDescription();
        }
        indent += L'\t';
    }
    return text;
}

}  // namespace

CString CEXOrvan::getErrorDialogText() const {
    return chainText(this,
                     [](const CEXOrvan* e) { return e->getClass() + L"::" + e->getProcSig(); });
}

CString CEXOrvan::getErrorChainText() const {
    return chainText(this, [](const CEXOrvan* e) { return e->getProcSig(); });
}

void CEXOrvan::showErrorDialog() const {
    MessageBoxW(NULL, getErrorDialogText(), L"Error Detected.", MB_ICONERROR | MB_OK);
    markCommandFailed();
}

void CEXOrvan::printErrorChain() const {
    printCommandFailure(L"%s\n", getErrorChainText());
}

MSXML2::IXMLDOMNodePtr CEXOrvan::toXML() const {
    CXMLUtilities xml;
    const CString ns = ORVAN_ERROR_LOG_NAMESPACE;
    MSXML2::IXMLDOMNodePtr error = xml.createNode(L"error", ns);
    error->appendChild(xml.createUniversalTimeNode(ns, COleDateTime::GetCurrentTime()));
    error->appendChild(xml.createNode(L"class", m_class, ns));
    error->appendChild(xml.createNode(L"procSig", m_procSig, ns));
    error->appendChild(xml.createNode(L"source", m_source, ns));
    error->appendChild(xml.createNode(L"description", m_description, ns));
    error->appendChild(xml.createNode(L"severity", getSeverityText(), ns));
    if (m_innerException) {
        MSXML2::IXMLDOMNodePtr inner = xml.createNode(L"innerException", ns);
        inner->appendChild(m_innerException->toXML());
        error->appendChild(inner);
    }
    return error;
}

CString CEXOrvan::getSystemErrorText(DWORD code) {
    LPWSTR buffer = NULL;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        NULL, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer), 0,
        NULL);
    CString text;
    if (length > 0 && buffer)
        text = CString(buffer, static_cast<int>(length));
    if (buffer)
        LocalFree(buffer);
    return text;
}

CString CEXOrvan::describeComError(const _com_error& e) {
    // Each line is built in a buffer of 1024 characters: longer texts are cut.
    auto line = [](const wchar_t* format, auto value) {
        CString formatted;
        formatted.Format(format, value);
        return formatted.Left(1023);
    };
    CString text = line(L"COM Error HRESULT 0x%X\n", static_cast<unsigned>(e.Error()));
    text += line(L"_com_error::ErrorMessage() = %s\n", e.ErrorMessage());
    IErrorInfo* info = e.ErrorInfo();
    if (info) {
        info->Release();
        text +=
            line(L"_com_error::Description() = %s\n", static_cast<const wchar_t*>(e.Description()));
        text += line(L"\n_com_error::Source() = %s", static_cast<const wchar_t*>(e.Source()));
    } else {
        text += L"No IErrorInfo Interface present\n";
    }
    return text;
}

void CEXOrvan::deleteChain() {
    // Innermost first, without recursion, so that a long chain cannot exhaust the stack.
    std::vector<CEXOrvan*> levels;
    for (CEXOrvan* level = this; level; level = level->m_innerException)
        levels.push_back(level);
    for (auto level = levels.rbegin(); level != levels.rend(); ++level)
        delete *level;
}

// CEXUnhandled

namespace {

// A COM error's description; without error information, the system's text for its HRESULT, so
// that the user always reads what went wrong.
CString comErrorDescription(const _com_error& e) {
    CString description = static_cast<const wchar_t*>(e.Description());
    if (description.IsEmpty())
        description = e.ErrorMessage();
    return description;
}

}  // namespace

CEXUnhandled::CEXUnhandled(CString source, CString file, CString procSig, int code,
                           CEXOrvan* innerException)
    : CEXOrvan(source, file, procSig, code, innerException) {
    setDescription(L"unhandled error");
}

CEXUnhandled::CEXUnhandled(CString source, CString file, CString procSig)
    : CEXUnhandled(source, file, procSig, 0, nullptr) {}

CEXUnhandled::CEXUnhandled(CException* e, CString source, CString file, CString procSig, int code,
                           CEXOrvan* innerException)
    : CEXOrvan(source, file, procSig, code, innerException) {
    TCHAR message[255] = {0};
    if (e)
        e->GetErrorMessage(message, 255);
    setDescription(message);
}

CEXUnhandled::CEXUnhandled(const std::exception& e, CString source, CString file, CString procSig,
                           int code, CEXOrvan* innerException)
    : CEXOrvan(source, file, procSig, code, innerException) {
    setDescription(CString(e.what()));
}

CEXUnhandled::CEXUnhandled(CString message, CString source, CString file, CString procSig, int code)
    : CEXOrvan(source, file, procSig, code, nullptr) {
    setDescription(message);
}

CEXUnhandled::CEXUnhandled(const _com_error& e, CString source, CString file, CString procSig,
                           int severity)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    const CString comSource = static_cast<const wchar_t*>(e.Source());
    if (!comSource.IsEmpty())
        setSource(comSource);
    setDescription(comErrorDescription(e));
    setSeverity(severity);
}

CEXUnhandled::CEXUnhandled(Acad::ErrorStatus status, CString source, CString file, CString procSig,
                           long line, CString drawingName, CEXOrvan* innerException)
    : CEXOrvan(source, file, procSig, static_cast<int>(status), innerException) {
    CString description = L"The following AutoCAD error occurred on line#" +
                          CUtilities::LongToCString(static_cast<LONG>(line)) + L": " +
                          acadErrorStatusText(status);
    if (!drawingName.IsEmpty())
        description += L", whilst processing drawing " + drawingName;
    setDescription(description + L".");
}

// The other kinds

CEXSQLStatement::CEXSQLStatement(const _com_error& e, CString statement, CString source,
                                 CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(comErrorDescription(e));
}

CEXCustom::CEXCustom(CString description, CString source, CString file, CString procSig, int code,
                     CEXOrvan* innerException)
    : CEXOrvan(source, file, procSig, code, innerException) {
    setDescription(description);
}

CEXInvalidHandle::CEXInvalidHandle(CString handle, CString source, CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Invalid Handle - " + handle);
    setSeverity(1);
}

CEXInvalidHexColour::CEXInvalidHexColour(CString source, CString file, CString procSig,
                                         CString colour)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Invalid Hex Colour - " + colour);
}

CEXInvalidPlotFilename::CEXInvalidPlotFilename(CString source, CString file, CString procSig,
                                               CString fileName)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Invalid Plot Filename - '" + fileName + L"'");
}

CEXInvalidXMLFile::CEXInvalidXMLFile(CString source, CString file, CString procSig,
                                     CString fileName)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Invalid XML file - " + fileName);
}

CEXSegmentAreaOverTotal::CEXSegmentAreaOverTotal(CString source, CString file, CString procSig,
                                                 double segmentTotal, double statedTotal)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Unable to calculate pie chart percentages the total segment area (" +
                   CUtilities::DoubleToCString(segmentTotal, 2) +
                   L") is greater than the specified total area (" +
                   CUtilities::DoubleToCString(statedTotal, 2) + L").");
    setSeverity(1);
}

CEXHatchAdditionalAreas::CEXHatchAdditionalAreas(CString blockName, CString source, CString file,
                                                 CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Unable to apply additional hatch areas to Orvan Block: " + blockName + L".");
    setSeverity(1);
}

CEXHatchNoAreas::CEXHatchNoAreas(CString blockName, CString source, CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Unable to apply no hatch areas to Orvan Block: " + blockName + L".");
    setSeverity(1);
}

CEXHatchNotClosed::CEXHatchNotClosed(CString blockName, CString handle, CString source,
                                     CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Unable to hatch Orvan Block: " + blockName + L". Handle: " + handle +
                   L". Please check the polyline is closed.");
}

CEXHatchNotDenseEnough::CEXHatchNotDenseEnough(CString subject, CString patternName, double scale,
                                               CString source, CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Unable to hatch " + subject + L". " + patternName + L" set at scale " +
                   CUtilities::DoubleToCString(scale, 2) +
                   L" is not dense enough to be displayed.");
    setSeverity(1);
}

CEXHatchTooDense::CEXHatchTooDense(CString subject, CString patternName, double scale,
                                   CString source, CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Unable to hatch " + subject + L". " + patternName + L" set at scale " +
                   CUtilities::DoubleToCString(scale, 2) + L"is too dense to be displayed.");
    setSeverity(1);
}

CEXHatchAroundAttributes::CEXHatchAroundAttributes(CString blockName, CString handle,
                                                   CString source, CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"Unable to hatch around attributes: " + blockName + L". Handle: " + handle +
                   L". Please check the Orvan block.");
    setSeverity(1);
}

CEXMSXMLNotAvailable::CEXMSXMLNotAvailable(CString source, CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(CString(L"Msxml2.DOMDocument") +
                   L" is not available - please check msxml is installed.");
}

CEXXMLMissingField::CEXXMLMissingField(CString xmlFileName, CString fieldName, CString source,
                                       CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"The XML file " + xmlFileName + L" does not contain the required field " +
                   fieldName);
    setSeverity(1);
}

// COrvanExceptions

COrvanExceptions::~COrvanExceptions() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

void COrvanExceptions::add(CEXOrvan* error) {
    m_errors.Add(error);
    ++m_count;
}

void COrvanExceptions::displayAll() const {
    for (int i = 0; i < m_count; ++i)
        m_errors.GetAt(i)->showErrorDialog();
}

void COrvanExceptions::printAll() const {
    for (int i = 0; i < m_count; ++i)
        m_errors.GetAt(i)->printErrorChain();
}

void COrvanExceptions::deleteObjects() {
    try {
        for (int i = 0; i < m_count; ++i) {
            CEXOrvan* error = m_errors.GetAt(i);
            m_errors.SetAt(i, nullptr);
            if (error)
                error->deleteChain();
        }
        m_errors.RemoveAll();
        m_count = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("COrvanExceptions::deleteObjects"));
    }
}

// The catch-and-wrap convention

CEXUnhandled* wrapCaughtError(LPCTSTR file, LPCTSTR procSig, std::source_location where) {
    if (!std::current_exception()) {
        return new CEXUnhandled(ORVAN_MODULE_DESCRIPTION, file, procSig, 0, nullptr);
    }
    try {
        throw;
    } catch (CEXOrvan* e) {
        return new CEXUnhandled(ORVAN_MODULE_DESCRIPTION, file, procSig, 0, e);
    } catch (CException* e) {
        CEXUnhandled* wrapped =
            new CEXUnhandled(e, ORVAN_MODULE_DESCRIPTION, file, procSig, 0, nullptr);
        if (e)
            e->Delete();
        return wrapped;
    } catch (const std::exception& e) {
        return new CEXUnhandled(e, ORVAN_MODULE_DESCRIPTION, file, procSig, 0, nullptr);
    } catch (const _com_error& e) {
        return new CEXUnhandled(e, ORVAN_MODULE_DESCRIPTION, file, procSig, 2);
    } catch (Acad::ErrorStatus status) {
        return new CEXUnhandled(status, ORVAN_MODULE_DESCRIPTION, file, procSig,
                                static_cast<long>(where.line()), CString(), nullptr);
    } catch (...) {
        return new CEXUnhandled(ORVAN_MODULE_DESCRIPTION, file, procSig, 0, nullptr);
    }
}

void throwWrapped(LPCTSTR file, LPCTSTR procSig, std::source_location where) {
    throw wrapCaughtError(file, procSig, where);
}

void discardCaughtError() noexcept {
    if (!std::current_exception())
        return;
    try {
        throw;
    } catch (CEXOrvan* e) {
        if (e)
            e->deleteChain();
    } catch (CException* e) {
        if (e)
            e->Delete();
    } catch (...) {
    }
}
