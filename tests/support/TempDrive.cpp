#include "support/TempDrive.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "win32/DrivePaths.h"

namespace qv::test {

namespace fs = std::filesystem;

TempDrive::TempDrive()
    : m_previousRoot(qv::win32::driveRoot(L'C')),
      m_previousDirectory(qv::win32::currentDirectory()) {
    std::string pattern = (fs::temp_directory_path() / "qv-drive-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) {
        throw std::runtime_error("cannot make a temporary drive folder");
    }
    m_root = buf.data();
    qv::win32::setDriveRoot(L'C', m_root);
    if (!SetCurrentDirectoryW(L"C:\\")) {
        throw std::runtime_error("cannot enter the temporary drive");
    }
}

TempDrive::~TempDrive() {
    SetCurrentDirectoryW(m_previousDirectory);
    qv::win32::setDriveRoot(L'C', m_previousRoot);
    std::error_code ec;
    // Files made read-only by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(m_root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_root, ec);
}

std::string TempDrive::posix(const std::string& relative) const {
    return m_root + "/" + relative;
}

void TempDrive::writeFile(const std::string& relative, const std::string& bytes) const {
    const fs::path p = posix(relative);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string TempDrive::readFile(const std::string& relative) const {
    std::ifstream in(posix(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempDrive::exists(const std::string& relative) const {
    std::error_code ec;
    return fs::exists(posix(relative), ec);
}

std::set<std::string> TempDrive::names(const std::string& relative) const {
    std::set<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(posix(relative), ec), end; !ec && it != end; it.increment(ec))
        found.insert(it->path().filename().string());
    return found;
}

void TempDrive::makeFolder(const std::string& relative) const {
    fs::create_directories(posix(relative));
}

}  // namespace qv::test
