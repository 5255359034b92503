// The extended-data record of a space block: written item for item, read back, kept under the
// application it was found in, and never lost silently.
#include <gtest/gtest.h>

#include "BlockFixture.h"
#include "core/OrvanExceptions.h"
#include "drawing/BlockDefinitions.h"
#include "host/CommandLine.h"
#include "support/Raised.h"

namespace {

using qv::test::BlockTest;

class ExtendedDataTest : public BlockTest {
  protected:
    // A reference to a block "PLAIN" (a line) in model space.
    AcDbObjectId addReference() {
        if (plain.isNull())
            plain = qv::test::defineBlock(document(), L"PLAIN",
                                          {{new AcDbLine({0, 0, 0}, {1, 0, 0}), false}});
        return addToModelSpace(new AcDbBlockReference({5, 5, 0}, plain));
    }

    // Writes the block's record onto the object.
    void write(CBlockDWG& block, AcDbObjectId id) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbObject> object(id, AcDb::kForWrite);
        ASSERT_EQ(object.openStatus(), Acad::eOk);
        block.writeXData(object.object());
    }

    // A block read from a record of the strings.
    std::unique_ptr<CBlockDWG> read(std::initializer_list<const wchar_t*> strings) {
        auto block = std::make_unique<CBlockDWG>();
        resbuf* list = acutBuildList(1001, L"ADE", 0);
        resbuf* last = list;
        for (const wchar_t* s : strings)
            last = last->rbnext = acutBuildList(1000, s, 0);
        block->readXData(list, document());
        acutRelRb(list);
        return block;
    }

    AcDbObjectId plain;
};

std::wstring recordOf(const std::wstring& area, const std::wstring& perimeter,
                      const std::wstring& height, const std::wstring& volume,
                      const std::wstring& minus = L"", const std::wstring& add = L"") {
    return L"1001:ADE|1002:{|1000:AREA=" + area + L"|1000:PERIMETER=" + perimeter +
           L"|1000:NAME=B.01|1000:TAGTYPE=Office|1000:AREA_TYPE=<Not Set>"
           L"|1000:COST_CENTRE=<Not Set>|1000:DATE=<Not Set>|1000:DATE_L_MOVE=<Not Set>"
           L"|1000:DEPT_CHARGE=<Not Set>|1000:ROOM_HEIGHT=" +
           height +
           L"|1000:SPECIAL_REQ=<Not Set>|1000:TOT_STAFF=<Not Set>|1000:TOT_WKSTNS=<Not Set>"
           L"|1000:VOLUME=" +
           volume + L"|1000:HANDLESTOMINUS=" + minus + L"|1000:HANDLESTOADD=" + add + L"|1002:}";
}

TEST_F(ExtendedDataTest, RecordIsWrittenItemForItemInTheBlocksUnits) {
    const struct {
        int units, precision;
        std::wstring expected;
    } cases[] = {
        {0, 2, recordOf(L"125.50sq.m.", L"48.20m.", L"2.50m.", L"313.75cu.m.")},
        {1, 1, recordOf(L"125.5sq.ft.", L"48.2ft.", L"2.5ft.", L"313.8cu.ft.")},
        {-1, -1, recordOf(L"125.5sq.ft.", L"48.2ft.", L"2.5ft.", L"313.75cu.ft.")},
    };
    const AcDbObjectId ref = addReference();
    for (const auto& c : cases) {
        CBlockDWG block;
        block.setXDataAppName(L"No X Data");
        block.setUnits(c.units);
        block.setPrecision(c.precision);
        block.setArea(125.5);
        block.setPerimeter(48.2);
        block.setRoomHeight(2.5);
        block.setVolume(313.75);
        block.setName(L"B.01");
        block.setTagType(L"Office");
        write(block, ref);
        EXPECT_EQ(qv::test::xdataOf(ref, L"ADE"), c.expected) << c.units;
        EXPECT_EQ(block.getXDataAppName(), L"ADE");
    }
    // Not a block reference: nothing is written.
    const AcDbObjectId line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
    CBlockDWG block;
    write(block, line);
    EXPECT_EQ(qv::test::xdataOf(line, L"ADE"), L"");
}

TEST_F(ExtendedDataTest, EachStringSetsTheFieldOfItsKeyOnly) {
    const auto block = read({L"AREA=12.345 sq.m.", L"PERIMETER=48.20ft.", L"ROOM_HEIGHT=2.70m.",
                             L"VOLUME=313.75cu.m.", L"TAGTYPE=DATE=2014", L"AREA_TYPE=Net",
                             L"DATE_L_MOVE=2020", L"NAME=ignored", L"UNKNOWN=1"});
    EXPECT_DOUBLE_EQ(block->getArea(), 12.345);
    EXPECT_EQ(block->getUnits(), 0);
    EXPECT_EQ(block->getPrecision(), 3);
    EXPECT_DOUBLE_EQ(block->getPerimeter(), 48.2);
    EXPECT_DOUBLE_EQ(block->getRoomHeight(), 2.7);
    EXPECT_DOUBLE_EQ(block->getVolume(), 313.75);
    EXPECT_EQ(block->getTagType(), L"DATE=2014");
    EXPECT_EQ(block->getDate(), L"<Not Set>");
    EXPECT_EQ(block->getAreaType(), L"Net");
    EXPECT_EQ(block->getDateLastMove(), L"2020");
    EXPECT_EQ(block->getName(), L"");
    EXPECT_EQ(read({L"NAME=first", L"NAME=second"})->getXDataName(), L"first");

    const struct {
        const wchar_t* text;
        double area;
        int units, precision;
    } areas[] = {
        {L"AREA=125.50sq.m.", 125.5, 0, 2},
        {L"AREA=1350sq.ft.", 1350.0, 1, 0},
        {L"AREA=42", 42.0, -1, -1},  // no unit: units and precision as they were
        {L"AREA=abc sq.m.", 0.0, 0, 0},
    };
    for (const auto& c : areas) {
        const auto b = read({c.text});
        EXPECT_DOUBLE_EQ(b->getArea(), c.area) << c.text;
        EXPECT_EQ(b->getUnits(), c.units) << c.text;
        EXPECT_EQ(b->getPrecision(), c.precision) << c.text;
    }
}

// A stored number that is not finite (NaN, infinity, or beyond the range of a double) is never
// taken: the field keeps the value read before it, and the command line names the item and its
// text.
TEST_F(ExtendedDataTest, StoredNumbersThatAreNotFiniteAreIgnoredWithAMessage) {
    const struct {
        const wchar_t* item;
        const wchar_t* told;
    } cases[] = {
        {L"AREA=nan", L"the stored area \"nan\""},
        {L"AREA=1e999sq.m.", L"the stored area \"1e999\""},
        {L"AREA=-INF sq.ft.", L"the stored area \"-INF\""},
        {L"PERIMETER=infm.", L"the stored perimeter \"inf\""},
        {L"ROOM_HEIGHT=NaN", L"the stored room height \"NaN\""},
        {L"VOLUME=1e400", L"the stored volume \"1e400\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.item).GetString());
        qv::host::transcript().clear();
        const auto block =
            read({L"AREA=7.5", L"PERIMETER=11", L"ROOM_HEIGHT=2.5", L"VOLUME=3", c.item});
        EXPECT_DOUBLE_EQ(block->getArea(), 7.5);
        EXPECT_DOUBLE_EQ(block->getPerimeter(), 11.0);
        EXPECT_DOUBLE_EQ(block->getRoomHeight(), 2.5);
        EXPECT_DOUBLE_EQ(block->getVolume(), 3.0);
        EXPECT_EQ(qv::host::transcript().text(),
                  L"Ignored " + std::wstring(c.told) + L": it is not a finite number.\n");
    }
}

TEST_F(ExtendedDataTest, HandleListsKeepWhatTheDrawingKnows) {
    const AcDbObjectId line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
    const std::wstring handle = line.handle().text();
    const auto block =
        read({(L"HANDLESTOMINUS=" + handle + L",ZZ,FFFFF,,7").c_str(), L"HANDLESTOADD="});
    EXPECT_EQ(block->getHandlesToMinusAsString(), CString((handle + L",").c_str()));
    EXPECT_EQ(block->getHandlesToAddCount(), 0);
}

TEST_F(ExtendedDataTest, TheRecordIsFoundUnderEitherApplicationAndWrittenBackThere) {
    const AcDbObjectId ade = addReference(), aec = addReference(), none = addReference();
    {
        WriteLock lock(document());
        acdbRegApp(L"AECXDATA");
        AcDbObjectPointer<AcDbObject> object(aec, AcDb::kForWrite);
        resbuf* list =
            acutBuildList(1001, L"AECXDATA", 1000, L"AREA=7.5sq.m.", 1000, L"COST_CENTRE=CC", 0);
        ASSERT_EQ(object->setXData(list), Acad::eOk);
        acutRelRb(list);
    }
    CBlockDWG written;
    written.setUnits(0);
    written.setPrecision(1);
    written.setArea(3.0);
    write(written, ade);

    const auto fromAde = readBack(ade);
    EXPECT_EQ(fromAde->getXDataAppName(), L"ADE");
    EXPECT_DOUBLE_EQ(fromAde->getArea(), 3.0);
    EXPECT_EQ(fromAde->getName(), L"PLAIN") << "no NAME attribute and no name";

    const auto fromAec = readBack(aec);
    EXPECT_EQ(fromAec->getXDataAppName(), L"AECXDATA");
    EXPECT_DOUBLE_EQ(fromAec->getArea(), 7.5);
    EXPECT_EQ(fromAec->getCostCentre(), L"CC");
    write(*fromAec, aec);
    EXPECT_EQ(qv::test::xdataOf(aec, L"ADE"), L"");
    EXPECT_NE(qv::test::xdataOf(aec, L"AECXDATA").find(L"1000:AREA=7.5sq.m."), std::wstring::npos);

    const auto fromNone = readBack(none);
    EXPECT_EQ(fromNone->getXDataAppName(), L"No X Data");
    EXPECT_EQ(fromNone->getUnits(), -1);
    EXPECT_EQ(fromNone->getPrecision(), -1);
    EXPECT_EQ(fromNone->getSpecialReq(), L"<Not Set>");
}

// A list too long for one string goes on in further strings of its key and reads back whole; a
// text the host refuses raises and leaves the record as it was.
TEST_F(ExtendedDataTest, LongListsAreSplitAndRefusalsRaise) {
    const AcDbObjectId ref = addReference();
    CBlockDWG block;
    for (int i = 0; i < 120; ++i)
        block.addHandleToMinus(addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0})).handle(), db());
    write(block, ref);
    const std::wstring record = qv::test::xdataOf(ref, L"ADE");
    size_t from = 0, strings = 0;
    while ((from = record.find(L"1000:HANDLESTOMINUS=", from)) != std::wstring::npos) {
        const size_t end = record.find(L'|', from);
        const std::wstring item = record.substr(from + 5, end - from - 5);
        EXPECT_LE(item.size(), 255u);
        EXPECT_EQ(item.back(), L',');
        ++strings;
        from = end;
    }
    EXPECT_GE(strings, 2u);
    const auto back = readBack(ref);
    EXPECT_EQ(back->getHandlesToMinusAsString(), block.getHandlesToMinusAsString());

    block.setSpecialReq(CString(L'x', 300));
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbObject> object(ref, AcDb::kForWrite);
        EXPECT_NE(qv::test::raised<CEXOrvan>([&] { block.writeXData(object.object()); }), nullptr);
    }
    EXPECT_EQ(qv::test::xdataOf(ref, L"ADE"), record);
}

}  // namespace
