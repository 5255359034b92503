// CLayer: one layer of a drawing as the module holds it — name, description, colour, the four
// states (frozen, locked, off, plottable), line weight, the object id of the drawing's layer
// once known, and a modified flag.
//
// The modified flag decides what reaches the drawing: it is clear after the default
// constructor, set by every setter except setId (and so by everything read from a drawing or
// the database), never cleared again. applyToDWG writes only a modified record, and the
// getDWGLayer that takes a drawing reads only into a modified one. deSerialize assigns name and
// description directly and leaves the flag alone, so a list read from XML writes nothing until
// a setter ran.
//
// Names: setName cleans a name with validateLayerName (the eleven characters < > / \ " ; ? * ,
// = and the backquote go); names read from a drawing are held in upper case; names read from
// XML are held as the file has them.
//
// Writing a layer the drawing lacks makes it with the record's name, colour, states and line
// weight. A layer takes only a colour index 1 to 255 or a true colour: a record whose colour was
// never set (index 0, by block) or is by layer gives the new layer the host's default colour 7.
// A new layer record that the drawing's table refuses (an empty or invalid name, a name taken)
// is deleted, never left behind. A layer the drawing has keeps its colour, name and
// description; only its states and line weight are written.
//
// Failures: every operation but the accessors follows the catch-and-wrap convention (source
// file "Layer"); host statuses are not raised (a refused lock or a table that does not open
// ends the operation quietly).
#pragma once

#include <functional>

#include "StdAfx.h"
#include "msado15.h"

class CAcadDrawing;
class CParameters;
class CStoredProcedure;

class CLayer {
  public:
    // Null id, empty name and description, colour index 0, not frozen, locked or off,
    // plottable, line weight 0; not modified.
    CLayer();
    // Filled from an open layer record (getDWGLayer); modified.
    explicit CLayer(AcDbLayerTableRecord* pLayer);
    virtual ~CLayer();

    // The name without the characters < > / \ " ; ? * , = and the backquote; may be empty.
    static CString validateLayerName(CString sName);
    // Makes a layer of the cleaned name exist in the drawing, under the drawing's counted lock
    // (a caller may hold it already). A new layer has only its name: colour, states and line
    // weight are the host's defaults. 1 in every case, also when the lock is refused (and
    // nothing is made).
    static int ensureLayerExists(CString sName, CAcadDrawing* pDrawing);
    // Adds a new layer record, prepared by the caller, under `sName` to the layer table (open
    // for write) and closes it; a record the table refuses is deleted. The new layer's id, or
    // the null id when it was refused.
    static AcDbObjectId addLayerRecord(AcDbLayerTable* pTable, AcDbLayerTableRecord* pRecord,
                                       CString sName);
    // True for a colour a layer can take: an index 1 to 255 or a true colour.
    static bool isLayerColour(const AcCmColor& colour);

    // Fills a modified record from the drawing's layer of that name; 1 when the drawing has
    // such a layer (also if it then fails to open), 0 when it has none, when the record is not
    // modified (nothing is touched, no lock taken) or when the lock is refused.
    int getDWGLayer(CAcadDrawing* pDrawing, CString sName);
    // Fills the record from an open layer record: its id, its name in upper case, its colour
    // index, states and line weight (the description stays). The record is modified.
    void getDWGLayer(AcDbLayerTableRecord* pLayer);
    // Writes a modified record to the drawing (see above); a record without an id takes the
    // layer's. Nothing when not modified or when the lock is refused. The host's statuses for
    // the single states are not looked at (freezing the current layer is refused by the host).
    void applyToDWG(CAcadDrawing* pDrawing);
    // The element "layerOn" with "loName" and, when there is a description, "loDescription".
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace);
    // Reads an element "layerOn" (anything else, or one without children, is ignored): its
    // "loName" and "loDescription" children, the last of each winning.
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode);
    // Records the layer with "__to_addDrawingLayer": its name, an empty description, its colour
    // index as one byte, the attachment id. A COM error becomes a CEXStoredProcedure.
    void addLayerToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID);

    // The calls that record layers and layouts against a drawing attachment (CLayer, CLayers,
    // CLayout, CLayouts): an input parameter appended to a call's list, and one call of
    // `sProcedure` on the caller's procedure object with the timeout and the parameters that
    // `fill` adds, run without result or, given `read`, with its record set handed to `read`.
    // The list stays attached until the failure handling has described the call: a COM error
    // becomes a CEXStoredProcedure (severity 2), anything else a CEXUnhandled, both naming
    // `sSourceFile` and `sProcSig`.
    static void addVarChar(CParameters& parameters, LPCTSTR sName, CString sValue);
    static void addInt(CParameters& parameters, LPCTSTR sName, int iValue);
    static void callProcedure(CStoredProcedure* pStoredProcedure, int iTimeout, LPCTSTR sProcedure,
                              LPCTSTR sSourceFile, LPCTSTR sProcSig,
                              const std::function<void(CParameters&)>& fill,
                              const std::function<void(_RecordsetPtr)>& read = nullptr);

    AcDbObjectId getId() const { return m_id; }
    // The only setter that leaves the modified flag alone.
    void setId(AcDbObjectId id) { m_id = id; }
    CString getName() const { return m_sName; }
    void setName(CString sName);
    CString getDescription() const { return m_sDescription; }
    void setDescription(CString sDescription);
    int getColourIndex() const { return m_iColourIndex; }
    AcCmColor getColour() const { return m_colour; }
    // The index and the colour object together (the index passes to the host as 16 bits).
    void setColourIndex(int iColourIndex);
    int isFrozen() const { return m_bFrozen; }
    void setFrozen(int bFrozen);
    int isLocked() const { return m_bLocked; }
    void setLocked(int bLocked);
    int isOff() const { return m_bOff; }
    void setOff(int bOff);
    int isPlottable() const { return m_bPlottable; }
    void setPlottable(int bPlottable);
    int getLineWeight() const { return m_iLineWeight; }
    void setLineWeight(int iLineWeight);
    int isModified() const { return m_bModified; }

  private:
    // Writes the four states and the line weight into an open layer record.
    void writeStates(AcDbLayerTableRecord* pLayer) const;

    AcDbObjectId m_id;
    CString m_sName;
    CString m_sDescription;
    int m_iColourIndex = 0;
    AcCmColor m_colour;
    int m_bFrozen = 0;
    int m_bLocked = 0;
    int m_bOff = 0;
    int m_bPlottable = 1;
    int m_iLineWeight = 0;
    int m_bModified = 0;
};
