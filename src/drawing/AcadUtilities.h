// CAcadUtilities: the module's stateless helper for the drawing. Every operation is static and
// runs on the host's thread; the class keeps no state and is created (if at all) where it is
// needed. Its operations fall into groups: user input and selection, units and measurement,
// plot-setting identifiers (CPlotSettingIds, core/PlotSettingIds.h), and extended-data values,
// draw order and handles.
//
// Failures: unless an operation says otherwise it runs inside the catch-and-wrap convention
// (core/OrvanExceptions.h), so whatever goes wrong reaches the caller as a CEXUnhandled naming
// "CAcadUtilities::" and the operation, with "AcadUtilities" as its source file.
#pragma once

#include "StdAfx.h"

#include <oleauto.h>

#include <arxHeaders.h>

#include "core/PlotSettingIds.h"

class AcApDocument;
class AcCmColor;
class CBlock;
class AcDbBlockReference;
class AcDbCurve;
class AcDbEntity;
class AcDbPolyline;
class AcDbSortentsTable;

class CAcadUtilities : public CPlotSettingIds {
  public:
    CAcadUtilities() = default;
    virtual ~CAcadUtilities() = default;

    // ---- Units ----------------------------------------------------------------------------
    //
    // A drawing's linear-units setting (LUNITS) of 3 or 4 (engineering, architectural) means one
    // drawing unit is an inch; every other value means a millimetre. Result units 0 are square
    // metres and metres; every other value (1 imperial, and -1 "not set") square feet and feet.
    // A measured value is divided by the divisor:
    //
    //   drawing unit  result units  area divisor     length divisor
    //   millimetre    0             1000000.0        1000.0
    //   millimetre    other         92903.04         304.8
    //   inch          0             1550.0031000062  39.37007874015748
    //   inch          other         144.0            12.0

    static double getAreaDivisor(Adesk::Int16 drawingUnits, int units);
    static double getLengthDivisor(Adesk::Int16 drawingUnits, int units);

    // ---- Measurement ----------------------------------------------------------------------
    //
    // Curves are measured as the host measures them (a closed polyline with its arcs and its
    // closing segment) and converted with the divisors above. A value the host cannot give
    // counts as 0. A null curve or reference raises.

    // The curve's area in square metres or square feet.
    static double calculatePolylineArea(AcDbCurve* curve, Adesk::Int16 drawingUnits, int units);
    // The curve's length in metres or feet.
    static double calculatePolylinePerimeter(AcDbCurve* curve, Adesk::Int16 drawingUnits,
                                             int units);
    // The curve's length in drawing units: the distance along it from its start to its end
    // parameter (for a closed polyline the closing segment included).
    static double getPolyPerimeter(AcDbCurve* curve);
    // The area of a block definition's boundary as a reference places it: the boundary's area
    // times |x scale| times |y scale| (the z scale plays no part).
    static double recalculateBlockArea(AcDbBlockReference* reference, AcDbCurve* boundary,
                                       Adesk::Int16 drawingUnits, int units);
    // The perimeter of the boundary as the reference places it: times |x scale| when |x scale|
    // and |y scale| are exactly equal. A reference scaled differently in x and y has no single
    // factor for its perimeter, and the result is 0.0.
    static double recalculateBlockPerimeter(AcDbBlockReference* reference, AcDbCurve* boundary,
                                            Adesk::Int16 drawingUnits, int units);
    // For a block reference: the box of the first "AcDbPolyline" (exact class name, erased
    // entities skipped) of its definition, grown by the margin in x and y when the margin is
    // above 0, then carried into the drawing by the reference's block transform. The box
    // written is the one that holds all corners of the carried box, so a turned block is held
    // whole. Anything else (not a block reference, a definition that cannot be opened or holds
    // no polyline) writes nothing. Every object opened on the way is closed.
    static void getBlockExtents(AcDbEntity* entity, AcGePoint3d& minPoint, AcGePoint3d& maxPoint,
                                double margin);
    // The smallest x and the largest y over the polyline's vertices (in the world, each carried
    // by the matrix when one is given), taken independently, and z 0. A polyline without
    // vertices gives (DBL_MAX, -DBL_MAX, 0). No guard: failures pass unchanged.
    static AcGePoint3d getPolylineTopLeft(AcDbPolyline* polyline, AcGeMatrix3d* transform);

    // ---- Coordinate systems and colours ---------------------------------------------------

    // A point from the current user coordinate system to the world, and back (as a point, not
    // a displacement).
    static AcGePoint3d convertUCSToWCS(AcGePoint3d point);
    static AcGePoint3d convertWCSToUCS(AcGePoint3d point);
    // A colour that would vanish against the background of model space (a true colour or a
    // palette colour whose red, green and blue all equal the background's) becomes the true
    // colour opposite to the background (255 - red, 255 - green, 255 - blue). Every other colour,
    // and every colour taken from elsewhere (by layer, by block), stays. No guard.
    static void contrastWithBackground(AcCmColor& colour);

    // Packs a point for the host's automation interface: the value becomes an array of doubles
    // (VT_ARRAY | VT_R8) of three elements, lower bound 0, holding x, y and z. S_OK, or
    // E_OUTOFMEMORY when the array cannot be made (the value is then left empty), or the failing
    // code of a store (the elements after it are not stored). No guard: failures pass unchanged.
    // The caller owns the array (VariantClear frees it).
    static HRESULT pointToVariant(VARIANT* value, double x, double y, double z);

    // ---- Extended-data values -------------------------------------------------------------
    //
    // Key ids of a space block's extended-data strings ("KEY=value", the area and perimeter
    // followed by their unit text). They are hexadecimal numbers written with the digits 0 and 1.
    enum XDataKey {
        XDATA_NAME = 0x11,                 // "NAME="
        XDATA_AREA_METRIC = 0x100,         // "AREA=" ... "sq.m."
        XDATA_AREA_IMPERIAL = 0x101,       // "AREA=" ... "sq.ft."
        XDATA_PERIMETER_METRIC = 0x110,    // "PERIMETER=" ... "m."
        XDATA_PERIMETER_IMPERIAL = 0x111,  // "PERIMETER=" ... "ft."
        XDATA_TAGTYPE = 0x1000,            // "TAGTYPE="
        XDATA_AREA_TYPE = 0x1001,          // "AREA_TYPE="
        XDATA_COST_CENTRE = 0x1010,        // "COST_CENTRE="
        XDATA_DATE = 0x1011,               // "DATE="
        XDATA_DATE_L_MOVE = 0x1100,        // "DATE_L_MOVE="
        XDATA_DEPT_CHARGE = 0x1101,        // "DEPT_CHARGE="
        XDATA_ROOM_HEIGHT = 0x1110,        // "ROOM_HEIGHT="
        XDATA_SPECIAL_REQ = 0x1111,        // "SPECIAL_REQ="
        XDATA_TOT_STAFF = 0x10000,         // "TOT_STAFF="
        XDATA_TOT_WKSTNS = 0x10001,        // "TOT_WKSTNS="
        XDATA_VOLUME = 0x10010,            // "VOLUME="
        XDATA_HANDLESTOMINUS = 0x10011,    // "HANDLESTOMINUS="
        XDATA_HANDLESTOADD = 0x10100,      // "HANDLESTOADD="
    };

    // The value of one key-and-value string: as many characters as the key id's key has are cut
    // from the front and, for the area and perimeter, as many as its unit text has from the end.
    // The cut characters are not compared with the key (the caller has recognised it already). A
    // string shorter than what is cut, or a key id not listed above, gives the empty text.
    static CString extractData(int keyId, CString data);

    // ---- Handles --------------------------------------------------------------------------

    // Appends the handles of a handle list: hexadecimal handles, each followed by "," ("1A2,1A7,").
    // Only text followed by a comma counts; text behind the last comma is ignored. Text that is
    // no hexadecimal number reads as the null handle.
    static void convertHandlesStringToArray(CString handles, AcArray<AcDbHandle>& array);
    // The id of the entity with that handle in the working drawing; the null id when there is
    // none (unknown handle, erased entity, an object that is no entity).
    static AcDbObjectId convertHandleToObjectId(AcDbHandle handle);

    // ---- Draw order -----------------------------------------------------------------------
    //
    // These change nothing on a failure; every object they open on the way is closed again
    // (except the table that getSortentsTable hands out).

    // Puts an entity (in a database and open) beneath every other entity of its block: turns
    // the draw-order setting on and moves it to the bottom of its block's sort-entities table,
    // made when the block has none. Needs the document lock. eOk when moved, else the status of
    // the step that was refused (eWasOpenForWrite when the block is held open elsewhere: pass
    // it as `owner` then), which the caller reports.
    static Acad::ErrorStatus moveToBottom(AcDbEntity* entity);
    // The same for an entity whose block the caller holds open (`owner`, its owner).
    static Acad::ErrorStatus moveToBottom(AcDbEntity* entity, AcDbObject* owner);
    // The sort-entities table of the block that owns the entity, open for write, made (with the
    // block's extension dictionary) when the block has none; null when the entity has no owner
    // or something on the way is refused. The caller closes the table.
    static AcDbSortentsTable* getSortentsTable(AcDbEntity* entity);
    // Turns on the seven draw-order flags of "SORTENTS" (value | 127) unless they are all on.
    static void ensureSortentsEnabled();
    // Sets "SORTENTS" (as a 16-bit value).
    static void setSortents(int value);

    // ---- User input and selection (AcadUtilitiesInput.cpp) --------------------------------
    //
    // Prompts on the host's command line. A value prompt reads "\n" + text + " <" + default +
    // ">:" and its answer, then echoes the value taken as a blank, the value and a line feed.
    // An empty answer, a cancel or an error keeps the default (the out value is set to it
    // first). Single picks print "Cancelled by User.\n" when the user cancels where said.

    // The default written in decimal; the echo " %i\n".
    static void getInteger(CString text, int defaultValue, int* value);
    // The default and the echo written with `precision` decimal places.
    static void getDouble(CString text, double defaultValue, int precision, double* value);
    // A text with blanks allowed; a non-empty answer is taken, anything else keeps the default.
    static void getString(CString text, CString defaultValue, CString* value);
    // Asks "\n" + text + ":" for a text with blanks allowed; the answer as typed (it may be
    // empty), or the empty text after a cancel or an error. No echo.
    static CString getStringValue(CString text);
    // The default shown as "1" or "0"; a non-empty answer gives TRUE exactly for "1", "t", "tr",
    // "tru", "true", "y", "ye" and "yes" (case matters), anything else FALSE; an empty or
    // cancelled answer keeps the default. The echo is " 1\n" or " 0\n".
    static void getBoolean(CString text, BOOL defaultValue, BOOL* value);

    // One pick of any entity with the prompt as given: 1 and its id, or 0 leaving the id alone.
    static int selectObjectId(AcDbObjectId& id, CString prompt);
    // Asks "\n" + prompt + "\n" ("Please select an object" for an empty prompt) until an
    // entity whose class name is `className` (exactly) is picked: 0, its id in `id`. A pick of
    // another class prints "Invalid selection - <its class>.\n" and asks again (its id is left
    // in `id`); an entity that cannot be opened is asked again silently. A cancel prints
    // "Cancelled by User.\n" and gives 16.
    static int selectObjectIdOfClass(AcDbObjectId* id, CString prompt, CString className);
    // Prints "\n" + prompt, lets the user select with the host's selection prompt, and appends
    // to `ids` (kept as they are) the members, in selection order, that can be opened and are
    // not block references. Always 1.
    static int selectObjectIds(AcDbObjectIdArray& ids, CString prompt);
    // Asks "\nPlease select a Orvan Space\n" until a block reference (exactly that class, any
    // block) is picked, reads it as a space block with the document and copies it into the
    // target (CBlockDWG::copyInto for a drawing block, the CBlock fields otherwise): 1. An entity
    // of another class prints "Invalid selection.\n" and asks again; one that does not open is
    // asked again silently; a cancel prints "Cancelled by User.\n" and gives 0. Defined with the
    // space blocks (blocks/UserSelectOrvanBlock.cpp).
    static int userSelectOrvanBlock(AcApDocument* document, CBlock* target);
    // Picks one block reference ("\nPlease select a space\n"): 0 and its handle, or 13
    // leaving the handle alone. No guard: failures reach the caller unwrapped.
    static int selectSpaceHandle(AcDbHandle* handle);
};
