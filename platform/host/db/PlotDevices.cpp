#include "host/db/PlotDevices.h"

#include <algorithm>
#include <cstdio>

#include "host/db/SymbolTables.h"

namespace qv::host {

namespace {

const wchar_t* const kNone = L"None";
const wchar_t* const kDwf = L"DWF6 ePlot.pc3";
const wchar_t* const kPdf = L"DWG To PDF.pc3";
const wchar_t* const kJpg = L"PublishToWeb JPG.pc3";
const wchar_t* const kPng = L"PublishToWeb PNG.pc3";

struct Sheet {
    const wchar_t* name;
    double shortSide, longSide;
};

struct Family {
    const wchar_t* prefix;
    const wchar_t* unit;
    double millimetres;  // per unit
    std::vector<Sheet> sheets;
};

std::wstring number(double value) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%.2f", value);
    return text;
}

void addMedium(std::vector<PlotMedium>& media, const std::wstring& name, double width,
               double height, const Family& family, double margin = 0.0) {
    PlotMedium m;
    m.marginLeft = m.marginBottom = m.marginRight = m.marginTop = margin;
    m.canonicalName =
        name + L"_(" + number(width) + L"_x_" + number(height) + L"_" + family.unit + L")";
    m.width = width * family.millimetres;
    m.height = height * family.millimetres;
    m.units = family.millimetres == 0.0   ? AcDbPlotSettings::kPixels
              : family.millimetres == 1.0 ? AcDbPlotSettings::kMillimeters
                                          : AcDbPlotSettings::kInches;
    if (m.raster()) {
        m.width = width;
        m.height = height;
    }
    media.push_back(m);
}

std::vector<PlotMedium> makePapers() {
    const std::vector<Family> families = {
        {L"ISO",
         L"MM",
         1.0,
         {{L"A4", 210, 297},
          {L"A3", 297, 420},
          {L"A2", 420, 594},
          {L"A1", 594, 841},
          {L"A0", 841, 1189},
          {L"A5", 148, 210},
          {L"2A0", 1189, 1682},
          {L"4A0", 1682, 2378},
          {L"B5", 176, 250},
          {L"B4", 250, 353},
          {L"B3", 353, 500},
          {L"B2", 500, 707},
          {L"B1", 707, 1000},
          {L"B0", 1000, 1414}}},
        {L"ANSI",
         L"Inches",
         25.4,
         {{L"A", 8.5, 11},
          {L"B", 11, 17},
          {L"C", 17, 22},
          {L"D", 22, 34},
          {L"E", 34, 44},
          {L"F", 28, 40}}},
        {L"ARCH",
         L"Inches",
         25.4,
         {{L"A", 9, 12},
          {L"B", 12, 18},
          {L"C", 18, 24},
          {L"D", 24, 36},
          {L"E", 36, 48},
          {L"E1", 30, 42}}},
    };
    // The unprintable margin of each variant, in millimetres on every side: the "expand" papers
    // print closer to the edge, the "full_bleed" ones up to it.
    const struct {
        const wchar_t* name;
        double margin;
    } variants[] = {{L"", 10.0}, {L"expand_", 5.0}, {L"full_bleed_", 0.0}};
    std::vector<PlotMedium> media;
    for (const auto& variant : variants) {
        for (const Family& family : families) {
            for (const Sheet& sheet : family.sheets) {
                const std::wstring name =
                    std::wstring(family.prefix) + L"_" + variant.name + sheet.name;
                addMedium(media, name, sheet.longSide, sheet.shortSide, family, variant.margin);
                addMedium(media, name, sheet.shortSide, sheet.longSide, family, variant.margin);
            }
        }
    }
    return media;
}

std::vector<PlotMedium> makeRasterSizes() {
    const Family pixels{L"",
                        L"Pixels",
                        0.0,
                        {{L"XGA", 768, 1024},
                         {L"VGA", 480, 640},
                         {L"SVGA", 600, 800},
                         {L"SXGA", 1024, 1280},
                         {L"UXGA", 1200, 1600},
                         {L"QXGA", 1536, 2048}}};
    std::vector<PlotMedium> media;
    for (const Sheet& size : pixels.sheets) {
        addMedium(media, size.name, size.longSide, size.shortSide, pixels);
    }
    return media;
}

}  // namespace

std::wstring PlotMedium::localeName() const {
    std::wstring name = canonicalName;
    std::replace(name.begin(), name.end(), L'_', L' ');
    return name;
}

const std::vector<std::wstring>& plotDeviceNames() {
    static const std::vector<std::wstring> names = {kNone, kDwf, kPdf, kJpg, kPng};
    return names;
}

std::wstring findPlotDevice(const std::wstring& name) {
    for (const std::wstring& device : plotDeviceNames()) {
        if (foldName(device) == foldName(name)) {
            return device;
        }
    }
    return std::wstring();
}

const std::vector<PlotMedium>& plotMediaOf(const std::wstring& device) {
    static const std::vector<PlotMedium> papers = makePapers();
    static const std::vector<PlotMedium> raster = makeRasterSizes();
    static const std::vector<PlotMedium> none;
    const std::wstring found = findPlotDevice(device);
    if (found.empty()) {
        return none;
    }
    return found == kJpg || found == kPng ? raster : papers;
}

const PlotMedium* findPlotMedium(const std::wstring& device, const std::wstring& canonicalName) {
    for (const PlotMedium& medium : plotMediaOf(device)) {
        if (medium.canonicalName == canonicalName) {
            return &medium;
        }
    }
    return nullptr;
}

void takeMargins(AcDbPlotSettings::Data& data, const PlotMedium& medium) {
    data.marginLeft = medium.marginLeft;
    data.marginBottom = medium.marginBottom;
    data.marginRight = medium.marginRight;
    data.marginTop = medium.marginTop;
}

const std::vector<std::wstring>& plotStyleSheetNames() {
    static const std::vector<std::wstring> names = {L"acad.ctb",       L"Grayscale.ctb",
                                                    L"monochrome.ctb", L"Screening 50%.ctb",
                                                    L"acad.stb",       L"monochrome.stb"};
    return names;
}

}  // namespace qv::host
