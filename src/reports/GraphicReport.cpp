// The report's fields and its XML file.
#include "reports/GraphicReport.h"

#include <functional>
#include <memory>

#include "core/ComScope.h"
#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/OwnedPointer.h"
#include "core/PlotSettingIds.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"
#include "drawing/Layers.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/LinkLines.h"

static const LPCTSTR SOURCE_FILE = _T("GraphicReport.cpp");

namespace {

CString boolText(int bFlag) {
    return bFlag ? L"1" : L"0";
}
int readBool(const CString& sText) {
    return sText == L"1" || sText == L"true" ? 1 : 0;
}

}  // namespace

CGraphicReport::~CGraphicReport() {
    delete m_pCategories;
    delete m_pLayersOn;
    delete m_pLinkLines;
}

void CGraphicReport::setDrawingPath(CString sPath) {
    CFileUtilities::checkPathSyntax(sPath);
    m_sDrawingPath = sPath;
}

void CGraphicReport::setDrawingFilename(CString sFilename) {
    CString sChecked = sFilename;
    CFileUtilities::checkFilenameSyntax(sChecked, FALSE);
    m_sDrawingFilename = sFilename;
}

void CGraphicReport::setOutputPath(CString sPath) {
    CFileUtilities::checkPathSyntax(sPath);
    m_sOutputPath = sPath;
}

void CGraphicReport::setOutputFilename(CString sFilename) {
    CString sChecked = sFilename;
    CFileUtilities::checkFilenameSyntax(sChecked, FALSE);
    m_sOutputFilename = sFilename;
}

void CGraphicReport::setXMLOutputTo(CString sPath) {
    CFileUtilities::checkPathSyntax(sPath);
    m_sXMLOutputTo = sPath;
}

void CGraphicReport::setCategories(CCategories* pCategories) {
    replaceOwned(m_pCategories, pCategories);
}
void CGraphicReport::setLayersOn(CLayers* pLayers) {
    replaceOwned(m_pLayersOn, pLayers);
}
void CGraphicReport::setLinkLines(CLinkLines* pLinkLines) {
    replaceOwned(m_pLinkLines, pLinkLines);
}

void CGraphicReport::serialize(CString sPath) {
    try {
        const CString sRefused = CFileUtilities::checkOutputFile(sPath, CString());
        if (!sRefused.IsEmpty())
            AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, sPath);
        // Built in a file of its own beside the target, which replaces the target when whole:
        // an old report stays as it was when writing fails.
        CFileUtilities::replaceFile(sPath, [&](const CString& sTemp) { serializeTo(sTemp); });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CGraphicReport::serialize"));
    }
}

void CGraphicReport::serializeTo(const CString& sPath) {
    CXMLUtilities xml;
    xml.createXMLDoc(sPath, CString(), L"graphicReport", ORVAN_REPORT_NAMESPACE);

    CComScope com;
    MSXML2::IXMLDOMDocumentPtr pDocument;
    pDocument.CreateInstance(L"Msxml2.DOMDocument");
    pDocument->Putasync(VARIANT_FALSE);
    pDocument->load(_variant_t(static_cast<LPCTSTR>(sPath)));
    MSXML2::IXMLDOMNodePtr pRoot = pDocument->selectSingleNode(L"/*");
    if (pRoot == nullptr)
        throw new CEXInvalidXMLFile(ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                    _T("CGraphicReport::serialize"), sPath);
    const CString sNamespace = ORVAN_REPORT_NAMESPACE;
    auto append = [&](LPCTSTR sName, const CString& sText) {
        pRoot->appendChild(xml.createNode(sName, sText, sNamespace));
    };
    append(L"grID", CUtilities::IntToCString(m_iID));
    if (!m_sTitle.IsEmpty())
        append(L"grTitle", m_sTitle);
    append(L"grDrawingPath", m_sDrawingPath);
    append(L"grDrawingFilename", m_sDrawingFilename);
    append(L"grPlotTypeID", CUtilities::IntToCString(m_iPlotType));
    append(L"grPlotAreaTypeID", CUtilities::IntToCString(m_iPlotAreaType));
    append(L"grPlotMediaSizeID", CUtilities::IntToCString(m_iPlotMediaSize));
    append(L"grPlotScaleTypeID", CUtilities::IntToCString(m_iPlotScaleType));
    append(L"grPlotCentred", boolText(m_bPlotCentred));
    if (!m_sSaveCopyTo.IsEmpty())
        append(L"grSaveCopyTo", m_sSaveCopyTo);
    if (!m_sPlotLayout.IsEmpty())
        append(L"grPlotLayout", m_sPlotLayout);
    append(L"grTotalChildAreas", CUtilities::DoubleToRoundTripCString(m_dblTotalChildAreas));
    append(L"grPieXYOffset", CUtilities::DoubleToRoundTripCString(m_dblPieXYOffset));
    append(L"grPieIgnoreEmptySegments", boolText(m_bPieIgnoreEmptySegments));
    append(L"grPieShowLabels", boolText(m_bPieShowLabels));
    append(L"grPieShowLabelSegmentLines", boolText(m_bPieShowLabelSegmentLines));
    if (m_pCategories != nullptr)
        pRoot->appendChild(m_pCategories->serialize(sNamespace));
    if (m_pLayersOn != nullptr)
        pRoot->appendChild(m_pLayersOn->serialize(sNamespace));
    pDocument->save(_variant_t(static_cast<LPCTSTR>(sPath)));
}

void CGraphicReport::deSerialize(CString sPath) {
    CString sWhy;
    load(sPath, sWhy);
}

BOOL CGraphicReport::load(CString sPath, CString& sWhy) {
    const DWORD dwAttributes = GetFileAttributesW(sPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        sWhy = L"the file does not exist";
        return FALSE;
    }
    if (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        sWhy = L"it is not a file";
        return FALSE;
    }
    CComScope com;
    MSXML2::IXMLDOMDocumentPtr pDocument;
    pDocument.CreateInstance(L"Msxml2.DOMDocument");
    pDocument->Putasync(VARIANT_FALSE);
    if (pDocument->load(_variant_t(static_cast<LPCTSTR>(sPath))) == VARIANT_FALSE) {
        MSXML2::IXMLDOMParseErrorPtr pError = pDocument->GetparseError();
        sWhy = pError != nullptr ? CString(static_cast<const wchar_t*>(pError->Getreason()))
                                 : CString(L"it is not an XML file");
        sWhy.Trim();
        if (sWhy.IsEmpty())
            sWhy = L"it is not an XML file";
        return FALSE;
    }
    MSXML2::IXMLDOMNodePtr pRoot = pDocument->selectSingleNode(L"/*");
    if (pRoot == nullptr || CXMLUtilities::nameOf(pRoot) != L"graphicReport" ||
        pRoot->hasChildNodes() == VARIANT_FALSE) {
        sWhy = L"it holds no graphic report";
        return FALSE;
    }

    using Setter = std::function<void(CGraphicReport&, const CString&)>;
    struct Field {
        const wchar_t* sName;
        Setter set;
    };
    static const Field FIELDS[] = {
        {L"grID",
         [](CGraphicReport& r, const CString& s) {
             r.m_iID = static_cast<int>(CUtilities::CStringToLong(s));
         }},
        {L"grTitle", [](CGraphicReport& r, const CString& s) { r.m_sTitle = s; }},
        {L"grDrawingPath", [](CGraphicReport& r, const CString& s) { r.m_sDrawingPath = s; }},
        {L"grDrawingFilename",
         [](CGraphicReport& r, const CString& s) { r.m_sDrawingFilename = s; }},
        {L"grPlotTypeID",
         [](CGraphicReport& r, const CString& s) {
             r.m_iPlotType = CPlotSettingIds::convertPlotDevice(CUtilities::CStringToInt(s));
         }},
        {L"grPlotAreaTypeID",
         [](CGraphicReport& r, const CString& s) {
             r.m_iPlotAreaType = CPlotSettingIds::convertPlotArea(CUtilities::CStringToInt(s));
         }},
        {L"grPlotMediaSizeID",
         [](CGraphicReport& r, const CString& s) {
             r.m_iPlotMediaSize =
                 CPlotSettingIds::convertMediaSizeFromId(CUtilities::CStringToInt(s));
         }},
        {L"grPlotScaleTypeID",
         [](CGraphicReport& r, const CString& s) {
             r.m_iPlotScaleType = CPlotSettingIds::convertScale(CUtilities::CStringToInt(s));
         }},
        {L"grPlotCentred",
         [](CGraphicReport& r, const CString& s) { r.m_bPlotCentred = readBool(s); }},
        {L"grPlotLayout", [](CGraphicReport& r, const CString& s) { r.m_sPlotLayout = s; }},
        {L"grTotalChildAreas",
         [](CGraphicReport& r, const CString& s) {
             CUtilities::CStringToFiniteDouble(s, L"total of child areas", r.m_dblTotalChildAreas);
         }},
        {L"grPieXYOffset",
         [](CGraphicReport& r, const CString& s) {
             CUtilities::CStringToFiniteDouble(s, L"pie offset", r.m_dblPieXYOffset);
         }},
        {L"grPieIgnoreEmptySegments",
         [](CGraphicReport& r, const CString& s) { r.m_bPieIgnoreEmptySegments = readBool(s); }},
        {L"grPieShowLabels",
         [](CGraphicReport& r, const CString& s) { r.m_bPieShowLabels = readBool(s); }},
        {L"grPieShowLabelSegmentLines",
         [](CGraphicReport& r, const CString& s) { r.m_bPieShowLabelSegmentLines = readBool(s); }},
    };

    CXMLUtilities::readElement(pRoot, L"graphicReport",
                               [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                                   if (sName == L"categories") {
                                       auto pCategories = std::make_unique<CCategories>();
                                       pCategories->deSerialize(pChild->GetchildNodes());
                                       setCategories(pCategories.release());
                                       return;
                                   }
                                   if (sName == L"layersOn") {
                                       auto pLayers = std::make_unique<CLayers>();
                                       pLayers->deSerialize(pChild->GetchildNodes());
                                       setLayersOn(pLayers.release());
                                       return;
                                   }
                                   for (const Field& field : FIELDS) {
                                       if (sName == field.sName) {
                                           field.set(*this, CXMLUtilities::textOf(pChild));
                                           return;
                                       }
                                   }
                               });
    return TRUE;
}
