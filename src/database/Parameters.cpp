#include "database/Parameters.h"

#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/Parameter.h"

static const LPCTSTR SOURCE_FILE = _T("Parameters.cpp");

CParameters::~CParameters() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

int CParameters::add(CParameter* parameter) {
    m_parameters.Add(parameter);
    return ++m_count;
}

CParameter* CParameters::getParameter(_bstr_t name) {
    try {
        // An unset name and the empty one are the same name.
        const CString wanted = static_cast<const wchar_t*>(name);
        for (int i = 0; i < m_count; ++i) {
            CParameter* parameter = m_parameters.GetAt(i);
            if (CString(static_cast<const wchar_t*>(parameter->getName())) == wanted) {
                return parameter;
            }
        }
        return nullptr;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CParameters::getParameter"));
    }
}

void CParameters::addParametersToCommand(_CommandPtr command) {
    try {
        for (int i = 0; i < m_count; ++i) {
            m_parameters.GetAt(i)->addParameterToCommand(command);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CParameters::addParametersToCommand"));
    }
}

void CParameters::getOutputParametersFromCommand(_CommandPtr command) {
    try {
        for (int i = 0; i < m_count; ++i) {
            CParameter* parameter = m_parameters.GetAt(i);
            const int direction = parameter->getDirection();
            if (direction == adParamOutput || direction == adParamInputOutput) {
                parameter->getOutputParametersFromCommand(command->GetParameters());
            }
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CParameters::getOutputParametersFromCommand"));
    }
}

MSXML2::IXMLDOMNodePtr CParameters::serialize(CString namespaceURI) {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr element = xml.createNode(L"parameters", namespaceURI);
        for (int i = 0; i < m_count; ++i) {
            element->appendChild(m_parameters.GetAt(i)->serialize(namespaceURI));
        }
        return element;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CParameters::serialize"));
    }
}

CString CParameters::outToString() {
    try {
        CString text;
        for (int i = 0; i < m_count; ++i) {
            CParameter* parameter = m_parameters.GetAt(i);
            text += L"\tParameters\n\t\tName: ";
            text += static_cast<const wchar_t*>(parameter->getName());
            text += L"\t\tValue: ";
            text += parameter->getValueText();
            text += L"\n";
        }
        return text;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CParameters::outToString"));
    }
}

void CParameters::deleteObjects() {
    try {
        for (int i = 0; i < m_count; ++i) {
            delete m_parameters.GetAt(i);
        }
        m_parameters.RemoveAll();
        m_count = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CParameters::deleteObjects"));
    }
}
