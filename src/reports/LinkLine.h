// CLinkLine: a red dashed line joining two block references of a drawing (assets, named by
// their handles), with an optional label at its middle that runs along the line.
//
// Drawn in model space on the line's layer ("_ORVAN" when none is given): the line in true-colour
// red with lineweight by layer and the linetype "T_E_S_T" (a dash of 50 drawing units, a gap of
// 50; made in the drawing's own database when missing); the label, when the text is not empty,
// a red single-line text 150.0 high, centred on the midpoint, bottom-aligned, turned by the
// line's angle folded into (-90, 90] degrees so it is never upside down (0 for a line whose ends
// coincide).
//
// XML: "linkLine" with "linkStartHandle", "linkEndHandle", "linkLineLayer" and, when the label is
// not empty, "linkLineText".
//
// Failures: every operation wraps a failure in a CEXUnhandled naming "CLinkLine::" and the
// operation (source file "LinkLine").
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CAcadDrawingState;

// The linetype of link lines.
inline constexpr wchar_t LINK_LINE_LINETYPE[] = L"T_E_S_T";
// The layer of a link line that names none.
inline constexpr wchar_t LINK_LINE_DEFAULT_LAYER[] = L"_ORVAN";

class CLinkLine {
  public:
    CLinkLine() = default;

    CString getStartHandle() const { return m_sStartHandle; }
    void setStartHandle(CString sHandle) { m_sStartHandle = sHandle; }
    CString getEndHandle() const { return m_sEndHandle; }
    void setEndHandle(CString sHandle) { m_sEndHandle = sHandle; }
    CString getLayerName() const { return m_sLayerName; }
    void setLayerName(CString sLayerName) { m_sLayerName = sLayerName; }
    CString getLabelText() const { return m_sLabelText; }
    void setLabelText(CString sLabelText) { m_sLabelText = sLabelText; }

    // Draws the line and its label between the positions of the two references, in a drawing
    // whose document the caller has locked. An empty layer name becomes "_ORVAN" (kept by the
    // line) and that layer is switched on in the state; the layer is made when missing. A
    // handle that does not resolve to a block reference skips the line: nothing is drawn and a
    // line naming the handle is printed.
    void applyToDrawing(CAcadDrawing* pDrawing, CAcadDrawingState* pState);
    // The position (world coordinates) of the block reference with that handle, and true; its
    // layer is switched on in the state. False (and the origin) for a handle that does not
    // resolve or an object that is no block reference; the state is then unchanged.
    bool getAssetCurrentCoord(CString sHandle, CAcadDrawing* pDrawing, CAcadDrawingState* pState,
                              AcGePoint3d& position);
    // Makes the line (and, with a label text, its label turned along the line when bRotateLabel
    // is set) in the model space record, which is open for write; the line's id.
    static void drawLine(AcDbObjectId& lineId, const AcGePoint3d& start, const AcGePoint3d& end,
                         AcCmColor colour, CString sLabel, double dblTextHeight, int bRotateLabel,
                         CString sLayerName, AcDbBlockTableRecord* pModelSpace);
    // Makes the label: centred, bottom-aligned at the point, normal the UCS's Z axis.
    static void drawLabel(AcDbObjectId& textId, const AcGePoint3d& position, AcCmColor colour,
                          double dblHeight, double dblRotation, CString sText, CString sLayerName,
                          AcDbBlockTableRecord* pModelSpace);
    // Provides the linetype "T_E_S_T" in the database: 1 when it was added, 0 when it was
    // there; its id in both cases.
    static int createLinetype(AcDbDatabase* pDatabase, AcDbObjectId& linetypeId);
    // The label's angle for a line from start to end: the direction's angle folded into
    // (-pi/2, pi/2]; 0 when the ends coincide.
    static double labelAngle(const AcGePoint3d& start, const AcGePoint3d& end);

    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Fills the fields from a "linkLine" element with children; other children are passed over.
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode);

  private:
    CString m_sStartHandle;
    CString m_sEndHandle;
    CString m_sLayerName;
    CString m_sLabelText;
};
