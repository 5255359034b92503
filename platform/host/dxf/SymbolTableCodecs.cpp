// Codecs of the table entries the host models (layers, linetypes, text styles, registered
// applications, block records) and of the tables' own records.
#include <vector>

#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/Codec.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/SymbolTableCodecs.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;

AcDbSymbolTableRecord& recordOf(AcDbObject& o) {
    return static_cast<AcDbSymbolTableRecord&>(o);
}
const AcDbSymbolTableRecord& recordOf(const AcDbObject& o) {
    return static_cast<const AcDbSymbolTableRecord&>(o);
}

// Names are kept exactly as read (no caret forms: a name has no control characters).
template <NameTable Table>
bool readName(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    std::wstring name = qv::utf8ToWide(v.text);
    if (!name.empty() && !c.nameObject(Table, name, &o)) {
        // References find the first entry of a name; this one is renamed to be found at all.
        std::wstring renamed;
        for (int n = 1; renamed.empty() || !c.nameObject(Table, renamed, &o); ++n) {
            renamed = name + L"$" + std::to_wstring(n);
        }
        c.warn(Fix::DuplicateName, v.line,
               std::string(c.recordType()) + " '" + std::string(v.text) +
                   "' has the name of an entry before it; it was renamed '" +
                   qv::wideToUtf8(renamed) + "'");
        name = renamed;
    }
    if (Table == NameTable::Layer) {
        c.checkLayerName(&o, name, v.line);
    }
    recordOf(o).qvSetName(name);
    return true;
}
void writeName(const AcDbObject& o, const Field&, WriteContext& c) {
    c.out().raw(2, qv::wideToUtf8(recordOf(o).qvName()));
}

// ---- layers ----

AcDbLayerTableRecord& layerOf(AcDbObject& o) {
    return static_cast<AcDbLayerTableRecord&>(o);
}
const AcDbLayerTableRecord& layerOf(const AcDbObject& o) {
    return static_cast<const AcDbLayerTableRecord&>(o);
}

// A negative colour number is a layer that is off.
bool readLayerColor(AcDbObject& o, const FieldValue& v, ReadContext&) {
    AcDbLayerTableRecord& layer = layerOf(o);
    layer.setIsOff(v.integer < 0);
    AcCmColor color;
    const std::int64_t index = v.integer < 0 ? -v.integer : v.integer;
    if (index < 1 || index > 255) {
        return false;
    }
    color.setColorIndex(static_cast<Adesk::UInt16>(index));
    return layer.setColor(color) == Acad::eOk;
}
void writeLayerColor(const AcDbObject& o, const Field&, WriteContext& c) {
    const AcDbLayerTableRecord& layer = layerOf(o);
    const int index = layer.color().colorIndex();
    c.out().integer(62, layer.isOff() ? -index : index);
}

bool readLayerTrueColor(AcDbObject& o, const FieldValue& v, ReadContext&) {
    if (v.integer < 0 || v.integer > 0xFFFFFF) {
        return false;
    }
    AcCmColor color;
    color.setRGB(static_cast<Adesk::UInt8>(v.integer >> 16),
                 static_cast<Adesk::UInt8>(v.integer >> 8), static_cast<Adesk::UInt8>(v.integer));
    return layerOf(o).setColor(color) == Acad::eOk;
}
void writeLayerTrueColor(const AcDbObject& o, const Field&, WriteContext& c) {
    const AcCmColor color = layerOf(o).color();
    if (color.isByColor()) {
        c.out().integer(420, color.red() << 16 | color.green() << 8 | color.blue());
    }
}

bool readLayerLinetype(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    const std::string_view name = trimBlanks(v.text).empty() ? "Continuous" : v.text;
    c.referByName(o, NameTable::Linetype, name, [](AcDbObject& l, AcDbObjectId id, const RefArgs&) {
        layerOf(l).setLinetypeObjectId(id);
    });
    return true;
}
void writeLayerLinetype(const AcDbObject& o, const Field&, WriteContext& c) {
    const std::string& name = c.nameOf(layerOf(o).linetypeObjectId());
    if (!name.empty()) {
        c.out().raw(6, name);
    }
}

using Layer = AcDbLayerTableRecord;
constexpr Field kLayerFields[] = {
    custom(2, FieldKind::Text, readName<NameTable::Layer>, writeName),
    bit<Layer, &Layer::isFrozen, &Layer::setIsFrozen>(70, 1),
    bit<Layer, &Layer::isLocked, &Layer::setIsLocked>(70, 4),
    custom(62, FieldKind::Integer, readLayerColor, writeLayerColor),
    custom(420, FieldKind::Integer, readLayerTrueColor, writeLayerTrueColor),
    custom(6, FieldKind::Text, readLayerLinetype, writeLayerLinetype),
    integer<Layer, &Layer::isPlottable, &Layer::setIsPlottable>(290, 1),
    integer<Layer, &Layer::lineWeight, &Layer::setLineWeight>(370, -3, true),
};

// ---- linetypes ----

using Linetype = AcDbLinetypeTableRecord;

bool readNothing(AcDbObject&, const FieldValue&, ReadContext&) {
    return true;  // a value the writer gives from the object itself
}
void writeAlignment(const AcDbObject&, const Field&, WriteContext& c) {
    c.out().integer(72, 65);  // 'A', the only alignment there is
}
void writeDashCount(const AcDbObject& o, const Field&, WriteContext& c) {
    c.out().integer(73, static_cast<const Linetype&>(o).numDashes());
}

constexpr Field kLinetypeFields[] = {
    custom(2, FieldKind::Text, readName<NameTable::Linetype>, writeName),
    text<Linetype, &Linetype::comments, &Linetype::setComments>(3, true),
    custom(72, FieldKind::Integer, readNothing, writeAlignment),
    custom(73, FieldKind::Integer, readNothing, writeDashCount),
    real<Linetype, &Linetype::patternLength, &Linetype::setPatternLength>(40, 0.0, true),
};

// Each dash: 49 its length, then the codes of a shape or text in it (kept with the dash).
bool isDashDetail(int code) {
    return code == 74 || code == 75 || code == 340 || code == 46 || code == 50 || code == 44 ||
           code == 45 || code == 9;
}

void readLinetype(AcDbObject& o, std::span<const TagView> tags, ReadContext& c, int ordinal) {
    FieldReader fields(kLinetypeFields, c, ordinal);
    std::vector<double> dashes;
    for (const TagView& tag : tags) {
        double length = 0.0;
        if (tag.code == 49 && parseDouble(tag.value, length)) {
            dashes.push_back(length);
        } else if (!dashes.empty() && isDashDetail(tag.code)) {
            fields.leftover(tag, static_cast<int>(dashes.size() - 1));
        } else {
            fields.read(tag);
        }
    }
    fields.apply(o);
    auto& linetype = static_cast<Linetype&>(o);
    if (linetype.setNumDashes(static_cast<int>(dashes.size())) != Acad::eOk) {
        c.warn(Fix::RefusedValue, c.recordLine(),
               "LTYPE has " + std::to_string(dashes.size()) +
                   " dashes, more than the host keeps; the first 12 were kept");
        linetype.setNumDashes(12);
    }
    for (int i = 0; i < linetype.numDashes(); ++i) {
        linetype.setDashLengthAt(i, dashes[static_cast<size_t>(i)]);
    }
}

// The leftovers of the linetype come before its dashes, where a reader takes them for the
// linetype's and not a dash's.
void writeLinetype(const AcDbObject& o, WriteContext& c, int ordinal) {
    const auto& linetype = static_cast<const Linetype&>(o);
    writeFields(o, kLinetypeFields, c, ordinal);
    c.writeLeftovers({ordinal, -1});
    for (int i = 0; i < linetype.numDashes(); ++i) {
        c.out().real(49, linetype.dashLengthAt(i));
        if (c.extras() == nullptr || c.extras()->find({ordinal, i}, 74) == std::string_view::npos) {
            c.out().integer(74, 0);
        }
        c.writeLeftovers({ordinal, i});
    }
}

// ---- text styles ----

using Style = AcDbTextStyleTableRecord;

template <auto Get, auto Set>
constexpr Field styleFile(int code) {
    return custom(
        code, FieldKind::Text,
        [](AcDbObject& o, const FieldValue& v, ReadContext& c) {
            return (static_cast<Style&>(o).*Set)(c.text(v.text).c_str()) == Acad::eOk;
        },
        [](const AcDbObject& o, const Field& f, WriteContext& c) {
            const ACHAR* name = L"";
            (static_cast<const Style&>(o).*Get)(name);
            c.text(f.code, name != nullptr ? name : L"");
        });
}

constexpr Field kStyleFields[] = {
    custom(2, FieldKind::Text, readName<NameTable::TextStyle>, writeName),
    real<Style, &Style::textSize, &Style::setTextSize>(40, 0.0, true),
    real<Style, &Style::xScale, &Style::setXScale>(41, 1.0, true),
    angle<Style, &Style::obliquingAngle, &Style::setObliquingAngle>(50, true),
    real<Style, &Style::priorSize, &Style::setPriorSize>(42, 0.0, true),
    styleFile<&Style::fileName, &Style::setFileName>(3),
    styleFile<&Style::bigFontFileName, &Style::setBigFontFileName>(4),
};

// ---- registered applications and block records ----

constexpr Field kRegAppFields[] = {
    custom(2, FieldKind::Text, readName<NameTable::RegApp>, writeName),
};

bool readLayout(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    c.referByHandle(
        o, v.text,
        [](AcDbObject& b, AcDbObjectId id, const RefArgs&) {
            static_cast<AcDbBlockTableRecord&>(b).setLayoutId(id);
        },
        "layout");
    return true;
}
void writeLayout(const AcDbObject& o, const Field&, WriteContext& c) {
    c.reference(340, static_cast<const AcDbBlockTableRecord&>(o).getLayoutId());
}

constexpr Field kBlockRecordFields[] = {
    custom(2, FieldKind::Text, readName<NameTable::Block>, writeName),
    custom(340, FieldKind::Text, readLayout, writeLayout),
};

// ---- the tables' own records ----

bool readCount(AcDbObject&, const FieldValue&, ReadContext&) {
    return true;  // the entries count themselves
}
void writeCount(const AcDbObject& o, const Field&, WriteContext& c) {
    std::int64_t count = 0;
    for (const AcDbObjectId& id : static_cast<const AcDbSymbolTable&>(o).qvRecords()) {
        count += c.handleOf(id) != 0 ? 1 : 0;
    }
    c.out().integer(70, count);
}

constexpr Field kTableFields[] = {custom(70, FieldKind::Integer, readCount, writeCount)};

const SubclassDef kLayer[] = {{"AcDbSymbolTableRecord", {}},
                              {"AcDbLayerTableRecord", kLayerFields}};
const SubclassDef kLinetype[] = {
    {"AcDbSymbolTableRecord", {}},
    {"AcDbLinetypeTableRecord", kLinetypeFields, readLinetype, writeLinetype}};
const SubclassDef kStyle[] = {{"AcDbSymbolTableRecord", {}},
                              {"AcDbTextStyleTableRecord", kStyleFields}};
const SubclassDef kRegApp[] = {{"AcDbSymbolTableRecord", {}},
                               {"AcDbRegAppTableRecord", kRegAppFields}};
const SubclassDef kBlockRecord[] = {{"AcDbSymbolTableRecord", {}},
                                    {"AcDbBlockTableRecord", kBlockRecordFields}};
const SubclassDef kTable[] = {{"AcDbSymbolTable", kTableFields}};

const CodecOf<AcDbLayerTableRecord> kLayerCodec("LAYER", kLayer);
const CodecOf<AcDbLinetypeTableRecord> kLinetypeCodec("LTYPE", kLinetype);
const CodecOf<AcDbTextStyleTableRecord> kStyleCodec("STYLE", kStyle);
const CodecOf<AcDbRegAppTableRecord> kRegAppCodec("APPID", kRegApp);
const CodecOf<AcDbBlockTableRecord> kBlockRecordCodec("BLOCK_RECORD", kBlockRecord);

// The codec of a table's own record; `Table` is the host's class of that table.
template <class Table>
class TableCodec : public CodecOf<Table> {
  public:
    TableCodec() : CodecOf<Table>("TABLE", kTable) {}
};

const TableCodec<AcDbLayerTable> kLayerTableCodec;
const TableCodec<AcDbLinetypeTable> kLinetypeTableCodec;
const TableCodec<AcDbTextStyleTable> kStyleTableCodec;
const TableCodec<AcDbRegAppTable> kRegAppTableCodec;
const TableCodec<AcDbBlockTable> kBlockTableCodec;

struct TableKind {
    std::string_view name;
    const Codec* table;
    const Codec* record;
};

const TableKind kTables[] = {
    {"LTYPE", &kLinetypeTableCodec, &kLinetypeCodec},
    {"LAYER", &kLayerTableCodec, &kLayerCodec},
    {"STYLE", &kStyleTableCodec, &kStyleCodec},
    {"APPID", &kRegAppTableCodec, &kRegAppCodec},
    {"BLOCK_RECORD", &kBlockTableCodec, &kBlockRecordCodec},
};

}  // namespace

std::span<const Codec* const> symbolTableCodecs() {
    static const Codec* const codecs[] = {&kLayerCodec, &kLinetypeCodec, &kStyleCodec,
                                          &kRegAppCodec, &kBlockRecordCodec};
    return codecs;
}

const Codec* tableCodec(std::string_view name) {
    for (const TableKind& kind : kTables) {
        if (kind.name == name) {
            return kind.table;
        }
    }
    return nullptr;
}

const Codec* tableCodecOf(const AcDbObject& table) {
    for (const TableKind& kind : kTables) {
        if (table.isA() == kind.table->hostClass()) {
            return kind.table;
        }
    }
    return nullptr;
}

std::string_view tableName(const AcDbObject& table) {
    for (const TableKind& kind : kTables) {
        if (table.isA() == kind.table->hostClass()) {
            return kind.name;
        }
    }
    return {};
}

}  // namespace qv::dxf
