// What the two text kinds (CParameterChar and CParameterVarChar) share: a string value sent as
// VT_BSTR and a declared size in characters. A text longer than its size is refused by the
// database when the procedure runs; it is never cut short.
#pragma once

#include "database/Parameter.h"

class CParameterText : public CParameter {
  public:
    int getSize() override { return m_size; }
    // The string as it is.
    CString getValueText() override;

    void setValue(_bstr_t value);
    void setSize(int size) { m_size = size; }

  protected:
    explicit CParameterText(int size) : m_size(size) {}

    void setValueFromVariant(const _variant_t& value) override;

  private:
    _bstr_t m_string;
    int m_size;
};

// A fixed-length text: ADO type 129 (adChar), size 20 unless set.
class CParameterChar : public CParameterText {
  public:
    CParameterChar() : CParameterText(20) {}

    int getType() override { return adChar; }

  protected:
    CString getKindName() override { return L"ParameterChar"; }
    CString getTypeWord() override { return L"char"; }
};

// A variable-length text: ADO type 200 (adVarChar), size 255 unless set.
class CParameterVarChar : public CParameterText {
  public:
    CParameterVarChar() : CParameterText(255) {}

    int getType() override { return adVarChar; }

  protected:
    CString getKindName() override { return L"ParameterVarChar"; }
    CString getTypeWord() override { return L"varchar"; }
};
