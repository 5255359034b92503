#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/ErrorCapture.h"
#include "core/PreferencesDocMon.h"
#include "drawing/AcadDrawing.h"
#include "host/DrawingFiles.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"
#include "win32/DrivePaths.h"

using qv::test::caught;
using qv::test::Level;
using qv::test::levels;

namespace {

// A drawing-file format for these tests: a file holds "drawing with N entities", N counted in
// model space; reading a file gives a default drawing. Writing to a path that contains
// "unwritable" is refused.
std::wstring describe(const AcDbDatabase& db) {
    AcDbBlockTableRecord* space = nullptr;
    int count = 0;
    if (acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead) == Acad::eOk) {
        for (AcDbObjectId id : space->qvEntities())
            count += id.isErased() ? 0 : 1;
        space->close();
    }
    return L"drawing with " + std::to_wstring(count) + L" entities";
}

qv::host::DrawingFileFormat testFormat() {
    return {[](AcDbDatabase& db, const std::wstring& path) {
                const auto posix = qv::win32::toPosixPath(path.c_str());
                if (!posix || !std::ifstream(*posix))
                    return Acad::eFileNotFound;
                db.qvAddMissingDefaults();
                return Acad::eOk;
            },
            [](const AcDbDatabase& db, const std::wstring& path) {
                const auto posix = qv::win32::toPosixPath(path.c_str());
                if (!posix || path.find(L"unwritable") != std::wstring::npos)
                    return Acad::eFileAccessErr;
                std::wofstream out(*posix);
                out << describe(db);
                return out ? Acad::eOk : Acad::eFileAccessErr;
            }};
}

class AcadDrawingTest : public qv::test::DrawingTest {
  protected:
    AcadDrawingTest() : m_installedFormat(qv::host::drawingFileFormat()) {
        qv::host::setDrawingFileFormat(testFormat());
    }
    ~AcadDrawingTest() override {
        qv::host::setDrawingFileFormat(m_installedFormat);
        docMonPreferences.deleteObjects();
    }

    // A wrapper of the current document, as the command handlers make one.
    std::unique_ptr<CAcadDrawing> wrapCurrent(const wchar_t* fileName = L"plan.dwg") {
        auto drawing = std::make_unique<CAcadDrawing>();
        drawing->setDocument(document());
        drawing->setFileName(fileName);
        drawing->setIsOpen(1);
        drawing->setIsCurrentDocument(1);
        return drawing;
    }

    // A second document, not current, wrapped as a drawing the wrapper opened itself.
    std::unique_ptr<CAcadDrawing> wrapOther(AcApDocument*& other) {
        other = acDocManager->qvAddDocument(std::make_unique<AcDbDatabase>(), L"C:\\other.dwg");
        acDocManager->setCurDocument(document());
        auto drawing = std::make_unique<CAcadDrawing>();
        drawing->setDocument(other);
        drawing->setFullPath(L"C:\\other.dwg");
        drawing->setIsOpen(1);
        return drawing;
    }

    bool isOpenInHost(const AcApDocument* wanted) const {
        std::unique_ptr<AcApDocumentIterator> it(acDocManager->newAcApDocumentIterator());
        for (; !it->done(); it->step())
            if (it->document() == wanted)
                return true;
        return false;
    }

    std::string text(const std::string& relative) const {
        return drive.exists(relative) ? drive.readFile(relative) : "(missing)";
    }

    qv::test::TempDrive drive;

  private:
    qv::host::DrawingFileFormat m_installedFormat;
};

// ---- the lock ----

TEST_F(AcadDrawingTest, LockLevelsAreCountedAndTheHostIsAskedOnlyAtTheEnds) {
    enum Op { LOCK, UNLOCK, FORCE };
    struct Step {
        Op op;
        Acad::ErrorStatus result;
        int locked;     // the wrapper's view
        int hostLocks;  // locks the host holds
    };
    const struct {
        const char* what;
        int refusals;
        std::vector<Step> steps;
        int lockRequests, unlockRequests;
    } cases[] = {
        {"two locks then two unlocks",
         0,
         {{LOCK, Acad::eOk, 1, 1},
          {LOCK, Acad::eOk, 1, 1},
          {UNLOCK, Acad::eLockViolation, 1, 1},
          {UNLOCK, Acad::eOk, 0, 0}},
         1,
         1},
        {"an unlock without a lock counts to -1; the next lock still asks the host",
         0,
         {{UNLOCK, Acad::eLockViolation, 0, 0}, {LOCK, Acad::eOk, 1, 1}, {UNLOCK, Acad::eOk, 0, 0}},
         1,
         1},
        {"a forced unlock releases every level at once",
         0,
         {{LOCK, Acad::eOk, 1, 1},
          {LOCK, Acad::eOk, 1, 1},
          {LOCK, Acad::eOk, 1, 1},
          {FORCE, Acad::eOk, 0, 0},
          {LOCK, Acad::eOk, 1, 1},
          {UNLOCK, Acad::eOk, 0, 0}},
         2,
         2},
        {"a forced unlock without a lock gives the host's answer",
         0,
         {{FORCE, Acad::eNotLocked, 0, 0}},
         0,
         1},
        {"a refused lock is reported and the next lock asks again",
         1,
         {{LOCK, Acad::eLockViolation, 0, 0}, {LOCK, Acad::eOk, 1, 1}, {UNLOCK, Acad::eOk, 0, 0}},
         2,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qv::test::resetHost();
        AcApDocument* doc = acDocManager->qvAddDocument(std::make_unique<AcDbDatabase>());
        acDocManager->qvRefuseLocks(c.refusals);
        CAcadDrawing drawing;
        drawing.setDocument(doc);
        drawing.setIsOpen(1);
        drawing.setIsCurrentDocument(1);
        int index = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(index++);
            const int result =
                s.op == LOCK ? drawing.lock() : drawing.unlock(s.op == FORCE ? 1 : 0);
            EXPECT_EQ(s.result, result);
            EXPECT_EQ(s.locked, drawing.isLocked());
            EXPECT_EQ(s.hostLocks, doc->qvLockCount());
        }
        EXPECT_EQ(c.lockRequests, acDocManager->qvLockRequests());
        EXPECT_EQ(c.unlockRequests, acDocManager->qvUnlockRequests());
    }
}

// ---- posting entities ----

TEST_F(AcadDrawingTest, PostingAppendsToModelSpaceUnderItsOwnLockLevel) {
    auto drawing = wrapCurrent();
    for (int alreadyLocked = 0; alreadyLocked <= 1; ++alreadyLocked) {
        SCOPED_TRACE(alreadyLocked);
        if (alreadyLocked) {
            ASSERT_EQ(Acad::eOk, drawing->lock());
        }
        AcDbObjectId id;
        ASSERT_EQ(0, drawing->postToDrawing(id, new AcDbLine({0, 0, 0}, {10, 10, 0})));
        AcDbEntity* posted = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(posted, id, AcDb::kForRead));
        EXPECT_EQ(db()->modelSpaceId(), posted->ownerId());
        EXPECT_STREQ(L"AcDbLine", posted->isA()->name());
        posted->close();
        EXPECT_EQ(alreadyLocked, drawing->isLocked());
        EXPECT_EQ(alreadyLocked, document()->qvLockCount());
        if (alreadyLocked) {
            EXPECT_EQ(Acad::eOk, drawing->unlock(0));
        }
    }
}

TEST_F(AcadDrawingTest, PostingWithTheLockRefusedLeavesTheEntityToTheCaller) {
    auto drawing = wrapCurrent();
    acDocManager->qvRefuseLocks(1);
    auto line = std::make_unique<AcDbLine>(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
    AcDbObjectId id;
    EXPECT_EQ(Acad::eLockViolation, drawing->postToDrawing(id, line.get()));
    EXPECT_TRUE(id.isNull());
    EXPECT_TRUE(line->objectId().isNull());
    EXPECT_EQ(0, drawing->isLocked());
}

TEST_F(AcadDrawingTest, PostingWhatCannotBePostedIsReported) {
    CAcadDrawing empty;
    AcDbObjectId id;
    auto error = caught([&] { empty.postToDrawing(id, new AcDbLine({0, 0, 0}, {1, 1, 0})); });
    ASSERT_TRUE(error);
    EXPECT_EQ(CString(L"CAcadDrawing::postToDrawing"), error->getProcSig());
    error = caught([&] { wrapCurrent()->postToDrawing(id, nullptr); });
    ASSERT_TRUE(error);
    EXPECT_EQ(0, document()->qvLockCount());

    // An entity of the drawing already stays the drawing's (and open for its caller).
    const AcDbObjectId posted = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
    AcDbEntity* entity = nullptr;
    {
        WriteLock lock(document());
        ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(entity, posted, AcDb::kForWrite));
    }
    error = caught([&] { wrapCurrent()->postToDrawing(id, entity); });
    ASSERT_TRUE(error);
    ASSERT_TRUE(error->getInnerException());
    EXPECT_EQ(CString(L"The following AutoCAD error occurred on line#391: eAlreadyInDb."),
              error->getInnerException()->getDescription());
    EXPECT_EQ(posted, entity->objectId());
    entity->close();
}

// ---- paths and names ----

TEST_F(AcadDrawingTest, SetFullPathSplitsAtTheLastBackslash) {
    const struct {
        const wchar_t* path;
        const wchar_t* folder;
        const wchar_t* fileName;
    } cases[] = {
        {L"c:\\work\\plan.dwg", L"c:\\work\\", L"plan.dwg"},
        {L"plan.dwg", L"c:\\old\\", L"plan.dwg"},
        {L"", L"c:\\old\\", L"old.dwg"},
        {L"c:\\work\\", L"c:\\work\\", L""},
        {L"\\\\server\\share\\a.b\\plan", L"\\\\server\\share\\a.b\\", L"plan"},
        {L"c:/work/plan.dwg", L"c:\\old\\", L"c:/work/plan.dwg"},
    };
    for (const auto& c : cases) {
        CAcadDrawing drawing;
        drawing.setFolder(L"c:\\old\\");
        drawing.setFileName(L"old.dwg");
        drawing.setFullPath(c.path);
        EXPECT_EQ(CString(c.folder), drawing.getFolder()) << CStringA(c.path).GetString();
        EXPECT_EQ(CString(c.fileName), drawing.getFileName()) << CStringA(c.path).GetString();
    }
}

TEST_F(AcadDrawingTest, SystemErrorMessagesAreCutAtTheirLineEnd) {
    CAcadDrawing drawing;
    EXPECT_EQ(CString(L"The system cannot find the file specified."),
              drawing.getSystemErrorMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CString(L"Unknown system error 987654"), drawing.getSystemErrorMessage(987654));
}

TEST_F(AcadDrawingTest, TheTemporaryFolderComesFromTheFirstServerOrFallsBackToDriveC) {
    EXPECT_EQ(CString(L"c:\\"), CAcadDrawing::getTempFolder());
    const struct {
        const char* servers;
        const wchar_t* folder;
    } cases[] = {
        {"<s><acadTempDirectory>C:\\cad\\tmp</acadTempDirectory></s>"
         "<s><acadTempDirectory>C:\\second</acadTempDirectory></s>",
         L"C:\\cad\\tmp\\"},
        {"<s><acadTempDirectory></acadTempDirectory><x>1</x></s>", L"c:\\"},
        {"<s><acadTempDirectory>C:\\cad\\tmp\\</acadTempDirectory></s>", L"C:\\cad\\tmp\\"},
    };
    for (const auto& c : cases) {
        drive.writeFile("servers.xml", std::string("<documentMonitorPreferences>") + c.servers +
                                           "</documentMonitorPreferences>");
        docMonPreferences.deleteObjects();
        docMonPreferences.deSerialize(L"C:\\servers.xml");
        ASSERT_GT(docMonPreferences.getCount(), 0);
        EXPECT_EQ(CString(c.folder), CAcadDrawing::getTempFolder()) << c.servers;
    }
    // A save makes the folder and writes its temporary copy there.
    auto drawing = wrapCurrent();
    drawing->saveAs(L"C:\\", L"copy.dwg");
    EXPECT_TRUE(drive.exists("cad/tmp/copy.vrk"));
    EXPECT_EQ("drawing with 0 entities", text("copy.dwg"));
}

// ---- saving ----

TEST_F(AcadDrawingTest, SaveAsWritesThroughATemporaryCopyThatGoesWithTheWrapper) {
    drive.makeFolder("out");
    const struct {
        const wchar_t* folder;
        const wchar_t* fileName;
        const char* temporary;
        const char* target;
    } cases[] = {
        {L"C:\\out\\", L"plan.dwg", "plan.vrk", "out/plan.dwg"},
        // Blanks around the name are not part of the copy's name.
        {L"C:\\out\\", L" blank.dwg", "blank.vrk", "out/ blank.dwg"},
        // A full path as the target's name: only its file-name part names the copy.
        {L"", L"C:\\out\\full.dwg", "full.vrk", "out/full.dwg"},
    };
    addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        {
            auto drawing = wrapCurrent();
            drawing->saveAs(c.folder, c.fileName);
            EXPECT_EQ("drawing with 1 entities", text(c.target));
            EXPECT_TRUE(drive.exists(c.temporary));
        }
        EXPECT_FALSE(drive.exists(c.temporary));
    }
}

TEST_F(AcadDrawingTest, SaveAsReplacesADrawingThatIsThereAlready) {
    drive.writeFile("out/plan.dwg", "the drawing saved before, longer than the new one");
    drive.writeFile("plan.vrk", "a copy left behind");
    addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    auto drawing = wrapCurrent();
    drawing->saveAs(L"C:\\out\\", L"plan.dwg");
    EXPECT_EQ("drawing with 1 entities", text("out/plan.dwg"));
    // Again, under the same name in other letters: the same file, as on Windows.
    addToModelSpace(new AcDbLine({0, 0, 0}, {0, 1, 0}));
    drawing->saveAs(L"C:\\out\\", L"PLAN.DWG");
    EXPECT_EQ("drawing with 2 entities", text("out/plan.dwg"));
    EXPECT_FALSE(drive.exists("out/PLAN.DWG"));
}

TEST_F(AcadDrawingTest, EachFailureOfSaveAsIsReportedAndLeavesTheTargetAlone) {
    drive.writeFile("out/plan.dwg", "the user's drawing");
    const struct {
        const char* what;
        int open;
        const wchar_t* folder;
        const wchar_t* fileName;
        const wchar_t* description;
    } cases[] = {
        {"not open", 0, L"C:\\out\\", L"plan.dwg",
         L"unable to save drawing - the drawing is not open"},
        {"the copy cannot be written", 1, L"C:\\out\\", L"unwritable.dwg",
         L"unable to save drawing to temp location c:\\unwritable.vrk"},
        {"the target's folder is missing", 1, L"C:\\missing\\", L"plan.dwg",
         L"unable to copy drawing from temp location - The system cannot find the path "
         L"specified."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto drawing = wrapCurrent();
        drawing->setIsOpen(c.open);
        auto error = caught([&] { drawing->saveAs(c.folder, c.fileName); });
        ASSERT_TRUE(error);
        EXPECT_EQ((std::vector<Level>{{L"CAcadDrawing::saveAs", L"unhandled error"},
                                      {L"CAcadDrawing::saveAs", c.description}}),
                  levels(error.get()));
        EXPECT_EQ("the user's drawing", text("out/plan.dwg"));
    }
    // A temporary copy written before a failed copy goes with the wrapper as well.
    EXPECT_FALSE(drive.exists("plan.vrk"));
}

TEST_F(AcadDrawingTest, SaveAsTempNamesTheCopyByTheLocalTime) {
    clock.set({2026, 2, 3, 14, 5, 9, 0});
    {
        auto drawing = wrapCurrent(L"plan.dwg");
        EXPECT_EQ(CString(L"c:\\2026020314h0509_plan.vrk"), drawing->saveAsTemp());
        EXPECT_EQ("drawing with 0 entities", text("2026020314h0509_plan.vrk"));
        clock.set({2026, 12, 31, 9, 0, 0, 0});
        EXPECT_EQ(CString(L"c:\\2026123109h0000_plan.DWG.vrk"),
                  (drawing->setFileName(L"plan.DWG"), drawing->saveAsTemp()));
        // Not open: the name is given and remembered, nothing is written.
        drawing->setIsOpen(0);
        drawing->setFileName(L"closed.dwg");
        EXPECT_EQ(CString(L"c:\\2026123109h0000_closed.vrk"), drawing->saveAsTemp());
        EXPECT_FALSE(drive.exists("2026123109h0000_closed.vrk"));
    }
    EXPECT_FALSE(drive.exists("2026020314h0509_plan.vrk"));
    EXPECT_FALSE(drive.exists("2026123109h0000_plan.DWG.vrk"));
}

TEST_F(AcadDrawingTest, AFailedTemporarySaveNamesTheLineAndThePath) {
    auto drawing = wrapCurrent(L"unwritable.dwg");
    auto error = caught([&] { drawing->saveAsTemp(); });
    ASSERT_TRUE(error);
    EXPECT_EQ((std::vector<Level>{
                  {L"CAcadDrawing::saveAsTemp", L"unhandled error"},
                  {L"CAcadDrawing::saveAsTemp",
                   L"The following AutoCAD error occurred on line#786: eFileAccessErr, whilst "
                   L"processing drawing c:\\2009030507h0409_unwritable.vrk."}}),
              levels(error.get()));
}

// ---- opening and the end of a wrapper ----

TEST_F(AcadDrawingTest, TheFolderAndFileConstructorOpensTheDrawingAndClosesOnlyWhatItOpened) {
    drive.writeFile("plans/level1.dwg", "x");
    auto first = std::make_unique<CAcadDrawing>(L"C:\\plans", L"level1.dwg");
    EXPECT_EQ(1, first->isOpen());
    EXPECT_EQ(CString(L"C:\\plans\\"), first->getFolder());
    EXPECT_EQ(CString(L"level1.dwg"), first->getFileName());
    AcApDocument* opened = first->getDocument();
    ASSERT_NE(nullptr, opened);
    EXPECT_EQ(acDocManager->curDocument(), opened);
    EXPECT_NE(document(), opened);
    {
        // Open in the host already (under another case): the second wrapper leaves it open.
        CAcadDrawing second(L"C:\\plans\\", L"LEVEL1.dwg");
        EXPECT_EQ(opened, second.getDocument());
    }
    EXPECT_TRUE(isOpenInHost(opened));
    first.reset();
    EXPECT_FALSE(isOpenInHost(opened));
    EXPECT_TRUE(isOpenInHost(document()));
}

TEST_F(AcadDrawingTest, ADrawingThatCannotBeOpenedIsReportedToTheCreator) {
    auto error = caught([&] { CAcadDrawing drawing(L"C:\\plans\\", L"missing.dwg"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(
        (std::vector<Level>{{L"CAcadDrawing::CAcadDrawing", L"unhandled error"},
                            {L"CAcadDrawing::openDrawing", L"unhandled error"},
                            {L"CAcadDrawing::openDrawing",
                             L"The following AutoCAD error occurred on line#561: eFileNotFound."}}),
        levels(error.get()));
    EXPECT_EQ(1, acDocManager->documentCount());
}

TEST_F(AcadDrawingTest, DeletingAWrapperClosesOnlyItsOwnDocument) {
    const struct {
        const char* what;
        bool current;  // wraps the host's current document
        int locks;     // lock levels held when deleted
        bool closed;   // the wrapped document is gone afterwards
    } cases[] = {
        {"own document", false, 0, true},
        {"own document, locked twice", false, 2, false},
        {"current document", true, 0, false},
        {"current document, locked twice", true, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AcApDocument* other = nullptr;
        auto drawing = c.current ? wrapCurrent() : wrapOther(other);
        AcApDocument* wrapped = c.current ? document() : other;
        for (int i = 0; i < c.locks; ++i)
            ASSERT_EQ(Acad::eOk, drawing->lock());
        drawing.reset();
        EXPECT_EQ(!c.closed, isOpenInHost(wrapped));
        // The lock is released fully, and the document the user works in is never closed.
        if (!c.closed) {
            EXPECT_EQ(0, wrapped->qvLockCount());
        }
        EXPECT_TRUE(isOpenInHost(document()));
        EXPECT_EQ(document(), acDocManager->curDocument());
        EXPECT_EQ(L"", qv::host::transcript().text());
        if (other != nullptr && isOpenInHost(other))
            acDocManager->closeDocument(other);
    }
}

TEST_F(AcadDrawingTest, AFailureWhileDeletingIsPrintedAndGoesNoFurther) {
    AcApDocument* other = nullptr;
    auto drawing = wrapOther(other);
    drawing->setFullPath(L"C:\\unwritable.dwg");
    drawing->setSaveOnClose(1);
    drawing.reset();  // must not throw
    const std::wstring printed = qv::host::transcript().text();
    EXPECT_NE(std::wstring::npos, printed.find(L"CAcadDrawing::close")) << printed;
    EXPECT_NE(std::wstring::npos, printed.find(L"line#786: eFileAccessErr")) << printed;
    // Nothing was saved, so nothing was closed: the user's changes are still there.
    EXPECT_TRUE(isOpenInHost(other));
    acDocManager->closeDocument(other);
}

// ---- the automation object ----

TEST_F(AcadDrawingTest, ZoomsAndRegenerationsReachTheCurrentView) {
    auto drawing = wrapCurrent();
    qv::host::ViewState& views = document()->qvViews();
    const qv::host::View start = views.current();
    drawing->zoomWindow(AcGePoint3d(10, 20, 0), AcGePoint3d(110, 70, 0));
    EXPECT_EQ(AcGePoint3d(10, 20, 0), views.current().lowerLeft);
    EXPECT_EQ(AcGePoint3d(110, 70, 0), views.current().upperRight);
    EXPECT_TRUE(qv::host::applicationVisible());
    drawing->zoomPrevious();
    EXPECT_EQ(start, views.current());
    drawing->zoomExtents();
    EXPECT_EQ(1u, views.previousCount());
    EXPECT_EQ(1, drawing->regenDrawing());
    EXPECT_EQ(1, views.regenCount());
}

TEST_F(AcadDrawingTest, AutomationRefusalsAreReported) {
    auto drawing = wrapCurrent();
    acDocManager->closeDocument(document());
    const struct {
        const wchar_t* procSig;
        std::function<void()> call;
    } cases[] = {
        {L"CAcadDrawing::zoomExtents", [&] { drawing->zoomExtents(); }},
        {L"CAcadDrawing::regenDrawing", [&] { drawing->regenDrawing(); }},
    };
    for (const auto& c : cases) {
        auto error = caught(c.call);
        ASSERT_TRUE(error) << CStringA(c.procSig).GetString();
        EXPECT_EQ(CString(c.procSig), error->getProcSig());
        EXPECT_FALSE(error->getDescription().IsEmpty());
    }
    drawing->setIsOpen(0);
}

// ---- with the host's own drawing files ----

class AcadDrawingFiles : public qv::test::DrawingTest {
  protected:
    // The entities of the model space of a wrapper's drawing, by class name.
    static std::vector<std::wstring> modelSpaceOf(const CAcadDrawing& drawing) {
        std::vector<std::wstring> names;
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(Acad::eOk,
                  acdbOpenObject(space, drawing.getDocument()->database()->modelSpaceId(),
                                 AcDb::kForRead));
        for (AcDbObjectId id : space->qvEntities()) {
            AcDbEntity* entity = nullptr;
            if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) == Acad::eOk) {
                names.push_back(entity->isA()->name());
                entity->close();
            }
        }
        space->close();
        return names;
    }

    qv::test::TempDrive drive;
};

TEST_F(AcadDrawingFiles, ASavedCopyOpensWithWhatWasPosted) {
    drive.makeFolder("out");
    {
        auto drawing = std::make_unique<CAcadDrawing>();
        drawing->setDocument(document());
        drawing->setIsOpen(1);
        drawing->setIsCurrentDocument(1);
        AcDbObjectId id;
        ASSERT_EQ(0, drawing->postToDrawing(id, new AcDbLine({0, 0, 0}, {10, 0, 0})));
        ASSERT_EQ(0,
                  drawing->postToDrawing(id, new AcDbCircle({5, 5, 0}, AcGeVector3d::kZAxis, 2)));
        drawing->saveAs(L"C:\\out\\", L"plan.dwg");
    }
    EXPECT_FALSE(drive.exists("plan.vrk"));
    CAcadDrawing reopened(L"C:\\out", L"plan.dwg");
    EXPECT_EQ((std::vector<std::wstring>{L"AcDbLine", L"AcDbCircle"}), modelSpaceOf(reopened));
}

TEST_F(AcadDrawingFiles, SaveOnCloseKeepsTheChangesOfADrawingTheWrapperOpened) {
    drive.makeFolder("plans");
    {
        CAcadDrawing first;
        first.setDocument(document());
        first.setIsOpen(1);
        first.setIsCurrentDocument(1);
        first.saveAs(L"C:\\plans\\", L"level1.dwg");
    }
    {
        CAcadDrawing drawing(L"C:\\plans\\", L"level1.dwg");
        AcDbObjectId id;
        ASSERT_EQ(0, drawing.postToDrawing(id, new AcDbLine({0, 0, 0}, {1, 1, 0})));
        drawing.setSaveOnClose(1);
    }
    EXPECT_EQ(1, acDocManager->documentCount());
    CAcadDrawing reopened(L"C:\\plans\\", L"level1.dwg");
    EXPECT_EQ((std::vector<std::wstring>{L"AcDbLine"}), modelSpaceOf(reopened));
}

}  // namespace
