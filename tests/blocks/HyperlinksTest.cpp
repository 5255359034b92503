// Hyperlinks: filled from a text of pairs, read from entities and whole block definitions, and
// written onto a space block's reference and, under some hosts, its attributes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "BlockFixture.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "drawing/HostIdentity.h"

namespace {

using qv::test::BlockTest;
using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

Pairs pairsOf(const CHyperlinks& links) {
    Pairs pairs;
    for (int i = 0; i < links.getCount(); i++)
        pairs.emplace_back(std::wstring(links.getAt(i)->getHref()),
                           std::wstring(links.getAt(i)->getDescription()));
    return pairs;
}

TEST(HyperlinkText, PairsBecomeAddressesWithTheirId) {
    const std::wstring suffix = L"?pb=10&page=1&id=42";
    struct Case {
        const wchar_t* text;
        Pairs expected;
    };
    const Case cases[] = {
        {L"http://a,Plan A;http://b,Plan B",
         {{L"http://a" + suffix, L"Plan A"}, {L"http://b" + suffix, L"Plan B"}}},
        {L"http://a,Plan A;", {{L"http://a" + suffix, L"Plan A"}}},  // empty last item
        {L"   ;http://c", {{L"http://c" + suffix, L"http://c"}}},    // blanks only; no comma
        {L",Only text", {{L"Only text" + suffix, L"Only text"}}},    // address from description
        {L" http://d , Desc, more ", {{L"http://d" + suffix, L"Desc, more"}}},
        {L"http://a,x;http://a,y", {{L"http://a" + suffix, L"x"}}},  // duplicate address
        {L"", {}},
        {L";;", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text);
        CHyperlinks links;
        links.setHyperlinks(c.text, 42);
        EXPECT_EQ(pairsOf(links), c.expected);
    }
    CHyperlink link(L"old", L"kept");
    link.setHyperlink(L"B", -7);
    EXPECT_EQ(link.getHref(), L"B?pb=10&page=1&id=-7");
    EXPECT_EQ(link.getDescription(), L"kept");
}

class HyperlinksTest : public BlockTest {
  protected:
    void attach(AcDbObjectId id, Pairs links) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForWrite);
        AcDbHyperlinkCollection collection;
        for (const auto& [href, description] : links)
            collection.addTail(href.c_str(), description.c_str(), L"");
        ACRX_PE_PTR(entity.object(), AcDbEntityHyperlinkPE)
            ->setHyperlinkCollection(entity.object(), &collection);
    }
    Pairs read(AcDbObjectId id, int whole = 0) {
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
        CHyperlinks links;
        links.getBlockHyperlinks(entity.object(), whole);
        return pairsOf(links);
    }
    AcDbObjectIdArray attributesOf(AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        AcDbObjectIdArray ids;
        for (const AcDbObjectId& a : ref->qvAttributes())
            ids.append(a);
        return ids;
    }
};

TEST_F(HyperlinksTest, ReadFromAnEntityOrAWholeDefinition) {
    const AcDbObjectId outline = addRectangle(0, 0, 10, 10);
    attach(outline, {{L"http://outline", L"first"}, {L"http://outline", L"second"}});
    CBlockDWG block;
    ASSERT_EQ(create(block, outline, L"ROOM-1"), Acad::eOk);
    attach(block.getObjectId(), {{L"http://ref", L"Reference"}});
    // The first of two equal addresses wins, description included.
    EXPECT_EQ(read(block.getObjectId()), (Pairs{{L"http://ref", L"Reference"}}));
    EXPECT_EQ(read(block.getObjectId(), 1), (Pairs{{L"http://outline", L"first"}}));
    const AcDbObjectId plain = addRectangle(20, 0, 5, 5);
    EXPECT_EQ(read(plain, 1), Pairs{});  // no reference: nothing
    EXPECT_EQ(read(plain, 0), Pairs{});
}

TEST_F(HyperlinksTest, WrittenOnTheReferenceAndUnderSomeHostsOnItsAttributes) {
    struct Case {
        const wchar_t* product;
        bool attributes;  // the attributes get the hyperlinks too
    };
    const Case cases[] = {
        {L"AutoCAD LT 2015", true},
        {L"AutoCAD 2015", true},
        {L"BricsCAD V15", false},
        {L"SomeCAD", false},
    };
    // The module's one judgement of the host decides, not the product name of the moment.
    const CHostIdentity loaded = hostIdentity;
    acdbHostApplicationServices()->qvSetProduct(L"SomeCAD");
    for (int n = 0; n < 4; n++) {
        const Case& c = cases[n];
        SCOPED_TRACE(testing::Message() << c.product);
        hostIdentity = CHostIdentity(c.product, L"");
        CBlockDWG block;
        ASSERT_EQ(create(block, addRectangle(30.0 * n, 0, 10, 10),
                         CString(L"ROOM-") + std::to_wstring(n).c_str()),
                  Acad::eOk);
        block.setHyperlinks(new CHyperlinks);
        block.getHyperlinks()->add(new CHyperlink(L"http://x", L"X"));
        block.applyToDWG(&drawing, nullptr);
        EXPECT_EQ(read(block.getObjectId()), (Pairs{{L"http://x", L"X"}}));
        const AcDbObjectIdArray attributes = attributesOf(block.getObjectId());
        ASSERT_EQ(attributes.length(), 3);
        for (const AcDbObjectId& a : attributes)
            EXPECT_EQ(read(a), c.attributes ? (Pairs{{L"http://x", L"X"}}) : Pairs{});

        // An empty list takes every hyperlink off again.
        block.setHyperlinks(new CHyperlinks);
        block.applyToDWG(&drawing, nullptr);
        EXPECT_EQ(read(block.getObjectId()), Pairs{});
        for (const AcDbObjectId& a : attributes)
            EXPECT_EQ(read(a), Pairs{});
    }
    hostIdentity = loaded;
    acdbHostApplicationServices()->qvSetProduct(L"AutoCAD");
}

}  // namespace
