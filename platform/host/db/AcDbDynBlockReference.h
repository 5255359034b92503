// A look at a block reference as a possibly dynamic block: a dynamic block shows itself through an
// anonymous block ("*U" names) that the host made from the dynamic definition; the anonymous block
// record names that definition in its extended data of the application "AcDbBlockRepBTag" (a
// 1070 item, then the 1005 handle of the dynamic definition's block record).
//
// The object opens nothing for longer than each call; the reference need not be open. A reference
// whose block is not such an anonymous block is not dynamic: its own block is its "dynamic" block
// record, as the host reports it.
#pragma once

#include "AcDbObjectId.h"

class AcDbBlockReference;

class AcDbDynBlockReference {
  public:
    explicit AcDbDynBlockReference(AcDbObjectId blockReference);
    explicit AcDbDynBlockReference(const AcDbBlockReference* blockReference);

    // Whether a block record is an anonymous block made from a dynamic definition.
    static bool isDynamicBlock(AcDbObjectId blockTableRecord);
    bool isDynamicBlock() const;
    AcDbObjectId blockId() const { return m_reference; }
    // The dynamic definition for a dynamic reference; the reference's own block otherwise (null
    // when the reference cannot be read).
    AcDbObjectId dynamicBlockTableRecord() const;
    // The anonymous block of a dynamic reference; the null id otherwise.
    AcDbObjectId anonymousBlockTableRecord() const;

  private:
    AcDbObjectId m_reference;
    AcDbObjectId m_block;
};
