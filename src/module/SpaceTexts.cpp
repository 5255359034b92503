#include "module/SpaceTexts.h"

#include <memory>

#include "blocks/Attributes.h"
#include "blocks/OrvanAttribute.h"

CString areaUnitText(int iUnits) {
    return iUnits == 0 ? L"sq.m." : L"sq.ft.";
}

CAttributes* newSpaceTexts(CString sName, CString sArea, CString sAux) {
    auto pAttributes = std::make_unique<CAttributes>();
    const int kinds[] = {COrvanAttribute::KIND_NAME, COrvanAttribute::KIND_AREA,
                         COrvanAttribute::KIND_AUX};
    const CString values[] = {sName, sArea, sAux};
    for (int i = 0; i < 3; ++i) {
        auto* pRecord = new COrvanAttribute;
        pRecord->setKind(kinds[i]);
        pRecord->setValue(values[i]);
        pAttributes->add(pRecord, TRUE);
    }
    return pAttributes.release();
}
