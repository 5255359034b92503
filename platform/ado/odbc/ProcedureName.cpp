#include "ado/odbc/ProcedureName.h"

#include <optional>
#include <vector>

#include "ado/odbc/Error.h"

namespace qv::odbc {
namespace {

struct Part {
    std::wstring text;  // without brackets
    bool bracketed = false;
};

bool isIdentifierStart(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L'@' ||
           c == L'#';
}

bool isIdentifierChar(wchar_t c) {
    return isIdentifierStart(c) || (c >= L'0' && c <= L'9') || c == L'$';
}

bool isPlainIdentifier(const std::wstring& text) {
    if (text.empty() || !isIdentifierStart(text[0])) {
        return false;
    }
    for (wchar_t c : text) {
        if (!isIdentifierChar(c)) {
            return false;
        }
    }
    return true;
}

// Plain PostgreSQL identifiers are narrower than SQL Server's: no "@", "#" or "$" at the start.
bool isPlainPostgresIdentifier(const std::wstring& text) {
    if (text.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_';
        bool digit = c >= L'0' && c <= L'9';
        if (!(letter || (i > 0 && digit))) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<Part>> parse(std::wstring_view name) {
    std::vector<Part> parts(1);
    std::size_t i = 0;
    while (i < name.size()) {
        wchar_t c = name[i];
        if (c == L'.') {
            parts.emplace_back();
            ++i;
        } else if (c == L'[') {
            Part& part = parts.back();
            if (!part.text.empty() || part.bracketed) {
                return std::nullopt;
            }
            part.bracketed = true;
            ++i;
            bool closed = false;
            while (i < name.size()) {
                if (name[i] == L']') {
                    if (i + 1 < name.size() && name[i + 1] == L']') {
                        part.text += L']';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                part.text += name[i++];
            }
            if (!closed || part.text.empty()) {
                return std::nullopt;
            }
        } else {
            Part& part = parts.back();
            std::size_t start = i;
            while (i < name.size() && name[i] != L'.' && name[i] != L'[') {
                ++i;
            }
            if (part.bracketed || !part.text.empty()) {
                return std::nullopt;
            }
            part.text.assign(name.substr(start, i - start));
            if (!isPlainIdentifier(part.text)) {
                return std::nullopt;
            }
        }
    }
    if (parts.size() > 3 || parts.back().text.empty()) {
        return std::nullopt;
    }
    return parts;
}

// `text` between `open` and `close`, a `close` inside it doubled.
std::wstring enclosed(const std::wstring& text, wchar_t open, wchar_t close) {
    std::wstring out(1, open);
    for (wchar_t c : text) {
        out += c;
        if (c == close) {
            out += close;
        }
    }
    return out + close;
}

std::wstring sqlServerForm(const Part& part) {
    return part.bracketed ? enclosed(part.text, L'[', L']') : part.text;
}

std::wstring postgresForm(const Part& part) {
    return isPlainPostgresIdentifier(part.text) ? part.text : enclosed(part.text, L'"', L'"');
}

bool isDefaultSchema(const std::wstring& text) {
    return text.empty() || (text.size() == 3 && (text[0] | 0x20) == L'd' &&
                            (text[1] | 0x20) == L'b' && (text[2] | 0x20) == L'o');
}

}  // namespace

std::wstring callableName(std::wstring_view name, Dialect dialect) {
    std::optional<std::vector<Part>> parts = parse(name);
    if (!parts) {
        throw Error(ErrorKind::Call, L"42000",
                    L"The procedure name \"" + std::wstring(name) + L"\" is not a valid name.");
    }
    if (dialect != Dialect::PostgreSql) {
        std::wstring out;
        for (std::size_t i = 0; i < parts->size(); ++i) {
            if (i > 0) {
                out += L'.';
            }
            out += sqlServerForm((*parts)[i]);
        }
        return out;
    }
    const Part& procedure = parts->back();
    const Part* schema = nullptr;
    if (parts->size() == 3) {
        schema = isDefaultSchema((*parts)[1].text) ? &(*parts)[0] : &(*parts)[1];
    } else if (parts->size() == 2 && !isDefaultSchema((*parts)[0].text)) {
        schema = &(*parts)[0];
    }
    if (schema != nullptr && schema->text.empty()) {
        schema = nullptr;
    }
    return schema ? postgresForm(*schema) + L"." + postgresForm(procedure)
                  : postgresForm(procedure);
}

}  // namespace qv::odbc
