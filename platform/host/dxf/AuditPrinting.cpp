#include "host/dxf/AuditPrinting.h"

#include "host/CommandLine.h"
#include "win32/CodePage.h"

namespace qv::dxf {

void printAuditReport(const std::wstring& fileName, const AuditReport& report) {
    for (const AuditEntry& entry : report.entries()) {
        const std::wstring text = qv::utf8ToWide(entry.text());
        acutPrintf(L"Warning: %s: %s\n", fileName.c_str(), text.c_str());
    }
    if (report.total() > report.entries().size()) {
        acutPrintf(L"Warning: %s: %d more problems not listed\n", fileName.c_str(),
                   static_cast<int>(report.total() - report.entries().size()));
    }
}

}  // namespace qv::dxf
