// CBlockDWG: the hatch of a space block, its hyperlinks, and the copy of one block's format onto
// another.
//
// The hatch's outer loop is built from the outline's vertices and bulges as the reference places
// them (a copy of the outline carried by the block transform): the block definition, which every
// reference of the block shares, is never moved or opened for write.
#include <memory>

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/Hatch.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"

static const LPCTSTR SOURCE_FILE = _T("BlockDWG.cpp");  // one source file for the class

namespace {

// The outline as the reference places it, in the coordinates of the hatch's plane: false when
// the outline is not closed or cannot be carried (a non-uniform scale of an outline with arcs).
bool placedOutline(const AcDbPolyline& outline, const AcGeMatrix3d& transform,
                   const AcGeVector3d& hatchNormal, AcGePoint2dArray& vertices,
                   AcGeDoubleArray& bulges) {
    if (outline.numVerts() < 3)
        return false;
    std::unique_ptr<AcDbPolyline> pPlaced(static_cast<AcDbPolyline*>(outline.clone()));
    if (!pPlaced->isClosed()) {
        AcGePoint2d ptFirst, ptLast;
        pPlaced->getPointAt(0, ptFirst);
        pPlaced->getPointAt(pPlaced->numVerts() - 1, ptLast);
        if (!ptFirst.isEqualTo(ptLast))
            return false;
    }
    if (pPlaced->transformBy(transform) != Acad::eOk)
        return false;
    const AcGeMatrix3d toPlane = AcGeMatrix3d::worldToPlane(hatchNormal);
    // An outline whose plane faces the other way runs its arcs the other way round.
    const double dblSense = pPlaced->normal().dotProduct(hatchNormal) < 0.0 ? -1.0 : 1.0;
    for (unsigned int i = 0; i < pPlaced->numVerts(); i++) {
        AcGePoint3d ptWorld;
        double dblBulge = 0.0;
        pPlaced->getPointAt(i, ptWorld);
        pPlaced->getBulgeAt(i, dblBulge);
        const AcGePoint3d ptPlane = ptWorld.transformBy(toPlane);
        vertices.append(AcGePoint2d(ptPlane.x, ptPlane.y));
        bulges.append(dblBulge * dblSense);
    }
    return true;
}

AcDbObjectIdArray loopOf(AcDbObjectId id) {
    AcDbObjectIdArray ids;
    ids.append(id);
    return ids;
}

}  // namespace

Acad::ErrorStatus CBlockDWG::convertHandlesToObjectIds(const AcArray<AcDbHandle>& handles,
                                                       AcDbDatabase* pDatabase,
                                                       AcDbObjectIdArray& ids) {
    for (const AcDbHandle& handle : handles) {
        AcDbObjectId id;
        if (blockhost::objectIdOf(pDatabase, handle, id) != Acad::eOk)
            id = AcDbObjectId::kNull;
        ids.append(id);
    }
    return Acad::eOk;
}

void CBlockDWG::hatchBlock(CAcadDrawing* pDrawing, AcDbEntity* pEntity, AcDbObjectId& hatchId,
                           COrvanExceptions* pErrors) {
    try {
        hatchId = AcDbObjectId::kNull;
        auto* pReference = AcDbBlockReference::cast(pEntity);
        if (pReference == nullptr || m_pHatch == nullptr)
            return;
        AcDbObjectId outlineId;
        {
            AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                                AcDb::kForRead);
            if (pDefinition.openStatus() == Acad::eOk) {
                for (const AcDbObjectId& id : blockhost::entityIdsOf(pDefinition.object())) {
                    if (blockhost::isExactly(id, L"AcDbPolyline")) {
                        outlineId = id;
                        break;
                    }
                }
            }
        }
        AcDbDatabase* pDatabase = pReference->database();
        AcDbObjectIdArray addIds, subtractIds;
        convertHandlesToObjectIds(m_handlesToAdd, pDatabase, addIds);
        convertHandlesToObjectIds(m_handlesToMinus, pDatabase, subtractIds);
        hatchObject(pDrawing, pReference, outlineId, subtractIds, addIds, hatchId, pErrors);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::hatchBlock"));
    }
}

void CBlockDWG::hatchObject(CAcadDrawing* pDrawing, AcDbBlockReference* pReference,
                            AcDbObjectId outlineId, AcDbObjectIdArray subtractIds,
                            AcDbObjectIdArray addIds, AcDbObjectId& hatchId,
                            COrvanExceptions* pErrors) {
    static const LPCTSTR PROC = _T("CBlockDWG::hatchObject");
    hatchId = AcDbObjectId::kNull;
    if (m_pHatch == nullptr || pReference == nullptr)
        return;
    COrvanExceptions discarded;  // where the errors go when the caller gives no list
    COrvanExceptions* pList = pErrors != nullptr ? pErrors : &discarded;
    try {
        const CString sLayer = CLayer::validateLayerName(m_pHatch->getLayerName());
        const AcCmColor colour = m_pHatch->getColour();
        AcGeMatrix3d ucs;
        acdbUcsMatrix(ucs, pReference->database());
        AcGeVector3d normal = AcGeVector3d::kZAxis;
        normal = normal.transformBy(ucs).normal();

        // The outer loop first: without it there is no hatch.
        AcGePoint2dArray vertices;
        AcGeDoubleArray bulges;
        bool bOutline = false;
        {
            AcDbObjectPointer<AcDbPolyline> pOutline(outlineId, AcDb::kForRead);
            if (pOutline.openStatus() == Acad::eOk)
                bOutline = placedOutline(*pOutline.object(), pReference->blockTransform(), normal,
                                         vertices, bulges);
        }
        auto pHatch = std::make_unique<AcDbHatch>();
        pHatch->setPatternAngle(static_cast<double>(m_pHatch->getPatternAngle()));  // radians
        pHatch->setPatternScale(static_cast<double>(m_pHatch->getPatternScale()));
        pHatch->setAssociative(false);
        pHatch->setPattern(AcDbHatch::kPreDefined, m_pHatch->getPatternName());
        AcCmColor hatchColour = colour;
        hatchColour.setColorMethod(AcCmEntityColor::kByColor);
        pHatch->setColor(hatchColour);
        pHatch->setHatchStyle(AcDbHatch::kNormal);
        pHatch->setNormal(normal);
        pHatch->setElevation(0.0);
        CLayers().ensureLayerExists(pDrawing, sLayer, colour);
        pHatch->setLayer(sLayer);

        if (!bOutline || pHatch->appendLoop(AcDbHatch::kOutermost, vertices, bulges) != Acad::eOk) {
            pList->add(new CEXHatchNotClosed(getName(), getHandle(), ORVAN_MODULE_DESCRIPTION,
                                             SOURCE_FILE, PROC));
            return;
        }
        for (const AcDbObjectId& id : addIds) {
            if (pHatch->appendLoop(AcDbHatch::kExternal, loopOf(id)) != Acad::eOk)
                pList->add(new CEXHatchAdditionalAreas(getName(), ORVAN_MODULE_DESCRIPTION,
                                                       SOURCE_FILE, PROC));
        }
        for (const AcDbObjectId& id : subtractIds) {
            if (pHatch->appendLoop(AcDbHatch::kDefault, loopOf(id)) != Acad::eOk)
                pList->add(
                    new CEXHatchNoAreas(getName(), ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC));
        }

        const Acad::ErrorStatus evaluated = pHatch->evaluateHatch(true);
        const CString sSubject = L"orvan block " + getName();
        const double dblScale = m_pHatch->getPatternScale();
        if (evaluated == Acad::eHatchTooDense)
            pList->add(new CEXHatchTooDense(sSubject, m_pHatch->getPatternName(), dblScale,
                                            ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC));
        else if (evaluated == Acad::eAmbiguousOutput)
            pList->add(new CEXHatchNotDenseEnough(sSubject, m_pHatch->getPatternName(), dblScale,
                                                  ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC));
        else if (evaluated != Acad::eOk)
            pList->add(new CEXUnhandled(evaluated, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC,
                                        __LINE__, pDrawing->getFolder() + pDrawing->getFileName(),
                                        nullptr));

        AcDbObjectId newId;
        int iStatus;
        AcDbHatch* pPending = pHatch.release();
        try {
            iStatus = pDrawing->postToDrawing(newId, pPending);  // deletes a hatch it refuses
        } catch (...) {
            pList->add(wrapCaughtError(SOURCE_FILE, PROC));
            return;
        }
        if (iStatus != Acad::eOk) {
            if (pPending->objectId().isNull())
                delete pPending;
            pList->add(new CEXUnhandled(static_cast<Acad::ErrorStatus>(iStatus),
                                        ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC, __LINE__,
                                        pDrawing->getFolder() + pDrawing->getFileName(), nullptr));
            return;
        }
        hatchId = newId;
        AcDbObjectPointer<AcDbEntity> pPosted(newId, AcDb::kForWrite);
        Acad::ErrorStatus moved = pPosted.openStatus();
        if (moved == Acad::eOk)
            moved = CAcadUtilities::moveToBottom(pPosted.object());
        if (moved != Acad::eOk)
            pList->add(new CEXUnhandled(moved, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC,
                                        __LINE__, pDrawing->getFolder() + pDrawing->getFileName(),
                                        nullptr));
    } catch (...) {
        pList->add(wrapCaughtError(SOURCE_FILE, PROC));
    }
}

void CBlockDWG::hyperlinkEntity(AcDbEntity* pEntity) {
    try {
        if (getHyperlinks() != nullptr)
            getHyperlinks()->attachTo(pEntity);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::hyperlinkEntity"));
    }
}

void CBlockDWG::hyperlinkHatch(AcDbObjectId hatchId) {
    try {
        AcDbObjectPointer<AcDbEntity> pHatch(hatchId, AcDb::kForWrite);
        if (pHatch.openStatus() == Acad::eOk)
            hyperlinkEntity(pHatch.object());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::hyperlinkHatch"));
    }
}

void CBlockDWG::copyFormatting(CBlockDWG* pTarget) const {
    if (pTarget == nullptr || pTarget == this)
        return;
    try {
        pTarget->setArea(getArea());
        if (m_pAttributes != nullptr) {
            if (pTarget->m_pAttributes == nullptr)
                pTarget->setAttributes(new CAttributes);
            CAttributes* pTargetList = pTarget->m_pAttributes;
            pTargetList->setTextHeight(m_pAttributes->getTextHeight());
            pTargetList->setRotation(m_pAttributes->getRotation());
            pTargetList->setWidthFactor(m_pAttributes->getWidthFactor());
            for (int i = 0; i < m_pAttributes->getCount(); i++) {
                auto* pSource = dynamic_cast<COrvanAttribute*>(m_pAttributes->getAt(i));
                if (pSource == nullptr)
                    continue;
                CAttribute* pRecord = pTargetList->getAtAttribute(pSource->getKind());
                if (pRecord != nullptr) {
                    pRecord->setValue(pSource->getValue());
                    continue;
                }
                auto pNew = std::make_unique<COrvanAttribute>();
                pNew->setKind(pSource->getKind());
                pNew->setValue(pSource->getValue());
                pTargetList->add(pNew.release(), FALSE);
            }
        }
        if (m_pHatch != nullptr) {
            if (pTarget->m_pHatch == nullptr)
                pTarget->setHatch(new CHatch);
            m_pHatch->copyTo(pTarget->m_pHatch);
        }
        if (getHyperlinks() != nullptr) {
            auto pLinks = std::make_unique<CHyperlinks>();
            getHyperlinks()->copyTo(pLinks.get());
            pTarget->setHyperlinks(pLinks.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::copyFormatting"));
    }
}
