#include "host/plot/TextPainting.h"

#include <cmath>
#include <cstdint>
#include <cwctype>

#include "host/db/AcDbMText.h"
#include "host/db/AcDbText.h"
#include "host/plot/Flatten.h"
#include "win32/CodePage.h"

namespace qv::host::plot {

namespace {
// How far below the baseline a text's bottom lies, in heights of capitals.
constexpr double kDescent = 0.3;

// Code points that Unicode keeps out of interchange (U+FDD0 to U+FDEF, and the last two of
// every plane): no font draws them, and the PDF and image devices refuse a text holding one.
bool isNoncharacter(wchar_t c) {
    const auto code = static_cast<std::uint32_t>(c);
    return (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE;
}
}  // namespace

std::string plottedText(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, L"%%") == 0 && i + 2 < text.size()) {
            const wchar_t code = static_cast<wchar_t>(std::towlower(text[i + 2]));
            switch (code) {
                case L'd':
                    out += L'\u00B0';
                    break;
                case L'p':
                    out += L'\u00B1';
                    break;
                case L'c':
                    out += L'\u2300';
                    break;
                case L'%':
                    out += L'%';
                    break;
                case L'u':
                case L'o':
                case L'k':
                    break;
                default:
                    out += text.substr(i, 3);
                    break;
            }
            i += 2;
            continue;
        }
        out += isNoncharacter(text[i]) ? L'\uFFFD' : text[i];
    }
    return wideToUtf8(out);
}

void paintText(Canvas& canvas, const AcDbText& text, const Affine& toDevice, const Rgb& colour) {
    const std::string utf8 = plottedText(text.textStringConst());
    if (utf8.empty() || text.height() <= 0.0) {
        return;
    }
    const TextMetrics metrics = canvas.measure(utf8);
    if (metrics.capHeight <= 0.0) {
        return;
    }
    double em = text.height() / metrics.capHeight;
    double widthFactor = text.widthFactor() > 0.0 ? text.widthFactor() : 1.0;
    double rotation = text.rotation();
    AcGePoint3d anchor = text.position();
    const AcDb::TextHorzMode horizontal = text.horizontalMode();
    const AcDb::TextVertMode vertical = text.verticalMode();
    double width = metrics.advance * em * widthFactor;
    double offsetX = 0.0, offsetY = 0.0;  // drawing units, in the text's own axes

    if (!text.isDefaultAlignment()) {
        anchor = text.alignmentPoint();
    }
    switch (horizontal) {
        case AcDb::kTextLeft:
            break;
        case AcDb::kTextCenter:
            offsetX = -width / 2.0;
            break;
        case AcDb::kTextRight:
            offsetX = -width;
            break;
        case AcDb::kTextMid:
            offsetX = -width / 2.0;
            offsetY = -text.height() / 2.0;
            break;
        case AcDb::kTextAlign:
        case AcDb::kTextFit: {
            const AcGePoint3d start = text.position();
            const AcGePoint3d end = text.alignmentPoint();
            const double span = std::hypot(end.x - start.x, end.y - start.y);
            anchor = start;
            if (span > 0.0 && metrics.advance > 0.0) {
                rotation = std::atan2(end.y - start.y, end.x - start.x);
                if (horizontal == AcDb::kTextAlign) {
                    em = span / (metrics.advance * widthFactor);
                } else {
                    widthFactor = span / (metrics.advance * em);
                }
                width = span;
            }
            break;
        }
    }
    if (horizontal != AcDb::kTextMid && horizontal != AcDb::kTextAlign &&
        horizontal != AcDb::kTextFit) {
        const double height = metrics.capHeight * em;
        switch (vertical) {
            case AcDb::kTextBase:
                break;
            case AcDb::kTextBottom:
                offsetY = kDescent * height;
                break;
            case AcDb::kTextVertMid:
                offsetY = -height / 2.0;
                break;
            case AcDb::kTextTop:
                offsetY = -height;
                break;
        }
    }
    const double slant = std::tan(text.oblique());
    // Text space (em units) -> the text's axes (drawing units) -> the drawing.
    const Affine glyphs{em * widthFactor, 0.0, em * slant, em, offsetX, offsetY};
    const Affine placed =
        Affine::translation(anchor.x, anchor.y).after(Affine::rotation(rotation)).after(glyphs);
    canvas.text(utf8, toDevice.after(placed), colour);
}

void paintMText(Canvas& canvas, const AcDbMText& text, const Affine& toDevice,
                const Rgb& colour) {
    if (!(text.textHeight() > 0.0)) {
        return;
    }
    // The width of a text one unit high, in the plot font.
    const AcDbMText::Measure measure = [&canvas](std::wstring_view line) {
        const TextMetrics metrics = canvas.measure(plottedText(std::wstring(line)));
        return metrics.capHeight > 0.0 ? metrics.advance / metrics.capHeight : 0.0;
    };
    const double capHeight = canvas.measure("H").capHeight;
    if (!(capHeight > 0.0)) {
        return;
    }
    const Affine axes = toDevice.after(planAffine(text.qvTextAxes()));
    for (const AcDbMText::Line& line : text.qvLayout(measure)) {
        for (const AcDbMText::Run& run : line.runs) {
            const std::string utf8 = plottedText(run.text);
            if (utf8.find_first_not_of(' ') == std::string::npos) {
                continue;
            }
            const double em = run.height / capHeight;
            canvas.text(utf8,
                        axes.after(Affine::translation(line.x + run.x, line.y))
                            .after(Affine::scaling(em, em)),
                        colour);
        }
    }
}

}  // namespace qv::host::plot
