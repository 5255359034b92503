// The loader's report on the host's command line.
#pragma once

#include <string>

#include "AuditReport.h"

namespace qv::dxf {

// Prints one line per entry of `report` to the command line (acutPrintf):
//   "Warning: <file>: line 12: value 'x' of group code 10 is not a number; ... [fix 5]"
// and nothing when the report is empty. `fileName` is shown as given.
void printAuditReport(const std::wstring& fileName, const AuditReport& report);

}  // namespace qv::dxf
