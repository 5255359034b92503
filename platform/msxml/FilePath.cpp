#include "msxml/FilePath.h"

#include "mfc/CString.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"

namespace qv::msxml {
namespace {

bool isDrivePath(const std::wstring& p) {
    return p.size() >= 2 && p[1] == L':' &&
           ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
}

}  // namespace

std::string nativePath(const std::wstring& path) {
    std::wstring p = path;
    if (p.compare(0, 8, L"file:///") == 0) {
        p = p.substr(8);
        if (!isDrivePath(p))
            p.insert(p.begin(), L'/');
    }
    const bool windows = isDrivePath(p) || p.find(L'\\') != std::wstring::npos;
    if (!windows)
        return qv::wideToUtf8(p);
    const auto mapped = qv::win32::toPosixPath(p, nullptr);
    return mapped ? *mapped : std::string();
}

}  // namespace qv::msxml
