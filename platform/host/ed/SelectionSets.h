// Selection sets: the lists of entities that acedSSGet makes and the module walks with
// acedSSLength and acedSSName, named by an ads_name until acedSSFree.
//
// A set's name holds its number (never given twice in a process) and a mark that tells it from
// an entity's name, so a freed or made-up name is refused (RTERROR), never followed. At most 128
// sets are open at once, as in the host; acedSSGet and acedSSAdd refuse a 129th with RTERROR.
#pragma once

#include <map>
#include <vector>

#include "../db/AcDbObjectId.h"
#include "../db/ResBuf.h"

namespace qv::host::ed {

class SelectionSets {
  public:
    static constexpr int kMaxOpen = 128;

    // A new set holding `ids`; false (and a cleared name) when kMaxOpen sets are open.
    bool create(std::vector<AcDbObjectId> ids, ads_name name);
    // The members of an open set, or null.
    std::vector<AcDbObjectId>* find(const ads_name name);
    // false when the name names no open set.
    bool free(const ads_name name);
    int openCount() const { return static_cast<int>(m_sets.size()); }

    // The last set the user selected interactively ("P" mode).
    const std::vector<AcDbObjectId>& previous() const { return m_previous; }
    void setPrevious(std::vector<AcDbObjectId> ids) { m_previous = std::move(ids); }
    // The implied selection ("I" mode, acedSSSetFirst).
    const std::vector<AcDbObjectId>& implied() const { return m_implied; }
    void setImplied(std::vector<AcDbObjectId> ids) { m_implied = std::move(ids); }

    // Frees every set and forgets the previous and implied selections.
    void clear();

  private:
    std::map<Adesk::Int64, std::vector<AcDbObjectId>> m_sets;
    Adesk::Int64 m_next = 1;
    std::vector<AcDbObjectId> m_previous;
    std::vector<AcDbObjectId> m_implied;
};

}  // namespace qv::host::ed

// Selects entities into a new set named `set`. `mode`:
//   null or ""   interactive: the user answers "Select objects: " until Enter (see below)
//   "X"          every entity of the drawing (model space and paper space), without asking
//   "W", "C"     inside, or inside or crossing, the window of the corners pt1 and pt2 (ads_point,
//                UCS)
//   "WP", "CP"   inside, or inside or crossing, the polygon whose points pt1 lists (a result-
//                buffer list of RTPOINT or RT3DPOINT items, UCS)
//   "I"          the implied selection; "P" the previous one; "L" the last entity drawn
// Members follow the order in which the entities were added to their blocks (model space first
// for "X"), whatever the draw order; interactive answers add in the order given. A leading "_"
// is allowed. `filter` (null for none) keeps only the entities that pass it
// (SelectionFilter.h). Every mode but "X" looks in the current space.
// Interactive answers: handles ("#2A", several separated by blanks or commas), a point "x,y"
// (the entity nearest to it within the pick distance), "ALL", "Previous", "Last",
// "W x1,y1 x2,y2" or "C x1,y1 x2,y2"; Enter ends, Esc cancels.
// RTNORM with a set; RTERROR when nothing was selected, the mode, points or filter are not
// understood, or too many sets are open; RTCAN when the user cancelled.
int acedSSGet(const ACHAR* mode, const void* pt1, const void* pt2, const resbuf* filter,
              ads_name set);
// RTNORM, or RTERROR for a name of no open set.
int acedSSFree(const ads_name set);
int acedSSLength(const ads_name set, Adesk::Int32* length);
int acedSSLength(const ads_name set, long* length);
// The entity name of member `index` (from 0): RTNORM, or RTERROR for a bad set or index.
int acedSSName(const ads_name set, Adesk::Int32 index, ads_name entity);
// With a null entity: a new empty set in `result`. With a null set: a new set of the entity.
// Otherwise adds the entity to the set (once) and names the set in `result`.
int acedSSAdd(const ads_name entity, const ads_name set, ads_name result);
// Removes the entity from the set: RTNORM, or RTERROR when it is no member or the set is bad.
int acedSSDel(const ads_name entity, const ads_name set);
// RTNORM when the entity is a member, RTERROR otherwise.
int acedSSMemb(const ads_name entity, const ads_name set);
// Sets the implied selection from a set (null clears it); RTNORM, or RTERROR for a bad set.
int acedSSSetFirst(const ads_name set, const ads_name unused);
// The implied selection as a new set in a list of one RTPICKS item (`picked`, null when there is
// none; free it with acutRelRb, the set with acedSSFree); `grips` gets null.
int acedSSGetFirst(resbuf** grips, resbuf** picked);
