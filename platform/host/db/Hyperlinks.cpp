#include "host/db/Hyperlinks.h"

#include "host/db/AcDbBlockReference.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

const ACHAR* AcDbHyperlink::getDisplayString() const {
    if (!m_description.empty()) {
        m_display = m_description;
    } else {
        m_display = m_subLocation.empty() ? m_name : m_name + L"#" + m_subLocation;
    }
    return m_display.c_str();
}

// ---- collections ----

namespace {

AcDbHyperlink make(const ACHAR* name, const ACHAR* description, const ACHAR* subLocation) {
    return AcDbHyperlink(name != nullptr ? name : L"", description != nullptr ? description : L"",
                         subLocation != nullptr ? subLocation : L"");
}

}  // namespace

void AcDbHyperlinkCollection::addHead(const ACHAR* name, const ACHAR* description,
                                      const ACHAR* subLocation) {
    m_items.insert(m_items.begin(), make(name, description, subLocation));
}

void AcDbHyperlinkCollection::addTail(const ACHAR* name, const ACHAR* description,
                                      const ACHAR* subLocation) {
    m_items.push_back(make(name, description, subLocation));
}

void AcDbHyperlinkCollection::addAt(int index, const ACHAR* name, const ACHAR* description,
                                    const ACHAR* subLocation) {
    if (index >= 0 && index <= count()) {
        m_items.insert(m_items.begin() + index, make(name, description, subLocation));
    }
}

void AcDbHyperlinkCollection::removeHead() {
    if (!m_items.empty()) {
        m_items.erase(m_items.begin());
    }
}

void AcDbHyperlinkCollection::removeTail() {
    if (!m_items.empty()) {
        m_items.pop_back();
    }
}

void AcDbHyperlinkCollection::removeAt(int index) {
    if (index >= 0 && index < count()) {
        m_items.erase(m_items.begin() + index);
    }
}

AcDbHyperlink* AcDbHyperlinkCollection::item(int index) const {
    return index >= 0 && index < count()
               ? const_cast<AcDbHyperlink*>(&m_items[static_cast<size_t>(index)])
               : nullptr;
}

// ---- storage ----

namespace qv::host {

std::vector<AcDbHyperlink> readHyperlinks(const AcDbObject& object) {
    std::vector<AcDbHyperlink> links;
    const XDataRecord* record = nullptr;
    for (const XDataRecord& r : object.qvXData()) {
        if (foldName(r.application) == kHyperlinkApplication) {
            record = &r;
        }
    }
    if (record == nullptr) {
        return links;
    }
    const std::vector<XDataItem>& items = record->items;
    size_t i = 0;
    auto isBrace = [&](size_t at, const wchar_t* brace) {
        return at < items.size() && items[at].code == 1002 && items[at].text == brace;
    };
    while (i < items.size()) {
        if (items[i].code != 1000) {
            ++i;  // not the layout of a hyperlink: passed over
            continue;
        }
        AcDbHyperlink link;
        link.setName(items[i].text.c_str());
        ++i;
        if (isBrace(i, L"{")) {
            int depth = 0;
            bool descriptionRead = false;
            for (; i < items.size(); ++i) {
                const XDataItem& item = items[i];
                if (item.code == 1002) {
                    depth += item.text == L"{" ? 1 : -1;
                    if (depth == 0) {
                        ++i;
                        break;
                    }
                } else if (item.code == 1000 && depth == 1) {
                    if (!descriptionRead) {
                        link.setDescription(item.text.c_str());
                        descriptionRead = true;
                    } else {
                        link.setSubLocation(item.text.c_str());
                    }
                } else if (item.code == 1071 && depth == 2) {
                    link.setFlags(item.integer);
                }
            }
        }
        links.push_back(link);
    }
    return links;
}

}  // namespace qv::host

// ---- the protocol extension ----

AcRxClass* AcDbEntityHyperlinkPE::desc() {
    static AcRxClass cls(L"AcDbEntityHyperlinkPE", AcRxObject::desc());
    static AcDbEntityHyperlinkPE implementation;
    static const bool registered = [] {
        AcDbEntity::desc()->addX(&cls, &implementation);
        return true;
    }();
    (void)registered;
    return &cls;
}

Acad::ErrorStatus AcDbEntityHyperlinkPE::getHyperlinkCollection(
    AcDbObject* object, AcDbHyperlinkCollection*& collection, bool oneOnly,
    bool ignoreBlockDefinition) {
    collection = nullptr;
    if (object == nullptr) {
        return Acad::eNullObjectPointer;
    }
    std::vector<AcDbHyperlink> links = qv::host::readHyperlinks(*object);
    if (!ignoreBlockDefinition) {
        if (const auto* ref = AcDbBlockReference::cast(object)) {
            if (const AcDbObject* block = ObjectAccess::peek(ref->blockTableRecord())) {
                const std::vector<AcDbHyperlink> more = qv::host::readHyperlinks(*block);
                links.insert(links.end(), more.begin(), more.end());
            }
        }
    }
    if (oneOnly && links.size() > 1) {
        links.resize(1);
    }
    collection = new AcDbHyperlinkCollection;
    for (const AcDbHyperlink& link : links) {
        collection->addTail(link.name(), link.description(), link.subLocation());
        collection->item(collection->count() - 1)->setFlags(link.flags());
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntityHyperlinkPE::setHyperlinkCollection(
    AcDbObject* object, const AcDbHyperlinkCollection* collection) {
    if (object == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!object->isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (AcDbDatabase* db = object->database()) {
        qv::host::registerApplication(*db, qv::host::kHyperlinkApplication);
    }
    resbuf* head = acutBuildList(1001, qv::host::kHyperlinkApplication, 0);
    // The list is freed on every path, a refusal thrown by the extended data's write included.
    struct ListGuard {
        resbuf* list;
        ~ListGuard() { acutRelRb(list); }
    } guard{head};
    resbuf* tail = head;
    auto add = [&](resbuf* rb) {
        tail->rbnext = rb;
        while (tail->rbnext != nullptr) {
            tail = tail->rbnext;
        }
    };
    const int n = collection != nullptr ? collection->count() : 0;
    for (int i = 0; i < n; ++i) {
        const AcDbHyperlink* link = collection->item(i);
        add(acutBuildList(1000, link->name(), 1002, L"{", 1000, link->description(), 1002, L"{",
                          1071, static_cast<int>(link->flags()), 1002, L"}", 0));
        if (link->subLocation()[0] != 0) {
            add(acutBuildList(1000, link->subLocation(), 0));
        }
        add(acutBuildList(1002, L"}", 0));
    }
    return object->setXData(head);
}

Acad::ErrorStatus AcDbEntityHyperlinkPE::getHyperlinkCount(AcDbObject* object, unsigned int& count,
                                                           bool oneOnly,
                                                           bool ignoreBlockDefinition) {
    AcDbHyperlinkCollection* collection = nullptr;
    const Acad::ErrorStatus es =
        getHyperlinkCollection(object, collection, oneOnly, ignoreBlockDefinition);
    count = collection != nullptr ? static_cast<unsigned int>(collection->count()) : 0;
    delete collection;
    return es;
}

Acad::ErrorStatus AcDbEntityHyperlinkPE::hasHyperlink(AcDbObject* object, bool& has,
                                                      bool ignoreBlockDefinition) {
    unsigned int count = 0;
    const Acad::ErrorStatus es = getHyperlinkCount(object, count, true, ignoreBlockDefinition);
    has = count > 0;
    return es;
}
