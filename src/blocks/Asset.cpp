#include "blocks/Asset.h"

#include "blocks/Attributes.h"
#include "blocks/Hyperlinks.h"
#include "blocks/ProcedureCall.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"
#include "database/Parameter.h"
#include "database/Parameters.h"
#include "drawing/Hatch.h"
#include "core/OwnedPointer.h"

static const LPCTSTR SOURCE_FILE = _T("Asset.cpp");

CAsset::CAsset(int iDrawingID, CString sHandle, CString sBlockIdentifier,
               CString sBlockDescription, CString sUniqueDescription, double dblPointX,
               double dblPointY, int iExistsInLocation) {
    initialise(0, iDrawingID, sHandle, sBlockIdentifier, sBlockDescription, sUniqueDescription,
               dblPointX, dblPointY, iExistsInLocation);
}

CAsset::CAsset(int iLocationID, int iDrawingID, CString sHandle, CString sBlockIdentifier,
               CString sBlockDescription, CString sUniqueDescription, double dblPointX,
               double dblPointY, int iExistsInLocation) {
    initialise(iLocationID, iDrawingID, sHandle, sBlockIdentifier, sBlockDescription,
               sUniqueDescription, dblPointX, dblPointY, iExistsInLocation);
}

CAsset::CAsset(int iLocationID, int iDrawingID, CString sHandle, CString sBlockIdentifier,
               CString sBlockDescription, CString sUniqueDescription, double dblPointX,
               double dblPointY, CString sStatus) {
    initialise(iLocationID, iDrawingID, sHandle, sBlockIdentifier, sBlockDescription,
               sUniqueDescription, dblPointX, dblPointY, sStatus == L"0" ? 0 : 1);
}

CAsset::~CAsset() {
    delete m_pAttributes;
    delete m_pHyperlinks;
    delete m_pHatch;
}

void CAsset::initialise(int iLocationID, int iDrawingID, CString sHandle,
                        CString sBlockIdentifier, CString sBlockDescription,
                        CString sUniqueDescription, double dblPointX, double dblPointY,
                        int iExistsInLocation) {
    m_iLocationID = iLocationID;
    m_iDrawingID = iDrawingID;
    setHandleFromString(sHandle);
    m_sBlockIdentifier = sBlockIdentifier;
    m_sBlockDescription = sBlockDescription;
    m_sUniqueDescription = sUniqueDescription;
    m_dblPointX = dblPointX;
    m_dblPointY = dblPointY;
    m_iExistsInLocation = iExistsInLocation;
}

void CAsset::setHandleFromString(CString sHandle) {
    m_handle = AcDbHandle(sHandle.GetString());
}

CString CAsset::getHandle() const {
    return CString(m_handle.text().c_str());
}

void CAsset::setAttributes(CAttributes* pAttributes) {
    replaceOwned(m_pAttributes, pAttributes);
}

void CAsset::setHyperlinks(CHyperlinks* pHyperlinks) {
    replaceOwned(m_pHyperlinks, pHyperlinks);
}

void CAsset::setHatch(CHatch* pHatch) {
    replaceOwned(m_pHatch, pHatch);
}

CString CAsset::subject() const {
    return L"asset - " + getHandle();
}

void CAsset::copyTo(CAsset* pTarget) const {
    if (pTarget == nullptr || pTarget == this)
        return;
    try {
        pTarget->setLocationID(m_iLocationID);
        pTarget->setHandle(m_handle);
        pTarget->setBlockIdentifier(m_sBlockIdentifier);
        pTarget->setBlockDescription(m_sBlockDescription);
        pTarget->setUniqueDescription(m_sUniqueDescription);
        pTarget->setPointX(m_dblPointX);
        pTarget->setPointY(m_dblPointY);
        pTarget->setExistsInLocation(m_iExistsInLocation);
        if (m_pHatch != nullptr) {
            auto* pHatch = new CHatch;
            pTarget->setHatch(pHatch);
            m_pHatch->copyTo(pHatch);
        }
        if (m_pHyperlinks != nullptr) {
            auto* pLinks = new CHyperlinks;
            pTarget->setHyperlinks(pLinks);
            m_pHyperlinks->copyTo(pLinks);
        }
        if (m_pAttributes != nullptr) {
            auto* pAttributes = new CAttributes;
            pTarget->setAttributes(pAttributes);
            m_pAttributes->copyAttributesTo(pAttributes);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::copyTo"));
    }
}

MSXML2::IXMLDOMNodePtr CAsset::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pAsset = xml.createNode(L"asset", sNamespace);
        const struct {
            LPCTSTR name;
            CString text;
        } children[] = {
            {L"locationID", CUtilities::IntToCString(m_iLocationID)},
            {L"handle", getHandle()},
            {L"blockIdentifier", m_sBlockIdentifier},
            {L"blockDescription", m_sBlockDescription},
            {L"uniqueDescription", m_sUniqueDescription},
            {L"pointX", CUtilities::DoubleToCString(m_dblPointX, 5)},
            {L"pointY", CUtilities::DoubleToCString(m_dblPointY, 5)},
        };
        for (const auto& child : children)
            pAsset->appendChild(xml.createNode(child.name, child.text, sNamespace));
        return pAsset;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::serialize"));
    }
}

void CAsset::deSerialize(MSXML2::IXMLDOMNodePtr pNode, CHatch* pHatch) {
    try {
        const BOOL bRead = CXMLUtilities::readElement(
            pNode, L"asset", [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                const CString sText = CXMLUtilities::textOf(pChild);
                if (sName == L"locationID")
                    m_iLocationID = CUtilities::CStringToInt(sText);
                else if (sName == L"handle")
                    setHandleFromString(sText);
                else if (sName == L"blockIdentifier")
                    m_sBlockIdentifier = sText;
                else if (sName == L"blockDescription")
                    m_sBlockDescription = sText;
                else if (sName == L"uniqueDescription")
                    m_sUniqueDescription = sText;
                else if (sName == L"pointX")
                    CUtilities::CStringToFiniteDouble(sText, L"asset point", m_dblPointX);
                else if (sName == L"pointY")
                    CUtilities::CStringToFiniteDouble(sText, L"asset point", m_dblPointY);
            });
        if (bRead && pHatch != nullptr) {
            auto* pCopy = new CHatch;
            setHatch(pCopy);
            pHatch->copyTo(pCopy);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::deSerialize"));
    }
}

void CAsset::applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iLocationID,
                        int iTimeout) {
    try {
        BOOL bExcluded = FALSE;
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__to_applyAssetToIPR"), SOURCE_FILE,
            _T("CAsset::applyToIPR"), blockdb::Mode::ReadOutputs,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@locationID"), iLocationID);
                blockdb::addInt(parameters, _T("@drawingID"), iDrawingID);
                blockdb::addVarChar(parameters, _T("@handle"), getHandle(), 255);
                blockdb::addVarChar(parameters, _T("@acadBlockIdentifier"), m_sBlockIdentifier,
                                    100);
                blockdb::addVarChar(parameters, _T("@acadBlockDescription"), m_sBlockDescription,
                                    255);
                blockdb::addVarChar(parameters, _T("@uniqueDescription"), m_sUniqueDescription,
                                    255);
                blockdb::addDecimal(parameters, _T("@pointX"), m_dblPointX);
                blockdb::addDecimal(parameters, _T("@pointY"), m_dblPointY);
                blockdb::addBoolean(parameters, _T("@assetExistsInLocation"),
                                    m_iExistsInLocation);
                blockdb::addBoolean(parameters, _T("@excludedFromTakeoff"), 0, adParamOutput);
            },
            [&](CParameters& parameters) {
                CParameter* pExcluded = parameters.getParameter(L"@excludedFromTakeoff");
                if (pExcluded != nullptr) {
                    const _variant_t value = pExcluded->getValue();
                    bExcluded = value.vt == VT_BOOL ? value.boolVal != VARIANT_FALSE
                                                    : static_cast<long>(value) != 0;
                }
            });
        if (!bExcluded && m_iExistsInLocation != 0 && m_pAttributes != nullptr)
            m_pAttributes->applyToIPR(pStoredProcedure, iDrawingID, getHandle(), iTimeout);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAsset::applyToIPR"));
    }
}

void CAsset::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout,
                      CString sExportParameters) {
    blockdb::callProcedure(
        pStoredProcedure, iTimeout, _T("__to_tp_exportAsset"), SOURCE_FILE,
        _T("CAsset::exportTP"), blockdb::Mode::NoReturn, [&](CParameters& parameters) {
            blockdb::addInt(parameters, _T("@locationID"), m_iLocationID);
            blockdb::addVarChar(parameters, _T("@handle"), getHandle(), 255);
            blockdb::addVarChar(parameters, _T("@acadBlockIdentifier"), m_sBlockIdentifier, 100);
            blockdb::addVarChar(parameters, _T("@acadBlockDescription"), m_sBlockDescription,
                                255);
            blockdb::addVarChar(parameters, _T("@uniqueDescription"), m_sUniqueDescription, 255);
            blockdb::addDecimal(parameters, _T("@pointX"), m_dblPointX);
            blockdb::addDecimal(parameters, _T("@pointY"), m_dblPointY);
            blockdb::addBoolean(parameters, _T("@assetExistsInLocation"), m_iExistsInLocation);
            blockdb::addVarChar(parameters, _T("@exportParameters"), sExportParameters, 255);
        });
}
