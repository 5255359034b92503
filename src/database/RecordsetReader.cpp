#include "database/RecordsetReader.h"

#include "core/OrvanExceptions.h"

CRecordsetReader::CRecordsetReader(_RecordsetPtr records) : m_records(records) {}

CRecordsetReader::~CRecordsetReader() {
    try {
        close();
    } catch (...) {
        // The record set goes with the reader either way.
        discardCaughtError();
    }
}

bool CRecordsetReader::next() {
    if (!m_records || m_records->GetState() != adStateOpen) {
        return false;
    }
    if (!m_started) {
        m_started = true;
        if (m_records->GetBOF() && m_records->GetEndOfFile()) {
            return false;
        }
    } else if (!m_records->GetEndOfFile()) {
        m_records->MoveNext();
    }
    return !m_records->GetEndOfFile();
}

_variant_t CRecordsetReader::get(LPCTSTR column) {
    return m_records->GetCollect(_variant_t(column));
}

bool CRecordsetReader::fetch(LPCTSTR column, VARTYPE type, _variant_t& value) {
    const _variant_t field = get(column);
    if (field.vt == VT_NULL) {
        return false;
    }
    value.ChangeType(type, &field);
    return true;
}

bool CRecordsetReader::read(LPCTSTR column, CString& value) {
    _variant_t field;
    if (!fetch(column, VT_BSTR, field)) {
        return false;
    }
    value = field.bstrVal;
    return true;
}

bool CRecordsetReader::read(LPCTSTR column, int& value) {
    _variant_t field;
    if (!fetch(column, VT_I4, field)) {
        return false;
    }
    value = field.lVal;
    return true;
}

bool CRecordsetReader::read(LPCTSTR column, double& value) {
    _variant_t field;
    if (!fetch(column, VT_R8, field)) {
        return false;
    }
    value = field.dblVal;
    return true;
}

bool CRecordsetReader::read(LPCTSTR column, bool& value) {
    _variant_t field;
    if (!fetch(column, VT_BOOL, field)) {
        return false;
    }
    value = field.boolVal != VARIANT_FALSE;
    return true;
}

bool CRecordsetReader::read(LPCTSTR column, COleDateTime& value) {
    _variant_t field;
    if (!fetch(column, VT_DATE, field)) {
        return false;
    }
    value = COleDateTime(field.date);
    return true;
}

void CRecordsetReader::close() {
    if (m_records && m_records->GetState() == adStateOpen) {
        m_records->Close();
    }
}
