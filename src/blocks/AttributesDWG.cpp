// The operations of CAttributes on block references in the drawing.
#include <cmath>

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("AttributesDWG.cpp");

namespace {

const double PI = 3.141592653589793;

// The direction of a text (its rotation in its own plane) as a world vector.
AcGeVector3d directionOf(const AcDbText* pText) {
    AcGeVector3d direction(std::cos(pText->rotation()), std::sin(pText->rotation()), 0.0);
    direction.transformBy(AcGeMatrix3d::planeToWorld(pText->normal()));
    return direction;
}

// The text's rotation measured in the coordinate system of the matrix, in degrees.
double rotationInUcs(const AcDbText* pText, const AcGeMatrix3d& ucs) {
    AcGeVector3d direction = directionOf(pText);
    direction.transformBy(ucs.inverse());
    return std::atan2(direction.y, direction.x) * 180.0 / PI;
}

// The rotation (radians, in the text's own plane) that gives the text the direction of `degrees`
// measured in the coordinate system of the matrix.
double rotationInPlane(const AcDbText* pText, const AcGeMatrix3d& ucs, double degrees) {
    const double radians = degrees / 180.0 * PI;
    AcGeVector3d direction(std::cos(radians), std::sin(radians), 0.0);
    direction.transformBy(ucs);
    direction.transformBy(AcGeMatrix3d::worldToPlane(pText->normal()));
    if (std::fabs(direction.x) < 1e-12 && std::fabs(direction.y) < 1e-12)
        return pText->rotation();  // the UCS direction stands across the text's plane
    return std::atan2(direction.y, direction.x);
}

// The kind of a space-block tag (compared upper-cased), or -1.
int kindOfTag(CString sTag) {
    static const int KINDS[] = {COrvanAttribute::KIND_NAME, COrvanAttribute::KIND_AREA,
                                COrvanAttribute::KIND_AUX};
    // The tags, made once: every attribute of every space block is looked up here.
    static const CString TAGS[] = {COrvanAttribute::tagOfKind(KINDS[0]),
                                   COrvanAttribute::tagOfKind(KINDS[1]),
                                   COrvanAttribute::tagOfKind(KINDS[2])};
    sTag.MakeUpper();
    for (int i = 0; i < 3; ++i) {
        if (sTag == TAGS[i])
            return KINDS[i];
    }
    return COrvanAttribute::KIND_NONE;
}

}  // namespace

void CAttributes::extractAttributeValues(AcDbBlockReference* pReference) {
    try {
        deleteObjects();
        if (pReference == nullptr)
            return;
        for (const AcDbObjectId& id : blockhost::attributeIdsOf(pReference)) {
            AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForRead);
            if (pAttribute.openStatus() != Acad::eOk)
                continue;
            auto* pRecord =
                new CAttribute(pAttribute->tagConst(), pAttribute->textStringConst(), 1);
            pRecord->setLayer(blockhost::layerOf(pAttribute.object()));
            add(pRecord, FALSE);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::extractAttributeValues"));
    }
}

void CAttributes::extractSpaceBlockAttributeValues(AcDbBlockReference* pReference,
                                                   AcGeMatrix3d ucs) {
    try {
        deleteObjects();
        if (pReference == nullptr)
            return;
        bool bFormatRead = false;
        for (const AcDbObjectId& id : blockhost::attributeIdsOf(pReference)) {
            AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForRead);
            if (pAttribute.openStatus() != Acad::eOk)
                continue;
            if (!bFormatRead) {
                bFormatRead = true;
                m_dblTextHeight = pAttribute->height();
                m_dblWidthFactor = pAttribute->widthFactor();
                m_dblRotation = rotationInUcs(pAttribute.object(), ucs);
            }
            const int iKind = kindOfTag(pAttribute->tagConst());
            if (iKind == COrvanAttribute::KIND_NONE)
                continue;
            if (iKind == COrvanAttribute::KIND_AREA)
                m_ptAreaPosition = pAttribute->position();
            auto* pRecord = new COrvanAttribute;
            pRecord->setKind(iKind);
            pRecord->setValue(pAttribute->textStringConst());
            pRecord->setLayer(blockhost::layerOf(pAttribute.object()));
            add(pRecord, FALSE);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::extractSpaceBlockAttributeValues"));
    }
}

void CAttributes::applyToDWG(AcDbObjectId referenceId, AcGeMatrix3d ucs, AcGePoint3d* pPosition) {
    try {
        AcDbObjectPointer<AcDbEntity> pEntity(referenceId, AcDb::kForWrite);
        if (pEntity.openStatus() != Acad::eOk)
            return;
        applyToDWGReference(pEntity.object(), ucs, pPosition);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::applyToDWG"));
    }
}

void CAttributes::applyToDWGReference(AcDbEntity* pEntity, AcGeMatrix3d ucs,
                                      AcGePoint3d* pPosition) {
    try {
        if (!blockhost::isExactly(pEntity, L"AcDbBlockReference"))
            return;
        auto* pReference = static_cast<AcDbBlockReference*>(pEntity);
        const AcDbObjectIdArray ids = blockhost::attributeIdsOf(pReference);
        // The anchor: the given position, else the reference's last "AREA" attribute.
        bool bHaveAnchor = pPosition != nullptr;
        AcGePoint3d ptAnchor = bHaveAnchor ? *pPosition : AcGePoint3d::kOrigin;
        if (!bHaveAnchor) {
            for (const AcDbObjectId& id : ids) {
                AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForRead);
                if (pAttribute.openStatus() == Acad::eOk &&
                    kindOfTag(pAttribute->tagConst()) == COrvanAttribute::KIND_AREA) {
                    ptAnchor = pAttribute->position();
                    bHaveAnchor = true;
                }
            }
        }
        for (const AcDbObjectId& id : ids) {
            AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForWrite);
            if (pAttribute.openStatus() != Acad::eOk)
                continue;
            pAttribute->setHeight(m_dblTextHeight);
            pAttribute->setWidthFactor(m_dblWidthFactor);
            pAttribute->setRotation(rotationInPlane(pAttribute.object(), ucs, m_dblRotation));
            const double r = pAttribute->rotation();
            const double dx = std::sin(r) * m_dblTextHeight * 1.5;
            const double dy = std::cos(r) * m_dblTextHeight * 1.5;
            const int iKind = kindOfTag(pAttribute->tagConst());
            if (iKind == COrvanAttribute::KIND_NONE)
                continue;
            const CAttribute* pRecord = getAtAttribute(iKind);
            if (pRecord == nullptr)
                continue;
            pAttribute->setTextString(pRecord->getValue());
            if (!bHaveAnchor)
                continue;
            switch (iKind) {
                case COrvanAttribute::KIND_NAME:
                    pAttribute->setPosition(
                        AcGePoint3d(ptAnchor.x - dx, ptAnchor.y + dy, ptAnchor.z));
                    break;
                case COrvanAttribute::KIND_AREA:
                    pAttribute->setPosition(ptAnchor);
                    break;
                case COrvanAttribute::KIND_AUX:
                    pAttribute->setPosition(
                        AcGePoint3d(ptAnchor.x + dx, ptAnchor.y - dy, ptAnchor.z));
                    break;
                default:
                    break;
            }
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::applyToDWGReference"));
    }
}

void CAttributes::applyToDWGByTag(AcDbEntity* pEntity) {
    try {
        if (!blockhost::isExactly(pEntity, L"AcDbBlockReference"))
            return;
        auto* pReference = static_cast<AcDbBlockReference*>(pEntity);
        for (const AcDbObjectId& id : blockhost::attributeIdsOf(pReference)) {
            AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForWrite);
            if (pAttribute.openStatus() != Acad::eOk)
                continue;
            const CAttribute* pRecord = getAtAttributeByTag(pAttribute->tagConst());
            if (pRecord == nullptr)
                continue;
            if (!pRecord->getLayer().IsEmpty())
                pAttribute->setLayer(pRecord->getLayer(), true, false);
            pAttribute->setTextString(pRecord->getValue());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::applyToDWGByTag"));
    }
}

void CAttributes::setAttributesIDsInvisible(AcDbBlockReference* pReference) {
    try {
        if (pReference == nullptr)
            return;
        for (const AcDbObjectId& id : blockhost::attributeIdsOf(pReference)) {
            AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForWrite);
            if (pAttribute.openStatus() != Acad::eOk || pAttribute->isInvisible())
                continue;
            auto* pRecord = new CAttribute;
            pRecord->setObjectId(id);
            add(pRecord, TRUE);
            pAttribute->setInvisible(true);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::setAttributesIDsInvisible"));
    }
}

void CAttributes::setAttributesIDsVisible() {
    try {
        for (int i = 0; i < m_iCount; i++) {
            AcDbObjectPointer<AcDbAttribute> pAttribute(m_attributes.GetAt(i)->getObjectId(),
                                                        AcDb::kForWrite);
            if (pAttribute.openStatus() == Acad::eOk)
                pAttribute->setInvisible(false);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::setAttributesIDsVisible"));
    }
}
