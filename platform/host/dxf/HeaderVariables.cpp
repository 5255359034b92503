#include "host/dxf/HeaderVariables.h"

#include "host/db/SymbolTables.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

std::string_view valueOf(std::span<const TagView> tags, int code) {
    for (const TagView& tag : tags) {
        if (tag.code == code) {
            return tag.value;
        }
    }
    return {};
}

std::optional<std::int64_t> integerOf(std::span<const TagView> tags, int code) {
    std::int64_t value = 0;
    if (parseInteger(valueOf(tags, code), value)) {
        return value;
    }
    return std::nullopt;
}

std::optional<AcGePoint3d> pointOf(std::span<const TagView> tags) {
    double xyz[3] = {0.0, 0.0, 0.0};
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        any = parseDouble(valueOf(tags, 10 + 10 * i), xyz[i]) || any;
    }
    if (!any) {
        return std::nullopt;
    }
    return AcGePoint3d(xyz[0], xyz[1], xyz[2]);
}

std::optional<AcGeVector3d> vectorOf(std::span<const TagView> tags) {
    if (const auto p = pointOf(tags)) {
        return AcGeVector3d(p->x, p->y, p->z);
    }
    return std::nullopt;
}

void writeName(WriteContext& c, int code, AcDbObjectId id, std::string_view fallback) {
    const std::string& name = c.nameOf(id);
    c.out().raw(code, name.empty() ? fallback : std::string_view(name));
}

const HeaderVariable kVariables[] = {
    {"$ACADVER", [](HeaderValues&, std::span<const TagView>) {},
     [](const AcDbDatabase&, WriteContext& c) { c.out().raw(1, "AC1027"); }},
    {"$DWGCODEPAGE", [](HeaderValues&, std::span<const TagView>) {},
     [](const AcDbDatabase&, WriteContext& c) { c.out().raw(3, "ANSI_1252"); }},
    {"$INSUNITS",
     [](HeaderValues& v, std::span<const TagView> t) { v.insunits = integerOf(t, 70); },
     [](const AcDbDatabase& d, WriteContext& c) { c.out().integer(70, d.insunits()); }},
    {"$LUNITS", [](HeaderValues& v, std::span<const TagView> t) { v.lunits = integerOf(t, 70); },
     [](const AcDbDatabase& d, WriteContext& c) { c.out().integer(70, d.lunits()); }},
    {"$LUPREC", [](HeaderValues& v, std::span<const TagView> t) { v.luprec = integerOf(t, 70); },
     [](const AcDbDatabase& d, WriteContext& c) { c.out().integer(70, d.luprec()); }},
    {"$TEXTSIZE",
     [](HeaderValues& v, std::span<const TagView> t) {
         double size = 0.0;
         if (parseDouble(valueOf(t, 40), size)) {
             v.textsize = size;
         }
     },
     [](const AcDbDatabase& d, WriteContext& c) { c.out().real(40, d.textsize()); }},
    {"$TEXTSTYLE",
     [](HeaderValues& v, std::span<const TagView> t) {
         v.textstyle = std::string(valueOf(t, 7));
         v.textstyleLine = v.line;
     },
     [](const AcDbDatabase& d, WriteContext& c) { writeName(c, 7, d.textstyle(), "Standard"); }},
    {"$CLAYER",
     [](HeaderValues& v, std::span<const TagView> t) {
         v.clayer = std::string(valueOf(t, 8));
         v.clayerLine = v.line;
     },
     [](const AcDbDatabase& d, WriteContext& c) { writeName(c, 8, d.clayer(), "0"); }},
    {"$TILEMODE",
     [](HeaderValues& v, std::span<const TagView> t) { v.tilemode = integerOf(t, 70); },
     [](const AcDbDatabase& d, WriteContext& c) { c.out().integer(70, d.tilemode() ? 1 : 0); }},
    {"$SORTENTS",
     [](HeaderValues& v, std::span<const TagView> t) { v.sortents = integerOf(t, 280); },
     [](const AcDbDatabase& d, WriteContext& c) { c.out().integer(280, d.sortEnts()); }},
    {"$UCSORG", [](HeaderValues& v, std::span<const TagView> t) { v.ucsorg = pointOf(t); },
     [](const AcDbDatabase& d, WriteContext& c) {
         const AcGePoint3d p = d.ucsorg();
         c.out().point(10, p.x, p.y, p.z);
     }},
    {"$UCSXDIR", [](HeaderValues& v, std::span<const TagView> t) { v.ucsxdir = vectorOf(t); },
     [](const AcDbDatabase& d, WriteContext& c) {
         const AcGeVector3d x = d.ucsxdir();
         c.out().point(10, x.x, x.y, x.z);
     }},
    {"$UCSYDIR", [](HeaderValues& v, std::span<const TagView> t) { v.ucsydir = vectorOf(t); },
     [](const AcDbDatabase& d, WriteContext& c) {
         const AcGeVector3d y = d.ucsydir();
         c.out().point(10, y.x, y.y, y.z);
     }},
    {"$HANDSEED",
     [](HeaderValues& v, std::span<const TagView> t) { parseHandle(valueOf(t, 5), v.handseed); },
     [](const AcDbDatabase&, WriteContext& c) { c.seedPlaceholder(); }},
};

void refused(ReadContext& context, const char* name, std::uint32_t line) {
    context.warn(Fix::RefusedValue, line,
                 std::string("the value of ") + name + " is not valid; the default was kept");
}

}  // namespace

std::span<const HeaderVariable> headerVariables() {
    return kVariables;
}

const HeaderVariable* findHeaderVariable(std::string_view name) {
    for (const HeaderVariable& v : kVariables) {
        if (v.name == name) {
            return &v;
        }
    }
    return nullptr;
}

void applyHeader(const HeaderValues& v, AcDbDatabase& db, ReadContext& context) {
    auto check = [&](Acad::ErrorStatus es, const char* name) {
        if (es != Acad::eOk) {
            refused(context, name, 0);
        }
    };
    if (v.insunits) {
        // (the host's units end with kilometres: a value beyond is no AcDb::UnitsValue)
        check(*v.insunits >= AcDb::kUnitsUndefined && *v.insunits <= AcDb::kUnitsKilometers
                  ? db.setInsunits(static_cast<AcDb::UnitsValue>(*v.insunits))
                  : Acad::eInvalidInput,
              "$INSUNITS");
    }
    if (v.lunits) {
        check(db.setLunits(static_cast<Adesk::Int16>(*v.lunits)), "$LUNITS");
    }
    if (v.luprec) {
        check(db.setLuprec(static_cast<Adesk::Int16>(*v.luprec)), "$LUPREC");
    }
    if (v.textsize) {
        check(db.setTextsize(*v.textsize), "$TEXTSIZE");
    }
    if (v.tilemode) {
        db.setTilemode(*v.tilemode != 0);
    }
    if (v.sortents) {
        check(*v.sortents >= 0 && *v.sortents <= 127
                  ? db.setSortEnts(static_cast<Adesk::UInt8>(*v.sortents))
                  : Acad::eInvalidInput,
              "$SORTENTS");
    }
    if (v.ucsorg || v.ucsxdir || v.ucsydir) {
        check(db.setUcs(v.ucsorg.value_or(db.ucsorg()), v.ucsxdir.value_or(db.ucsxdir()),
                        v.ucsydir.value_or(db.ucsydir())),
              "$UCSXDIR and $UCSYDIR");
    }
    if (!v.clayer.empty()) {
        AcDbObject* layer = context.findName(NameTable::Layer, v.clayer);
        // (a frozen layer 0 stays current when nothing else can be: nothing to report then)
        if (layer == nullptr ||
            (layer->objectId() != db.clayer() && db.setClayer(layer->objectId()) != Acad::eOk)) {
            context.warn(Fix::MissingReference, v.clayerLine,
                         "the current layer '" + v.clayer +
                             "' does not exist or is frozen; layer 0 is current");
        }
    }
    if (!v.textstyle.empty()) {
        AcDbObject* style = context.findName(NameTable::TextStyle, v.textstyle);
        if (style == nullptr || (style->objectId() != db.textstyle() &&
                                 db.setTextstyle(style->objectId()) != Acad::eOk)) {
            context.warn(
                Fix::MissingReference, v.textstyleLine,
                "the current text style '" + v.textstyle + "' does not exist; Standard is current");
        }
    }
}

}  // namespace qv::dxf
