// CMarkerBlock: a placement mark in the drawing that says where a graphic report draws its legend
// table or its pie chart, and with which units, precision, text size and rotation. Two kinds
// derive from it: CMarkerBlockLegend ("MARKER-LEGEND", made from a closed polyline) and
// CMarkerBlockPie ("MARKER-PIECHART", made from a circle).
//
// A marker is a block definition that holds the picked entity (moved so that its base point is
// the definition's origin) and five attribute definitions stacked downward one text height apart,
// and one reference to it in model space on the kind's marker layer, which is switched off after
// every insertion. The user edits the reference's attributes; a report reads them back through
// the reading constructors of the kinds.
//
// Every field starts initialised: units 0 (metric), precision 2, text size 250.0, rotation 0.0.
// A reading keeps these for whatever the marker does not say (a missing attribute, a reference
// that cannot be opened for write for its rotation).
//
// Creating a marker (the kinds' createMarkerBlock, through createMarker below) is all or nothing:
// the definition's name is checked and its record added before the picked entity is moved, and
// any later failure gives the entity back to model space where it was and erases the record. A
// text size that is not above 0 is refused (eInvalidInput) before anything is touched.
//
// Locks and open objects: each operation takes one level of the drawing's counted lock and opens
// host objects through the RAII pointers, so every path gives back what it took.
#pragma once

#include <array>
#include <functional>

#include "StdAfx.h"

#include "blocks/BlockDWG.h"

class CAcadDrawing;

class CMarkerBlock : public CBlockDWG {
  public:
    // The values a new marker shows and a reading falls back on.
    static constexpr int DEFAULT_UNITS = 0;
    static constexpr int DEFAULT_PRECISION = 2;
    static constexpr double DEFAULT_TEXT_SIZE = 250.0;
    static constexpr double DEFAULT_ROTATION = 0.0;

    CMarkerBlock() = default;
    // Reads nothing: the same object as the default constructor.
    CMarkerBlock(AcDbBlockReference* pReference, AcApDocument* pDocument);

    int getUnits() const { return m_iUnits; }
    void setUnits(int i) { m_iUnits = i; }
    int getPrecision() const { return m_iPrecision; }
    void setPrecision(int i) { m_iPrecision = i; }
    double getTextSize() const { return m_dblTextSize; }
    void setTextSize(double dbl) { m_dblTextSize = dbl; }
    double getRotation() const { return m_dblRotation; }
    void setRotation(double dbl) { m_dblRotation = dbl; }

    // The base class builds nothing: 2.
    int createMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId entityId, int iUnits, int iPrecision,
                          double dblTextSize, double dblRotation);

    // A new attribute (outside the drawing) for the definition, as a reference with that block
    // transform shows it: the definition's layer, colour and linetype, its invisibility,
    // position, height, rotation, width factor, tag, field length and default text, left
    // aligned, carried by the transform. A failure is shown in the error box at once; the result
    // is then what was built so far (null when nothing was).
    static AcDbAttribute* createAttribute(AcDbAttributeDefinition* pDefinition,
                                          AcGeMatrix3d blockTransform);
    // A new attribute definition (outside the drawing): width factor 1.0, left and baseline
    // aligned, neither invisible, verifiable, preset nor constant, field length = the default
    // text's length + 1, on the layer. Failures as createAttribute.
    static AcDbAttributeDefinition* defineAttribute(AcGePoint3d* pPosition, AcGeVector3d* pNormal,
                                                    double dblHeight, double dblRotation,
                                                    CString sTag, CString sPrompt, CString sDefault,
                                                    CString sLayer);

    // The block and layer names of the two kinds.
    static const wchar_t LEGEND_BLOCK_NAME[];  // "MARKER-LEGEND"
    static const wchar_t PIE_BLOCK_NAME[];     // "MARKER-PIECHART"
    static const wchar_t LEGEND_LAYER[];       // "ORVAN_LEGEND_MARKER"
    static const wchar_t PIE_LAYER[];          // "ORVAN_PIECHART_MARKER"

  protected:
    // Runs the body of a kind's creation: a host status raised on the way becomes the result
    // (the creation reports failures through its status); anything else is wrapped naming the
    // file and operation and raised.
    static int statusOf(LPCTSTR sFile, LPCTSTR sProcSig, const std::function<int()>& body);

    // One attribute row of a marker kind: tag, prompt and default text.
    struct AttributeRow {
        const wchar_t* sTag;
        const wchar_t* sPrompt;
        CString sDefault;
    };
    // What a kind's definition holds besides the picked entity.
    struct Layout {
        const wchar_t* sBlockName;
        const wchar_t* sLayer;
        std::array<AttributeRow, 5> rows;
    };

    // Defines the kind's block from the entities (moved by origin - base point) with the five
    // attribute definitions (the k-th at (0, -k * text size, 0), turned by the attribute
    // rotation). The record's id in blockId. 0, or the status that stopped it (the lock's
    // refusal, eDuplicateRecordName for a second definition, eInvalidInput for a text size not
    // above 0); on a failure nothing of the definition stays and the entities are back where
    // they were.
    static int defineMarker(AcDbObjectId& blockId, const AcDbObjectIdArray& entities,
                            const AcGePoint3d& ptBase, CAcadDrawing* pDrawing, const Layout& layout,
                            double dblTextSize, double dblAttributeRotation);
    // The whole creation: defineMarker, then a reference to the definition at the base point
    // (a UCS point), turned by the rotation in the UCS, on the marker layer (made when missing,
    // then switched off), with an attribute per attribute definition. On a failure after the
    // definition the definition is taken apart again as defineMarker does. 0 or the status.
    static int createMarker(CAcadDrawing* pDrawing, AcDbObjectId entityId,
                            const AcGePoint3d& ptBase, const Layout& layout, double dblTextSize,
                            double dblRotation);

    // The common part of a reading: id, layer, colour, line weight, rotation in the current
    // UCS, block name and handle; then each attribute's upper-cased tag and text handed to
    // `readAttribute`. The position of the first entity of class `sGeometryClass` in the
    // definition (any at all) gives bFound, ptPosition: the reference's position in the UCS.
    template <typename ReadAttribute>
    void readMarker(AcDbBlockReference* pReference, AcApDocument* pDocument,
                    const wchar_t* sGeometryClass, bool& bFound, AcGePoint3d& ptPosition,
                    ReadAttribute readAttribute);

  private:
    // readMarker's body, with the callback as a plain function pointer and context.
    void readMarkerWith(AcDbBlockReference* pReference, AcApDocument* pDocument,
                        const wchar_t* sGeometryClass, bool& bFound, AcGePoint3d& ptPosition,
                        void (*read)(void*, const CString&, const CString&), void* pContext);

    int m_iUnits = DEFAULT_UNITS;
    int m_iPrecision = DEFAULT_PRECISION;
    double m_dblTextSize = DEFAULT_TEXT_SIZE;
    double m_dblRotation = DEFAULT_ROTATION;
};

template <typename ReadAttribute>
void CMarkerBlock::readMarker(AcDbBlockReference* pReference, AcApDocument* pDocument,
                              const wchar_t* sGeometryClass, bool& bFound, AcGePoint3d& ptPosition,
                              ReadAttribute readAttribute) {
    readMarkerWith(
        pReference, pDocument, sGeometryClass, bFound, ptPosition,
        [](void* pContext, const CString& sTag, const CString& sText) {
            (*static_cast<ReadAttribute*>(pContext))(sTag, sText);
        },
        &readAttribute);
}
