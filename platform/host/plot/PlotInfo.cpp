#include "host/plot/PlotInfo.h"

#include <cmath>

#include "host/db/AcDbLayout.h"
#include "host/db/ObjectAccess.h"
#include "host/db/PlotDevices.h"

namespace {

std::unique_ptr<AcDbPlotSettings> copyOf(const AcDbPlotSettings* settings) {
    if (settings == nullptr) {
        return nullptr;
    }
    auto copy = std::make_unique<AcDbPlotSettings>(settings->modelType());
    copy->qvSetData(settings->qvData());
    return copy;
}

}  // namespace

AcPlPlotInfo::AcPlPlotInfo(const AcPlPlotInfo& other)
    : m_layout(other.m_layout),
      m_override(copyOf(other.m_override.get())),
      m_validated(copyOf(other.m_validated.get())) {}

AcPlPlotInfo& AcPlPlotInfo::operator=(const AcPlPlotInfo& other) {
    if (this != &other) {
        m_layout = other.m_layout;
        m_override = copyOf(other.m_override.get());
        m_validated = copyOf(other.m_validated.get());
    }
    return *this;
}

AcPlPlotInfo::~AcPlPlotInfo() = default;

void AcPlPlotInfo::setLayout(const AcDbObjectId& layout) {
    m_layout = layout;
    m_validated.reset();
}

void AcPlPlotInfo::setOverrideSettings(const AcDbPlotSettings* settings) {
    m_override = copyOf(settings);
    m_validated.reset();
}

void AcPlPlotInfo::qvSetValidatedSettings(const AcDbPlotSettings& settings) {
    m_validated = copyOf(&settings);
}

Acad::ErrorStatus AcPlPlotInfoValidator::validate(AcPlPlotInfo& info) {
    using namespace qv::host;
    if (info.layout().isNull()) {
        return Acad::eNullObjectId;
    }
    const auto* layout = ObjectAccess::peekAs<AcDbLayout>(info.layout());
    if (layout == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    if (layout->isErased()) {
        return Acad::eWasErased;
    }
    const AcDbPlotSettings& source =
        info.overrideSettings() != nullptr ? *info.overrideSettings() : *layout;
    AcDbPlotSettings::Data data = source.qvData();
    const std::wstring device = findPlotDevice(data.plotCfgName);
    if (device.empty() || device == plotDeviceNames().front()) {
        return Acad::eInvalidInput;
    }
    data.plotCfgName = device;
    if (findPlotMedium(device, data.canonicalMediaName) == nullptr) {
        if (m_policy == kMatchDisabled) {
            return Acad::eInvalidInput;
        }
        // The medium nearest in size (a raster size is compared in pixels with the paper at
        // 96 pixels per inch).
        const PlotMedium* nearest = nullptr;
        double best = 0.0;
        const double toPixels = 96.0 / 25.4;
        const bool wasRaster = data.paperUnits == AcDbPlotSettings::kPixels;
        const double width = wasRaster ? data.paperWidth : data.paperWidth * toPixels;
        const double height = wasRaster ? data.paperHeight : data.paperHeight * toPixels;
        for (const PlotMedium& medium : plotMediaOf(device)) {
            const double w = medium.raster() ? medium.width : medium.width * toPixels;
            const double h = medium.raster() ? medium.height : medium.height * toPixels;
            const double distance = std::hypot(w - width, h - height);
            if (nearest == nullptr || distance < best) {
                nearest = &medium;
                best = distance;
            }
        }
        if (nearest == nullptr) {
            return Acad::eInvalidInput;
        }
        data.canonicalMediaName = nearest->canonicalName;
        data.paperWidth = nearest->width;
        data.paperHeight = nearest->height;
        data.paperUnits = nearest->units;
    }
    AcDbPlotSettings validated(source.modelType());
    validated.qvSetData(data);
    info.qvSetValidatedSettings(validated);
    return Acad::eOk;
}
