#include <gtest/gtest.h>

#include <functional>

#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class OpenCloseTest : public DrawingTest {
  protected:
    OpenCloseTest() {
        line = addToModelSpace(new AcDbLine({0, 0, 0}, {10, 0, 0}));
        lockedLayer = addLayer(L"Walls");
        WriteLock lock(document());
        AcDbLayerTableRecord* layer = nullptr;
        acdbOpenObject(layer, lockedLayer, AcDb::kForWrite);
        layer->setIsLocked(true);
        layer->close();
        auto* onLocked = new AcDbLine({0, 0, 0}, {0, 5, 0});
        onLocked->setLayer(lockedLayer);
        lineOnLockedLayer = addToModelSpace(onLocked);
    }

    // Opens `id` in `mode` while the object already has the opens in `held`; gives back every
    // open and returns the status of the last one.
    Acad::ErrorStatus openAfter(std::initializer_list<AcDb::OpenMode> held, AcDbObjectId id,
                                AcDb::OpenMode mode, bool openErased = false) {
        std::vector<AcDbObject*> opened;
        for (AcDb::OpenMode m : held) {
            AcDbObject* o = nullptr;
            EXPECT_EQ(acdbOpenObject(o, id, m, openErased), Acad::eOk);
            opened.push_back(o);
        }
        AcDbObject* o = nullptr;
        const Acad::ErrorStatus es = acdbOpenObject(o, id, mode, openErased);
        if (o != nullptr) {
            opened.push_back(o);
        }
        for (AcDbObject* p : opened) {
            p->close();
        }
        return es;
    }

    AcDbObjectId line, lockedLayer, lineOnLockedLayer;
};

TEST_F(OpenCloseTest, RefusesWithTheHostsStatuses) {
    const struct {
        const char* name;
        std::function<Acad::ErrorStatus()> attempt;
        Acad::ErrorStatus expected;
    } cases[] = {
        {"two readers", [&] { return openAfter({AcDb::kForRead}, line, AcDb::kForRead); },
         Acad::eOk},
        {"second writer", [&] { return openAfter({AcDb::kForWrite}, line, AcDb::kForWrite); },
         Acad::eWasOpenForWrite},
        {"reader of a written object",
         [&] { return openAfter({AcDb::kForWrite}, line, AcDb::kForRead); },
         Acad::eWasOpenForWrite},
        {"writer of a read object",
         [&] { return openAfter({AcDb::kForRead}, line, AcDb::kForWrite); }, Acad::eWasOpenForRead},
        {"writer on a locked layer",
         [&] { return openAfter({}, lineOnLockedLayer, AcDb::kForWrite); }, Acad::eOnLockedLayer},
        {"reader on a locked layer",
         [&] { return openAfter({}, lineOnLockedLayer, AcDb::kForRead); }, Acad::eOk},
        {"the null id", [&] { return openAfter({}, AcDbObjectId::kNull, AcDb::kForRead); },
         Acad::eNullObjectId},
        {"wrong class",
         [&] {
             AcDbCircle* circle = nullptr;
             return acdbOpenObject(circle, line, AcDb::kForRead);
         },
         Acad::eNotThatKindOfClass},
        {"base class",
         [&] {
             AcDbCurve* curve = nullptr;
             const Acad::ErrorStatus es = acdbOpenObject(curve, line, AcDb::kForRead);
             curve->close();
             return es;
         },
         Acad::eOk},
    };
    WriteLock lock(document());
    for (const auto& c : cases) {
        EXPECT_EQ(c.attempt(), c.expected) << c.name;
    }
}

TEST_F(OpenCloseTest, ErasedObjectsOpenOnlyWhenAsked) {
    WriteLock lock(document());
    AcDbEntity* entity = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(entity, line, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(entity->erase(), Acad::eOk);
    EXPECT_EQ(entity->erase(), Acad::eWasErased);
    entity->close();

    EXPECT_TRUE(line.isErased());
    EXPECT_EQ(openAfter({}, line, AcDb::kForRead), Acad::eWasErased);
    EXPECT_EQ(openAfter({}, line, AcDb::kForRead, true), Acad::eOk);
    // Erasing is undone by erase(false).
    ASSERT_EQ(acdbOpenAcDbEntity(entity, line, AcDb::kForWrite, true), Acad::eOk);
    EXPECT_EQ(entity->erase(false), Acad::eOk);
    entity->close();
    EXPECT_EQ(openAfter({}, line, AcDb::kForRead), Acad::eOk);
}

TEST_F(OpenCloseTest, WritingNeedsTheDocumentLock) {
    EXPECT_EQ(openAfter({}, line, AcDb::kForWrite), Acad::eLockViolation);
    EXPECT_EQ(openAfter({}, line, AcDb::kForRead), Acad::eOk);
    acDocManager->lockDocument(document(), AcAp::kRead);
    EXPECT_EQ(openAfter({}, line, AcDb::kForWrite), Acad::eLockViolation);
    acDocManager->unlockDocument(document());
    WriteLock lock(document());
    EXPECT_EQ(openAfter({}, line, AcDb::kForWrite), Acad::eOk);
}

TEST_F(OpenCloseTest, ChangesNeedAnObjectOpenForWrite) {
    AcDbLine* opened = nullptr;
    ASSERT_EQ(acdbOpenObject(opened, line, AcDb::kForRead), Acad::eOk);
    EXPECT_THROW(opened->setEndPoint({1, 1, 1}), Acad::ErrorStatus);
    EXPECT_EQ(opened->erase(), Acad::eNotOpenForWrite);
    {
        WriteLock lock(document());
        EXPECT_EQ(opened->upgradeOpen(), Acad::eOk);
        EXPECT_NO_THROW(opened->setEndPoint({1, 1, 1}));
        EXPECT_EQ(opened->downgradeOpen(), Acad::eOk);
    }
    EXPECT_EQ(opened->close(), Acad::eOk);
    EXPECT_EQ(opened->close(), Acad::eInvalidOpenState);

    AcDbLine outside({0, 0, 0}, {1, 0, 0});
    EXPECT_NO_THROW(outside.setStartPoint({2, 2, 2}));
    EXPECT_EQ(outside.close(), Acad::eNoDatabase);
}

TEST_F(OpenCloseTest, UpgradeNeedsTheOnlyReader) {
    WriteLock lock(document());
    AcDbObject* first = nullptr;
    AcDbObject* second = nullptr;
    acdbOpenObject(first, line, AcDb::kForRead);
    acdbOpenObject(second, line, AcDb::kForRead);
    EXPECT_EQ(first->upgradeOpen(), Acad::eHadMultipleReaders);
    second->close();
    EXPECT_EQ(first->upgradeOpen(), Acad::eOk);
    first->close();
    AcDbObject* onLocked = nullptr;
    acdbOpenObject(onLocked, lineOnLockedLayer, AcDb::kForRead);
    EXPECT_EQ(onLocked->upgradeOpen(), Acad::eOnLockedLayer);
    onLocked->close();
}

TEST_F(OpenCloseTest, TheLeftoverCheckNamesWhatIsStillOpen) {
    AcDbObject* o = nullptr;
    acdbOpenObject(o, line, AcDb::kForRead);
    acDocManager->lockDocument(document());
    AcDbHandle h;
    o->getAcDbHandle(h);
    const std::wstring handle = h.text();
    EXPECT_EQ(qv::test::hostLeftovers(), "Drawing1.dwg: AcDbLine " +
                                             std::string(handle.begin(), handle.end()) +
                                             " open for read\nDrawing1.dwg: 1 lock(s) held\n");
    o->close();
    acDocManager->unlockDocument(document());
    EXPECT_EQ(qv::test::hostLeftovers(), "");
}

TEST_F(OpenCloseTest, ClassesKnowTheirKinds) {
    AcDbPolyline polyline;
    EXPECT_TRUE(polyline.isKindOf(AcDbCurve::desc()));
    EXPECT_EQ(AcDbLine::cast(&polyline), nullptr);
    EXPECT_EQ(AcDbCurve::cast(&polyline), &polyline);
}

}  // namespace
