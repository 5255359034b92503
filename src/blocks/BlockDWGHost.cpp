#include "blocks/BlockDWGHost.h"

namespace blockhost {

bool isExactly(const AcRxObject* pObject, const wchar_t* sClassName) {
    return pObject != nullptr && wcscmp(pObject->isA()->name(), sClassName) == 0;
}

bool isExactly(AcDbObjectId id, const wchar_t* sClassName) {
    const AcRxClass* pClass = id.objectClass();
    return pClass != nullptr && wcscmp(pClass->name(), sClassName) == 0;
}

CString layerOf(const AcDbEntity* pEntity) {
    ACHAR* sLayer = pEntity->layer();
    CString sResult(sLayer != nullptr ? sLayer : L"");
    acutDelString(sLayer);
    return sResult;
}

CString definitionNameOf(const AcDbBlockReference* pReference) {
    AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                        AcDb::kForRead);
    return pDefinition.openStatus() == Acad::eOk ? CString(pDefinition->qvName().c_str())
                                                 : CString();
}

CString handleText(const AcDbHandle& handle) {
    ACHAR buffer[17] = {0};
    handle.getIntoAsciiBuffer(buffer, sizeof buffer / sizeof *buffer);
    return CString(buffer);
}

Acad::ErrorStatus objectIdOf(AcDbDatabase* pDatabase, AcDbHandle handle, AcDbObjectId& id) {
    if (pDatabase == nullptr)
        return Acad::eNoDatabase;
    return pDatabase->getAcDbObjectId(id, false, handle);
}

bool resolves(AcDbDatabase* pDatabase, AcDbHandle handle) {
    AcDbObjectId id;
    return objectIdOf(pDatabase, handle, id) == Acad::eOk && !id.isNull();
}

AcDbObjectIdArray attributeIdsOf(const AcDbBlockReference* pReference) {
    AcDbObjectIdArray ids;
    std::unique_ptr<AcDbObjectIterator> pIterator(pReference->attributeIterator());
    for (pIterator->start(); !pIterator->done(); pIterator->step())
        ids.append(pIterator->objectId());
    return ids;
}

AcDbObjectIdArray entityIdsOf(const AcDbBlockTableRecord* pRecord) {
    AcDbObjectIdArray ids;
    AcDbBlockTableRecordIterator* pRaw = nullptr;
    if (pRecord->newIterator(pRaw) != Acad::eOk || pRaw == nullptr)
        return ids;
    std::unique_ptr<AcDbBlockTableRecordIterator> pIterator(pRaw);
    for (pIterator->start(); !pIterator->done(); pIterator->step()) {
        AcDbObjectId id;
        if (pIterator->getEntityId(id) == Acad::eOk)
            ids.append(id);
    }
    return ids;
}

}  // namespace blockhost
