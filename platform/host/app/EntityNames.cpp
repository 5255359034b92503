#include "host/app/EntityNames.h"

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbEntity.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"

int acdbHandEnt(const ACHAR* handle, ads_name entity) {
    ads_name_clear(entity);
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr || handle == nullptr) {
        return RTERROR;
    }
    AcDbObjectId id;
    if (db->getAcDbObjectId(id, false, AcDbHandle(handle)) != Acad::eOk) {
        return RTERROR;
    }
    const AcDbObject* object = qv::host::ObjectAccess::peek(id);
    if (AcDbEntity::cast(object) == nullptr || object->isErased()) {
        return RTERROR;
    }
    entity[0] = static_cast<Adesk::Int64>(id.asOldId());
    entity[1] = static_cast<Adesk::Int64>(reinterpret_cast<Adesk::IntPtr>(db));
    return RTNORM;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name) {
    id = AcDbObjectId::kNull;
    if (name == nullptr || name[0] == 0) {
        return Acad::eInvalidInput;
    }
    id.setFromOldId(static_cast<Adesk::IntPtr>(name[0]));
    return Acad::eOk;
}

Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id) {
    ads_name_clear(name);
    if (id.isNull()) {
        return Acad::eNullObjectId;
    }
    name[0] = static_cast<Adesk::Int64>(id.asOldId());
    name[1] = static_cast<Adesk::Int64>(reinterpret_cast<Adesk::IntPtr>(id.database()));
    return Acad::eOk;
}
