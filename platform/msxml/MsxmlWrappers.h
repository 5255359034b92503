// The wrapper methods of the MSXML interfaces (see Msxml.h): each calls the raw method and
// raises _com_error, with the object's error information, when it fails.
#pragma once

namespace MSXML2 {
namespace detail {

inline void check(HRESULT hr, IUnknown* self, REFIID iid) {
    if (FAILED(hr))
        _com_issue_errorex(hr, self, iid);
}

template <class I, class Raw, class... A>
_bstr_t text(I* self, Raw raw, A... args) {
    BSTR result = nullptr;
    check((self->*raw)(args..., &result), self, __uuidof(I));
    return _bstr_t(result, false);
}

template <class Out, class I, class Raw, class... A>
_com_ptr_t<Out> object(I* self, Raw raw, A... args) {
    Out* result = nullptr;
    check((self->*raw)(args..., &result), self, __uuidof(I));
    return _com_ptr_t<Out>(result, false);
}

template <class T, class I, class Raw>
T value(I* self, Raw raw) {
    T result{};
    check((self->*raw)(&result), self, __uuidof(I));
    return result;
}

template <class I, class Raw>
_variant_t variant(I* self, Raw raw) {
    VARIANT result;
    VariantInit(&result);
    check((self->*raw)(&result), self, __uuidof(I));
    return _variant_t(result, false);
}

}  // namespace detail

// ---- IXMLDOMNode ----
inline _bstr_t IXMLDOMNode::GetnodeName() {
    return detail::text(this, &IXMLDOMNode::get_nodeName);
}
inline _variant_t IXMLDOMNode::GetnodeValue() {
    return detail::variant(this, &IXMLDOMNode::get_nodeValue);
}
inline void IXMLDOMNode::PutnodeValue(const _variant_t& value) {
    detail::check(put_nodeValue(value), this, __uuidof(IXMLDOMNode));
}
inline DOMNodeType IXMLDOMNode::GetnodeType() {
    return detail::value<DOMNodeType>(this, &IXMLDOMNode::get_nodeType);
}
inline IXMLDOMNodePtr IXMLDOMNode::GetparentNode() {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::get_parentNode);
}
inline IXMLDOMNodePtr IXMLDOMNode::GetfirstChild() {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::get_firstChild);
}
inline IXMLDOMNodePtr IXMLDOMNode::GetlastChild() {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::get_lastChild);
}
inline IXMLDOMNodePtr IXMLDOMNode::GetpreviousSibling() {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::get_previousSibling);
}
inline IXMLDOMNodePtr IXMLDOMNode::GetnextSibling() {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::get_nextSibling);
}
inline IXMLDOMNodeListPtr IXMLDOMNode::GetchildNodes() {
    return detail::object<IXMLDOMNodeList>(this, &IXMLDOMNode::get_childNodes);
}
inline IXMLDOMNamedNodeMapPtr IXMLDOMNode::Getattributes() {
    return detail::object<IXMLDOMNamedNodeMap>(this, &IXMLDOMNode::get_attributes);
}
inline IXMLDOMDocumentPtr IXMLDOMNode::GetownerDocument() {
    return detail::object<IXMLDOMDocument>(this, &IXMLDOMNode::get_ownerDocument);
}
inline IXMLDOMNodePtr IXMLDOMNode::insertBefore(IXMLDOMNode* newChild, const _variant_t& refChild) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::raw_insertBefore, newChild,
                                       static_cast<VARIANT>(refChild));
}
inline IXMLDOMNodePtr IXMLDOMNode::replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::raw_replaceChild, newChild, oldChild);
}
inline IXMLDOMNodePtr IXMLDOMNode::removeChild(IXMLDOMNode* child) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::raw_removeChild, child);
}
inline IXMLDOMNodePtr IXMLDOMNode::appendChild(IXMLDOMNode* newChild) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::raw_appendChild, newChild);
}
inline VARIANT_BOOL IXMLDOMNode::hasChildNodes() {
    return detail::value<VARIANT_BOOL>(this, &IXMLDOMNode::raw_hasChildNodes);
}
inline IXMLDOMNodePtr IXMLDOMNode::cloneNode(VARIANT_BOOL deep) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::raw_cloneNode, deep);
}
inline _bstr_t IXMLDOMNode::GetnodeTypeString() {
    return detail::text(this, &IXMLDOMNode::get_nodeTypeString);
}
inline _bstr_t IXMLDOMNode::Gettext() {
    return detail::text(this, &IXMLDOMNode::get_text);
}
inline void IXMLDOMNode::Puttext(_bstr_t value) {
    detail::check(put_text(value.GetBSTR()), this, __uuidof(IXMLDOMNode));
}
inline _bstr_t IXMLDOMNode::Getxml() {
    return detail::text(this, &IXMLDOMNode::get_xml);
}
inline IXMLDOMNodeListPtr IXMLDOMNode::selectNodes(_bstr_t path) {
    return detail::object<IXMLDOMNodeList>(this, &IXMLDOMNode::raw_selectNodes, path.GetBSTR());
}
inline IXMLDOMNodePtr IXMLDOMNode::selectSingleNode(_bstr_t path) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNode::raw_selectSingleNode, path.GetBSTR());
}
inline _bstr_t IXMLDOMNode::GetnamespaceURI() {
    return detail::text(this, &IXMLDOMNode::get_namespaceURI);
}
inline _bstr_t IXMLDOMNode::Getprefix() {
    return detail::text(this, &IXMLDOMNode::get_prefix);
}
inline _bstr_t IXMLDOMNode::GetbaseName() {
    return detail::text(this, &IXMLDOMNode::get_baseName);
}

// ---- IXMLDOMNodeList ----
inline IXMLDOMNodePtr IXMLDOMNodeList::Getitem(long index) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNodeList::get_item, index);
}
inline long IXMLDOMNodeList::Getlength() {
    return detail::value<long>(this, &IXMLDOMNodeList::get_length);
}
inline IXMLDOMNodePtr IXMLDOMNodeList::nextNode() {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNodeList::raw_nextNode);
}
inline void IXMLDOMNodeList::reset() {
    detail::check(raw_reset(), this, __uuidof(IXMLDOMNodeList));
}

// ---- IXMLDOMNamedNodeMap ----
inline IXMLDOMNodePtr IXMLDOMNamedNodeMap::getNamedItem(_bstr_t name) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNamedNodeMap::raw_getNamedItem,
                                       name.GetBSTR());
}
inline IXMLDOMNodePtr IXMLDOMNamedNodeMap::Getitem(long index) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNamedNodeMap::get_item, index);
}
inline long IXMLDOMNamedNodeMap::Getlength() {
    return detail::value<long>(this, &IXMLDOMNamedNodeMap::get_length);
}
inline IXMLDOMNodePtr IXMLDOMNamedNodeMap::nextNode() {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMNamedNodeMap::raw_nextNode);
}
inline void IXMLDOMNamedNodeMap::reset() {
    detail::check(raw_reset(), this, __uuidof(IXMLDOMNamedNodeMap));
}

// ---- IXMLDOMParseError ----
inline long IXMLDOMParseError::GeterrorCode() {
    return detail::value<long>(this, &IXMLDOMParseError::get_errorCode);
}
inline _bstr_t IXMLDOMParseError::Geturl() {
    return detail::text(this, &IXMLDOMParseError::get_url);
}
inline _bstr_t IXMLDOMParseError::Getreason() {
    return detail::text(this, &IXMLDOMParseError::get_reason);
}
inline _bstr_t IXMLDOMParseError::GetsrcText() {
    return detail::text(this, &IXMLDOMParseError::get_srcText);
}
inline long IXMLDOMParseError::Getline() {
    return detail::value<long>(this, &IXMLDOMParseError::get_line);
}
inline long IXMLDOMParseError::Getlinepos() {
    return detail::value<long>(this, &IXMLDOMParseError::get_linepos);
}
inline long IXMLDOMParseError::Getfilepos() {
    return detail::value<long>(this, &IXMLDOMParseError::get_filepos);
}

// ---- IXMLDOMDocument ----
inline IXMLDOMElementPtr IXMLDOMDocument::GetdocumentElement() {
    return detail::object<IXMLDOMElement>(this, &IXMLDOMDocument::get_documentElement);
}
inline void IXMLDOMDocument::PutRefdocumentElement(IXMLDOMElement* root) {
    detail::check(putref_documentElement(root), this, __uuidof(IXMLDOMDocument));
}
inline IXMLDOMElementPtr IXMLDOMDocument::createElement(_bstr_t text) {
    return detail::object<IXMLDOMElement>(this, &IXMLDOMDocument::raw_createElement,
                                          text.GetBSTR());
}
inline IXMLDOMTextPtr IXMLDOMDocument::createTextNode(_bstr_t text) {
    return detail::object<IXMLDOMText>(this, &IXMLDOMDocument::raw_createTextNode, text.GetBSTR());
}
inline IXMLDOMCommentPtr IXMLDOMDocument::createComment(_bstr_t text) {
    return detail::object<IXMLDOMComment>(this, &IXMLDOMDocument::raw_createComment,
                                          text.GetBSTR());
}
inline IXMLDOMCDATASectionPtr IXMLDOMDocument::createCDATASection(_bstr_t text) {
    return detail::object<IXMLDOMCDATASection>(this, &IXMLDOMDocument::raw_createCDATASection,
                                               text.GetBSTR());
}
inline IXMLDOMAttributePtr IXMLDOMDocument::createAttribute(_bstr_t text) {
    return detail::object<IXMLDOMAttribute>(this, &IXMLDOMDocument::raw_createAttribute,
                                            text.GetBSTR());
}
inline IXMLDOMNodeListPtr IXMLDOMDocument::getElementsByTagName(_bstr_t text) {
    return detail::object<IXMLDOMNodeList>(this, &IXMLDOMDocument::raw_getElementsByTagName,
                                           text.GetBSTR());
}
inline IXMLDOMProcessingInstructionPtr IXMLDOMDocument::createProcessingInstruction(_bstr_t target,
                                                                                    _bstr_t data) {
    return detail::object<IXMLDOMProcessingInstruction>(
        this, &IXMLDOMDocument::raw_createProcessingInstruction, target.GetBSTR(), data.GetBSTR());
}
inline IXMLDOMNodePtr IXMLDOMDocument::createNode(const _variant_t& type, _bstr_t name,
                                                  _bstr_t namespaceURI) {
    return detail::object<IXMLDOMNode>(this, &IXMLDOMDocument::raw_createNode,
                                       static_cast<VARIANT>(type), name.GetBSTR(),
                                       namespaceURI.GetBSTR());
}
inline IXMLDOMParseErrorPtr IXMLDOMDocument::GetparseError() {
    return detail::object<IXMLDOMParseError>(this, &IXMLDOMDocument::get_parseError);
}
inline VARIANT_BOOL IXMLDOMDocument::Getasync() {
    return detail::value<VARIANT_BOOL>(this, &IXMLDOMDocument::get_async);
}
inline void IXMLDOMDocument::Putasync(VARIANT_BOOL value) {
    detail::check(put_async(value), this, __uuidof(IXMLDOMDocument));
}
inline VARIANT_BOOL IXMLDOMDocument::load(const _variant_t& source) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    detail::check(raw_load(source, &loaded), this, __uuidof(IXMLDOMDocument));
    return loaded;
}
inline VARIANT_BOOL IXMLDOMDocument::loadXML(_bstr_t xml) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    detail::check(raw_loadXML(xml.GetBSTR(), &loaded), this, __uuidof(IXMLDOMDocument));
    return loaded;
}
inline HRESULT IXMLDOMDocument::save(const _variant_t& destination) {
    const HRESULT hr = raw_save(destination);
    detail::check(hr, this, __uuidof(IXMLDOMDocument));
    return hr;
}
inline VARIANT_BOOL IXMLDOMDocument::GetpreserveWhiteSpace() {
    return detail::value<VARIANT_BOOL>(this, &IXMLDOMDocument::get_preserveWhiteSpace);
}
inline void IXMLDOMDocument::PutpreserveWhiteSpace(VARIANT_BOOL value) {
    detail::check(put_preserveWhiteSpace(value), this, __uuidof(IXMLDOMDocument));
}
inline VARIANT_BOOL IXMLDOMDocument::GetvalidateOnParse() {
    return detail::value<VARIANT_BOOL>(this, &IXMLDOMDocument::get_validateOnParse);
}
inline void IXMLDOMDocument::PutvalidateOnParse(VARIANT_BOOL value) {
    detail::check(put_validateOnParse(value), this, __uuidof(IXMLDOMDocument));
}
inline VARIANT_BOOL IXMLDOMDocument::GetresolveExternals() {
    return detail::value<VARIANT_BOOL>(this, &IXMLDOMDocument::get_resolveExternals);
}
inline void IXMLDOMDocument::PutresolveExternals(VARIANT_BOOL value) {
    detail::check(put_resolveExternals(value), this, __uuidof(IXMLDOMDocument));
}
inline _bstr_t IXMLDOMDocument::Geturl() {
    return detail::text(this, &IXMLDOMDocument::get_url);
}
inline long IXMLDOMDocument::GetreadyState() {
    return detail::value<long>(this, &IXMLDOMDocument::get_readyState);
}

// ---- IXMLDOMElement ----
inline _bstr_t IXMLDOMElement::GettagName() {
    return detail::text(this, &IXMLDOMElement::get_tagName);
}
inline _variant_t IXMLDOMElement::getAttribute(_bstr_t name) {
    VARIANT result;
    VariantInit(&result);
    detail::check(raw_getAttribute(name.GetBSTR(), &result), this, __uuidof(IXMLDOMElement));
    return _variant_t(result, false);
}
inline HRESULT IXMLDOMElement::setAttribute(_bstr_t name, const _variant_t& value) {
    const HRESULT hr = raw_setAttribute(name.GetBSTR(), value);
    detail::check(hr, this, __uuidof(IXMLDOMElement));
    return hr;
}
inline HRESULT IXMLDOMElement::removeAttribute(_bstr_t name) {
    const HRESULT hr = raw_removeAttribute(name.GetBSTR());
    detail::check(hr, this, __uuidof(IXMLDOMElement));
    return hr;
}
inline IXMLDOMAttributePtr IXMLDOMElement::getAttributeNode(_bstr_t name) {
    return detail::object<IXMLDOMAttribute>(this, &IXMLDOMElement::raw_getAttributeNode,
                                            name.GetBSTR());
}
inline IXMLDOMNodeListPtr IXMLDOMElement::getElementsByTagName(_bstr_t name) {
    return detail::object<IXMLDOMNodeList>(this, &IXMLDOMElement::raw_getElementsByTagName,
                                           name.GetBSTR());
}

// ---- IXMLDOMAttribute ----
inline _bstr_t IXMLDOMAttribute::Getname() {
    return detail::text(this, &IXMLDOMAttribute::get_name);
}
inline _variant_t IXMLDOMAttribute::Getvalue() {
    return detail::variant(this, &IXMLDOMAttribute::get_value);
}
inline void IXMLDOMAttribute::Putvalue(const _variant_t& value) {
    detail::check(put_value(value), this, __uuidof(IXMLDOMAttribute));
}

// ---- IXMLDOMCharacterData ----
inline _bstr_t IXMLDOMCharacterData::Getdata() {
    return detail::text(this, &IXMLDOMCharacterData::get_data);
}
inline void IXMLDOMCharacterData::Putdata(_bstr_t value) {
    detail::check(put_data(value.GetBSTR()), this, __uuidof(IXMLDOMCharacterData));
}
inline long IXMLDOMCharacterData::Getlength() {
    return detail::value<long>(this, &IXMLDOMCharacterData::get_length);
}

// ---- IXMLDOMProcessingInstruction ----
inline _bstr_t IXMLDOMProcessingInstruction::Gettarget() {
    return detail::text(this, &IXMLDOMProcessingInstruction::get_target);
}
inline _bstr_t IXMLDOMProcessingInstruction::Getdata() {
    return detail::text(this, &IXMLDOMProcessingInstruction::get_data);
}
inline void IXMLDOMProcessingInstruction::Putdata(_bstr_t value) {
    detail::check(put_data(value.GetBSTR()), this, __uuidof(IXMLDOMProcessingInstruction));
}

}  // namespace MSXML2
