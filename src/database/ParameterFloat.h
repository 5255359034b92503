// A floating-point parameter: ADO type 131 (adNumeric) with size 8 and no precision, which ADO
// sends as a double; value VT_R8. Its XML value text has 5 decimals.
#pragma once

#include "database/Parameter.h"

class CParameterFloat : public CParameter {
  public:
    CParameterFloat() = default;

    int getType() override { return adNumeric; }
    int getSize() override { return 8; }
    CString getValueText() override;

    void setValue(double value);

  protected:
    CString getKindName() override { return L"ParameterFloat"; }
    CString getTypeWord() override { return L"float"; }
    void setValueFromVariant(const _variant_t& value) override;

  private:
    double m_double = 0.0;
};
