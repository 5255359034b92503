#include "blocks/OrvanAttribute.h"

#include <memory>

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("OrvanAttribute.cpp");

CString COrvanAttribute::tagOfKind(int iKind) {
    switch (iKind) {
        case KIND_NAME:
            return L"NAME";
        case KIND_AREA:
            return L"AREA";
        case KIND_AUX:
            return L"AUX";
        default:
            return L"";
    }
}

void COrvanAttribute::setKind(int iKind) {
    m_iKind = iKind;
    const CString sTag = tagOfKind(iKind);
    if (!sTag.IsEmpty())
        setTag(sTag);
}

COrvanAttribute* COrvanAttribute::clone() const {
    try {
        auto pClone = std::make_unique<COrvanAttribute>();
        pClone->setTag(getTag());
        pClone->setKind(m_iKind);
        pClone->setValue(getValue());
        pClone->setExists(getExists());
        return pClone.release();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("COrvanAttribute::clone"));
    }
}
