// Single-line texts, attribute definitions (the texts a block definition asks for) and
// attributes (the texts a block reference carries).
//
// A text lies in the plane of its normal; its rotation is measured in that plane's coordinate
// system. Its box (getGeomExtents) is estimated from the height, the width factor and the number
// of characters, each character taken as 0.6 heights wide: the host has no fonts here.
#pragma once

#include <string>

#include "AcDbEntity.h"

class AcDbText : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbText)
  public:
    AcDbText() = default;
    AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style = AcDbObjectId(),
             double height = 0.0, double rotation = 0.0);
    QV_RX_CLONE(AcDbText)

    AcGePoint3d position() const { return m_position; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    AcGePoint3d alignmentPoint() const { return m_alignment; }
    Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& point);
    bool isDefaultAlignment() const {
        return m_horizontal == AcDb::kTextLeft && m_vertical == AcDb::kTextBase;
    }
    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const { return m_thickness; }
    Acad::ErrorStatus setThickness(double thickness);
    double oblique() const { return m_oblique; }
    Acad::ErrorStatus setOblique(double angle);
    double rotation() const { return m_rotation; }
    Acad::ErrorStatus setRotation(double angle);
    double height() const { return m_height; }
    // eInvalidInput unless above 0.
    Acad::ErrorStatus setHeight(double height);
    double widthFactor() const { return m_widthFactor; }
    // eInvalidInput unless above 0.
    Acad::ErrorStatus setWidthFactor(double factor);
    // A copy for the caller to free with acutDelString.
    ACHAR* textString() const;
    const ACHAR* textStringConst() const { return m_text.c_str(); }
    Acad::ErrorStatus setTextString(const ACHAR* text);
    AcDbObjectId textStyle() const { return m_style; }
    Acad::ErrorStatus setTextStyle(AcDbObjectId style);
    AcDb::TextHorzMode horizontalMode() const { return m_horizontal; }
    Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode mode);
    AcDb::TextVertMode verticalMode() const { return m_vertical; }
    Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode mode);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;

  protected:
    void qvAdded() override;
    // Takes every text property of another text (not the entity properties).
    void qvCopyTextFrom(const AcDbText& other);

  private:
    AcGePoint3d m_position, m_alignment;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    double m_thickness = 0.0, m_oblique = 0.0, m_rotation = 0.0, m_height = 0.0,
           m_widthFactor = 1.0;
    std::wstring m_text;
    AcDbObjectId m_style;
    AcDb::TextHorzMode m_horizontal = AcDb::kTextLeft;
    AcDb::TextVertMode m_vertical = AcDb::kTextBase;
};

class AcDbAttributeDefinition : public AcDbText {
    QV_RX_DECLARE_MEMBERS(AcDbAttributeDefinition)
  public:
    AcDbAttributeDefinition() = default;
    AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                            const ACHAR* prompt, AcDbObjectId style = AcDbObjectId());
    QV_RX_CLONE(AcDbAttributeDefinition)

    // Copies for the caller to free with acutDelString.
    ACHAR* prompt() const;
    ACHAR* tag() const;
    const ACHAR* promptConst() const { return m_prompt.c_str(); }
    const ACHAR* tagConst() const { return m_tag.c_str(); }
    Acad::ErrorStatus setPrompt(const ACHAR* prompt);
    // Any text but the empty one (eInvalidInput); blanks are kept.
    Acad::ErrorStatus setTag(const ACHAR* tag);
    bool isInvisible() const { return m_invisible; }
    Acad::ErrorStatus setInvisible(bool invisible);
    bool isConstant() const { return m_constant; }
    Acad::ErrorStatus setConstant(bool constant);
    bool isVerifiable() const { return m_verifiable; }
    Acad::ErrorStatus setVerifiable(bool verifiable);
    bool isPreset() const { return m_preset; }
    Acad::ErrorStatus setPreset(bool preset);
    Adesk::UInt16 fieldLength() const { return m_fieldLength; }
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);

  private:
    std::wstring m_prompt, m_tag;
    bool m_invisible = false, m_constant = false, m_verifiable = false, m_preset = false;
    Adesk::UInt16 m_fieldLength = 0;
};

class AcDbAttribute : public AcDbText {
    QV_RX_DECLARE_MEMBERS(AcDbAttribute)
  public:
    AcDbAttribute() = default;
    AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                  AcDbObjectId style = AcDbObjectId());
    QV_RX_CLONE(AcDbAttribute)

    ACHAR* tag() const;
    const ACHAR* tagConst() const { return m_tag.c_str(); }
    Acad::ErrorStatus setTag(const ACHAR* tag);
    bool isInvisible() const { return m_invisible; }
    Acad::ErrorStatus setInvisible(bool invisible);
    bool isConstant() const { return false; }
    bool isVerifiable() const { return m_verifiable; }
    bool isPreset() const { return m_preset; }
    Adesk::UInt16 fieldLength() const { return m_fieldLength; }
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);

    // Takes the definition's tag, text properties, flags, field length, text and entity
    // properties, placed by the reference's block transform.
    Acad::ErrorStatus setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                            const AcGeMatrix3d& blockTransform);

  private:
    std::wstring m_tag;
    bool m_invisible = false, m_verifiable = false, m_preset = false;
    Adesk::UInt16 m_fieldLength = 0;
};
