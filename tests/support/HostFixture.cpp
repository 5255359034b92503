#include "support/HostFixture.h"

#include <sstream>

#include "win32/CodePage.h"

namespace qv::test {

std::string hostLeftovers() {
    std::wostringstream out;
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step()) {
        AcApDocument* doc = it->document();
        for (const AcDbObject* o : doc->database()->qvOpenObjects()) {
            AcDbHandle handle;
            o->getAcDbHandle(handle);
            out << doc->docTitle() << L": " << o->isA()->name() << L" " << handle.text()
                << (o->isWriteEnabled() ? L" open for write" : L" open for read") << L"\n";
        }
        if (doc->qvLockCount() > 0) {
            out << doc->docTitle() << L": " << doc->qvLockCount() << L" lock(s) held\n";
        }
    }
    delete it;
    return qv::wideToUtf8(out.str());
}

void resetHost() {
    acDocManager->qvReset();
    qv::host::failNextAdditions(0);
    qv::host::transcript().clear();
    acdbHostApplicationServices()->qvSetProduct(L"AutoCAD");
    acdbHostApplicationServices()->qvSetProgram(L"acad");
}

DrawingTest::DrawingTest() {
    resetHost();
    m_document = acDocManager->qvAddDocument(std::make_unique<AcDbDatabase>());
}

void DrawingTest::renewDocument() {
    resetHost();
    m_document = acDocManager->qvAddDocument(std::make_unique<AcDbDatabase>());
}

DrawingTest::~DrawingTest() {
    resetHost();
}

void DrawingTest::TearDown() {
    EXPECT_EQ(hostLeftovers(), "") << "left behind by the test";
}

DrawingTest::WriteLock::WriteLock(AcApDocument* document) : m_document(document) {
    EXPECT_EQ(acDocManager->lockDocument(m_document), Acad::eOk);
}

DrawingTest::WriteLock::~WriteLock() {
    acDocManager->unlockDocument(m_document);
}

AcDbObjectId DrawingTest::addToModelSpace(AcDbEntity* entity) {
    WriteLock lock(m_document);
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
    entity->close();
    space->close();
    return id;
}

AcDbObjectId DrawingTest::addLayer(const ACHAR* name) {
    WriteLock lock(m_document);
    AcDbLayerTable* layers = nullptr;
    EXPECT_EQ(db()->getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
    auto* record = new AcDbLayerTableRecord;
    EXPECT_EQ(record->setName(name), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(layers->add(id, record), Acad::eOk);
    record->close();
    layers->close();
    return id;
}

}  // namespace qv::test
