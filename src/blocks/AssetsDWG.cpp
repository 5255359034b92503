// The drawing finder of CAssets: the asset block references inside a room's boundary.
#include "blocks/Assets.h"

#include <memory>

#include "blocks/Asset.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGHost.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("Assets.cpp");

namespace {

// Frees a selection set when it goes.
class SelectionSet {
  public:
    SelectionSet() = default;
    ~SelectionSet() {
        if (m_bHeld)
            acedSSFree(m_name);
    }
    SelectionSet(const SelectionSet&) = delete;
    SelectionSet& operator=(const SelectionSet&) = delete;
    ads_name& name() { return m_name; }
    void hold() { m_bHeld = true; }

  private:
    ads_name m_name = {0, 0};
    bool m_bHeld = false;
};

// Visits every candidate reference of the selection (open for read), in selection order.
template <class Visit>
void forEachCandidate(CAssets& assets, const AcGeMatrix3d& placement, AcDbPolyline* pPolyline,
                      Visit visit) {
    SelectionSet set;
    if (assets.getPolylineAssets_SS(placement, pPolyline, set.name()) != RTNORM)
        return;
    set.hold();
    Adesk::Int32 length = 0;
    if (acedSSLength(set.name(), &length) != RTNORM)
        return;
    for (Adesk::Int32 i = 0; i < length; i++) {
        ads_name member;
        AcDbObjectId id;
        if (acedSSName(set.name(), i, member) != RTNORM ||
            acdbGetObjectId(id, member) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForRead);
        if (pEntity.openStatus() != Acad::eOk ||
            !blockhost::isExactly(pEntity.object(), L"AcDbBlockReference"))
            continue;
        visit(id, AcDbBlockReference::cast(pEntity.object()));
    }
}

// The name of a block record that opens; false when it does not.
bool blockNameOf(AcDbObjectId recordId, CString& sName) {
    AcDbObjectPointer<AcDbBlockTableRecord> pRecord(recordId, AcDb::kForRead);
    if (pRecord.openStatus() != Acad::eOk)
        return false;
    const ACHAR* pName = nullptr;
    if (pRecord->getName(pName) != Acad::eOk || pName == nullptr)
        return false;
    sName = pName;
    return true;
}

}  // namespace

int CAssets::getPolylineAssets_SS(const AcGePoint3d& ptPosition, AcDbPolyline* pPolyline,
                                  ads_name set) {
    AcGeMatrix3d placement;
    placement.setToTranslation(ptPosition.asVector());
    return getPolylineAssets_SS(placement, pPolyline, set);
}

int CAssets::getPolylineAssets_SS(const AcGeMatrix3d& placement, AcDbPolyline* pPolyline,
                                  ads_name set) {
    try {
        if (pPolyline == nullptr || pPolyline->numVerts() == 0)
            return 0;
        blockhost::ResBufPtr pPoints;
        resbuf* pLast = nullptr;
        AcGePoint3d ptBefore;
        for (unsigned int i = 0; i < pPolyline->numVerts(); i++) {
            AcGePoint3d pt;
            pPolyline->getPointAt(i, pt);
            pt = CAcadUtilities::convertWCSToUCS(pt.transformBy(placement));
            if (i > 0 && pt.isEqualTo(ptBefore))
                continue;
            ptBefore = pt;
            resbuf* pItem = acutNewRb(RT3DPOINT);
            pItem->resval.rpoint[0] = pt.x;
            pItem->resval.rpoint[1] = pt.y;
            pItem->resval.rpoint[2] = pt.z;
            if (pLast == nullptr)
                pPoints.reset(pItem);
            else
                pLast->rbnext = pItem;
            pLast = pItem;
        }
        blockhost::ResBufPtr pFilter(acutBuildList(RTDXF0, L"INSERT", 2, L"~ROOM-*", 0));
        return acedSSGet(L"CP", pPoints.get(), nullptr, pFilter.get(), set);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::getPolylineAssets_SS"));
    }
}

void CAssets::getPolylineAssets(const AcGePoint3d& ptPosition, AcDbPolyline* pPolyline) {
    AcGeMatrix3d placement;
    placement.setToTranslation(ptPosition.asVector());
    getPolylineAssets(placement, pPolyline);
}

void CAssets::getPolylineAssets(const AcGeMatrix3d& placement, AcDbPolyline* pPolyline) {
    try {
        forEachCandidate(*this, placement, pPolyline,
                         [&](AcDbObjectId id, AcDbBlockReference* pReference) {
            CString sName;
            if (!blockNameOf(pReference->blockTableRecord(), sName))
                return;
            if (sName.Left(2) == L"*U") {
                // An anonymous block is an asset only as the face of a dynamic block.
                const AcDbDynBlockReference dynamic(pReference);
                if (!dynamic.isDynamicBlock() ||
                    !blockNameOf(dynamic.dynamicBlockTableRecord(), sName))
                    return;
            }
            if (!assetExclusionList.IsEmpty() && assetExclusionList.Find(sName) >= 0)
                return;
            AcDbHandle handle;
            pReference->getAcDbHandle(handle);
            const AcGePoint3d ptAt = CAcadUtilities::convertWCSToUCS(pReference->position());
            auto pAsset = std::make_unique<CAsset>(0, CString(handle.text().c_str()), sName,
                                                   CString(), CString(), ptAt.x, ptAt.y, 1);
            pAsset->setObjectId(id);
            auto* pAttributes = new CAttributes;
            pAsset->setAttributes(pAttributes);
            pAttributes->extractAttributeValues(pReference);
            add(pAsset.release());
        });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::getPolylineAssets"));
    }
}

void CAssets::setPolylineAssetAttributesInvisible(const AcGePoint3d& ptPosition,
                                                  AcDbPolyline* pPolyline,
                                                  CAttributes* pAttributes) {
    try {
        if (pAttributes == nullptr)
            return;
        AcGeMatrix3d placement;
        placement.setToTranslation(ptPosition.asVector());
        forEachCandidate(*this, placement, pPolyline,
                         [&](AcDbObjectId, AcDbBlockReference* pReference) {
                             pAttributes->setAttributesIDsInvisible(pReference);
                         });
        CAcadDrawing drawing;
        drawing.regenDrawing();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::setPolylineAssetAttributesInvisible"));
    }
}
