// Nodes: names, text, the tree operations and reference counting.
#include <algorithm>

#include "msxml/DomInternal.h"

namespace qv::msxml {

// ---- helpers --------------------------------------------------------------------------------

HRESULT giveText(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT fail(HRESULT hr, const std::wstring& description) {
    return qv::com::reportError(hr, description.c_str(), kErrorSource);
}

std::wstring textOf(BSTR text) {
    return std::wstring(text ? text : L"", SysStringLen(text));
}

bool isXmlChar(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    return u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) ||
           (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
}

bool isValidText(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), isXmlChar);
}

namespace {
bool isNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7 && isXmlChar(c) && !(c >= 0x2000 && c <= 0x206F));
}
bool isNameChar(wchar_t c) {
    return isNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.' || c == 0xB7;
}
}  // namespace

bool isXmlSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool isValidName(const std::wstring& name) {
    if (name.empty())
        return false;
    const auto colon = name.find(L':');
    if (colon != std::wstring::npos && (colon == 0 || colon + 1 == name.size() ||
                                        name.find(L':', colon + 1) != std::wstring::npos))
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        const bool start = i == 0 || name[i - 1] == L':';
        if (c == L':')
            continue;
        if (start ? !isNameStart(c) : !isNameChar(c))
            return false;
    }
    return true;
}

std::wstring normaliseSpace(std::wstring text) {
    // In place: the result is never longer than the text.
    std::size_t length = 0;
    bool pendingBlank = false;
    for (const wchar_t c : text) {
        if (isXmlSpace(c)) {
            pendingBlank = length != 0;
        } else {
            if (pendingBlank)
                text[length++] = L' ';
            pendingBlank = false;
            text[length++] = c;
        }
    }
    text.resize(length);
    return text;
}

NodeBase* nodeOf(IUnknown* p) {
    return p ? dynamic_cast<NodeBase*>(p) : nullptr;
}

// ---- NodeBase -------------------------------------------------------------------------------

NodeBase::NodeBase(DOMNodeType t, DocumentImpl* o) : type(t), owner(o) {}

ULONG NodeBase::addRef() {
    owner->retain();
    return ++refs;
}

ULONG NodeBase::release() {
    DocumentImpl* document = owner;
    const ULONG left = --refs;
    if (left == 0 && this != document)
        document->collect(this);
    document->drop();  // may free the document and with it this node
    return left;
}

std::wstring NodeBase::qualifiedName() const {
    return prefix.empty() ? localName.str() : prefix + L":" + localName.str();
}

std::wstring NodeBase::nodeName() const {
    switch (type) {
        case NODE_ELEMENT:
        case NODE_ATTRIBUTE:
            return qualifiedName();
        case NODE_PROCESSING_INSTRUCTION:
            return localName;
        case NODE_TEXT:
            return L"#text";
        case NODE_CDATA_SECTION:
            return L"#cdata-section";
        case NODE_COMMENT:
            return L"#comment";
        case NODE_DOCUMENT:
            return L"#document";
        default:
            return std::wstring();
    }
}

std::wstring NodeBase::nodeTypeString() const {
    switch (type) {
        case NODE_ELEMENT:
            return L"element";
        case NODE_ATTRIBUTE:
            return L"attribute";
        case NODE_TEXT:
            return L"text";
        case NODE_CDATA_SECTION:
            return L"cdatasection";
        case NODE_PROCESSING_INSTRUCTION:
            return L"processinginstruction";
        case NODE_COMMENT:
            return L"comment";
        case NODE_DOCUMENT:
            return L"document";
        default:
            return std::wstring();
    }
}

bool NodeBase::hasValue() const {
    return type == NODE_TEXT || type == NODE_CDATA_SECTION || type == NODE_COMMENT ||
           type == NODE_PROCESSING_INSTRUCTION || type == NODE_ATTRIBUTE;
}

std::wstring NodeBase::rawText() const {
    if (hasValue())
        return value;
    std::wstring result;
    for (const NodeBase* child : children) {
        if (child->type == NODE_TEXT || child->type == NODE_CDATA_SECTION) {
            result += child->value;
        } else if (child->type == NODE_ELEMENT) {
            result += child->rawText();
        }
    }
    return result;
}

bool NodeBase::preservesWhiteSpace() const {
    if (owner->preserveWhiteSpace)
        return true;
    for (const NodeBase* n = this; n; n = n->container()) {
        if (n->type != NODE_ELEMENT)
            continue;
        for (const NodeBase* a : n->attributes) {
            if (a->prefix == L"xml" && a->localName.str() == L"space")
                return a->value == L"preserve";
        }
    }
    return false;
}

std::wstring NodeBase::text() const {
    const bool normalised = type == NODE_ELEMENT || type == NODE_DOCUMENT || type == NODE_TEXT;
    return normalised && !preservesWhiteSpace() ? normaliseSpace(rawText()) : rawText();
}

bool NodeBase::isNamespaceDeclaration() const {
    return type == NODE_ATTRIBUTE &&
           (prefix == L"xmlns" || (prefix.empty() && localName.str() == L"xmlns"));
}

bool NodeBase::isAncestorOf(const NodeBase* node) const {
    for (; node; node = node->container())
        if (node == this)
            return true;
    return false;
}

int NodeBase::indexInParent() const {
    if (!parent)
        return -1;
    const auto it = std::find(parent->children.begin(), parent->children.end(), this);
    return static_cast<int>(it - parent->children.begin());
}

void NodeBase::collectSubtree(std::vector<NodeBase*>& nodes) {
    nodes.push_back(this);
    for (NodeBase* a : attributes)
        a->collectSubtree(nodes);
    for (NodeBase* c : children)
        c->collectSubtree(nodes);
}

// ---- tree operations ------------------------------------------------------------------------

namespace {

std::wstring kindName(DOMNodeType type) {
    switch (type) {
        case NODE_ELEMENT:
            return L"ELEMENT";
        case NODE_ATTRIBUTE:
            return L"ATTRIBUTE";
        case NODE_TEXT:
            return L"TEXT";
        case NODE_CDATA_SECTION:
            return L"CDATA";
        case NODE_PROCESSING_INSTRUCTION:
            return L"PROCESSING INSTRUCTION";
        case NODE_COMMENT:
            return L"COMMENT";
        case NODE_DOCUMENT:
            return L"DOCUMENT";
        default:
            return L"UNKNOWN";
    }
}

HRESULT notForKind(DOMNodeType type) {
    return fail(E_FAIL,
                L"This operation cannot be performed with a node of type " + kindName(type) + L".");
}

void detach(NodeBase* node) {
    if (NodeBase* p = node->parent) {
        p->children.erase(std::find(p->children.begin(), p->children.end(), node));
        node->parent = nullptr;
    }
}

bool isDeclaration(const NodeBase* node) {
    const std::wstring& target = node->localName;
    return node->type == NODE_PROCESSING_INSTRUCTION && target.size() == 3 &&
           (target[0] | 0x20) == L'x' && (target[1] | 0x20) == L'm' && (target[2] | 0x20) == L'l';
}

}  // namespace

HRESULT insertChild(NodeBase* parent, IXMLDOMNode* newChild, NodeBase* before, IXMLDOMNode** out,
                    const NodeBase* replacing) {
    if (out)
        *out = nullptr;
    if (!newChild)
        return fail(E_INVALIDARG, L"The parameter is incorrect.");
    NodeBase* child = nodeOf(newChild);
    if (!child)
        return fail(E_INVALIDARG, L"The node was not made by this DOM.");
    if (parent->type != NODE_ELEMENT && parent->type != NODE_DOCUMENT)
        return notForKind(parent->type);
    if (child->type == NODE_DOCUMENT || child->type == NODE_ATTRIBUTE)
        return notForKind(child->type);
    if (child->isAncestorOf(parent))
        return fail(E_FAIL, L"Inserting a node or its ancestor under itself is not allowed.");
    if (before && before->parent != parent)
        return fail(E_INVALIDARG, L"The reference node is not a child of this node.");
    if (before == child) {
        // Inserting a node before itself leaves it where it is.
        return out ? giveNode(child, out) : S_OK;
    }
    if (parent->type == NODE_DOCUMENT) {
        if (child->type == NODE_TEXT || child->type == NODE_CDATA_SECTION)
            return fail(E_FAIL, L"Text cannot be a top-level node of a document.");
        if (child->type == NODE_ELEMENT) {
            for (const NodeBase* c : parent->children)
                if (c->type == NODE_ELEMENT && c != child && c != replacing)
                    return fail(E_FAIL,
                                L"Only one top level element is allowed in an XML document.");
        }
    }
    if (isDeclaration(child)) {
        const bool first = parent->type == NODE_DOCUMENT &&
                           (before ? before == parent->children.front()
                                   : parent->children.empty() || (parent->children.size() == 1 &&
                                                                  parent->children[0] == child));
        if (!first)
            return fail(E_FAIL, L"The XML declaration must be the first node in the document.");
    }
    // Keep the caller's node alive while it moves.
    IXMLDOMNodePtr keep(child->face());
    detach(child);
    if (child->owner != parent->owner)
        parent->owner->adopt(child);
    auto& list = parent->children;
    const auto at = before ? std::find(list.begin(), list.end(), before) : list.end();
    list.insert(at, child);
    child->parent = parent;
    return out ? giveNode(child, out) : S_OK;
}

HRESULT removeChildNode(NodeBase* parent, IXMLDOMNode* childFace, IXMLDOMNode** out) {
    if (out)
        *out = nullptr;
    NodeBase* child = nodeOf(childFace);
    if (!child || child->parent != parent)
        return fail(E_INVALIDARG, L"The node to remove is not a child of this node.");
    IXMLDOMNodePtr keep(child->face());
    detach(child);
    return out ? giveNode(child, out) : S_OK;
}

HRESULT setNodeText(NodeBase* node, const std::wstring& text) {
    if (!isValidText(text))
        return fail(E_INVALIDARG, L"The text holds a character that XML does not allow.");
    switch (node->type) {
        case NODE_ELEMENT: {
            std::vector<NodeBase*> old;
            old.swap(node->children);
            for (NodeBase* c : old) {
                c->parent = nullptr;
                node->owner->collect(c);
            }
            if (!text.empty()) {
                NodeBase* t = node->owner->newCharacterData(NODE_TEXT, text);
                t->parent = node;
                node->children.push_back(t);
            }
            return S_OK;
        }
        case NODE_COMMENT:
            if (text.find(L"--") != std::wstring::npos || (!text.empty() && text.back() == L'-'))
                return fail(E_INVALIDARG, L"A comment cannot hold \"--\" or end with \"-\".");
            node->value = text;
            return S_OK;
        case NODE_PROCESSING_INSTRUCTION:
            if (text.find(L"?>") != std::wstring::npos)
                return fail(E_INVALIDARG, L"A processing instruction cannot hold \"?>\".");
            node->value = text;
            return S_OK;
        case NODE_TEXT:
        case NODE_CDATA_SECTION:
        case NODE_ATTRIBUTE:
            node->value = text;
            return S_OK;
        default:
            return notForKind(node->type);
    }
}

NodeBase* cloneInto(DocumentImpl* document, const NodeBase* node, bool deep) {
    NodeBase* copy = nullptr;
    switch (node->type) {
        case NODE_ELEMENT:
            copy = document->newElement(node->prefix, node->localName, node->uri);
            break;
        case NODE_ATTRIBUTE:
            return document->newAttribute(node->prefix, node->localName, node->uri, node->value);
        case NODE_PROCESSING_INSTRUCTION:
            return document->newInstruction(node->localName, node->value);
        case NODE_TEXT:
        case NODE_CDATA_SECTION:
        case NODE_COMMENT:
            return document->newCharacterData(node->type, node->value);
        default:
            return nullptr;
    }
    for (const NodeBase* a : node->attributes) {
        NodeBase* ac = cloneInto(document, a, true);
        ac->element = copy;
        copy->attributes.push_back(ac);
    }
    if (deep) {
        for (const NodeBase* c : node->children) {
            NodeBase* cc = cloneInto(document, c, true);
            cc->parent = copy;
            copy->children.push_back(cc);
        }
    }
    return copy;
}

// ---- NodeImpl -------------------------------------------------------------------------------

template <class I>
HRESULT NodeImpl<I>::get_nodeValue(VARIANT* out) {
    if (!out)
        return E_POINTER;
    VariantInit(out);
    if (!hasValue()) {
        out->vt = VT_NULL;
        return S_OK;
    }
    out->bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    if (!out->bstrVal)
        return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
}

template <class I>
HRESULT NodeImpl<I>::put_nodeValue(VARIANT newValue) {
    if (!hasValue())
        return notForKind(type);
    _variant_t text;
    if (FAILED(VariantChangeType(&text, &newValue, 0, VT_BSTR)))
        return fail(E_INVALIDARG, L"The value cannot be written as text.");
    return setNodeText(this, textOf(text.bstrVal));
}

template <class I>
HRESULT NodeImpl<I>::get_childNodes(IXMLDOMNodeList** out) {
    if (!out)
        return E_POINTER;
    *out = makeChildList(this);
    return S_OK;
}

template <class I>
HRESULT NodeImpl<I>::get_attributes(IXMLDOMNamedNodeMap** out) {
    if (!out)
        return E_POINTER;
    *out = type == NODE_ELEMENT ? makeAttributeMap(this) : nullptr;
    return *out ? S_OK : S_FALSE;
}

template <class I>
HRESULT NodeImpl<I>::raw_insertBefore(IXMLDOMNode* newChild, VARIANT refChild, IXMLDOMNode** out) {
    NodeBase* before = nullptr;
    if (refChild.vt == VT_UNKNOWN || refChild.vt == VT_DISPATCH) {
        before = nodeOf(refChild.punkVal);
        if (refChild.punkVal && !before)
            return fail(E_INVALIDARG, L"The reference node was not made by this DOM.");
    } else if (refChild.vt != VT_EMPTY && refChild.vt != VT_NULL && refChild.vt != VT_ERROR) {
        return fail(E_INVALIDARG, L"The reference node must be a node.");
    }
    return insertChild(this, newChild, before, out);
}

template <class I>
HRESULT NodeImpl<I>::raw_replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild,
                                      IXMLDOMNode** out) {
    if (out)
        *out = nullptr;
    NodeBase* old = nodeOf(oldChild);
    if (!old || old->parent != this)
        return fail(E_INVALIDARG, L"The node to replace is not a child of this node.");
    if (nodeOf(newChild) == old)
        return out ? giveNode(old, out) : S_OK;
    if (HRESULT hr = insertChild(this, newChild, old, nullptr, old); FAILED(hr))
        return hr;
    return removeChildNode(this, oldChild, out);
}

template <class I>
HRESULT NodeImpl<I>::raw_removeChild(IXMLDOMNode* child, IXMLDOMNode** out) {
    return removeChildNode(this, child, out);
}

template <class I>
HRESULT NodeImpl<I>::raw_appendChild(IXMLDOMNode* newChild, IXMLDOMNode** out) {
    return insertChild(this, newChild, nullptr, out);
}

template <class I>
HRESULT NodeImpl<I>::get_ownerDocument(IXMLDOMDocument** out) {
    return giveNode(type == NODE_DOCUMENT ? nullptr : static_cast<NodeBase*>(owner), out);
}

template <class I>
HRESULT NodeImpl<I>::raw_cloneNode(VARIANT_BOOL deep, IXMLDOMNode** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (type == NODE_DOCUMENT)
        return notForKind(type);
    return giveNode(cloneInto(owner, this, deep != VARIANT_FALSE), out);
}

template <class I>
HRESULT NodeImpl<I>::put_text(BSTR newText) {
    if (type == NODE_DOCUMENT)
        return notForKind(type);
    return setNodeText(this, textOf(newText));
}

template <class I>
HRESULT NodeImpl<I>::get_xml(BSTR* out) {
    return giveText(serialise(this), out);
}

namespace {
// The nodes a path selects, or the failure to report.
HRESULT select(NodeBase* context, BSTR path, std::vector<NodeBase*>& nodes) {
    std::wstring error;
    return selectPath(context, textOf(path), nodes, error) ? S_OK : fail(E_FAIL, error);
}
}  // namespace

template <class I>
HRESULT NodeImpl<I>::raw_selectNodes(BSTR path, IXMLDOMNodeList** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    std::vector<NodeBase*> nodes;
    if (HRESULT hr = select(this, path, nodes); FAILED(hr))
        return hr;
    *out = makeStaticList(nodes);
    return S_OK;
}

template <class I>
HRESULT NodeImpl<I>::raw_selectSingleNode(BSTR path, IXMLDOMNode** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    std::vector<NodeBase*> nodes;
    if (HRESULT hr = select(this, path, nodes); FAILED(hr))
        return hr;
    return giveNode(nodes.empty() ? nullptr : nodes.front(), out);
}

template class NodeImpl<IXMLDOMElement>;
template class NodeImpl<IXMLDOMAttribute>;
template class NodeImpl<IXMLDOMText>;
template class NodeImpl<IXMLDOMComment>;
template class NodeImpl<IXMLDOMCDATASection>;
template class NodeImpl<IXMLDOMProcessingInstruction>;
template class NodeImpl<IXMLDOMDocument>;

// ---- ElementImpl ----------------------------------------------------------------------------

NodeBase* ElementImpl::findAttribute(const std::wstring& name) const {
    for (NodeBase* a : attributes)
        if (a->qualifiedName() == name)
            return a;
    return nullptr;
}

HRESULT ElementImpl::raw_getAttribute(BSTR name, VARIANT* out) {
    if (!out)
        return E_POINTER;
    VariantInit(out);
    const NodeBase* a = findAttribute(textOf(name));
    if (!a) {
        out->vt = VT_NULL;
        return S_FALSE;
    }
    out->bstrVal = SysAllocStringLen(a->value.data(), static_cast<UINT>(a->value.size()));
    if (!out->bstrVal)
        return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
}

HRESULT ElementImpl::raw_setAttribute(BSTR nameText, VARIANT value) {
    const std::wstring name = textOf(nameText);
    if (!isValidName(name))
        return fail(E_FAIL, L"\"" + name + L"\" is not a valid attribute name.");
    _variant_t text;
    if (FAILED(VariantChangeType(&text, &value, 0, VT_BSTR)))
        return fail(E_INVALIDARG, L"The value cannot be written as text.");
    const std::wstring valueText = textOf(text.bstrVal);
    if (!isValidText(valueText))
        return fail(E_INVALIDARG, L"The text holds a character that XML does not allow.");
    if (NodeBase* existing = findAttribute(name)) {
        existing->value = valueText;
        return S_OK;
    }
    const auto colon = name.find(L':');
    std::wstring prefix, local = name, uri;
    if (colon != std::wstring::npos) {
        prefix = name.substr(0, colon);
        local = name.substr(colon + 1);
    }
    if (prefix == L"xmlns" || name == L"xmlns") {
        uri = kXmlnsUri;
    } else if (prefix == L"xml") {
        uri = kXmlUri;
    } else if (!prefix.empty()) {
        // The prefix must be bound where the attribute stands.
        for (const NodeBase* n = this; n && uri.empty(); n = n->container()) {
            if (n->type != NODE_ELEMENT)
                continue;
            if (n->prefix == prefix)
                uri = n->uri;
            for (const NodeBase* d : n->attributes)
                if (d->prefix == L"xmlns" && d->localName.str() == prefix)
                    uri = d->value;
        }
        if (uri.empty())
            return fail(E_FAIL, L"The prefix \"" + prefix + L"\" is not declared.");
    }
    NodeBase* a = owner->newAttribute(prefix, local, uri, valueText);
    a->element = this;
    attributes.push_back(a);
    return S_OK;
}

HRESULT ElementImpl::raw_removeAttribute(BSTR name) {
    NodeBase* a = findAttribute(textOf(name));
    if (!a)
        return S_FALSE;
    attributes.erase(std::find(attributes.begin(), attributes.end(), a));
    a->element = nullptr;
    owner->collect(a);
    return S_OK;
}

HRESULT ElementImpl::raw_getAttributeNode(BSTR name, IXMLDOMAttribute** out) {
    return giveNode(findAttribute(textOf(name)), out);
}

HRESULT ElementImpl::raw_getElementsByTagName(BSTR name, IXMLDOMNodeList** out) {
    if (!out)
        return E_POINTER;
    std::vector<NodeBase*> nodes;
    for (NodeBase* c : children)
        elementsByTagName(c, textOf(name), nodes);
    *out = makeStaticList(nodes);
    return S_OK;
}

}  // namespace qv::msxml
