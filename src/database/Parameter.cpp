#include "database/Parameter.h"

#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"

CParameter::CParameter() : m_value(0) {}

CParameter::~CParameter() = default;

int CParameter::getType() {
    return adInteger;
}

int CParameter::getSize() {
    return 0;
}

_variant_t CParameter::getValue() {
    return m_value;
}

void CParameter::describeToCommand(_ParameterPtr) {}

CString CParameter::sourceFile() {
    return getKindName() + L".cpp";
}

CString CParameter::procSig(LPCTSTR operation) {
    return L"C" + getKindName() + L"::" + operation;
}

void CParameter::addParameterToCommand(_CommandPtr command) {
    try {
        _ParameterPtr parameter = command->CreateParameter(
            m_name, static_cast<DataTypeEnum>(getType()),
            static_cast<ParameterDirectionEnum>(m_direction), getSize(), m_value);
        describeToCommand(parameter);
        command->GetParameters()->Append(parameter);
    } catch (...) {
        throwWrapped(sourceFile(), procSig(L"addParameterToCommand"));
    }
}

void CParameter::getOutputParametersFromCommand(ParametersPtr parameters) {
    try {
        _ParameterPtr parameter = parameters->GetItem(_variant_t(m_name));
        if (parameter) {
            const _variant_t value = parameter->GetValue();
            // A NULL (or nothing at all) leaves the value as it was.
            if (value.vt != VT_NULL && value.vt != VT_EMPTY) {
                setValueFromVariant(value);
            }
        }
    } catch (...) {
        throwWrapped(sourceFile(), procSig(L"getOutputParametersFromCommand"));
    }
}

MSXML2::IXMLDOMNodePtr CParameter::serialize(CString namespaceURI) {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr element = xml.createNode(L"parameter", namespaceURI);
        element->appendChild(
            xml.createNode(L"parameterName", static_cast<const wchar_t*>(m_name), namespaceURI));
        element->appendChild(xml.createNode(L"parameterType", getTypeWord(), namespaceURI));
        element->appendChild(
            xml.createNode(L"parameterSize", CUtilities::IntToCString(getSize()), namespaceURI));
        element->appendChild(xml.createNode(L"parameterValue", getValueText(), namespaceURI));
        return element;
    } catch (...) {
        throwWrapped(sourceFile(), procSig(L"serialize"));
    }
}
