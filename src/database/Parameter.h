// CParameter: one typed parameter of a stored-procedure call, the base of the eight kinds
// (CParameterBoolean, CParameterChar, CParameterDateTime, CParameterDecimal, CParameterFloat,
// CParameterInt, CParameterTinyInt, CParameterVarChar), one per database type the module sends.
//
// A parameter has a name as the procedure declares it, with its leading at sign ("@locationID"),
// a direction (ADO's: 1 input, 2 output, 3 input-output; 1 until set), an ADO data type and size
// fixed by its kind, and a value: the kind's own value and the variant that ADO receives, which
// the kind's setValue sets together. Until setValue is called the variant is the integer 0
// (VT_INT), whatever the kind, and that is what the procedure then receives.
//
// Callers build a parameter in this order: create the kind, setName, setDirection, the kind's
// size (text kinds) or precision and numeric scale (decimal), the kind's setValue, then
// CParameters::add, which takes it over.
//
// The operations that talk to ADO or build XML wrap every failure in a CEXUnhandled naming the
// kind and the operation ("CParameterDecimal::addParameterToCommand"); a failure of ADO keeps the
// COM error's source and description.
#pragma once

#include "StdAfx.h"
#include "msado15.h"

class CParameter {
  public:
    virtual ~CParameter();
    CParameter(const CParameter&) = delete;
    CParameter& operator=(const CParameter&) = delete;

    // The ADO data type (DataTypeEnum) and the size given to ADO: characters for the text
    // kinds, the kind's fixed size for the others.
    virtual int getType();
    virtual int getSize();
    // A copy of the value exactly as ADO receives it.
    virtual _variant_t getValue();

    // Creates the ADO parameter (name, type, direction, size, value; for the decimal kind also
    // precision and numeric scale) and appends it to the command's Parameters.
    virtual void addParameterToCommand(_CommandPtr command);
    // After a run: looks this parameter up by name in the command's Parameters and takes its
    // value, converted to the kind's type, unless it is NULL. An unknown name raises.
    virtual void getOutputParametersFromCommand(ParametersPtr parameters);
    // "parameter" in `namespaceURI` with "parameterName", "parameterType" (the kind's word),
    // "parameterSize" and "parameterValue" (getValueText), all in the same namespace.
    virtual MSXML2::IXMLDOMNodePtr serialize(CString namespaceURI);

    // The value as text, as the XML form writes it.
    virtual CString getValueText() = 0;

    _bstr_t getName() const { return m_name; }
    void setName(_bstr_t name) { m_name = name; }
    int getDirection() const { return m_direction; }
    void setDirection(int direction) { m_direction = direction; }

  protected:
    CParameter();

    // The kind's source file without extension, which is also its class name without the
    // leading C ("ParameterDecimal").
    virtual CString getKindName() = 0;
    // The kind's type word in the XML form ("decimal").
    virtual CString getTypeWord() = 0;
    // Stores a value read back from ADO (never VT_NULL) with the kind's setValue.
    virtual void setValueFromVariant(const _variant_t& value) = 0;
    // Sets what the kind adds to a new ADO parameter before it is appended (nothing by default).
    virtual void describeToCommand(_ParameterPtr parameter);

    void setVariant(const _variant_t& value) { m_value = value; }

  private:
    CString sourceFile();
    CString procSig(LPCTSTR operation);

    _variant_t m_value;
    _bstr_t m_name;
    int m_direction = adParamInput;
};
