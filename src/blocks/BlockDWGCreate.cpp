// Creating a space block around a boundary, its block definition, and turning it back into its
// boundary.
#include <cmath>
#include <memory>

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("BlockDWG.cpp");  // one source file for the class

namespace {

const double PI = 3.141592653589793;

// The current UCS of the drawing's database.
AcGeMatrix3d ucsOf(AcDbDatabase* pDatabase) {
    AcGeMatrix3d ucs;
    acdbUcsMatrix(ucs, pDatabase);
    return ucs;
}

// Where the definition holds what the user drew: carried into the UCS and moved so that the base
// point (a UCS point) is the origin.
AcGeMatrix3d intoDefinition(const AcGeMatrix3d& ucs, const AcGePoint3d& ptBase) {
    return AcGeMatrix3d::translation(AcGePoint3d::kOrigin - ptBase) * ucs.inverse();
}

struct AttributeDefinitionText {
    const wchar_t* sTag;
    const wchar_t* sPrompt;
    const wchar_t* sDefault;
    const wchar_t* sLayer;
};

const AttributeDefinitionText AREA_DEFINITION = {L"AREA", L"Enter Area", L"DEFAULT AREA",
                                                 L"ATT-AREA"};
const AttributeDefinitionText NAME_DEFINITION = {L"NAME", L"Enter Name", L"DEFAULT NAME",
                                                 L"ATT-NAME"};
const AttributeDefinitionText AUX_DEFINITION = {L"AUX", L"Enter Auxillary Value", L"DEFAULT AUX",
                                                L"ATT-AUX"};

// Puts one attribute definition into the definition (open for write) on its layer.
Acad::ErrorStatus appendAttributeDefinition(AcDbBlockTableRecord* pDefinition,
                                            const AttributeDefinitionText& text,
                                            const AcGePoint3d& ptPosition, double dblHeight,
                                            double dblWidthFactor, double dblRadians,
                                            CAcadDrawing* pDrawing) {
    CLayer::ensureLayerExists(text.sLayer, pDrawing);
    auto pAttDef = std::make_unique<AcDbAttributeDefinition>();
    pAttDef->setPosition(ptPosition);
    Acad::ErrorStatus es = pAttDef->setHeight(dblHeight);
    if (es == Acad::eOk)
        es = pAttDef->setWidthFactor(dblWidthFactor);
    if (es != Acad::eOk)
        return es;
    pAttDef->setRotation(dblRadians);
    pAttDef->setNormal(AcGeVector3d::kZAxis);  // the UCS z axis once the reference carries it
    pAttDef->setHorizontalMode(AcDb::kTextLeft);
    pAttDef->setVerticalMode(AcDb::kTextBase);
    pAttDef->setPrompt(text.sPrompt);
    pAttDef->setTextString(text.sDefault);
    pAttDef->setTag(text.sTag);
    pAttDef->setInvisible(false);
    pAttDef->setVerifiable(false);
    pAttDef->setPreset(false);
    pAttDef->setConstant(false);
    pAttDef->setFieldLength(25);
    es = pAttDef->setLayer(text.sLayer);
    if (es != Acad::eOk)
        return es;
    es = pDefinition->appendAcDbEntity(pAttDef.get());
    if (es != Acad::eOk)
        return es;
    pAttDef.release()->close();
    return Acad::eOk;
}

// Carries each entity by the matrix; the first refusal's status.
Acad::ErrorStatus transformEntities(const AcDbObjectIdArray& entities, const AcGeMatrix3d& m,
                                    AcDbEntity* pOpen) {
    for (const AcDbObjectId& id : entities) {
        if (pOpen != nullptr && id == pOpen->objectId()) {
            const Acad::ErrorStatus es = pOpen->transformBy(m);
            if (es != Acad::eOk)
                return es;
            continue;
        }
        AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForWrite);
        Acad::ErrorStatus es = pEntity.openStatus();
        if (es == Acad::eOk)
            es = pEntity->transformBy(m);
        if (es != Acad::eOk)
            return es;
    }
    return Acad::eOk;
}

// Gives a new definition's entities back to the block they came from, where they were, and
// erases the definition.
void undoDefinition(AcDbObjectId definitionId, AcDbObjectId ownerId,
                    const AcDbObjectIdArray& entities, const AcGeMatrix3d& moved,
                    AcDbEntity* pOpen) {
    {
        AcDbObjectPointer<AcDbBlockTableRecord> pOwner(ownerId, AcDb::kForWrite);
        if (pOwner.openStatus() == Acad::eOk)
            pOwner->assumeOwnershipOf(entities);
    }
    transformEntities(entities, moved.inverse(), pOpen);
    AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(definitionId, AcDb::kForWrite);
    if (pDefinition.openStatus() == Acad::eOk)
        pDefinition->erase();
}

// The value that a space block's attribute of this tag shows: NAME kind 0, AREA kind 1, AUX
// kind 2 (tags compared exactly); empty when the block lacks it.
CString valueForTag(const CAttributes* pAttributes, const wchar_t* sTag) {
    if (pAttributes == nullptr)
        return L"";
    for (int iKind :
         {COrvanAttribute::KIND_NAME, COrvanAttribute::KIND_AREA, COrvanAttribute::KIND_AUX}) {
        if (COrvanAttribute::tagOfKind(iKind) == sTag) {
            const CAttribute* pRecord = pAttributes->getAtAttribute(iKind);
            return pRecord != nullptr ? pRecord->getValue() : CString();
        }
    }
    return L"";
}

}  // namespace

Acad::ErrorStatus CBlockDWG::createBlockDefinition(AcDbObjectId& definitionId,
                                                   const AcDbObjectIdArray& entities,
                                                   const AcGePoint3d& ptBase, double dblTextHeight,
                                                   double dblWidthFactor, double dblRotation,
                                                   CAcadDrawing* pDrawing) {
    try {
        return makeDefinition(definitionId, entities, ptBase, dblTextHeight, dblWidthFactor,
                              dblRotation, pDrawing, nullptr);
    } catch (...) {
        // Whatever was moved is back and no definition is left; never reported as success.
        discardCaughtError();
        definitionId = AcDbObjectId::kNull;
        return Acad::eInvalidInput;
    }
}

Acad::ErrorStatus CBlockDWG::makeDefinition(AcDbObjectId& definitionId,
                                            const AcDbObjectIdArray& entities,
                                            const AcGePoint3d& ptBase, double dblTextHeight,
                                            double dblWidthFactor, double dblRotation,
                                            CAcadDrawing* pDrawing, AcDbEntity* pOpen) {
    definitionId = AcDbObjectId::kNull;
    CDrawingLock lock(pDrawing);
    if (!lock.held())
        return static_cast<Acad::ErrorStatus>(lock.status());
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    const double dblRadians = dblRotation / 180.0 * PI;

    // Everything that can be refused is asked before anything moves.
    auto pRecord = std::make_unique<AcDbBlockTableRecord>();
    Acad::ErrorStatus es = pRecord->setName(getBlockName());
    if (es != Acad::eOk)
        return es;
    pRecord->setOrigin(AcGePoint3d::kOrigin);
    if (dblTextHeight <= 0.0 || dblWidthFactor <= 0.0)
        return Acad::eInvalidInput;
    AcDbObjectId ownerId;
    for (const AcDbObjectId& id : entities) {
        if (pOpen != nullptr && id == pOpen->objectId()) {
            ownerId = pOpen->ownerId();
            continue;
        }
        AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForWrite);
        if (pEntity.openStatus() != Acad::eOk)
            return pEntity.openStatus();
        ownerId = pEntity->ownerId();
    }
    AcDbObjectPointer<AcDbBlockTable> pTable(pDatabase->blockTableId(), AcDb::kForWrite);
    if (pTable.openStatus() != Acad::eOk)
        return pTable.openStatus();
    if (pTable->has(getBlockName()))
        return Acad::eDuplicateRecordName;

    const AcGeMatrix3d moved = intoDefinition(ucsOf(pDatabase), ptBase);
    es = transformEntities(entities, moved, pOpen);
    if (es != Acad::eOk) {
        transformEntities(entities, moved.inverse(), pOpen);
        return es;
    }
    try {
        es = pTable->add(definitionId, pRecord.get());
    } catch (...) {
        transformEntities(entities, moved.inverse(), pOpen);
        definitionId = AcDbObjectId::kNull;
        throw;
    }
    if (es != Acad::eOk) {
        transformEntities(entities, moved.inverse(), pOpen);
        definitionId = AcDbObjectId::kNull;
        return es;
    }
    AcDbObjectPointer<AcDbBlockTableRecord> pDefinition;
    AcDbBlockTableRecord* pAdded = pRecord.release();  // the database's now, open for write
    pDefinition.acquire(pAdded);
    pTable.close();

    // The AREA text at the origin, NAME one and a half text heights above it, AUX below.
    const double dblOffset = 1.5 * dblTextHeight;
    const AcGePoint3d ptAbove(-dblOffset * std::sin(dblRadians), dblOffset * std::cos(dblRadians),
                              0.0);
    const AcGePoint3d ptBelow(dblOffset * std::sin(dblRadians), -dblOffset * std::cos(dblRadians),
                              0.0);
    try {
        es = pDefinition->assumeOwnershipOf(entities);
        if (es == Acad::eOk)
            es = appendAttributeDefinition(pDefinition.object(), AREA_DEFINITION,
                                           AcGePoint3d::kOrigin, dblTextHeight, dblWidthFactor,
                                           dblRadians, pDrawing);
        if (es == Acad::eOk)
            es = appendAttributeDefinition(pDefinition.object(), NAME_DEFINITION, ptAbove,
                                           dblTextHeight, dblWidthFactor, dblRadians, pDrawing);
        if (es == Acad::eOk)
            es = appendAttributeDefinition(pDefinition.object(), AUX_DEFINITION, ptBelow,
                                           dblTextHeight, dblWidthFactor, dblRadians, pDrawing);
    } catch (...) {
        pDefinition.close();
        undoDefinition(definitionId, ownerId, entities, moved, pOpen);
        definitionId = AcDbObjectId::kNull;
        throw;
    }
    pDefinition.close();
    if (es != Acad::eOk) {
        undoDefinition(definitionId, ownerId, entities, moved, pOpen);
        definitionId = AcDbObjectId::kNull;
    }
    return es;
}

Acad::ErrorStatus CBlockDWG::createBlock(CAcadDrawing* pDrawing, AcDbEntity* pBoundary,
                                         const AcGePoint3d& ptInsertion, double dblTextHeight,
                                         double dblWidthFactor, double dblRotation) {
    CDrawingLock lock(pDrawing);
    if (!lock.held())
        return static_cast<Acad::ErrorStatus>(lock.status());
    if (pBoundary == nullptr || pBoundary->objectId().isNull())
        return Acad::eNullObjectPointer;
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    // The boundary is the caller's, open; it is moved through the caller's pointer.
    if (!pBoundary->isWriteEnabled()) {
        const Acad::ErrorStatus es = pBoundary->upgradeOpen();
        if (es != Acad::eOk)
            return es;
    }
    const CString sLayer = blockhost::layerOf(pBoundary);
    const AcDbObjectId ownerId = pBoundary->ownerId();
    AcDbObjectIdArray entities;
    entities.append(pBoundary->objectId());

    AcDbObjectId definitionId;
    Acad::ErrorStatus es = makeDefinition(definitionId, entities, ptInsertion, dblTextHeight,
                                          dblWidthFactor, dblRotation, pDrawing, pBoundary);
    if (es != Acad::eOk)
        return es;
    const AcGeMatrix3d ucs = ucsOf(pDatabase);
    const AcGeMatrix3d moved = intoDefinition(ucs, ptInsertion);

    // The reference at the insertion point, carried by the UCS.
    auto pNew = std::make_unique<AcDbBlockReference>(ptInsertion, definitionId);
    pNew->setDatabaseDefaults(pDatabase);
    pNew->setLayer(sLayer);
    pNew->transformBy(ucs);
    AcDbObjectId referenceId;
    try {
        AcDbObjectPointer<AcDbBlockTableRecord> pSpace(pDatabase->modelSpaceId(), AcDb::kForWrite);
        es = pSpace.openStatus();
        if (es == Acad::eOk)
            es = pSpace->appendAcDbEntity(referenceId, pNew.get());
    } catch (...) {
        undoDefinition(definitionId, ownerId, entities, moved, pBoundary);
        throw;
    }
    if (es != Acad::eOk) {
        undoDefinition(definitionId, ownerId, entities, moved, pBoundary);
        return es;
    }
    AcDbObjectPointer<AcDbBlockReference> pReference;
    AcDbBlockReference* pAppended = pNew.release();  // open for write, the database's
    pReference.acquire(pAppended);
    try {
        AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(definitionId, AcDb::kForRead);
        if (pDefinition.openStatus() != Acad::eOk)
            throw pDefinition.openStatus();
        const AcGeMatrix3d transform = pReference->blockTransform();
        for (const AcDbObjectId& id : blockhost::entityIdsOf(pDefinition.object())) {
            AcDbObjectPointer<AcDbAttributeDefinition> pAttDef(id, AcDb::kForRead);
            if (pAttDef.openStatus() != Acad::eOk || pAttDef->isConstant())
                continue;
            auto pAttribute = std::make_unique<AcDbAttribute>();
            pAttribute->setAttributeFromBlock(pAttDef.object(), transform);
            pAttribute->setHorizontalMode(AcDb::kTextLeft);
            pAttribute->setTextString(valueForTag(m_pAttributes, pAttDef->tagConst()));
            AcDbObjectId attributeId;
            es = pReference->appendAttribute(attributeId, pAttribute.get());
            if (es != Acad::eOk)
                throw es;
            pAttribute.release()->close();
        }
        writeXData(pReference.object());
    } catch (...) {
        pReference->erase();
        pReference.close();
        undoDefinition(definitionId, ownerId, entities, moved, pBoundary);
        throw;
    }
    m_objectId = referenceId;
    AcDbHandle handle;
    pReference->getAcDbHandle(handle);
    setHandle(handle);
    if (m_sLayer == L"0" || m_sLayer.IsEmpty())
        m_sLayer = sLayer;
    return Acad::eOk;
}

bool CBlockDWG::deleteBlock(CAcadDrawing* pDrawing) {
    try {
        CDrawingLock lock(pDrawing);
        if (!lock.held())
            return false;
        AcDbObjectPointer<AcDbEntity> pEntity(m_objectId, AcDb::kForWrite);
        if (pEntity.openStatus() != Acad::eOk ||
            !blockhost::isExactly(pEntity.object(), L"AcDbBlockReference"))
            return false;
        auto* pReference = static_cast<AcDbBlockReference*>(pEntity.object());
        const AcDbObjectId ownerId = pReference->ownerId();
        const AcGeMatrix3d transform = pReference->blockTransform();
        if (!transform.isUniScaledOrtho())
            return false;
        AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                            AcDb::kForWrite);
        if (pDefinition.openStatus() != Acad::eOk)
            return false;
        const AcGeMatrix3d placed =
            transform * AcGeMatrix3d::translation(AcGePoint3d::kOrigin - pDefinition->origin());

        AcDbObjectIdArray boundaries;
        for (const AcDbObjectId& id : blockhost::entityIdsOf(pDefinition.object())) {
            if (blockhost::isExactly(id, L"AcDbPolyline"))
                boundaries.append(id);
        }
        // The only reference gives its boundary back (same entity, same handle); a definition
        // that others still show gives a copy.
        AcDbObjectIdArray references;
        pDefinition->getBlockReferenceIds(references);
        const bool bShared = references.length() > 1;
        AcDbObjectIdArray restored;
        {
            AcDbObjectPointer<AcDbBlockTableRecord> pOwner(ownerId, AcDb::kForWrite);
            if (pOwner.openStatus() != Acad::eOk)
                return false;
            if (bShared) {
                AcDbIdMapping mapping;
                if (pDefinition->database()->deepCloneObjects(boundaries, ownerId, mapping) !=
                    Acad::eOk)
                    return false;
                for (const AcDbObjectId& id : boundaries) {
                    AcDbIdPair pair(id, AcDbObjectId::kNull, false);
                    if (mapping.compute(pair) && !pair.value().isNull())
                        restored.append(pair.value());
                }
            } else {
                if (pOwner->assumeOwnershipOf(boundaries) != Acad::eOk)
                    return false;
                restored = boundaries;
            }
        }
        if (transformEntities(restored, placed, nullptr) != Acad::eOk)
            return false;
        pReference->erase();
        pEntity.close();
        deleteBlockDefinition(pDrawing, pDefinition.object());
        return true;
    } catch (...) {
        discardCaughtError();
        return false;
    }
}

bool CBlockDWG::deleteBlockDefinition(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pDefinition) {
    (void)pDrawing;
    try {
        if (pDefinition == nullptr)
            return false;
        AcDbObjectIdArray references;
        if (pDefinition->getBlockReferenceIds(references) != Acad::eOk || references.length() > 0)
            return false;
        return pDefinition->erase() == Acad::eOk;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::deleteBlockDefinition"));
    }
}
