#include "module/AuxAttributes.h"

#include <cmath>
#include <memory>

#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/Blocks.h"
#include "drawing/AcadDrawing.h"
#include "drawing/Layer.h"
#include "module/CommandFrame.h"

namespace {

const wchar_t AUX_LAYER[] = L"ATT-AUX";

// What the layout takes from the AREA text.
struct Anchor {
    AcGePoint3d position;
    AcGeVector3d normal;
    double rotation = 0.0;
    double widthFactor = 1.0;
    double height = 0.0;
    AcDb::TextHorzMode horizontal = AcDb::kTextLeft;
    AcDb::TextVertMode vertical = AcDb::kTextBase;

    explicit Anchor(const AcDbText& area)
        : position(area.position()), normal(area.normal()), rotation(area.rotation()),
          widthFactor(area.widthFactor()), height(area.height()),
          horizontal(area.horizontalMode()), vertical(area.verticalMode()) {}

    AcGePoint3d above() const {
        return AcGePoint3d(position.x - dx(), position.y + dy(), position.z);
    }
    AcGePoint3d below() const {
        return AcGePoint3d(position.x + dx(), position.y - dy(), position.z);
    }
    double dx() const { return std::sin(rotation) * height * 1.5; }
    double dy() const { return std::cos(rotation) * height * 1.5; }
};

// Puts a text at the point with the anchor's rotation, width factor and height. A text that is
// not left/base aligned stands at its alignment point, which moves with it.
void place(AcDbText* pText, const AcGePoint3d& point, const Anchor& anchor) {
    pText->setPosition(point);
    if (!pText->isDefaultAlignment())
        pText->setAlignmentPoint(point);
    pText->setRotation(anchor.rotation);
    pText->setWidthFactor(anchor.widthFactor);
    pText->setHeight(anchor.height);
}

// The ids of the first entity of each tag among `ids` of class T ("NAME", "AREA", "AUX").
struct TaggedIds {
    AcDbObjectId name, area, aux;
};

template <class T>
TaggedIds findTagged(const AcDbObjectIdArray& ids, const wchar_t* sClassName) {
    TaggedIds found;
    for (const AcDbObjectId& id : ids) {
        if (!blockhost::isExactly(id, sClassName))
            continue;
        AcDbObjectPointer<T> pText(id, AcDb::kForRead);
        if (pText.openStatus() != Acad::eOk)
            continue;
        const CString sTag = pText->tagConst();
        AcDbObjectId* pSlot = sTag == L"NAME"   ? &found.name
                              : sTag == L"AREA" ? &found.area
                              : sTag == L"AUX"  ? &found.aux
                                                : nullptr;
        if (pSlot != nullptr && pSlot->isNull())
            *pSlot = id;
    }
    return found;
}

}  // namespace

void turnOnOrvanLayers(CAcadDrawing* pDrawing) {
    CAcModuleResourceOverride resources;
    AcDbObjectPointer<AcDbLayerTable> pTable(pDrawing->getDocument()->database()->layerTableId(),
                                             AcDb::kForRead);
    if (pTable.openStatus() != Acad::eOk)
        return;
    AcDbLayerTableIterator* pRaw = nullptr;
    if (pTable->newIterator(pRaw) != Acad::eOk)
        return;
    const std::unique_ptr<AcDbLayerTableIterator> iterator(pRaw);
    for (; !iterator->done(); iterator->step()) {
        AcDbLayerTableRecord* pRecord = nullptr;
        if (iterator->getRecord(pRecord, AcDb::kForWrite) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbLayerTableRecord> record;
        record.acquire(pRecord);
        const ACHAR* pName = nullptr;
        if (record->getName(pName) != Acad::eOk || pName == nullptr)
            continue;
        CString sName(pName);
        sName.MakeUpper();
        if (sName == L"ATT-NAME" || sName == L"ATT-AREA" || sName == L"ATT-AUX")
            record->setIsOff(false);
    }
}

bool iterateThroughOrvanBlockDefinition(AcDbBlockTableRecord* pDefinition) {
    CAcModuleResourceOverride resources;
    const TaggedIds tagged = findTagged<AcDbAttributeDefinition>(
        blockhost::entityIdsOf(pDefinition), L"AcDbAttributeDefinition");
    if (tagged.area.isNull())
        return false;
    AcDbObjectPointer<AcDbAttributeDefinition> pArea(tagged.area, AcDb::kForWrite);
    if (pArea.openStatus() != Acad::eOk)
        return false;
    pArea->setHorizontalMode(AcDb::kTextLeft);
    const Anchor anchor(*pArea.object());
    pArea.close();

    if (!tagged.name.isNull()) {
        AcDbObjectPointer<AcDbAttributeDefinition> pName(tagged.name, AcDb::kForWrite);
        if (pName.openStatus() == Acad::eOk) {
            pName->setHorizontalMode(AcDb::kTextLeft);
            place(pName.object(), anchor.above(), anchor);
        }
    }
    if (!tagged.aux.isNull()) {
        AcDbObjectPointer<AcDbAttributeDefinition> pAux(tagged.aux, AcDb::kForWrite);
        if (pAux.openStatus() == Acad::eOk)
            place(pAux.object(), anchor.below(), anchor);
        return true;
    }
    auto pAux = std::make_unique<AcDbAttributeDefinition>();
    pAux->setNormal(anchor.normal);
    pAux->setHorizontalMode(AcDb::kTextLeft);
    pAux->setVerticalMode(anchor.vertical);
    place(pAux.get(), anchor.below(), anchor);
    pAux->setPrompt(L"Enter Auxillary");
    pAux->setTextString(L"default aux");
    pAux->setTag(L"AUX");
    pAux->setInvisible(false);
    pAux->setVerifiable(false);
    pAux->setPreset(false);
    pAux->setConstant(false);
    pAux->setFieldLength(25);
    Acad::ErrorStatus es = pAux->setLayer(AUX_LAYER);
    if (es == Acad::eOk)
        es = pDefinition->appendAcDbEntity(pAux.get());
    if (es != Acad::eOk)
        throw es;
    pAux.release()->close();
    return true;
}

bool iterateThroughOrvanBlockReference(AcDbBlockReference* pReference) {
    CAcModuleResourceOverride resources;
    const TaggedIds tagged =
        findTagged<AcDbAttribute>(blockhost::attributeIdsOf(pReference), L"AcDbAttribute");
    if (tagged.area.isNull())
        return false;
    std::unique_ptr<Anchor> anchor;
    {
        AcDbObjectPointer<AcDbAttribute> pArea(tagged.area, AcDb::kForRead);
        if (pArea.openStatus() != Acad::eOk)
            return false;
        anchor = std::make_unique<Anchor>(*pArea.object());
    }
    if (!tagged.name.isNull()) {
        AcDbObjectPointer<AcDbAttribute> pName(tagged.name, AcDb::kForWrite);
        if (pName.openStatus() == Acad::eOk)
            place(pName.object(), anchor->above(), *anchor);
    }
    if (!tagged.aux.isNull()) {
        AcDbObjectPointer<AcDbAttribute> pAux(tagged.aux, AcDb::kForWrite);
        if (pAux.openStatus() == Acad::eOk)
            place(pAux.object(), anchor->below(), *anchor);
        return true;
    }
    auto pAux = std::make_unique<AcDbAttribute>();
    pAux->setNormal(anchor->normal);
    pAux->setHorizontalMode(anchor->horizontal);
    pAux->setVerticalMode(anchor->vertical);
    place(pAux.get(), anchor->below(), *anchor);
    pAux->setTextString(L" ");
    pAux->setTag(L"AUX");
    pAux->setInvisible(false);
    Acad::ErrorStatus es = pAux->setLayer(AUX_LAYER);
    AcDbObjectId auxId;
    if (es == Acad::eOk)
        es = pReference->appendAttribute(auxId, pAux.get());
    if (es != Acad::eOk)
        throw es;
    pAux.release()->close();
    return true;
}

void orvanAuxilarator() {
    guardCommand(L"orvanAuxilarator", [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        if (!frame.lockDrawing())
            return;
        CLayer::ensureLayerExists(AUX_LAYER, pDrawing);
        turnOnOrvanLayers(pDrawing);
        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(pDrawing, false, L"f");
        for (int i = 0; i < blocks.getCount(); ++i) {
            const auto* pBlock = dynamic_cast<const CBlockDWG*>(blocks.getAt(i));
            if (pBlock == nullptr)
                continue;
            AcDbObjectPointer<AcDbBlockReference> pReference(pBlock->getObjectId(),
                                                             AcDb::kForWrite);
            if (pReference.openStatus() != Acad::eOk)
                continue;
            {
                AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(
                    pReference->blockTableRecord(), AcDb::kForWrite);
                if (pDefinition.openStatus() == Acad::eOk)
                    iterateThroughOrvanBlockDefinition(pDefinition.object());
            }
            iterateThroughOrvanBlockReference(pReference.object());
        }
        pDrawing->regenDrawing();
    });
}
