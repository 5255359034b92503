#include "DomTestSupport.h"

#include <sys/stat.h>

namespace {

using namespace MSXML2;
using qv::test::DomTest;

const wchar_t* const kNs = L"urn:quorvelle:test";

// Builds a file as the module's XML helper does: declaration, optional stylesheet, empty root.
void createFile(const std::string& file, const wchar_t* stylesheet, const wchar_t* root,
                const wchar_t* ns) {
    IXMLDOMDocumentPtr doc;
    ASSERT_EQ(S_OK, doc.CreateInstance(L"Msxml2.DOMDocument"));
    doc->appendChild(
        doc->createProcessingInstruction(L"xml", L"version=\"1.0\" encoding=\"UTF-8\""));
    if (*stylesheet) {
        doc->appendChild(doc->createProcessingInstruction(
            L"xml-stylesheet", _bstr_t(L"type=\"text/xsl\" href=\"") + stylesheet + L"\""));
    }
    doc->appendChild(doc->createNode(_variant_t(NODE_ELEMENT), root, ns));
    doc->save(file.c_str());
}

TEST_F(DomTest, SavesAndLoadsBackWithNamespaces) {
    // Without a stylesheet and a namespace, neither is written.
    createFile(path("plain.xml"), L"", L"graphicReport", L"");
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<graphicReport/>\r\n",
              read(path("plain.xml")));
    const std::string file = path("report.xml");
    createFile(file, L"errorLog.xsl", L"errors", kNs);
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"errorLog.xsl\"?>\r\n"
        "<errors xmlns=\"urn:quorvelle:test\"/>\r\n",
        read(file));

    IXMLDOMDocumentPtr doc = newDocument();
    doc->Putasync(VARIANT_FALSE);
    ASSERT_EQ(VARIANT_TRUE, doc->load(file.c_str()));
    IXMLDOMNodePtr root = doc->selectNodes(L"/*")->Getitem(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(_bstr_t(L"errors"), root->GetnodeName());
    {
        // Nodes made by a helper document that is gone by the time they are appended.
        IXMLDOMDocumentPtr helper = newDocument();
        IXMLDOMNodePtr error = helper->createNode(_variant_t(NODE_ELEMENT), L"error", kNs);
        IXMLDOMNodePtr text = helper->createNode(_variant_t(NODE_ELEMENT), L"description", kNs);
        text->Puttext(L"caf\u00e9 & <tea>");
        error->appendChild(text);
        IXMLDOMNodePtr other =
            helper->createNode(_variant_t(NODE_ELEMENT), L"q:extra", L"urn:other");
        other->Puttext(L"1");
        error->appendChild(other);
        helper = nullptr;
        root->appendChild(error);
        EXPECT_TRUE(error->GetownerDocument() == doc);
    }
    doc->save(file.c_str());
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"errorLog.xsl\"?>\r\n"
        "<errors xmlns=\"urn:quorvelle:test\"><error><description>caf\xC3\xA9 &amp; "
        "&lt;tea&gt;</description>"
        "<q:extra xmlns:q=\"urn:other\">1</q:extra></error></errors>\r\n",
        read(file));

    IXMLDOMDocumentPtr back = newDocument();
    ASSERT_EQ(VARIANT_TRUE, back->load(file.c_str()));
    IXMLDOMNodeListPtr top = back->GetchildNodes();
    ASSERT_EQ(3, top->Getlength());
    EXPECT_EQ(NODE_PROCESSING_INSTRUCTION, top->Getitem(0)->GetnodeType());
    EXPECT_EQ(_bstr_t(L"xml"), top->Getitem(0)->GetnodeName());
    EXPECT_EQ(_bstr_t(L"version=\"1.0\" encoding=\"UTF-8\""), top->Getitem(0)->Gettext());
    IXMLDOMNodePtr description = back->selectSingleNode(L"/errors/error/description");
    ASSERT_TRUE(description);
    EXPECT_EQ(_bstr_t(L"caf\u00e9 & <tea>"), description->Gettext());
    EXPECT_EQ(_bstr_t(kNs), description->GetnamespaceURI());
    IXMLDOMNodePtr extra = back->selectSingleNode(L"//q:extra");
    ASSERT_TRUE(extra);
    EXPECT_EQ(_bstr_t(L"q:extra"), extra->GetnodeName());
    EXPECT_EQ(_bstr_t(L"extra"), extra->GetbaseName());
    EXPECT_EQ(_bstr_t(L"q"), extra->Getprefix());
    EXPECT_EQ(_bstr_t(L"urn:other"), extra->GetnamespaceURI());
    // Saving what was read writes the same bytes.
    const std::string again = path("again.xml");
    back->save(again.c_str());
    EXPECT_EQ(read(file), read(again));
}

TEST_F(DomTest, ChildrenInAnotherNamespaceUndeclareTheDefault) {
    IXMLDOMDocumentPtr doc = newDocument();
    IXMLDOMNodePtr root = doc->appendChild(doc->createNode(_variant_t(NODE_ELEMENT), L"a", kNs));
    root->appendChild(doc->createElement(L"plain"));
    root->appendChild(doc->createNode(_variant_t(NODE_ELEMENT), L"same", kNs));
    EXPECT_EQ(_bstr_t(L"<a xmlns=\"urn:quorvelle:test\"><plain xmlns=\"\"/><same/></a>\r\n"),
              doc->Getxml());
}

TEST_F(DomTest, DeclarationMustComeFirst) {
    IXMLDOMDocumentPtr doc = newDocument();
    doc->appendChild(doc->createElement(L"root"));
    const _com_error e = raised(
        [&] { doc->appendChild(doc->createProcessingInstruction(L"xml", L"version=\"1.0\"")); });
    EXPECT_EQ(E_FAIL, e.Error());
    EXPECT_EQ(_bstr_t(L"The XML declaration must be the first node in the document."),
              e.Description());
    doc->insertBefore(doc->createProcessingInstruction(L"xml", L"version=\"1.0\""),
                      _variant_t(doc->GetfirstChild().GetInterfacePtr()));
    EXPECT_EQ(_bstr_t(L"<?xml version=\"1.0\"?>\r\n<root/>\r\n"), doc->Getxml());
}

TEST_F(DomTest, StructuralMistakesRaiseWithDescriptions) {
    IXMLDOMDocumentPtr doc = newDocument();
    IXMLDOMElementPtr root = doc->createElement(L"root");
    doc->appendChild(root);
    struct Case {
        const char* name;
        HRESULT hr;
        _com_error error;
    };
    const Case cases[] = {
        {"second root", E_FAIL, raised([&] { doc->appendChild(doc->createElement(L"other")); })},
        {"text at the top", E_FAIL, raised([&] { doc->appendChild(doc->createTextNode(L"x")); })},
        {"node under itself", E_FAIL, raised([&] { root->appendChild(doc); })},
        {"null child", E_INVALIDARG, raised([&] { root->appendChild(nullptr); })},
        {"child of a text", E_FAIL,
         raised([&] { doc->createTextNode(L"t")->appendChild(doc->createElement(L"e")); })},
        {"bad name", E_FAIL, raised([&] { doc->createElement(L"1st"); })},
        {"prefix without namespace", E_FAIL,
         raised([&] { doc->createNode(_variant_t(NODE_ELEMENT), L"p:x", L""); })},
        {"control character", E_INVALIDARG, raised([&] {
             root->Puttext(
                 L"a\x01"
                 L"b");
         })},
        {"text of a document", E_FAIL, raised([&] { doc->Puttext(L"x"); })},
        {"unsupported path", E_FAIL, raised([&] { doc->selectNodes(L"/a[@b='c']"); })},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.hr, c.error.Error()) << c.name;
        EXPECT_GT(c.error.Description().length(), 0u) << c.name;
        EXPECT_EQ(_bstr_t(L"msxml3.dll"), c.error.Source()) << c.name;
    }
    EXPECT_EQ(_bstr_t(L"<root/>\r\n"), doc->Getxml()) << "failed calls change nothing";
}

TEST_F(DomTest, NodesKeepTheirDocumentAndMoveWithTheirSubtree) {
    IXMLDOMNodePtr orphan;
    IXMLDOMNodePtr child;
    {
        IXMLDOMDocumentPtr first = newDocument();
        orphan = first->createElement(L"moved");
        child = first->createElement(L"child");
    }
    // The first document lives on through its nodes.
    child->Puttext(L"inner");
    orphan->appendChild(child);
    EXPECT_EQ(_bstr_t(L"<moved><child>inner</child></moved>"), orphan->Getxml());

    IXMLDOMDocumentPtr second = newDocument();
    IXMLDOMNodePtr root = second->appendChild(second->createElement(L"root"));
    root->appendChild(orphan);
    child->Puttext(L"changed after the move");  // the same node, now in the second document
    EXPECT_EQ(_bstr_t(L"<root><moved><child>changed after the move</child></moved></root>\r\n"),
              second->Getxml());
    EXPECT_TRUE(child->GetownerDocument() == second);

    // Moving within a document takes the node from its old place.
    IXMLDOMNodePtr other = root->appendChild(second->createElement(L"other"));
    other->appendChild(child);
    EXPECT_EQ(
        _bstr_t(L"<root><moved/><other><child>changed after the move</child></other></root>\r\n"),
        second->Getxml());
    IXMLDOMNodePtr removed = other->removeChild(child);
    EXPECT_TRUE(removed == child);
    EXPECT_FALSE(child->GetparentNode());
    EXPECT_EQ(VARIANT_FALSE, other->hasChildNodes());
}

TEST_F(DomTest, ChildListsAreLiveAndWalkWithNextNode) {
    IXMLDOMDocumentPtr doc = parse(L"<r><a/><b>x</b><!--c--><?p d?></r>");
    IXMLDOMNodePtr root = doc->GetdocumentElement();
    IXMLDOMNodeListPtr children = root->GetchildNodes();
    EXPECT_EQ(4, children->Getlength());
    std::wstring names;
    while (IXMLDOMNodePtr n = children->nextNode())
        names += std::wstring(n->GetnodeName()) + L";";
    EXPECT_EQ(L"a;b;#comment;p;", names);
    EXPECT_FALSE(children->Getitem(4));
    EXPECT_FALSE(children->Getitem(-1));
    root->appendChild(doc->createElement(L"e"));
    EXPECT_EQ(5, children->Getlength());
    children->reset();
    EXPECT_EQ(_bstr_t(L"a"), children->nextNode()->GetnodeName());
    EXPECT_EQ(_bstr_t(L"a"), root->GetfirstChild()->GetnodeName());
    EXPECT_EQ(_bstr_t(L"x"), root->GetfirstChild()->GetnextSibling()->Gettext());
    EXPECT_EQ(VARIANT_TRUE, root->hasChildNodes());
    EXPECT_EQ(_bstr_t(L"d"), root->selectSingleNode(L"processing-instruction()")->Gettext());
}

TEST_F(DomTest, WhiteSpaceOnlyTextIsDroppedAndTextIsNormalised) {
    struct Case {
        const char* name;
        const wchar_t* xml;
        bool preserve;
        long children;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"indentation", L"<r>\n  <a>x</a>\n  <b>y</b>\n</r>", false, 2, L"xy"},
        {"indentation kept on request", L"<r>\n  <a>x</a>\n</r>", true, 3, L"\n  x\n"},
        {"text trimmed and runs made one blank", L"<r>  one \t two\n three  </r>", false, 1,
         L"one two three"},
        {"text kept on request", L"<r>  one  two </r>", true, 1, L"  one  two "},
        {"xml:space preserve", L"<r xml:space=\"preserve\"> <a/> x  y </r>", false, 3, L"  x  y "},
        {"mixed content", L"<r>a <b>b</b> c</r>", false, 3, L"a b c"},
        {"blank only", L"<r>   </r>", false, 0, L""},
    };
    for (const auto& c : cases) {
        IXMLDOMDocumentPtr doc = newDocument();
        doc->PutpreserveWhiteSpace(c.preserve ? VARIANT_TRUE : VARIANT_FALSE);
        ASSERT_EQ(VARIANT_TRUE, doc->loadXML(c.xml)) << c.name;
        IXMLDOMNodePtr root = doc->GetdocumentElement();
        EXPECT_EQ(c.children, root->GetchildNodes()->Getlength()) << c.name;
        EXPECT_EQ(_bstr_t(c.text), root->Gettext()) << c.name;
    }
    // A text node keeps its value as written; only `text` is normalised.
    IXMLDOMDocumentPtr doc = parse(L"<r>  a  b </r>");
    EXPECT_EQ(_variant_t(L"  a  b "), doc->GetdocumentElement()->GetfirstChild()->GetnodeValue());
}

TEST_F(DomTest, FailedLoadsLeaveTheDocumentEmptyAndNeverRaise) {
    write(path("ill-formed.xml"), "<a><b></a>");
    write(path("empty.xml"), "");
    write(path("dtd.xml"),
          "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e SYSTEM \"/etc/passwd\">]><a>&e;</a>");
    write(path("external.xml"), "<!DOCTYPE a SYSTEM \"http://example.invalid/a.dtd\"><a/>");
    struct Case {
        const char* name;
        _variant_t source;
        long code;
    };
    const Case cases[] = {
        {"missing file", path("none.xml").c_str(), static_cast<long>(HRESULT_FROM_WIN32(2))},
        {"missing folder", path("no/such/folder.xml").c_str(),
         static_cast<long>(HRESULT_FROM_WIN32(3))},
        {"a folder", folder.string().c_str(), static_cast<long>(E_ACCESSDENIED)},
        {"ill-formed", path("ill-formed.xml").c_str(),
         static_cast<long>(static_cast<HRESULT>(0xC00CE500))},
        {"empty", path("empty.xml").c_str(), static_cast<long>(static_cast<HRESULT>(0xC00CE500))},
        {"entity from a file", path("dtd.xml").c_str(),
         static_cast<long>(static_cast<HRESULT>(0xC00CE500))},
        {"external DTD", path("external.xml").c_str(),
         static_cast<long>(static_cast<HRESULT>(0xC00CE500))},
        {"no file name", _variant_t(), static_cast<long>(E_INVALIDARG)},
    };
    for (const auto& c : cases) {
        IXMLDOMDocumentPtr doc = parse(L"<old>content</old>");
        VARIANT_BOOL loaded = VARIANT_TRUE;
        EXPECT_NO_THROW(loaded = doc->load(c.source)) << c.name;
        EXPECT_EQ(VARIANT_FALSE, loaded) << c.name;
        EXPECT_EQ(0, doc->GetchildNodes()->Getlength()) << c.name;
        EXPECT_FALSE(doc->GetdocumentElement()) << c.name;
        EXPECT_EQ(0, doc->selectNodes(L"/*")->Getlength()) << c.name;
        EXPECT_EQ(c.code, doc->GetparseError()->GeterrorCode()) << c.name;
        EXPECT_GT(doc->GetparseError()->Getreason().length(), 0u) << c.name;
    }
    IXMLDOMDocumentPtr doc = newDocument();
    EXPECT_EQ(VARIANT_FALSE, doc->loadXML(L"<a>"));
    EXPECT_EQ(1, doc->GetparseError()->Getline());
    // The root the module looks for is missing: its first use raises.
    IXMLDOMNodePtr root = doc->selectNodes(L"/*")->Getitem(0);
    EXPECT_EQ(E_POINTER, raised([&] { root->GetnodeName(); }).Error());
    EXPECT_EQ(VARIANT_TRUE, doc->loadXML(L"<a/>"));
    EXPECT_EQ(0, doc->GetparseError()->GeterrorCode());
}

TEST_F(DomTest, SaveRaisesWhenTheFileCannotBeWritten) {
    IXMLDOMDocumentPtr doc = parse(L"<a/>");
    struct Case {
        const char* name;
        std::string target;
        HRESULT hr;
        const wchar_t* description;
    };
    const Case cases[] = {
        {"missing folder", path("missing/out.xml"), HRESULT_FROM_WIN32(3),
         L"The system cannot find the path specified."},
        {"a folder", folder.string(), E_ACCESSDENIED, L"Access is denied."},
    };
    for (const auto& c : cases) {
        const _com_error e = raised([&] { doc->save(c.target.c_str()); });
        EXPECT_EQ(c.hr, e.Error()) << c.name;
        EXPECT_EQ(_bstr_t(c.description), e.Description()) << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    // An existing file is replaced whole, with its permissions.
    const std::string file = path("out.xml");
    write(file, "old content that is longer than the new one");
    ::chmod(file.c_str(), 0640);
    doc->save(file.c_str());
    EXPECT_EQ("<a/>\r\n", read(file));
    struct stat st;
    ASSERT_EQ(0, ::stat(file.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder),
                               std::filesystem::directory_iterator()));
}

TEST_F(DomTest, SaveWritesTheDeclaredEncoding) {
    IXMLDOMDocumentPtr doc =
        parse(L"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\u20ac \u4e2d</a>");
    const std::string file = path("ansi.xml");
    doc->save(file.c_str());
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<a>\x80 &#20013;</a>\r\n",
              read(file));
    IXMLDOMDocumentPtr back = newDocument();
    ASSERT_EQ(VARIANT_TRUE, back->load(file.c_str()));
    EXPECT_EQ(_bstr_t(L"\u20ac \u4e2d"), back->GetdocumentElement()->Gettext());
    IXMLDOMDocumentPtr unknown = parse(L"<?xml version=\"1.0\" encoding=\"x-unknown\"?><a/>");
    EXPECT_EQ(E_FAIL, raised([&] { unknown->save(path("unknown.xml").c_str()); }).Error());
    EXPECT_FALSE(std::filesystem::exists(path("unknown.xml")));
}

TEST_F(DomTest, WindowsPathsAreMapped) {
    IXMLDOMDocumentPtr doc = parse(L"<a>mapped</a>");
    std::wstring windows = L"Z:" + folder.wstring() + L"\\mapped.xml";
    for (auto& c : windows)
        if (c == L'/')
            c = L'\\';
    doc->save(windows.c_str());
    EXPECT_EQ("<a>mapped</a>\r\n", read(path("mapped.xml")));
    IXMLDOMDocumentPtr back = newDocument();
    EXPECT_EQ(VARIANT_TRUE, back->load(windows.c_str()));
    EXPECT_EQ(_bstr_t(L"mapped"), back->GetdocumentElement()->Gettext());
}

TEST_F(DomTest, WithoutTheComponentTheFirstUseRaisesInvalidPointer) {
    qv::com::ClassHidden missing(L"Msxml2.DOMDocument");
    IXMLDOMDocumentPtr doc;
    EXPECT_TRUE(FAILED(doc.CreateInstance(L"Msxml2.DOMDocument")));
    const _com_error e = raised([&] { doc->createNode(_variant_t(NODE_ELEMENT), L"a", L""); });
    EXPECT_EQ(E_POINTER, e.Error());
}

TEST_F(DomTest, ElementsCarryAttributes) {
    IXMLDOMDocumentPtr doc = parse(L"<a x=\"1\" xmlns:p=\"urn:p\" p:y=\"&lt;2&gt;\"/>");
    IXMLDOMElementPtr a = doc->GetdocumentElement();
    EXPECT_EQ(_variant_t(L"1"), a->getAttribute(L"x"));
    EXPECT_EQ(_variant_t(L"<2>"), a->getAttribute(L"p:y"));
    EXPECT_EQ(VT_NULL, a->getAttribute(L"none").vt);
    a->setAttribute(L"z", _variant_t(3.5));
    a->setAttribute(L"x", L"a \"quoted\"\nline");
    EXPECT_EQ(_bstr_t(L"<a xmlns:p=\"urn:p\" x=\"a &quot;quoted&quot;&#xA;line\" p:y=\"&lt;2&gt;\" "
                      L"z=\"3.5\"/>"),
              a->Getxml());
    EXPECT_EQ(4, a->Getattributes()->Getlength());
    EXPECT_EQ(_bstr_t(L"urn:p"), a->getAttributeNode(L"p:y")->GetnamespaceURI());
    a->removeAttribute(L"z");
    EXPECT_FALSE(a->Getattributes()->getNamedItem(L"z"));
    IXMLDOMDocumentPtr back = parse(a->Getxml());
    EXPECT_EQ(_variant_t(L"a \"quoted\"\nline"),
              IXMLDOMElementPtr(back->GetdocumentElement())->getAttribute(L"x"));
}

}  // namespace
