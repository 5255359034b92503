// Reading the polylines of R12 drawings: a 2D polyline becomes a lightweight one; any other is
// kept with the subclass markers of its 2013 form.
#include "host/dxf/DrawingReaderState.h"

namespace qv::dxf::reading {

void DrawingReader::finishR12Polyline() {
    std::unique_ptr<R12Polyline> polyline = std::move(m_r12Polyline);
    const Record& head = polyline->records.front();
    const std::string_view type = m_context.recordType();
    const std::uint32_t line = m_context.recordLine();
    m_context.beginRecord(head.type, head.line);
    if (!convertR12Polyline(*polyline)) {
        keepR12Polyline(*polyline);
    }
    m_context.beginRecord(type, line);
}

// A 2D polyline without fitted vertices becomes a lightweight polyline.
bool DrawingReader::convertR12Polyline(const R12Polyline& polyline) {
    std::vector<TagView> tags;
    const Record& head = polyline.records.front();
    for (const TagView tag : head.tags) {
        tags.push_back(tag);
    }
    const int flags = flagsOf(tags);
    if ((flags & ~(1 | 128)) != 0) {
        return false;
    }
    for (size_t i = 1; i < polyline.records.size(); ++i) {
        std::vector<TagView> vertex(polyline.records[i].tags.begin(),
                                    polyline.records[i].tags.end());
        if ((flagsOf(vertex) & ~2) != 0) {
            return false;
        }
    }
    // The body of the equivalent LWPOLYLINE.
    splitRecord(tags);
    std::vector<TagView> body;
    std::string_view startWidth = "0", endWidth = "0";
    for (const TagView& tag : m_head.body) {
        switch (tag.code) {
            case 30:
                body.push_back({38, tag.value, tag.line});
                break;
            case 40:
                startWidth = tag.value;
                break;
            case 41:
                endWidth = tag.value;
                break;
            case 70:
                body.push_back({70, (flags & 1) ? "1" : "0", tag.line});
                break;
            case 10:
            case 20:
            case 66:
            case 71:
            case 72:
            case 73:
            case 74:
            case 75:
                break;
            default:
                body.push_back(tag);
        }
    }
    for (size_t i = 1; i < polyline.records.size(); ++i) {
        const Record& vertex = polyline.records[i];
        std::string_view x = "0", y = "0", sw = startWidth, ew = endWidth, bulge = "0";
        for (const TagView tag : vertex.tags) {
            switch (tag.code) {
                case 10:
                    x = tag.value;
                    break;
                case 20:
                    y = tag.value;
                    break;
                case 40:
                    sw = tag.value;
                    break;
                case 41:
                    ew = tag.value;
                    break;
                case 42:
                    bulge = tag.value;
                    break;
                default:
                    break;
            }
        }
        body.insert(body.end(), {{10, x, 0}, {20, y, 0}, {40, sw, 0}, {41, ew, 0}, {42, bulge, 0}});
    }
    auto entity = std::make_unique<AcDbPolyline>();
    polylineCodec().read(*entity, body, m_context);
    Member member = placeEntity(entity.get());
    if (!polyline.inEntities) {
        member = {entity.get(), Member::Block, m_block, 0, head.line};
    }
    finishObject(std::move(entity), head.line, &member);
    return true;
}

// Any other R12 polyline is kept, with the markers of its 2013 form.
void DrawingReader::keepR12Polyline(const R12Polyline& polyline) {
    const Record& head = polyline.records.front();
    std::vector<TagView> tags(head.tags.begin(), head.tags.end());
    const int flags = flagsOf(tags);
    splitRecord(tags);
    splitCommon(m_head.body, m_common, m_rest);
    std::unique_ptr<AcDbEntity> kept = newKeptEntity("POLYLINE");
    KeptTags& keptTags = *keptTagsOf(*kept);
    FieldReader reader(kEntitySubclass.fields, m_context, 0);
    for (const TagView& tag : m_common) {
        reader.read(tag);
    }
    reader.apply(*kept);
    readDefaults(*kept, std::span<const SubclassDef>(&kEntitySubclass, 1), m_common, false);
    m_context.extras() = ObjectExtras();
    m_scratch.clear();
    markR12Polyline(flags, m_rest, m_scratch);
    for (const TagView& tag : m_scratch) {
        keptTags.body.add(tag.code, tag.value);
    }
    std::vector<std::vector<TagView>> children;
    for (size_t i = 1; i <= polyline.records.size(); ++i) {
        const bool seqend = i == polyline.records.size();
        std::vector<TagView> child;
        if (!seqend) {
            child.assign(polyline.records[i].tags.begin(), polyline.records[i].tags.end());
        }
        std::vector<TagView> common, rest, marked{{kSubclassCode, "AcDbEntity", 0}};
        splitCommon(child, common, rest);
        marked.insert(marked.end(), common.begin(), common.end());
        if (firstValue(common, 8).empty()) {
            marked.push_back(
                {8, firstValue(m_common, 8).empty() ? "0" : firstValue(m_common, 8), 0});
        }
        if (!seqend) {
            std::erase_if(rest, [](const TagView& t) { return t.code == kHandleCode; });
            markR12Vertex(flagsOf(rest), rest, marked);
        }
        KeptChild c;
        c.type = seqend ? "SEQEND" : "VERTEX";
        c.handle = seqend ? 0 : claimOther(firstValue(child, kHandleCode));
        for (const TagView& tag : marked) {
            c.tags.add(tag.code, tag.value);
        }
        keptTags.children.push_back(std::move(c));
    }
    readKeptShape(*kept);
    Member member = placeEntity(kept.get());
    if (!polyline.inEntities) {
        member = {kept.get(), Member::Block, m_block, 0, head.line};
    }
    m_withChildren.push_back(&keptTags);
    finishObject(std::move(kept), head.line, &member);
}

}  // namespace qv::dxf::reading
