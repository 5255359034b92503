#include "host/dxf/FileIo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
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
    void* data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
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

void writeFileAtomically(const std::string& path, std::string_view data) {
    std::string temp = path + ".XXXXXX";
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        fail("cannot create a temporary file for", path, errno);
    }
    auto abandon = [&](int error) {
        ::close(fd.release());
        ::unlink(temp.c_str());
        fail("cannot write", path, error);
    };
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd.get(), data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            abandon(errno);
        }
        done += static_cast<size_t>(n);
    }
    // The drawing keeps its permissions; a new one is readable by all and writable by its owner.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0) {
        abandon(errno);
    }
    if (::close(fd.release()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        fail("cannot write", path, error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        fail("cannot write", path, error);
    }
}

}  // namespace qv::dxf
