// Draws the entities of a block on a canvas: lines, polylines (bulges and widths), circles,
// arcs, ellipses, splines, points, solids and traces, 3D faces, 3D polylines and meshes (their
// edges seen from above) and 2D polylines of the older kind, texts and attributes (DejaVu Sans,
// alignment points honoured), multi-line texts (TextPainting.h), block references with their
// nested blocks, dimensions (their blocks) and leaders, solid and patterned hatches (the host's
// predefined patterns; loops with elliptic and spline edges too), and the model space seen
// through a paper layout's viewports.
//
// What is left out: erased and invisible entities, entities on layers that are off, frozen, not
// plottable or frozen in the viewport being drawn, and on the layer "Defpoints" (dimensions'
// definition points, never plotted); attribute definitions inside blocks. A viewport on such a
// layer still shows the model through it: the layer hides its frame only (drawings put their
// viewports on a layer that does not plot to keep the frames off the sheet).
// Entities on layer "0" inside a block take the reference's layer for their colour, line weight
// and visibility; "by block" colours and line weights take the reference's. Colour index 7 and
// the foreground plot black on the white sheet.
//
// Each entity is drawn on the canvas layer of the layer it counts as on (the reference's for one
// on "0" inside a block).
//
// Line weights are in millimetres on the sheet; "default" is 0.25 mm. Without printed line
// weights, and for weight 0, lines are the thinnest the device shows (0.1 mm, or one pixel).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../db/AcDbDatabase.h"
#include "../db/AcDbEntity.h"
#include "Canvas.h"

class AcDbBlockReference;
class AcDbCurve;
class AcDbHatch;
class AcDbLine;
class AcDbText;
class AcDbViewport;

namespace qv::host::plot {

struct PainterOptions {
    double devicePerMm = 1.0;
    double thinnest = 1.0;  // device units
    // Hatch lines closer than this (device units) show as a tint (HatchPainting.h).
    double denseSpacing = 1.0;
    bool printLineweights = true;
    // Draws only texts and multi-line texts (those of references included): for measuring
    // what texts cover.
    bool textsOnly = false;
};

class Painter {
  public:
    Painter(Canvas& canvas, PainterOptions options);

    // Draws the entities of a block (in its draw order) through `toDevice`. `viewportFrozen`
    // lists the layers frozen in the viewport being drawn, if any.
    void drawBlock(AcDbObjectId block, const Affine& toDevice,
                   const std::vector<AcDbObjectId>* viewportFrozen = nullptr);

    // True when the entity is plotted at the top of a layout (its layer shows and plots; for a
    // viewport, whatever its layer).
    bool plotsAtTop(const AcDbEntity& entity);

    // How many blocks every painter has been asked to draw (drawBlock) since the program
    // started: what a check that a plot paints its layout once counts.
    static unsigned long long qvBlocksDrawn() { return s_blocksDrawn; }

  private:
    struct Layer {
        bool visible = true;
        Rgb colour;
        int weight = 25;  // hundredths of a millimetre
        std::string name;  // UTF-8
    };
    // What a block reference hands down to the entities of its block.
    struct Context {
        Affine toDevice;
        AcDbObjectId insertLayer;  // null at the top of a layout
        Rgb blockColour;
        int blockWeight = 25;
        const std::vector<AcDbObjectId>* frozen = nullptr;
        int depth = 0;
        bool inDimension = false;  // drawing a dimension's block (or what it refers to)
    };
    struct Style {
        Rgb colour;
        double width = 1.0;  // device units
    };

    // Block references nested deeper than this are not drawn (a block that holds itself).
    static constexpr int kMaxDepth = 64;

    const Layer& layer(AcDbObjectId id);
    // The layer an entity counts as on (the reference's for one on "0" inside a block).
    AcDbObjectId effectiveLayer(const AcDbEntity& entity, const Context& context);
    // Whether the entity itself is drawn (not erased, not invisible), whatever its layer.
    static bool showsView(const AcDbEntity& entity);
    bool shows(const AcDbEntity& entity, const Context& context, AcDbObjectId& layerId);
    Style styleOf(const AcDbEntity& entity, const Context& context, AcDbObjectId layerId);
    Rgb colourOf(const AcCmColor& colour, const Rgb& layerColour, const Rgb& blockColour) const;
    int weightOf(AcDb::LineWeight weight, int layerWeight, int blockWeight) const;

    void drawEntities(AcDbObjectId block, const Context& context);
    void drawEntity(const AcDbEntity& entity, const Context& context);
    void drawReference(const AcDbBlockReference& reference, const Context& context,
                       AcDbObjectId layerId, const Style& style);
    void drawLine(const AcDbLine& line, const Context& context, const Style& style);
    void drawCurve(const AcDbCurve& curve, const Context& context, const Style& style);
    void drawText(const AcDbText& text, const Context& context, const Style& style);
    void drawHatch(const AcDbHatch& hatch, const Context& context, const Style& style);
    // The model seen through the viewport, and its frame in `frameStyle` if given.
    void drawViewport(const AcDbViewport& viewport, const Context& context,
                      const std::optional<Style>& frameStyle);
    // Multi-line texts, ellipses, splines, points, solids and traces, 3D faces, polylines of
    // the older kind (3D, meshes, 2D), hatches with elliptic or spline edges, dimensions and
    // leaders (MarkPainting.cpp); false for an entity of another kind.
    bool drawMark(const AcDbEntity& entity, const Context& context, AcDbObjectId layerId,
                  const Style& style);
    // Strokes chains of points of the world as seen from above, in one path.
    void strokeChains(const std::vector<std::vector<AcGePoint3d>>& chains, const Affine& map,
                      const Style& style);

    static inline unsigned long long s_blocksDrawn = 0;

    Canvas& m_canvas;
    PainterOptions m_options;
    std::map<AcDbObjectId, Layer> m_layers;
    AcDbDatabase* m_database = nullptr;
};

}  // namespace qv::host::plot
