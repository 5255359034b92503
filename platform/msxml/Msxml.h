// The MSXML DOM: the interfaces of "Msxml2.DOMDocument" in namespace MSXML2, in the form that
// the type-library import of MSXML gives C++ code.
//
// Each interface has two layers:
//  - raw methods that return an HRESULT and hand results through out parameters, named as the
//    import names them (`get_text(BSTR*)` and `put_text(BSTR)` for a property,
//    `raw_appendChild(IXMLDOMNode*, IXMLDOMNode**)` for a method); out pointers come back with a
//    reference the caller releases;
//  - wrapper methods that return the result and raise _com_error (with the object's error
//    information: Description() and Source()) when the raw call fails.
// Properties have a wrapper getter `Getname()` and setter `Putname(value)`: where Windows code
// writes `node->text` and `node->text = value`, write `node->Gettext()` and
// `node->Puttext(value)`; `list->length` is `list->Getlength()`, `list->item[i]` is
// `list->Getitem(i)`, `doc->async = VARIANT_FALSE` is `doc->Putasync(VARIANT_FALSE)`.
// Methods keep their names: `doc->createNode(_variant_t(NODE_ELEMENT), name, ns)`,
// `doc->load(path)`, `node->selectNodes(L"/*")`, `parent->appendChild(child)`.
//
// Behaviour of the document (see MsxmlDocument.cpp for the details):
//  - Every node belongs to one document and keeps it alive. A node made by one document can be
//    appended to a node of another: it moves there (with its subtree) and keeps its identity.
//  - `load` (a file path, Windows or POSIX) and `loadXML` never raise: on any failure the
//    document is left empty, they return VARIANT_FALSE and `parseError` tells why. Parsing never
//    reads the network, external entities or DTDs; a document with a DTD is refused.
//  - White space: unless `preserveWhiteSpace` is set (or xml:space="preserve" is in force),
//    text nodes of white space only are dropped when a document is read, and `text` of an
//    element, a document or a text node is trimmed with inner runs of white space made one
//    blank.
//  - `save` writes the document with the declaration as it stands in it (a processing
//    instruction "xml"), in the encoding it names (UTF-8 when it names none), and a CRLF after
//    each top-level node; it raises _com_error when the folder is missing (0x80070003), the
//    file or folder is not writable (E_ACCESSDENIED) or the encoding is unknown. A file is
//    replaced whole or not at all.
//  - `selectNodes` and `selectSingleNode` take location paths made of steps separated by "/"
//    or "//", optionally starting with "/": a name (compared with the node name as written,
//    prefix included), "*", ".", "..", "@name", "@*", "text()", "node()", "comment()",
//    "processing-instruction()", each with optional "[n]" (1-based) or "[last()]". Other
//    expressions fail with E_FAIL.
#pragma once

#include "../com/Bstr.h"
#include "../com/ComError.h"
#include "../com/ComPtr.h"
#include "../com/Unknown.h"
#include "../com/Variant.h"

namespace MSXML2 {

enum DOMNodeType {
    NODE_INVALID = 0,
    NODE_ELEMENT = 1,
    NODE_ATTRIBUTE = 2,
    NODE_TEXT = 3,
    NODE_CDATA_SECTION = 4,
    NODE_ENTITY_REFERENCE = 5,
    NODE_ENTITY = 6,
    NODE_PROCESSING_INSTRUCTION = 7,
    NODE_COMMENT = 8,
    NODE_DOCUMENT = 9,
    NODE_DOCUMENT_TYPE = 10,
    NODE_DOCUMENT_FRAGMENT = 11,
    NODE_NOTATION = 12
};

struct IXMLDOMNode;
struct IXMLDOMNodeList;
struct IXMLDOMNamedNodeMap;
struct IXMLDOMDocument;
struct IXMLDOMElement;
struct IXMLDOMAttribute;
struct IXMLDOMCharacterData;
struct IXMLDOMText;
struct IXMLDOMComment;
struct IXMLDOMCDATASection;
struct IXMLDOMProcessingInstruction;
struct IXMLDOMParseError;

_COM_SMARTPTR_TYPEDEF(IXMLDOMNode, __uuidof(IXMLDOMNode));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNodeList, __uuidof(IXMLDOMNodeList));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNamedNodeMap, __uuidof(IXMLDOMNamedNodeMap));
_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument, __uuidof(IXMLDOMDocument));
_COM_SMARTPTR_TYPEDEF(IXMLDOMElement, __uuidof(IXMLDOMElement));
_COM_SMARTPTR_TYPEDEF(IXMLDOMAttribute, __uuidof(IXMLDOMAttribute));
_COM_SMARTPTR_TYPEDEF(IXMLDOMCharacterData, __uuidof(IXMLDOMCharacterData));
_COM_SMARTPTR_TYPEDEF(IXMLDOMText, __uuidof(IXMLDOMText));
_COM_SMARTPTR_TYPEDEF(IXMLDOMComment, __uuidof(IXMLDOMComment));
_COM_SMARTPTR_TYPEDEF(IXMLDOMCDATASection, __uuidof(IXMLDOMCDATASection));
_COM_SMARTPTR_TYPEDEF(IXMLDOMProcessingInstruction, __uuidof(IXMLDOMProcessingInstruction));
_COM_SMARTPTR_TYPEDEF(IXMLDOMParseError, __uuidof(IXMLDOMParseError));

struct IXMLDOMNode : IDispatch {
    static constexpr IID qvIid = {
        0x0C7A0615, 0xB373, 0x474C, {0xAA, 0x61, 0x22, 0x89, 0xCB, 0x59, 0x09, 0x0A}};
    using qvBase = IDispatch;

    // Raw methods.
    virtual HRESULT get_nodeName(BSTR* name) = 0;
    virtual HRESULT get_nodeValue(VARIANT* value) = 0;  // VT_NULL for elements and documents
    virtual HRESULT put_nodeValue(VARIANT value) = 0;
    virtual HRESULT get_nodeType(DOMNodeType* type) = 0;
    virtual HRESULT get_parentNode(IXMLDOMNode** parent) = 0;        // S_FALSE and null when none
    virtual HRESULT get_childNodes(IXMLDOMNodeList** children) = 0;  // a live list
    virtual HRESULT get_firstChild(IXMLDOMNode** child) = 0;
    virtual HRESULT get_lastChild(IXMLDOMNode** child) = 0;
    virtual HRESULT get_previousSibling(IXMLDOMNode** sibling) = 0;
    virtual HRESULT get_nextSibling(IXMLDOMNode** sibling) = 0;
    virtual HRESULT get_attributes(IXMLDOMNamedNodeMap** attributes) = 0;  // null unless element
    // Inserts before `refChild` (a node in a VT_UNKNOWN/VT_DISPATCH variant; empty or null
    // appends). A node that is elsewhere moves here.
    virtual HRESULT raw_insertBefore(IXMLDOMNode* newChild, VARIANT refChild,
                                     IXMLDOMNode** result) = 0;
    virtual HRESULT raw_replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild,
                                     IXMLDOMNode** result) = 0;
    virtual HRESULT raw_removeChild(IXMLDOMNode* child, IXMLDOMNode** result) = 0;
    virtual HRESULT raw_appendChild(IXMLDOMNode* newChild, IXMLDOMNode** result) = 0;
    virtual HRESULT raw_hasChildNodes(VARIANT_BOOL* has) = 0;
    virtual HRESULT get_ownerDocument(IXMLDOMDocument** document) = 0;
    virtual HRESULT raw_cloneNode(VARIANT_BOOL deep, IXMLDOMNode** clone) = 0;
    virtual HRESULT get_nodeTypeString(BSTR* type) = 0;
    virtual HRESULT get_text(BSTR* text) = 0;
    virtual HRESULT put_text(BSTR text) = 0;
    virtual HRESULT get_xml(BSTR* xml) = 0;
    virtual HRESULT raw_selectNodes(BSTR path, IXMLDOMNodeList** nodes) = 0;
    virtual HRESULT raw_selectSingleNode(BSTR path, IXMLDOMNode** node) = 0;  // S_FALSE, null: none
    virtual HRESULT get_namespaceURI(BSTR* uri) = 0;
    virtual HRESULT get_prefix(BSTR* prefix) = 0;
    virtual HRESULT get_baseName(BSTR* name) = 0;

    // Wrappers.
    _bstr_t GetnodeName();
    _variant_t GetnodeValue();
    void PutnodeValue(const _variant_t& value);
    DOMNodeType GetnodeType();
    IXMLDOMNodePtr GetparentNode();
    IXMLDOMNodeListPtr GetchildNodes();
    IXMLDOMNodePtr GetfirstChild();
    IXMLDOMNodePtr GetlastChild();
    IXMLDOMNodePtr GetpreviousSibling();
    IXMLDOMNodePtr GetnextSibling();
    IXMLDOMNamedNodeMapPtr Getattributes();
    IXMLDOMNodePtr insertBefore(IXMLDOMNode* newChild, const _variant_t& refChild);
    IXMLDOMNodePtr replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild);
    IXMLDOMNodePtr removeChild(IXMLDOMNode* child);
    IXMLDOMNodePtr appendChild(IXMLDOMNode* newChild);
    VARIANT_BOOL hasChildNodes();
    IXMLDOMDocumentPtr GetownerDocument();
    IXMLDOMNodePtr cloneNode(VARIANT_BOOL deep);
    _bstr_t GetnodeTypeString();
    _bstr_t Gettext();
    void Puttext(_bstr_t text);
    _bstr_t Getxml();
    IXMLDOMNodeListPtr selectNodes(_bstr_t path);
    IXMLDOMNodePtr selectSingleNode(_bstr_t path);
    _bstr_t GetnamespaceURI();
    _bstr_t Getprefix();
    _bstr_t GetbaseName();
};

struct IXMLDOMNodeList : IDispatch {
    static constexpr IID qvIid = {
        0x133B3F59, 0x6A70, 0x45ED, {0xBA, 0x66, 0xBB, 0xE9, 0x44, 0x8D, 0x95, 0xE5}};
    using qvBase = IDispatch;

    virtual HRESULT get_item(long index, IXMLDOMNode** node) = 0;  // S_FALSE, null out of range
    virtual HRESULT get_length(long* length) = 0;
    virtual HRESULT raw_nextNode(IXMLDOMNode** node) = 0;  // S_FALSE, null past the end
    virtual HRESULT raw_reset() = 0;

    IXMLDOMNodePtr Getitem(long index);
    long Getlength();
    IXMLDOMNodePtr nextNode();
    void reset();
};

struct IXMLDOMNamedNodeMap : IDispatch {
    static constexpr IID qvIid = {
        0x41AF6ED7, 0x6A8B, 0x4156, {0x98, 0x17, 0x78, 0x48, 0xF5, 0x25, 0x72, 0x7B}};
    using qvBase = IDispatch;

    virtual HRESULT raw_getNamedItem(BSTR name, IXMLDOMNode** node) = 0;  // S_FALSE, null: none
    virtual HRESULT get_item(long index, IXMLDOMNode** node) = 0;
    virtual HRESULT get_length(long* length) = 0;
    virtual HRESULT raw_nextNode(IXMLDOMNode** node) = 0;
    virtual HRESULT raw_reset() = 0;

    IXMLDOMNodePtr getNamedItem(_bstr_t name);
    IXMLDOMNodePtr Getitem(long index);
    long Getlength();
    IXMLDOMNodePtr nextNode();
    void reset();
};

struct IXMLDOMParseError : IDispatch {
    static constexpr IID qvIid = {
        0x2C14A1B2, 0x21CB, 0x48D6, {0xA7, 0xC7, 0x39, 0x5C, 0xC4, 0x68, 0x6F, 0x50}};
    using qvBase = IDispatch;

    virtual HRESULT get_errorCode(long* code) = 0;  // 0 after a successful load
    virtual HRESULT get_url(BSTR* url) = 0;
    virtual HRESULT get_reason(BSTR* reason) = 0;
    virtual HRESULT get_srcText(BSTR* text) = 0;
    virtual HRESULT get_line(long* line) = 0;
    virtual HRESULT get_linepos(long* position) = 0;
    virtual HRESULT get_filepos(long* position) = 0;

    long GeterrorCode();
    _bstr_t Geturl();
    _bstr_t Getreason();
    _bstr_t GetsrcText();
    long Getline();
    long Getlinepos();
    long Getfilepos();
};

struct IXMLDOMDocument : IXMLDOMNode {
    static constexpr IID qvIid = {
        0x5D4AAB58, 0x13C9, 0x46CC, {0xAD, 0x45, 0x26, 0x31, 0xE4, 0x2E, 0x85, 0x6A}};
    using qvBase = IXMLDOMNode;

    virtual HRESULT get_documentElement(IXMLDOMElement** root) = 0;  // S_FALSE, null: none
    virtual HRESULT putref_documentElement(IXMLDOMElement* root) = 0;
    virtual HRESULT raw_createElement(BSTR tagName, IXMLDOMElement** element) = 0;
    virtual HRESULT raw_createTextNode(BSTR data, IXMLDOMText** text) = 0;
    virtual HRESULT raw_createComment(BSTR data, IXMLDOMComment** comment) = 0;
    virtual HRESULT raw_createCDATASection(BSTR data, IXMLDOMCDATASection** section) = 0;
    virtual HRESULT raw_createProcessingInstruction(BSTR target, BSTR data,
                                                    IXMLDOMProcessingInstruction** instruction) = 0;
    virtual HRESULT raw_createAttribute(BSTR name, IXMLDOMAttribute** attribute) = 0;
    virtual HRESULT raw_getElementsByTagName(BSTR tagName, IXMLDOMNodeList** elements) = 0;
    // `type` is a DOMNodeType number or its name ("element", ...); `name` may carry a prefix.
    virtual HRESULT raw_createNode(VARIANT type, BSTR name, BSTR namespaceURI,
                                   IXMLDOMNode** node) = 0;
    virtual HRESULT get_parseError(IXMLDOMParseError** error) = 0;
    virtual HRESULT get_async(VARIANT_BOOL* async) = 0;
    virtual HRESULT put_async(VARIANT_BOOL async) = 0;
    virtual HRESULT raw_load(VARIANT source, VARIANT_BOOL* loaded) = 0;  // S_FALSE when not loaded
    virtual HRESULT raw_loadXML(BSTR xml, VARIANT_BOOL* loaded) = 0;
    virtual HRESULT raw_save(VARIANT destination) = 0;
    virtual HRESULT get_preserveWhiteSpace(VARIANT_BOOL* preserve) = 0;
    virtual HRESULT put_preserveWhiteSpace(VARIANT_BOOL preserve) = 0;
    virtual HRESULT get_url(BSTR* url) = 0;
    virtual HRESULT get_readyState(long* state) = 0;  // 4 (complete)
    virtual HRESULT get_validateOnParse(VARIANT_BOOL* validate) = 0;
    virtual HRESULT put_validateOnParse(VARIANT_BOOL validate) = 0;
    virtual HRESULT get_resolveExternals(VARIANT_BOOL* resolve) = 0;
    virtual HRESULT put_resolveExternals(VARIANT_BOOL resolve) = 0;  // kept, never acted on

    IXMLDOMElementPtr GetdocumentElement();
    void PutRefdocumentElement(IXMLDOMElement* root);
    IXMLDOMElementPtr createElement(_bstr_t tagName);
    IXMLDOMTextPtr createTextNode(_bstr_t data);
    IXMLDOMCommentPtr createComment(_bstr_t data);
    IXMLDOMCDATASectionPtr createCDATASection(_bstr_t data);
    IXMLDOMProcessingInstructionPtr createProcessingInstruction(_bstr_t target, _bstr_t data);
    IXMLDOMAttributePtr createAttribute(_bstr_t name);
    IXMLDOMNodeListPtr getElementsByTagName(_bstr_t tagName);
    IXMLDOMNodePtr createNode(const _variant_t& type, _bstr_t name, _bstr_t namespaceURI);
    IXMLDOMParseErrorPtr GetparseError();
    VARIANT_BOOL Getasync();
    void Putasync(VARIANT_BOOL async);
    VARIANT_BOOL load(const _variant_t& source);
    VARIANT_BOOL loadXML(_bstr_t xml);
    HRESULT save(const _variant_t& destination);
    VARIANT_BOOL GetpreserveWhiteSpace();
    void PutpreserveWhiteSpace(VARIANT_BOOL preserve);
    _bstr_t Geturl();
    long GetreadyState();
    VARIANT_BOOL GetvalidateOnParse();
    void PutvalidateOnParse(VARIANT_BOOL validate);
    VARIANT_BOOL GetresolveExternals();
    void PutresolveExternals(VARIANT_BOOL resolve);
};

struct IXMLDOMElement : IXMLDOMNode {
    static constexpr IID qvIid = {
        0xCD488F79, 0xCD8C, 0x48A4, {0xA2, 0x35, 0xE3, 0x83, 0xC2, 0xC7, 0x12, 0x65}};
    using qvBase = IXMLDOMNode;

    virtual HRESULT get_tagName(BSTR* name) = 0;
    virtual HRESULT raw_getAttribute(BSTR name, VARIANT* value) = 0;  // S_FALSE, VT_NULL: none
    virtual HRESULT raw_setAttribute(BSTR name, VARIANT value) = 0;   // the value as text
    virtual HRESULT raw_removeAttribute(BSTR name) = 0;
    virtual HRESULT raw_getAttributeNode(BSTR name, IXMLDOMAttribute** attribute) = 0;
    virtual HRESULT raw_getElementsByTagName(BSTR tagName, IXMLDOMNodeList** elements) = 0;

    _bstr_t GettagName();
    _variant_t getAttribute(_bstr_t name);
    HRESULT setAttribute(_bstr_t name, const _variant_t& value);
    HRESULT removeAttribute(_bstr_t name);
    IXMLDOMAttributePtr getAttributeNode(_bstr_t name);
    IXMLDOMNodeListPtr getElementsByTagName(_bstr_t tagName);
};

struct IXMLDOMAttribute : IXMLDOMNode {
    static constexpr IID qvIid = {
        0x446BC7EA, 0xB517, 0x46F9, {0x89, 0x36, 0xC7, 0xB9, 0x28, 0xCC, 0x23, 0x24}};
    using qvBase = IXMLDOMNode;

    virtual HRESULT get_name(BSTR* name) = 0;
    virtual HRESULT get_value(VARIANT* value) = 0;
    virtual HRESULT put_value(VARIANT value) = 0;

    _bstr_t Getname();
    _variant_t Getvalue();
    void Putvalue(const _variant_t& value);
};

struct IXMLDOMCharacterData : IXMLDOMNode {
    static constexpr IID qvIid = {
        0x6EE83166, 0x5737, 0x4BAB, {0xA5, 0x3D, 0x9E, 0x96, 0x87, 0x0E, 0xE0, 0x33}};
    using qvBase = IXMLDOMNode;

    virtual HRESULT get_data(BSTR* data) = 0;
    virtual HRESULT put_data(BSTR data) = 0;
    virtual HRESULT get_length(long* length) = 0;

    _bstr_t Getdata();
    void Putdata(_bstr_t data);
    long Getlength();
};

struct IXMLDOMText : IXMLDOMCharacterData {
    static constexpr IID qvIid = {
        0x6052FC55, 0x2B48, 0x46D6, {0x8C, 0x12, 0x6A, 0xEE, 0x1D, 0x45, 0x3D, 0xBD}};
    using qvBase = IXMLDOMCharacterData;
};

struct IXMLDOMComment : IXMLDOMCharacterData {
    static constexpr IID qvIid = {
        0x967C1056, 0x6F30, 0x49F4, {0x8E, 0xE7, 0x6F, 0x46, 0xEE, 0xCB, 0x3C, 0x2F}};
    using qvBase = IXMLDOMCharacterData;
};

struct IXMLDOMCDATASection : IXMLDOMText {
    static constexpr IID qvIid = {
        0xCE3CC0A3, 0x8853, 0x4AE7, {0xAC, 0x40, 0x05, 0xBE, 0xAC, 0x65, 0x2D, 0x48}};
    using qvBase = IXMLDOMText;
};

struct IXMLDOMProcessingInstruction : IXMLDOMNode {
    static constexpr IID qvIid = {
        0xCAAD2094, 0xEC76, 0x48EA, {0x84, 0x74, 0xF7, 0xC5, 0x55, 0xA0, 0x6B, 0x90}};
    using qvBase = IXMLDOMNode;

    virtual HRESULT get_target(BSTR* target) = 0;
    virtual HRESULT get_data(BSTR* data) = 0;
    virtual HRESULT put_data(BSTR data) = 0;

    _bstr_t Gettarget();
    _bstr_t Getdata();
    void Putdata(_bstr_t data);
};

// The creatable class: `IXMLDOMDocumentPtr doc; doc.CreateInstance(__uuidof(DOMDocument));` or
// `doc.CreateInstance(L"Msxml2.DOMDocument")` (also ".3.0" and ".6.0").
struct DOMDocument {
    static constexpr CLSID qvIid = {
        0x7E433F68, 0x1189, 0x4F9D, {0x8E, 0xD7, 0xFD, 0xD7, 0xFE, 0x91, 0x5D, 0x48}};
};
typedef DOMDocument DOMDocument30;
typedef DOMDocument DOMDocument60;

}  // namespace MSXML2

#include "MsxmlWrappers.h"
