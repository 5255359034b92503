// A decimal parameter: ADO type 131 (adNumeric) with a size (9 unless set), a precision and a
// numeric scale (18 and 10 unless set, as every caller sets them), which ADO receives as bytes;
// value VT_R8. Its XML value text has 5 decimals.
#pragma once

#include "database/Parameter.h"

class CParameterDecimal : public CParameter {
  public:
    CParameterDecimal() = default;

    int getType() override { return adNumeric; }
    int getSize() override { return m_size; }
    CString getValueText() override;

    void setValue(double value);
    void setSize(int size) { m_size = size; }
    // Digits in all, and digits after the point (0 to 255 each).
    void setPrecision(int precision) { m_precision = precision; }
    int getPrecision() const { return m_precision; }
    void setNumericScale(int scale) { m_numericScale = scale; }
    int getNumericScale() const { return m_numericScale; }

  protected:
    CString getKindName() override { return L"ParameterDecimal"; }
    CString getTypeWord() override { return L"decimal"; }
    void setValueFromVariant(const _variant_t& value) override;
    void describeToCommand(_ParameterPtr parameter) override;

  private:
    double m_double = 0.0;
    int m_size = 9;
    int m_precision = 18;
    int m_numericScale = 10;
};
