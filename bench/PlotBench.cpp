// Times plotting the 20,000-room floor plan with hatches (generated, in millimetres) to a PDF
// page (ISO A1, extents scaled to fit), to a DWF page of the same paper and to a 2048-pixel PNG
// (QXGA), and times LibreCAD's dxf2pdf on the same file in the same run for comparison (when
// librecad is installed). BM_PlotLongNote plots a drawing of one multi-line text of 1 MB of
// words to a PDF page (A4, fitted), wrapped in a box 180 wide (lines of about 100 characters) or
// 18,000 wide (lines of about 10,000).
//
//   plot_bench [--file FILE] [--no-librecad] [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbLayout.h"
#include "host/db/AcDbMText.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/FileIo.h"
#include "host/plot/PlotRenderer.h"

namespace {

std::string g_file = QV_HATCHED_FLOORPLAN;
std::string g_tempDir;
std::unique_ptr<AcDbDatabase> g_db;

AcDbDatabase& database() {
    if (!g_db) {
        g_db = std::make_unique<AcDbDatabase>(false, true);
        qv::dxf::MappedFile file(g_file);
        qv::dxf::AuditReport report;
        qv::dxf::readDrawing(file, *g_db, report);
    }
    return *g_db;
}

AcDbPlotSettings settings(const wchar_t* device, const wchar_t* medium, double width,
                          double height, AcDbPlotSettings::PlotPaperUnits units) {
    AcDbPlotSettings result(true);
    AcDbPlotSettings::Data data;
    data.modelType = true;
    data.plotCfgName = device;
    data.canonicalMediaName = medium;
    data.paperWidth = width;
    data.paperHeight = height;
    data.paperUnits = units;
    data.plotType = AcDbPlotSettings::kExtents;
    data.stdScaleType = AcDbPlotSettings::kScaleToFit;
    data.useStandardScale = true;
    data.plotCentered = true;
    result.qvSetData(data);
    return result;
}

void plot(benchmark::State& state, qv::host::plot::OutputFormat format,
          const AcDbPlotSettings& how, const char* name) {
    AcDbDatabase& db = database();
    qv::host::plot::PlotJob job;
    job.layout = qv::host::layoutNamed(db, L"Model")->objectId();
    job.settings = &how;
    job.format = format;
    job.path = g_tempDir + "/" + name;
    for (auto _ : state) {
        const std::string error = qv::host::plot::renderPlot(job);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(job.path));
}

void BM_PlotPdf(benchmark::State& state) {
    const AcDbPlotSettings how = settings(L"DWG To PDF.pc3", L"ISO_A1_(841.00_x_594.00_MM)",
                                          841.0, 594.0, AcDbPlotSettings::kMillimeters);
    plot(state, qv::host::plot::OutputFormat::Pdf, how, "plan.pdf");
}

void BM_PlotDwf(benchmark::State& state) {
    const AcDbPlotSettings how = settings(L"DWF6 ePlot.pc3", L"ISO_A1_(841.00_x_594.00_MM)",
                                          841.0, 594.0, AcDbPlotSettings::kMillimeters);
    plot(state, qv::host::plot::OutputFormat::Dwf, how, "plan.dwf");
}

void BM_PlotPng(benchmark::State& state) {
    const AcDbPlotSettings how = settings(L"PublishToWeb PNG.pc3",
                                          L"QXGA_(2048.00_x_1536.00_Pixels)", 2048.0, 1536.0,
                                          AcDbPlotSettings::kPixels);
    plot(state, qv::host::plot::OutputFormat::Png, how, "plan.png");
}

// A drawing of one multi-line text of about `bytes` characters of words, `width` wide, 2.5 high.
std::unique_ptr<AcDbDatabase> longNote(size_t bytes, double width) {
    static const wchar_t* const kWords[] = {L"lorem", L"ipsum", L"dolor", L"sit", L"amet",
                                            L"consetetur", L"sadipscing", L"elitr", L"sed",
                                            L"diam", L"nonumy", L"eirmod", L"tempor"};
    AcDbMText::Data data;
    data.height = 2.5;
    data.width = width;
    for (size_t i = 0; data.contents.size() < bytes; ++i) {
        data.contents += kWords[(i * 7 + i / 13) % std::size(kWords)];
        data.contents += L' ';
    }
    auto db = std::make_unique<AcDbDatabase>(true, false);
    auto* text = new AcDbMText;
    text->qvSetData(std::move(data));
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite);
    space->appendAcDbEntity(text);
    text->close();
    space->close();
    return db;
}

void BM_PlotLongNote(benchmark::State& state) {
    const std::unique_ptr<AcDbDatabase> db =
        longNote(static_cast<size_t>(state.range(0)), static_cast<double>(state.range(1)));
    const AcDbPlotSettings how = settings(L"DWG To PDF.pc3", L"ISO_A4_(297.00_x_210.00_MM)",
                                          297.0, 210.0, AcDbPlotSettings::kMillimeters);
    qv::host::plot::PlotJob job;
    job.layout = qv::host::layoutNamed(*db, L"Model")->objectId();
    job.settings = &how;
    job.path = g_tempDir + "/note.pdf";
    for (auto _ : state) {
        const std::string error = qv::host::plot::renderPlot(job);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
}

BENCHMARK(BM_PlotPdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlotDwf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlotPng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlotLongNote)
    ->Args({1'000'000, 180})
    ->Args({1'000'000, 18'000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// LibreCAD's dxf2pdf on the same file, fitted to an A1 page; seconds, or a negative number when
// it could not run.
double timeLibreCad() {
    if (std::system("command -v librecad >/dev/null 2>&1") != 0) {
        return -1.0;
    }
    const std::string copy = g_tempDir + "/librecad.dxf";
    std::filesystem::copy_file(g_file, copy, std::filesystem::copy_options::overwrite_existing);
    const std::string command = "cd '" + g_tempDir +
                                "' && QT_QPA_PLATFORM=offscreen librecad dxf2pdf -a -p 841x594 "
                                "librecad.dxf >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (status != 0 || !std::filesystem::exists(g_tempDir + "/librecad.pdf")) {
        return -1.0;
    }
    return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
    bool librecad = true;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--file") == 0 && i + 1 < argc) {
            g_file = argv[++i];
        } else if (std::strcmp(argv[i], "--no-librecad") == 0) {
            librecad = false;
        } else {
            rest.push_back(argv[i]);
        }
    }
    char folder[] = "/tmp/plot_bench.XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    g_tempDir = folder;
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    database();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (librecad) {
        const double seconds = timeLibreCad();
        if (seconds < 0.0) {
            std::cout << "librecad dxf2pdf: not run (not installed, or it failed)\n";
        } else {
            std::cout << "librecad dxf2pdf on the same file (A1, fitted): " << seconds << " s\n";
        }
    }
    std::filesystem::remove_all(g_tempDir);
    return 0;
}
