#include "host/db/AcDbDimension.h"

#include <cmath>

#include "host/db/AcDbDatabase.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

QV_RX_DEFINE_MEMBERS(AcDbDimension, AcDbEntity, L"DIMENSION")
QV_RX_DEFINE_MEMBERS(AcDbLeader, AcDbEntity, L"LEADER")

using qv::host::ObjectAccess;

AcDbObjectId AcDbDimension::dimBlockId() const {
    const AcDbDatabase* db = database();
    if (db == nullptr || m_blockName.empty()) {
        return AcDbObjectId();
    }
    const auto* table = ObjectAccess::peekAs<AcDbBlockTable>(db->blockTableId());
    return table != nullptr ? table->qvFind(m_blockName) : AcDbObjectId();
}

Acad::ErrorStatus AcDbDimension::getGeomExtents(AcDbExtents& extents) const {
    // A dimension measured within the block of a dimension counts for nothing: dimension blocks
    // may name each other (through block references too) without end.
    thread_local bool measuring = false;
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(dimBlockId());
    if (block == nullptr || measuring) {
        return Acad::eInvalidExtents;
    }
    measuring = true;
    AcDbExtents all;
    for (const AcDbObjectId& id : block->qvEntities()) {
        const auto* entity = ObjectAccess::peekAs<AcDbEntity>(id);
        AcDbExtents box;
        if (entity != nullptr && !entity->isErased() && entity->getGeomExtents(box) == Acad::eOk) {
            all.addExt(box);
        }
    }
    measuring = false;
    if (all.qvIsEmpty()) {
        return Acad::eInvalidExtents;
    }
    extents = all;
    return Acad::eOk;
}

void AcDbLeader::qvSet(std::vector<AcGePoint3d> vertices, bool arrow, double textHeight) {
    assertWriteEnabled();
    m_vertices = std::move(vertices);
    m_arrow = arrow;
    m_textHeight = std::isfinite(textHeight) && textHeight > 0.0 ? textHeight : 0.0;
}

std::vector<AcGePoint3d> AcDbLeader::qvArrowHead() const {
    if (!m_arrow || m_vertices.size() < 2) {
        return {};
    }
    const AcGePoint3d tip = m_vertices[0];
    const AcGeVector3d along = m_vertices[1] - tip;
    const double span = along.length();
    if (!(span > 0.0) || !std::isfinite(span)) {
        return {};
    }
    const double length = m_textHeight > 0.0 ? std::fmin(m_textHeight, span) : span / 6.0;
    const AcGeVector3d unit = along / span;
    const AcGeVector3d side = AcGeVector3d(-unit.y, unit.x, 0.0) * (length / 6.0);
    const AcGePoint3d base = tip + unit * length;
    return {tip, base + side, base - side};
}

Acad::ErrorStatus AcDbLeader::getGeomExtents(AcDbExtents& extents) const {
    if (m_vertices.empty()) {
        return Acad::eInvalidExtents;
    }
    extents = AcDbExtents();
    for (const AcGePoint3d& p : m_vertices) {
        extents.addPoint(p);
    }
    for (const AcGePoint3d& p : qvArrowHead()) {
        extents.addPoint(p);
    }
    return Acad::eOk;
}
