// CAsset in the drawing: its layer, hatch, hyperlinks and attribute values.
#include "blocks/Asset.h"

#include <memory>

#include "blocks/Attributes.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/Hyperlinks.h"
#include "core/ModuleDescription.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "drawing/Hatch.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"

static const LPCTSTR SOURCE_FILE = _T("Asset.cpp");

namespace {

// Switches the layer on, thaws and unlocks it; its colour, line weight and plottable flag stay.
// A layer that does not open is left as it is.
void showLayer(AcDbObjectId layerId) {
    AcDbObjectPointer<AcDbLayerTableRecord> pLayer(layerId, AcDb::kForWrite);
    if (pLayer.openStatus() != Acad::eOk)
        return;
    pLayer->setIsOff(false);
    pLayer->setIsFrozen(false);
    pLayer->setIsLocked(false);
}

// Posts an entity that the caller holds to model space: 0, and the entity is the drawing's; the
// refused lock's status, and it is still the caller's. When the post raises, the drawing has
// deleted it already, and the caller's pointer lets go of it.
template <class Entity>
int post(CAcadDrawing* pDrawing, std::unique_ptr<Entity>& pEntity, AcDbObjectId& id) {
    int iStatus = 0;
    try {
        iStatus = pDrawing->postToDrawing(id, pEntity.get());
    } catch (...) {
        pEntity.release();
        throw;
    }
    if (iStatus == 0)
        pEntity.release();
    return iStatus;
}

}  // namespace

void CAsset::applyToDWG(CAcadDrawing* pDrawing, COrvanExceptions* pErrors) {
    try {
        CDrawingLock lock(pDrawing);
        if (!lock.held())
            throw new CEXUnhandled(static_cast<Acad::ErrorStatus>(lock.status()),
                                   ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                   _T("CAsset::applyToDWG"), 414, CString(), nullptr);
        // The layer is read first: a reference on a locked layer does not open for write.
        AcDbObjectId layerId;
        {
            AcDbObjectPointer<AcDbEntity> pRead(m_objectId, AcDb::kForRead);
            if (pRead.openStatus() != Acad::eOk || AcDbBlockReference::cast(pRead.object()) ==
                                                        nullptr)
                return;
            layerId = pRead->layerId();
        }
        showLayer(layerId);
        AcDbObjectPointer<AcDbBlockReference> pReference(m_objectId, AcDb::kForWrite);
        if (pReference.openStatus() != Acad::eOk)
            return;
        const bool bLinks = m_pHyperlinks != nullptr && m_pHyperlinks->getCount() > 0;
        if (m_pHatch != nullptr) {
            AcDbObjectId hatchId;
            hatchAsset(pDrawing, pReference.object(), hatchId, pErrors);
            if (bLinks) {
                hyperlinkAsset(pReference.object());
                if (!hatchId.isNull())
                    hyperlinkHatch(hatchId);
            }
        } else if (bLinks) {
            hyperlinkAsset(pReference.object());
        }
        if (m_pAttributes != nullptr)
            m_pAttributes->applyToDWGByTag(pReference.object());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::applyToDWG"));
    }
}

void CAsset::hatchAsset(CAcadDrawing* pDrawing, AcDbEntity* pEntity, AcDbObjectId& hatchId,
                        COrvanExceptions* pErrors) {
    try {
        AcDbBlockReference* pReference = AcDbBlockReference::cast(pEntity);
        if (pReference == nullptr)
            return;
        AcGePoint3d ptLow(1e30, 1e30, 1e30);
        AcGePoint3d ptHigh(-1e30, -1e30, -1e30);
        bool bMeasured = false;
        {
            AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                                 AcDb::kForRead);
            if (pDefinition.openStatus() == Acad::eOk) {
                for (const AcDbObjectId& id : blockhost::entityIdsOf(pDefinition.object())) {
                    AcDbObjectPointer<AcDbEntity> pPart(id, AcDb::kForRead);
                    AcDbExtents extents;
                    if (pPart.openStatus() != Acad::eOk ||
                        pPart->getGeomExtents(extents) != Acad::eOk)
                        continue;
                    bMeasured = true;
                    ptLow.x = std::min(ptLow.x, extents.minPoint().x);
                    ptLow.y = std::min(ptLow.y, extents.minPoint().y);
                    ptHigh.x = std::max(ptHigh.x, extents.maxPoint().x);
                    ptHigh.y = std::max(ptHigh.y, extents.maxPoint().y);
                }
            }
        }
        if (!bMeasured) {
            // Nothing to measure: a hatch over the starting corners would cover the world.
            if (pErrors != nullptr)
                pErrors->add(new CEXUnhandled(L"Unable to hatch " + subject() +
                                                  L": its block holds nothing with extents.",
                                              ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                              _T("CAsset::hatchAsset"), 0));
            return;
        }
        ptLow.z = ptHigh.z = 0.0;
        hatchAssetArea(pDrawing, pReference, ptLow, ptHigh, hatchId, pErrors);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::hatchAsset"));
    }
}

void CAsset::hatchAssetArea(CAcadDrawing* pDrawing, AcDbBlockReference* pReference,
                            const AcGePoint3d& ptLowerLeft, const AcGePoint3d& ptUpperRight,
                            AcDbObjectId& hatchId, COrvanExceptions* pErrors) {
    if (m_pHatch == nullptr || pReference == nullptr)
        return;
    try {
        const CString sLayer = CLayer::validateLayerName(m_pHatch->getLayerName());
        AcCmColor colour = m_pHatch->getColour();
        CLayers layers;
        layers.ensureLayerExists(pDrawing, sLayer, colour);

        // The boundary: the rectangle in the definition, carried to where the reference puts it.
        auto pBoundary = std::make_unique<AcDbPolyline>();
        const AcGePoint2d corners[] = {{ptLowerLeft.x, ptLowerLeft.y},
                                       {ptLowerLeft.x, ptUpperRight.y},
                                       {ptUpperRight.x, ptUpperRight.y},
                                       {ptUpperRight.x, ptLowerLeft.y}};
        for (const AcGePoint2d& corner : corners)
            pBoundary->addVertexAt(pBoundary->numVerts(), corner, 0.0);
        pBoundary->setClosed(true);
        pBoundary->setVisibility(AcDb::kInvisible);
        pBoundary->setColor(colour);
        pBoundary->setLayer(sLayer);
        const Acad::ErrorStatus moved = pBoundary->transformBy(pReference->blockTransform());
        if (moved != Acad::eOk)
            throw moved;
        AcDbObjectId boundaryId;
        const int iPosted = post(pDrawing, pBoundary, boundaryId);
        if (iPosted != 0)
            throw static_cast<Acad::ErrorStatus>(iPosted);

        auto pHatch = std::make_unique<AcDbHatch>();
        pHatch->setPatternAngle(static_cast<double>(m_pHatch->getPatternAngle()));
        pHatch->setPatternScale(static_cast<double>(m_pHatch->getPatternScale()));
        pHatch->setAssociative(false);
        pHatch->setPattern(AcDbHatch::kPreDefined, m_pHatch->getPatternName());
        AcCmColor hatchColour = colour;
        hatchColour.setColorMethod(AcCmEntityColor::kByColor);
        pHatch->setColor(hatchColour);
        pHatch->setHatchStyle(AcDbHatch::kNormal);
        AcGeMatrix3d ucs;
        acedGetCurrentUCS(ucs);
        pHatch->setNormal(AcGeVector3d(AcGeVector3d::kZAxis).transformBy(ucs).normal());
        pHatch->setElevation(0.0);
        pHatch->setLayer(sLayer);
        AcDbObjectIdArray loop;
        loop.append(boundaryId);
        pHatch->appendLoop(AcDbHatch::kOutermost, loop);

        const Acad::ErrorStatus evaluated = pHatch->evaluateHatch(true);
        if (evaluated != Acad::eOk && pErrors != nullptr) {
            const double dblScale = m_pHatch->getPatternScale();
            if (evaluated == Acad::eHatchTooDense)
                pErrors->add(new CEXHatchTooDense(subject(), m_pHatch->getPatternName(), dblScale,
                                                  ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                                  _T("CAsset::hatchAssetArea")));
            else if (evaluated == Acad::eAmbiguousOutput)
                pErrors->add(new CEXHatchNotDenseEnough(
                    subject(), m_pHatch->getPatternName(), dblScale, ORVAN_MODULE_DESCRIPTION,
                    SOURCE_FILE, _T("CAsset::hatchAssetArea")));
            else
                pErrors->add(new CEXUnhandled(evaluated, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                              _T("CAsset::hatchAssetArea"), 1176, CString(),
                                              nullptr));
        }

        AcDbObjectId newId;
        const int iStatus = post(pDrawing, pHatch, newId);
        if (iStatus != 0) {
            hatchId = AcDbObjectId::kNull;
            if (pErrors != nullptr)
                pErrors->add(new CEXUnhandled(static_cast<Acad::ErrorStatus>(iStatus),
                                              ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                              _T("CAsset::hatchAssetArea"), 1188, CString(),
                                              nullptr));
            return;
        }
        hatchId = newId;
        AcDbObjectPointer<AcDbHatch> pPosted(newId, AcDb::kForWrite);
        Acad::ErrorStatus ordered = pPosted.openStatus();
        if (ordered == Acad::eOk)
            ordered = CAcadUtilities::moveToBottom(pPosted.object());
        if (ordered != Acad::eOk && pErrors != nullptr)
            pErrors->add(new CEXUnhandled(ordered, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                          _T("CAsset::hatchAssetArea"), __LINE__, CString(),
                                          nullptr));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::hatchAssetArea"));
    }
}

void CAsset::hyperlinkEntity(AcDbObject* pObject) {
    try {
        if (m_pHyperlinks != nullptr && pObject != nullptr)
            m_pHyperlinks->attachTo(pObject);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::hyperlinkEntity"));
    }
}

void CAsset::hyperlinkAsset(AcDbEntity* pEntity) {
    try {
        AcDbBlockReference* pReference = AcDbBlockReference::cast(pEntity);
        if (pReference == nullptr || m_pHyperlinks == nullptr)
            return;
        hyperlinkEntity(pReference);
        AcDbObjectIdArray parts;
        {
            AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                                 AcDb::kForRead);
            if (pDefinition.openStatus() == Acad::eOk)
                parts = blockhost::entityIdsOf(pDefinition.object());
        }
        parts.append(blockhost::attributeIdsOf(pReference));
        for (const AcDbObjectId& id : parts) {
            AcDbObjectPointer<AcDbEntity> pPart(id, AcDb::kForWrite);
            if (pPart.openStatus() == Acad::eOk)
                hyperlinkEntity(pPart.object());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::hyperlinkAsset"));
    }
}

void CAsset::hyperlinkHatch(AcDbObjectId hatchId) {
    try {
        AcDbObjectPointer<AcDbEntity> pHatch(hatchId, AcDb::kForWrite);
        if (pHatch.openStatus() == Acad::eOk)
            hyperlinkEntity(pHatch.object());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::hyperlinkHatch"));
    }
}

void CAsset::editLineWeights(AcDbEntity* /*pEntity*/) {}
