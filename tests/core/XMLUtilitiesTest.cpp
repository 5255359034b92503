#include <gtest/gtest.h>

#include <thread>

#include "core/ErrorCapture.h"
#include "core/XMLUtilities.h"
#include "support/TempDrive.h"

using qv::test::caught;
using qv::test::Level;
using qv::test::levels;

namespace {

const CString NS = L"urn:test:xml";

CString xmlOf(const MSXML2::IXMLDOMNodePtr& node) {
    return static_cast<const wchar_t*>(node->Getxml());
}

TEST(XMLUtilities, ElementsAreMadeInTheirNamespace) {
    CXMLUtilities xml;
    const struct {
        const char* name;
        MSXML2::IXMLDOMNodePtr node;
        const wchar_t* expected;
    } cases[] = {
        {"with text", xml.createNode(L"room", L"Kitchen & Co <1> \u03a9", NS),
         L"<room xmlns=\"urn:test:xml\">Kitchen &amp; Co &lt;1&gt; \u03a9</room>"},
        {"empty text", xml.createNode(L"room", L"", NS), L"<room xmlns=\"urn:test:xml\"/>"},
        {"without text", xml.createNode(L"orvanBlocks", NS),
         L"<orvanBlocks xmlns=\"urn:test:xml\"/>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.expected), xmlOf(c.node)) << c.name;
        EXPECT_EQ(MSXML2::NODE_ELEMENT, c.node->GetnodeType()) << c.name;
        EXPECT_EQ(_bstr_t(NS.GetString()), c.node->GetnamespaceURI()) << c.name;
    }
}

TEST(XMLUtilities, NodesOutliveTheirMakerAndJoinOtherDocuments) {
    auto makeChild = [] {
        CXMLUtilities own;
        return own.createNode(L"hyperlink", L"http://x", NS);
    };
    CXMLUtilities xml;
    MSXML2::IXMLDOMNodePtr parent = xml.createNode(L"hyperlinks", NS);
    parent->appendChild(makeChild());
    parent->appendChild(makeChild());
    EXPECT_EQ(CString(L"<hyperlinks xmlns=\"urn:test:xml\"><hyperlink>http://x</hyperlink>"
                      L"<hyperlink>http://x</hyperlink></hyperlinks>"),
              xmlOf(parent));
}

TEST(XMLUtilities, DateElementHoldsTheSixPartsWithoutPadding) {
    CXMLUtilities xml;
    const struct {
        COleDateTime when;
        const wchar_t* expected;
    } cases[] = {
        {COleDateTime(2009, 3, 5, 7, 4, 9),
         L"<date xmlns=\"urn:test:xml\"><year>2009</year><month>3</month><day>5</day>"
         L"<hour>7</hour><minute>4</minute><second>9</second></date>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.expected), xmlOf(xml.createUniversalTimeNode(NS, c.when)));
    }
}

class XMLDocumentTest : public qv::test::DriveTest {};

TEST_F(XMLDocumentTest, NewFilesHoldTheDeclarationTheStylesheetAndAnEmptyRoot) {
    const struct {
        const wchar_t* stylesheet;
        const wchar_t* ns;
        std::string expected;
    } cases[] = {
        {L"errorLog.xsl", L"urn:orvan:errorLog",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
         "<?xml-stylesheet type=\"text/xsl\" href=\"errorLog.xsl\"?>\r\n"
         "<errors xmlns=\"urn:orvan:errorLog\"/>\r\n"},
        {L"", L"urn:orvan:errorLog",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<errors "
         "xmlns=\"urn:orvan:errorLog\"/>\r\n"},
        {L"debugLog.xsl", L"",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
         "<?xml-stylesheet type=\"text/xsl\" href=\"debugLog.xsl\"?>\r\n<errors/>\r\n"},
    };
    drive.writeFile("out/log.xml", "old content that is replaced");
    CXMLUtilities xml;
    for (const auto& c : cases) {
        xml.createXMLDoc(L"C:\\out\\log.xml", c.stylesheet, L"errors", c.ns);
        EXPECT_EQ(c.expected, drive.readFile("out/log.xml"));
    }
}

TEST_F(XMLDocumentTest, AFileThatCannotBeWrittenRaisesAnErrorChain) {
    CXMLUtilities xml;
    auto error =
        caught([&] { xml.createXMLDoc(L"C:\\missing\\log.xml", L"", L"errors", L"urn:x"); });
    ASSERT_TRUE(error);
    ASSERT_EQ(1u, levels(error.get()).size());
    EXPECT_EQ(CString(L"CXMLUtilities::createXMLDoc"), error->getProcSig());
    EXPECT_EQ(CString(L"XMLUtilities"), error->getClass());
    EXPECT_FALSE(error->getDescription().IsEmpty());
    EXPECT_FALSE(drive.exists("missing"));
}

TEST(XMLUtilitiesWithoutMsxml, ConstructsAndRaisesOnFirstUse) {
    qv::com::ClassHidden noMsxml(L"Msxml2.DOMDocument");
    const int depth = qv::com::initialisationDepth();
    {
        CXMLUtilities xml;
        const std::vector<Level> expected = {{L"CXMLUtilities::createNode", L"Invalid pointer"}};
        EXPECT_EQ(expected, levels(caught([&] { xml.createNode(L"a", L"b", NS); }).get()));
        EXPECT_EQ(expected, levels(caught([&] { xml.createNode(L"a", NS); }).get()));
        EXPECT_EQ(
            (std::vector<Level>{{L"CXMLUtilities::createUniversalTimeNode", L"unhandled error"},
                                {L"CXMLUtilities::createNode", L"Invalid pointer"}}),
            levels(caught([&] {
                       xml.createUniversalTimeNode(NS, COleDateTime(2009, 3, 5, 7, 4, 9));
                   }).get()));
        EXPECT_EQ(
            (std::vector<Level>{{L"CXMLUtilities::createXMLDoc", L"Invalid pointer"}}),
            levels(caught([&] { xml.createXMLDoc(L"Z:\\tmp\\never.xml", L"", L"r", L""); }).get()));
    }
    EXPECT_EQ(depth, qv::com::initialisationDepth());
}

TEST(XMLUtilitiesCom, InitialisationIsBalancedOnlyWhenItSucceeded) {
    const int depth = qv::com::initialisationDepth();
    {
        CXMLUtilities xml;
        EXPECT_EQ(depth + 1, qv::com::initialisationDepth());
        {
            CXMLUtilities nested;
            EXPECT_EQ(depth + 2, qv::com::initialisationDepth());
        }
        EXPECT_EQ(depth + 1, qv::com::initialisationDepth());
    }
    EXPECT_EQ(depth, qv::com::initialisationDepth());

    // A thread already in another threading model: nothing to balance.
    std::thread other([] {
        ASSERT_EQ(S_OK, CoInitializeEx(NULL, COINIT_MULTITHREADED));
        {
            CXMLUtilities xml;
            EXPECT_EQ(1, qv::com::initialisationDepth());
            EXPECT_EQ(CString(L"<a xmlns=\"urn:test:xml\"/>"), xmlOf(xml.createNode(L"a", NS)));
        }
        EXPECT_EQ(1, qv::com::initialisationDepth());
        CoUninitialize();
        EXPECT_EQ(0, qv::com::initialisationDepth());
    });
    other.join();
}

}  // namespace

namespace {

MSXML2::IXMLDOMNodePtr parsed(const wchar_t* xml) {
    MSXML2::IXMLDOMDocumentPtr doc;
    doc.CreateInstance(L"Msxml2.DOMDocument");
    doc->loadXML(xml);
    return doc->GetdocumentElement();
}

}  // namespace

TEST(XMLReading, ReadsTheChildrenOfTheNamedElementOnly) {
    struct Case {
        const wchar_t* xml;
        BOOL read;
        const wchar_t* visited;
    } cases[] = {
        {L"<layerOn><loName>Walls</loName><other/><loDescription>d</loDescription></layerOn>", TRUE,
         L"loName=Walls;other=;loDescription=d;"},
        {L"<p:layerOn xmlns:p='urn:x'><p:loName>A</p:loName></p:layerOn>", TRUE, L"loName=A;"},
        {L"<layerOff><loName>Walls</loName></layerOff>", FALSE, L""},
        {L"<layerOn/>", FALSE, L""},
        {L"<LAYERON><loName>Walls</loName></LAYERON>", FALSE, L""},
    };
    CoInitialize(nullptr);
    for (const auto& c : cases) {
        CString visited;
        const BOOL read = CXMLUtilities::readElement(
            parsed(c.xml), L"layerOn", [&](const CString& name, MSXML2::IXMLDOMNodePtr child) {
                visited += name + L"=" + CXMLUtilities::textOf(child) + L";";
            });
        EXPECT_EQ(c.read, read) << CStringA(c.xml).GetString();
        EXPECT_EQ(CString(c.visited), visited) << CStringA(c.xml).GetString();
    }
    EXPECT_FALSE(CXMLUtilities::readElement(nullptr, L"layerOn", [](const CString&, auto) {}));
    EXPECT_EQ(CString(), CXMLUtilities::nameOf(nullptr));
    EXPECT_EQ(CString(), CXMLUtilities::textOf(nullptr));
    CoUninitialize();
}
