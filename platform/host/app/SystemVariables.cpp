#include "host/app/SystemVariables.h"

#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "host/app/Documents.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

namespace {

using qv::host::ObjectAccess;

struct Variable {
    short type;
    std::function<bool(AcDbDatabase*, resbuf*)> get;
    // Null for a read-only variable.
    std::function<bool(AcDbDatabase*, const resbuf*)> set;
    bool needsDrawing = true;
};

bool number(const resbuf* value, double& out) {
    switch (value->restype) {
        case RTSHORT:
            out = value->resval.rint;
            return true;
        case RTLONG:
            out = value->resval.rlong;
            return true;
        case RTREAL:
            out = value->resval.rreal;
            return true;
        default:
            return false;
    }
}

bool whole(const resbuf* value, long lowest, long highest, long& out) {
    double d = 0.0;
    if (!number(value, d) || d != std::floor(d) || d < lowest || d > highest) {
        return false;
    }
    out = static_cast<long>(d);
    return true;
}

void putShort(resbuf* value, long v) {
    value->restype = RTSHORT;
    value->resval.rint = static_cast<short>(v);
}

void putString(resbuf* value, const std::wstring& text) {
    value->restype = RTSTR;
    value->resval.rstring = acutNewString(text.c_str());
}

void putPoint(resbuf* value, const AcGePoint3d& p) {
    value->restype = RT3DPOINT;
    value->resval.rpoint[0] = p.x;
    value->resval.rpoint[1] = p.y;
    value->resval.rpoint[2] = p.z;
}

Variable shortInDrawing(std::function<long(AcDbDatabase*)> get, long lowest, long highest,
                        std::function<Acad::ErrorStatus(AcDbDatabase*, long)> set) {
    return {RTSHORT,
            [get](AcDbDatabase* db, resbuf* value) {
                putShort(value, get(db));
                return true;
            },
            [=](AcDbDatabase* db, const resbuf* value) {
                long v = 0;
                return whole(value, lowest, highest, v) && set(db, v) == Acad::eOk;
            }};
}

std::map<std::wstring, short>& hostShorts() {
    static std::map<std::wstring, short> values = {
        {L"CMDECHO", 1}, {L"FILEDIA", 1}, {L"ATTREQ", 1}, {L"ATTDIA", 0}};
    return values;
}

Variable hostShort(const std::wstring& name) {
    Variable v{RTSHORT,
               [name](AcDbDatabase*, resbuf* value) {
                   putShort(value, hostShorts()[name]);
                   return true;
               },
               [name](AcDbDatabase*, const resbuf* value) {
                   long v = 0;
                   if (!whole(value, 0, 1, v)) {
                       return false;
                   }
                   hostShorts()[name] = static_cast<short>(v);
                   return true;
               }};
    v.needsDrawing = false;
    return v;
}

std::wstring documentPath(AcDbDatabase* db) {
    const AcApDocument* doc = acDocManager->document(db);
    return doc != nullptr ? doc->fileName() : std::wstring();
}

const std::map<std::wstring, Variable>& variables() {
    static const std::map<std::wstring, Variable> table = {
        {L"LUNITS", shortInDrawing([](AcDbDatabase* db) { return db->lunits(); }, 1, 5,
                                   [](AcDbDatabase* db, long v) {
                                       return db->setLunits(static_cast<Adesk::Int16>(v));
                                   })},
        {L"LUPREC", shortInDrawing([](AcDbDatabase* db) { return db->luprec(); }, 0, 8,
                                   [](AcDbDatabase* db, long v) {
                                       return db->setLuprec(static_cast<Adesk::Int16>(v));
                                   })},
        {L"INSUNITS", shortInDrawing([](AcDbDatabase* db) { return db->insunits(); }, 0, 24,
                                     [](AcDbDatabase* db, long v) {
                                         return db->setInsunits(static_cast<AcDb::UnitsValue>(v));
                                     })},
        {L"SORTENTS", shortInDrawing([](AcDbDatabase* db) { return db->sortEnts(); }, 0, 127,
                                     [](AcDbDatabase* db, long v) {
                                         return db->setSortEnts(static_cast<Adesk::UInt8>(v));
                                     })},
        {L"TILEMODE",
         shortInDrawing([](AcDbDatabase* db) { return db->tilemode() ? 1 : 0; }, 0, 1,
                        [](AcDbDatabase* db, long v) { return db->setTilemode(v != 0); })},
        {L"HPMAXLINES",
         {RTLONG,
          [](AcDbDatabase* db, resbuf* value) {
              value->restype = RTLONG;
              value->resval.rlong = db->hpmaxlines();
              return true;
          },
          [](AcDbDatabase* db, const resbuf* value) {
              long v = 0;
              return whole(value, 100, 10000000, v) &&
                     db->setHpmaxlines(static_cast<Adesk::Int32>(v)) == Acad::eOk;
          }}},
        {L"TEXTSIZE",
         {RTREAL,
          [](AcDbDatabase* db, resbuf* value) {
              value->restype = RTREAL;
              value->resval.rreal = db->textsize();
              return true;
          },
          [](AcDbDatabase* db, const resbuf* value) {
              double v = 0.0;
              return number(value, v) && db->setTextsize(v) == Acad::eOk;
          }}},
        {L"CLAYER",
         {RTSTR,
          [](AcDbDatabase* db, resbuf* value) {
              const auto* layer = ObjectAccess::peekAs<AcDbLayerTableRecord>(db->clayer());
              putString(value, layer != nullptr ? layer->qvName() : L"0");
              return true;
          },
          [](AcDbDatabase* db, const resbuf* value) {
              const auto* layers = ObjectAccess::peekAs<AcDbLayerTable>(db->layerTableId());
              if (value->restype != RTSTR || value->resval.rstring == nullptr ||
                  layers == nullptr) {
                  return false;
              }
              return db->setClayer(layers->qvFind(value->resval.rstring)) == Acad::eOk;
          }}},
        {L"CTAB",
         {RTSTR,
          [](AcDbDatabase* db, resbuf* value) {
              putString(value, acdbHostApplicationServices()->layoutManager()->findActiveLayout(
                                   true, db));
              return true;
          },
          [](AcDbDatabase* db, const resbuf* value) {
              return value->restype == RTSTR && value->resval.rstring != nullptr &&
                     acdbHostApplicationServices()->layoutManager()->setCurrentLayout(
                         value->resval.rstring, db) == Acad::eOk;
          }}},
        {L"UCSORG",
         {RT3DPOINT,
          [](AcDbDatabase* db, resbuf* value) {
              putPoint(value, db->ucsorg());
              return true;
          },
          nullptr}},
        {L"UCSXDIR",
         {RT3DPOINT,
          [](AcDbDatabase* db, resbuf* value) {
              putPoint(value, AcGePoint3d::kOrigin + db->ucsxdir());
              return true;
          },
          nullptr}},
        {L"UCSYDIR",
         {RT3DPOINT,
          [](AcDbDatabase* db, resbuf* value) {
              putPoint(value, AcGePoint3d::kOrigin + db->ucsydir());
              return true;
          },
          nullptr}},
        {L"DWGNAME",
         {RTSTR,
          [](AcDbDatabase* db, resbuf* value) {
              const std::wstring path = documentPath(db);
              putString(value, path.substr(path.find_last_of(L"\\/") + 1));
              return true;
          },
          nullptr}},
        {L"DWGPREFIX",
         {RTSTR,
          [](AcDbDatabase* db, resbuf* value) {
              const std::wstring path = documentPath(db);
              const size_t cut = path.find_last_of(L"\\/");
              putString(value, cut == std::wstring::npos ? L"" : path.substr(0, cut + 1));
              return true;
          },
          nullptr}},
        {L"PRODUCT",
         {RTSTR,
          [](AcDbDatabase*, resbuf* value) {
              putString(value, acdbHostApplicationServices()->product());
              return true;
          },
          nullptr, false}},
        {L"CMDECHO", hostShort(L"CMDECHO")},
        {L"FILEDIA", hostShort(L"FILEDIA")},
        {L"ATTREQ", hostShort(L"ATTREQ")},
        {L"ATTDIA", hostShort(L"ATTDIA")},
    };
    return table;
}

const Variable* find(const ACHAR* name, AcDbDatabase*& db) {
    if (name == nullptr) {
        return nullptr;
    }
    const auto found = variables().find(qv::host::foldName(name));
    if (found == variables().end()) {
        return nullptr;
    }
    db = acdbHostApplicationServices()->workingDatabase();
    return db != nullptr || !found->second.needsDrawing ? &found->second : nullptr;
}

}  // namespace

int acedGetVar(const ACHAR* name, resbuf* value) {
    AcDbDatabase* db = nullptr;
    const Variable* v = find(name, db);
    if (v == nullptr || value == nullptr) {
        return RTERROR;
    }
    return v->get(db, value) ? RTNORM : RTERROR;
}

int acedSetVar(const ACHAR* name, const resbuf* value) {
    AcDbDatabase* db = nullptr;
    const Variable* v = find(name, db);
    if (v == nullptr || value == nullptr || !v->set) {
        return RTERROR;
    }
    return v->set(db, value) ? RTNORM : RTERROR;
}
