// The painter's marks: the entities drawn from points the entity gives (multi-line texts,
// ellipses, splines, points, solids and traces, leaders, 3D faces and the polylines of the older
// kind), hatches with curved edges, and dimensions, drawn through their blocks.
#include <algorithm>
#include <array>

#include "host/db/AcDbDimension.h"
#include "host/db/AcDbEllipse.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbMText.h"
#include "host/db/AcDbPoint.h"
#include "host/db/AcDbSpline.h"
#include "host/db/MeshShapes.h"
#include "host/plot/Flatten.h"
#include "host/plot/HatchPainting.h"
#include "host/plot/Painter.h"
#include "host/plot/TextPainting.h"

namespace qv::host::plot {

namespace {

// Chords within a quarter of a device unit of the curve.
constexpr double kChordError = 0.25;

template <class Points>
void trace(Canvas& canvas, const Points& points, const Affine& map, bool closed) {
    bool first = true;
    for (const AcGePoint3d& p : points) {
        const DevicePoint d = map.apply(p.x, p.y);
        if (first) {
            canvas.moveTo(d);
            first = false;
        } else {
            canvas.lineTo(d);
        }
    }
    if (closed && !first) {
        canvas.closePath();
    }
}

double tolerance(const Affine& map) {
    const double scale = averageScale(map);
    return scale > 0.0 ? kChordError / scale : 0.0;
}

}  // namespace

void Painter::strokeChains(const std::vector<std::vector<AcGePoint3d>>& chains, const Affine& map,
                           const Style& style) {
    if (chains.empty()) {
        return;
    }
    for (const std::vector<AcGePoint3d>& chain : chains) {
        trace(m_canvas, chain, map, false);
    }
    m_canvas.stroke(style.colour, style.width);
}

bool Painter::drawMark(const AcDbEntity& entity, const Context& context, AcDbObjectId layerId,
                       const Style& style) {
    const Affine& map = context.toDevice;
    if (const auto* text = AcDbMText::cast(&entity)) {
        paintMText(m_canvas, *text, map, style.colour);
    } else if (const auto* ellipse = AcDbEllipse::cast(&entity)) {
        const std::vector<AcGePoint3d> points = ellipse->qvPoints(tolerance(map));
        if (points.size() >= 2) {
            trace(m_canvas, points, map, ellipse->qvIsFull());
            m_canvas.stroke(style.colour, style.width);
        }
    } else if (const auto* spline = AcDbSpline::cast(&entity)) {
        const std::vector<AcGePoint3d> points = spline->qvPoints(tolerance(map));
        if (points.size() >= 2) {
            trace(m_canvas, points, map, false);
            m_canvas.stroke(style.colour, style.width);
        }
    } else if (const auto* point = AcDbPoint::cast(&entity)) {
        // A dot as wide as the pen, and never thinner than two of the thinnest lines.
        const double radius = std::max(style.width, 2.0 * m_options.thinnest) / 2.0;
        const AcGePoint3d at = point->position();
        const DevicePoint centre = map.apply(at.x, at.y);
        m_canvas.moveTo({centre.x - radius, centre.y - radius});
        m_canvas.lineTo({centre.x + radius, centre.y - radius});
        m_canvas.lineTo({centre.x + radius, centre.y + radius});
        m_canvas.lineTo({centre.x - radius, centre.y + radius});
        m_canvas.closePath();
        m_canvas.fill(style.colour);
    } else if (const auto* solid = AcDbSolid::cast(&entity)) {
        const std::array<AcGePoint3d, 4> outline = solid->qvOutline();
        trace(m_canvas, outline, map, true);
        m_canvas.fill(style.colour);
        // Its edges too, so that a solid thinner than a pen still shows.
        trace(m_canvas, outline, map, true);
        m_canvas.stroke(style.colour, m_options.thinnest);
    } else if (const auto* leader = AcDbLeader::cast(&entity)) {
        std::vector<AcGePoint3d> vertices;
        for (int i = 0; i < leader->numVertices(); ++i) {
            vertices.push_back(leader->vertexAt(i));
        }
        if (vertices.size() >= 2) {
            trace(m_canvas, vertices, map, false);
            m_canvas.stroke(style.colour, style.width);
        }
        const std::vector<AcGePoint3d> arrow = leader->qvArrowHead();
        if (!arrow.empty()) {
            trace(m_canvas, arrow, map, true);
            m_canvas.fill(style.colour);
        }
    } else if (const auto* face = AcDbFace::cast(&entity)) {
        strokeChains(face->qvChains(), map, style);
    } else if (const auto* polyline = qv::host::HeavyPolyline::cast(&entity)) {
        if (const AcDbPolyline* flat = polyline->qvFlat()) {
            drawCurve(*flat, context, style);
        } else {
            strokeChains(polyline->qvChains(), map, style);
        }
    } else if (const auto* hatch = qv::host::CurvedHatch::cast(&entity)) {
        paintHatch(m_canvas, hatch->qvHatch(), map, style.colour, m_options.thinnest,
                   m_options.denseSpacing);
    } else if (const auto* dimension = AcDbDimension::cast(&entity)) {
        if (context.depth >= kMaxDepth || context.inDimension) {
            return true;
        }
        // Its block's entities stand where they are; the dimension hands its layer, colour and
        // line weight down as a block reference does.
        Context inner = context;
        inner.insertLayer = layerId;
        inner.blockColour = style.colour;
        inner.blockWeight = weightOf(entity.lineWeight(), layer(layerId).weight,
                                     context.blockWeight);
        inner.depth = context.depth + 1;
        inner.inDimension = true;
        const AcDbObjectId block = dimension->dimBlockId();
        if (!block.isNull()) {
            drawEntities(block, inner);
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace qv::host::plot
