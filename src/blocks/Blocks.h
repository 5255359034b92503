// CBlocks: the owning list of the space blocks of a drawing (or of a report category, or of a
// location in the facility database). It finds them in the drawing, by a selection of block
// references or by a walk of model space, and builds each as the kind its name and extended data
// say; it loads them from the database, sorts them by handle, writes and reads its XML form,
// zooms the view onto them and finds one by position, handle, code or location id.
//
// Ownership: the list owns every block it holds (as CBlock, destroyed whole through the virtual
// destructor, whatever its kind) and destroys it when it is replaced, when the list is emptied
// and with the list. Look-ups hand out blocks that stay the list's. No element is null.
//
// Level letter: "f" (a floor drawing) makes a gross-area reference (block name
// "ROOM-GROSS_AREA", or NAME "GROSS AREA" in its extended data, both exact) a CBlockDWGFloor and
// every other space block a CBlockDWGRoom; any other letter makes them a CBlockDWGSite and
// CBlockDWGBuilding. References to "MARKER-LEGEND" are never space blocks.
//
// Walks: they take one level of the drawing's counted lock and give it back, zoom to the
// extents for the selection and back afterwards, and free their selection set, on every path,
// failures included. A refused lock reads as an empty drawing (nothing added, nothing raised).
// Entries that do not open, are no block reference or whose definition does not open add
// nothing. Every walk appends to what the list holds.
//
// Failures: every operation wraps a failure in a CEXUnhandled naming "CBlocks::" and the
// operation ("Blocks" source file); the database loaders raise the stored procedure's own
// CEXStoredProcedure (with the call's XML) when the call or its rows fail.
#pragma once

#include <functional>

#include "StdAfx.h"

class CAcadDrawing;
class CBlock;
class CBlockIPR;
class CHatch;
class CStoredProcedure;

// For a catch-all handler of a database operation: a stored procedure's error (a
// CEXStoredProcedure, however it was thrown) goes on as it is, with the call's XML; anything
// else is wrapped as throwWrapped does.
[[noreturn]] void rethrowProcedureError(LPCTSTR sSourceFile, LPCTSTR sProcSig);

class CBlocks {
  public:
    CBlocks() = default;
    ~CBlocks();
    CBlocks(const CBlocks&) = delete;
    CBlocks& operator=(const CBlocks&) = delete;

    // ---- Ownership ----------------------------------------------------------------------

    // Appends the block and takes it over. A null block is ignored.
    void addBlock(CBlock* pBlock);
    // Destroys every block in index order and empties the list.
    void deleteObjects();
    // Destroys one block (not held by the list, or about to leave it) whole.
    static void deleteObject(CBlock* pBlock);
    // Puts the block at the index and destroys the one taken out. The block already there:
    // nothing. A null block, or an index outside 0 to count - 1, raises and leaves both the list
    // and the block as they were (the caller keeps the block).
    void replaceAt(int iIndex, CBlock* pBlock);
    // Destroys every block of that block type code and closes the gaps (the others keep their
    // order).
    void deleteBlocksOfType(int iBlockType);

    // ---- Look-up ------------------------------------------------------------------------

    int getCount() const { return m_iCount; }
    // The block at 0 to count - 1; any other index raises (wrapped CInvalidArgException).
    CBlock* getAt(int iIndex) const;
    // The first block whose handle text equals the text exactly (case-sensitive), or null.
    CBlock* getAt(CString sHandle) const;
    // The first block whose code equals the text exactly, or null.
    CBlock* getByCode(CString sCode) const;
    // The first database record (block type 1 to 5; other blocks are passed over) of that
    // location id, or null.
    CBlockIPR* getAtIPRBlock(int iLocationID) const;

    // ---- From the drawing ---------------------------------------------------------------

    // The space blocks of the whole drawing ("X" selection of "ROOM-*" references, model space
    // and layouts), in selection order, classified by the level letter; rooms built with
    // bAssets gather the assets inside them.
    void getOrvanDWGBlocks_SS(CAcadDrawing* pDrawing, bool bAssets, CString sLevel);
    // The same over a walk of model space, taking every block reference except those to
    // "MARKER-LEGEND" and "MARKER-PIECHART", whatever its name. Nothing when the wrapper is not
    // open; it neither locks nor zooms.
    void getOrvanDWGBlocks_I(CAcadDrawing* pDrawing, bool bAssets, CString sLevel);
    // Every block reference of the drawing as a plain CBlockDWG. Locks before it zooms.
    void getAcadBlocks(CAcadDrawing* pDrawing);
    // The marker references of the drawing, in selection order: a CMarkerBlockLegend for each
    // reference whose definition is named exactly "MARKER-LEGEND", a CMarkerBlockPie for each
    // one of "MARKER-PIECHART". Defined with the markers (reports/MarkerBlockCollection.cpp).
    void getLegendBlock_SS(CAcadDrawing* pDrawing);
    void getPieBlock_SS(CAcadDrawing* pDrawing);
    // The walk of the selection that the walks above share: under one level of the drawing's
    // lock and zoomed to the extents, `each` for every member of the selection that opens as a
    // block reference (open for read), in selection order. Nothing when the lock is refused or
    // the selection finds nothing; lock, view and set are given back on every path.
    static void walkSelection(CAcadDrawing* pDrawing, int (*selector)(ads_name),
                              const std::function<void(AcDbBlockReference*)>& each);

    // The selections: "X" with the filter INSERT and, for the first three, the block name
    // "ROOM-*", "MARKER-LEGEND" or "MARKER-PIECHART". The host's result (RTNORM with a set,
    // which the caller frees).
    static int getOrvanBlockSS(ads_name set);
    static int getLegendBlockSS(ads_name set);
    static int getPieBlockSS(ads_name set);
    static int getAcadBlockSS(ads_name set);

    // The NAME value of the entity's extended data ("ADE", else "AECXDATA"): the rest of the
    // first string item beginning "NAME="; empty when there is none.
    static CString readNameFromXData(AcDbEntity* pEntity);

    // ---- Order, XML, view ---------------------------------------------------------------

    // Orders the blocks by their handle's value (the hexadecimal text read as an unsigned
    // 64-bit number: leading "0X" skipped, reading stops at the first other character), rising
    // or falling; blocks of equal handles keep their order.
    void sortBlocksByHandle(bool bAscending);
    // "orvanBlocks" holding each block's "orvanBlock" (CBlockDWG::serialize) in index order.
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Appends a plain CBlockDWG for each child of the "orvanBlocks" element named exactly
    // "orvanBlock" (each given its own copy of the hatch template when one is given); other
    // children are passed over; a null node adds nothing.
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode, CHatch* pHatchTemplate);
    // Under one level of the lock (a refusal raises the host status, line 314), zooms to the
    // box of every block's outline grown by the margin. Blocks that do not open are passed
    // over; with nothing measured the view stays.
    void zoomToBlocks(CAcadDrawing* pDrawing, double dblMargin);

    // ---- From the database --------------------------------------------------------------

    // "__gr_getCategoryBlocks" with "@categoryID": per row a plain CBlockDWG with "mbHandle",
    // "mbName", "mbCode", "mbArea" (NULL keeps the default), an attribute list with the NAME,
    // AREA and AUX values of "mbSwapName", "mbSwapArea", "mbSwapAux" that are neither NULL nor
    // empty, the block's hyperlinks from the database (kept only when there are any) and its own
    // copy of the hatch template. The rows are read first; the hyperlinks are asked for once
    // the row set is closed.
    void getCategoryDWGBlocks(CStoredProcedure* pStoredProcedure, int iTimeout, int iCategoryID,
                              CHatch* pHatchTemplate);

    // "__to_getBlocksFromIPR" with "@parentID": per row a record of the kind its "type" names
    // ("r" room, "f" floor, "b" building, anything else a site) with its location id, parent
    // id, name, code, status ("0" first: exists; "1" second: duplicate), area, handle and
    // perimeter (NULL keeps the default). With bAssets a room also gets its location's assets
    // ("[idr]..[getLocationAssets]", same time-out), asked for once the row set is closed.
    void getIPRBlocks(CStoredProcedure* pStoredProcedure, int iTimeout, int iParentID,
                      bool bAssets);

  private:
    // Builds the kind for a block reference (open) and appends it; nothing for "MARKER-LEGEND"
    // (and, with bSkipPie, "MARKER-PIECHART") or a definition that does not open.
    void addClassified(AcDbBlockReference* pReference, CAcadDrawing* pDrawing, bool bAssets,
                       const CString& sLevel, bool bSkipPie);

    CArray<CBlock*, CBlock*> m_blocks;
    int m_iCount = 0;
};
