#include "blocks/Assets.h"

#include <memory>
#include <vector>

#include "blocks/Asset.h"
#include "blocks/Attributes.h"
#include "blocks/Hyperlinks.h"
#include "blocks/ProcedureCall.h"
#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/RecordsetReader.h"
#include "drawing/Hatch.h"

static const LPCTSTR SOURCE_FILE = _T("Assets.cpp");

CAssets::~CAssets() {
    deleteObjects();
}

int CAssets::add(CAsset* pAsset) {
    if (pAsset == nullptr)
        return m_iCount;
    try {
        m_assets.Add(pAsset);
    } catch (...) {
        delete pAsset;
        throwWrapped(SOURCE_FILE, _T("CAssets::add"));
    }
    return ++m_iCount;
}

CAsset* CAssets::getAt(int iIndex) const {
    return m_assets.GetAt(iIndex);
}

CAsset* CAssets::getAtAsset(CString sHandle) const {
    for (int i = 0; i < m_iCount; i++) {
        if (m_assets.GetAt(i)->getHandle() == sHandle)
            return m_assets.GetAt(i);
    }
    return nullptr;
}

void CAssets::deleteObjects() {
    for (int i = 0; i < m_assets.GetSize(); i++)
        delete m_assets.GetAt(i);
    m_assets.RemoveAll();
    m_iCount = 0;
}

void CAssets::copyTo(CAssets* pTarget) const {
    if (pTarget == nullptr || pTarget == this)
        return;
    try {
        for (int i = 0; i < m_iCount; i++) {
            auto pCopy = std::make_unique<CAsset>();
            m_assets.GetAt(i)->copyTo(pCopy.get());
            pTarget->add(pCopy.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::copyTo"));
    }
}

void CAssets::applyToDWG(CAcadDrawing* pDrawing, COrvanExceptions* pErrors) {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_assets.GetAt(i)->applyToDWG(pDrawing, pErrors);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::applyToDWG"));
    }
}

void CAssets::applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID, int iLocationID,
                         int iTimeout) {
    try {
        for (int i = 0; i < m_iCount; i++) {
            CAsset* pAsset = m_assets.GetAt(i);
            if (assetExclusionList.Find(L"," + pAsset->getBlockIdentifier() + L",") >= 0)
                continue;
            pAsset->applyToIPR(pStoredProcedure, iDrawingID, iLocationID, iTimeout);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::applyToIPR"));
    }
}

void CAssets::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout,
                       CString sExportParameters) {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_assets.GetAt(i)->exportTP(pStoredProcedure, iTimeout, sExportParameters);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::exportTP"));
    }
}

MSXML2::IXMLDOMNodePtr CAssets::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pAssets = xml.createNode(L"assets", sNamespace);
        for (int i = 0; i < m_iCount; i++)
            pAssets->appendChild(m_assets.GetAt(i)->serialize(sNamespace));
        return pAssets;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::serialize"));
    }
}

void CAssets::deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes, CHatch* pHatch) {
    try {
        if (pNodes == nullptr)
            return;
        const long lCount = pNodes->Getlength();
        for (long i = 0; i < lCount; i++) {
            MSXML2::IXMLDOMNodePtr pNode = pNodes->Getitem(i);
            if (CXMLUtilities::nameOf(pNode) != L"asset")
                continue;
            auto pAsset = std::make_unique<CAsset>();
            pAsset->deSerialize(pNode, pHatch);
            add(pAsset.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAssets::deSerialize"));
    }
}

void CAssets::getCategoryAssets(CStoredProcedure* pStoredProcedure, int iTimeout,
                                int iCategoryID, CHatch* pHatch) {
    // The rows are read first and the hyperlinks asked for afterwards: each hyperlink call
    // runs on the same procedure object, which must not change under an open record set.
    struct Row {
        CString sHandle, sDescription, sUniqueDescription;
    };
    std::vector<Row> rows;
    CEXOrvan* pReadFailure = nullptr;
    try {
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_getCategoryAssets"), SOURCE_FILE,
            _T("CAssets::getCategoryAssets"), blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@categoryID"), iCategoryID);
            },
            nullptr,
            [&](_RecordsetPtr pRows) {
                CRecordsetReader reader(pRows);
                while (reader.next()) {
                    Row row;
                    reader.read(L"maHandle", row.sHandle);
                    reader.read(L"maDescription", row.sDescription);
                    reader.read(L"maUniqueDescription", row.sUniqueDescription);
                    rows.push_back(row);
                }
                reader.close();
            });
    } catch (CEXOrvan* e) {
        pReadFailure = e;
    }
    try {
        for (const Row& row : rows) {
            auto pAsset = std::make_unique<CAsset>();
            pAsset->setHandleFromString(row.sHandle);
            pAsset->setBlockDescription(row.sDescription);
            pAsset->setUniqueDescription(row.sUniqueDescription);
            auto pLinks = std::make_unique<CHyperlinks>();
            pLinks->getAssetHyperlinks(pStoredProcedure, iTimeout, iCategoryID,
                                       pAsset->getHandle());
            if (pLinks->getCount() > 0)
                pAsset->setHyperlinks(pLinks.release());
            if (pHatch != nullptr) {
                auto* pCopy = new CHatch;
                pAsset->setHatch(pCopy);
                pHatch->copyTo(pCopy);
            }
            add(pAsset.release());
        }
    } catch (...) {
        if (pReadFailure != nullptr)
            pReadFailure->deleteChain();
        throwWrapped(SOURCE_FILE, _T("CAssets::getCategoryAssets"));
    }
    if (pReadFailure != nullptr)
        throw pReadFailure;
}

void CAssets::getLocationAssets(CStoredProcedure* pStoredProcedure, int iLocationID,
                                int iTimeout) {
    // As for a category: the rows first, then each asset's attributes.
    struct Row {
        int iDrawingID = 0;
        CString sHandle, sBlockIdentifier, sBlockDescription, sUniqueDescription, sStatus;
        double dblX = 0.0, dblY = 0.0;
    };
    std::vector<Row> rows;
    CEXOrvan* pReadFailure = nullptr;
    try {
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("[idr]..[getLocationAssets]"), SOURCE_FILE,
            _T("CAssets::getLocationAssets"), blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@locationID"), iLocationID);
            },
            nullptr,
            [&](_RecordsetPtr pRecords) {
                CRecordsetReader reader(pRecords);
                while (reader.next()) {
                    Row row;
                    // These three have no default: a NULL is a failure of the call.
                    if (!reader.read(L"drawingID", row.iDrawingID) ||
                        !reader.read(L"aX", row.dblX) || !reader.read(L"aY", row.dblY))
                        _com_issue_error(DISP_E_TYPEMISMATCH);
                    reader.read(L"handle", row.sHandle);
                    reader.read(L"acadBlockIdentifier", row.sBlockIdentifier);
                    reader.read(L"atDescription", row.sBlockDescription);
                    reader.read(L"aDescription", row.sUniqueDescription);
                    reader.read(L"status", row.sStatus);
                    rows.push_back(row);
                }
                reader.close();
            });
    } catch (CEXOrvan* e) {
        pReadFailure = e;
    }
    try {
        for (const Row& row : rows) {
            auto pAsset = std::make_unique<CAsset>(
                iLocationID, row.iDrawingID, row.sHandle, row.sBlockIdentifier,
                row.sBlockDescription, row.sUniqueDescription, row.dblX, row.dblY, row.sStatus);
            auto* pAttributes = new CAttributes;
            pAsset->setAttributes(pAttributes);
            pAttributes->getAssetAttributes(pStoredProcedure, row.iDrawingID, row.sHandle,
                                            iTimeout);
            add(pAsset.release());
        }
    } catch (...) {
        if (pReadFailure != nullptr)
            pReadFailure->deleteChain();
        throwWrapped(SOURCE_FILE, _T("CAssets::getLocationAssets"));
    }
    if (pReadFailure != nullptr)
        throw pReadFailure;
}
