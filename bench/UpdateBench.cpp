// Times the commands over every space block through their handlers, as the host runs them:
// `ous` (measure every space block again and write it back) and `osc_has` (hatch every space
// block), on generated floor plans of 5,000, 10,000, 20,000 and 40,000 rooms (make_floorplan.py)
// with a space block around every room.
//
//   update_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/AcadDrawing.h"
#include "host/CommandLine.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/FileIo.h"
#include "module/UpdateCommands.h"

namespace {

std::string planOf(int rooms) {
    return std::string(QV_FLOORPLANS) + "/floorplan_" + std::to_string(rooms) + ".dxf";
}

// The plan as the host's current document, with a space block "ROOM-n" around every closed
// polyline: stored area and perimeter 0 with two decimals, so that every AREA and AUX text shows
// the stored values and `ous` rewrites them all. The number of space blocks made.
int loadPlanWithSpaces(int rooms) {
    acDocManager->qvReset();
    auto db = std::make_unique<AcDbDatabase>(false, true);
    qv::dxf::MappedFile file(planOf(rooms));
    qv::dxf::AuditReport report;
    qv::dxf::readDrawing(file, *db, report);
    AcApDocument* document = acDocManager->qvAddDocument(std::move(db));

    AcDbObjectIdArray outlines;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> space(document->database()->modelSpaceId(),
                                                      AcDb::kForRead);
        for (const AcDbObjectId& id : space->qvEntities())
            if (!id.isErased() && id.objectClass() == AcDbPolyline::desc())
                outlines.append(id);
    }
    CAcadDrawing drawing;
    drawing.setDocument(document);
    drawing.setIsOpen(1);
    drawing.setIsCurrentDocument(1);
    drawing.lock();
    int made = 0;
    for (const AcDbObjectId& id : outlines) {
        CBlockDWGRoom room;
        room.setBlockName(L"ROOM-" + CString(std::to_wstring(made + 1).c_str()));
        room.setUnits(0);
        room.setPrecision(2);
        auto* attributes = new CAttributes;
        attributes->setTextHeight(0.25);
        const CString values[] = {L"R-" + CString(std::to_wstring(made + 1).c_str()), L"0.00sq.m.",
                                  L"0.00m."};
        for (int kind = 0; kind < 3; ++kind) {
            auto* record = new COrvanAttribute;
            record->setKind(kind);
            record->setValue(values[kind]);
            attributes->add(record, FALSE);
        }
        room.setAttributes(attributes);
        AcDbObjectPointer<AcDbPolyline> outline(id, AcDb::kForRead);
        AcGePoint3d corner;
        outline->getPointAt(0, corner);
        if (room.createBlock(&drawing, outline.object(), corner, 0.25, 1.0, 0.0) == Acad::eOk)
            ++made;
    }
    drawing.unlock(1);
    return made;
}

// Whether the command ended without reporting anything but what it prints on success.
bool endedWell(const std::wstring& expectedEnd) {
    const std::wstring& shown = qv::host::transcript().text();
    return shown.size() >= expectedEnd.size() &&
           shown.compare(shown.size() - expectedEnd.size(), expectedEnd.size(), expectedEnd) == 0;
}

void BM_UpdateSpaces(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    if (loadPlanWithSpaces(rooms) != rooms) {
        state.SkipWithError("not every room became a space block");
        return;
    }
    for (auto _ : state) {
        qv::host::transcript().clear();
        updateSpaces();
        if (!endedWell(L"Orvan Update Spaces 64.04.00.01\n")) {
            state.SkipWithError("ous reported a failure");
            break;
        }
    }
    acDocManager->qvReset();
    state.counters["rooms"] = rooms;
}

void BM_HatchAllSpaces(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const int made = loadPlanWithSpaces(rooms);
        qv::host::transcript().clear();
        state.ResumeTiming();
        hatchAllSpaces();
        state.PauseTiming();
        const std::wstring summary = std::to_wstring(rooms) + L" block(s) hatched in ";
        const bool bAll =
            made == rooms && qv::host::transcript().text().find(summary) != std::wstring::npos;
        acDocManager->qvReset();
        if (!bAll) {
            state.SkipWithError("osc_has did not hatch every space block");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["rooms"] = rooms;
}

// Plans of 5,000, 10,000, 20,000 and 40,000 rooms.
void planSizes(benchmark::internal::Benchmark* b) {
    for (const int rooms : {5000, 10000, 20000, 40000})
        b->Arg(rooms);
}

BENCHMARK(BM_UpdateSpaces)->Apply(planSizes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HatchAllSpaces)->Apply(planSizes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
