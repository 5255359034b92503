// CRecordsetReader: reads a record set the way every caller of a stored procedure does: row by
// row until the end, each field by its column name, a NULL field leaving the caller's default in
// place, and the record set closed afterwards when it is open.
//
//     CRecordsetReader rows(pProc->execSPReturnParas());
//     while (rows.next()) {
//         CString sName;                 // the default when the field is NULL
//         rows.read(L"name", sName);
//         ...
//     }
//     rows.close();
//
// A null or closed record set (a procedure that returns no rows at all) and an empty one (BOF and
// EOF both true) have no rows. The reader has no failure handling of its own: ADO's failures (an
// unknown column, a value that does not convert to the field's type) reach the caller as
// _com_error, which callers turn into a CEXStoredProcedure naming the call.
#pragma once

#include <functional>

#include "StdAfx.h"
#include "msado15.h"

class CRecordsetReader {
  public:
    explicit CRecordsetReader(_RecordsetPtr records);
    // Closes the record set when it is still open; never throws.
    ~CRecordsetReader();
    CRecordsetReader(const CRecordsetReader&) = delete;
    CRecordsetReader& operator=(const CRecordsetReader&) = delete;

    // Moves to the next row (the first on the first call); false when there is none.
    bool next();

    // The field of the current row named `column`, converted to the type of `value`; a NULL
    // field leaves `value` unchanged and gives false.
    bool read(LPCTSTR column, CString& value);
    bool read(LPCTSTR column, int& value);
    bool read(LPCTSTR column, double& value);
    bool read(LPCTSTR column, bool& value);
    bool read(LPCTSTR column, COleDateTime& value);
    // The field as ADO gives it (VT_NULL for NULL).
    _variant_t get(LPCTSTR column);

    // Closes the record set when it is open.
    void close();

  private:
    // Reads the field, and unless it is NULL hands it to `store` converted to `type`.
    bool fetch(LPCTSTR column, VARTYPE type, const std::function<void(const VARIANT&)>& store);

    _RecordsetPtr m_records;
    bool m_started = false;
};
