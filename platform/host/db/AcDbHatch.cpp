#include "host/db/AcDbHatch.h"

#include <cmath>
#include <numbers>

#include "host/db/AcDbCurve.h"
#include "host/db/AcDbDatabase.h"
#include "host/db/HatchPatterns.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"

using qv::host::BulgeSegment;

QV_RX_DEFINE_MEMBERS(AcDbHatch, AcDbEntity, L"HATCH")

namespace qv::host {
QV_RX_DEFINE_MEMBERS(CurvedHatch, AcDbEntity, L"")
}  // namespace qv::host

namespace {

constexpr double kPi = std::numbers::pi;
// How near two ends must lie to join, and a loop's points its plane.
constexpr double kJoin = 1e-6;

bool meets(const AcGePoint2d& a, const AcGePoint2d& b) {
    return a.distanceTo(b) <= kJoin;
}

std::vector<BulgeSegment> reversed(const std::vector<BulgeSegment>& piece) {
    std::vector<BulgeSegment> out;
    for (auto it = piece.rbegin(); it != piece.rend(); ++it) {
        out.push_back({it->end, it->start, -it->bulge});
    }
    return out;
}

// The curve's segments in the plane given by `toPlane`, or a refusal.
Acad::ErrorStatus segmentsInPlane(const AcDbCurve& curve, const AcGeMatrix3d& toPlane,
                                  std::vector<BulgeSegment>& out) {
    out.clear();
    if (const auto* line = AcDbLine::cast(&curve)) {
        const AcGePoint3d s = toPlane * line->startPoint();
        const AcGePoint3d e = toPlane * line->endPoint();
        if (std::fabs(s.z) > kJoin || std::fabs(e.z) > kJoin) {
            return Acad::eInvalidInput;
        }
        out.push_back({{s.x, s.y}, {e.x, e.y}, 0.0});
        return Acad::eOk;
    }
    const std::vector<BulgeSegment> own = curve.qvSegments();
    if (own.empty()) {
        return Acad::eInvalidInput;
    }
    const AcGeMatrix3d carry = toPlane * curve.qvPlane();
    const AcGeVector3d z = carry * AcGeVector3d::kZAxis;
    if (!z.isParallelTo(AcGeVector3d::kZAxis)) {
        return Acad::eInvalidInput;
    }
    const double orientation = z.z > 0.0 ? 1.0 : -1.0;
    for (const BulgeSegment& s : own) {
        const AcGePoint3d a = carry * AcGePoint3d(s.start.x, s.start.y, 0.0);
        const AcGePoint3d b = carry * AcGePoint3d(s.end.x, s.end.y, 0.0);
        if (std::fabs(a.z) > kJoin || std::fabs(b.z) > kJoin) {
            return Acad::eInvalidInput;
        }
        out.push_back({{a.x, a.y}, {b.x, b.y}, s.bulge * orientation});
    }
    return Acad::eOk;
}

// Points along a loop, arcs in short chords, for containment tests.
std::vector<AcGePoint2d> outline(const std::vector<BulgeSegment>& segments) {
    std::vector<AcGePoint2d> points;
    for (const BulgeSegment& s : segments) {
        const int steps = s.isArc() ? 16 : 1;
        for (int i = 0; i < steps; ++i) {
            points.push_back(s.pointAt(static_cast<double>(i) / steps));
        }
    }
    return points;
}

bool contains(const std::vector<AcGePoint2d>& polygon, const AcGePoint2d& p) {
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const AcGePoint2d& a = polygon[i];
        const AcGePoint2d& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

double loopArea(const std::vector<BulgeSegment>& segments) {
    double twice = 0.0, arcs = 0.0;
    for (const BulgeSegment& s : segments) {
        twice += s.start.x * s.end.y - s.end.x * s.start.y;
        arcs += s.signedArcArea();
    }
    return std::fabs(twice / 2.0 + arcs);
}

}  // namespace

std::vector<BulgeSegment> AcDbHatch::Loop::segments() const {
    std::vector<BulgeSegment> out;
    const size_t n = vertices.size();
    for (size_t i = 0; i < n; ++i) {
        out.push_back({vertices[i], vertices[(i + 1) % n], i < bulges.size() ? bulges[i] : 0.0});
    }
    return out;
}

AcGeMatrix3d AcDbHatch::plane() const {
    return AcGeMatrix3d::planeToWorld(m_normal) *
           AcGeMatrix3d::translation(AcGeVector3d(0.0, 0.0, m_elevation));
}

Acad::ErrorStatus AcDbHatch::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (normal.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    m_normal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setElevation(double elevation) {
    assertWriteEnabled();
    m_elevation = elevation;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setAssociative(bool associative) {
    assertWriteEnabled();
    m_associative = associative;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setPattern(HatchPatternType type, const ACHAR* name) {
    assertWriteEnabled();
    switch (type) {
        case kPreDefined: {
            const qv::host::HatchPattern* pattern =
                name != nullptr ? qv::host::findHatchPattern(name) : nullptr;
            if (pattern == nullptr) {
                return Acad::eInvalidInput;
            }
            m_patternName = pattern->name;
            break;
        }
        case kUserDefined:
            m_patternName = L"_USER";
            break;
        case kCustomDefined:
            return Acad::eInvalidInput;
    }
    m_patternType = type;
    return Acad::eOk;
}

bool AcDbHatch::isSolidFill() const {
    const qv::host::HatchPattern* pattern =
        m_patternType == kPreDefined ? qv::host::findHatchPattern(m_patternName) : nullptr;
    return pattern != nullptr && pattern->solid;
}

Acad::ErrorStatus AcDbHatch::setPatternAngle(double angle) {
    assertWriteEnabled();
    m_patternAngle = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setPatternScale(double scale) {
    assertWriteEnabled();
    if (!(scale > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_patternScale = scale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setPatternSpace(double space) {
    assertWriteEnabled();
    if (!(space > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_patternSpace = space;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setPatternDouble(bool isDouble) {
    assertWriteEnabled();
    m_patternDouble = isDouble;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setHatchStyle(HatchStyle style) {
    assertWriteEnabled();
    m_style = style;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::appendLoop(Adesk::Int32 loopType, const AcDbObjectIdArray& objects) {
    assertWriteEnabled();
    if (objects.isEmpty()) {
        return Acad::eInvalidInput;
    }
    const AcGeMatrix3d toPlane = plane().inverse();
    std::vector<BulgeSegment> chain;
    for (const AcDbObjectId& id : objects) {
        if (id.isNull()) {
            return Acad::eNullObjectId;
        }
        const AcDbObject* object = qv::host::ObjectAccess::peek(id);
        if (object == nullptr || object->isErased()) {
            return Acad::eWasErased;
        }
        const auto* curve = AcDbCurve::cast(object);
        if (curve == nullptr) {
            return Acad::eNotThatKindOfClass;
        }
        std::vector<BulgeSegment> piece;
        const Acad::ErrorStatus es = segmentsInPlane(*curve, toPlane, piece);
        if (es != Acad::eOk) {
            return es;
        }
        if (chain.empty()) {
            chain = piece;
            continue;
        }
        if (!meets(chain.back().end, piece.front().start)) {
            if (meets(chain.back().end, piece.back().end)) {
                piece = reversed(piece);
            } else if (chain.size() == 1 || meets(chain.front().start, piece.front().start) ||
                       meets(chain.front().start, piece.back().end)) {
                chain = reversed(chain);
                if (meets(chain.back().end, piece.back().end)) {
                    piece = reversed(piece);
                }
            }
            if (!meets(chain.back().end, piece.front().start)) {
                return Acad::eInvalidInput;
            }
        }
        chain.insert(chain.end(), piece.begin(), piece.end());
    }
    if (!meets(chain.back().end, chain.front().start)) {
        return Acad::eInvalidInput;
    }
    Loop loop;
    loop.type = loopType | kPolyline;
    for (const BulgeSegment& s : chain) {
        if (!meets(s.start, s.end) || chain.size() == 1) {
            loop.vertices.push_back(s.start);
            loop.bulges.push_back(s.bulge);
        }
    }
    if (loop.vertices.size() < 2) {
        return Acad::eInvalidInput;
    }
    loop.objects.assign(objects.begin(), objects.end());
    m_loops.push_back(std::move(loop));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                                        const AcGeDoubleArray& bulges) {
    assertWriteEnabled();
    if (vertices.length() < 2 || (!bulges.isEmpty() && bulges.length() != vertices.length())) {
        return Acad::eInvalidInput;
    }
    Loop loop;
    loop.type = loopType | kPolyline;
    loop.vertices.assign(vertices.begin(), vertices.end());
    loop.bulges.assign(bulges.begin(), bulges.end());
    loop.bulges.resize(loop.vertices.size(), 0.0);
    if (meets(loop.vertices.front(), loop.vertices.back()) && loop.vertices.size() > 2) {
        loop.vertices.pop_back();
        loop.bulges.pop_back();
    }
    m_loops.push_back(std::move(loop));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::removeLoopAt(int index) {
    assertWriteEnabled();
    if (index < 0 || index >= numLoops()) {
        return Acad::eInvalidIndex;
    }
    m_loops.erase(m_loops.begin() + index);
    return Acad::eOk;
}

Adesk::Int32 AcDbHatch::loopTypeAt(int index) const {
    return index >= 0 && index < numLoops() ? m_loops[static_cast<size_t>(index)].type : 0;
}

Acad::ErrorStatus AcDbHatch::getLoopAt(int index, Adesk::Int32& loopType,
                                       AcGePoint2dArray& vertices, AcGeDoubleArray& bulges) const {
    if (index < 0 || index >= numLoops()) {
        return Acad::eInvalidIndex;
    }
    const Loop& loop = m_loops[static_cast<size_t>(index)];
    loopType = loop.type;
    vertices.removeAll();
    bulges.removeAll();
    for (size_t i = 0; i < loop.vertices.size(); ++i) {
        vertices.append(loop.vertices[i]);
        bulges.append(loop.bulges[i]);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getAssocObjIdsAt(int index, AcDbObjectIdArray& objects) const {
    if (index < 0 || index >= numLoops()) {
        return Acad::eInvalidIndex;
    }
    objects.removeAll();
    for (const AcDbObjectId& id : m_loops[static_cast<size_t>(index)].objects) {
        objects.append(id);
    }
    return Acad::eOk;
}

int AcDbHatch::numPatternDefinitions() const {
    if (m_patternType == kUserDefined) {
        return m_patternDouble ? 2 : 1;
    }
    const qv::host::HatchPattern* pattern = qv::host::findHatchPattern(m_patternName);
    return pattern != nullptr ? static_cast<int>(pattern->families.size()) : 0;
}

Acad::ErrorStatus AcDbHatch::evaluateHatch(bool) {
    m_lines = 0;
    std::vector<qv::host::HatchLineFamily> families;
    double scale = m_patternScale;
    if (m_patternType == kUserDefined) {
        families.push_back({0, 0, 0, 0, m_patternSpace, {}});
        if (m_patternDouble) {
            families.push_back({90, 0, 0, 0, m_patternSpace, {}});
        }
        scale = 1.0;
    } else {
        const qv::host::HatchPattern* pattern = qv::host::findHatchPattern(m_patternName);
        if (pattern == nullptr) {
            return Acad::eInvalidInput;
        }
        if (pattern->solid) {
            return m_loops.empty() ? Acad::eInvalidInput : Acad::eOk;
        }
        families = pattern->families;
    }
    if (m_loops.empty()) {
        return Acad::eInvalidInput;
    }
    qv::host::Box2d box;
    for (const Loop& loop : m_loops) {
        for (const BulgeSegment& s : loop.segments()) {
            s.addTo(box);
        }
    }
    const AcGePoint2d corners[] = {
        {box.minX, box.minY}, {box.maxX, box.minY}, {box.minX, box.maxY}, {box.maxX, box.maxY}};
    double lines = 0.0, pieces = 0.0;
    for (const qv::host::HatchLineFamily& f : families) {
        const double spacing = std::fabs(f.spacing) * scale;
        if (!(spacing > 0.0)) {
            continue;
        }
        const double angle = f.angle * kPi / 180.0 + m_patternAngle;
        const AcGeVector2d along(std::cos(angle), std::sin(angle));
        const AcGeVector2d across(-along.y, along.x);
        const AcGeVector2d base =
            AcGeVector2d(f.baseX * std::cos(m_patternAngle) - f.baseY * std::sin(m_patternAngle),
                         f.baseX * std::sin(m_patternAngle) + f.baseY * std::cos(m_patternAngle)) *
            scale;
        const double offset = base.dotProduct(across);
        double lo = 1e300, hi = -1e300, alo = 1e300, ahi = -1e300;
        for (const AcGePoint2d& c : corners) {
            const double a = c.asVector().dotProduct(across);
            const double b = c.asVector().dotProduct(along);
            lo = std::fmin(lo, a);
            hi = std::fmax(hi, a);
            alo = std::fmin(alo, b);
            ahi = std::fmax(ahi, b);
        }
        const double count = std::fmax(
            0.0, std::floor((hi - offset) / spacing) - std::ceil((lo - offset) / spacing) + 1.0);
        double period = 0.0;
        for (double d : f.dashes) {
            period += std::fabs(d);
        }
        period *= scale;
        const double perLine = period > 0.0 ? std::fmax(1.0, std::ceil((ahi - alo) / period)) : 1.0;
        lines += count;
        pieces += count * perLine;
    }
    const AcDbDatabase* db =
        database() != nullptr ? database() : acdbHostApplicationServices()->workingDatabase();
    const double limit = db != nullptr ? db->hpmaxlines() : 1000000.0;
    if (pieces > limit) {
        return Acad::eHatchTooDense;
    }
    if (lines == 0.0) {
        return Acad::eAmbiguousOutput;
    }
    m_lines = static_cast<int>(pieces);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getArea(double& area) const {
    std::vector<std::vector<AcGePoint2d>> outlines;
    for (const Loop& loop : m_loops) {
        outlines.push_back(outline(loop.segments()));
    }
    area = 0.0;
    for (size_t i = 0; i < m_loops.size(); ++i) {
        int depth = 0;
        for (size_t j = 0; j < m_loops.size(); ++j) {
            if (i != j && !outlines[i].empty() && contains(outlines[j], outlines[i].front())) {
                ++depth;
            }
        }
        const double a = loopArea(m_loops[i].segments());
        switch (m_style) {
            case kNormal:
                area += depth % 2 == 0 ? a : -a;
                break;
            case kOuter:
                area += depth == 0 ? a : depth == 1 ? -a : 0.0;
                break;
            case kIgnore:
                area += depth == 0 ? a : 0.0;
                break;
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getGeomExtents(AcDbExtents& extents) const {
    qv::host::Box2d box;
    for (const Loop& loop : m_loops) {
        for (const BulgeSegment& s : loop.segments()) {
            s.addTo(box);
        }
    }
    if (box.isEmpty()) {
        return Acad::eInvalidExtents;
    }
    const AcGeMatrix3d p = plane();
    extents = AcDbExtents();
    for (const AcGePoint2d& c :
         {AcGePoint2d(box.minX, box.minY), AcGePoint2d(box.maxX, box.minY),
          AcGePoint2d(box.minX, box.maxY), AcGePoint2d(box.maxX, box.maxY)}) {
        extents.addPoint(p * AcGePoint3d(c.x, c.y, 0.0));
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    const AcGeMatrix3d p = plane();
    const AcGeVector3d x = m * AcGeVector3d(p(0, 0), p(1, 0), p(2, 0));
    const AcGeVector3d y = m * AcGeVector3d(p(0, 1), p(1, 1), p(2, 1));
    const double lx = x.length(), ly = y.length();
    if (!(lx > 0.0) || std::fabs(lx - ly) > 1e-9 * lx ||
        std::fabs(x.dotProduct(y)) > 1e-9 * lx * ly) {
        return Acad::eCannotScaleNonUniformly;
    }
    const AcGeVector3d normal = x.crossProduct(y).normal();
    const AcGeMatrix3d carry = AcGeMatrix3d::worldToPlane(normal) * m * p;
    for (Loop& loop : m_loops) {
        for (AcGePoint2d& v : loop.vertices) {
            const AcGePoint3d q = carry * AcGePoint3d(v.x, v.y, 0.0);
            v.set(q.x, q.y);
        }
    }
    const AcGeVector3d turned = carry * AcGeVector3d::kXAxis;
    m_patternAngle =
        std::fmod(m_patternAngle + std::atan2(turned.y, turned.x) + 2.0 * kPi, 2.0 * kPi);
    m_patternScale *= lx;
    m_patternSpace *= lx;
    m_elevation = (carry * AcGePoint3d::kOrigin).z;
    m_normal = normal;
    return Acad::eOk;
}
