#include "host/db/AcDbEntity.h"

#include <algorithm>
#include <memory>

#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbEntity, AcDbObject, L"")

bool qv::host::isLineWeight(int value) {
    static constexpr int kWeights[] = {0,   5,   9,   13,  15,  18,  20, 25, 30,
                                       35,  40,  50,  53,  60,  70,  80, 90, 100,
                                       106, 120, 140, 158, 200, 211, -1, -2, -3};
    return std::find(std::begin(kWeights), std::end(kWeights), value) != std::end(kWeights);
}

// ---- extents ----

AcDbExtents::AcDbExtents() : m_min(1e20, 1e20, 1e20), m_max(-1e20, -1e20, -1e20) {}

AcDbExtents::AcDbExtents(const AcGePoint3d& minimum, const AcGePoint3d& maximum) : AcDbExtents() {
    if (set(minimum, maximum) != Acad::eOk) {
        addPoint(minimum);
        addPoint(maximum);
    }
}

Acad::ErrorStatus AcDbExtents::set(const AcGePoint3d& minimum, const AcGePoint3d& maximum) {
    if (minimum.x > maximum.x || minimum.y > maximum.y || minimum.z > maximum.z) {
        return Acad::eInvalidExtents;
    }
    m_min = minimum;
    m_max = maximum;
    return Acad::eOk;
}

void AcDbExtents::addPoint(const AcGePoint3d& p) {
    m_min.set(std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z));
    m_max.set(std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z));
}

void AcDbExtents::addExt(const AcDbExtents& other) {
    if (!other.qvIsEmpty()) {
        addPoint(other.m_min);
        addPoint(other.m_max);
    }
}

Acad::ErrorStatus AcDbExtents::expandBy(const AcGeVector3d& v) {
    if (qvIsEmpty()) {
        return Acad::eInvalidExtents;
    }
    addPoint(m_min + v);
    addPoint(m_max + v);
    return Acad::eOk;
}

void AcDbExtents::transformBy(const AcGeMatrix3d& m) {
    if (qvIsEmpty()) {
        return;
    }
    const AcGePoint3d a = m_min, b = m_max;
    *this = AcDbExtents();
    for (int i = 0; i < 8; ++i) {
        addPoint(m * AcGePoint3d(i & 1 ? b.x : a.x, i & 2 ? b.y : a.y, i & 4 ? b.z : a.z));
    }
}

// ---- entities ----

AcDbDatabase* AcDbEntity::qvNameDatabase() const {
    if (database() != nullptr) {
        return database();
    }
    return acdbHostApplicationServices()->workingDatabase();
}

Acad::ErrorStatus AcDbEntity::qvWriteOpenStatus() const {
    const auto* layer = ObjectAccess::peekAs<AcDbLayerTableRecord>(m_layer);
    return layer != nullptr && layer->isLocked() ? Acad::eOnLockedLayer : Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& color, bool) {
    assertWriteEnabled();
    m_color = color;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 index, bool) {
    assertWriteEnabled();
    if (index > 256) {
        return Acad::eInvalidInput;
    }
    return m_color.setColorIndex(index);
}

namespace {

ACHAR* recordName(AcDbObjectId id) {
    const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(id);
    return record != nullptr ? acutNewString(record->qvName().c_str()) : nullptr;
}

AcDbObjectId findRecord(AcDbDatabase* db, AcDbObjectId tableId, const ACHAR* name) {
    const auto* table = db != nullptr ? ObjectAccess::peekAs<AcDbSymbolTable>(tableId) : nullptr;
    return table != nullptr && name != nullptr ? table->qvFind(name) : AcDbObjectId::kNull;
}

}  // namespace

ACHAR* AcDbEntity::layer() const {
    return recordName(m_layer);
}

Acad::ErrorStatus AcDbEntity::setLayer(const ACHAR* name, bool doSubents, bool allowHidden) {
    AcDbDatabase* db = qvNameDatabase();
    const AcDbObjectId id =
        findRecord(db, db != nullptr ? db->layerTableId() : AcDbObjectId(), name);
    if (id.isNull()) {
        assertWriteEnabled();
        return Acad::eKeyNotFound;
    }
    return setLayer(id, doSubents, allowHidden);
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId layer, bool, bool) {
    assertWriteEnabled();
    const AcDbObject* record = ObjectAccess::peek(layer);
    if (AcDbLayerTableRecord::cast(record) == nullptr || record->isErased() ||
        (database() != nullptr && layer.database() != database())) {
        return Acad::eInvalidInput;
    }
    m_layer = layer;
    return Acad::eOk;
}

ACHAR* AcDbEntity::linetype() const {
    return recordName(m_linetype);
}

Acad::ErrorStatus AcDbEntity::setLinetype(const ACHAR* name, bool doSubents) {
    AcDbDatabase* db = qvNameDatabase();
    const AcDbObjectId id =
        findRecord(db, db != nullptr ? db->linetypeTableId() : AcDbObjectId(), name);
    if (id.isNull()) {
        assertWriteEnabled();
        return Acad::eKeyNotFound;
    }
    return setLinetype(id, doSubents);
}

Acad::ErrorStatus AcDbEntity::setLinetype(AcDbObjectId linetype, bool) {
    assertWriteEnabled();
    const AcDbObject* record = ObjectAccess::peek(linetype);
    if (AcDbLinetypeTableRecord::cast(record) == nullptr || record->isErased() ||
        (database() != nullptr && linetype.database() != database())) {
        return Acad::eInvalidInput;
    }
    m_linetype = linetype;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double scale, bool) {
    assertWriteEnabled();
    if (!(scale > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_linetypeScale = scale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight weight, bool) {
    assertWriteEnabled();
    if (!qv::host::isLineWeight(weight)) {
        return Acad::eInvalidInput;
    }
    m_lineWeight = weight;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility visibility, bool) {
    assertWriteEnabled();
    m_visibility = visibility;
    return Acad::eOk;
}

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* db) {
    assertWriteEnabled();
    if (db == nullptr) {
        db = qvNameDatabase();
    }
    m_color.setByLayer();
    m_linetypeScale = 1.0;
    m_lineWeight = AcDb::kLnWtByLayer;
    m_visibility = AcDb::kVisible;
    if (db != nullptr) {
        m_layer = db->clayer();
        m_linetype = db->byLayerLinetype();
    }
}

void AcDbEntity::qvFillDefaults(AcDbDatabase& db) {
    if (m_layer.isNull() || m_layer.database() != &db) {
        m_layer = db.clayer();
    }
    if (m_linetype.isNull() || m_linetype.database() != &db) {
        m_linetype = db.byLayerLinetype();
    }
}

Acad::ErrorStatus AcDbEntity::setPropertiesFrom(const AcDbEntity* other, bool) {
    assertWriteEnabled();
    if (other == nullptr) {
        return Acad::eNullEntityPointer;
    }
    m_color = other->m_color;
    m_layer = other->m_layer;
    m_linetype = other->m_linetype;
    m_linetypeScale = other->m_linetypeScale;
    m_lineWeight = other->m_lineWeight;
    m_visibility = other->m_visibility;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents&) const {
    return Acad::eInvalidExtents;
}

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbEntity::getTransformedCopy(const AcGeMatrix3d& matrix,
                                                 AcDbEntity*& copy) const {
    copy = nullptr;
    std::unique_ptr<AcDbEntity> made(AcDbEntity::cast(clone()));
    if (made == nullptr) {
        return Acad::eNotApplicable;
    }
    const Acad::ErrorStatus es = made->transformBy(matrix);
    if (es == Acad::eOk) {
        copy = made.release();
    }
    return es;
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    entity = nullptr;
    const AcRxClass* cls = id.objectClass();
    if (cls != nullptr && !cls->isDerivedFrom(AcDbEntity::desc())) {
        return Acad::eNotAnEntity;
    }
    return acdbOpenObject(entity, id, mode, openErased);
}
