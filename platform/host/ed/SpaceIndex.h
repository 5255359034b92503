// Finding the entities of the current space inside or crossing a polygon without looking at the
// shape of every entity: each entity's outline box is kept in a grid over the plan, made once and
// made again whenever any object may have changed (AcDbObject::qvChangeCount) or the database
// or its current space is another one. The shapes measured for the grid are kept with it, so a
// search measures no entity again. Entities too large for the grid (a long wall, a text taller
// than the rooms) are kept apart, and which of them pass a filter is worked out once per filter
// and kept with the grid: a search with a filter looks only at the large entities that pass it.
#pragma once

#include <vector>

#include "../db/AcDbDatabase.h"
#include "../ge/AcGePoint.h"

namespace qv::host::ed {

class SelectionFilter;

// The entities (not erased) of the current space that pass `filter` and lie inside (or, with
// `crossing`, inside or on the edges of) a world polygon, in the order they were added to the
// space. The same as testing every entity's shape (EntityShape.h), only faster.
std::vector<AcDbObjectId> entitiesInPolygon(const AcDbDatabase& database,
                                            const std::vector<AcGePoint2d>& polygon, bool crossing,
                                            const SelectionFilter& filter);

// How many entities the searches have examined (tested against their filter) since the program
// started: what a check of a search's cost counts.
unsigned long long entitiesExamined();

}  // namespace qv::host::ed
