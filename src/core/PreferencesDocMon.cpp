#include "core/PreferencesDocMon.h"

#include <memory>

#include <arxHeaders.h>

#include "core/ComScope.h"
#include "core/OrvanExceptions.h"
#include "core/PlotSettingIds.h"
#include "core/SystemUtilities.h"
#include "core/XMLUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("PreferencesDocMon.cpp");

CPreferencesDocMon docMonPreferences;

CPreferencesDocMon::~CPreferencesDocMon() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

void CPreferencesDocMon::deSerialize(CString fileName) {
    try {
        CComScope com;
        MSXML2::IXMLDOMDocumentPtr document;
        document.CreateInstance(L"Msxml2.DOMDocument");
        document->Putasync(VARIANT_FALSE);
        document->load(_variant_t(static_cast<LPCTSTR>(fileName)));

        MSXML2::IXMLDOMNodePtr root = document->selectNodes(L"/*")->Getitem(0);
        if (!root) {
            throw new CEXInvalidXMLFile(ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                        _T("CPreferencesDocMon::deSerialize"), fileName);
        }
        if (CXMLUtilities::nameOf(root) != L"documentMonitorPreferences")
            return;

        MSXML2::IXMLDOMNodeListPtr blocks = root->GetchildNodes();
        const long count = blocks->Getlength();
        for (long i = 0; i < count; ++i) {
            MSXML2::IXMLDOMNodePtr block = blocks->Getitem(i);
            if (block->hasChildNodes() == VARIANT_FALSE)
                continue;
            auto preference = std::make_unique<CServerPreferenceDocMon>();
            preference->deSerialize(block);
            add(preference.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPreferencesDocMon::deSerialize"));
    }
}

void CPreferencesDocMon::add(CServerPreferenceDocMon* preference) {
    m_preferences.Add(preference);
    ++m_count;
}

void CPreferencesDocMon::deleteObjects() {
    try {
        for (int i = 0; i < m_count; ++i) {
            CServerPreferenceDocMon* preference = m_preferences.GetAt(i);
            m_preferences.SetAt(i, nullptr);
            delete preference;
        }
        m_preferences.RemoveAll();
        m_count = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPreferencesDocMon::deleteObjects"));
    }
}

void CPreferencesDocMon::print(CString marker) const {
    try {
        for (int i = 0; i < m_count; ++i) {
            const CServerPreferenceDocMon* preference = m_preferences.GetAt(i);
            const int media = preference->getCachePlotMediaName();
            const int device = preference->getCachePlotPC3Device();
            acutPrintf(_T("Marker                %s\n"), marker);
            acutPrintf(_T("Server                %s\n"), preference->getDbDatasource());
            acutPrintf(_T("getCacheOutPath       %s\n"), preference->getCacheOutPath());
            acutPrintf(_T("getCachePlotAreaType  %i\n"), preference->getCachePlotAreaType());
            acutPrintf(_T("getCachePlotCentred   %b\n"), preference->getCachePlotCentred());
            acutPrintf(_T("getCachePlotMediaName %i, %s\n"), media,
                       CPlotSettingIds::convertMediaSize(media));
            acutPrintf(_T("getCachePlotPC3Device %i, %s\n"), device,
                       CPlotSettingIds::convertPlotDeviceToName(device));
            acutPrintf(_T("getCachePlotScaleType %i\n"), preference->getCachePlotScaleType());
            acutPrintf(_T("\n\n"));
            if (i + 1 < m_count) {
                CSystemUtilities system;
                system.wait(5);
            }
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPreferencesDocMon::print"));
    }
}
