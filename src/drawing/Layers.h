// CLayers: the owning, ordered list of layer records (CLayer) that the module moves between a
// drawing, XML and the database, with the bulk operations of a layer state.
//
// Names: add keeps the first record of a name and deletes a later one of exactly the same name
// (case-sensitive), so two names that differ only in case are both held; getAtLayer finds a
// name without regard to case and gives the first match.
//
// The five protected names "##HYPERLINKS", "##HATCH", "ATT-NAME", "ATT-AREA" and "ATT-AUX"
// (compared exactly) keep their state when all layers are turned off or frozen.
//
// Failures: every operation but the constructor, the destructor, getAt and getCount follows the
// catch-and-wrap convention (source file "Layers"); host statuses are not raised.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CLayer;
class CStoredProcedure;

class CLayers {
  public:
    CLayers();
    // Deletes every record.
    virtual ~CLayers();
    CLayers(const CLayers&) = delete;
    CLayers& operator=(const CLayers&) = delete;

    // Takes the record (the list owns it in every case): appended, or deleted when the list
    // holds a record of exactly that name already.
    void add(CLayer* pLayer);
    // The record at an index from 0 to count - 1; outside that the framework's
    // invalid-argument exception.
    CLayer* getAt(int iIndex) const;
    int getCount() const { return m_iCount; }
    // The first record of that name, compared without regard to case, or null.
    CLayer* getAtLayer(CString sName);
    void deleteObjects();

    // Makes the cleaned layer name exist in a drawing that the caller has locked (nothing, when
    // it is not locked); a new layer takes the colour when it is one a layer can have (an index
    // 1 to 255 or a true colour), else the host's colour 7. A layer that exists keeps its
    // colour. 1 in every case.
    int ensureLayerExists(CAcadDrawing* pDrawing, CString sName, AcCmColor colour);
    // Writes every modified record, in list order (each under the drawing's counted lock).
    void applyToDWG(CAcadDrawing* pDrawing);
    // Appends each record's id (null for one never read or written) to the frozen array when
    // the record is frozen, else to the thawed array; the arrays are not emptied first.
    void getFrozenThawedIds(AcDbObjectIdArray& thawed, AcDbObjectIdArray& frozen);
    // Appends a record for every layer of the drawing (modified, name in upper case); a name
    // already held keeps the held record. Nothing when the lock is refused.
    void getDWGLayers(CAcadDrawing* pDrawing);
    // The element "layersOn" with one "layerOn" per record.
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace);
    // Adds a record for every node named "layerOn" (others are skipped; no list, nothing).
    void deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes);
    // Adds the layers that "__gr_getReportLayersOn" lists for the report (names cleaned). A COM
    // error becomes a CEXStoredProcedure.
    void getGraphicReportLayersOn(CStoredProcedure* pStoredProcedure, int iGraphicReportID,
                                  int iTimeout);
    // CLayer::addLayerToIPR for every record in order; the first failure ends the loop. 1.
    int addLayersToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID);
    // The off (frozen) state of every record but the protected ones.
    void setAllLayersOff(int bOff);
    void setAllLayersFrozen(int bFrozen);
    // Makes a layer that is on the drawing's current layer: for every record that is on, under
    // one level of the drawing's counted lock (a refused lock skips the record), the drawing's
    // layer whose upper-case name equals the record's name (never "0") becomes current; the
    // last found wins. A record that is not found changes nothing.
    void setOnLayerToCurrent(CAcadDrawing* pDrawing);

  private:
    CArray<CLayer*, CLayer*> m_layers;
    int m_iCount;
};
