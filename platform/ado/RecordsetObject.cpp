#include "ado/AdoObjects.h"
#include "ado/AdoValues.h"

namespace qv::ado {
namespace {

constexpr const wchar_t* kRecordset = L"ADODB.Recordset";
constexpr const wchar_t* kFields = L"ADODB.Fields";
constexpr const wchar_t* kField = L"ADODB.Field";

}  // namespace

RecordsetObject::RecordsetObject(odbc::ResultSet result) : m_result(std::move(result)) {}

void RecordsetObject::requireOpen(const wchar_t* source) const {
    if (!m_result) {
        raiseAdo(adErrObjectClosed, source, __uuidof(_Recordset));
    }
}

long RecordsetObject::GetState() {
    return m_result ? adStateOpen : adStateClosed;
}

VARIANT_BOOL RecordsetObject::GetBOF() {
    requireOpen(kRecordset);
    return m_result->rows.empty() ? VARIANT_TRUE : VARIANT_FALSE;
}

VARIANT_BOOL RecordsetObject::GetEndOfFile() {
    requireOpen(kRecordset);
    return m_row >= m_result->rows.size() ? VARIANT_TRUE : VARIANT_FALSE;
}

std::size_t RecordsetObject::column(const _variant_t& index, const wchar_t* source) const {
    requireOpen(source);
    const std::vector<odbc::Column>& columns = m_result->columns;
    return collectionIndex(
        index, columns.size(),
        [&columns](std::size_t i) -> const std::wstring& { return columns[i].name; }, source,
        __uuidof(_Recordset));
}

std::size_t RecordsetObject::columnCount() const {
    return m_result ? m_result->columns.size() : 0;
}

const odbc::Column& RecordsetObject::columnAt(std::size_t i) const {
    requireOpen(kField);
    return m_result->columns.at(i);
}

_variant_t RecordsetObject::value(std::size_t column, const wchar_t* source) const {
    requireOpen(source);
    if (m_row >= m_result->rows.size()) {
        raiseAdo(adErrNoCurrentRecord, source, __uuidof(_Recordset));
    }
    return fieldVariant(m_result->rows[m_row][column], m_result->columns[column].type, source);
}

_variant_t RecordsetObject::GetCollect(const _variant_t& index) {
    return value(column(index, kRecordset), kRecordset);
}

FieldsPtr RecordsetObject::GetFields() {
    return FieldsPtr(new FieldsObject(this));
}

ADO_LONGPTR RecordsetObject::GetRecordCount() {
    requireOpen(kRecordset);
    return static_cast<ADO_LONGPTR>(m_result->rows.size());
}

HRESULT RecordsetObject::MoveNext() {
    requireOpen(kRecordset);
    if (m_row >= m_result->rows.size()) {
        raiseAdo(adErrNoCurrentRecord, kRecordset, __uuidof(_Recordset));
    }
    ++m_row;
    return S_OK;
}

HRESULT RecordsetObject::MoveFirst() {
    requireOpen(kRecordset);
    m_row = 0;
    return S_OK;
}

HRESULT RecordsetObject::Close() {
    requireOpen(kRecordset);
    m_result.reset();
    m_row = 0;
    return S_OK;
}

long FieldsObject::GetCount() {
    return static_cast<long>(m_recordset->columnCount());
}

FieldPtr FieldsObject::GetItem(const _variant_t& index) {
    std::size_t column = m_recordset->column(index, kFields);
    return FieldPtr(new FieldObject(m_recordset.GetInterfacePtr(), column));
}

_bstr_t FieldObject::GetName() {
    return _bstr_t(m_recordset->columnAt(m_column).name.c_str());
}

_variant_t FieldObject::GetValue() {
    return m_recordset->value(m_column, kField);
}

DataTypeEnum FieldObject::GetType() {
    return fieldType(m_recordset->columnAt(m_column).type);
}

ADO_LONGPTR FieldObject::GetDefinedSize() {
    return static_cast<ADO_LONGPTR>(m_recordset->columnAt(m_column).size);
}

unsigned char FieldObject::GetPrecision() {
    const odbc::Column& c = m_recordset->columnAt(m_column);
    return c.type == odbc::ColumnType::Decimal ? static_cast<unsigned char>(c.size) : 255;
}

unsigned char FieldObject::GetNumericScale() {
    const odbc::Column& c = m_recordset->columnAt(m_column);
    return c.type == odbc::ColumnType::Decimal ? static_cast<unsigned char>(c.scale) : 255;
}

}  // namespace qv::ado
