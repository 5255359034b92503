// The drawing file reader and writer against the host's table of group codes: the value checks
// of every range, and extended data of every kind read, kept and written back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DxfTestText.h"
#include "host/GroupCodes.h"
#include "host/db/AcDbCurve.h"
#include "host/dxf/Codec.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/FieldTable.h"
#include "host/dxf/TagReader.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::GroupType;
using test::entitiesOf;
using test::lines;
using test::load;
using test::section;

bool numeric(GroupType type) {
    switch (type) {
        case GroupType::PointX:
        case GroupType::Coordinate:
        case GroupType::Real:
        case GroupType::Int16:
        case GroupType::Int32:
        case GroupType::Int64:
        case GroupType::Bool:
            return true;
        case GroupType::Text:
        case GroupType::Handle:
        case GroupType::Pointer:
        case GroupType::Binary:
        case GroupType::Unused:
            return false;
    }
    return false;
}

// A value that is no number is dropped (with a repair) exactly under the codes of numbers, at
// both ends of every range and just outside them.
TEST(DxfGroupTypes, ValuesThatAreNoNumberAreDroppedOnlyWhereANumberBelongs) {
    std::vector<int> codes;
    for (const qv::host::GroupRange& r : qv::host::groupRanges()) {
        for (int code : {r.first - 1, r.first, r.last, r.last + 1}) {
            if (code >= 0 && code <= kMaxGroupCode) {
                codes.push_back(code);
            }
        }
    }
    for (int code : codes) {
        const std::string text = std::to_string(code) + "\nnumber?\n";
        AuditReport report;
        TagReader reader(text, report);
        TagView tag;
        const bool read = reader.next(tag);
        EXPECT_EQ(read, !numeric(qv::host::groupType(code))) << "group code " << code;
        EXPECT_EQ(report.count(Fix::InvalidValue), read ? 0u : 1u) << "group code " << code;
    }
}

// Whether a field of that kind may stand on a code of that type: a field put on a wrong code (a
// radius at 10, a colour at 8) reads and writes the wrong tags.
bool fits(FieldKind kind, GroupType type) {
    switch (kind) {
        case FieldKind::Real:
        case FieldKind::Angle:
            return type == GroupType::Real;
        case FieldKind::Integer:
        case FieldKind::Bit:
            return type == GroupType::Int16 || type == GroupType::Int32 ||
                   type == GroupType::Int64 || type == GroupType::Bool;
        case FieldKind::Text:
            return type == GroupType::Text || type == GroupType::Handle ||
                   type == GroupType::Pointer;
        case FieldKind::Point:
        case FieldKind::Vector:
            return type == GroupType::PointX;
    }
    return false;
}

TEST(DxfGroupTypes, EveryFieldOfEveryRecordStandsOnACodeOfItsType) {
    const char* types[] = {"LINE",   "CIRCLE", "TEXT",         "ATTDEF",     "ATTRIB",
                           "INSERT", "LWPOLYLINE", "HATCH",    "LAYER",      "LTYPE",
                           "STYLE",  "APPID",  "BLOCK_RECORD", "DICTIONARY", "PLOTSETTINGS",
                           "LAYOUT", "VIEWPORT", "SORTENTSTABLE"};
    size_t fields = 0;
    for (const char* type : types) {
        const Codec* codec = codecForType(type);
        ASSERT_NE(codec, nullptr) << type;
        for (const SubclassDef& subclass : codec->subclasses()) {
            for (const Field& field : subclass.fields) {
                ++fields;
                EXPECT_TRUE(fits(field.kind, qv::host::groupType(field.code)))
                    << type << " " << subclass.marker << " field at group code " << field.code;
            }
        }
    }
    EXPECT_GT(fields, 100u);
}

std::string describe(const std::vector<qv::host::XDataRecord>& records) {
    std::string out;
    for (const auto& record : records) {
        out += "[" + qv::wideToUtf8(record.application) + "]";
        for (const auto& item : record.items) {
            out += " " + std::to_string(item.code) + ":";
            switch (qv::host::groupType(item.code)) {
                case GroupType::Text:
                case GroupType::Handle:
                    out += qv::wideToUtf8(item.text);
                    break;
                case GroupType::Binary:
                    out += std::to_string(item.binary.size()) + " bytes";
                    break;
                case GroupType::PointX:
                    for (double v : item.values) {
                        out += std::to_string(static_cast<int>(v));
                    }
                    break;
                case GroupType::Real:
                    out += std::to_string(item.values[0]).substr(0, 4);
                    break;
                case GroupType::Int16:
                case GroupType::Int32:
                    out += std::to_string(item.integer);
                    break;
                case GroupType::Coordinate:
                case GroupType::Int64:
                case GroupType::Bool:
                case GroupType::Pointer:
                case GroupType::Unused:
                    out += "?";
                    break;
            }
        }
    }
    return out;
}

// Each kind of extended data item: kept as read, or dropped with a repair when its value does
// not fit its code; what is kept is written back and reads again the same.
TEST(DxfGroupTypes, ExtendedDataOfEveryKindIsKeptOrDroppedByItsCode) {
    const struct {
        const char* name;
        std::string items;
        std::string kept;  // after "[QV]"
    } cases[] = {
        {"text and layer", lines({"1000", "Room 1", "1003", "WALLS"}), " 1000:Room 1 1003:WALLS"},
        {"braces", lines({"1002", "{", "1000", "a", "1002", "}"}), " 1002:{ 1000:a 1002:}"},
        {"handle", lines({"1005", "2A"}), " 1005:2A"},
        {"handle that is no handle", lines({"1005", "XYZ"}), ""},
        {"binary chunk", lines({"1004", "0AFF10"}), " 1004:3 bytes"},
        {"binary chunk that is no hexadecimal", lines({"1004", "0G"}), ""},
        {"point", lines({"1010", "1", "1020", "2", "1030", "3"}), " 1010:123"},
        {"direction", lines({"1013", "0", "1023", "1", "1033", "0"}), " 1013:010"},
        {"coordinate without its point", lines({"1020", "2"}), ""},
        {"real", lines({"1041", "2.5"}), " 1041:2.50"},
        {"real that is no number", lines({"1040", "x"}), ""},
        {"16-bit integer", lines({"1070", "-32768"}), " 1070:-32768"},
        {"16-bit integer too large", lines({"1070", "40000"}), ""},
        {"32-bit integer", lines({"1071", "40000"}), " 1071:40000"},
        {"code of no extended data", lines({"1060", "1"}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text =
            section("ENTITIES", lines({"0", "LINE", "5", "2A", "10", "0", "20", "0", "11", "1",
                                       "21", "1", "1001", "QV"}) +
                                    c.items) +
            "0\nEOF\n";
        AuditReport report;
        const auto db = load(text, report);
        ASSERT_EQ(entitiesOf(*db).size(), 1u);
        const auto& xdata = entitiesOf(*db)[0]->qvXData();
        EXPECT_EQ(describe(xdata), "[QV]" + c.kept);
        EXPECT_EQ(report.count(Fix::InvalidValue), c.kept.empty() ? 1u : 0u) << report.text();

        AuditReport again;
        const auto reread = load(writeDrawing(*db), again);
        ASSERT_EQ(entitiesOf(*reread).size(), 1u);
        EXPECT_EQ(entitiesOf(*reread)[0]->qvXData(), xdata);
    }
}

}  // namespace
}  // namespace qv::dxf
