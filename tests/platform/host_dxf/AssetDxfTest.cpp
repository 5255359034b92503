// An asset as the module treats it, saved and read again: a hatch whose loop is the block's
// bulged outline carried by a turned, scaled and mirrored reference, and hyperlinks on the
// reference, its attribute, the hatch and an entity of the definition. ezdxf sees the same.
#include <gtest/gtest.h>

#include <fstream>
#include <numbers>

#include "DrawingDump.h"
#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbHatch.h"
#include "host/db/Hyperlinks.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/AuditReport.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;
using test::append;

template <class T>
T* openForWrite(AcDbObjectId id) {
    T* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
    return object;
}

void link(AcDbObjectId id, const ACHAR* address) {
    auto* entity = openForWrite<AcDbEntity>(id);
    AcDbEntityHyperlinkPE* pe = ACRX_PE_PTR(entity, AcDbEntityHyperlinkPE);
    ASSERT_NE(pe, nullptr);
    AcDbHyperlinkCollection links;
    links.addTail(address, L"Room 1.01");
    EXPECT_EQ(pe->setHyperlinkCollection(entity, &links), Acad::eOk);
    entity->close();
}

std::wstring linksOf(const AcDbObject* object) {
    std::wstring text;
    for (const AcDbHyperlink& h : qv::host::readHyperlinks(*object)) {
        text += std::wstring(h.name()) + L"|" + h.description() + L";";
    }
    return text;
}

TEST(AssetDxf, TransformedHatchesAndHyperlinksSurviveASave) {
    AcDbDatabase db(true, true);
    const AcDbObjectId desk = test::addBlock(db, L"DESK", {1, 0, 0});
    auto* outline = new AcDbPolyline;
    outline->addVertexAt(0, {0, 0}, 0.5);
    outline->addVertexAt(1, {4, 0});
    outline->addVertexAt(2, {4, 2});
    outline->addVertexAt(3, {0, 2});
    outline->setClosed(true);
    double area = 0.0;
    outline->getArea(area);
    const AcDbObjectId outlineId = append(desk, outline);
    const AcDbObjectId lineId = append(desk, new AcDbLine({0, 0, 0}, {4, 2, 0}));

    auto* ref = new AcDbBlockReference({50, 20, 0}, desk);
    ref->setRotation(std::numbers::pi / 6);
    ref->setScaleFactors(AcGeScale3d(2, -2, 2));
    const AcGeMatrix3d transform = ref->blockTransform();
    auto* attribute = new AcDbAttribute({0, 3, 0}, L"D-17", L"ASSET");
    attribute->setHeight(0.5);
    ref->appendAttribute(attribute);
    const AcDbObjectId refId = append(db.modelSpaceId(), ref);
    const AcDbObjectId attributeId =
        ObjectAccess::peekAs<AcDbBlockReference>(refId)->qvAttributes()[0];

    // The boundary: a copy of the outline carried to the reference; the outline stays.
    AcDbEntity* carried = nullptr;
    ASSERT_EQ(ObjectAccess::peekAs<AcDbPolyline>(outlineId)->getTransformedCopy(transform, carried),
              Acad::eOk);
    carried->setVisibility(AcDb::kInvisible);
    const AcDbObjectId boundary = append(db.modelSpaceId(), carried);
    auto* hatch = new AcDbHatch;
    hatch->setPattern(AcDbHatch::kPreDefined, L"ANSI31");
    AcDbObjectIdArray loop;
    loop.append(boundary);
    ASSERT_EQ(hatch->appendLoop(AcDbHatch::kOutermost, loop), Acad::eOk);
    EXPECT_EQ(hatch->evaluateHatch(true), Acad::eOk);
    double hatched = 0.0;
    hatch->getArea(hatched);
    EXPECT_NEAR(hatched, 4.0 * area, 1e-9);
    const AcDbObjectId hatchId = append(db.modelSpaceId(), hatch);

    link(refId, L"http://facility/rooms/1.01");
    link(attributeId, L"http://facility/assets/D-17");
    link(hatchId, L"http://facility/categories/7");
    link(lineId, L"file://c:/plans/desk.pdf");

    const test::TempFolder folder;
    const std::filesystem::path dxf = folder.path() / "asset.dxf";
    std::ofstream(dxf, std::ios::binary) << writeDrawing(db);
    AcDbDatabase back(false, true);
    AuditReport report;
    readDrawing(writeDrawing(db), back, report);
    EXPECT_TRUE(report.empty());

    const struct {
        AcDbObjectId id;
        std::wstring links;
    } expected[] = {
        {refId, L"http://facility/rooms/1.01|Room 1.01;"},
        {attributeId, L"http://facility/assets/D-17|Room 1.01;"},
        {hatchId, L"http://facility/categories/7|Room 1.01;"},
        {lineId, L"file://c:/plans/desk.pdf|Room 1.01;"},
        {outlineId, L""},
    };
    for (const auto& e : expected) {
        AcDbHandle handle;
        ObjectAccess::peek(e.id)->getAcDbHandle(handle);
        AcDbObjectId found;
        ASSERT_EQ(back.getAcDbObjectId(found, false, handle), Acad::eOk);
        EXPECT_EQ(linksOf(ObjectAccess::peek(found)), e.links) << handle.text().c_str();
    }
    // The definition's outline is where it was; the hatch loop is the carried outline.
    AcDbHandle handle;
    ObjectAccess::peek(outlineId)->getAcDbHandle(handle);
    AcDbObjectId found;
    back.getAcDbObjectId(found, false, handle);
    AcGePoint2d first;
    ObjectAccess::peekAs<AcDbPolyline>(found)->getPointAt(2, first);
    EXPECT_TRUE(first.isEqualTo({4, 2}));
    ObjectAccess::peek(hatchId)->getAcDbHandle(handle);
    back.getAcDbObjectId(found, false, handle);
    double readArea = 0.0;
    ObjectAccess::peekAs<AcDbHatch>(found)->getArea(readArea);
    EXPECT_NEAR(readArea, 4.0 * area, 1e-9);

    const std::filesystem::path json = folder.path() / "asset.json";
    std::ofstream(json, std::ios::binary) << test::describeForEzdxf(back);
    std::string output;
    EXPECT_EQ(test::runEzdxfCheck({"compare", dxf.string(), json.string()}, output), 0) << output;
}

}  // namespace
}  // namespace qv::dxf
