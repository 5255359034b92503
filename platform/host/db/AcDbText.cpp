#include "host/db/AcDbText.h"

#include <algorithm>
#include <cmath>

#include "host/db/AcDbDatabase.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "host/db/SymbolTables.h"

QV_RX_DEFINE_MEMBERS(AcDbText, AcDbEntity, L"TEXT")
QV_RX_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText, L"ATTDEF")
QV_RX_DEFINE_MEMBERS(AcDbAttribute, AcDbText, L"ATTRIB")

AcDbText::AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style,
                   double height, double rotation)
    : m_position(position),
      m_rotation(rotation),
      m_height(height),
      m_text(text != nullptr ? text : L""),
      m_style(style) {}

void AcDbText::qvAdded() {
    AcDbDatabase* db = database();
    if (m_style.isNull() || m_style.database() != db) {
        m_style = db->textstyle();
    }
    if (!(m_height > 0.0)) {
        const auto* style = qv::host::ObjectAccess::peekAs<AcDbTextStyleTableRecord>(m_style);
        m_height = style != nullptr && style->textSize() > 0.0 ? style->textSize() : db->textsize();
    }
}

void AcDbText::qvCopyTextFrom(const AcDbText& other) {
    m_position = other.m_position;
    m_alignment = other.m_alignment;
    m_normal = other.m_normal;
    m_thickness = other.m_thickness;
    m_oblique = other.m_oblique;
    m_rotation = other.m_rotation;
    m_height = other.m_height;
    m_widthFactor = other.m_widthFactor;
    m_text = other.m_text;
    m_style = other.m_style;
    m_horizontal = other.m_horizontal;
    m_vertical = other.m_vertical;
}

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& position) {
    assertWriteEnabled();
    m_position = position;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& point) {
    assertWriteEnabled();
    m_alignment = point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (normal.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    m_normal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setThickness(double thickness) {
    assertWriteEnabled();
    m_thickness = thickness;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setOblique(double angle) {
    assertWriteEnabled();
    m_oblique = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setRotation(double angle) {
    assertWriteEnabled();
    m_rotation = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setHeight(double height) {
    assertWriteEnabled();
    if (!(height > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_height = height;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setWidthFactor(double factor) {
    assertWriteEnabled();
    if (!(factor > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_widthFactor = factor;
    return Acad::eOk;
}

ACHAR* AcDbText::textString() const {
    return acutNewString(m_text.c_str());
}

Acad::ErrorStatus AcDbText::setTextString(const ACHAR* text) {
    assertWriteEnabled();
    m_text = text != nullptr ? text : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setTextStyle(AcDbObjectId style) {
    assertWriteEnabled();
    if (qv::host::ObjectAccess::peekAs<AcDbTextStyleTableRecord>(style) == nullptr) {
        return Acad::eInvalidInput;
    }
    m_style = style;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode mode) {
    assertWriteEnabled();
    m_horizontal = mode;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode mode) {
    assertWriteEnabled();
    m_vertical = mode;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::getGeomExtents(AcDbExtents& extents) const {
    const AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(m_normal);
    const AcGeVector3d dir = plane * AcGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
    const AcGeVector3d up = plane * AcGeVector3d(-std::sin(m_rotation), std::cos(m_rotation), 0);
    const double width =
        0.6 * m_height * m_widthFactor * static_cast<double>(std::max<size_t>(1, m_text.size()));
    double along = 0.0, across = 0.0;
    switch (m_horizontal) {
        case AcDb::kTextCenter:
            along = -width / 2.0;
            break;
        case AcDb::kTextRight:
            along = -width;
            break;
        case AcDb::kTextMid:
            along = -width / 2.0;
            across = -m_height / 2.0;
            break;
        case AcDb::kTextLeft:
        case AcDb::kTextAlign:
        case AcDb::kTextFit:
            break;
    }
    switch (m_vertical) {
        case AcDb::kTextTop:
            across = -m_height;
            break;
        case AcDb::kTextVertMid:
            across = -m_height / 2.0;
            break;
        case AcDb::kTextBase:
        case AcDb::kTextBottom:
            break;
    }
    const AcGePoint3d start =
        (isDefaultAlignment() ? m_position : m_alignment) + dir * along + up * across;
    extents = AcDbExtents();
    extents.addPoint(start);
    extents.addPoint(start + dir * width);
    extents.addPoint(start + up * m_height);
    extents.addPoint(start + dir * width + up * m_height);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    const AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(m_normal);
    const AcGeVector3d dir =
        m * (plane * AcGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0.0));
    const AcGeVector3d up =
        m * (plane * AcGeVector3d(-std::sin(m_rotation), std::cos(m_rotation), 0.0));
    const AcGeVector3d normal = dir.crossProduct(up);
    if (normal.isZeroLength()) {
        return Acad::eDegenerateGeometry;
    }
    m_position.transformBy(m);
    m_alignment.transformBy(m);
    m_normal = normal.normal();
    const AcGeVector3d inPlane = AcGeMatrix3d::worldToPlane(m_normal) * dir;
    m_rotation = std::atan2(inPlane.y, inPlane.x);
    if (m_rotation < 0.0) {
        m_rotation += 2.0 * 3.141592653589793;
    }
    m_widthFactor *= dir.length() / up.length();
    m_height *= up.length();
    return Acad::eOk;
}

// ---- attribute definitions ----

AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text,
                                                 const ACHAR* tag, const ACHAR* prompt,
                                                 AcDbObjectId style)
    : AcDbText(position, text, style),
      m_prompt(prompt != nullptr ? prompt : L""),
      m_tag(tag != nullptr ? tag : L"") {}

ACHAR* AcDbAttributeDefinition::prompt() const {
    return acutNewString(m_prompt.c_str());
}
ACHAR* AcDbAttributeDefinition::tag() const {
    return acutNewString(m_tag.c_str());
}

Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const ACHAR* prompt) {
    assertWriteEnabled();
    m_prompt = prompt != nullptr ? prompt : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setTag(const ACHAR* tag) {
    assertWriteEnabled();
    if (tag == nullptr || tag[0] == 0) {
        return Acad::eInvalidInput;
    }
    m_tag = tag;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool invisible) {
    assertWriteEnabled();
    m_invisible = invisible;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool constant) {
    assertWriteEnabled();
    m_constant = constant;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setVerifiable(bool verifiable) {
    assertWriteEnabled();
    m_verifiable = verifiable;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setPreset(bool preset) {
    assertWriteEnabled();
    m_preset = preset;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setFieldLength(Adesk::UInt16 length) {
    assertWriteEnabled();
    m_fieldLength = length;
    return Acad::eOk;
}

// ---- attributes ----

AcDbAttribute::AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                             AcDbObjectId style)
    : AcDbText(position, text, style), m_tag(tag != nullptr ? tag : L"") {}

ACHAR* AcDbAttribute::tag() const {
    return acutNewString(m_tag.c_str());
}

Acad::ErrorStatus AcDbAttribute::setTag(const ACHAR* tag) {
    assertWriteEnabled();
    if (tag == nullptr || tag[0] == 0) {
        return Acad::eInvalidInput;
    }
    m_tag = tag;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setInvisible(bool invisible) {
    assertWriteEnabled();
    m_invisible = invisible;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setFieldLength(Adesk::UInt16 length) {
    assertWriteEnabled();
    m_fieldLength = length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                                       const AcGeMatrix3d& blockTransform) {
    assertWriteEnabled();
    if (definition == nullptr) {
        return Acad::eNullObjectPointer;
    }
    qvCopyTextFrom(*definition);
    setPropertiesFrom(definition);
    m_tag = definition->tagConst();
    m_invisible = definition->isInvisible();
    m_verifiable = definition->isVerifiable();
    m_preset = definition->isPreset();
    m_fieldLength = definition->fieldLength();
    return transformBy(blockTransform);
}
