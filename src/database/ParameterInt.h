// An integer parameter: ADO type 3 (adInteger), size 4, value VT_I4.
#pragma once

#include "database/Parameter.h"

class CParameterInt : public CParameter {
  public:
    CParameterInt() = default;

    int getType() override { return adInteger; }
    int getSize() override { return 4; }
    // Decimal digits.
    CString getValueText() override;

    void setValue(int value);

  protected:
    CString getKindName() override { return L"ParameterInt"; }
    CString getTypeWord() override { return L"int"; }
    void setValueFromVariant(const _variant_t& value) override;

  private:
    int m_int = 0;
};
