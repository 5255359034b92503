// Times the making of space blocks around every room of a generated floor plan and the reading of
// them all back, for plans of 5,000, 10,000, 20,000 and 40,000 rooms (see make_floorplan.py),
// through the module's own operations on a drawing loaded into the host.
//
//   blocks_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/AcadDrawing.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/FileIo.h"

namespace {

std::string planOf(int rooms) {
    return std::string(QV_FLOORPLANS) + "/floorplan_" + std::to_string(rooms) + ".dxf";
}

// The plan loaded as the host's current document (outside any timing).
AcApDocument* load(int rooms) {
    acDocManager->qvReset();
    auto db = std::make_unique<AcDbDatabase>(false, true);
    qv::dxf::MappedFile file(planOf(rooms));
    qv::dxf::AuditReport report;
    qv::dxf::readDrawing(file, *db, report);
    return acDocManager->qvAddDocument(std::move(db));
}

AcDbObjectIdArray entitiesOf(AcDbDatabase* db, const wchar_t* className) {
    AcDbObjectIdArray ids;
    AcDbObjectPointer<AcDbBlockTableRecord> space(db->modelSpaceId(), AcDb::kForRead);
    for (const AcDbObjectId& id : space->qvEntities()) {
        if (!id.isErased() && wcscmp(id.objectClass()->name(), className) == 0)
            ids.append(id);
    }
    return ids;
}

CAttributes* roomAttributes(int n) {
    auto* attributes = new CAttributes;
    attributes->setTextHeight(0.25);
    const CString values[] = {L"R-" + CString(std::to_wstring(n).c_str()), L"", L""};
    for (int kind = 0; kind < 3; ++kind) {
        auto* record = new COrvanAttribute;
        record->setKind(kind);
        record->setValue(values[kind]);
        attributes->add(record, FALSE);
    }
    return attributes;
}

// Makes a space block "ROOM-n" around each closed polyline; the number made.
int makeRooms(AcApDocument* document, const AcDbObjectIdArray& outlines) {
    CAcadDrawing drawing;
    drawing.setDocument(document);
    drawing.setIsOpen(1);
    drawing.setIsCurrentDocument(1);
    drawing.lock();  // one lock for the whole run, as a command holds it
    int made = 0;
    for (const AcDbObjectId& id : outlines) {
        CBlockDWGRoom room;
        room.setBlockName(L"ROOM-" + CString(std::to_wstring(made + 1).c_str()));
        room.setAttributes(roomAttributes(made + 1));
        room.setUnits(0);
        room.setPrecision(2);
        AcDbObjectPointer<AcDbPolyline> outline(id, AcDb::kForRead);
        AcGePoint3d corner;
        outline->getPointAt(0, corner);
        if (room.createBlock(&drawing, outline.object(), corner, 0.25, 1.0, 0.0) == Acad::eOk)
            ++made;
    }
    drawing.unlock(1);
    return made;
}

std::map<int, std::pair<double, double>> g_perRoom;  // rooms: create, read seconds

void BM_CreateSpaceBlocks(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        AcApDocument* document = load(rooms);
        const AcDbObjectIdArray outlines = entitiesOf(document->database(), L"AcDbPolyline");
        state.ResumeTiming();
        const int made = makeRooms(document, outlines);
        state.PauseTiming();
        if (made != rooms)
            state.SkipWithError("not every room became a space block");
        acDocManager->qvReset();
        state.ResumeTiming();
    }
    state.counters["rooms"] = rooms;
}

void BM_ReadSpaceBlocks(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    AcApDocument* document = load(rooms);
    makeRooms(document, entitiesOf(document->database(), L"AcDbPolyline"));
    double total = 0.0;
    for (auto _ : state) {
        int read = 0;
        const AcDbObjectIdArray references =
            entitiesOf(document->database(), L"AcDbBlockReference");
        for (const AcDbObjectId& id : references) {
            AcDbObjectPointer<AcDbBlockReference> reference(id, AcDb::kForRead);
            const CBlockDWGRoom room(reference.object(), document);
            if (room.getBlockName().Left(5) == L"ROOM-") {
                total += room.getArea();
                ++read;
            }
        }
        if (read != rooms)
            state.SkipWithError("not every space block was read");
    }
    benchmark::DoNotOptimize(total);
    acDocManager->qvReset();
    state.counters["rooms"] = rooms;
}

BENCHMARK(BM_CreateSpaceBlocks)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ReadSpaceBlocks)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
