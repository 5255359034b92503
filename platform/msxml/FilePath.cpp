#include "msxml/FilePath.h"

#include <cstdlib>
#include <mutex>

#include "win32/CodePage.h"

namespace qv::msxml {
namespace {

std::mutex g_mutex;
PathMapper g_mapper;

bool isDrivePath(const std::wstring& p) {
    return p.size() >= 2 && p[1] == L':' &&
           ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
}

std::string builtInMapping(const std::wstring& path) {
    std::wstring p = path;
    for (auto& c : p)
        if (c == L'\\')
            c = L'/';
    if (!isDrivePath(p))
        return qv::wideToUtf8(p);
    const wchar_t drive = static_cast<wchar_t>(qv::toLowerChar(p[0]));
    std::wstring rest = p.substr(2);
    if (rest.empty() || rest[0] != L'/')
        rest.insert(rest.begin(), L'/');
    if (drive == L'z')
        return qv::wideToUtf8(rest);
    const char* home = std::getenv("HOME");
    std::string root =
        std::string(home ? home : "") + "/.cadhost/drive_" + static_cast<char>(drive);
    return root + qv::wideToUtf8(rest);
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
    std::lock_guard lock(g_mutex);
    return g_mapper ? g_mapper(p) : builtInMapping(p);
}

void setPathMapper(PathMapper mapper) {
    std::lock_guard lock(g_mutex);
    g_mapper = std::move(mapper);
}

}  // namespace qv::msxml
