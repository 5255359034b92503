// Replacing a file whole: the one way the platform writes over a file, whoever writes it
// (drawings, plots, and CopyFileW and MoveFileExW, through which the module puts its lists and
// reports in place).
//
// The new content goes to a part file beside the target ("<name>.XXXXXX"), which is put in
// place only when it is complete. A failure removes the part file and leaves the target as it
// was; so does the end of the program by SIGTERM, SIGHUP, SIGINT or SIGPIPE while a part file
// exists (its name is kept where the signal's handler can reach it; the signal then ends the
// program as it would have). A signal that the program catches or ignores itself (Ctrl-C at the
// host's prompt) goes to its handler, and the replacement goes on.
//
// The rules, the same for every writer:
// - A symbolic link is followed to the file it leads to, which is written; the link stays a
//   link. A link that leads nowhere (its file does not exist) is refused.
// - An existing target must be a regular file (not a folder, a device, a pipe or a socket) that
//   may be written: one without any write permission bit is read-only for everyone, root too (as
//   the Windows attribute is); and this process must be allowed to write it. It may not be the
//   protected file (compared as files, whatever path leads to them) nor be held open by the
//   platform against writing or deleting (win32/FileSharing.h).
// - The checks are made on the file itself when the replacement starts, and made again when it
//   is put in place: a file or link that took the target's place meanwhile is not written over,
//   and the replacement fails.
// - A target with several hard links is written over where it is (through the file that was
//   checked, its space reserved first), so that every name sees the new content; any other is
//   replaced by renaming the part file over it, keeping its permissions.
// - Before a file is written where it is, the part file is synced and the file's old content is
//   copied beside it, under "<name>.copying.XXXXXX" until it is whole and synced, then renamed
//   to "<name>.old.XXXXXX" (the folder synced): a ".old." name always holds the old file whole.
//   A signal that ends the program meanwhile removes the copy, under either name, with the part
//   file. The ending signals wait while the file is written: one that comes then ends the
//   program as soon as it is done, the new file whole under every name and neither file left
//   beside it. A failure while it is written writes the old content back; when even that fails,
//   the copy stays and the error names it. A kill that no program can catch (SIGKILL, a crash)
//   while the old content is copied leaves the file untouched, the new content whole in the part
//   file and the copy cut short under its ".copying." name; one in the midst of the writing
//   leaves the file half-written, its old content whole in "<name>.old.XXXXXX" and the new one
//   whole in the part file "<name>.XXXXXX".
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "WinTypes.h"

namespace qv::win32 {

// Why a file is not replaced.
enum class Refusal {
    None,
    Folder,        // the target is a folder
    NotRegular,    // a device, a pipe or a socket
    ReadOnly,      // no write permission bit
    NotPermitted,  // this process may not write it
    Protected,     // it is the protected file
    InUse,         // held open by the platform against writing
    DanglingLink,  // a link to a file that does not exist
    Changed,       // something else took the target's place while the part file was written
    System,        // the system refused a step (systemError() says which)
};

// Why this process may not write over the existing file with status `st` at `posixPath`:
// Refusal::ReadOnly when it has no write permission bit, Refusal::NotPermitted when the process
// may not write it (its effective user and groups), else Refusal::None.
Refusal writeRefusal(const struct stat& st, const std::string& posixPath);

class FileReplacement {
  public:
    // Checks `target` (a POSIX path) and makes the part file. `protect` names a file that may
    // not be written (empty: none). On refusal `refusal()` and `error()` say why and nothing
    // was made.
    explicit FileReplacement(std::string target, std::string protect = std::string());
    // Removes the part file unless it was put in place.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    Refusal refusal() const { return m_refusal; }
    // The errno of a Refusal::System.
    int systemError() const { return m_errno; }
    // Why, in words ("the file is read-only"); empty while the replacement can go on.
    const std::string& error() const { return m_error; }
    // The Windows error of the refusal.
    DWORD windowsError() const;

    // The file that is replaced (links followed) and the part file (empty after a refusal),
    // which stays open for writing while the replacement goes on.
    const std::string& target() const { return m_target; }
    const std::string& partPath() const { return m_part; }
    int descriptor() const { return m_fd; }
    // The permissions the file gets: the old file's, or what a new file gets by default.
    void setMode(mode_t mode) { m_mode = mode & 07777; }

    // Appends to the part file, or writes at `offset` in it; false (and refused) on failure.
    bool write(std::string_view data);
    bool writeAt(std::size_t offset, std::string_view data);
    // Appends what is left to read of `fd`; the errno of a failed read (0 when all was read; a
    // failed write refuses as write does).
    int writeFrom(int fd);
    // Checks the target again and puts the part file in its place. False, with the refusal set
    // and the part file removed, when it cannot be put there.
    bool commit();
    // Gives up: the part file is removed, the target stays as it was.
    void abandon();

  private:
    bool refuse(Refusal why, int error = 0, const char* step = nullptr);
    bool writeInPlace();

    std::string m_given;    // as given
    std::string m_protect;  // the protected file, or empty
    std::string m_target;   // links followed
    std::string m_part;
    bool m_exists = false;
    struct stat m_checked {};  // the target as checked, when it exists
    int m_fd = -1;
    int m_slot = -1;  // where the part file's name waits for a signal
    mode_t m_mode = 0;
    Refusal m_refusal = Refusal::None;
    int m_errno = 0;
    std::string m_error;
};

// Test seam: `hook` runs with the target's path just before a replacement is checked again and
// put in place (empty: none).
void setBeforePlacingHook(std::function<void(const std::string& target)> hook);

// The copies that write a file with several hard links where it is.
enum class InPlaceCopy {
    KeepingOld,   // its old content, to the copy kept beside it
    WritingOver,  // the part file's content, over it
};
// Test seam: `hook` runs after each piece of those copies, with the bytes copied so far (empty:
// none).
void setInPlaceCopyHook(std::function<void(InPlaceCopy copy, std::size_t copied)> hook);

// Test seam: the program stops itself (SIGSTOP) once, at the moment of a replacement that
// `moment` names, so that a test can act on it there (send a signal, then SIGCONT) however busy
// the machine is:
//   "part"           a part file, whole, just before it is checked again and put in place;
//   "keeping:BYTES"  the copy of a hard-linked file's old content, once it holds BYTES or more;
//   "writing:BYTES"  the writing over a hard-linked file, once BYTES or more are written.
// Built on the two hooks above (it replaces them). The host program takes it from the
// environment variable QV_STOP_WHILE_WRITING. False, with `error` saying what is expected and
// nothing set up, for any other text.
bool stopWhileWriting(std::string_view moment, std::string& error);

}  // namespace qv::win32
