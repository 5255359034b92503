// Records of R12 files have no subclass markers, which a 2013 drawing needs. These give kept R12
// records the markers of their 2013 form. Types whose 2013 form the host cannot derive from the
// R12 tags alone (dimensions, viewports) have none: such records are left out, with a warning.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "Tag.h"

namespace qv::dxf {

// The tags of an entity after its AcDbEntity part, with markers. False when the type has no
// 2013 form here.
bool markR12Entity(std::string_view type, std::span<const TagView> rest, std::vector<TagView>& out);
// A POLYLINE or VERTEX of a polyline that is kept (3D polylines, meshes, fitted curves); `flags`
// are the POLYLINE's 70 flags.
void markR12Polyline(int flags, std::span<const TagView> rest, std::vector<TagView>& out);
void markR12Vertex(int vertexFlags, std::span<const TagView> rest, std::vector<TagView>& out);
// A table's own record ("TABLE") or an entry of a table the host does not model.
void markR12TableHead(std::span<const TagView> body, std::vector<TagView>& out);
void markR12TableEntry(std::string_view type, std::span<const TagView> body,
                       std::vector<TagView>& out);

}  // namespace qv::dxf
