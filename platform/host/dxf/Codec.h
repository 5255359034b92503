// Codecs: how each record type the host models becomes a host object and is written again.
// A codec reads and writes a record's body (the tags after its owner and before its extended
// data); the handle, application groups, owner and extended data are common to all records
// (see RecordIo.h).
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "../db/AcDbObject.h"

class AcDbHatch;
#include "FieldTable.h"
#include "ReadContext.h"
#include "WriteContext.h"

namespace qv::dxf {

class Codec {
  public:
    constexpr Codec(std::string_view type, std::span<const SubclassDef> subclasses)
        : m_type(type), m_subclasses(subclasses) {}
    virtual ~Codec() = default;

    // The record type ("LWPOLYLINE").
    std::string_view type() const { return m_type; }
    // The class of the host objects it makes.
    virtual const AcRxClass* hostClass() const = 0;
    // Whether the host can model this record; a record it cannot model is kept as read.
    virtual bool canModel(std::span<const TagView> body) const {
        (void)body;
        return true;
    }
    // A new object of the host's class, outside any database.
    virtual std::unique_ptr<AcDbObject> create() const = 0;
    // The same, made for the record whose body is given (room for its vertices, ...).
    virtual std::unique_ptr<AcDbObject> createFor(std::span<const TagView> body) const {
        (void)body;
        return create();
    }
    // Reads the body into the object.
    virtual void read(AcDbObject& object, std::span<const TagView> body,
                      ReadContext& context) const {
        readSubclasses(object, body, m_subclasses, context);
    }
    // Writes the body of the object.
    virtual void write(const AcDbObject& object, WriteContext& context) const {
        writeSubclasses(object, m_subclasses, context);
    }
    std::span<const SubclassDef> subclasses() const { return m_subclasses; }

  private:
    std::string_view m_type;
    std::span<const SubclassDef> m_subclasses;
};

// A codec of host objects of class T made with new T.
template <class T>
class CodecOf : public Codec {
  public:
    using Codec::Codec;
    const AcRxClass* hostClass() const override { return T::desc(); }
    std::unique_ptr<AcDbObject> create() const override { return std::make_unique<T>(); }
};

// The codec of a record type, or null when the host does not model it.
const Codec* codecForType(std::string_view type);
// The codec that writes an object (by its exact class), or null.
const Codec* codecForObject(const AcDbObject& object);

// The fields of the AcDbEntity part that every entity has; the first subclass of every entity
// codec, and read for kept entities too.
extern const SubclassDef kEntitySubclass;

// The codecs, by the files that define them (for the registry).
std::span<const Codec* const> simpleEntityCodecs();
const Codec& polylineCodec();
const Codec& hatchCodec();
// The hatch that the AcDbHatch tags of a HATCH record draw, its elliptic and spline edges made
// straight pieces (see KeptShapes); false, and the hatch left as it was, when the host cannot
// draw it (a pattern it does not know, a gradient, edges that do not close into loops, values
// that do not read).
bool readHatchDrawing(std::span<const TagView> tags, AcDbHatch& hatch);
std::span<const Codec* const> symbolTableCodecs();
const Codec& dictionaryCodec();
std::span<const Codec* const> layoutCodecs();
const Codec& viewportCodec();
const Codec& sortentsCodec();
const Codec& arcCodec();
std::span<const Codec* const> tableCodecs();

}  // namespace qv::dxf
