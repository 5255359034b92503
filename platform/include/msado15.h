// ADO for the module: what importing the ADO type library gives a Windows build (the interfaces
// with their property methods, the enumerations, the smart pointers _ConnectionPtr,
// _CommandPtr, _ParameterPtr, _RecordsetPtr, ... and the classes for __uuidof). See ado/Ado.h
// for the contract, and how properties are written without property declarations.
#pragma once

#include "comdef.h"
#include "../ado/Ado.h"
