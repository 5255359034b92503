// Block references: a block definition shown at a position, turned, scaled and tilted, with the
// attributes the reference carries.
//
// Its block transform is: move the definition's origin to the world origin, scale by the scale
// factors, turn by the rotation about the z axis, carry from the plane of the normal to the
// world, move to the position (a world point).
#pragma once

#include <memory>
#include <vector>

#include "AcDbText.h"
#include "../ge/AcGeScale3d.h"

class AcDbObjectIterator;

class AcDbBlockReference : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbBlockReference)
  public:
    AcDbBlockReference() = default;
    AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId block);
    // A copy without attributes (they belong to the original).
    AcDbBlockReference(const AcDbBlockReference& other);
    ~AcDbBlockReference() override;
    QV_RX_CLONE(AcDbBlockReference)

    AcDbObjectId blockTableRecord() const { return m_block; }
    Acad::ErrorStatus setBlockTableRecord(AcDbObjectId block);
    AcGePoint3d position() const { return m_position; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    AcGeScale3d scaleFactors() const { return m_scale; }
    // eInvalidInput when a factor is 0.
    Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);
    double rotation() const { return m_rotation; }
    Acad::ErrorStatus setRotation(double angle);
    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    AcGeMatrix3d blockTransform() const;
    // Takes position, normal, rotation and scale from a matrix; eCannotScaleNonUniformly when
    // the matrix slants the axes.
    Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& matrix);

    // Appends an attribute outside any database (the reference open for write). In a database
    // the attribute is added at once and left open for write; otherwise it waits and is added
    // with the reference.
    Acad::ErrorStatus appendAttribute(AcDbAttribute* attribute);
    Acad::ErrorStatus appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute);
    Acad::ErrorStatus openAttribute(AcDbAttribute*& attribute, AcDbObjectId id, AcDb::OpenMode mode,
                                    bool openErased = false);
    // The caller deletes the iterator; erased attributes are skipped.
    AcDbObjectIterator* attributeIterator() const;

    // The box of the definition's entities and the attributes, placed by the block transform.
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Carries the reference and its attributes.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;

    const std::vector<AcDbObjectId>& qvAttributes() const { return m_attributes; }
    void qvAppendAttributeId(AcDbObjectId id) { m_attributes.push_back(id); }

  protected:
    void qvAdded() override;
    Acad::ErrorStatus qvErasing(bool erasing) override;

  private:
    AcDbObjectId m_block;
    AcGePoint3d m_position;
    AcGeScale3d m_scale;
    double m_rotation = 0.0;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    std::vector<AcDbObjectId> m_attributes;
    std::vector<std::unique_ptr<AcDbAttribute>> m_pending;
};

// Walks the attributes of a block reference.
class AcDbObjectIterator {
  public:
    explicit AcDbObjectIterator(std::vector<AcDbObjectId> ids) : m_ids(std::move(ids)) {}
    bool done() const { return m_index >= m_ids.size(); }
    void step(bool backwards = false, bool skipErased = true);
    void start(bool atEnd = false);
    AcDbObjectId objectId() const { return done() ? AcDbObjectId::kNull : m_ids[m_index]; }
    // The entity without opening it: use only to look, while the reference is open.
    AcDbEntity* entity();

  private:
    void skipErased(bool backwards);
    std::vector<AcDbObjectId> m_ids;
    size_t m_index = 0;
};
