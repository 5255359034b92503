#include "host/ed/SelectionSets.h"

#include <algorithm>
#include <cwctype>
#include <set>
#include <sstream>

#include "host/app/EntityNames.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/ed/Answers.h"
#include "host/ed/Editor.h"
#include "host/ed/EntityShape.h"
#include "host/ed/Picking.h"
#include "host/ed/SelectionFilter.h"
#include "host/ed/SpaceIndex.h"

namespace qv::host::ed {
namespace {

// The second half of every selection set's name; entity names hold a database there.
constexpr Adesk::Int64 kSetMark = -0x5353;

}  // namespace

bool SelectionSets::create(std::vector<AcDbObjectId> ids, ads_name name) {
    name[0] = name[1] = 0;
    if (openCount() >= kMaxOpen) {
        return false;
    }
    const Adesk::Int64 number = m_next++;
    m_sets[number] = std::move(ids);
    name[0] = number;
    name[1] = kSetMark;
    return true;
}

std::vector<AcDbObjectId>* SelectionSets::find(const ads_name name) {
    if (name == nullptr || name[1] != kSetMark) {
        return nullptr;
    }
    const auto found = m_sets.find(name[0]);
    return found != m_sets.end() ? &found->second : nullptr;
}

bool SelectionSets::free(const ads_name name) {
    if (find(name) == nullptr) {
        return false;
    }
    m_sets.erase(name[0]);
    return true;
}

void SelectionSets::clear() {
    m_sets.clear();
    m_previous.clear();
    m_implied.clear();
}

}  // namespace qv::host::ed

using namespace qv::host::ed;
using qv::host::ObjectAccess;

namespace {

std::wstring upper(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return s;
}

AcDbObjectId idOfName(const ads_name entity) {
    AcDbObjectId id;
    if (entity == nullptr || acdbGetObjectId(id, entity) != Acad::eOk) {
        return AcDbObjectId::kNull;
    }
    return id;
}

std::vector<AcDbObjectId> passing(const std::vector<AcDbObjectId>& ids,
                                  const SelectionFilter& filter) {
    std::vector<AcDbObjectId> out;
    for (AcDbObjectId id : ids) {
        const auto* entity = ObjectAccess::peekAs<AcDbEntity>(id);
        if (entity != nullptr && !entity->isErased() && filter.passes(*entity)) {
            out.push_back(id);
        }
    }
    return out;
}

std::vector<AcGePoint2d> worldWindow(const AcGePoint3d& a, const AcGePoint3d& b) {
    // The window's sides follow the UCS axes.
    std::vector<AcGePoint2d> polygon;
    for (const AcGePoint2d& corner : windowPolygon(a.convert2d(), b.convert2d())) {
        polygon.push_back(ucsToWorld(AcGePoint3d(corner.x, corner.y, a.z)).convert2d());
    }
    return polygon;
}

bool readPointList(const void* list, std::vector<AcGePoint2d>& polygon) {
    for (const resbuf* rb = static_cast<const resbuf*>(list); rb != nullptr; rb = rb->rbnext) {
        if (rb->restype != RTPOINT && rb->restype != RT3DPOINT) {
            return false;
        }
        const AcGePoint3d p(rb->resval.rpoint[0], rb->resval.rpoint[1],
                            rb->restype == RT3DPOINT ? rb->resval.rpoint[2] : 0.0);
        polygon.push_back(ucsToWorld(p).convert2d());
    }
    return polygon.size() >= 3;
}

AcDbObjectId lastEntity(const AcDbDatabase& db) {
    const std::vector<AcDbObjectId> all = layoutEntities(db, false);
    AcDbObjectId last;
    for (AcDbObjectId id : all) {
        if (last.isNull() || last < id) {
            last = id;
        }
    }
    return last;
}

void addUnique(std::vector<AcDbObjectId>& to, const std::vector<AcDbObjectId>& ids, int& found,
               int& duplicates) {
    std::set<AcDbObjectId> members(to.begin(), to.end());
    for (AcDbObjectId id : ids) {
        ++found;
        if (!members.insert(id).second) {
            ++duplicates;
        } else {
            to.push_back(id);
        }
    }
}

std::vector<std::wstring> words(const std::wstring& text) {
    std::wstring spaced = text;
    std::replace(spaced.begin(), spaced.end(), L',', L' ');
    std::wistringstream in(spaced);
    std::vector<std::wstring> out;
    std::wstring w;
    while (in >> w) {
        out.push_back(w);
    }
    return out;
}

// One answer at the "Select objects: " prompt: the entities it names, or false when it cannot
// be read.
bool readSelectionAnswer(const AcDbDatabase& db, const std::wstring& text,
                         std::vector<AcDbObjectId>& named) {
    const std::wstring head = upper(text.substr(0, text.find(L' ')));
    if (head == L"ALL") {
        named = layoutEntities(db, false, EntityOrder::Created);
        return text.find_first_not_of(L' ', 3) == std::wstring::npos;
    }
    if (head == L"P" || head == L"PREVIOUS") {
        named = editor().selectionSets().previous();
        return true;
    }
    if (head == L"L" || head == L"LAST") {
        const AcDbObjectId last = lastEntity(db);
        if (!last.isNull()) {
            named.push_back(last);
        }
        return true;
    }
    if (head == L"W" || head == L"C") {
        const size_t rest = text.find(L' ');
        const std::wstring corners = rest == std::wstring::npos ? L"" : text.substr(rest + 1);
        std::wistringstream in(corners);
        std::wstring a, b, extra;
        in >> a >> b;
        const AcGePoint3d base = worldToUcs(editor().lastPoint());
        const std::optional<AcGePoint3d> p = parsePoint(a, base);
        const std::optional<AcGePoint3d> q = parsePoint(b, base);
        if (!p || !q || (in >> extra)) {
            return false;
        }
        named = entitiesInPolygon(db, worldWindow(*p, *q), head == L"C", SelectionFilter());
        return true;
    }
    if (text[0] == L'#') {
        for (const std::wstring& w : words(text)) {
            const std::optional<AcDbHandle> handle = parseHandle(w);
            if (!handle) {
                return false;
            }
            const AcDbObjectId id = layoutEntityOfHandle(db, *handle);
            if (id.isNull()) {
                print(L"No entity of the drawing has the handle " + handle->text() + L".\n");
            } else {
                named.push_back(id);
            }
        }
        return true;
    }
    const std::optional<AcGePoint3d> p = parsePoint(text, worldToUcs(editor().lastPoint()));
    if (!p) {
        return false;
    }
    const AcGePoint3d world = ucsToWorld(*p);
    editor().setLastPoint(world);
    const AcDbObjectId id = entityAt(db, world);
    if (!id.isNull()) {
        named.push_back(id);
    }
    return true;
}

// The interactive selection: RTNORM, RTCAN, or RTERROR for nothing selected.
int selectInteractively(const AcDbDatabase& db, const SelectionFilter& filter,
                        std::vector<AcDbObjectId>& selected) {
    for (;;) {
        const Answer answer =
            editor().ask(atLineStart() ? L"Select objects: " : L"\nSelect objects: ", false);
        if (answer.kind == Answer::Cancel) {
            return RTCAN;
        }
        if (answer.kind == Answer::Empty) {
            return selected.empty() ? RTERROR : RTNORM;
        }
        std::vector<AcDbObjectId> named;
        if (!readSelectionAnswer(db, answer.text, named)) {
            editor().refuse(
                L"Expects handles (#2A), a point, ALL, Previous, Last, W or C with two corners.");
            continue;
        }
        const std::vector<AcDbObjectId> kept = passing(named, filter);
        int found = 0, duplicates = 0;
        addUnique(selected, kept, found, duplicates);
        std::wostringstream report;
        report << named.size() << L" found";
        if (duplicates > 0) {
            report << L" (" << duplicates << L" duplicate)";
        }
        report << L", " << selected.size() << L" total\n";
        if (named.size() > kept.size()) {
            report << named.size() - kept.size() << L" filtered out\n";
        }
        print(report.str());
    }
}

}  // namespace

int acedSSGet(const ACHAR* mode, const void* pt1, const void* pt2, const resbuf* filter,
              ads_name set) {
    if (set == nullptr) {
        return RTERROR;
    }
    set[0] = set[1] = 0;
    SelectionFilter kept;
    std::wstring why;
    if (!SelectionFilter::parse(filter, kept, why)) {
        print(L"Invalid selection filter: " + why + L".\n");
        return RTERROR;
    }
    const AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) {
        return RTERROR;
    }
    std::wstring m = upper(mode != nullptr ? mode : L"");
    if (!m.empty() && m[0] == L'_') {
        m.erase(0, 1);
    }
    std::vector<AcDbObjectId> selected;
    if (m.empty()) {
        const int status = selectInteractively(*db, kept, selected);
        if (status != RTNORM) {
            return status;
        }
        editor().selectionSets().setPrevious(selected);
    } else if (m == L"X") {
        selected = passing(layoutEntities(*db, true, EntityOrder::Created), kept);
    } else if (m == L"W" || m == L"C") {
        if (pt1 == nullptr || pt2 == nullptr) {
            return RTERROR;
        }
        const auto* a = static_cast<const ads_real*>(pt1);
        const auto* b = static_cast<const ads_real*>(pt2);
        selected = entitiesInPolygon(
            *db, worldWindow(AcGePoint3d(a[0], a[1], a[2]), AcGePoint3d(b[0], b[1], b[2])),
            m == L"C", kept);
    } else if (m == L"WP" || m == L"CP") {
        std::vector<AcGePoint2d> polygon;
        if (!readPointList(pt1, polygon)) {
            return RTERROR;
        }
        selected = entitiesInPolygon(*db, polygon, m == L"CP", kept);
    } else if (m == L"I") {
        selected = passing(editor().selectionSets().implied(), kept);
    } else if (m == L"P") {
        selected = passing(editor().selectionSets().previous(), kept);
    } else if (m == L"L") {
        const AcDbObjectId last = lastEntity(*db);
        if (!last.isNull()) {
            selected = passing({last}, kept);
        }
    } else {
        return RTERROR;
    }
    if (selected.empty()) {
        return RTERROR;
    }
    return editor().selectionSets().create(std::move(selected), set) ? RTNORM : RTERROR;
}

int acedSSFree(const ads_name set) {
    return editor().selectionSets().free(set) ? RTNORM : RTERROR;
}

int acedSSLength(const ads_name set, Adesk::Int32* length) {
    const std::vector<AcDbObjectId>* members = editor().selectionSets().find(set);
    if (members == nullptr || length == nullptr) {
        return RTERROR;
    }
    *length = static_cast<Adesk::Int32>(members->size());
    return RTNORM;
}

int acedSSLength(const ads_name set, long* length) {
    Adesk::Int32 n = 0;
    const int status = acedSSLength(set, length != nullptr ? &n : nullptr);
    if (status == RTNORM) {
        *length = n;
    }
    return status;
}

int acedSSName(const ads_name set, Adesk::Int32 index, ads_name entity) {
    const std::vector<AcDbObjectId>* members = editor().selectionSets().find(set);
    if (entity == nullptr) {
        return RTERROR;
    }
    entity[0] = entity[1] = 0;
    if (members == nullptr || index < 0 || static_cast<size_t>(index) >= members->size()) {
        return RTERROR;
    }
    ads_name name;
    if (acdbGetAdsName(name, (*members)[static_cast<size_t>(index)]) != Acad::eOk) {
        return RTERROR;
    }
    ads_name_set(name, entity);
    return RTNORM;
}

int acedSSAdd(const ads_name entity, const ads_name set, ads_name result) {
    if (result == nullptr) {
        return RTERROR;
    }
    SelectionSets& sets = editor().selectionSets();
    if (entity == nullptr) {
        return sets.create({}, result) ? RTNORM : RTERROR;
    }
    const AcDbObjectId id = idOfName(entity);
    if (id.isNull()) {
        return RTERROR;
    }
    if (set == nullptr) {
        return sets.create({id}, result) ? RTNORM : RTERROR;
    }
    std::vector<AcDbObjectId>* members = sets.find(set);
    if (members == nullptr) {
        return RTERROR;
    }
    if (std::find(members->begin(), members->end(), id) == members->end()) {
        members->push_back(id);
    }
    result[0] = set[0];
    result[1] = set[1];
    return RTNORM;
}

int acedSSDel(const ads_name entity, const ads_name set) {
    std::vector<AcDbObjectId>* members = editor().selectionSets().find(set);
    const AcDbObjectId id = idOfName(entity);
    if (members == nullptr || id.isNull()) {
        return RTERROR;
    }
    const auto found = std::find(members->begin(), members->end(), id);
    if (found == members->end()) {
        return RTERROR;
    }
    members->erase(found);
    return RTNORM;
}

int acedSSMemb(const ads_name entity, const ads_name set) {
    const std::vector<AcDbObjectId>* members = editor().selectionSets().find(set);
    const AcDbObjectId id = idOfName(entity);
    if (members == nullptr || id.isNull()) {
        return RTERROR;
    }
    return std::find(members->begin(), members->end(), id) != members->end() ? RTNORM : RTERROR;
}

int acedSSSetFirst(const ads_name set, const ads_name) {
    SelectionSets& sets = editor().selectionSets();
    if (set == nullptr) {
        sets.setImplied({});
        return RTNORM;
    }
    const std::vector<AcDbObjectId>* members = sets.find(set);
    if (members == nullptr) {
        return RTERROR;
    }
    sets.setImplied(*members);
    return RTNORM;
}

int acedSSGetFirst(resbuf** grips, resbuf** picked) {
    if (grips != nullptr) {
        *grips = nullptr;
    }
    if (picked == nullptr) {
        return RTERROR;
    }
    *picked = nullptr;
    SelectionSets& sets = editor().selectionSets();
    if (sets.implied().empty()) {
        return RTNORM;
    }
    resbuf* item = acutNewRb(RTPICKS);
    if (!sets.create(sets.implied(), item->resval.rlname)) {
        acutRelRb(item);
        return RTERROR;
    }
    *picked = item;
    return RTNORM;
}
