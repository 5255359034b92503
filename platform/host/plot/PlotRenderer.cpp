#include "host/plot/PlotRenderer.h"

#include <cstdio>
#include <cwctype>

#include "host/db/AcDbSortentsTable.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/plot/DwfCanvas.h"
#include "host/plot/Painter.h"
#include "host/plot/PlotExtents.h"
#include "host/plot/PlotOutput.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"

namespace qv::host::plot {

namespace {

PlotArea extentsOf(const AcDbLayout& layout) {
    return plottedExtents(layout).value_or(PlotArea{0.0, 0.0, 1.0, 1.0});
}

// The file name of the drawing that holds the block, without its folder; "" when unsaved.
std::string sourceName(AcDbObjectId block) {
    const AcDbDatabase* database = block.database();
    const ACHAR* name = nullptr;
    if (database == nullptr || database->getFilename(name) != Acad::eOk || name == nullptr) {
        return {};
    }
    const std::wstring path(name);
    const size_t slash = path.find_last_of(L"\\/");
    return wideToUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

}  // namespace

PlotArea plotAreaOf(const AcDbLayout& layout, const AcDbPlotSettings& settings) {
    const AcDbPlotSettings::Data& data = settings.qvData();
    switch (data.plotType) {
        case AcDbPlotSettings::kLimits: {
            AcGePoint2d low, high;
            layout.getLimits(low, high);
            if (high.x > low.x && high.y > low.y) {
                return {low.x, low.y, high.x, high.y};
            }
            return extentsOf(layout);
        }
        case AcDbPlotSettings::kWindow:
            if (data.windowXmax > data.windowXmin && data.windowYmax > data.windowYmin) {
                return {data.windowXmin, data.windowYmin, data.windowXmax, data.windowYmax};
            }
            return extentsOf(layout);
        case AcDbPlotSettings::kLayout: {
            // (a sheet without size is no area: the default medium takes the extents)
            if (layout.modelType() || !hasPaperSize(settings)) {
                return extentsOf(layout);
            }
            double perUnit = 1.0;  // millimetres (or pixels) per paper unit
            if (data.paperUnits == AcDbPlotSettings::kInches) {
                perUnit = 25.4;
            }
            // A turned plot shows the sheet turned: the layout's sheet has the other shape.
            const bool turned = (static_cast<int>(data.rotation) & 1) != 0;
            const double width = turned ? data.paperHeight : data.paperWidth;
            const double height = turned ? data.paperWidth : data.paperHeight;
            return {-data.originX / perUnit, -data.originY / perUnit,
                    (width - data.originX) / perUnit, (height - data.originY) / perUnit};
        }
        case AcDbPlotSettings::kDisplay:
        case AcDbPlotSettings::kExtents:
        case AcDbPlotSettings::kView:
            return extentsOf(layout);
    }
    return extentsOf(layout);
}

bool formatForExtension(const std::wstring& path, OutputFormat& format) {
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || path.find_first_of(L"\\/", dot) != std::wstring::npos) {
        return false;
    }
    std::wstring extension = path.substr(dot);
    for (wchar_t& c : extension) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    if (extension == L".pdf") {
        format = OutputFormat::Pdf;
    } else if (extension == L".png") {
        format = OutputFormat::Png;
    } else if (extension == L".jpg" || extension == L".jpeg") {
        format = OutputFormat::Jpg;
    } else if (extension == L".dwf") {
        format = OutputFormat::Dwf;
    } else {
        return false;
    }
    return true;
}

std::string renderPlot(const PlotJob& job, std::string* warning, bool* blank) {
    if (blank != nullptr) {
        *blank = false;
    }
    const auto* layout = ObjectAccess::peekAs<AcDbLayout>(job.layout);
    if (layout == nullptr || layout->isErased()) {
        return "there is no such layout";
    }
    const AcDbPlotSettings& settings = job.settings != nullptr ? *job.settings : *layout;
    const AcDbObjectId block = layout->getBlockTableRecordId();
    if (ObjectAccess::peekAs<AcDbBlockTableRecord>(block) == nullptr) {
        return "the layout has no block";
    }
    // A kLayout plot of a paper layout is 1:1 on its sheet; in the settings it is so already.
    const PlotArea area = plotAreaOf(*layout, settings);
    std::string error;
    const std::optional<SheetLayout> sheet = layoutSheet(settings, job.format, area, error);
    if (!sheet) {
        return error;
    }
    std::string drawingFile;
    if (const AcDbDatabase* db = layout->database()) {
        drawingFile = qv::win32::toPosixPath(db->originalFileName()).value_or("");
    }
    PlotOutput output(job.path, drawingFile);
    if (!output.error().empty()) {
        return output.error();
    }
    if (warning != nullptr && !sheet->fallbackMedium.empty()) {
        *warning = "the paper of " + wideToUtf8(layout->qvName()) +
                   " has no size; it was plotted on " + sheet->fallbackMedium;
    }
    std::unique_ptr<Canvas> canvas;
    if (job.format == OutputFormat::Dwf) {
        DwfSheet page;
        page.pageName = wideToUtf8(std::wstring(layout->qvName()));
        page.source = sourceName(block);
        page.inches = settings.qvData().paperUnits == AcDbPlotSettings::kInches;
        page.plottedFrom = sheet->drawingToDevice.apply(area.xmin, area.ymin);
        page.plottedTo = sheet->drawingToDevice.apply(area.xmax, area.ymax);
        canvas = createDwfCanvas(output.path(), sheet->deviceWidth, sheet->deviceHeight, page, error);
    } else {
        canvas = createCanvas(job.format, output.path(), sheet->deviceWidth, sheet->deviceHeight,
                              error);
    }
    if (!canvas) {
        return error;
    }
    const bool paper = job.format == OutputFormat::Pdf || job.format == OutputFormat::Dwf;
    PainterOptions options;
    options.devicePerMm = sheet->devicePerMm;
    options.thinnest = paper ? 0.1 * sheet->devicePerMm : 1.0;
    options.printLineweights = settings.printLineweights();
    // Lines closer than half a millimetre on paper, or three pixels, blur into a tint.
    options.denseSpacing = paper ? 0.5 * sheet->devicePerMm : 3.0;
    SheetHitCanvas sheetHits(*canvas);
    Painter painter(sheetHits, options);
    painter.drawBlock(block, sheet->drawingToDevice);
    // (a device that failed while drawing may have seen nothing land: its failure is the answer)
    error = canvas->finish();
    canvas.reset();
    if (error.empty() && blank != nullptr && !sheetHits.hit()) {
        *blank = true;
        return {};  // (the temporary file goes with `output`)
    }
    if (error.empty() && !output.commit()) {
        error = output.error();
    }
    return error;
}

}  // namespace qv::host::plot
