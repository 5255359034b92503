// The block definitions that a graphic report draws (legend, legend swatches, pie chart) are
// made again on every application of a report, in place: a definition of the name that exists
// already keeps its record (and so every reference and table cell that shows it) and loses its
// entities, which the caller replaces. Only a name the drawing lacks gets a new record.
#pragma once

#include "StdAfx.h"

namespace reportblocks {

// Opens the definition of that name for write, emptied (its entities erased) or made (origin
// (0, 0, 0)) and added to the database's block table. The host's status: eOk with the record
// held open by `record`; bBadName is set when the table refused the name itself (eInvalidInput
// from the record's name), as against another refusal. Nothing is left open on a failure.
Acad::ErrorStatus openEmptyDefinition(AcDbDatabase* pDatabase, const CString& sName,
                                      AcDbObjectPointer<AcDbBlockTableRecord>& record,
                                      bool& bBadName);

// The name with every character a block name may not hold (\ / : * ? " < > | = ' ; ( ) ,)
// replaced by "_".
CString cleanBlockName(CString sName);

// A new block reference (outside the drawing) of the definition at a point of the current UCS,
// turned by the rotation (radians) in the UCS, scale 1, carried into the world by the UCS of
// the database; appended to model space. The reference's id, or the status raised.
AcDbObjectId insertInModelSpace(AcDbDatabase* pDatabase, AcDbObjectId blockId,
                                const AcGePoint3d& ptPosition, double dblRotation);

}  // namespace reportblocks

class CCategory;

namespace reportblocks {

// The sum of the areas of the category's space blocks, in order; 0.0 without a block list.
// Assets are not counted.
double categoryArea(CCategory* pCategory);

}  // namespace reportblocks
