// Location paths for selectNodes and selectSingleNode (the forms listed in Msxml.h).
#include <algorithm>

#include "msxml/DomInternal.h"

namespace qv::msxml {
namespace {

enum class Test {
    Name,
    AnyElement,
    Self,
    Parent,
    Attribute,
    AnyAttribute,
    Text,
    Node,
    Comment,
    Instruction
};

struct Step {
    bool descendants = false;  // reached with "//"
    Test test = Test::Name;
    std::wstring name;
    long index = 0;  // 1-based position; 0 none; -1 last()
};

std::wstring trim(const std::wstring& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && isXmlSpace(s[a]))
        ++a;
    while (b > a && isXmlSpace(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

bool parseStep(std::wstring text, Step& step) {
    text = trim(text);
    const auto open = text.find(L'[');
    if (open != std::wstring::npos) {
        if (text.back() != L']')
            return false;
        const std::wstring predicate = trim(text.substr(open + 1, text.size() - open - 2));
        text = trim(text.substr(0, open));
        if (predicate == L"last()") {
            step.index = -1;
        } else {
            if (predicate.empty() || predicate.size() > 9 ||
                !std::all_of(predicate.begin(), predicate.end(),
                             [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
                return false;
            step.index = std::stol(predicate);
            if (step.index < 1)
                return false;
        }
    }
    if (text == L"*") {
        step.test = Test::AnyElement;
    } else if (text == L".") {
        step.test = Test::Self;
    } else if (text == L"..") {
        step.test = Test::Parent;
    } else if (text == L"@*") {
        step.test = Test::AnyAttribute;
    } else if (text == L"text()") {
        step.test = Test::Text;
    } else if (text == L"node()") {
        step.test = Test::Node;
    } else if (text == L"comment()") {
        step.test = Test::Comment;
    } else if (text == L"processing-instruction()") {
        step.test = Test::Instruction;
    } else if (!text.empty() && text[0] == L'@' && isValidName(text.substr(1))) {
        step.test = Test::Attribute;
        step.name = text.substr(1);
    } else if (isValidName(text)) {
        step.test = Test::Name;
        step.name = text;
    } else {
        return false;
    }
    return true;
}

bool matches(const NodeBase* n, const Step& step) {
    switch (step.test) {
        case Test::Name:
            return n->type == NODE_ELEMENT && n->qualifiedName() == step.name;
        case Test::AnyElement:
            return n->type == NODE_ELEMENT;
        case Test::Text:
            return n->type == NODE_TEXT || n->type == NODE_CDATA_SECTION;
        case Test::Node:
            return true;
        case Test::Comment:
            return n->type == NODE_COMMENT;
        case Test::Instruction:
            return n->type == NODE_PROCESSING_INSTRUCTION;
        case Test::Attribute:
            return n->type == NODE_ATTRIBUTE && n->qualifiedName() == step.name;
        case Test::AnyAttribute:
            return n->type == NODE_ATTRIBUTE;
        case Test::Self:
        case Test::Parent:
            return true;
    }
    return false;
}

void descendantsOrSelf(NodeBase* n, std::vector<NodeBase*>& out) {
    out.push_back(n);
    for (NodeBase* c : n->children)
        descendantsOrSelf(c, out);
}

// The nodes one step selects from one context node, in document order.
void apply(NodeBase* context, const Step& step, std::vector<NodeBase*>& out) {
    std::vector<NodeBase*> contexts;
    if (step.descendants) {
        descendantsOrSelf(context, contexts);
    } else {
        contexts.push_back(context);
    }
    for (NodeBase* c : contexts) {
        std::vector<NodeBase*> found;
        if (step.test == Test::Self) {
            found.push_back(c);
        } else if (step.test == Test::Parent) {
            if (NodeBase* p = c->container())
                found.push_back(p);
        } else if (step.test == Test::Attribute || step.test == Test::AnyAttribute) {
            for (NodeBase* a : c->attributes)
                if (matches(a, step))
                    found.push_back(a);
        } else {
            for (NodeBase* child : c->children)
                if (matches(child, step))
                    found.push_back(child);
        }
        if (step.index == -1 && !found.empty()) {
            out.push_back(found.back());
        } else if (step.index > 0) {
            if (static_cast<std::size_t>(step.index) <= found.size())
                out.push_back(found[static_cast<std::size_t>(step.index - 1)]);
        } else {
            out.insert(out.end(), found.begin(), found.end());
        }
    }
}

}  // namespace

bool selectPath(NodeBase* context, const std::wstring& pathText, std::vector<NodeBase*>& result,
                std::wstring& error) {
    result.clear();
    const std::wstring path = trim(pathText);
    error = L"The selection \"" + pathText + L"\" is not a supported location path.";
    if (path.empty())
        return false;
    std::size_t i = 0;
    std::vector<NodeBase*> current{context};
    if (path[0] == L'/') {
        NodeBase* top = context;
        while (top->container())
            top = top->container();
        current = {top};
        if (path == L"/") {
            result = top->type == NODE_DOCUMENT ? current : std::vector<NodeBase*>();
            return true;
        }
    }
    bool descendants = false;
    if (path.compare(0, 2, L"//") == 0) {
        descendants = true;
        i = 2;
    } else if (path[0] == L'/') {
        i = 1;
    }
    while (true) {
        const auto next = path.find(L'/', i);
        Step step;
        step.descendants = descendants;
        if (!parseStep(path.substr(i, next == std::wstring::npos ? std::wstring::npos : next - i),
                       step))
            return false;
        std::vector<NodeBase*> selected;
        for (NodeBase* n : current)
            apply(n, step, selected);
        // Keep each node once, in the order first reached.
        std::vector<NodeBase*> unique;
        for (NodeBase* n : selected)
            if (std::find(unique.begin(), unique.end(), n) == unique.end())
                unique.push_back(n);
        current.swap(unique);
        if (next == std::wstring::npos)
            break;
        descendants = path.compare(next, 2, L"//") == 0;
        i = next + (descendants ? 2 : 1);
    }
    result = current;
    return true;
}

void elementsByTagName(NodeBase* root, const std::wstring& name, std::vector<NodeBase*>& result) {
    if (root->type != NODE_ELEMENT)
        return;
    if (name == L"*" || root->qualifiedName() == name)
        result.push_back(root);
    for (NodeBase* c : root->children)
        elementsByTagName(c, name, result);
}

}  // namespace qv::msxml
