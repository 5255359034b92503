#include "support/SmallDisk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace qv::test {

SmallDisk::SmallDisk(const std::string& posixFolder, int kilobytes) : m_folder(posixFolder) {
    ::mkdir(m_folder.c_str(), 0755);
    const std::string options = "size=" + std::to_string(kilobytes) + "k";
    if (::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        m_reason = std::string("cannot mount a small disk: ") + std::strerror(errno);
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk() {
    if (m_mounted) {
        ::umount2(m_folder.c_str(), MNT_DETACH);
    }
}

void SmallDisk::fill() const {
    const std::string filler = m_folder + "/.filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    const std::vector<char> block(4096, 'x');
    // Whole blocks first, then single bytes for what a partial block leaves.
    for (size_t size : {block.size(), size_t{1}}) {
        while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
        }
    }
    ::close(fd);
}

}  // namespace qv::test
