#include "EditorFixture.h"

namespace qv::test {

std::wstring handleOf(AcDbObjectId id) {
    return id.handle().text();
}

AcDbObjectId EditorTest::addPolyline(std::initializer_list<AcGePoint2d> points,
                                     const ACHAR* layer) {
    {
        AcDbLayerTable* layers = nullptr;
        db()->getLayerTable(layers, AcDb::kForRead);
        const bool known = layers->has(layer);
        layers->close();
        if (!known) {
            addLayer(layer);
        }
    }
    auto* polyline = new AcDbPolyline;
    unsigned int i = 0;
    for (const AcGePoint2d& p : points) {
        polyline->addVertexAt(i++, p);
    }
    polyline->setClosed(true);
    polyline->setLayer(layer);
    return addToModelSpace(polyline);
}

AcDbObjectId EditorTest::addReference(const ACHAR* block, const AcGePoint3d& at) {
    AcDbObjectId blockId;
    {
        WriteLock lock(document());
        AcDbBlockTable* table = nullptr;
        db()->getBlockTable(table, AcDb::kForWrite);
        if (table->getAt(block, blockId) != Acad::eOk) {
            auto* record = new AcDbBlockTableRecord;
            record->setName(block);
            table->add(blockId, record);
            auto* outline = new AcDbPolyline;
            outline->addVertexAt(0, AcGePoint2d(0, 0));
            outline->addVertexAt(1, AcGePoint2d(4, 0));
            outline->addVertexAt(2, AcGePoint2d(4, 4));
            outline->setClosed(true);
            record->appendAcDbEntity(outline);
            outline->close();
            record->close();
        }
        table->close();
    }
    return addToModelSpace(new AcDbBlockReference(at, blockId));
}

std::vector<std::wstring> EditorTest::takeSet(const ads_name set) {
    std::vector<std::wstring> handles;
    Adesk::Int32 length = 0;
    EXPECT_EQ(acedSSLength(set, &length), RTNORM);
    for (Adesk::Int32 i = 0; i < length; ++i) {
        ads_name member;
        AcDbObjectId id;
        EXPECT_EQ(acedSSName(set, i, member), RTNORM);
        EXPECT_EQ(acdbGetObjectId(id, member), Acad::eOk);
        handles.push_back(handleOf(id));
    }
    EXPECT_EQ(acedSSFree(set), RTNORM);
    return handles;
}

std::vector<std::wstring> EditorTest::select(const ACHAR* mode,
                                             const std::vector<AcGePoint2d>& points,
                                             resbuf* filter) {
    const std::wstring corners = mode == nullptr ? L"" : mode + (mode[0] == L'_' ? 1 : 0);
    ads_name set;
    int code = RTERROR;
    if (corners == L"W" || corners == L"C") {
        const ads_point a = {points[0].x, points[0].y, 0}, b = {points[1].x, points[1].y, 0};
        code = acedSSGet(mode, a, b, filter, set);
    } else {
        resbuf* list = nullptr;
        for (auto p = points.rbegin(); p != points.rend(); ++p) {
            resbuf* item = acutNewRb(RTPOINT);
            item->resval.rpoint[0] = p->x;
            item->resval.rpoint[1] = p->y;
            item->rbnext = list;
            list = item;
        }
        code = acedSSGet(mode, list, nullptr, filter, set);
        acutRelRb(list);
    }
    acutRelRb(filter);
    if (code != RTNORM) {
        return {L"code " + std::to_wstring(code)};
    }
    return takeSet(set);
}

}  // namespace qv::test
