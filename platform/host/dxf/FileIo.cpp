#include "host/dxf/FileIo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "win32/FileReplacement.h"

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

FileReplacement::FileReplacement(const std::string& path)
    : m_path(path), m_file(std::make_unique<qv::win32::FileReplacement>(path)) {
    if (m_file->refusal() == qv::win32::Refusal::System) {
        throw FileWriteError("cannot create a temporary file for " + path + ": " +
                                 std::strerror(m_file->systemError()),
                             m_file->error());
    }
    if (m_file->refusal() != qv::win32::Refusal::None) {
        raise();
    }
}

FileReplacement::~FileReplacement() = default;

void FileReplacement::raise() const {
    throw FileWriteError("cannot write " + m_path + ": " + m_file->error(), m_file->error());
}

void FileReplacement::write(std::string_view data) {
    if (!m_file->write(data)) {
        raise();
    }
}

void FileReplacement::overwrite(size_t offset, std::string_view data) {
    if (!m_file->writeAt(offset, data)) {
        raise();
    }
}

void FileReplacement::commit() {
    if (!m_file->commit()) {
        raise();
    }
}

void writeFileAtomically(const std::string& path, std::string_view data) {
    FileReplacement file(path);
    file.write(data);
    file.commit();
}

}  // namespace qv::dxf
