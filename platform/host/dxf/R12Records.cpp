#include "host/dxf/R12Records.h"

#include <algorithm>
#include <array>

#include "host/dxf/GroupCode.h"

namespace qv::dxf {
namespace {

struct Part {
    std::string_view marker;
    std::array<int, 8> codes{};  // the codes of the part; none: every code not taken before
    size_t count = 0;
};

struct EntityForm {
    std::string_view type;
    std::array<Part, 2> parts;
    size_t count;
};

const EntityForm kForms[] = {
    {"ARC", {{{"AcDbCircle", {39, 10, 20, 30, 40, 210, 220, 230}, 8}, {"AcDbArc", {}, 0}}}, 2},
    {"POINT", {{{"AcDbPoint", {}, 0}}}, 1},
    {"SOLID", {{{"AcDbTrace", {}, 0}}}, 1},
    {"TRACE", {{{"AcDbTrace", {}, 0}}}, 1},
    {"3DFACE", {{{"AcDbFace", {}, 0}}}, 1},
    {"SHAPE", {{{"AcDbShape", {}, 0}}}, 1},
    // Types of later versions that simple exporters write without markers into files without a
    // header (read as R12): each is one part.
    {"MTEXT", {{{"AcDbMText", {}, 0}}}, 1},
    {"ELLIPSE", {{{"AcDbEllipse", {}, 0}}}, 1},
    {"SPLINE", {{{"AcDbSpline", {}, 0}}}, 1},
    {"RAY", {{{"AcDbRay", {}, 0}}}, 1},
    {"XLINE", {{{"AcDbXline", {}, 0}}}, 1},
    {"LEADER", {{{"AcDbLeader", {}, 0}}}, 1},
};

void split(std::span<const Part> parts, std::span<const TagView> rest, std::vector<TagView>& out) {
    std::vector<bool> taken(rest.size(), false);
    for (const Part& part : parts) {
        out.push_back({kSubclassCode, part.marker, 0});
        const auto codes = std::span<const int>(part.codes.data(), part.count);
        for (size_t i = 0; i < rest.size(); ++i) {
            const bool mine = part.count == 0 ||
                              std::find(codes.begin(), codes.end(), rest[i].code) != codes.end();
            if (!taken[i] && mine) {
                out.push_back(rest[i]);
                taken[i] = true;
            }
        }
    }
}

}  // namespace

bool markR12Entity(std::string_view type, std::span<const TagView> rest,
                   std::vector<TagView>& out) {
    for (const EntityForm& form : kForms) {
        if (form.type == type) {
            split(std::span<const Part>(form.parts.data(), form.count), rest, out);
            return true;
        }
    }
    return false;
}

void markR12Polyline(int flags, std::span<const TagView> rest, std::vector<TagView>& out) {
    const std::string_view marker = (flags & 64)   ? "AcDbPolyFaceMesh"
                                    : (flags & 16) ? "AcDbPolygonMesh"
                                    : (flags & 8)  ? "AcDb3dPolyline"
                                                   : "AcDb2dPolyline";
    const Part part{marker, {}, 0};
    split(std::span<const Part>(&part, 1), rest, out);
}

void markR12Vertex(int vertexFlags, std::span<const TagView> rest, std::vector<TagView>& out) {
    const std::string_view marker = (vertexFlags & 128) && (vertexFlags & 64)
                                        ? "AcDbPolyFaceMeshVertex"
                                    : (vertexFlags & 128) ? "AcDbFaceRecord"
                                    : (vertexFlags & 64)  ? "AcDbPolygonMeshVertex"
                                    : (vertexFlags & 32)  ? "AcDb3dPolylineVertex"
                                                          : "AcDb2dVertex";
    if (marker != "AcDbFaceRecord") {
        out.push_back({kSubclassCode, "AcDbVertex", 0});
    }
    const Part part{marker, {}, 0};
    split(std::span<const Part>(&part, 1), rest, out);
}

void markR12TableHead(std::span<const TagView> body, std::vector<TagView>& out) {
    const Part part{"AcDbSymbolTable", {}, 0};
    split(std::span<const Part>(&part, 1), body, out);
}

void markR12TableEntry(std::string_view type, std::span<const TagView> body,
                       std::vector<TagView>& out) {
    const std::string_view marker = type == "VPORT"      ? "AcDbViewportTableRecord"
                                    : type == "VIEW"     ? "AcDbViewTableRecord"
                                    : type == "UCS"      ? "AcDbUCSTableRecord"
                                    : type == "DIMSTYLE" ? "AcDbDimStyleTableRecord"
                                                         : "";
    out.push_back({kSubclassCode, "AcDbSymbolTableRecord", 0});
    if (marker.empty()) {
        out.insert(out.end(), body.begin(), body.end());
        return;
    }
    const Part part{marker, {}, 0};
    split(std::span<const Part>(&part, 1), body, out);
}

}  // namespace qv::dxf
