#include "host/db/AcDbBlockReference.h"

#include <cmath>

#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity, L"INSERT")

AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId block)
    : m_block(block), m_position(position) {}

AcDbBlockReference::AcDbBlockReference(const AcDbBlockReference& other)
    : AcDbEntity(other),
      m_block(other.m_block),
      m_position(other.m_position),
      m_scale(other.m_scale),
      m_rotation(other.m_rotation),
      m_normal(other.m_normal) {}

AcDbBlockReference::~AcDbBlockReference() = default;

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId block) {
    assertWriteEnabled();
    if (ObjectAccess::peekAs<AcDbBlockTableRecord>(block) == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    m_block = block;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& position) {
    assertWriteEnabled();
    m_position = position;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& scale) {
    assertWriteEnabled();
    if (scale.sx == 0.0 || scale.sy == 0.0 || scale.sz == 0.0) {
        return Acad::eInvalidInput;
    }
    m_scale = scale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setRotation(double angle) {
    assertWriteEnabled();
    m_rotation = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (normal.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    m_normal = normal.normal();
    return Acad::eOk;
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const {
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(m_block);
    const AcGePoint3d origin = block != nullptr ? block->origin() : AcGePoint3d::kOrigin;
    return AcGeMatrix3d::translation(m_position.asVector()) * AcGeMatrix3d::planeToWorld(m_normal) *
           AcGeMatrix3d::rotation(m_rotation, AcGeVector3d::kZAxis) *
           AcGeMatrix3d::scaling(m_scale) * AcGeMatrix3d::translation(-origin.asVector());
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    AcGePoint3d origin;
    AcGeVector3d cx, cy, cz;
    m.getCoordSystem(origin, cx, cy, cz);
    if (cx.isZeroLength() || cy.isZeroLength() || cz.isZeroLength()) {
        return Acad::eDegenerateGeometry;
    }
    const AcGeVector3d normal = cz.normal();
    const AcGeMatrix3d toPlane = AcGeMatrix3d::worldToPlane(normal);
    const AcGeVector3d px = toPlane * cx, py = toPlane * cy;
    const double limit = 1e-9 * cx.length() * cy.length();
    if (std::fabs(px.z) > 1e-9 * cx.length() || std::fabs(py.z) > 1e-9 * cy.length() ||
        std::fabs(px.x * py.x + px.y * py.y) > limit) {
        return Acad::eCannotScaleNonUniformly;
    }
    const double rotation = std::atan2(px.y, px.x);
    const double turned = -std::sin(rotation) * py.x + std::cos(rotation) * py.y;
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(m_block);
    const AcGePoint3d blockOrigin = block != nullptr ? block->origin() : AcGePoint3d::kOrigin;
    m_normal = normal;
    m_rotation = rotation < 0.0 ? rotation + 2.0 * 3.141592653589793 : rotation;
    m_scale.set(cx.length(), turned < 0.0 ? -cy.length() : cy.length(), cz.length());
    m_position = m * blockOrigin;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbAttribute* attribute) {
    AcDbObjectId id;
    return appendAttribute(id, attribute);
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute) {
    id = AcDbObjectId::kNull;
    if (attribute == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (!attribute->objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    if (database() == nullptr) {
        m_pending.emplace_back(attribute);
        return Acad::eOk;
    }
    attribute->qvFillDefaults(*database());
    const Acad::ErrorStatus es = ObjectAccess::add(*database(), attribute, objectId(), id);
    if (es == Acad::eOk) {
        m_attributes.push_back(id);
    }
    return es;
}

void AcDbBlockReference::qvAdded() {
    for (auto& pending : m_pending) {
        AcDbAttribute* attribute = pending.get();
        attribute->qvFillDefaults(*database());
        AcDbObjectId id;
        if (ObjectAccess::add(*database(), attribute, objectId(), id) == Acad::eOk) {
            pending.release();
            attribute->close();
            m_attributes.push_back(id);
        }
    }
    m_pending.clear();
}

Acad::ErrorStatus AcDbBlockReference::qvErasing(bool erasing) {
    for (const AcDbObjectId& id : m_attributes) {
        if (AcDbObject* attribute = ObjectAccess::peek(id)) {
            ObjectAccess::setErased(*attribute, erasing);
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::openAttribute(AcDbAttribute*& attribute, AcDbObjectId id,
                                                    AcDb::OpenMode mode, bool openErased) {
    attribute = nullptr;
    if (std::find(m_attributes.begin(), m_attributes.end(), id) == m_attributes.end()) {
        return Acad::eInvalidInput;
    }
    return acdbOpenObject(attribute, id, mode, openErased);
}

AcDbObjectIterator* AcDbBlockReference::attributeIterator() const {
    std::vector<AcDbObjectId> ids = m_attributes;
    auto* iterator = new AcDbObjectIterator(std::move(ids));
    iterator->start();
    return iterator;
}

namespace {

// The box of an entity carried by a matrix: exact where the entity can take the matrix, the box
// of the carried corners otherwise.
void addCarried(const AcDbEntity& entity, const AcGeMatrix3d& m, AcDbExtents& extents, int depth);

void addBlock(AcDbObjectId blockId, const AcGeMatrix3d& m, AcDbExtents& extents, int depth) {
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockId);
    if (block == nullptr || depth > 16) {
        return;
    }
    for (const AcDbObjectId& id : block->qvEntities()) {
        const auto* entity = ObjectAccess::peekAs<AcDbEntity>(id);
        // Attribute definitions show through the attributes, except constant ones, which every
        // reference draws itself.
        const auto* definition =
            entity != nullptr ? AcDbAttributeDefinition::cast(entity) : nullptr;
        if (entity != nullptr && !entity->isErased() &&
            (definition == nullptr || definition->isConstant())) {
            addCarried(*entity, m, extents, depth + 1);
        }
    }
}

// Whether the matrix only moves (its rotation and scale part is exactly the identity).
bool isPureTranslation(const AcGeMatrix3d& m) {
    for (unsigned row = 0; row < 4; ++row) {
        for (unsigned column = 0; column < 3; ++column) {
            if (m(row, column) != (row == column ? 1.0 : 0.0)) {
                return false;
            }
        }
    }
    return m(3, 3) == 1.0;
}

void addCarried(const AcDbEntity& entity, const AcGeMatrix3d& m, AcDbExtents& extents, int depth) {
    if (const auto* ref = AcDbBlockReference::cast(&entity)) {
        addBlock(ref->blockTableRecord(), m * ref->blockTransform(), extents, depth);
        for (const AcDbObjectId& id : ref->qvAttributes()) {
            const auto* attribute = ObjectAccess::peekAs<AcDbEntity>(id);
            AcDbExtents box;
            if (attribute == nullptr || attribute->isErased()) {
                continue;
            }
            // The attributes of the reference measured stand where they are drawn already.
            if (depth == 0 && attribute->getGeomExtents(box) == Acad::eOk) {
                extents.addExt(box);
            } else if (depth > 0) {
                addCarried(*attribute, m, extents, depth + 1);
            }
        }
        return;
    }
    AcDbExtents box;
    if (isPureTranslation(m)) {
        // A box moved is the box of the moved entity: no copy to carry (the contents of a
        // reference that is only placed, as space blocks are).
        if (entity.getGeomExtents(box) == Acad::eOk) {
            const AcGeVector3d move = m.translation();
            extents.addExt(AcDbExtents(box.minPoint() + move, box.maxPoint() + move));
        }
        return;
    }
    std::unique_ptr<AcDbEntity> copy(AcDbEntity::cast(entity.clone()));
    if (copy != nullptr && copy->transformBy(m) == Acad::eOk &&
        copy->getGeomExtents(box) == Acad::eOk) {
        extents.addExt(box);
    } else if (entity.getGeomExtents(box) == Acad::eOk) {
        box.transformBy(m);
        extents.addExt(box);
    }
}

}  // namespace

Acad::ErrorStatus AcDbBlockReference::getGeomExtents(AcDbExtents& extents) const {
    AcDbExtents box;
    addCarried(*this, AcGeMatrix3d::kIdentity, box, 0);
    if (box.qvIsEmpty()) {
        return Acad::eInvalidExtents;
    }
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    const Acad::ErrorStatus es = setBlockTransform(m * blockTransform());
    if (es != Acad::eOk) {
        return es;
    }
    for (auto& pending : m_pending) {
        pending->transformBy(m);
    }
    for (const AcDbObjectId& id : m_attributes) {
        if (auto* attribute = ObjectAccess::peekAs<AcDbAttribute>(id)) {
            ObjectAccess::changeOwned(*attribute, [&] { attribute->transformBy(m); });
        }
    }
    return Acad::eOk;
}

// ---- attribute iterator ----

void AcDbObjectIterator::skipErased(bool backwards) {
    while (!done() && m_ids[m_index].isErased()) {
        if (backwards) {
            m_index = m_index == 0 ? m_ids.size() : m_index - 1;
        } else {
            ++m_index;
        }
    }
}

void AcDbObjectIterator::start(bool atEnd) {
    m_index = atEnd ? (m_ids.empty() ? 0 : m_ids.size() - 1) : 0;
    skipErased(atEnd);
}

void AcDbObjectIterator::step(bool backwards, bool skipErasedObjects) {
    if (done()) {
        return;
    }
    m_index = backwards ? (m_index == 0 ? m_ids.size() : m_index - 1) : m_index + 1;
    if (skipErasedObjects) {
        skipErased(backwards);
    }
}

AcDbEntity* AcDbObjectIterator::entity() {
    return done() ? nullptr : ObjectAccess::peekAs<AcDbEntity>(m_ids[m_index]);
}

// ---- array inserts ----

QV_RX_DEFINE_MEMBERS(AcDbMInsertBlock, AcDbBlockReference, L"INSERT")

AcDbMInsertBlock::AcDbMInsertBlock(const AcGePoint3d& position, AcDbObjectId block,
                                   Adesk::UInt16 columns, Adesk::UInt16 rows, double columnSpacing,
                                   double rowSpacing)
    : AcDbBlockReference(position, block),
      m_columns(columns == 0 ? 1 : columns),
      m_rows(rows == 0 ? 1 : rows),
      m_columnSpacing(columnSpacing),
      m_rowSpacing(rowSpacing) {}

Acad::ErrorStatus AcDbMInsertBlock::setColumns(Adesk::UInt16 count) {
    assertWriteEnabled();
    if (count == 0) {
        return Acad::eInvalidInput;
    }
    m_columns = count;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::setRows(Adesk::UInt16 count) {
    assertWriteEnabled();
    if (count == 0) {
        return Acad::eInvalidInput;
    }
    m_rows = count;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::setColumnSpacing(double spacing) {
    assertWriteEnabled();
    m_columnSpacing = spacing;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMInsertBlock::setRowSpacing(double spacing) {
    assertWriteEnabled();
    m_rowSpacing = spacing;
    return Acad::eOk;
}
