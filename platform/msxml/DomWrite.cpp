// Writing nodes as XML text, and documents to files.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "msxml/DomInternal.h"
#include "win32/CodePage.h"

namespace qv::msxml {
namespace {

// The namespace bindings in force while writing: (prefix, uri) pairs, innermost last.
class Scope {
  public:
    Scope() {
        m_bindings.emplace_back(L"", L"");
        m_bindings.emplace_back(L"xml", kXmlUri);
    }
    const std::wstring* lookup(const std::wstring& prefix) const {
        for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
            if (it->first == prefix)
                return &it->second;
        return nullptr;
    }
    std::size_t mark() const { return m_bindings.size(); }
    void bind(const std::wstring& prefix, const std::wstring& uri) {
        m_bindings.emplace_back(prefix, uri);
    }
    void restore(std::size_t mark) { m_bindings.resize(mark); }

  private:
    std::vector<std::pair<std::wstring, std::wstring>> m_bindings;
};

void escape(std::wstring& out, const std::wstring& text, bool attribute) {
    for (wchar_t c : text) {
        switch (c) {
            case L'&':
                out += L"&amp;";
                break;
            case L'<':
                out += L"&lt;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'"':
                out += attribute ? L"&quot;" : L"\"";
                break;
            case L'\r':
                out += L"&#xD;";
                break;
            case L'\n':
                out += attribute ? L"&#xA;" : L"\n";
                break;
            case L'\t':
                out += attribute ? L"&#x9;" : L"\t";
                break;
            default:
                out += c;
                break;
        }
    }
}

void declare(std::wstring& out, const std::wstring& prefix, const std::wstring& uri) {
    out += prefix.empty() ? L" xmlns=\"" : L" xmlns:" + prefix + L"=\"";
    escape(out, uri, true);
    out += L'"';
}

void write(std::wstring& out, const NodeBase* node, Scope& scope);

void writeElement(std::wstring& out, const NodeBase* e, Scope& scope) {
    const std::size_t mark = scope.mark();
    std::vector<std::wstring> declared;  // prefixes declared on this element
    out += L'<' + e->qualifiedName();
    auto bindIfNeeded = [&](const std::wstring& prefix, const std::wstring& uri) {
        if (prefix == L"xml" || prefix == L"xmlns")
            return;
        for (const auto& d : declared)
            if (d == prefix)
                return;
        const std::wstring* current = scope.lookup(prefix);
        if (current && *current == uri)
            return;
        if (!current && uri.empty())
            return;
        declare(out, prefix, uri);
        declared.push_back(prefix);
        scope.bind(prefix, uri);
    };
    bindIfNeeded(e->prefix, e->uri);
    for (const NodeBase* a : e->attributes) {
        if (!a->isNamespaceDeclaration())
            continue;
        bindIfNeeded(a->prefix.empty() ? std::wstring() : a->localName.str(), a->value);
    }
    for (const NodeBase* a : e->attributes) {
        if (a->isNamespaceDeclaration())
            continue;
        if (!a->prefix.empty())
            bindIfNeeded(a->prefix, a->uri);
        out += L' ' + a->qualifiedName() + L"=\"";
        escape(out, a->value, true);
        out += L'"';
    }
    if (e->children.empty()) {
        out += L"/>";
    } else {
        out += L'>';
        for (const NodeBase* c : e->children)
            write(out, c, scope);
        out += L"</" + e->qualifiedName() + L'>';
    }
    scope.restore(mark);
}

void write(std::wstring& out, const NodeBase* node, Scope& scope) {
    switch (node->type) {
        case NODE_ELEMENT:
            writeElement(out, node, scope);
            break;
        case NODE_TEXT:
            escape(out, node->value, false);
            break;
        case NODE_CDATA_SECTION: {
            out += L"<![CDATA[";
            std::wstring text = node->value;
            for (std::size_t at = 0; (at = text.find(L"]]>", at)) != std::wstring::npos; at += 15)
                text.replace(at, 3, L"]]]]><![CDATA[>");
            out += text + L"]]>";
            break;
        }
        case NODE_COMMENT:
            out += L"<!--" + node->value + L"-->";
            break;
        case NODE_PROCESSING_INSTRUCTION:
            out += L"<?" + node->localName.str() +
                   (node->value.empty() ? L"" : L" " + node->value) + L"?>";
            break;
        case NODE_ATTRIBUTE:
            out += node->qualifiedName() + L"=\"";
            escape(out, node->value, true);
            out += L'"';
            break;
        case NODE_DOCUMENT:
            for (const NodeBase* c : node->children) {
                write(out, c, scope);
                out += L"\r\n";
            }
            break;
        default:
            break;
    }
}

// The encoding named by the document's declaration, or empty.
std::wstring declaredEncoding(const NodeBase* document) {
    for (const NodeBase* c : document->children) {
        if (c->type != NODE_PROCESSING_INSTRUCTION || c->localName.str() != L"xml")
            continue;
        const auto at = c->value.find(L"encoding");
        if (at == std::wstring::npos)
            return std::wstring();
        const auto open = c->value.find_first_of(L"\"'", at);
        if (open == std::wstring::npos)
            return std::wstring();
        const auto close = c->value.find(c->value[open], open + 1);
        if (close == std::wstring::npos)
            return std::wstring();
        return c->value.substr(open + 1, close - open - 1);
    }
    return std::wstring();
}

bool sameName(const std::wstring& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (qv::toLowerChar(a[i]) != static_cast<wchar_t>(b[i]))
            return false;
    return i == a.size() && !b[i];
}

// The text in a single-byte encoding; characters it lacks become character references.
template <class ToByte>
std::string singleByte(const std::wstring& text, ToByte toByte) {
    std::string bytes;
    for (wchar_t c : text) {
        const int b = toByte(c);
        if (b >= 0) {
            bytes += static_cast<char>(b);
        } else {
            bytes += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
        }
    }
    return bytes;
}

bool encode(const std::wstring& text, const std::wstring& encoding, std::string& bytes) {
    if (encoding.empty() || sameName(encoding, "utf-8")) {
        bytes = qv::wideToUtf8(text);
    } else if (sameName(encoding, "utf-16") || sameName(encoding, "utf-16le")) {
        bytes = "\xFF\xFE";
        for (wchar_t c : text) {
            auto unit = [&](unsigned u) {
                bytes += static_cast<char>(u & 0xFF);
                bytes += static_cast<char>(u >> 8);
            };
            const auto u = static_cast<unsigned long>(c);
            if (u >= 0x10000) {
                unit(0xD800 + static_cast<unsigned>((u - 0x10000) >> 10));
                unit(0xDC00 + static_cast<unsigned>((u - 0x10000) & 0x3FF));
            } else {
                unit(static_cast<unsigned>(u));
            }
        }
    } else if (sameName(encoding, "windows-1252")) {
        bytes = singleByte(text, qv::wideCharToAnsiByte);
    } else if (sameName(encoding, "iso-8859-1") || sameName(encoding, "latin1")) {
        bytes = singleByte(text, [](wchar_t c) { return c <= 0xFF ? static_cast<int>(c) : -1; });
    } else if (sameName(encoding, "us-ascii") || sameName(encoding, "ascii")) {
        bytes = singleByte(text, [](wchar_t c) { return c <= 0x7F ? static_cast<int>(c) : -1; });
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::wstring serialise(const NodeBase* node) {
    std::wstring out;
    Scope scope;
    write(out, node, scope);
    return out;
}

HRESULT DocumentImpl::write(const std::string& path, std::wstring& description) const {
    std::string bytes;
    const std::wstring encoding = declaredEncoding(this);
    if (!encode(serialise(this), encoding, bytes)) {
        description = L"System does not support the specified encoding (" + encoding + L").";
        return E_FAIL;
    }
    struct stat fileStat, st;
    const bool exists = ::stat(path.c_str(), &fileStat) == 0;
    // A pipe or a device is not replaced by a file, nor written (it could block).
    if (exists && (!S_ISREG(fileStat.st_mode) || ::access(path.c_str(), W_OK) != 0))
        return E_ACCESSDENIED;
    const auto slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return HRESULT_FROM_WIN32(3);

    // Write a new file beside the old one and put it in its place, so that a failure leaves
    // the old file as it was.
    std::string temporary = path + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    bool inPlace = false;
    if (fd < 0) {
        if (!exists)
            return fileErrorOf(errno, path);
        // The folder refuses new files but the file itself may be written.
        fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
        if (fd < 0)
            return fileErrorOf(errno, path);
        inPlace = true;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    const int error = errno;
    if (!inPlace) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, exists ? (fileStat.st_mode & 07777) : (0666 & ~mask));
    }
    const bool closed = ::close(fd) == 0;
    if (written < bytes.size() || !closed) {
        if (!inPlace)
            ::unlink(temporary.c_str());
        description = L"The file could not be written.";
        return error == ENOSPC ? HRESULT_FROM_WIN32(112) : E_FAIL;
    }
    if (!inPlace && ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return fileErrorOf(renameError, path);
    }
    return S_OK;
}

}  // namespace qv::msxml
