#include "host/db/AcDbPlotSettingsValidator.h"

#include <algorithm>
#include <map>
#include <string>

#include "host/db/HostServices.h"
#include "host/db/PlotDevices.h"
#include "host/db/SymbolTables.h"

AcDbPlotSettingsValidator* AcDbHostApplicationServices::plotSettingsValidator() const {
    static AcDbPlotSettingsValidator validator;
    return &validator;
}

namespace {

using Data = AcDbPlotSettings::Data;

Acad::ErrorStatus writable(const AcDbPlotSettings* settings) {
    if (settings == nullptr) {
        return Acad::eNullObjectPointer;
    }
    return settings->isWriteEnabled() ? Acad::eOk : Acad::eNotOpenForWrite;
}

void takeMedium(Data& data, const qv::host::PlotMedium& medium) {
    data.canonicalMediaName = medium.canonicalName;
    data.paperWidth = medium.width;
    data.paperHeight = medium.height;
    data.paperUnits = medium.units;
    qv::host::takeMargins(data, medium);
}

// The texts of a list as pointers that live as long as the process.
template <class List, class Text>
void pointers(const List& list, Text text, AcArray<const ACHAR*>& out) {
    for (const auto& item : list) {
        out.append(text(item));
    }
}

}  // namespace

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotCfgName(AcDbPlotSettings* settings,
                                                            const ACHAR* deviceName,
                                                            const ACHAR* mediaName) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    const std::wstring device = qv::host::findPlotDevice(deviceName != nullptr ? deviceName : L"");
    if (device.empty()) {
        return Acad::eInvalidInput;
    }
    const qv::host::PlotMedium* medium = nullptr;
    if (mediaName != nullptr) {
        medium = qv::host::findPlotMedium(device, mediaName);
        if (medium == nullptr) {
            return Acad::eInvalidInput;
        }
    } else {
        medium = qv::host::findPlotMedium(device, settings->m_data.canonicalMediaName);
        if (medium == nullptr) {
            medium = &qv::host::plotMediaOf(device).front();
        }
    }
    settings->m_data.plotCfgName = device;
    takeMedium(settings->m_data, *medium);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setCanonicalMediaName(AcDbPlotSettings* settings,
                                                                   const ACHAR* mediaName) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    const qv::host::PlotMedium* medium =
        mediaName != nullptr ? qv::host::findPlotMedium(settings->m_data.plotCfgName, mediaName)
                             : nullptr;
    if (medium == nullptr) {
        return Acad::eInvalidInput;
    }
    takeMedium(settings->m_data, *medium);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotPaperUnits(
    AcDbPlotSettings* settings, AcDbPlotSettings::PlotPaperUnits units) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    const qv::host::PlotMedium* medium =
        qv::host::findPlotMedium(settings->m_data.plotCfgName, settings->m_data.canonicalMediaName);
    const bool raster = medium != nullptr && medium->raster();
    const bool known = units == AcDbPlotSettings::kInches ||
                       units == AcDbPlotSettings::kMillimeters ||
                       units == AcDbPlotSettings::kPixels;
    if (!known || raster != (units == AcDbPlotSettings::kPixels)) {
        return Acad::eInvalidInput;
    }
    settings->m_data.paperUnits = units;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotRotation(
    AcDbPlotSettings* settings, AcDbPlotSettings::PlotRotation rotation) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    if (rotation < AcDbPlotSettings::k0degrees || rotation > AcDbPlotSettings::k270degrees) {
        return Acad::eInvalidInput;
    }
    settings->m_data.rotation = rotation;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotCentered(AcDbPlotSettings* settings,
                                                             bool centred) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    if (centred && settings->m_data.plotType == AcDbPlotSettings::kLayout) {
        return Acad::eInvalidInput;
    }
    settings->m_data.plotCentered = centred;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotType(AcDbPlotSettings* settings,
                                                         AcDbPlotSettings::PlotType type) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    Data& data = settings->m_data;
    if (type < AcDbPlotSettings::kDisplay || type > AcDbPlotSettings::kLayout ||
        (type == AcDbPlotSettings::kLayout && data.modelType) ||
        (type == AcDbPlotSettings::kView && data.plotViewName.empty())) {
        return Acad::eInvalidInput;
    }
    data.plotType = type;
    if (type == AcDbPlotSettings::kLayout) {
        data.plotCentered = false;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotWindowArea(AcDbPlotSettings* settings,
                                                               double xmin, double ymin,
                                                               double xmax, double ymax) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    if (!(xmin <= xmax) || !(ymin <= ymax)) {
        return Acad::eInvalidInput;
    }
    Data& data = settings->m_data;
    data.windowXmin = xmin;
    data.windowYmin = ymin;
    data.windowXmax = xmax;
    data.windowYmax = ymax;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotViewName(AcDbPlotSettings* settings,
                                                             const ACHAR* viewName) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    if (viewName == nullptr || viewName[0] == 0) {
        return Acad::eInvalidInput;
    }
    settings->m_data.plotViewName = viewName;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setPlotOrigin(AcDbPlotSettings* settings, double x,
                                                           double y) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    settings->m_data.originX = x;
    settings->m_data.originY = y;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setUseStandardScale(AcDbPlotSettings* settings,
                                                                 bool useStandard) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    settings->m_data.useStandardScale = useStandard;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setStdScaleType(AcDbPlotSettings* settings,
                                                             AcDbPlotSettings::StdScaleType type) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    if (type < AcDbPlotSettings::kScaleToFit || type > AcDbPlotSettings::k1and1_2in_1ft) {
        return Acad::eInvalidInput;
    }
    settings->m_data.stdScaleType = type;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setCustomPrintScale(AcDbPlotSettings* settings,
                                                                 double numerator,
                                                                 double denominator) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    if (!(numerator > 0.0) || !(denominator > 0.0)) {
        return Acad::eInvalidInput;
    }
    settings->m_data.customNumerator = numerator;
    settings->m_data.customDenominator = denominator;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::setCurrentStyleSheet(AcDbPlotSettings* settings,
                                                                  const ACHAR* styleSheet) {
    Acad::ErrorStatus es = writable(settings);
    if (es != Acad::eOk) {
        return es;
    }
    const std::wstring wanted = styleSheet != nullptr ? styleSheet : L"";
    const auto& known = qv::host::plotStyleSheetNames();
    const auto found = std::find_if(known.begin(), known.end(), [&](const std::wstring& name) {
        return qv::host::foldName(name) == qv::host::foldName(wanted);
    });
    if (!wanted.empty() && found == known.end()) {
        return Acad::eInvalidInput;
    }
    settings->m_data.currentStyleSheet = wanted.empty() ? wanted : *found;
    return Acad::eOk;
}

void AcDbPlotSettingsValidator::plotDeviceList(AcArray<const ACHAR*>& devices) const {
    pointers(
        qv::host::plotDeviceNames(), [](const std::wstring& s) { return s.c_str(); }, devices);
}

Acad::ErrorStatus AcDbPlotSettingsValidator::canonicalMediaNameList(
    const AcDbPlotSettings* settings, AcArray<const ACHAR*>& media) const {
    if (settings == nullptr) {
        return Acad::eNullObjectPointer;
    }
    pointers(
        qv::host::plotMediaOf(settings->qvData().plotCfgName),
        [](const qv::host::PlotMedium& m) { return m.canonicalName.c_str(); }, media);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettingsValidator::getLocaleMediaName(const AcDbPlotSettings* settings,
                                                                const ACHAR* canonicalName,
                                                                const ACHAR*& localeName) const {
    localeName = nullptr;
    if (settings == nullptr) {
        return Acad::eNullObjectPointer;
    }
    const qv::host::PlotMedium* medium =
        canonicalName != nullptr
            ? qv::host::findPlotMedium(settings->qvData().plotCfgName, canonicalName)
            : nullptr;
    if (medium == nullptr) {
        return Acad::eInvalidInput;
    }
    static std::map<std::wstring, std::wstring> localeNames;
    localeName =
        localeNames.try_emplace(medium->canonicalName, medium->localeName()).first->second.c_str();
    return Acad::eOk;
}

void AcDbPlotSettingsValidator::plotStyleSheetList(AcArray<const ACHAR*>& styleSheets) const {
    pointers(
        qv::host::plotStyleSheetNames(), [](const std::wstring& s) { return s.c_str(); },
        styleSheets);
}

Acad::ErrorStatus AcDbPlotSettingsValidator::refreshLists(const AcDbPlotSettings* settings) const {
    return settings != nullptr ? Acad::eOk : Acad::eNullObjectPointer;
}
