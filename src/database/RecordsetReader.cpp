#include "database/RecordsetReader.h"

#include <cmath>

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

bool CRecordsetReader::fetch(LPCTSTR column, VARTYPE type,
                             const std::function<void(const VARIANT&)>& store) {
    const _variant_t field = get(column);
    if (field.vt == VT_NULL) {
        return false;
    }
    _variant_t converted;
    converted.ChangeType(type, &field);
    store(converted);
    return true;
}

bool CRecordsetReader::read(LPCTSTR column, CString& value) {
    return fetch(column, VT_BSTR, [&](const VARIANT& v) { value = v.bstrVal; });
}

bool CRecordsetReader::read(LPCTSTR column, int& value) {
    return fetch(column, VT_I4, [&](const VARIANT& v) { value = v.lVal; });
}

bool CRecordsetReader::read(LPCTSTR column, double& value) {
    bool bFinite = true;
    const bool bRead = fetch(column, VT_R8, [&](const VARIANT& v) {
        bFinite = std::isfinite(v.dblVal);
        if (bFinite)
            value = v.dblVal;
        else
            acutPrintf(L"Ignored the %s of a record: it is not a finite number.\n", column);
    });
    return bRead && bFinite;
}

bool CRecordsetReader::read(LPCTSTR column, bool& value) {
    return fetch(column, VT_BOOL, [&](const VARIANT& v) { value = v.boolVal != VARIANT_FALSE; });
}

bool CRecordsetReader::read(LPCTSTR column, COleDateTime& value) {
    return fetch(column, VT_DATE, [&](const VARIANT& v) { value = COleDateTime(v.date); });
}

void CRecordsetReader::close() {
    if (m_records && m_records->GetState() == adStateOpen) {
        m_records->Close();
    }
}
