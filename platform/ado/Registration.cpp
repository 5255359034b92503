// Registers the ADO classes with the COM runtime when the library loads, under their CLSIDs and
// the ProgIDs "ADODB.Connection", "ADODB.Command", "ADODB.Recordset" and "ADODB.Parameter".
#include "ado/AdoObjects.h"
#include "com/ComRuntime.h"

namespace qv::ado {
namespace {

struct Registration {
    Registration() {
        qv::com::registerClass(
            __uuidof(Connection), {L"ADODB.Connection", L"ADODB.Connection.6.0"},
            []() -> IUnknown* { return static_cast<_Connection*>(new ConnectionObject()); });
        qv::com::registerClass(
            __uuidof(Command), {L"ADODB.Command", L"ADODB.Command.6.0"},
            []() -> IUnknown* { return static_cast<_Command*>(new CommandObject()); });
        qv::com::registerClass(
            __uuidof(Recordset), {L"ADODB.Recordset", L"ADODB.Recordset.6.0"},
            []() -> IUnknown* { return static_cast<_Recordset*>(new RecordsetObject()); });
        qv::com::registerClass(
            __uuidof(Parameter), {L"ADODB.Parameter", L"ADODB.Parameter.6.0"},
            []() -> IUnknown* { return static_cast<_Parameter*>(new ParameterObject()); });
    }
};

const Registration registration;

}  // namespace
}  // namespace qv::ado
