#include "DomTestSupport.h"

namespace {

using namespace MSXML2;
using qv::test::DomTest;

std::wstring names(IXMLDOMNodeListPtr list) {
    std::wstring result;
    for (long i = 0; i < list->Getlength(); ++i) {
        if (!result.empty())
            result += L',';
        result += std::wstring(list->Getitem(i)->GetnodeName());
    }
    return result;
}

TEST_F(DomTest, SelectsSimpleLocationPaths) {
    IXMLDOMDocumentPtr doc = parse(
        L"<?xml version=\"1.0\"?><report xmlns=\"urn:r\" xmlns:k=\"urn:k\">"
        L"<title>T</title><layers><layer id=\"1\">a</layer><layer id=\"2\">b</layer></layers>"
        L"<k:note>n</k:note><!--c--></report>");
    IXMLDOMNodePtr layers = doc->selectSingleNode(L"/report/layers");
    ASSERT_TRUE(layers);
    struct Case {
        const wchar_t* path;
        IXMLDOMNode* context;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"/*", doc, L"report"},
        {L"/", doc, L"#document"},
        {L"/report/*", doc, L"title,layers,k:note"},
        {L"report/title", doc, L"title"},
        {L"//layer", doc, L"layer,layer"},
        {L"//layer[2]", doc, L"layer"},
        {L"//layer[last()]/@id", doc, L"id"},
        {L"layer/@*", layers, L"id,id"},
        {L"..", layers, L"report"},
        {L".", layers, L"layers"},
        {L"layer/text()", layers, L"#text,#text"},
        {L"/report/k:note", layers, L"k:note"},
        {L"/report/comment()", doc, L"#comment"},
        {L"/report/node()", doc, L"title,layers,k:note,#comment"},
        {L"/report/missing", doc, L""},
        {L"//layer[3]", doc, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.expected), names(c.context->selectNodes(c.path))) << c.path;
    EXPECT_EQ(_bstr_t(L"b"), doc->selectSingleNode(L"//layer[2]")->Gettext());
    EXPECT_FALSE(doc->selectSingleNode(L"/nothing"));
    EXPECT_EQ(
        2,
        IXMLDOMElementPtr(doc->GetdocumentElement())->getElementsByTagName(L"layer")->Getlength());
}

}  // namespace
