// The error objects' own logging: an error chain written to the XML error logs (see core/Log.h).
// These operations have no handlers of their own: a failure reaches the caller unchanged.
#include <arxHeaders.h>

#include "core/Log.h"
#include "core/OrvanExceptions.h"
#include "core/PreferencesDocMon.h"

void CEXOrvan::logToErrorLog(CString fileName) const {
    CLog log;
    log.writeToXMLErrorLog(fileName, this);
    acutPrintf(_T("An error has been detected in %s. Please consult the error log\n"),
               getProcSig());
}

void CEXOrvan::logToErrorLogs(const CPreferencesDocMon& preferences) const {
    acutPrintf(_T("An error has been detected please consult the error log\n"));
    for (int i = 0; i < preferences.getCount(); ++i) {
        const CString fileName = preferences.getAt(i)->getAcadErrorLogFilePath();
        if (!fileName.IsEmpty())
            logToErrorLog(fileName);
    }
}

void COrvanExceptions::logAll(const CPreferencesDocMon& preferences) const {
    for (int i = 0; i < m_count; ++i)
        getAt(i)->logToErrorLogs(preferences);
}

void COrvanExceptions::logAll(CString fileName) const {
    for (int i = 0; i < m_count; ++i)
        getAt(i)->logToErrorLog(fileName);
}
