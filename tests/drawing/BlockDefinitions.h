// Block definitions for the tests of the drawing layer.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "arxHeaders.h"

namespace qv::test {

// Adds a block of that name to the document's drawing, holding the given entities in order
// (each erased after it was added when its flag says so); returns the block's id. Takes and
// gives back the document lock.
inline AcDbObjectId defineBlock(AcApDocument* document, const wchar_t* name,
                                std::vector<std::pair<AcDbEntity*, bool>> entities) {
    EXPECT_EQ(Acad::eOk, acDocManager->lockDocument(document));
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(Acad::eOk, document->database()->getBlockTable(table, AcDb::kForWrite));
    auto* block = new AcDbBlockTableRecord;
    block->setName(name);
    AcDbObjectId blockId;
    EXPECT_EQ(Acad::eOk, table->add(blockId, block));
    for (auto& [entity, erased] : entities) {
        EXPECT_EQ(Acad::eOk, block->appendAcDbEntity(entity));
        if (erased)
            entity->erase();
        entity->close();
    }
    block->close();
    table->close();
    acDocManager->unlockDocument(document);
    return blockId;
}

// The same for entities that all stay.
inline AcDbObjectId defineBlockOf(AcApDocument* document, const wchar_t* name,
                                  std::vector<AcDbEntity*> entities) {
    std::vector<std::pair<AcDbEntity*, bool>> kept;
    for (AcDbEntity* entity : entities)
        kept.emplace_back(entity, false);
    return defineBlock(document, name, std::move(kept));
}

}  // namespace qv::test
