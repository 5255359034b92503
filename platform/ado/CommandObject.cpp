#include "ado/AdoObjects.h"
#include "ado/AdoValues.h"

namespace qv::ado {
namespace {

constexpr const wchar_t* kCommand = L"ADODB.Command";
constexpr const wchar_t* kParameter = L"ADODB.Parameter";
constexpr const wchar_t* kParameters = L"ADODB.Parameters";

std::wstring text(const _bstr_t& value) {
    const wchar_t* p = value;
    return p ? std::wstring(p, value.length()) : std::wstring();
}

bool isText(DataTypeEnum type) {
    return type == adChar || type == adWChar || type == adVarChar || type == adVarWChar ||
           type == adBSTR;
}

// The connection object behind an interface pointer, when it is one of ours.
ConnectionObject* connectionObject(IUnknown* object) {
    if (object == nullptr) {
        return nullptr;
    }
    _Connection* connection = nullptr;
    if (FAILED(
            object->QueryInterface(__uuidof(_Connection), reinterpret_cast<void**>(&connection)))) {
        return nullptr;
    }
    auto* ours = dynamic_cast<ConnectionObject*>(connection);
    connection->Release();
    return ours;
}

}  // namespace

// ---- Parameter -----------------------------------------------------------------------------

_bstr_t ParameterObject::GetName() {
    return _bstr_t(m_name.c_str());
}

void ParameterObject::PutName(_bstr_t name) {
    if (inCollection) {
        // ADO keeps the names of appended parameters fixed: the collection finds them by it.
        raiseAdo(adErrObjectInCollection, kParameter, __uuidof(_Parameter));
    }
    m_name = text(name);
}

_variant_t ParameterObject::GetValue() {
    return m_value;
}

void ParameterObject::PutValue(const _variant_t& value) {
    m_value = value;
}

DataTypeEnum ParameterObject::GetType() {
    return m_type;
}

void ParameterObject::PutType(DataTypeEnum type) {
    m_type = type;
}

ParameterDirectionEnum ParameterObject::GetDirection() {
    return m_direction;
}

void ParameterObject::PutDirection(ParameterDirectionEnum direction) {
    m_direction = direction;
}

unsigned char ParameterObject::GetPrecision() {
    return m_precision;
}

void ParameterObject::PutPrecision(unsigned char precision) {
    m_precision = precision;
}

unsigned char ParameterObject::GetNumericScale() {
    return m_scale;
}

void ParameterObject::PutNumericScale(unsigned char scale) {
    m_scale = scale;
}

ADO_LONGPTR ParameterObject::GetSize() {
    return m_size;
}

void ParameterObject::PutSize(ADO_LONGPTR size) {
    if (size < 0) {
        raiseAdo(adErrInvalidArgument, kParameter, __uuidof(_Parameter));
    }
    m_size = size;
}

odbc::Parameter ParameterObject::toOdbc() const {
    odbc::Parameter p;
    p.name = m_name;
    bool bindable = parameterTypeOf(m_type, p.type);
    switch (m_direction) {
        case adParamInput:
            p.direction = odbc::Direction::Input;
            break;
        case adParamOutput:
            p.direction = odbc::Direction::Output;
            break;
        case adParamInputOutput:
            p.direction = odbc::Direction::InputOutput;
            break;
        case adParamUnknown:
        case adParamReturnValue:
            bindable = false;
            break;
    }
    if (!bindable || (isText(m_type) && m_size <= 0) || m_scale > m_precision) {
        std::wstring message = std::wstring(adoErrorText(adErrInvalidParamInfo)) + L" Parameter " +
                               m_name + L": type " + std::to_wstring(m_type) + L", direction " +
                               std::to_wstring(m_direction) + L", size " + std::to_wstring(m_size) +
                               L".";
        throw _com_error(adoHresult(adErrInvalidParamInfo),
                         qv::com::makeErrorInfo(message.c_str(), kCommand, __uuidof(_Command)));
    }
    p.size = static_cast<std::size_t>(m_size);
    p.precision = m_precision;
    p.scale = m_scale;
    if (p.direction != odbc::Direction::Output) {
        p.value = parameterValue(m_value, m_type, m_name);
    }
    return p;
}

void ParameterObject::takeOutput(const odbc::Value& value) {
    m_value = outputVariant(value, m_type);
}

// ---- Parameters ----------------------------------------------------------------------------

ParametersObject::~ParametersObject() {
    for (ParameterObject* p : m_items) {
        p->inCollection = false;
        p->Release();
    }
}

long ParametersObject::GetCount() {
    return static_cast<long>(m_items.size());
}

std::size_t ParametersObject::find(const _variant_t& index) const {
    return collectionIndex(
        index, m_items.size(),
        [this](std::size_t i) -> const std::wstring& { return m_items[i]->name(); }, kParameters,
        __uuidof(Parameters));
}

_ParameterPtr ParametersObject::GetItem(const _variant_t& index) {
    return _ParameterPtr(static_cast<_Parameter*>(m_items[find(index)]));
}

HRESULT ParametersObject::Append(IDispatch* object) {
    ParameterObject* parameter = nullptr;
    if (object != nullptr) {
        _Parameter* asParameter = nullptr;
        if (SUCCEEDED(object->QueryInterface(__uuidof(_Parameter),
                                             reinterpret_cast<void**>(&asParameter)))) {
            parameter = dynamic_cast<ParameterObject*>(asParameter);
            asParameter->Release();
        }
    }
    if (parameter == nullptr) {
        raiseAdo(adErrInvalidArgument, kParameters, __uuidof(Parameters));
    }
    if (parameter->inCollection) {
        raiseAdo(adErrObjectInCollection, kParameters, __uuidof(Parameters));
    }
    for (const ParameterObject* held : m_items) {
        if (!parameter->name().empty() && sameName(held->name(), parameter->name())) {
            raiseAdo(adErrObjectInCollection, kParameters, __uuidof(Parameters));
        }
    }
    parameter->AddRef();
    m_items.push_back(parameter);
    parameter->inCollection = true;
    return S_OK;
}

HRESULT ParametersObject::Delete(const _variant_t& index) {
    std::size_t i = find(index);
    ParameterObject* parameter = m_items[i];
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
    parameter->inCollection = false;
    parameter->Release();
    return S_OK;
}

// ---- Command -------------------------------------------------------------------------------

CommandObject::CommandObject() : m_parameters(new ParametersObject()) {}

_ConnectionPtr CommandObject::GetActiveConnection() {
    return _ConnectionPtr(static_cast<_Connection*>(m_connection.GetInterfacePtr()));
}

void CommandObject::PutRefActiveConnection(_Connection* connection) {
    if (connection == nullptr) {
        m_connection = nullptr;
        return;
    }
    ConnectionObject* ours = connectionObject(connection);
    if (ours == nullptr) {
        raiseAdo(adErrInvalidConnection, kCommand, __uuidof(_Command));
    }
    m_connection = ours;
}

void CommandObject::PutActiveConnection(const _variant_t& connection) {
    switch (connection.vt) {
        case VT_EMPTY:
        case VT_NULL:
            m_connection = nullptr;
            return;
        case VT_DISPATCH:
        case VT_UNKNOWN: {
            ConnectionObject* ours = connectionObject(connection.punkVal);
            if (ours == nullptr && connection.punkVal != nullptr) {
                raiseAdo(adErrInvalidConnection, kCommand, __uuidof(_Command));
            }
            m_connection = ours;
            return;
        }
        case VT_BSTR: {
            _com_ptr_t<ConnectionObject> own(new ConnectionObject());
            own->Open(_bstr_t(connection.bstrVal, true), _bstr_t(), _bstr_t(),
                      adConnectUnspecified);
            m_connection = own;
            return;
        }
        default:
            raiseAdo(adErrInvalidArgument, kCommand, __uuidof(_Command));
    }
}

_bstr_t CommandObject::GetCommandText() {
    return _bstr_t(m_text.c_str());
}

void CommandObject::PutCommandText(_bstr_t value) {
    m_text = text(value);
}

long CommandObject::GetCommandTimeout() {
    return m_timeout;
}

void CommandObject::PutCommandTimeout(long seconds) {
    if (seconds < 0) {
        raiseAdo(adErrInvalidArgument, kCommand, __uuidof(_Command));
    }
    m_timeout = seconds;
}

CommandTypeEnum CommandObject::GetCommandType() {
    return m_type;
}

void CommandObject::PutCommandType(CommandTypeEnum type) {
    if (type != adCmdText && type != adCmdStoredProc && type != adCmdUnknown) {
        raiseAdo(adErrInvalidArgument, kCommand, __uuidof(_Command));
    }
    m_type = type;
}

_ParameterPtr CommandObject::CreateParameter(_bstr_t name, DataTypeEnum type,
                                             ParameterDirectionEnum direction, ADO_LONGPTR size,
                                             const _variant_t& value) {
    if (size < 0) {
        raiseAdo(adErrInvalidArgument, kCommand, __uuidof(_Command));
    }
    _com_ptr_t<ParameterObject> parameter(new ParameterObject());
    parameter->PutName(name);
    parameter->PutType(type);
    parameter->PutDirection(direction);
    parameter->PutSize(size);
    if (!(value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND)) {
        parameter->PutValue(value);
    }
    return _ParameterPtr(parameter.GetInterfacePtr());
}

ParametersPtr CommandObject::GetParameters() {
    return ParametersPtr(m_parameters.GetInterfacePtr());
}

_RecordsetPtr CommandObject::Execute(VARIANT* recordsAffected, VARIANT* parameters, long options) {
    if (!m_connection || !m_connection->isOpen()) {
        raiseAdo(adErrInvalidConnection, kCommand, __uuidof(_Command));
    }
    if (parameters != nullptr && parameters->vt != VT_EMPTY &&
        !(parameters->vt == VT_ERROR && parameters->scode == DISP_E_PARAMNOTFOUND)) {
        // Values are given through the Parameters collection only.
        raiseAdo(adErrFeatureNotAvailable, kCommand, __uuidof(_Command));
    }
    const bool noRecords = options != adOptionUnspecified && (options & adExecuteNoRecords) != 0;
    long type = options == adOptionUnspecified ? 0 : (options & ~adExecuteNoRecords);
    if (type == 0) {
        type = m_type;
    }
    if (type != adCmdText && type != adCmdStoredProc && type != adCmdUnknown) {
        raiseAdo(adErrInvalidArgument, kCommand, __uuidof(_Command));
    }
    if (m_text.empty()) {
        throw _com_error(static_cast<HRESULT>(0x80040E0Cu),  // DB_E_NOCOMMAND
                         qv::com::makeErrorInfo(L"Command text was not set for the command object.",
                                                kProviderSource, __uuidof(_Command)));
    }

    std::vector<odbc::Parameter> bound;
    for (const ParameterObject* p : m_parameters->items()) {
        bound.push_back(p->toOdbc());
    }
    ConnectionObject& connection = *m_connection;
    connection.clearErrors();
    std::int64_t affected = -1;
    std::optional<odbc::ResultSet> result;
    try {
        if (type == adCmdStoredProc) {
            result = connection.link().call(m_text, bound, static_cast<int>(m_timeout));
        } else {
            result =
                connection.link().execute(m_text, bound, static_cast<int>(m_timeout), &affected);
        }
    } catch (const odbc::Error& e) {
        connection.keepErrors(e);
        raiseProvider(e, __uuidof(_Command));
    }
    const auto& items = m_parameters->items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (bound[i].direction != odbc::Direction::Input) {
            items[i]->takeOutput(bound[i].value);
        }
    }
    if (recordsAffected != nullptr) {
        VariantClear(recordsAffected);
        recordsAffected->vt = VT_I4;
        recordsAffected->lVal = static_cast<LONG>(affected);
    }
    return noRecords ? _RecordsetPtr() : recordsetOf(std::move(result));
}

}  // namespace qv::ado
