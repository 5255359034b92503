// Declarative tables of the fields of modelled DXF records: one table per subclass, each field a
// group code, a kind and the way its value goes into and out of the host's object. The same
// table drives reading and writing, so that what is written is what is read.
//
//   constexpr Field kLine[] = {
//       real<AcDbLine, &AcDbLine::thickness, &AcDbLine::setThickness>(39),
//       point<AcDbLine, &AcDbLine::startPoint, &AcDbLine::setStartPoint>(10),
//       ...};
//
// Reading collects the values of a subclass's tags by group code and then gives them to the
// object in table order; a tag that no field takes is kept as a leftover (see FileData.h) and
// written back after the subclass's fields.
#pragma once

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "../db/AcDbDefs.h"
#include "../db/AcDbObject.h"
#include "Tag.h"
#include "../ge/AcGePoint.h"
#include "../ge/AcGeVector.h"

namespace qv::dxf {

class ReadContext;
class WriteContext;

enum class FieldKind : std::uint8_t {
    Real,     // one double
    Angle,    // degrees in the file, radians in the host
    Integer,  // one integer (16- or 32-bit, an enumeration, a flag as 0/1)
    Bit,      // bits of an integer of flags (several fields may share the code; the bits no
              // field takes are kept as a leftover and written back)
    Text,     // a string (UTF-8 in the file, wide in the host)
    Point,    // x, y, z with code, code + 10, code + 20
    Vector,   // the same, for a direction (written unless it is the z axis)
};

// The value of one field as read: what its tags held.
struct FieldValue {
    double xyz[3];
    std::int64_t integer;
    std::string_view text;
    std::uint32_t line;
    std::uint8_t seen;  // bits of the components read (1 x, 2 y, 4 z); 1 for other kinds

    void clear() {
        xyz[0] = xyz[1] = xyz[2] = 0.0;
        integer = 0;
        text = {};
        line = 0;
        seen = 0;
    }
};

struct Field {
    int code;
    FieldKind kind;
    double defaultValue = 0.0;  // Real, Angle, Integer: not written when the value is this
    bool always = false;        // written even when it is the default
    std::uint32_t mask = 0;     // Bit: the bits the field takes
    // Gives the value read to the object; false when the object refused it.
    bool (*read)(AcDbObject& object, const FieldValue& value, ReadContext& context) = nullptr;
    // Writes the field of the object (unless it is the default).
    void (*write)(const AcDbObject& object, const Field& field, WriteContext& context) = nullptr;
    // The bits of a Bit field (the other kinds write themselves); read gets the value's bits of
    // the mask.
    std::int64_t (*bits)(const AcDbObject& object, const Field& field) = nullptr;
};

// One subclass of a record: its marker and fields, or its own reader and writer where the
// subclass has repeated groups (vertices, loops, dictionary entries).
struct SubclassDef {
    std::string_view marker;  // "AcDbLine"; empty for the first part of a record
    std::span<const Field> fields;
    // Reads all tags of the subclass (fields and leftovers included; see FieldReader).
    void (*readAll)(AcDbObject& object, std::span<const TagView> tags, ReadContext& context,
                    int ordinal) = nullptr;
    // Writes everything after the marker (leftovers included).
    void (*writeAll)(const AcDbObject& object, WriteContext& context, int ordinal) = nullptr;
};

// Collects the values of one subclass's fields from its tags, then gives them to the object.
class FieldReader {
  public:
    FieldReader(std::span<const Field> fields, ReadContext& context, int ordinal)
        : m_fields(fields.first(std::min(fields.size(), kMaxFields))),
          m_context(context),
          m_ordinal(ordinal) {
        for (size_t i = 0; i < m_fields.size(); ++i) {
            m_values[i].clear();
        }
    }

    // Takes a tag for the field that has its code; false when no field has it.
    bool take(const TagView& tag);
    // Keeps a tag as a leftover of this subclass (item -1) or of an item of its group.
    void leftover(const TagView& tag, int item = -1);
    // Takes the tag or keeps it as a leftover.
    void read(const TagView& tag) {
        if (!take(tag)) {
            leftover(tag);
        }
    }
    // Gives every value read to the object, in table order; refusals are reported. The values
    // are forgotten.
    void apply(AcDbObject& object);

  private:
    static constexpr size_t kMaxFields = 32;
    std::span<const Field> m_fields;
    ReadContext& m_context;
    int m_ordinal;
    FieldValue m_values[kMaxFields];
};

// Writes fields [from, to) of `fields` (Bit fields of one code together, with the leftover bits
// of that code), without leftovers.
void writeFields(const AcDbObject& object, std::span<const Field> fields, WriteContext& context,
                 int ordinal, size_t from = 0, size_t to = SIZE_MAX);

// Reads the tags of a record body (after its owner, before its extended data) subclass by
// subclass. A body without subclass markers (R12) is read as if each tag were in the first
// subclass that has a field of its code. Tags of subclasses not in `subclasses` are kept at
// kUnknownSubclasses.
void readSubclasses(AcDbObject& object, std::span<const TagView> body,
                    std::span<const SubclassDef> subclasses, ReadContext& context);
// Writes the subclasses with their markers (the first one without a marker when its marker is
// empty), each followed by its leftovers, then the unknown subclasses kept.
void writeSubclasses(const AcDbObject& object, std::span<const SubclassDef> subclasses,
                     WriteContext& context);

// ---- angles ----

double degreesToRadians(double degrees);
// Degrees that read back as exactly `radians`.
double radiansToDegrees(double radians);

// ---- normals ----

// The unit vector nearest `normal` that normalising leaves as it is. The host normalises the
// normals it is given, and normalising a unit vector again may change its last digit: a normal
// read, written and read again would then differ. A zero vector is given back as it is.
AcGeVector3d settledNormal(const AcGeVector3d& normal);
// ---- field makers ----

namespace detail {

template <class M>
struct SetterOf;
template <class C, class R, class A, class... Rest>
struct SetterOf<R (C::*)(A, Rest...)> {
    using Arg = std::remove_cvref_t<A>;
    template <class T>
    static bool call(T& object, R (C::*set)(A, Rest...), Arg value) {
        if constexpr (std::is_void_v<R>) {
            (object.*set)(value, Rest{}...);
            return true;
        } else {
            return (object.*set)(value, Rest{}...) == Acad::eOk;
        }
    }
};

// The values an enumeration of the host can hold (its enumerators' range): a value beyond
// them cannot even be converted to it.
template <class E>
struct EnumRange;
template <>
struct EnumRange<AcDb::Visibility> {
    static constexpr std::int64_t low = 0, high = 1;
};
template <>
struct EnumRange<AcDb::TextHorzMode> {
    static constexpr std::int64_t low = 0, high = 5;
};
template <>
struct EnumRange<AcDb::TextVertMode> {
    static constexpr std::int64_t low = 0, high = 3;
};
template <>
struct EnumRange<AcDb::LineWeight> {
    static constexpr std::int64_t low = -3, high = 211;
};

// Whether an integer read fits the type the setter takes.
template <class A>
bool fits(std::int64_t value) {
    if constexpr (std::is_same_v<A, bool>) {
        return value == 0 || value == 1;
    } else if constexpr (std::is_enum_v<A>) {
        return value >= EnumRange<A>::low && value <= EnumRange<A>::high;
    } else if constexpr (std::is_integral_v<A>) {
        return std::in_range<A>(value);
    } else {
        return true;
    }
}

template <class T, auto Set, class V>
bool set(AcDbObject& object, V value) {
    using S = SetterOf<decltype(Set)>;
    using A = typename S::Arg;
    if constexpr (std::is_same_v<V, std::int64_t>) {
        if (!fits<A>(value)) {
            return false;
        }
    }
    return S::call(static_cast<T&>(object), Set, static_cast<A>(value));
}

template <class T, auto Get>
auto get(const AcDbObject& object) {
    return (static_cast<const T&>(object).*Get)();
}

// Shared writers, defined in FieldTable.cpp.
void writeReal(WriteContext& context, const Field& field, double value);
void writeAngle(WriteContext& context, const Field& field, double radians);
void writeInteger(WriteContext& context, const Field& field, std::int64_t value);
void writeText(WriteContext& context, const Field& field, std::wstring_view value);
void writePoint(WriteContext& context, const Field& field, const AcGePoint3d& point);
void writeVector(WriteContext& context, const Field& field, const AcGeVector3d& vector);
const std::wstring& readText(ReadContext& context, std::string_view utf8);

}  // namespace detail

// A value the object refuses but has already is no loss: such a refusal is not reported.

template <class T, auto Get, auto Set>
constexpr Field real(int code, double defaultValue = 0.0, bool always = false) {
    return {code,
            FieldKind::Real,
            defaultValue,
            always,
            0,
            [](AcDbObject& o, const FieldValue& v, ReadContext&) {
                return detail::set<T, Set>(o, v.xyz[0]) || detail::get<T, Get>(o) == v.xyz[0];
            },
            [](const AcDbObject& o, const Field& f, WriteContext& c) {
                detail::writeReal(c, f, detail::get<T, Get>(o));
            }};
}

template <class T, auto Get, auto Set>
constexpr Field angle(int code, bool always = false) {
    return {code,
            FieldKind::Angle,
            0.0,
            always,
            0,
            [](AcDbObject& o, const FieldValue& v, ReadContext&) {
                const double radians = degreesToRadians(v.xyz[0]);
                return detail::set<T, Set>(o, radians) || detail::get<T, Get>(o) == radians;
            },
            [](const AcDbObject& o, const Field& f, WriteContext& c) {
                detail::writeAngle(c, f, detail::get<T, Get>(o));
            }};
}

template <class T, auto Get, auto Set>
constexpr Field integer(int code, double defaultValue = 0.0, bool always = false) {
    return {code,
            FieldKind::Integer,
            defaultValue,
            always,
            0,
            [](AcDbObject& o, const FieldValue& v, ReadContext&) {
                return detail::set<T, Set>(o, v.integer) ||
                       static_cast<std::int64_t>(detail::get<T, Get>(o)) == v.integer;
            },
            [](const AcDbObject& o, const Field& f, WriteContext& c) {
                detail::writeInteger(c, f, static_cast<std::int64_t>(detail::get<T, Get>(o)));
            }};
}

template <class T, auto Get, auto Set>
constexpr Field bit(int code, std::uint32_t mask) {
    return {code,
            FieldKind::Bit,
            0.0,
            true,
            mask,
            [](AcDbObject& o, const FieldValue& v, ReadContext&) {
                return detail::set<T, Set>(o, v.integer != 0);
            },
            nullptr,
            [](const AcDbObject& o, const Field& f) -> std::int64_t {
                return detail::get<T, Get>(o) ? f.mask : 0;
            }};
}

// Bits of flags with their own reader and writer.
constexpr Field bits(int code, std::uint32_t mask,
                     bool (*read)(AcDbObject&, const FieldValue&, ReadContext&),
                     std::int64_t (*get)(const AcDbObject&, const Field&)) {
    return {code, FieldKind::Bit, 0.0, true, mask, read, nullptr, get};
}

template <class T, auto Get, auto Set>
constexpr Field text(int code, bool always = false) {
    return {code,
            FieldKind::Text,
            0.0,
            always,
            0,
            [](AcDbObject& o, const FieldValue& v, ReadContext& c) {
                const std::wstring& wide = detail::readText(c, v.text);
                return detail::set<T, Set>(o, wide.c_str()) ||
                       std::wstring_view(detail::get<T, Get>(o)) == wide;
            },
            [](const AcDbObject& o, const Field& f, WriteContext& c) {
                detail::writeText(c, f, detail::get<T, Get>(o));
            }};
}

template <class T, auto Get, auto Set>
constexpr Field point(int code) {
    return {code,
            FieldKind::Point,
            0.0,
            true,
            0,
            [](AcDbObject& o, const FieldValue& v, ReadContext&) {
                const AcGePoint3d p(v.xyz[0], v.xyz[1], v.xyz[2]);
                const AcGePoint3d has = detail::get<T, Get>(o);
                return detail::set<T, Set>(o, p) || (has.x == p.x && has.y == p.y && has.z == p.z);
            },
            [](const AcDbObject& o, const Field& f, WriteContext& c) {
                detail::writePoint(c, f, detail::get<T, Get>(o));
            }};
}

template <class T, auto Get, auto Set>
constexpr Field normal(int code) {
    return {code,
            FieldKind::Vector,
            0.0,
            false,
            0,
            [](AcDbObject& o, const FieldValue& v, ReadContext&) {
                const AcGeVector3d d = settledNormal({v.xyz[0], v.xyz[1], v.xyz[2]});
                const AcGeVector3d has = detail::get<T, Get>(o);
                return detail::set<T, Set>(o, d) || (has.x == d.x && has.y == d.y && has.z == d.z);
            },
            [](const AcDbObject& o, const Field& f, WriteContext& c) {
                detail::writeVector(c, f, detail::get<T, Get>(o));
            }};
}

// A field with its own reader and writer; `kind` tells how its tags are collected.
constexpr Field custom(int code, FieldKind kind,
                       bool (*read)(AcDbObject&, const FieldValue&, ReadContext&),
                       void (*write)(const AcDbObject&, const Field&, WriteContext&)) {
    return {code, kind, 0.0, false, 0, read, write};
}

}  // namespace qv::dxf
