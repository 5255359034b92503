#include "reports/LegendPieBlocks.h"

#include "blocks/BlockDWGHost.h"
#include "core/Utilities.h"

namespace reportblocks {

Acad::ErrorStatus openEmptyDefinition(AcDbDatabase* pDatabase, const CString& sName,
                                      AcDbObjectPointer<AcDbBlockTableRecord>& record,
                                      bool& bBadName) {
    bBadName = false;
    AcDbSymbolTablePointer<AcDbBlockTable> pTable(pDatabase, AcDb::kForRead);
    Acad::ErrorStatus es = pTable.openStatus();
    if (es != Acad::eOk)
        return es;
    AcDbObjectId existing;
    if (pTable->getAt(sName, existing) == Acad::eOk) {
        pTable.close();
        es = record.open(existing, AcDb::kForWrite);
        if (es != Acad::eOk)
            return es;
        for (const AcDbObjectId& id : blockhost::entityIdsOf(record.object())) {
            AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForWrite);
            es = pEntity.openStatus();
            if (es == Acad::eOk)
                es = pEntity->erase();
            if (es != Acad::eOk) {
                record.close();
                return es;
            }
        }
        return Acad::eOk;
    }
    record.create();
    es = record->setName(sName);
    if (es != Acad::eOk) {
        bBadName = es == Acad::eInvalidInput;
        record.close();
        return es;
    }
    record->setOrigin(AcGePoint3d::kOrigin);
    es = pTable->upgradeOpen();
    if (es == Acad::eOk)
        es = pTable->add(record.object());
    if (es != Acad::eOk)
        record.close();  // deletes the record the table did not take
    return es;
}

CString cleanBlockName(CString sName) {
    CUtilities().replaceIllegalCharacters(sName, L"_");
    return sName;
}

AcDbObjectId insertInModelSpace(AcDbDatabase* pDatabase, AcDbObjectId blockId,
                                const AcGePoint3d& ptPosition, double dblRotation) {
    AcDbObjectPointer<AcDbBlockReference> pReference;
    pReference.create();
    Acad::ErrorStatus es = pReference->setBlockTableRecord(blockId);
    if (es == Acad::eOk)
        es = pReference->setPosition(ptPosition);
    if (es == Acad::eOk)
        es = pReference->setRotation(dblRotation);
    if (es == Acad::eOk)
        es = pReference->setScaleFactors(AcGeScale3d(1.0, 1.0, 1.0));
    AcGeMatrix3d ucs;
    acdbUcsMatrix(ucs, pDatabase);
    if (es == Acad::eOk)
        es = pReference->transformBy(ucs);
    if (es != Acad::eOk)
        throw es;
    AcDbSymbolTablePointer<AcDbBlockTable> pTable(pDatabase, AcDb::kForRead);
    if ((es = pTable.openStatus()) != Acad::eOk)
        throw es;
    AcDbSymbolTableRecordPointer<AcDbBlockTableRecord> pModelSpace(L"*Model_Space", pTable.object(),
                                                                   AcDb::kForWrite);
    if ((es = pModelSpace.openStatus()) != Acad::eOk)
        throw es;
    pTable.close();
    AcDbObjectId id;
    if ((es = pModelSpace->appendAcDbEntity(id, pReference.object())) != Acad::eOk)
        throw es;
    return id;
}

}  // namespace reportblocks

#include "blocks/Block.h"
#include "blocks/Blocks.h"
#include "reports/Category.h"

namespace reportblocks {

double categoryArea(CCategory* pCategory) {
    double dblArea = 0.0;
    CBlocks* pBlocks = pCategory->getBlocks();
    for (int i = 0; pBlocks != nullptr && i < pBlocks->getCount(); i++)
        dblArea += pBlocks->getAt(i)->getArea();
    return dblArea;
}

}  // namespace reportblocks
