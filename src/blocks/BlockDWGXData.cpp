// The extended-data record of a space block, on its block reference, application "ADE" (or the one
// it was read from). Items in this order:
//
//   1001 application            1000 DATE_L_MOVE=<text>
//   1002 "{"                    1000 DEPT_CHARGE=<text>
//   1000 AREA=<n><sq.m.|sq.ft.> 1000 ROOM_HEIGHT=<n><m.|ft.>
//   1000 PERIMETER=<n><m.|ft.>  1000 SPECIAL_REQ=<text>
//   1000 NAME=<text>            1000 TOT_STAFF=<text>
//   1000 TAGTYPE=<text>         1000 TOT_WKSTNS=<text>
//   1000 AREA_TYPE=<text>       1000 VOLUME=<n><cu.m.|cu.ft.>
//   1000 COST_CENTRE=<text>     1000 HANDLESTOMINUS=<hex>,<hex>,...
//   1000 DATE=<text>            1000 HANDLESTOADD=<hex>,...
//                               1002 "}"
//
// Numbers are written with the block's precision (-1: the general format). Units 0 write the
// metric unit texts, any other value (1, and -1 not known) the imperial ones.
//
// A handle list longer than one string of the host (255 bytes) goes on in further strings of the
// same key, each ending with a comma; the reader joins them. A record with one string per list,
// as every record of short lists is, reads as before.
#include <string_view>

#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("BlockDWG.cpp");  // one source file for the class

namespace {

// The longest string the host keeps in extended data, in bytes (UTF-8).
const int XDATA_STRING_BYTES = 255;

int utf8Bytes(const CString& sText) {
    int iBytes = 0;
    for (int i = 0; i < sText.GetLength(); i++) {
        const auto u = static_cast<unsigned long>(sText[i]);
        iBytes += u < 0x80 ? 1 : u < 0x800 ? 2 : u < 0x10000 ? 3 : 4;
    }
    return iBytes;
}

// The key and the list's handles, in as many strings as the host's limit asks for (at least
// one: the key alone for an empty list).
void appendHandleStrings(resbuf*& pLast, const CString& sKey, const CString& sHandles) {
    CString sCurrent = sKey;
    bool bHasHandle = false;
    int iStart = 0;
    while (iStart < sHandles.GetLength()) {
        const int iComma = sHandles.Find(L',', iStart);
        if (iComma < 0)
            break;
        const CString sItem = sHandles.Mid(iStart, iComma - iStart + 1);
        if (bHasHandle && utf8Bytes(sCurrent) + utf8Bytes(sItem) > XDATA_STRING_BYTES) {
            pLast = pLast->rbnext = acutBuildList(1000, sCurrent.GetString(), 0);
            sCurrent = sKey;
        }
        sCurrent += sItem;
        bHasHandle = true;
        iStart = iComma + 1;
    }
    pLast = pLast->rbnext = acutBuildList(1000, sCurrent.GetString(), 0);
}

bool endsWith(const CString& sText, const wchar_t* sEnd) {
    return std::wstring_view(sText).ends_with(sEnd);
}

// The decimal places of a number text: the characters after its first "." (0 without one).
int decimalsOf(const CString& sNumber) {
    const int iPoint = sNumber.Find(L'.');
    return iPoint < 0 ? 0 : sNumber.GetLength() - iPoint - 1;
}

}  // namespace

CString CBlockDWG::nameForXData() const {
    if (m_pAttributes != nullptr) {
        if (const CAttribute* pName = m_pAttributes->getAtAttribute(COrvanAttribute::KIND_NAME))
            return pName->getValue();
    }
    return getName();
}

void CBlockDWG::writeXData(AcDbObject* pObject) {
    try {
        if (!blockhost::isExactly(pObject, L"AcDbBlockReference"))
            return;
        const bool bMetric = getUnits() == 0;
        const CString sArea = bMetric ? L"sq.m." : L"sq.ft.";
        const CString sLength = bMetric ? L"m." : L"ft.";
        const CString sVolume = bMetric ? L"cu.m." : L"cu.ft.";
        if (m_sXDataAppName == XDATA_APP_NONE)
            m_sXDataAppName = XDATA_APP;
        acdbRegApp(m_sXDataAppName);
        const int iPrecision = getPrecision();
        auto number = [iPrecision](double dbl) {
            return CUtilities::DoubleToCString(dbl, iPrecision);
        };
        const CString sStrings[] = {
            L"AREA=" + number(getArea()) + sArea,
            L"PERIMETER=" + number(getPerimeter()) + sLength,
            L"NAME=" + nameForXData(),
            L"TAGTYPE=" + getTagType(),
            L"AREA_TYPE=" + getAreaType(),
            L"COST_CENTRE=" + getCostCentre(),
            L"DATE=" + getDate(),
            L"DATE_L_MOVE=" + getDateLastMove(),
            L"DEPT_CHARGE=" + getDeptCharge(),
            L"ROOM_HEIGHT=" + number(getRoomHeight()) + sLength,
            L"SPECIAL_REQ=" + getSpecialReq(),
            L"TOT_STAFF=" + getTotStaff(),
            L"TOT_WKSTNS=" + getTotWkStns(),
            L"VOLUME=" + number(getVolume()) + sVolume,
        };
        blockhost::ResBufPtr pList(acutBuildList(1001, m_sXDataAppName.GetString(), 1002, L"{", 0));
        resbuf* pLast = pList->rbnext;
        for (const CString& sText : sStrings)
            pLast = pLast->rbnext = acutBuildList(1000, sText.GetString(), 0);
        appendHandleStrings(pLast, L"HANDLESTOMINUS=", getHandlesToMinusAsString());
        appendHandleStrings(pLast, L"HANDLESTOADD=", getHandlesToAddAsString());
        pLast->rbnext = acutBuildList(1002, L"}", 0);
        const Acad::ErrorStatus es = pObject->setXData(pList.get());
        if (es != Acad::eOk)
            throw es;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::writeXData"));
    }
}

void CBlockDWG::readHandles(HandleList which, CString sValue, AcDbDatabase* pDatabase,
                            bool& bRead) {
    if (sValue.IsEmpty())
        return;
    if (!bRead) {
        list(which).removeAll();
        bRead = true;
    }
    AcArray<AcDbHandle> handles;
    CAcadUtilities::convertHandlesStringToArray(sValue, handles);
    for (const AcDbHandle& handle : handles) {
        if (blockhost::resolves(pDatabase, handle))
            list(which).append(handle);
    }
}

void CBlockDWG::readXData(resbuf* pList, AcApDocument* pDocument) {
    try {
        AcDbDatabase* pDatabase = pDocument != nullptr ? pDocument->database() : nullptr;
        bool bMinusRead = false, bAddRead = false, bNameRead = false;
        for (const resbuf* pItem = pList; pItem != nullptr; pItem = pItem->rbnext) {
            if (pItem->restype != 1000 || pItem->resval.rstring == nullptr)
                continue;
            // Each string is looked at where the list keeps it; only the values are copied. The
            // keys hold no "=", so a string starts with "KEY=" exactly when the text before its
            // first "=" is KEY.
            const std::wstring_view sText(pItem->resval.rstring);
            const size_t nEquals = sText.find(L'=');
            if (nEquals == std::wstring_view::npos)
                continue;
            const std::wstring_view sKey = sText.substr(0, nEquals);
            const auto value = [&sText, nEquals] { return CString(sText.substr(nEquals + 1)); };
            if (sKey == L"NAME") {
                if (!bNameRead)
                    m_sXDataName =
                        CAcadUtilities::extractData(CAcadUtilities::XDATA_NAME, CString(sText));
                bNameRead = true;
            } else if (sKey == L"AREA") {
                CString sValue = value();
                bool bUnit = true;
                if (endsWith(sValue, L"sq.m.")) {
                    sValue = sValue.Left(sValue.GetLength() - 5);
                    setUnits(0);
                } else if (endsWith(sValue, L"sq.ft.")) {
                    sValue = sValue.Left(sValue.GetLength() - 6);
                    setUnits(1);
                } else {
                    bUnit = false;
                }
                sValue.TrimRight();
                if (bUnit)
                    setPrecision(decimalsOf(sValue));
                double dbl = 0.0;
                if (CUtilities::CStringToFiniteDouble(sValue, L"stored area", dbl))
                    setArea(dbl);
            } else if (sKey == L"PERIMETER") {
                CString sValue = value();
                if (endsWith(sValue, L"ft."))
                    sValue = sValue.Left(sValue.GetLength() - 3);
                else if (endsWith(sValue, L"m."))
                    sValue = sValue.Left(sValue.GetLength() - 2);
                double dbl = 0.0;
                if (CUtilities::CStringToFiniteDouble(sValue, L"stored perimeter", dbl))
                    setPerimeter(dbl);
            } else if (sKey == L"TAGTYPE") {
                setTagType(value());
            } else if (sKey == L"AREA_TYPE") {
                setAreaType(value());
            } else if (sKey == L"COST_CENTRE") {
                setCostCentre(value());
            } else if (sKey == L"DATE") {
                setDate(value());
            } else if (sKey == L"DATE_L_MOVE") {
                setDateLastMove(value());
            } else if (sKey == L"DEPT_CHARGE") {
                setDeptCharge(value());
            } else if (sKey == L"ROOM_HEIGHT") {
                double dbl = 0.0;
                if (CUtilities::CStringToFiniteDouble(value(), L"stored room height", dbl))
                    setRoomHeight(dbl);
            } else if (sKey == L"SPECIAL_REQ") {
                setSpecialReq(value());
            } else if (sKey == L"TOT_STAFF") {
                setTotStaff(value());
            } else if (sKey == L"TOT_WKSTNS") {
                setTotWkStns(value());
            } else if (sKey == L"VOLUME") {
                double dbl = 0.0;
                if (CUtilities::CStringToFiniteDouble(value(), L"stored volume", dbl))
                    setVolume(dbl);
            } else if (sKey == L"HANDLESTOMINUS") {
                readHandles(HandleList::Minus, value(), pDatabase, bMinusRead);
            } else if (sKey == L"HANDLESTOADD") {
                readHandles(HandleList::Add, value(), pDatabase, bAddRead);
            }
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::readXData"));
    }
}
