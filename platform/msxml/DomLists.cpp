// Node lists (live child lists and fixed selections) and the attribute map.
#include "msxml/DomInternal.h"

namespace qv::msxml {
namespace {

// A list that reads its nodes when asked: the children of a node, or a fixed selection.
class NodeList final : public qv::com::Object<IXMLDOMNodeList, ISupportErrorInfo> {
  public:
    explicit NodeList(NodeBase* parent) : m_parent(parent), m_keep(parent->face()) {}
    explicit NodeList(const std::vector<NodeBase*>& nodes) {
        for (NodeBase* n : nodes)
            m_fixed.emplace_back(n->face());
    }

    HRESULT get_item(long index, IXMLDOMNode** out) override { return giveNode(at(index), out); }
    HRESULT get_length(long* out) override {
        if (!out)
            return E_POINTER;
        *out = length();
        return S_OK;
    }
    HRESULT raw_nextNode(IXMLDOMNode** out) override {
        NodeBase* node = at(m_position);
        if (node)
            ++m_position;
        return giveNode(node, out);
    }
    HRESULT raw_reset() override {
        m_position = 0;
        return S_OK;
    }
    HRESULT InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

  private:
    long length() const {
        return static_cast<long>(m_parent ? m_parent->children.size() : m_fixed.size());
    }
    NodeBase* at(long index) const {
        if (index < 0 || index >= length())
            return nullptr;
        const auto i = static_cast<std::size_t>(index);
        return m_parent ? m_parent->children[i] : nodeOf(m_fixed[i].GetInterfacePtr());
    }

    NodeBase* m_parent = nullptr;
    IXMLDOMNodePtr m_keep;
    std::vector<IXMLDOMNodePtr> m_fixed;
    long m_position = 0;
};

class AttributeMap final : public qv::com::Object<IXMLDOMNamedNodeMap, ISupportErrorInfo> {
  public:
    explicit AttributeMap(NodeBase* element) : m_element(element), m_keep(element->face()) {}

    HRESULT raw_getNamedItem(BSTR name, IXMLDOMNode** out) override {
        const std::wstring wanted = textOf(name);
        for (NodeBase* a : m_element->attributes)
            if (a->qualifiedName() == wanted)
                return giveNode(a, out);
        return giveNode(static_cast<NodeBase*>(nullptr), out);
    }
    HRESULT get_item(long index, IXMLDOMNode** out) override { return giveNode(at(index), out); }
    HRESULT get_length(long* out) override {
        if (!out)
            return E_POINTER;
        *out = static_cast<long>(m_element->attributes.size());
        return S_OK;
    }
    HRESULT raw_nextNode(IXMLDOMNode** out) override {
        NodeBase* node = at(m_position);
        if (node)
            ++m_position;
        return giveNode(node, out);
    }
    HRESULT raw_reset() override {
        m_position = 0;
        return S_OK;
    }
    HRESULT InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

  private:
    NodeBase* at(long index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= m_element->attributes.size())
            return nullptr;
        return m_element->attributes[static_cast<std::size_t>(index)];
    }

    NodeBase* m_element;
    IXMLDOMNodePtr m_keep;
    long m_position = 0;
};

template <class T>
T* withReference(T* object) {
    object->AddRef();
    return object;
}

}  // namespace

IXMLDOMNodeList* makeChildList(NodeBase* parent) {
    return withReference(new NodeList(parent));
}
IXMLDOMNodeList* makeStaticList(const std::vector<NodeBase*>& nodes) {
    return withReference(new NodeList(nodes));
}
IXMLDOMNamedNodeMap* makeAttributeMap(NodeBase* element) {
    return withReference(new AttributeMap(element));
}

}  // namespace qv::msxml
