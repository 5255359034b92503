// The COM objects behind the ADO interfaces of ado/Ado.h. Callers use the interfaces; these
// classes are shared only between the objects (a command reaches its connection's ODBC link,
// a collection checks that a parameter is one of ours).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Ado.h"
#include "AdoError.h"
#include "odbc/Connection.h"

namespace qv::ado {

class ConnectionObject final : public qv::com::Object<_Connection> {
  public:
    ConnectionObject() = default;

    _bstr_t GetConnectionString() override;
    void PutConnectionString(_bstr_t text) override;
    long GetCommandTimeout() override;
    void PutCommandTimeout(long seconds) override;
    long GetConnectionTimeout() override;
    void PutConnectionTimeout(long seconds) override;
    _bstr_t GetVersion() override;
    _bstr_t GetDefaultDatabase() override;
    void PutDefaultDatabase(_bstr_t catalogue) override;
    ErrorsPtr GetErrors() override;
    long GetState() override;
    _bstr_t GetProvider() override;
    HRESULT Open(_bstr_t connectionString, _bstr_t userId, _bstr_t password, long options) override;
    HRESULT Close() override;
    _RecordsetPtr Execute(_bstr_t commandText, VARIANT* recordsAffected, long options) override;

    bool isOpen() const { return m_link != nullptr; }
    // The ODBC link of the open connection (check isOpen first).
    odbc::Connection& link() { return *m_link; }
    // Each operation that reaches the provider starts with an empty Errors collection and
    // leaves the driver's diagnostics in it when it fails.
    void clearErrors() { m_errors.clear(); }
    void keepErrors(const odbc::Error& error) { m_errors = providerErrors(error); }
    const std::vector<ProviderError>& errors() const { return m_errors; }

  private:
    ~ConnectionObject() override = default;

    std::unique_ptr<odbc::Connection> m_link;
    std::wstring m_connectionString;
    std::wstring m_defaultDatabase;
    long m_commandTimeout = 30;
    long m_connectionTimeout = 15;
    std::vector<ProviderError> m_errors;
};

// The connection's Errors, read live from the connection.
class ErrorsObject final : public qv::com::Object<Errors> {
  public:
    explicit ErrorsObject(ConnectionObject* connection) : m_connection(connection) {}

    long GetCount() override;
    ErrorPtr GetItem(const _variant_t& index) override;
    void Clear() override;

  private:
    ~ErrorsObject() override = default;
    _ConnectionPtr m_connection;  // keeps the connection alive
};

class ErrorObject final : public qv::com::Object<Error> {
  public:
    explicit ErrorObject(ProviderError error) : m_error(std::move(error)) {}

    long GetNumber() override { return m_error.number; }
    _bstr_t GetSource() override { return _bstr_t(kProviderSource); }
    _bstr_t GetDescription() override { return _bstr_t(m_error.description.c_str()); }
    _bstr_t GetSQLState() override { return _bstr_t(m_error.sqlState.c_str()); }
    long GetNativeError() override { return m_error.nativeError; }

  private:
    ~ErrorObject() override = default;
    ProviderError m_error;
};

class ParameterObject final : public qv::com::Object<_Parameter> {
  public:
    ParameterObject() = default;

    _bstr_t GetName() override;
    void PutName(_bstr_t name) override;
    _variant_t GetValue() override;
    void PutValue(const _variant_t& value) override;
    DataTypeEnum GetType() override;
    void PutType(DataTypeEnum type) override;
    ParameterDirectionEnum GetDirection() override;
    void PutDirection(ParameterDirectionEnum direction) override;
    unsigned char GetPrecision() override;
    void PutPrecision(unsigned char precision) override;
    unsigned char GetNumericScale() override;
    void PutNumericScale(unsigned char scale) override;
    ADO_LONGPTR GetSize() override;
    void PutSize(ADO_LONGPTR size) override;

    const std::wstring& name() const { return m_name; }
    // The parameter as the ODBC layer binds it; raises adErrInvalidParamInfo for a type,
    // direction or size that cannot be bound, and adErrDataConversion for a value that does not
    // convert to the type.
    odbc::Parameter toOdbc() const;
    // Takes the value that came back from the procedure.
    void takeOutput(const odbc::Value& value);
    // Whether the parameter is in a command's Parameters (a parameter belongs to one at most).
    bool inCollection = false;

  private:
    ~ParameterObject() override = default;

    std::wstring m_name;
    DataTypeEnum m_type = adEmpty;
    ParameterDirectionEnum m_direction = adParamInput;
    ADO_LONGPTR m_size = 0;
    unsigned char m_precision = 0;
    unsigned char m_scale = 0;
    _variant_t m_value;
};

class ParametersObject final : public qv::com::Object<Parameters> {
  public:
    ParametersObject() = default;

    long GetCount() override;
    _ParameterPtr GetItem(const _variant_t& index) override;
    HRESULT Append(IDispatch* object) override;
    HRESULT Delete(const _variant_t& index) override;

    // Each holds one reference of the collection.
    const std::vector<ParameterObject*>& items() const { return m_items; }

  private:
    ~ParametersObject() override;
    // The position of the parameter an index names; raises adErrItemNotFound.
    std::size_t find(const _variant_t& index) const;

    std::vector<ParameterObject*> m_items;
};

class CommandObject final : public qv::com::Object<_Command> {
  public:
    CommandObject();

    _ConnectionPtr GetActiveConnection() override;
    void PutRefActiveConnection(_Connection* connection) override;
    void PutActiveConnection(const _variant_t& connection) override;
    _bstr_t GetCommandText() override;
    void PutCommandText(_bstr_t text) override;
    long GetCommandTimeout() override;
    void PutCommandTimeout(long seconds) override;
    CommandTypeEnum GetCommandType() override;
    void PutCommandType(CommandTypeEnum type) override;
    _ParameterPtr CreateParameter(_bstr_t name, DataTypeEnum type, ParameterDirectionEnum direction,
                                  ADO_LONGPTR size, const _variant_t& value) override;
    ParametersPtr GetParameters() override;
    _RecordsetPtr Execute(VARIANT* recordsAffected, VARIANT* parameters, long options) override;

  private:
    ~CommandObject() override = default;

    _com_ptr_t<ConnectionObject> m_connection;
    std::wstring m_text;
    long m_timeout = 30;
    CommandTypeEnum m_type = adCmdUnknown;
    _com_ptr_t<ParametersObject> m_parameters;
};

// A record set holds its whole result; it is closed when the command gave none.
class RecordsetObject final : public qv::com::Object<_Recordset> {
  public:
    RecordsetObject() = default;
    explicit RecordsetObject(odbc::ResultSet result);

    long GetState() override;
    VARIANT_BOOL GetBOF() override;
    VARIANT_BOOL GetEndOfFile() override;
    _variant_t GetCollect(const _variant_t& index) override;
    FieldsPtr GetFields() override;
    ADO_LONGPTR GetRecordCount() override;
    HRESULT MoveNext() override;
    HRESULT MoveFirst() override;
    HRESULT Close() override;

    // For the Fields: the column an index names (raises adErrItemNotFound from `source`), a
    // column's description, and the value of a column in the current record.
    std::size_t column(const _variant_t& index, const wchar_t* source) const;
    std::size_t columnCount() const;
    const odbc::Column& columnAt(std::size_t i) const;
    _variant_t value(std::size_t column, const wchar_t* source) const;

  private:
    ~RecordsetObject() override = default;
    void requireOpen(const wchar_t* source) const;

    std::optional<odbc::ResultSet> m_result;
    std::size_t m_row = 0;
};

class FieldsObject final : public qv::com::Object<Fields> {
  public:
    explicit FieldsObject(RecordsetObject* recordset) : m_recordset(recordset) {}

    long GetCount() override;
    FieldPtr GetItem(const _variant_t& index) override;

  private:
    ~FieldsObject() override = default;
    _com_ptr_t<RecordsetObject> m_recordset;
};

class FieldObject final : public qv::com::Object<Field> {
  public:
    FieldObject(RecordsetObject* recordset, std::size_t column)
        : m_recordset(recordset), m_column(column) {}

    _bstr_t GetName() override;
    _variant_t GetValue() override;
    DataTypeEnum GetType() override;
    ADO_LONGPTR GetDefinedSize() override;
    unsigned char GetPrecision() override;
    unsigned char GetNumericScale() override;

  private:
    ~FieldObject() override = default;
    _com_ptr_t<RecordsetObject> m_recordset;
    std::size_t m_column;
};

// Index texts compare without regard to case, as ADO's collections compare names.
bool sameName(const std::wstring& a, const std::wstring& b);

// The position an index names in a collection of `count` items: a text is a name (the first
// item whose `nameAt` is the same name), anything that converts to a number an ordinal. Raises
// adErrItemNotFound from `source` for anything else.
std::size_t collectionIndex(const _variant_t& index, std::size_t count,
                            const std::function<const std::wstring&(std::size_t)>& nameAt,
                            const wchar_t* source, REFIID iid);

// The record set of a statement's result: open with its rows, or closed when it gave none.
_RecordsetPtr recordsetOf(std::optional<odbc::ResultSet> result);

}  // namespace qv::ado
