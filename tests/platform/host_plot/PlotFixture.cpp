#include "PlotFixture.h"

#include <gtest/gtest.h>

#include "support/HostDrawing.h"

namespace qv::test {

AcCmColor PlotFixture::rgb(int r, int g, int b) {
    AcCmColor colour;
    colour.setRGB(static_cast<Adesk::UInt8>(r), static_cast<Adesk::UInt8>(g),
                  static_cast<Adesk::UInt8>(b));
    return colour;
}

AcDbObjectId PlotFixture::layer(const ACHAR* name, bool off, bool frozen, bool plottable) {
    const AcDbObjectId id = addLayer(name);
    WriteLock lock(document());
    AcDbObjectPointer<AcDbLayerTableRecord> record(id, AcDb::kForWrite);
    EXPECT_EQ(record.openStatus(), Acad::eOk);
    record->setIsOff(off);
    record->setIsFrozen(frozen);
    record->setIsPlottable(plottable);
    return id;
}

AcDbHatch* PlotFixture::solidSquare(double x0, double y0, double x1, double y1,
                                    AcDbObjectId layerId, const AcCmColor& colour) {
    auto* hatch = new AcDbHatch;
    hatch->setDatabaseDefaults(db());
    EXPECT_EQ(hatch->setPattern(AcDbHatch::kPreDefined, L"SOLID"), Acad::eOk);
    const AcGePoint2dArray corners = points({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    EXPECT_EQ(hatch->appendLoop(AcDbHatch::kExternal, corners, AcGeDoubleArray()), Acad::eOk);
    if (!layerId.isNull()) {
        hatch->setLayer(layerId);
    }
    hatch->setColor(colour);
    return hatch;
}

AcDbObjectId PlotFixture::modelLayoutId() {
    return acdbHostApplicationServices()->layoutManager()->findLayoutNamed(L"Model", db());
}

void PlotFixture::setSettings(AcDbObjectId layoutId, const ACHAR* device, const ACHAR* medium,
                              AcDbPlotSettings::PlotType type, bool fit, bool centred,
                              AcDbPlotSettings::PlotRotation rotation) {
    WriteLock lock(document());
    AcDbObjectPointer<AcDbLayout> layout(layoutId, AcDb::kForWrite);
    ASSERT_EQ(layout.openStatus(), Acad::eOk);
    AcDbPlotSettingsValidator* validator =
        acdbHostApplicationServices()->plotSettingsValidator();
    ASSERT_EQ(validator->setPlotCfgName(layout.object(), device, medium), Acad::eOk);
    ASSERT_EQ(validator->setPlotType(layout.object(), type), Acad::eOk);
    validator->setUseStandardScale(layout.object(), true);
    validator->setStdScaleType(layout.object(),
                               fit ? AcDbPlotSettings::kScaleToFit : AcDbPlotSettings::k1_1);
    if (type != AcDbPlotSettings::kLayout) {
        validator->setPlotCentered(layout.object(), centred);
    }
    validator->setPlotRotation(layout.object(), rotation);
}

Acad::ErrorStatus PlotFixture::publish(AcDbObjectId layout, const std::wstring& windowsPath) {
    AcPlPlotEngine* engine = nullptr;
    Acad::ErrorStatus es = AcPlPlotFactory::createPublishEngine(engine);
    if (es != Acad::eOk) {
        return es;
    }
    AcPlPlotInfo info;
    info.setLayout(layout);
    AcPlPlotInfoValidator validator;
    validator.setMediaMatchingPolicy(AcPlPlotInfoValidator::kMatchEnabled);
    AcPlPlotPageInfo page;
    const Acad::ErrorStatus steps[] = {
        validator.validate(info),
        engine->beginPlot(nullptr),
        engine->beginDocument(info, L"plan.dwg", nullptr, 1, true, windowsPath.c_str()),
        engine->beginPage(page, info, true),
        engine->beginGenerateGraphics(),
        engine->endGenerateGraphics(),
        engine->endPage(),
        engine->endDocument(),
        engine->endPlot(),
    };
    engine->destroy();
    for (Acad::ErrorStatus step : steps) {
        if (step != Acad::eOk) {
            return step;
        }
    }
    return Acad::eOk;
}

}  // namespace qv::test
