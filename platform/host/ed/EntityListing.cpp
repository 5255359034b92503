#include "host/ed/EntityListing.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbText.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/Picking.h"

namespace qv::host::ed {
namespace {

std::wstring recordName(AcDbObjectId id) {
    const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(id);
    return record != nullptr ? record->qvName() : L"?";
}

std::wstring point(const AcGePoint3d& p) {
    return L"(" + listNumber(p.x) + L"," + listNumber(p.y) + L"," + listNumber(p.z) + L")";
}

std::wstring point(const AcGePoint2d& p) {
    return L"(" + listNumber(p.x) + L"," + listNumber(p.y) + L")";
}

std::wstring quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring degrees(double radians) {
    return listNumber(radians * 180.0 / std::numbers::pi);
}

std::wstring xdataItem(const XDataItem& item) {
    std::wstring out = std::to_wstring(item.code) + L" ";
    if (item.code == 1004) {
        return out + std::to_wstring(item.binary.size()) + L" bytes";
    }
    if (item.code >= 1010 && item.code <= 1013) {
        return out + point(AcGePoint3d(item.values[0], item.values[1], item.values[2]));
    }
    if (item.code >= 1040 && item.code <= 1042) {
        return out + listNumber(item.values[0]);
    }
    if (item.code == 1070 || item.code == 1071) {
        return out + std::to_wstring(item.integer);
    }
    return out + quoted(item.text);
}

void properties(std::wostringstream& out, const AcDbEntity& entity) {
    if (const auto* line = AcDbLine::cast(&entity)) {
        out << L"from " << point(line->startPoint()) << L" to " << point(line->endPoint());
    } else if (const auto* circle = AcDbCircle::cast(&entity)) {
        out << L"centre " << point(circle->center()) << L", radius "
            << listNumber(circle->radius());
    } else if (const auto* polyline = AcDbPolyline::cast(&entity)) {
        out << (polyline->isClosed() ? L"closed, " : L"open, ") << polyline->numVerts()
            << L" vertices";
        for (unsigned int i = 0; i < polyline->numVerts(); ++i) {
            AcGePoint2d p;
            double bulge = 0.0;
            polyline->getPointAt(i, p);
            polyline->getBulgeAt(i, bulge);
            out << L" " << point(p);
            if (bulge != 0.0) {
                out << L" bulge " << listNumber(bulge);
            }
        }
        double area = 0.0;
        if (polyline->isClosed() && polyline->getArea(area) == Acad::eOk) {
            out << L", area " << listNumber(area);
        }
    } else if (const auto* reference = AcDbBlockReference::cast(&entity)) {
        const AcGeScale3d s = reference->scaleFactors();
        out << L"block " << quoted(recordName(reference->blockTableRecord())) << L" at "
            << point(reference->position()) << L", scale ";
        if (s.sx == s.sy && s.sy == s.sz) {
            out << listNumber(s.sx);
        } else {
            out << listNumber(s.sx) << L"," << listNumber(s.sy) << L"," << listNumber(s.sz);
        }
        out << L", rotation " << degrees(reference->rotation());
    } else if (const auto* text = AcDbText::cast(&entity)) {
        out << quoted(text->textStringConst()) << L" at " << point(text->position()) << L", height "
            << listNumber(text->height());
        if (text->rotation() != 0.0) {
            out << L", rotation " << degrees(text->rotation());
        }
    } else if (const auto* hatch = AcDbHatch::cast(&entity)) {
        out << L"pattern " << quoted(hatch->patternName()) << L", " << hatch->numLoops()
            << L" loop(s)";
        double area = 0.0;
        if (hatch->getArea(area) == Acad::eOk) {
            out << L", area " << listNumber(area);
        }
    } else {
        out << L"(no properties shown)";
    }
    if (entity.colorIndex() != 256) {
        out << L", colour " << entity.colorIndex();
    }
}

}  // namespace

std::wstring listNumber(double value) {
    if (std::fabs(value) < 0.00005) {
        return L"0";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    std::string s = buffer;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return std::wstring(s.begin(), s.end());
}

std::wstring describeEntity(const AcDbEntity& entity) {
    AcDbHandle handle;
    entity.getAcDbHandle(handle);
    std::wostringstream out;
    out << handle.text() << L" " << entity.isA()->name() << L" layer "
        << quoted(recordName(entity.layerId())) << L": ";
    properties(out, entity);
    out << L"\n";
    if (const auto* reference = AcDbBlockReference::cast(&entity)) {
        for (AcDbObjectId id : reference->qvAttributes()) {
            const auto* attribute = ObjectAccess::peekAs<AcDbAttribute>(id);
            if (attribute != nullptr && !attribute->isErased()) {
                out << L"    attribute " << attribute->tagConst() << L" "
                    << quoted(attribute->textStringConst()) << L"\n";
            }
        }
    }
    for (const XDataRecord& record : entity.qvXData()) {
        out << L"    xdata " << quoted(record.application) << L":";
        for (size_t i = 0; i < record.items.size(); ++i) {
            out << (i == 0 ? L" " : L", ") << xdataItem(record.items[i]);
        }
        out << L"\n";
    }
    return out.str();
}

namespace {

void listCommand() {
    const AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) {
        print(L"There is no drawing.\n");
        return;
    }
    const std::vector<AcDbObjectId> ids = layoutEntities(*db, true);
    if (ids.empty()) {
        print(L"The drawing has no entities.\n");
        return;
    }
    for (AcDbObjectId id : ids) {
        print(describeEntity(*ObjectAccess::peekAs<AcDbEntity>(id)));
    }
}

const bool g_registered = [] {
    registerHostCommand(L"LIST", listCommand);
    return true;
}();

}  // namespace

}  // namespace qv::host::ed
