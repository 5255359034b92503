// CFileUtilities: the module's operations on Windows path texts, files and folders, and the two
// pickers that commands use to ask for a path. Stateless: create one on the stack or call the
// operations on the class.
//
// Paths use backslashes; a folder path may or may not end in one, and each operation says which
// form it accepts or gives. Characters invalid in a file name: * ? " < > |; in a path the colon
// is invalid too, except as the second character.
#pragma once

#include <functional>

#include "StdAfx.h"

class CFileUtilities {
  public:
    CFileUtilities() = default;
    virtual ~CFileUtilities() = default;

    // 0 a bare file name ("report.xml"), 1 a folder ("C:\data", "\\server\share"), 2 a file path
    // ("C:\data\report.xml"), 3 anything else (empty, relative, with a "/"). A folder's text is
    // cleaned by checkPathSyntax in place (it gains a trailing backslash).
    static int getPathType(CString& path);
    // Removes the file; TRUE when it was removed, FALSE when it could not be (missing, in use,
    // no right). Never raises.
    static BOOL deleteFile(CString path);
    // TRUE when the file system reports a status for the path (a file or a folder).
    static BOOL fileExists(CString path);
    // Sets `modified` to the file's last-modification date and time: the zero date when the file
    // does not exist or its status cannot be read, the current time when the file's time is no
    // valid date.
    static void fileExists(CString path, COleDateTime& modified);
    // TRUE when anything (folder or file) exists at the path; one trailing backslash is ignored.
    static BOOL directoryExists(CString path);
    // Creates every missing level of the folder from the top down; TRUE when the folder exists
    // at the end. A level that cannot be created is reported on the command line ("Cannot create
    // <path>", with " - Access denied" when the system refused access) and gives FALSE.
    static BOOL ensureDirectoryExists(CString path);
    // The folder part of a path with its trailing backslash (one trailing backslash of the path
    // is dropped first); empty for a text without backslash.
    static CString getDirectoryString(CString path);
    // The folder the user picks, or an empty text when cancelled.
    static CString browseForFolder(CString title);
    // The file the user picks in the open dialog ("Label|*.ext" filter), or an empty text.
    static CString browseForFile(CString filter);
    // The same with a title and an initial folder; `fileTitle` is handed to the dialog as its
    // file-title field.
    static CString browseForFile(CString title, CString initialFolder, CString fileTitle,
                                 CString filter);
    // The trimmed name with its ending `oldExtension` (case-sensitive) replaced by
    // `newExtension`, or with `newExtension` appended when it does not end so.
    static CString swapFileExtension(CString fileName, CString oldExtension, CString newExtension);
    // Drops invalid characters (a colon only outside the second position) and makes the path end
    // in a backslash; an empty path stays empty.
    static void checkPathSyntax(CString& path);
    // TRUE when the name is a valid file name. With `repair` an invalid name is mended in place
    // (invalid characters dropped, a leading slash or backslash removed, colons after the first
    // dropped) and the result is TRUE.
    static BOOL checkFilenameSyntax(CString& fileName, BOOL repair);

    // TRUE when both paths lead to one existing file, however they are spelt (links followed):
    // the same volume and file index. FALSE when either cannot be opened.
    static BOOL isSameFile(CString path, CString otherPath);
    // Why the module may not write the file `path`, or an empty text when it may: a folder, no
    // regular file (a device or a pipe, which would block), a read-only file, the same file as
    // `protectedPath` (the drawing the output is made from), or a file this user may not write.
    // A missing file may be written.
    static CString checkOutputFile(CString path, CString protectedPath);
    // Writes the file so that it is whole or not there: `write` fills a new temporary file
    // beside `path` (the path it is given), which then replaces `path`. If `write` raises, or the
    // replacement fails (raising a CFileException), the temporary file is deleted, `path` is left
    // as it was, and the error passes on. Check the path with checkOutputFile first.
    static void replaceFile(CString path, const std::function<void(const CString&)>& write);
};
