#include "DrawingDump.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numbers>

#include "host/db/AcDbArc.h"
#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbTable.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbViewport.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/Codec.h"
#include "host/dxf/FileData.h"
#include "host/dxf/HeaderVariables.h"
#include "host/dxf/KeptObjects.h"
#include "win32/CodePage.h"

namespace qv::dxf::test {
namespace {

using qv::host::ObjectAccess;

std::string utf8(std::wstring_view text) {
    return qv::wideToUtf8(text);
}

std::string number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value == 0.0 ? 0.0 : value);
    return buffer;
}

std::string handleOf(AcDbObjectId id) {
    return id.isNull() ? "0" : utf8(id.handle().text());
}

std::string nameOf(AcDbObjectId id) {
    const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(id);
    return record != nullptr ? utf8(record->qvName()) : std::string();
}

std::string point(const AcGePoint3d& p) {
    return "(" + number(p.x) + " " + number(p.y) + " " + number(p.z) + ")";
}
std::string vector(const AcGeVector3d& v) {
    return "(" + number(v.x) + " " + number(v.y) + " " + number(v.z) + ")";
}
std::string color(const AcCmColor& c) {
    return std::to_string(c.colorMethod()) + ":" + std::to_string(c.color() & 0xFFFFFF);
}

void tags(std::string& out, const char* what, const TagList& list) {
    if (list.empty()) {
        return;
    }
    out += "  ";
    out += what;
    for (const TagView tag : list) {
        out += " " + std::to_string(tag.code) + "=" + std::string(tag.value);
    }
    out += "\n";
}

// Leftovers by place: where they were kept in the list does not matter, only where they go.
void leftovers(std::string& out, const TagList& list) {
    std::map<std::string, std::string> byPlace;
    std::string* run = nullptr;
    for (const TagView tag : list) {
        if (tag.code == kPlaceCode) {
            run = &byPlace[std::string(tag.value)];
        } else if (run != nullptr) {
            *run += " " + std::to_string(tag.code) + "=" + std::string(tag.value);
        }
    }
    for (const auto& [place, text] : byPlace) {
        out += "  leftovers at " + place + ":" + text + "\n";
    }
}

void xdata(std::string& out, const AcDbObject& o) {
    for (const qv::host::XDataRecord& record : o.qvXData()) {
        out += "  xdata " + utf8(record.application);
        for (const qv::host::XDataItem& item : record.items) {
            out += " " + std::to_string(item.code) + "=" + utf8(item.text) + "/" +
                   number(item.values[0]) + "," + number(item.values[1]) + "," +
                   number(item.values[2]) + "/" + std::to_string(item.integer) + "/" +
                   std::to_string(item.binary.size());
        }
        out += "\n";
    }
}

void entityProperties(std::string& out, const AcDbEntity& e) {
    out += "  entity layer=" + nameOf(e.layerId()) + " linetype=" + nameOf(e.linetypeId()) +
           " color=" + color(e.color()) + " weight=" + std::to_string(e.lineWeight()) +
           " scale=" + number(e.linetypeScale()) + " visible=" + std::to_string(e.visibility()) +
           "\n";
}

void textProperties(std::string& out, const AcDbText& t) {
    out += "  text '" + utf8(t.textStringConst()) + "' at " + point(t.position()) + " align " +
           point(t.alignmentPoint()) + " normal " + vector(t.normal()) + " thickness " +
           number(t.thickness()) + " oblique " + number(t.oblique()) + " rotation " +
           number(t.rotation()) + " height " + number(t.height()) + " width " +
           number(t.widthFactor()) + " style " + nameOf(t.textStyle()) + " modes " +
           std::to_string(t.horizontalMode()) + "/" + std::to_string(t.verticalMode()) + "\n";
}

void properties(std::string& out, const AcDbObject& o) {
    if (const auto* e = AcDbEntity::cast(&o)) {
        entityProperties(out, *e);
    }
    if (const auto* line = AcDbLine::cast(&o)) {
        out += "  line " + point(line->startPoint()) + " " + point(line->endPoint()) + " " +
               vector(line->normal()) + " " + number(line->thickness()) + "\n";
    } else if (const auto* arc = AcDbArc::cast(&o)) {
        out += "  arc " + point(arc->center()) + " " + number(arc->radius()) + " " +
               number(arc->startAngle()) + " " + number(arc->endAngle()) + " " +
               vector(arc->normal()) + " " + number(arc->thickness()) + "\n";
    } else if (const auto* circle = AcDbCircle::cast(&o)) {
        out += "  circle " + point(circle->center()) + " " + number(circle->radius()) + " " +
               vector(circle->normal()) + " " + number(circle->thickness()) + "\n";
    } else if (const auto* pl = AcDbPolyline::cast(&o)) {
        double width = 0.0;
        pl->getConstantWidth(width);
        out += "  polyline closed=" + std::to_string(pl->isClosed()) + " elevation " +
               number(pl->elevation()) + " normal " + vector(pl->normal()) + " thickness " +
               number(pl->thickness()) + " width " + number(width) + "\n";
        for (unsigned int i = 0; i < pl->numVerts(); ++i) {
            AcGePoint2d p;
            double bulge = 0.0, sw = 0.0, ew = 0.0;
            pl->getPointAt(i, p);
            pl->getBulgeAt(i, bulge);
            pl->getWidthsAt(i, sw, ew);
            out += "   vertex " + number(p.x) + " " + number(p.y) + " " + number(bulge) + " " +
                   number(sw) + " " + number(ew) + "\n";
        }
    } else if (const auto* attdef = AcDbAttributeDefinition::cast(&o)) {
        textProperties(out, *attdef);
        out += "  attdef tag '" + utf8(attdef->tagConst()) + "' prompt '" +
               utf8(attdef->promptConst()) + "' flags " + std::to_string(attdef->isInvisible()) +
               std::to_string(attdef->isConstant()) + std::to_string(attdef->isVerifiable()) +
               std::to_string(attdef->isPreset()) + " length " +
               std::to_string(attdef->fieldLength()) + "\n";
    } else if (const auto* attrib = AcDbAttribute::cast(&o)) {
        textProperties(out, *attrib);
        out += "  attrib tag '" + utf8(attrib->tagConst()) + "' invisible " +
               std::to_string(attrib->isInvisible()) + " length " +
               std::to_string(attrib->fieldLength()) + "\n";
    } else if (const auto* text = AcDbText::cast(&o)) {
        textProperties(out, *text);
    } else if (const auto* table = AcDbTable::cast(&o)) {
        out += "  table " + nameOf(table->qvTableBlock()) + " at " + point(table->position()) +
               " direction " + vector(table->direction()) + " style " +
               handleOf(table->tableStyle()) + " flow " + std::to_string(table->flowDirection()) +
               " margins " + number(table->horzCellMargin()) + " " +
               number(table->vertCellMargin()) + " suppressed " +
               std::to_string(table->isTitleSuppressed()) +
               std::to_string(table->isHeaderSuppressed()) + "\n  rows";
        for (int r = 0; r < table->numRows(); ++r) {
            out += " " + number(table->rowHeight(r));
        }
        out += "\n  columns";
        for (int c = 0; c < table->numColumns(); ++c) {
            out += " " + number(table->columnWidth(c));
        }
        for (int i = 0; i < 3; ++i) {
            const AcDbTableStyle::RowSettings& row = table->qvRowSettings(i);
            out += "\n  row type " + std::to_string(i) + " " + nameOf(row.textStyle) + " " +
                   number(row.textHeight) + " " + std::to_string(row.alignment);
        }
        for (int r = 0; r < table->numRows(); ++r) {
            for (int c = 0; c < table->numColumns(); ++c) {
                const AcDbTable::Cell& cell = *table->qvCell(r, c);
                out += "\n  cell " + std::to_string(r) + "," + std::to_string(c) + " type " +
                       std::to_string(cell.type) + " '" + utf8(cell.text) + "' block " +
                       nameOf(cell.block) + " fit " + std::to_string(cell.autoFit) + " scale " +
                       number(cell.blockScale) + " height " + number(cell.textHeight) +
                       " alignment " + std::to_string(cell.alignment);
            }
        }
        for (const AcDbTable::Range& m : table->qvMerged()) {
            out += "\n  merged " + std::to_string(m.minRow) + "-" + std::to_string(m.maxRow) + "," +
                   std::to_string(m.minColumn) + "-" + std::to_string(m.maxColumn);
        }
        out += "\n";
    } else if (const auto* ref = AcDbBlockReference::cast(&o)) {
        const AcGeScale3d s = ref->scaleFactors();
        out += "  insert " + nameOf(ref->blockTableRecord()) + " at " + point(ref->position()) +
               " scale " + number(s.sx) + " " + number(s.sy) + " " + number(s.sz) + " rotation " +
               number(ref->rotation()) + " normal " + vector(ref->normal()) + " attributes";
        for (const AcDbObjectId& id : ref->qvAttributes()) {
            out += " " + handleOf(id);
        }
        out += "\n";
    } else if (const auto* hatch = AcDbHatch::cast(&o)) {
        out += "  hatch " + utf8(hatch->patternName()) + " type " +
               std::to_string(hatch->patternType()) + " angle " + number(hatch->patternAngle()) +
               " scale " + number(hatch->patternScale()) + " space " +
               number(hatch->patternSpace()) + " double " + std::to_string(hatch->patternDouble()) +
               " style " + std::to_string(hatch->hatchStyle()) + " associative " +
               std::to_string(hatch->associative()) + " normal " + vector(hatch->normal()) +
               " elevation " + number(hatch->elevation()) + "\n";
        for (const AcDbHatch::Loop& loop : hatch->qvLoops()) {
            out += "   loop " + std::to_string(loop.type);
            for (size_t i = 0; i < loop.vertices.size(); ++i) {
                out += " " + number(loop.vertices[i].x) + "," + number(loop.vertices[i].y) + "," +
                       number(i < loop.bulges.size() ? loop.bulges[i] : 0.0);
            }
            for (const AcDbObjectId& id : loop.objects) {
                out += " object " + handleOf(id);
            }
            out += "\n";
        }
    } else if (const auto* layer = AcDbLayerTableRecord::cast(&o)) {
        out += "  layer " + utf8(layer->qvName()) + " color " + color(layer->color()) + " frozen " +
               std::to_string(layer->isFrozen()) + " off " + std::to_string(layer->isOff()) +
               " locked " + std::to_string(layer->isLocked()) + " plot " +
               std::to_string(layer->isPlottable()) + " weight " +
               std::to_string(layer->lineWeight()) + " linetype " +
               nameOf(layer->linetypeObjectId()) + "\n";
    } else if (const auto* ltype = AcDbLinetypeTableRecord::cast(&o)) {
        out += "  linetype " + utf8(ltype->qvName()) + " '" + utf8(ltype->comments()) + "' " +
               number(ltype->patternLength());
        for (int i = 0; i < ltype->numDashes(); ++i) {
            out += " " + number(ltype->dashLengthAt(i));
        }
        out += "\n";
    } else if (const auto* style = AcDbTextStyleTableRecord::cast(&o)) {
        const ACHAR* file = L"";
        const ACHAR* big = L"";
        style->fileName(file);
        style->bigFontFileName(big);
        out += "  style " + utf8(style->qvName()) + " " + number(style->textSize()) + " " +
               number(style->xScale()) + " " + number(style->obliquingAngle()) + " " +
               number(style->priorSize()) + " " + utf8(file) + " " + utf8(big) + "\n";
    } else if (const auto* block = AcDbBlockTableRecord::cast(&o)) {
        out += "  block " + utf8(block->qvName()) + " origin " + point(block->origin()) +
               " layout " + handleOf(block->getLayoutId()) + " '" + utf8(block->comments()) +
               "' entities";
        for (const AcDbObjectId& id : block->qvEntities()) {
            out += " " + handleOf(id);
        }
        out += "\n";
    } else if (const auto* record = AcDbSymbolTableRecord::cast(&o)) {
        out += "  record " + utf8(record->qvName()) + "\n";
    } else if (const auto* table = AcDbSymbolTable::cast(&o)) {
        out += "  records";
        for (const AcDbObjectId& id : table->qvRecords()) {
            out += " " + handleOf(id);
        }
        out += "\n";
    } else if (const auto* dictionary = AcDbDictionary::cast(&o)) {
        out += "  entries";
        for (const AcDbDictionary::Entry& entry : dictionary->qvEntries()) {
            out += " " + utf8(entry.key) + "=" + handleOf(entry.id);
        }
        out += "\n";
    }
    if (const KeptTags* kept = keptTagsOf(o)) {
        out += "  kept " + kept->type + "\n";
        tags(out, "groups", kept->groups);
        tags(out, "common", kept->common);
        tags(out, "body", kept->body);
        for (const KeptChild& child : kept->children) {
            out += "  child " + child.type + " " + std::to_string(child.groupTags) + "\n";
            tags(out, "tags", child.tags);
        }
    }
}

}  // namespace

std::string dumpDatabase(const AcDbDatabase& db) {
    std::string out;
    out += "header clayer " + nameOf(db.clayer()) + " textstyle " + nameOf(db.textstyle()) +
           " lunits " + std::to_string(db.lunits()) + " luprec " + std::to_string(db.luprec()) +
           " insunits " + std::to_string(db.insunits()) + " sortents " +
           std::to_string(db.sortEnts()) + " textsize " + number(db.textsize()) + " tilemode " +
           std::to_string(db.tilemode()) + " ucs " + point(db.ucsorg()) + vector(db.ucsxdir()) +
           vector(db.ucsydir()) + "\n";
    out += "roots " + handleOf(db.blockTableId()) + " " + handleOf(db.layerTableId()) + " " +
           handleOf(db.linetypeTableId()) + " " + handleOf(db.textStyleTableId()) + " " +
           handleOf(db.regAppTableId()) + " " + handleOf(db.namedObjectsDictionaryId()) + "\n";
    const FileData* data = fileDataOf(db);
    db.qvForEachObject([&](AcDbObject& o) {
        out += handleOf(o.objectId()) + " " + utf8(o.isA()->name()) + " owner " +
               handleOf(o.ownerId()) + (o.isErased() ? " erased" : "") + " xdict " +
               handleOf(o.extensionDictionary()) + "\n";
        properties(out, o);
        xdata(out, o);
        if (data != nullptr) {
            if (const ObjectExtras* extras = data->extras(o.objectId().handle().value())) {
                tags(out, "extra groups", extras->groups);
                leftovers(out, extras->tags);
            }
        }
    });
    if (data != nullptr) {
        for (const Record& variable : data->header) {
            if (findHeaderVariable(variable.type) == nullptr) {
                tags(out, ("variable " + variable.type).c_str(), variable.tags);
            }
        }
        for (const Record& record : data->classes) {
            tags(out, "class", record.tags);
        }
        for (const Section& section : data->otherSections) {
            out += "section " + section.name + "\n";
            for (const Record& record : section.records) {
                tags(out, record.type.c_str(), record.tags);
            }
        }
        for (const KeptTable& table : data->keptTables) {
            out += "kept table " + table.name + " " + handleOf(table.head);
            for (const AcDbObjectId& id : table.entries) {
                out += " " + handleOf(id);
            }
            out += "\n";
        }
        out += "objects";
        for (const AcDbObjectId& id : data->objectOrder) {
            out += " " + handleOf(id);
        }
        out += "\n";
    }
    return out;
}

// ---- JSON for ezdxf_check.py ----

namespace {

class Json {
  public:
    std::string& out() { return m_out; }
    void string(std::string_view text) {
        m_out += '"';
        for (const char c : text) {
            if (c == '"' || c == '\\') {
                m_out += '\\';
                m_out += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                m_out += buffer;
            } else {
                m_out += c;
            }
        }
        m_out += '"';
    }
    void key(std::string_view name) {
        comma();
        string(name);
        m_out += ':';
        m_first = true;
        m_afterKey = true;
    }
    void open(char bracket) {
        comma();
        m_out += bracket;
        m_first = true;
    }
    void close(char bracket) {
        m_out += bracket;
        m_first = false;
    }
    void value(std::string_view text) {
        comma();
        string(text);
    }
    void value(double number) {
        comma();
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17g", number);
        m_out += buffer;
    }
    void value(std::int64_t number) {
        comma();
        m_out += std::to_string(number);
    }
    void boolean(bool flag) {
        comma();
        m_out += flag ? "true" : "false";
    }
    void point(const AcGePoint3d& p) {
        open('[');
        value(p.x);
        value(p.y);
        value(p.z);
        close(']');
    }
    // A key and its value.
    void field(std::string_view name, std::string_view text) { key(name); value(text); }
    void field(std::string_view name, double number) { key(name); value(number); }
    void field(std::string_view name, std::int64_t number) { key(name); value(number); }
    void field(std::string_view name, const AcGePoint3d& p) { key(name); point(p); }
    void flag(std::string_view name, bool flag) { key(name); boolean(flag); }

  private:
    void comma() {
        if (!m_first && !m_afterKey) {
            m_out += ',';
        }
        m_first = false;
        m_afterKey = false;
    }
    std::string m_out;
    bool m_first = true;
    bool m_afterKey = false;
};

double degrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return text;
}

void describeXData(Json& j, const AcDbObject& o) {
    j.key("xdata");
    j.open('{');
    for (const qv::host::XDataRecord& record : o.qvXData()) {
        j.key(upper(utf8(record.application)));
        j.open('[');
        for (const qv::host::XDataItem& item : record.items) {
            j.open('[');
            j.value(std::int64_t{item.code});
            if (item.code >= 1010 && item.code <= 1013) {
                j.point(AcGePoint3d(item.values[0], item.values[1], item.values[2]));
            } else if (item.code >= 1040 && item.code <= 1042) {
                j.value(item.values[0]);
            } else if (item.code == 1070 || item.code == 1071) {
                j.value(std::int64_t{item.integer});
            } else if (item.code == 1004) {
                std::string hex;
                for (unsigned char b : item.binary) {
                    char buffer[4];
                    std::snprintf(buffer, sizeof buffer, "%02X", b);
                    hex += buffer;
                }
                j.value(hex);
            } else {
                j.value(utf8(item.text));
            }
            j.close(']');
        }
        j.close(']');
    }
    j.close('}');
}

void describeText(Json& j, const AcDbText& t) {
    j.field("text", utf8(t.textStringConst()));
    j.field("insert", t.position());
    j.field("height", t.height());
    j.field("rotation", degrees(t.rotation()));
    j.field("style", nameOf(t.textStyle()));
}

void describeEntity(Json& j, const AcDbEntity& e) {
    j.open('{');
    const KeptTags* kept = keptTagsOf(e);
    const Codec* codec = codecForObject(e);
    const std::string type(kept    ? std::string_view(kept->type)
                           : codec ? codec->type()
                                   : std::string_view("?"));
    j.field("type", type);
    if (kept != nullptr) {
        j.flag("kept", true);
    }
    j.field("handle", handleOf(e.objectId()));
    j.field("layer", nameOf(e.layerId()));
    describeXData(j, e);
    if (const auto* line = AcDbLine::cast(&e)) {
        j.field("start", line->startPoint());
        j.field("end", line->endPoint());
    } else if (const auto* arc = AcDbArc::cast(&e)) {
        j.field("center", arc->center());
        j.field("radius", arc->radius());
        j.field("start_angle", degrees(arc->startAngle()));
        j.field("end_angle", degrees(arc->endAngle()));
    } else if (const auto* circle = AcDbCircle::cast(&e)) {
        j.field("center", circle->center());
        j.field("radius", circle->radius());
    } else if (const auto* pl = AcDbPolyline::cast(&e)) {
        j.flag("closed", pl->isClosed());
        j.key("points");
        j.open('[');
        for (unsigned int i = 0; i < pl->numVerts(); ++i) {
            AcGePoint2d p;
            double bulge = 0.0;
            pl->getPointAt(i, p);
            pl->getBulgeAt(i, bulge);
            j.open('[');
            j.value(p.x);
            j.value(p.y);
            j.value(bulge);
            j.close(']');
        }
        j.close(']');
    } else if (const auto* attdef = AcDbAttributeDefinition::cast(&e)) {
        describeText(j, *attdef);
        j.field("tag", utf8(attdef->tagConst()));
        j.field("prompt", utf8(attdef->promptConst()));
        j.key("flags");
        j.value(static_cast<std::int64_t>(
            (attdef->isInvisible() ? 1 : 0) | (attdef->isConstant() ? 2 : 0) |
            (attdef->isVerifiable() ? 4 : 0) | (attdef->isPreset() ? 8 : 0)));
        j.field("field_length", static_cast<std::int64_t>(attdef->fieldLength()));
    } else if (const auto* text = AcDbText::cast(&e)) {
        describeText(j, *text);
    } else if (AcDbTable::cast(&e) != nullptr) {
        // ezdxf_tables.py compares tables.
    } else if (const auto* ref = AcDbBlockReference::cast(&e)) {
        j.field("name", nameOf(ref->blockTableRecord()));
        j.field("insert", ref->position());
        const AcGeScale3d s = ref->scaleFactors();
        j.field("scale", AcGePoint3d(s.sx, s.sy, s.sz));
        j.field("rotation", degrees(ref->rotation()));
        const auto* array = AcDbMInsertBlock::cast(ref);
        j.key("array");
        j.open('[');
        j.value(static_cast<std::int64_t>(array != nullptr ? array->columns() : 1));
        j.value(static_cast<std::int64_t>(array != nullptr ? array->rows() : 1));
        j.value(array != nullptr ? array->columnSpacing() : 0.0);
        j.value(array != nullptr ? array->rowSpacing() : 0.0);
        j.close(']');
        j.key("attribs");
        j.open('[');
        for (const AcDbObjectId& id : ref->qvAttributes()) {
            const auto* a = ObjectAccess::peekAs<AcDbAttribute>(id);
            if (a == nullptr || a->isErased()) {
                continue;
            }
            j.open('{');
            j.field("tag", utf8(a->tagConst()));
            j.field("text", utf8(a->textStringConst()));
            j.field("handle", handleOf(id));
            j.field("insert", a->position());
            describeXData(j, *a);
            j.close('}');
        }
        j.close(']');
    } else if (const auto* viewport = AcDbViewport::cast(&e)) {
        j.field("center", viewport->centerPoint());
        j.field("width", viewport->width());
        j.field("height", viewport->height());
        j.field("view_height", viewport->viewHeight());
        j.key("frozen");
        j.open('[');
        for (const AcDbObjectId& layer : viewport->qvFrozenLayers()) {
            j.value(nameOf(layer));
        }
        j.close(']');
    } else if (const auto* hatch = AcDbHatch::cast(&e)) {
        j.field("pattern", upper(utf8(hatch->patternName())));
        j.flag("solid", hatch->isSolidFill());
        j.field("pattern_type", std::int64_t{hatch->patternType()});
        if (!hatch->isSolidFill()) {
            const bool user = hatch->patternType() == AcDbHatch::kUserDefined;
            j.field("angle", degrees(hatch->patternAngle()));
            j.field("scale", user ? hatch->patternSpace() : hatch->patternScale());
            j.flag("double", user && hatch->patternDouble());
        }
        j.key("loops");
        j.open('[');
        for (const AcDbHatch::Loop& loop : hatch->qvLoops()) {
            j.open('[');
            for (size_t i = 0; i < loop.vertices.size(); ++i) {
                j.open('[');
                j.value(loop.vertices[i].x);
                j.value(loop.vertices[i].y);
                j.value(i < loop.bulges.size() ? loop.bulges[i] : 0.0);
                j.close(']');
            }
            j.close(']');
        }
        j.close(']');
    }
    j.close('}');
}

template <class Table>
void names(Json& j, const char* key, AcDbObjectId tableId) {
    j.key(key);
    j.open('[');
    std::vector<std::string> all;
    if (const auto* table = ObjectAccess::peekAs<AcDbSymbolTable>(tableId)) {
        for (const AcDbObjectId& id : table->qvRecords()) {
            const std::string name = nameOf(id);
            if (!ObjectAccess::peek(id)->isErased() && !name.empty()) {
                all.push_back(upper(name));
            }
        }
    }
    std::sort(all.begin(), all.end());
    for (const std::string& name : all) {
        j.value(name);
    }
    j.close(']');
}

}  // namespace

std::string describeForEzdxf(const AcDbDatabase& db) {
    Json j;
    j.open('{');
    j.key("layers");
    j.open('{');
    if (const auto* layers = ObjectAccess::peekAs<AcDbSymbolTable>(db.layerTableId())) {
        for (const AcDbObjectId& id : layers->qvRecords()) {
            const auto* layer = ObjectAccess::peekAs<AcDbLayerTableRecord>(id);
            if (layer == nullptr || layer->isErased()) {
                continue;
            }
            j.key(upper(utf8(layer->qvName())));
            j.open('{');
            j.field("name", utf8(layer->qvName()));
            j.field("color", std::int64_t{layer->color().colorIndex()});
            j.flag("off", layer->isOff());
            j.flag("frozen", layer->isFrozen());
            j.flag("locked", layer->isLocked());
            j.field("linetype", upper(nameOf(layer->linetypeObjectId())));
            j.close('}');
        }
    }
    j.close('}');
    names<AcDbLinetypeTable>(j, "linetypes", db.linetypeTableId());
    names<AcDbTextStyleTable>(j, "styles", db.textStyleTableId());
    names<AcDbRegAppTable>(j, "appids", db.regAppTableId());
    j.key("blocks");
    j.open('{');
    if (const auto* blocks = ObjectAccess::peekAs<AcDbSymbolTable>(db.blockTableId())) {
        for (const AcDbObjectId& id : blocks->qvRecords()) {
            const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(id);
            if (block == nullptr || block->isErased()) {
                continue;
            }
            j.key(upper(utf8(block->qvName())));
            j.open('[');
            for (const AcDbObjectId& entityId : block->qvEntities()) {
                const auto* entity = ObjectAccess::peekAs<AcDbEntity>(entityId);
                if (entity != nullptr && !entity->isErased()) {
                    describeEntity(j, *entity);
                }
            }
            j.close(']');
        }
    }
    j.close('}');
    j.close('}');
    return j.out();
}

int runEzdxfCheck(const std::vector<std::string>& arguments, std::string& output) {
    return runCheckScript("ezdxf_check.py", arguments, output);
}

int runCheckScript(const std::string& script, const std::vector<std::string>& arguments,
                   std::string& output) {
    const char* source = std::getenv("QV_SOURCE_DIR");
    if (source == nullptr) {
        output = "QV_SOURCE_DIR is not set";
        return -1;
    }
    std::string command =
        "/usr/bin/python3 '" + std::string(source) + "/tests/platform/host_dxf/" + script + "'";
    for (const std::string& argument : arguments) {
        command += " '" + argument + "'";
    }
    command += " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        output = "cannot run " + command;
        return -1;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int auditWithEzdxf(const std::vector<std::string>& drawings, std::string& output) {
    const TempFolder folder;
    for (size_t i = 0; i < drawings.size(); ++i) {
        std::ofstream(folder.path() / ("drawing" + std::to_string(i) + ".dxf"), std::ios::binary)
            << drawings[i];
    }
    return runEzdxfCheck({"audit", folder.path().string()}, output);
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qv-dxf-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

AcDbObjectId append(AcDbObjectId blockId, AcDbEntity* entity) {
    AcDbBlockTableRecord* block = nullptr;
    EXPECT_EQ(acdbOpenObject(block, blockId, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(block->appendAcDbEntity(id, entity), Acad::eOk);
    entity->close();
    block->close();
    return id;
}

AcDbObjectId addBlock(AcDbDatabase& db, const ACHAR* name, const AcGePoint3d& origin) {
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(db.getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    auto* record = new AcDbBlockTableRecord;
    record->setName(name);
    record->setOrigin(origin);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, record), Acad::eOk);
    record->close();
    table->close();
    return id;
}

}  // namespace qv::dxf::test
