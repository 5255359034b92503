#include "AssetFixture.h"

#include "blocks/BlockDWGKinds.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"

namespace qv::test {

namespace {

AcDbPolyline* rectangle(double x0, double y0, double x1, double y1) {
    auto* outline = new AcDbPolyline;
    for (const AcGePoint2d& p : {AcGePoint2d(x0, y0), AcGePoint2d(x1, y0), AcGePoint2d(x1, y1),
                                 AcGePoint2d(x0, y1)})
        outline->addVertexAt(outline->numVerts(), p);
    outline->setClosed(true);
    return outline;
}

AcDbObjectId addRecord(AcDbDatabase* db, const wchar_t* name, AcDbEntity* first,
                       AcDbEntity* second) {
    AcDbObjectPointer<AcDbBlockTable> blocks(db->blockTableId(), AcDb::kForWrite);
    auto* record = new AcDbBlockTableRecord;
    record->setName(name);
    AcDbObjectId id;
    EXPECT_EQ(blocks->add(id, record), Acad::eOk);
    for (AcDbEntity* entity : {first, second}) {
        if (entity == nullptr)
            continue;
        EXPECT_EQ(record->appendAcDbEntity(entity), Acad::eOk);
        entity->close();
    }
    record->close();
    return id;
}

}  // namespace

AcDbObjectId AssetTest::defineBlock(const wchar_t* name, double x0, double y0, double x1,
                                    double y1, bool withSerial) {
    WriteLock lock(document());
    AcDbAttributeDefinition* serial = nullptr;
    if (withSerial) {
        serial = new AcDbAttributeDefinition({x0, y0, 0}, L"", L"SERIAL", L"Serial");
        serial->setHeight(0.2);
    }
    return addRecord(db(), name, rectangle(x0, y0, x1, y1), serial);
}

AcDbObjectId AssetTest::defineDynamicFace(AcDbObjectId dynamic, double x0, double y0, double x1,
                                          double y1) {
    WriteLock lock(document());
    EXPECT_EQ(acdbRegApp(L"AcDbBlockRepBTag"), RTNORM);
    const AcDbObjectId id = addRecord(db(), L"*U7", rectangle(x0, y0, x1, y1), nullptr);
    AcDbObjectPointer<AcDbBlockTableRecord> record(id, AcDb::kForWrite);
    wchar_t handle[32];
    dynamic.handle().getIntoAsciiBuffer(handle, 32);
    resbuf* tag = acutBuildList(1001, L"AcDbBlockRepBTag", 1070, 1, 1005, handle, 0);
    EXPECT_EQ(record->setXData(tag), Acad::eOk);
    acutRelRb(tag);
    return id;
}

AcDbObjectId AssetTest::insert(AcDbObjectId block, const AcGePoint3d& position,
                               const wchar_t* serial, double rotation, double scale,
                               const wchar_t* layer) {
    auto* ref = new AcDbBlockReference(position, block);
    ref->setRotation(rotation);
    ref->setScaleFactors(AcGeScale3d(scale, scale, scale));
    if (layer != nullptr) {
        addLayer(layer);
        ref->setLayer(layer);
    }
    if (serial != nullptr) {
        auto* attribute = new AcDbAttribute;
        AcDbAttributeDefinition definition({0, 0, 0}, serial, L"SERIAL", L"Serial");
        definition.setHeight(0.2);
        attribute->setAttributeFromBlock(&definition, ref->blockTransform());
        EXPECT_EQ(ref->appendAttribute(attribute), Acad::eOk);
    }
    return addToModelSpace(ref);
}

AcDbObjectId AssetTest::room(const wchar_t* name, double x, double y, double w, double h) {
    CBlockDWGRoom block;
    EXPECT_EQ(create(block, addRectangle(x, y, w, h), name), Acad::eOk);
    return block.getObjectId();
}

std::wstring AssetTest::handleText(AcDbObjectId id) {
    return id.handle().text();
}

std::wstring AssetTest::linksOf(AcDbObjectId id) {
    AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
    if (entity.openStatus() != Acad::eOk)
        return L"(does not open)";
    CHyperlinks links(entity.object());
    std::wstring out;
    for (int i = 0; i < links.getCount(); i++) {
        out += (out.empty() ? L"" : L";") + std::wstring(links.getAt(i)->getHref()) + L"|" +
               std::wstring(links.getAt(i)->getDescription());
    }
    return out;
}

}  // namespace qv::test
