// The test database answers every stored procedure the module calls, with the parameters in
// the module's order, kinds and sizes, and with the result columns the module reads.
#include <vector>

#include "AdoTestSupport.h"
#include "com/OleDate.h"

namespace qv::test {
namespace {

struct Param {
    const wchar_t* name;
    DataTypeEnum type;
    ParameterDirectionEnum direction;
    long size;
    _variant_t value;
    unsigned char precision = 0;
    unsigned char scale = 0;
};

Param in(const wchar_t* name, long value) {
    return {name, adInteger, adParamInput, 4, _variant_t(value)};
}
Param text(const wchar_t* name, long size, const wchar_t* value) {
    return {name, adVarChar, adParamInput, size, _variant_t(value)};
}
Param flag(const wchar_t* name, bool value) {
    return {name, adBoolean, adParamInput, 1, _variant_t(value)};
}
Param decimal(const wchar_t* name, double value) {
    return {name, adNumeric, adParamInput, 9, _variant_t(value), 18, 10};
}
Param tiny(const wchar_t* name, BYTE value) {
    return {name, adTinyInt, adParamInput, 1, _variant_t(value)};
}

struct Procedure {
    const wchar_t* name;
    std::vector<Param> parameters;
    std::vector<const wchar_t*> columns;  // none: the procedure gives no record set
    long rows;                            // rows of the record set, -1 when not checked
};

std::vector<Param> spaceExport(bool room) {
    std::vector<Param> p;
    if (room) {
        p = {in(L"@parentID", 999), text(L"@name", 255, L"Test room"), text(L"@code", 255, L"T-1")};
    } else {
        p = {in(L"@locationID", 999)};
    }
    p.push_back(decimal(L"@area", 12.5));
    for (const wchar_t* name :
         {L"@areaType", L"@costCentre", L"@date", L"@dateLastMove", L"@deptCharge", L"@handle"}) {
        p.push_back(text(name, 255, L"<Not Set>"));
    }
    p.push_back(decimal(L"@perimeter", 14.0));
    p.push_back(decimal(L"@roomHeight", 2.75));
    for (const wchar_t* name : {L"@specialReq", L"@tagType", L"@totStaff", L"@totWkStns"}) {
        p.push_back(text(name, 255, L"<Not Set>"));
    }
    p.push_back(decimal(L"@volume", 34.375));
    p.push_back(text(L"@exportParameters", 255, L",EXCLUDED-BLOCK,"));
    return p;
}

std::vector<Param> spaceBlock(ParameterDirectionEnum idDirection, long id, long parent,
                              const wchar_t* name, const wchar_t* code, double area,
                              const wchar_t* handle, double perimeter) {
    return {{L"@locationID", adInteger, idDirection, 4, _variant_t(id)},
            in(L"@parentID", parent),
            text(L"@name", 255, name),
            text(L"@code", 255, code),
            flag(L"@statusExists", true),
            flag(L"@statusDuplicate", false),
            decimal(L"@area", area),
            text(L"@handle", 255, handle),
            decimal(L"@perimeter", perimeter),
            in(L"@precision", 2)};
}

std::vector<Param> grossArea(long id, double area, const wchar_t* handle, double perimeter) {
    return {in(L"@locationID", id), decimal(L"@area", area), text(L"@handle", 255, handle),
            decimal(L"@perimeter", perimeter), in(L"@precision", 2)};
}

std::vector<Param> assetToIpr(const wchar_t* identifier) {
    return {in(L"@locationID", 999),
            in(L"@drawingID", 999),
            text(L"@handle", 255, identifier),
            text(L"@acadBlockIdentifier", 100, identifier),
            text(L"@acadBlockDescription", 255, L"Block"),
            text(L"@uniqueDescription", 255, L"Unique"),
            decimal(L"@pointX", 1.5),
            decimal(L"@pointY", -2.25),
            flag(L"@assetExistsInLocation", true),
            {L"@excludedFromTakeoff", adBoolean, adParamOutput, 1, _variant_t()}};
}

_variant_t moduleDate() {
    qv::com::DateParts parts{2014, 11, 24, 0, 0, 0};
    _variant_t v;
    v.vt = VT_DATE;
    qv::com::dateFromParts(parts, v.date);
    return v;
}

class FixtureProcedureTest : public AdoTest {};

TEST_F(FixtureProcedureTest, AnswersEveryProcedureTheModuleCalls) {
    const std::vector<Procedure> procedures = {
        {L"__mod_setModDetails",
         {text(L"@moduleName", 12, L"TEST-MOD"),
          text(L"@moduleDescription", 255, L"A module of the tests"),
          {L"@moduleVersion", adChar, adParamInput, 11, _variant_t(L"64.04.00.01")},
          {L"@moduleDate", adDBTimeStamp, adParamInput, 0, moduleDate()}},
         {},
         -1},
        {L"__mod_setModRunning", {text(L"@MODNAME", 12, L"TEST-MOD")}, {}, -1},
        {L"__to_deleteDrawingLayouts", {in(L"@attachID", 999)}, {}, -1},
        {L"__to_addDrawingLayout",
         {text(L"@layoutName", 255, L"Layout1"), in(L"@attachID", 999)},
         {},
         -1},
        {L"__to_addDrawingLayer",
         {text(L"@layerName", 255, L"WALLS"), text(L"@layerDescription", 255, L""),
          tiny(L"@layerColour", 200), in(L"@attachID", 999)},
         {},
         -1},
        {L"__to_applyAssetAttributeToIPR",
         {in(L"@drawingID", 999), text(L"@handle", 255, L"T1"), text(L"@tag", 255, L"SERIAL"),
          text(L"@value", 255, L"S-1"), flag(L"@exists", true)},
         {},
         -1},
        {L"[idr]..[getAssetAttributes]",
         {in(L"@drawingID", 7), text(L"@handle", 50, L"3C1")},
         {L"aTag", L"aValue"},
         2},
        {L"__to_applyAssetToIPR", assetToIpr(L"CHAIR-01"), {}, -1},
        {L"__to_tp_exportAsset",
         {in(L"@locationID", 999), text(L"@handle", 255, L"T1"),
          text(L"@acadBlockIdentifier", 100, L"CHAIR-01"),
          text(L"@acadBlockDescription", 255, L"Chair"), text(L"@uniqueDescription", 255, L""),
          decimal(L"@pointX", 1.0), decimal(L"@pointY", 2.0),
          flag(L"@assetExistsInLocation", false), text(L"@exportParameters", 255, L"")},
         {},
         -1},
        {L"__gr_getCategoryAssets",
         {in(L"@categoryID", 1)},
         {L"maHandle", L"maDescription", L"maUniqueDescription"},
         2},
        {L"[idr]..[getLocationAssets]",
         {in(L"@locationID", 4)},
         {L"drawingID", L"handle", L"acadBlockIdentifier", L"atDescription", L"aDescription", L"aX",
          L"aY", L"status"},
         2},
        {L"__gr_getCategoryBlocks",
         {in(L"@categoryID", 1)},
         {L"mbHandle", L"mbName", L"mbCode", L"mbArea", L"mbSwapName", L"mbSwapArea", L"mbSwapAux"},
         1},
        // Below the library only its floor, not the floor's rooms.
        {L"__to_getBlocksFromIPR",
         {in(L"@parentID", 2)},
         {L"id", L"type", L"parentid", L"name", L"code", L"status", L"area", L"handle",
          L"perimeter"},
         1},
        {L"__to_exportSpaceBlockToTP", spaceExport(true), {}, -1},
        {L"__to_exportGrossAreaBlocktoTP", spaceExport(false), {}, -1},
        {L"__to_setRoomBlockInIPR",
         spaceBlock(adParamInputOutput, 0, 999, L"Test room", L"T-1", 12.5, L"T2", 14.0),
         {},
         -1},
        {L"__to_setBuildingBlockInIPR",
         spaceBlock(adParamInput, 2, 1, L"Library", L"LIB", 8400.75, L"1A1", 410.5),
         {},
         -1},
        {L"__to_setFloorBlockInIPR", grossArea(3, 2800.125, L"1A2", 240), {}, -1},
        {L"__to_setSiteBlockInIPR", grossArea(1, 52000.5, L"1A0", 980.25), {}, -1},
        {L"__gr_getBlockHyperlinks",
         {in(L"@categoryID", 1), text(L"@handle", 255, L"2B0")},
         {L"bhHref", L"bhDescription"},
         2},
        {L"__gr_getAssetHyperlinks",
         {in(L"@categoryID", 1), text(L"@handle", 255, L"3C1")},
         {L"bhHref", L"bhDescription"},
         1},
        {L"__gr_getReportLayersOn", {in(L"@graphicReportID", 1)}, {L"loName", L"loDescription"}, 2},
        {L"__gr_getReportLinkLines",
         {in(L"@graphicReportID", 1)},
         {L"llStartHandle", L"llEndHandle", L"llLayerName", L"llLabelText"},
         2},
        {L"__gr_getGraphicReports", {tiny(L"@statusID", 1)}, {L"grID"}, 2},
        {L"__gr_getGraphicReport",
         {in(L"@graphicReportID", 1)},
         {L"grTitle", L"grDrawingPath", L"grDrawingFilename", L"grPlotLayout", L"grPlotTypeID",
          L"grPlotAreaTypeID", L"grPlotMediaSizeID", L"grPlotScaleTypeID", L"grPlotCentred",
          L"grOutputPath", L"grOutputFilename", L"grSaveCopyTo", L"grXMLOutputTo",
          L"grTotalChildAreas"},
         1},
        {L"__gr_setGraphicReportStatus",
         {in(L"@graphicReportID", 3), in(L"@statusID", 5)},
         {L"grStatusSet"},
         1},
        {L"__gr_setGraphicReportLayout",
         {in(L"@graphicReportID", 3), text(L"@layout", 255, L"Layout1")},
         {},
         -1},
        {L"__gr_getReportCategories",
         {in(L"@graphicReportID", 1)},
         {L"cID", L"cTitle", L"cHatchPattern", L"cHatchAngle", L"cHatchColour", L"cHatchScale",
          L"cHatchLayer"},
         2},
    };
    _ConnectionPtr connection = open();
    for (const Procedure& p : procedures) {
        SCOPED_TRACE(narrow(p.name));
        _CommandPtr command = procedure(connection, p.name);
        for (const Param& q : p.parameters) {
            add(command, q.name, q.type, q.direction, q.size, q.value, q.precision, q.scale);
        }
        std::optional<Raised> raised;
        _RecordsetPtr rs;
        raised = raisedBy([&] { rs = command->Execute(nullptr, nullptr, adCmdStoredProc); });
        ASSERT_FALSE(raised) << raised->description;
        if (p.columns.empty()) {
            EXPECT_EQ(rs->GetState(), adStateClosed);
            continue;
        }
        ASSERT_EQ(rs->GetState(), adStateOpen);
        FieldsPtr fields = rs->GetFields();
        ASSERT_EQ(fields->GetCount(), static_cast<long>(p.columns.size()));
        for (std::size_t i = 0; i < p.columns.size(); ++i) {
            EXPECT_EQ(narrow(fields->GetItem(static_cast<long>(i))->GetName()),
                      narrow(p.columns[i]));
        }
        EXPECT_EQ(rs->GetRecordCount(), p.rows);
        rs->Close();
    }
}

TEST_F(FixtureProcedureTest, GivesOutputParametersBack) {
    _ConnectionPtr connection = open();
    struct Case {
        const wchar_t* identifier;
        const char* excluded;
    };
    for (const Case& c : {Case{L"CHAIR-01", "BOOL:false"}, Case{L"EXCLUDED-BLOCK", "BOOL:true"}}) {
        _CommandPtr command = procedure(connection, L"__to_applyAssetToIPR");
        for (const Param& q : assetToIpr(c.identifier)) {
            add(command, q.name, q.type, q.direction, q.size, q.value, q.precision, q.scale);
        }
        command->Execute(nullptr, nullptr, adCmdStoredProc);
        EXPECT_EQ(describe(command->GetParameters()->GetItem(L"@excludedFromTakeoff")->GetValue()),
                  c.excluded);
    }

    // A room given location id 0 is created and its new id comes back; given that id, it is
    // updated in place.
    _CommandPtr create = procedure(connection, L"__to_setRoomBlockInIPR");
    for (const Param& q :
         spaceBlock(adParamInputOutput, 0, 999, L"New room", L"T-2", 1.0, L"T3", 4.0)) {
        add(create, q.name, q.type, q.direction, q.size, q.value, q.precision, q.scale);
    }
    create->Execute(nullptr, nullptr, adCmdStoredProc);
    _variant_t id = create->GetParameters()->GetItem(L"@locationID")->GetValue();
    ASSERT_EQ(id.vt, VT_I4);
    EXPECT_GE(id.lVal, 1000);
    create->Execute(nullptr, nullptr, adCmdStoredProc);
    EXPECT_EQ(describe(create->GetParameters()->GetItem(L"@locationID")->GetValue()), describe(id));
}

}  // namespace
}  // namespace qv::test
