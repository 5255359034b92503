// CServerPreferenceDocMon: the settings of one document-monitor server, as one block of the
// document monitor's XML preferences file holds them.
//
// A block is an element whose child elements are the settings, each named after its setting
// (local name, case-sensitive; the namespace is not looked at) and holding the value as its text:
//
//     <server>
//       <dbDatasource>FACILITIES</dbDatasource>
//       <dbTimeout>30</dbTimeout>
//       <monitorIPC>1</monitorIPC>
//       ...
//     </server>
//
// Values: a text setting takes the text unchanged; an integer goes through
// CUtilities::CStringToInt (a text that is not numeric gives 0); a flag is 1 exactly for the text
// "1" ("true" and "yes" give 0); a plot id (device, scale type, area type, media) is read as an
// integer and mapped by its CAcadUtilities converter, so an id out of range gives 0. A setting
// that is missing keeps its default, one that stands twice takes its last value, other elements
// and children without content are ignored. Bad values are no errors.
#pragma once

#include "StdAfx.h"

#include <msxml6.h>

class CServerPreferenceDocMon {
  public:
    // Every setting at its default: texts empty, integers and flags 0, except cachePlotCentred 1,
    // cachePlotAreaTypeID 1, every wait period 10 and every batch size 25.
    CServerPreferenceDocMon();
    ~CServerPreferenceDocMon() = default;

    // Fills the settings from the child elements of one block element (see above). A failure
    // reaches the caller as a CEXUnhandled naming "CServerPreferenceDocMon::deSerialize"; the
    // settings read before it keep their new values.
    void deSerialize(MSXML2::IXMLDOMNodePtr block);

    // Logs and caches.
    CString getDocMonErrorLogFilePath() const { return m_docMonErrorLogFilePath; }
    CString getAcadErrorLogFilePath() const { return m_acadErrorLogFilePath; }
    int getDeletePeriodSecs() const { return m_deletePeriodSecs; }
    CString getCacheOutPath() const { return m_cacheOutPath; }

    // Plotting of cached drawings ("cachePlotTypeID" is the plot device).
    int getCachePlotPC3Device() const { return m_cachePlotPC3Device; }
    int getApplyCachePlotSettings() const { return m_applyCachePlotSettings; }
    int getCachePlotCentred() const { return m_cachePlotCentred; }
    int getCachePlotScaleType() const { return m_cachePlotScaleType; }
    int getCachePlotAreaType() const { return m_cachePlotAreaType; }
    int getCachePlotMediaName() const { return m_cachePlotMediaName; }
    CString getGraphRepOutPath() const { return m_graphRepOutPath; }

    // The facility database.
    int getDbTimeout() const { return m_dbTimeout; }
    CString getDbDatasource() const { return m_dbDatasource; }
    CString getDbUserID() const { return m_dbUserID; }
    CString getDbPassword() const { return m_dbPassword; }

    // The CAD host run as a service.
    int getRunAcadService() const { return m_runAcadService; }
    int getRunAcadOnlyWhenRequired() const { return m_runAcadOnlyWhenRequired; }
    int getAcadCheckPeriod() const { return m_acadCheckPeriod; }
    CString getAcadPath() const { return m_acadPath; }
    CString getAcadArguments() const { return m_acadArguments; }
    CString getAcadWorkingDirectory() const { return m_acadWorkingDirectory; }
    CString getAcadTempDirectory() const { return m_acadTempDirectory; }
    int getAcadMaxSessionSecs() const { return m_acadMaxSessionSecs; }

    // The monitored kinds of data.
    int getMonitorAsbestos() const { return m_monitorAsbestos; }
    int getAsbestosWaitPeriodSecs() const { return m_asbestosWaitPeriodSecs; }
    int getAsbestosBatchSize() const { return m_asbestosBatchSize; }
    int getMonitorCondition() const { return m_monitorCondition; }
    int getConditionWaitPeriodSecs() const { return m_conditionWaitPeriodSecs; }
    int getConditionBatchSize() const { return m_conditionBatchSize; }
    int getMonitorIPC() const { return m_monitorIPC; }
    int getIpcWaitPeriodSecs() const { return m_ipcWaitPeriodSecs; }
    int getIpcBatchSize() const { return m_ipcBatchSize; }
    int getMonitorIPR() const { return m_monitorIPR; }
    int getIprWaitPeriodSecs() const { return m_iprWaitPeriodSecs; }
    int getIprBatchSize() const { return m_iprBatchSize; }
    int getMonitorLLT() const { return m_monitorLLT; }
    int getLltWaitPeriodSecs() const { return m_lltWaitPeriodSecs; }
    int getLltBatchSize() const { return m_lltBatchSize; }
    int getMonitorSVG() const { return m_monitorSVG; }
    int getSvgWaitPeriodSecs() const { return m_svgWaitPeriodSecs; }
    int getSvgBatchSize() const { return m_svgBatchSize; }

    // Debugging.
    CString getDebugAcad() const { return m_debugAcad; }
    CString getDebugDocMon() const { return m_debugDocMon; }

  private:
    // One row of the table of settings (ServerPreferenceDocMon.cpp): the element's name, how its
    // text becomes a value, and the field it goes to (a text or a number field).
    struct Setting;
    static const Setting s_settings[];

    // Converts one element's text and stores it when the name is that of a setting.
    void store(const CString& name, const CString& text);

    CString m_docMonErrorLogFilePath;
    CString m_acadErrorLogFilePath;
    int m_deletePeriodSecs = 0;
    CString m_cacheOutPath;
    int m_cachePlotPC3Device = 0;
    int m_applyCachePlotSettings = 0;
    int m_cachePlotCentred = 1;
    int m_cachePlotScaleType = 0;
    int m_cachePlotAreaType = 1;
    int m_cachePlotMediaName = 0;
    CString m_graphRepOutPath;
    int m_dbTimeout = 0;
    CString m_dbDatasource;
    CString m_dbUserID;
    CString m_dbPassword;
    int m_runAcadService = 0;
    int m_runAcadOnlyWhenRequired = 0;
    int m_acadCheckPeriod = 0;
    CString m_acadPath;
    CString m_acadArguments;
    CString m_acadWorkingDirectory;
    CString m_acadTempDirectory;
    int m_acadMaxSessionSecs = 0;
    int m_monitorAsbestos = 0;
    int m_asbestosWaitPeriodSecs = 10;
    int m_asbestosBatchSize = 25;
    int m_monitorCondition = 0;
    int m_conditionWaitPeriodSecs = 10;
    int m_conditionBatchSize = 25;
    int m_monitorIPC = 0;
    int m_ipcWaitPeriodSecs = 10;
    int m_ipcBatchSize = 25;
    int m_monitorIPR = 0;
    int m_iprWaitPeriodSecs = 10;
    int m_iprBatchSize = 25;
    int m_monitorLLT = 0;
    int m_lltWaitPeriodSecs = 10;
    int m_lltBatchSize = 25;
    int m_monitorSVG = 0;
    int m_svgWaitPeriodSecs = 10;
    int m_svgBatchSize = 25;
    CString m_debugAcad;
    CString m_debugDocMon;
};
