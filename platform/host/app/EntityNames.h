// Entity names (ads_name) of the host's C-level interface, and their conversion to object ids.
// A name holds the object's id; names of erased or missing objects do not resolve.
#pragma once

#include "../db/AcDbObjectId.h"
#include "../db/ResBuf.h"

// The entity of a handle (hexadecimal text) in the working database: RTNORM, or RTERROR when
// there is no such entity (unknown handle, erased entity, an object that is no entity).
int acdbHandEnt(const ACHAR* handle, ads_name entity);
// eOk, or eInvalidInput for a name that holds no id.
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name);
// eOk, or eNullObjectId.
Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id);

inline void ads_name_set(const ads_name from, ads_name to) {
    to[0] = from[0];
    to[1] = from[1];
}
inline void ads_name_clear(ads_name name) {
    name[0] = name[1] = 0;
}
inline bool ads_name_nil(const ads_name name) {
    return name[0] == 0 && name[1] == 0;
}
inline bool ads_name_equal(const ads_name a, const ads_name b) {
    return a[0] == b[0] && a[1] == b[1];
}
inline void ads_point_set(const ads_point from, ads_point to) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}
