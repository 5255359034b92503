// A date-and-time parameter: ADO type 135 (adDBTimeStamp), size 0, value VT_DATE. Its XML value
// text is "%Y%m%d%Hh%M%S_" (24 November 2014 at midnight is "2014112400h0000_").
#pragma once

#include "database/Parameter.h"

class CParameterDateTime : public CParameter {
  public:
    CParameterDateTime() = default;

    int getType() override { return adDBTimeStamp; }
    int getSize() override { return 0; }
    CString getValueText() override;

    void setValue(COleDateTime value);

  protected:
    CString getKindName() override { return L"ParameterDateTime"; }
    CString getTypeWord() override { return L"dateTime"; }
    void setValueFromVariant(const _variant_t& value) override;

  private:
    COleDateTime m_dateTime;
};
