// CAcadUtilities: units, measurement and the packing of points for the automation interface.
#include "drawing/AcadUtilities.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <limits>
#include <memory>

#include <arxHeaders.h>

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("AcadUtilities.cpp");

namespace {

bool drawnInInches(Adesk::Int16 drawingUnits) {
    return drawingUnits == 3 || drawingUnits == 4;
}

}  // namespace

double CAcadUtilities::getAreaDivisor(Adesk::Int16 drawingUnits, int units) {
    if (drawnInInches(drawingUnits))
        return units == 0 ? 1550.0031000062 : 144.0;
    return units == 0 ? 1000000.0 : 92903.04;
}

double CAcadUtilities::getLengthDivisor(Adesk::Int16 drawingUnits, int units) {
    if (drawnInInches(drawingUnits))
        return units == 0 ? 39.37007874015748 : 12.0;
    return units == 0 ? 1000.0 : 304.8;
}

HRESULT CAcadUtilities::pointToVariant(VARIANT* value, double x, double y, double z) {
    VariantInit(value);
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 3);
    if (array == nullptr)
        return E_OUTOFMEMORY;
    value->vt = VT_ARRAY | VT_R8;
    value->parray = array;
    double coordinates[3] = {x, y, z};
    for (LONG i = 0; i < 3; ++i) {
        const HRESULT hr = SafeArrayPutElement(array, &i, &coordinates[i]);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

// ---- Measurement --------------------------------------------------------------------------

namespace {

void requirePointer(const void* pointer) {
    if (pointer == nullptr)
        AfxThrowInvalidArgException();
}

// The curve's area in drawing units; 0 when the host cannot compute it.
double curveArea(AcDbCurve* curve) {
    requirePointer(curve);
    double area = 0.0;
    if (curve->getArea(area) != Acad::eOk)
        return 0.0;
    return area;
}

// The geometric extents of the first polyline of a block definition; false when there is none.
bool firstPolylineExtents(AcDbObjectId blockId, AcDbExtents& extents) {
    AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForRead);
    if (!block)
        return false;
    AcDbBlockTableRecordIterator* iterator = nullptr;
    if (block->newIterator(iterator, true, true) != Acad::eOk)
        return false;
    std::unique_ptr<AcDbBlockTableRecordIterator> walker(iterator);
    for (; !walker->done(); walker->step(true, true)) {
        AcDbObjectId id;
        if (walker->getEntityId(id) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
        if (!entity || wcscmp(entity->isA()->name(), L"AcDbPolyline") != 0)
            continue;
        return entity->getGeomExtents(extents) == Acad::eOk;
    }
    return false;
}

}  // namespace

double CAcadUtilities::calculatePolylineArea(AcDbCurve* curve, Adesk::Int16 drawingUnits,
                                             int units) {
    try {
        return curveArea(curve) / getAreaDivisor(drawingUnits, units);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::calculatePolylineArea"));
    }
}

double CAcadUtilities::getPolyPerimeter(AcDbCurve* curve) {
    try {
        requirePointer(curve);
        double endParam = 0.0;
        double length = 0.0;
        if (curve->getEndParam(endParam) != Acad::eOk ||
            curve->getDistAtParam(endParam, length) != Acad::eOk)
            return 0.0;
        return length;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::getPolyPerimeter"));
    }
}

double CAcadUtilities::calculatePolylinePerimeter(AcDbCurve* curve, Adesk::Int16 drawingUnits,
                                                  int units) {
    try {
        return getPolyPerimeter(curve) / getLengthDivisor(drawingUnits, units);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::calculatePolylinePerimeter"));
    }
}

double CAcadUtilities::recalculateBlockArea(AcDbBlockReference* reference, AcDbCurve* boundary,
                                            Adesk::Int16 drawingUnits, int units) {
    try {
        requirePointer(reference);
        const AcGeScale3d scale = reference->scaleFactors();
        return std::fabs(scale.sx) * std::fabs(scale.sy) *
               (curveArea(boundary) / getAreaDivisor(drawingUnits, units));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::recalculateBlockArea"));
    }
}

double CAcadUtilities::recalculateBlockPerimeter(AcDbBlockReference* reference, AcDbCurve* boundary,
                                                 Adesk::Int16 drawingUnits, int units) {
    try {
        requirePointer(reference);
        const AcGeScale3d scale = reference->scaleFactors();
        const double x = std::fabs(scale.sx);
        const double factor = x == std::fabs(scale.sy) ? x : 0.0;
        return factor * (getPolyPerimeter(boundary) / getLengthDivisor(drawingUnits, units));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::recalculateBlockPerimeter"));
    }
}

void CAcadUtilities::getBlockExtents(AcDbEntity* entity, AcGePoint3d& minPoint,
                                     AcGePoint3d& maxPoint, double margin) {
    try {
        const AcDbBlockReference* reference = AcDbBlockReference::cast(entity);
        if (reference == nullptr)
            return;
        AcDbExtents extents;
        if (!firstPolylineExtents(reference->blockTableRecord(), extents))
            return;
        if (margin > 0.0) {
            const AcGePoint3d low = extents.minPoint();
            const AcGePoint3d high = extents.maxPoint();
            extents.set(AcGePoint3d(low.x - margin, low.y - margin, low.z),
                        AcGePoint3d(high.x + margin, high.y + margin, high.z));
        }
        extents.transformBy(reference->blockTransform());
        minPoint = extents.minPoint();
        maxPoint = extents.maxPoint();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::getBlockExtents"));
    }
}

AcGePoint3d CAcadUtilities::getPolylineTopLeft(AcDbPolyline* polyline, AcGeMatrix3d* transform) {
    AcGePoint3d topLeft(std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                        0.0);
    for (unsigned int i = 0; i < polyline->numVerts(); ++i) {
        AcGePoint3d vertex;
        polyline->getPointAt(i, vertex);
        if (transform != nullptr)
            vertex.transformBy(*transform);
        topLeft.x = std::min(topLeft.x, vertex.x);
        topLeft.y = std::max(topLeft.y, vertex.y);
    }
    return topLeft;
}

// ---- Coordinate systems and colours ----------------------------------------------------------

namespace {

constexpr short WORLD = 0;
constexpr short USER = 1;

AcGePoint3d transformPoint(const AcGePoint3d& point, short from, short to) {
    resbuf fromSystem{};
    fromSystem.restype = RTSHORT;
    fromSystem.resval.rint = from;
    resbuf toSystem{};
    toSystem.restype = RTSHORT;
    toSystem.resval.rint = to;
    const ads_point in = {point.x, point.y, point.z};
    ads_point out = {point.x, point.y, point.z};
    acedTrans(in, &fromSystem, &toSystem, 0, out);
    return AcGePoint3d(out[0], out[1], out[2]);
}

}  // namespace

AcGePoint3d CAcadUtilities::convertUCSToWCS(AcGePoint3d point) {
    try {
        return transformPoint(point, USER, WORLD);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertUCSToWCS"));
    }
}

AcGePoint3d CAcadUtilities::convertWCSToUCS(AcGePoint3d point) {
    try {
        return transformPoint(point, WORLD, USER);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertWCSToUCS"));
    }
}

void CAcadUtilities::contrastWithBackground(AcCmColor& colour) {
    AcColorSettings settings{};
    if (!acedGetCurrentColors(&settings))
        return;
    const Adesk::UInt32 background = settings.dwGfxModelBkColor;
    AcCmColor backgroundColour;
    backgroundColour.setRGB(static_cast<Adesk::UInt8>(background),
                            static_cast<Adesk::UInt8>(background >> 8),
                            static_cast<Adesk::UInt8>(background >> 16));
    if (!colour.isByColor() && !colour.isByACI())
        return;
    if (colour.red() == backgroundColour.red() && colour.green() == backgroundColour.green() &&
        colour.blue() == backgroundColour.blue()) {
        colour.setRGB(255 - backgroundColour.red(), 255 - backgroundColour.green(),
                      255 - backgroundColour.blue());
    }
}
