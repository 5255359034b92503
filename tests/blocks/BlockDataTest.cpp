// The data classes of space blocks: copies between kinds, hyperlink and attribute lists, the
// attribute kinds.
#include <gtest/gtest.h>

#include "StdAfx.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/Block.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/Hatch.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

namespace {

CHyperlinks* links(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> items) {
    auto* list = new CHyperlinks;
    for (const auto& [href, description] : items)
        list->add(new CHyperlink(href, description));
    return list;
}

TEST(BlockData, VolumeAndCopies) {
    CBlock block;
    block.setArea(25.0);
    block.setRoomHeight(2.5);
    block.calculateVolume();
    EXPECT_DOUBLE_EQ(block.getVolume(), 62.5);

    // A room copied into a plain drawing block gives it its type and fields, and copies of its
    // lists: the copy outlives the source.
    auto* source = new CBlockDWGRoom;
    source->setName(L"Office");
    source->setCostCentre(L"CC-7");
    source->setHyperlinks(links({{L"http://a", L"A"}}));
    auto* hatch = new CHatch;
    hatch->setPatternName(L"ANSI31");
    source->setHatch(hatch);
    source->addHandleToMinus(AcDbHandle(0x2A), nullptr);
    CBlockDWG target;
    target.setHyperlinks(links({{L"http://old", L""}}));
    source->copyInto(&target);
    source->copyInto(nullptr);
    delete source;
    EXPECT_EQ(target.getBlockType(), 7);
    EXPECT_EQ(target.getCostCentre(), L"CC-7");
    ASSERT_EQ(target.getHyperlinks()->getCount(), 1);
    EXPECT_EQ(target.getHyperlinks()->getAt(0)->getHref(), L"http://a");
    EXPECT_EQ(target.getHatch()->getPatternName(), L"ANSI31");
    EXPECT_EQ(target.getHandlesToMinusAsString(), L"2A,");
}

// One of each address, compared with its case; a copy keeps what the target holds.
TEST(BlockData, HyperlinkListKeepsOneOfEachAddress) {
    std::unique_ptr<CHyperlinks> list(
        links({{L"http://x/a", L"first"}, {L"http://x/A", L""}, {L"http://x/a", L"again"}}));
    ASSERT_EQ(list->getCount(), 2);
    EXPECT_EQ(list->getAt(0)->getDescription(), L"first");
    for (int index : {-1, 2})
        EXPECT_NE(qv::test::raised<CInvalidArgException>([&] { list->getAt(index); }), nullptr)
            << index;
    CHyperlinks target;
    target.add(new CHyperlink(L"http://x/A", L"kept"));
    list->copyTo(&target);
    ASSERT_EQ(target.getCount(), 2);
    EXPECT_EQ(target.getAt(0)->getDescription(), L"kept");
    EXPECT_EQ(target.getAt(1)->getHref(), L"http://x/a");
}

TEST(BlockData, AttributeKindsSetTheirTags) {
    const struct {
        const wchar_t* tagBefore;
        int kind;
        const wchar_t* tagAfter;
    } cases[] = {
        {L"NAME", 1, L"AREA"}, {L"x", 0, L"NAME"},     {L"x", 2, L"AUX"},
        {L"Keep", 3, L"Keep"}, {L"Keep", -1, L"Keep"},
    };
    for (const auto& c : cases) {
        COrvanAttribute record;
        record.setTag(c.tagBefore);
        record.setKind(c.kind);
        EXPECT_EQ(record.getKind(), c.kind);
        EXPECT_EQ(record.getTag(), c.tagAfter) << c.kind;
    }
    // A clone follows its kind, and never carries layer or entity.
    COrvanAttribute aux;
    aux.setKind(2);
    aux.setTag(L"aux");
    aux.setValue(L"x");
    aux.setLayer(L"ATT-AUX");
    std::unique_ptr<COrvanAttribute> copy(aux.clone());
    EXPECT_EQ(copy->getTag(), L"AUX");
    EXPECT_EQ(copy->getValue(), L"x");
    EXPECT_EQ(copy->getLayer(), L"");
}

TEST(BlockData, AttributeListFindsByTagAndKind) {
    CAttributes list;
    auto* name = new COrvanAttribute;
    name->setKind(0);
    list.add(name, FALSE);
    list.add(name, FALSE);  // held already: neither taken twice nor deleted
    list.add(new CAttribute(L"NAME", L"dup", 0), FALSE);
    list.add(new CAttribute(L"name", L"lower", 0), FALSE);
    list.add(new CAttribute(L"Area", L"plain", 0), FALSE);
    list.add(new CAttribute(L"Area", L"second", 0), TRUE);
    EXPECT_EQ(list.getCount(), 4);
    EXPECT_EQ(list.getAtAttribute(0), name);
    EXPECT_EQ(list.getAtAttribute(1), nullptr) << "a plain record has no kind";
    EXPECT_EQ(list.getAtAttribute(-1), nullptr);
    EXPECT_EQ(list.getAtAttributeByTag(L"AREA"), nullptr);
    EXPECT_EQ(list.getAtAttributeByTag(L"Area")->getValue(), L"plain");
    EXPECT_NE(qv::test::raised<CInvalidArgException>([&] { list.getAt(4); }), nullptr);

    CAttributes target;
    target.setAreaPosition(AcGePoint3d(1, 2, 3));
    target.add(new CAttribute(L"name", L"target's", 0), FALSE);
    list.setRotation(90.0);
    list.copyOrvanAttributesTo(&target);
    EXPECT_EQ(target.getCount(), 3);
    EXPECT_EQ(target.getAtAttributeByTag(L"name")->getValue(), L"target's");
    EXPECT_NE(target.getAtAttribute(0), nullptr) << "the kind comes along";
    EXPECT_DOUBLE_EQ(target.getRotation(), 90.0);
    EXPECT_EQ(target.getAreaPosition(), AcGePoint3d(1, 2, 3));
}

}  // namespace
