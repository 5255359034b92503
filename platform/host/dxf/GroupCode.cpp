#include "host/dxf/GroupCode.h"

#include "host/GroupCodes.h"
#include "host/dxf/TagReader.h"

namespace qv::dxf {

static_assert(kMaxGroupCode == qv::host::kLastGroupCode);

ValueKind valueKind(int code) {
    using qv::host::GroupType;
    switch (qv::host::groupType(code)) {
        case GroupType::Text:
        case GroupType::Unused:
            return ValueKind::String;
        case GroupType::PointX:
        case GroupType::Coordinate:
        case GroupType::Real:
            return ValueKind::Double;
        case GroupType::Int16:
        case GroupType::Int32:
        case GroupType::Int64:
        case GroupType::Bool:
            return ValueKind::Integer;
        case GroupType::Handle:
        case GroupType::Pointer:
            return ValueKind::Handle;
        case GroupType::Binary:
            return ValueKind::Binary;
    }
    return ValueKind::String;
}

}  // namespace qv::dxf
