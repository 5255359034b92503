// The codec of dictionaries (DICTIONARY): flags, then one key and one reference per entry (350
// for an entry the dictionary owns soft, 360 hard).
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

// Entries are owned hard when the dictionary's flag 280 says so, or, without the flag, when the
// dictionary is an extension dictionary. Nothing is written that the file did not hold, so that
// a dictionary reads back as it was.
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
