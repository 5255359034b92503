#include "host/db/MeshShapes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

QV_RX_DEFINE_MEMBERS(AcDbFace, AcDbEntity, L"3DFACE")

namespace qv::host {
QV_RX_DEFINE_MEMBERS(HeavyPolyline, AcDbEntity, L"POLYLINE")
}  // namespace qv::host

namespace {

using Chain = std::vector<AcGePoint3d>;

bool finitePoint(const AcGePoint3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

Acad::ErrorStatus chainExtents(const std::vector<Chain>& chains, AcDbExtents& extents) {
    AcDbExtents box;
    for (const Chain& chain : chains) {
        for (const AcGePoint3d& p : chain) {
            box.addPoint(p);
        }
    }
    if (box.qvIsEmpty()) {
        return Acad::eInvalidExtents;
    }
    extents = box;
    return Acad::eOk;
}

// Adds the chain when it has a piece to draw: two points or more, every one finite.
void addChain(std::vector<Chain>& chains, Chain chain) {
    if (chain.size() >= 2 && std::all_of(chain.begin(), chain.end(), finitePoint)) {
        chains.push_back(std::move(chain));
    }
}

using Vertex = qv::host::HeavyPolyline::Vertex;
using Data = qv::host::HeavyPolyline::Data;
using P = qv::host::HeavyPolyline;

// The vertices a polyline's line runs through: all but a spline's frame, unless that is all.
std::vector<const Vertex*> lineVertices(const Data& data) {
    std::vector<const Vertex*> out;
    for (const Vertex& v : data.vertices) {
        if ((v.flags & P::kFrameVertex) == 0) {
            out.push_back(&v);
        }
    }
    if (out.empty()) {
        for (const Vertex& v : data.vertices) {
            out.push_back(&v);
        }
    }
    return out;
}

void meshChains(const Data& data, std::vector<Chain>& chains) {
    std::vector<const Vertex*> surface, control;
    for (const Vertex& v : data.vertices) {
        ((v.flags & P::kSplineVertex) != 0 ? surface : control).push_back(&v);
    }
    int rows = data.meshM, columns = data.meshN;
    const std::vector<const Vertex*>* grid = &control;
    if (data.smoothM > 0 && data.smoothN > 0 &&
        surface.size() == static_cast<size_t>(data.smoothM) * static_cast<size_t>(data.smoothN)) {
        grid = &surface;
        rows = data.smoothM;
        columns = data.smoothN;
    }
    if (rows <= 0 || columns <= 0) {
        return;
    }
    // (as many whole rows as there are vertices for)
    rows = static_cast<int>(std::min<size_t>(static_cast<size_t>(rows),
                                             grid->size() / static_cast<size_t>(columns)));
    // The `count` vertices from the one at `first` on, `step` apart in the list; closed (back
    // to the first) when told and there are more than two.
    const auto line = [&](size_t first, size_t step, int count, bool closed) {
        Chain chain;
        for (int i = 0; i < count; ++i) {
            chain.push_back((*grid)[first + step * static_cast<size_t>(i)]->point);
        }
        if (closed && count > 2) {
            chain.push_back(chain.front());
        }
        addChain(chains, std::move(chain));
    };
    const size_t across = static_cast<size_t>(columns);
    for (int r = 0; r < rows; ++r) {
        line(static_cast<size_t>(r) * across, 1, columns, (data.flags & P::kClosedInN) != 0);
    }
    for (int c = 0; c < columns; ++c) {
        line(static_cast<size_t>(c), across, rows, (data.flags & P::kClosed) != 0);
    }
}

void polyfaceChains(const Data& data, std::vector<Chain>& chains) {
    std::vector<AcGePoint3d> points;
    for (const Vertex& v : data.vertices) {
        if ((v.flags & P::kMeshVertex) != 0) {
            points.push_back(v.point);
        }
    }
    for (const Vertex& v : data.vertices) {
        if ((v.flags & P::kFaceVertex) == 0 || (v.flags & P::kMeshVertex) != 0) {
            continue;
        }
        std::vector<int> corners;
        for (int corner : v.corners) {
            if (corner != 0) {
                corners.push_back(corner);
            }
        }
        if (corners.size() < 2) {
            continue;
        }
        for (size_t i = 0; i < corners.size(); ++i) {
            const int from = corners[i];
            const size_t a = static_cast<size_t>(std::abs(from)) - 1;
            const size_t b = static_cast<size_t>(std::abs(corners[(i + 1) % corners.size()])) - 1;
            // (a face of two vertices is one edge)
            const bool repeated = corners.size() == 2 && i == 1;
            if (from > 0 && !repeated && a < points.size() && b < points.size()) {
                addChain(chains, {points[a], points[b]});
            }
        }
    }
}

}  // namespace

void AcDbFace::qvSet(const std::array<AcGePoint3d, 4>& corners, int invisibleEdges) {
    assertWriteEnabled();
    m_corners = corners;
    m_invisibleEdges = invisibleEdges & 15;
}

std::vector<Chain> AcDbFace::qvChains() const {
    std::vector<Chain> chains;
    for (int i = 0; i < 4; ++i) {
        // (the fourth edge of a triangle has no length)
        if (isEdgeVisibleAt(i) && corner(i) != corner(i + 1)) {
            addChain(chains, {corner(i), corner(i + 1)});
        }
    }
    return chains;
}

Acad::ErrorStatus AcDbFace::getGeomExtents(AcDbExtents& extents) const {
    // Every corner counts, whether its edges show or not (as the face's surface does).
    std::vector<Chain> corners{Chain(m_corners.begin(), m_corners.end())};
    if (!std::all_of(m_corners.begin(), m_corners.end(), finitePoint)) {
        return Acad::eInvalidExtents;
    }
    return chainExtents(corners, extents);
}

namespace qv::host {

void HeavyPolyline::qvSetData(Data data) {
    assertWriteEnabled();
    if (!std::isfinite(data.normal.x) || !std::isfinite(data.normal.y) ||
        !std::isfinite(data.normal.z) || data.normal.isZeroLength()) {
        data.normal = AcGeVector3d::kZAxis;
    }
    m_data = std::move(data);
    m_chains.clear();
    m_flat.reset();
    if (m_data.flags & kPolyface) {
        polyfaceChains(m_data, m_chains);
    } else if (m_data.flags & kPolygonMesh) {
        meshChains(m_data, m_chains);
    } else if (m_data.flags & k3dPolyline) {
        Chain chain;
        for (const Vertex* v : lineVertices(m_data)) {
            chain.push_back(v->point);
        }
        if ((m_data.flags & kClosed) != 0 && chain.size() > 2) {
            chain.push_back(chain.front());
        }
        addChain(m_chains, std::move(chain));
    } else {
        const auto width = [](double own, double polyline) {
            return own >= 0.0 && std::isfinite(own) ? own
                   : polyline >= 0.0 && std::isfinite(polyline) ? polyline
                                                                : 0.0;
        };
        auto flat = std::make_shared<AcDbPolyline>();
        for (const Vertex* v : lineVertices(m_data)) {
            if (!std::isfinite(v->point.x) || !std::isfinite(v->point.y)) {
                continue;
            }
            flat->addVertexAt(flat->numVerts(), AcGePoint2d(v->point.x, v->point.y),
                              std::isfinite(v->bulge) ? v->bulge : 0.0,
                              width(v->startWidth, m_data.startWidth),
                              width(v->endWidth, m_data.endWidth));
        }
        flat->setClosed((m_data.flags & kClosed) != 0);
        flat->setElevation(std::isfinite(m_data.elevation) ? m_data.elevation : 0.0);
        flat->setNormal(m_data.normal);
        m_flat = std::move(flat);
    }
}

Acad::ErrorStatus HeavyPolyline::getGeomExtents(AcDbExtents& extents) const {
    if (m_flat != nullptr) {
        return m_flat->getGeomExtents(extents);
    }
    return chainExtents(m_chains, extents);
}

}  // namespace qv::host
