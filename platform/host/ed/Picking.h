// Finding entities in the drawing for the editor: the entities of the layouts, the entity of a
// handle, and the entity under a picked point.
#pragma once

#include <string>
#include <vector>

#include "../db/AcDbDatabase.h"

namespace qv::host::ed {

// How a block's entities follow each other: as they are drawn (the draw order, Drawn), or as
// they were added to the block (Created; a drawing read from a file keeps its file's order).
enum class EntityOrder { Drawn, Created };

// The entities (not erased) of the current space, or, with allLayouts, of model space and then
// every paper space.
std::vector<AcDbObjectId> layoutEntities(const AcDbDatabase& database, bool allLayouts,
                                         EntityOrder order = EntityOrder::Drawn);
// The entity (not erased) of a handle that lies in a layout; null otherwise.
AcDbObjectId layoutEntityOfHandle(const AcDbDatabase& database, const AcDbHandle& handle);
// How far from a picked point an entity may lie to be picked: half a percent of the larger side
// of the current view.
double pickDistance();
// The entity of the current space nearest to a world point within the pick distance (the one
// drawn last among equally near ones), or null.
AcDbObjectId entityAt(const AcDbDatabase& database, const AcGePoint3d& point);

// Converts a point between the current UCS and the world.
AcGePoint3d ucsToWorld(const AcGePoint3d& point);
AcGePoint3d worldToUcs(const AcGePoint3d& point);

}  // namespace qv::host::ed
