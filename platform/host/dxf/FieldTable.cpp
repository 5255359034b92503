#include "host/dxf/FieldTable.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "host/dxf/GroupCode.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/ReadContext.h"
#include "host/dxf/WriteContext.h"

namespace qv::dxf {

// ---- angles ----

double degreesToRadians(double degrees) {
    return degrees * (std::numbers::pi / 180.0);
}

double radiansToDegrees(double radians) {
    const double degrees = radians * (180.0 / std::numbers::pi);
    if (degreesToRadians(degrees) == radians) {
        return degrees;
    }
    double down = degrees, up = degrees;
    for (int step = 0; step < 8; ++step) {
        down = std::nextafter(down, -HUGE_VAL);
        up = std::nextafter(up, HUGE_VAL);
        if (degreesToRadians(down) == radians) {
            return down;
        }
        if (degreesToRadians(up) == radians) {
            return up;
        }
    }
    return degrees;
}

// ---- reading ----

namespace {

// The component of a field that a code gives: 0 to 2, or -1 when the field has no such code.
int componentOf(const Field& field, int code) {
    if (field.kind == FieldKind::Point || field.kind == FieldKind::Vector) {
        const int offset = code - field.code;
        return offset == 0 || offset == 10 || offset == 20 ? offset / 10 : -1;
    }
    return code == field.code ? 0 : -1;
}

}  // namespace

bool FieldReader::take(const TagView& tag) {
    bool taken = false;
    const size_t count = m_fields.size();
    for (size_t i = 0; i < count; ++i) {
        const Field& field = m_fields[i];
        const int component = componentOf(field, tag.code);
        if (component < 0) {
            continue;
        }
        FieldValue& value = m_values[i];
        const auto bit = static_cast<std::uint8_t>(1u << component);
        if (value.seen & bit) {
            // A second value for one field: it would be read instead of the first next time.
            if (!taken) {
                m_context.warn(Fix::InvalidValue, tag.line,
                               "group code " + std::to_string(tag.code) + " appears twice in " +
                                   std::string(m_context.recordType()) +
                                   "; the second value was dropped");
            }
            return true;
        }
        bool ok = true;
        switch (field.kind) {
            case FieldKind::Real:
            case FieldKind::Angle:
            case FieldKind::Point:
            case FieldKind::Vector:
                ok = parseDouble(tag.value, value.xyz[component]);
                break;
            case FieldKind::Integer:
            case FieldKind::Bit:
                ok = parseInteger(tag.value, value.integer);
                break;
            case FieldKind::Text:
                value.text = tag.value;
                break;
        }
        if (!ok) {
            return false;
        }
        if (value.seen == 0 || value.line == 0) {
            value.line = tag.line;
        }
        value.seen |= bit;
        taken = true;
        if (field.kind != FieldKind::Bit) {
            return true;
        }
    }
    return taken;
}

void FieldReader::leftover(const TagView& tag, int item) {
    m_context.leftover({m_ordinal, item}, tag);
}

void FieldReader::apply(AcDbObject& object) {
    const size_t count = m_fields.size();
    for (size_t i = 0; i < count; ++i) {
        const Field& field = m_fields[i];
        FieldValue& value = m_values[i];
        if (value.seen == 0) {
            continue;
        }
        if (field.kind == FieldKind::Bit) {
            // The first Bit field of a code keeps the bits that no field of the code takes.
            bool first = true;
            std::int64_t taken = 0;
            for (size_t j = 0; j < count; ++j) {
                if (m_fields[j].kind == FieldKind::Bit && m_fields[j].code == field.code) {
                    first = first && j >= i;
                    taken |= m_fields[j].mask;
                }
            }
            if (first && (value.integer & ~taken) != 0) {
                std::string bits;
                appendInteger(bits, value.integer & ~taken);
                m_context.leftover({m_ordinal, -1}, TagView{field.code, bits, value.line});
            }
            FieldValue own = value;
            own.integer = value.integer & field.mask;
            if (!field.read(object, own, m_context)) {
                m_context.refused(field, value);
            }
        } else if (!field.read(object, value, m_context)) {
            m_context.refused(field, value);
        }
        value.clear();
    }
}

namespace {

bool hasCode(const SubclassDef& def, int code) {
    return std::any_of(def.fields.begin(), def.fields.end(),
                       [&](const Field& f) { return componentOf(f, code) >= 0; });
}

void readOne(AcDbObject& object, const SubclassDef& def, std::span<const TagView> tags,
             ReadContext& context, int ordinal) {
    if (def.readAll != nullptr) {
        def.readAll(object, tags, context, ordinal);
        return;
    }
    FieldReader reader(def.fields, context, ordinal);
    for (const TagView& tag : tags) {
        reader.read(tag);
    }
    reader.apply(object);
}

// A body without markers: each tag goes to the first subclass with a field of its code, or to
// the last subclass.
void readUnmarked(AcDbObject& object, std::span<const TagView> body,
                  std::span<const SubclassDef> subclasses, ReadContext& context) {
    std::vector<std::vector<TagView>> parts(subclasses.size());
    for (const TagView& tag : body) {
        size_t target = subclasses.size() - 1;
        for (size_t i = 0; i < subclasses.size(); ++i) {
            if (hasCode(subclasses[i], tag.code)) {
                target = i;
                break;
            }
        }
        parts[target].push_back(tag);
    }
    for (size_t i = 0; i < subclasses.size(); ++i) {
        readOne(object, subclasses[i], parts[i], context, static_cast<int>(i));
    }
}

}  // namespace

void readSubclasses(AcDbObject& object, std::span<const TagView> body,
                    std::span<const SubclassDef> subclasses, ReadContext& context) {
    if (subclasses.empty()) {
        return;
    }
    const bool marked = std::any_of(body.begin(), body.end(),
                                    [](const TagView& t) { return t.code == kSubclassCode; });
    if (!marked) {
        readUnmarked(object, body, subclasses, context);
        return;
    }
    int current = 0;  // tags before the first marker belong to the first subclass
    int last = -1;
    size_t begin = 0;
    auto flush = [&](size_t end) {
        if (current == kUnknownSubclasses) {
            for (size_t i = begin; i < end; ++i) {
                context.leftover({kUnknownSubclasses, -1}, body[i]);
            }
        } else if (end > begin || subclasses[static_cast<size_t>(current)].readAll == nullptr) {
            readOne(object, subclasses[static_cast<size_t>(current)],
                    body.subspan(begin, end - begin), context, current);
        }
    };
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i].code != kSubclassCode) {
            continue;
        }
        flush(i);
        int next = kUnknownSubclasses;
        for (int pass = 0; pass < 2 && next == kUnknownSubclasses; ++pass) {
            for (size_t s = pass == 0 ? static_cast<size_t>(last + 1) : 0; s < subclasses.size();
                 ++s) {
                if (subclasses[s].marker == trimBlanks(body[i].value)) {
                    next = static_cast<int>(s);
                    break;
                }
            }
        }
        if (next == kUnknownSubclasses) {
            current = next;
            begin = i;  // the marker is kept with the subclass
        } else {
            current = next;
            last = std::max(last, next);
            begin = i + 1;
        }
    }
    flush(body.size());
}

// ---- writing ----

void writeFields(const AcDbObject& object, std::span<const Field> fields, WriteContext& context,
                 int ordinal, size_t from, size_t to) {
    to = std::min(to, fields.size());
    for (size_t i = from; i < to; ++i) {
        const Field& field = fields[i];
        if (field.kind != FieldKind::Bit) {
            field.write(object, field, context);
            continue;
        }
        bool before = false;
        for (size_t j = 0; j < i; ++j) {
            before = before || (fields[j].kind == FieldKind::Bit && fields[j].code == field.code);
        }
        if (before) {
            continue;
        }
        std::int64_t bits = context.leftoverBits({ordinal, -1}, field.code);
        for (size_t j = i; j < fields.size(); ++j) {
            if (fields[j].kind == FieldKind::Bit && fields[j].code == field.code) {
                bits |= fields[j].bits(object, fields[j]);
            }
        }
        context.out().integer(field.code, bits);
    }
}

void writeSubclasses(const AcDbObject& object, std::span<const SubclassDef> subclasses,
                     WriteContext& context) {
    for (size_t i = 0; i < subclasses.size(); ++i) {
        const SubclassDef& def = subclasses[i];
        const int ordinal = static_cast<int>(i);
        if (!def.marker.empty()) {
            context.out().raw(kSubclassCode, def.marker);
        }
        if (def.writeAll != nullptr) {
            def.writeAll(object, context, ordinal);
            continue;
        }
        writeFields(object, def.fields, context, ordinal);
        int bitCodes[8];
        size_t count = 0;
        for (const Field& field : def.fields) {
            if (field.kind == FieldKind::Bit && count < 8) {
                bitCodes[count++] = field.code;
            }
        }
        context.writeLeftovers({ordinal, -1}, std::span<const int>(bitCodes, count));
    }
    context.writeLeftovers({kUnknownSubclasses, -1});
}

AcGeVector3d settledNormal(const AcGeVector3d& normal) {
    if (normal.isZeroLength()) {
        return normal;
    }
    const auto settled = [](const AcGeVector3d& v) {
        const AcGeVector3d n = v.normal();
        return n.x == v.x && n.y == v.y && n.z == v.z;
    };
    AcGeVector3d v = normal;
    for (int i = 0; i < 4; ++i) {
        if (settled(v)) {
            return v;
        }
        v = v.normal();
    }
    // Normalising goes round in a cycle: a vector one step away in some components settles.
    const auto step = [](double a, int direction) {
        return direction == 0 ? a : std::nextafter(a, direction * HUGE_VAL);
    };
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dz = -1; dz <= 1; ++dz) {
                const AcGeVector3d w(step(v.x, dx), step(v.y, dy), step(v.z, dz));
                if (settled(w)) {
                    return w;
                }
            }
        }
    }
    return v;
}

namespace detail {

void writeReal(WriteContext& context, const Field& field, double value) {
    if (field.always || value != field.defaultValue) {
        context.out().real(field.code, value);
    }
}

void writeAngle(WriteContext& context, const Field& field, double radians) {
    if (field.always || radians != 0.0) {
        context.out().real(field.code, radiansToDegrees(radians));
    }
}

void writeInteger(WriteContext& context, const Field& field, std::int64_t value) {
    if (field.always || value != static_cast<std::int64_t>(field.defaultValue)) {
        context.out().integer(field.code, value);
    }
}

void writeText(WriteContext& context, const Field& field, std::wstring_view value) {
    if (field.always || !value.empty()) {
        context.text(field.code, value);
    }
}

void writePoint(WriteContext& context, const Field& field, const AcGePoint3d& point) {
    context.out().point(field.code, point.x, point.y, point.z);
}

void writeVector(WriteContext& context, const Field& field, const AcGeVector3d& vector) {
    if (field.always || vector.x != 0.0 || vector.y != 0.0 || vector.z != 1.0) {
        context.out().point(field.code, vector.x, vector.y, vector.z);
    }
}

const std::wstring& readText(ReadContext& context, std::string_view utf8) {
    return context.textBuffer(utf8);
}

}  // namespace detail

}  // namespace qv::dxf
