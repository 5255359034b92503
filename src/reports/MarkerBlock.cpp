#include "reports/MarkerBlock.h"

#include <cmath>
#include <memory>

#include "blocks/BlockDWGHost.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"

static const LPCTSTR SOURCE_FILE = _T("MarkerBlock.cpp");

const wchar_t CMarkerBlock::LEGEND_BLOCK_NAME[] = L"MARKER-LEGEND";
const wchar_t CMarkerBlock::PIE_BLOCK_NAME[] = L"MARKER-PIECHART";
const wchar_t CMarkerBlock::LEGEND_LAYER[] = L"ORVAN_LEGEND_MARKER";
const wchar_t CMarkerBlock::PIE_LAYER[] = L"ORVAN_PIECHART_MARKER";

namespace {

const wchar_t MODEL_SPACE[] = L"*Model_Space";

AcGeMatrix3d ucsOf(AcDbDatabase* pDatabase) {
    AcGeMatrix3d ucs;
    acdbUcsMatrix(ucs, pDatabase);
    return ucs;
}

// Shows a caught failure at once and frees it (the attribute builders report, never raise).
void showCaught(LPCTSTR sProcSig) {
    CEXUnhandled* pError = wrapCaughtError(SOURCE_FILE, sProcSig);
    pError->showErrorDialog();
    pError->deleteChain();
}

// Erases one object of the drawing when it opens for write; what fails stays.
void eraseObject(AcDbObjectId id) {
    if (id.isNull())
        return;
    AcDbObjectPointer<AcDbObject> pObject(id, AcDb::kForWrite);
    if (pObject.openStatus() == Acad::eOk)
        pObject->erase();
}

// Carries the first `iCount` entities of the list by the matrix; the number carried before a
// refusal, or iCount.
int carry(const AcDbObjectIdArray& entities, int iCount, const AcGeMatrix3d& matrix,
          Acad::ErrorStatus& es) {
    es = Acad::eOk;
    for (int i = 0; i < iCount; i++) {
        AcDbObjectPointer<AcDbEntity> pEntity(entities[i], AcDb::kForWrite);
        es = pEntity.openStatus();
        if (es == Acad::eOk)
            es = pEntity->transformBy(matrix);
        if (es != Acad::eOk)
            return i;
    }
    return iCount;
}

// Takes a marker definition apart after a failure: the picked entities go back to model space
// (when the record owns them) and back to where they were, then the record is erased. Only an
// empty-handed record is erased, so the user's entities are never erased with it.
void dismantle(AcDbDatabase* pDatabase, AcDbObjectId recordId, const AcDbObjectIdArray& entities,
               bool bOwned, int iMoved, const AcGeMatrix3d& moved) {
    bool bGivenBack = !bOwned;
    if (bOwned) {
        AcDbSymbolTablePointer<AcDbBlockTable> pTable(pDatabase, AcDb::kForRead);
        if (pTable.openStatus() == Acad::eOk) {
            AcDbSymbolTableRecordPointer<AcDbBlockTableRecord> pModelSpace(
                MODEL_SPACE, pTable.object(), AcDb::kForWrite);
            bGivenBack = pModelSpace.openStatus() == Acad::eOk &&
                         pModelSpace->assumeOwnershipOf(entities) == Acad::eOk;
        }
    }
    Acad::ErrorStatus es = Acad::eOk;
    carry(entities, iMoved, moved.inverse(), es);
    if (bGivenBack)
        eraseObject(recordId);
}

}  // namespace

CMarkerBlock::CMarkerBlock(AcDbBlockReference* /*pReference*/, AcApDocument* /*pDocument*/) {}

int CMarkerBlock::statusOf(LPCTSTR sFile, LPCTSTR sProcSig, const std::function<int()>& body) {
    try {
        return body();
    } catch (Acad::ErrorStatus es) {
        return es;
    } catch (...) {
        throwWrapped(sFile, sProcSig);
    }
}

int CMarkerBlock::createMarkerBlock(CAcadDrawing* /*pDrawing*/, AcDbObjectId /*entityId*/,
                                    int /*iUnits*/, int /*iPrecision*/, double /*dblTextSize*/,
                                    double /*dblRotation*/) {
    return 2;
}

AcDbAttribute* CMarkerBlock::createAttribute(AcDbAttributeDefinition* pDefinition,
                                             AcGeMatrix3d blockTransform) {
    std::unique_ptr<AcDbAttribute> pAttribute;
    try {
        pAttribute = std::make_unique<AcDbAttribute>();
        pAttribute->setPropertiesFrom(pDefinition, true);
        pAttribute->setInvisible(pDefinition->isInvisible());
        pAttribute->setPosition(pDefinition->position());
        pAttribute->setHeight(pDefinition->height());
        pAttribute->setRotation(pDefinition->rotation());
        pAttribute->setWidthFactor(pDefinition->widthFactor());
        ACHAR* sTag = pDefinition->tag();
        const Acad::ErrorStatus esTag = pAttribute->setTag(sTag);
        acutDelString(sTag);
        if (esTag != Acad::eOk)
            throw esTag;
        pAttribute->setFieldLength(pDefinition->fieldLength());
        pAttribute->setTextString(pDefinition->textStringConst());
        pAttribute->setHorizontalMode(AcDb::kTextLeft);
        const Acad::ErrorStatus es = pAttribute->transformBy(blockTransform);
        if (es != Acad::eOk)
            throw es;
    } catch (...) {
        showCaught(_T("CMarkerBlock::createAttribute"));
    }
    return pAttribute.release();
}

AcDbAttributeDefinition* CMarkerBlock::defineAttribute(AcGePoint3d* pPosition,
                                                       AcGeVector3d* pNormal, double dblHeight,
                                                       double dblRotation, CString sTag,
                                                       CString sPrompt, CString sDefault,
                                                       CString sLayer) {
    std::unique_ptr<AcDbAttributeDefinition> pDefinition;
    try {
        pDefinition = std::make_unique<AcDbAttributeDefinition>();
        pDefinition->setPosition(*pPosition);
        Acad::ErrorStatus es = pDefinition->setHeight(dblHeight);
        if (es != Acad::eOk)
            throw es;
        pDefinition->setRotation(dblRotation);
        pDefinition->setWidthFactor(1.0);
        pDefinition->setNormal(*pNormal);
        pDefinition->setHorizontalMode(AcDb::kTextLeft);
        pDefinition->setVerticalMode(AcDb::kTextBase);
        pDefinition->setPrompt(sPrompt);
        pDefinition->setTextString(sDefault);
        if ((es = pDefinition->setTag(sTag)) != Acad::eOk)
            throw es;
        pDefinition->setInvisible(false);
        pDefinition->setVerifiable(false);
        pDefinition->setPreset(false);
        pDefinition->setConstant(false);
        pDefinition->setFieldLength(static_cast<Adesk::UInt16>(sDefault.GetLength() + 1));
        if ((es = pDefinition->setLayer(sLayer, true)) != Acad::eOk)
            throw es;
    } catch (...) {
        showCaught(_T("CMarkerBlock::defineAttribute"));
    }
    return pDefinition.release();
}

int CMarkerBlock::defineMarker(AcDbObjectId& blockId, const AcDbObjectIdArray& entities,
                               const AcGePoint3d& ptBase, CAcadDrawing* pDrawing,
                               const Layout& layout, double dblTextSize,
                               double dblAttributeRotation) {
    CDrawingLock lock(pDrawing);
    if (!lock.held())
        return lock.status();
    if (!(dblTextSize > 0.0) || !std::isfinite(dblTextSize))
        return Acad::eInvalidInput;
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();

    // The name first: a second definition is refused before anything of the user's is touched.
    AcDbObjectId recordId;
    {
        AcDbSymbolTablePointer<AcDbBlockTable> pTable(pDatabase, AcDb::kForWrite);
        if (pTable.openStatus() != Acad::eOk)
            return pTable.openStatus();
        if (pTable->has(layout.sBlockName))
            return Acad::eDuplicateRecordName;
        AcDbObjectPointer<AcDbBlockTableRecord> pRecord;
        pRecord.create();
        Acad::ErrorStatus es = pRecord->setName(layout.sBlockName);
        if (es == Acad::eOk)
            es = pRecord->setOrigin(AcGePoint3d::kOrigin);
        if (es == Acad::eOk)
            es = pTable->add(recordId, pRecord.object());
        if (es != Acad::eOk)
            return es;
    }

    // The attribute definitions, then the picked entities moved in; a failure takes it apart.
    const AcGeMatrix3d moved = AcGeMatrix3d::translation(AcGePoint3d::kOrigin - ptBase);
    int iMoved = 0;
    bool bOwned = false;
    Acad::ErrorStatus es = Acad::eOk;
    try {
        CLayer::ensureLayerExists(layout.sLayer, pDrawing);
        AcGeVector3d normal = AcGeVector3d::kZAxis;  // the UCS z axis once the reference carries it
        {
            AcDbObjectPointer<AcDbBlockTableRecord> pRecord(recordId, AcDb::kForWrite);
            es = pRecord.openStatus();
            AcGePoint3d ptPosition = AcGePoint3d::kOrigin;
            for (const AttributeRow& row : layout.rows) {
                if (es != Acad::eOk)
                    break;
                ptPosition.y -= dblTextSize;
                AcDbObjectPointer<AcDbAttributeDefinition> pDefinition;
                AcDbAttributeDefinition* pMade =
                    defineAttribute(&ptPosition, &normal, dblTextSize, dblAttributeRotation,
                                    row.sTag, row.sPrompt, row.sDefault, layout.sLayer);
                if (pMade == nullptr) {
                    es = Acad::eInvalidInput;
                    break;
                }
                pDefinition.acquire(pMade);
                es = pRecord->appendAcDbEntity(pDefinition.object());
            }
        }
        if (es == Acad::eOk) {
            iMoved = carry(entities, entities.length(), moved, es);
        }
        if (es == Acad::eOk) {
            AcDbObjectPointer<AcDbBlockTableRecord> pRecord(recordId, AcDb::kForWrite);
            es = pRecord.openStatus();
            if (es == Acad::eOk)
                es = pRecord->assumeOwnershipOf(entities);
            bOwned = es == Acad::eOk;
        }
    } catch (...) {
        dismantle(pDatabase, recordId, entities, bOwned, iMoved, moved);
        throw;
    }
    if (es != Acad::eOk) {
        dismantle(pDatabase, recordId, entities, bOwned, iMoved, moved);
        return es;
    }
    blockId = recordId;
    return 0;
}

int CMarkerBlock::createMarker(CAcadDrawing* pDrawing, AcDbObjectId entityId,
                               const AcGePoint3d& ptBase, const Layout& layout, double dblTextSize,
                               double dblRotation) {
    CDrawingLock lock(pDrawing);
    if (!lock.held())
        return lock.status();
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    AcDbObjectIdArray entities;
    entities.append(entityId);
    AcDbObjectId blockId;
    int iStatus = defineMarker(blockId, entities, ptBase, pDrawing, layout, dblTextSize, 0.0);
    if (iStatus != 0)
        return iStatus;

    AcDbObjectId referenceId;
    Acad::ErrorStatus es = Acad::eOk;
    try {
        CLayer::ensureLayerExists(layout.sLayer, pDrawing);
        {
            AcDbObjectPointer<AcDbBlockReference> pReference;
            pReference.create();
            es = pReference->setLayer(layout.sLayer);
            if (es == Acad::eOk)
                es = pReference->setBlockTableRecord(blockId);
            if (es == Acad::eOk)
                es = pReference->setPosition(ptBase);
            if (es == Acad::eOk)
                es = pReference->setRotation(dblRotation);
            if (es == Acad::eOk)
                es = pReference->transformBy(ucsOf(pDatabase));
            if (es == Acad::eOk) {
                AcDbSymbolTablePointer<AcDbBlockTable> pTable(pDatabase, AcDb::kForRead);
                es = pTable.openStatus();
                AcDbSymbolTableRecordPointer<AcDbBlockTableRecord> pModelSpace;
                if (es == Acad::eOk)
                    es = pModelSpace.open(MODEL_SPACE, pTable.object(), AcDb::kForWrite);
                pTable.close();
                if (es == Acad::eOk)
                    es = pModelSpace->appendAcDbEntity(referenceId, pReference.object());
            }
            // One attribute per attribute definition that is not constant.
            if (es == Acad::eOk) {
                AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(blockId, AcDb::kForRead);
                es = pDefinition.openStatus();
                const AcGeMatrix3d transform = pReference->blockTransform();
                AcDbObjectIdArray ids;
                if (es == Acad::eOk)
                    ids = blockhost::entityIdsOf(pDefinition.object());
                for (int i = 0; es == Acad::eOk && i < ids.length(); i++) {
                    AcDbObjectPointer<AcDbEntity> pEntity(ids[i], AcDb::kForRead);
                    if ((es = pEntity.openStatus()) != Acad::eOk)
                        break;
                    auto* pAttDef = AcDbAttributeDefinition::cast(pEntity.object());
                    if (pAttDef == nullptr || pAttDef->isConstant())
                        continue;
                    AcDbAttribute* pMade = createAttribute(pAttDef, transform);
                    if (pMade == nullptr) {
                        es = Acad::eInvalidInput;  // shown already
                        break;
                    }
                    AcDbObjectPointer<AcDbAttribute> pAttribute;
                    pAttribute.acquire(pMade);
                    es = pReference->appendAttribute(pAttribute.object());
                }
            }
        }
        // The marker stays out of sight until the user turns its layer on.
        if (es == Acad::eOk) {
            CLayers layers;
            layers.getDWGLayers(pDrawing);
            if (CLayer* pLayer = layers.getAtLayer(layout.sLayer); pLayer != nullptr) {
                pLayer->setOff(1);
                pLayer->applyToDWG(pDrawing);
            }
        }
    } catch (...) {
        eraseObject(referenceId);
        dismantle(pDatabase, blockId, entities, true, entities.length(),
                  AcGeMatrix3d::translation(AcGePoint3d::kOrigin - ptBase));
        throw;
    }
    if (es != Acad::eOk) {
        eraseObject(referenceId);
        dismantle(pDatabase, blockId, entities, true, entities.length(),
                  AcGeMatrix3d::translation(AcGePoint3d::kOrigin - ptBase));
        return es;
    }
    return 0;
}

void CMarkerBlock::readMarkerWith(AcDbBlockReference* pReference, AcApDocument* pDocument,
                                  const wchar_t* sGeometryClass, bool& bFound,
                                  AcGePoint3d& ptPosition,
                                  void (*read)(void*, const CString&, const CString&),
                                  void* pContext) {
    bFound = false;
    setObjectId(pReference->objectId());
    setLayer(blockhost::layerOf(pReference));
    setColour(pReference->colorIndex());
    setLineWeight(static_cast<int>(pReference->lineWeight()));

    // The rotation as seen in the current UCS: the angle of the reference's x axis there. Read
    // from the block transform, so the reference is not touched.
    const AcGeMatrix3d inUcs =
        ucsOf(pDocument != nullptr ? pDocument->database() : nullptr).inverse() *
        pReference->blockTransform();
    AcGeVector3d xAxis = AcGeVector3d::kXAxis;
    xAxis.transformBy(inUcs);
    if (xAxis.x != 0.0 || xAxis.y != 0.0)
        m_dblRotation = std::atan2(xAxis.y, xAxis.x);

    {
        AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                            AcDb::kForRead);
        if (pDefinition.openStatus() == Acad::eOk) {
            setBlockName(pDefinition->qvName().c_str());
            for (const AcDbObjectId& id : blockhost::entityIdsOf(pDefinition.object())) {
                if (blockhost::isExactly(id, sGeometryClass)) {
                    bFound = true;
                    break;
                }
            }
        }
    }
    if (bFound)
        ptPosition = CAcadUtilities::convertWCSToUCS(pReference->position());
    setHandle(pReference->objectId().handle());

    for (const AcDbObjectId& id : blockhost::attributeIdsOf(pReference)) {
        AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForRead);
        if (pAttribute.openStatus() != Acad::eOk)
            continue;
        ACHAR* sTag = pAttribute->tag();
        CString sUpperTag(sTag);
        acutDelString(sTag);
        sUpperTag.MakeUpper();
        read(pContext, sUpperTag, CString(pAttribute->textStringConst()));
    }
}
