// The host's command-line page setup, PAGESETUP (also -PAGESETUP), and -PLOT, which asks the same
// and then writes the plot as EXPORT does. The answers go to the current layout's plot settings
// through the plot-settings validator, so they are kept in the drawing and saved with it:
//
//   Enter an output device name or [?] <current>:        a device of the host ("?" lists them)
//   Enter paper size or [?] <current>:                   a medium of that device, by its canonical
//                                                        or shown name ("?" lists them)
//   Enter plot area [Extents/Limits/Window/Layout] <current>:
//                                                        Window asks for two corners; Layout only
//                                                        for a paper layout
//   Enter plot scale (Plotted Millimeters=Drawing Units) or [Fit] <current>:
//                                                        Fit, or "1:100" / "1=100": a standard scale
//                                                        when one has that ratio, else a custom one
//   Center the plot? [Yes/No] <current>:                 not asked for the Layout area
//   Enter plot rotation [0/90/180/270] <current>:
//
// Enter keeps the current value; a value the devices refuse is reported and asked again; Esc
// ends the command and changes nothing. Everything is set under the document lock at the end
// and the new page setup is printed in one line.
#include <cmath>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "host/app/Documents.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/db/AcDbPlotSettingsValidator.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectPointer.h"
#include "host/db/PlotDevices.h"
#include "host/ed/CommandLoop.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/Picking.h"
#include "host/ed/Prompts.h"

namespace qv::host::ed {
namespace {

constexpr size_t kAnswerSize = 256;

struct NamedScale {
    AcDbPlotSettings::StdScaleType type;
    const wchar_t* name;
    double numerator, denominator;
};
// The standard scales offered by ratio (paper millimetres = drawing units).
const NamedScale kScales[] = {
    {AcDbPlotSettings::k1_1, L"1:1", 1, 1},
    {AcDbPlotSettings::k1_2, L"1:2", 1, 2},
    {AcDbPlotSettings::k1_4, L"1:4", 1, 4},
    {AcDbPlotSettings::k1_8, L"1:8", 1, 8},
    {AcDbPlotSettings::k1_10, L"1:10", 1, 10},
    {AcDbPlotSettings::k1_16, L"1:16", 1, 16},
    {AcDbPlotSettings::k1_20, L"1:20", 1, 20},
    {AcDbPlotSettings::k1_30, L"1:30", 1, 30},
    {AcDbPlotSettings::k1_40, L"1:40", 1, 40},
    {AcDbPlotSettings::k1_50, L"1:50", 1, 50},
    {AcDbPlotSettings::k1_100, L"1:100", 1, 100},
    {AcDbPlotSettings::k2_1, L"2:1", 2, 1},
    {AcDbPlotSettings::k4_1, L"4:1", 4, 1},
    {AcDbPlotSettings::k8_1, L"8:1", 8, 1},
    {AcDbPlotSettings::k10_1, L"10:1", 10, 1},
    {AcDbPlotSettings::k100_1, L"100:1", 100, 1},
    {AcDbPlotSettings::k1000_1, L"1000:1", 1000, 1},
};

const wchar_t* const kAreaNames[] = {L"Display", L"Extents", L"Limits", L"View", L"Window",
                                     L"Layout"};
const wchar_t* const kRotationNames[] = {L"0", L"90", L"180", L"270"};

std::wstring number(double value) {
    std::wstring text = std::to_wstring(value);
    text.erase(text.find_last_not_of(L'0') + 1);
    if (!text.empty() && text.back() == L'.') {
        text.pop_back();
    }
    return text;
}

std::wstring scaleText(const AcDbPlotSettings::Data& data) {
    if (data.useStandardScale) {
        if (data.stdScaleType == AcDbPlotSettings::kScaleToFit) {
            return L"Fit";
        }
        for (const NamedScale& scale : kScales) {
            if (scale.type == data.stdScaleType) {
                return scale.name;
            }
        }
        AcDbPlotSettings probe;
        probe.qvSetData(data);
        double ratio = 0.0;
        probe.getStdScale(ratio);
        return ratio > 0.0 ? L"1:" + number(1.0 / ratio) : L"Fit";
    }
    return number(data.customNumerator) + L":" + number(data.customDenominator);
}

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

// A text answer: nothing on Esc, the empty text for Enter.
std::optional<std::wstring> ask(const std::wstring& prompt) {
    std::wstring answer;
    if (getText(true, prompt, answer) != RTNORM) {
        return std::nullopt;
    }
    answer.erase(0, answer.find_first_not_of(L' '));
    answer.erase(answer.find_last_not_of(L' ') + 1);
    return answer;
}

// A keyword of `keywords` (its global form): nothing on Esc, `current` for Enter.
std::optional<std::wstring> askKeyword(const std::wstring& prompt, const wchar_t* keywords,
                                       const std::wstring& current) {
    acedInitGet(0, keywords);
    ACHAR answer[32];
    const int status = acedGetKword(prompt.c_str(), answer, 32);
    if (status == RTNONE) {
        return current;
    }
    if (status != RTNORM) {
        return std::nullopt;
    }
    return std::wstring(answer);
}

// The page setup being answered: a copy of the layout's settings, changed through the validator.
class PageSetup {
  public:
    explicit PageSetup(const AcDbPlotSettings& from) : m_settings(from.modelType()) {
        m_settings.qvSetData(from.qvData());
    }
    const AcDbPlotSettings::Data& data() const { return m_settings.qvData(); }
    AcDbPlotSettings& settings() { return m_settings; }

    bool askDevice() {
        return askListed(
            L"Enter an output device name or [?] <" + data().plotCfgName + L">: ",
            [] {
                for (const std::wstring& device : plotDeviceNames()) {
                    print(L"  " + device + L"\n");
                }
            },
            [this](const std::wstring& answer) {
                return report(validator()->setPlotCfgName(&m_settings, answer.c_str()),
                              L"No output device \"" + answer + L"\".");
            });
    }

    bool askPaper() {
        const std::vector<PlotMedium>& media = plotMediaOf(data().plotCfgName);
        return askListed(
            L"Enter paper size or [?] <" + data().canonicalMediaName + L">: ",
            [&media] {
                for (const PlotMedium& medium : media) {
                    print(L"  " + medium.canonicalName + L"\n");
                }
            },
            [this, &media](const std::wstring& answer) {
                // The canonical name, or the name as the host shows it, in any case.
                std::wstring chosen;
                for (const PlotMedium& medium : media) {
                    if (lower(medium.canonicalName) == lower(answer) ||
                        lower(medium.localeName()) == lower(answer)) {
                        chosen = medium.canonicalName;
                        break;
                    }
                }
                return report(
                    chosen.empty()
                        ? Acad::eInvalidInput
                        : validator()->setCanonicalMediaName(&m_settings, chosen.c_str()),
                    L"No paper \"" + answer + L"\" on " + data().plotCfgName + L".");
            });
    }

    bool askArea() {
        for (;;) {
            const std::wstring current = kAreaNames[static_cast<int>(data().plotType)];
            const auto area = askKeyword(
                L"Enter plot area [Extents/Limits/Window/Layout] <" + current + L">: ",
                L"Extents Limits Window Layout Display View", current);
            if (!area) {
                return false;
            }
            AcDbPlotSettings::PlotType type = data().plotType;
            for (int i = 0; i < 6; ++i) {
                if (*area == kAreaNames[i]) {
                    type = static_cast<AcDbPlotSettings::PlotType>(i);
                }
            }
            if (type == AcDbPlotSettings::kWindow && *area == L"Window" && !askWindow()) {
                return false;
            }
            if (type == data().plotType) {
                return true;
            }
            if (report(validator()->setPlotType(&m_settings, type),
                       type == AcDbPlotSettings::kLayout
                           ? L"Model space has no Layout area."
                           : L"The plot area " + *area + L" cannot be plotted here.")) {
                return true;
            }
        }
    }

    bool askScale() {
        for (;;) {
            acedInitGet(RSG_OTHER, L"Fit");
            ACHAR buffer[kAnswerSize];
            const int status = acedGetKword(
                (L"Enter plot scale (Plotted Millimeters=Drawing Units) or [Fit] <" +
                 scaleText(data()) + L">: ")
                    .c_str(),
                buffer, kAnswerSize);
            if (status == RTNONE) {
                return true;
            }
            if (status != RTNORM) {
                return false;
            }
            const std::wstring answer = buffer;
            if (answer == L"Fit") {
                validator()->setUseStandardScale(&m_settings, true);
                validator()->setStdScaleType(&m_settings, AcDbPlotSettings::kScaleToFit);
                return true;
            }
            double paper = 0.0, drawing = 0.0;
            if (!parseRatio(answer, paper, drawing)) {
                print(L"Enter Fit or a scale such as 1:100 (plotted millimeters:drawing units).\n");
                continue;
            }
            for (const NamedScale& scale : kScales) {
                if (std::abs(scale.numerator / scale.denominator - paper / drawing) <=
                    1e-12 * (paper / drawing)) {
                    validator()->setUseStandardScale(&m_settings, true);
                    validator()->setStdScaleType(&m_settings, scale.type);
                    return true;
                }
            }
            validator()->setCustomPrintScale(&m_settings, paper, drawing);
            validator()->setUseStandardScale(&m_settings, false);
            return true;
        }
    }

    bool askCentred() {
        if (data().plotType == AcDbPlotSettings::kLayout) {
            return true;
        }
        const std::wstring current = data().plotCentered ? L"Yes" : L"No";
        const auto centred =
            askKeyword(L"Center the plot? [Yes/No] <" + current + L">: ", L"Yes No", current);
        if (!centred) {
            return false;
        }
        validator()->setPlotCentered(&m_settings, *centred == L"Yes");
        return true;
    }

    bool askRotation() {
        const std::wstring current = kRotationNames[static_cast<int>(data().rotation) & 3];
        const auto rotation = askKeyword(L"Enter plot rotation [0/90/180/270] <" + current +
                                             L">: ",
                                         L"0 90 180 270", current);
        if (!rotation) {
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            if (*rotation == kRotationNames[i]) {
                validator()->setPlotRotation(&m_settings,
                                             static_cast<AcDbPlotSettings::PlotRotation>(i));
            }
        }
        return true;
    }

    std::wstring summary() const {
        const AcDbPlotSettings::Data& d = data();
        std::wstring area = kAreaNames[static_cast<int>(d.plotType)];
        if (d.plotType == AcDbPlotSettings::kWindow) {
            area += L" (" + number(d.windowXmin) + L"," + number(d.windowYmin) + L" to " +
                    number(d.windowXmax) + L"," + number(d.windowYmax) + L")";
        }
        return d.plotCfgName + L", " + d.canonicalMediaName + L", " + area + L", scale " +
               scaleText(d) +
               (d.plotType == AcDbPlotSettings::kLayout
                    ? L""
                    : (d.plotCentered ? L", centred" : L", not centred")) +
               L", rotation " + kRotationNames[static_cast<int>(d.rotation) & 3];
    }

  private:
    static AcDbPlotSettingsValidator* validator() {
        return acdbHostApplicationServices()->plotSettingsValidator();
    }
    // Prints `refusal` unless the status is eOk.
    static bool report(Acad::ErrorStatus status, const std::wstring& refusal) {
        if (status != Acad::eOk) {
            print(refusal + L"\n");
        }
        return status == Acad::eOk;
    }
    // Asks with `prompt` until `take` accepts the answer: "?" runs `list` and asks again; Enter
    // keeps the current value (true), Esc gives false.
    template <typename List, typename Take>
    static bool askListed(const std::wstring& prompt, List list, Take take) {
        for (;;) {
            const auto answer = ask(prompt);
            if (!answer) {
                return false;
            }
            if (answer->empty()) {
                return true;
            }
            if (*answer == L"?") {
                list();
                continue;
            }
            if (take(*answer)) {
                return true;
            }
        }
    }
    static bool parseRatio(const std::wstring& text, double& paper, double& drawing) {
        const size_t split = text.find_first_of(L":=");
        if (split == std::wstring::npos) {
            return false;
        }
        try {
            size_t used = 0;
            const std::wstring left = text.substr(0, split);
            const std::wstring right = text.substr(split + 1);
            paper = std::stod(left, &used);
            if (used != left.size()) {
                return false;
            }
            drawing = std::stod(right, &used);
            if (used != right.size()) {
                return false;
            }
        } catch (const std::exception&) {
            return false;
        }
        // (the quotient too: 1e200:1e-200 is no scale a sheet can take)
        const double ratio = paper / drawing;
        return std::isfinite(paper) && std::isfinite(drawing) && paper > 0.0 && drawing > 0.0 &&
               std::isfinite(ratio) && ratio > 0.0;
    }
    bool askWindow() {
        ads_point first, second;
        if (acedGetPoint(nullptr, L"Enter lower left corner of window: ", first) != RTNORM ||
            acedGetPoint(first, L"Enter upper right corner of window: ", second) != RTNORM) {
            return false;
        }
        const AcGePoint3d a = ucsToWorld(AcGePoint3d(first[0], first[1], first[2]));
        const AcGePoint3d b = ucsToWorld(AcGePoint3d(second[0], second[1], second[2]));
        if (a.x == b.x || a.y == b.y) {
            print(L"The window has no area.\n");
            return askWindow();
        }
        return report(validator()->setPlotWindowArea(&m_settings, std::min(a.x, b.x),
                                                     std::min(a.y, b.y), std::max(a.x, b.x),
                                                     std::max(a.y, b.y)),
                      L"The window cannot be plotted.");
    }

    AcDbPlotSettings m_settings;
};

// Asks for the current layout's page setup and stores it; false when cancelled or refused.
bool pageSetup() {
    AcApDocument* doc = acDocManager->curDocument();
    AcDbDatabase* db = doc != nullptr ? doc->database() : nullptr;
    const AcDbLayout* layout = db != nullptr ? currentLayout(*db) : nullptr;
    if (layout == nullptr) {
        print(L"There is no layout to set up.\n");
        reportCommandFailure();
        return false;
    }
    print(L"Page setup of layout " + layout->qvName() + L".\n");
    PageSetup setup(*layout);
    if (!setup.askDevice() || !setup.askPaper() || !setup.askArea() || !setup.askScale() ||
        !setup.askCentred() || !setup.askRotation()) {
        print(L"Page setup cancelled; nothing changed.\n");
        return false;
    }
    Acad::ErrorStatus es = acDocManager->lockDocument(doc, AcAp::kWrite);
    if (es == Acad::eOk) {
        AcDbObjectPointer<AcDbLayout> writable(layout->objectId(), AcDb::kForWrite);
        es = writable.openStatus();
        if (es == Acad::eOk) {
            es = writable->copyFrom(&setup.settings());
        }
        acDocManager->unlockDocument(doc);
    }
    if (es != Acad::eOk) {
        print(std::wstring(L"The page setup could not be stored (") + acadErrorStatusText(es) +
              L").\n");
        reportCommandFailure();
        return false;
    }
    print(L"Page setup of " + layout->qvName() + L": " + setup.summary() + L".\n");
    return true;
}

void pageSetupCommand() {
    pageSetup();
}

void plotCommand() {
    if (pageSetup()) {
        runCommand(L"EXPORT");
    }
}

const bool g_registered = [] {
    registerHostCommand(L"PAGESETUP", pageSetupCommand);
    registerHostCommand(L"-PAGESETUP", pageSetupCommand);
    registerHostCommand(L"-PLOT", plotCommand);
    return true;
}();

}  // namespace
}  // namespace qv::host::ed
