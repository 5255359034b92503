#include "drawing/HostIdentity.h"

#include <arxHeaders.h>

CHostIdentity::CHostIdentity()
    : CHostIdentity(acdbHostApplicationServices()->product(),
                    acdbHostApplicationServices()->program()) {}

CHostIdentity::CHostIdentity(CString productName, CString secondHostText)
    : m_secondHostText(secondHostText) {
    CString product = productName;
    product.MakeLower();
    if (product.Find(L"autocad") >= 0) {
        if (product.Find(L"tocad lt") >= 0) {
            m_kind = HOST_AUTOCAD_LT;
            m_product = L"AutoCADLT";
        } else {
            m_kind = HOST_AUTOCAD;
            m_product = L"AutoCAD";
        }
    } else if (product.Find(L"bricscad") >= 0) {
        m_kind = HOST_BRICSCAD;
        m_product = L"BricsCAD";
    } else {
        m_kind = HOST_UNKNOWN;
        m_product = L"unknown <" + product + L">";
    }
}

CHostIdentity hostIdentity;
