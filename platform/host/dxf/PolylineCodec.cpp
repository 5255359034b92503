// The codec of lightweight polylines (LWPOLYLINE): the polyline's fields, then one group of
// tags per vertex (10/20 the point, 40/41 the widths, 42 the bulge).
#include <vector>

#include "host/db/AcDbCurve.h"
#include "host/dxf/Codec.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

AcDbPolyline& polylineOf(AcDbObject& o) {
    return static_cast<AcDbPolyline&>(o);
}
const AcDbPolyline& polylineOf(const AcDbObject& o) {
    return static_cast<const AcDbPolyline&>(o);
}

bool readCount(AcDbObject&, const FieldValue&, ReadContext&) {
    return true;  // the vertices count themselves
}
void writeCount(const AcDbObject& o, const Field&, WriteContext& c) {
    c.out().integer(90, polylineOf(o).numVerts());
}

bool readConstantWidth(AcDbObject& o, const FieldValue& v, ReadContext&) {
    return polylineOf(o).setConstantWidth(v.xyz[0]) == Acad::eOk;
}
void writeConstantWidth(const AcDbObject& o, const Field&, WriteContext& c) {
    double width = 0.0;
    polylineOf(o).getConstantWidth(width);
    if (width != 0.0) {
        c.out().real(43, width);
    }
}

constexpr size_t kFieldsBeforeVertices = 5;
constexpr Field kPolylineFields[] = {
    custom(90, FieldKind::Integer, readCount, writeCount),
    bit<AcDbPolyline, &AcDbPolyline::isClosed, &AcDbPolyline::setClosed>(70, 1),
    custom(43, FieldKind::Real, readConstantWidth, writeConstantWidth),
    real<AcDbPolyline, &AcDbPolyline::elevation, &AcDbPolyline::setElevation>(38),
    real<AcDbPolyline, &AcDbPolyline::thickness, &AcDbPolyline::setThickness>(39),
    normal<AcDbPolyline, &AcDbPolyline::normal, &AcDbPolyline::setNormal>(210),
};

struct Vertex {
    double x = 0.0, y = 0.0, bulge = 0.0, startWidth = -1.0, endWidth = -1.0;
};

void readPolyline(AcDbObject& o, std::span<const TagView> tags, ReadContext& c, int ordinal) {
    FieldReader fields(kPolylineFields, c, ordinal);
    thread_local std::vector<Vertex> vertices;  // kept from one polyline to the next
    vertices.clear();
    for (const TagView& tag : tags) {
        double* target = nullptr;
        if (tag.code == 10) {
            vertices.emplace_back();
            target = &vertices.back().x;
        } else if (!vertices.empty()) {
            Vertex& v = vertices.back();
            switch (tag.code) {
                case 20:
                    target = &v.y;
                    break;
                case 40:
                    target = &v.startWidth;
                    break;
                case 41:
                    target = &v.endWidth;
                    break;
                case 42:
                    target = &v.bulge;
                    break;
                case 91:
                    fields.leftover(tag, static_cast<int>(vertices.size() - 1));
                    continue;
                default:
                    break;
            }
        }
        if (target == nullptr || !parseDouble(tag.value, *target)) {
            fields.read(tag);
        }
    }
    fields.apply(o);
    AcDbPolyline& polyline = polylineOf(o);
    for (const Vertex& v : vertices) {
        polyline.addVertexAt(polyline.numVerts(), AcGePoint2d(v.x, v.y), v.bulge,
                             v.startWidth < 0.0 ? -1.0 : v.startWidth,
                             v.endWidth < 0.0 ? -1.0 : v.endWidth);
    }
}

void writePolyline(const AcDbObject& o, WriteContext& c, int ordinal) {
    const AcDbPolyline& polyline = polylineOf(o);
    writeFields(o, kPolylineFields, c, ordinal, 0, kFieldsBeforeVertices);
    // The polyline's leftovers come before the vertices, where a reader takes them for the
    // polyline's and not a vertex's.
    static constexpr int kFlags[] = {70};
    c.writeLeftovers({ordinal, -1}, kFlags);
    double width = 0.0;
    const bool constant = polyline.getConstantWidth(width) == Acad::eOk;
    for (unsigned int i = 0; i < polyline.numVerts(); ++i) {
        AcGePoint2d point;
        double bulge = 0.0, startWidth = 0.0, endWidth = 0.0;
        polyline.getPointAt(i, point);
        polyline.getBulgeAt(i, bulge);
        polyline.getWidthsAt(i, startWidth, endWidth);
        c.out().point(10, point.x, point.y);
        if (!constant) {
            c.out().real(40, startWidth);
            c.out().real(41, endWidth);
        }
        if (bulge != 0.0) {
            c.out().real(42, bulge);
        }
        c.writeLeftovers({ordinal, static_cast<int>(i)});
    }
    writeFields(o, kPolylineFields, c, ordinal, kFieldsBeforeVertices);
}

const SubclassDef kPolyline[] = {
    kEntitySubclass,
    {"AcDbPolyline", kPolylineFields, readPolyline, writePolyline},
};

// Room for the vertices the record counts (90).
class PolylineCodec : public CodecOf<AcDbPolyline> {
  public:
    using CodecOf::CodecOf;
    std::unique_ptr<AcDbObject> createFor(std::span<const TagView> body) const override {
        for (const TagView& tag : body) {
            std::int64_t count = 0;
            if (tag.code == 90 && parseInteger(tag.value, count) && count > 0 && count < 100000) {
                return std::make_unique<AcDbPolyline>(static_cast<unsigned int>(count));
            }
            if (tag.code == 10) {
                break;
            }
        }
        return create();
    }
};

const PolylineCodec kPolylineCodec("LWPOLYLINE", kPolyline);

}  // namespace

const Codec& polylineCodec() {
    return kPolylineCodec;
}

}  // namespace qv::dxf
