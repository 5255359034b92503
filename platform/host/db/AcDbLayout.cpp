#include "host/db/AcDbLayout.h"

#include "host/db/AcDbViewport.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbLayout, AcDbPlotSettings, L"LAYOUT")

namespace qv::host {

AcDbDictionary* layoutDictionary(const AcDbDatabase& database) {
    const auto* named = ObjectAccess::peekAs<AcDbDictionary>(database.namedObjectsDictionaryId());
    AcDbObjectId id;
    if (named == nullptr || named->getAt(L"ACAD_LAYOUT", id) != Acad::eOk) {
        return nullptr;
    }
    return ObjectAccess::peekAs<AcDbDictionary>(id);
}

std::vector<AcDbLayout*> layoutsOf(const AcDbDatabase& database) {
    std::vector<AcDbLayout*> layouts;
    if (const AcDbDictionary* dictionary = layoutDictionary(database)) {
        for (const AcDbDictionary::Entry& entry : dictionary->qvEntries()) {
            auto* layout = ObjectAccess::peekAs<AcDbLayout>(entry.id);
            if (layout != nullptr && !layout->isErased()) {
                layouts.push_back(layout);
            }
        }
    }
    return layouts;
}

AcDbLayout* layoutNamed(const AcDbDatabase& database, const std::wstring& name) {
    const std::wstring folded = foldName(name);
    for (AcDbLayout* layout : layoutsOf(database)) {
        if (foldName(layout->qvName()) == folded) {
            return layout;
        }
    }
    return nullptr;
}

bool isValidLayoutName(const ACHAR* name) {
    return isValidSymbolName(name, false);
}

}  // namespace qv::host

AcDbLayout::AcDbLayout() : AcDbPlotSettings(false) {}

AcDbLayout::AcDbLayout(bool modelType) : AcDbPlotSettings(modelType) {}

Acad::ErrorStatus AcDbLayout::getLayoutName(const ACHAR*& name) const {
    name = m_layout.name.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayout::getLayoutName(ACHAR*& name) const {
    name = acutNewString(m_layout.name.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayout::setLayoutName(const ACHAR* name) {
    assertWriteEnabled();
    if (!qv::host::isValidLayoutName(name)) {
        return Acad::eInvalidInput;
    }
    const std::wstring folded = qv::host::foldName(name);
    const bool renamingModel =
        modelType() && !m_layout.name.empty() && folded != qv::host::foldName(m_layout.name);
    if (renamingModel || (!modelType() && folded == L"MODEL")) {
        return Acad::eInvalidInput;
    }
    AcDbDictionary* dictionary = ObjectAccess::peekAs<AcDbDictionary>(ownerId());
    if (dictionary != nullptr && database() != nullptr) {
        AcDbObjectId other;
        if (dictionary->getAt(name, other) == Acad::eOk && other != objectId()) {
            return Acad::eDuplicateRecordName;
        }
        const std::wstring oldKey = m_layout.name;
        ObjectAccess::changeOwned(*dictionary, [&] { dictionary->setName(oldKey.c_str(), name); });
    }
    m_layout.name = name;
    return Acad::eOk;
}

void AcDbLayout::setTabOrder(int order) {
    assertWriteEnabled();
    m_layout.tabOrder = order;
}

void AcDbLayout::setTabSelected(bool selected) {
    assertWriteEnabled();
    m_tabSelected = selected;
}

Acad::ErrorStatus AcDbLayout::setBlockTableRecordId(AcDbObjectId block) {
    assertWriteEnabled();
    m_layout.block = block;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayout::addToLayoutDict(AcDbDatabase* database, AcDbObjectId block) {
    if (database == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    if (m_layout.name.empty() || block.database() != database ||
        ObjectAccess::peekAs<AcDbBlockTableRecord>(block) == nullptr) {
        return Acad::eInvalidInput;
    }
    if (qv::host::layoutNamed(*database, m_layout.name) != nullptr) {
        return Acad::eDuplicateRecordName;
    }
    AcDbBlockTableRecord* record = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(record, block, AcDb::kForWrite);
    if (es != Acad::eOk) {
        return es;
    }
    AcDbDictionary* named = nullptr;
    es = database->getNamedObjectsDictionary(named, AcDb::kForWrite);
    AcDbDictionary* layouts = nullptr;
    if (es == Acad::eOk) {
        es = named->getAt(L"ACAD_LAYOUT", layouts, AcDb::kForWrite);
        if (es == Acad::eKeyNotFound) {
            layouts = new AcDbDictionary;
            AcDbObjectId id;
            es = named->setAt(L"ACAD_LAYOUT", layouts, id);
            if (es != Acad::eOk) {
                delete layouts;
                layouts = nullptr;
            }
        }
        named->close();
    }
    if (es == Acad::eOk) {
        AcDbObjectId id;
        m_layout.block = block;
        es = layouts->setAt(m_layout.name.c_str(), this, id);
        if (es == Acad::eOk) {
            record->setLayoutId(id);
        } else {
            m_layout.block = AcDbObjectId::kNull;
        }
        layouts->close();
    }
    record->close();
    return es;
}

AcDbObjectIdArray AcDbLayout::getViewportArray() const {
    AcDbObjectIdArray viewports;
    if (const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(m_layout.block)) {
        for (const AcDbObjectId& id : block->qvEntities()) {
            const AcDbObject* entity = ObjectAccess::peek(id);
            if (AcDbViewport::cast(entity) != nullptr && !entity->isErased()) {
                viewports.append(id);
            }
        }
    }
    return viewports;
}

void AcDbLayout::getLimits(AcGePoint2d& minimum, AcGePoint2d& maximum) const {
    minimum = m_layout.limitsMin;
    maximum = m_layout.limitsMax;
}

Acad::ErrorStatus AcDbLayout::setLimits(const AcGePoint2d& minimum, const AcGePoint2d& maximum) {
    assertWriteEnabled();
    if (minimum.x > maximum.x || minimum.y > maximum.y) {
        return Acad::eInvalidInput;
    }
    m_layout.limitsMin = minimum;
    m_layout.limitsMax = maximum;
    return Acad::eOk;
}

void AcDbLayout::getExtents(AcGePoint3d& minimum, AcGePoint3d& maximum) const {
    minimum = m_layout.extentsMin;
    maximum = m_layout.extentsMax;
}

Acad::ErrorStatus AcDbLayout::setExtents(const AcGePoint3d& minimum, const AcGePoint3d& maximum) {
    assertWriteEnabled();
    m_layout.extentsMin = minimum;
    m_layout.extentsMax = maximum;
    return Acad::eOk;
}

void AcDbLayout::qvSetLayoutData(const LayoutData& data) {
    assertWriteEnabled();
    m_layout = data;
}
