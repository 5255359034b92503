// The codec of dictionaries (DICTIONARY): flags, then one key and one reference per entry. A
// dictionary that owns its entries hard (flag 280 set, as extension dictionaries are) refers to
// them with 360, any other with 350.
#include "host/db/AcDbDictionary.h"
#include "host/db/ObjectAccess.h"
#include "host/dxf/Codec.h"
#include "host/dxf/Numbers.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

AcDbDictionary& dictionaryOf(AcDbObject& o) {
    return static_cast<AcDbDictionary&>(o);
}

void readDictionary(AcDbObject& o, std::span<const TagView> tags, ReadContext& c, int ordinal) {
    std::string_view key;
    bool haveKey = false;
    for (const TagView& tag : tags) {
        if (tag.code == 3) {
            key = tag.value;
            haveKey = true;
        } else if ((tag.code == 350 || tag.code == 360) && haveKey) {
            c.referByHandle(
                o, tag.value,
                [](AcDbObject& d, AcDbObjectId id, const RefArgs& args) {
                    dictionaryOf(d).qvAppendEntry(args.key, id);
                },
                "dictionary entry", RefArgs{0, qv::utf8ToWide(key)});
            haveKey = false;
        } else {
            c.leftover({ordinal, -1}, tag);
        }
    }
}

void writeDictionary(const AcDbObject& o, WriteContext& c, int ordinal) {
    const auto& dictionary = static_cast<const AcDbDictionary&>(o);
    const ObjectExtras* extras = c.extras();
    bool hard = false;
    if (const size_t at = extras ? extras->find({ordinal, -1}, 280) : std::string_view::npos;
        at != std::string_view::npos) {
        std::int64_t flag = 0;
        hard = parseInteger(extras->tags[at].value, flag) && flag == 1;
    } else {
        const AcDbObject* owner = qv::host::ObjectAccess::peek(dictionary.ownerId());
        hard = owner != nullptr && owner->extensionDictionary() == dictionary.objectId();
        if (hard) {
            c.out().integer(280, 1);
        }
    }
    if (extras == nullptr || extras->find({ordinal, -1}, 281) == std::string_view::npos) {
        c.out().integer(281, 1);
    }
    c.writeLeftovers({ordinal, -1});
    for (const AcDbDictionary::Entry& entry : dictionary.qvEntries()) {
        const std::uint64_t handle = c.handleOf(entry.id);
        if (handle != 0) {
            c.text(3, entry.key);
            c.out().handle(hard ? 360 : 350, handle);
        }
    }
}

const SubclassDef kDictionary[] = {{"AcDbDictionary", {}, readDictionary, writeDictionary}};

const CodecOf<AcDbDictionary> kDictionaryCodec("DICTIONARY", kDictionary);

}  // namespace

const Codec& dictionaryCodec() {
    return kDictionaryCodec;
}

}  // namespace qv::dxf
