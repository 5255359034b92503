// The module's error objects. Every failure travels as a heap object of CEXOrvan or one of its
// kinds, thrown and caught by pointer. Each operation that catches a failure wraps it in a new
// CEXUnhandled naming itself, so a deep failure reaches the command handler as a chain: the
// outermost object names the command's operation, each object owns the one it wraps (its inner
// error) and the innermost object describes what really went wrong.
//
// Ownership: an error object owns its inner error. Whoever catches the outermost object owns the
// whole chain and must throw it on, wrap it (handing it over as the new object's inner error),
// add it to a COrvanExceptions list, or free it with deleteChain(). Error objects are never
// copied and never changed after construction.
//
// The catch-and-wrap convention (see wrapCaughtError below) is how every operation of the module
// turns whatever reaches it into such a chain.
#pragma once

#include <exception>
#include <source_location>

#include "StdAfx.h"
#include "core/ModuleDescription.h"

class CPreferencesDocMon;

// The namespace of the XML form of error objects and of the error log.
inline constexpr wchar_t ORVAN_ERROR_LOG_NAMESPACE[] = L"urn:orvan:errorLog";

class CEXOrvan {
  public:
    // Stores source, the file text trimmed by trimSourceFile as the class, procSig, code and the
    // inner error (taken over; may be null). Severity 2, description empty.
    CEXOrvan(CString source, CString file, CString procSig, int code, CEXOrvan* innerException);
    // Frees this object only; deleteChain() frees the chain. Virtual so that kinds with fields of
    // their own are destroyed whole when a chain is deleted through the base.
    virtual ~CEXOrvan();
    CEXOrvan(const CEXOrvan&) = delete;
    CEXOrvan& operator=(const CEXOrvan&) = delete;

    CString getSource() const { return m_source; }
    CString getClass() const { return m_class; }
    CString getProcSig() const { return m_procSig; }
    CString getDescription() const { return m_description; }
    int getCode() const { return m_code; }
    int getSeverity() const { return m_severity; }
    // The wrapped error, or null; ownership stays with this object.
    CEXOrvan* getInnerException() const { return m_innerException; }

    // Cuts everything up to and including the last backslash (a forward slash is no separator),
    // then a trailing ".cpp" (case-sensitive).
    static CString trimSourceFile(CString file);
    // "low" for 0, "medium" for 1, "high" for anything else.
    CString getSeverityText() const;

    // The chain as the error message box shows it: one line per level, "class::procSig",
    // indented by one tab per depth, and for the innermost level a blank line and its
    // description.
    CString getErrorDialogText() const;
    // The same walk without the class: "procSig" per level.
    CString getErrorChainText() const;
    // Shows getErrorDialogText() in a message box without owner, titled "Error Detected.", with
    // the error icon and an OK button.
    void showErrorDialog() const;
    // Prints getErrorChainText() and a line feed on the host's command line.
    void printErrorChain() const;
    // (Both tell the user that the work failed, and so mark the running command failed: see
    // core/CommandFailure.h.)
    // Frees the inner chain (innermost first), then this object. The pointer is dead afterwards.
    void deleteChain();

    // The chain as XML, all in the error-log namespace: an element "error" with "date" (the
    // local time now), "class", "procSig", "source", "description" and "severity" (the severity
    // text), and for a wrapped error an "innerException" holding the inner error's own "error"
    // element. The element belongs to a document of its own; append it where it is needed.
    MSXML2::IXMLDOMNodePtr toXML() const;

    // The system's text for a Win32 error code ("\r\n" at its end as the system keeps it);
    // empty when the system has none.
    static CString getSystemErrorText(DWORD code);
    // A text report of a COM error: its HRESULT, its system message and, when it carries error
    // information, its description and source.
    static CString describeComError(const _com_error& e);

    // Logging (core/ErrorLogging.cpp; no handlers of their own). Appends this chain to the XML
    // error log at the path and prints "An error has been detected in <procSig>. Please consult
    // the error log" on the command line.
    void logToErrorLog(CString fileName) const;
    // Prints "An error has been detected please consult the error log" once, then logToErrorLog
    // for the error-log path of every server block that names one, in order.
    void logToErrorLogs(const CPreferencesDocMon& preferences) const;

  protected:
    void setDescription(const CString& description) { m_description = description; }
    void setSeverity(int severity) { m_severity = severity; }
    // Replaces the source (COM failures name the COM error's own source).
    void setSource(const CString& source) { m_source = source; }
    // Takes over an inner error; for kinds that build their chain after the base (the database
    // kinds chain their provider's errors below themselves).
    void setInnerException(CEXOrvan* inner) { m_innerException = inner; }

  private:
    CString m_source;
    CString m_class;
    CString m_procSig;
    CString m_description;
    int m_code;
    int m_severity = 2;
    CEXOrvan* m_innerException;
};

// The wrapper that every catch block builds: "unhandled error" unless a form below sets more.
class CEXUnhandled : public CEXOrvan {
  public:
    CEXUnhandled(CString source, CString file, CString procSig, int code, CEXOrvan* innerException);
    CEXUnhandled(CString source, CString file, CString procSig);
    // The description is the framework exception's message (at most 254 characters). The
    // exception stays the caller's to Delete().
    CEXUnhandled(CException* e, CString source, CString file, CString procSig, int code,
                 CEXOrvan* innerException);
    // The description is the exception's message, read in the ANSI code page.
    CEXUnhandled(const std::exception& e, CString source, CString file, CString procSig, int code,
                 CEXOrvan* innerException);
    // The description is the given message; no inner error.
    CEXUnhandled(CString message, CString source, CString file, CString procSig, int code);
    // The COM error's source replaces `source` (when it names one); its description is the
    // description, or the system's text for its HRESULT when it carries none. No inner error.
    CEXUnhandled(const _com_error& e, CString source, CString file, CString procSig, int severity);
    // A host status: "The following AutoCAD error occurred on line#<line>: <status text>", then
    // ", whilst processing drawing <name>" when a drawing is named, then "."; the code is the
    // status.
    CEXUnhandled(Acad::ErrorStatus status, CString source, CString file, CString procSig, long line,
                 CString drawingName, CEXOrvan* innerException);
};

class CEXCustom : public CEXOrvan {
  public:
    CEXCustom(CString description, CString source, CString file, CString procSig, int code,
              CEXOrvan* innerException);
};

// A failed SQL statement: the COM error's description, or the system's text for its HRESULT
// when it carries none (the statement text is not shown).
class CEXSQLStatement : public CEXOrvan {
  public:
    CEXSQLStatement(const _com_error& e, CString statement, CString source, CString file,
                    CString procSig);
};

// Severity 1. "Invalid Handle - " + handle.
class CEXInvalidHandle : public CEXOrvan {
  public:
    CEXInvalidHandle(CString handle, CString source, CString file, CString procSig);
};

// "Invalid Hex Colour - " + colour.
class CEXInvalidHexColour : public CEXOrvan {
  public:
    CEXInvalidHexColour(CString source, CString file, CString procSig, CString colour);
};

// "Invalid Plot Filename - '" + file name + "'".
class CEXInvalidPlotFilename : public CEXOrvan {
  public:
    CEXInvalidPlotFilename(CString source, CString file, CString procSig, CString fileName);
};

// "Invalid XML file - " + file name.
class CEXInvalidXMLFile : public CEXOrvan {
  public:
    CEXInvalidXMLFile(CString source, CString file, CString procSig, CString fileName);
};

// Severity 1. A pie chart whose segments add up to more than its stated total.
class CEXSegmentAreaOverTotal : public CEXOrvan {
  public:
    CEXSegmentAreaOverTotal(CString source, CString file, CString procSig, double segmentTotal,
                            double statedTotal);
};

// The hatch kinds: gathered in COrvanExceptions lists while blocks are written, never thrown.
class CEXHatchAdditionalAreas : public CEXOrvan {  // severity 1
  public:
    CEXHatchAdditionalAreas(CString blockName, CString source, CString file, CString procSig);
};

class CEXHatchNoAreas : public CEXOrvan {  // severity 1
  public:
    CEXHatchNoAreas(CString blockName, CString source, CString file, CString procSig);
};

class CEXHatchNotClosed : public CEXOrvan {  // severity 2
  public:
    CEXHatchNotClosed(CString blockName, CString handle, CString source, CString file,
                      CString procSig);
};

// Severity 1. The subject is what was hatched ("asset - " + handle for an asset).
class CEXHatchNotDenseEnough : public CEXOrvan {
  public:
    CEXHatchNotDenseEnough(CString subject, CString patternName, double scale, CString source,
                           CString file, CString procSig);
};

class CEXHatchTooDense : public CEXOrvan {  // severity 1
  public:
    CEXHatchTooDense(CString subject, CString patternName, double scale, CString source,
                     CString file, CString procSig);
};

class CEXHatchAroundAttributes : public CEXOrvan {  // severity 1
  public:
    CEXHatchAroundAttributes(CString blockName, CString handle, CString source, CString file,
                             CString procSig);
};

class CEXMSXMLNotAvailable : public CEXOrvan {
  public:
    CEXMSXMLNotAvailable(CString source, CString file, CString procSig);
};

class CEXXMLMissingField : public CEXOrvan {  // severity 1
  public:
    CEXXMLMissingField(CString xmlFileName, CString fieldName, CString source, CString file,
                       CString procSig);
};

// An owning list of error chains gathered during a long operation and shown at its end.
class COrvanExceptions {
  public:
    COrvanExceptions() = default;
    // Deletes every chain still held.
    ~COrvanExceptions();
    COrvanExceptions(const COrvanExceptions&) = delete;
    COrvanExceptions& operator=(const COrvanExceptions&) = delete;

    // Appends a chain; the list owns it from now on.
    void add(CEXOrvan* error);
    int getCount() const { return m_count; }
    // The chain at an index (0 to count - 1; outside raises CInvalidArgException); the list keeps
    // ownership.
    CEXOrvan* getAt(int index) const { return m_errors.GetAt(index); }
    // One error message box per chain, in index order.
    void displayAll() const;
    // Prints each chain on the host's command line, in index order.
    void printAll() const;
    // Deletes every chain in index order and empties the list.
    void deleteObjects();
    // logToErrorLogs, or logToErrorLog of the path, for each chain in index order.
    void logAll(const CPreferencesDocMon& preferences) const;
    void logAll(CString fileName) const;

  private:
    CArray<CEXOrvan*, CEXOrvan*> m_errors;
    int m_count = 0;
};

// The catch-and-wrap convention. Every operation of the module runs its body in one try block
// and ends it with a handler for everything:
//
//     static const LPCTSTR SOURCE_FILE = _T("Utilities.cpp");
//     ...
//     try {
//         ...the body...
//     } catch (...) {
//         throwWrapped(SOURCE_FILE, _T("CUtilities::CStringToInt"));
//     }
//
// An operation that raises a specific kind itself and wants its callers to see it unwrapped puts
// a handler that throws it on first (`catch (CEXInvalidHexColour*) { throw; }`); database
// operations put their own handler for a COM error before the catch-all in the same way.
//
// wrapCaughtError builds the new error object for the exception being handled (call it only
// inside a catch block), with the module description as source, `file` as class (its ".cpp" is
// cut off) and `procSig`:
// - a CEXOrvan*: CEXUnhandled with it as inner error (the new object owns the chain);
// - a framework exception (CException*): CEXUnhandled with its message; the exception is deleted;
// - a standard exception: CEXUnhandled with its message;
// - a COM error (_com_error): CEXUnhandled with its source and description, severity 2;
// - a host status thrown as a value (Acad::ErrorStatus): the host-status CEXUnhandled with the
//   line of the call (`where`, the handler's own line) and no drawing name;
// - anything else: CEXUnhandled "unhandled error" without inner error.
// Code 0 except for a host status (its number). The caller owns the result (throw it, add it to a
// list, or show and delete it). Outside a catch block it gives the plain "unhandled error" object.
CEXUnhandled* wrapCaughtError(LPCTSTR file, LPCTSTR procSig,
                              std::source_location where = std::source_location::current());
// Throws wrapCaughtError(file, procSig, where) (as a CEXUnhandled*).
[[noreturn]] void throwWrapped(LPCTSTR file, LPCTSTR procSig,
                               std::source_location where = std::source_location::current());
// Frees whatever is being handled (an error chain, a framework exception) without reporting it,
// for destructors and clean-up that must never raise:
//     try { ... } catch (...) { discardCaughtError(); }
// Outside a catch block it does nothing.
void discardCaughtError() noexcept;
