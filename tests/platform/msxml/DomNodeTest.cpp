#include "DomTestSupport.h"

namespace {

using namespace MSXML2;
using qv::test::DomTest;

TEST_F(DomTest, EachKindOfNodeNamesAndValuesItself) {
    IXMLDOMDocumentPtr doc =
        parse(L"<?p data?><r xmlns:k=\"urn:k\" k:a=\"v\">t<![CDATA[<c>]]><!--note--></r>");
    IXMLDOMNodePtr root = doc->GetdocumentElement();
    struct Case {
        const char* name;
        IXMLDOMNodePtr node;
        DOMNodeType type;
        const wchar_t* nodeName;
        const wchar_t* typeString;
        const wchar_t* baseName;
        VARTYPE valueType;
        const wchar_t* xml;
    };
    const Case cases[] = {
        {"document", doc, NODE_DOCUMENT, L"#document", L"document", L"", VT_NULL, nullptr},
        {"instruction", doc->GetfirstChild(), NODE_PROCESSING_INSTRUCTION, L"p",
         L"processinginstruction", L"p", VT_BSTR, L"<?p data?>"},
        {"element", root, NODE_ELEMENT, L"r", L"element", L"r", VT_NULL, nullptr},
        {"attribute", root->Getattributes()->getNamedItem(L"k:a"), NODE_ATTRIBUTE, L"k:a",
         L"attribute", L"a", VT_BSTR, L"k:a=\"v\""},
        {"text", root->GetchildNodes()->Getitem(0), NODE_TEXT, L"#text", L"text", L"", VT_BSTR,
         L"t"},
        {"cdata", root->GetchildNodes()->Getitem(1), NODE_CDATA_SECTION, L"#cdata-section",
         L"cdatasection", L"", VT_BSTR, L"<![CDATA[<c>]]>"},
        {"comment", root->GetchildNodes()->Getitem(2), NODE_COMMENT, L"#comment", L"comment", L"",
         VT_BSTR, L"<!--note-->"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.node) << c.name;
        EXPECT_EQ(c.type, c.node->GetnodeType()) << c.name;
        EXPECT_EQ(_bstr_t(c.nodeName), c.node->GetnodeName()) << c.name;
        EXPECT_EQ(_bstr_t(c.typeString), c.node->GetnodeTypeString()) << c.name;
        EXPECT_EQ(_bstr_t(c.baseName), c.node->GetbaseName()) << c.name;
        EXPECT_EQ(c.valueType, c.node->GetnodeValue().vt) << c.name;
        if (c.xml) {
            EXPECT_EQ(_bstr_t(c.xml), c.node->Getxml()) << c.name;
        }
    }
    EXPECT_EQ(_bstr_t(L"t<c>"), root->Gettext());
    EXPECT_EQ(_bstr_t(L"urn:k"), root->Getattributes()->Getitem(1)->GetnamespaceURI());
    EXPECT_FALSE(doc->GetownerDocument());
    EXPECT_FALSE(root->Getattributes()->getNamedItem(L"k:a")->GetparentNode());
}

TEST_F(DomTest, ValuesAndTextCanBeReplaced) {
    IXMLDOMDocumentPtr doc = parse(L"<r><a>old<b/></a><!--c--></r>");
    IXMLDOMNodePtr a = doc->selectSingleNode(L"/r/a");
    IXMLDOMNodePtr b = a->selectSingleNode(L"b");
    a->Puttext(L"new");
    EXPECT_EQ(_bstr_t(L"<a>new</a>"), a->Getxml());
    EXPECT_FALSE(b->GetparentNode()) << "replaced children leave the tree but stay usable";
    a->Puttext(L"");
    EXPECT_EQ(VARIANT_FALSE, a->hasChildNodes());
    IXMLDOMNodePtr comment = doc->selectSingleNode(L"/r/comment()");
    comment->PutnodeValue(L"changed");
    EXPECT_EQ(_bstr_t(L"<!--changed-->"), comment->Getxml());
    struct Case {
        const char* name;
        HRESULT hr;
        _com_error error;
    };
    const Case cases[] = {
        {"value of an element", E_FAIL, raised([&] { a->PutnodeValue(L"x"); })},
        {"double dash in a comment", E_INVALIDARG, raised([&] { comment->Puttext(L"a--b"); })},
        {"end of an instruction", E_INVALIDARG,
         raised([&] { doc->createProcessingInstruction(L"p", L"a?>b"); })},
        {"bad instruction target", E_FAIL,
         raised([&] { doc->createProcessingInstruction(L"p:q", L""); })},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.hr, c.error.Error()) << c.name;
    EXPECT_EQ(_bstr_t(L"<!--changed-->"), comment->Getxml());
    IXMLDOMCDATASectionPtr cdata = doc->createCDATASection(L"a]]>b");
    EXPECT_EQ(_bstr_t(L"<![CDATA[a]]]]><![CDATA[>b]]>"), cdata->Getxml());
    IXMLDOMDocumentPtr back = parse((L"<r>" + std::wstring(cdata->Getxml()) + L"</r>").c_str());
    EXPECT_EQ(_bstr_t(L"a]]>b"), back->GetdocumentElement()->Gettext());
}

TEST_F(DomTest, ChildrenAreInsertedReplacedAndCloned) {
    IXMLDOMDocumentPtr doc = parse(L"<r><a/><c/></r>");
    IXMLDOMNodePtr root = doc->GetdocumentElement();
    IXMLDOMNodePtr c = root->GetlastChild();
    root->insertBefore(doc->createElement(L"b"), _variant_t(c.GetInterfacePtr()));
    EXPECT_EQ(_bstr_t(L"<r><a/><b/><c/></r>"), root->Getxml());
    root->insertBefore(doc->createElement(L"z"), vtMissing);
    EXPECT_EQ(_bstr_t(L"<r><a/><b/><c/><z/></r>"), root->Getxml());
    IXMLDOMNodePtr old = root->replaceChild(doc->createElement(L"y"), root->GetfirstChild());
    EXPECT_EQ(_bstr_t(L"a"), old->GetnodeName());
    EXPECT_EQ(_bstr_t(L"<r><y/><b/><c/><z/></r>"), root->Getxml());
    root->insertBefore(root->GetlastChild(), _variant_t(root->GetfirstChild().GetInterfacePtr()));
    EXPECT_EQ(_bstr_t(L"<r><z/><y/><b/><c/></r>"), root->Getxml());
    EXPECT_EQ(_bstr_t(L"y"), root->GetfirstChild()->GetnextSibling()->GetnodeName());
    EXPECT_EQ(_bstr_t(L"b"), root->GetlastChild()->GetpreviousSibling()->GetnodeName());
    EXPECT_EQ(E_INVALIDARG, raised([&] { root->removeChild(old); }).Error());

    IXMLDOMElementPtr source = doc->createElement(L"s");
    source->setAttribute(L"k", L"v");
    source->appendChild(doc->createElement(L"inner"));
    IXMLDOMNodePtr shallow = source->cloneNode(VARIANT_FALSE);
    IXMLDOMNodePtr deep = source->cloneNode(VARIANT_TRUE);
    source->setAttribute(L"k", L"changed");
    EXPECT_EQ(_bstr_t(L"<s k=\"v\"/>"), shallow->Getxml());
    EXPECT_EQ(_bstr_t(L"<s k=\"v\"><inner/></s>"), deep->Getxml());
    EXPECT_FALSE(deep->GetparentNode());

    doc->PutRefdocumentElement(IXMLDOMElementPtr(deep));
    EXPECT_EQ(_bstr_t(L"<s k=\"v\"><inner/></s>\r\n"), doc->Getxml());
    EXPECT_FALSE(root->GetparentNode());
}

TEST_F(DomTest, NodesAreMadeByTypeNumberOrName) {
    IXMLDOMDocumentPtr doc = newDocument();
    struct Case {
        _variant_t type;
        DOMNodeType expected;
    };
    const Case cases[] = {
        {_variant_t(NODE_ELEMENT), NODE_ELEMENT},
        {_variant_t(1L), NODE_ELEMENT},
        {_variant_t(L"element"), NODE_ELEMENT},
        {_variant_t(L"attribute"), NODE_ATTRIBUTE},
        {_variant_t(NODE_TEXT), NODE_TEXT},
        {_variant_t(L"comment"), NODE_COMMENT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, doc->createNode(c.type, L"n", L"")->GetnodeType());
    EXPECT_EQ(E_INVALIDARG,
              raised([&] { doc->createNode(_variant_t(NODE_DOCUMENT), L"n", L""); }).Error());
    EXPECT_EQ(E_INVALIDARG,
              raised([&] { doc->createNode(_variant_t(L"nonsense"), L"n", L""); }).Error());
    IXMLDOMNodePtr prefixed = doc->createNode(_variant_t(NODE_ELEMENT), L"x:e", L"urn:x");
    EXPECT_EQ(_bstr_t(L"<x:e xmlns:x=\"urn:x\"/>"), prefixed->Getxml());
}

TEST_F(DomTest, Utf16AndByteOrderMarksRoundTrip) {
    IXMLDOMDocumentPtr doc =
        parse(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\u00e9\U0001F600</a>");
    const std::string file = path("wide.xml");
    doc->save(file.c_str());
    const std::string bytes = read(file);
    EXPECT_EQ(std::string("\xFF\xFE<\0?\0", 6), bytes.substr(0, 6));
    IXMLDOMDocumentPtr back = newDocument();
    ASSERT_EQ(VARIANT_TRUE, back->load(file.c_str()));
    EXPECT_EQ(_bstr_t(L"\u00e9\U0001F600"), back->GetdocumentElement()->Gettext());
    EXPECT_EQ(_bstr_t(L"version=\"1.0\" encoding=\"UTF-16\""), back->GetfirstChild()->Gettext());

    write(path("bom.xml"), "\xEF\xBB\xBF<?xml version=\"1.0\"?><a>\xC3\xA9</a>");
    ASSERT_EQ(VARIANT_TRUE, back->load(path("bom.xml").c_str()));
    EXPECT_EQ(_bstr_t(L"\u00e9"), back->GetdocumentElement()->Gettext());
    EXPECT_EQ(_bstr_t(L"<?xml version=\"1.0\"?>\r\n<a>\u00e9</a>\r\n"), back->Getxml());
}

}  // namespace
