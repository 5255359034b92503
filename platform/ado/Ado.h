// ADO (ActiveX Data Objects) with the SQL Server provider, as the module calls it: Connection,
// Command, Parameter(s), Recordset with its Fields, and the Errors of a connection. The objects
// are COM objects of the platform's COM runtime, created by CLSID or ProgID:
//
//     _ConnectionPtr conn;
//     conn.CreateInstance(__uuidof(Connection));      // or
//     conn.CreateInstance(L"ADODB.Connection") conn->PutConnectionTimeout(15);
//     conn->Open(L"Provider=SQLOLEDB;Data Source=db01;Initial Catalog=docMon;User Id=sa;"
//                L"Password=secret;", L"", L"", adConnectUnspecified);
//
//     _CommandPtr cmd;
//     cmd.CreateInstance(__uuidof(Command));
//     cmd->PutRefActiveConnection(conn);
//     cmd->PutCommandType(adCmdStoredProc);
//     cmd->PutCommandTimeout(30);
//     cmd->PutCommandText(L"[idr]..[getAssetAttributes]");
//     cmd->GetParameters()->Append(cmd->CreateParameter(L"@drawingID", adInteger, adParamInput,
//                                                       4, _variant_t(7L)));
//     _RecordsetPtr rs = cmd->Execute(nullptr, nullptr, adCmdStoredProc);
//     while (!rs->GetEndOfFile()) { _variant_t tag = rs->GetCollect(L"aTag"); rs->MoveNext(); }
//
// Properties. The compiler has no property declarations, so every ADO property is a pair of
// methods named as the type library's wrappers name them: `conn->ConnectionTimeout = n` is
// written `conn->PutConnectionTimeout(n)`, `x = conn->Version` is `x = conn->GetVersion()`,
// `cmd->ActiveConnection = conn` (by reference) is `cmd->PutRefActiveConnection(conn)`,
// `rs->EOF` is `rs->GetEndOfFile()` (EOF is the C library's macro; the type library is imported
// with EOF renamed to EndOfFile), `rs->Fields->Item["x"]->Value` is
// `rs->GetFields()->GetItem(L"x")->GetValue()`, `conn->Errors->Count` is
// `conn->GetErrors()->GetCount()`.
//
// Failures. Every method raises `_com_error` as the wrappers do, with error information:
//  - ADO's own errors (a closed object, a name not in a collection, no current record, a bad
//    argument) carry ADO's HRESULT (0x800A0xxx, ErrorValueEnum), ADO's text and the source
//    "ADODB.Connection", "ADODB.Command", "ADODB.Parameter", "ADODB.Parameters",
//    "ADODB.Recordset", "ADODB.Fields" or "ADODB.Field";
//  - failures of the database or its driver (an unreachable server, a login refused, a
//    procedure that does not exist, a text longer than its parameter's declared size, a
//    time-out) carry the driver's own message as the Description and the source
//    "Microsoft OLE DB Provider for ODBC Drivers"; the HRESULT is E_FAIL when no connection was
//    made, DB_E_ABORTLIMITREACHED (0x80040E31) for a time-out, DB_E_DATAOVERFLOW (0x80040E57)
//    for a text too long, DB_E_CANTCONVERTVALUE (0x80040E07) for a value that does not fit its
//    type and DB_E_ERRORSINCOMMAND (0x80040E14) for the rest; a connection string that cannot
//    be used (not "key=value" pairs, a key twice, a value the driver cannot take safely) is
//    E_FAIL with the reason. The connection's Errors collection then holds every diagnostic of
//    the driver (Description, NativeError, SQLState, Source, Number), until the next operation
//    of that connection or its commands.
//
// Connections go through ODBC: see ado/ConnectionString.h for how the connection string becomes
// an ODBC one and which driver serves it. A stored procedure runs as the call escape
// "{call name(?, ...)}" with the command's parameters bound by position in their declared types
// and sizes; a record set is read whole when the command runs (a static record set, as with a
// client-side cursor), so commands may run while another's record set is still open.
//
// Values. Parameters are sent as their declared type (the value variant converted as
// VariantChangeType would; VT_EMPTY and VT_NULL send NULL) and come back as: adInteger VT_I4,
// adTinyInt and adUnsignedTinyInt VT_UI1 (0..255, SQL Server's tinyint), adBoolean VT_BOOL,
// adChar and adVarChar (and their wide forms) VT_BSTR, adNumeric and adDecimal VT_DECIMAL,
// adDouble VT_R8, adSingle VT_R4, adDBTimeStamp and adDate VT_DATE, a NULL VT_NULL. A numeric
// parameter whose Precision is 0 is sent as a double, so that its value keeps its fraction.
// Record-set fields give: bit VT_BOOL, tinyint VT_UI1, smallint VT_I2, int VT_I4, bigint
// VT_I8, real VT_R4, float VT_R8, numeric and decimal VT_DECIMAL, texts VT_BSTR, dates and
// times VT_DATE, NULL VT_NULL.
#pragma once

#include "../com/Bstr.h"
#include "../com/ComError.h"
#include "../com/ComPtr.h"
#include "../com/ComTypes.h"
#include "../com/Unknown.h"
#include "../com/Variant.h"

typedef LONG ADO_LONGPTR;

// ---- enumerations (values of the ADO type library) -----------------------------------------

enum DataTypeEnum {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adBigInt = 20,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adVarWChar = 202,
};

enum ParameterDirectionEnum {
    adParamUnknown = 0,
    adParamInput = 1,
    adParamOutput = 2,
    adParamInputOutput = 3,
    adParamReturnValue = 4,
};

enum CommandTypeEnum {
    adCmdUnspecified = -1,
    adCmdText = 1,
    adCmdTable = 2,
    adCmdStoredProc = 4,
    adCmdUnknown = 8,
};

enum ExecuteOptionEnum {
    adOptionUnspecified = -1,
    adAsyncExecute = 0x10,
    adAsyncFetch = 0x20,
    adAsyncFetchNonBlocking = 0x40,
    adExecuteNoRecords = 0x80,
};

enum ConnectOptionEnum {
    adConnectUnspecified = -1,
    adAsyncConnect = 0x10,
};

enum ObjectStateEnum {
    adStateClosed = 0,
    adStateOpen = 1,
};

// ADO's own error numbers (the low word of the HRESULT 0x800Axxxx).
enum ErrorValueEnum {
    adErrInvalidArgument = 3001,
    adErrNoCurrentRecord = 3021,
    adErrItemNotFound = 3265,
    adErrObjectInCollection = 3367,
    adErrDataConversion = 3421,
    adErrObjectClosed = 3704,
    adErrObjectOpen = 3705,
    adErrProviderNotFound = 3706,
    adErrInvalidParamInfo = 3708,
    adErrInvalidConnection = 3709,
    adErrNotExecuting = 3715,
    adErrFeatureNotAvailable = 3251,
};

// ---- interfaces ----------------------------------------------------------------------------

struct _Connection;
struct _Command;
struct _Parameter;
struct Parameters;
struct _Recordset;
struct Fields;
struct Field;
struct Errors;
struct Error;

_COM_SMARTPTR_TYPEDEF(_Connection, __uuidof(_Connection));
_COM_SMARTPTR_TYPEDEF(_Command, __uuidof(_Command));
_COM_SMARTPTR_TYPEDEF(_Parameter, __uuidof(_Parameter));
_COM_SMARTPTR_TYPEDEF(Parameters, __uuidof(Parameters));
_COM_SMARTPTR_TYPEDEF(_Recordset, __uuidof(_Recordset));
_COM_SMARTPTR_TYPEDEF(Fields, __uuidof(Fields));
_COM_SMARTPTR_TYPEDEF(Field, __uuidof(Field));
_COM_SMARTPTR_TYPEDEF(Errors, __uuidof(Errors));
_COM_SMARTPTR_TYPEDEF(Error, __uuidof(Error));

// One error of the provider, as the connection's Errors collection holds it.
struct Error : IDispatch {
    static constexpr IID qvIid = {
        0x00000500, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    virtual long GetNumber() = 0;  // the HRESULT of the failure
    virtual _bstr_t GetSource() = 0;
    virtual _bstr_t GetDescription() = 0;
    virtual _bstr_t GetSQLState() = 0;
    virtual long GetNativeError() = 0;
};

// The errors of the last failed operation of a connection, in the driver's order.
struct Errors : IDispatch {
    static constexpr IID qvIid = {
        0x00000501, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    virtual long GetCount() = 0;
    // By ordinal, 0 to Count - 1; anything else raises adErrItemNotFound.
    virtual ErrorPtr GetItem(const _variant_t& index) = 0;
    virtual void Clear() = 0;
};

struct Field : IDispatch {
    static constexpr IID qvIid = {
        0x00000569, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    virtual _bstr_t GetName() = 0;
    // The value in the current record; raises adErrNoCurrentRecord at BOF or EOF.
    virtual _variant_t GetValue() = 0;
    virtual DataTypeEnum GetType() = 0;
    virtual ADO_LONGPTR GetDefinedSize() = 0;
    virtual unsigned char GetPrecision() = 0;
    virtual unsigned char GetNumericScale() = 0;
};

struct Fields : IDispatch {
    static constexpr IID qvIid = {
        0x00000564, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    virtual long GetCount() = 0;
    // By name (without regard to case) or ordinal; an unknown one raises adErrItemNotFound.
    virtual FieldPtr GetItem(const _variant_t& index) = 0;
};

struct _Recordset : IDispatch {
    static constexpr IID qvIid = {
        0x00000556, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    // adStateOpen while it holds a result; a command that returned no rows at all (no result
    // set) gives a closed record set, as ADO does. Everything below but GetState raises
    // adErrObjectClosed on a closed record set.
    virtual long GetState() = 0;
    // Before the first record; true together with EndOfFile for an empty result.
    virtual VARIANT_BOOL GetBOF() = 0;
    // After the last record.
    virtual VARIANT_BOOL GetEndOfFile() = 0;
    // The value of a field of the current record, by name (without regard to case) or ordinal:
    // VT_NULL for NULL; an unknown field raises adErrItemNotFound, BOF or EOF
    // adErrNoCurrentRecord.
    virtual _variant_t GetCollect(const _variant_t& index) = 0;
    virtual FieldsPtr GetFields() = 0;
    virtual ADO_LONGPTR GetRecordCount() = 0;
    // MoveNext at EOF raises adErrNoCurrentRecord.
    virtual HRESULT MoveNext() = 0;
    virtual HRESULT MoveFirst() = 0;
    virtual HRESULT Close() = 0;
};

struct _Parameter : IDispatch {
    static constexpr IID qvIid = {
        0x0000050C, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    virtual _bstr_t GetName() = 0;
    virtual void PutName(_bstr_t name) = 0;
    // The value as it was put, or as the last run of the command gave it back.
    virtual _variant_t GetValue() = 0;
    virtual void PutValue(const _variant_t& value) = 0;
    virtual DataTypeEnum GetType() = 0;
    virtual void PutType(DataTypeEnum type) = 0;
    virtual ParameterDirectionEnum GetDirection() = 0;
    virtual void PutDirection(ParameterDirectionEnum direction) = 0;
    virtual unsigned char GetPrecision() = 0;
    virtual void PutPrecision(unsigned char precision) = 0;
    virtual unsigned char GetNumericScale() = 0;
    virtual void PutNumericScale(unsigned char scale) = 0;
    // Characters, for the text types.
    virtual ADO_LONGPTR GetSize() = 0;
    virtual void PutSize(ADO_LONGPTR size) = 0;
};

struct Parameters : IDispatch {
    static constexpr IID qvIid = {
        0x0000050D, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    virtual long GetCount() = 0;
    // By name (without regard to case) or ordinal; an unknown one raises adErrItemNotFound.
    virtual _ParameterPtr GetItem(const _variant_t& index) = 0;
    // Appends a parameter made by CreateParameter (or "ADODB.Parameter"). A parameter that is
    // already in the collection, or one with the name of another, raises
    // adErrObjectInCollection; null or a foreign object raises adErrInvalidArgument.
    virtual HRESULT Append(IDispatch* object) = 0;
    virtual HRESULT Delete(const _variant_t& index) = 0;
};

struct _Command : IDispatch {
    static constexpr IID qvIid = {
        0x986761E8, 0x7269, 0x4890, {0xAA, 0x65, 0xAD, 0x7C, 0x03, 0x69, 0x7A, 0x6D}};
    using qvBase = IDispatch;

    virtual _ConnectionPtr GetActiveConnection() = 0;
    // The command runs on this connection (which stays alive as long as the command holds it);
    // null detaches it.
    virtual void PutRefActiveConnection(_Connection* connection) = 0;
    // A connection object (VT_DISPATCH or VT_UNKNOWN) or a connection string (VT_BSTR, which
    // opens a connection of the command's own).
    virtual void PutActiveConnection(const _variant_t& connection) = 0;
    virtual _bstr_t GetCommandText() = 0;
    virtual void PutCommandText(_bstr_t text) = 0;
    // Seconds; 0 waits without limit; 30 after creation.
    virtual long GetCommandTimeout() = 0;
    virtual void PutCommandTimeout(long seconds) = 0;
    // adCmdText, adCmdStoredProc or adCmdUnknown (taken as text); adCmdUnknown after creation.
    virtual CommandTypeEnum GetCommandType() = 0;
    virtual void PutCommandType(CommandTypeEnum type) = 0;
    virtual _ParameterPtr CreateParameter(_bstr_t name, DataTypeEnum type,
                                          ParameterDirectionEnum direction, ADO_LONGPTR size,
                                          const _variant_t& value = vtMissing) = 0;
    virtual ParametersPtr GetParameters() = 0;
    // Runs the command. `recordsAffected` (when not null) receives the driver's count as VT_I4
    // (-1 when unknown). `parameters` must be null or missing. `options` adOptionUnspecified,
    // or a command type, optionally with adExecuteNoRecords (the result is then null). Returns
    // the record set of the command's first result: open with its rows, or closed when the
    // command gave no result set.
    virtual _RecordsetPtr Execute(VARIANT* recordsAffected, VARIANT* parameters, long options) = 0;
};

struct _Connection : IDispatch {
    static constexpr IID qvIid = {
        0x00001550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
    using qvBase = IDispatch;

    virtual _bstr_t GetConnectionString() = 0;
    // Only while closed; else adErrObjectOpen.
    virtual void PutConnectionString(_bstr_t text) = 0;
    // The default time-out of Execute, in seconds; 30 after creation.
    virtual long GetCommandTimeout() = 0;
    virtual void PutCommandTimeout(long seconds) = 0;
    // The time Open waits for the server, in seconds (0 waits as long as the driver does); 15
    // after creation; only while closed.
    virtual long GetConnectionTimeout() = 0;
    virtual void PutConnectionTimeout(long seconds) = 0;
    // The ADO version, "2.8".
    virtual _bstr_t GetVersion() = 0;
    // The catalogue the open connection is in; while closed, the catalogue of the connection
    // string (or the last one put).
    virtual _bstr_t GetDefaultDatabase() = 0;
    virtual void PutDefaultDatabase(_bstr_t catalogue) = 0;
    virtual ErrorsPtr GetErrors() = 0;
    virtual long GetState() = 0;
    virtual _bstr_t GetProvider() = 0;
    // Opens the connection with `connectionString` (or the ConnectionString property when it is
    // empty); a non-empty `userId` or `password` replaces the one in the string. `options`
    // adConnectUnspecified (or 0). An open connection raises adErrObjectOpen.
    virtual HRESULT Open(_bstr_t connectionString, _bstr_t userId, _bstr_t password,
                         long options) = 0;
    // Closing a closed connection raises adErrObjectClosed.
    virtual HRESULT Close() = 0;
    // Runs SQL text (options adOptionUnspecified, adCmdText or adCmdUnknown, optionally with
    // adExecuteNoRecords) with the CommandTimeout; see _Command::Execute.
    virtual _RecordsetPtr Execute(_bstr_t commandText, VARIANT* recordsAffected, long options) = 0;
};

// ---- the classes ---------------------------------------------------------------------------
// __uuidof(Connection) is the CLSID of "ADODB.Connection", and so on.

struct Connection {
    static constexpr CLSID qvIid = {
        0x00000514, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
};
struct Command {
    static constexpr CLSID qvIid = {
        0x00000507, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
};
struct Recordset {
    static constexpr CLSID qvIid = {
        0x00000535, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
};
struct Parameter {
    static constexpr CLSID qvIid = {
        0x0000050B, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
};

inline constexpr CLSID CLSID_Connection = Connection::qvIid;
inline constexpr CLSID CLSID_Command = Command::qvIid;
inline constexpr CLSID CLSID_Recordset = Recordset::qvIid;
inline constexpr CLSID CLSID_Parameter = Parameter::qvIid;
inline constexpr IID IID__Connection = _Connection::qvIid;
inline constexpr IID IID__Command = _Command::qvIid;
inline constexpr IID IID__Recordset = _Recordset::qvIid;
inline constexpr IID IID__Parameter = _Parameter::qvIid;
