// One call of a stored procedure by the space-block records (assets, database records): the
// call protocol of CStoredProcedure in one place.
//
// callProcedure builds a parameter list, lets `fill` add the parameters, sets the time-out it is
// given (never another) and the name on the caller's procedure object, attaches the list for the
// call (CAttachedParameters: detached and deleted on every path), runs the procedure as `mode`
// says and hands the result on:
//   Mode::NoReturn     execSPNoReturnParas; `after` (if any) sees the list
//   Mode::ReadOutputs  execSPNoReturnParasReturn; `after` reads the output values from the list
//   Mode::ReadRows     execSPReturnParas; `rows` receives the record set (the caller closes it)
// Failures: a failure of the call itself, or a COM error while the result is read, reaches the
// caller as a CEXStoredProcedure naming `sProcSig` and `sSourceFile` with the call's XML form
// (severity 2); anything else thrown by `after` or `rows` is wrapped as a CEXUnhandled.
#pragma once

#include <functional>

#include "StdAfx.h"
#include "msado15.h"

class CParameters;
class CStoredProcedure;

namespace blockdb {

enum class Mode { NoReturn, ReadOutputs, ReadRows };

void callProcedure(CStoredProcedure* pStoredProcedure, int iTimeout, LPCTSTR sProcedure,
                   LPCTSTR sSourceFile, LPCTSTR sProcSig, Mode mode,
                   const std::function<void(CParameters&)>& fill,
                   const std::function<void(CParameters&)>& after = nullptr,
                   const std::function<void(_RecordsetPtr)>& rows = nullptr);

// Parameters appended to a list, input unless told: an int, a varchar of a size, a tiny int, a decimal of
// precision 18 and numeric scale 10, a boolean.
void addInt(CParameters& parameters, LPCTSTR sName, int iValue, int iDirection = adParamInput);
void addVarChar(CParameters& parameters, LPCTSTR sName, CString sValue, int iSize);
// A tiny integer (0 to 255); a value outside raises a CEXUnhandled that says so.
void addTinyInt(CParameters& parameters, LPCTSTR sName, int iValue);
void addDecimal(CParameters& parameters, LPCTSTR sName, double dblValue);
void addBoolean(CParameters& parameters, LPCTSTR sName, int iValue, int iDirection = adParamInput);

}  // namespace blockdb
