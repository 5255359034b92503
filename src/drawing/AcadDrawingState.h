// CAcadDrawingState: a layer state of a drawing — the layout to make current and the layer
// records (CLayers) with their states and line weights. A graphic report reads the drawing's
// state, switches every layer off, turns its own layers on and applies the result; a take-off
// switches every layer on.
//
// The state changes in memory through its setters and reaches the drawing only through
// applyState (also through setStateAllOff and setStateForTakeOff). Only modified layer records
// are written (CLayer).
//
// Ownership: the state owns its layer list; the caller owns the state.
// Failures: every operation follows the catch-and-wrap convention (source file
// "AcadDrawingState"); the status of making the layout current is not looked at.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CLayers;

class CAcadDrawingState {
  public:
    // The active layout's name (of the working drawing, model space allowed) and an empty
    // layer list.
    CAcadDrawingState();
    // Empty layout name, then getState of the database.
    explicit CAcadDrawingState(AcDbDatabase* pDatabase);
    // Deletes the layer list.
    ~CAcadDrawingState();
    CAcadDrawingState(const CAcadDrawingState&) = delete;
    CAcadDrawingState& operator=(const CAcadDrawingState&) = delete;

    // The database's active layout (model space allowed) and every layer of its document's
    // drawing, in place of the list held before.
    void getState(AcDbDatabase* pDatabase);
    // Sets the four states of the layer of that name (its name cleaned, then compared without
    // regard to case); a name the list lacks gets a new record, which applying the state makes
    // in the drawing.
    void setLayerState(CString sName, int bFrozen, int bLocked, int bOff, int bPlottable);
    // Makes model space current at once, turns every layer off (thawed, unlocked, plottable)
    // and applies the state, which makes the state's own layout current again.
    void setStateAllOff(CAcadDrawing* pDrawing);
    // Model space, every layer on, thawed, unlocked and plottable; applied.
    void setStateForTakeOff(CAcadDrawing* pDrawing);
    void setAllLayerLineWeights(int iLineWeight);
    // Leaves the module's output layers as they are.
    void setOrvanLayersForOutput();
    // Makes the layout current, writes the modified layers and regenerates the drawing. With
    // bPerViewport on a paper layout, every viewport of the active layout also gets the frozen
    // layers frozen and the others thawed. The layout and the viewports are written under the
    // drawing's counted lock (the caller may hold it); without the lock neither changes, and
    // the drawing is regenerated all the same.
    void applyState(CAcadDrawing* pDrawing, int bPerViewport);
    // Opens each viewport of the active layout for write (one that does not open is skipped)
    // and thaws and freezes the layers of the two arrays there. Null ids (records never read
    // from or written to a drawing) are left out; the drawing is the one the ids belong to.
    void applyLayersInAllLayoutViewports(AcDbObjectIdArray& thawIds, AcDbObjectIdArray& freezeIds);
    // "AcadDrawingState" with "layout" and, when there is a layer list, "layersOn".
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace);
    // Reads an "AcadDrawingState" element (anything else, or one without children, is ignored).
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode);

    CString getLayoutName() const { return m_sLayoutName; }
    void setLayoutName(CString sLayoutName) { m_sLayoutName = sLayoutName; }
    CLayers* getLayers() const { return m_pLayers; }
    // The state takes the list and deletes the one it held (unless it is the same list).
    void setLayers(CLayers* pLayers);

  private:
    void replaceLayers(CLayers* pLayers);

    CString m_sLayoutName;
    CLayers* m_pLayers = NULL;
};
