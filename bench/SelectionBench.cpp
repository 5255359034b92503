// Times the selection that finds the assets of every room: one crossing-polygon selection per
// room outline, keeping block references that are not space blocks ("~ROOM-*"), over drawings of
// 5,000 to 40,000 rooms. Each room holds a closed outline, its space block, five small asset
// block references, a line and a circle.
//
//   selection_bench [Google Benchmark flags]   (small plans: --benchmark_filter=/500$ etc.)
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "arxHeaders.h"
#include "host/app/Documents.h"

namespace {

constexpr double kRoom = 10.0;

AcDbObjectId defineBlock(AcDbBlockTable* table, const wchar_t* name, double size) {
    auto* record = new AcDbBlockTableRecord;
    record->setName(name);
    AcDbObjectId id;
    table->add(id, record);
    auto* outline = new AcDbPolyline;
    outline->addVertexAt(0, AcGePoint2d(0, 0));
    outline->addVertexAt(1, AcGePoint2d(size, 0));
    outline->addVertexAt(2, AcGePoint2d(size, size));
    outline->addVertexAt(3, AcGePoint2d(0, size));
    outline->setClosed(true);
    record->appendAcDbEntity(outline);
    outline->close();
    record->close();
    return id;
}

void append(AcDbBlockTableRecord* space, AcDbEntity* entity) {
    space->appendAcDbEntity(entity);
    entity->close();
}

// A plan of `rooms` rooms made the current document; the corners of every room outline.
std::vector<std::vector<AcGePoint2d>> makePlan(int rooms) {
    acDocManager->qvReset();
    auto db = std::make_unique<AcDbDatabase>(true, false);
    AcDbBlockTable* table = nullptr;
    db->getBlockTable(table, AcDb::kForWrite);
    const AcDbObjectId roomBlock = defineBlock(table, L"ROOM-TAG", 1.0);
    const AcDbObjectId assetBlocks[] = {defineBlock(table, L"DESK", 1.5),
                                        defineBlock(table, L"CHAIR", 0.5),
                                        defineBlock(table, L"PC", 0.4)};
    AcDbBlockTableRecord* space = nullptr;
    table->getAt(L"*Model_Space", space, AcDb::kForWrite);
    table->close();
    std::vector<std::vector<AcGePoint2d>> outlines;
    const int side = static_cast<int>(std::ceil(std::sqrt(rooms)));
    for (int n = 0; n < rooms; ++n) {
        const double x = (n % side) * (kRoom + 1), y = (n / side) * (kRoom + 1);
        std::vector<AcGePoint2d> corners = {
            {x, y}, {x + kRoom, y}, {x + kRoom, y + kRoom}, {x, y + kRoom}};
        auto* outline = new AcDbPolyline;
        for (unsigned i = 0; i < corners.size(); ++i) {
            outline->addVertexAt(i, corners[i]);
        }
        outline->setClosed(true);
        append(space, outline);
        append(space, new AcDbBlockReference(AcGePoint3d(x + 0.5, y + 0.5, 0), roomBlock));
        for (int a = 0; a < 5; ++a) {
            append(space, new AcDbBlockReference(AcGePoint3d(x + 1 + 1.7 * a, y + 3 + a % 2, 0),
                                                 assetBlocks[a % 3]));
        }
        append(space, new AcDbLine(AcGePoint3d(x + 1, y + 9, 0), AcGePoint3d(x + 9, y + 9, 0)));
        append(space, new AcDbCircle(AcGePoint3d(x + 8, y + 1.5, 0), AcGeVector3d::kZAxis, 0.5));
        outlines.push_back(std::move(corners));
    }
    space->close();
    acDocManager->qvAddDocument(std::move(db));
    return outlines;
}

// The assets of one room: the size of its selection.
long assetsIn(const std::vector<AcGePoint2d>& outline, const resbuf* filter) {
    resbuf* points = nullptr;
    for (auto p = outline.rbegin(); p != outline.rend(); ++p) {
        resbuf* item = acutNewRb(RTPOINT);
        item->resval.rpoint[0] = p->x;
        item->resval.rpoint[1] = p->y;
        item->rbnext = points;
        points = item;
    }
    ads_name set;
    long length = 0;
    if (acedSSGet(L"CP", points, nullptr, filter, set) == RTNORM) {
        acedSSLength(set, &length);
        acedSSFree(set);
    }
    acutRelRb(points);
    return length;
}

void BM_AssetsOfEveryRoom(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    resbuf* filter = acutBuildList(RTDXF0, L"INSERT", 2, L"~ROOM-*", 0);
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<std::vector<AcGePoint2d>> outlines = makePlan(rooms);
        state.ResumeTiming();
        long found = 0;
        for (const auto& outline : outlines) {
            found += assetsIn(outline, filter);
        }
        state.PauseTiming();
        if (found != 5L * rooms) {
            state.SkipWithError("a room's selection did not give its five assets");
        }
        acDocManager->qvReset();
        state.ResumeTiming();
    }
    acutRelRb(filter);
    state.counters["rooms"] = rooms;
    state.counters["rooms_per_s"] =
        benchmark::Counter(static_cast<double>(rooms), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_AssetsOfEveryRoom)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
