#include "host/dxf/ReadContext.h"

#include <cwchar>
#include <set>

#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/TagWriter.h"
#include "host/dxf/TextDecoding.h"
#include "win32/CodePage.h"

namespace qv::dxf {

using qv::host::ObjectAccess;

std::wstring foldedName(std::wstring_view name) {
    std::wstring folded(name);
    for (wchar_t& c : folded) {
        c = qv::toUpperChar(c);
    }
    return folded;
}

ReadContext::ReadContext(AcDbDatabase& database, AuditReport& report, FileData& data)
    : m_database(database), m_report(report), m_data(data) {}

void ReadContext::beginRecord(std::string_view type, std::uint32_t line) {
    m_type = type;
    m_line = line;
    m_extras = ObjectExtras();
    paperSpace = false;
}

const std::wstring& ReadContext::textBuffer(std::string_view utf8) {
    bool ascii = true;
    for (const char c : utf8) {
        if (c == '^' || static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        m_text.assign(utf8.begin(), utf8.end());
    } else {
        m_text = text(utf8);
    }
    return m_text;
}

std::wstring ReadContext::text(std::string_view utf8) const {
    bool ascii = true;
    for (const char c : utf8) {
        if (c == '^' || static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {  // most texts: each byte is its character
        return std::wstring(utf8.begin(), utf8.end());
    }
    if (utf8.find('^') != std::string_view::npos) {
        return qv::utf8ToWide(decodeCaret(utf8));
    }
    return qv::utf8ToWide(utf8);
}

void ReadContext::refused(const Field& field, const FieldValue& value) {
    std::string shown;
    switch (field.kind) {
        case FieldKind::Real:
        case FieldKind::Angle:
            appendDouble(shown, value.xyz[0]);
            break;
        case FieldKind::Integer:
        case FieldKind::Bit:
            appendInteger(shown, value.integer);
            break;
        case FieldKind::Text:
            shown += '\'';
            shown += value.text;
            shown += '\'';
            break;
        case FieldKind::Point:
        case FieldKind::Vector:
            for (int i = 0; i < 3; ++i) {
                shown += i == 0 ? "(" : ", ";
                appendDouble(shown, value.xyz[i]);
            }
            shown += ")";
            break;
    }
    m_report.add(Fix::RefusedValue, value.line ? value.line : m_line,
                 "value " + shown + " of group code " + std::to_string(field.code) + " of " +
                     std::string(m_type) + " is not valid; the default was kept");
}

bool ReadContext::nameObject(NameTable table, const std::wstring& name, AcDbObject* object) {
    NameMap& map = m_names[static_cast<int>(table)];
    const auto [at, added] = map.folded.emplace(foldedName(name), object);
    return added || at->second == object;
}

AcDbObject* ReadContext::findName(NameTable table, std::string_view utf8Name) {
    NameMap& map = m_names[static_cast<int>(table)];
    for (const auto& [name, object] : map.recent) {
        if (object != nullptr && name == utf8Name) {
            return object;
        }
    }
    const auto cached = map.exact.find(utf8Name);
    if (cached != map.exact.end()) {
        map.recent[map.next++ % std::size(map.recent)] = {cached->first, cached->second};
        return cached->second;
    }
    const auto found = map.folded.find(foldedName(text(utf8Name)));
    if (found == map.folded.end()) {
        return nullptr;
    }
    map.exact.emplace(std::string(utf8Name), found->second);
    return found->second;
}

void ReadContext::applyTo(AcDbObject& object, ApplyRef apply, AcDbObjectId target,
                          const RefArgs& args) {
    if (object.objectId().isNull()) {
        apply(object, target, args);
    } else {
        ObjectAccess::changeOwned(object, [&] { apply(object, target, args); });
    }
}

void ReadContext::referByName(AcDbObject& from, NameTable table, std::string_view name,
                              ApplyRef apply) {
    if (AcDbObject* target = findName(table, name)) {
        const AcDbObjectId id = target->objectId();
        if (!id.isNull()) {
            applyTo(from, apply, id);
            return;
        }
    }
    m_nameRefs.push_back({&from, table, std::string(name), apply, m_line});
}

void ReadContext::referByHandle(AcDbObject& from, std::string_view handle, ApplyRef apply,
                                const char* what, RefArgs args, Fix fix) {
    std::uint64_t value = 0;
    if (!parseHandle(handle, value) || value == 0) {
        if (!trimBlanks(handle).empty() && trimBlanks(handle) != "0") {
            m_report.add(fix, m_line,
                         "the " + std::string(what) + " '" + std::string(handle) + "' of " +
                             std::string(m_type) + " is no handle; it was left out");
        }
        return;
    }
    m_handleRefs.push_back({&from, value, apply, m_line, what, std::move(args), fix});
}

void ReadContext::resolve(MissingName missing) {
    for (const NameRef& ref : m_nameRefs) {
        AcDbObject* target = findName(ref.table, ref.name);
        if (target == nullptr) {
            target = missing(*this, ref.table, text(ref.name), ref.line);
        }
        if (target != nullptr && !target->objectId().isNull()) {
            applyTo(*ref.from, ref.apply, target->objectId());
        }
    }
    m_nameRefs.clear();
    for (const HandleRef& ref : m_handleRefs) {
        AcDbObjectId id;
        if (m_database.getAcDbObjectId(id, false, AcDbHandle(ref.handle)) != Acad::eOk) {
            m_report.add(ref.fix, ref.line,
                         "the " + std::string(ref.what) + " " + handleText(ref.handle) +
                             " names no object; the reference was left out");
            continue;
        }
        applyTo(*ref.from, ref.apply, id, ref.args);
    }
    m_handleRefs.clear();
}

void ReadContext::checkLayerName(AcDbObject* layer, const std::wstring& name, std::uint32_t line) {
    const std::wstring folded = foldedName(name);
    const bool hidden = folded.starts_with(L"*ADSK_") || folded.starts_with(L"*ACMAP") ||
                        folded.starts_with(L"*TEMPORARY");
    if (!name.empty() && !hidden && !qv::host::isValidSymbolName(name.c_str(), false)) {
        m_invalidLayers.push_back({layer, line});
    }
}

bool ReadContext::repairLayerNames() {
    if (m_invalidLayers.empty()) {
        return false;
    }
    std::set<std::wstring> taken;
    for (const auto& [folded, object] : m_names[static_cast<int>(NameTable::Layer)].folded) {
        if (const auto* layer = AcDbLayerTableRecord::cast(object); layer != nullptr) {
            taken.insert(foldedName(layer->qvName()));
        }
    }
    for (const auto& [object, line] : m_invalidLayers) {
        auto* layer = AcDbLayerTableRecord::cast(object);
        if (layer == nullptr || layer->isErased()) {
            continue;
        }
        const std::wstring before = layer->qvName();
        std::wstring base = decodeDxfEscapes(before).substr(0, 240);
        for (wchar_t& c : base) {
            if (c < 32 || std::wcschr(L"<>/\\\":;?*|,=`", c) != nullptr) {
                c = L'_';
            }
        }
        std::wstring name = base;
        for (int n = 1; taken.count(foldedName(name)) != 0; ++n) {
            name = base + L"$" + std::to_wstring(n);
        }
        taken.erase(foldedName(before));
        taken.insert(foldedName(name));
        ObjectAccess::changeOwned(*layer, [&] { layer->qvSetName(name); });
        m_report.add(Fix::InvalidName, line,
                     "layer '" + wideToUtf8(before) +
                         "' has characters a layer name may not hold; it was renamed '" +
                         wideToUtf8(name) + "'");
    }
    m_invalidLayers.clear();
    return true;
}

}  // namespace qv::dxf
