// CAttributes: the owning list of the attributes of a space block or an asset, with the text
// format the space-block texts share (height, width factor, rotation) and the position of the
// "AREA" text from which the "NAME" and "AUX" texts are placed.
//
// Ownership: the list owns its elements (CAttribute or COrvanAttribute); getAt, getAtAttribute and
// getAtAttributeByTag hand out elements that stay the list's. The destructor deletes them all.
//
// Text layout of a space block, with h the text height and r the text's rotation in radians:
// "NAME" stands 1.5 h above the "AREA" text and "AUX" 1.5 h below it, across the text direction:
//   NAME = AREA + (-1.5 h sin r, 1.5 h cos r, 0),  AUX = AREA + (1.5 h sin r, -1.5 h cos r, 0).
//
// The rotation is kept in degrees, measured in the user coordinate system that the caller gives
// as a matrix (the drawing's current UCS for space blocks); the host's text rotation is radians
// in the text's own plane. The conversion is computed from the matrix: the text's direction is
// carried into the UCS (or back) as a vector; the entity itself is never moved for it.
//
// Drawing operations open attributes for read when they only read (a space block on a locked
// layer still reads), for write when they write; an attribute that does not open is skipped
// without a message. Every object opened is closed on every path. Failures arrive wrapped in a
// CEXUnhandled naming "CAttributes::" and the operation; what was written before stays written.
#pragma once

#include "StdAfx.h"

class CAttribute;
class CStoredProcedure;

class CAttributes {
  public:
    // Empty; text height 250.0, width factor 1.0, rotation 0.0, area position the origin.
    CAttributes() = default;
    virtual ~CAttributes();
    CAttributes(const CAttributes&) = delete;
    CAttributes& operator=(const CAttributes&) = delete;

    // Appends the attribute and takes it over, except when duplicates are not allowed and an
    // element with the same tag (case-sensitive) is held: then the new attribute is deleted and
    // the list is unchanged. An attribute the list holds already is never taken twice (nor
    // deleted). A null attribute is ignored.
    void add(CAttribute* pAttribute, BOOL bAllowDuplicates);
    // The element at 0 to count - 1; any other index raises CInvalidArgException.
    CAttribute* getAt(int iIndex) const;
    int getCount() const { return m_iCount; }
    // The first COrvanAttribute of that kind, or null (plain CAttribute records have no kind).
    CAttribute* getAtAttribute(int iKind) const;
    // The first element whose tag equals the text (case-sensitive), or null.
    CAttribute* getAtAttributeByTag(CString sTag) const;

    double getTextHeight() const { return m_dblTextHeight; }
    void setTextHeight(double dbl) { m_dblTextHeight = dbl; }
    double getWidthFactor() const { return m_dblWidthFactor; }
    void setWidthFactor(double dbl) { m_dblWidthFactor = dbl; }
    double getRotation() const { return m_dblRotation; }
    void setRotation(double dbl) { m_dblRotation = dbl; }
    AcGePoint3d getAreaPosition() const { return m_ptAreaPosition; }
    void setAreaPosition(const AcGePoint3d& pt) { m_ptAreaPosition = pt; }

    // Copies text height, rotation and width factor into the target, then adds a clone of each
    // element (CAttribute::clone) without duplicates; the target keeps what it held. The area
    // position is not copied. A null target does nothing.
    void copyAttributesTo(CAttributes* pTarget) const;
    // The same with COrvanAttribute::clone for space-block records (plain records are cloned as
    // plain records).
    void copyOrvanAttributesTo(CAttributes* pTarget) const;
    // Deletes every element and empties the list.
    void deleteObjects();

    // ---- In the database ----------------------------------------------------------------

    // CAttribute::applyToIPR for each element in order; the first failure ends the run (the
    // elements before it are recorded) and arrives wrapped as "CAttributes::applyToIPR".
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingId, CString sHandle,
                    int iTimeout) const;
    // Appends (without duplicates: of two rows with one tag the first is kept) the attributes
    // the database holds for the asset: "[idr]..[getAssetAttributes]" with "@drawingID" and
    // "@handle" (varchar 50); each row's "aTag" and "aValue" (empty when NULL), exists 1. A COM
    // error becomes a CEXStoredProcedure naming "CAttributes::getAssetAttributes"; the rows read
    // before it stay added.
    void getAssetAttributes(CStoredProcedure* pStoredProcedure, int iDrawingId, CString sHandle,
                            int iTimeout);

    // ---- In the drawing (AttributesDWG.cpp) ----------------------------------------------

    // Empties the list, then reads every attribute of the reference as a CAttribute (tag as
    // stored, text, layer, exists 1), without duplicates: of equal tags the first is kept.
    void extractAttributeValues(AcDbBlockReference* pReference);
    // Empties the list; the first attribute that opens gives height, width factor and rotation
    // (degrees in the UCS of the matrix); "NAME", "AREA" and "AUX" (tags compared upper-cased)
    // become COrvanAttribute records of kinds 0, 1, 2 with text and layer, without duplicates;
    // the position of the last "AREA" attribute becomes the area position. A reference without
    // attributes keeps the list's format.
    void extractSpaceBlockAttributeValues(AcDbBlockReference* pReference, AcGeMatrix3d ucs);
    // Opens the block reference for write and runs applyToDWGReference; an entity that does not
    // open is left alone.
    void applyToDWG(AcDbObjectId referenceId, AcGeMatrix3d ucs, AcGePoint3d* pPosition);
    // For a block reference (open for write): every attribute takes the list's height, width
    // factor and rotation; "NAME", "AREA" and "AUX" (tags upper-cased) whose kind the list holds
    // take its value and their place around the AREA position: the given one, else the position
    // of the reference's last "AREA" attribute. Without either, NAME and AUX stay where they are.
    // Nothing is created or erased. Anything else than a block reference is left alone.
    void applyToDWGReference(AcDbEntity* pEntity, AcGeMatrix3d ucs, AcGePoint3d* pPosition);
    // For a block reference (open for write): each attribute whose tag (as stored) a held element
    // has takes the element's value and, when the element names one, its layer.
    void applyToDWGByTag(AcDbEntity* pEntity);
    // Hides every visible attribute of the reference (open for write) and records each one's id
    // in a new element (duplicates allowed). The list is not emptied first.
    void setAttributesIDsInvisible(AcDbBlockReference* pReference);
    // Shows again every attribute whose id an element holds.
    void setAttributesIDsVisible();

  private:
    void copyTo(CAttributes* pTarget, bool bOrvan, LPCTSTR sProcSig) const;

    CArray<CAttribute*, CAttribute*> m_attributes;
    int m_iCount = 0;
    double m_dblTextHeight = 250.0;
    double m_dblWidthFactor = 1.0;
    double m_dblRotation = 0.0;
    AcGePoint3d m_ptAreaPosition;
};
