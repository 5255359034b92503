// Reading XML text into a document with libxml2. The parser never touches the network or any
// file: external entities and DTDs are refused, and a document that declares a DTD is not read.
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "msxml/DomInternal.h"
#include "win32/CodePage.h"

namespace qv::msxml {
namespace {

constexpr long kParseErrorCode = static_cast<HRESULT>(0xC00CE500);  // an XML syntax error

xmlParserInputPtr refuseExternal(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void initialiseParser() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternal);
    });
}

struct ReadState {
    bool dtd = false;
};

void onInternalSubset(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    static_cast<ReadState*>(ctxt->_private)->dtd = true;
    xmlStopParser(ctxt);
}

void ignoreError(void*, xmlErrorPtr) {}

std::wstring wide(const xmlChar* text) {
    return text ? qv::utf8ToWide(reinterpret_cast<const char*>(text)) : std::wstring();
}

bool isBlankText(const xmlChar* text) {
    if (!text)
        return true;
    for (; *text; ++text)
        if (!isXmlSpace(static_cast<wchar_t>(*text)))
            return false;
    return true;
}

// The declaration's text when the input starts with one (UTF-8, or UTF-16 with its mark).
bool hasDeclaration(const std::string& bytes) {
    std::size_t i = 0;
    int step = 1, offset = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        i = 3;
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
               static_cast<unsigned char>(bytes[1]) == 0xFE) {
        i = 2, step = 2, offset = 0;
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        i = 2, step = 2, offset = 1;
    }
    const char* expected = "<?xml";
    for (int k = 0; k < 6; ++k) {
        const std::size_t at = i + static_cast<std::size_t>(k * step + offset);
        if (at >= bytes.size())
            return false;
        const char c = bytes[at];
        if (k < 5 ? c != expected[k] : !(c == ' ' || c == '\t' || c == '\r' || c == '\n'))
            return false;
    }
    return true;
}

class Builder {
  public:
    Builder(DocumentImpl* document, xmlDocPtr source) : m_doc(document), m_source(source) {}

    void children(xmlNodePtr first, NodeBase* parent, bool preserve) {
        for (xmlNodePtr n = first; n; n = n->next) {
            NodeBase* node = build(n, preserve);
            if (!node)
                continue;
            node->parent = parent;
            parent->children.push_back(node);
        }
    }

  private:
    NodeBase* build(xmlNodePtr n, bool preserve) {
        switch (n->type) {
            case XML_ELEMENT_NODE:
                return element(n, preserve);
            case XML_TEXT_NODE:
                if (!preserve && isBlankText(n->content))
                    return nullptr;
                return m_doc->newCharacterData(NODE_TEXT, wide(n->content));
            case XML_CDATA_SECTION_NODE:
                return m_doc->newCharacterData(NODE_CDATA_SECTION, wide(n->content));
            case XML_COMMENT_NODE:
                return m_doc->newCharacterData(NODE_COMMENT, wide(n->content));
            case XML_PI_NODE:
                return m_doc->newInstruction(wide(n->name), wide(n->content));
            default:
                return nullptr;
        }
    }

    NodeBase* element(xmlNodePtr n, bool preserve) {
        NodeBase* e = m_doc->newElement(n->ns ? wide(n->ns->prefix) : std::wstring(),
                                        nameOf(n->name), n->ns ? uriOf(n->ns->href) : SharedText());
        for (xmlNsPtr ns = n->nsDef; ns; ns = ns->next) {
            NodeBase* a =
                ns->prefix
                    ? m_doc->newAttribute(L"xmlns", wide(ns->prefix), kXmlnsUri, wide(ns->href))
                    : m_doc->newAttribute(L"", L"xmlns", kXmlnsUri, wide(ns->href));
            a->element = e;
            e->attributes.push_back(a);
        }
        for (xmlAttrPtr attr = n->properties; attr; attr = attr->next) {
            xmlChar* value = xmlNodeListGetString(m_source, attr->children, 1);
            NodeBase* a = m_doc->newAttribute(
                attr->ns ? wide(attr->ns->prefix) : std::wstring(), wide(attr->name),
                attr->ns ? wide(attr->ns->href) : std::wstring(), wide(value));
            xmlFree(value);
            a->element = e;
            e->attributes.push_back(a);
            if (a->prefix == L"xml" && a->localName.str() == L"space")
                preserve = a->value == L"preserve" || m_doc->preserveWhiteSpace;
        }
        children(n->children, e, preserve);
        return e;
    }

    // The element name `name`, shared with the elements of that name read before.
    SharedText nameOf(const xmlChar* name) {
        const std::string_view key = name ? reinterpret_cast<const char*>(name) : "";
        const auto found = m_names.find(key);
        if (found != m_names.end())
            return found->second;
        return m_names.emplace(key, SharedText(wide(name))).first->second;
    }

    // The namespace URI `href` names, shared with the elements read before in the same one.
    SharedText uriOf(const xmlChar* href) {
        if (!href)
            return SharedText();
        if (m_lastHref == nullptr || std::strcmp(reinterpret_cast<const char*>(href),
                                                 reinterpret_cast<const char*>(m_lastHref)) != 0) {
            m_lastUri = SharedText(wide(href));
            m_lastHref = href;
        }
        return m_lastUri;
    }

    DocumentImpl* m_doc;
    xmlDocPtr m_source;
    // Names by their UTF-8 text in the source document, which outlives the builder.
    std::unordered_map<std::string_view, SharedText> m_names;
    const xmlChar* m_lastHref = nullptr;
    SharedText m_lastUri;
};

}  // namespace

bool DocumentImpl::read(const std::string& bytes, bool fromText, ParseFailure& failure) {
    initialiseParser();
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        failure.code = E_OUTOFMEMORY;
        failure.reason = L"The document is too large.";
        return false;
    }
    if (bytes.empty()) {
        failure.code = kParseErrorCode;
        failure.reason = L"The document is empty.";
        return false;
    }
    xmlParserCtxtPtr ctxt = xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
    if (!ctxt) {
        failure.code = E_OUTOFMEMORY;
        failure.reason = L"Not enough memory to read the document.";
        return false;
    }
    ReadState state;
    ctxt->_private = &state;
    ctxt->sax->internalSubset = onInternalSubset;
    ctxt->sax->serror = ignoreError;
    ctxt->sax->initialized = XML_SAX2_MAGIC;
    // The parsed tree is only read and then freed: its names come from the parser's dictionary
    // and short texts are kept in their nodes, sparing the allocator a block for each.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;
    if (fromText) {
        options |= XML_PARSE_IGNORE_ENC;
        xmlSwitchEncoding(ctxt, XML_CHAR_ENCODING_UTF8);
    }
    xmlCtxtUseOptions(ctxt, options);
    ctxt->sax->serror = ignoreError;
    xmlParseDocument(ctxt);
    xmlDocPtr source = ctxt->myDoc;
    const bool ok = ctxt->wellFormed && !state.dtd && source && xmlDocGetRootElement(source);
    if (!ok) {
        failure.code = kParseErrorCode;
        if (state.dtd) {
            failure.reason = L"DTD is prohibited.";
        } else if (ctxt->lastError.message) {
            failure.reason = qv::utf8ToWide(ctxt->lastError.message);
            while (!failure.reason.empty() &&
                   (failure.reason.back() == L'\n' || failure.reason.back() == L'\r'))
                failure.reason.pop_back();
        } else {
            failure.reason = L"The document has no root element.";
        }
        failure.line = ctxt->lastError.line;
        failure.linePosition = ctxt->lastError.int2;
        failure.filePosition = static_cast<long>(xmlByteConsumed(ctxt));
    } else {
        if (!fromText && hasDeclaration(bytes)) {
            std::wstring data =
                L"version=\"" + wide(source->version ? source->version : BAD_CAST "1.0") + L"\"";
            if (source->encoding)
                data += L" encoding=\"" + wide(source->encoding) + L"\"";
            if (source->standalone == 1)
                data += L" standalone=\"yes\"";
            if (source->standalone == 0)
                data += L" standalone=\"no\"";
            NodeBase* declaration = newInstruction(L"xml", data);
            declaration->parent = this;
            children.push_back(declaration);
        } else if (fromText && bytes.compare(0, 5, "<?xml") == 0) {
            const auto end = bytes.find("?>");
            std::string data = bytes.substr(5, end == std::string::npos ? 0 : end - 5);
            const auto first = data.find_first_not_of(" \t\r\n");
            const auto last = data.find_last_not_of(" \t\r\n");
            data =
                first == std::string::npos ? std::string() : data.substr(first, last - first + 1);
            NodeBase* declaration = newInstruction(L"xml", qv::utf8ToWide(data));
            declaration->parent = this;
            children.push_back(declaration);
        }
        Builder(this, source).children(source->children, this, preserveWhiteSpace);
    }
    if (source)
        xmlFreeDoc(source);
    ctxt->myDoc = nullptr;
    xmlFreeParserCtxt(ctxt);
    return ok;
}

}  // namespace qv::msxml
