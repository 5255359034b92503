#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "com/ComRuntime.h"
#include "core/ErrorCapture.h"
#include "core/PreferencesDocMon.h"
#include "host/CommandLine.h"
#include "support/TempDrive.h"
#include "win32/CodePage.h"

using qv::test::caught;
using qv::test::Chain;
using qv::test::Level;
using qv::test::levels;

namespace {

using S = CServerPreferenceDocMon;

// One setting: its element, a value text that reads as itself, its default and its getter.
struct Row {
    const wchar_t* element;
    const wchar_t* value;
    const wchar_t* defaultValue;
    std::function<CString(const S&)> get;
};

std::function<CString(const S&)> g(CString (S::*get)() const) {
    return [get](const S& s) { return (s.*get)(); };
}
std::function<CString(const S&)> g(int (S::*get)() const) {
    return [get](const S& s) { return CString(std::to_wstring((s.*get)()).c_str()); };
}

// Settings of every kind and default, each with a value of its own, so that a getter that reads
// another element shows.
const std::vector<Row> SETTINGS = {
    {L"docMonErrorLogFilePath", L"c:\\d.xml", L"", g(&S::getDocMonErrorLogFilePath)},
    {L"acadErrorLogFilePath", L"c:\\a.xml", L"", g(&S::getAcadErrorLogFilePath)},
    {L"cachePlotTypeID", L"3", L"0", g(&S::getCachePlotPC3Device)},
    {L"applyCachePlotSettings", L"1", L"0", g(&S::getApplyCachePlotSettings)},
    {L"cachePlotCentred", L"0", L"1", g(&S::getCachePlotCentred)},
    {L"cachePlotScaleTypeID", L"33", L"0", g(&S::getCachePlotScaleType)},
    {L"cachePlotAreaTypeID", L"5", L"1", g(&S::getCachePlotAreaType)},
    {L"cachePlotMediaNameID", L"88", L"0", g(&S::getCachePlotMediaName)},
    {L"dbTimeout", L"30", L"0", g(&S::getDbTimeout)},
    {L"dbPassword", L"s&cret<1>", L"", g(&S::getDbPassword)},
    {L"acadTempDirectory", L"c:\\temp\\", L"", g(&S::getAcadTempDirectory)},
    {L"asbestosWaitPeriodSecs", L"11", L"10", g(&S::getAsbestosWaitPeriodSecs)},
    {L"asbestosBatchSize", L"21", L"25", g(&S::getAsbestosBatchSize)},
};

std::wstring element(const std::wstring& name, const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text)
        escaped += c == L'&' ? L"&amp;" : c == L'<' ? L"&lt;" : std::wstring(1, c);
    return L"<" + name + L">" + escaped + L"</" + name + L">";
}
std::wstring server(const std::wstring& settings) {
    return L"<server>" + settings + L"</server>";
}
std::wstring preferences(const std::wstring& blocks) {
    return L"<?xml version=\"1.0\"?>\r\n<documentMonitorPreferences>" + blocks +
           L"</documentMonitorPreferences>";
}

class ServerPreferencesTest : public qv::test::DriveTest {
  protected:
    ServerPreferencesTest() { qv::host::transcript().clear(); }

    // Writes the file (UTF-8) as C:\docmon.xml and returns that path.
    CString file(const std::wstring& xml) {
        drive.writeFile("docmon.xml", qv::wideToUtf8(xml));
        return L"C:\\docmon.xml";
    }
    // Reads a file holding one block with these settings and returns the block.
    const S& readOne(const std::wstring& settings) {
        m_list.deleteObjects();
        EXPECT_EQ(nullptr,
                  caught([&] { m_list.deSerialize(file(preferences(server(settings)))); }));
        EXPECT_EQ(1, m_list.getCount());
        return *m_list.getAt(0);
    }

    CPreferencesDocMon m_list;
};

TEST_F(ServerPreferencesTest, EveryGetterReadsItsOwnElement) {
    std::wstring all;
    for (const Row& row : SETTINGS)
        all += element(row.element, row.value);
    const S& read = readOne(all);
    for (const Row& row : SETTINGS)
        EXPECT_EQ(CString(row.value), row.get(read)) << row.element;
}

TEST_F(ServerPreferencesTest, MissingSettingsKeepTheirDefaults) {
    const S& read = readOne(element(L"dbTimeout", L"30"));
    for (const Row& row : SETTINGS) {
        const bool given = CString(row.element) == L"dbTimeout";
        EXPECT_EQ(CString(given ? row.value : row.defaultValue), row.get(read)) << row.element;
    }
}

TEST_F(ServerPreferencesTest, ValuesAreConvertedByTheirKind) {
    struct Case {
        std::wstring settings;
        std::function<int(const S&)> get;
        int expected;
    };
    const std::vector<Case> cases = {
        // Flags are 1 exactly for "1"; integers that are not numeric give 0.
        {element(L"monitorIPC", L"true"), &S::getMonitorIPC, 0},
        {element(L"dbTimeout", L"30s"), &S::getDbTimeout, 0},
        {element(L"dbTimeout", L"  -7 "), &S::getDbTimeout, -7},
        // Plot ids out of range give 0.
        {element(L"cachePlotMediaNameID", L"95"), &S::getCachePlotMediaName, 0},
        {element(L"cachePlotTypeID", L"4"), &S::getCachePlotPC3Device, 0},
        // The last of two values counts; an empty element, another case, other elements and
        // comments leave the default; only the local name counts.
        {element(L"lltBatchSize", L"5") + element(L"lltBatchSize", L"6"), &S::getLltBatchSize, 6},
        {L"<ipcBatchSize/>", &S::getIpcBatchSize, 25},
        {element(L"DBTIMEOUT", L"30"), &S::getDbTimeout, 0},
        {L"<!-- 1 --><x>1</x>" + element(L"iprBatchSize", L"3"), &S::getIprBatchSize, 3},
        {L"<d:dbTimeout xmlns:d=\"urn:d\">9</d:dbTimeout>", &S::getDbTimeout, 9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.get(readOne(c.settings))) << qv::wideToUtf8(c.settings);
}

TEST_F(ServerPreferencesTest, BlocksAreReadInFileOrderAndAppended) {
    const CString path =
        file(preferences(server(element(L"dbDatasource", L"first")) + L"<empty/><!-- note -->text" +
                         L"<other>" + element(L"dbDatasource", L"second") + L"</other>"));
    m_list.deSerialize(path);
    ASSERT_EQ(2, m_list.getCount());
    EXPECT_EQ(CString(L"first"), m_list.getAt(0)->getDbDatasource());
    EXPECT_EQ(CString(L"second"), m_list.getAt(1)->getDbDatasource());
    m_list.deSerialize(path);
    EXPECT_EQ(4, m_list.getCount());
}

TEST_F(ServerPreferencesTest, AnotherRootGivesNoBlocksAndNoError) {
    for (const wchar_t* name : {L"preferences", L"DocumentMonitorPreferences"}) {
        const std::wstring root = name;
        const std::wstring xml =
            L"<" + root + L">" + server(element(L"dbTimeout", L"30")) + L"</" + root + L">";
        EXPECT_EQ(nullptr, caught([&] { m_list.deSerialize(file(xml)); }));
        EXPECT_EQ(0, m_list.getCount());
    }
}

TEST_F(ServerPreferencesTest, AFileThatCannotBeLoadedEndsTheReadingWithAnError) {
    const int depth = qv::com::initialisationDepth();
    const std::vector<std::pair<CString, std::wstring>> files = {
        {L"C:\\docmon.xml", L""},
        {L"C:\\docmon.xml", L"<documentMonitorPreferences><server>"},
        {L"C:\\missing.xml", L"<documentMonitorPreferences/>"},
    };
    for (const auto& [path, xml] : files) {
        file(xml);
        Chain error = caught([&] { m_list.deSerialize(path); });
        EXPECT_EQ((std::vector<Level>{
                      {L"CPreferencesDocMon::deSerialize", L"unhandled error"},
                      {L"CPreferencesDocMon::deSerialize", L"Invalid XML file - " + path}}),
                  levels(error.get()));
    }
    {
        qv::com::ClassHidden noXml(L"Msxml2.DOMDocument");
        Chain error = caught([&] { m_list.deSerialize(file(preferences(L""))); });
        EXPECT_EQ(1u, levels(error.get()).size());
        EXPECT_EQ(CString(L"CPreferencesDocMon::deSerialize"), levels(error.get())[0].procSig);
    }
    EXPECT_EQ(0, m_list.getCount());
    EXPECT_EQ(depth, qv::com::initialisationDepth());
}

TEST_F(ServerPreferencesTest, PrintShowsEachBlockAndPausesBetweenThem) {
    m_list.deSerialize(file(preferences(
        server(element(L"dbDatasource", L"FAC1") + element(L"cacheOutPath", L"c:\\cache") +
               element(L"cachePlotTypeID", L"1") + element(L"cachePlotMediaNameID", L"40") +
               element(L"cachePlotScaleTypeID", L"7")) +
        server(element(L"dbDatasource", L"FAC2") + element(L"cachePlotCentred", L"0")))));
    m_list.print(L"M1");
    const std::wstring printed = qv::host::transcript().text();
    for (const wchar_t* line : {L"Marker                M1\nServer                FAC1\n",
                                L"getCachePlotMediaName 40, ANSI_A_(8.50_x_11.00_Inches)\n",
                                L"getCachePlotPC3Device 1, DWG To PDF.pc3\ngetCachePlotScaleType 7\n\n\n"
                                L"Marker                M1\nServer                FAC2\n",
                                L"getCachePlotCentred   0\n",
                                L"getCachePlotPC3Device 0, DWF6 ePlot.pc3\ngetCachePlotScaleType 0\n\n\n"}) {
        EXPECT_NE(std::wstring::npos, printed.find(line)) << qv::wideToUtf8(line);
    }
    // Five seconds between the two blocks, none after the last.
    EXPECT_EQ(5000u, clock.sleptMs());
}

}  // namespace
