// Hyperlinks of entities, through the host's protocol extension for them:
//   AcDbEntityHyperlinkPE* pe = ACRX_PE_PTR(entity, AcDbEntityHyperlinkPE);
//
// Storage: an entity's hyperlinks are extended data of the application "PE_URL" (registered in
// the entity's database when the first hyperlinks are set). For each hyperlink, in order:
//     1000 name (the address)
//     1002 "{"
//     1000 description
//     1002 "{"
//     1071 flags
//     1002 "}"
//     1000 sub-location     (only when it is not empty)
//     1002 "}"
// An entity without hyperlinks has no "PE_URL" record. Other programs read the first hyperlink
// of that layout.
#pragma once

#include <string>
#include <vector>

#include "AcDbObject.h"

class AcDbHyperlink {
  public:
    enum HLinkFlags { kUndefined = 0, kConvertDwgToDwf = 0x1 };

    AcDbHyperlink() = default;
    AcDbHyperlink(std::wstring name, std::wstring description, std::wstring subLocation,
                  Adesk::Int32 flags = kUndefined)
        : m_name(std::move(name)),
          m_description(std::move(description)),
          m_subLocation(std::move(subLocation)),
          m_flags(flags) {}

    const ACHAR* name() const { return m_name.c_str(); }
    void setName(const ACHAR* name) { m_name = name != nullptr ? name : L""; }
    const ACHAR* description() const { return m_description.c_str(); }
    void setDescription(const ACHAR* text) { m_description = text != nullptr ? text : L""; }
    const ACHAR* subLocation() const { return m_subLocation.c_str(); }
    void setSubLocation(const ACHAR* text) { m_subLocation = text != nullptr ? text : L""; }
    // The description, or without one the name (with "#" and the sub-location when there is
    // one).
    const ACHAR* getDisplayString() const;
    Adesk::Int32 flags() const { return m_flags; }
    void setFlags(Adesk::Int32 flags) { m_flags = flags; }
    bool isOutermostContainer() const { return true; }
    int getNestedLevel() const { return 0; }

  private:
    std::wstring m_name, m_description, m_subLocation;
    mutable std::wstring m_display;
    Adesk::Int32 m_flags = kUndefined;
};

class AcDbHyperlinkCollection {
  public:
    void addHead(const ACHAR* name, const ACHAR* description, const ACHAR* subLocation = nullptr);
    void addTail(const ACHAR* name, const ACHAR* description, const ACHAR* subLocation = nullptr);
    // Inserts before `index` (count() appends; beyond, nothing happens).
    void addAt(int index, const ACHAR* name, const ACHAR* description,
               const ACHAR* subLocation = nullptr);
    void removeHead();
    void removeTail();
    void removeAt(int index);
    void removeAll() { m_items.clear(); }
    int count() const { return static_cast<int>(m_items.size()); }
    // The hyperlink at `index`, or null outside 0 to count() - 1. It belongs to the collection.
    AcDbHyperlink* item(int index) const;

  private:
    std::vector<AcDbHyperlink> m_items;
};

class AcDbEntityHyperlinkPE : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcDbEntityHyperlinkPE)
  public:
    // A new collection (the caller deletes it) with the object's hyperlinks: only the first with
    // oneOnly; for a block reference, also those of its block definition unless
    // ignoreBlockDefinition. eNullObjectPointer for no object.
    Acad::ErrorStatus getHyperlinkCollection(AcDbObject* object,
                                             AcDbHyperlinkCollection*& collection,
                                             bool oneOnly = false,
                                             bool ignoreBlockDefinition = true);
    // Replaces the object's hyperlinks with the collection's (an empty or null collection removes
    // them). The object must be open for write (eNotOpenForWrite); eXdataSizeExceeded when they
    // do not fit into its extended data.
    Acad::ErrorStatus setHyperlinkCollection(AcDbObject* object,
                                             const AcDbHyperlinkCollection* collection);
    Acad::ErrorStatus getHyperlinkCount(AcDbObject* object, unsigned int& count,
                                        bool oneOnly = false, bool ignoreBlockDefinition = true);
    Acad::ErrorStatus hasHyperlink(AcDbObject* object, bool& has,
                                   bool ignoreBlockDefinition = true);
};

namespace qv::host {
// The application name under which hyperlinks are stored.
inline constexpr const wchar_t* kHyperlinkApplication = L"PE_URL";
// The hyperlinks stored in an object's extended data.
std::vector<AcDbHyperlink> readHyperlinks(const AcDbObject& object);
}  // namespace qv::host
