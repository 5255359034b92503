// A tiny-integer parameter: ADO type 16 (adTinyInt), size 1, value an unsigned byte (VT_UI1,
// 0 to 255 as the database's tinyint).
#pragma once

#include "database/Parameter.h"

class CParameterTinyInt : public CParameter {
  public:
    CParameterTinyInt() = default;

    int getType() override { return adTinyInt; }
    int getSize() override { return 1; }
    // Decimal digits.
    CString getValueText() override;

    void setValue(BYTE value);

  protected:
    CString getKindName() override { return L"ParameterTinyInt"; }
    CString getTypeWord() override { return L"tinyInt"; }
    void setValueFromVariant(const _variant_t& value) override;

  private:
    BYTE m_byte = 0;
};
