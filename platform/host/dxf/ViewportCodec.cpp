// The codec of viewports (VIEWPORT): the rectangle on the sheet, the view it shows, its number,
// whether it is on and locked, and the layers frozen in it (one 331 reference each).
#include "host/db/AcDbViewport.h"
#include "host/dxf/Codec.h"

namespace qv::dxf {
namespace {

AcDbViewport& viewportOf(AcDbObject& o) {
    return static_cast<AcDbViewport&>(o);
}
const AcDbViewport& viewportOf(const AcDbObject& o) {
    return static_cast<const AcDbViewport&>(o);
}

// Status 68: 0 for a viewport that is off, else its place in the stack of viewports that are on
// (the host writes its number).
bool readStatus(AcDbObject&, const FieldValue&, ReadContext&) {
    return true;  // on and off are read from group 90
}
void writeStatus(const AcDbObject& o, const Field&, WriteContext& c) {
    const AcDbViewport& v = viewportOf(o);
    c.out().integer(68, v.isOn() ? std::max<int>(1, v.qvNumber()) : 0);
}

bool readNumber(AcDbObject& o, const FieldValue& v, ReadContext&) {
    if (!std::in_range<Adesk::Int16>(v.integer)) {
        return false;
    }
    viewportOf(o).qvSetNumber(static_cast<Adesk::Int16>(v.integer));
    return true;
}
void writeNumber(const AcDbObject& o, const Field&, WriteContext& c) {
    c.out().integer(69, viewportOf(o).qvNumber());
}

bool readViewCenter(AcDbObject& o, const FieldValue& v, ReadContext&) {
    return viewportOf(o).setViewCenter(AcGePoint2d(v.xyz[0], v.xyz[1])) == Acad::eOk;
}
void writeViewCenter(const AcDbObject& o, const Field& f, WriteContext& c) {
    const AcGePoint2d p = viewportOf(o).viewCenter();
    c.out().point(f.code, p.x, p.y);
}

constexpr std::uint32_t kLocked = 16384;
constexpr std::uint32_t kOff = 131072;

using Viewport = AcDbViewport;
constexpr size_t kFieldsBeforeLayers = 10;
constexpr Field kViewportFields[] = {
    point<Viewport, &Viewport::centerPoint, &Viewport::setCenterPoint>(10),
    real<Viewport, &Viewport::width, &Viewport::setWidth>(40, 0.0, true),
    real<Viewport, &Viewport::height, &Viewport::setHeight>(41, 0.0, true),
    custom(68, FieldKind::Integer, readStatus, writeStatus),
    custom(69, FieldKind::Integer, readNumber, writeNumber),
    custom(12, FieldKind::Point, readViewCenter, writeViewCenter),
    {16, FieldKind::Vector, 0.0, true, 0,
     [](AcDbObject& o, const FieldValue& v, ReadContext&) {
         return viewportOf(o).setViewDirection(AcGeVector3d(v.xyz[0], v.xyz[1], v.xyz[2])) ==
                Acad::eOk;
     },
     [](const AcDbObject& o, const Field& f, WriteContext& c) {
         const AcGeVector3d d = viewportOf(o).viewDirection();
         c.out().point(f.code, d.x, d.y, d.z);
     }},
    point<Viewport, &Viewport::viewTarget, &Viewport::setViewTarget>(17),
    real<Viewport, &Viewport::viewHeight, &Viewport::setViewHeight>(45, 0.0, true),
    angle<Viewport, &Viewport::twistAngle, &Viewport::setTwistAngle>(51),
    // (the layers frozen here come between these)
    bits(
        90, kLocked | kOff,
        [](AcDbObject& o, const FieldValue& v, ReadContext&) {
            Viewport& viewport = viewportOf(o);
            (v.integer & kOff) != 0 ? viewport.setOff() : viewport.setOn();
            (v.integer & kLocked) != 0 ? viewport.setLocked() : viewport.setUnlocked();
            return true;
        },
        [](const AcDbObject& o, const Field&) -> std::int64_t {
            const Viewport& viewport = viewportOf(o);
            return (viewport.isOn() ? 0 : kOff) | (viewport.isLocked() ? kLocked : 0);
        }),
};

void readViewport(AcDbObject& o, std::span<const TagView> tags, ReadContext& c, int ordinal) {
    FieldReader fields(kViewportFields, c, ordinal);
    for (const TagView& tag : tags) {
        if (tag.code == 331) {
            c.referByHandle(
                o, tag.value,
                [](AcDbObject& v, AcDbObjectId layer, const RefArgs&) {
                    std::vector<AcDbObjectId> frozen = viewportOf(v).qvFrozenLayers();
                    frozen.push_back(layer);
                    viewportOf(v).qvSetFrozenLayers(frozen);
                },
                "frozen layer");
        } else {
            fields.read(tag);
        }
    }
    fields.apply(o);
}

void writeViewport(const AcDbObject& o, WriteContext& c, int ordinal) {
    writeFields(o, kViewportFields, c, ordinal, 0, kFieldsBeforeLayers);
    for (const AcDbObjectId& layer : viewportOf(o).qvFrozenLayers()) {
        if (const std::uint64_t handle = c.handleOf(layer)) {
            c.out().handle(331, handle);
        }
    }
    writeFields(o, kViewportFields, c, ordinal, kFieldsBeforeLayers);
    static constexpr int kWritten[] = {90};
    c.writeLeftovers({ordinal, -1}, kWritten);
}

const SubclassDef kViewport[] = {
    kEntitySubclass,
    {"AcDbViewport", kViewportFields, readViewport, writeViewport},
};

const CodecOf<AcDbViewport> kViewportCodec("VIEWPORT", kViewport);

}  // namespace

const Codec& viewportCodec() {
    return kViewportCodec;
}

}  // namespace qv::dxf
