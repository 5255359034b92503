#include "host/db/AcDbMText.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <iterator>
#include <unordered_map>

QV_RX_DEFINE_MEMBERS(AcDbMText, AcDbEntity, L"MTEXT")

namespace {

// Lines follow each other this many heights apart (at a line spacing factor of 1).
constexpr double kLineAdvance = 5.0 / 3.0;
// The width of a character in heights, where no font measures it.
constexpr double kCharacterWidth = 0.6;
// The gutter between columns in heights, where the text does not set its columns.
constexpr double kDefaultGutter = 1.25;
// Words up to this long have their widths remembered.
constexpr size_t kRememberedWord = 64;

bool isHex(wchar_t c) {
    return std::iswxdigit(static_cast<wint_t>(c)) != 0;
}

bool isBlank(wchar_t c) {
    return c == L' ';
}

// A paragraph as the contents give it: its characters, the height each part is set at.
struct Paragraph {
    std::wstring text;
    // Where each part of one height begins in the text, and that height; the first at 0.
    std::vector<std::pair<size_t, double>> heights;
    bool newColumn = false;  // a column break comes before it

    // The height at a position of the text.
    double heightAt(size_t at) const {
        auto next = std::upper_bound(heights.begin(), heights.end(), at,
                                     [](size_t a, const auto& part) { return a < part.first; });
        return std::prev(next)->second;
    }
    // The end of the part of one height that holds the position.
    size_t partEnd(size_t at) const {
        auto next = std::upper_bound(heights.begin(), heights.end(), at,
                                     [](size_t a, const auto& part) { return a < part.first; });
        return next == heights.end() ? text.size() : next->first;
    }
};

// Reads the contents and hands out paragraphs: formatting codes removed, escapes resolved,
// heights followed.
class PlainText {
  public:
    PlainText(std::wstring_view contents, double height) : m_in(contents), m_height(height) {
        m_paragraph.heights.emplace_back(0, height);
    }

    std::vector<Paragraph> paragraphs() {
        for (m_at = 0; m_at < m_in.size();) {
            step();
        }
        m_out.push_back(std::move(m_paragraph));
        return std::move(m_out);
    }

  private:
    void breakLine(bool newColumn = false) {
        m_out.push_back(std::move(m_paragraph));
        m_paragraph = Paragraph();
        m_paragraph.heights.emplace_back(0, m_height);
        m_paragraph.newColumn = newColumn;
    }

    void put(wchar_t c) {
        m_paragraph.text += c;
    }

    void setHeight(double height) {
        m_height = height;
        auto& heights = m_paragraph.heights;
        if (heights.back().first == m_paragraph.text.size()) {
            heights.back().second = height;
        } else if (heights.back().second != height) {
            heights.emplace_back(m_paragraph.text.size(), height);
        }
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

    // \H: a height, or a factor of the height in force ("2x"); anything else changes nothing.
    void height(std::wstring_view value) {
        bool relative = false;
        if (!value.empty() && (value.back() == L'x' || value.back() == L'X')) {
            relative = true;
            value.remove_suffix(1);
        }
        const std::wstring text(value);
        wchar_t* end = nullptr;
        const double number = std::wcstod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size()) {
            return;
        }
        const double result = relative ? m_height * number : number;
        if (std::isfinite(result) && result > 0.0) {
            setHeight(result);
        }
    }

    void stacked(std::wstring_view value) {
        for (size_t i = 0; i < value.size(); ++i) {
            const wchar_t c = value[i];
            if (c == L'\\' && i + 1 < value.size()) {
                put(value[++i]);
            } else if (c == L'^' || c == L'#' || c == L'/') {
                put(L'/');
            } else {
                put(c);
            }
        }
    }

    void escape() {
        if (m_at >= m_in.size()) {
            put(L'\\');
            return;
        }
        const wchar_t code = m_in[m_at++];
        switch (code) {
            case L'N':
                breakLine(true);
                return;
            case L'P':
            case L'X':
                breakLine();
                return;
            case L'~':
                put(L'\u00A0');
                return;
            case L'\\':
            case L'{':
            case L'}':
                put(code);
                return;
            case L'L': case L'l': case L'O': case L'o': case L'K': case L'k':
                return;
            case L'H':
                height(argument());
                return;
            case L'A': case L'C': case L'c': case L'F': case L'f': case L'h':
            case L'Q': case L'q': case L'T': case L't': case L'W': case L'w': case L'p':
                argument();
                return;
            case L'S':
                stacked(argument());
                return;
            case L'U':
                if (m_at + 5 <= m_in.size() && m_in[m_at] == L'+' &&
                    std::all_of(m_in.begin() + m_at + 1, m_in.begin() + m_at + 5, isHex)) {
                    put(static_cast<wchar_t>(
                        std::wcstol(std::wstring(m_in.substr(m_at + 1, 4)).c_str(), nullptr, 16)));
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
        put(code);
    }

    void step() {
        const wchar_t c = m_in[m_at++];
        switch (c) {
            case L'\\':
                escape();
                return;
            case L'{':
                m_saved.push_back(m_height);
                return;
            case L'}':
                if (!m_saved.empty()) {
                    setHeight(m_saved.back());
                    m_saved.pop_back();
                }
                return;
            case L'\n':
                breakLine();
                return;
            case L'\r':
                return;
            case L'\t':
                put(L' ');
                return;
            case L'^':
                // The caret form of control characters: ^J a line feed, ^I a tab, "^ " a caret.
                if (m_at < m_in.size()) {
                    const wchar_t next = m_in[m_at++];
                    if (next == L'J') {
                        breakLine();
                    } else if (next == L'I') {
                        put(L' ');
                    } else if (next == L' ') {
                        put(L'^');
                    } else if (next != L'M') {
                        put(L'^');
                        put(next);
                    }
                    return;
                }
                break;
            default:
                break;
        }
        put(c);
    }

    std::wstring_view m_in;
    size_t m_at = 0;
    double m_height;
    std::vector<double> m_saved;  // the heights in force where the open braces began
    Paragraph m_paragraph;
    std::vector<Paragraph> m_out;
};

// The widths of texts one unit high, short ones remembered: a word comes back again and again.
class UnitWidths {
  public:
    explicit UnitWidths(const AcDbMText::Measure& measure) : m_measure(measure) {}

    double operator()(std::wstring_view text) {
        if (text.size() > kRememberedWord) {
            return m_measure(text);
        }
        m_key.assign(text);
        auto found = m_known.find(m_key);
        if (found == m_known.end()) {
            found = m_known.emplace(m_key, m_measure(text)).first;
        }
        return found->second;
    }

  private:
    const AcDbMText::Measure& m_measure;
    std::unordered_map<std::wstring, double> m_known;
    std::wstring m_key;
};

// Lays a paragraph out in lines: measures its parts and cuts it at blanks.
class Wrapper {
  public:
    Wrapper(const Paragraph& paragraph, UnitWidths& widths)
        : m_paragraph(paragraph), m_widths(widths) {}

    // The width of text [from, to), part by part of one height.
    double width(size_t from, size_t to) {
        double sum = 0.0;
        while (from < to) {
            const size_t end = std::min(to, m_paragraph.partEnd(from));
            sum += m_widths(std::wstring_view(m_paragraph.text).substr(from, end - from)) *
                   m_paragraph.heightAt(from);
            from = end;
        }
        return sum;
    }

    // The lines within `limit` (0: no limit), each with its runs, width and height.
    void wrap(double limit, std::vector<AcDbMText::Line>& lines) {
        const std::wstring& text = m_paragraph.text;
        if (!(limit > 0.0)) {
            lines.push_back(line(0, text.size()));
            return;
        }
        size_t start = 0, end = 0;  // the line so far, its trailing blanks left out
        double lineWidth = 0.0;
        bool empty = true;
        for (size_t at = 0; at < text.size();) {
            // The next word with the blanks before it.
            size_t wordStart = at;
            while (wordStart < text.size() && isBlank(text[wordStart])) {
                ++wordStart;
            }
            size_t wordEnd = wordStart;
            while (wordEnd < text.size() && !isBlank(text[wordEnd])) {
                ++wordEnd;
            }
            if (wordStart == wordEnd) {
                break;  // blanks at the end of the paragraph
            }
            const double blanks = width(at, wordStart);
            const double word = width(wordStart, wordEnd);
            if (!empty && lineWidth + blanks + word > limit) {
                lines.push_back(line(start, end));
                start = wordStart;
                lineWidth = word;
            } else {
                lineWidth += blanks + word;
            }
            empty = false;
            end = wordEnd;
            at = wordEnd;
        }
        if (empty) {
            lines.push_back(line(0, text.size()));
        } else {
            lines.push_back(line(start, end));
        }
    }

  private:
    // The line of text [from, to): one run per height.
    AcDbMText::Line line(size_t from, size_t to) {
        AcDbMText::Line out;
        out.text = m_paragraph.text.substr(from, to - from);
        out.height = m_paragraph.heightAt(from);
        while (from < to) {
            const size_t end = std::min(to, m_paragraph.partEnd(from));
            AcDbMText::Run run;
            run.text = m_paragraph.text.substr(from, end - from);
            run.x = out.width;
            run.height = m_paragraph.heightAt(from);
            out.width += width(from, end);
            out.height = std::max(out.height, run.height);
            out.runs.push_back(std::move(run));
            from = end;
        }
        return out;
    }

    const Paragraph& m_paragraph;
    UnitWidths& m_widths;
};

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
    data.columns.width = nonNegative(data.columns.width);
    data.columns.gutter = nonNegative(data.columns.gutter);
    for (double& height : data.columns.heights) {
        height = nonNegative(height);
    }
    m_data = std::move(data);
}

std::vector<std::wstring> AcDbMText::qvParagraphs() const {
    std::vector<std::wstring> out;
    for (Paragraph& paragraph : PlainText(m_data.contents, m_data.height).paragraphs()) {
        out.push_back(std::move(paragraph.text));
    }
    return out;
}

std::vector<AcDbMText::Line> AcDbMText::qvLayout(const Measure& measure) const {
    const Columns& settings = m_data.columns;
    const double limit = settings.width > 0.0 ? settings.width : m_data.width;
    const double advance = kLineAdvance * m_data.lineSpacing;
    struct Column {
        std::vector<Line> lines;
        double next = 0.0;   // from its top down to the top of the next line
        double depth = 0.0;  // from its top down to its last baseline
        double width = 0.0;
    };
    auto heightLimit = [&](size_t column) {
        const std::vector<double>& heights = settings.heights;
        return heights.empty() ? 0.0 : heights[std::min(column, heights.size() - 1)];
    };
    std::vector<Column> columns(1);
    UnitWidths widths(measure);
    std::vector<Line> lines;
    for (const Paragraph& paragraph : PlainText(m_data.contents, m_data.height).paragraphs()) {
        if (paragraph.newColumn) {
            columns.emplace_back();
        }
        lines.clear();
        Wrapper(paragraph, widths).wrap(limit, lines);
        for (Line& line : lines) {
            // A column as full as its height allows passes the line on.
            const double most = heightLimit(columns.size() - 1);
            if (most > 0.0 && !columns.back().lines.empty() &&
                columns.back().next + line.height > most * (1.0 + 1e-9)) {
                columns.emplace_back();
            }
            Column& column = columns.back();
            column.depth = column.next + line.height;
            column.next += advance * line.height;
            line.y = -column.depth;
            column.width = std::max(column.width, line.width);
            column.lines.push_back(std::move(line));
        }
    }
    const double gutter = settings.given ? settings.gutter : kDefaultGutter * m_data.height;
    double total = 0.0, deepest = 0.0;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (limit > 0.0) {
            columns[i].width = limit;
        }
        total += columns[i].width + (i > 0 ? gutter : 0.0);
        deepest = std::max(deepest, columns[i].depth);
    }
    const int horizontal = (m_data.attachment - 1) % 3;
    const int vertical = (m_data.attachment - 1) / 3;
    double left = horizontal == 0 ? 0.0 : horizontal == 1 ? -total / 2.0 : -total;
    const double top = vertical == 0 ? 0.0 : vertical == 1 ? deepest / 2.0 : deepest;
    std::vector<Line> out;
    for (Column& column : columns) {
        for (Line& line : column.lines) {
            const double room = column.width - line.width;
            line.x = left + (horizontal == 0 ? 0.0 : horizontal == 1 ? room / 2.0 : room);
            line.y += top;
            out.push_back(std::move(line));
        }
        left += column.width + gutter;
    }
    return out;
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
            for (const double dy : {0.0, line.height}) {
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
