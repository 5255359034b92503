#include "core/OrvanExceptions.h"

#include <vector>

#include "core/Utilities.h"

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

// The other kinds

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
    } catch (CEXOrvan* e) {
        e->deleteChain();
    } catch (...) {
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
    (void)where;  // the line names a host status caught as a value
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
    } catch (...) {
        return new CEXUnhandled(ORVAN_MODULE_DESCRIPTION, file, procSig, 0, nullptr);
    }
}

void throwWrapped(LPCTSTR file, LPCTSTR procSig, std::source_location where) {
    throw wrapCaughtError(file, procSig, where);
}
