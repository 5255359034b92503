#include "host/db/AcDbViewport.h"

#include <algorithm>
#include <cmath>

#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbViewport, AcDbEntity, L"VIEWPORT")

namespace {

Acad::ErrorStatus positive(const AcDbViewport& viewport, double value, double& field) {
    viewport.assertWriteEnabled();
    if (!(value > 0.0)) {
        return Acad::eInvalidInput;
    }
    field = value;
    return Acad::eOk;
}

}  // namespace

void AcDbViewport::qvAdded() {
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(ownerId());
    if (block == nullptr || !block->isLayout() ||
        qv::host::foldName(block->qvName()) == L"*MODEL_SPACE") {
        return;
    }
    Adesk::Int16 highest = 1;
    for (const AcDbObjectId& id : block->qvEntities()) {
        if (const auto* other = AcDbViewport::cast(ObjectAccess::peek(id))) {
            highest = std::max(highest, other->m_number);
        }
    }
    m_number = static_cast<Adesk::Int16>(highest + 1);
}

Acad::ErrorStatus AcDbViewport::setCenterPoint(const AcGePoint3d& center) {
    assertWriteEnabled();
    m_center = center;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setWidth(double width) {
    return positive(*this, width, m_width);
}

Acad::ErrorStatus AcDbViewport::setHeight(double height) {
    return positive(*this, height, m_height);
}

Acad::ErrorStatus AcDbViewport::setViewCenter(const AcGePoint2d& center) {
    assertWriteEnabled();
    m_viewCenter = center;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setViewHeight(double height) {
    return positive(*this, height, m_viewHeight);
}

Acad::ErrorStatus AcDbViewport::setViewTarget(const AcGePoint3d& target) {
    assertWriteEnabled();
    m_viewTarget = target;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setViewDirection(const AcGeVector3d& direction) {
    assertWriteEnabled();
    if (direction.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    m_viewDirection = direction;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setTwistAngle(double angle) {
    assertWriteEnabled();
    m_twist = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setCustomScale(double scale) {
    assertWriteEnabled();
    if (!(scale > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_viewHeight = m_height / scale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setOn() {
    assertWriteEnabled();
    m_on = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setOff() {
    assertWriteEnabled();
    m_on = false;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setLocked() {
    assertWriteEnabled();
    m_locked = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::setUnlocked() {
    assertWriteEnabled();
    m_locked = false;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::checkLayers(const AcDbObjectIdArray& layers) const {
    const AcDbDatabase* db = qvNameDatabase();
    for (const AcDbObjectId& id : layers) {
        if (id.isNull()) {
            return Acad::eNullObjectId;
        }
        const auto* layer = ObjectAccess::peekAs<AcDbLayerTableRecord>(id);
        if (layer == nullptr || layer->isErased() || id.database() != db) {
            return Acad::eInvalidInput;
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::freezeLayersInViewport(const AcDbObjectIdArray& layers) {
    assertWriteEnabled();
    const Acad::ErrorStatus es = checkLayers(layers);
    if (es != Acad::eOk) {
        return es;
    }
    for (const AcDbObjectId& id : layers) {
        if (!isLayerFrozenInViewport(id)) {
            m_frozen.push_back(id);
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::thawLayersInViewport(const AcDbObjectIdArray& layers) {
    assertWriteEnabled();
    const Acad::ErrorStatus es = checkLayers(layers);
    if (es != Acad::eOk) {
        return es;
    }
    for (const AcDbObjectId& id : layers) {
        m_frozen.erase(std::remove(m_frozen.begin(), m_frozen.end(), id), m_frozen.end());
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::thawAllLayersInViewport() {
    assertWriteEnabled();
    m_frozen.clear();
    return Acad::eOk;
}

bool AcDbViewport::isLayerFrozenInViewport(const AcDbObjectId& layer) const {
    return !layer.isNull() && std::find(m_frozen.begin(), m_frozen.end(), layer) != m_frozen.end();
}

Acad::ErrorStatus AcDbViewport::getFrozenLayerList(AcDbObjectIdArray& layers) const {
    for (const AcDbObjectId& id : m_frozen) {
        if (id.isValid() && !id.isErased()) {
            layers.append(id);
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::getGeomExtents(AcDbExtents& extents) const {
    const AcGeVector3d half(m_width / 2.0, m_height / 2.0, 0.0);
    extents = AcDbExtents(m_center - half, m_center + half);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::transformBy(const AcGeMatrix3d& matrix) {
    assertWriteEnabled();
    const AcGeVector3d x = matrix * AcGeVector3d::kXAxis;
    const AcGeVector3d y = matrix * AcGeVector3d::kYAxis;
    const double scale = x.x;
    const double tolerance = 1e-9 * std::fmax(1.0, std::fabs(scale));
    const bool upright = scale > 0.0 && std::fabs(x.y) <= tolerance &&
                         std::fabs(y.x) <= tolerance && std::fabs(y.y - scale) <= tolerance;
    if (!upright) {
        return Acad::eNotApplicable;
    }
    m_center.transformBy(matrix);
    m_width *= scale;
    m_height *= scale;
    return Acad::eOk;
}
