#include "blocks/Attribute.h"

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("Attribute.cpp");

CAttribute* CAttribute::clone() const {
    try {
        return new CAttribute(m_sTag, m_sValue, m_iExists);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttribute::clone"));
    }
}
