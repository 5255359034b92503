// The codec of draw order (SORTENTSTABLE): the block whose entities it orders, then one pair per
// entity whose sort handle differs from its own handle: 331 the entity, 5 its sort handle.
#include "host/db/AcDbSortentsTable.h"
#include "host/dxf/Codec.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

AcDbSortentsTable& tableOf(AcDbObject& o) {
    return static_cast<AcDbSortentsTable&>(o);
}

void readSortents(AcDbObject& o, std::span<const TagView> tags, ReadContext& c, int ordinal) {
    std::string_view entity;
    for (const TagView& tag : tags) {
        std::uint64_t sort = 0;
        if (tag.code == 330) {
            c.referByHandle(
                o, tag.value,
                [](AcDbObject& t, AcDbObjectId block, const RefArgs&) {
                    tableOf(t).setBlockId(block);
                },
                "block");
        } else if (tag.code == 331) {
            entity = tag.value;
        } else if (tag.code == 5 && !entity.empty() && parseHandle(tag.value, sort)) {
            RefArgs args;
            args.value = sort;
            c.referByHandle(
                o, entity,
                [](AcDbObject& t, AcDbObjectId id, const RefArgs& a) {
                    tableOf(t).qvSetSortHandle(id, AcDbHandle(a.value));
                },
                "entity to sort", std::move(args));
            entity = {};
        } else {
            c.leftover({ordinal, -1}, tag);
        }
    }
}

void writeSortents(const AcDbObject& o, WriteContext& c, int ordinal) {
    const auto& table = static_cast<const AcDbSortentsTable&>(o);
    c.reference(330, table.blockId());
    for (const auto& [entity, sort] : table.qvSortHandles()) {
        if (const std::uint64_t handle = c.handleOf(entity)) {
            c.out().handle(331, handle);
            c.out().handle(5, sort.value());
        }
    }
    c.writeLeftovers({ordinal, -1});
}

const SubclassDef kSortents[] = {{"AcDbSortentsTable", {}, readSortents, writeSortents}};

const CodecOf<AcDbSortentsTable> kSortentsCodec("SORTENTSTABLE", kSortents);

}  // namespace

const Codec& sortentsCodec() {
    return kSortentsCodec;
}

}  // namespace qv::dxf
