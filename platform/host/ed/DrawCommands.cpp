// The host's drawing commands, enough to draw what the module works on from a script: LINE,
// PLINE, CIRCLE, TEXT and ERASE. Points are given in the current UCS; new entities go to the
// current space on the current layer, each under the document lock.
#include <vector>

#include "host/app/Documents.h"
#include "host/app/EntityNames.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbText.h"
#include "host/db/HostServices.h"
#include "host/db/SymbolTables.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/EntityListing.h"
#include "host/ed/Picking.h"
#include "host/ed/Prompts.h"
#include "host/ed/SelectionSets.h"

namespace qv::host::ed {
namespace {

// Holds the current document's lock while it lives.
class DrawingLock {
  public:
    DrawingLock() : m_doc(acDocManager->curDocument()) {
        if (m_doc == nullptr) {
            print(L"There is no drawing.\n");
            return;
        }
        const Acad::ErrorStatus es = acDocManager->lockDocument(m_doc, AcAp::kWrite);
        if (es != Acad::eOk) {
            print(std::wstring(L"The drawing could not be locked (") + acadErrorStatusText(es) +
                  L").\n");
            m_doc = nullptr;
        }
    }
    ~DrawingLock() {
        if (m_doc != nullptr) {
            acDocManager->unlockDocument(m_doc);
        }
    }
    DrawingLock(const DrawingLock&) = delete;
    DrawingLock& operator=(const DrawingLock&) = delete;
    bool held() const { return m_doc != nullptr; }

  private:
    AcApDocument* m_doc;
};

// Adds an entity to the current space; deletes it when that fails.
void post(AcDbEntity* entity) {
    DrawingLock lock;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTableRecord* space = nullptr;
    Acad::ErrorStatus es = Acad::eNoDatabase;
    if (lock.held() && db != nullptr) {
        entity->setDatabaseDefaults(db);
        es = acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite);
    }
    if (es == Acad::eOk) {
        AcDbObjectId id;
        es = space->appendAcDbEntity(id, entity);
        space->close();
    }
    if (es != Acad::eOk) {
        print(std::wstring(L"The entity could not be added (") + acadErrorStatusText(es) + L").\n");
        delete entity;
        return;
    }
    AcDbHandle handle;
    entity->getAcDbHandle(handle);
    const std::wstring kind = entity->isA()->name();
    entity->close();
    print(kind + L" " + handle.text() + L" added.\n");
}

bool askPoint(const ads_point base, const std::wstring& prompt, AcGePoint3d& world) {
    ads_point p;
    if (acedGetPoint(base, prompt.c_str(), p) != RTNORM) {
        return false;
    }
    world = ucsToWorld(AcGePoint3d(p[0], p[1], p[2]));
    return true;
}

void lineCommand() {
    AcGePoint3d from, to;
    if (!askPoint(nullptr, L"Specify first point: ", from)) {
        return;
    }
    for (;;) {
        const AcGePoint3d base = worldToUcs(from);
        const ads_point b = {base.x, base.y, base.z};
        if (!askPoint(b, L"Specify next point: ", to)) {
            return;
        }
        post(new AcDbLine(from, to));
        from = to;
    }
}

void plineCommand() {
    std::vector<AcGePoint3d> points(1);
    if (!askPoint(nullptr, L"Specify start point: ", points[0])) {
        return;
    }
    bool closed = false;
    for (;;) {
        const AcGePoint3d base = worldToUcs(points.back());
        const ads_point b = {base.x, base.y, base.z};
        acedInitGet(0, L"Close");
        ads_point p;
        const int status = acedGetPoint(b, L"Specify next point or [Close]: ", p);
        if (status == RTKWORD) {
            closed = true;
            break;
        }
        if (status == RTCAN) {
            return;
        }
        if (status != RTNORM) {
            break;
        }
        points.push_back(ucsToWorld(AcGePoint3d(p[0], p[1], p[2])));
    }
    if (points.size() < 2) {
        print(L"A polyline needs two points at least.\n");
        return;
    }
    auto* polyline = new AcDbPolyline(static_cast<unsigned int>(points.size()));
    for (unsigned int i = 0; i < points.size(); ++i) {
        polyline->addVertexAt(i, points[i].convert2d());
    }
    polyline->setElevation(points[0].z);
    polyline->setClosed(closed);
    post(polyline);
}

void circleCommand() {
    AcGePoint3d center;
    if (!askPoint(nullptr, L"Specify center point: ", center)) {
        return;
    }
    double radius = 0.0;
    acedInitGet(RSG_NONULL | RSG_NOZERO | RSG_NONEG, nullptr);
    if (acedGetReal(L"Specify radius: ", &radius) != RTNORM) {
        return;
    }
    post(new AcDbCircle(center, AcGeVector3d::kZAxis, radius));
}

void textCommand() {
    AcGePoint3d at;
    if (!askPoint(nullptr, L"Specify start point: ", at)) {
        return;
    }
    const AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    double height = db != nullptr ? db->textsize() : 2.5;
    acedInitGet(RSG_NOZERO | RSG_NONEG, nullptr);
    const std::wstring prompt = L"Specify height <" + listNumber(height) + L">: ";
    const int status = acedGetReal(prompt.c_str(), &height);
    if (status != RTNORM && status != RTNONE) {
        return;
    }
    std::wstring text;
    if (getText(true, L"Enter text: ", text) != RTNORM || text.empty()) {
        return;
    }
    auto* entity = new AcDbText(at, text.c_str(), AcDbObjectId(), height);
    post(entity);
}

void eraseCommand() {
    ads_name set;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, set) != RTNORM) {
        return;
    }
    DrawingLock lock;
    Adesk::Int32 count = 0;
    acedSSLength(set, &count);
    int erased = 0;
    for (Adesk::Int32 i = 0; lock.held() && i < count; ++i) {
        ads_name member;
        AcDbObjectId id;
        AcDbEntity* entity = nullptr;
        if (acedSSName(set, i, member) != RTNORM || acdbGetObjectId(id, member) != Acad::eOk) {
            continue;
        }
        const Acad::ErrorStatus es = acdbOpenAcDbEntity(entity, id, AcDb::kForWrite);
        if (es != Acad::eOk) {
            print(L"Entity " + id.handle().text() + L" was not erased (" + acadErrorStatusText(es) +
                  L").\n");
            continue;
        }
        if (entity->erase() == Acad::eOk) {
            ++erased;
        }
        entity->close();
    }
    acedSSFree(set);
    print(std::to_wstring(erased) + L" erased.\n");
}

const bool g_registered = [] {
    registerHostCommand(L"LINE", lineCommand);
    registerHostCommand(L"PLINE", plineCommand);
    registerHostCommand(L"CIRCLE", circleCommand);
    registerHostCommand(L"TEXT", textCommand);
    registerHostCommand(L"ERASE", eraseCommand);
    return true;
}();

}  // namespace
}  // namespace qv::host::ed
