#include "ReportFixture.h"

#include "host/db/ObjectAccess.h"

namespace qv::test {

AcDbObjectId ReportTest::addRectangle(double x, double y, double w, double h) {
    auto* pl = new AcDbPolyline;
    const AcGePoint2d corners[] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    for (const AcGePoint2d& c : corners)
        pl->addVertexAt(pl->numVerts(), c, 0.0);
    pl->setClosed(true);
    return addToModelSpace(pl);
}

AcDbObjectId ReportTest::addCircle(const AcGePoint3d& centre, double radius) {
    auto* circle = new AcDbCircle;
    circle->setCenter(centre);
    circle->setRadius(radius);
    return addToModelSpace(circle);
}

AcDbObjectId ReportTest::definition(const wchar_t* name) const {
    AcDbSymbolTablePointer<AcDbBlockTable> table(db(), AcDb::kForRead);
    AcDbObjectId id;
    if (table.openStatus() != Acad::eOk || table->getAt(name, id) != Acad::eOk)
        return AcDbObjectId();
    return id;
}

std::vector<AcDbObjectId> ReportTest::referencesTo(const wchar_t* name) const {
    std::vector<AcDbObjectId> result;
    const AcDbObjectId block = definition(name);
    AcDbObjectId modelSpace = definition(L"*Model_Space");
    const auto* space = qv::host::ObjectAccess::peekAs<AcDbBlockTableRecord>(modelSpace);
    if (block.isNull() || space == nullptr)
        return result;
    for (const AcDbObjectId& id : space->qvEntities()) {
        const auto* reference = qv::host::ObjectAccess::peekAs<AcDbBlockReference>(id);
        if (reference != nullptr && !reference->isErased() &&
            AcDbTable::cast(reference) == nullptr && reference->blockTableRecord() == block)
            result.push_back(id);
    }
    return result;
}

std::vector<AcDbObjectId> ReportTest::entitiesOf(AcDbObjectId block) const {
    std::vector<AcDbObjectId> result;
    const auto* record = qv::host::ObjectAccess::peekAs<AcDbBlockTableRecord>(block);
    if (record == nullptr)
        return result;
    for (const AcDbObjectId& id : record->qvEntities()) {
        const auto* entity = qv::host::ObjectAccess::peekAs<AcDbEntity>(id);
        if (entity != nullptr && !entity->isErased())
            result.push_back(id);
    }
    return result;
}

bool ReportTest::layerIsOff(const wchar_t* name) const {
    AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForRead);
    AcDbObjectId id;
    if (table.openStatus() != Acad::eOk || table->getAt(name, id) != Acad::eOk)
        return false;
    const auto* layer = qv::host::ObjectAccess::peekAs<AcDbLayerTableRecord>(id);
    return layer != nullptr && layer->isOff();
}

AcDbObjectId ReportTest::ownerOf(AcDbObjectId entity) const {
    const auto* object = qv::host::ObjectAccess::peekAs<AcDbObject>(entity);
    return object != nullptr ? object->ownerId() : AcDbObjectId();
}

std::wstring ReportTest::layerOf(const AcDbEntity* entity) {
    ACHAR* name = entity->layer();
    const std::wstring result = name != nullptr ? name : L"";
    acutDelString(name);
    return result;
}

}  // namespace qv::test
