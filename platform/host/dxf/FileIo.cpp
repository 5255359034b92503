#include "host/dxf/FileIo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace qv::dxf {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(error));
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

  private:
    int m_fd;
};

}  // namespace

std::string readWholeFile(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail("cannot open", path, errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        fail("cannot read", path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        fail("cannot read", path, EISDIR);
    }
    // One byte more than the size, so that the end of the file is seen without growing.
    std::string data;
    data.resize(static_cast<size_t>(info.st_size) + 1);
    size_t done = 0;
    for (;;) {
        if (done == data.size()) {
            data.resize(data.size() * 2);  // the file grew, or its size was not known
        }
        const ssize_t n = ::read(fd.get(), data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot read", path, errno);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    data.resize(done);
    return data;
}

MappedFile::MappedFile(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail("cannot open", path, errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        fail("cannot read", path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        fail("cannot read", path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    m_size = static_cast<size_t>(info.st_size);
    if (m_size == 0) {
        return;
    }
    // The pages are read in at once, which is quicker than page by page as they are touched.
    void* data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
    if (data == MAP_FAILED) {
        fail("cannot read", path, errno);
    }
    ::madvise(data, m_size, MADV_SEQUENTIAL);
    m_data = static_cast<char*>(data);
}

MappedFile::~MappedFile() {
    if (m_data != nullptr) {
        ::munmap(m_data, m_size);
    }
}

void MappedFile::release(const char* upTo) {
    if (m_data == nullptr || upTo < m_data) {
        return;
    }
    const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t end = std::min(static_cast<size_t>(upTo - m_data), m_size) / page * page;
    if (end > m_released) {
        ::madvise(m_data + m_released, end - m_released, MADV_DONTNEED);
        m_released = end;
    }
}

void MappedFile::releaseAll() {
    if (m_data != nullptr) {
        ::madvise(m_data, m_size, MADV_DONTNEED);
    }
    m_released = 0;
}

namespace {

// The path that `path` names once its symbolic links are followed (as far as they lead: a link
// to a file that does not exist yet names that file).
std::string followLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0) {
            fail("cannot follow the link", path, errno);
        }
        target.resize(static_cast<size_t>(n));
        if (!target.starts_with('/')) {
            const size_t slash = current.rfind('/');
            target = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) +
                     target;
        }
        current = target;
    }
    fail("cannot follow the link", path, ELOOP);
}

void writeAll(int fd, std::string_view data, const std::function<void(int)>& failed) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            failed(errno);
        }
        done += static_cast<size_t>(n);
    }
}

// Writes over the file itself (one with several hard links, which a rename would separate). The
// space is reserved first, so that a full disk is found before the old content is touched.
void writeInPlace(const std::string& path, const std::string& target, std::string_view data) {
    Descriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail("cannot write", path, errno);
    }
    if (!data.empty()) {
        const int error = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(data.size()));
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
            fail("cannot write", path, error);
        }
    }
    writeAll(fd.get(), data, [&](int error) { fail("cannot write", path, error); });
    if (::ftruncate(fd.get(), static_cast<off_t>(data.size())) != 0 || ::fsync(fd.get()) != 0) {
        fail("cannot write", path, errno);
    }
    if (::close(fd.release()) != 0) {
        fail("cannot write", path, errno);
    }
}

}  // namespace

FileReplacement::FileReplacement(const std::string& path)
    : m_path(path), m_target(followLinks(path)) {
    struct stat old {};
    const bool exists = ::stat(m_target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        fail("cannot write", path, EISDIR);
    }
    if (exists && !S_ISREG(old.st_mode)) {
        throw std::runtime_error("cannot write " + path +
                                 ": it is no regular file (a device, a pipe or a socket)");
    }
    if (exists && old.st_nlink > 1) {
        return;  // written in place on commit
    }
    // The drawing keeps its permissions; a new one is readable by all and writable by its owner.
    m_mode = exists ? (old.st_mode & 07777) : 0644;
    m_temp = m_target + ".XXXXXX";
    m_fd = ::mkstemp(m_temp.data());
    if (m_fd < 0) {
        const int error = errno;
        m_temp.clear();
        fail("cannot create a temporary file for", path, error);
    }
}

FileReplacement::~FileReplacement() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
    }
}

void FileReplacement::abandon(int error) {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
    fail("cannot write", m_path, error);
}

void FileReplacement::write(std::string_view data) {
    if (m_temp.empty()) {
        m_inPlace += data;
        return;
    }
    if (m_fd < 0) {
        fail("cannot write", m_path, EBADF);
    }
    writeAll(m_fd, data, [&](int error) { abandon(error); });
}

void FileReplacement::overwrite(size_t offset, std::string_view data) {
    if (m_temp.empty()) {
        m_inPlace.replace(offset, data.size(), data);
        return;
    }
    if (m_fd < 0 ||
        ::pwrite(m_fd, data.data(), data.size(), static_cast<off_t>(offset)) !=
            static_cast<ssize_t>(data.size())) {
        abandon(m_fd < 0 ? EBADF : errno);
    }
}

void FileReplacement::commit() {
    if (m_temp.empty()) {
        writeInPlace(m_path, m_target, m_inPlace);
        return;
    }
    if (m_fd < 0) {
        fail("cannot write", m_path, EBADF);
    }
    if (::fchmod(m_fd, m_mode) != 0 || ::fsync(m_fd) != 0) {
        abandon(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        abandon(errno);
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        abandon(errno);
    }
    m_temp.clear();
}

void writeFileAtomically(const std::string& path, std::string_view data) {
    FileReplacement file(path);
    file.write(data);
    file.commit();
}

}  // namespace qv::dxf
