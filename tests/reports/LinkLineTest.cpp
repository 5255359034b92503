// Link lines: drawn between two references with their label, linetype and layer; skipped when a
// handle does not resolve; listed without repeats; read from XML.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "StdAfx.h"
#include "ReportFixture.h"
#include "core/XMLUtilities.h"
#include "drawing/AcadDrawingState.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "host/CommandLine.h"
#include "reports/Category.h"
#include "reports/LinkLine.h"
#include "reports/LinkLines.h"
#include "support/Raised.h"

namespace {

using qv::test::ReportTest;

const double PI = std::acos(-1.0);

class LinkLineTest : public ReportTest {
  protected:
    // A reference to a one-circle block "ASSET" at the point on the layer; its handle.
    CString asset(double x, double y, const wchar_t* layer = L"FURNITURE") {
        AcDbObjectId blockId;
        {
            WriteLock lock(document());
            AcDbSymbolTablePointer<AcDbBlockTable> table(db(), AcDb::kForWrite);
            if (table->getAt(L"ASSET", blockId) != Acad::eOk) {
                auto* record = new AcDbBlockTableRecord;
                record->setName(L"ASSET");
                EXPECT_EQ(table->add(blockId, record), Acad::eOk);
                auto* circle = new AcDbCircle;
                circle->setRadius(100);
                record->appendAcDbEntity(circle);
                circle->close();
                record->close();
            }
        }
        CLayer::ensureLayerExists(layer, &drawing);
        auto* reference = new AcDbBlockReference(AcGePoint3d(x, y, 0), blockId);
        reference->setLayer(layer);
        const AcDbObjectId id = addToModelSpace(reference);
        AcDbHandle handle;
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
        entity->getAcDbHandle(handle);
        return handle.text();
    }

    // The lines and texts of model space, in drawing order.
    template <class T>
    std::vector<AcDbObjectId> all() const {
        std::vector<AcDbObjectId> ids;
        AcDbObjectPointer<AcDbBlockTableRecord> model(db()->modelSpaceId(), AcDb::kForRead);
        for (const AcDbObjectId& id : model->qvEntities())
            if (AcDbObjectPointer<T>(id, AcDb::kForRead).openStatus() == Acad::eOk)
                ids.push_back(id);
        return ids;
    }

    void draw(CLinkLine& line, CAcadDrawingState& state) {
        WriteLock lock(document());
        line.applyToDrawing(&drawing, &state);
    }
};

TEST_F(LinkLineTest, DrawnRedAndDashedWithItsLabelAlongTheLine) {
    const CString from = asset(1000, 1000);
    const CString to = asset(3000, 3000, L"EQUIPMENT");
    CAcadDrawingState state(db());
    CLinkLine line;
    line.setStartHandle(from);
    line.setEndHandle(to);
    line.setLayerName(L"LINKS");
    line.setLabelText(L"feeds");
    draw(line, state);

    const auto lines = all<AcDbLine>();
    ASSERT_EQ(lines.size(), 1u);
    AcDbObjectPointer<AcDbLine> drawn(lines[0], AcDb::kForRead);
    qv::test::expectNear(AcGePoint3d(1000, 1000, 0), drawn->startPoint());
    qv::test::expectNear(AcGePoint3d(3000, 3000, 0), drawn->endPoint());
    AcCmColor red;
    red.setRGB(255, 0, 0);
    EXPECT_EQ(drawn->color(), red);
    EXPECT_EQ(drawn->lineWeight(), AcDb::kLnWtByLayer);
    EXPECT_EQ(layerOf(drawn.object()), L"LINKS");
    AcDbObjectPointer<AcDbLinetypeTableRecord> linetype(drawn->linetypeId(), AcDb::kForRead);
    ASSERT_EQ(linetype.openStatus(), Acad::eOk);
    const ACHAR* name = nullptr;
    linetype->getName(name);
    EXPECT_EQ(std::wstring(name), L"T_E_S_T");
    EXPECT_EQ(linetype->patternLength(), 100.0) << "the length its dashes add up to";
    ASSERT_EQ(linetype->numDashes(), 2);
    EXPECT_EQ(linetype->dashLengthAt(0), 50.0);
    EXPECT_EQ(linetype->dashLengthAt(1), -50.0);
    drawn.close();
    linetype.close();

    const auto texts = all<AcDbText>();
    ASSERT_EQ(texts.size(), 1u);
    AcDbObjectPointer<AcDbText> label(texts[0], AcDb::kForRead);
    EXPECT_STREQ(label->textStringConst(), L"feeds");
    qv::test::expectNear(AcGePoint3d(2000, 2000, 0), label->alignmentPoint());
    EXPECT_NEAR(label->rotation(), PI / 4, 1e-12);
    EXPECT_EQ(label->height(), 150.0);
    EXPECT_EQ(label->horizontalMode(), AcDb::kTextCenter);
    EXPECT_EQ(label->verticalMode(), AcDb::kTextBottom);
    EXPECT_EQ(label->color(), red);
    label.close();

    // Both references' layers are switched on in the state; the line's own layer exists.
    ASSERT_NE(state.getLayers(), nullptr);
    for (const wchar_t* on : {L"FURNITURE", L"EQUIPMENT"}) {
        CLayer* record = state.getLayers()->getAtLayer(on);
        ASSERT_NE(record, nullptr) << on;
        EXPECT_EQ(record->isOff(), 0) << on;
    }
    // A second line uses the same linetype.
    CLinkLine back;
    back.setStartHandle(to);
    back.setEndHandle(from);
    draw(back, state);
    ASSERT_EQ(all<AcDbLine>().size(), 2u);
    AcDbObjectPointer<AcDbLine> first(all<AcDbLine>()[0], AcDb::kForRead);
    AcDbObjectPointer<AcDbLine> second(all<AcDbLine>()[1], AcDb::kForRead);
    EXPECT_EQ(first->linetypeId(), second->linetypeId());
    EXPECT_EQ(layerOf(second.object()), L"_ORVAN");
    EXPECT_EQ(back.getLayerName(), L"_ORVAN");
    EXPECT_EQ(all<AcDbText>().size(), 1u) << "no label without a text";
}

TEST_F(LinkLineTest, UnresolvedHandleSkipsTheLineAndSaysWhich) {
    const CString from = asset(0, 0);
    CAcadDrawingState state(db());
    for (const wchar_t* missing : {L"FFFFF", L""}) {
        CLinkLine line;
        line.setStartHandle(from);
        line.setEndHandle(missing);
        line.setLabelText(L"x");
        qv::host::transcript().clear();
        draw(line, state);
        EXPECT_TRUE(all<AcDbLine>().empty());
        EXPECT_NE(qv::host::transcript().text().find(
                      std::wstring(L"link line skipped: no block reference has the handle ") +
                      missing + L".\n"),
                  std::wstring::npos)
            << qv::host::transcript().text();
    }
}

TEST(LinkLineLabel, AngleIsNeverUpsideDown) {
    const struct {
        AcGePoint3d start, end;
        double degrees;
    } cases[] = {
        {{0, 0, 0}, {10, 0, 0}, 0},   {{10, 0, 0}, {0, 0, 0}, 0},     {{0, 0, 0}, {0, 10, 0}, 90},
        {{0, 10, 0}, {0, 0, 0}, 90},  {{0, 0, 0}, {10, 10, 0}, 45},   {{10, 10, 0}, {0, 0, 0}, 45},
        {{0, 0, 0}, {10, -10, 0}, -45}, {{0, 0, 0}, {-10, 10, 0}, -45}, {{5, 5, 0}, {5, 5, 0}, 0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(CLinkLine::labelAngle(c.start, c.end) * 180.0 / PI, c.degrees, 1e-9)
            << c.start.x << "," << c.start.y << " -> " << c.end.x << "," << c.end.y;
}

TEST(LinkLineList, SameEndsOnceAndXmlBothWays) {
    CLinkLines lines;
    const struct {
        const wchar_t *start, *end;
        int added;
    } cases[] = {{L"2A", L"2B", 1}, {L"2A", L"2B", 0}, {L"2a", L"2B", 1}, {L"2B", L"2A", 1},
                 {L"2A", L"2C", 1}};
    for (const auto& c : cases) {
        auto* line = new CLinkLine;
        line->setStartHandle(c.start);
        line->setEndHandle(c.end);
        EXPECT_EQ(lines.add(line), c.added) << c.start << c.end;
    }
    lines.getAt(0)->setLabelText(L"feeds");
    lines.getAt(0)->setLayerName(L"LINKS");
    EXPECT_EQ(lines.getCount(), 4);
    EXPECT_TRUE(qv::test::raised<CInvalidArgException>([&] { lines.getAt(4); }));

    MSXML2::IXMLDOMNodePtr node = lines.serialize(ORVAN_REPORT_NAMESPACE);
    const std::wstring xml = static_cast<const wchar_t*>(node->Getxml());
    EXPECT_NE(xml.find(L"<linkLine><linkStartHandle>2A</linkStartHandle><linkEndHandle>2B"
                       L"</linkEndHandle><linkLineLayer>LINKS</linkLineLayer><linkLineText>feeds"
                       L"</linkLineText></linkLine><linkLine><linkStartHandle>2a"),
              std::wstring::npos)
        << xml;
    EXPECT_EQ(xml.find(L"<linkLineText/>"), std::wstring::npos);

    CLinkLines back;
    back.deSerialize(node->GetchildNodes());
    ASSERT_EQ(back.getCount(), 4);
    EXPECT_EQ(back.getAt(0)->getLabelText(), L"feeds");
    EXPECT_EQ(back.getAt(0)->getLayerName(), L"LINKS");
    EXPECT_EQ(back.getAt(1)->getStartHandle(), L"2a");
    EXPECT_EQ(back.getAt(2)->getLabelText(), L"");
}

}  // namespace
