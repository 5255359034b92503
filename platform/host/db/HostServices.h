// The host application's services: its product name and the working database (the database
// that functions without a database argument act on; normally the current document's).
#pragma once

#include <string>

#include "../AdeskTypes.h"

class AcDbDatabase;
class AcDbLayoutManager;
class AcDbPlotSettingsValidator;

class AcDbHostApplicationServices {
  public:
    AcDbDatabase* workingDatabase() const { return m_working; }
    void setWorkingDatabase(AcDbDatabase* database) { m_working = database; }
    // The host's one layout manager and plot-settings validator.
    AcDbLayoutManager* layoutManager() const;
    AcDbPlotSettingsValidator* plotSettingsValidator() const;

    // The product name ("AutoCAD LT 2015"), the program's name beside it and the maker.
    const ACHAR* product() const { return m_product.c_str(); }
    const ACHAR* program() const { return m_program.c_str(); }
    const ACHAR* companyName() const { return m_company.c_str(); }

    // Set by the host program (from its --product option) and by tests.
    void qvSetProduct(const std::wstring& product) { m_product = product; }
    void qvSetProgram(const std::wstring& program) { m_program = program; }
    void qvSetCompanyName(const std::wstring& company) { m_company = company; }

  private:
    AcDbDatabase* m_working = nullptr;
    std::wstring m_product = L"AutoCAD";
    std::wstring m_program = L"acad";
    std::wstring m_company = L"";
};

// The one instance of this process's host.
AcDbHostApplicationServices* acdbHostApplicationServices();
