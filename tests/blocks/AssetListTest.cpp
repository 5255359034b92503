// Assets and asset lists in memory and as XML: constructors, copies, the list's look-ups and
// ownership, and the "asset" and "assets" elements.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "blocks/Asset.h"
#include "blocks/Assets.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "core/ComScope.h"
#include "drawing/Hatch.h"
#include "support/Raised.h"

namespace {

CString xmlOf(MSXML2::IXMLDOMNodePtr node) {
    return static_cast<const wchar_t*>(node->Getxml());
}

class AssetListTest : public ::testing::Test {
  protected:
    MSXML2::IXMLDOMNodePtr parsed(const CString& xml) {
        m_doc.CreateInstance(L"Msxml2.DOMDocument");
        m_doc->loadXML(_bstr_t(xml.GetString()));
        return m_doc->GetdocumentElement();
    }

    CComScope com;
    MSXML2::IXMLDOMDocumentPtr m_doc;
};

TEST_F(AssetListTest, StatusTextDecidesExistence) {
    const struct {
        const wchar_t* status;
        int exists;
    } cases[] = {{L"0", 0}, {L"1", 1}, {L"00", 1}, {L" 0", 1}, {L"", 1}};
    for (const auto& c : cases) {
        CAsset a(4, 7, L"3C1", L"CHAIR", L"d", L"u", 1.0, 2.0, CString(c.status));
        EXPECT_EQ(a.getExistsInLocation(), c.exists) << CStringA(c.status).GetString();
    }
}

// A copy owns copies of the source's parts and keeps the target's drawing id; a list copy
// appends, and a list copied onto itself stays as it is.
TEST_F(AssetListTest, CopiesOwnTheirPartsAndKeepTheirIds) {
    CAsset source(4, 7, L"3C1", L"CHAIR", L"Chair", L"Mine", 1.5, 2.5, 1);
    source.setHatch(new CHatch);
    source.setHyperlinks(new CHyperlinks);
    source.getHyperlinks()->add(new CHyperlink(L"http://a", L"A"));
    source.setAttributes(new CAttributes);
    source.getAttributes()->add(new CAttribute(L"SERIAL", L"S-1", 1), FALSE);
    CAsset target;
    target.setDrawingID(99);
    source.copyTo(&target);
    EXPECT_EQ(target.getDrawingID(), 99);
    EXPECT_EQ(xmlOf(target.serialize(L"")), xmlOf(source.serialize(L"")));
    EXPECT_NE(target.getHatch(), source.getHatch());
    EXPECT_EQ(target.getHyperlinks()->getCount(), 1);
    EXPECT_NE(target.getHyperlinks(), source.getHyperlinks());
    EXPECT_EQ(target.getAttributes()->getAt(0)->getValue(), L"S-1");
    EXPECT_NE(target.getAttributes(), source.getAttributes());

    CAssets list;
    EXPECT_EQ(list.add(new CAsset(7, L"2AF", L"A", L"", L"", 0, 0, 1)), 1);
    EXPECT_EQ(list.add(new CAsset(7, L"2B0", L"B", L"", L"", 0, 0, 1)), 2);
    CAssets into;
    into.add(new CAsset(7, L"1C", L"C", L"", L"", 0, 0, 1));
    list.copyTo(&into);
    ASSERT_EQ(into.getCount(), 3);
    EXPECT_EQ(into.getAt(1)->getHandle(), L"2AF");
    EXPECT_NE(into.getAt(1), list.getAt(0));
    list.copyTo(&list);
    EXPECT_EQ(list.getCount(), 2);

    // Look-ups by handle are exact; indexes are bounded.
    EXPECT_EQ(list.getAtAsset(L"2B0"), list.getAt(1));
    EXPECT_EQ(list.getAtAsset(L"2af"), nullptr);
    EXPECT_EQ(list.getAtAsset(L"2A"), nullptr);
    for (int bad : {-1, 2})
        EXPECT_NE(qv::test::raised<CInvalidArgException>([&] { list.getAt(bad); }), nullptr);
    list.deleteObjects();
    EXPECT_EQ(list.getCount(), 0);
}

TEST_F(AssetListTest, XmlFormsWrittenAndRead) {
    CAsset blank;
    EXPECT_EQ(xmlOf(blank.serialize(L"")),
              L"<asset><locationID>0</locationID><handle>0</handle><blockIdentifier/>"
              L"<blockDescription/><uniqueDescription/><pointX>0.00000</pointX>"
              L"<pointY>0.00000</pointY></asset>");

    CAssets list;
    EXPECT_EQ(xmlOf(list.serialize(L"")), L"<assets/>");
    list.add(new CAsset(4, 7, L"3C1", L"CHAIR", L"Chair", L"Mine", 1.25, -2.5, 1));
    const CString written = xmlOf(list.serialize(L""));
    EXPECT_EQ(written, L"<assets><asset><locationID>4</locationID><handle>3C1</handle>"
                       L"<blockIdentifier>CHAIR</blockIdentifier><blockDescription>Chair"
                       L"</blockDescription><uniqueDescription>Mine</uniqueDescription>"
                       L"<pointX>1.25000</pointX><pointY>-2.50000</pointY></asset></assets>");

    // Read back twice with a hatch setting, among other elements: each asset its own copy.
    CHatch hatch;
    hatch.setPatternName(L"SOLID");
    CAssets back;
    back.deSerialize(parsed(L"<assets><note/>" + written.Mid(8, written.GetLength() - 17) +
                            written.Mid(8, written.GetLength() - 17) + L"</assets>")
                         ->GetchildNodes(),
                     &hatch);
    ASSERT_EQ(back.getCount(), 2);
    EXPECT_EQ(xmlOf(back.getAt(0)->serialize(L"")), xmlOf(list.getAt(0)->serialize(L"")));
    ASSERT_NE(back.getAt(0)->getHatch(), nullptr);
    EXPECT_NE(back.getAt(0)->getHatch(), back.getAt(1)->getHatch());
    EXPECT_NE(back.getAt(0)->getHatch(), &hatch);
    back.deSerialize(nullptr, nullptr);
    EXPECT_EQ(back.getCount(), 2);

    const struct {
        const char* what;
        const wchar_t* xml;
        double pointY;
        const wchar_t* handle;
    } elements[] = {
        {"a capital A", L"<Asset><pointY>3</pointY><handle>AB</handle></Asset>", 0.0, L"0"},
        {"only pointY", L"<asset><pointY>3</pointY></asset>", 3.0, L"0"},
        {"without children", L"<asset/>", 0.0, L"0"},
    };
    for (const auto& c : elements) {
        CAsset a;
        a.deSerialize(parsed(c.xml), &hatch);
        EXPECT_DOUBLE_EQ(a.getPointY(), c.pointY) << c.what;
        EXPECT_EQ(a.getHandle(), c.handle) << c.what;
        EXPECT_EQ(a.getHatch() != nullptr, c.pointY != 0.0) << c.what;
    }
}

// A room's assets travel with its XML form and its copies.
TEST_F(AssetListTest, RoomCarriesItsAssets) {
    CBlockDWGRoom room;
    room.setHandle(CString(L"2B0"));
    auto* assets = new CAssets;
    assets->add(new CAsset(7, L"3C1", L"CHAIR", L"", L"", 1.0, 2.0, 1));
    room.setAssets(assets);
    CBlockDWGRoom copy;
    room.copyInto(&copy);
    ASSERT_NE(copy.getAssets(), nullptr);
    EXPECT_NE(copy.getAssets(), assets);
    EXPECT_EQ(copy.getAssets()->getAt(0)->getBlockIdentifier(), L"CHAIR");

    CBlockDWGRoom back;
    back.deSerialize(room.serialize(L""), nullptr);
    ASSERT_NE(back.getAssets(), nullptr);
    ASSERT_EQ(back.getAssets()->getCount(), 1);
    EXPECT_EQ(back.getAssets()->getAt(0)->getHandle(), L"3C1");
}

}  // namespace
