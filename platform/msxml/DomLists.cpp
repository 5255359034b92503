// Node lists (live child lists and fixed selections) and the attribute map.
#include "msxml/DomInternal.h"

namespace qv::msxml {
namespace {

// The reading side shared by node lists and the attribute map: indexes and a cursor.
template <class I>
class Cursor : public qv::com::Object<I, ISupportErrorInfo> {
  public:
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

  protected:
    virtual long length() const = 0;
    virtual NodeBase* node(std::size_t index) const = 0;

    NodeBase* at(long index) const {
        return index < 0 || index >= length() ? nullptr : node(static_cast<std::size_t>(index));
    }

  private:
    long m_position = 0;
};

// The children of a node, read when asked, or a fixed selection.
class NodeList final : public Cursor<IXMLDOMNodeList> {
  public:
    explicit NodeList(NodeBase* parent) : m_parent(parent), m_keep(parent->face()) {}
    explicit NodeList(const std::vector<NodeBase*>& nodes) {
        for (NodeBase* n : nodes)
            m_fixed.emplace_back(n->face());
    }

  private:
    long length() const override {
        return static_cast<long>(m_parent ? m_parent->children.size() : m_fixed.size());
    }
    NodeBase* node(std::size_t i) const override {
        return m_parent ? m_parent->children[i] : nodeOf(m_fixed[i].GetInterfacePtr());
    }

    NodeBase* m_parent = nullptr;
    IXMLDOMNodePtr m_keep;
    std::vector<IXMLDOMNodePtr> m_fixed;
};

class AttributeMap final : public Cursor<IXMLDOMNamedNodeMap> {
  public:
    explicit AttributeMap(NodeBase* element) : m_element(element), m_keep(element->face()) {}

    HRESULT raw_getNamedItem(BSTR name, IXMLDOMNode** out) override {
        const std::wstring wanted = textOf(name);
        for (NodeBase* a : m_element->attributes)
            if (a->qualifiedName() == wanted)
                return giveNode(a, out);
        return giveNode(static_cast<NodeBase*>(nullptr), out);
    }

  private:
    long length() const override { return static_cast<long>(m_element->attributes.size()); }
    NodeBase* node(std::size_t i) const override { return m_element->attributes[i]; }

    NodeBase* m_element;
    IXMLDOMNodePtr m_keep;
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
