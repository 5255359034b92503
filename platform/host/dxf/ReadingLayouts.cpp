// The reader of drawings, after the last record: layouts that lost their blocks are linked to
// the blocks that lost their layouts, or dropped; every layout is owned by the layout dictionary
// and has a name of its own.
#include "host/db/AcDbLayout.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/dxf/DrawingReaderState.h"

namespace qv::dxf::reading {
namespace {

bool isLayoutBlock(const AcDbBlockTableRecord& block) {
    const std::wstring folded = foldedName(block.qvName());
    return folded == L"*MODEL_SPACE" || folded.starts_with(L"*PAPER_SPACE");
}

void tie(AcDbBlockTableRecord& block, AcDbLayout& layout) {
    ObjectAccess::changeOwned(block, [&] { block.setLayoutId(layout.objectId()); });
    ObjectAccess::changeOwned(layout, [&] { layout.setBlockTableRecordId(block.objectId()); });
}

std::string nameOf(const AcDbLayout& layout) {
    return qv::wideToUtf8(layout.qvName());
}

}  // namespace

void DrawingReader::settleLayouts() {
    std::vector<AcDbLayout*> layouts;
    for (AcDbObject* object : m_objectOrder) {
        auto* layout = AcDbLayout::cast(object);
        if (layout != nullptr && !layout->isErased() && !layout->objectId().isNull()) {
            layouts.push_back(layout);
        }
    }
    if (layouts.empty()) {
        return;
    }
    auto* blocks = ObjectAccess::peekAs<AcDbBlockTable>(m_db.blockTableId());
    std::vector<AcDbBlockTableRecord*> spaces;  // model space first
    if (blocks != nullptr) {
        for (const AcDbObjectId& id : blocks->qvRecords()) {
            auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(id);
            if (block != nullptr && !block->isErased() && isLayoutBlock(*block)) {
                spaces.insert(id == m_db.modelSpaceId() ? spaces.begin() : spaces.end(), block);
            }
        }
    }
    // A block belongs to the first layout that names it and that it names back (or, when it
    // names no layout, to the first that names it).
    std::set<AcDbObject*> claimed;
    std::vector<AcDbLayout*> orphans;
    for (AcDbLayout* layout : layouts) {
        auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(layout->getBlockTableRecordId());
        const AcDbLayout* named =
            block ? ObjectAccess::peekAs<AcDbLayout>(block->getLayoutId()) : nullptr;
        if (block != nullptr && !block->isErased() && isLayoutBlock(*block) &&
            (named == nullptr || named == layout || named->isErased()) &&
            claimed.insert(block).second) {
            if (named != layout) {
                tie(*block, *layout);
            }
        } else {
            orphans.push_back(layout);
        }
    }
    // A layout that lost its block takes the block that names it, if that is free, so that each
    // block's entities stay with the layout that owns the block; else the first block that no
    // live layout owns or will take.
    const std::set<AcDbLayout*> orphaned(orphans.begin(), orphans.end());
    auto ownedElsewhere = [&](const AcDbBlockTableRecord& block, const AcDbLayout* layout) {
        auto* named = ObjectAccess::peekAs<AcDbLayout>(block.getLayoutId());
        return named != nullptr && named != layout && !named->isErased() &&
               (named->getBlockTableRecordId() == block.objectId() || orphaned.count(named) != 0);
    };
    for (AcDbLayout* layout : orphans) {
        const bool model = foldedName(layout->qvName()) == L"MODEL";
        AcDbBlockTableRecord* free = nullptr;
        for (AcDbBlockTableRecord* block : spaces) {
            if (block->getLayoutId() == layout->objectId() && claimed.count(block) == 0 &&
                (block->objectId() == m_db.modelSpaceId()) == model) {
                free = block;
                break;
            }
        }
        for (AcDbBlockTableRecord* block : spaces) {
            const bool modelSpace = block->objectId() == m_db.modelSpaceId();
            if (free == nullptr && modelSpace == model && !ownedElsewhere(*block, layout) &&
                claimed.count(block) == 0) {
                free = block;
            }
        }
        if (free != nullptr) {
            claimed.insert(free);
            tie(*free, *layout);
            m_report.add(Fix::MissingReference, 0,
                         "the layout " + nameOf(*layout) + " had no block of its own; it was "
                         "linked to " + qv::wideToUtf8(free->qvName()));
            continue;
        }
        if (auto* owner = ObjectAccess::peekAs<AcDbDictionary>(layout->ownerId())) {
            ObjectAccess::changeOwned(*owner, [&] { owner->qvRemoveEntry(layout->objectId()); });
        }
        ObjectAccess::setErased(*layout, true);
        m_report.add(Fix::MissingReference, 0,
                     "the layout " + nameOf(*layout) +
                         " had no block of its own and none was left for it; it was dropped");
    }
    // Blocks that name a layout that is no longer theirs get a new one (addMissingLayouts).
    for (AcDbBlockTableRecord* block : spaces) {
        const auto* named = ObjectAccess::peekAs<AcDbLayout>(block->getLayoutId());
        if (!block->getLayoutId().isNull() &&
            (named == nullptr || named->isErased() ||
             named->getBlockTableRecordId() != block->objectId())) {
            ObjectAccess::changeOwned(*block, [&] { block->setLayoutId(AcDbObjectId::kNull); });
        }
    }

    // Every layout is an entry of the layout dictionary, under a name no other layout has.
    AcDbDictionary* dictionary = qv::host::ensureLayoutDictionary(m_db);
    if (dictionary == nullptr) {
        return;
    }
    std::set<std::wstring> names;
    for (AcDbLayout* layout : layouts) {
        if (layout->isErased()) {
            continue;
        }
        const bool model = layout->getBlockTableRecordId() == m_db.modelSpaceId();
        std::wstring name = model ? L"Model" : layout->qvName();
        if (!model && (name.empty() || foldedName(name) == L"MODEL" ||
                       names.count(foldedName(name)) != 0)) {
            const std::wstring before = name;
            for (int n = 1; name.empty() || foldedName(name) == L"MODEL" ||
                            names.count(foldedName(name)) != 0;
                 ++n) {
                name = L"Layout" + std::to_wstring(n);
            }
            m_report.add(Fix::DuplicateName, 0,
                         "a second layout named '" + qv::wideToUtf8(before) + "' was renamed " +
                             qv::wideToUtf8(name));
        }
        names.insert(foldedName(name));
        std::wstring key;
        for (const AcDbDictionary::Entry& entry : dictionary->qvEntries()) {
            if (entry.id == layout->objectId()) {
                key = entry.key;
            }
        }
        if (layout->ownerId() != dictionary->objectId() || key.empty()) {
            if (auto* owner = ObjectAccess::peekAs<AcDbDictionary>(layout->ownerId());
                owner != nullptr && owner != dictionary) {
                ObjectAccess::changeOwned(*owner,
                                          [&] { owner->qvRemoveEntry(layout->objectId()); });
            }
            ObjectAccess::setOwner(*layout, dictionary->objectId());
            if (key.empty()) {
                key = name;
                for (int n = 2; dictionary->has(key.c_str()); ++n) {
                    key = name + L"$" + std::to_wstring(n);  // renamed below when it can be
                }
                ObjectAccess::changeOwned(*dictionary,
                                          [&] { dictionary->qvAppendEntry(key, layout->objectId()); });
            }
        }
        if (name != layout->qvName()) {
            ObjectAccess::changeOwned(*layout, [&] { layout->qvSetName(name); });
        }
        if (key != name && !dictionary->has(name.c_str())) {
            // (by the layout, not by its key: keys are found without regard to case, and a
            // second layout may have the first one's key in another case)
            ObjectAccess::changeOwned(*dictionary,
                                      [&] { dictionary->qvSetKey(layout->objectId(), name); });
        }
    }
}

}  // namespace qv::dxf::reading
