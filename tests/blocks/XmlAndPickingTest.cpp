// The XML form of space blocks, picking a space block, and writing a block back to the drawing.
#include <gtest/gtest.h>

#include "BlockFixture.h"
#include "blocks/Attribute.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "core/ComScope.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadUtilities.h"
#include "drawing/Hatch.h"
#include "support/CommandLineAnswers.h"
#include "support/Raised.h"

namespace {

using qv::test::BlockTest;

CString xmlOf(MSXML2::IXMLDOMNodePtr node) {
    return static_cast<const wchar_t*>(node->Getxml());
}

MSXML2::IXMLDOMNodePtr parsed(const CString& xml) {
    MSXML2::IXMLDOMDocumentPtr doc;
    doc.CreateInstance(L"Msxml2.DOMDocument");
    doc->loadXML(_bstr_t(xml.GetString()));
    return doc->GetdocumentElement();
}

class BlockXml : public BlockTest {
  protected:
    CComScope com;
};

TEST_F(BlockXml, WrittenInOrderAndReadBack) {
    CBlockDWG block;
    block.setHandle(CString(L"2F1"));
    block.setName(L"Office");
    block.setCode(L"");
    block.setAttributes(qv::test::spaceAttributes(L"B.01", L"12.50", L""));
    EXPECT_EQ(xmlOf(block.serialize(L"")),
              L"<orvanBlock><mbHandle>2F1</mbHandle><mbName>Office</mbName>"
              L"<mbSwapName>B.01</mbSwapName><mbSwapArea>12.50</mbSwapArea><mbSwapAux/>"
              L"</orvanBlock>");

    auto* links = new CHyperlinks;
    links->add(new CHyperlink(L"http://plans/b01", L"Plan"));
    links->add(new CHyperlink(L"http://plans/b01?x", L""));
    block.setHyperlinks(links);
    block.setCode(L"B.01");
    block.setArea(12.499);
    const CString xml = xmlOf(block.serialize(L""));
    EXPECT_NE(xml.Find(L"<mbCode>B.01</mbCode><mbArea>12.499</mbArea>"), -1) << xml.GetString();
    EXPECT_NE(
        xml.Find(L"<hyperlinks><hyperlink><bhHref>http://plans/b01</bhHref><bhDescription>"
                 L"Plan</bhDescription></hyperlink><hyperlink><bhHref>http://plans/b01?x"
                 L"</bhHref></hyperlink></hyperlinks>"),
        -1)
        << xml.GetString();

    CHatch hatch;
    hatch.setPatternName(L"SOLID");
    CBlockDWG back;
    back.deSerialize(parsed(xml), &hatch);
    EXPECT_EQ(back.getAcDbHandle()->text(), L"2F1");
    ASSERT_NE(back.getHatch(), nullptr);
    EXPECT_EQ(back.getHatch()->getPatternName(), L"SOLID");
    // Read back, the block writes the same text: each element read into its own field.
    EXPECT_EQ(xmlOf(back.serialize(L"")), xml);
}

TEST_F(BlockXml, OtherElementsAndRepeatsChangeNothingMore) {
    const struct {
        const wchar_t* xml;
        const wchar_t* name;
        const wchar_t* swapName;  // null: no attribute list
    } cases[] = {
        {L"<orvanBlocks><mbName>A</mbName></orvanBlocks>", L"", nullptr},
        {L"<OrvanBlock><mbName>A</mbName></OrvanBlock>", L"", nullptr},
        {L"<orvanBlock><mbName>A</mbName><mbName>B</mbName><other>x</other></orvanBlock>", L"B",
         nullptr},
        {L"<orvanBlock><mbSwapName>first</mbSwapName><mbSwapName>second</mbSwapName>"
         L"</orvanBlock>",
         L"", L"first"},
    };
    for (const auto& c : cases) {
        CBlockDWG block;
        block.deSerialize(parsed(c.xml), nullptr);
        EXPECT_EQ(block.getName(), c.name) << c.xml;
        if (c.swapName == nullptr) {
            EXPECT_EQ(block.getAttributes(), nullptr) << c.xml;
        } else {
            ASSERT_NE(block.getAttributes(), nullptr);
            EXPECT_EQ(block.getAttributes()->getCount(), 1);
            EXPECT_EQ(block.getAttributes()->getAtAttribute(0)->getValue(), c.swapName);
        }
    }
    CBlockDWG block;
    block.deSerialize(nullptr, nullptr);
    EXPECT_EQ(block.getHandle(), L"");
}

class PickingTest : public BlockTest {
  protected:
    std::string pick(AcDbObjectId id) {
        return "#" + std::string(CStringA(id.handle().text().c_str()).GetString());
    }
    qv::test::CommandLineAnswers answers;
};

TEST_F(PickingTest, APickedReferenceIsReadIntoTheTarget) {
    CBlockDWG made;
    ASSERT_EQ(create(made, addRectangle(0, 0, 1000, 1000), L"ROOM-1", {500, 500, 0}), Acad::eOk);
    const AcDbObjectId text = addToModelSpace(new AcDbText({0, 0, 0}, L"t"));
    const struct {
        const char* name;
        std::vector<std::string> answers;
        int result;
        const wchar_t* printed;
    } cases[] = {
        {"a text, then the block",
         {pick(text), pick(made.getObjectId())},
         1,
         L"\nPlease select a Orvan Space\nInvalid selection.\n\nPlease select a Orvan Space\n"},
        {"cancelled", {"^C"}, 0, L"Cancelled by User.\n"},
    };
    for (const auto& c : cases) {
        answers.give(c.answers);
        CBlockDWG target;
        EXPECT_EQ(CAcadUtilities::userSelectOrvanBlock(document(), &target), c.result) << c.name;
        EXPECT_NE(qv::host::transcript().text().find(c.printed), std::wstring::npos)
            << c.name << "\n"
            << CStringA(qv::host::transcript().text().c_str()).GetString();
        if (c.result == 1) {
            EXPECT_EQ(target.getObjectId(), made.getObjectId());
            EXPECT_EQ(target.getBlockName(), L"ROOM-1");
            EXPECT_EQ(target.getName(), L"B.01");
            ASSERT_NE(target.getAttributes(), nullptr);
            EXPECT_EQ(target.getAttributes()->getAtAttribute(1)->getValue(), L"12.50");
        }
    }
    // A plain data block takes the data fields.
    answers.give({pick(made.getObjectId())});
    CBlock data;
    EXPECT_EQ(CAcadUtilities::userSelectOrvanBlock(document(), &data), 1);
    EXPECT_EQ(data.getName(), L"B.01");
    EXPECT_EQ(data.getBlockType(), 6);
}

// Written back, a block renames its definition, writes its record and attaches its hyperlinks;
// a refused lock raises the host's status and nothing is left open or locked.
TEST_F(PickingTest, ApplyingWritesTheBlockBack) {
    CBlockDWG made;
    ASSERT_EQ(create(made, addRectangle(0, 0, 1000, 1000), L"ROOM-1", {500, 500, 0}), Acad::eOk);
    const auto block = readBack(made.getObjectId());
    block->setBlockName(L"ROOM-7");
    block->setDeptCharge(L"D-1");
    block->getAttributes()->getAtAttribute(1)->setValue(L"99.00");
    auto* links = new CHyperlinks;
    links->add(new CHyperlink(L"http://plans/7", L"seven"));
    block->setHyperlinks(links);
    block->applyToDWG(&drawing, nullptr);

    const auto again = readBack(made.getObjectId());
    EXPECT_EQ(again->getBlockName(), L"ROOM-7");
    EXPECT_EQ(again->getDeptCharge(), L"D-1");
    EXPECT_EQ(again->getAttributes()->getAtAttribute(1)->getValue(), L"99.00");
    ASSERT_NE(again->getHyperlinks(), nullptr);
    ASSERT_EQ(again->getHyperlinks()->getCount(), 1);
    EXPECT_EQ(again->getHyperlinks()->getAt(0)->getHref(), L"http://plans/7");

    CBlockDWG gone;
    gone.setObjectId(AcDbObjectId::kNull);
    gone.applyToDWG(&drawing, nullptr);  // a reference that does not open: nothing happens

    CAcadDrawing closed;
    EXPECT_NE(qv::test::raised<CEXOrvan>([&] { block->applyToDWG(&closed, nullptr); }), nullptr);
}

}  // namespace
