// Entities and objects of types the host does not model, kept as they were read and written back
// unchanged: they stay in the database with their handle, owner, extension dictionary and
// extended data, so that nothing a drawing held is lost by a save. A kept entity also has the
// properties every entity has (layer, colour, linetype, ...), which the host reads and writes;
// the rest of its tags are kept.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "../db/AcDbEntity.h"
#include "Tag.h"

namespace qv::dxf {

// A record that follows its entity in the file (the VERTEX and SEQEND records of a POLYLINE).
struct KeptChild {
    std::string type;
    std::uint64_t handle = 0;  // 0: a new one is given when the drawing is written
    size_t groupTags = 0;      // the first tags: application groups, written before the owner
    TagList tags;              // every tag but the handle and the owner (the entity it follows)
};

struct KeptTags {
    std::string type;  // "ARC", "XRECORD", "VPORT", ... ("TABLE" for a table's own record)
    TagList groups;    // application groups before the owner ("{ACAD_REACTORS" ...), each whole
    TagList body;      // after the owner (for an entity after its AcDbEntity part), before the
                       // extended data
    TagList common;    // an entity's AcDbEntity tags that the host does not model
    std::vector<KeptChild> children;

    // A copy holds the same tags; its children get new handles when written.
    KeptTags() = default;
    KeptTags(const KeptTags& other);
    KeptTags& operator=(const KeptTags&) = delete;
};

class KeptObject : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(KeptObject)
  public:
    explicit KeptObject(std::string type) { m_kept.type = std::move(type); }
    QV_RX_CLONE(KeptObject)

    const KeptTags& kept() const { return m_kept; }
    KeptTags& kept() { return m_kept; }

  private:
    KeptTags m_kept;
};

class KeptEntity : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(KeptEntity)
  public:
    explicit KeptEntity(std::string type) { m_kept.type = std::move(type); }
    QV_RX_CLONE(KeptEntity)

    const KeptTags& kept() const { return m_kept; }
    KeptTags& kept() { return m_kept; }

  private:
    KeptTags m_kept;
};

// An entity of a type the host models only as far as drawing it and measuring its extents need
// (MTEXT, ELLIPSE, SPLINE, POINT, SOLID, TRACE, DIMENSION, LEADER): the host's object, read from
// the record's tags, which are kept as a kept entity's are and written back unchanged.
class KeptShapeTags {
  public:
    virtual ~KeptShapeTags() = default;
    virtual const KeptTags& kept() const = 0;
};

template <class T>
class KeptShape final : public T, public KeptShapeTags {
  public:
    explicit KeptShape(std::string type) { m_kept.type = std::move(type); }
    AcRxObject* clone() const override { return new KeptShape(*this); }

    const KeptTags& kept() const override { return m_kept; }
    KeptTags& kept() { return m_kept; }

  private:
    KeptTags m_kept;
};

// A new entity to keep a record of `type` in: a kept shape for the types above, else a kept
// entity.
std::unique_ptr<AcDbEntity> newKeptEntity(std::string type);
// Gives a kept shape what its kept body and its extended data (the record's tags from the first
// 1001 on) hold (nothing for other entities). Values that do not read are left at their
// defaults: the tags stay as they are either way.
void readKeptShape(AcDbEntity& entity, std::span<const TagView> xdata = {});

// The kept tags of a kept entity or object, or null for any other object.
const KeptTags* keptTagsOf(const AcDbObject& object);
KeptTags* keptTagsOf(AcDbObject& object);

}  // namespace qv::dxf
