// Viewports: windows on a paper layout through which model space shows. A viewport is an entity
// of its layout's block: a rectangle on the sheet (centre, width, height) and the view it shows
// (the model-space point at its centre, the height of model space it shows, the target, the
// direction and the twist). Each viewport may freeze layers of its own: a layer frozen in a
// viewport does not show there, whatever it does elsewhere.
//
// A viewport appended to the block of a paper layout takes the next free number of that block
// (2 and up: 1 stands for the sheet itself); elsewhere its number is 0. number() gives -1 while
// the viewport is off.
#pragma once

#include <vector>

#include "AcDbEntity.h"

class AcDbViewport : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbViewport)
  public:
    // A viewport of 100 x 100 at the origin, on, showing model space 1:1 from above.
    AcDbViewport() = default;
    QV_RX_CLONE(AcDbViewport)

    AcGePoint3d centerPoint() const { return m_center; }
    Acad::ErrorStatus setCenterPoint(const AcGePoint3d& center);
    // The sheet size; eInvalidInput unless above 0.
    double width() const { return m_width; }
    Acad::ErrorStatus setWidth(double width);
    double height() const { return m_height; }
    Acad::ErrorStatus setHeight(double height);

    AcGePoint2d viewCenter() const { return m_viewCenter; }
    Acad::ErrorStatus setViewCenter(const AcGePoint2d& center);
    // The height of model space shown; eInvalidInput unless above 0.
    double viewHeight() const { return m_viewHeight; }
    Acad::ErrorStatus setViewHeight(double height);
    AcGePoint3d viewTarget() const { return m_viewTarget; }
    Acad::ErrorStatus setViewTarget(const AcGePoint3d& target);
    // eInvalidInput for a zero vector.
    AcGeVector3d viewDirection() const { return m_viewDirection; }
    Acad::ErrorStatus setViewDirection(const AcGeVector3d& direction);
    double twistAngle() const { return m_twist; }
    Acad::ErrorStatus setTwistAngle(double angle);
    // Sheet units per model-space unit: height / viewHeight. Setting it sets the view height;
    // eInvalidInput unless above 0.
    double customScale() const { return m_height / m_viewHeight; }
    Acad::ErrorStatus setCustomScale(double scale);

    bool isOn() const { return m_on; }
    Acad::ErrorStatus setOn();
    Acad::ErrorStatus setOff();
    // The display lock: a locked viewport keeps its view when the user zooms inside it.
    bool isLocked() const { return m_locked; }
    Acad::ErrorStatus setLocked();
    Acad::ErrorStatus setUnlocked();
    // The viewport's number in its layout, or -1 while it is off.
    Adesk::Int16 number() const { return m_on ? m_number : static_cast<Adesk::Int16>(-1); }

    // Freezes (thaws) the layers in this viewport only. Each id must be a layer of the
    // viewport's database (of the working database for a viewport outside any): eNullObjectId
    // for a null id, eInvalidInput for anything else that is no such layer; a refused call
    // changes nothing. Freezing a frozen layer or thawing a thawed one does nothing.
    Acad::ErrorStatus freezeLayersInViewport(const AcDbObjectIdArray& layers);
    Acad::ErrorStatus thawLayersInViewport(const AcDbObjectIdArray& layers);
    Acad::ErrorStatus thawAllLayersInViewport();
    bool isLayerFrozenInViewport(const AcDbObjectId& layer) const;
    // The layers frozen here, in the order they were frozen; erased layers are left out.
    Acad::ErrorStatus getFrozenLayerList(AcDbObjectIdArray& layers) const;

    // The rectangle on the sheet.
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Moves and scales the rectangle (the view stays); eNotApplicable for a matrix that turns,
    // mirrors or distorts it.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;

    // ---- for the host's own code (drawing files) ----

    // The number as a file has it (group 69).
    Adesk::Int16 qvNumber() const { return m_number; }
    void qvSetNumber(Adesk::Int16 number) { m_number = number; }
    // The frozen layers as a file has them, without checks (group 331).
    void qvSetFrozenLayers(const std::vector<AcDbObjectId>& layers) { m_frozen = layers; }
    const std::vector<AcDbObjectId>& qvFrozenLayers() const { return m_frozen; }

  protected:
    void qvAdded() override;

  private:
    Acad::ErrorStatus checkLayers(const AcDbObjectIdArray& layers) const;

    AcGePoint3d m_center;
    double m_width = 100.0, m_height = 100.0;
    AcGePoint2d m_viewCenter;
    double m_viewHeight = 100.0;
    AcGePoint3d m_viewTarget;
    AcGeVector3d m_viewDirection{0.0, 0.0, 1.0};
    double m_twist = 0.0;
    bool m_on = true;
    bool m_locked = false;
    Adesk::Int16 m_number = 0;
    std::vector<AcDbObjectId> m_frozen;
};
