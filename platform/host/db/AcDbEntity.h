// Entities: the objects drawn in a block (model space, paper space or a block definition), with
// the properties every entity has: layer, colour, linetype, line weight, visibility.
#pragma once

#include "../AcCmColor.h"
#include "AcDbObject.h"
#include "../ge/AcGeMatrix3d.h"

// An axis-aligned box. A new box is empty: its minimum is (1e20, 1e20, 1e20) and its maximum
// (-1e20, -1e20, -1e20), so the first point added makes it that point.
class AcDbExtents {
  public:
    AcDbExtents();
    AcDbExtents(const AcGePoint3d& minimum, const AcGePoint3d& maximum);

    const AcGePoint3d& minPoint() const { return m_min; }
    const AcGePoint3d& maxPoint() const { return m_max; }
    // eInvalidExtents (and nothing changed) when the minimum exceeds the maximum anywhere.
    Acad::ErrorStatus set(const AcGePoint3d& minimum, const AcGePoint3d& maximum);
    void addPoint(const AcGePoint3d& point);
    void addExt(const AcDbExtents& other);
    Acad::ErrorStatus expandBy(const AcGeVector3d& vector);
    // The box of the eight corners carried by the matrix.
    void transformBy(const AcGeMatrix3d& matrix);
    bool qvIsEmpty() const { return m_min.x > m_max.x; }

  private:
    AcGePoint3d m_min, m_max;
};

class AcDbEntity : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(AcDbEntity)
  public:
    // The block that owns the entity.
    AcDbObjectId blockId() const { return ownerId(); }

    AcCmColor color() const { return m_color; }
    Acad::ErrorStatus setColor(const AcCmColor& color, bool doSubents = true);
    Adesk::UInt16 colorIndex() const { return m_color.colorIndex(); }
    // 0 by block, 1 to 255, 256 by layer; eInvalidInput otherwise.
    Acad::ErrorStatus setColorIndex(Adesk::UInt16 index, bool doSubents = true);

    // The layer's name as a copy for the caller to free with acutDelString; null when none.
    ACHAR* layer() const;
    AcDbObjectId layerId() const { return m_layer; }
    // Names resolve in the entity's database, or the working database for a new entity.
    // eKeyNotFound when there is no such layer, eInvalidInput for a layer of another database.
    Acad::ErrorStatus setLayer(const ACHAR* name, bool doSubents = true,
                               bool allowHiddenLayer = false);
    Acad::ErrorStatus setLayer(AcDbObjectId layer, bool doSubents = true,
                               bool allowHiddenLayer = false);
    ACHAR* linetype() const;
    AcDbObjectId linetypeId() const { return m_linetype; }
    Acad::ErrorStatus setLinetype(const ACHAR* name, bool doSubents = true);
    Acad::ErrorStatus setLinetype(AcDbObjectId linetype, bool doSubents = true);
    double linetypeScale() const { return m_linetypeScale; }
    Acad::ErrorStatus setLinetypeScale(double scale, bool doSubents = true);
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    // eInvalidInput for a value that is no line weight.
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight, bool doSubents = true);
    AcDb::Visibility visibility() const { return m_visibility; }
    Acad::ErrorStatus setVisibility(AcDb::Visibility visibility, bool doSubents = true);

    // Current layer, colour by layer, linetype by layer, scale 1, weight by layer, visible, of
    // the given database (or the entity's, or the working database).
    void setDatabaseDefaults(AcDbDatabase* database = nullptr);
    // Layer, colour, linetype, its scale, line weight and visibility of another entity.
    Acad::ErrorStatus setPropertiesFrom(const AcDbEntity* other, bool doSubents = true);

    // The box that holds the entity's geometry in world coordinates; eInvalidExtents for an
    // entity without geometry.
    virtual Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const;
    // Moves, turns, scales or mirrors the entity; eCannotScaleNonUniformly where the entity
    // cannot take a scale that differs by axis (circles and arcs).
    virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix);
    // A transformed copy (the caller owns it).
    virtual Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& matrix,
                                                 AcDbEntity*& copy) const;
    // The screen shows no highlighting here; both always succeed.
    Acad::ErrorStatus highlight() const { return Acad::eOk; }
    Acad::ErrorStatus unhighlight() const { return Acad::eOk; }

    // Gives a layer and a linetype to an entity that has none, as the host does when it is
    // appended to `database`.
    void qvFillDefaults(AcDbDatabase& database);
    // Sets layer and linetype ids read from a file, without checks.
    void qvSetIds(AcDbObjectId layer, AcDbObjectId linetype) {
        m_layer = layer;
        m_linetype = linetype;
    }

  protected:
    Acad::ErrorStatus qvWriteOpenStatus() const override;
    // The database to resolve names in.
    AcDbDatabase* qvNameDatabase() const;

  private:
    AcCmColor m_color;
    AcDbObjectId m_layer, m_linetype;
    double m_linetypeScale = 1.0;
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLayer;
    AcDb::Visibility m_visibility = AcDb::kVisible;
};

// Opens an entity: eNotAnEntity (nothing opened) for an object that is none, else as
// acdbOpenObject.
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
