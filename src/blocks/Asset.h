// CAsset: a block reference other than a space block (furniture, equipment) that stands inside a
// space: its identity in the drawing (object id, handle), in the database (location id, drawing
// id), its block name and two descriptions, its insertion point, whether it exists in its
// location, and the attributes, hyperlinks and hatch setting it owns.
//
// Ownership: the asset owns its attributes, hyperlinks and hatch setting; each setter takes the
// object over and deletes the one it replaces (unless it is the same). The destructor deletes
// them in the order attributes, hyperlinks, hatch. No two assets share a hatch setting.
//
// Failures: every operation wraps a failure in a CEXUnhandled naming "CAsset::" and the
// operation, with "Asset" as its source file; a failure of a database call arrives as a
// CEXStoredProcedure that carries the call's XML form.
#pragma once

#include <utility>

#include "StdAfx.h"

class CAcadDrawing;
class CAttributes;
class CHatch;
class CHyperlinks;
class COrvanExceptions;
class CStoredProcedure;

class CAsset {
  public:
    // Every field at its default: null ids and handle, ids 0, empty texts, point (0, 0), exists 0.
    CAsset() = default;
    // Location id 0; the handle parsed from the text.
    CAsset(int iDrawingID, CString sHandle, CString sBlockIdentifier, CString sBlockDescription,
           CString sUniqueDescription, double dblPointX, double dblPointY, int iExistsInLocation);
    CAsset(int iLocationID, int iDrawingID, CString sHandle, CString sBlockIdentifier,
           CString sBlockDescription, CString sUniqueDescription, double dblPointX,
           double dblPointY, int iExistsInLocation);
    // Exists in location 0 when the status text is exactly "0", else 1 (the empty text too).
    CAsset(int iLocationID, int iDrawingID, CString sHandle, CString sBlockIdentifier,
           CString sBlockDescription, CString sUniqueDescription, double dblPointX,
           double dblPointY, CString sStatus);
    ~CAsset();
    CAsset(const CAsset&) = delete;
    CAsset& operator=(const CAsset&) = delete;

    // ---- Accessors ------------------------------------------------------------------------

    int getLocationID() const { return m_iLocationID; }
    void setLocationID(int i) { m_iLocationID = i; }
    int getDrawingID() const { return m_iDrawingID; }
    void setDrawingID(int i) { m_iDrawingID = i; }
    AcDbObjectId getObjectId() const { return m_objectId; }
    void setObjectId(AcDbObjectId id) { m_objectId = id; }
    // The handle value itself, its setter from a value, from hexadecimal text (text that is no
    // handle gives the null handle) and its hexadecimal text ("0" for the null handle).
    const AcDbHandle& getDbHandle() const { return m_handle; }
    void setHandle(AcDbHandle handle) { m_handle = handle; }
    void setHandleFromString(CString sHandle);
    CString getHandle() const;
    CString getBlockIdentifier() const { return m_sBlockIdentifier; }
    void setBlockIdentifier(CString s) { m_sBlockIdentifier = std::move(s); }
    CString getBlockDescription() const { return m_sBlockDescription; }
    void setBlockDescription(CString s) { m_sBlockDescription = std::move(s); }
    CString getUniqueDescription() const { return m_sUniqueDescription; }
    void setUniqueDescription(CString s) { m_sUniqueDescription = std::move(s); }
    double getPointX() const { return m_dblPointX; }
    void setPointX(double dbl) { m_dblPointX = dbl; }
    double getPointY() const { return m_dblPointY; }
    void setPointY(double dbl) { m_dblPointY = dbl; }
    int getExistsInLocation() const { return m_iExistsInLocation; }
    void setExistsInLocation(int i) { m_iExistsInLocation = i; }
    CAttributes* getAttributes() const { return m_pAttributes; }
    void setAttributes(CAttributes* pAttributes);
    CHyperlinks* getHyperlinks() const { return m_pHyperlinks; }
    void setHyperlinks(CHyperlinks* pHyperlinks);
    CHatch* getHatch() const { return m_pHatch; }
    void setHatch(CHatch* pHatch);

    // ---- Copy and XML -------------------------------------------------------------------

    // Copies location id, handle, the three texts, the point and the exists flag into the
    // target, and gives it copies of the hatch setting, hyperlinks and attributes that this
    // asset has (replacing the target's). Object id and drawing id stay the target's. A null
    // target, or this asset itself, does nothing.
    void copyTo(CAsset* pTarget) const;
    // The element "asset" with "locationID", "handle", "blockIdentifier", "blockDescription",
    // "uniqueDescription", "pointX" and "pointY" (5 decimals), every one written.
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Reads an element named exactly "asset" with children (anything else changes nothing):
    // each known child sets its field, others are passed over. Given a hatch setting, the asset
    // gets a copy of its own; the caller keeps the one it passed.
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode, CHatch* pHatch);

    // ---- In the drawing (AssetDWG.cpp) --------------------------------------------------

    // Under one level of the drawing's lock (a refusal raises the host-status error, line 414):
    // opens the reference of the object id; an id that does not open, or that is no block
    // reference, is passed over without a message. For a reference: its layer is switched on,
    // thawed and unlocked (its colour, line weight and plottable flag kept); then, with a hatch
    // setting, the asset is hatched, and the hyperlinks (when there are any) go on the
    // reference, its definition's entities, its attributes and the hatch; without one only the
    // hyperlinks go on; then the attribute values (by tag). Hatch problems are added to the
    // error list (null: dropped); everything opened is closed and the lock given back on every
    // path.
    void applyToDWG(CAcadDrawing* pDrawing, COrvanExceptions* pErrors);
    // For a block reference: hatches the rectangle that the entities of its definition cover
    // (in x and y), carried by the reference's block transform. A definition that does not open
    // or holds nothing with extents makes no hatch and adds a CEXHatchNoAreas to the list.
    void hatchAsset(CAcadDrawing* pDrawing, AcDbEntity* pEntity, AcDbObjectId& hatchId,
                    COrvanExceptions* pErrors);
    // With a hatch setting: an invisible closed boundary polyline for the rectangle (definition
    // coordinates) carried by the reference's block transform into model space, on the cleaned
    // layer name of the setting (made to exist with its colour), and a hatch of it on the same
    // layer with the setting's pattern, angle (passed as it stands), scale and colour, beneath
    // everything in the draw order. Evaluation statuses 420 and 5 add CEXHatchTooDense and
    // CEXHatchNotDenseEnough ("asset - " + handle), any other a CEXUnhandled (line 1176); a
    // failed post adds a CEXUnhandled (line 1188), leaves hatchId null and deletes the hatch.
    // Without a hatch setting nothing happens.
    void hatchAssetArea(CAcadDrawing* pDrawing, AcDbBlockReference* pReference,
                        const AcGePoint3d& ptLowerLeft, const AcGePoint3d& ptUpperRight,
                        AcDbObjectId& hatchId, COrvanExceptions* pErrors);
    // Replaces the hyperlinks of the reference (open for write), of each entity of its
    // definition and of each of its attributes with the asset's. Anything else, or an asset
    // without hyperlinks, is left alone; objects that do not open are skipped.
    void hyperlinkAsset(AcDbEntity* pEntity);
    // The same for the object of the id (opened for write; passed over when it does not open).
    void hyperlinkHatch(AcDbObjectId hatchId);
    // Replaces the object's (open for write) hyperlinks with the asset's.
    void hyperlinkEntity(AcDbObject* pObject);
    // Changes nothing.
    void editLineWeights(AcDbEntity* pEntity);

    // ---- In the database ----------------------------------------------------------------

    // "__to_applyAssetToIPR" with the given location and drawing ids (not the asset's own);
    // then, unless the database answers that the block is excluded from the take-off, when the
    // asset exists in its location and has attributes, the attributes under the drawing id and
    // the handle. The procedure's time-out is set to the one given.
    void applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iLocationID,
                    int iTimeout);
    // "__to_tp_exportAsset" with the asset's own location id and the export parameters.
    void exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, CString sExportParameters);

  private:
    void initialise(int iLocationID, int iDrawingID, CString sHandle, CString sBlockIdentifier,
                    CString sBlockDescription, CString sUniqueDescription, double dblPointX,
                    double dblPointY, int iExistsInLocation);
    // The text that names the asset in hatch errors: "asset - " + handle.
    CString subject() const;

    AcDbObjectId m_objectId;
    AcDbHandle m_handle;
    int m_iLocationID = 0;
    int m_iDrawingID = 0;
    CString m_sBlockIdentifier;
    CString m_sBlockDescription;
    CString m_sUniqueDescription;
    double m_dblPointX = 0.0;
    double m_dblPointY = 0.0;
    int m_iExistsInLocation = 0;
    CAttributes* m_pAttributes = nullptr;
    CHyperlinks* m_pHyperlinks = nullptr;
    CHatch* m_pHatch = nullptr;
};
