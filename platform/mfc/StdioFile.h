// CStdioFile: a CFile with the C runtime's stream modes and line-oriented text.
//
// Text mode (typeText, or neither type flag) works as the Windows runtime's text streams on an
// English Windows: characters are stored as Windows-1252 bytes (a character the code page lacks
// becomes "?"), "\n" is written as CR LF, and reading turns CR LF back into "\n" (a lone LF is
// "\n" too, a lone CR stays) and stops at a Ctrl+Z byte as at the end of the file. Read and
// Write in text mode translate line ends the same way on bytes.
//
// Binary mode (typeBinary) stores bytes as given; ReadString and WriteString then move the
// text as UTF-16LE code units (as wide stream functions do on a binary stream) and translate no
// line ends.
//
// ReadString(CString&) reads one line without its "\n" and returns FALSE, with an empty text,
// only when nothing is left. ReadString(buffer, max) keeps the "\n" and returns null at the end.
// Positions (Seek, GetPosition) are byte offsets in the file. Failures raise CFileException as
// CFile's do.
#pragma once

#include <string>

#include "File.h"

class CStdioFile : public CFile {
  public:
    CStdioFile() = default;
    // Opens the file; raises CFileException on failure.
    CStdioFile(LPCTSTR fileName, UINT openFlags);

    BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
    virtual void WriteString(LPCTSTR text);
    virtual BOOL ReadString(CString& line);
    virtual LPTSTR ReadString(LPTSTR buffer, UINT max);

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG length) override;
    void Close() override;
    void Abort() override;

    bool isText() const { return m_text; }

  private:
    // The next byte as the stream gives it (text mode: CR LF as LF, Ctrl+Z as the end), or -1.
    int nextByte();
    int rawByte();
    // Steps back over bytes just read (at most four).
    void unread(std::size_t count) { m_aheadPos -= count; }
    // Gives back what was read ahead so that the file position is the stream's position.
    void dropReadAhead() const;
    // The next character of a line (text: a 1252 byte; binary: a UTF-16 unit pair), or -1.
    long nextChar();
    // Reads up to and including "\n" (at most `max` characters when max >= 0).
    bool readLine(std::wstring& out, long max);

    bool m_text = true;
    mutable std::string m_ahead;
    mutable std::size_t m_aheadPos = 0;
    bool m_ended = false;  // a Ctrl+Z was read in text mode
};
