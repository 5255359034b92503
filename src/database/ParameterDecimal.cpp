#include "database/ParameterDecimal.h"

void CParameterDecimal::describeToCommand(_ParameterPtr parameter) {
    parameter->PutPrecision(static_cast<unsigned char>(m_precision));
    parameter->PutNumericScale(static_cast<unsigned char>(m_numericScale));
}
