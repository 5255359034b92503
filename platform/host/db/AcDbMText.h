// Multi-line texts: paragraphs of text in a box whose corner, side or centre (the attachment
// point) stands at the location. The text runs along its direction in the plane of its normal;
// a box with a width wraps its paragraphs at blanks to stay within it (a word longer than the
// width keeps a line of its own). The top of a line lies 5/3 of the height of the line before it
// (its tallest capitals) below that line's top, times the line spacing factor; each line is
// placed left, centred or right within its column as the attachment point says.
//
// Columns stand side by side, the gutter between them: a column break (\N) starts the next one,
// and a column whose height is set passes the lines beyond it on to the next. A text without
// column settings has columns as wide as its box (or, without one, as its widest line), a
// gutter of 1.25 heights between them and no height.
//
// The contents hold the inline formatting codes of the drawing format: \P ends a paragraph (so
// do \X and a line feed), \~ is a non-breaking blank, \\ \{ \} are the characters
// themselves, \U+hhhh a character by its code, \S...; a stacked fraction (shown as "a/b");
// \H...; sets the height of what follows (a value ending in "x" multiplies it) up to the end of
// the braces around it. The codes of fonts, colours, widths, slants, tracking and alignment
// (\F...; \C...; \W...; \Q...; \T...; \A...; \p...;), of underlining and the like
// (\L \l \O \o \K \k) and the braces that group them are not shown.
//
// The entity is read from drawings and drawn; what it holds is set as a whole (qvSetData).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "AcDbEntity.h"

class AcDbMText : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbMText)
  public:
    enum AttachmentPoint {
        kTopLeft = 1, kTopCenter, kTopRight,
        kMiddleLeft, kMiddleCenter, kMiddleRight,
        kBottomLeft, kBottomCenter, kBottomRight,
    };
    // How the text's columns are set.
    struct Columns {
        bool given = false;   // by the drawing; otherwise the defaults above
        double width = 0.0;   // of each column; 0: the box's width (or the widest line)
        double gutter = 0.0;  // between two columns
        // The most each column holds, from its top to its last baseline; the last value holds
        // for every column after it; none or 0: no limit.
        std::vector<double> heights;
    };
    struct Data {
        AcGePoint3d location;
        AcGeVector3d direction = AcGeVector3d::kXAxis;  // of the text's x axis
        AcGeVector3d normal = AcGeVector3d::kZAxis;
        double height = 0.0;       // of capitals
        double width = 0.0;        // of the box; 0: paragraphs are not wrapped
        double lineSpacing = 1.0;  // factor
        AttachmentPoint attachment = kTopLeft;
        std::wstring contents;     // with its formatting codes
        Columns columns;
    };
    // A part of a line set at one height: its text and where it starts after the line's start.
    struct Run {
        std::wstring text;
        double x = 0.0;
        double height = 0.0;  // of capitals
    };
    // One line as laid out: its text (no codes) and where its baseline starts, in the text's
    // own axes (drawing units, from the location, y upwards); its runs, one per height.
    struct Line {
        std::wstring text;
        double x = 0.0, y = 0.0;
        double width = 0.0;
        double height = 0.0;  // of its tallest capitals
        std::vector<Run> runs;
    };
    // The width of a text one unit high (its capitals one unit high).
    using Measure = std::function<double(std::wstring_view)>;

    AcDbMText() = default;
    QV_RX_CLONE(AcDbMText)

    AcGePoint3d location() const { return m_data.location; }
    double textHeight() const { return m_data.height; }
    double width() const { return m_data.width; }
    AttachmentPoint attachment() const { return m_data.attachment; }
    const std::wstring& contents() const { return m_data.contents; }

    const Data& qvData() const { return m_data; }
    // A height or width not above 0 becomes 0 (so do such column widths, gutters and heights),
    // a direction or normal of zero length the x or z axis, a line spacing not above 0 becomes 1.
    void qvSetData(Data data);

    // The paragraphs and line breaks of the contents, formatting codes removed.
    std::vector<std::wstring> qvParagraphs() const;
    // The lines, wrapped and placed with `measure`, column after column. Each distinct word is
    // measured once.
    std::vector<Line> qvLayout(const Measure& measure) const;
    // From the text's own axes (x along the direction, y across, in its plane) to the world.
    AcGeMatrix3d qvTextAxes() const;

    // The box of the lines, each character taken as 0.6 heights wide (the host has no fonts).
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    Data m_data;
};

