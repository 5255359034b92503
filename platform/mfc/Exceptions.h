// The MFC exception family. Exceptions are thrown as pointers to heap objects (`throw new ...`
// or the AfxThrow... helpers) and the catcher calls Delete(), which frees an object that was made
// to be deleted automatically (every object the AfxThrow helpers make).
#pragma once

#include "CObject.h"
#include "CString.h"
#include "../win32/WinTypes.h"

class CException : public CObject {
  public:
    explicit CException(BOOL autoDelete = TRUE) : m_bAutoDelete(autoDelete) {}
    ~CException() override = default;

    // Copies the exception's message (at most maxChars - 1 characters and a terminating zero)
    // into `buffer`; TRUE when there is a message.
    virtual BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext = nullptr) const;
    // The whole message as a text (not an MFC call; used by the platform and tests).
    virtual CString GetMessageText() const;
    // Shows the message in a message box; returns the button pressed.
    virtual int ReportError(UINT type = 0x10 /* MB_ICONERROR */, UINT messageId = 0) const;
    void Delete();

    BOOL m_bAutoDelete;

  protected:
    static BOOL copyMessage(const CString& text, LPTSTR buffer, UINT maxChars);
};

class CMemoryException : public CException {
  public:
    CMemoryException() = default;
    CString GetMessageText() const override;
};

class CInvalidArgException : public CException {
  public:
    CInvalidArgException() = default;
    CString GetMessageText() const override;
};

class CNotSupportedException : public CException {
  public:
    CNotSupportedException() = default;
    CString GetMessageText() const override;
};

class CFileException : public CException {
  public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}
    CString GetMessageText() const override;

    // The cause that matches a Windows error code.
    static int OsErrorToException(LONG osError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class COleException : public CException {
  public:
    explicit COleException(SCODE sc = 0) : m_sc(sc) {}
    CString GetMessageText() const override;
    SCODE m_sc;
};

class COleDispatchException : public CException {
  public:
    COleDispatchException(LPCTSTR description, UINT help, WORD code)
        : m_wCode(code), m_strDescription(description), m_dwHelpContext(help) {}
    CString GetMessageText() const override;

    WORD m_wCode;
    SCODE m_scError = 0;
    CString m_strSource;
    CString m_strDescription;
    CString m_strHelpFile;
    DWORD m_dwHelpContext;
};

class CUserException : public CException {
  public:
    CUserException() = default;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCTSTR fileName = nullptr);
[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowOleDispatchException(WORD code, LPCTSTR description, UINT help = 0);
