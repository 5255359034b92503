#include <unordered_map>

#include "host/dxf/Codec.h"

namespace qv::dxf {
namespace {

struct Registry {
    std::unordered_map<std::string_view, const Codec*> byType;
    std::unordered_map<const AcRxClass*, const Codec*> byClass;

    void add(const Codec* codec) {
        byType.emplace(codec->type(), codec);
        byClass.emplace(codec->hostClass(), codec);
    }
};

const Registry& registry() {
    static const Registry r = [] {
        Registry made;
        for (const Codec* codec : simpleEntityCodecs()) {
            made.add(codec);
        }
        made.add(&polylineCodec());
        made.add(&hatchCodec());
        for (const Codec* codec : symbolTableCodecs()) {
            made.add(codec);
        }
        made.add(&dictionaryCodec());
        for (const Codec* codec : layoutCodecs()) {
            made.add(codec);
        }
        made.add(&viewportCodec());
        made.add(&sortentsCodec());
        made.add(&arcCodec());
        for (const Codec* codec : tableCodecs()) {
            made.add(codec);
        }
        return made;
    }();
    return r;
}

}  // namespace

const Codec* codecForType(std::string_view type) {
    // Records of a few types follow each other: the last ones found are looked at first.
    thread_local const Codec* recent[4] = {};
    thread_local unsigned next = 0;
    for (const Codec* codec : recent) {
        if (codec != nullptr && codec->type() == type) {
            return codec;
        }
    }
    const auto found = registry().byType.find(type);
    if (found == registry().byType.end()) {
        return nullptr;
    }
    recent[next++ % std::size(recent)] = found->second;
    return found->second;
}

const Codec* codecForObject(const AcDbObject& object) {
    const auto found = registry().byClass.find(object.isA());
    return found == registry().byClass.end() ? nullptr : found->second;
}

}  // namespace qv::dxf
