#include "host/ed/Picking.h"

#include <algorithm>

#include "host/app/Coordinates.h"
#include "host/app/Documents.h"
#include "host/db/AcDbSortentsTable.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/ed/EntityShape.h"

namespace qv::host::ed {
namespace {

bool isLayoutBlock(const AcDbBlockTableRecord& block) {
    // Every layout's block name starts with "*": the many blocks of a plan are passed over
    // without folding their names.
    if (block.qvName().empty() || block.qvName().front() != L'*') {
        return false;
    }
    const std::wstring name = foldName(block.qvName());
    return name == L"*MODEL_SPACE" || name.rfind(L"*PAPER_SPACE", 0) == 0;
}

void appendEntities(std::vector<AcDbObjectId>& out, AcDbObjectId blockId, EntityOrder order) {
    auto append = [&](AcDbObjectId id) {
        const auto* entity = ObjectAccess::peekAs<AcDbEntity>(id);
        if (entity != nullptr && !entity->isErased()) {
            out.push_back(id);
        }
    };
    if (order == EntityOrder::Created) {
        if (const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockId)) {
            for (const AcDbObjectId& id : block->qvEntities()) {
                append(id);
            }
        }
        return;
    }
    const AcDbObjectIdArray drawn = drawOrder(blockId);
    for (int i = 0; i < drawn.length(); ++i) {
        append(drawn[i]);
    }
}

}  // namespace

std::vector<AcDbObjectId> layoutEntities(const AcDbDatabase& database, bool allLayouts,
                                         EntityOrder order) {
    std::vector<AcDbObjectId> out;
    if (!allLayouts) {
        appendEntities(out, database.currentSpaceId(), order);
        return out;
    }
    const auto* table = ObjectAccess::peekAs<AcDbBlockTable>(database.blockTableId());
    if (table == nullptr) {
        return out;
    }
    appendEntities(out, database.modelSpaceId(), order);
    for (AcDbObjectId id : table->qvRecords()) {
        const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(id);
        if (block != nullptr && !block->isErased() && id != database.modelSpaceId() &&
            isLayoutBlock(*block)) {
            appendEntities(out, id, order);
        }
    }
    return out;
}

AcDbObjectId layoutEntityOfHandle(const AcDbDatabase& database, const AcDbHandle& handle) {
    AcDbObjectId id;
    if (const_cast<AcDbDatabase&>(database).getAcDbObjectId(id, false, handle) != Acad::eOk) {
        return AcDbObjectId::kNull;
    }
    const auto* entity = ObjectAccess::peekAs<AcDbEntity>(id);
    if (entity == nullptr || entity->isErased()) {
        return AcDbObjectId::kNull;
    }
    const auto* owner = ObjectAccess::peekAs<AcDbBlockTableRecord>(entity->ownerId());
    return owner != nullptr && isLayoutBlock(*owner) ? id : AcDbObjectId::kNull;
}

double pickDistance() {
    const AcApDocument* doc = acDocManager->curDocument();
    if (doc == nullptr) {
        return 1.0;
    }
    const View& view = const_cast<AcApDocument*>(doc)->qvViews().current();
    const double side =
        std::max(view.upperRight.x - view.lowerLeft.x, view.upperRight.y - view.lowerLeft.y);
    return side > 0 ? side * 0.005 : 1.0;
}

AcDbObjectId entityAt(const AcDbDatabase& database, const AcGePoint3d& point) {
    AcDbObjectId best;
    double bestDistance = pickDistance();
    for (AcDbObjectId id : layoutEntities(database, false)) {
        const auto* entity = ObjectAccess::peekAs<AcDbEntity>(id);
        const double d = shapeOf(*entity).distanceTo(point.convert2d());
        if (d <= bestDistance) {
            best = id;
            bestDistance = d;
        }
    }
    return best;
}

AcGePoint3d ucsToWorld(const AcGePoint3d& point) {
    AcGeMatrix3d ucs;
    acdbUcsMatrix(ucs);
    return ucs * point;
}

AcGePoint3d worldToUcs(const AcGePoint3d& point) {
    AcGeMatrix3d ucs;
    acdbUcsMatrix(ucs);
    return ucs.inverse() * point;
}

}  // namespace qv::host::ed
