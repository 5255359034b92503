#include "SpaceSweepFixture.h"

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "support/SpaceBlocks.h"

namespace qv::test {

SpaceSweepTest::SpaceSweepTest() { wrapCurrentDocument(drawing, document()); }

AcDbObjectId SpaceSweepTest::addSpace(const SpaceSpec& spec) {
    const AcDbObjectId outlineId = addToModelSpace(rectangleOutline(spec.x, 0, spec.w, spec.h));

    const bool gross = std::wstring(spec.name) == L"GROSS AREA";
    std::unique_ptr<CBlockDWG> block;
    if (gross)
        block = std::make_unique<CBlockDWGFloor>();
    else
        block = std::make_unique<CBlockDWGRoom>();
    if (!gross)
        block->setBlockName(L"ROOM-" + CString(std::to_wstring(++m_made).c_str()));
    block->setUnits(spec.units);
    block->setPrecision(spec.precision);
    block->setArea(spec.area);
    block->setPerimeter(spec.perimeter);
    block->setAttributes(spaceAttributes(spec.name, spec.areaText, spec.auxText));
    EXPECT_EQ(makeSpaceBlock(*block, drawing, outlineId, AcGePoint3d(spec.x + spec.w / 2, spec.h / 2, 0)),
              Acad::eOk);
    const AcDbObjectId reference = block->getObjectId();
    if (spec.auxText == nullptr) {
        // The definition always carries the three attribute definitions: take the reference's
        // AUX text away.
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        for (const AcDbObjectId& id : ref->qvAttributes()) {
            AcDbObjectPointer<AcDbAttribute> attribute(id, AcDb::kForWrite);
            if (attribute.openStatus() == Acad::eOk && taken(attribute->tag()) == L"AUX")
                attribute->erase();
        }
    }
    return reference;
}

void SpaceSweepTest::resetHostDrawing() {
    renewDocument();
    wrapCurrentDocument(drawing, document());
    ui.clear();
}

std::wstring SpaceSweepTest::textOf(AcDbObjectId reference, int kind) const {
    const std::unique_ptr<CBlockDWG> block = readBack(reference);
    const CAttribute* record =
        block->getAttributes() != nullptr ? block->getAttributes()->getAtAttribute(kind) : nullptr;
    return record != nullptr ? std::wstring(record->getValue()) : L"<none>";
}

std::wstring SpaceSweepTest::xdataValue(AcDbObjectId reference, const wchar_t* key) const {
    AcDbObjectPointer<AcDbEntity> ref(reference, AcDb::kForRead);
    resbuf* list = ref->xData(L"ADE");
    const std::wstring prefix = std::wstring(key) + L"=";
    std::wstring value = L"<none>";
    for (resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        if (rb->restype == 1000 && std::wstring(rb->resval.rstring).rfind(prefix, 0) == 0) {
            value = std::wstring(rb->resval.rstring).substr(prefix.size());
            break;
        }
    }
    acutRelRb(list);
    return value;
}

std::vector<AcDbObjectId> SpaceSweepTest::hatches() const { return modelSpaceHatches(db()); }

void SpaceSweepTest::setOutlineClosed(AcDbObjectId reference, bool closed) {
    WriteLock lock(document());
    AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
    AcDbObjectPointer<AcDbBlockTableRecord> definition(ref->blockTableRecord(), AcDb::kForRead);
    for (const AcDbObjectId& id : definition->qvEntities()) {
        AcDbObjectPointer<AcDbPolyline> outline(id, AcDb::kForWrite);
        if (outline.openStatus() == Acad::eOk) {
            outline->setClosed(closed);
            return;
        }
    }
}

std::wstring SpaceSweepTest::taken(ACHAR* text) {
    std::wstring copy = text != nullptr ? text : L"";
    acutDelString(text);
    return copy;
}

}  // namespace qv::test
