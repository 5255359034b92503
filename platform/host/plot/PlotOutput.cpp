#include "host/plot/PlotOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace qv::host::plot {

namespace {

// The file a path leads to after its links: itself when it does not exist yet.
std::string followedPath(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

}  // namespace

bool sameFile(const std::string& path, const std::string& other) {
    struct stat a {}, b {};
    return !path.empty() && !other.empty() && ::stat(path.c_str(), &a) == 0 &&
           ::stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

PlotOutput::PlotOutput(const std::string& target, const std::string& protect)
    : m_target(followedPath(target)) {
    struct stat old {};
    const bool exists = ::stat(m_target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        m_error = "it is a folder";
        return;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        m_error = "it is no regular file (a device, a pipe or a socket)";
        return;
    }
    if (exists && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        m_error = "the file is read-only";
        return;
    }
    if (exists && sameFile(m_target, protect)) {
        m_error = "it is the drawing's own file";
        return;
    }
    if (exists) {
        m_mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        m_mode = 0666 & ~mask;
    }
    std::string temp = m_target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        m_error = std::string("the file cannot be created: ") + std::strerror(errno);
        return;
    }
    ::close(fd);
    m_temp = temp;
}

PlotOutput::~PlotOutput() {
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
    }
}

bool PlotOutput::commit() {
    if (m_temp.empty()) {
        return false;
    }
    struct stat written {};
    if (::stat(m_temp.c_str(), &written) != 0 || written.st_size == 0) {
        m_error = "nothing was written";
    } else if (::chmod(m_temp.c_str(), m_mode) != 0 ||
               ::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        m_error = std::string("the file cannot be put in place: ") + std::strerror(errno);
    } else {
        m_temp.clear();
        return true;
    }
    ::unlink(m_temp.c_str());
    m_temp.clear();
    return false;
}

}  // namespace qv::host::plot
