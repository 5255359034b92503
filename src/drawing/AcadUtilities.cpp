// CAcadUtilities: units and the packing of points for the automation interface.
#include "drawing/AcadUtilities.h"

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
