#include "host/plot/Painter.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbMText.h"
#include "host/db/AcDbSortentsTable.h"
#include "host/db/AcDbText.h"
#include "host/db/AcDbViewport.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/plot/Flatten.h"
#include "host/plot/HatchPainting.h"
#include "host/plot/TextPainting.h"
#include "win32/CodePage.h"

namespace qv::host::plot {

namespace {

constexpr int kDefaultWeight = 25;
const Rgb kBlack{0.0, 0.0, 0.0};

Rgb fromPacked(Adesk::UInt32 rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

void tracePolyline(Canvas& canvas, const std::vector<Point2>& points, const Affine& map,
                   bool closed) {
    if (points.empty()) {
        return;
    }
    canvas.moveTo(map.apply(points.front().x, points.front().y));
    for (size_t i = 1; i < points.size(); ++i) {
        canvas.lineTo(map.apply(points[i].x, points[i].y));
    }
    if (closed) {
        canvas.closePath();
    }
}

}  // namespace

Painter::Painter(Canvas& canvas, PainterOptions options) : m_canvas(canvas), m_options(options) {}

const Painter::Layer& Painter::layer(AcDbObjectId id) {
    auto found = m_layers.find(id);
    if (found != m_layers.end()) {
        return found->second;
    }
    Layer info;
    if (const auto* record = ObjectAccess::peekAs<AcDbLayerTableRecord>(id)) {
        // Hosts never plot the layer of dimensions' definition points.
        info.visible = !record->isOff() && !record->isFrozen() && record->isPlottable() &&
                       !record->isErased() && !sameName(record->qvName(), L"Defpoints");
        const AcCmColor colour = record->color();
        info.colour = colourOf(colour, kBlack, kBlack);
        const AcDb::LineWeight weight = record->lineWeight();
        info.weight = weight >= 0 ? static_cast<int>(weight) : kDefaultWeight;
        info.name = wideToUtf8(std::wstring(record->qvName()));
    }
    return m_layers.emplace(id, info).first->second;
}

AcDbObjectId Painter::effectiveLayer(const AcDbEntity& entity, const Context& context) {
    const AcDbObjectId own = entity.layerId();
    if (context.insertLayer.isNull()) {
        return own;
    }
    const auto* record = ObjectAccess::peekAs<AcDbLayerTableRecord>(own);
    return record != nullptr && record->qvName() == L"0" ? context.insertLayer : own;
}

bool Painter::showsView(const AcDbEntity& entity) {
    return !entity.isErased() && entity.visibility() != AcDb::kInvisible;
}

bool Painter::shows(const AcDbEntity& entity, const Context& context, AcDbObjectId& layerId) {
    if (!showsView(entity)) {
        return false;
    }
    layerId = effectiveLayer(entity, context);
    if (!layer(layerId).visible || !layer(entity.layerId()).visible) {
        return false;
    }
    if (context.frozen != nullptr) {
        for (const AcDbObjectId& frozen : *context.frozen) {
            if (frozen == layerId || frozen == entity.layerId()) {
                return false;
            }
        }
    }
    return true;
}

bool Painter::plotsAtTop(const AcDbEntity& entity) {
    AcDbObjectId layerId;
    return shows(entity, Context{}, layerId) ||
           (AcDbViewport::cast(&entity) != nullptr && showsView(entity));
}

Rgb Painter::colourOf(const AcCmColor& colour, const Rgb& layerColour,
                      const Rgb& blockColour) const {
    switch (colour.colorMethod()) {
        case AcCmEntityColor::kByLayer:
            return layerColour;
        case AcCmEntityColor::kByBlock:
            return blockColour;
        case AcCmEntityColor::kByColor:
            return {colour.red() / 255.0, colour.green() / 255.0, colour.blue() / 255.0};
        case AcCmEntityColor::kByACI:
        case AcCmEntityColor::kByPen: {
            const Adesk::UInt16 index = colour.colorIndex();
            if (index == 7 || index == 0 || index > 255) {
                return kBlack;
            }
            return fromPacked(AcCmEntityColor::lookUpRGB(static_cast<Adesk::UInt8>(index)));
        }
        case AcCmEntityColor::kForeground:
        case AcCmEntityColor::kLayerOff:
        case AcCmEntityColor::kLayerFrozen:
        case AcCmEntityColor::kNone:
            return kBlack;
    }
    return kBlack;
}

int Painter::weightOf(AcDb::LineWeight weight, int layerWeight, int blockWeight) const {
    switch (weight) {
        case AcDb::kLnWtByLayer:
            return layerWeight;
        case AcDb::kLnWtByBlock:
            return blockWeight;
        case AcDb::kLnWtByLwDefault:
            return kDefaultWeight;
        default:
            return static_cast<int>(weight);
    }
}

Painter::Style Painter::styleOf(const AcDbEntity& entity, const Context& context,
                                AcDbObjectId layerId) {
    const Layer& info = layer(layerId);
    Style style;
    style.colour = colourOf(entity.color(), info.colour, context.blockColour);
    const int weight = weightOf(entity.lineWeight(), info.weight, context.blockWeight);
    style.width = m_options.thinnest;
    if (m_options.printLineweights && weight > 0) {
        style.width = std::max(m_options.thinnest, weight / 100.0 * m_options.devicePerMm);
    }
    return style;
}

void Painter::drawBlock(AcDbObjectId block, const Affine& toDevice,
                        const std::vector<AcDbObjectId>* viewportFrozen) {
    ++s_blocksDrawn;
    if (m_database == nullptr) {
        m_database = block.database();
    }
    Context context;
    context.toDevice = toDevice;
    context.blockColour = kBlack;
    context.blockWeight = kDefaultWeight;
    context.frozen = viewportFrozen;
    drawEntities(block, context);
}

void Painter::drawEntities(AcDbObjectId block, const Context& context) {
    const AcDbObjectIdArray order = drawOrder(block);
    for (int i = 0; i < order.length(); ++i) {
        if (const auto* entity = ObjectAccess::peekAs<AcDbEntity>(order[i])) {
            drawEntity(*entity, context);
        }
    }
}

void Painter::drawEntity(const AcDbEntity& entity, const Context& context) {
    AcDbObjectId layerId;
    if (const auto* viewport = AcDbViewport::cast(&entity)) {
        // A viewport on a layer that does not plot keeps its frame off the sheet, not its view.
        if (!m_options.textsOnly && context.depth == 0 && context.frozen == nullptr &&
            showsView(*viewport)) {
            const bool framed = shows(entity, context, layerId);
            m_canvas.setLayer(layer(layerId).name);
            drawViewport(*viewport, context,
                         framed ? std::optional(styleOf(entity, context, layerId)) : std::nullopt);
        }
        return;
    }
    if (!shows(entity, context, layerId)) {
        return;
    }
    if (m_options.textsOnly && AcDbBlockReference::cast(&entity) == nullptr &&
        AcDbText::cast(&entity) == nullptr && AcDbMText::cast(&entity) == nullptr) {
        return;
    }
    const Style style = styleOf(entity, context, layerId);
    m_canvas.setLayer(layer(layerId).name);
    if (const auto* reference = AcDbBlockReference::cast(&entity)) {
        drawReference(*reference, context, layerId, style);
    } else if (const auto* hatch = AcDbHatch::cast(&entity)) {
        drawHatch(*hatch, context, style);
    } else if (const auto* definition = AcDbAttributeDefinition::cast(&entity)) {
        // A block's attribute definitions show through the attributes of its references; a
        // constant one has no attribute and is drawn by every reference itself.
        if (context.depth == 0 || (definition->isConstant() && !definition->isInvisible())) {
            drawText(*AcDbText::cast(&entity), context, style);
        }
    } else if (const auto* text = AcDbText::cast(&entity)) {
        drawText(*text, context, style);
    } else if (const auto* line = AcDbLine::cast(&entity)) {
        drawLine(*line, context, style);
    } else if (const auto* curve = AcDbCurve::cast(&entity)) {
        drawCurve(*curve, context, style);
    } else {
        drawMark(entity, context, layerId, style);
    }
}

void Painter::drawReference(const AcDbBlockReference& reference, const Context& context,
                            AcDbObjectId layerId, const Style& style) {
    if (context.depth >= kMaxDepth) {
        return;
    }
    Context inner = context;
    inner.toDevice = context.toDevice.after(planAffine(reference.blockTransform()));
    inner.insertLayer = layerId;
    inner.blockColour = style.colour;
    inner.blockWeight = weightOf(reference.lineWeight(), layer(layerId).weight,
                                 context.blockWeight);
    inner.depth = context.depth + 1;
    drawEntities(reference.blockTableRecord(), inner);
    // The attributes stand in the reference's own space.
    Context attributes = context;
    attributes.insertLayer = layerId;
    attributes.blockColour = style.colour;
    attributes.blockWeight = inner.blockWeight;
    for (const AcDbObjectId& id : reference.qvAttributes()) {
        const auto* attribute = ObjectAccess::peekAs<AcDbAttribute>(id);
        if (attribute == nullptr || attribute->isInvisible()) {
            continue;
        }
        AcDbObjectId attributeLayer;
        if (shows(*attribute, attributes, attributeLayer)) {
            m_canvas.setLayer(layer(attributeLayer).name);
            drawText(*attribute, attributes, styleOf(*attribute, attributes, attributeLayer));
        }
    }
}

void Painter::drawLine(const AcDbLine& line, const Context& context, const Style& style) {
    const AcGePoint3d start = line.startPoint();
    const AcGePoint3d end = line.endPoint();
    m_canvas.moveTo(context.toDevice.apply(start.x, start.y));
    m_canvas.lineTo(context.toDevice.apply(end.x, end.y));
    m_canvas.stroke(style.colour, style.width);
}

void Painter::drawCurve(const AcDbCurve& curve, const Context& context, const Style& style) {
    const std::vector<BulgeSegment> segments = curve.qvSegments();
    if (segments.empty()) {
        return;
    }
    const Affine map = context.toDevice.after(planAffine(curve.qvPlane()));
    const double scale = averageScale(map);
    const auto* polyline = AcDbPolyline::cast(&curve);
    bool wide = false;
    if (polyline != nullptr) {
        for (unsigned int i = 0; i < polyline->numVerts() && !wide; ++i) {
            double startWidth = 0.0, endWidth = 0.0;
            polyline->getWidthsAt(i, startWidth, endWidth);
            wide = startWidth > 0.0 || endWidth > 0.0;
        }
    }
    if (!wide) {
        tracePolyline(m_canvas, flattenChain(segments, scale), map, curve.isClosed());
        m_canvas.stroke(style.colour, style.width);
        return;
    }
    // A wide polyline: each segment is a band, its width running from the start width of its
    // first vertex to the end width.
    for (size_t s = 0; s < segments.size(); ++s) {
        double startWidth = 0.0, endWidth = 0.0;
        polyline->getWidthsAt(static_cast<unsigned int>(s), startWidth, endWidth);
        const BulgeSegment& segment = segments[s];
        std::vector<Point2> path{{segment.start.x, segment.start.y}};
        appendSegment(segment, scale, path);
        if (startWidth <= 0.0 && endWidth <= 0.0) {
            tracePolyline(m_canvas, path, map, false);
            m_canvas.stroke(style.colour, style.width);
            continue;
        }
        std::vector<Point2> left, right;
        const AcGePoint2d centre = segment.center();
        for (size_t i = 0; i < path.size(); ++i) {
            const double t = path.size() > 1 ? static_cast<double>(i) / (path.size() - 1) : 0.0;
            const double half = (startWidth + (endWidth - startWidth) * t) / 2.0;
            double nx = 0.0, ny = 0.0;
            if (segment.isArc()) {
                nx = path[i].x - centre.x;
                ny = path[i].y - centre.y;
            } else {
                nx = -(segment.end.y - segment.start.y);
                ny = segment.end.x - segment.start.x;
            }
            const double length = std::hypot(nx, ny);
            if (length <= 0.0) {
                continue;
            }
            nx /= length;
            ny /= length;
            left.push_back({path[i].x + nx * half, path[i].y + ny * half});
            right.push_back({path[i].x - nx * half, path[i].y - ny * half});
        }
        if (left.size() < 2) {
            continue;
        }
        std::vector<Point2> band(left);
        band.insert(band.end(), right.rbegin(), right.rend());
        tracePolyline(m_canvas, band, map, true);
        m_canvas.fill(style.colour);
    }
}

void Painter::drawText(const AcDbText& text, const Context& context, const Style& style) {
    paintText(m_canvas, text, context.toDevice, style.colour);
}

void Painter::drawHatch(const AcDbHatch& hatch, const Context& context, const Style& style) {
    paintHatch(m_canvas, hatch, context.toDevice, style.colour, m_options.thinnest,
               m_options.denseSpacing);
}

void Painter::drawViewport(const AcDbViewport& viewport, const Context& context,
                           const std::optional<Style>& frameStyle) {
    // Number 1 is the sheet itself; an off viewport shows nothing.
    if (viewport.number() < 2 || viewport.viewHeight() <= 0.0 || m_database == nullptr) {
        return;
    }
    const AcGePoint3d centre = viewport.centerPoint();
    const double halfWidth = viewport.width() / 2.0;
    const double halfHeight = viewport.height() / 2.0;
    const std::vector<Point2> frame{{centre.x - halfWidth, centre.y - halfHeight},
                                    {centre.x + halfWidth, centre.y - halfHeight},
                                    {centre.x + halfWidth, centre.y + halfHeight},
                                    {centre.x - halfWidth, centre.y + halfHeight}};
    const double scale = viewport.customScale();
    const AcGePoint2d viewCentre = viewport.viewCenter();
    const Affine modelToSheet = Affine::translation(centre.x, centre.y)
                                    .after(Affine::scaling(scale, scale))
                                    .after(Affine::translation(-viewCentre.x, -viewCentre.y));
    tracePolyline(m_canvas, frame, context.toDevice, true);
    m_canvas.pushClip();
    Context model;
    model.toDevice = context.toDevice.after(modelToSheet);
    model.blockColour = kBlack;
    model.blockWeight = kDefaultWeight;
    model.frozen = &viewport.qvFrozenLayers();
    drawEntities(m_database->modelSpaceId(), model);
    m_canvas.popClip();
    if (frameStyle) {
        // (the view's entities have set their own layers since)
        m_canvas.setLayer(layer(viewport.layerId()).name);
        tracePolyline(m_canvas, frame, context.toDevice, true);
        m_canvas.stroke(frameStyle->colour, frameStyle->width);
    }
}

}  // namespace qv::host::plot
