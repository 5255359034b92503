#include "win32/FileSharing.h"

#include <sys/stat.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "win32/FileApi.h"
#include "win32/WinError.h"

namespace qv::win32 {
namespace {

struct Open {
    std::uint64_t id;
    DWORD access;
    DWORD share;
};

struct Registry {
    std::mutex mutex;
    std::map<std::pair<dev_t, ino_t>, std::vector<Open>> opens;
    std::uint64_t nextId = 1;
};

Registry& registry() {
    static Registry* r = new Registry();  // outlives static destructors that close files
    return *r;
}

bool conflicts(const Open& existing, DWORD access, DWORD share) {
    const auto denied = [](DWORD wanted, DWORD granted) {
        return ((wanted & kAccessRead) && !(granted & FILE_SHARE_READ)) ||
               ((wanted & kAccessWrite) && !(granted & FILE_SHARE_WRITE)) ||
               ((wanted & kAccessDelete) && !(granted & FILE_SHARE_DELETE));
    };
    return denied(access, existing.share) || denied(existing.access, share);
}

bool conflictsLocked(Registry& r, dev_t device, ino_t inode, DWORD access, DWORD share) {
    const auto it = r.opens.find({device, inode});
    if (it == r.opens.end()) {
        return false;
    }
    for (const auto& o : it->second) {
        if (conflicts(o, access, share)) {
            return true;
        }
    }
    return false;
}

}  // namespace

FileShareLock::FileShareLock(FileShareLock&& other) noexcept
    : m_device(other.m_device), m_inode(other.m_inode), m_id(std::exchange(other.m_id, 0)) {}

FileShareLock& FileShareLock::operator=(FileShareLock&& other) noexcept {
    if (this != &other) {
        release();
        m_device = other.m_device;
        m_inode = other.m_inode;
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

DWORD FileShareLock::acquire(dev_t device, ino_t inode, DWORD access, DWORD share) {
    release();
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    if (conflictsLocked(r, device, inode, access, share)) {
        return ERROR_SHARING_VIOLATION;
    }
    m_device = device;
    m_inode = inode;
    m_id = r.nextId++;
    r.opens[{device, inode}].push_back({m_id, access, share});
    return ERROR_SUCCESS;
}

void FileShareLock::release() {
    if (m_id == 0) {
        return;
    }
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.opens.find({m_device, m_inode});
    if (it != r.opens.end()) {
        std::erase_if(it->second, [this](const Open& o) { return o.id == m_id; });
        if (it->second.empty()) {
            r.opens.erase(it);
        }
    }
    m_id = 0;
}

DWORD checkSharing(const std::string& posixPath, DWORD access, DWORD share) {
    struct stat st {};
    if (::stat(posixPath.c_str(), &st) != 0) {
        return ERROR_SUCCESS;
    }
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return conflictsLocked(r, st.st_dev, st.st_ino, access, share) ? ERROR_SHARING_VIOLATION
                                                                   : ERROR_SUCCESS;
}

}  // namespace qv::win32
