// The DOM's own objects behind the MSXML interfaces. Not for the module: include Msxml.h.
//
// Ownership. Every node is owned by its document (DocumentImpl), which holds all of them in an
// arena, attached or not. A COM reference to any node counts toward its document: the document
// and all its nodes go when the last reference to the document or to any of its nodes goes. A
// node that is not in the document's tree and that nothing references any more is freed with its
// subtree at once. Moving a node into another document moves its subtree (and the references to
// it) into that document's arena.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Msxml.h"

namespace qv::msxml {

using namespace MSXML2;

class DocumentImpl;

inline constexpr const wchar_t* kXmlnsUri = L"http://www.w3.org/2000/xmlns/";
inline constexpr const wchar_t* kXmlUri = L"http://www.w3.org/XML/1998/namespace";
inline constexpr const wchar_t* kErrorSource = L"msxml3.dll";

// An immutable text shared by its copies: a name or a namespace URI is the same for many nodes
// of a document, and a node made from another (a clone) holds it without a copy of its own.
class SharedText {
  public:
    SharedText() = default;
    SharedText(std::wstring text)
        : m_text(text.empty() ? nullptr : std::make_shared<const std::wstring>(std::move(text))) {}
    SharedText(const wchar_t* text) : SharedText(std::wstring(text ? text : L"")) {}

    const std::wstring& str() const { return m_text ? *m_text : none(); }
    operator const std::wstring&() const { return str(); }
    bool empty() const { return !m_text || m_text->empty(); }

  private:
    static const std::wstring& none() {
        static const std::wstring text;
        return text;
    }
    std::shared_ptr<const std::wstring> m_text;
};

class NodeBase {
  public:
    NodeBase(DOMNodeType type, DocumentImpl* owner);
    virtual ~NodeBase() = default;
    NodeBase(const NodeBase&) = delete;
    NodeBase& operator=(const NodeBase&) = delete;

    // The node's COM face (no new reference).
    virtual IXMLDOMNode* face() = 0;

    ULONG addRef();
    ULONG release();

    // Names and values as the DOM shows them.
    std::wstring qualifiedName() const;
    std::wstring nodeName() const;
    std::wstring nodeTypeString() const;
    // The text of the node and its descendants (texts and CDATA sections), white space
    // handled as the document says.
    std::wstring text() const;
    std::wstring rawText() const;
    bool preservesWhiteSpace() const;
    bool isNamespaceDeclaration() const;
    bool hasValue() const;

    // The parent in the tree (for an attribute: its element); the document for top-level nodes.
    NodeBase* container() const { return parent ? parent : element; }
    bool isAncestorOf(const NodeBase* node) const;
    int indexInParent() const;

    // Every node of the subtree (this node, its attributes and descendants), in document order.
    void collectSubtree(std::vector<NodeBase*>& nodes);

    DOMNodeType type;
    std::wstring prefix;   // elements and attributes
    SharedText localName;  // elements and attributes; the target of a processing instruction
    SharedText uri;        // elements and attributes
    std::wstring value;    // texts, comments, CDATA, instruction data, attribute values
    NodeBase* parent = nullptr;
    NodeBase* element = nullptr;  // an attribute's element
    std::vector<NodeBase*> children;
    std::vector<NodeBase*> attributes;
    DocumentImpl* owner;
    std::size_t ownedAt = 0;  // the node's place in its owner's list of nodes
    ULONG refs = 0;
};

// The node behind an interface pointer, or null when it is not one of ours.
NodeBase* nodeOf(IUnknown* p);

// Gives `node` to an out parameter with a new reference; S_FALSE with null for no node.
template <class I>
HRESULT giveNode(NodeBase* node, I** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!node)
        return S_FALSE;
    return node->face()->QueryInterface(__uuidof(I), reinterpret_cast<void**>(out));
}

HRESULT giveText(const std::wstring& text, BSTR* out);
HRESULT fail(HRESULT hr, const std::wstring& description);
bool isXmlChar(wchar_t c);
// XML white space: blank, tab, carriage return, line feed.
bool isXmlSpace(wchar_t c);
bool isValidText(const std::wstring& text);
bool isValidName(const std::wstring& name);
std::wstring normaliseSpace(std::wstring text);
std::wstring textOf(BSTR text);

// The COM face of a node kind: IXMLDOMNode's methods over NodeBase.
template <class I>
class NodeImpl : public I, public ISupportErrorInfo, public NodeBase {
  public:
    NodeImpl(DOMNodeType type, DocumentImpl* owner) : NodeBase(type, owner) {}

    IXMLDOMNode* face() override { return this; }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || qv::com::implementsIid<I>(iid)) {
            *object = static_cast<I*>(this);
        } else if (iid == __uuidof(ISupportErrorInfo)) {
            *object = static_cast<ISupportErrorInfo*>(this);
        } else {
            return E_NOINTERFACE;
        }
        addRef();
        return S_OK;
    }
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }
    HRESULT InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT get_nodeName(BSTR* out) override { return giveText(nodeName(), out); }
    HRESULT get_nodeValue(VARIANT* out) override;
    HRESULT put_nodeValue(VARIANT value) override;
    HRESULT get_nodeType(DOMNodeType* out) override {
        if (!out)
            return E_POINTER;
        *out = type;
        return S_OK;
    }
    HRESULT get_parentNode(IXMLDOMNode** out) override { return giveNode(parent, out); }
    HRESULT get_childNodes(IXMLDOMNodeList** out) override;
    HRESULT get_firstChild(IXMLDOMNode** out) override {
        return giveNode(children.empty() ? nullptr : children.front(), out);
    }
    HRESULT get_lastChild(IXMLDOMNode** out) override {
        return giveNode(children.empty() ? nullptr : children.back(), out);
    }
    HRESULT get_previousSibling(IXMLDOMNode** out) override {
        const int i = indexInParent();
        return giveNode(i > 0 ? parent->children[static_cast<std::size_t>(i - 1)] : nullptr, out);
    }
    HRESULT get_nextSibling(IXMLDOMNode** out) override {
        const int i = indexInParent();
        const bool has = i >= 0 && static_cast<std::size_t>(i) + 1 < parent->children.size();
        return giveNode(has ? parent->children[static_cast<std::size_t>(i + 1)] : nullptr, out);
    }
    HRESULT get_attributes(IXMLDOMNamedNodeMap** out) override;
    HRESULT raw_insertBefore(IXMLDOMNode* newChild, VARIANT refChild, IXMLDOMNode** out) override;
    HRESULT raw_replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild,
                             IXMLDOMNode** out) override;
    HRESULT raw_removeChild(IXMLDOMNode* child, IXMLDOMNode** out) override;
    HRESULT raw_appendChild(IXMLDOMNode* newChild, IXMLDOMNode** out) override;
    HRESULT raw_hasChildNodes(VARIANT_BOOL* out) override {
        if (!out)
            return E_POINTER;
        *out = children.empty() ? VARIANT_FALSE : VARIANT_TRUE;
        return children.empty() ? S_FALSE : S_OK;
    }
    HRESULT get_ownerDocument(IXMLDOMDocument** out) override;
    HRESULT raw_cloneNode(VARIANT_BOOL deep, IXMLDOMNode** out) override;
    HRESULT get_nodeTypeString(BSTR* out) override { return giveText(nodeTypeString(), out); }
    HRESULT get_text(BSTR* out) override { return giveText(text(), out); }
    HRESULT put_text(BSTR text) override;
    HRESULT get_xml(BSTR* out) override;
    HRESULT raw_selectNodes(BSTR path, IXMLDOMNodeList** out) override;
    HRESULT raw_selectSingleNode(BSTR path, IXMLDOMNode** out) override;
    HRESULT get_namespaceURI(BSTR* out) override {
        return giveText(type == NODE_ELEMENT || type == NODE_ATTRIBUTE ? uri.str() : std::wstring(),
                        out);
    }
    HRESULT get_prefix(BSTR* out) override {
        return giveText(type == NODE_ELEMENT || type == NODE_ATTRIBUTE ? prefix : std::wstring(),
                        out);
    }
    HRESULT get_baseName(BSTR* out) override {
        const bool named =
            type == NODE_ELEMENT || type == NODE_ATTRIBUTE || type == NODE_PROCESSING_INSTRUCTION;
        return giveText(named ? localName.str() : std::wstring(), out);
    }
};

// Tree operations shared by the node kinds (Dom.cpp).
// `replacing` is a child about to be removed (it does not count as the document's root).
HRESULT insertChild(NodeBase* parent, IXMLDOMNode* newChild, NodeBase* before, IXMLDOMNode** out,
                    const NodeBase* replacing = nullptr);
HRESULT removeChildNode(NodeBase* parent, IXMLDOMNode* child, IXMLDOMNode** out);
HRESULT setNodeText(NodeBase* node, const std::wstring& text);
NodeBase* cloneInto(DocumentImpl* document, const NodeBase* node, bool deep);

// Lists (DomLists.cpp).
IXMLDOMNodeList* makeChildList(NodeBase* parent);
IXMLDOMNodeList* makeStaticList(const std::vector<NodeBase*>& nodes);
IXMLDOMNamedNodeMap* makeAttributeMap(NodeBase* element);

// Selection (DomSelect.cpp): the nodes a path selects from `context`; false with a message for
// an expression outside the supported form.
bool selectPath(NodeBase* context, const std::wstring& path, std::vector<NodeBase*>& result,
                std::wstring& error);
void elementsByTagName(NodeBase* root, const std::wstring& name, std::vector<NodeBase*>& result);

// The HRESULT of a failed file call: 0x80070002 for a missing file, 0x80070003 for a missing
// folder, E_ACCESSDENIED for a refusal, E_FAIL otherwise.
HRESULT fileErrorOf(int error, const std::string& path);

// Writing (DomWrite.cpp): the XML text of a node; documents end each top-level node with CRLF.
std::wstring serialise(const NodeBase* node);

class ElementImpl final : public NodeImpl<IXMLDOMElement> {
  public:
    explicit ElementImpl(DocumentImpl* owner) : NodeImpl(NODE_ELEMENT, owner) {}

    HRESULT get_tagName(BSTR* out) override { return giveText(qualifiedName(), out); }
    HRESULT raw_getAttribute(BSTR name, VARIANT* out) override;
    HRESULT raw_setAttribute(BSTR name, VARIANT value) override;
    HRESULT raw_removeAttribute(BSTR name) override;
    HRESULT raw_getAttributeNode(BSTR name, IXMLDOMAttribute** out) override;
    HRESULT raw_getElementsByTagName(BSTR name, IXMLDOMNodeList** out) override;

    NodeBase* findAttribute(const std::wstring& name) const;
};

class AttributeImpl final : public NodeImpl<IXMLDOMAttribute> {
  public:
    explicit AttributeImpl(DocumentImpl* owner) : NodeImpl(NODE_ATTRIBUTE, owner) {}

    HRESULT get_name(BSTR* out) override { return giveText(qualifiedName(), out); }
    HRESULT get_value(VARIANT* out) override { return get_nodeValue(out); }
    HRESULT put_value(VARIANT value) override { return put_nodeValue(value); }
};

template <class I>
class CharacterDataImpl final : public NodeImpl<I> {
  public:
    CharacterDataImpl(DOMNodeType type, DocumentImpl* owner) : NodeImpl<I>(type, owner) {}

    HRESULT get_data(BSTR* out) override { return giveText(this->value, out); }
    HRESULT put_data(BSTR data) override { return setNodeText(this, textOf(data)); }
    HRESULT get_length(long* out) override {
        if (!out)
            return E_POINTER;
        *out = static_cast<long>(this->value.size());
        return S_OK;
    }
};
using TextImpl = CharacterDataImpl<IXMLDOMText>;
using CommentImpl = CharacterDataImpl<IXMLDOMComment>;
using CDataImpl = CharacterDataImpl<IXMLDOMCDATASection>;

class InstructionImpl final : public NodeImpl<IXMLDOMProcessingInstruction> {
  public:
    explicit InstructionImpl(DocumentImpl* owner) : NodeImpl(NODE_PROCESSING_INSTRUCTION, owner) {}

    HRESULT get_target(BSTR* out) override { return giveText(localName, out); }
    HRESULT get_data(BSTR* out) override { return giveText(value, out); }
    HRESULT put_data(BSTR data) override { return setNodeText(this, textOf(data)); }
};

// Why the last load failed.
struct ParseFailure {
    long code = 0;
    std::wstring reason;
    std::wstring url;
    std::wstring sourceText;
    long line = 0;
    long linePosition = 0;
    long filePosition = 0;
};

class DocumentImpl final : public NodeImpl<IXMLDOMDocument> {
  public:
    DocumentImpl();
    ~DocumentImpl() override;

    // Node factories: a new node of this document, not in its tree, without references.
    ElementImpl* newElement(std::wstring prefix, SharedText localName, SharedText uri);
    AttributeImpl* newAttribute(std::wstring prefix, SharedText localName, SharedText uri,
                                std::wstring value);
    NodeBase* newCharacterData(DOMNodeType type, std::wstring value);
    InstructionImpl* newInstruction(std::wstring target, std::wstring data);

    // Moves the subtree of `node` (from whatever document) into this one.
    void adopt(NodeBase* node);
    // Frees the subtree whose top holds `node` when it is out of the tree and unreferenced.
    void collect(NodeBase* node);
    void retain() { ++m_total; }
    void drop();
    // Takes every child out of the tree (freeing what nothing references).
    void clearTree();
    // Reads XML text into the empty tree (DomRead.cpp); false with `failure` filled.
    bool read(const std::string& bytes, bool fromText, ParseFailure& failure);
    // Writes the document to a file (DomWrite.cpp); an HRESULT and a description on failure.
    HRESULT write(const std::string& path, std::wstring& description) const;

    bool preserveWhiteSpace = false;

    HRESULT get_documentElement(IXMLDOMElement** out) override;
    HRESULT putref_documentElement(IXMLDOMElement* root) override;
    HRESULT raw_createElement(BSTR tagName, IXMLDOMElement** out) override;
    HRESULT raw_createTextNode(BSTR data, IXMLDOMText** out) override;
    HRESULT raw_createComment(BSTR data, IXMLDOMComment** out) override;
    HRESULT raw_createCDATASection(BSTR data, IXMLDOMCDATASection** out) override;
    HRESULT raw_createProcessingInstruction(BSTR target, BSTR data,
                                            IXMLDOMProcessingInstruction** out) override;
    HRESULT raw_createAttribute(BSTR name, IXMLDOMAttribute** out) override;
    HRESULT raw_getElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) override;
    HRESULT raw_createNode(VARIANT type, BSTR name, BSTR namespaceURI, IXMLDOMNode** out) override;
    HRESULT get_parseError(IXMLDOMParseError** out) override;
    HRESULT get_async(VARIANT_BOOL* out) override { return giveFlag(m_async, out); }
    HRESULT put_async(VARIANT_BOOL value) override { return takeFlag(m_async, value); }
    HRESULT raw_load(VARIANT source, VARIANT_BOOL* loaded) override;
    HRESULT raw_loadXML(BSTR xml, VARIANT_BOOL* loaded) override;
    HRESULT raw_save(VARIANT destination) override;
    HRESULT get_preserveWhiteSpace(VARIANT_BOOL* out) override {
        return giveFlag(preserveWhiteSpace, out);
    }
    HRESULT put_preserveWhiteSpace(VARIANT_BOOL value) override {
        return takeFlag(preserveWhiteSpace, value);
    }
    HRESULT get_url(BSTR* out) override { return giveText(m_url, out); }
    HRESULT get_readyState(long* out) override {
        if (!out)
            return E_POINTER;
        *out = 4;
        return S_OK;
    }
    HRESULT get_validateOnParse(VARIANT_BOOL* out) override { return giveFlag(m_validate, out); }
    HRESULT put_validateOnParse(VARIANT_BOOL value) override { return takeFlag(m_validate, value); }
    HRESULT get_resolveExternals(VARIANT_BOOL* out) override { return giveFlag(m_resolve, out); }
    HRESULT put_resolveExternals(VARIANT_BOOL value) override { return takeFlag(m_resolve, value); }

  private:
    static HRESULT giveFlag(bool flag, VARIANT_BOOL* out) {
        if (!out)
            return E_POINTER;
        *out = flag ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    static HRESULT takeFlag(bool& flag, VARIANT_BOOL value) {
        flag = value != VARIANT_FALSE;
        return S_OK;
    }
    template <class T>
    T* own(T* node) {
        node->ownedAt = m_nodes.size();
        m_nodes.push_back(node);
        return node;
    }
    // Takes the node off this document's list of nodes (the last node takes its place).
    void forget(NodeBase* node) {
        NodeBase* last = m_nodes.back();
        m_nodes[node->ownedAt] = last;
        last->ownedAt = node->ownedAt;
        m_nodes.pop_back();
    }
    HRESULT finishLoad(bool ok, VARIANT_BOOL* loaded);
    template <class I>
    HRESULT createCharacterData(DOMNodeType type, BSTR data, I** out);

    friend class NodeBase;
    // Every node the document owns, attached or not, in the order they were made (a list, not a
    // set: a large document is made and freed in one pass over memory).
    std::vector<NodeBase*> m_nodes;
    std::atomic<long> m_total{0};
    bool m_async = true;
    bool m_validate = true;
    bool m_resolve = false;
    std::wstring m_url;
    ParseFailure m_failure;
};

}  // namespace qv::msxml

namespace qv::msxml {
extern template class NodeImpl<IXMLDOMElement>;
extern template class NodeImpl<IXMLDOMAttribute>;
extern template class NodeImpl<IXMLDOMText>;
extern template class NodeImpl<IXMLDOMComment>;
extern template class NodeImpl<IXMLDOMCDATASection>;
extern template class NodeImpl<IXMLDOMProcessingInstruction>;
extern template class NodeImpl<IXMLDOMDocument>;
}  // namespace qv::msxml
