#include "host/db/AcDbMText.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

QV_RX_DEFINE_MEMBERS(AcDbMText, AcDbEntity, L"MTEXT")

namespace {

// Lines follow each other this many heights apart (at a line spacing factor of 1).
constexpr double kLineAdvance = 5.0 / 3.0;
// The width of a character in heights, where no font measures it.
constexpr double kCharacterWidth = 0.6;

bool isHex(wchar_t c) {
    return std::iswxdigit(static_cast<wint_t>(c)) != 0;
}

// Reads the contents and hands out paragraphs: formatting codes removed, escapes resolved.
class PlainText {
  public:
    explicit PlainText(std::wstring_view contents) : m_in(contents) {}

    std::vector<std::wstring> paragraphs() {
        for (m_at = 0; m_at < m_in.size();) {
            step();
        }
        m_out.push_back(std::move(m_line));
        return std::move(m_out);
    }

  private:
    void breakLine() {
        m_out.push_back(std::move(m_line));
        m_line.clear();
    }

    // Skips an argument up to and including its ';' (to the end when there is none).
    std::wstring_view argument() {
        const size_t end = m_in.find(L';', m_at);
        const std::wstring_view value =
            m_in.substr(m_at, end == std::wstring_view::npos ? std::wstring_view::npos
                                                               : end - m_at);
        m_at = end == std::wstring_view::npos ? m_in.size() : end + 1;
        return value;
    }

    void stacked(std::wstring_view value) {
        for (size_t i = 0; i < value.size(); ++i) {
            const wchar_t c = value[i];
            if (c == L'\\' && i + 1 < value.size()) {
                m_line += value[++i];
            } else if (c == L'^' || c == L'#' || c == L'/') {
                m_line += L'/';
            } else {
                m_line += c;
            }
        }
    }

    void escape() {
        if (m_at >= m_in.size()) {
            m_line += L'\\';
            return;
        }
        const wchar_t code = m_in[m_at++];
        switch (code) {
            case L'P':
            case L'N':
            case L'X':
                breakLine();
                return;
            case L'~':
                m_line += L'\u00A0';
                return;
            case L'\\':
            case L'{':
            case L'}':
                m_line += code;
                return;
            case L'L': case L'l': case L'O': case L'o': case L'K': case L'k':
                return;
            case L'A': case L'C': case L'c': case L'F': case L'f': case L'H': case L'h':
            case L'Q': case L'q': case L'T': case L't': case L'W': case L'w': case L'p':
                argument();
                return;
            case L'S':
                stacked(argument());
                return;
            case L'U':
                if (m_at + 5 <= m_in.size() && m_in[m_at] == L'+' &&
                    std::all_of(m_in.begin() + m_at + 1, m_in.begin() + m_at + 5, isHex)) {
                    m_line += static_cast<wchar_t>(
                        std::wcstol(std::wstring(m_in.substr(m_at + 1, 4)).c_str(), nullptr, 16));
                    m_at += 5;
                    return;
                }
                break;
            case L'M':
                // A character of a multi-byte code page (\M+nhhhh): not shown.
                if (m_at + 6 <= m_in.size() && m_in[m_at] == L'+') {
                    m_at += 6;
                    return;
                }
                break;
            default:
                break;
        }
        m_line += code;
    }

    void step() {
        const wchar_t c = m_in[m_at++];
        switch (c) {
            case L'\\':
                escape();
                return;
            case L'{':
            case L'}':
                return;
            case L'\n':
                breakLine();
                return;
            case L'\r':
                return;
            case L'\t':
                m_line += L' ';
                return;
            case L'^':
                // The caret form of control characters: ^J a line feed, ^I a tab, "^ " a caret.
                if (m_at < m_in.size()) {
                    const wchar_t next = m_in[m_at++];
                    if (next == L'J') {
                        breakLine();
                    } else if (next == L'I') {
                        m_line += L' ';
                    } else if (next == L' ') {
                        m_line += L'^';
                    } else if (next != L'M') {
                        m_line += L'^';
                        m_line += next;
                    }
                    return;
                }
                break;
            default:
                break;
        }
        m_line += c;
    }

    std::wstring_view m_in;
    size_t m_at = 0;
    std::wstring m_line;
    std::vector<std::wstring> m_out;
};

bool isBlank(wchar_t c) {
    return c == L' ';
}

std::wstring trimmedRight(std::wstring text) {
    while (!text.empty() && isBlank(text.back())) {
        text.pop_back();
    }
    return text;
}

// The lines of one paragraph within `limit` (0: no limit), each with its width.
void wrap(const std::wstring& paragraph, double limit, double height,
          const AcDbMText::Measure& measure, std::vector<AcDbMText::Line>& lines) {
    auto widthOf = [&](std::wstring_view text) { return measure(text) * height; };
    if (!(limit > 0.0) || widthOf(paragraph) <= limit) {
        lines.push_back({paragraph, 0.0, 0.0, widthOf(paragraph)});
        return;
    }
    std::wstring line;
    size_t at = 0;
    while (at < paragraph.size()) {
        // The next word with the blanks before it.
        size_t end = at;
        while (end < paragraph.size() && isBlank(paragraph[end])) {
            ++end;
        }
        while (end < paragraph.size() && !isBlank(paragraph[end])) {
            ++end;
        }
        const std::wstring_view word(paragraph.data() + at, end - at);
        std::wstring longer = line + std::wstring(word);
        if (!line.empty() && widthOf(trimmedRight(longer)) > limit) {
            line = trimmedRight(std::move(line));
            lines.push_back({line, 0.0, 0.0, widthOf(line)});
            size_t first = 0;
            while (first < word.size() && isBlank(word[first])) {
                ++first;
            }
            line = std::wstring(word.substr(first));
        } else {
            line = std::move(longer);
        }
        at = end;
    }
    line = trimmedRight(std::move(line));
    lines.push_back({line, 0.0, 0.0, widthOf(line)});
}

AcGeVector3d orDefault(const AcGeVector3d& v, const AcGeVector3d& fallback) {
    const bool finite = std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    return finite && !v.isZeroLength() ? v.normal() : fallback;
}

}  // namespace

void AcDbMText::qvSetData(Data data) {
    assertWriteEnabled();
    auto nonNegative = [](double v) { return std::isfinite(v) && v > 0.0 ? v : 0.0; };
    data.height = nonNegative(data.height);
    data.width = nonNegative(data.width);
    if (!(std::isfinite(data.lineSpacing) && data.lineSpacing > 0.0)) {
        data.lineSpacing = 1.0;
    }
    data.normal = orDefault(data.normal, AcGeVector3d::kZAxis);
    data.direction = orDefault(data.direction, AcGeVector3d::kXAxis);
    m_data = std::move(data);
}

std::vector<std::wstring> AcDbMText::qvParagraphs() const {
    return PlainText(m_data.contents).paragraphs();
}

std::vector<AcDbMText::Line> AcDbMText::qvLayout(const Measure& measure) const {
    std::vector<Line> lines;
    const double height = m_data.height;
    for (const std::wstring& paragraph : qvParagraphs()) {
        wrap(paragraph, m_data.width, height, measure, lines);
    }
    const double spacing = kLineAdvance * height * m_data.lineSpacing;
    const double block = height + spacing * static_cast<double>(lines.size() - 1);
    const int column = (m_data.attachment - 1) % 3;
    const int row = (m_data.attachment - 1) / 3;
    const double firstBaseline = row == 0 ? -height : row == 1 ? block / 2.0 - height
                                                               : block - height;
    for (size_t i = 0; i < lines.size(); ++i) {
        Line& line = lines[i];
        line.x = column == 0 ? 0.0 : column == 1 ? -line.width / 2.0 : -line.width;
        line.y = firstBaseline - spacing * static_cast<double>(i);
    }
    return lines;
}

AcGeMatrix3d AcDbMText::qvTextAxes() const {
    // The direction brought into the plane of the normal.
    const AcGeVector3d normal = m_data.normal;
    AcGeVector3d x = m_data.direction - normal * m_data.direction.dotProduct(normal);
    if (x.isZeroLength()) {
        const AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(normal);
        x = AcGeVector3d(plane(0, 0), plane(1, 0), plane(2, 0));
    }
    x = x.normal();
    AcGeMatrix3d axes;
    axes.setCoordSystem(m_data.location, x, normal.crossProduct(x), normal);
    return axes;
}

Acad::ErrorStatus AcDbMText::getGeomExtents(AcDbExtents& extents) const {
    const std::vector<Line> lines = qvLayout([](std::wstring_view text) {
        return kCharacterWidth * static_cast<double>(text.size());
    });
    const AcGeMatrix3d axes = qvTextAxes();
    AcDbExtents box;
    for (const Line& line : lines) {
        for (const double dx : {0.0, line.width}) {
            for (const double dy : {0.0, m_data.height}) {
                box.addPoint(axes * AcGePoint3d(line.x + dx, line.y + dy, 0.0));
            }
        }
    }
    if (box.qvIsEmpty()) {
        return Acad::eInvalidExtents;
    }
    extents = box;
    return Acad::eOk;
}
