#include "host/dxf/KeptObjects.h"

namespace qv::dxf {

QV_RX_DEFINE_MEMBERS(KeptObject, AcDbObject, L"")
QV_RX_DEFINE_MEMBERS(KeptEntity, AcDbEntity, L"")

KeptTags::KeptTags(const KeptTags& other)
    : type(other.type),
      groups(other.groups),
      body(other.body),
      common(other.common),
      children(other.children) {
    for (KeptChild& child : children) {
        child.handle = 0;
    }
}

const KeptTags* keptTagsOf(const AcDbObject& object) {
    if (const auto* o = KeptObject::cast(&object)) {
        return &o->kept();
    }
    if (const auto* e = KeptEntity::cast(&object)) {
        return &e->kept();
    }
    if (const auto* shape = dynamic_cast<const KeptShapeTags*>(&object)) {
        return &shape->kept();
    }
    return nullptr;
}

KeptTags* keptTagsOf(AcDbObject& object) {
    return const_cast<KeptTags*>(keptTagsOf(static_cast<const AcDbObject&>(object)));
}

}  // namespace qv::dxf
