// The host's error statuses. Every host operation that can fail returns one of these; eOk (0)
// is success. The numbers are the host's and are part of the interface: the module compares
// statuses with literal numbers (83, 87, 95, 420, ...) and shows their names to the user.
//
// Statuses with a meaning of their own in this host:
//   eAmbiguousOutput (5)      the hatch evaluation found the pattern too sparse to show anything
//   eUnknownHandle (13)       a handle that names no object of the database
//   eNotThatKindOfClass (34)  an object opened as a class it is not
//   eWasErased (80)           an erased object opened without asking for erased ones
//   eWasOpenForWrite (83)     an object already open for write
//   eOnLockedLayer (87)       a write-open of an entity on a locked layer
//   eDuplicateRecordName (95) a symbol-table or dictionary name already taken
//   eLockViolation (320)      a refused document lock
//   eHatchTooDense (420)      the hatch evaluation found the pattern too dense to show
#pragma once

#include "AdeskTypes.h"

// X(name, number), in ascending order of number.
#define QV_ACAD_ERROR_STATUSES(X)     \
    X(eOk, 0)                         \
    X(eNotImplementedYet, 1)          \
    X(eNotApplicable, 2)              \
    X(eInvalidInput, 3)               \
    X(eAmbiguousInput, 4)             \
    X(eAmbiguousOutput, 5)            \
    X(eOutOfMemory, 6)                \
    X(eBufferTooSmall, 7)             \
    X(eInvalidOpenState, 8)           \
    X(eEntityInUse, 9)                \
    X(eNullEntityPointer, 10)         \
    X(eNullObjectPointer, 11)         \
    X(eNullObjectId, 12)              \
    X(eUnknownHandle, 13)             \
    X(eNullHandle, 14)                \
    X(eNullIterator, 15)              \
    X(eInvalidIndex, 17)              \
    X(eInvalidKey, 18)                \
    X(eKeyNotFound, 19)               \
    X(eDuplicateKey, 20)              \
    X(eNotOpenForRead, 22)            \
    X(eNotOpenForWrite, 23)           \
    X(eAlreadyInDb, 24)               \
    X(eNoDatabase, 25)                \
    X(eWrongDatabase, 26)             \
    X(eNotInDatabase, 27)             \
    X(eIllegalEntryName, 30)          \
    X(eIllegalReplacement, 31)        \
    X(eInvalidExtents, 32)            \
    X(eDegenerateGeometry, 33)        \
    X(eNotThatKindOfClass, 34)        \
    X(eFileNotFound, 40)              \
    X(eFilerError, 41)                \
    X(eInvalidDwgVersion, 42)         \
    X(eDwgNotRecognized, 43)          \
    X(eFileAccessErr, 44)             \
    X(eRegappIdNotFound, 50)          \
    X(eXdataSizeExceeded, 51)         \
    X(eInvalidResBuf, 52)             \
    X(eNoDocument, 60)                \
    X(eNotCurrentDatabase, 61)        \
    X(eDocumentSwitchDisabled, 62)    \
    X(eWasErased, 80)                 \
    X(ePermanentlyErased, 81)         \
    X(eWasOpenForRead, 82)            \
    X(eWasOpenForWrite, 83)           \
    X(eWasOpenForUndo, 84)            \
    X(eWasNotifying, 85)              \
    X(eWasOpenForNotify, 86)          \
    X(eOnLockedLayer, 87)             \
    X(eMustOpenThruOwner, 88)         \
    X(eSubentitiesStillOpen, 89)      \
    X(eAtMaxReaders, 90)              \
    X(eIsWriteProtected, 91)          \
    X(eIsXRefObject, 92)              \
    X(eNotAnEntity, 93)               \
    X(eHadMultipleReaders, 94)        \
    X(eDuplicateRecordName, 95)       \
    X(eSelfReference, 97)             \
    X(eCannotScaleNonUniformly, 160)  \
    X(eCannotFreezeCurrentLayer, 173) \
    X(eLockViolation, 320)            \
    X(eNotLocked, 321)                \
    X(eHatchTooDense, 420)

namespace Acad {

#define QV_ACAD_STATUS_ENUMERATOR(name, number) name = number,
enum ErrorStatus : int { QV_ACAD_ERROR_STATUSES(QV_ACAD_STATUS_ENUMERATOR) };
#undef QV_ACAD_STATUS_ENUMERATOR

}  // namespace Acad

// The host's text for a status: its name, as "eWasOpenForWrite". A number that is no status
// gives "Unknown error status <number>". The text is static (or, for an unknown number, lives
// until the next call on the same thread).
const ACHAR* acadErrorStatusText(Acad::ErrorStatus status);
