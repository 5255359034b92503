// COrvanAttribute: one of the three texts of a space block, knowing which one it is. Its kind
// decides its tag:
//   0 "NAME"   the space's name (code)
//   1 "AREA"   the area text
//   2 "AUX"    the auxiliary value
// setKind of 0, 1 or 2 sets the tag to the kind's word; any other kind is stored and leaves the
// tag as it was. A new record has kind -1 (none of the three).
#pragma once

#include "blocks/Attribute.h"

class COrvanAttribute : public CAttribute {
  public:
    enum Kind { KIND_NONE = -1, KIND_NAME = 0, KIND_AREA = 1, KIND_AUX = 2 };

    COrvanAttribute() = default;

    int getKind() const { return m_iKind; }
    void setKind(int iKind);
    // The tag of a kind ("NAME", "AREA", "AUX"); empty for any other kind.
    static CString tagOfKind(int iKind);

    // A new record with the same tag, kind (through setKind), value and exists flag; the layer
    // and the object id are not copied. The caller owns it. Failures arrive wrapped as
    // "COrvanAttribute::clone".
    COrvanAttribute* clone() const;

  private:
    int m_iKind = KIND_NONE;
};
