#include "core/ServerPreferenceDocMon.h"

#include <iterator>

#include "core/OrvanExceptions.h"
#include "core/PlotSettingIds.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("ServerPreferenceDocMon.cpp");

namespace {

// How the text of a setting's element becomes its value.
enum class Kind { Text, Integer, Flag, PlotDevice, ScaleType, AreaType, Media };

int toNumber(Kind kind, const CString& text) {
    switch (kind) {
        case Kind::Text:  // stored as it is, never converted
            return 0;
        case Kind::Integer:
            return CUtilities::CStringToInt(text);
        case Kind::Flag:
            return text == L"1" ? 1 : 0;
        case Kind::PlotDevice:
            return CPlotSettingIds::convertPlotDevice(CUtilities::CStringToInt(text));
        case Kind::ScaleType:
            return CPlotSettingIds::convertScale(CUtilities::CStringToInt(text));
        case Kind::AreaType:
            return CPlotSettingIds::convertPlotArea(CUtilities::CStringToInt(text));
        case Kind::Media:
            return CPlotSettingIds::convertMediaSizeFromId(CUtilities::CStringToInt(text));
    }
    return 0;
}

}  // namespace

struct CServerPreferenceDocMon::Setting {
    const wchar_t* name;
    Kind kind;
    CString CServerPreferenceDocMon::*text;  // for Kind::Text
    int CServerPreferenceDocMon::*number;    // for every other kind
};

using S = CServerPreferenceDocMon;

const S::Setting S::s_settings[] = {
    {L"docMonErrorLogFilePath", Kind::Text, &S::m_docMonErrorLogFilePath, nullptr},
    {L"acadErrorLogFilePath", Kind::Text, &S::m_acadErrorLogFilePath, nullptr},
    {L"deletePeriodSecs", Kind::Integer, nullptr, &S::m_deletePeriodSecs},
    {L"cacheOutPath", Kind::Text, &S::m_cacheOutPath, nullptr},
    {L"cachePlotTypeID", Kind::PlotDevice, nullptr, &S::m_cachePlotPC3Device},
    {L"applyCachePlotSettings", Kind::Flag, nullptr, &S::m_applyCachePlotSettings},
    {L"cachePlotCentred", Kind::Flag, nullptr, &S::m_cachePlotCentred},
    {L"cachePlotScaleTypeID", Kind::ScaleType, nullptr, &S::m_cachePlotScaleType},
    {L"cachePlotAreaTypeID", Kind::AreaType, nullptr, &S::m_cachePlotAreaType},
    {L"cachePlotMediaNameID", Kind::Media, nullptr, &S::m_cachePlotMediaName},
    {L"graphRepOutPath", Kind::Text, &S::m_graphRepOutPath, nullptr},
    {L"dbTimeout", Kind::Integer, nullptr, &S::m_dbTimeout},
    {L"dbDatasource", Kind::Text, &S::m_dbDatasource, nullptr},
    {L"dbUserID", Kind::Text, &S::m_dbUserID, nullptr},
    {L"dbPassword", Kind::Text, &S::m_dbPassword, nullptr},
    {L"runAcadService", Kind::Flag, nullptr, &S::m_runAcadService},
    {L"runAcadOnlyWhenRequired", Kind::Flag, nullptr, &S::m_runAcadOnlyWhenRequired},
    {L"acadCheckPeriod", Kind::Integer, nullptr, &S::m_acadCheckPeriod},
    {L"acadPath", Kind::Text, &S::m_acadPath, nullptr},
    {L"acadArguments", Kind::Text, &S::m_acadArguments, nullptr},
    {L"acadWorkingDirectory", Kind::Text, &S::m_acadWorkingDirectory, nullptr},
    {L"acadTempDirectory", Kind::Text, &S::m_acadTempDirectory, nullptr},
    {L"acadMaxSessionSecs", Kind::Integer, nullptr, &S::m_acadMaxSessionSecs},
    {L"monitorAsbestos", Kind::Flag, nullptr, &S::m_monitorAsbestos},
    {L"asbestosWaitPeriodSecs", Kind::Integer, nullptr, &S::m_asbestosWaitPeriodSecs},
    {L"asbestosBatchSize", Kind::Integer, nullptr, &S::m_asbestosBatchSize},
    {L"monitorCondition", Kind::Flag, nullptr, &S::m_monitorCondition},
    {L"conditionWaitPeriodSecs", Kind::Integer, nullptr, &S::m_conditionWaitPeriodSecs},
    {L"conditionBatchSize", Kind::Integer, nullptr, &S::m_conditionBatchSize},
    {L"monitorIPC", Kind::Flag, nullptr, &S::m_monitorIPC},
    {L"ipcWaitPeriodSecs", Kind::Integer, nullptr, &S::m_ipcWaitPeriodSecs},
    {L"ipcBatchSize", Kind::Integer, nullptr, &S::m_ipcBatchSize},
    {L"monitorIPR", Kind::Flag, nullptr, &S::m_monitorIPR},
    {L"iprWaitPeriodSecs", Kind::Integer, nullptr, &S::m_iprWaitPeriodSecs},
    {L"iprBatchSize", Kind::Integer, nullptr, &S::m_iprBatchSize},
    {L"monitorLLT", Kind::Flag, nullptr, &S::m_monitorLLT},
    {L"lltWaitPeriodSecs", Kind::Integer, nullptr, &S::m_lltWaitPeriodSecs},
    {L"lltBatchSize", Kind::Integer, nullptr, &S::m_lltBatchSize},
    {L"monitorSVG", Kind::Flag, nullptr, &S::m_monitorSVG},
    {L"svgWaitPeriodSecs", Kind::Integer, nullptr, &S::m_svgWaitPeriodSecs},
    {L"svgBatchSize", Kind::Integer, nullptr, &S::m_svgBatchSize},
    {L"debugAcad", Kind::Text, &S::m_debugAcad, nullptr},
    {L"debugDocMon", Kind::Text, &S::m_debugDocMon, nullptr},
};

CServerPreferenceDocMon::CServerPreferenceDocMon() try {
} catch (...) {
    throwWrapped(SOURCE_FILE, _T("CServerPreferenceDocMon::CServerPreferenceDocMon"));
}

void CServerPreferenceDocMon::deSerialize(MSXML2::IXMLDOMNodePtr block) {
    try {
        MSXML2::IXMLDOMNodeListPtr children = block->GetchildNodes();
        const long count = children->Getlength();
        for (long i = 0; i < count; ++i) {
            MSXML2::IXMLDOMNodePtr child = children->Getitem(i);
            MSXML2::IXMLDOMNodePtr content = child->GetfirstChild();
            if (!content)
                continue;
            store(CXMLUtilities::nameOf(child), CXMLUtilities::textOf(content));
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CServerPreferenceDocMon::deSerialize"));
    }
}

void CServerPreferenceDocMon::store(const CString& name, const CString& text) {
    static_assert(std::size(s_settings) == 43, "a server block has 43 settings");
    for (const Setting& setting : s_settings) {
        if (name != setting.name)
            continue;
        if (setting.kind == Kind::Text)
            this->*setting.text = text;
        else
            this->*setting.number = toNumber(setting.kind, text);
    }
}
