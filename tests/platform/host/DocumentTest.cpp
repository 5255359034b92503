#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/DrawingFiles.h"
#include "host/db/ObjectAccess.h"
#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class DocumentTest : public DrawingTest {
  protected:
    DocumentTest() {
        // A drawing format that knows one file: a default drawing with a line in model space.
        qv::host::setDrawingFileFormat(
            {[this](AcDbDatabase& db, const std::wstring& path) {
                 reads.push_back(path);
                 if (path != L"C:\\plans\\level1.dwg") {
                     return Acad::eFileNotFound;
                 }
                 db.qvAddMissingDefaults();
                 auto* space =
                     qv::host::ObjectAccess::peekAs<AcDbBlockTableRecord>(db.modelSpaceId());
                 auto* line = new AcDbLine({0, 0, 0}, {5, 5, 0});
                 AcDbObjectId id;
                 qv::host::ObjectAccess::add(db, line, space->objectId(), id);
                 space->qvAppendEntityId(id);
                 line->close();
                 return Acad::eOk;
             },
             [this](const AcDbDatabase&, const std::wstring& path) {
                 writes.push_back(path);
                 return path.find(L"readonly") != std::wstring::npos ? Acad::eFileAccessErr
                                                                     : Acad::eOk;
             }});
    }
    ~DocumentTest() override { qv::host::setDrawingFileFormat({}); }

    std::vector<std::wstring> reads, writes;
};

TEST_F(DocumentTest, LocksAreCountedPerDocument) {
    AcApDocument* doc = document();
    const struct {
        const char* step;
        std::function<Acad::ErrorStatus()> call;
        Acad::ErrorStatus status;
        int locks;
    } steps[] = {
        {"lock", [&] { return acDocManager->lockDocument(doc); }, Acad::eOk, 1},
        {"lock again", [&] { return acDocManager->lockDocument(doc, AcAp::kWrite); }, Acad::eOk, 2},
        {"unlock", [&] { return acDocManager->unlockDocument(doc); }, Acad::eOk, 1},
        {"unlock", [&] { return acDocManager->unlockDocument(doc); }, Acad::eOk, 0},
        {"unlock without a lock", [&] { return acDocManager->unlockDocument(doc); },
         Acad::eNotLocked, 0},
        {"no document", [&] { return acDocManager->lockDocument(nullptr); },
         Acad::eNullObjectPointer, 0},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.call(), s.status) << s.step;
        EXPECT_EQ(doc->qvLockCount(), s.locks) << s.step;
    }
    EXPECT_EQ(acDocManager->qvLockRequests(), 3);
    EXPECT_EQ(acDocManager->qvUnlockRequests(), 3);
}

TEST_F(DocumentTest, TheTestHookRefusesLocks) {
    AcApDocument* doc = document();
    acDocManager->qvRefuseLocks(1);
    EXPECT_EQ(acDocManager->lockDocument(doc), Acad::eLockViolation);
    EXPECT_EQ(doc->qvLockCount(), 0);
    EXPECT_EQ(acDocManager->lockDocument(doc), Acad::eOk) << "only the next request";
    acDocManager->unlockDocument(doc);

    acDocManager->qvRefuseLocks(-1, Acad::eDocumentSwitchDisabled);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(acDocManager->lockDocument(doc), Acad::eDocumentSwitchDisabled);
    }
    acDocManager->qvRefuseLocks(0);
    EXPECT_EQ(acDocManager->lockDocument(doc), Acad::eOk);
    acDocManager->unlockDocument(doc);
}

TEST_F(DocumentTest, OpeningADrawingMakesItCurrent) {
    AcApDocument* first = document();
    EXPECT_EQ(acDocManager->appContextOpenDocument(L"C:\\plans\\missing.dwg"), Acad::eFileNotFound);
    EXPECT_EQ(acDocManager->documentCount(), 1);
    ASSERT_EQ(acDocManager->appContextOpenDocument(L"C:\\plans\\level1.dwg"), Acad::eOk);
    AcApDocument* opened = acDocManager->curDocument();
    ASSERT_NE(opened, first);
    EXPECT_STREQ(opened->fileName(), L"C:\\plans\\level1.dwg");
    EXPECT_STREQ(opened->docTitle(), L"level1.dwg");
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), opened->database());
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, opened->database()->modelSpaceId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(space->qvEntities().size(), 1u);
    space->close();
    // Opening it again makes the open document current instead of reading it twice.
    acDocManager->setCurDocument(first);
    ASSERT_EQ(acDocManager->appContextOpenDocument(L"c:\\PLANS\\level1.dwg"), Acad::eOk);
    EXPECT_EQ(acDocManager->curDocument(), opened);
    EXPECT_EQ(reads.size(), 2u);

    EXPECT_EQ(acDocManager->closeDocument(opened), Acad::eOk);
    EXPECT_EQ(acDocManager->curDocument(), first);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
    EXPECT_EQ(acDocManager->closeDocument(opened), Acad::eInvalidInput);
}

TEST_F(DocumentTest, SavingGoesThroughTheDrawingFormat) {
    EXPECT_EQ(db()->saveAs(L"C:\\temp\\copy.vrk"), Acad::eOk);
    EXPECT_EQ(db()->saveAs(L"C:\\readonly\\copy.dwg"), Acad::eFileAccessErr);
    EXPECT_EQ(writes,
              (std::vector<std::wstring>{L"C:\\temp\\copy.vrk", L"C:\\readonly\\copy.dwg"}));
    const ACHAR* name = nullptr;
    db()->getFilename(name);
    EXPECT_STREQ(name, L"C:\\temp\\copy.vrk") << "the last successful save";
    qv::host::setDrawingFileFormat({});
    EXPECT_EQ(db()->saveAs(L"C:\\temp\\x.dwg"), Acad::eNotImplementedYet);
    EXPECT_EQ(acDocManager->appContextOpenDocument(L"C:\\plans\\level1.dwg"),
              Acad::eNotImplementedYet);
}

}  // namespace
