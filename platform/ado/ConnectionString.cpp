#include "ado/ConnectionString.h"

#include <cstdlib>
#include <cwctype>
#include <initializer_list>
#include <set>

#include "win32/CodePage.h"

namespace qv::ado {
namespace {

std::wstring trimmed(std::wstring_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::iswspace(text[begin])) {
        ++begin;
    }
    while (end > begin && std::iswspace(text[end - 1])) {
        --end;
    }
    return std::wstring(text.substr(begin, end - begin));
}

std::wstring lowered(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return out;
}

bool isOneOf(const std::wstring& key, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names) {
        if (key == name) {
            return true;
        }
    }
    return false;
}

[[noreturn]] void formatError(std::size_t index) {
    throw ConnectionStringError(
        ConnectionStringError::Kind::Format,
        L"Format of the initialization string is not \"key=value\" pairs separated by \";\", "
        L"starting at index " +
            std::to_wstring(index) + L".");
}

bool isSqlServerProvider(const std::wstring& provider) {
    std::wstring p = lowered(provider);
    std::size_t dot = p.find(L'.');
    if (dot != std::wstring::npos) {
        p.resize(dot);  // "SQLOLEDB.1"
    }
    return p == L"sqloledb" || p.starts_with(L"sqlncli") || p.starts_with(L"msoledbsql");
}

void requirePlain(const wchar_t* what, const std::wstring& value) {
    for (wchar_t c : value) {
        if (c == L';' || c == L'{' || c == L'}' || c < 0x20) {
            throw ConnectionStringError(
                ConnectionStringError::Kind::Value,
                std::wstring(L"The ") + what +
                    L" holds a character that cannot be passed to the ODBC driver (\";\", \"{\", "
                    L"\"}\" or a control character).");
        }
    }
}

}  // namespace

ConnectionStringError::ConnectionStringError(Kind kind, std::wstring message)
    : m_kind(kind), m_message(std::move(message)), m_what(wideToUtf8(m_message)) {}

ConnectionSettings parseConnectionString(std::wstring_view text) {
    if (text.find(L'\0') != std::wstring_view::npos) {
        throw ConnectionStringError(
            ConnectionStringError::Kind::Value,
            L"The connection string holds a NUL character, which it cannot carry to the driver.");
    }
    ConnectionSettings settings;
    std::set<std::wstring> seen;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t pairStart = i;
        std::size_t equals = text.find(L'=', i);
        std::size_t semicolon = text.find(L';', i);
        if (semicolon != std::wstring_view::npos &&
            (equals == std::wstring_view::npos || semicolon < equals)) {
            if (!trimmed(text.substr(i, semicolon - i)).empty()) {
                formatError(pairStart);  // a pair without "="
            }
            i = semicolon + 1;
            continue;
        }
        if (equals == std::wstring_view::npos) {
            if (!trimmed(text.substr(i)).empty()) {
                formatError(pairStart);
            }
            break;
        }
        std::wstring key = lowered(trimmed(text.substr(i, equals - i)));
        if (key.empty()) {
            formatError(pairStart);
        }
        i = equals + 1;
        while (i < text.size() && std::iswspace(text[i])) {
            ++i;
        }
        std::wstring value;
        if (i < text.size() && (text[i] == L'"' || text[i] == L'\'')) {
            wchar_t quote = text[i++];
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == quote) {
                    if (i + 1 < text.size() && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text[i++];
            }
            if (!closed) {
                formatError(pairStart);
            }
            while (i < text.size() && std::iswspace(text[i])) {
                ++i;
            }
            if (i < text.size() && text[i] != L';') {
                formatError(i);
            }
        } else {
            std::size_t end = text.find(L';', i);
            if (end == std::wstring_view::npos) {
                end = text.size();
            }
            value = trimmed(text.substr(i, end - i));
            i = end;
        }
        if (i < text.size()) {
            ++i;  // the ";"
        }

        std::wstring canonical = key;
        std::wstring* target = nullptr;
        if (key == L"provider") {
            target = &settings.provider;
        } else if (isOneOf(key,
                           {L"data source", L"server", L"address", L"addr", L"network address"})) {
            canonical = L"data source";
            target = &settings.dataSource;
        } else if (isOneOf(key, {L"initial catalog", L"database"})) {
            canonical = L"initial catalog";
            target = &settings.initialCatalog;
        } else if (isOneOf(key, {L"user id", L"uid", L"user"})) {
            canonical = L"user id";
            target = &settings.userId;
        } else if (isOneOf(key, {L"password", L"pwd"})) {
            canonical = L"password";
            target = &settings.password;
        } else if (isOneOf(key, {L"connect timeout", L"connection timeout"})) {
            canonical = L"connect timeout";
        }
        if (!seen.insert(canonical).second) {
            throw ConnectionStringError(
                ConnectionStringError::Kind::Format,
                L"The keyword \"" + key + L"\" is given more than once in the connection string.");
        }
        if (target != nullptr) {
            *target = value;
        } else if (canonical == L"connect timeout") {
            wchar_t* end = nullptr;
            long seconds = std::wcstol(value.c_str(), &end, 10);
            if (value.empty() || *end != L'\0' || seconds < 0 || seconds > 86400) {
                throw ConnectionStringError(
                    ConnectionStringError::Kind::Value,
                    L"The Connect Timeout \"" + value + L"\" is not a number of seconds.");
            }
            settings.connectTimeout = static_cast<int>(seconds);
        }
    }
    if (!settings.provider.empty() && !isSqlServerProvider(settings.provider)) {
        throw ConnectionStringError(ConnectionStringError::Kind::UnknownProvider,
                                    L"Provider cannot be found. It may not be properly installed.");
    }
    return settings;
}

DriverSettings DriverSettings::fromEnvironment() {
    DriverSettings settings;
    if (const char* driver = std::getenv("QV_ADO_ODBC_DRIVER"); driver && *driver) {
        settings.driver = utf8ToWide(driver);
    }
    if (const char* options = std::getenv("QV_ADO_ODBC_OPTIONS"); options && *options) {
        settings.options = utf8ToWide(options);
    }
    return settings;
}

std::wstring odbcConnectionString(const ConnectionSettings& settings,
                                  const DriverSettings& driver) {
    requirePlain(L"ODBC driver name", driver.driver);
    std::wstring host = settings.dataSource;
    if (lowered(host).starts_with(L"tcp:")) {
        host.erase(0, 4);
    }
    std::wstring port;
    if (std::size_t comma = host.rfind(L','); comma != std::wstring::npos) {
        port = trimmed(std::wstring_view(host).substr(comma + 1));
        host = trimmed(std::wstring_view(host).substr(0, comma));
        if (port.empty() || port.size() > 5 ||
            port.find_first_not_of(L"0123456789") != std::wstring::npos) {
            throw ConnectionStringError(
                ConnectionStringError::Kind::Value,
                L"The port in the Data Source \"" + settings.dataSource + L"\" is not a number.");
        }
    }
    requirePlain(L"Data Source", host);
    requirePlain(L"Initial Catalog", settings.initialCatalog);
    requirePlain(L"User Id", settings.userId);

    std::wstring out = L"Driver={" + driver.driver + L"};";
    if (!host.empty()) {
        out += L"Server=" + host + L";";
    }
    if (!port.empty()) {
        out += L"Port=" + port + L";";
    }
    if (!settings.initialCatalog.empty()) {
        out += L"Database=" + settings.initialCatalog + L";";
    }
    if (!settings.userId.empty()) {
        out += L"UID=" + settings.userId + L";";
    }
    if (!settings.userId.empty() || !settings.password.empty()) {
        out += L"PWD={";
        for (wchar_t c : settings.password) {
            out += c;
            if (c == L'}') {
                out += L'}';
            }
        }
        out += L"};";
    }
    if (!driver.options.empty()) {
        out += driver.options;
        if (out.back() != L';') {
            out += L';';
        }
    }
    return out;
}

}  // namespace qv::ado
