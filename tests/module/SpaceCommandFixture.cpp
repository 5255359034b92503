#include "SpaceCommandFixture.h"

#include <memory>

#include "win32/CodePage.h"

namespace qv::test {

AcDbObjectId SpaceCommandTest::addPolyline(std::initializer_list<Vertex2> vertices, bool closed,
                                           const wchar_t* layer) {
    auto* pl = new AcDbPolyline;
    for (const Vertex2& v : vertices)
        pl->addVertexAt(pl->numVerts(), AcGePoint2d(v.x, v.y), v.bulge);
    pl->setClosed(closed);
    if (layer != nullptr) {
        addLayer(layer);
        pl->setLayer(layer);
    }
    return addToModelSpace(pl);
}

std::string SpaceCommandTest::pick(AcDbObjectId id) {
    return "#" + qv::wideToUtf8(id.handle().text());
}

std::vector<AcGePoint3d> SpaceCommandTest::verticesOf(AcDbObjectId polyline,
                                                      AcDbObjectId reference) {
    std::vector<AcGePoint3d> points;
    AcGeMatrix3d placed;
    if (!reference.isNull()) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        EXPECT_EQ(ref.openStatus(), Acad::eOk);
        placed = ref->blockTransform();
    }
    AcDbObjectPointer<AcDbPolyline> pl(polyline, AcDb::kForRead);
    EXPECT_EQ(pl.openStatus(), Acad::eOk);
    if (pl.openStatus() != Acad::eOk)
        return points;
    for (unsigned i = 0; i < pl->numVerts(); ++i) {
        AcGePoint3d p;
        pl->getPointAt(i, p);
        points.push_back(p.transformBy(placed));
    }
    return points;
}

AcDbObjectId SpaceCommandTest::ownerOf(AcDbObjectId id) {
    AcDbObjectPointer<AcDbObject> object(id, AcDb::kForRead);
    return object.openStatus() == Acad::eOk ? object->ownerId() : AcDbObjectId::kNull;
}

std::unique_ptr<CBlockDWG> SpaceCommandTest::readBack(AcDbObjectId reference) const {
    AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
    EXPECT_EQ(ref.openStatus(), Acad::eOk);
    return std::make_unique<CBlockDWG>(ref.object(), document());
}

void SpaceCommandTest::addDefinition(const wchar_t* name) {
    WriteLock lock(document());
    AcDbObjectPointer<AcDbBlockTable> table(db()->blockTableId(), AcDb::kForWrite);
    auto* record = new AcDbBlockTableRecord;
    record->setName(name);
    AcDbObjectId id;
    ASSERT_EQ(table->add(id, record), Acad::eOk);
    record->close();
}

AcDbObjectId SpaceCommandTest::addChair(const AcGePoint3d& at, std::vector<const wchar_t*> values) {
    WriteLock lock(document());
    AcDbObjectPointer<AcDbBlockTable> table(db()->blockTableId(), AcDb::kForWrite);
    AcDbObjectId chair;
    if (table->getAt(L"CHAIR", chair) != Acad::eOk) {
        auto* record = new AcDbBlockTableRecord;
        record->setName(L"CHAIR");
        EXPECT_EQ(Acad::eOk, table->add(chair, record));
        auto* seat = new AcDbPolyline;
        for (const AcGePoint2d& p :
             {AcGePoint2d(0, 0), AcGePoint2d(100, 0), AcGePoint2d(100, 100), AcGePoint2d(0, 100)})
            seat->addVertexAt(seat->numVerts(), p);
        seat->setClosed(true);
        record->appendAcDbEntity(seat);
        seat->close();
        record->close();
    }
    table.close();
    AcDbObjectPointer<AcDbBlockTableRecord> space(db()->modelSpaceId(), AcDb::kForWrite);
    auto* reference = new AcDbBlockReference(at, chair);
    AcDbObjectId id;
    EXPECT_EQ(Acad::eOk, space->appendAcDbEntity(id, reference));
    int n = 0;
    for (const wchar_t* value : values) {
        const std::wstring tag = L"TAG" + std::to_wstring(++n);
        auto* attribute = new AcDbAttribute(at, value, tag.c_str());
        EXPECT_EQ(Acad::eOk, reference->appendAttribute(attribute));
        attribute->close();
    }
    reference->close();
    return id;
}

std::vector<AcDbObjectId> SpaceCommandTest::referencesTo(const wchar_t* blockName) const {
    std::vector<AcDbObjectId> found;
    AcDbObjectPointer<AcDbBlockTableRecord> space(db()->modelSpaceId(), AcDb::kForRead);
    for (const AcDbObjectId& id : space->qvEntities()) {
        AcDbObjectPointer<AcDbBlockReference> ref(id, AcDb::kForRead);
        if (ref.openStatus() != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbBlockTableRecord> definition(ref->blockTableRecord(), AcDb::kForRead);
        const ACHAR* name = nullptr;
        definition->getName(name);
        if (std::wstring(name) == blockName)
            found.push_back(id);
    }
    return found;
}

bool SpaceCommandTest::hasBlock(const wchar_t* name) const {
    AcDbObjectPointer<AcDbBlockTable> table(db()->blockTableId(), AcDb::kForRead);
    return table->has(name);
}

namespace {

template <class T>
TextSeen seen(const T& text) {
    TextSeen t;
    t.tag = text.tagConst();
    t.text = text.textStringConst();
    t.position = text.position();
    t.rotation = text.rotation();
    t.height = text.height();
    t.widthFactor = text.widthFactor();
    t.horizontal = text.horizontalMode();
    ACHAR* layer = text.layer();
    t.layer = layer;
    acutDelString(layer);
    return t;
}

}  // namespace

std::vector<TextSeen> SpaceCommandTest::attributesOf(AcDbObjectId reference) {
    std::vector<TextSeen> texts;
    AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
    EXPECT_EQ(ref.openStatus(), Acad::eOk);
    if (ref.openStatus() != Acad::eOk)
        return texts;
    std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
    for (; !it->done(); it->step()) {
        AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForRead);
        if (attribute.openStatus() == Acad::eOk)
            texts.push_back(seen(*attribute.object()));
    }
    return texts;
}

std::vector<TextSeen> SpaceCommandTest::attributeDefinitionsOf(const wchar_t* blockName) const {
    std::vector<TextSeen> texts;
    AcDbObjectPointer<AcDbBlockTable> table(db()->blockTableId(), AcDb::kForRead);
    AcDbObjectId id;
    if (table->getAt(blockName, id) != Acad::eOk)
        return texts;
    table.close();
    AcDbObjectPointer<AcDbBlockTableRecord> definition(id, AcDb::kForRead);
    for (const AcDbObjectId& entity : definition->qvEntities()) {
        AcDbObjectPointer<AcDbAttributeDefinition> def(entity, AcDb::kForRead);
        if (def.openStatus() != Acad::eOk)
            continue;
        TextSeen t = seen(*def.object());
        t.prompt = def->promptConst();
        texts.push_back(t);
    }
    return texts;
}

const TextSeen* SpaceCommandTest::find(const std::vector<TextSeen>& texts, const wchar_t* tag) {
    for (const TextSeen& t : texts)
        if (t.tag == tag)
            return &t;
    return nullptr;
}

void SpaceCommandTest::layerState(const wchar_t* name, bool& off, bool& frozen) const {
    AcDbObjectPointer<AcDbLayerTable> layers(db()->layerTableId(), AcDb::kForRead);
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, layers->getAt(name, id));
    AcDbObjectPointer<AcDbLayerTableRecord> layer(id, AcDb::kForRead);
    off = layer->isOff();
    frozen = layer->isFrozen();
}

void SpaceCommandTest::setLayer(const wchar_t* name, bool frozen, bool locked, bool off) {
    AcDbObjectId id;
    {
        AcDbObjectPointer<AcDbLayerTable> layers(db()->layerTableId(), AcDb::kForRead);
        if (layers->getAt(name, id) != Acad::eOk) {
            layers.close();
            id = addLayer(name);
        }
    }
    WriteLock lock(document());
    AcDbObjectPointer<AcDbLayerTableRecord> layer(id, AcDb::kForWrite);
    layer->setIsFrozen(frozen);
    layer->setIsLocked(locked);
    layer->setIsOff(off);
}

void SpaceCommandTest::setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                              const AcGeVector3d& yAxis) {
    WriteLock lock(document());
    ASSERT_EQ(db()->setUcs(origin, xAxis, yAxis), Acad::eOk);
}

std::vector<std::wstring> SpaceCommandTest::messageBoxes() const {
    std::vector<std::wstring> texts;
    for (const auto& s : ui.shown())
        texts.push_back(std::wstring(s.caption) + L": " + std::wstring(s.text));
    return texts;
}

void expectNear(const AcGePoint3d& actual, const AcGePoint3d& expected, const char* what,
                double tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

}  // namespace qv::test
