// What a plot plots: the layout, the settings that override the layout's own, and the settings
// the validator made of them (AcPlPlotInfoValidator), which the plot engine uses.
#pragma once

#include <memory>

#include "../db/AcDbPlotSettings.h"

class AcPlPlotInfo {
  public:
    AcPlPlotInfo() = default;
    AcPlPlotInfo(const AcPlPlotInfo& other);
    AcPlPlotInfo& operator=(const AcPlPlotInfo& other);
    ~AcPlPlotInfo();

    // Changing the layout or the overrides asks for a new validation.
    void setLayout(const AcDbObjectId& layout);
    AcDbObjectId layout() const { return m_layout; }
    // A copy of the settings is kept (the caller keeps its own); null drops the overrides.
    void setOverrideSettings(const AcDbPlotSettings* settings);
    const AcDbPlotSettings* overrideSettings() const { return m_override.get(); }

    bool isValidated() const { return m_validated != nullptr; }
    // The settings the plot uses, or null before validation.
    const AcDbPlotSettings* validatedSettings() const { return m_validated.get(); }

    // For the validator: the settings it made (a copy is kept).
    void qvSetValidatedSettings(const AcDbPlotSettings& settings);

  private:
    AcDbObjectId m_layout;
    std::unique_ptr<AcDbPlotSettings> m_override;
    std::unique_ptr<AcDbPlotSettings> m_validated;
};

// Checks a plot info and makes the settings the plot uses: the overrides (or the layout's own)
// with a device of the host that can plot and a medium of that device.
class AcPlPlotInfoValidator {
  public:
    enum MatchingPolicy {
        kMatchDisabled = 1,
        kMatchEnabled = 2,
        kMatchEnabledCustom = 3,
        kMatchEnabledTmpCustom = 4,
    };

    void setMediaMatchingPolicy(MatchingPolicy policy) { m_policy = policy; }
    MatchingPolicy matchingPolicy() const { return m_policy; }

    // eNullObjectId without a layout, eNotThatKindOfClass for an id that is no layout, eWasErased for an erased one,
    // eInvalidInput for a device the host does not have or "None"; a medium the device lacks is
    // replaced by its medium nearest in size when matching is enabled, else eInvalidInput.
    Acad::ErrorStatus validate(AcPlPlotInfo& info);

  private:
    MatchingPolicy m_policy = kMatchDisabled;
};

// The page being plotted: counts the plot engine fills when the page begins.
class AcPlPlotPageInfo {
  public:
    long entityCount() const { return m_entities; }
    long rasterCount() const { return 0; }
    long oleObjectCount() const { return 0; }
    long gradientCount() const { return 0; }
    void qvSetEntityCount(long count) { m_entities = count; }

  private:
    long m_entities = 0;
};
