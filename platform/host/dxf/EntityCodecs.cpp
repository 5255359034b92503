// Codecs of the entities the host models with simple fields: the AcDbEntity part every entity
// has, lines, circles, texts, attribute definitions, attributes and block references.
#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbText.h"
#include "host/dxf/Codec.h"
#include "host/dxf/Numbers.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

AcDbEntity& entity(AcDbObject& o) {
    return static_cast<AcDbEntity&>(o);
}
const AcDbEntity& entity(const AcDbObject& o) {
    return static_cast<const AcDbEntity&>(o);
}

// ---- AcDbEntity ----

bool readPaperSpace(AcDbObject&, const FieldValue& v, ReadContext& c) {
    c.paperSpace = v.integer != 0;
    return true;
}
void writePaperSpace(const AcDbObject& o, const Field&, WriteContext& c) {
    if (c.isPaperSpaceBlock(o.ownerId())) {
        c.out().integer(67, 1);
    }
}

// An empty name means what a missing tag means: layer 0, linetype ByLayer, style Standard.
std::string_view nameOr(std::string_view name, std::string_view fallback) {
    return trimBlanks(name).empty() ? fallback : name;
}

bool readLayer(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    c.referByName(o, NameTable::Layer, nameOr(v.text, "0"),
                  [](AcDbObject& e, AcDbObjectId id, const RefArgs&) {
                      entity(e).qvSetIds(id, entity(e).linetypeId());
                  });
    return true;
}
void writeLayer(const AcDbObject& o, const Field&, WriteContext& c) {
    const std::string& name = c.nameOf(entity(o).layerId());
    c.out().raw(8, name.empty() ? std::string_view("0") : std::string_view(name));
}

bool readLinetype(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    c.referByName(o, NameTable::Linetype, nameOr(v.text, "ByLayer"),
                  [](AcDbObject& e, AcDbObjectId id, const RefArgs&) {
                      entity(e).qvSetIds(entity(e).layerId(), id);
                  });
    return true;
}
void writeLinetype(const AcDbObject& o, const Field&, WriteContext& c) {
    const AcDbObjectId linetype = entity(o).linetypeId();
    if (!linetype.isNull() && linetype != c.byLayerLinetype()) {
        c.out().raw(6, c.nameOf(linetype));
    }
}

bool readColor(AcDbObject& o, const FieldValue& v, ReadContext&) {
    AcCmColor color;
    if (v.integer < 0 || v.integer > 257 ||
        color.setColorIndex(static_cast<Adesk::UInt16>(v.integer)) != Acad::eOk) {
        return false;
    }
    return entity(o).setColor(color) == Acad::eOk;
}
void writeColor(const AcDbObject& o, const Field&, WriteContext& c) {
    const AcCmColor color = entity(o).color();
    if (!color.isByLayer()) {
        c.out().integer(62, color.colorIndex());
    }
}

bool readTrueColor(AcDbObject& o, const FieldValue& v, ReadContext&) {
    AcCmColor color;
    if (v.integer < 0 || v.integer > 0xFFFFFF) {
        return false;
    }
    color.setRGB(static_cast<Adesk::UInt8>(v.integer >> 16),
                 static_cast<Adesk::UInt8>(v.integer >> 8), static_cast<Adesk::UInt8>(v.integer));
    return entity(o).setColor(color) == Acad::eOk;
}
void writeTrueColor(const AcDbObject& o, const Field&, WriteContext& c) {
    const AcCmColor color = entity(o).color();
    if (color.isByColor()) {
        c.out().integer(420, color.red() << 16 | color.green() << 8 | color.blue());
    }
}

constexpr Field kEntityFields[] = {
    custom(67, FieldKind::Integer, readPaperSpace, writePaperSpace),
    custom(8, FieldKind::Text, readLayer, writeLayer),
    custom(6, FieldKind::Text, readLinetype, writeLinetype),
    custom(62, FieldKind::Integer, readColor, writeColor),
    custom(420, FieldKind::Integer, readTrueColor, writeTrueColor),
    integer<AcDbEntity, &AcDbEntity::lineWeight, &AcDbEntity::setLineWeight>(370, -1),
    real<AcDbEntity, &AcDbEntity::linetypeScale, &AcDbEntity::setLinetypeScale>(48, 1.0),
    integer<AcDbEntity, &AcDbEntity::visibility, &AcDbEntity::setVisibility>(60),
};

// ---- lines and circles ----

constexpr Field kLineFields[] = {
    real<AcDbLine, &AcDbLine::thickness, &AcDbLine::setThickness>(39),
    point<AcDbLine, &AcDbLine::startPoint, &AcDbLine::setStartPoint>(10),
    point<AcDbLine, &AcDbLine::endPoint, &AcDbLine::setEndPoint>(11),
    normal<AcDbLine, &AcDbLine::normal, &AcDbLine::setNormal>(210),
};

constexpr Field kCircleFields[] = {
    real<AcDbCircle, &AcDbCircle::thickness, &AcDbCircle::setThickness>(39),
    point<AcDbCircle, &AcDbCircle::center, &AcDbCircle::setCenter>(10),
    real<AcDbCircle, &AcDbCircle::radius, &AcDbCircle::setRadius>(40, 0.0, true),
    normal<AcDbCircle, &AcDbCircle::normal, &AcDbCircle::setNormal>(210),
};

// ---- texts ----

AcDbText& textOf(AcDbObject& o) {
    return static_cast<AcDbText&>(o);
}
const AcDbText& textOf(const AcDbObject& o) {
    return static_cast<const AcDbText&>(o);
}

bool readStyle(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    c.referByName(
        o, NameTable::TextStyle, nameOr(v.text, "Standard"),
        [](AcDbObject& t, AcDbObjectId id, const RefArgs&) { textOf(t).setTextStyle(id); });
    return true;
}
void writeStyle(const AcDbObject& o, const Field&, WriteContext& c) {
    const std::string& name = c.nameOf(textOf(o).textStyle());
    if (!name.empty()) {
        c.out().raw(7, name);
    }
}

bool readAlignment(AcDbObject& o, const FieldValue& v, ReadContext&) {
    return textOf(o).setAlignmentPoint(AcGePoint3d(v.xyz[0], v.xyz[1], v.xyz[2])) == Acad::eOk;
}
void writeAlignment(const AcDbObject& o, const Field& f, WriteContext& c) {
    const AcDbText& t = textOf(o);
    const AcGePoint3d p = t.alignmentPoint();
    if (!t.isDefaultAlignment() || p.x != 0.0 || p.y != 0.0 || p.z != 0.0) {
        c.out().point(f.code, p.x, p.y, p.z);
    }
}

#define QV_TEXT_FIELDS                                                                  \
    real<AcDbText, &AcDbText::thickness, &AcDbText::setThickness>(39),                  \
        point<AcDbText, &AcDbText::position, &AcDbText::setPosition>(10),               \
        real<AcDbText, &AcDbText::height, &AcDbText::setHeight>(40, 0.0, true),         \
        text<AcDbText, &AcDbText::textStringConst, &AcDbText::setTextString>(1, true),  \
        angle<AcDbText, &AcDbText::rotation, &AcDbText::setRotation>(50),               \
        real<AcDbText, &AcDbText::widthFactor, &AcDbText::setWidthFactor>(41, 1.0),     \
        angle<AcDbText, &AcDbText::oblique, &AcDbText::setOblique>(51),                 \
        custom(7, FieldKind::Text, readStyle, writeStyle),                              \
        integer<AcDbText, &AcDbText::horizontalMode, &AcDbText::setHorizontalMode>(72), \
        custom(11, FieldKind::Point, readAlignment, writeAlignment),                    \
        normal<AcDbText, &AcDbText::normal, &AcDbText::setNormal>(210)

constexpr Field kTextFields[] = {QV_TEXT_FIELDS};

constexpr Field kTextVerticalFields[] = {
    integer<AcDbText, &AcDbText::verticalMode, &AcDbText::setVerticalMode>(73),
};

using AttDef = AcDbAttributeDefinition;
constexpr Field kAttDefFields[] = {
    text<AttDef, &AttDef::promptConst, &AttDef::setPrompt>(3, true),
    text<AttDef, &AttDef::tagConst, &AttDef::setTag>(2, true),
    bit<AttDef, &AttDef::isInvisible, &AttDef::setInvisible>(70, 1),
    bit<AttDef, &AttDef::isConstant, &AttDef::setConstant>(70, 2),
    bit<AttDef, &AttDef::isVerifiable, &AttDef::setVerifiable>(70, 4),
    bit<AttDef, &AttDef::isPreset, &AttDef::setPreset>(70, 8),
    integer<AttDef, &AttDef::fieldLength, &AttDef::setFieldLength>(73),
    integer<AcDbText, &AcDbText::verticalMode, &AcDbText::setVerticalMode>(74),
};

constexpr Field kAttribFields[] = {
    text<AcDbAttribute, &AcDbAttribute::tagConst, &AcDbAttribute::setTag>(2, true),
    bit<AcDbAttribute, &AcDbAttribute::isInvisible, &AcDbAttribute::setInvisible>(70, 1),
    integer<AcDbAttribute, &AcDbAttribute::fieldLength, &AcDbAttribute::setFieldLength>(73),
    integer<AcDbText, &AcDbText::verticalMode, &AcDbText::setVerticalMode>(74),
};

// ---- block references ----

AcDbBlockReference& referenceOf(AcDbObject& o) {
    return static_cast<AcDbBlockReference&>(o);
}
const AcDbBlockReference& referenceOf(const AcDbObject& o) {
    return static_cast<const AcDbBlockReference&>(o);
}

bool readAttributesFollow(AcDbObject&, const FieldValue&, ReadContext&) {
    return true;  // the reader sees the ATTRIB records themselves
}
void writeAttributesFollow(const AcDbObject& o, const Field&, WriteContext& c) {
    for (const AcDbObjectId& id : referenceOf(o).qvAttributes()) {
        if (c.handleOf(id) != 0) {
            c.out().integer(66, 1);
            return;
        }
    }
}

bool readBlockName(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    if (trimBlanks(v.text).empty()) {
        c.warn(Fix::MissingReference, v.line, "a block reference names no block");
        return true;
    }
    c.referByName(o, NameTable::Block, v.text, [](AcDbObject& r, AcDbObjectId id, const RefArgs&) {
        referenceOf(r).setBlockTableRecord(id);
    });
    return true;
}
void writeBlockName(const AcDbObject& o, const Field&, WriteContext& c) {
    const std::string& name = c.nameOf(referenceOf(o).blockTableRecord());
    if (!name.empty()) {
        c.out().raw(2, name);
    }
}

template <int Axis>
bool readScale(AcDbObject& o, const FieldValue& v, ReadContext&) {
    AcGeScale3d scale = referenceOf(o).scaleFactors();
    (Axis == 0 ? scale.sx : Axis == 1 ? scale.sy : scale.sz) = v.xyz[0];
    return referenceOf(o).setScaleFactors(scale) == Acad::eOk;
}
template <int Axis>
void writeScale(const AcDbObject& o, const Field& f, WriteContext& c) {
    const AcGeScale3d scale = referenceOf(o).scaleFactors();
    const double value = Axis == 0 ? scale.sx : Axis == 1 ? scale.sy : scale.sz;
    if (value != 1.0) {
        c.out().real(f.code, value);
    }
}

using BlockRef = AcDbBlockReference;
constexpr Field kInsertFields[] = {
    custom(66, FieldKind::Integer, readAttributesFollow, writeAttributesFollow),
    custom(2, FieldKind::Text, readBlockName, writeBlockName),
    point<BlockRef, &BlockRef::position, &BlockRef::setPosition>(10),
    custom(41, FieldKind::Real, readScale<0>, writeScale<0>),
    custom(42, FieldKind::Real, readScale<1>, writeScale<1>),
    custom(43, FieldKind::Real, readScale<2>, writeScale<2>),
    angle<BlockRef, &BlockRef::rotation, &BlockRef::setRotation>(50),
    normal<BlockRef, &BlockRef::normal, &BlockRef::setNormal>(210),
};

// A block reference with an array (MINSERT) is kept as read.
class InsertCodec : public CodecOf<AcDbBlockReference> {
  public:
    using CodecOf::CodecOf;
    bool canModel(std::span<const TagView> body) const override {
        bool named = false;  // a reference without a block is kept as read
        for (const TagView& tag : body) {
            named = named || (tag.code == 2 && !trimBlanks(tag.value).empty());
            if (tag.code == 100 && tag.value == "AcDbMInsertBlock") {
                return false;
            }
            if ((tag.code == 70 || tag.code == 71) &&
                tag.value.find_first_not_of(" 01") != std::string_view::npos) {
                return false;  // rows or columns above 1 (R12 has no marker)
            }
        }
        return named;
    }
};

constexpr SubclassDef kLine[] = {{"AcDbEntity", kEntityFields}, {"AcDbLine", kLineFields}};
constexpr SubclassDef kCircle[] = {{"AcDbEntity", kEntityFields}, {"AcDbCircle", kCircleFields}};
constexpr SubclassDef kText[] = {
    {"AcDbEntity", kEntityFields}, {"AcDbText", kTextFields}, {"AcDbText", kTextVerticalFields}};
constexpr SubclassDef kAttDef[] = {{"AcDbEntity", kEntityFields},
                                   {"AcDbText", kTextFields},
                                   {"AcDbAttributeDefinition", kAttDefFields}};
constexpr SubclassDef kAttrib[] = {
    {"AcDbEntity", kEntityFields}, {"AcDbText", kTextFields}, {"AcDbAttribute", kAttribFields}};
constexpr SubclassDef kInsert[] = {{"AcDbEntity", kEntityFields},
                                   {"AcDbBlockReference", kInsertFields}};

const CodecOf<AcDbLine> kLineCodec("LINE", kLine);
const CodecOf<AcDbCircle> kCircleCodec("CIRCLE", kCircle);
const CodecOf<AcDbText> kTextCodec("TEXT", kText);
const CodecOf<AcDbAttributeDefinition> kAttDefCodec("ATTDEF", kAttDef);
const CodecOf<AcDbAttribute> kAttribCodec("ATTRIB", kAttrib);
const InsertCodec kInsertCodec("INSERT", kInsert);

}  // namespace

constinit const SubclassDef kEntitySubclass{"AcDbEntity", kEntityFields};

std::span<const Codec* const> simpleEntityCodecs() {
    static const Codec* const codecs[] = {&kLineCodec,   &kCircleCodec, &kTextCodec,
                                          &kAttDefCodec, &kAttribCodec, &kInsertCodec};
    return codecs;
}

}  // namespace qv::dxf
