// The drawing database: every object of one drawing, its symbol tables, its named-object
// dictionary and its header variables.
//
// A new database built with defaults holds the layer "0", the linetypes "ByBlock", "ByLayer" and
// "Continuous", the text style "Standard", the registered application "ACAD", the blocks
// "*Model_Space" and "*Paper_Space", and a named-object dictionary with "ACAD_GROUP" and the
// layout dictionary "ACAD_LAYOUT" holding "Model" and "Layout1", the layouts of the two blocks.
//
// Handles are given in increasing order from the handle seed, which only grows: a handle is never
// given twice, not even after its object was erased. Files keep the seed, so handles stay
// unique across a save and a reopen.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "../ge/AcGeMatrix3d.h"
#include "AcDbObject.h"

class AcDbBlockTable;
class AcDbLayerTable;
class AcDbLinetypeTable;
class AcDbTextStyleTable;
class AcDbRegAppTable;
class AcDbSymbolTable;
class AcDbDictionary;
class AcDbIdMapping;

// The stub behind an object id.
struct AcDbStub {
    AcDbDatabase* database = nullptr;
    AcDbHandle handle;
    std::unique_ptr<AcDbObject> object;
};

struct SecurityParams {};

namespace qv::host {
// What a drawing file held beyond what the database models, kept with the database by the
// drawing-file code so that a save writes it back. The database only owns it.
class DrawingFileData {
  public:
    virtual ~DrawingFileData() = default;
};
}  // namespace qv::host

class AcDbDatabase : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcDbDatabase)
  public:
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;
    ~AcDbDatabase() override;

    // The tables and the named-object dictionary, opened (see acdbOpenObject for the statuses).
    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbRegAppTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& dictionary, AcDb::OpenMode mode);
    // The dictionary of table styles (see AcDbTableStyle.h); tablestyle() is the style new tables
    // take: "Standard". A drawing that lacks them gets them the first time they are asked for,
    // so a drawing that never asks keeps its handles as they were. The null id only when the
    // name "ACAD_TABLESTYLE" of the named-object dictionary holds something else.
    AcDbObjectId getTableStyleDictionaryId() const;
    Acad::ErrorStatus getTableStyleDictionary(AcDbDictionary*& dictionary, AcDb::OpenMode mode);
    AcDbObjectId tablestyle() const;

    AcDbObjectId blockTableId() const { return m_blockTable; }
    AcDbObjectId layerTableId() const { return m_layerTable; }
    AcDbObjectId linetypeTableId() const { return m_linetypeTable; }
    AcDbObjectId textStyleTableId() const { return m_textStyleTable; }
    AcDbObjectId regAppTableId() const { return m_regAppTable; }
    AcDbObjectId namedObjectsDictionaryId() const { return m_namedObjects; }
    // The block of model space ("*Model_Space"), and the space new entities go to.
    AcDbObjectId modelSpaceId() const;
    AcDbObjectId paperSpaceId() const;
    AcDbObjectId currentSpaceId() const;
    AcDbObjectId byLayerLinetype() const;
    AcDbObjectId byBlockLinetype() const;
    AcDbObjectId continuousLinetype() const;

    // Adds an object outside any database, which is left open for write; its owner is the
    // database until setOwnerId. eAlreadyInDb for an object of a database.
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* object);
    Acad::ErrorStatus addAcDbObject(AcDbObject* object);
    // The id of a handle's object: eUnknownHandle (and the null id) when the database has none.
    // createIfNotFound is accepted and ignored: ids are never made for unknown handles.
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                      const AcDbHandle& handle, Adesk::UInt32 xRefId = 0);
    // The next handle to give.
    AcDbHandle handseed() const { return m_handseed; }

    // Copies objects of this database into `owner` (a block table record), recording each id
    // and its copy's id in `mapping`. The copies are closed.
    Acad::ErrorStatus deepCloneObjects(const AcDbObjectIdArray& objects, AcDbObjectId owner,
                                       AcDbIdMapping& mapping, bool deferXlation = false);

    // Header variables.
    AcDbObjectId clayer() const { return m_clayer; }
    // The layer must exist and not be frozen (else eInvalidInput).
    Acad::ErrorStatus setClayer(AcDbObjectId layer);
    Adesk::Int16 lunits() const { return m_lunits; }
    Acad::ErrorStatus setLunits(Adesk::Int16 value);
    Adesk::Int16 luprec() const { return m_luprec; }
    Acad::ErrorStatus setLuprec(Adesk::Int16 value);
    AcDb::UnitsValue insunits() const { return m_insunits; }
    Acad::ErrorStatus setInsunits(AcDb::UnitsValue value);
    Adesk::UInt8 sortEnts() const { return m_sortents; }
    Acad::ErrorStatus setSortEnts(Adesk::UInt8 flags);
    double textsize() const { return m_textsize; }
    Acad::ErrorStatus setTextsize(double value);
    AcDbObjectId textstyle() const { return m_textstyle; }
    Acad::ErrorStatus setTextstyle(AcDbObjectId style);
    bool tilemode() const { return m_tilemode; }
    Acad::ErrorStatus setTilemode(bool value);
    // Lines a hatch may be made of before it is too dense to show (HPMAXLINES).
    Adesk::Int32 hpmaxlines() const { return m_hpmaxlines; }
    Acad::ErrorStatus setHpmaxlines(Adesk::Int32 value);
    // The current user coordinate system.
    AcGePoint3d ucsorg() const { return m_ucsOrigin; }
    AcGeVector3d ucsxdir() const { return m_ucsX; }
    AcGeVector3d ucsydir() const { return m_ucsY; }
    // eInvalidInput unless the axes are perpendicular and not zero (they are normalised).
    Acad::ErrorStatus setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                             const AcGeVector3d& yAxis);

    // Writes the drawing to a file through the installed drawing writer (see DrawingFiles.h).
    Acad::ErrorStatus saveAs(const ACHAR* fileName, const SecurityParams* security = nullptr);
    // Reads a drawing file into this database, which must be empty (built without defaults).
    Acad::ErrorStatus readDwgFile(const ACHAR* fileName);
    // The file the drawing was last read from or saved to, or empty.
    Acad::ErrorStatus getFilename(const ACHAR*& fileName) const;
    const ACHAR* originalFileName() const { return m_fileName.c_str(); }

    // Unsaved changes: every open for write (granted) and every header variable set counts as a
    // change, as the host's DBMOD does. A database is unchanged when built or read from a file;
    // qvMarkSaved makes it unchanged again. Only the host's own saves mark it: a module that writes
    // a copy of the drawing (saveAs) leaves the changes unsaved for the user.
    bool qvHasUnsavedChanges() const { return m_changes != m_savedAt; }
    void qvNoteChanged() const { ++m_changes; }
    void qvMarkSaved() { m_savedAt = m_changes; }

    // ---- for the host's own code (drawing files, checks) ----

    // Adds an object read from a file under its handle and owner, closed. eDuplicateKey when the
    // handle is taken or null, eInvalidInput for the largest handle, after which the seed would
    // wrap (the object then stays with the caller); the seed moves past the handle.
    Acad::ErrorStatus qvAdopt(AcDbObjectId& id, std::unique_ptr<AcDbObject>& object,
                              AcDbHandle handle, AcDbObjectId owner);
    // Names the roots of a database read from a file.
    struct Roots {
        AcDbObjectId blockTable, layerTable, linetypeTable, textStyleTable, regAppTable,
            namedObjects;
    };
    void qvSetRoots(const Roots& roots);
    void qvSetHandseed(AcDbHandle seed);
    // Adds what a new default drawing has and this one lacks (tables, the named-object
    // dictionary, layer "0", the standard linetypes, text style, application and blocks), and
    // makes "0" and "Standard" current when nothing valid is; gives every block of model or
    // paper space a layout and ties blocks and layouts both ways (see
    // qv::host::addMissingLayouts). A file reader calls it last.
    void qvAddMissingDefaults();
    void qvSetFileName(const std::wstring& fileName) { m_fileName = fileName; }
    // Every object in handle order (erased ones included).
    void qvForEachObject(const std::function<void(AcDbObject&)>& visit) const;
    // The objects that are open now, in handle order; the database notes them as they open and
    // close, so the answer costs what is open, not the size of the drawing.
    std::vector<const AcDbObject*> qvOpenObjects() const;
    // How many objects the walks of every database (qvForEachObject, qvOpenObjects) have
    // visited since the program started: what a check of such a walk's cost counts.
    static unsigned long long qvObjectsVisited() { return s_visited; }
    // The file data kept by the drawing-file code (null when there is none).
    qv::host::DrawingFileData* qvFileData() const { return m_fileData.get(); }
    void qvSetFileData(std::unique_ptr<qv::host::DrawingFileData> data) {
        m_fileData = std::move(data);
    }

  private:
    friend class AcDbObject;
    friend struct qv::host::ObjectAccess;

    AcDbObjectId addObject(std::unique_ptr<AcDbObject> object, AcDbObjectId owner);
    AcDbObjectId addClosed(AcDbObject* object, AcDbObjectId owner);
    AcDbObjectId blockNamed(const ACHAR* name) const;

    std::map<Adesk::UInt64, std::unique_ptr<AcDbStub>> m_stubs;
    std::unordered_set<const AcDbObject*> m_open;  // (AcDbObject::qvNoteOpenState)
    static inline unsigned long long s_visited = 0;
    AcDbHandle m_handseed{1};
    AcDbObjectId m_blockTable, m_layerTable, m_linetypeTable, m_textStyleTable, m_regAppTable,
        m_namedObjects;
    AcDbObjectId m_clayer, m_textstyle;
    Adesk::Int16 m_lunits = 2;
    Adesk::Int16 m_luprec = 4;
    AcDb::UnitsValue m_insunits = AcDb::kUnitsMillimeters;
    Adesk::UInt8 m_sortents = 127;
    double m_textsize = 2.5;
    bool m_tilemode = true;
    Adesk::Int32 m_hpmaxlines = 1000000;
    AcGePoint3d m_ucsOrigin;
    AcGeVector3d m_ucsX = AcGeVector3d::kXAxis;
    AcGeVector3d m_ucsY = AcGeVector3d::kYAxis;
    std::wstring m_fileName;
    std::unique_ptr<qv::host::DrawingFileData> m_fileData;
    mutable unsigned long long m_changes = 0;
    unsigned long long m_savedAt = 0;
};

namespace qv::host {

// What decides whether a database may be written at all (the document lock): installed by the
// document manager; eOk when there is none.
using WriteGuard = std::function<Acad::ErrorStatus(const AcDbDatabase&)>;
void setWriteGuard(WriteGuard guard);

// A test seam: the next `count` additions of an object to any database fail with `status`.
void failNextAdditions(int count, Acad::ErrorStatus status = Acad::eOutOfMemory);

}  // namespace qv::host
