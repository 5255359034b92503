// A decimal parameter: a float parameter (ADO type 131, adNumeric, value VT_R8, XML value text
// with 5 decimals) with a size of its own (9 unless set) and a precision and numeric scale (18
// and 10 unless set, as every caller sets them), which ADO receives as bytes.
#pragma once

#include "database/ParameterFloat.h"

class CParameterDecimal : public CParameterFloat {
  public:
    CParameterDecimal() = default;

    int getSize() override { return m_size; }

    void setSize(int size) { m_size = size; }
    // Digits in all, and digits after the point (0 to 255 each).
    void setPrecision(int precision) { m_precision = precision; }
    int getPrecision() const { return m_precision; }
    void setNumericScale(int scale) { m_numericScale = scale; }
    int getNumericScale() const { return m_numericScale; }

  protected:
    CString getKindName() override { return L"ParameterDecimal"; }
    CString getTypeWord() override { return L"decimal"; }
    void describeToCommand(_ParameterPtr parameter) override;

  private:
    int m_size = 9;
    int m_precision = 18;
    int m_numericScale = 10;
};
