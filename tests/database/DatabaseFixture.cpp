#include "DatabaseFixture.h"

namespace qv::test {
namespace {

// Visits `node` and the elements below it in document order with their paths and whether they
// have element children.
template <class Visit>
void walk(MSXML2::IXMLDOMNodePtr node, const std::string& parent, Visit visit) {
    const std::string path = (parent.empty() ? "" : parent + "/") + narrow(node->GetnodeName());
    std::vector<MSXML2::IXMLDOMNodePtr> elements;
    MSXML2::IXMLDOMNodeListPtr children = node->GetchildNodes();
    for (long i = 0; i < children->Getlength(); ++i) {
        if (children->Getitem(i)->GetnodeType() == MSXML2::NODE_ELEMENT) {
            elements.push_back(children->Getitem(i));
        }
    }
    visit(node, path, !elements.empty());
    for (const MSXML2::IXMLDOMNodePtr& child : elements) {
        walk(child, path, visit);
    }
}

}  // namespace

std::vector<std::string> leaves(MSXML2::IXMLDOMNodePtr node) {
    std::vector<std::string> out;
    walk(node, "", [&](MSXML2::IXMLDOMNodePtr n, const std::string& path, bool hasElements) {
        if (!hasElements) {
            out.push_back(path + "=" + narrow(n->Gettext()));
        }
    });
    return out;
}

std::vector<std::string> namespaces(MSXML2::IXMLDOMNodePtr node) {
    std::vector<std::string> out;
    walk(node, "", [&](MSXML2::IXMLDOMNodePtr n, const std::string&, bool) {
        out.push_back(narrow(n->GetnamespaceURI()));
    });
    return out;
}

}  // namespace qv::test
