// CAttribute: the module's record of one block attribute: its tag, its text (value), the layer it
// lies on in the drawing, whether it was read from a block reference or the database (exists, 1
// or 0) and the attribute entity's object id. A plain CAttribute has no kind: only a
// COrvanAttribute (the NAME, AREA and AUX texts of a space block) has one.
#pragma once

#include <utility>

#include "StdAfx.h"

class CStoredProcedure;

class CAttribute {
  public:
    // Empty tag, value and layer, exists 0, null object id.
    CAttribute() = default;
    // Those three set, empty layer, null object id.
    CAttribute(CString sTag, CString sValue, int iExists)
        : m_sTag(sTag), m_sValue(sValue), m_iExists(iExists) {}
    virtual ~CAttribute() = default;
    CAttribute(const CAttribute&) = delete;
    CAttribute& operator=(const CAttribute&) = delete;

    CString getTag() const { return m_sTag; }
    void setTag(CString sTag) { m_sTag = std::move(sTag); }
    CString getValue() const { return m_sValue; }
    void setValue(CString sValue) { m_sValue = std::move(sValue); }
    CString getLayer() const { return m_sLayer; }
    void setLayer(CString sLayer) { m_sLayer = std::move(sLayer); }
    int getExists() const { return m_iExists; }
    void setExists(int iExists) { m_iExists = iExists; }
    AcDbObjectId getObjectId() const { return m_objectId; }
    void setObjectId(AcDbObjectId id) { m_objectId = id; }

    // A new record with the same tag, value and exists flag; the layer and the object id are not
    // copied. The caller owns it. Failures arrive wrapped as "CAttribute::clone".
    CAttribute* clone() const;
    // Records this attribute in the database as one of the asset with that handle in that
    // drawing: "__to_applyAssetAttributeToIPR" with "@drawingID", "@handle", "@tag", "@value"
    // (varchar 255) and "@exists" (boolean), on the caller's connected procedure with the
    // timeout. A COM error becomes a CEXStoredProcedure naming "CAttribute::applyToIPR".
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingId, CString sHandle,
                    int iTimeout) const;

  private:
    CString m_sTag;
    CString m_sValue;
    CString m_sLayer;
    int m_iExists = 0;
    AcDbObjectId m_objectId;
};
