// Times a graphic report of 20 categories applied to every space block of the benchmark plans of
// 5,000 to 40,000 rooms (each room hatched in its category's settings, the legend table and the
// pie chart drawn at their markers, the layer state applied), and a report file of those blocks
// written and read back, through the module's own operations on a drawing loaded into the host;
// reports of 5,000 to 100,000 categories (a room each, in turn over the plan of 5,000 rooms)
// applied with their legend row and pie wedge per category, the time per category beside the
// total; and report files of 10,000 and 100,000 categories read back.
//
//   reports_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "StdAfx.h"
#include "SpacePlan.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/Hatch.h"
#include "drawing/HostIdentity.h"
#include "host/CommandLine.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/MarkerBlockLegend.h"
#include "reports/MarkerBlockPie.h"

namespace {

constexpr int CATEGORIES = 20;

using qv::bench::entitiesOf;
using qv::bench::load;
using qv::bench::roomAttributes;

std::unique_ptr<CAcadDrawing> wrap(AcApDocument* document) {
    auto drawing = std::make_unique<CAcadDrawing>();
    drawing->setDocument(document);
    drawing->setIsOpen(1);
    drawing->setIsCurrentDocument(1);
    return drawing;
}

// Space blocks around every room of the plan, and a legend and a pie marker beside the plan;
// the handles and areas of the space blocks in making order.
void prepare(CAcadDrawing* drawing, std::vector<std::pair<CString, double>>& blocks) {
    AcDbDatabase* db = drawing->getDocument()->database();
    const AcDbObjectIdArray outlines = entitiesOf(db, L"AcDbPolyline");
    drawing->lock();
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
        double area = 0.0;
        outline->getArea(area);
        if (room.createBlock(drawing, outline.object(), corner, 0.25, 1.0, 0.0) == Acad::eOk) {
            blocks.emplace_back(room.getHandle(), area);
            ++made;
        }
    }
    AcDbObjectId rectangle, circle;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> space(db->modelSpaceId(), AcDb::kForWrite);
        auto* pl = new AcDbPolyline;
        for (const auto& [x, y] : {std::pair{-60.0, 0.0}, {-20.0, 0.0}, {-20.0, 20.0}, {-60.0, 20.0}})
            pl->addVertexAt(pl->numVerts(), AcGePoint2d(x, y));
        pl->setClosed(true);
        space->appendAcDbEntity(rectangle, pl);
        pl->close();
        auto* c = new AcDbCircle;
        c->setCenter(AcGePoint3d(-40.0, -40.0, 0.0));
        c->setRadius(15.0);
        space->appendAcDbEntity(circle, c);
        c->close();
    }
    CMarkerBlockLegend legend;
    legend.createMarkerBlock(drawing, rectangle, 0, 2, 0.5, 0.0);
    CMarkerBlockPie pie;
    pie.createMarkerBlock(drawing, circle, 0, 2, 0.5, 0.0);
    drawing->unlock(1);
}

// Categories sharing the blocks in turn (every block in one category at least, every category
// one block at least), each with its own hatch settings, on one of 20 layers.
std::unique_ptr<CGraphicReport> reportOf(const std::vector<std::pair<CString, double>>& blocks,
                                         int count = CATEGORIES) {
    auto report = std::make_unique<CGraphicReport>();
    report->setTitle(L"Bench");
    auto* categories = new CCategories;
    std::vector<CCategory*> byIndex;
    double total = 0.0;
    for (int c = 0; c < count; ++c) {
        auto* category = new CCategory;
        category->setID(c + 1);
        category->setTitle(L"Category " + CString(std::to_wstring(c + 1).c_str()));
        auto* hatch = new CHatch;
        hatch->setPatternName(c % 2 == 0 ? L"SOLID" : L"ANSI31");
        hatch->setPatternScale(1);
        AcCmColor colour;
        colour.setRGB(static_cast<Adesk::UInt8>(10 * c), 100, static_cast<Adesk::UInt8>(200 - 5 * c));
        hatch->setColour(colour);
        hatch->setLayerName(L"HATCH-" + CString(std::to_wstring(c % CATEGORIES + 1).c_str()));
        category->setHatch(hatch);
        category->setBlocks(new CBlocks);
        categories->add(category);
        byIndex.push_back(category);
    }
    const size_t assigned = blocks.empty() ? 0 : std::max(blocks.size(), byIndex.size());
    for (size_t i = 0; i < assigned; ++i) {
        CCategory* category = byIndex[i % byIndex.size()];
        const auto& [handle, area] = blocks[i % blocks.size()];
        auto* block = new CBlockDWG;
        block->setHandle(handle);
        auto* hatch = new CHatch;
        category->getHatch()->copyTo(hatch);
        block->setHatch(hatch);
        category->getBlocks()->addBlock(block);
        total += area;
    }
    report->setCategories(categories);
    report->setTotalChildAreas(total + 1.0);
    return report;
}

// Applies the report to the drawing within the timing; false (the benchmark skipped) when the
// report fails, or leaves other than `hatches` room hatches or prints an error.
bool timedApply(benchmark::State& state, std::unique_ptr<CAcadDrawing> drawing,
                CGraphicReport& report, int hatches) {
    qv::host::transcript().clear();
    state.ResumeTiming();
    try {
        report.applyToDrawing(drawing.get());
    } catch (CEXOrvan* e) {
        state.PauseTiming();
        e->deleteChain();
        state.SkipWithError("the report failed");
        return false;
    }
    state.PauseTiming();
    AcDbDatabase* db = drawing->getDocument()->database();
    const int made = entitiesOf(db, L"AcDbHatch").length();
    const std::wstring printed = qv::host::transcript().text();
    drawing.reset();
    acDocManager->qvReset();
    if (made != hatches || printed.find(L"error") != std::wstring::npos) {
        state.SkipWithError("not every category's room was hatched, or errors were printed");
        return false;
    }
    return true;
}

void BM_ApplyReport(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    hostIdentity = CHostIdentity(L"BricsCAD", L"");
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CAcadDrawing> drawing = wrap(load(rooms));
        std::vector<std::pair<CString, double>> blocks;
        prepare(drawing.get(), blocks);
        std::unique_ptr<CGraphicReport> report = reportOf(blocks);
        if (!timedApply(state, std::move(drawing), *report, rooms))
            break;
        state.ResumeTiming();
    }
    state.counters["rooms"] = rooms;
}

// A report of that many categories, each hatching one room of the 5,000-room plan in turn, applied
// with its legend (a row per category) and its pie chart (a wedge per category).
void BM_ApplyCategories(benchmark::State& state) {
    constexpr int kRooms = 5000;
    const int count = static_cast<int>(state.range(0));
    hostIdentity = CHostIdentity(L"BricsCAD", L"");
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CAcadDrawing> drawing = wrap(load(kRooms));
        std::vector<std::pair<CString, double>> blocks;
        prepare(drawing.get(), blocks);
        std::unique_ptr<CGraphicReport> report = reportOf(blocks, count);
        if (!timedApply(state, std::move(drawing), *report, count))
            break;
        state.ResumeTiming();
    }
    state.counters["categories"] = count;
    state.counters["sec_per_category"] = benchmark::Counter(
        static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                        benchmark::Counter::kInvert);
}

// The report of every space block written to a file and read back.
void BM_ReportFile(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    std::vector<std::pair<CString, double>> blocks;
    for (int i = 0; i < rooms; ++i)
        blocks.emplace_back(CString(std::to_wstring(0x1000 + 3 * i).c_str()), 12.0 + i % 7 * 0.125);
    std::unique_ptr<CGraphicReport> report = reportOf(blocks);
    const CString path = L"Z:\\tmp\\qv_reports_bench.xml";
    for (auto _ : state) {
        report->serialize(path);
        CGraphicReport read;
        read.deSerialize(path);
        state.PauseTiming();
        int count = 0;
        for (int c = 0; read.getCategories() != nullptr && c < read.getCategories()->getCount(); ++c)
            count += read.getCategories()->getAt(c)->getBlocks()->getCount();
        if (count != rooms) {
            state.SkipWithError("the report did not read back whole");
            break;
        }
        state.ResumeTiming();
    }
    std::remove("/tmp/qv_reports_bench.xml");
    state.counters["rooms"] = rooms;
}

// A report file of that many categories (each its own title and hatch colour, one block each)
// read back: every category read is checked against the ones before it for a duplicate.
void BM_ReadCategories(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    {
        CGraphicReport report;
        report.setTitle(L"Many categories");
        auto* categories = new CCategories;
        for (int i = 0; i < count; ++i) {
            auto* category = new CCategory;
            category->setTitle(L"Category " + CString(std::to_wstring(i).c_str()));
            auto* hatch = new CHatch;
            hatch->setPatternName(L"SOLID");
            AcCmColor colour;
            colour.setRGB(static_cast<Adesk::UInt8>(i % 256),
                          static_cast<Adesk::UInt8>(i / 256 % 256), 0);
            hatch->setColour(colour);
            hatch->setLayerName(L"HATCH-" + CString(std::to_wstring(i % 20).c_str()));
            category->setHatch(hatch);
            auto* blocks = new CBlocks;
            auto* block = new CBlockDWGRoom;
            block->setHandle(CString(std::to_wstring(0x1000 + i).c_str()));
            block->setArea(12.5);
            blocks->addBlock(block);
            category->setBlocks(blocks);
            categories->add(category);
        }
        report.setCategories(categories);
        report.serialize(L"Z:\\tmp\\qv_categories_bench.xml");
    }
    for (auto _ : state) {
        CGraphicReport read;
        read.deSerialize(L"Z:\\tmp\\qv_categories_bench.xml");
        if (read.getCategories() == nullptr || read.getCategories()->getCount() != count) {
            state.SkipWithError("the categories did not read back whole");
            break;
        }
    }
    std::remove("/tmp/qv_categories_bench.xml");
    state.counters["categories"] = count;
}

BENCHMARK(BM_ApplyReport)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_ApplyCategories)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_ReportFile)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ReadCategories)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
