#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/HostFixture.h"
#include "support/HostDrawing.h"

namespace {

using qv::test::DrawingTest;

using qv::test::points;
using qv::test::rectangle;

class HatchTest : public DrawingTest {
  protected:
    AcDbObjectIdArray ids(std::initializer_list<AcDbEntity*> entities) {
        AcDbObjectIdArray a;
        for (AcDbEntity* e : entities) {
            a.append(addToModelSpace(e));
        }
        return a;
    }
};

TEST_F(HatchTest, EvaluationTellsTooDenseFromNotDenseEnough) {
    const struct {
        const char* name;
        const wchar_t* pattern;
        double scale;
        double x0, y0, x1, y1;
        Acad::ErrorStatus expected;
    } cases[] = {
        {"a room in millimetres", L"ANSI31", 1.0, 0, 0, 10000, 5000, Acad::eOk},
        {"the same at a thousandth", L"ANSI31", 0.001, 0, 0, 10000, 5000, Acad::eHatchTooDense},
        {"an endless rectangle", L"ANSI31", 1.0, -1e30, -1e30, 1e30, 1e30, Acad::eHatchTooDense},
        {"lines far apart miss a small square", L"ANSI31", 1000.0, 100, 0, 101, 1,
         Acad::eAmbiguousOutput},
        {"a dashed pattern counts its dashes", L"DASH", 0.01, 0, 0, 10000, 5000,
         Acad::eHatchTooDense},
        {"a solid fill always shows", L"SOLID", 1.0, -1e30, -1e30, 1e30, 1e30, Acad::eOk},
        {"grid", L"net", 10.0, 0, 0, 10000, 5000, Acad::eOk},
    };
    for (const auto& c : cases) {
        AcDbHatch hatch;
        ASSERT_EQ(hatch.setPattern(AcDbHatch::kPreDefined, c.pattern), Acad::eOk) << c.name;
        ASSERT_EQ(hatch.setPatternScale(c.scale), Acad::eOk);
        ASSERT_EQ(hatch.appendLoop(AcDbHatch::kOutermost,
                                   points({{c.x0, c.y0}, {c.x1, c.y0}, {c.x1, c.y1}, {c.x0, c.y1}}),
                                   AcGeDoubleArray()),
                  Acad::eOk);
        EXPECT_EQ(hatch.evaluateHatch(true), c.expected) << c.name;
    }
}

TEST_F(HatchTest, EvaluationFollowsTheDrawingsLineLimit) {
    AcDbHatch hatch;
    hatch.setPattern(AcDbHatch::kPreDefined, L"ANSI31");
    hatch.appendLoop(AcDbHatch::kOutermost, points({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}),
                     AcGeDoubleArray());
    EXPECT_EQ(hatch.evaluateHatch(), Acad::eOk);
    EXPECT_GT(hatch.numHatchLines(), 400);
    ASSERT_EQ(db()->setHpmaxlines(400), Acad::eOk);
    EXPECT_EQ(hatch.evaluateHatch(), Acad::eHatchTooDense);
}

TEST_F(HatchTest, PatternsAndLoopsThatAreRefused) {
    AcDbHatch hatch;
    EXPECT_EQ(hatch.evaluateHatch(), Acad::eInvalidInput) << "no pattern";
    EXPECT_EQ(hatch.setPattern(AcDbHatch::kPreDefined, L"NO_SUCH"), Acad::eInvalidInput);
    EXPECT_EQ(hatch.setPattern(AcDbHatch::kCustomDefined, L"MINE"), Acad::eInvalidInput);
    EXPECT_EQ(hatch.setPattern(AcDbHatch::kPreDefined, L"solid"), Acad::eOk);
    EXPECT_STREQ(hatch.patternName(), L"SOLID");
    EXPECT_EQ(hatch.evaluateHatch(), Acad::eInvalidInput) << "no loops";

    const AcDbObjectIdArray closed = ids({rectangle(0, 0, 10, 10)});
    const AcDbObjectIdArray open = ids({rectangle(0, 0, 10, 10, false)});
    const AcDbObjectIdArray text = ids({new AcDbText({0, 0, 0}, L"x")});
    const AcDbObjectIdArray circle = ids({new AcDbCircle({5, 5, 0}, {0, 0, 1}, 2)});
    const AcDbObjectIdArray tilted = ids({new AcDbCircle({5, 5, 0}, {1, 0, 0}, 2)});
    const AcDbObjectIdArray lines =
        ids({new AcDbLine({0, 0, 0}, {4, 0, 0}), new AcDbLine({4, 3, 0}, {4, 0, 0}),
             new AcDbLine({4, 3, 0}, {0, 0, 0})});
    const AcDbObjectIdArray erased = ids({rectangle(0, 0, 1, 1)});
    ASSERT_EQ(qv::test::eraseObject(erased[0]), Acad::eOk);
    const struct {
        const char* name;
        AcDbObjectIdArray objects;
        Acad::ErrorStatus expected;
    } cases[] = {
        {"closed polyline", closed, Acad::eOk},
        {"circle", circle, Acad::eOk},
        {"three lines closing", lines, Acad::eOk},
        {"open polyline", open, Acad::eInvalidInput},
        {"text", text, Acad::eNotThatKindOfClass},
        {"circle across the plane", tilted, Acad::eInvalidInput},
        {"erased", erased, Acad::eWasErased},
        {"nothing", AcDbObjectIdArray(), Acad::eInvalidInput},
    };
    for (const auto& c : cases) {
        AcDbHatch h;
        EXPECT_EQ(h.appendLoop(AcDbHatch::kOutermost, c.objects), c.expected) << c.name;
        EXPECT_EQ(h.numLoops(), c.expected == Acad::eOk ? 1 : 0) << c.name;
    }
}

// A pattern scale of 0 or below (or no number) is refused and the hatch keeps its scale, so the
// evaluation that follows still counts with it.
TEST_F(HatchTest, ScalesOfZeroOrBelowAreRefused) {
    for (const double scale : {0.0, -0.0, -1.0, -1e-300, std::nan("")}) {
        AcDbHatch hatch;
        hatch.setPattern(AcDbHatch::kPreDefined, L"ANSI31");
        ASSERT_EQ(hatch.setPatternScale(0.001), Acad::eOk);
        hatch.appendLoop(AcDbHatch::kOutermost, points({{0, 0}, {10000, 0}, {10000, 5000}}),
                         AcGeDoubleArray());
        EXPECT_EQ(hatch.setPatternScale(scale), Acad::eInvalidInput) << scale;
        EXPECT_EQ(hatch.patternScale(), 0.001) << scale;
        EXPECT_EQ(hatch.evaluateHatch(), Acad::eHatchTooDense) << scale;
    }
}

TEST_F(HatchTest, LoopsCopyTheGeometryWhenAppended) {
    const AcDbObjectIdArray outline = ids({rectangle(0, 0, 10, 10)});
    AcDbHatch hatch;
    ASSERT_EQ(hatch.appendLoop(AcDbHatch::kOutermost, outline), Acad::eOk);
    {
        WriteLock lock(document());
        AcDbEntity* e = nullptr;
        acdbOpenAcDbEntity(e, outline[0], AcDb::kForWrite);
        e->transformBy(AcGeMatrix3d::translation({100, 0, 0}));
        e->close();
    }
    Adesk::Int32 type = 0;
    AcGePoint2dArray vertices;
    AcGeDoubleArray bulges;
    ASSERT_EQ(hatch.getLoopAt(0, type, vertices, bulges), Acad::eOk);
    EXPECT_EQ(type, AcDbHatch::kOutermost | AcDbHatch::kPolyline);
    ASSERT_EQ(vertices.length(), 4);
    EXPECT_TRUE(vertices[1].isEqualTo({10, 0}));
}

TEST_F(HatchTest, AreaAlternatesWithNesting) {
    const struct {
        AcDbHatch::HatchStyle style;
        double area;
    } cases[] = {{AcDbHatch::kNormal, 100 - 36 + 4 + 1},
                 {AcDbHatch::kOuter, 100 - 36 + 1},
                 {AcDbHatch::kIgnore, 100 + 1}};
    for (const auto& c : cases) {
        AcDbHatch hatch;
        hatch.setHatchStyle(c.style);
        hatch.appendLoop(AcDbHatch::kOutermost, points({{0, 0}, {10, 0}, {10, 10}, {0, 10}}),
                         AcGeDoubleArray());
        hatch.appendLoop(AcDbHatch::kDefault, points({{2, 2}, {8, 2}, {8, 8}, {2, 8}}),
                         AcGeDoubleArray());
        hatch.appendLoop(AcDbHatch::kDefault, points({{4, 4}, {6, 4}, {6, 6}, {4, 6}}),
                         AcGeDoubleArray());
        hatch.appendLoop(AcDbHatch::kExternal, points({{20, 0}, {21, 0}, {21, 1}, {20, 1}}),
                         AcGeDoubleArray());
        double area = 0;
        ASSERT_EQ(hatch.getArea(area), Acad::eOk);
        EXPECT_NEAR(area, c.area, 1e-9) << c.style;
    }
}

TEST_F(HatchTest, TransformCarriesThePattern) {
    AcDbHatch hatch;
    hatch.setPattern(AcDbHatch::kPreDefined, L"ANSI31");
    hatch.setPatternScale(2.0);
    hatch.appendLoop(AcDbHatch::kOutermost, points({{0, 0}, {10, 0}, {10, 10}, {0, 10}}),
                     AcGeDoubleArray());
    const AcGeMatrix3d m =
        AcGeMatrix3d::rotation(std::numbers::pi / 2, {0, 0, 1}) * AcGeMatrix3d::scaling(3.0);
    ASSERT_EQ(hatch.transformBy(m), Acad::eOk);
    EXPECT_DOUBLE_EQ(hatch.patternScale(), 6.0);
    EXPECT_NEAR(hatch.patternAngle(), std::numbers::pi / 2, 1e-12);
    double area = 0;
    hatch.getArea(area);
    EXPECT_NEAR(area, 900.0, 1e-9);
    EXPECT_EQ(hatch.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(1, 2, 1))),
              Acad::eCannotScaleNonUniformly);
}

}  // namespace
