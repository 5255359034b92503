#include <gtest/gtest.h>

#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class HyperlinkTest : public DrawingTest {
  protected:
    HyperlinkTest() { line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0})); }

    Acad::ErrorStatus write(const std::vector<AcDbHyperlink>& links) {
        WriteLock lock(document());
        AcDbEntity* e = nullptr;
        acdbOpenAcDbEntity(e, line, AcDb::kForWrite);
        AcDbEntityHyperlinkPE* pe = ACRX_PE_PTR(e, AcDbEntityHyperlinkPE);
        EXPECT_NE(pe, nullptr);
        AcDbHyperlinkCollection* collection = nullptr;
        pe->getHyperlinkCollection(e, collection);
        while (collection->count() > 0) {
            collection->removeHead();
        }
        for (const AcDbHyperlink& link : links) {
            collection->addTail(link.name(), link.description(), link.subLocation());
        }
        const Acad::ErrorStatus es = pe->setHyperlinkCollection(e, collection);
        delete collection;
        e->close();
        return es;
    }

    std::wstring read() {
        AcDbEntity* e = nullptr;
        acdbOpenAcDbEntity(e, line, AcDb::kForRead);
        AcDbEntityHyperlinkPE* pe = ACRX_PE_PTR(e, AcDbEntityHyperlinkPE);
        AcDbHyperlinkCollection* collection = nullptr;
        EXPECT_EQ(pe->getHyperlinkCollection(e, collection, false, true), Acad::eOk);
        std::wstring text;
        for (int i = 0; i < collection->count(); ++i) {
            const AcDbHyperlink* link = collection->item(i);
            text += std::wstring(link->name()) + L"|" + link->description() + L"|" +
                    link->subLocation() + L";";
        }
        delete collection;
        e->close();
        return text;
    }

    AcDbObjectId line;
};

TEST_F(HyperlinkTest, StoredAndReadBackInOrder) {
    EXPECT_EQ(read(), L"");
    ASSERT_EQ(write({{L"http://a/1", L"First", L""},
                     {L"http://a/1", L"Same address", L""},
                     {L"file://b", L"", L"Sheet 2"}}),
              Acad::eOk);
    EXPECT_EQ(read(), L"http://a/1|First|;http://a/1|Same address|;file://b||Sheet 2;");
    ASSERT_EQ(write({}), Acad::eOk);
    EXPECT_EQ(read(), L"");
}

TEST_F(HyperlinkTest, KeptAsExtendedDataOfTheirApplication) {
    ASSERT_EQ(write({{L"http://x", L"X", L""}}), Acad::eOk);
    AcDbEntity* e = nullptr;
    acdbOpenAcDbEntity(e, line, AcDb::kForRead);
    resbuf* list = e->xData(L"PE_URL");
    e->close();
    std::wstring text;
    for (resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        text += std::to_wstring(rb->restype) + L":" +
                (rb->restype == 1071 ? std::to_wstring(rb->resval.rlong) : rb->resval.rstring) +
                L" ";
    }
    acutRelRb(list);
    EXPECT_EQ(text, L"1001:PE_URL 1000:http://x 1002:{ 1000:X 1002:{ 1071:0 1002:} 1002:} ");
    AcDbRegAppTable* apps = nullptr;
    db()->getRegAppTable(apps, AcDb::kForRead);
    EXPECT_TRUE(apps->has(L"PE_URL"));
    apps->close();
}

TEST_F(HyperlinkTest, NeedsTheEntityOpenForWrite) {
    AcDbEntity* e = nullptr;
    acdbOpenAcDbEntity(e, line, AcDb::kForRead);
    AcDbEntityHyperlinkPE* pe = ACRX_PE_PTR(e, AcDbEntityHyperlinkPE);
    AcDbHyperlinkCollection collection;
    collection.addTail(L"http://x", L"X");
    EXPECT_EQ(pe->setHyperlinkCollection(e, &collection), Acad::eNotOpenForWrite);
    e->close();
    AcDbDictionary dictionary;
    EXPECT_EQ(ACRX_PE_PTR(&dictionary, AcDbEntityHyperlinkPE), nullptr)
        << "only entities have hyperlinks";
}

}  // namespace
