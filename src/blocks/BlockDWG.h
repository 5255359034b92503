// CBlockDWG: a space block in the drawing: a block reference in model space whose definition holds
// the space's boundary polyline and the attribute definitions "AREA", "NAME" and "AUX" (on the
// layers "ATT-AREA", "ATT-NAME", "ATT-AUX"), whose attributes show the name, area and auxiliary
// value, and whose extended-data record (application "ADE", read also under "AECXDATA") carries
// the rest of its data. It also keeps the handles of the entities whose areas are subtracted from
// and added to the space.
//
// Ownership: the block owns its hatch, attributes and assets (and, through CBlock, its hyperlinks); the
// setters of owned objects delete what they replace. The destructor deletes them.
//
// Coordinate systems: the insertion point given to createBlock and createBlockDefinition is a
// point of the drawing's current user coordinate system (as a pick gives it). The definition
// holds the boundary in that UCS, moved so that the insertion point is its origin, and the
// reference carries it back by the UCS: the boundary stays where the user drew it, and the texts,
// measured in the UCS, follow its rotation. In the world UCS this is the plain move by
// (origin - insertion point).
//
// Locks and open objects: each drawing operation takes one level of the drawing's counted lock
// through CDrawingLock and opens host objects through AcDbObjectPointer, so every path, errors
// included, closes what it opened and gives the lock back.
//
// Failures: unless said otherwise, an operation wraps a failure in a CEXUnhandled naming
// "CBlockDWG::" and the operation, with "BlockDWG" as its source file.
#pragma once

#include "StdAfx.h"

#include "blocks/Block.h"

class CAcadDrawing;
class CAssets;
class CAttributes;
class CHatch;
class COrvanExceptions;

class CBlockDWG : public CBlock {
  public:
    // The extended-data applications.
    static const wchar_t XDATA_APP[];       // "ADE"
    static const wchar_t XDATA_APP_AEC[];   // "AECXDATA"
    static const wchar_t XDATA_APP_NONE[];  // "No X Data"
    static const wchar_t NOT_SET[];         // "<Not Set>"

    // initialise(); colour 256 (by layer), line weight -1 (by layer), layer "0".
    CBlockDWG();
    // Reads a space block from a block reference (open) of the document's drawing: hyperlinks,
    // object id, handle, layer, colour, line weight, block name, the extended data ("ADE", else
    // "AECXDATA", else none: "No X Data") and the NAME, AREA and AUX attributes in the current
    // UCS. The NAME value becomes code and name; without it and without a name from the extended
    // data, the block name is the name.
    CBlockDWG(AcDbBlockReference* pReference, AcApDocument* pDocument);
    ~CBlockDWG() override;

    // Name empty; area, perimeter, room height, volume 0; the ten descriptive texts "<Not Set>";
    // units and precision -1; application "ADE"; no hatch or attributes; zoom off, margin 0;
    // block type 6. Colour, line weight and layer are not touched.
    void initialise();

    // ---- Accessors ------------------------------------------------------------------------

    AcDbObjectId getObjectId() const { return m_objectId; }
    void setObjectId(AcDbObjectId id) { m_objectId = id; }
    const AcDbHandle* getAcDbHandle() const { return &m_dbHandle; }
    // Stores the handle and its hexadecimal text as the base's handle.
    void setHandle(AcDbHandle handle);
    // Stores the text as the base's handle and the handle parsed from it.
    void setHandle(CString sHandle);
    void setHandleFromString(CString sHandle) { setHandle(sHandle); }
    CString getBlockName() const { return m_sBlockName; }
    void setBlockName(CString s) { m_sBlockName = s; }
    CString getXDataAppName() const { return m_sXDataAppName; }
    void setXDataAppName(CString s) { m_sXDataAppName = s; }
    // The value of the first "NAME=" string of the extended data read from the reference (what
    // CBlocks::readNameFromXData gives for it); empty when there was none.
    CString getXDataName() const { return m_sXDataName; }
    CHatch* getHatch() const { return m_pHatch; }
    void setHatch(CHatch* pHatch);
    CAttributes* getAttributes() const { return m_pAttributes; }
    void setAttributes(CAttributes* pAttributes);
    // The assets inside a room (null when not looked for); the setter takes the list over.
    CAssets* getAssets() const { return m_pAssets; }
    void setAssets(CAssets* pAssets);
    int getZoomTo() const { return m_iZoomTo; }
    void setZoomTo(int i) { m_iZoomTo = i; }
    double getZoomFactor() const { return m_dblZoomFactor; }
    void setZoomFactor(double dbl) { m_dblZoomFactor = dbl; }
    int getColour() const { return m_iColour; }
    void setColour(int i) { m_iColour = i; }
    int getLineWeight() const { return m_iLineWeight; }
    void setLineWeight(int i) { m_iLineWeight = i; }
    CString getLayer() const { return m_sLayer; }
    void setLayer(CString s) { m_sLayer = s; }
    // "sq.ft." for units 1 and -1 (imperial and not known), else "sq.m.".
    CString getAreaUnitsText() const;
    // "ft." for units 1 and -1, else "m.".
    CString getLengthUnitsText() const;

    // ---- Handle lists ---------------------------------------------------------------------
    //
    // The "Minus" forms work on the entities whose areas are subtracted, the "Add" forms on
    // those added. Text form: hexadecimal handles, each followed by ","; text behind the last
    // comma is ignored.

    // Empties the list, then appends each item the database resolves (a null database resolves
    // nothing).
    void setHandlesToMinus(CString sHandles, AcDbDatabase* pDatabase);
    void setHandlesToAdd(CString sHandles, AcDbDatabase* pDatabase);
    // Empties the list, then appends the handle of each entity that opens: every entity for the
    // Minus form, only "AcDbPolyline" entities for the Add form.
    void setHandlesToMinus(const AcDbObjectIdArray& ids);
    void setHandlesToAdd(const AcDbObjectIdArray& ids);
    void setHandlesToMinusFromSelection(const AcDbObjectIdArray& ids) { setHandlesToMinus(ids); }
    void setHandlesToAddFromSelection(const AcDbObjectIdArray& ids) { setHandlesToAdd(ids); }
    // Appends the handle; with a database only when it resolves it.
    void addHandleToMinus(AcDbHandle handle, AcDbDatabase* pDatabase);
    void addHandleToAdd(AcDbHandle handle, AcDbDatabase* pDatabase);
    // The handle at 0 to count - 1; any other index raises the host's eInvalidIndex.
    AcDbHandle getHandleToMinus(int iIndex) const { return m_handlesToMinus.at(iIndex); }
    AcDbHandle getHandleToAdd(int iIndex) const { return m_handlesToAdd.at(iIndex); }
    int getHandlesToMinusCount() const { return m_handlesToMinus.length(); }
    int getHandlesToAddCount() const { return m_handlesToAdd.length(); }
    // Removes one handle (later ones move down); an index outside the list does nothing.
    void removeHandleToMinus(int iIndex);
    void removeHandleToAdd(int iIndex);
    CString getHandlesToMinusAsString() const;
    CString getHandlesToAddAsString() const;

    // ---- In the drawing -------------------------------------------------------------------

    // Under the drawing's lock (a refusal raises the host-status error, line 751, naming the
    // drawing), opens the reference for write (when it does not open, nothing is done), renames
    // its definition to the block name, writes the extended data, writes the attributes when
    // there are any (current UCS, no given position), hatches it when it has a hatch setting
    // (giving the hatch its hyperlinks), attaches the hyperlinks to the reference when there
    // are any, zooms to the block when asked. The error list receives the hatch's failures,
    // which do not stop the write; it may be null. Each write makes a new hatch.
    void applyToDWG(CAcadDrawing* pDrawing, COrvanExceptions* pErrors);
    // Writes the attributes to the reference (CAttributes::applyToDWG); nothing without
    // attributes.
    void updateAttributes(const AcGeMatrix3d& ucs, AcGePoint3d* pPosition);
    // Zooms the drawing to the box of the reference's boundary grown by the zoom margin.
    void zoomToBlock(CAcadDrawing* pDrawing, AcDbEntity* pEntity);
    // Copies everything but zoom, margin and layer into the target, which ends with copies of
    // its own of the attributes, hatch and hyperlinks (what it held is deleted). Null: nothing.
    void copyInto(CBlockDWG* pTarget) const;
    // For a block reference: renames its definition to the block name (when it opens).
    void updateBlockIdentifier(AcDbEntity* pEntity);
    // With 0: attaches the hyperlinks to the reference and, under AutoCAD LT or AutoCAD, to each
    // of its attributes; otherwise to every entity of its definition and every attribute. The
    // entity is open for write. Nothing without hyperlinks.
    void hyperlinkBlock(AcDbEntity* pEntity, int iWholeBlock);

    // ---- Hatch, hyperlinks and format (BlockDWGHatch.cpp) ----------------------------------

    // Hatches the space block of the reference (open): its outline is the first "AcDbPolyline"
    // of the definition (erased entities skipped), the added and subtracted polylines come from
    // the handle lists. The hatch's id (null when none was made). Nothing without a hatch
    // setting or for an entity that is no block reference.
    void hatchBlock(CAcadDrawing* pDrawing, AcDbEntity* pEntity, AcDbObjectId& hatchId,
                    COrvanExceptions* pErrors);
    // Builds the hatch from the settings (angle taken as radians, scale, predefined pattern,
    // the colour as a true colour, normal style, the UCS's z axis as normal, elevation 0, on
    // the hatch layer made when missing, its name cleaned), its outer loop from the outline's
    // vertices and bulges carried by the reference's block transform (the definition is never
    // changed), then an external loop per added and a default loop per subtracted polyline as
    // they lie. Evaluates it, appends it to model space and puts it at the bottom of the draw
    // order. Failures go into the list (a null list drops them), never thrown:
    //   outline missing, not closed or not carried  CEXHatchNotClosed, no hatch
    //   an added / subtracted polyline refused      CEXHatchAdditionalAreas / CEXHatchNoAreas
    //   evaluation 420 / 5 / any other failure       CEXHatchTooDense / CEXHatchNotDenseEnough /
    //                                                CEXUnhandled; the hatch is made anyway
    //   the append refused                           CEXUnhandled; the hatch is deleted, id null
    //   anything else                                CEXUnhandled "CBlockDWG::hatchObject"
    void hatchObject(CAcadDrawing* pDrawing, AcDbBlockReference* pReference,
                     AcDbObjectId outlineId, AcDbObjectIdArray subtractIds,
                     AcDbObjectIdArray addIds, AcDbObjectId& hatchId, COrvanExceptions* pErrors);
    // Appends one id per handle, in order: the null id for a handle the database does not
    // know. Always eOk.
    static Acad::ErrorStatus convertHandlesToObjectIds(const AcArray<AcDbHandle>& handles,
                                                       AcDbDatabase* pDatabase,
                                                       AcDbObjectIdArray& ids);
    // Replaces the hyperlinks of the entity (open for write) with the block's; nothing when the
    // block has no list or the entity has no hyperlink extension.
    void hyperlinkEntity(AcDbEntity* pEntity);
    // hyperlinkEntity on the hatch of that id when it opens for write.
    void hyperlinkHatch(AcDbObjectId hatchId);
    // Copies this block's format onto the target: the area; the values of the NAME, AREA and
    // AUX records (records the target lacks are made; text height, rotation and width factor
    // follow); the hatch settings; the hyperlinks (the target's list replaced by a copy).
    // Whatever the source lacks stays as the target had it. Null or this block: nothing.
    void copyFormatting(CBlockDWG* pTarget) const;

    // ---- Extended data (BlockDWGXData.cpp) ------------------------------------------------

    // Writes the record (see the file's comment) onto a block reference open for write; nothing
    // for any other object. A refusal of the host (an unregistered application, a string over
    // the host's 255 bytes) raises its status (line of the call) instead of losing the record.
    void writeXData(AcDbObject* pObject);
    // Reads a record of the application into the block; the document's database resolves the
    // handle lists.
    void readXData(resbuf* pList, AcApDocument* pDocument);

    // ---- Areas (BlockDWGAreas.cpp) --------------------------------------------------------

    // Sums over the lists: the areas (perimeters) of the entities of class "AcDbPolyline" in the
    // block's units; a handle the database does not know (status 13) or whose entity is erased
    // is dropped from the list.
    double calcSubArea(AcApDocument* pDocument);
    double calcAddArea(AcApDocument* pDocument);
    double calcSubAreaPerimeters(AcApDocument* pDocument);
    double calcAddAreaPerimeters(AcApDocument* pDocument);
    // Area = boundary area as the reference places it - subtracted + added, rounded to the
    // precision. Nothing when the reference does not open.
    void recalculateArea(AcApDocument* pDocument);
    // Perimeter = boundary perimeter + subtracted + added perimeters.
    void recalculatePerimeter(AcApDocument* pDocument);
    // Converts area and perimeter to imperial (true) or metric (false) and sets the units. Units
    // -1 count as imperial: asking for imperial only records 1.
    void setImperial(bool bImperial);
    // Under the lock (nothing when refused): prints the count when asked, colours the listed
    // entities (1 subtracted, 3 added; line weight 100) or gives them the block's colour and line
    // weight, regenerates.
    void highlightAreasSubtracted(CAcadDrawing* pDrawing, int iHighlight, int iReport);
    void highlightAreasAdded(CAcadDrawing* pDrawing, int iHighlight, int iReport);

    // ---- Creation and deletion (BlockDWGCreate.cpp) ---------------------------------------

    // Makes the definition from the boundary and puts a reference with its attributes and
    // extended data into model space. 0, or the host status of the failure (95: the block name is
    // taken); on a failure the boundary is where it was and nothing was made.
    Acad::ErrorStatus createBlock(CAcadDrawing* pDrawing, AcDbEntity* pBoundary,
                                  const AcGePoint3d& ptInsertion, double dblTextHeight,
                                  double dblWidthFactor, double dblRotation);
    // Turns the reference back into its boundary polyline in model space (the boundary is moved
    // back, keeping its handle, when this is the definition's only reference; a copy otherwise),
    // erases the reference and, when nothing uses it any more, the definition. False when the
    // lock is refused, the reference does not open or is scaled unevenly.
    bool deleteBlock(CAcadDrawing* pDrawing);
    // Makes the block definition named by the block name from the entities (moved into it), with
    // the three attribute definitions. 0 or the host status; the name is checked first (95), and
    // on any failure the entities are back where they were and no definition is left.
    Acad::ErrorStatus createBlockDefinition(AcDbObjectId& definitionId,
                                            const AcDbObjectIdArray& entities,
                                            const AcGePoint3d& ptBase, double dblTextHeight,
                                            double dblWidthFactor, double dblRotation,
                                            CAcadDrawing* pDrawing);
    // Erases the definition (open for write) when no reference to it remains anywhere (model
    // space, layouts, other definitions). True when erased.
    bool deleteBlockDefinition(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pDefinition);

    // ---- XML (BlockDWGXml.cpp) ------------------------------------------------------------

    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace);
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode, CHatch* pHatch);

  protected:
    // The base's block type, for the kinds.
    using CBlock::setBlockType;

  private:
    enum class HandleList { Minus, Add };
    AcArray<AcDbHandle>& list(HandleList which) {
        return which == HandleList::Minus ? m_handlesToMinus : m_handlesToAdd;
    }
    void setHandles(HandleList which, CString sHandles, AcDbDatabase* pDatabase, LPCTSTR sProcSig);
    static CString handlesAsString(const AcArray<AcDbHandle>& handles);
    // One handle string of the record: the first of a list replaces the list, later ones (a
    // list split over several strings) add to it; an empty value changes nothing.
    void readHandles(HandleList which, CString sValue, AcDbDatabase* pDatabase, bool& bRead);
    double sumOver(HandleList which, AcApDocument* pDocument, bool bArea, LPCTSTR sProcSig);
    void highlight(HandleList which, CAcadDrawing* pDrawing, int iHighlight, int iReport,
                   LPCTSTR sProcSig);
    // The value of the NAME attribute when the block has one, else the name.
    CString nameForXData() const;
    Acad::ErrorStatus makeDefinition(AcDbObjectId& definitionId, const AcDbObjectIdArray& entities,
                                     const AcGePoint3d& ptBase, double dblTextHeight,
                                     double dblWidthFactor, double dblRotation,
                                     CAcadDrawing* pDrawing, AcDbEntity* pOpen);

    AcDbObjectId m_objectId;
    AcDbHandle m_dbHandle;
    CString m_sBlockName;
    CString m_sXDataAppName;
    CString m_sXDataName;
    AcArray<AcDbHandle> m_handlesToMinus;
    AcArray<AcDbHandle> m_handlesToAdd;
    CHatch* m_pHatch = nullptr;
    CAttributes* m_pAttributes = nullptr;
    CAssets* m_pAssets = nullptr;
    int m_iZoomTo = 0;
    double m_dblZoomFactor = 0.0;
    int m_iColour = 256;
    int m_iLineWeight = -1;
    CString m_sLayer = L"0";
};
