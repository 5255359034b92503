#include "host/db/AcDbLayoutManager.h"

#include <algorithm>

#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbLayoutManager, AcRxObject, L"")

AcDbLayoutManager* AcDbHostApplicationServices::layoutManager() const {
    static AcDbLayoutManager manager;
    return &manager;
}

namespace qv::host {

namespace {

const wchar_t kPaperSpace[] = L"*Paper_Space";
const wchar_t kModel[] = L"Model";

AcDbLayout* layoutOfBlock(AcDbObjectId blockId) {
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockId);
    return block != nullptr ? ObjectAccess::peekAs<AcDbLayout>(block->getLayoutId()) : nullptr;
}

bool isLayoutBlockName(const std::wstring& name) {
    const std::wstring folded = foldName(name);
    return folded == L"*MODEL_SPACE" || folded.rfind(L"*PAPER_SPACE", 0) == 0;
}

int nextTabOrder(const AcDbDatabase& database) {
    int next = 1;
    for (const AcDbLayout* layout : layoutsOf(database)) {
        next = std::max(next, layout->getTabOrder() + 1);
    }
    return next;
}

void tie(AcDbBlockTableRecord& block, AcDbLayout& layout) {
    ObjectAccess::changeOwned(block, [&] { block.setLayoutId(layout.objectId()); });
    ObjectAccess::changeOwned(layout, [&] { layout.setBlockTableRecordId(block.objectId()); });
}

std::wstring freeLayoutName(const AcDbDatabase& database) {
    for (int n = 1;; ++n) {
        const std::wstring name = L"Layout" + std::to_wstring(n);
        if (layoutNamed(database, name) == nullptr) {
            return name;
        }
    }
}

}  // namespace

AcDbDictionary* ensureLayoutDictionary(AcDbDatabase& database) {
    if (AcDbDictionary* existing = layoutDictionary(database)) {
        return existing;
    }
    auto* named = ObjectAccess::peekAs<AcDbDictionary>(database.namedObjectsDictionaryId());
    auto* dictionary = new AcDbDictionary;
    AcDbObjectId id;
    if (named == nullptr ||
        ObjectAccess::add(database, dictionary, named->objectId(), id) != Acad::eOk) {
        delete dictionary;
        return nullptr;
    }
    dictionary->close();
    named->qvAppendEntry(L"ACAD_LAYOUT", id);
    return dictionary;
}

AcDbLayout* currentLayout(const AcDbDatabase& database) {
    return layoutOfBlock(database.tilemode() ? database.modelSpaceId() : database.paperSpaceId());
}

void makeLayoutCurrent(AcDbDatabase& database, AcDbLayout& layout) {
    const AcDbObjectId blockId = layout.getBlockTableRecordId();
    if (blockId == database.modelSpaceId()) {
        database.setTilemode(true);
        return;
    }
    database.setTilemode(false);
    const AcDbObjectId paperId = database.paperSpaceId();
    auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockId);
    auto* paper = ObjectAccess::peekAs<AcDbBlockTableRecord>(paperId);
    if (block == nullptr || blockId == paperId) {
        return;
    }
    if (paper != nullptr) {
        paper->qvSetName(block->qvName());
    }
    block->qvSetName(kPaperSpace);
}

void addMissingLayouts(AcDbDatabase& database) {
    AcDbDictionary* dictionary = ensureLayoutDictionary(database);
    const auto* blocks = ObjectAccess::peekAs<AcDbBlockTable>(database.blockTableId());
    if (dictionary == nullptr || blocks == nullptr) {
        return;
    }
    for (AcDbLayout* layout : layoutsOf(database)) {
        auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(layout->getBlockTableRecordId());
        if (block != nullptr && block->getLayoutId().isNull()) {
            tie(*block, *layout);
        }
    }
    for (const AcDbObjectId& id : blocks->qvRecords()) {
        auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(id);
        if (block == nullptr || block->isErased() || !isLayoutBlockName(block->qvName())) {
            continue;
        }
        if (AcDbLayout* layout = layoutOfBlock(id)) {
            if (layout->getBlockTableRecordId().isNull()) {
                tie(*block, *layout);
            }
            continue;
        }
        const bool model = id == database.modelSpaceId();
        auto* layout = model ? new AcDbLayout(true) : new AcDbLayout;
        layout->qvSetName(model ? kModel : freeLayoutName(database));
        layout->setTabOrder(model ? 0 : nextTabOrder(database));
        AcDbObjectId layoutId;
        if (ObjectAccess::add(database, layout, dictionary->objectId(), layoutId) != Acad::eOk) {
            delete layout;
            return;
        }
        dictionary->qvAppendEntry(layout->qvName(), layoutId);
        tie(*block, *layout);
        layout->close();
    }
}

}  // namespace qv::host

namespace {

AcDbDatabase* databaseOr(const AcDbDatabase* database) {
    return database != nullptr ? const_cast<AcDbDatabase*>(database)
                               : acdbHostApplicationServices()->workingDatabase();
}

}  // namespace

Acad::ErrorStatus AcDbLayoutManager::setCurrentLayout(const ACHAR* name, AcDbDatabase* database) {
    AcDbDatabase* db = databaseOr(database);
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    AcDbLayout* layout = name != nullptr ? qv::host::layoutNamed(*db, name) : nullptr;
    if (layout == nullptr) {
        return Acad::eKeyNotFound;
    }
    const Acad::ErrorStatus es = qv::host::databaseWriteStatus(db);
    if (es != Acad::eOk) {
        return es;
    }
    qv::host::makeLayoutCurrent(*db, *layout);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayoutManager::setCurrentLayoutId(AcDbObjectId layoutId) {
    const auto* layout = ObjectAccess::peekAs<AcDbLayout>(layoutId);
    if (layout == nullptr || layout->isErased()) {
        return Acad::eInvalidInput;
    }
    return setCurrentLayout(layout->qvName().c_str(), layoutId.database());
}

const ACHAR* AcDbLayoutManager::findActiveLayout(bool allowModel, const AcDbDatabase* database) {
    m_activeName.clear();
    if (const AcDbDatabase* db = databaseOr(database)) {
        const AcDbLayout* layout = allowModel || !db->tilemode()
                                       ? qv::host::currentLayout(*db)
                                       : qv::host::layoutOfBlock(db->paperSpaceId());
        if (layout != nullptr) {
            m_activeName = layout->qvName();
        }
    }
    return m_activeName.c_str();
}

AcDbObjectId AcDbLayoutManager::getActiveLayoutBTRId(const AcDbDatabase* database) const {
    const AcDbDatabase* db = databaseOr(database);
    if (db == nullptr) {
        return AcDbObjectId::kNull;
    }
    return db->tilemode() ? db->modelSpaceId() : db->paperSpaceId();
}

AcDbObjectId AcDbLayoutManager::findLayoutNamed(const ACHAR* name,
                                                const AcDbDatabase* database) const {
    const AcDbDatabase* db = databaseOr(database);
    const AcDbLayout* layout =
        db != nullptr && name != nullptr ? qv::host::layoutNamed(*db, name) : nullptr;
    return layout != nullptr ? layout->objectId() : AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbLayoutManager::getLayoutNamed(const ACHAR* name, AcDbLayout*& layout,
                                                    AcDb::OpenMode mode,
                                                    const AcDbDatabase* database) const {
    layout = nullptr;
    const AcDbObjectId id = findLayoutNamed(name, database);
    return id.isNull() ? Acad::eKeyNotFound : acdbOpenObject(layout, id, mode);
}

bool AcDbLayoutManager::layoutExists(const ACHAR* name, const AcDbDatabase* database) const {
    return !findLayoutNamed(name, database).isNull();
}

int AcDbLayoutManager::countLayouts(const AcDbDatabase* database) const {
    const AcDbDatabase* db = databaseOr(database);
    return db != nullptr ? static_cast<int>(qv::host::layoutsOf(*db).size()) : 0;
}

Acad::ErrorStatus AcDbLayoutManager::createLayout(const ACHAR* name, AcDbObjectId& layoutId,
                                                  AcDbObjectId& blockId, AcDbDatabase* database) {
    layoutId = blockId = AcDbObjectId::kNull;
    AcDbDatabase* db = databaseOr(database);
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!qv::host::isValidLayoutName(name) || qv::host::foldName(name) == L"MODEL") {
        return Acad::eInvalidInput;
    }
    if (qv::host::layoutNamed(*db, name) != nullptr) {
        return Acad::eDuplicateRecordName;
    }
    AcDbBlockTable* blocks = nullptr;
    Acad::ErrorStatus es = db->getBlockTable(blocks, AcDb::kForWrite);
    if (es != Acad::eOk) {
        return es;
    }
    std::wstring blockName;
    for (int n = 0; blockName.empty(); ++n) {
        const std::wstring candidate = qv::host::kPaperSpace + std::to_wstring(n);
        if (!blocks->has(candidate.c_str())) {
            blockName = candidate;
        }
    }
    auto* block = new AcDbBlockTableRecord;
    block->setName(blockName.c_str());
    es = blocks->add(blockId, block);
    blocks->close();
    if (es != Acad::eOk) {
        delete block;
        return es;
    }
    block->close();

    auto* layout = new AcDbLayout;
    layout->setLayoutName(name);
    layout->setTabOrder(qv::host::nextTabOrder(*db));
    es = layout->addToLayoutDict(db, blockId);
    if (es != Acad::eOk) {
        delete layout;
        if (acdbOpenObject(block, blockId, AcDb::kForWrite) == Acad::eOk) {
            block->erase();
            block->close();
        }
        blockId = AcDbObjectId::kNull;
        return es;
    }
    layoutId = layout->objectId();
    layout->close();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayoutManager::renameLayout(const ACHAR* oldName, const ACHAR* newName,
                                                  AcDbDatabase* database) {
    AcDbLayout* layout = nullptr;
    Acad::ErrorStatus es = getLayoutNamed(oldName, layout, AcDb::kForWrite, database);
    if (es != Acad::eOk) {
        return es;
    }
    es = layout->setLayoutName(newName);
    layout->close();
    return es;
}
