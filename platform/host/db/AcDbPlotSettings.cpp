#include "host/db/AcDbPlotSettings.h"

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/PlotDevices.h"

QV_RX_DEFINE_MEMBERS(AcDbPlotSettings, AcDbObject, L"PLOTSETTINGS")

namespace {

// Paper units per drawing unit of each standard scale type.
const double kStdScales[] = {
    0.0,         1.0 / 1536.0, 1.0 / 768.0, 1.0 / 384.0, 1.0 / 192.0, 3.0 / 384.0, 1.0 / 96.0,
    3.0 / 192.0, 1.0 / 48.0,   3.0 / 96.0,  1.0 / 24.0,  3.0 / 48.0,  1.0 / 12.0,  3.0 / 12.0,
    6.0 / 12.0,  1.0,          1.0,         1.0 / 2.0,   1.0 / 4.0,   1.0 / 8.0,   1.0 / 10.0,
    1.0 / 16.0,  1.0 / 20.0,   1.0 / 30.0,  1.0 / 40.0,  1.0 / 50.0,  1.0 / 100.0, 2.0,
    4.0,         8.0,          10.0,        100.0,       1000.0,      1.5 / 12.0,
};
static_assert(sizeof(kStdScales) / sizeof(kStdScales[0]) == AcDbPlotSettings::k1and1_2in_1ft + 1);

struct FlagBit {
    int bit;
    bool AcDbPlotSettings::Data::*field;
};

const FlagBit kFlagBits[] = {
    {1, &AcDbPlotSettings::Data::plotViewportBorders},
    {2, &AcDbPlotSettings::Data::showPlotStyles},
    {4, &AcDbPlotSettings::Data::plotCentered},
    {8, &AcDbPlotSettings::Data::plotHidden},
    {16, &AcDbPlotSettings::Data::useStandardScale},
    {32, &AcDbPlotSettings::Data::plotPlotStyles},
    {64, &AcDbPlotSettings::Data::scaleLineweights},
    {128, &AcDbPlotSettings::Data::printLineweights},
    {512, &AcDbPlotSettings::Data::drawViewportsFirst},
    {1024, &AcDbPlotSettings::Data::modelType},
};

}  // namespace

namespace qv::host {

int plotLayoutFlags(const AcDbPlotSettings::Data& data) {
    int flags = 0;
    for (const FlagBit& f : kFlagBits) {
        if (data.*f.field) {
            flags |= f.bit;
        }
    }
    return flags;
}

void setPlotLayoutFlags(AcDbPlotSettings::Data& data, int flags) {
    for (const FlagBit& f : kFlagBits) {
        data.*f.field = (flags & f.bit) != 0;
    }
}

}  // namespace qv::host

AcDbPlotSettings::AcDbPlotSettings(bool modelType) {
    const qv::host::PlotMedium& paper = qv::host::plotMediaOf(L"None").front();
    m_data.plotCfgName = L"None";
    m_data.canonicalMediaName = paper.canonicalName;
    m_data.paperWidth = paper.width;
    m_data.paperHeight = paper.height;
    m_data.paperUnits = paper.units;
    qv::host::takeMargins(m_data, paper);
    m_data.modelType = modelType;
    // Model space plots what it holds, fitted and centred on the sheet; a paper layout plots its
    // sheet as laid out.
    m_data.plotType = modelType ? kExtents : kLayout;
    m_data.stdScaleType = modelType ? kScaleToFit : k1_1;
    m_data.plotCentered = modelType;
}

Acad::ErrorStatus AcDbPlotSettings::copyFrom(const AcRxObject* other) {
    const AcDbPlotSettings* source = AcDbPlotSettings::cast(other);
    if (source == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    assertWriteEnabled();
    m_data = source->m_data;
    return Acad::eOk;
}

void AcDbPlotSettings::qvSetData(const Data& data) {
    assertWriteEnabled();
    m_data = data;
}

Acad::ErrorStatus AcDbPlotSettings::getPlotSettingsName(const ACHAR*& name) const {
    name = m_data.pageSetupName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettings::setPlotSettingsName(const ACHAR* name) {
    assertWriteEnabled();
    m_data.pageSetupName = name != nullptr ? name : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettings::getPlotCfgName(const ACHAR*& name) const {
    name = m_data.plotCfgName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettings::getCanonicalMediaName(const ACHAR*& name) const {
    name = m_data.canonicalMediaName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettings::getPlotViewName(const ACHAR*& name) const {
    name = m_data.plotViewName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettings::getCurrentStyleSheet(const ACHAR*& name) const {
    name = m_data.currentStyleSheet.c_str();
    return Acad::eOk;
}

void AcDbPlotSettings::getPlotPaperMargins(double& left, double& bottom, double& right,
                                           double& top) const {
    left = m_data.marginLeft;
    bottom = m_data.marginBottom;
    right = m_data.marginRight;
    top = m_data.marginTop;
}

void AcDbPlotSettings::getPlotPaperSize(double& width, double& height) const {
    width = m_data.paperWidth;
    height = m_data.paperHeight;
}

void AcDbPlotSettings::getPlotOrigin(double& x, double& y) const {
    x = m_data.originX;
    y = m_data.originY;
}

void AcDbPlotSettings::getPlotWindowArea(double& xmin, double& ymin, double& xmax,
                                         double& ymax) const {
    xmin = m_data.windowXmin;
    ymin = m_data.windowYmin;
    xmax = m_data.windowXmax;
    ymax = m_data.windowYmax;
}

void AcDbPlotSettings::getCustomPrintScale(double& numerator, double& denominator) const {
    numerator = m_data.customNumerator;
    denominator = m_data.customDenominator;
}

void AcDbPlotSettings::getStdScale(double& scale) const {
    const int type = m_data.stdScaleType;
    scale = type >= 0 && type <= k1and1_2in_1ft ? kStdScales[type] : 0.0;
}

AcDbPlotSettings::PlotPaperUnits AcDbPlotSettings::plotPaperUnits() const {
    return m_data.paperUnits;
}
AcDbPlotSettings::PlotRotation AcDbPlotSettings::plotRotation() const {
    return m_data.rotation;
}
AcDbPlotSettings::PlotType AcDbPlotSettings::plotType() const {
    return m_data.plotType;
}
AcDbPlotSettings::StdScaleType AcDbPlotSettings::stdScaleType() const {
    return m_data.stdScaleType;
}
bool AcDbPlotSettings::useStandardScale() const {
    return m_data.useStandardScale;
}
bool AcDbPlotSettings::plotCentered() const {
    return m_data.plotCentered;
}
bool AcDbPlotSettings::modelType() const {
    return m_data.modelType;
}
AcDbPlotSettings::ShadePlotType AcDbPlotSettings::shadePlot() const {
    return m_data.shadePlot;
}

namespace {
Acad::ErrorStatus setSwitch(const AcDbPlotSettings& settings, bool& field, bool value) {
    settings.assertWriteEnabled();
    field = value;
    return Acad::eOk;
}
}  // namespace

bool AcDbPlotSettings::plotViewportBorders() const {
    return m_data.plotViewportBorders;
}
Acad::ErrorStatus AcDbPlotSettings::setPlotViewportBorders(bool plot) {
    return setSwitch(*this, m_data.plotViewportBorders, plot);
}
bool AcDbPlotSettings::showPlotStyles() const {
    return m_data.showPlotStyles;
}
Acad::ErrorStatus AcDbPlotSettings::setShowPlotStyles(bool show) {
    return setSwitch(*this, m_data.showPlotStyles, show);
}
bool AcDbPlotSettings::plotPlotStyles() const {
    return m_data.plotPlotStyles;
}
Acad::ErrorStatus AcDbPlotSettings::setPlotPlotStyles(bool plot) {
    return setSwitch(*this, m_data.plotPlotStyles, plot);
}
bool AcDbPlotSettings::printLineweights() const {
    return m_data.printLineweights;
}
Acad::ErrorStatus AcDbPlotSettings::setPrintLineweights(bool print) {
    return setSwitch(*this, m_data.printLineweights, print);
}
bool AcDbPlotSettings::scaleLineweights() const {
    return m_data.scaleLineweights;
}
Acad::ErrorStatus AcDbPlotSettings::setScaleLineweights(bool scale) {
    return setSwitch(*this, m_data.scaleLineweights, scale);
}
bool AcDbPlotSettings::plotHidden() const {
    return m_data.plotHidden;
}
Acad::ErrorStatus AcDbPlotSettings::setPlotHidden(bool hidden) {
    return setSwitch(*this, m_data.plotHidden, hidden);
}
bool AcDbPlotSettings::drawViewportsFirst() const {
    return m_data.drawViewportsFirst;
}
Acad::ErrorStatus AcDbPlotSettings::setDrawViewportsFirst(bool first) {
    return setSwitch(*this, m_data.drawViewportsFirst, first);
}

Acad::ErrorStatus AcDbPlotSettings::setShadePlot(ShadePlotType type) {
    assertWriteEnabled();
    if (type < kAsDisplayed || type > kRendered) {
        return Acad::eInvalidInput;
    }
    m_data.shadePlot = type;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPlotSettings::addToPlotSettingsDict(AcDbDatabase* database) {
    if (database == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    if (m_data.pageSetupName.empty()) {
        return Acad::eInvalidInput;
    }
    AcDbDictionary* named = nullptr;
    Acad::ErrorStatus es = database->getNamedObjectsDictionary(named, AcDb::kForWrite);
    if (es != Acad::eOk) {
        return es;
    }
    AcDbDictionary* setups = nullptr;
    es = named->getAt(L"ACAD_PLOTSETTINGS", setups, AcDb::kForWrite);
    if (es == Acad::eKeyNotFound) {
        setups = new AcDbDictionary;
        AcDbObjectId id;
        es = named->setAt(L"ACAD_PLOTSETTINGS", setups, id);
        if (es != Acad::eOk) {
            delete setups;
            setups = nullptr;
        }
    }
    named->close();
    if (es != Acad::eOk) {
        return es;
    }
    AcDbObjectId id;
    es = setups->has(m_data.pageSetupName.c_str())
             ? Acad::eDuplicateRecordName
             : setups->setAt(m_data.pageSetupName.c_str(), this, id);
    setups->close();
    return es;
}
