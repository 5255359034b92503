#include "win32/Shell.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>
#include <unordered_set>

#include "win32/Screen.h"

namespace {

// An item list made here: the list's byte count, this mark, the path with its zero, and the
// empty item that ends every list.
constexpr std::uint32_t kMark = 0x51565048;  // "QVPH"

class ShellMalloc : public IMalloc {
  public:
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    void* Alloc(SIZE_T bytes) override { return remember(std::malloc(bytes ? bytes : 1)); }
    void* Realloc(void* memory, SIZE_T bytes) override {
        if (!memory) {
            return Alloc(bytes);
        }
        if (bytes == 0) {
            Free(memory);
            return nullptr;
        }
        if (!forget(memory)) {
            return nullptr;
        }
        void* moved = std::realloc(memory, bytes);
        if (!moved) {
            remember(memory);
            return nullptr;
        }
        return remember(moved);
    }
    void Free(void* memory) override {
        if (forget(memory)) {
            std::free(memory);
        }
    }
    SIZE_T GetSize(void* memory) override {
        if (!memory) {
            return static_cast<SIZE_T>(-1);
        }
        return owns(memory) ? ::malloc_usable_size(memory) : static_cast<SIZE_T>(-1);
    }
    int DidAlloc(void* memory) override {
        if (!memory) {
            return -1;
        }
        return owns(memory) ? 1 : 0;
    }
    void HeapMinimize() override {}

  private:
    void* remember(void* memory) {
        if (memory) {
            std::lock_guard lock(m_mutex);
            m_blocks.insert(memory);
        }
        return memory;
    }
    bool forget(void* memory) {
        std::lock_guard lock(m_mutex);
        return memory && m_blocks.erase(memory) > 0;
    }
    bool owns(void* memory) {
        std::lock_guard lock(m_mutex);
        return m_blocks.count(memory) > 0;
    }

    std::mutex m_mutex;
    std::unordered_set<void*> m_blocks;
};

ShellMalloc& shellMalloc() {
    static ShellMalloc* m = new ShellMalloc();  // lives as long as the process
    return *m;
}

PIDLIST_ABSOLUTE makeList(const std::wstring& path) {
    const std::size_t pathBytes = (path.size() + 1) * sizeof(wchar_t);
    const std::size_t itemBytes = sizeof(USHORT) + sizeof(kMark) + pathBytes;
    if (itemBytes > 0xFFFF) {
        return nullptr;
    }
    auto* block = static_cast<BYTE*>(shellMalloc().Alloc(itemBytes + sizeof(USHORT)));
    if (!block) {
        return nullptr;
    }
    const auto cb = static_cast<USHORT>(itemBytes);
    std::memcpy(block, &cb, sizeof cb);
    std::memcpy(block + sizeof cb, &kMark, sizeof kMark);
    std::memcpy(block + sizeof cb + sizeof kMark, path.c_str(), pathBytes);
    const USHORT end = 0;
    std::memcpy(block + itemBytes, &end, sizeof end);
    return reinterpret_cast<PIDLIST_ABSOLUTE>(block);
}

}  // namespace

HRESULT SHGetMalloc(IMalloc** malloc) {
    if (!malloc) {
        return static_cast<HRESULT>(0x80070057u);  // E_INVALIDARG
    }
    *malloc = &shellMalloc();
    (*malloc)->AddRef();
    return 0;  // S_OK
}

PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW info) {
    if (!info) {
        return nullptr;
    }
    const std::wstring chosen =
        qv::win32::screen().browseForFolder(info->lpszTitle ? info->lpszTitle : L"");
    if (chosen.empty()) {
        return nullptr;
    }
    if (info->pszDisplayName) {
        std::wstring name = chosen;
        if (name.size() > 3) {
            name.erase(name.find_last_not_of(L'\\') + 1);
        }
        const auto slash = name.rfind(L'\\');
        if (slash != std::wstring::npos && slash + 1 < name.size()) {
            name.erase(0, slash + 1);
        }
        name = name.substr(0, MAX_PATH - 1);
        std::wmemcpy(info->pszDisplayName, name.c_str(), name.size() + 1);
    }
    return makeList(chosen);
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, LPWSTR path) {
    if (!path) {
        return FALSE;
    }
    path[0] = 0;
    // Only lists made here are read: anything else could be shorter than what is read.
    if (!list || shellMalloc().DidAlloc(const_cast<ITEMIDLIST*>(list)) != 1) {
        return FALSE;
    }
    const auto* block = reinterpret_cast<const BYTE*>(list);
    USHORT cb = 0;
    std::uint32_t mark = 0;
    std::memcpy(&cb, block, sizeof cb);
    if (cb < sizeof cb + sizeof mark + sizeof(wchar_t)) {
        return FALSE;
    }
    std::memcpy(&mark, block + sizeof cb, sizeof mark);
    if (mark != kMark) {
        return FALSE;
    }
    const std::size_t chars = (cb - sizeof cb - sizeof mark) / sizeof(wchar_t);
    if (chars > MAX_PATH) {
        return FALSE;
    }
    std::memcpy(path, block + sizeof cb + sizeof mark, chars * sizeof(wchar_t));
    path[chars - 1] = 0;
    return TRUE;
}

void ILFree(PIDLIST_ABSOLUTE list) {
    shellMalloc().Free(list);
}
