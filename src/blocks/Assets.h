// CAssets: the owning, ordered list of assets (CAsset) of a room, a report category or a
// database location, with the three finders that fill it: from the drawing (the asset block
// references inside a room's boundary), from a report category and from a location in the
// database.
//
// Ownership: the list owns its assets; getAt and getAtAsset hand out assets that stay the
// list's. The destructor deletes them all.
//
// The module-wide asset exclusion list (assetExclusionList, empty unless a caller sets it) keeps
// block names out: the drawing finder drops an asset whose block name occurs anywhere in it; the
// database write skips an asset when it holds "," + block identifier + ",".
//
// Failures: every operation wraps a failure in a CEXUnhandled naming "CAssets::" and the
// operation ("Assets" source file); the database finders raise a CEXStoredProcedure carrying the
// failed call's XML when the call, the reading of its rows or a call made for one of the assets
// (its hyperlinks, its attributes) fails, and keep the assets added before.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CAsset;
class CAttributes;
class CHatch;
class COrvanExceptions;
class CStoredProcedure;

// The asset exclusion list: block names of assets to leave out, ","-separated; empty, and
// nothing in the module writes it. One for the module's whole life (defined in Assets.cpp).
extern CString assetExclusionList;

class CAssets {
  public:
    CAssets() = default;
    ~CAssets();
    CAssets(const CAssets&) = delete;
    CAssets& operator=(const CAssets&) = delete;

    // Appends the asset and takes it over; the new count. A null asset is ignored.
    int add(CAsset* pAsset);
    // The asset at 0 to count - 1; any other index raises CInvalidArgException.
    CAsset* getAt(int iIndex) const;
    int getCount() const { return m_iCount; }
    // The first asset whose handle text equals the text exactly (case-sensitive), or null.
    CAsset* getAtAsset(CString sHandle) const;
    // Deletes every asset and empties the list.
    void deleteObjects();

    // A copy of each asset (CAsset::copyTo into a new asset) added to the target, which keeps
    // what it holds. A null target, or this list, does nothing.
    void copyTo(CAssets* pTarget) const;
    // CAsset::applyToDWG for each asset in order, the errors going to the list.
    void applyToDWG(CAcadDrawing* pDrawing, COrvanExceptions* pErrors);
    // CAsset::applyToIPR for each asset not excluded.
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iLocationID,
                    int iTimeout);
    // CAsset::exportTP for each asset.
    void exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, CString sExportParameters);
    // The element "assets" with one "asset" per asset.
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Each node named exactly "asset" of the list becomes a new asset (with its own copy of the
    // hatch setting when one is given); other nodes are passed over; a null list adds nothing.
    void deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes, CHatch* pHatch);

    // ---- The drawing finder (AssetsDWG.cpp) ---------------------------------------------
    //
    // The candidates are the block references not named "ROOM-*" that the crossing polygon
    // through the boundary's vertices selects in the current space: each vertex is carried
    // by the placement (definition to world; for getPolylineAssets with a position, the move by
    // the position), then into the current UCS; repeated consecutive vertices are left out.
    // Only references of the exact class "AcDbBlockReference" become assets (no multiple
    // inserts); an anonymous "*U" reference becomes one only when it shows a dynamic block, under
    // the dynamic block's name. An asset found gets drawing and location id 0, the handle, the
    // block name, empty descriptions, the insertion point in the UCS, exists 1, the object id
    // and the reference's attribute values. Members that do not open are skipped; a selection
    // that finds nothing adds nothing. The selection set is freed on every path.

    // Selects the candidates into `set`; the host's selection status (5100 with a set; 0 for a
    // boundary without vertices). The caller frees the set when 5100 is returned.
    int getPolylineAssets_SS(const AcGePoint3d& ptPosition, AcDbPolyline* pPolyline,
                             ads_name set);
    int getPolylineAssets_SS(const AcGeMatrix3d& placement, AcDbPolyline* pPolyline,
                             ads_name set);
    // Adds the assets inside the boundary placed at the position (a move only).
    void getPolylineAssets(const AcGePoint3d& ptPosition, AcDbPolyline* pPolyline);
    // Adds the assets inside the boundary placed by the matrix (a room reference's block
    // transform: turned and scaled references too).
    void getPolylineAssets(const AcGeMatrix3d& placement, AcDbPolyline* pPolyline);
    // Hides the visible attributes of the candidate references, recording them in the list,
    // then regenerates the drawing. The caller holds the document lock.
    void setPolylineAssetAttributesInvisible(const AcGePoint3d& ptPosition,
                                             AcDbPolyline* pPolyline, CAttributes* pAttributes);

    // ---- The database finders -----------------------------------------------------------

    // "__gr_getCategoryAssets" with "@categoryID": per row a new asset with "maHandle",
    // "maDescription" and "maUniqueDescription" (NULL keeps the default), the hyperlinks the
    // database gives for its handle (an empty list is not kept) and, given a hatch setting, its
    // own copy of it.
    void getCategoryAssets(CStoredProcedure* pStoredProcedure, int iTimeout, int iCategoryID,
                           CHatch* pHatch);
    // "[idr]..[getLocationAssets]" with "@locationID": per row a new asset of that location with
    // its drawing id, handle, block identifier, descriptions ("atDescription", "aDescription";
    // empty when NULL), point ("aX", "aY"), exists 0 only for the status "0", and its attribute
    // values ("[idr]..[getAssetAttributes]" with the same time-out). A NULL "drawingID", "aX" or
    // "aY" is a failure of the call (the rows before it are added); a NULL handle, block
    // identifier or status reads as the empty text.
    void getLocationAssets(CStoredProcedure* pStoredProcedure, int iLocationID, int iTimeout);

  private:
    CArray<CAsset*, CAsset*> m_assets;
    int m_iCount = 0;
};
