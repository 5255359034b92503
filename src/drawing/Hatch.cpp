#include "drawing/Hatch.h"

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("Hatch.cpp");

void CHatch::copyTo(CHatch* target) const {
    try {
        if (target == nullptr)
            AfxThrowInvalidArgException();
        target->setPatternAngle(m_patternAngle);
        target->setColour(m_colour);
        target->setLayerName(m_layerName);
        target->setPatternName(m_patternName);
        target->setPatternScale(m_patternScale);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHatch::copyTo"));
    }
}
