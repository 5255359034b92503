// A boolean parameter: ADO type 11 (adBoolean), size 1, value VT_BOOL (true all bits set).
// Its XML value text is "true" or "false".
#pragma once

#include "database/Parameter.h"

class CParameterBoolean : public CParameter {
  public:
    CParameterBoolean() = default;

    int getType() override { return adBoolean; }
    int getSize() override { return 1; }
    CString getValueText() override;

    // Any nonzero flag is true.
    void setValue(int flag);

  protected:
    CString getKindName() override { return L"ParameterBoolean"; }
    CString getTypeWord() override { return L"boolean"; }
    void setValueFromVariant(const _variant_t& value) override;

  private:
    bool m_flag = false;
};
