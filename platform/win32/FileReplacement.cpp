#include "win32/FileReplacement.h"

#include <fcntl.h>
#include <linux/limits.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "win32/FileApi.h"
#include "win32/FileSharing.h"
#include "win32/WinError.h"

namespace qv::win32 {
namespace {

// ---- Part files that a signal ending the program removes ----------------------------------

// SIGPIPE too: a host whose output goes through a pipe that was closed ends at its next write.
constexpr int kEndingSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGPIPE};
constexpr int kSignalCount = static_cast<int>(std::size(kEndingSignals));
constexpr int kSlotCount = 16;

struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX] = {};
};

// Plain storage that the handler reads: filled before a slot is marked used.
Slot g_slots[kSlotCount];
struct sigaction g_previous[kSignalCount];
std::mutex g_slotsMutex;
int g_inFlight = 0;
// While a file is written where it is, an ending signal waits (whichever thread it reaches):
// the first one that came is kept here and ends the program once the writing is done.
std::atomic<int> g_holding{0};
std::atomic<int> g_heldSignal{0};

// Removes every part file and ends the program by `signal`, as its default action would.
void endBy(int signal) {
    for (Slot& slot : g_slots) {
        if (slot.used.load()) {
            ::unlink(slot.path);
        }
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    // In the handler the signal is delivered when it returns; elsewhere at once.
    ::raise(signal);
}

void onEndingSignal(int signal, siginfo_t* info, void* context) {
    int index = 0;
    while (index < kSignalCount && kEndingSignals[index] != signal) {
        ++index;
    }
    if (index == kSignalCount) {
        return;
    }
    const struct sigaction& previous = g_previous[index];
    // The program's own handling goes first: a signal it catches or ignores does not end it.
    if ((previous.sa_flags & SA_SIGINFO) != 0) {
        if (previous.sa_sigaction != nullptr) {
            previous.sa_sigaction(signal, info, context);
        }
        return;
    }
    if (previous.sa_handler == SIG_IGN) {
        return;
    }
    if (previous.sa_handler != SIG_DFL) {
        previous.sa_handler(signal);
        return;
    }
    if (g_holding.load() > 0) {
        int none = 0;
        g_heldSignal.compare_exchange_strong(none, signal);
        // Looked at again: a writer that let go meanwhile may not have seen the signal.
        if (g_holding.load() > 0) {
            return;
        }
    }
    endBy(signal);
}

// Installs the handler for as long as one part file or one hold needs it.
void needHandler() {
    if (g_inFlight++ == 0) {
        struct sigaction action {};
        action.sa_sigaction = onEndingSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        for (int s = 0; s < kSignalCount; ++s) {
            ::sigaction(kEndingSignals[s], &action, &g_previous[s]);
        }
    }
}

void doneWithHandler() {
    if (--g_inFlight == 0) {
        for (int s = 0; s < kSignalCount; ++s) {
            ::sigaction(kEndingSignals[s], &g_previous[s], nullptr);
        }
    }
}

int keepPartName(const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    std::lock_guard lock(g_slotsMutex);
    for (int i = 0; i < kSlotCount; ++i) {
        Slot& slot = g_slots[i];
        if (!slot.used.load()) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.used.store(true);
            needHandler();
            return i;
        }
    }
    return -1;  // every slot taken: the part file is only removed by the replacement itself
}

// The part file in `slot` has been given the name `path`: a signal finds it there from now on.
// Called while the ending signals are held, so that no handler reads the name half-changed.
void renamePartName(int slot, const std::string& path) {
    if (slot < 0 || path.size() >= PATH_MAX) {
        return;
    }
    std::lock_guard lock(g_slotsMutex);
    std::memcpy(g_slots[slot].path, path.c_str(), path.size() + 1);
}

void forgetPartName(int& slot) {
    if (slot < 0) {
        return;
    }
    std::lock_guard lock(g_slotsMutex);
    g_slots[slot].used.store(false);
    slot = -1;
    doneWithHandler();
}

// Holds the ending signals back while it lives; one that came meanwhile then ends the program
// (after the files still named in the slots are removed).
class HeldSignals {
  public:
    HeldSignals() {
        std::lock_guard lock(g_slotsMutex);
        needHandler();
        g_holding.fetch_add(1);
    }
    ~HeldSignals() {
        if (g_holding.fetch_sub(1) == 1) {
            if (const int signal = g_heldSignal.exchange(0); signal != 0) {
                sigset_t only;
                sigemptyset(&only);
                sigaddset(&only, signal);
                ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
                endBy(signal);
            }
        }
        std::lock_guard lock(g_slotsMutex);
        doneWithHandler();
    }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;
};

// Makes a file of the name pattern `path` ("<name>.XXXXXX", which becomes its name), whose name
// is where the signals' handler finds it before a signal can end the program: its descriptor, or
// -1 with `error` set and `path` emptied.
int makePartFile(std::string& path, int& slot, int& error) {
    const HeldSignals held;
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        path.clear();
        return -1;
    }
    slot = keepPartName(path);
    return fd;
}

// Gives the part file at `path` (its name kept in `slot`) the name `to` in the same folder, where
// no file may be yet; a signal finds it under one name or the other, never under neither. 0, or
// the errno of a failure (the file keeps its name).
int renamePartFile(std::string& path, int slot, const std::string& to) {
    const HeldSignals held;
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL) {
            return errno;
        }
        // A file system without the flag: the second name made first (which fails where a file
        // has it), then the first one removed.
        if (::link(path.c_str(), to.c_str()) != 0) {
            return errno;
        }
        ::unlink(path.c_str());
    }
    renamePartName(slot, to);
    path = to;
    return 0;
}

// ---- The target and its checks ---------------------------------------------------------

std::function<void(const std::string&)>& beforePlacingHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

std::function<void(InPlaceCopy, std::size_t)>& inPlaceCopyHook() {
    static std::function<void(InPlaceCopy, std::size_t)> hook;
    return hook;
}

struct Checked {
    std::string path;  // links followed
    bool exists = false;
    struct stat st {};
    Refusal refusal = Refusal::None;
    int error = 0;
};

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

Checked check(const std::string& given, const std::string& protect) {
    Checked c;
    c.path = given;
    for (int hops = 0;; ++hops) {
        if (::lstat(c.path.c_str(), &c.st) != 0) {
            if (hops > 0 && (errno == ENOENT || errno == ENOTDIR)) {
                c.refusal = Refusal::DanglingLink;
            }
            return c;  // nothing there: making the part file tells what is wrong with the folder
        }
        if (!S_ISLNK(c.st.st_mode)) {
            break;
        }
        if (hops == 40) {
            c.refusal = Refusal::System;
            c.error = ELOOP;
            return c;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(c.path.c_str(), target.data(), target.size());
        if (n < 0) {
            c.refusal = Refusal::System;
            c.error = errno;
            return c;
        }
        target.resize(static_cast<std::size_t>(n));
        if (!target.starts_with('/')) {
            const std::size_t slash = c.path.rfind('/');
            target =
                (slash == std::string::npos ? std::string() : c.path.substr(0, slash + 1)) + target;
        }
        c.path = target;
    }
    c.exists = true;
    struct stat other {};
    if (S_ISDIR(c.st.st_mode)) {
        c.refusal = Refusal::Folder;
    } else if (!S_ISREG(c.st.st_mode)) {
        c.refusal = Refusal::NotRegular;
    } else if (const Refusal why = writeRefusal(c.st, c.path); why != Refusal::None) {
        c.refusal = why;
    } else if (!protect.empty() && ::stat(protect.c_str(), &other) == 0 && sameFile(c.st, other)) {
        c.refusal = Refusal::Protected;
    } else if (checkSharing(c.path, kAccessWrite | kAccessDelete,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) !=
               ERROR_SUCCESS) {
        c.refusal = Refusal::InUse;
    }
    return c;
}

mode_t defaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAllAt(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

// Copies what is left to read of `in` to `out` from its position on: the errno of a failed
// read or of a failed write (0: none). `step` names the copy to the test seam, which runs after
// each piece.
struct CopyError {
    int reading = 0;
    int writing = 0;
};
CopyError copyRest(int in, int out, std::optional<InPlaceCopy> step = std::nullopt) {
    off_t at = ::lseek(out, 0, SEEK_CUR);
    if (at < 0) {
        return {0, errno};
    }
    const off_t start = at;
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return {n < 0 ? errno : 0, 0};
        }
        if (!writeAllAt(out, buffer.data(), static_cast<std::size_t>(n), at)) {
            return {0, errno};
        }
        at += n;
        if (step) {
            if (const auto& hook = inPlaceCopyHook()) {
                hook(*step, static_cast<std::size_t>(at - start));
            }
        }
    }
}

// Writes the whole of `from` over `to` where it is: its space reserved first, then the copy,
// its length cut to `from`'s, and synced. The errno of the first failure (0: none).
int overwrite(int to, int from, std::optional<InPlaceCopy> step = std::nullopt) {
    struct stat source {};
    if (::fstat(from, &source) != 0) {
        return errno;
    }
    const off_t size = source.st_size;
    int error = size > 0 ? ::posix_fallocate(to, 0, size) : 0;
    if (error == EOPNOTSUPP || error == EINVAL) {
        error = 0;  // a file system that cannot reserve: the copy finds out
    }
    if (error != 0) {
        return error;
    }
    if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0) {
        return errno;
    }
    const CopyError copied = copyRest(from, to, step);
    if (copied.reading != 0 || copied.writing != 0) {
        return copied.reading != 0 ? copied.reading : copied.writing;
    }
    if (::ftruncate(to, size) != 0 || ::fsync(to) != 0) {
        return errno;
    }
    return 0;
}

// Syncs the folder of `path`, so that a name made in it lasts; as far as the system allows.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The old content of a file that is written where it is, kept whole beside it
// ("<name>.old.XXXXXX") until the new content is there. It is copied under a part name of its
// own ("<name>.copying.XXXXXX") and given its ".old." name only once it is whole and synced, so
// that a kill while it is copied leaves no ".old." file cut short. A signal that ends the program
// removes it under either name, as it removes part files, unless it is kept for good.
class KeptCopy {
  public:
    KeptCopy() = default;
    KeptCopy(const KeptCopy&) = delete;
    KeptCopy& operator=(const KeptCopy&) = delete;
    ~KeptCopy() { drop(); }

    // Copies what `from` holds (from its start) beside `target`, synced, under its ".old." name
    // (the folder synced too): the errno of a failure (0: none; nothing is left after one).
    int make(const std::string& target, int from) {
        m_path = target + ".copying.XXXXXX";
        int error = 0;
        m_fd = makePartFile(m_path, m_slot, error);
        if (m_fd < 0) {
            return error;
        }
        error = ::lseek(from, 0, SEEK_SET) < 0 ? errno : 0;
        if (error == 0) {
            const CopyError copied = copyRest(from, m_fd, InPlaceCopy::KeepingOld);
            error = copied.reading != 0 ? copied.reading : copied.writing;
        }
        if (error == 0 && ::fsync(m_fd) != 0) {
            error = errno;
        }
        if (error == 0) {
            const std::string letters = m_path.substr(m_path.size() - 6);  // mkostemp's
            error = renamePartFile(m_path, m_slot, target + ".old." + letters);
        }
        if (error != 0) {
            drop();
            return error;
        }
        syncFolderOf(m_path);
        return 0;
    }

    const std::string& path() const { return m_path; }
    int descriptor() const { return m_fd; }

    // Removes the copy.
    void drop() {
        closeFile();
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
            m_path.clear();
        }
        forgetPartName(m_slot);
    }
    // Leaves the copy where it is, for good: its path.
    std::string keep() {
        closeFile();
        forgetPartName(m_slot);
        return std::exchange(m_path, std::string());
    }

  private:
    void closeFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

    std::string m_path;
    int m_fd = -1;
    int m_slot = -1;
};

}  // namespace

Refusal writeRefusal(const struct stat& st, const std::string& posixPath) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return Refusal::ReadOnly;
    }
    if (::faccessat(AT_FDCWD, posixPath.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
        return Refusal::NotPermitted;
    }
    return Refusal::None;
}

void setBeforePlacingHook(std::function<void(const std::string&)> hook) {
    beforePlacingHook() = std::move(hook);
}

void setInPlaceCopyHook(std::function<void(InPlaceCopy copy, std::size_t copied)> hook) {
    inPlaceCopyHook() = std::move(hook);
}

bool stopWhileWriting(std::string_view moment, std::string& error) {
    const std::size_t colon = moment.find(':');
    const std::string_view name = moment.substr(0, colon);
    const std::string_view count =
        colon == std::string_view::npos ? std::string_view() : moment.substr(colon + 1);
    std::optional<InPlaceCopy> copy;
    if (name == "keeping") {
        copy = InPlaceCopy::KeepingOld;
    } else if (name == "writing") {
        copy = InPlaceCopy::WritingOver;
    }
    std::size_t bytes = 0;
    const char* const last = count.data() + count.size();
    const auto [end, failed] = std::from_chars(count.data(), last, bytes);
    const bool named = copy ? failed == std::errc() && end == last
                            : name == "part" && colon == std::string_view::npos;
    if (!named) {
        error = "\"" + std::string(moment) +
                "\" names no moment of the writing (part, keeping:BYTES or writing:BYTES)";
        return false;
    }
    const auto stopped = std::make_shared<std::atomic<bool>>(false);
    const auto stopOnce = [stopped] {
        if (!stopped->exchange(true)) {
            ::raise(SIGSTOP);
        }
    };
    std::function<void(const std::string&)> placing;
    std::function<void(InPlaceCopy, std::size_t)> copying;
    if (copy) {
        copying = [=, at = *copy](InPlaceCopy step, std::size_t copied) {
            if (step == at && copied >= bytes) {
                stopOnce();
            }
        };
    } else {
        placing = [=](const std::string&) { stopOnce(); };
    }
    setBeforePlacingHook(std::move(placing));
    setInPlaceCopyHook(std::move(copying));
    return true;
}

FileReplacement::FileReplacement(std::string target, std::string protect)
    : m_given(std::move(target)), m_protect(std::move(protect)) {
    const Checked c = check(m_given, m_protect);
    m_target = c.path;
    if (c.refusal != Refusal::None) {
        refuse(c.refusal, c.error);
        return;
    }
    m_exists = c.exists;
    m_checked = c.st;
    m_mode = m_exists ? (c.st.st_mode & 07777) : defaultMode();
    m_part = m_target + ".XXXXXX";
    int error = 0;
    m_fd = makePartFile(m_part, m_slot, error);
    if (m_fd < 0) {
        refuse(Refusal::System, error, "the file cannot be created");
    }
}

FileReplacement::~FileReplacement() {
    abandon();
}

DWORD FileReplacement::windowsError() const {
    switch (m_refusal) {
        case Refusal::None:
            return ERROR_SUCCESS;
        case Refusal::Folder:
        case Refusal::NotRegular:
        case Refusal::ReadOnly:
        case Refusal::NotPermitted:
            return ERROR_ACCESS_DENIED;
        case Refusal::Protected:
        case Refusal::InUse:
        case Refusal::Changed:
            return ERROR_SHARING_VIOLATION;
        case Refusal::DanglingLink:
            return ERROR_CANT_RESOLVE_FILENAME;
        case Refusal::System:
            break;
    }
    return errorFromErrno(m_errno);
}

void FileReplacement::abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_part.empty()) {
        ::unlink(m_part.c_str());
        m_part.clear();
    }
    forgetPartName(m_slot);
}

bool FileReplacement::refuse(Refusal why, int error, const char* step) {
    abandon();
    m_refusal = why;
    m_errno = error;
    switch (why) {
        case Refusal::None:
            m_error.clear();
            break;
        case Refusal::Folder:
            m_error = "it is a folder";
            break;
        case Refusal::NotRegular:
            m_error = "it is no regular file (a device, a pipe or a socket)";
            break;
        case Refusal::ReadOnly:
            m_error = "the file is read-only";
            break;
        case Refusal::NotPermitted:
            m_error = "this user may not write the file";
            break;
        case Refusal::Protected:
            m_error = "it is the drawing's own file";
            break;
        case Refusal::InUse:
            m_error = "the file is in use";
            break;
        case Refusal::DanglingLink:
            m_error = "it is a link to a file that does not exist";
            break;
        case Refusal::Changed:
            m_error = "another file took its place while it was written";
            break;
        case Refusal::System:
            m_error = step != nullptr ? std::string(step) + ": " + std::strerror(error)
                                      : std::string(std::strerror(error));
            break;
    }
    return false;
}

bool FileReplacement::write(std::string_view data) {
    if (m_fd < 0) {
        return false;
    }
    const off_t end = ::lseek(m_fd, 0, SEEK_END);
    if (end < 0 || !writeAllAt(m_fd, data.data(), data.size(), end)) {
        return refuse(Refusal::System, errno);
    }
    return true;
}

bool FileReplacement::writeAt(std::size_t offset, std::string_view data) {
    if (m_fd < 0) {
        return false;
    }
    if (!writeAllAt(m_fd, data.data(), data.size(), static_cast<off_t>(offset))) {
        return refuse(Refusal::System, errno);
    }
    return true;
}

int FileReplacement::writeFrom(int fd) {
    if (m_fd < 0) {
        return 0;
    }
    const CopyError error =
        ::lseek(m_fd, 0, SEEK_END) < 0 ? CopyError{0, errno} : copyRest(fd, m_fd);
    if (error.writing != 0) {
        refuse(Refusal::System, error.writing);
    }
    return error.reading;
}

bool FileReplacement::commit() {
    if (m_fd < 0) {
        return false;
    }
    if (const auto& hook = beforePlacingHook()) {
        hook(m_target);
    }
    // A writer that was given the part file's name may have put a file of its own there.
    struct stat named {};
    struct stat held {};
    if (::lstat(m_part.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
        return refuse(Refusal::System, errno != 0 ? errno : EINVAL);
    }
    if (::fstat(m_fd, &held) == 0 && !sameFile(named, held)) {
        const int fd = ::open(m_part.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            return refuse(Refusal::System, errno);
        }
        ::close(std::exchange(m_fd, fd));
    }
    if (::fsync(m_fd) != 0) {
        return refuse(Refusal::System, errno);
    }
    // The target as it is now must still be the one checked, and still pass.
    const Checked now = check(m_given, m_protect);
    if (now.refusal != Refusal::None) {
        return refuse(now.refusal, now.error);
    }
    if (now.path != m_target || now.exists != m_exists ||
        (m_exists && !sameFile(now.st, m_checked))) {
        return refuse(Refusal::Changed);
    }
    if (m_exists && now.st.st_nlink > 1) {
        return writeInPlace();
    }
    if (::fchmod(m_fd, m_mode) != 0) {
        return refuse(Refusal::System, errno, "the file cannot be put in place");
    }
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) {
        return refuse(Refusal::System, errno);
    }
    // Where nothing was, nothing may have come meanwhile (a link least of all).
    int placed = ::renameat2(AT_FDCWD, m_part.c_str(), AT_FDCWD, m_target.c_str(),
                             m_exists ? 0 : RENAME_NOREPLACE);
    if (placed != 0 && errno == EINVAL && !m_exists) {
        placed = ::rename(m_part.c_str(), m_target.c_str());  // a file system without the flag
    }
    if (placed != 0) {
        return errno == EEXIST ? refuse(Refusal::Changed)
                               : refuse(Refusal::System, errno, "the file cannot be put in place");
    }
    m_part.clear();
    forgetPartName(m_slot);
    return true;
}

// A file with several hard links keeps its place: the part file's content is copied over it,
// through the file opened and found to be the one checked. Its old content is first kept whole
// beside it, so that it is never only in the file being written; the ending signals wait while
// the file is written (one that came ends the program right after, with the new file whole and
// nothing left beside it). A failure writes the old content back.
bool FileReplacement::writeInPlace() {
    const int out = ::open(m_target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (out < 0) {
        return errno == ELOOP ? refuse(Refusal::Changed)
                              : refuse(Refusal::System, errno, "the file cannot be opened");
    }
    struct stat opened {};
    if (::fstat(out, &opened) != 0 || !sameFile(opened, m_checked)) {
        ::close(out);
        return refuse(Refusal::Changed);
    }
    KeptCopy old;
    if (const int error = old.make(m_target, out); error != 0) {
        ::close(out);
        return refuse(Refusal::System, error, "its old content cannot be kept beside it");
    }
    int error = 0;
    bool restored = false;
    std::string kept;
    {
        const HeldSignals held;
        error = overwrite(out, m_fd, InPlaceCopy::WritingOver);
        if (error != 0) {
            restored = overwrite(out, old.descriptor()) == 0;
        }
        if (::close(out) != 0 && error == 0) {
            error = errno;  // a late error of the file system's: what the file holds is unsure
        }
        if (error == 0 || restored) {
            old.drop();
        } else {
            kept = old.keep();
        }
        if (error == 0) {
            abandon();  // the part file, now in place
        }
    }
    if (error == 0) {
        return true;
    }
    refuse(Refusal::System, error);
    if (!restored) {
        m_error = std::string("it was left half-written (") + std::strerror(error) +
                  "); its old content is kept in " + kept;
    }
    return false;
}

}  // namespace qv::win32
