// The codec of arcs (ARC): the circle's part (thickness, centre, radius, normal), then the
// start and end angles.
#include "host/db/AcDbArc.h"
#include "host/dxf/Codec.h"

namespace qv::dxf {
namespace {

constexpr Field kArcCircleFields[] = {
    real<AcDbArc, &AcDbArc::thickness, &AcDbArc::setThickness>(39),
    point<AcDbArc, &AcDbArc::center, &AcDbArc::setCenter>(10),
    real<AcDbArc, &AcDbArc::radius, &AcDbArc::setRadius>(40, 0.0, true),
    normal<AcDbArc, &AcDbArc::normal, &AcDbArc::setNormal>(210),
};

constexpr Field kArcFields[] = {
    angle<AcDbArc, &AcDbArc::startAngle, &AcDbArc::setStartAngle>(50, true),
    angle<AcDbArc, &AcDbArc::endAngle, &AcDbArc::setEndAngle>(51, true),
};

const SubclassDef kArc[] = {
    kEntitySubclass, {"AcDbCircle", kArcCircleFields}, {"AcDbArc", kArcFields}};

const CodecOf<AcDbArc> kArcCodec("ARC", kArc);

}  // namespace

const Codec& arcCodec() {
    return kArcCodec;
}

}  // namespace qv::dxf
