// CAcadUtilities: extended-data values, handles and draw order.
#include "drawing/AcadUtilities.h"

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("AcadUtilities.cpp");

namespace {

// How many characters the key and the unit text of each key id take.
struct XDataCut {
    int keyId;
    int front;
    int back;
};

constexpr XDataCut XDATA_CUTS[] = {
    {CAcadUtilities::XDATA_NAME, 5, 0},
    {CAcadUtilities::XDATA_AREA_METRIC, 5, 5},
    {CAcadUtilities::XDATA_AREA_IMPERIAL, 5, 6},
    {CAcadUtilities::XDATA_PERIMETER_METRIC, 10, 2},
    {CAcadUtilities::XDATA_PERIMETER_IMPERIAL, 10, 3},
    {CAcadUtilities::XDATA_TAGTYPE, 8, 0},
    {CAcadUtilities::XDATA_AREA_TYPE, 10, 0},
    {CAcadUtilities::XDATA_COST_CENTRE, 12, 0},
    {CAcadUtilities::XDATA_DATE, 5, 0},
    {CAcadUtilities::XDATA_DATE_L_MOVE, 12, 0},
    {CAcadUtilities::XDATA_DEPT_CHARGE, 12, 0},
    {CAcadUtilities::XDATA_ROOM_HEIGHT, 12, 0},
    {CAcadUtilities::XDATA_SPECIAL_REQ, 12, 0},
    {CAcadUtilities::XDATA_TOT_STAFF, 10, 0},
    {CAcadUtilities::XDATA_TOT_WKSTNS, 11, 0},
    {CAcadUtilities::XDATA_VOLUME, 7, 0},
    {CAcadUtilities::XDATA_HANDLESTOMINUS, 15, 0},
    {CAcadUtilities::XDATA_HANDLESTOADD, 13, 0},
};

}  // namespace

CString CAcadUtilities::extractData(int keyId, CString data) {
    try {
        for (const XDataCut& cut : XDATA_CUTS) {
            if (cut.keyId != keyId)
                continue;
            const int length = data.GetLength() - cut.front - cut.back;
            return length > 0 ? data.Mid(cut.front, length) : CString();
        }
        return CString();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::extractData"));
    }
}

void CAcadUtilities::convertHandlesStringToArray(CString handles, AcArray<AcDbHandle>& array) {
    try {
        int start = 0;
        for (int comma = handles.Find(L',', start); comma >= 0; comma = handles.Find(L',', start)) {
            array.append(AcDbHandle(handles.Mid(start, comma - start).GetString()));
            start = comma + 1;
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertHandlesStringToArray"));
    }
}
