// The document: node ownership, node creation, loading and saving, and the class registration.
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <utility>

#include "com/ComRuntime.h"
#include "win32/CodePage.h"
#include "msxml/DomInternal.h"
#include "msxml/FilePath.h"

namespace qv::msxml {

namespace {

constexpr long kMaxFileBytes = 512L * 1024 * 1024;

HRESULT fileError(int error, const std::string& path) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: {
            // A missing file in an existing folder, or a missing folder.
            const auto slash = path.rfind('/');
            const std::string folder =
                slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
            struct stat st;
            const bool folderExists = ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            return HRESULT_FROM_WIN32(folderExists ? 2 : 3);
        }
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return E_ACCESSDENIED;
        default:
            return E_FAIL;
    }
}

std::wstring messageOf(HRESULT hr) {
    std::wstring text = qv::com::systemMessage(hr);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    return text.empty() ? L"Unspecified error" : text;
}

// Reads a whole file; an HRESULT on failure.
HRESULT readFile(const std::string& path, std::string& bytes) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return E_ACCESSDENIED;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return fileError(errno, path);
    bytes.clear();
    char buffer[65536];
    std::size_t n = 0;
    HRESULT hr = S_OK;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, n);
        if (static_cast<long>(bytes.size()) > kMaxFileBytes) {
            hr = E_OUTOFMEMORY;
            break;
        }
    }
    if (SUCCEEDED(hr) && std::ferror(file))
        hr = E_FAIL;
    std::fclose(file);
    return hr;
}

DOMNodeType nodeTypeFromName(const std::wstring& name) {
    static const struct {
        const wchar_t* name;
        DOMNodeType type;
    } names[] = {
        {L"element", NODE_ELEMENT},
        {L"attribute", NODE_ATTRIBUTE},
        {L"text", NODE_TEXT},
        {L"cdatasection", NODE_CDATA_SECTION},
        {L"processinginstruction", NODE_PROCESSING_INSTRUCTION},
        {L"comment", NODE_COMMENT},
        {L"document", NODE_DOCUMENT},
    };
    for (const auto& n : names)
        if (name == n.name)
            return n.type;
    return NODE_INVALID;
}

void splitName(const std::wstring& name, std::wstring& prefix, std::wstring& local) {
    const auto colon = name.find(L':');
    prefix = colon == std::wstring::npos ? std::wstring() : name.substr(0, colon);
    local = colon == std::wstring::npos ? name : name.substr(colon + 1);
}

HRESULT badName(const std::wstring& name) {
    return fail(E_FAIL, L"\"" + name + L"\" is not a valid name.");
}

}  // namespace

// ---- ownership ------------------------------------------------------------------------------

DocumentImpl::DocumentImpl() : NodeImpl(NODE_DOCUMENT, this) {}

DocumentImpl::~DocumentImpl() {
    for (NodeBase* n : m_nodes)
        delete n;
}

ElementImpl* DocumentImpl::newElement(std::wstring p, SharedText l, SharedText u) {
    auto* e = own(new ElementImpl(this));
    e->prefix = std::move(p);
    e->localName = std::move(l);
    e->uri = std::move(u);
    return e;
}

AttributeImpl* DocumentImpl::newAttribute(std::wstring p, SharedText l, SharedText u,
                                          std::wstring v) {
    auto* a = own(new AttributeImpl(this));
    a->prefix = std::move(p);
    a->localName = std::move(l);
    a->uri = std::move(u);
    a->value = std::move(v);
    return a;
}

NodeBase* DocumentImpl::newCharacterData(DOMNodeType t, std::wstring v) {
    NodeBase* n = nullptr;
    if (t == NODE_COMMENT) {
        n = own(new CommentImpl(t, this));
    } else if (t == NODE_CDATA_SECTION) {
        n = own(new CDataImpl(t, this));
    } else {
        n = own(new TextImpl(NODE_TEXT, this));
    }
    n->value = std::move(v);
    return n;
}

InstructionImpl* DocumentImpl::newInstruction(std::wstring target, std::wstring data) {
    auto* i = own(new InstructionImpl(this));
    i->localName = std::move(target);
    i->value = std::move(data);
    return i;
}

void DocumentImpl::adopt(NodeBase* node) {
    DocumentImpl* from = node->owner;
    if (from == this)
        return;
    std::vector<NodeBase*> nodes;
    node->collectSubtree(nodes);
    long moved = 0;
    for (NodeBase* n : nodes) {
        from->forget(n);
        own(n);
        n->owner = this;
        moved += static_cast<long>(n->refs);
    }
    m_total += moved;
    if ((from->m_total -= moved) == 0)
        delete from;
}

void DocumentImpl::collect(NodeBase* node) {
    NodeBase* top = node;
    while (top->container())
        top = top->container();
    if (top == this)
        return;
    // A tree whose top is still held is kept whole: no need to look further (building a large
    // detached tree would otherwise walk it once per released child).
    if (top->refs > 0)
        return;
    std::vector<NodeBase*> nodes;
    top->collectSubtree(nodes);
    for (const NodeBase* n : nodes)
        if (n->refs > 0)
            return;
    for (NodeBase* n : nodes) {
        forget(n);
        delete n;
    }
}

void DocumentImpl::drop() {
    if (--m_total == 0)
        delete this;
}

void DocumentImpl::clearTree() {
    std::vector<NodeBase*> old;
    old.swap(children);
    for (NodeBase* c : old) {
        c->parent = nullptr;
        collect(c);
    }
}

// ---- the document's tree --------------------------------------------------------------------

HRESULT DocumentImpl::get_documentElement(IXMLDOMElement** out) {
    for (NodeBase* c : children)
        if (c->type == NODE_ELEMENT)
            return giveNode(c, out);
    return giveNode(static_cast<NodeBase*>(nullptr), out);
}

HRESULT DocumentImpl::putref_documentElement(IXMLDOMElement* root) {
    NodeBase* old = nullptr;
    for (NodeBase* c : children)
        if (c->type == NODE_ELEMENT)
            old = c;
    if (!root) {
        if (old)
            return removeChildNode(this, old->face(), nullptr);
        return S_OK;
    }
    if (old)
        return raw_replaceChild(root, old->face(), nullptr);
    return insertChild(this, root, nullptr, nullptr);
}

HRESULT DocumentImpl::raw_createElement(BSTR tagName, IXMLDOMElement** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const std::wstring name = textOf(tagName);
    if (!isValidName(name))
        return badName(name);
    std::wstring prefix, local;
    splitName(name, prefix, local);
    if (!prefix.empty() && prefix != L"xml")
        return fail(E_FAIL, L"The prefix \"" + prefix + L"\" needs a namespace: use createNode.");
    return giveNode(newElement(prefix, local, prefix.empty() ? L"" : kXmlUri), out);
}

// A new text, comment or CDATA node holding `data` (checked as put_data checks it).
template <class I>
HRESULT DocumentImpl::createCharacterData(DOMNodeType type, BSTR data, I** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    NodeBase* n = newCharacterData(type, L"");
    if (HRESULT hr = setNodeText(n, textOf(data)); FAILED(hr)) {
        collect(n);
        return hr;
    }
    return giveNode(n, out);
}

HRESULT DocumentImpl::raw_createTextNode(BSTR data, IXMLDOMText** out) {
    return createCharacterData(NODE_TEXT, data, out);
}

HRESULT DocumentImpl::raw_createComment(BSTR data, IXMLDOMComment** out) {
    return createCharacterData(NODE_COMMENT, data, out);
}

HRESULT DocumentImpl::raw_createCDATASection(BSTR data, IXMLDOMCDATASection** out) {
    return createCharacterData(NODE_CDATA_SECTION, data, out);
}

HRESULT DocumentImpl::raw_createProcessingInstruction(BSTR target, BSTR data,
                                                      IXMLDOMProcessingInstruction** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const std::wstring name = textOf(target);
    if (!isValidName(name) || name.find(L':') != std::wstring::npos)
        return badName(name);
    InstructionImpl* n = newInstruction(name, L"");
    if (HRESULT hr = setNodeText(n, textOf(data)); FAILED(hr)) {
        collect(n);
        return hr;
    }
    return giveNode(n, out);
}

HRESULT DocumentImpl::raw_createAttribute(BSTR nameText, IXMLDOMAttribute** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const std::wstring name = textOf(nameText);
    if (!isValidName(name))
        return badName(name);
    std::wstring prefix, local;
    splitName(name, prefix, local);
    std::wstring uri;
    if (prefix == L"xmlns" || name == L"xmlns") {
        uri = kXmlnsUri;
    } else if (prefix == L"xml") {
        uri = kXmlUri;
    } else if (!prefix.empty()) {
        return fail(E_FAIL, L"The prefix \"" + prefix + L"\" needs a namespace: use createNode.");
    }
    return giveNode(newAttribute(prefix, local, uri, L""), out);
}

HRESULT DocumentImpl::raw_getElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) {
    if (!out)
        return E_POINTER;
    std::vector<NodeBase*> nodes;
    for (NodeBase* c : children)
        elementsByTagName(c, textOf(tagName), nodes);
    *out = makeStaticList(nodes);
    return S_OK;
}

HRESULT DocumentImpl::raw_createNode(VARIANT typeValue, BSTR nameText, BSTR namespaceURI,
                                     IXMLDOMNode** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    DOMNodeType type = NODE_INVALID;
    if (typeValue.vt == VT_BSTR) {
        type = nodeTypeFromName(textOf(typeValue.bstrVal));
    } else {
        _variant_t number;
        if (SUCCEEDED(VariantChangeType(&number, &typeValue, 0, VT_I4)))
            type = static_cast<DOMNodeType>(number.lVal);
    }
    const std::wstring name = textOf(nameText);
    const std::wstring uri = textOf(namespaceURI);
    std::wstring prefix, local;
    splitName(name, prefix, local);
    switch (type) {
        case NODE_ELEMENT:
        case NODE_ATTRIBUTE: {
            if (!isValidName(name))
                return badName(name);
            if (!prefix.empty() && uri.empty() && prefix != L"xml" && prefix != L"xmlns")
                return fail(E_FAIL, L"The prefix \"" + prefix + L"\" needs a namespace URI.");
            std::wstring nodeUri = uri;
            if (prefix == L"xml")
                nodeUri = kXmlUri;
            if (prefix == L"xmlns" || (type == NODE_ATTRIBUTE && name == L"xmlns"))
                nodeUri = kXmlnsUri;
            if (type == NODE_ELEMENT)
                return giveNode(newElement(prefix, local, nodeUri), out);
            return giveNode(newAttribute(prefix, local, nodeUri, L""), out);
        }
        case NODE_TEXT:
        case NODE_CDATA_SECTION:
        case NODE_COMMENT:
            return giveNode(newCharacterData(type, L""), out);
        case NODE_PROCESSING_INSTRUCTION:
            if (!isValidName(name) || !prefix.empty())
                return badName(name);
            return giveNode(newInstruction(name, L""), out);
        case NODE_INVALID:
        case NODE_ENTITY_REFERENCE:
        case NODE_ENTITY:
        case NODE_DOCUMENT:
        case NODE_DOCUMENT_TYPE:
        case NODE_DOCUMENT_FRAGMENT:
        case NODE_NOTATION:
            break;
    }
    return fail(E_INVALIDARG, L"This DOM cannot create a node of that type.");
}

// ---- parse errors ---------------------------------------------------------------------------

namespace {

class ParseError final : public qv::com::Object<IXMLDOMParseError> {
  public:
    explicit ParseError(const ParseFailure& f) : m_f(f) {}

    HRESULT get_errorCode(long* out) override { return give(m_f.code, out); }
    HRESULT get_url(BSTR* out) override { return giveText(m_f.url, out); }
    HRESULT get_reason(BSTR* out) override { return giveText(m_f.reason, out); }
    HRESULT get_srcText(BSTR* out) override { return giveText(m_f.sourceText, out); }
    HRESULT get_line(long* out) override { return give(m_f.line, out); }
    HRESULT get_linepos(long* out) override { return give(m_f.linePosition, out); }
    HRESULT get_filepos(long* out) override { return give(m_f.filePosition, out); }

  private:
    static HRESULT give(long value, long* out) {
        if (!out)
            return E_POINTER;
        *out = value;
        return S_OK;
    }
    ParseFailure m_f;
};

}  // namespace

HRESULT DocumentImpl::get_parseError(IXMLDOMParseError** out) {
    if (!out)
        return E_POINTER;
    *out = new ParseError(m_failure);
    (*out)->AddRef();
    return S_OK;
}

// ---- load and save --------------------------------------------------------------------------

HRESULT DocumentImpl::finishLoad(bool ok, VARIANT_BOOL* loaded) {
    if (!ok)
        clearTree();
    if (loaded)
        *loaded = ok ? VARIANT_TRUE : VARIANT_FALSE;
    return ok ? S_OK : S_FALSE;
}

HRESULT DocumentImpl::raw_load(VARIANT source, VARIANT_BOOL* loaded) {
    clearTree();
    m_failure = ParseFailure();
    m_url.clear();
    _variant_t path;
    if (FAILED(VariantChangeType(&path, &source, 0, VT_BSTR)) || SysStringLen(path.bstrVal) == 0) {
        m_failure.code = E_INVALIDARG;
        m_failure.reason = L"The document source must be a file name.";
        return finishLoad(false, loaded);
    }
    const std::wstring name = textOf(path.bstrVal);
    m_failure.url = name;
    std::string bytes;
    const HRESULT hr = readFile(nativePath(name), bytes);
    if (FAILED(hr)) {
        m_failure.code = hr;
        m_failure.reason = messageOf(hr);
        return finishLoad(false, loaded);
    }
    const bool ok = read(bytes, false, m_failure);
    if (ok) {
        m_url = name;
        m_failure = ParseFailure();
    } else {
        m_failure.url = name;
    }
    return finishLoad(ok, loaded);
}

HRESULT DocumentImpl::raw_loadXML(BSTR xml, VARIANT_BOOL* loaded) {
    clearTree();
    m_failure = ParseFailure();
    m_url.clear();
    const bool ok = read(qv::wideToUtf8(textOf(xml)), true, m_failure);
    if (ok)
        m_failure = ParseFailure();
    return finishLoad(ok, loaded);
}

HRESULT DocumentImpl::raw_save(VARIANT destination) {
    _variant_t path;
    if (FAILED(VariantChangeType(&path, &destination, 0, VT_BSTR)) ||
        SysStringLen(path.bstrVal) == 0)
        return fail(E_INVALIDARG, L"The destination must be a file name.");
    std::wstring description;
    const HRESULT hr = write(nativePath(textOf(path.bstrVal)), description);
    if (FAILED(hr))
        return fail(hr, description.empty() ? messageOf(hr) : description);
    return S_OK;
}

namespace {
const bool g_registered = [] {
    qv::com::registerClass(
        __uuidof(MSXML2::DOMDocument),
        {L"Msxml2.DOMDocument", L"Msxml2.DOMDocument.3.0", L"Msxml2.DOMDocument.6.0",
         L"Microsoft.XMLDOM"},
        [] { return static_cast<IUnknown*>(static_cast<IXMLDOMDocument*>(new DocumentImpl())); });
    return true;
}();
}  // namespace

// Helpers declared in DomInternal.h for other files.
HRESULT fileErrorOf(int error, const std::string& path) {
    return fileError(error, path);
}

}  // namespace qv::msxml
