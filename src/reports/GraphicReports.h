// CGraphicReports: the graphic reports waiting in the facility database, fetched by their status,
// and the batch run over them.
//
// A run: build the list, getGraphicReports with the status that marks waiting reports,
// prepareReports, delete the list. Each report's run records its outcome in the database as a
// status code (CGraphicReport::BatchStatus); nothing is shown to a user.
//
// Ownership: the list owns its reports and deletes them with itself or deleteObjects.
//
// Failures: a failure of the database in getGraphicReports reaches the caller as the
// CEXStoredProcedure of the failed call; anything else as a CEXUnhandled naming
// "CGraphicReports::" and the operation (source file "GraphicReports").
#pragma once

#include "StdAfx.h"

class CGraphicReport;
class CServerPreferenceDocMon;
class CStoredProcedure;

class CGraphicReports {
  public:
    CGraphicReports() = default;
    ~CGraphicReports();
    CGraphicReports(const CGraphicReports&) = delete;
    CGraphicReports& operator=(const CGraphicReports&) = delete;

    // Appends every report whose status is iStatusID (0 to 255), in the database's order, each
    // filled by CGraphicReport::getGraphicReport with the same procedure object, server
    // preference (may be null) and time-out. A row without a report id adds nothing; a report id
    // without a report row still adds a report holding only its id.
    void getGraphicReports(CStoredProcedure* pStoredProcedure,
                           const CServerPreferenceDocMon* pServerPreference, int iStatusID,
                           int iTimeout);
    // Runs every report in list order, dispatching the waiting window messages after each one.
    // A report whose run raises is recorded with CGraphicReport::STATUS_FAILED (when this run
    // had claimed it: a report whose claim itself failed is left as it is), its error is written
    // to the error logs, and the run goes on with the next report. Only a failure to record that
    // status (the database gone) ends the run, raising.
    void prepareReports(CStoredProcedure* pStoredProcedure, int iTimeout);

    // Appends a report (null is ignored); the list owns it from now on, also when appending
    // fails (it is then deleted).
    void addGraphicReport(CGraphicReport* pReport);
    // The report at 0 to getCount() - 1 (outside raises the framework's invalid-argument
    // error); the list keeps ownership.
    CGraphicReport* getAt(int iIndex) const;
    int getCount() const { return m_iCount; }
    // Deletes every report and empties the list.
    void deleteObjects();

  private:
    CArray<CGraphicReport*, CGraphicReport*> m_reports;
    int m_iCount = 0;
};
