// CFile: unbuffered binary access to a file by Windows path, and CFileStatus.
//
// Open takes the framework's flags: modeRead / modeWrite / modeReadWrite; modeCreate makes the
// file or empties an existing one, and with modeNoTruncate opens an existing one as it is;
// without modeCreate the file must exist. The share flags (shareExclusive and shareCompat deny
// everything, shareDenyWrite, shareDenyRead, shareDenyNone) apply among the files this
// platform holds open (win32/FileSharing.h); typeText and typeBinary matter to CStdioFile
// only. A read-only file cannot be opened for writing; a folder, a device, a pipe or a socket
// cannot be opened (ERROR_ACCESS_DENIED, before anything could block on them).
//
// Failures raise a CFileException (by pointer, delete with Delete()) whose cause and
// m_lOsError come from the Windows error, and whose file name is the name given to Open (for
// Open) or the file's full path (afterwards). The Open overload with a CFileException* does not
// raise: it fills the exception object, when given, and returns FALSE.
//
// A CFile closes its file when destroyed, without raising.
#pragma once

#include "CObject.h"
#include "CString.h"
#include "Exceptions.h"
#include "Time.h"
#include "../win32/FileSharing.h"
#include "../win32/WinTypes.h"

// What GetFileInformationByHandle tells of an open file: its attributes, size and links, and the
// volume serial number and file index that together name the file whatever path led to it
// (links followed).
typedef struct _BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
} BY_HANDLE_FILE_INFORMATION, *LPBY_HANDLE_FILE_INFORMATION;

// The information of a file open in a CFile (its m_hFile); FALSE with ERROR_INVALID_HANDLE for
// any other handle.
BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information);

struct CFileStatus {
    CTime m_ctime;  // creation (the file's birth time where the file system keeps it)
    CTime m_mtime;  // last modification
    CTime m_atime;  // last access
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;  // CFile::Attribute bits
    BYTE m_padding = 0;
    TCHAR m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x00000,
        modeWrite = 0x00001,
        modeReadWrite = 0x00002,
        shareCompat = 0x00000,
        shareExclusive = 0x00010,
        shareDenyWrite = 0x00020,
        shareDenyRead = 0x00030,
        shareDenyNone = 0x00040,
        modeNoInherit = 0x00080,
        modeCreate = 0x01000,
        modeNoTruncate = 0x02000,
        typeText = 0x04000,
        typeBinary = 0x08000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    static const HANDLE hFileNull;

    CFile();
    // Opens the file; raises CFileException on failure.
    CFile(LPCTSTR fileName, UINT openFlags);
    ~CFile() override;

    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // Reads up to `count` bytes; returns how many were read (0 at the end).
    virtual UINT Read(void* buffer, UINT count);
    // Writes all `count` bytes.
    virtual void Write(const void* buffer, UINT count);
    // Moves the position; a position before the start raises badSeek. Returns the new position.
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG length);
    virtual void Flush();
    // Closes the file (nothing happens when none is open); raises when closing fails.
    virtual void Close();
    // Closes the file, ignoring every failure.
    virtual void Abort();

    // The full path given by Open, its last name, and that name without its extension.
    virtual CString GetFilePath() const { return m_strFileName; }
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual void SetFilePath(LPCTSTR path) { m_strFileName = path; }

    // The status of the open file; FALSE when none is open.
    BOOL GetStatus(CFileStatus& status) const;
    // The status of a file or folder; FALSE when nothing is there, for a drive's root, and for
    // a path that ends with a backslash (the system's file search finds no name there).
    static BOOL GetStatus(LPCTSTR fileName, CFileStatus& status);
    // DeleteFileW and MoveFileW, raising CFileException (with the name given) on failure.
    static void Remove(LPCTSTR fileName);
    static void Rename(LPCTSTR oldName, LPCTSTR newName);

    BOOL IsOpen() const { return m_fd >= 0; }
    operator HANDLE() const { return m_hFile; }

    HANDLE m_hFile;
    BOOL m_bCloseOnDelete = TRUE;

  protected:
    // Raises the CFileException of the Windows error `code` for this file.
    [[noreturn]] void throwError(DWORD code) const;
    // Raises for an operation on a file that is not open.
    void requireOpen() const;
    // Checks a Read of `count` bytes into `buffer`: raises for a file that is not open, a null
    // buffer or a file opened for writing only; false when there is nothing to read.
    bool readWanted(const void* buffer, UINT count) const;
    int fd() const { return m_fd; }
    UINT openFlags() const { return m_openFlags; }
    void closeHandle(bool raise);

    CString m_strFileName;

  private:
    int m_fd = -1;
    UINT m_openFlags = 0;
    qv::win32::FileShareLock m_share;
};
