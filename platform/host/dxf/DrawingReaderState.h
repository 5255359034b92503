// The reader of drawings (DrawingReader.h) inside: the sink that turns records into objects,
// shared by the files that implement it (DrawingReader.cpp: sections, tables, objects and what
// comes after the last record; ReadingBlocks.cpp: blocks and entities; ReadingR12.cpp: R12
// polylines).
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include "../db/AcDbBlockReference.h"
#include "../db/AcDbCurve.h"
#include "../db/AcDbDictionary.h"
#include "../db/ObjectAccess.h"
#include "../db/SymbolTables.h"
#include "Codec.h"
#include "FileData.h"
#include "FileIo.h"
#include "GroupCode.h"
#include "HeaderVariables.h"
#include "KeptObjects.h"
#include "Numbers.h"
#include "R12Records.h"
#include "RecordIo.h"
#include "RecordSplitter.h"
#include "StructureCompletion.h"
#include "SymbolTableCodecs.h"
#include "TextDecoding.h"
#include "../../win32/CodePage.h"
#include "DrawingReader.h"

namespace qv::dxf::reading {

using qv::host::ObjectAccess;

// Where an entity, attribute or table entry belongs; applied in file order once every object
// has its handle.
struct Member {
    enum Kind {
        Block,
        BlockHandle,
        ModelSpace,
        PaperSpace,
        Insert,
        Table,
        RootTable,          // a table the host models, once there is one
        KeptTable,          // a kept table read before
        StandardKeptTable,  // a kept table of kKeptTableNames, once the file is read
    };
    AcDbObject* object;
    Kind kind;
    AcDbObject* container = nullptr;  // Block, Insert, Table
    // BlockHandle; the index in StructureRoots::tables for RootTable, in FileData::keptTables
    // for KeptTable, in kKeptTableNames for StandardKeptTable
    std::uint64_t handle = 0;
    std::uint32_t line = 0;
    bool paper = false;  // BlockHandle: the entity says it is in paper space (67)
};

// An object whose handle was missing or taken: it gets a new one when the file is read.
struct Pending {
    std::unique_ptr<AcDbObject> object;
    ObjectExtras extras;
};

// The records of an R12 polyline, kept until its SEQEND shows what it is.
struct R12Polyline {
    std::vector<Record> records;  // POLYLINE, then its VERTEX records
    Member member;
    bool inEntities = true;
};

// The entity that the records after it may belong to (ATTRIB after INSERT, VERTEX after
// POLYLINE, and their SEQEND).
struct Sequence {
    AcDbBlockReference* insert = nullptr;
    AcDbEntity* keptEntity = nullptr;  // a kept entity or kept shape, whose tags `kept` are
    KeptTags* kept = nullptr;
    bool active() const { return insert != nullptr || kept != nullptr; }
};

bool isEntity(const Codec* codec);
// Whether records of the type are entries of a table a drawing has.
bool isTableEntryType(std::string_view type);
std::string_view firstValue(std::span<const TagView> tags, int code);
int flagsOf(std::span<const TagView> tags);
// Splits an entity body into its AcDbEntity part and the rest (from the next marker, or, in
// a record without markers, the tags of other codes).
void splitCommon(std::span<const TagView> body, std::vector<TagView>& common,
                 std::vector<TagView>& rest);
// Puts an entity's own tags that a writer placed late back where they belong, so that they are
// read (and written once): the AcDbEntity codes (layer, colour, linetype, ...) that the
// AcDbEntity part lacks but a later subclass holds: at the start of that subclass, or anywhere
// in it when `own` (the subclasses of the entity's codec) shows that the subclass has no field of
// that code. (A late handle is taken by splitHead.)
void gatherEntityTags(RecordHead& head, std::span<const SubclassDef> own);

class DrawingReader : public RecordSink {
  public:
    DrawingReader(AcDbDatabase& database, AuditReport& report, std::unique_ptr<FileData> data)
        : m_db(database),
          m_report(report),
          m_data(std::move(data)),
          m_context(database, report, *m_data) {}

    // Gives back the text before a pointer once every record before it is read.
    void setRelease(std::function<void(const char*)> release) { m_release = std::move(release); }

    void beginSection(std::string_view name, std::uint32_t line) override;
    void sectionHead(const std::vector<TagView>& tags) override;
    void record(const RecordView& record) override;
    void endSection() override;
    // Everything after the last record: handles, structure, references, header.
    void finish();

  private:
    enum class Part { Header, Classes, Tables, Blocks, Entities, Objects, Other };

    bool r12() const { return m_data->version == DxfVersion::R12; }

    void dispatch(const RecordView& record);
    // A point whose X or Y is missing (a value that did not read was dropped) would make the
    // whole file unreadable to other programs once written: the record, with 0 in each
    // coordinate missing, goes to m_completed. Reported.
    void completePoints(const RecordView& record);
    // Splits the tags of an entity or a table record into m_head (splitHead, takeLateHandles),
    // reporting the handles left out.
    void splitRecord(std::span<const TagView> tags, int handleCode = 5);

    void headerVariable(const RecordView& record);
    void tableRecord(const RecordView& record);
    void blockRecord(const RecordView& record);
    void entityRecord(const RecordView& record);
    void objectRecord(const RecordView& record);
    // A table entry, put where `member` says (its object is the entry).
    void tableEntry(const RecordView& record, Member member);
    // A table entry outside its table (a table whose TABLE record or ENDTAB was lost, a table of
    // a name no drawing has, another table, the entities) is put in the table of its type; left
    // out when it is no entry of a table a drawing has.
    void strayEntry(const RecordView& record);
    // Where a stray entry stood, for its report (" outside a table", " among the entities", ...).
    std::string strayPlace() const;
    // A block record read after the BLOCK of its block, which was given a record of its own (a
    // record among the entities): that record takes the handle and the tags of the one read
    // (m_head) and stays the block's. False when no BLOCK was given a record of that name.
    bool joinMadeBlockRecord(const Codec& codec, std::uint32_t line);

    void beginBlock(const RecordView& record);
    // A name "*U<n>" that no block has.
    std::string anonymousBlockName();
    void endBlock(const RecordView& record);
    void follower(const RecordView& record);
    void closeSequence();
    // The kept entity's records are all read: a kept shape takes what they hold.
    void endKeptSequence();
    // The layer tag of a block's BLOCK record, kept with the block's record: its list and its
    // index there, or a null list.
    std::pair<TagList*, size_t> blockLayerOf(const AcDbObject* block);
    // A block's BLOCK record names its layer as an entity does: a layer the drawing has not is
    // added (reported), and a layer's repaired name followed (followRenamedLayers).
    void addBlockLayers();
    void finishR12Polyline();
    bool convertR12Polyline(const R12Polyline& polyline);
    void keepR12Polyline(const R12Polyline& polyline);

    // Makes an entity of a record (modelled or kept); null when it is dropped.
    std::unique_ptr<AcDbObject> makeEntity(std::string_view type, std::span<const TagView> tags);
    std::unique_ptr<AcDbObject> makeKept(std::string_view type, bool entity);
    // Gives an entity the values DXF means when a record leaves out its layer, linetype or text
    // style (a layer its linetype).
    void readDefaults(AcDbObject& entity, std::span<const SubclassDef> subclasses,
                      std::span<const TagView> body, bool layer);
    // Where an entity of the record just read belongs.
    Member placeEntity(AcDbObject* entity);
    // Gives the object its extended data, leftovers, handle and extension dictionary, and puts it
    // where `member` says (at once when it can, else once the file is read).
    void finishObject(std::unique_ptr<AcDbObject> object, std::uint32_t line,
                      const Member* member = nullptr);
    // Puts a member in its place; false when that has to wait (an object without its handle yet,
    // a container not read yet). When `last`, nothing waits any more.
    bool applyMember(const Member& member, bool last);
    // Adopts the object under its handle, or keeps it until the file is read when its handle is
    // missing or taken.
    void adoptObject(std::unique_ptr<AcDbObject> object, std::uint32_t line);
    std::uint64_t claimOther(std::string_view handle);
    KeptChild childOf(std::string_view type, std::span<const TagView> tags);

    void adoptPending();
    void applyMembers();
    void registerApplications();
    void settleOtherHandles();
    // The records kept with an entity (the VERTEX and SEQEND records of a polyline, the
    // attributes of an array) name their layer as the entity does, and blocks' BLOCK records
    // name one too: a layer that was renamed (ReadContext::repairLayerNames) is followed there.
    void followRenamedLayers();
    // Links layouts and the blocks of model and paper space one to one (ReadingLayouts.cpp).
    void settleLayouts();
    // Drops the block references that would make a block contain itself (ReadingCycles.cpp).
    void breakBlockCycles();

    AcDbDatabase& m_db;
    AuditReport& m_report;
    std::unique_ptr<FileData> m_data;
    ReadContext m_context;
    RecordHead m_head;
    RecordView m_completed;
    std::vector<TagView> m_scratch, m_common, m_rest, m_tableBody;

    Part m_part = Part::Other;
    HeaderValues m_header;
    // TABLES
    AcDbObject* m_table = nullptr;  // the table being read (host table or kept head)
    std::string m_tableName;
    int m_keptTable = -1;  // its index in m_data->keptTables, or -1
    std::string m_entryType;
    bool m_unknownTable = false;  // in a table of a name no drawing has (left out)
    // BLOCKS
    AcDbObject* m_block = nullptr;
    std::unordered_map<AcDbObject*, BlockEnds> m_blockEnds;
    std::unordered_set<AcDbObject*> m_madeRecords;  // given to BLOCKs that named no record
    // The blocks whose BLOCK record names a layer other than 0, and the line of that name.
    std::vector<std::pair<AcDbObject*, std::uint32_t>> m_blockLayers;
    Sequence m_sequence;
    std::unique_ptr<R12Polyline> m_r12Polyline;
    std::unordered_map<AcDbObject*, std::uint64_t> m_seqends;
    std::vector<AcDbObject*> m_keptHeads;  // of m_data->keptTables
    std::vector<KeptTags*> m_withChildren;
    struct {
        std::uint64_t handle = 0;
        AcDbObject* block = nullptr;
    } m_lastOwner;

    StructureRoots m_roots;
    std::vector<Member> m_members;
    std::vector<Pending> m_pending;
    std::vector<AcDbObject*> m_objectOrder;
    std::set<std::wstring> m_applications;
    std::unordered_set<std::uint64_t> m_otherHandles;
    std::uint64_t m_maxHandle = 0;
    bool m_headerSeen = false;
    std::function<void(const char*)> m_release;
    const char* m_released = nullptr;
};

}  // namespace qv::dxf::reading
