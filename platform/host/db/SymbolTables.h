// Symbol tables (blocks, layers, linetypes, text styles, registered applications) and their
// records.
//
// Names are compared without regard to case and keep the case they were given. A name is valid
// when it is 1 to 255 characters long, has no control character and none of < > / \ " : ; ? *
// | , = ` (a block name may begin with "*" when it is a space or an anonymous block:
// "*Model_Space",
// "*Paper_Space", "*Paper_Space0", "*U12", "*D3", "*T4", "*X5", "*A6").
// Refusals: eInvalidInput (an invalid name, from setName), eDuplicateRecordName (a name that
// another record of the table has), eNotOpenForWrite (adding to a table not open for write),
// eKeyNotFound (getAt of a name the table lacks). Iterators skip erased records unless told.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "../AcCmColor.h"
#include "AcDbDatabase.h"

class AcDbEntity;
class AcDbSymbolTable;
class AcDbBlockTableRecordIterator;

namespace qv::host {
bool isValidSymbolName(const ACHAR* name, bool blockName);
// Upper case for comparing names.
std::wstring foldName(const std::wstring& name);
// Whether two names are equal as foldName compares them (without making folded copies).
bool sameName(const std::wstring& a, const std::wstring& b);
}  // namespace qv::host

class AcDbSymbolTableRecord : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(AcDbSymbolTableRecord)
  public:
    // A pointer into the record (valid while it is open and unchanged).
    Acad::ErrorStatus getName(const ACHAR*& name) const;
    // A copy for the caller to free with acutDelString.
    Acad::ErrorStatus getName(ACHAR*& name) const;
    const std::wstring& qvName() const { return m_name; }
    virtual Acad::ErrorStatus setName(const ACHAR* name);
    // Sets the name without the checks of setName, for the host's own code: a name read from a
    // file as it is, or the names the layouts swap between their blocks.
    void qvSetName(const std::wstring& name);
    bool isDependent() const { return false; }
    bool isResolved() const { return true; }

  protected:
    virtual bool qvIsBlockRecord() const { return false; }

  private:
    // Tells the record's table (when it has one) that its name index is stale.
    void nameChanged() const;

    std::wstring m_name;
};

class AcDbSymbolTableIterator {
  public:
    virtual ~AcDbSymbolTableIterator() = default;
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
    Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                bool openErased = false) const;
    template <class R>
    Acad::ErrorStatus getRecord(R*& record, AcDb::OpenMode mode, bool openErased = false) const {
        AcDbObjectId id;
        const Acad::ErrorStatus es = getRecordId(id);
        if (es != Acad::eOk) {
            record = nullptr;
            return es;
        }
        return acdbOpenObject(record, id, mode, openErased);
    }
    Acad::ErrorStatus seek(AcDbObjectId id);

    // Made by the table's newIterator; the table must outlive the iterator.
    AcDbSymbolTableIterator(const AcDbSymbolTable* table, bool atBeginning, bool skipDeleted);

  private:
    void skip(bool forward);

    const AcDbSymbolTable* m_table;
    int m_index = 0;
    bool m_skipDeleted = true;
};

class AcDbSymbolTable : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(AcDbSymbolTable)
  public:
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id, bool getErased = false) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                            bool openErased = false) const;
    template <class R>
    Acad::ErrorStatus getAt(const ACHAR* name, R*& record, AcDb::OpenMode mode,
                            bool openErased = false) const {
        record = nullptr;
        AcDbObjectId id;
        const Acad::ErrorStatus es = getAt(name, id, openErased);
        return es != Acad::eOk ? es : acdbOpenObject(record, id, mode, openErased);
    }
    bool has(const ACHAR* name) const;
    bool has(AcDbObjectId id) const;
    // Adds a new record (left open for write, owned by the database).
    Acad::ErrorStatus add(AcDbSymbolTableRecord* record);
    Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);
    Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    template <class I>
    Acad::ErrorStatus newIterator(I*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const {
        iterator = new I(this, atBeginning, skipDeleted);
        return Acad::eOk;
    }

    // Records in the order added, erased ones included.
    const std::vector<AcDbObjectId>& qvRecords() const { return m_records; }
    // The record of that name (not erased), or null, without opening it.
    AcDbObjectId qvFind(const std::wstring& name) const;
    // Takes a record read from a file, in file order.
    void qvAppendRecord(AcDbObjectId id);

  protected:
    // The class of the records this table holds.
    virtual const AcRxClass* qvRecordClass() const = 0;

  private:
    friend class AcDbSymbolTableRecord;
    // Adds a record to the name index when the index is up to date.
    void indexRecord(AcDbObjectId id) const;

    std::vector<AcDbObjectId> m_records;
    // Records by folded name, in table order, erased ones included; rebuilt when a record of the
    // table was renamed since it was made (see qvFind).
    mutable std::unordered_map<std::wstring, std::vector<AcDbObjectId>> m_byName;
    mutable bool m_indexed = false;
};

// ---- blocks ----

class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
    QV_RX_DECLARE_MEMBERS(AcDbBlockTableRecord)
  public:
    QV_RX_CLONE(AcDbBlockTableRecord)

    // Appends an entity outside any database to this block (in a database, open for write);
    // the entity is left open for write. eAlreadyInDb, eNotOpenForWrite, eNoDatabase.
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity);
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    // Moves entities of other blocks of the same database into this one (both open for
    // write is not needed for the entities); eWrongDatabase, eNotAnEntity.
    Acad::ErrorStatus assumeOwnershipOf(const AcDbObjectIdArray& entities);

    AcGePoint3d origin() const { return m_origin; }
    Acad::ErrorStatus setOrigin(const AcGePoint3d& origin);
    bool isLayout() const { return !m_layout.isNull(); }
    AcDbObjectId getLayoutId() const { return m_layout; }
    Acad::ErrorStatus setLayoutId(AcDbObjectId layout);
    bool isAnonymous() const;
    bool hasAttributeDefinitions() const;
    bool isFromExternalReference() const { return false; }
    const ACHAR* comments() const { return m_comments.c_str(); }
    Acad::ErrorStatus setComments(const ACHAR* text);
    // Erasing a block definition (erase(), open for write) erases its entities with it. It is
    // refused with eEntityInUse (9), nothing changed, while the block is in use: shown by a block
    // reference or a table that is not erased (wherever it stands, in another block definition
    // too), or drawn in a cell of such a table. The blocks of model space and paper space are
    // never erased (eNotApplicable).
    // The block references of the database that show this block (erased ones left out).
    Acad::ErrorStatus getBlockReferenceIds(AcDbObjectIdArray& ids, bool directOnly = true,
                                           bool forceValidity = false) const;

    // Entities in the order added, erased ones included.
    const std::vector<AcDbObjectId>& qvEntities() const;
    void qvAppendEntityId(AcDbObjectId id);
    // A number that changes whenever an entity leaves the block or one of its entities is erased
    // or unerased (appending leaves it alone): while it stays, qvEntities() only grows at its
    // end and the entities seen erased or not keep that state.
    unsigned long long qvMembershipCount() const { return m_membershipCount; }
    void qvNoteMembershipChange() { ++m_membershipCount; }

  protected:
    bool qvIsBlockRecord() const override { return true; }
    Acad::ErrorStatus qvErasing(bool erasing) override;

  private:
    friend class AcDbBlockTableRecordIterator;
    void appendEntityId(AcDbObjectId id) const;
    // Takes an entity out of the list in constant time: its place is left empty until the list
    // is next read (compact).
    void removeEntityId(AcDbObjectId id);
    void compact() const;

    mutable std::vector<AcDbObjectId> m_entities;
    // Where each entity stands in m_entities, made at the first removal and kept until the
    // list is compacted; and how many places stand empty.
    mutable std::unordered_map<Adesk::IntPtr, size_t> m_positions;
    mutable bool m_positionsKnown = false;
    mutable size_t m_emptyPlaces = 0;
    unsigned long long m_membershipCount = 0;
    AcGePoint3d m_origin;
    AcDbObjectId m_layout;
    std::wstring m_comments;
};

class AcDbBlockTableRecordIterator {
  public:
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
    Acad::ErrorStatus getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                bool openErased = false) const;
    Acad::ErrorStatus seek(AcDbObjectId id);

  private:
    friend class AcDbBlockTableRecord;
    AcDbBlockTableRecordIterator(const AcDbBlockTableRecord* block, bool atBeginning,
                                 bool skipDeleted);
    void skip(bool forward);

    const AcDbBlockTableRecord* m_block;
    int m_index = 0;
    bool m_skipDeleted = true;
};

class AcDbBlockTableIterator : public AcDbSymbolTableIterator {
  public:
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
};

class AcDbBlockTable : public AcDbSymbolTable {
    QV_RX_DECLARE_MEMBERS(AcDbBlockTable)
  protected:
    const AcRxClass* qvRecordClass() const override { return AcDbBlockTableRecord::desc(); }
};

// ---- layers ----

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
    QV_RX_DECLARE_MEMBERS(AcDbLayerTableRecord)
  public:
    // A new layer: colour 7, not frozen, on, not locked, plottable, default line weight,
    // linetype Continuous (when added).
    AcDbLayerTableRecord();
    QV_RX_CLONE(AcDbLayerTableRecord)

    AcCmColor color() const { return m_color; }
    // An index 1 to 255 or a true colour; anything else (by layer, by block, none, the
    // foreground) gives eInvalidInput and changes nothing.
    Acad::ErrorStatus setColor(const AcCmColor& color);
    bool isFrozen() const { return m_frozen; }
    // Freezing the drawing's current layer gives eCannotFreezeCurrentLayer and changes nothing.
    Acad::ErrorStatus setIsFrozen(bool frozen);
    bool isOff() const { return m_off; }
    Acad::ErrorStatus setIsOff(bool off);
    bool isLocked() const { return m_locked; }
    Acad::ErrorStatus setIsLocked(bool locked);
    bool isPlottable() const { return m_plottable; }
    Acad::ErrorStatus setIsPlottable(bool plottable);
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    // eInvalidInput for a value that is no line weight.
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight);
    AcDbObjectId linetypeObjectId() const { return m_linetype; }
    Acad::ErrorStatus setLinetypeObjectId(AcDbObjectId linetype);
    const ACHAR* description() const { return m_description.c_str(); }
    Acad::ErrorStatus setDescription(const ACHAR* text);

  protected:
    Acad::ErrorStatus qvErasing(bool erasing) override;
    void qvAdded() override;

  private:
    AcCmColor m_color;
    AcDbObjectId m_linetype;
    std::wstring m_description;
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLwDefault;
    bool m_frozen = false, m_off = false, m_locked = false, m_plottable = true;
};

class AcDbLayerTableIterator : public AcDbSymbolTableIterator {
  public:
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
};

class AcDbLayerTable : public AcDbSymbolTable {
    QV_RX_DECLARE_MEMBERS(AcDbLayerTable)
  protected:
    const AcRxClass* qvRecordClass() const override { return AcDbLayerTableRecord::desc(); }
};

// ---- linetypes ----

class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
    QV_RX_DECLARE_MEMBERS(AcDbLinetypeTableRecord)
  public:
    QV_RX_CLONE(AcDbLinetypeTableRecord)

    const ACHAR* comments() const { return m_comments.c_str(); }
    Acad::ErrorStatus setComments(const ACHAR* text);
    double patternLength() const { return m_patternLength; }
    Acad::ErrorStatus setPatternLength(double length);
    int numDashes() const { return static_cast<int>(m_dashes.size()); }
    Acad::ErrorStatus setNumDashes(int count);
    // Positive: a dash, negative: a gap, 0: a dot. eInvalidIndex outside 0 to numDashes() - 1.
    double dashLengthAt(int index) const;
    Acad::ErrorStatus setDashLengthAt(int index, double length);

  protected:
    Acad::ErrorStatus qvErasing(bool erasing) override;

  private:
    std::wstring m_comments;
    double m_patternLength = 0.0;
    std::vector<double> m_dashes;
};

class AcDbLinetypeTableIterator : public AcDbSymbolTableIterator {
  public:
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
};

class AcDbLinetypeTable : public AcDbSymbolTable {
    QV_RX_DECLARE_MEMBERS(AcDbLinetypeTable)
  protected:
    const AcRxClass* qvRecordClass() const override { return AcDbLinetypeTableRecord::desc(); }
};

// ---- text styles ----

class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
    QV_RX_DECLARE_MEMBERS(AcDbTextStyleTableRecord)
  public:
    QV_RX_CLONE(AcDbTextStyleTableRecord)

    double textSize() const { return m_textSize; }
    Acad::ErrorStatus setTextSize(double size);
    double xScale() const { return m_xScale; }
    Acad::ErrorStatus setXScale(double scale);
    double obliquingAngle() const { return m_oblique; }
    Acad::ErrorStatus setObliquingAngle(double angle);
    double priorSize() const { return m_priorSize; }
    Acad::ErrorStatus setPriorSize(double size);
    Acad::ErrorStatus fileName(const ACHAR*& name) const;
    Acad::ErrorStatus setFileName(const ACHAR* name);
    Acad::ErrorStatus bigFontFileName(const ACHAR*& name) const;
    Acad::ErrorStatus setBigFontFileName(const ACHAR* name);

  protected:
    Acad::ErrorStatus qvErasing(bool erasing) override;

  private:
    double m_textSize = 0.0, m_xScale = 1.0, m_oblique = 0.0, m_priorSize = 2.5;
    std::wstring m_fileName = L"txt", m_bigFont;
};

class AcDbTextStyleTableIterator : public AcDbSymbolTableIterator {
  public:
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
};

class AcDbTextStyleTable : public AcDbSymbolTable {
    QV_RX_DECLARE_MEMBERS(AcDbTextStyleTable)
  protected:
    const AcRxClass* qvRecordClass() const override { return AcDbTextStyleTableRecord::desc(); }
};

// ---- registered applications ----

class AcDbRegAppTableRecord : public AcDbSymbolTableRecord {
    QV_RX_DECLARE_MEMBERS(AcDbRegAppTableRecord)
  public:
    QV_RX_CLONE(AcDbRegAppTableRecord)

  protected:
    Acad::ErrorStatus qvErasing(bool erasing) override;
};

class AcDbRegAppTableIterator : public AcDbSymbolTableIterator {
  public:
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
};

class AcDbRegAppTable : public AcDbSymbolTable {
    QV_RX_DECLARE_MEMBERS(AcDbRegAppTable)
  protected:
    const AcRxClass* qvRecordClass() const override { return AcDbRegAppTableRecord::desc(); }
};

namespace qv::host {
// Adds the application to the database's table of registered applications unless it is there:
// eOk when added, eDuplicateRecordName when it was there, eInvalidInput for an invalid name.
Acad::ErrorStatus registerApplication(AcDbDatabase& database, const ACHAR* application);
}  // namespace qv::host

// Registers an application in the working database: RTNORM when added, RTERROR when it was
// registered before or the name is invalid.
int acdbRegApp(const ACHAR* application);
