#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/ComRuntime.h"
#include "core/ErrorCapture.h"
#include "core/Log.h"
#include "core/OrvanExceptions.h"
#include "core/PreferencesDocMon.h"
#include "host/CommandLine.h"
#include "support/TempDrive.h"
#include "win32/CodePage.h"

using qv::test::caught;
using qv::test::Chain;
using qv::test::Level;
using qv::test::levels;

namespace {

const CString ERRORS = L"C:\\logs\\errors.xml";
const CString DEBUG = L"C:\\logs\\debug.xml";
const std::string DECLARATION = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
const std::string DATE = "date{year=2009,month=3,day=5,hour=7,minute=4,second=9}";

CEXOrvan* failure(const wchar_t* description) {
    return new CEXCustom(description, L"mod", L"FileUtilities.cpp", L"CFileUtilities::deleteFile",
                         0, nullptr);
}
CEXOrvan* chainOfTwo() {
    return new CEXUnhandled(L"mod", L"AcadDrawing.cpp", L"CAcadDrawing::save", 0,
                            failure(L"disk full"));
}
// The outline of the XML form of `failure` and `chainOfTwo`.
std::string failureOutline(const std::string& description) {
    return "error{" + DATE +
           ",class=FileUtilities,procSig=CFileUtilities::deleteFile,source=mod,description=" +
           description + ",severity=high}";
}
const std::string CHAIN_OF_TWO_OUTLINE =
    "error{" + DATE +
    ",class=AcadDrawing,procSig=CAcadDrawing::save,source=mod,description=unhandled error,"
    "severity=high,innerException{" +
    failureOutline("disk full") + "}}";

class LogTest : public qv::test::DriveTest {
  protected:
    LogTest() {
        CoInitialize(nullptr);
        drive.makeFolder("logs");
        qv::host::transcript().clear();
    }
    ~LogTest() override {
        docMonPreferences.deleteObjects();
        CoUninitialize();
    }

    // The file's elements: "name=text" for a leaf, "name{children}" otherwise.
    static std::string outline(const CString& path) {
        MSXML2::IXMLDOMDocumentPtr doc;
        doc.CreateInstance(L"Msxml2.DOMDocument");
        doc->Putasync(VARIANT_FALSE);
        EXPECT_EQ(VARIANT_TRUE, doc->load(_variant_t(static_cast<LPCTSTR>(path))));
        return doc->GetdocumentElement() ? outline(doc->GetdocumentElement()) : "";
    }
    static std::string outline(MSXML2::IXMLDOMNodePtr node) {
        std::string inner;
        MSXML2::IXMLDOMNodeListPtr children = node->GetchildNodes();
        for (long i = 0; i < children->Getlength(); ++i) {
            if (children->Getitem(i)->GetnodeType() == MSXML2::NODE_ELEMENT)
                inner += (inner.empty() ? "" : ",") + outline(children->Getitem(i));
        }
        const std::string name = static_cast<const char*>(node->GetnodeName());
        return inner.empty() ? name + "=" + static_cast<const char*>(node->Gettext())
                             : name + "{" + inner + "}";
    }
    static std::string namespaceOf(const std::string& file, const std::string& element) {
        const std::size_t at = file.find("<" + element + " xmlns=\"");
        return at == std::string::npos ? "" : file.substr(at, file.find('>', at) - at + 1);
    }
    // Fills the module's server preferences with one block per error-log path.
    void servers(const std::vector<std::wstring>& errorLogs) {
        std::wstring xml = L"<documentMonitorPreferences>";
        for (const std::wstring& log : errorLogs)
            xml += L"<s><acadErrorLogFilePath>" + log + L"</acadErrorLogFilePath><x>1</x></s>";
        drive.writeFile("servers.xml", qv::wideToUtf8(xml + L"</documentMonitorPreferences>"));
        docMonPreferences.deleteObjects();
        docMonPreferences.deSerialize(L"C:\\servers.xml");
    }
};

TEST_F(LogTest, ErrorsAreAppendedToANewLogAndThenToTheSameLog) {
    Chain first(failure(L"first"));
    CLog().writeToXMLErrorLog(ERRORS, first.get());
    const std::string created = drive.readFile("logs/errors.xml");
    EXPECT_EQ(0u, created.find(DECLARATION +
                               "<?xml-stylesheet type=\"text/xsl\" href=\"errorLog.xsl\"?>\r\n"
                               "<errors xmlns=\"urn:orvan:errorLog\"><error>"))
        << created;
    EXPECT_EQ("errors{" + failureOutline("first") + "}", outline(ERRORS));

    Chain second(chainOfTwo());
    CLog().writeToXMLErrorLog(ERRORS, second.get());
    EXPECT_EQ("errors{" + failureOutline("first") + "," + CHAIN_OF_TWO_OUTLINE + "}",
              outline(ERRORS));
    const std::string appended = drive.readFile("logs/errors.xml");
    EXPECT_EQ(appended.find("xml-stylesheet"), appended.rfind("xml-stylesheet"));
}

TEST_F(LogTest, LogFilesOfAnotherKindOrDamagedAreLeftAsTheyAre) {
    struct Case {
        std::string bytes;
        bool fails;
    };
    const std::vector<Case> cases = {
        {DECLARATION + "<report>\r\n  <item>1</item>\r\n</report>\r\n", false},
        {"<Errors/>", false},
        {"<errors><error>", true},
        {"", true},
    };
    for (const Case& c : cases) {
        drive.writeFile("logs/errors.xml", c.bytes);
        Chain error(failure(L"lost"));
        Chain raised = caught([&] { CLog().writeToXMLErrorLog(ERRORS, error.get()); });
        EXPECT_EQ(c.bytes, drive.readFile("logs/errors.xml"));
        const std::vector<Level> expected = {
            {L"CLog::writeToXMLErrorLog", L"unhandled error"},
            {L"CLog::writeToXMLErrorLog", L"Invalid XML file - " + ERRORS}};
        EXPECT_EQ(c.fails ? expected : std::vector<Level>(), levels(raised.get())) << c.bytes;
    }
}

TEST_F(LogTest, ALogInAMissingFolderIsNotCreated) {
    const int depth = qv::com::initialisationDepth();
    Chain error(failure(L"lost"));
    EXPECT_EQ((std::vector<Level>{
                  {L"CLog::writeToXMLErrorLog", L"unhandled error"},
                  {L"CLog::createXMLDocument", L"Invalid XML file - C:\\missing\\errors.xml"}}),
              levels(caught([&] {
                         CLog().writeToXMLErrorLog(L"C:\\missing\\errors.xml", error.get());
                     }).get()));
    // The debug log passes the same kind of error on as it is.
    EXPECT_EQ((std::vector<Level>{
                  {L"CLog::createXMLDocument", L"Invalid XML file - C:\\missing\\debug.xml"}}),
              levels(caught([&] {
                         CLog().writeToXMLDebugLog(L"C:\\missing\\debug.xml", L"x", nullptr);
                     }).get()));
    EXPECT_FALSE(drive.exists("missing"));
    EXPECT_EQ(depth, qv::com::initialisationDepth());
}

TEST_F(LogTest, DebugEntriesHoldTheDateTheDescriptionAndTheCallersNode) {
    CLog().writeToXMLDebugLog(DEBUG, L"execSPReturnParas", nullptr);
    MSXML2::IXMLDOMDocumentPtr own;
    own.CreateInstance(L"Msxml2.DOMDocument");
    MSXML2::IXMLDOMNodePtr call =
        own->createNode(_variant_t(long(MSXML2::NODE_ELEMENT)), L"sp", ORVAN_DEBUG_LOG_NAMESPACE);
    call->Puttext(L"__gr_getReports");
    CLog().writeToXMLDebugLog(DEBUG, L"execSPNoReturnNoParas", call);

    EXPECT_EQ("debugging{error{" + DATE + ",description=execSPReturnParas},error{" + DATE +
                  ",description=execSPNoReturnNoParas,sp=__gr_getReports}}",
              outline(DEBUG));
    const std::string file = drive.readFile("logs/debug.xml");
    EXPECT_EQ(
        0u, file.find(DECLARATION + "<?xml-stylesheet type=\"text/xsl\" href=\"debugLog.xsl\"?>\r\n"
                                    "<debugging xmlns=\"urn:orvan:debugLog\">"))
        << file;
    EXPECT_EQ("<error xmlns=\"urn:orvan:errorLog\">", namespaceOf(file, "error"));
    EXPECT_EQ("<sp xmlns=\"urn:orvan:debugLog\">", namespaceOf(file, "sp"));
}

TEST_F(LogTest, ADebugLogWithoutARootRaisesItsOwnErrorUnwrapped) {
    for (const std::string& bytes : {std::string(), DECLARATION, std::string("<debugging>")}) {
        drive.writeFile("logs/debug.xml", bytes);
        Chain raised = caught([&] { CLog().writeToXMLDebugLog(DEBUG, L"x", nullptr); });
        EXPECT_EQ(
            (std::vector<Level>{{L"CLog::writeToXMLDebugLog", L"Invalid XML file - " + DEBUG}}),
            levels(raised.get()));
        EXPECT_EQ(CString(), raised ? raised->getSource() : CString(L"none"));
        EXPECT_EQ(bytes, drive.readFile("logs/debug.xml"));
    }
    // Another root: nothing is written and nothing raised.
    drive.writeFile("logs/debug.xml", "<errors/>");
    EXPECT_EQ(nullptr, caught([&] { CLog().writeToXMLDebugLog(DEBUG, L"x", nullptr); }));
    EXPECT_EQ("<errors/>", drive.readFile("logs/debug.xml"));
    // A new log without a stylesheet and namespace holds only the declaration and its root.
    CLog().createXMLDocument(L"C:\\logs\\plain.xml", L"debugging", L"", L"");
    EXPECT_EQ(DECLARATION + "<debugging/>\r\n", drive.readFile("logs/plain.xml"));
}

TEST_F(LogTest, ErrorsLogThemselvesToTheErrorLogOfEveryServer) {
    Chain error(chainOfTwo());
    servers({});
    error->logToErrorLogs(docMonPreferences);
    EXPECT_EQ(std::wstring(L"An error has been detected please consult the error log\n"),
              qv::host::transcript().text());

    servers({L"C:\\logs\\a.xml", L"", L"C:\\logs\\b.xml"});
    qv::host::transcript().clear();
    error->logToErrorLogs(docMonPreferences);
    EXPECT_EQ(std::wstring(L"An error has been detected please consult the error log\n"
                           L"An error has been detected in CAcadDrawing::save. Please consult "
                           L"the error log\n"
                           L"An error has been detected in CAcadDrawing::save. Please consult "
                           L"the error log\n"),
              qv::host::transcript().text());
    CLog().writeToXMLErrorLogs(error.get());
    for (const CString& path : {CString(L"C:\\logs\\a.xml"), CString(L"C:\\logs\\b.xml")})
        EXPECT_EQ("errors{" + CHAIN_OF_TWO_OUTLINE + "," + CHAIN_OF_TWO_OUTLINE + "}",
                  outline(path));
}

TEST_F(LogTest, AListOfErrorsIsLoggedInOrder) {
    COrvanExceptions errors;
    errors.add(failure(L"one"));
    errors.add(chainOfTwo());
    errors.logAll(ERRORS);
    EXPECT_EQ(std::wstring(L"An error has been detected in CFileUtilities::deleteFile. Please "
                           L"consult the error log\n"
                           L"An error has been detected in CAcadDrawing::save. Please consult "
                           L"the error log\n"),
              qv::host::transcript().text());
    servers({L"C:\\logs\\errors.xml"});
    errors.logAll(docMonPreferences);
    const std::string two = failureOutline("one") + "," + CHAIN_OF_TWO_OUTLINE;
    EXPECT_EQ("errors{" + two + "," + two + "}", outline(ERRORS));
}

TEST_F(LogTest, TextLinesAreAppendedWithTheirTime) {
    CLog log;
    log.outputToFile(L"C:\\logs\\trace.txt", L"started");
    clock.set({2010, 12, 31, 23, 59, 58, 0});
    log.outputToFile(L"C:\\logs\\trace.txt", L"caf\u00e9");
    EXPECT_EQ("05 Mar 2009 07:04:09\tstarted\r\n31 Dec 2010 23:59:58\tcaf\xe9\r\n",
              drive.readFile("logs/trace.txt"));
    Chain raised = caught([&] { log.outputToFile(L"C:\\missing\\trace.txt", L"x"); });
    EXPECT_EQ(CString(L"CLog::outputToFile"), raised ? raised->getProcSig() : CString());
}

}  // namespace
