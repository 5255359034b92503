#include "host/app/Coordinates.h"

#include "host/app/EntityNames.h"
#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbHatch.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"

namespace {

AcGePoint3d toPoint(const ads_point p) {
    return {p[0], p[1], p[2]};
}

void store(const AcGePoint3d& p, ads_point out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// Applies `m` to a point, or only its linear part to a vector.
void carry(const AcGeMatrix3d& m, const ads_point from, ads_point to, bool vector) {
    if (vector) {
        const AcGeVector3d v = m * AcGeVector3d(from[0], from[1], from[2]);
        to[0] = v.x;
        to[1] = v.y;
        to[2] = v.z;
    } else {
        store(m * toPoint(from), to);
    }
}

// The plane system's normal of an entity that has one.
bool entityNormal(const AcDbEntity* entity, AcGeVector3d& normal) {
    if (const auto* p = AcDbPolyline::cast(entity)) {
        normal = p->normal();
    } else if (const auto* c = AcDbCircle::cast(entity)) {
        normal = c->normal();
    } else if (const auto* t = AcDbText::cast(entity)) {
        normal = t->normal();
    } else if (const auto* r = AcDbBlockReference::cast(entity)) {
        normal = r->normal();
    } else if (const auto* h = AcDbHatch::cast(entity)) {
        normal = h->normal();
    } else {
        return false;
    }
    return true;
}

// The matrix from the system `code` to the world.
bool systemToWorld(const resbuf* code, AcGeMatrix3d& m) {
    if (code == nullptr) {
        return false;
    }
    switch (code->restype) {
        case RTSHORT:
            switch (code->resval.rint) {
                case 0:
                case 2:
                case 3:
                    m.setToIdentity();
                    return true;
                case 1:
                    return acdbUcsMatrix(m);
                default:
                    return false;
            }
        case RT3DPOINT:
        case RTPOINT: {
            const AcGeVector3d normal(code->resval.rpoint[0], code->resval.rpoint[1],
                                      code->restype == RTPOINT ? 1.0 : code->resval.rpoint[2]);
            if (normal.isZeroLength()) {
                return false;
            }
            m = AcGeMatrix3d::planeToWorld(normal);
            return true;
        }
        case RTENAME: {
            AcDbObjectId id;
            if (acdbGetObjectId(id, code->resval.rlname) != Acad::eOk) {
                return false;
            }
            const auto* entity = qv::host::ObjectAccess::peekAs<AcDbEntity>(id);
            if (entity == nullptr) {
                return false;
            }
            AcGeVector3d normal;
            m = entityNormal(entity, normal) ? AcGeMatrix3d::planeToWorld(normal)
                                             : AcGeMatrix3d::kIdentity;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

bool acdbUcsMatrix(AcGeMatrix3d& matrix, AcDbDatabase* database) {
    if (database == nullptr) {
        database = acdbHostApplicationServices()->workingDatabase();
    }
    matrix.setToIdentity();
    if (database == nullptr) {
        return false;
    }
    const AcGeVector3d x = database->ucsxdir(), y = database->ucsydir();
    matrix.setCoordSystem(database->ucsorg(), x, y, x.crossProduct(y));
    return true;
}

Acad::ErrorStatus acedGetCurrentUCS(AcGeMatrix3d& matrix) {
    return acdbUcsMatrix(matrix) ? Acad::eOk : Acad::eNoDatabase;
}

Acad::ErrorStatus acedSetCurrentUCS(const AcGeMatrix3d& matrix) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    AcGePoint3d origin;
    AcGeVector3d x, y, z;
    matrix.getCoordSystem(origin, x, y, z);
    return db->setUcs(origin, x, y);
}

bool acdbUcs2Wcs(const ads_point from, ads_point to, bool vector) {
    AcGeMatrix3d ucs;
    const bool ok = acdbUcsMatrix(ucs);
    carry(ucs, from, to, vector);
    return ok;
}

bool acdbWcs2Ucs(const ads_point from, ads_point to, bool vector) {
    AcGeMatrix3d ucs;
    const bool ok = acdbUcsMatrix(ucs);
    carry(ucs.inverse(), from, to, vector);
    return ok;
}

bool acdbWcs2Ecs(const ads_point from, ads_point to, const ads_point normal, bool vector) {
    const AcGeVector3d n(normal[0], normal[1], normal[2]);
    if (n.isZeroLength()) {
        return false;
    }
    carry(AcGeMatrix3d::worldToPlane(n), from, to, vector);
    return true;
}

bool acdbEcs2Wcs(const ads_point from, ads_point to, const ads_point normal, bool vector) {
    const AcGeVector3d n(normal[0], normal[1], normal[2]);
    if (n.isZeroLength()) {
        return false;
    }
    carry(AcGeMatrix3d::planeToWorld(n), from, to, vector);
    return true;
}

int acedTrans(const ads_point point, const resbuf* from, const resbuf* to, int displacement,
              ads_point result) {
    AcGeMatrix3d fromWorld, toWorld;
    if (point == nullptr || result == nullptr || !systemToWorld(from, fromWorld) ||
        !systemToWorld(to, toWorld)) {
        return RTERROR;
    }
    const ads_point copy = {point[0], point[1], point[2]};
    carry(toWorld.inverse() * fromWorld, copy, result, displacement != 0);
    return RTNORM;
}
