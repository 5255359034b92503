#include "win32/SystemMessage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "win32/Format.h"
#include "win32/WinError.h"

namespace {

struct MessageEntry {
    DWORD code;
    const wchar_t* text;
};

// The system message table: Win32 codes, then HRESULTs. Each text ends as Windows stores it.
constexpr MessageEntry kMessages[] = {
    {0, L"The operation completed successfully.\r\n"},
    {1, L"Incorrect function.\r\n"},
    {2, L"The system cannot find the file specified.\r\n"},
    {3, L"The system cannot find the path specified.\r\n"},
    {4, L"The system cannot open the file.\r\n"},
    {5, L"Access is denied.\r\n"},
    {6, L"The handle is invalid.\r\n"},
    {8, L"Not enough memory resources are available to process this command.\r\n"},
    {14, L"Not enough storage is available to complete this operation.\r\n"},
    {15, L"The system cannot find the drive specified.\r\n"},
    {16, L"The directory cannot be removed.\r\n"},
    {17, L"The system cannot move the file to a different disk drive.\r\n"},
    {18, L"There are no more files.\r\n"},
    {19, L"The media is write protected.\r\n"},
    {21, L"The device is not ready.\r\n"},
    {25, L"The drive cannot locate a specific area or track on the disk.\r\n"},
    {29, L"The system cannot write to the specified device.\r\n"},
    {30, L"The system cannot read from the specified device.\r\n"},
    {31, L"A device attached to the system is not functioning.\r\n"},
    {32, L"The process cannot access the file because it is being used by another process.\r\n"},
    {33,
     L"The process cannot access the file because another process has locked a portion of the "
     L"file.\r\n"},
    {38, L"Reached the end of the file.\r\n"},
    {39, L"The disk is full.\r\n"},
    {50, L"The request is not supported.\r\n"},
    {53, L"The network path was not found.\r\n"},
    {67, L"The network name cannot be found.\r\n"},
    {80, L"The file exists.\r\n"},
    {82, L"The directory or file cannot be created.\r\n"},
    {87, L"The parameter is incorrect.\r\n"},
    {109, L"The pipe has been ended.\r\n"},
    {112, L"There is not enough space on the disk.\r\n"},
    {120, L"This function is not supported on this system.\r\n"},
    {122, L"The data area passed to a system call is too small.\r\n"},
    {123, L"The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {126, L"The specified module could not be found.\r\n"},
    {131, L"An attempt was made to move the file pointer before the beginning of the file.\r\n"},
    {145, L"The directory is not empty.\r\n"},
    {161, L"The specified path is invalid.\r\n"},
    {170, L"The requested resource is in use.\r\n"},
    {183, L"Cannot create a file when that file already exists.\r\n"},
    {193, L"%1 is not a valid Win32 application.\r\n"},
    {203, L"The system could not find the environment option that was entered.\r\n"},
    {206, L"The filename or extension is too long.\r\n"},
    {234, L"More data is available.\r\n"},
    {258, L"The wait operation timed out.\r\n"},
    {259, L"No more data is available.\r\n"},
    {267, L"The directory name is invalid.\r\n"},
    {317,
     L"The system cannot find message text for message number 0x%1 in the message file for "
     L"%2.\r\n"},
    {998, L"Invalid access to memory location.\r\n"},
    {1004, L"Invalid flags.\r\n"},
    {1113, L"No mapping for the Unicode character exists in the target multi-byte code page.\r\n"},
    {1117, L"The request could not be performed because of an I/O device error.\r\n"},
    {1223, L"The operation was canceled by the user.\r\n"},
    {1400, L"Invalid window handle.\r\n"},
    {1444, L"The thread identifier is invalid.\r\n"},
    {1460, L"This operation returned because the timeout period expired.\r\n"},
    {1921, L"The name of the file cannot be resolved by the system.\r\n"},
    {15100, L"The specified resource language ID cannot be found in the image file.\r\n"},
    // HRESULTs.
    {0x8000000Au, L"The data necessary to complete this operation is not yet available.\r\n"},
    {0x8000FFFFu, L"Catastrophic failure\r\n"},
    {0x80004001u, L"Not implemented\r\n"},
    {0x80004002u, L"No such interface supported\r\n"},
    {0x80004003u, L"Invalid pointer\r\n"},
    {0x80004004u, L"Operation aborted\r\n"},
    {0x80004005u, L"Unspecified error\r\n"},
    {0x80010106u, L"Cannot change thread mode after it is set.\r\n"},
    {0x80020001u, L"Unknown interface.\r\n"},
    {0x80020003u, L"Member not found.\r\n"},
    {0x80020004u, L"Parameter not found.\r\n"},
    {0x80020005u, L"Type mismatch.\r\n"},
    {0x80020006u, L"Unknown name.\r\n"},
    {0x80020007u, L"No named arguments.\r\n"},
    {0x80020008u, L"Bad variable type.\r\n"},
    {0x80020009u, L"Exception occurred.\r\n"},
    {0x8002000Au, L"Out of present range.\r\n"},
    {0x8002000Bu, L"Invalid index.\r\n"},
    {0x8002000Du, L"Memory is locked.\r\n"},
    {0x8002000Eu, L"Invalid number of parameters.\r\n"},
    {0x8002000Fu, L"Parameter not optional.\r\n"},
    {0x80020012u, L"Division by zero.\r\n"},
    {0x80030002u, L"%1 could not be found.\r\n"},
    {0x80030003u, L"The path %1 could not be found.\r\n"},
    {0x80030005u, L"Access Denied.\r\n"},
    {0x80040110u, L"Class does not support aggregation (or class object is remote)\r\n"},
    {0x80040111u, L"ClassFactory cannot supply requested class\r\n"},
    {0x80040154u, L"Class not registered\r\n"},
    {0x800401F0u, L"CoInitialize has not been called.\r\n"},
    {0x800401F3u, L"Invalid class string\r\n"},
};

constexpr DWORD kMaxMessageChars = 128 * 1024 / sizeof(wchar_t);

// Memory handed out by LocalAlloc, so that LocalFree can refuse anything else.
struct LocalHeap {
    std::mutex mutex;
    std::unordered_set<void*> blocks;
};

LocalHeap& localHeap() {
    static LocalHeap* heap = new LocalHeap();  // outlives every static destructor
    return *heap;
}

bool knownLanguage(DWORD languageId) {
    if (languageId == 0) {
        return true;
    }
    const DWORD primary = PRIMARYLANGID(languageId);
    return primary == LANG_NEUTRAL || primary == LANG_ENGLISH;
}

// The arguments of the inserts, read on demand from an array or a va_list.
class InsertArguments {
  public:
    InsertArguments(DWORD flags, va_list* list) : m_flags(flags), m_list(list) {
        if (list && !(flags & FORMAT_MESSAGE_ARGUMENT_ARRAY)) {
            va_copy(m_copy, *list);
            m_haveCopy = true;
        }
    }
    ~InsertArguments() {
        if (m_haveCopy) {
            va_end(m_copy);
        }
    }
    InsertArguments(const InsertArguments&) = delete;
    InsertArguments& operator=(const InsertArguments&) = delete;

    bool present() const { return m_list != nullptr; }

    DWORD_PTR get(int number) {
        if (m_flags & FORMAT_MESSAGE_ARGUMENT_ARRAY) {
            return reinterpret_cast<const DWORD_PTR*>(m_list)[number - 1];
        }
        while (static_cast<int>(m_read.size()) < number) {
            m_read.push_back(va_arg(m_copy, DWORD_PTR));
        }
        return m_read[static_cast<std::size_t>(number - 1)];
    }

  private:
    DWORD m_flags;
    va_list* m_list;
    va_list m_copy;
    bool m_haveCopy = false;
    std::vector<DWORD_PTR> m_read;
};

// One insert formatted with its printf-style conversion (default "s").
std::wstring formatInsert(const std::wstring& spec, DWORD_PTR value) {
    const wchar_t conversion = spec.empty() ? L's' : spec.back();
    const std::wstring fmt = L"%" + (spec.empty() ? std::wstring(L"s") : spec);
    qv::FormatArg arg(0);
    switch (conversion) {
        case L's':
            if (spec.find(L'h') != std::wstring::npos) {
                arg = qv::FormatArg(reinterpret_cast<const char*>(value));
            } else {
                arg = qv::FormatArg(reinterpret_cast<const wchar_t*>(value));
            }
            break;
        case L'S':
            arg = qv::FormatArg(reinterpret_cast<const char*>(value));
            break;
        case L'c':
        case L'C':
            arg = qv::FormatArg(static_cast<wchar_t>(value));
            break;
        case L'd':
        case L'i':
            if (spec.find(L"I64") != std::wstring::npos || spec.find(L"ll") != std::wstring::npos) {
                arg = qv::FormatArg(static_cast<long long>(value));
            } else {
                arg = qv::FormatArg(static_cast<int>(static_cast<std::uint32_t>(value)));
            }
            break;
        default:
            if (spec.find(L"I64") != std::wstring::npos || spec.find(L"ll") != std::wstring::npos) {
                arg = qv::FormatArg(static_cast<unsigned long long>(value));
            } else {
                arg = qv::FormatArg(static_cast<unsigned>(value));
            }
            break;
    }
    return qv::formatWide(fmt.c_str(), &arg, 1);
}

// Expands inserts and escapes. Regular line breaks of the definition are kept when
// `keepLineBreaks`, else they become blanks.
std::wstring expand(const std::wstring& text, DWORD flags, InsertArguments& args,
                    bool keepLineBreaks) {
    const bool ignoreInserts = (flags & FORMAT_MESSAGE_IGNORE_INSERTS) || !args.present();
    std::wstring out;
    std::size_t i = 0;
    while (i < text.size()) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            const bool pair = c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n';
            out += keepLineBreaks ? text.substr(i, pair ? 2 : 1) : std::wstring(L" ");
            i += pair ? 2 : 1;
            continue;
        }
        if (c != L'%' || i + 1 >= text.size()) {
            out += c;
            ++i;
            continue;
        }
        const wchar_t e = text[i + 1];
        if (e >= L'1' && e <= L'9') {
            std::size_t j = i + 2;
            int number = e - L'0';
            if (j < text.size() && text[j] >= L'0' && text[j] <= L'9') {
                number = number * 10 + (text[j] - L'0');
                ++j;
            }
            std::wstring spec;
            if (j < text.size() && text[j] == L'!') {
                const auto close = text.find(L'!', j + 1);
                if (close != std::wstring::npos) {
                    spec = text.substr(j + 1, close - j - 1);
                    j = close + 1;
                }
            }
            if (ignoreInserts || spec.find(L'*') != std::wstring::npos) {
                out.append(text, i, j - i);
            } else {
                out += formatInsert(spec, args.get(number));
            }
            i = j;
            continue;
        }
        switch (e) {
            case L'0':
                return out;
            case L'n':
                out += L"\r\n";
                break;
            case L'r':
                out += L'\r';
                break;
            case L't':
                out += L'\t';
                break;
            default:
                out += e;
                break;  // %% % . ! and any other character stand for themselves
        }
        i += 2;
    }
    return out;
}

// Breaks lines longer than `width` at their last blank within the width (a longer word stays
// whole, ended at the blank after it).
std::wstring wrap(const std::wstring& text, std::size_t width) {
    std::wstring out;
    std::size_t lineStart = 0;
    for (;;) {
        const std::size_t eol = text.find(L"\r\n", lineStart);
        const std::size_t end = eol == std::wstring::npos ? text.size() : eol;
        std::wstring_view line(text.data() + lineStart, end - lineStart);
        while (line.size() > width) {
            std::size_t cut = line.rfind(L' ', width);
            if (cut == std::wstring_view::npos) {
                cut = line.find(L' ', width);
            }
            if (cut == std::wstring_view::npos) {
                break;
            }
            out.append(line.substr(0, cut));
            out += L"\r\n";
            line.remove_prefix(cut + 1);
        }
        out.append(line);
        if (eol == std::wstring::npos) {
            break;
        }
        out += L"\r\n";
        lineStart = eol + 2;
    }
    return out;
}

}  // namespace

namespace qv::win32 {

const wchar_t* systemMessageText(DWORD code) {
    for (const auto& m : kMessages) {
        if (m.code == code) {
            return m.text;
        }
    }
    if ((code & 0xFFFF0000u) == 0x80070000u) {
        return systemMessageText(code & 0xFFFFu);
    }
    return L"";
}

}  // namespace qv::win32

DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPWSTR buffer,
                     DWORD size, va_list* arguments) {
    if (!buffer || ((flags & FORMAT_MESSAGE_FROM_STRING) && !source)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring definition;
    if (flags & FORMAT_MESSAGE_FROM_STRING) {
        definition = static_cast<const wchar_t*>(source);
    } else if (flags & FORMAT_MESSAGE_FROM_SYSTEM) {
        if (!knownLanguage(languageId)) {
            SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
            return 0;
        }
        definition = qv::win32::systemMessageText(messageId);
        if (definition.empty()) {
            SetLastError(ERROR_MR_MID_NOT_FOUND);
            return 0;
        }
    } else {
        // No message table of any module is known.
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }

    const DWORD width = flags & FORMAT_MESSAGE_MAX_WIDTH_MASK;
    InsertArguments args(flags, arguments);
    std::wstring text = expand(definition, flags, args, width == 0);
    if (width != 0 && width != FORMAT_MESSAGE_MAX_WIDTH_MASK) {
        text = wrap(text, width);
    }
    if (text.size() >= kMaxMessageChars) {
        SetLastError(ERROR_MORE_DATA);
        return 0;
    }
    const auto length = static_cast<DWORD>(text.size());

    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        const DWORD chars = std::max<DWORD>(length + 1, size);
        auto* memory = static_cast<wchar_t*>(LocalAlloc(LPTR, chars * sizeof(wchar_t)));
        if (!memory) {
            return 0;
        }
        std::wmemcpy(memory, text.c_str(), length + 1);
        *reinterpret_cast<LPWSTR*>(buffer) = memory;
        return length;
    }
    if (length + 1 > size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::wmemcpy(buffer, text.c_str(), length + 1);
    return length;
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    void* memory = (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1)
                                           : std::malloc(bytes ? bytes : 1);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto& heap = localHeap();
    std::lock_guard lock(heap.mutex);
    heap.blocks.insert(memory);
    return memory;
}

HLOCAL LocalFree(HLOCAL memory) {
    if (!memory) {
        return nullptr;
    }
    auto& heap = localHeap();
    {
        std::lock_guard lock(heap.mutex);
        if (heap.blocks.erase(memory) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return memory;
        }
    }
    std::free(memory);
    return nullptr;
}
