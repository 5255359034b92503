// Small host look-ups shared by the space-block code.
#pragma once

#include "StdAfx.h"

#include <memory>

namespace blockhost {

// True when the object's run-time class is exactly `className` (derived classes do not match).
bool isExactly(const AcRxObject* pObject, const wchar_t* sClassName);
// The same for the object of an id, without opening it.
bool isExactly(AcDbObjectId id, const wchar_t* sClassName);
// The entity's layer name.
CString layerOf(const AcDbEntity* pEntity);
// The name of a reference's block definition; empty when the definition does not open.
CString definitionNameOf(const AcDbBlockReference* pReference);
// The handle as its hexadecimal text ("1A2").
CString handleText(const AcDbHandle& handle);
// The object id of a handle in the database; the host's status (13 for an unknown handle).
Acad::ErrorStatus objectIdOf(AcDbDatabase* pDatabase, AcDbHandle handle, AcDbObjectId& id);
// Whether the database knows the handle (a null database knows none).
bool resolves(AcDbDatabase* pDatabase, AcDbHandle handle);
// The ids of a block reference's attributes in the order of its attribute iterator (erased
// ones left out).
AcDbObjectIdArray attributeIdsOf(const AcDbBlockReference* pReference);
// The ids of a block record's entities in order (erased ones left out).
AcDbObjectIdArray entityIdsOf(const AcDbBlockTableRecord* pRecord);

// A result-buffer list freed with acutRelRb.
struct ResBufRelease {
    void operator()(resbuf* pList) const { acutRelRb(pList); }
};
using ResBufPtr = std::unique_ptr<resbuf, ResBufRelease>;

}  // namespace blockhost
